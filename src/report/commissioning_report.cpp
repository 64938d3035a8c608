#include "report/commissioning_report.h"

#include "configuration/file_io.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace vtr8 {

bool sameTransmitter(const HistoryRecord& record, const QString& note, const QString& port)
{
    return record.note == note || (record.note.isEmpty() && record.port == port);
}

void takeReadings(CommissioningReport& report, const std::vector<HistoryRecord>& records)
{
    const auto completed = [&report](const HistoryRecord& r,
                                     std::initializer_list<HistoryOperation> ops) {
        return sameTransmitter(r, report.note, report.port) &&
               r.result == HistoryResult::Completed &&
               std::find(ops.begin(), ops.end(), r.operation) != ops.end();
    };
    const auto write = std::find_if(records.rbegin(), records.rend(), [&](const HistoryRecord& r) {
        return completed(r, {HistoryOperation::Write, HistoryOperation::WriteVerify});
    });
    const auto lastCheck = [&](auto from, auto to) {
        const auto it = std::find_if(from, to, [&](const HistoryRecord& r) {
            return completed(r, {HistoryOperation::Check}) && !r.readings.empty();
        });
        return it == to ? nullptr : &*it;
    };
    // Reverse iterators: from the newest record back to the write, and from the write back.
    if (const HistoryRecord* left = lastCheck(records.rbegin(), write)) {
        report.asLeft = left->readings;
        report.asLeftTime = left->started;
        report.unit = left->unit;
    }
    if (write != records.rend()) {
        if (const HistoryRecord* found = lastCheck(std::next(write), records.rend())) {
            report.asFound = found->readings;
            report.asFoundTime = found->started;
            if (report.unit.isEmpty())
                report.unit = found->unit;
        }
    }
}

namespace {

QString number(double value)
{
    return QString::number(value, 'f', 3);
}

// Draws downwards on A4 pages, starting a new page where the next block would not fit.
class Page {
public:
    Page(QPdfWriter& writer, QPainter& painter) : writer_(writer), p_(painter)
    {
        width_ = painter.viewport().width();
        height_ = painter.viewport().height();
    }

    void font(double points, bool bold = false)
    {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPointSizeF(points);
        f.setBold(bold);
        p_.setFont(f);
    }
    double lineHeight() const { return QFontMetricsF(p_.font(), &writer_).height() * 1.25; }

    void need(double h)
    {
        if (y_ + h <= height_)
            return;
        writer_.newPage();
        y_ = 0;
    }
    void gap(double lines = 0.6) { y_ += lineHeight() * lines; }

    void heading(const QString& text)
    {
        font(12, true);
        need(lineHeight() * 3);
        gap(0.5);
        p_.drawText(QRectF(0, y_, width_, lineHeight()), Qt::AlignLeft | Qt::AlignVCenter, text);
        y_ += lineHeight();
        font(9.5);
    }

    void paragraph(const QString& text, bool bold = false)
    {
        font(9.5, bold);
        const QRectF box = p_.boundingRect(QRectF(0, 0, width_, 1e6), Qt::TextWordWrap, text);
        need(box.height());
        p_.drawText(QRectF(0, y_, width_, box.height()), Qt::TextWordWrap, text);
        y_ += box.height() + lineHeight() * 0.2;
        font(9.5);
    }

    // Columns share the width by `weights`; the first row is a header when `header`.
    void table(const std::vector<QStringList>& rows, const std::vector<double>& weights,
               bool header)
    {
        double total = 0;
        for (double w : weights)
            total += w;
        const double h = lineHeight();
        for (std::size_t r = 0; r < rows.size(); ++r) {
            need(h);
            font(9.5, header && r == 0);
            double x = 0;
            for (std::size_t c = 0; c < weights.size(); ++c) {
                const double w = width_ * weights[c] / total;
                const QRectF cell(x, y_, w, h);
                p_.drawRect(cell);
                p_.drawText(cell.adjusted(h * 0.25, 0, -h * 0.25, 0),
                            Qt::AlignVCenter | (c == 0 ? Qt::AlignLeft : Qt::AlignHCenter),
                            rows[r].value(static_cast<qsizetype>(c)));
                x += w;
            }
            y_ += h;
        }
        font(9.5);
    }

    void plot(const Plot& plot)
    {
        const double h = width_ * 0.55;
        need(h);
        DrawPlot(p_, QRectF(0, y_, width_, h), plot);
        y_ += h;
    }

