#include "write_fixture.h"

#include "sim/fault_plan.h"
#include "support/core_application.h"
#include "transfer/link_failure_report.h"

#include <QLocale>
#include <QRegularExpression>

namespace vtr8::test {

WriteFixture::WriteFixture(const sim::SimOptions& options)
    : link((EnsureCoreApplication(), options)),
      workspace(points,
                [this](const std::string& text) { link.ui.message(QString::fromStdString(text)); }),
      model(link.ui, points), ctx(model, link.protocol, link.ui, points, workspace)
{
    ReportLinkFailures(link.protocol, link.ui);
    QObject::connect(&model, &MainWindowModel::changed, [this] {
        if (progress.empty() || progress.back() != model.Prenos.position)
            progress.push_back(model.Prenos.position);
    });
}

void WriteFixture::fill(std::initializer_list<std::pair<const char*, const char*>> fields)
{
    const QChar separator = QLocale::system().decimalPoint().at(0);
    for (const auto& [name, value] : fields) {
        Control* control = model.control(QString::fromUtf8(name));
        if (!control)
            continue;
        QString text = QString::fromUtf8(value);
        // Numbers are typed with the person's decimal separator; list texts stay as they are.
        static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
        if (number.match(text).hasMatch())
            text.replace(QLatin1Char('.'), separator);
        model.userEdit(*control, text);
        const QString field = QString::fromUtf8(name);
        if (field == QStringLiteral("Pocatek"))
            model.PocatekExit();
        else if (field == QStringLiteral("Konec"))
            model.KonecExit();
        else if (field == QStringLiteral("Tlumeni"))
            model.TlumeniExit();
        else if (field == QStringLiteral("SnOdpor"))
            model.SnOdporExit();
        else if (field == QStringLiteral("DelPomer"))
            model.DelPomerExit();
        else if (field == QStringLiteral("CelkovyOdpor"))
            model.CelkovyOdporExit();
        else if (field == QStringLiteral("korekcePV"))
            model.korekcePVExit();
    }
}

std::vector<SentCommand> WriteFixture::sent() const
{
    std::vector<SentCommand> result;
    for (const auto& [command, data] : link.commands()) {
        SentCommand c{command, 0, {}};
        if ((command == ReadEeprom || command == WriteEeprom) && data.size() >= 3) {
            c.address = static_cast<std::uint16_t>(data[0] << 8 | data[1]);
            if (command == WriteEeprom)
                c.bytes.assign(data.begin() + 3, data.end());
            else
                c.bytes.push_back(data[2]); // the count asked for
        }
        result.push_back(c);
    }
    return result;
}

std::vector<SentCommand> WriteFixture::writes() const
{
    std::vector<SentCommand> result;
    for (const SentCommand& c : sent())
        if (c.command == WriteEeprom)
            result.push_back(c);
    return result;
}

std::vector<std::uint8_t> WriteFixture::lastWrite(std::uint16_t address) const
{
    std::vector<std::uint8_t> bytes;
    for (const SentCommand& c : writes())
        if (c.address == address)
            bytes = c.bytes;
    return bytes;
}

float WriteFixture::floatAt(int address)
{
    return sim::GetTransmitterFloat(eeprom(), address);
}

void WriteFixture::swallowRequests(int first, int last)
{
    sim::FaultRule rule;
    rule.kind = sim::FaultKind::NoReply;
    rule.first = first;
    rule.last = last;
    link.transmitter().faults().add(rule);
}

void FillVoltage(WriteFixture& f, const char* divider, const char* linearization, const char* end,
                 const char* errorCurrent)
{
    f.fill({{"Vstup", "napětí"},
            {"DelPomer", divider},
            {"Linearizace", linearization},
            {"Pocatek", "0"},
            {"Konec", end},
            {"Tlumeni", "1"},
            {"ChybProud", errorCurrent}});
}

std::vector<std::uint8_t> FloatBytes(std::initializer_list<float> values)
{
    std::vector<std::uint8_t> out;
    for (float v : values) {
        const auto b = sim::EncodeTransmitterFloat(v);
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

void ChoosePoints(WriteFixture& f, PointFitMethod method,
                  std::initializer_list<std::pair<double, double>> points)
{
    // The chooser runs later, after the initializer list's array is gone: keep a copy.
    std::vector<std::pair<double, double>> xy(points);
    f.model.setPointFileChooser([&f, method, xy] {
        f.model.OpenDialog1FileName = QStringLiteral("/tmp/body.txt");
        int i = 0;
        for (const auto& [x, y] : xy) {
            ++i;
            f.points.MeasuredInput[i] = x;
            f.points.RequiredOutput[i] = y;
        }
        f.points.PointCount = i;
        // The straight lines through the end points, as reading a point file leaves them.
        const auto [x1, y1] = xy.front();
        const auto [xn, yn] = xy.back();
        if (xn != x1 && yn != y1) {
            f.points.LineSlope = (yn - y1) / (xn - x1);
            f.points.LineOffset = y1 - f.points.LineSlope * x1;
            f.points.InverseSlope = (xn - x1) / (yn - y1);
            f.points.InverseOffset = x1 - f.points.InverseSlope * y1;
        }
        f.points.Method = method;
        f.points.PolynomialDegree = i > 4 ? 3 : 6;
        f.points.PointFileOk = true;
        return true;
    });
}

} // namespace vtr8::test
