#include "app/application.h"
#include "app/main_window.h"
#include "app/window_history.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VTR8"));
    QApplication::setOrganizationName(QStringLiteral("ZN"));
    // The windows are laid out for this font; it carries every Czech letter.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);
    // Qt's own dialogs (file choice, standard buttons) speak Czech like the rest of
    // the program when the Qt translations are installed; without them they stay English.
    QTranslator qtCzech;
    if (qtCzech.load(QStringLiteral("qtbase_cs"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtCzech);

    int result = 0;
    {
        vtr8::Vtr8Application program;
        program.start();
        QObject::connect(program.form1(), &vtr8::TForm1::closed, &app, &QApplication::quit);
        program.show();
        // vtr8 [CONFIG.txt [POINTS]]: the file opens as "Přečíst" of "Konfigurace ze souboru"
        // would open it, once the window is up to carry its messages.
        QStringList files = QApplication::arguments().mid(1);
        if (const std::optional<QString> path = vtr8::takeHistoryOption(files))
            program.history().setPath(*path);
        if (!files.isEmpty())
            QTimer::singleShot(
                0, &app, [&program, files] { program.openAtStart(files.at(0), files.value(1)); });
        result = app.exec();
        program.shutdown();
    }
    return result;
}
