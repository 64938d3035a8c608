#include "app/error_plot_window.h"

#include "charts/error_plot.h"
#include "model/file_io.h"
#include "model/overwrite_question.h"
#include "user_interface/user_interface.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace vtr8 {

void PlotWidget::setPlot(Plot plot)
{
    plot_ = std::move(plot);
    update();
}

void PlotWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawPlot(painter, QRectF(rect()), plot_);
}

LinearizationErrorWindow::LinearizationErrorWindow(UserInterface& ui, QWidget* parent)
    : QDialog(parent), ui_(ui)
{
    setObjectName(QStringLiteral("ChybaLinearizace"));
    setWindowTitle(QStringLiteral("Chyba linearizace"));
    resize(900, 640);
    auto* layout = new QVBoxLayout(this);
    plot_ = new PlotWidget(this);
    plot_->setObjectName(QStringLiteral("Graf"));
    plot_->setMinimumSize(480, 320);
    layout->addWidget(plot_, 1);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("NejvetsiChyba"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(summary_);
    auto* buttons = new QHBoxLayout;
    auto* csv = new QPushButton(QStringLiteral("Uložit &CSV"), this);
    csv->setObjectName(QStringLiteral("UlozCsv"));
    auto* picture = new QPushButton(QStringLiteral("Uložit &obrázek"), this);
    picture->setObjectName(QStringLiteral("UlozObrazek"));
    auto* close = new QPushButton(QStringLiteral("&Zavřít"), this);
    close->setObjectName(QStringLiteral("Zavrit"));
    buttons->addWidget(csv);
    buttons->addWidget(picture);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(csv, &QPushButton::clicked, this, &LinearizationErrorWindow::saveCsvClick);
    connect(picture, &QPushButton::clicked, this, &LinearizationErrorWindow::savePictureClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

bool LinearizationErrorWindow::showFor(const LinearizationErrorRequest& request,
                                       const QString& firmwareNote)
{
    report_ = ComputeLinearizationError(request);
    if (!report_.ok) {
        ui_.message(report_.message);
        return false;
    }
    plot_->setPlot(ErrorPlot(report_));
    QStringList lines;
    for (const ErrorCurve& c : report_.curves)
        lines << c.name + (c.chosen ? QStringLiteral(" (zvolená): ") : QStringLiteral(": ")) +
                     LargestErrorText(c, report_.unit, report_.inputUnit);
    if (!firmwareNote.isEmpty())
        lines << firmwareNote;
    summary_->setText(lines.join(QLatin1Char('\n')));
    show();
    raise();
    activateWindow();
    return true;
}

namespace {

QString chosenPath(UserInterface& ui, const QString& title, const QString& filter,
                   const QString& suffix)
{
    QString path = ui.chooseSaveFile(title, QString(), filter);
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    return ConfirmOverwrite(ui, path) ? path : QString();
}

} // namespace

void LinearizationErrorWindow::saveCsvClick()
{
    if (report_.curves.empty())
        return;
    const QString path = chosenPath(ui_, QStringLiteral("Uložit chybu linearizace"),
                                    QStringLiteral("CSV (*.csv)|*.csv"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    if (const int error = saveFileAtomically(path, LinearizationErrorCsv(report_.curves.front())))
        ui_.message(QStringLiteral("Soubor %1 nelze uložit (chyba č. %2).")
                        .arg(QDir::toNativeSeparators(path))
                        .arg(error));
}

void LinearizationErrorWindow::savePictureClick()
{
    if (report_.curves.empty())
        return;
    const QString path =
        chosenPath(ui_, QStringLiteral("Uložit obrázek"),
                   QStringLiteral("Obrázek SVG (*.svg)|*.svg|Obrázek PNG (*.png)|*.png"),
                   QStringLiteral("svg"));
    if (path.isEmpty())
        return;
    const QString error = SavePlot(plot_->plot(), path);
    if (!error.isEmpty())
        ui_.message(error);
}

} // namespace vtr8
