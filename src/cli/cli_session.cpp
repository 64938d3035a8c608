#include "cli/cli_session.h"

#include "cli/frame_command.h"
#include "cli/linearization_command.h"
#include "configuration/configuration_file.h"
#include "configuration/cp1250.h"
#include "configuration/number_format.h"
#include "link/port_mapping.h"
#include "link/port_selection.h"
#include "model/comparators.h"
#include "model/editor_read.h"
#include "model/measurement_input.h"
#include "model/user_note.h"
#include "model/zero_span.h"
#include "transfer/link_failure_report.h"
#include "transfer/note_codec.h"
#include "transfer/transfer_session.h"
#include "transfer/write_configuration.h"

#include <QEventLoop>
#include <QIODevice>
#include <QTime>

#include <limits>

#include "cli/terminal.h"
#include <cstdio>

namespace vtr8 {

CliSession::CliSession(const CliOptions& options, TextUserInterface& ui, QTextStream& out)
    : options_(options), ui_(ui), out_(out),
      workspace_(points_,
                 [&ui](const std::string& text) { ui.message(QString::fromStdString(text)); }),
      model_(ui, points_), table_(model_), ctx_(model_, link_, ui, points_, workspace_)
{
    ReportLinkFailures(link_, ui_);
    workspace_.DecimalSeparator = localeDecimalSeparator().toLatin1();
    link_.setFrameObserver([this](bool outgoing, const QByteArray& bytes) {
        if (frameTap_)
            frameTap_(outgoing, bytes);
        if (options_.trace) {
            const QByteArray line =
                (QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) +
                 (outgoing ? QStringLiteral(" -> ") : QStringLiteral(" <- ")) + HexBytes(bytes))
                    .toUtf8();
            std::fprintf(stderr, "%s\n", line.constData());
            std::fflush(stderr);
        }
    });
}

CliSession::~CliSession()
{
    link_.closePort();
}

bool choosePortFromOptions(const CliOptions& options, CommandProtocol& link, UserInterface& ui)
{
    if (!options.port.isEmpty()) {
        // "COM3" is the third of the eight wherever it is mapped.
        for (int i = 0; i < ComPortCount; ++i) {
            if (options.port.compare(ComPortItemText(i), Qt::CaseInsensitive) == 0) {
                link.session().setPortIndex(i);
                return true;
            }
        }
        // Qt would take a bare name for /dev/NAME, which may be a console.
        const std::optional<QString> path = ResolvePortName(options.port);
        if (!path) {
            ui.message(UnknownPortMessage(options.port));
            return false;
        }
        link.session().setDevicePath(*path);
    } else if (options.com) {
        link.session().setPortIndex(*options.com - 1);
    } else {
        const PortSelection stored;
        stored.applyTo(link.session(), DefaultPortListing());
    }
    return true;
}

bool CliSession::choosePort()
{
    return choosePortFromOptions(options_, link_, ui_);
}

void CliSession::interrupt()
{
    interrupted_ = true;
    if (stopMeasuring_) {
        stopMeasuring_();
        return;
    }
    link_.session().requestAbandon(InterruptedMessage());
}

int CliSession::run()
{
    if (!choosePort())
        return ExitEndedEarly;
    const QString& c = options_.command;
    // The port is this program's from the first command to the last, so a
    // read-then-write (comparator, adjust) cannot be split by another program.
    // What opens no port locks none.
    const bool offline = c == QLatin1String("linearization") ||
                         (c == QLatin1String("verify") && !options_.imageFile.isEmpty());
    if (!offline && !link_.session().holdPort())
        return ExitEndedEarly;
    if (c == QLatin1String("write"))
        return write();
    if (c == QLatin1String("read"))
        return read();
    if (c == QLatin1String("verify"))
        return verify();
    if (c == QLatin1String("backup"))
        return backup();
    if (c == QLatin1String("measure"))
        return measure();
    if (c == QLatin1String("note"))
        return note();
    if (c == QLatin1String("comparator"))
        return comparator();
    if (c == QLatin1String("adjust"))
        return adjust();
    if (c == QLatin1String("check"))
        return check();
    if (c == QLatin1String("report"))
        return report();
    if (c == QLatin1String("linearization"))
        return RunLinearizationCommand(options_, ui_, out_, model_, table_);
    return ExitUsage;
}

