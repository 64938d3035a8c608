#pragma once

#include <QColor>
#include <QString>

#include <array>
#include <optional>

namespace vtr8 {

class MainWindowModel;

// Which brand profiles have been applied. The program sets the maker brand at
// start-up and never the second one; the second brand is kept so that a
// rebranded build only has to set its flag.
struct BrandState {
    bool maker = false;
    bool second = false;
};

// The labels of the information window, top to bottom.
inline constexpr int InformationLabelCount = 13;
inline constexpr std::array<const char*, InformationLabelCount> InformationLabelNames = {
    "Label101", "Label102", "Label103", "Label14",  "Label104", "Label105", "Label106",
    "Label107", "Label9",   "Label108", "Label109", "Label110", "Label111"};
// The labels that take the brand's title colour.
inline constexpr std::array<const char*, 5> InformationTitleLabelNames = {
    "Label14", "Label101", "Label102", "Label103", "Label104"};

struct BrandProfile {
    QString mainCaption;
    bool label5Visible = true;
    bool clearLabel5 = false;
    bool imageVisible = true;
    bool firmaVisible = false;
    // Dialog folders in the drive-letter form the program has always used;
    // nativeFolder() maps them for the dialogs.
    QString linearizationFolder;
    QString configurationFolder;
    // Information-window texts by InformationLabelNames; nullopt keeps the
    // text the window was built with.
    std::array<std::optional<QString>, InformationLabelCount> informationTexts;
    QColor titleColour;
};

const BrandProfile& makerBrandProfile();
const BrandProfile& secondBrandProfile();

// Texts the windows are built with, before a profile is applied.
QString formMainCaption();         // " Ovládací program   VTR8 a KDM"
QString formLinearizationFolder(); // "\velkor_vtr8\linearizace"
QString formConfigurationFolder(); // "\velkor_vtr8\konfigurace"
QString formCountryLine();         // Label14 and Label9 of the information window
QString makerNameLabel();          // Label5: "VELKOR s.r.o."
QString secondBrandNameLabel();    // Firma: "KALMERO"
QColor informationTextColour();    // the blue of the information window

// A folder of a brand profile as this system names it. On Windows it stays as
// it is; elsewhere the drive "C:\" is the person's home folder and every
// backslash becomes a slash.
QString nativeFolder(const QString& folder);
QString nativeFolder(const QString& folder, const QString& homeFolder, bool windows);

// The main window's brand buttons: caption, Label5, IMAGE1, Firma and the
// initial folders of OpenDialog1, OpenDialog2 and SaveDialog1.
void ButtonVEClick(MainWindowModel& model);
void ButtonKAClick(MainWindowModel& model);
void applyBrandProfile(MainWindowModel& model, const BrandProfile& profile);

} // namespace vtr8
