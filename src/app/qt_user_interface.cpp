#include "app/qt_user_interface.h"

#include "app/brand_profile.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

#include <utility>

namespace vtr8 {

QString QtUserInterface::boxTitle()
{
    return QStringLiteral("VTR8");
}

QWidget* QtUserInterface::dialogParent() const
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return mainWindow_.data();
}

void QtUserInterface::message(const QString& text)
{
    QMessageBox box(QMessageBox::Information, boxTitle(), text, QMessageBox::Ok, dialogParent());
    box.exec();
}

namespace {

bool ask(QWidget* parent, const QString& text, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(QMessageBox::Question, QtUserInterface::boxTitle(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ano"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Ne"));
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace

bool QtUserInterface::confirm(const QString& text)
{
    return ask(dialogParent(), text, QMessageBox::Yes);
}

bool QtUserInterface::confirmDiscard(const QString& text)
{
    return ask(dialogParent(), text, QMessageBox::No);
}

QString QtUserInterface::qtFilter(const QString& filter)
{
    if (filter.isEmpty())
        return {};
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        // "*.*" means every file, also those without a dot.
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // A description that names its patterns already ("Záznam CSV (*.csv)") keeps them once.
        filters << (parts[i].endsWith(QLatin1Char(')'))
                        ? parts[i]
                        : parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    if (filters.isEmpty())
        return filter; // a bare pattern
    return filters.join(QStringLiteral(";;"));
}

QString QtUserInterface::dialogFolder(const QString& folder, const QString& lastFolder,
                                      const QString& documents)
{
    const QString system = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    for (const QString& candidate : {lastFolder, folder, documents.isEmpty() ? system : documents})
        if (!candidate.isEmpty() && QFileInfo(candidate).isDir())
            return QDir::toNativeSeparators(candidate);
    return QDir::toNativeSeparators(QDir::homePath());
}

QString QtUserInterface::lastFolder() const
{
    return QSettings(QStringLiteral("ZN"), QStringLiteral("VTR8"))
        .value(QStringLiteral("PosledniSlozka"))
        .toString();
}

void QtUserInterface::rememberFolder(const QString& file)
{
    if (file.isEmpty())
        return;
    QSettings(QStringLiteral("ZN"), QStringLiteral("VTR8"))
        .setValue(QStringLiteral("PosledniSlozka"), QFileInfo(file).absolutePath());
}

QString QtUserInterface::defaultSuffix(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    const QString first = parts.size() >= 2 ? parts[1] : parts.value(0);
    if (!first.startsWith(QStringLiteral("*.")))
        return {};
    const QString suffix = first.mid(2);
    if (suffix.isEmpty() || suffix.contains(QLatin1Char('*')) || suffix.contains(QLatin1Char(';')))
        return {};
    return suffix;
}

QString QtUserInterface::chooseOpenFile(const QString& title, const QString& folder,
                                        const QString& filter)
{
    if (!nextOpenFile_.isEmpty())
        return std::exchange(nextOpenFile_, QString());
    const QString chosen = QFileDialog::getOpenFileName(
        dialogParent(), title, dialogFolder(nativeFolder(folder), lastFolder()), qtFilter(filter));
    rememberFolder(chosen);
    return chosen;
}

QString QtUserInterface::chooseSaveFile(const QString& title, const QString& folder,
                                        const QString& filter)
{
    QFileDialog dialog(dialogParent(), title, dialogFolder(nativeFolder(folder), lastFolder()),
                       qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The caller asks before replacing a file (after adding the default extension).
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(defaultSuffix(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    rememberFolder(dialog.selectedFiles().constFirst());
    return dialog.selectedFiles().constFirst();
}

void QtUserInterface::focus(const QString&)
{
    // The window that shows the control has moved the focus already.
}

void QtUserInterface::focusWidget(QWidget* widget)
{
    if (!widget || !widget->isVisible() || !widget->isEnabled())
        return; // a hidden or disabled control cannot take the focus
    widget->activateWindow();
    widget->setFocus(Qt::OtherFocusReason);
}

} // namespace vtr8
