#include "app/measurement_window.h"

#include "configuration/number_format.h"
#include "model/file_io.h"
#include "model/overwrite_question.h"
#include "transfer/measurement_log.h"
#include "transfer/measurement_model.h"
#include "user_interface/user_interface.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileInfo>
#include <QLineSeries>
#include <QValueAxis>

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace vtr8 {
namespace {

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y, int w,
                  int h)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(x, y, w, h);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text, int x, int y,
                        int w)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(x, y, w, 33);
    return button;
}

void setLargeFont(QWidget* widget, int pointSize, bool blue)
{
    QFont font = widget->font();
    font.setPointSize(pointSize);
    font.setBold(true);
    widget->setFont(font);
    if (blue) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::WindowText, Qt::blue);
        palette.setColor(QPalette::Text, Qt::blue);
        widget->setPalette(palette);
    }
}

} // namespace

TForm3::TForm3(MeasurementModel& model, QWidget* parent) : QDialog(parent), model_(model)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Měření"));
    setFixedSize(ClientWidth, ClientHeight);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    auto* label1 = makeLabel(this, QStringLiteral("Label1"),
                             QStringLiteral("Hlavní měřená veličina "), 40, 24, 546, 40);
    setLargeFont(label1, 18, false);
    makeLabel(this, QStringLiteral("Label2"), QStringLiteral("Naměřená hodnota"), 40, 84, 300, 24);

    ZoZmHodn = new QLineEdit(this);
    ZoZmHodn->setObjectName(QStringLiteral("ZoZmHodn"));
    ZoZmHodn->setGeometry(40, 112, 380, 56);
    ZoZmHodn->setFocusPolicy(Qt::ClickFocus);
    ZoZmHodn->setReadOnly(true);
    ZoZmHodn->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setLargeFont(ZoZmHodn, 22, true);

    Z_jedn = makeLabel(this, QStringLiteral("Z_jedn"), QString(), 436, 112, 150, 56);
    setLargeFont(Z_jedn, 22, true);

    auto* button1 =
        makeButton(this, QStringLiteral("Button1"), QStringLiteral("Z&měřit"), 40, 196, 150);
    button1_ = button1;
    stale_ = makeLabel(this, QStringLiteral("Neaktualni"), QString(), 210, 84, 376, 24);
    QPalette stalePalette = stale_->palette();
    stalePalette.setColor(QPalette::WindowText, Qt::red);
    stale_->setPalette(stalePalette);
    save_ = makeButton(this, QStringLiteral("UlozZaznam"), QStringLiteral("&Uložit záznam"), 436,
                       196, 150);

    auto* label3 =
        makeLabel(this, QStringLiteral("Label3"), QStringLiteral("Stálé měření"), 40, 250, 300, 24);
    setLargeFont(label3, 10, true);
    Start_Mer = makeButton(this, QStringLiteral("Start_Mer"), QStringLiteral("&Start měření"), 40,
                           280, 150);
    stop_ = makeButton(this, QStringLiteral("Stop_mer"), QStringLiteral("S&top"), 210, 280, 150);
    auto* close =
        makeButton(this, QStringLiteral("ZAVRIT"), QStringLiteral("&Zavřít"), 436, 280, 150);

    series_ = new QLineSeries;
    series_->setName(QStringLiteral("Průběh měření"));
    auto* chart = new QChart;
    chart->addSeries(series_);
    chart->legend()->hide();
    chart->setLocalizeNumbers(true); // the person's decimal separator, as in the value field
    chart->setMargins(QMargins(4, 4, 4, 4));
    timeAxis_ = new QDateTimeAxis;
    timeAxis_->setFormat(QStringLiteral("HH:mm:ss"));
    timeAxis_->setTickCount(6);
    valueAxis_ = new QValueAxis;
    // An empty trend has no times to show; its first reading brings them.
    timeAxis_->setLabelsVisible(false);
    chart->addAxis(timeAxis_, Qt::AlignBottom);
    chart->addAxis(valueAxis_, Qt::AlignLeft);
    series_->attachAxis(timeAxis_);
    series_->attachAxis(valueAxis_);
    chartView_ = new QChartView(chart, this);
    chartView_->setObjectName(QStringLiteral("Trend"));
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setGeometry(20, 330, ClientWidth - 40, ClientHeight - 340);

    connect(save_, &QPushButton::clicked, this, [this] { UlozZaznamClick(); });
    connect(&model_, &MeasurementModel::readingTaken, this,
            [this](const MeasurementReading& r) { addToTrend(r); });
    connect(button1, &QPushButton::clicked, this, [this] { model_.Button1Click(); });
    connect(Start_Mer, &QPushButton::clicked, this, [this] { Start_MerClick(); });
    connect(stop_, &QPushButton::clicked, this, [this] { model_.Stop_merClick(); });
    connect(close, &QPushButton::clicked, this, [this] { model_.ZAVRITClick(); });
    connect(&model_, &MeasurementModel::changed, this, [this] { refresh(); });
    connect(&model_, &MeasurementModel::continuousStopped, this, [this] { refresh(); });
    connect(&model_, &MeasurementModel::closeRequested, this, [this] { QDialog::reject(); });
    refresh();
}

