#include "support/transfer_bench.h"

#include "transfer/link_failure_report.h"

#include "sim/fault_plan.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <ostream>

namespace vtr8::test {

void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "transfer-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

Request ReadRequest(std::uint16_t address, std::uint8_t count)
{
    return {113,
            {static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address), count}};
}

Request WriteRequest(std::uint16_t address, std::vector<std::uint8_t> bytes)
{
    std::vector<std::uint8_t> data{static_cast<std::uint8_t>(address >> 8),
                                   static_cast<std::uint8_t>(address),
                                   static_cast<std::uint8_t>(bytes.size())};
    data.insert(data.end(), bytes.begin(), bytes.end());
    return {114, data};
}

Request Command(std::uint8_t number)
{
    return {number, {}};
}

std::ostream& operator<<(std::ostream& out, const Request& request)
{
    out << "cmd " << int(request.command) << " [";
    for (std::uint8_t b : request.data)
        out << ' ' << int(b);
    return out << " ]";
}

TransferBench::TransferBench(const sim::SimOptions& options)
    : link((EnsureApplication(), options)), workspace(points), model(link.ui, points),
      ctx(model, link.protocol, link.ui, points, workspace)
{
    ReportLinkFailures(link.protocol, link.ui);
    QObject::connect(&model, &MainWindowModel::changed, [this] {
        if (progress.empty() || progress.back() != model.Prenos.position)
            progress.push_back(model.Prenos.position);
    });
}

std::vector<Request> TransferBench::requests() const
{
    std::vector<Request> result;
    for (const auto& [command, data] : link.commands())
        result.push_back({command, data});
    return result;
}

void TransferBench::noReply(int first, int last)
{
    sim::FaultRule rule;
    rule.kind = sim::FaultKind::NoReply;
    rule.first = first;
    rule.last = last;
    link.transmitter().faults().add(rule);
}

bool WriteEditorConfiguration(EditorTransferContext& ctx, MainWindowModel& model,
                              const WriteTiming& timing)
{
    const std::optional<Configuration> configuration = model.configurationForTransfer();
    return configuration && WriteConfiguration(ctx, *configuration, timing);
}

QString Localised(const char* text)
{
    QString result = QString::fromUtf8(text);
    const QChar separator = QLocale::system().decimalPoint().at(0);
    result.replace(QLatin1Char('.'), separator);
    return result;
}

void PutFloat(sim::EepromImage& image, int address, float value)
{
    sim::PutTransmitterFloat(image, address, value);
}

void PutReversedFloat(sim::EepromImage& image, int address, float value)
{
    const auto bytes = sim::EncodeTransmitterFloat(value);
    for (int i = 0; i < 4; ++i)
        image[static_cast<std::size_t>(address + i)] = bytes[static_cast<std::size_t>(3 - i)];
}

std::vector<std::uint8_t> FloatBytes(float value)
{
    const auto bytes = sim::EncodeTransmitterFloat(value);
    return {bytes.begin(), bytes.end()};
}

} // namespace vtr8::test
