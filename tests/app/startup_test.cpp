#include "window_fixture.h"

#include "app/brand_profile.h"
#include "app/information_window.h"
#include "app/measurement_window.h"
#include "app/port_window.h"
#include "app/table_window.h"
#include "link/command_protocol.h"
#include "model/main_window_model.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>

namespace vtr8::testing_support {
namespace {

class StartUp : public WindowTest {};

TEST_F(StartUp, CreatesTheFiveWindowsInOrder)
{
    startProgram();
    EXPECT_EQ(program->creationOrder(),
              (QStringList{"TForm1", "TForm2", "TForm3", "TForm4", "TForm5"}));
    ASSERT_NE(program->form1(), nullptr);
    ASSERT_NE(program->form2(), nullptr);
    ASSERT_NE(program->form3(), nullptr);
    ASSERT_NE(program->form4(), nullptr);
    ASSERT_NE(program->form5(), nullptr);
    EXPECT_EQ(program->form2()->windowTitle(), QStringLiteral("Com"));
    EXPECT_EQ(program->form3()->windowTitle(), u("Měření"));
    EXPECT_EQ(program->form4()->windowTitle(), u("Hodnoty linearizačního souboru"));
    EXPECT_EQ(program->form5()->windowTitle(), QStringLiteral("Informace"));
    // Only the main window is on the screen at first.
    EXPECT_TRUE(program->form2()->isHidden());
    EXPECT_TRUE(program->form4()->isHidden());
    EXPECT_TRUE(program->form5()->isHidden());
}

TEST_F(StartUp, SendsNothingToTheTransmitter)
{
    startProgram();
    showMainWindow();
    EXPECT_EQ(program->protocol().lastAttempt(), 0);
    EXPECT_FALSE(program->protocol().isBusy());
    EXPECT_TRUE(ui.events.isEmpty()) << ui.events.join(QStringLiteral(" | ")).toStdString();
}

TEST_F(StartUp, MakerBrandIsAppliedAndTheBrandButtonsAreGone)
{
    startProgram();
    EXPECT_TRUE(program->brand().maker);
    EXPECT_FALSE(program->brand().second);

    TForm1* form = program->form1();
    EXPECT_EQ(form->windowTitle(), u("Ovládací program VELKOR - VTR8 a KDM"));
    EXPECT_EQ(form->size(), QSize(742, 535));
    EXPECT_FALSE(mainWidget<QLabel>("Label5")->isHidden());
    EXPECT_FALSE(mainWidget<QLabel>("Label5")->text().isEmpty());
    EXPECT_FALSE(mainWidget<QLabel>("IMAGE1")->isHidden());
    EXPECT_FALSE(mainWidget<QLabel>("IMAGE1")->pixmap().isNull());
    EXPECT_TRUE(mainWidget<QLabel>("Firma")->isHidden());
    for (const char* name : {"ButtonVE", "ButtonKA"}) {
        auto* button = mainWidget<QPushButton>(name);
        EXPECT_TRUE(button->isHidden()) << name;
        EXPECT_FALSE(button->isEnabled()) << name;
    }

    const MainWindowModel& m = program->model();
    EXPECT_EQ(m.OpenDialog1InitialDir, QStringLiteral("C:\\velkor_vtr8\\linearizace"));
    EXPECT_EQ(m.OpenDialog2InitialDir, QStringLiteral("C:\\velkor_vtr8\\konfigurace"));
    EXPECT_EQ(m.SaveDialog1InitialDir, QStringLiteral("C:\\velkor_vtr8\\konfigurace"));
    EXPECT_EQ(m.DividerRatio, 1);
}

TEST_F(StartUp, SecondBrandWinsWhenItsFlagIsSet)
{
    startProgram(true);
    TForm1* form = program->form1();
    EXPECT_EQ(form->windowTitle(), u("Ovládací program KALMERO - VTR8 a KDM"));
    EXPECT_TRUE(mainWidget<QLabel>("Label5")->isHidden());
    EXPECT_TRUE(mainWidget<QLabel>("Label5")->text().isEmpty());
    EXPECT_TRUE(mainWidget<QLabel>("IMAGE1")->isHidden());
    EXPECT_FALSE(mainWidget<QLabel>("Firma")->isHidden());
    EXPECT_EQ(mainWidget<QLabel>("Firma")->text(), QStringLiteral("KALMERO"));
    EXPECT_EQ(program->model().OpenDialog1InitialDir,
              QStringLiteral("C:\\kalmero_vtr8\\linearizace"));
    EXPECT_EQ(program->model().SaveDialog1InitialDir,
              QStringLiteral("C:\\kalmero_vtr8\\konfigurace"));
}

TEST_F(StartUp, MainWindowCarriesItsFixedTexts)
{
    startProgram();
    const std::pair<const char*, const char*> buttons[] = {
        {"Poslat", "&Uložit vše do převodníku"},
        {"Precist", "&Přečíst z převodníku"},
        {"Button1", "&Komunikace"},
        {"Mereni", "&Měření"},
        {"Informace", "I&nformace"},
    };
    for (const auto& [name, text] : buttons)
        EXPECT_EQ(mainWidget<QPushButton>(name)->text(), u(text)) << name;

    // Every visible button can be pressed from the keyboard, each with its own letter that a
    // Czech and an English keyboard both have; the note's two buttons follow the note field.
    QSet<QChar> letters;
    for (QPushButton* b : program->form1()->findChildren<QPushButton*>()) {
        if (b->isHidden() || b->objectName() == "Prec_Pozn" || b->objectName() == "Uloz_Pozn")
            continue;
        const qsizetype at = b->text().indexOf(QLatin1Char('&'));
        ASSERT_TRUE(at >= 0 && at + 1 < b->text().size()) << b->objectName().toStdString();
        const QChar letter = b->text().at(at + 1).toLower();
        EXPECT_TRUE(letter >= QLatin1Char('a') && letter <= QLatin1Char('z'))
            << b->objectName().toStdString();
        EXPECT_FALSE(letters.contains(letter)) << b->objectName().toStdString();
        letters.insert(letter);
    }
    EXPECT_FALSE(letters.contains(QLatin1Char('v'))); // the note's label has it

    const std::pair<const char*, const char*> labels[] = {
        {"Label23", "verze 16.0"},
        {"Label13", "č. firmware"},
        {"Label14", "0"},
        {"Label19", "Přenos"},
        {"Konfigurace", "Konfigurace"},
        {"Label12", "Konfigurace ze souboru"},
    };
    for (const auto& [name, text] : labels)
        EXPECT_EQ(mainWidget<QLabel>(name)->text(), u(text)) << name;

    for (const char* name : {"Prenos", "PrenosByte"}) {
        auto* bar = mainWidget<QProgressBar>(name);
        EXPECT_EQ(bar->minimum(), 0) << name;
        EXPECT_EQ(bar->maximum(), 100) << name;
        EXPECT_EQ(bar->value(), 0) << name;
    }
}

TEST_F(StartUp, LinkIndicatorsDriveTheReplyBar)
{
    startProgram();
    LinkIndicators& indicators = *program->form1();
    indicators.setPrenosByte(100);
    EXPECT_EQ(mainWidget<QProgressBar>("PrenosByte")->value(), 100);
    EXPECT_EQ(program->model().PrenosByte.position, 100);
    indicators.setPrenosByte(0);
    EXPECT_EQ(mainWidget<QProgressBar>("PrenosByte")->value(), 0);
    indicators.setZPocPrij(QStringLiteral("2"));
    auto* attempt = mainWidget<QLabel>("ZPocPrij");
    EXPECT_EQ(attempt->text(), QStringLiteral("2"));
    EXPECT_TRUE(attempt->isHidden());
}

TEST(BrandFolders, DriveFolderMapsToTheHomeFolderOffWindows)
{
    EXPECT_EQ(nativeFolder(QStringLiteral("C:\\velkor_vtr8\\linearizace"),
                           QStringLiteral("/home/jan"), false),
              QStringLiteral("/home/jan/velkor_vtr8/linearizace"));
    EXPECT_EQ(nativeFolder(QStringLiteral("c:\\kalmero_vtr8\\konfigurace"),
                           QStringLiteral("/root/"), false),
              QStringLiteral("/root/kalmero_vtr8/konfigurace"));
    EXPECT_EQ(nativeFolder(QStringLiteral("\\velkor_vtr8\\linearizace"),
                           QStringLiteral("/home/jan"), false),
              QStringLiteral("/velkor_vtr8/linearizace"));
    EXPECT_EQ(nativeFolder(QStringLiteral("C:\\velkor_vtr8\\linearizace"),
                           QStringLiteral("/home/jan"), true),
              QStringLiteral("C:\\velkor_vtr8\\linearizace"));
#ifdef Q_OS_WIN
    EXPECT_EQ(nativeFolder(QStringLiteral("C:\\velkor_vtr8\\linearizace")),
              QStringLiteral("C:\\velkor_vtr8\\linearizace"));
#else
    EXPECT_EQ(nativeFolder(QStringLiteral("C:\\velkor_vtr8\\linearizace")),
              QDir::homePath() + QStringLiteral("/velkor_vtr8/linearizace"));
#endif
}

} // namespace
} // namespace vtr8::testing_support
