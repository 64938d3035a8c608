#include "app/brand_profile.h"

#include "model/main_window_model.h"

#include <QDir>

namespace vtr8 {

namespace {

// The contact data are the brands' own; they change with the brand, not with
// the program.
BrandProfile buildMakerProfile()
{
    BrandProfile p;
    p.mainCaption = QStringLiteral("Ovládací program VELKOR - VTR8 a KDM");
    p.label5Visible = true;
    p.imageVisible = true;
    p.firmaVisible = false;
    p.linearizationFolder = QStringLiteral("C:\\velkor_vtr8\\linearizace");
    p.configurationFolder = QStringLiteral("C:\\velkor_vtr8\\konfigurace");
    p.informationTexts = {
        QStringLiteral("VELKOR s.r.o."),               // Label101 company
        QStringLiteral("Měřicí 1480/12"),              // Label102 street
        QStringLiteral("612 00 Brno"),                 // Label103 postal code and town
        std::nullopt,                                  // Label14 country line
        QStringLiteral("Provozovna"),                  // Label104 premises heading
        QStringLiteral("VELKOR s.r.o."),               // Label105 company
        QStringLiteral("Průmyslová 36"),               // Label106 premises street
        QStringLiteral("680 01 Boskovice"),            // Label107 postal code and town
        std::nullopt,                                  // Label9 country line
        QStringLiteral("tel.: +420 545 000 101"),      // Label108
        QStringLiteral("fax: +420 545 000 102"),       // Label109
        QStringLiteral("e-mail: info@velkor.example"), // Label110
        QStringLiteral("www.velkor.example"),          // Label111
    };
    p.titleColour = QColor(Qt::red);
    return p;
}

BrandProfile buildSecondProfile()
{
    BrandProfile p;
    p.mainCaption = QStringLiteral("Ovládací program KALMERO - VTR8 a KDM");
    p.label5Visible = false;
    p.clearLabel5 = true;
    p.imageVisible = false;
    p.firmaVisible = true;
    p.linearizationFolder = QStringLiteral("C:\\kalmero_vtr8\\linearizace");
    p.configurationFolder = QStringLiteral("C:\\kalmero_vtr8\\konfigurace");
    p.informationTexts = {
        QStringLiteral("KALMERO a.s."),                             // Label101 company
        QStringLiteral("Na Výsluní 27"),                            // Label102 street
        QStringLiteral("P. O. Box 48"),                             // Label103 post office
        std::nullopt,                                               // Label14 country line
        QStringLiteral("370 01 České Budějovice"),                  // Label104 postal code
        QStringLiteral("tel.: +420 387 000 211, +420 387 000 212"), // Label105
        QStringLiteral("fax: +420 387 000 219"),                    // Label106
        QString(),                                                  // Label107
        QString(),                                                  // Label9
        QStringLiteral("e-mail: obchod@kalmero.example"),           // Label108
        QStringLiteral("www.kalmero.example"),                      // Label109
        QString(),                                                  // Label110
        QString(),                                                  // Label111
    };
    p.titleColour = QColor(Qt::blue);
    return p;
}

} // namespace

const BrandProfile& makerBrandProfile()
{
    static const BrandProfile profile = buildMakerProfile();
    return profile;
}

const BrandProfile& secondBrandProfile()
{
    static const BrandProfile profile = buildSecondProfile();
    return profile;
}

QString formMainCaption()
{
    return QStringLiteral(" Ovládací program   VTR8 a KDM");
}

QString formLinearizationFolder()
{
    return QStringLiteral("\\velkor_vtr8\\linearizace");
}

QString formConfigurationFolder()
{
    return QStringLiteral("\\velkor_vtr8\\konfigurace");
}

QString formCountryLine()
{
    return QStringLiteral("Česká republika");
}

QString makerNameLabel()
{
    return QStringLiteral("VELKOR s.r.o.");
}

QString secondBrandNameLabel()
{
    return QStringLiteral("KALMERO");
}

QColor informationTextColour()
{
    return QColor(Qt::blue);
}

QString nativeFolder(const QString& folder, const QString& homeFolder, bool windows)
{
    if (windows)
        return folder;
    QString path = folder;
    if (path.size() >= 3 && path.at(0).toUpper() == QLatin1Char('C') &&
        path.at(1) == QLatin1Char(':') && path.at(2) == QLatin1Char('\\')) {
        QString home = homeFolder;
        while (home.endsWith(QLatin1Char('/')) && home.size() > 1)
            home.chop(1);
        path = home + QLatin1Char('/') + path.mid(3);
    }
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

QString nativeFolder(const QString& folder)
{
#ifdef Q_OS_WIN
    const bool windows = true;
#else
    const bool windows = false;
#endif
    return nativeFolder(folder, QDir::homePath(), windows);
}

void applyBrandProfile(MainWindowModel& model, const BrandProfile& profile)
{
    model.Caption.text = profile.mainCaption;
    model.Label5.visible = profile.label5Visible;
    if (profile.clearLabel5)
        model.Label5.caption.clear();
    model.IMAGE1.visible = profile.imageVisible;
    model.Firma.visible = profile.firmaVisible;
    model.OpenDialog1InitialDir = profile.linearizationFolder;
    model.OpenDialog2InitialDir = profile.configurationFolder;
    model.SaveDialog1InitialDir = profile.configurationFolder;
    model.notifyChanged();
}

void ButtonVEClick(MainWindowModel& model)
{
    applyBrandProfile(model, makerBrandProfile());
}

void ButtonKAClick(MainWindowModel& model)
{
    applyBrandProfile(model, secondBrandProfile());
}

} // namespace vtr8
