#include "model/main_window_model.h"

#include "model/change_scope.h"

#include "device/choice_texts.h"
#include "linearization/point_set.h"
#include "model/cp1250.h"
#include "model/file_io.h"
#include "model/number_format.h"
#include "model/overwrite_question.h"
#include "model/range_limits.h"
#include "user_interface/user_interface.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

// The configuration text file: the main window's texts as "key: value" lines,
// code page 1250, CR LF. Loading pushes every value through the handlers a typed
// value passes, so a loaded configuration is checked exactly like a typed one.
namespace vtr8 {

namespace {

const QString Header = QStringLiteral("Konfigurační data pro VTR8:");
const QString DataError = QStringLiteral("Chyba v datech souboru.");
const QString FileFilter = QStringLiteral("Konfigurace (*.txt)|*.txt|Všechny soubory (*.*)|*.*");

namespace key {
const QString Input = QStringLiteral("vstup: ");
const QString Start = QStringLiteral("dolní mez: ");
const QString End = QStringLiteral("horní mez: ");
const QString Unit = QStringLiteral("jednotka: ");
const QString Linearization = QStringLiteral("linearizace: ");
const QString Damping = QStringLiteral("tlumení: ");
const QString ErrorCurrent = QStringLiteral("chybový proud: ");
const QString Connection = QStringLiteral("připojení čidla: ");
const QString Parasitic = QStringLiteral("Parazitní odpor: ");
const QString ResistorSum = QStringLiteral("max. hodnota součtu obou rezistorů: ");
const QString Potentiometer = QStringLiteral("max. hodnota potenciometru: ");
const QString ColdJunction = QStringLiteral("vzdálenost st. konce: ");
const QString Divider = QStringLiteral("zeslabení děličem: ");
const QString MaxVoltage = QStringLiteral("max. hodnota napětí: ");
const QString Shunt = QStringLiteral("snímací odpor: ");
const QString MaxCurrent = QStringLiteral("maximální hodnota proudu: ");
} // namespace key

QString ioErrorMessage(int error)
{
    return QStringLiteral("Chyba c. ") + QString::number(error);
}

// Lines as the file's reader sees them: a line ends at LF, a CR before the LF
// belongs to the line end. Reading past the end gives empty lines.
class LineReader {
public:
    explicit LineReader(const QString& text) : text_(text) {}
    bool atEnd() const { return pos_ >= text_.size(); }
    QString next()
    {
        if (atEnd())
            return {};
        qsizetype end = text_.indexOf(QLatin1Char('\n'), pos_);
        const qsizetype stop = end < 0 ? text_.size() : end;
        QString line = text_.mid(pos_, stop - pos_);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        pos_ = end < 0 ? text_.size() : end + 1;
        return line;
    }

private:
    const QString& text_;
    qsizetype pos_ = 0;
};

} // namespace

// Every number goes out with the locale's separator, so one file holds one separator.
std::optional<QByteArray> MainWindowModel::configurationFileBytes()
{
    QStringList lines;
    lines << Header << QString();
    lines << key::Input + Vstup.text;
    lines << key::Start + UpravaFormatu(Pocatek.text);
    lines << key::End + UpravaFormatu(Konec.text);
    lines << key::Unit + Label8.caption;
    lines << key::Linearization + Linearizace.text;
    lines << key::Damping + UpravaFormatu(Tlumeni.text) + QLatin1Char('s');
    lines << key::ErrorCurrent + ChybProud.text;
    using T = InputType;
    const std::optional<InputType> t = inputTypeFromText(Vstup.text);
    if (t && isResistanceThermometer(*t)) {
        lines << key::Connection + PripCidl.text;
        lines << key::Parasitic + UpravaFormatu(formatFixed(ParasiticResistance, 3, 5));
    }
    if (t == T::Rheostat)
        lines << key::Connection + PripCidl.text;
    if (t == T::ResistorDifference)
        lines << key::ResistorSum + UpravaFormatu(formatFixed(TotalValue, 3));
    if (t == T::PotentiometerAbsolute)
        lines << key::Connection + PripCidl.text;
    if (t == T::PotentiometerRelative) {
        lines << key::Connection + PripCidl.text;
        lines << key::Potentiometer + UpravaFormatu(formatFixed(TotalValue, 3));
    }
    if (t && isThermocouple(*t))
        lines << key::ColdJunction + VzdStKon.text;
    if (t == T::Voltage)
        lines << key::Divider + UpravaFormatu(DelPomer.text);
    if (t == T::VoltageDifference) {
        lines << key::MaxVoltage + UpravaFormatu(formatFixed(TotalValue, 3));
        lines << key::Divider + UpravaFormatu(DelPomer.text);
    }
    if (t == T::Current || t == T::CurrentDifference)
        lines << key::Shunt + UpravaFormatu(SnOdpor.text);
    if (t == T::CurrentDifference)
        lines << key::MaxCurrent + UpravaFormatu(CelkovyOdpor.text);

    QByteArray bytes;
    for (const QString& line : lines) {
        // A line break inside a value would split it into lines the loader reads
        // as other keys.
        const qsizetype breakAt = line.indexOf(QRegularExpression(QStringLiteral("[\\r\\n]")));
        const Cp1250Encoding encoded = encodeCp1250(line);
        if (breakAt >= 0 || !encoded.ok()) {
            const QString bad = breakAt >= 0 ? line.mid(breakAt, 1) : encoded.unmappable;
            const char32_t code = bad.toUcs4().value(0);
            const QString shown =
                QChar::isPrint(code)
                    ? bad
                    : QStringLiteral("U+%1").arg(static_cast<uint>(code), 4, 16, QLatin1Char('0'));
            message(QStringLiteral("Znak „") + shown +
                    QStringLiteral("“ nelze uložit do souboru konfigurace (řádek „") +
                    line.trimmed() + QStringLiteral("“). Soubor nebyl uložen."));
            return std::nullopt;
        }
        bytes += encoded.bytes;
        bytes += "\r\n";
    }
    return bytes;
}

bool MainWindowModel::saveConfiguration(const QString& path)
{
    ChangeScope scope(*this);
    ConfigIncomplete = false;
    Testvyplneni();
    if (ConfigIncomplete)
        return false;
    const std::optional<QByteArray> bytes = configurationFileBytes();
    if (!bytes)
        return false;
    if (const int error = saveFileAtomically(path, *bytes); error != 0) {
        message(ioErrorMessage(error));
        return false;
    }
    points_.PointFileOk = true;
    return true;
}

void MainWindowModel::UlosoubClick()
{
    ChangeScope scope(*this);
    Ulosoub.enabled = false;
    ConfigIncomplete = false;
    Testvyplneni();
    if (!ConfigIncomplete) {
        emit changed();
        // "Ne" to the overwrite question is a wish for another name: the dialog comes back.
        for (;;) {
            QString path = ui_.chooseSaveFile(QString(), SaveDialog1InitialDir, FileFilter);
            if (path.isEmpty())
                break;
            // The dialog's default extension: a name typed without one gets ".txt".
            if (QFileInfo(path).suffix().isEmpty())
                path += QStringLiteral(".txt");
            if (!ConfirmOverwrite(ui_, path))
                continue;
            if (saveConfiguration(path)) // a failure has said what went wrong
                emit configurationFileDone(path, true);
            break;
        }
    }
    Ulosoub.enabled = true;
}

void MainWindowModel::ctisoubClick()
{
    ChangeScope scope(*this);
    emit changed();
    const QString path = ui_.chooseOpenFile(QString(), OpenDialog2InitialDir, FileFilter);
    if (path.isEmpty())
        return;
    ctisoub.enabled = false;
    const bool loaded = loadConfiguration(path); // a failure has said what went wrong
    ctisoub.enabled = true;
    if (loaded)
        emit configurationFileDone(path, false);
}

bool MainWindowModel::loadConfiguration(const QString& path)
{
    ChangeScope scope(*this);
    const FileRead file = readWholeFile(path);
    if (file.status == FileRead::Status::OpenFailed) {
        message(ioErrorMessage(file.error));
        return false;
    }
    if (file.status != FileRead::Status::Ok) {
        // Nothing of a file that could not be read, or that is far too large to be
        // a configuration, is applied.
        points_.PointFileOk = false;
        message(DataError);
        return false;
    }
    return loadConfigurationData(file.data);
}

bool MainWindowModel::loadConfigurationData(const QByteArray& bytes)
{
    ChangeScope scope(*this);
    const QString text = decodeCp1250(bytes);
    LineReader reader(text);
    // An empty file holds no configuration; it is not loaded "successfully".
    bool error = bytes.isEmpty();

    // One pass reads one whole configuration; anything after it starts another
    // pass, whose header test fails. After the first fault nothing more of the
    // file is applied, so the passes end there.
    while (!reader.atEnd() && !error) {
        if (reader.next() != Header)
            error = true;
        if (!error && !reader.next().isEmpty())
            error = true;

        // Reads the next line if no fault was found yet: false when the line is
        // to be skipped, else the key check (which sets the fault) and the value.
        auto keyed = [&](const QString& expected, bool& keyOk, QString& value) {
            if (error)
                return false;
            const QString line = reader.next();
            keyOk = line.left(expected.size()) == expected;
            if (!keyOk)
                error = true;
            value = line.mid(expected.size());
            return true;
        };
        bool keyOk = false;
        QString value;
        std::optional<QString> fileUnit;

        if (keyed(key::Input, keyOk, value)) {
            if (inputTypeFromText(value)) {
                Vstup.text = value;
                Vstup.itemIndex = int(Vstup.items.indexOf(value));
                if (!error)
                    VstupChange();
            } else {
                error = true;
            }
        }

        if (!error) {
            // Both range lines are applied even when a key is wrong; their checks
            // run at the end of the pass.
            for (bool start : {true, false}) {
                const QString line = reader.next();
                const QString& expected = start ? key::Start : key::End;
                if (line.left(expected.size()) != expected)
                    error = true;
                const auto number = parseLocaleNumber(UpravaFormatu(line.mid(expected.size())));
                // A value beyond the float would come back as INF, which no field or file
                // may show: it is as unusable as a text that is not a number.
                if (!number || !std::isfinite(static_cast<float>(*number))) {
                    points_.PointFileOk = false;
                    message(DataError);
                    return false;
                }
                const Extended rounded = keptRangeValue(*number, inputTypeFromText(Vstup.text));
                // The value itself is kept as well, so the span check at the end
                // of the pass compares the two loaded limits, not a stale one.
                (start ? RangeStart : RangeEnd) = rounded;
                setText(start ? Pocatek : Konec, formatGeneral(rounded, 10));
            }
        }

        if (keyed(key::Unit, keyOk, value) && keyOk) {
            const QStringList units{choice::DegreesCelsius, choice::Ohm,     choice::Volt,
                                    choice::Milliampere,    choice::Percent, choice::NoUnit};
            if (units.contains(value)) {
                VolenaJednotka.text = value;
                VolenaJednotka.itemIndex = int(VolenaJednotka.items.indexOf(value));
                fileUnit = value;
            }
        }

        if (keyed(key::Linearization, keyOk, value)) {
            const QStringList modes{choice::Linearized, choice::NotLinearized, choice::SquareRoot,
                                    choice::FromFile};
            if (keyOk && modes.contains(value)) {
                Linearizace.text = value;
                Linearizace.itemIndex = int(Linearizace.items.indexOf(value));
            }
            LinearizaceChange();
            // A point file's unit is the file's own: choosing the point file resets the
            // unit box, so the saved unit is applied after it, as if chosen by hand.
            if (isFromFile() && fileUnit) {
                VolenaJednotka.text = *fileUnit;
                VolenaJednotkaChange();
            }
        }

        if (keyed(key::Damping, keyOk, value) && keyOk) {
            value.chop(1); // the "s" of seconds
            setText(Tlumeni, UpravaFormatu(value));
            TlumeniExit();
        }

        if (keyed(key::ErrorCurrent, keyOk, value) && keyOk) {
            setText(ChybProud, value);
            ChybProudExit();
        }

        auto connection = [&] {
            if (keyed(key::Connection, keyOk, value) && keyOk) {
                PripCidl.text = value;
                PripCidlChange();
            }
        };
        auto totalValue = [&](const QString& expected) {
            if (keyed(expected, keyOk, value) && keyOk) {
                setText(CelkovyOdpor, value);
                CelkovyOdporExit();
            }
        };
        auto divider = [&] {
            if (keyed(key::Divider, keyOk, value) && keyOk) {
                setText(DelPomer, value);
                DelPomerExit();
            }
        };
        auto shunt = [&] {
            if (keyed(key::Shunt, keyOk, value) && keyOk) {
                setText(SnOdpor, value);
                SnOdporExit();
            }
        };

        using T = InputType;
        const std::optional<InputType> t = inputTypeFromText(Vstup.text);
        if (t && isResistanceThermometer(*t)) {
            connection();
            if (keyed(key::Parasitic, keyOk, value) && keyOk) {
                setText(korekcePV, value);
                korekcePVExit();
            }
        }
        if (t == T::Rheostat)
            connection();
        if (t == T::ResistorDifference)
            totalValue(key::ResistorSum);
        if (t == T::PotentiometerAbsolute)
            connection();
        if (t == T::PotentiometerRelative) {
            connection();
            totalValue(key::Potentiometer);
        }
        if (t && isThermocouple(*t)) {
            if (keyed(key::ColdJunction, keyOk, value) && keyOk) {
                setText(VzdStKon, value);
                VzdStKonExit();
            }
        }
        if (t == T::Voltage)
            divider();
        if (t == T::VoltageDifference) {
            totalValue(key::MaxVoltage);
            divider();
        }
        if (t == T::Current || t == T::CurrentDifference)
            shunt();
        if (t == T::CurrentDifference)
            totalValue(key::MaxCurrent);

        PocatekExit();
        KonecExit();
    }

    points_.PointFileOk = true;
    if (error)
        message(DataError);
    return !error;
}

} // namespace vtr8
