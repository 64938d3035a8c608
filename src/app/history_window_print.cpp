#include "app/history_window_print.h"

#include "history/record_text.h"
#include "transfer/note_codec.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace vtr8 {
namespace {

QString cell(const QString& text)
{
    return QStringLiteral("<td>") + visibleControlCharacters(text).toHtmlEscaped() +
           QStringLiteral("</td>");
}

} // namespace

QString printHistoryList(const std::vector<HistoryRecord>& records, const QString& heading,
                         const QString& path)
{
    QString html = QStringLiteral("<h3>") + heading.toHtmlEscaped() +
                   QStringLiteral("</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" "
                                  "width=\"100%\"><tr><th>Datum</th><th>Poznámka</th>"
                                  "<th>Operace</th><th>Výsledek</th><th>Port</th>"
                                  "<th>Obsluha</th><th>Počítač</th></tr>");
    for (const HistoryRecord& r : records)
        html += QStringLiteral("<tr>") + cell(recordTime(r.started)) + cell(r.note) +
                cell(operationText(r.operation)) + cell(resultText(r.result)) + cell(r.port) +
                cell(r.operatorName) + cell(r.computer) + QStringLiteral("</tr>");
    html += QStringLiteral("</table>");

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Seznam nelze uložit do „%1“ (%2).").arg(path, file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        writer.setTitle(heading);
        QTextDocument document;
        document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 8));
        document.setHtml(html);
        document.print(&writer);
    }
    if (file.error() != QFileDevice::NoError || !file.flush())
        return QStringLiteral("Seznam nelze uložit do „%1“ (%2).").arg(path, file.errorString());
    return {};
}

} // namespace vtr8