bool CliSession::loadForWrite(const QString& refusal)
{
    if (!options_.pointsFile.isEmpty())
        ui_.openFileAnswers.push_back(options_.pointsFile);
    if (options_.method == QLatin1String("segments"))
        table_.Zpus_linClick(static_cast<int>(PointFitMethod::StraightLines));
    else if (options_.method == QLatin1String("polynomial"))
        table_.Zpus_linClick(static_cast<int>(PointFitMethod::Polynomial));

    const MainWindowModel::LoadOutcome load = model_.loadConfiguration(options_.arguments[0]);
    if (!load)
        return false;
    // A value a field check refused would be written as whatever the check left
    // behind; in the window the technician corrects it first, a script cannot.
    if (!load.accepted) {
        ui_.message(refusal);
        return false;
    }
    if (table_.shown) {
        const bool degreeStands =
            !options_.degree || table_.stup_pChange(QString::number(*options_.degree));
        if (!table_.OKClick() || !degreeStands || table_.shown) {
            ui_.message(refusal);
            return false;
        }
    }
    return true;
}

int CliSession::write()
{
    if (!loadForWrite(QStringLiteral("Konfigurace nebyla zapsána.")))
        return ExitEndedEarly;
    ctx_.readBackWrites = options_.verify;
    const auto configuration = model_.configurationForTransfer();
    return configuration && WriteConfiguration(ctx_, *configuration) ? ExitDone : ExitEndedEarly;
}

void CliSession::printConfiguration()
{
    const std::optional<QByteArray> bytes = model_.configurationFileBytes();
    if (!bytes)
        return;
    out_.flush();
    if (options_.utf8 || isTerminal(stdout)) {
        QString text = decodeCp1250(*bytes);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        out_ << text;
        out_.flush();
    } else {
        // Into a file or a pipe: the configuration file exactly as the window saves it.
        out_.device()->write(*bytes);
    }
}

void CliSession::showRead(const QByteArray& configuration, const QString& note)
{
    if (const std::optional<Configuration> c = parseConfigurationFile(configuration))
        model_.applyReadConfiguration(*c);
    model_.setText(model_.EditUzPozn, note);
}

int CliSession::measure()
{
    // The window shows as many decimals as the configuration on screen asks for.
    if (options_.readFirst && !PrecistClick(ctx_))
        return ExitEndedEarly;
    MeasurementModel measurement(link_, editorInputChoice(model_));
    MeasurementReading last;
    QObject::connect(&measurement, &MeasurementModel::readingTaken,
                     [&last](const MeasurementReading& r) { last = r; });
    if (options_.csv)
        out_ << ReadingsCsvHeader();
    int printed = 0;
    auto printNew = [&] {
        while (printed < measurement.readingCount()) {
            ++printed;
            if (options_.csv)
                out_ << ReadingCsvLine(last);
            else
                out_ << measurement.ZoZmHodn << ' ' << measurement.Z_jedn << '\n';
            out_.flush();
        }
    };
    if (options_.count == 1) {
        measurement.Button1Click();
        printNew();
        return measurement.readingCount() == 1 ? ExitDone : ExitEndedEarly;
    }

    const bool untilInterrupted = options_.count == 0;
    bool stoppedHere = false;
    QEventLoop loop;
    const auto stop = [&] {
        stoppedHere = true;
        measurement.Stop_merClick();
        loop.quit();
    };
    QObject::connect(&measurement, &MeasurementModel::changed, &loop, [&] {
        printNew();
        if (!untilInterrupted && measurement.readingCount() >= options_.count)
            stop();
    });
    QObject::connect(&measurement, &MeasurementModel::continuousStopped, &loop, &QEventLoop::quit);
    stopMeasuring_ = stop;
    measurement.Start_MerClick();
    if (measurement.continuousRunning())
        loop.exec();
    stopMeasuring_ = nullptr;
    printNew();
    if (interrupted_) {
        // The reading in flight has ended; a failed one was reported by the link.
        if (untilInterrupted && stoppedHere && link_.lastFailure().error == LinkError::None)
            return ExitDone;
        ui_.message(InterruptedMessage());
        return ExitEndedEarly;
    }
    if (untilInterrupted)
        return ExitEndedEarly; // only a failed reading ends it otherwise
    return measurement.readingCount() >= options_.count ? ExitDone : ExitEndedEarly;
}

int CliSession::note()
{
    TransferSession session(link_);
    if (!session.active())
        return ExitEndedEarly;
    if (options_.arguments[0] == QLatin1String("read")) {
        if (!cteni_uz_pozn(ctx_))
            return ExitEndedEarly;
        out_ << visibleControlCharacters(model_.EditUzPozn.text) << '\n';
        out_.flush();
        return ExitDone;
    }
    model_.setText(model_.EditUzPozn, options_.arguments[1]);
    return zapis_uz_pozn(ctx_) ? ExitDone : ExitEndedEarly;
}