void TForm3::refresh()
{
    // The model keeps the point for scripts; the window uses the person's separator.
    ZoZmHodn->setText(UpravaFormatu(model_.ZoZmHodn));
    Z_jedn->setText(model_.Z_jedn);
    // A value from before the link dropped says so and turns grey.
    stale_->setText(model_.stale ? StaleValueText() : QString());
    QPalette palette = ZoZmHodn->palette();
    palette.setColor(QPalette::Text, model_.stale ? Qt::gray : Qt::blue);
    ZoZmHodn->setPalette(palette);
    button1_->setEnabled(!model_.continuousRunning());
    // Starting twice would change nothing; showing that is clearer.
    Start_Mer->setEnabled(!model_.continuousRunning());
    stop_->setEnabled(model_.continuousRunning());
    save_->setEnabled(!model_.runReadings().empty());
}

void TForm3::addToTrend(const MeasurementReading& reading)
{
    if (!model_.continuousRunning())
        return;
    unsavedRecord_ = true;
    // A new run starts a new trend.
    if (model_.runReadings().size() <= 1)
        series_->clear();
    if (series_->count() >= TrendPoints)
        series_->removePoints(0, series_->count() - TrendPoints + 1);
    series_->append(static_cast<qreal>(reading.time.toMSecsSinceEpoch()), reading.value);
    valueAxis_->setTitleText(reading.unit);

    const auto points = series_->points();
    qreal low = points.front().y();
    qreal high = low;
    for (const QPointF& p : points) {
        low = std::min(low, p.y());
        high = std::max(high, p.y());
    }
    // A steady value still gets a readable band around it.
    const qreal pad = high > low ? (high - low) * 0.1 : std::max<qreal>(std::abs(high) * 0.01, 0.1);
    valueAxis_->setRange(low - pad, high + pad);
    valueAxis_->applyNiceNumbers(); // ticks on round values
    timeAxis_->setLabelsVisible(true);
    const QDateTime first = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(points.front().x()));
    timeAxis_->setRange(first, std::max(reading.time, first.addSecs(60)));
}

void TForm3::UlozZaznamClick()
{
    if (!ui_)
        return;
    // "Ne" to the overwrite question is a wish for another name: the dialog comes back.
    for (;;) {
        QString path = ui_->chooseSaveFile(QStringLiteral("Uložit záznam měření"), QString(),
                                           QStringLiteral("Záznam CSV (*.csv)|*.csv"));
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".csv");
        if (!ConfirmOverwrite(*ui_, path))
            continue;
        if (saveRun(path))
            unsavedRecord_ = false;
        return;
    }
}

QString TForm3::StaleValueText()
{
    return QStringLiteral("neaktuální – převodník neodpovídá");
}

QString TForm3::DiscardRecordQuestion()
{
    return QStringLiteral("Záznam posledního měření není uložen. Zahodit jej a začít nové "
                          "měření?");
}

void TForm3::Start_MerClick()
{
    if (unsavedRecord_ && !model_.continuousRunning() && ui_ &&
        !ui_->confirmDiscard(DiscardRecordQuestion()))
        return;
    unsavedRecord_ = false;
    model_.Start_MerClick();
}

bool TForm3::saveRun(const QString& path)
{
    const int error = saveFileAtomically(path, ReadingsCsv(model_.runReadings()));
    if (error != 0 && ui_)
        ui_->message(QStringLiteral("Záznam nelze uložit do souboru %1 (chyba č. %2).")
                         .arg(QDir::toNativeSeparators(path))
                         .arg(error));
    return error == 0;
}

void TForm3::MereniClick()
{
    model_.MereniClick();
    refresh();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    exec();
}

void TForm3::reject()
{
    model_.Stop_merClick();
    QDialog::reject();
}

} // namespace vtr8
