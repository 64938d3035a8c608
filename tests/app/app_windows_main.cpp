#include <QApplication>
#include <QFont>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The windows need one QApplication for the whole run, and the port window's
// per-user store must not touch the real one: it goes to a scratch folder.
int main(int argc, char** argv)
{
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