    double width() const { return width_; }
    double y() const { return y_; }
    QPainter& painter() { return p_; }

private:
    QPdfWriter& writer_;
    QPainter& p_;
    double width_ = 0;
    double height_ = 0;
    double y_ = 0;
};

std::vector<QStringList> readingRows(const CommissioningReport& r)
{
    std::vector<QStringList> rows;
    const QString u = r.unit.isEmpty() ? QString() : QStringLiteral(" [%1]").arg(r.unit);
    rows.push_back({QStringLiteral("Vstup") + u, QStringLiteral("Převzato"),
                    QStringLiteral("odchylka"), QStringLiteral("% rozpětí"),
                    QStringLiteral("Předáno"), QStringLiteral("odchylka"),
                    QStringLiteral("% rozpětí")});
    std::vector<double> references;
    for (const auto* list : {&r.asFound, &r.asLeft})
        for (const CheckReading& c : *list)
            if (std::find(references.begin(), references.end(), c.reference) == references.end())
                references.push_back(c.reference);
    std::sort(references.begin(), references.end());
    const auto columns = [](const std::vector<CheckReading>& list, double reference) {
        for (const CheckReading& c : list)
            if (c.reference == reference)
                return QStringList{number(c.value), number(c.deviation), number(c.spanPercent)};
        return QStringList{QStringLiteral("—"), QStringLiteral("—"), QStringLiteral("—")};
    };
    for (double reference : references)
        rows.push_back(QStringList{number(reference)} + columns(r.asFound, reference) +
                       columns(r.asLeft, reference));
    return rows;
}

void draw(QPdfWriter& writer, const CommissioningReport& r)
{
    QPainter painter(&writer);
    painter.setPen(QPen(Qt::black, 2));
    Page page(writer, painter);

    page.font(16, true);
    painter.drawText(QRectF(0, 0, page.width(), page.lineHeight() * 1.2), Qt::AlignLeft,
                     QStringLiteral("Protokol o uvedení převodníku do provozu"));
    page.gap(1.6);

    page.heading(QStringLiteral("Převodník"));
    page.table({{QStringLiteral("Poznámka převodníku"), r.note},
                {QStringLiteral("Firmware"),
                 r.firmware < 0 ? QStringLiteral("—") : QString::number(r.firmware)},
                {QStringLiteral("Typové bajty"), r.typeBytes.isEmpty()
                                                     ? QStringLiteral("—")
                                                     : QString::fromLatin1(r.typeBytes.toHex(' '))},
                {QStringLiteral("Port"), r.port},
                {QStringLiteral("Datum"), r.date.toString(QStringLiteral("d. M. yyyy HH:mm"))}},
               {1, 2}, false);

    page.heading(QStringLiteral("Konfigurace"));
    std::vector<QStringList> config{{QStringLiteral("Položka"), QStringLiteral("Hodnota")}};
    for (const auto& [field, value] : r.configuration)
        config.push_back({field, value});
    page.table(config, {1, 2}, true);

    page.heading(QStringLiteral("Ověření"));
    page.paragraph((r.verified ? QStringLiteral("VYHOVUJE: ") : QStringLiteral("NEVYHOVUJE: ")) +
                       r.verdict,
                   true);

    page.heading(QStringLiteral("Chyba linearizace"));
    if (r.errorPlot)
        page.plot(*r.errorPlot);
    page.paragraph(r.errorText);

    page.heading(QStringLiteral("Kontrola měřením na referenčních vstupech"));
    if (r.asFound.empty() && r.asLeft.empty()) {
        page.paragraph(QStringLiteral("Kontrola měřením nebyla provedena."));
    } else {
        page.table(readingRows(r), {1.2, 1, 1, 1, 1, 1, 1}, true);
        const auto when = [](const QDateTime& t) {
            return t.isValid() ? t.toString(QStringLiteral("d. M. yyyy HH:mm"))
                               : QStringLiteral("—");
        };
        page.paragraph(QStringLiteral("Převzato: %1, předáno: %2. Odchylka = údaj − vstup.")
                           .arg(when(r.asFoundTime), when(r.asLeftTime)));
    }

    page.heading(QStringLiteral("Podpis"));
    page.gap(1);
    page.table({{QStringLiteral("Jméno"), QString()},
                {QStringLiteral("Datum"), QString()},
                {QStringLiteral("Podpis"), QString()}},
               {1, 3}, false);
}

} // namespace

QString saveReportPdf(const CommissioningReport& report, const QString& path)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Protokol o uvedení převodníku do provozu"));
        writer.setCreator(QStringLiteral("vtr8"));
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(18, 15, 18, 15), QPageLayout::Millimeter));
        draw(writer, report);
    }
    if (const int error = saveFileAtomically(path, buffer.data()); error != 0)
        return QStringLiteral("Chyba c. ") + QString::number(error);
    return {};
}

} // namespace vtr8