namespace {

// One comparator's fields on the main window, so both comparators run through the same code;
// each edit field is committed through its own exit check.
struct ComparatorControls {
    struct Field {
        Control& control;
    };
    Field on, off, onDelay, offDelay;
    Control& mode;
    Control& enable;
};

ComparatorControls comparatorControls(MainWindowModel& m, bool first)
{
    if (first)
        return {{m.EMezsep1}, {m.EMezroz1}, {m.EZpoSep1},
                {m.EZpoRoz1}, m.RezimRele1, m.PovolKompar1};
    return {{m.EMezsep2}, {m.EMezroz2}, {m.Ezposep2}, {m.Ezporoz2}, m.RezimRele2, m.PovolKompar2};
}

} // namespace

int CliSession::comparator()
{
    const bool first = options_.arguments[0] == QLatin1String("1");
    MainWindowModel& m = model_;
    const ComparatorControls c = comparatorControls(m, first);
    if (options_.arguments[1] == QLatin1String("read")) {
        if (!(first ? Preckomp1Click(ctx_) : Preckomp2Click(ctx_)))
            return ExitEndedEarly;
        out_ << "povoleno: " << (c.enable.checked ? "ano" : "ne") << '\n'
             << "režim: " << c.mode.text << '\n'
             << "mez sepnutí: " << c.on.control.text << '\n'
             << "mez rozepnutí: " << c.off.control.text << '\n'
             << "zpoždění sepnutí: " << c.onDelay.control.text << '\n'
             << "zpoždění rozepnutí: " << c.offDelay.control.text << '\n';
        out_.flush();
        return ExitDone;
    }

    if (!*options_.enable) {
        // Switching off stores the mode byte only; the store still checks the fields, so they
        // hold what the transmitter has.
        if (!(first ? Preckomp1Click(ctx_) : Preckomp2Click(ctx_)))
            return ExitEndedEarly;
        c.enable.checked = false;
        m.notifyChanged();
        const int declinedBefore = ui_.declined;
        if (!(first ? Ulozkomp1Click(ctx_) : Ulozkomp2Click(ctx_)))
            return ExitEndedEarly;
        return ui_.declined == declinedBefore ? ExitDone : ExitEndedEarly;
    }

    // The limits are checked against the measuring range the window shows, so the
    // configuration is read first, as a technician would before setting a comparator.
    if (!PrecistClick(ctx_))
        return ExitEndedEarly;
    // Both limits are new: neither is compared with a value the other is about to replace.
    ComparatorValues& values = first ? m.Comparator1 : m.Comparator2;
    values.SwitchOnLimit = values.SwitchOffLimit = std::numeric_limits<Extended>::quiet_NaN();
    // Each value goes in as the technician would type it and leave the field; the first
    // refusal ends it, as the technician would correct that field before going on.
    for (const auto& [field, text] :
         {std::pair{c.on, options_.on}, std::pair{c.off, options_.off},
          std::pair{c.onDelay, options_.onDelay}, std::pair{c.offDelay, options_.offDelay}}) {
        m.userEdit(field.control, text);
        if (!m.commitField(field.control))
            return ExitEndedEarly;
    }
    c.mode.text = options_.mode;
    c.mode.itemIndex = static_cast<int>(c.mode.items.indexOf(options_.mode));
    c.enable.checked = *options_.enable;
    m.notifyChanged();
    const int declinedBefore = ui_.declined;
    if (!(first ? Ulozkomp1Click(ctx_) : Ulozkomp2Click(ctx_)))
        return ExitEndedEarly;
    // Declining the switch-off still resets the transmitter, but nothing was stored.
    return ui_.declined == declinedBefore ? ExitDone : ExitEndedEarly;
}

int CliSession::adjust()
{
    const bool start = options_.arguments[0] == QLatin1String("start");
    // The range read back is shown in the range unit only once the configuration
    // (input type, linearization, characteristics) is known, as in the window.
    if (!PrecistClick(ctx_))
        return ExitEndedEarly;
    if (!(start ? S_DolmezClick(ctx_) : S_HormezClick(ctx_)))
        return ExitEndedEarly;
    out_ << "dolní mez: " << model_.Pocatek.text << '\n'
         << "horní mez: " << model_.Konec.text << '\n';
    out_.flush();
    return ExitDone;
}

} // namespace vtr8
