// vtr8ctl as a script sees it: the executable against the vtr8-sim executable
// over a pty, checked by exit status, stdout and the exact stderr texts.
#include "link/port_lock.h"
#include "link/port_mapping.h"
#include "support/core_application.h"
#include "support/sim_process.h"
#include "transfer/link_failure_report.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using vtr8::test::SimProcess;

struct CtlRun {
    int exitCode = -1;
    QByteArray out;
    QString err;
    qint64 ms = 0;
};

CtlRun vtr8ctl(const QStringList& arguments, const QString& standardOutputFile = {})
{
    QProcess p;
    if (!standardOutputFile.isEmpty())
        p.setStandardOutputFile(standardOutputFile);
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral(VTR8CTL_EXECUTABLE), arguments);
    p.closeWriteChannel(); // stdin is no terminal: questions are answered No
    EXPECT_TRUE(p.waitForFinished(120000));
    CtlRun r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    r.ms = t.elapsed();
    return r;
}

QStringList on(const SimProcess& sim, QStringList arguments)
{
    return QStringList{QStringLiteral("--port"), sim.devicePath()} + arguments;
}

QString example(const char* name)
{
    return QStringLiteral(VTR8_EXAMPLES_DIR "/") + QString::fromUtf8(name);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// A configuration file as the window writes it: Windows-1250, CR LF.
QString writeConfig(QTemporaryDir& dir, const char* name, const QStringList& lines)
{
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    QByteArray bytes;
    for (const QString& line : lines) {
        QByteArray encoded;
        for (const QChar c : line) {
            // The few Czech letters these fixtures use, in Windows-1250.
            switch (c.unicode()) {
            case 0x010D:
                encoded += '\xE8';
                break; // č
            case 0x00ED:
                encoded += '\xED';
                break; // í
            case 0x00FD:
                encoded += '\xFD';
                break; // ý
            case 0x00E1:
                encoded += '\xE1';
                break; // á
            case 0x0159:
                encoded += '\xF8';
                break; // ř
            case 0x016F:
                encoded += '\xF9';
                break; // ů
            case 0x011B:
                encoded += '\xEC';
                break; // ě
            case 0x00B0:
                encoded += '\xB0';
                break; // °
            default:
                encoded += static_cast<char>(c.unicode());
                break;
            }
        }
        bytes += encoded + "\r\n";
    }
    f.write(bytes);
    return path;
}

// Commands the simulator received, by name, from its --trace log.
QStringList commandsSeen(SimProcess& sim)
{
    QStringList names;
    static const QRegularExpression request(QStringLiteral("-> #\\d+ (\\w+):"));
    auto it = request.globalMatch(sim.errorOutput());
    while (it.hasNext())
        names << it.next().captured(1);
    return names;
}

class Vtr8ctl : public ::testing::Test {
protected:
    void SetUp() override { vtr8::test::EnsureCoreApplication(); }
};

} // namespace

TEST_F(Vtr8ctl, EveryExampleIsWrittenAndReadBackToTheSameFile)
{
    for (const char* name : {"pt100-linearized.txt", "thermocouple-k-near-cold-junction.txt",
                             "current-4-20ma-shunt.txt", "voltage-divider.txt"}) {
        SCOPED_TRACE(name);
        SimProcess sim;
        ASSERT_TRUE(sim.start());
        const CtlRun write = vtr8ctl(on(sim, {"--yes", "write", example(name)}));
        EXPECT_EQ(write.exitCode, 0) << write.err.toStdString();
        EXPECT_EQ(write.err, QStringLiteral("Opravdu se má zapsat konfigurace ? ano\n"));

        // Into a pipe the configuration comes out exactly as the window saves it; the
        // examples hold their values in the form a read puts into the fields.
        const CtlRun read = vtr8ctl(on(sim, {"read"}));
        EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
        EXPECT_EQ(read.err, QString());
        EXPECT_EQ(read.out, readAll(example(name)));
    }
}

TEST_F(Vtr8ctl, ReadSavesTheFileAndPrintsUtf8OnRequest)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start());
    ASSERT_EQ(vtr8ctl(on(sim, {"--yes", "write", example("pt100-linearized.txt")})).exitCode, 0);
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("back.txt"));
    const CtlRun read = vtr8ctl(on(sim, {"read", "--utf8", "--save", saved}));
    EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_EQ(readAll(saved), readAll(example("pt100-linearized.txt")));
    EXPECT_TRUE(
        QString::fromUtf8(read.out).contains(QStringLiteral("\nvstup: odporový teploměr Pt100\n")));
}

// A factory-blank transmitter holds no configuration: nothing printed or saved, exit 1.
TEST_F(Vtr8ctl, ReadOfABlankTransmitterEndsWithOne)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start());
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("blank.txt"));
    for (const QStringList& arguments : {on(sim, {"read"}), on(sim, {"read", "--save", saved})}) {
        const CtlRun r = vtr8ctl(arguments);
        EXPECT_EQ(r.exitCode, 1) << arguments.join(' ').toStdString();
        EXPECT_EQ(r.out, QByteArray());
        EXPECT_TRUE(r.err.contains(QString::fromUtf8("Převodník neobsahuje platnou konfiguraci.")))
            << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(saved));
}

// A "ze souboru" configuration is saved with its points rebuilt from the transmitter: the
// pair written to another transmitter leaves the same memory.
TEST_F(Vtr8ctl, ReadSavesAPointFileConfigurationWithItsPoints)
{
    struct Case {
        QStringList configuration;
        QByteArray points;
    };
    const Case cases[] = {
        {{"Konfigurační data pro VTR8:", "", "vstup: proud", "dolní mez: 0", "horní mez: 100",
          "jednotka: %", "linearizace: ze souboru", "tlumení: 0.5s", "chybový proud: nadproud",
          "snímací odpor: 5"},
         "4 0\r\n5.6 5.2\r\n7.2 14.2\r\n8.8 25.2\r\n10.4 37.4\r\n12 50\r\n13.6 62.6\r\n"
         "15.2 74.8\r\n16.8 85.8\r\n18.4 94.8\r\n20 100\r\n"},
        {{"Konfigurační data pro VTR8:", "", "vstup: napětí", "dolní mez: 0", "horní mez: 100",
          "jednotka: %", "linearizace: ze souboru", "tlumení: 1s", "chybový proud: vyřazen",
          "zeslabení děličem: 1"},
         "0 0\r\n0.1 5.2\r\n0.2 14.2\r\n0.3 25.2\r\n0.4 37.4\r\n0.5 50\r\n0.6 62.6\r\n"
         "0.7 74.8\r\n0.8 85.8\r\n0.9 94.8\r\n1 100\r\n"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString configuration = writeConfig(dir, "tank.txt", c.configuration);
        const QString points = dir.filePath(QStringLiteral("tank-points.txt"));
        QFile file(points);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.points);
        file.close();
        const QString first = dir.filePath(QStringLiteral("first.bin"));
        const QString second = dir.filePath(QStringLiteral("second.bin"));
        const QString saved = dir.filePath(QStringLiteral("back.txt"));
        const QString savedPoints = dir.filePath(QStringLiteral("back.body.txt"));
        {
            SimProcess sim({QStringLiteral("--dump"), first});
            ASSERT_TRUE(sim.start());
            CtlRun r = vtr8ctl(on(sim, {"--yes", "write", configuration, "--points", points,
                                        "--method", "segments"}));
            ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
            r = vtr8ctl(on(sim, {"read", "--save", saved}));
            EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
            EXPECT_EQ(
                r.err,
                QStringLiteral("Body linearizace jsou uloženy v souboru „%1“.\n").arg(savedPoints));
            ASSERT_TRUE(sim.stop());
        }
        EXPECT_EQ(readAll(savedPoints), c.points);
        SimProcess sim({QStringLiteral("--dump"), second});
        ASSERT_TRUE(sim.start());
        const CtlRun r = vtr8ctl(
            on(sim, {"--yes", "write", saved, "--points", savedPoints, "--method", "segments"}));
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        ASSERT_TRUE(sim.stop());
        EXPECT_EQ(readAll(first), readAll(second));
    }
}

TEST_F(Vtr8ctl, WithoutYesAScriptDeclinesTheWriteAndNothingIsWritten)
{
    SimProcess sim({QStringLiteral("--trace")});
    ASSERT_TRUE(sim.start());
    const CtlRun r = vtr8ctl(on(sim, {"write", example("pt100-linearized.txt")}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("Opravdu se má zapsat konfigurace ? ne\n"));
    const QStringList seen = commandsSeen(sim);
    EXPECT_FALSE(seen.contains(QStringLiteral("Stop"))) << seen.join(' ').toStdString();
    EXPECT_FALSE(seen.contains(QStringLiteral("WriteEEPROM"))) << seen.join(' ').toStdString();
}

TEST_F(Vtr8ctl, BadFilesEndBeforeAnythingIsSent)
{
    SimProcess sim({QStringLiteral("--trace")});
    ASSERT_TRUE(sim.start());
    QTemporaryDir dir;

    CtlRun r = vtr8ctl(on(sim, {"--yes", "write", dir.filePath(QStringLiteral("missing.txt"))}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("Chyba c. 2\n"));

    // The same "proud" file with one line spoilt in each case.
    const struct {
        const char* name;
        const char* header;
        const char* start;
        const char* damping;
        const char* err;
        bool whole; // the whole of stderr, or its end
    } cases[] = {
        {"other.txt", "Konfigurační data pro XYZ9:", "dolní mez: 4", "tlumení: 0.5s",
         "Chyba v datech souboru.\n", true},
        {"bad.txt", "Konfigurační data pro VTR8:", "dolní mez: čtyři", "tlumení: 0.5s",
         "Chyba v datech souboru.\n", false},
        // A value the field check refuses: its message, then the write is called off.
        {"refused.txt", "Konfigurační data pro VTR8:", "dolní mez: 4", "tlumení: 200s",
         "Povolená mez pro konstantu tlumení je 0.1 až 100 s\nKonfigurace nebyla zapsána.\n", true},
        // A start outside the range with an end inside it (a file whose end was mended).
        {"start.txt", "Konfigurační data pro VTR8:", "dolní mez: -30", "tlumení: 0.5s",
         "Dolní hodnota rozsahu musí být v intervalu -20.000 až 20.000 mA\nKonfigurace nebyla "
         "zapsána.\n",
         true},
    };
    for (const auto& c : cases) {
        const QString file = writeConfig(dir, c.name,
                                         {c.header, "", "vstup: proud", c.start, "horní mez: 20",
                                          "jednotka: mA", "linearizace: nelinearizováno", c.damping,
                                          "chybový proud: nadproud", "snímací odpor: 5"});
        r = vtr8ctl(on(sim, {"--yes", "write", file}));
        EXPECT_EQ(r.exitCode, 1) << c.name;
        if (c.whole) {
            EXPECT_EQ(r.err, QString::fromUtf8(c.err)) << c.name;
        } else {
            EXPECT_TRUE(r.err.endsWith(QString::fromUtf8(c.err))) << r.err.toStdString();
        }
    }

    // What is no regular file is refused at once, before it can block or fill memory.
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {QStringLiteral("/dev/zero"), fifo}) {
        r = vtr8ctl(on(sim, {"--yes", "write", path}));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, QStringLiteral("Chyba c. 22\n"));
        EXPECT_LT(r.ms, 1000);
    }

    EXPECT_EQ(commandsSeen(sim), QStringList());
}

TEST_F(Vtr8ctl, OutputThatCannotBeWrittenEndsWithOne)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start());
    ASSERT_EQ(vtr8ctl(on(sim, {"--yes", "write", example("pt100-linearized.txt")})).exitCode, 0);
    const QString full = QStringLiteral("vtr8ctl: Chyba c. 28 při zápisu na standardní výstup, "
                                        "výstup není úplný.\n");
    for (const QStringList& arguments :
         {on(sim, {"read"}), on(sim, {"read", "--utf8"}), on(sim, {"note", "read"}),
          on(sim, {"measure"}), QStringList{"frame", "ReadPV"}}) {
        const CtlRun r = vtr8ctl(arguments, QStringLiteral("/dev/full"));
        EXPECT_EQ(r.exitCode, 1) << arguments.join(' ').toStdString();
        EXPECT_EQ(r.err, full) << arguments.join(' ').toStdString();
    }

    // A save onto a FIFO is refused and the FIFO stays.
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const CtlRun r = vtr8ctl(on(sim, {"read", "--save", fifo}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("Chyba c. 22\n"));
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
}

TEST_F(Vtr8ctl, AnOverdrivenInputIsRefusedBeforeTheConfirmation)
{
    SimProcess sim({QStringLiteral("--trace")});
    ASSERT_TRUE(sim.start());
    QTemporaryDir dir;
    // The sum of both resistors reaches past the largest resistance sub-range.
    const QString path = writeConfig(
        dir, "over.txt",
        {"Konfigurační data pro VTR8:", "", "vstup: rozdíl dvou rezistorů", "dolní mez: 0",
         "horní mez: 100", "jednotka: Ohm", "linearizace: nelinearizováno", "tlumení: 0.5s",
         "chybový proud: nadproud", "max. hodnota součtu obou rezistorů: 5000.000"});
    const CtlRun r = vtr8ctl(on(sim, {"--yes", "write", path}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("Přebuzen vstup\n"));
    EXPECT_FALSE(commandsSeen(sim).contains(QStringLiteral("WriteEEPROM")));
    EXPECT_FALSE(commandsSeen(sim).contains(QStringLiteral("Stop")));
}

TEST_F(Vtr8ctl, ALinkThatFailsEndsWithTheLinkMessage)
{
    {
        // No reply at all: three attempts of about a second each.
        SimProcess sim({QStringLiteral("--fault"), QStringLiteral("no-reply@every")});
        ASSERT_TRUE(sim.start());
        const CtlRun r = vtr8ctl(on(sim, {"note", "read"}));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err,
                  vtr8::LinkFailureMessage({vtr8::LinkError::NoReply, sim.devicePath()}) + '\n');
        EXPECT_EQ(r.out, QByteArray());
        EXPECT_GE(r.ms, 3000);
    }
    {
        SimProcess sim({QStringLiteral("--fault"), QStringLiteral("checksum@every")});
        ASSERT_TRUE(sim.start());
        const CtlRun r = vtr8ctl(on(sim, {"--yes", "write", example("current-4-20ma-shunt.txt")}));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, QStringLiteral("Chyba komunikace\n"));
    }
    {
        const CtlRun r = vtr8ctl({"--port", "/nonexistent/vtr8", "measure"});
        EXPECT_EQ(r.exitCode, 1);
        // A device that does not exist says so after the described text.
        EXPECT_TRUE(
            r.err.startsWith(QStringLiteral("Nejde inicializovat /nonexistent/vtr8 port. ")));
        EXPECT_EQ(r.err,
                  vtr8::LinkFailureMessage({vtr8::LinkError::PortMissing, "/nonexistent/vtr8"}) +
                      '\n');
    }
}

TEST_F(Vtr8ctl, MeasuresAtTheWindowsPace)
{
    SimProcess sim({QStringLiteral("--input"), QStringLiteral("25")});
    ASSERT_TRUE(sim.start());
    ASSERT_EQ(vtr8ctl(on(sim, {"--yes", "write", example("pt100-linearized.txt")})).exitCode, 0);
    const CtlRun r = vtr8ctl(on(sim, {"measure", "--count", "3"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << r.out.toStdString();
    for (const QString& line : lines) {
        const QStringList parts = line.split(' ');
        ASSERT_EQ(parts.size(), 2) << line.toStdString();
        EXPECT_NEAR(parts[0].toDouble(), 25.0, 0.02) << line.toStdString();
        EXPECT_EQ(parts[1], QStringLiteral("°C"));
    }
    // Two intervals of 1.5 s between the first and the third reading.
    EXPECT_GE(r.ms, 3000);
}

TEST_F(Vtr8ctl, NoteRoundTripAndRefusedCharacter)
{
    SimProcess sim({QStringLiteral("--trace")});
    ASSERT_TRUE(sim.start());
    CtlRun r = vtr8ctl(on(sim, {"note", "write", "Měřicí bod TT-101 č. 7"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = vtr8ctl(on(sim, {"note", "read"}));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(r.out), QStringLiteral("Měřicí bod TT-101 č. 7\n"));

    const int writesBefore =
        static_cast<int>(commandsSeen(sim).count(QStringLiteral("WriteEEPROM")));
    for (const auto& [note, shown] :
         {std::pair{QStringLiteral("R = 5 Ω"), QStringLiteral("Ω")},
          std::pair{QString(61, QLatin1Char('x')), QStringLiteral("61 znaků")},
          std::pair{QStringLiteral("a\x1b[2Jb"), QStringLiteral("U+001B")}}) {
        r = vtr8ctl(on(sim, {"note", "write", note}));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(shown)) << r.err.toStdString();
    }
    EXPECT_EQ(commandsSeen(sim).count(QStringLiteral("WriteEEPROM")), writesBefore);

    // After "--" a note may start with dashes.
    EXPECT_EQ(vtr8ctl(on(sim, {"note", "write", "--", "--TT-101"})).exitCode, 0);
    EXPECT_EQ(vtr8ctl(on(sim, {"note", "read"})).out, QByteArray("--TT-101\n"));
}

// Control bytes another program left in the note are shown as pictures, in the note and in the
// backup's description alike, and never reach the terminal or the file raw.
TEST_F(Vtr8ctl, ControlBytesOfTheNoteAreShownVisibly)
{
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("image.bin"));
    QByteArray bytes(2048, '\0');
    const QByteArray note("A\x1b]0;x\x07\rB\bC\0D\x7f", 14);
    bytes.replace(512, 60, note + QByteArray(60 - note.size(), ' '));
    QFile file(image);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    SimProcess sim({QStringLiteral("--load"), image});
    ASSERT_TRUE(sim.start());
    const QString shown = QStringLiteral("A\u241B]0;x\u2407\u240DB\u2408C\u2400D\u2421");
    const CtlRun r = vtr8ctl(on(sim, {"note", "read"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(r.out), shown + QLatin1Char('\n'));
    const QString backup = dir.filePath(QStringLiteral("zaloha"));
    ASSERT_EQ(vtr8ctl(on(sim, {"backup", backup})).exitCode, 0);
    const QString text = QString::fromUtf8(readAll(backup + QStringLiteral(".txt")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\npoznámka: ") + shown + QStringLiteral("\r\n")));
    for (const QChar c : text)
        EXPECT_TRUE(c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.unicode() >= 0x20);
}

TEST_F(Vtr8ctl, ComparatorIsStoredAndReadBack)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start());
    ASSERT_EQ(vtr8ctl(on(sim, {"--yes", "write", example("pt100-linearized.txt")})).exitCode, 0);
    CtlRun r =
        vtr8ctl(on(sim, {"--yes", "comparator", "1", "write", "--on", "80", "--off", "75",
                         "--on-delay", "2.5", "--off-delay", "3.5", "--mode", "OKNO", "--enable"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = vtr8ctl(on(sim, {"comparator", "1", "read"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString out = QString::fromUtf8(r.out);
    EXPECT_TRUE(out.contains(QStringLiteral("povoleno: ano\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("režim: OKNO\n"))) << out.toStdString();
    // Whole seconds, ties to even.
    EXPECT_TRUE(out.contains(QStringLiteral("zpoždění sepnutí: 2\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("zpoždění rozepnutí: 4\n"))) << out.toStdString();

    // A limit outside the measuring range is warned about, and stored all the same.
    r = vtr8ctl(
        on(sim, {"--yes", "comparator", "1", "write", "--on", "900", "--off", "75", "--on-delay",
                 "1", "--off-delay", "1", "--mode", "HYSTEREZE", "--enable"}));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Mez sepnutí komparátoru 1 mimo měřicí rozsah\n")))
        << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(vtr8ctl(on(sim, {"comparator", "1", "read"})).out)
                    .contains(QStringLiteral("mez sepnutí: 900\n")));

    // The limits are both new: one is not compared with the value the other replaces, and a
    // refused value gives its one message.
    r = vtr8ctl(
        on(sim, {"--yes", "comparator", "1", "write", "--on", "0", "--off", "150", "--on-delay",
                 "1", "--off-delay", "1", "--mode", "HYSTEREZE", "--enable"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = vtr8ctl(
        on(sim, {"--yes", "comparator", "1", "write", "--on", "nan", "--off", "150", "--on-delay",
                 "1", "--off-delay", "1", "--mode", "HYSTEREZE", "--enable"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();

    // Switched off alone, the comparator keeps its limits.
    r = vtr8ctl(on(sim, {"--yes", "comparator", "1", "write", "--disable"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = vtr8ctl(on(sim, {"comparator", "1", "read"}));
    EXPECT_EQ(QString::fromUtf8(r.out),
              QStringLiteral("povoleno: ne\nrežim: HYSTEREZE\nmez sepnutí: 0\nmez rozepnutí: "
                             "150\nzpoždění sepnutí: 1\nzpoždění rozepnutí: 1\n"));

    // A falling range holds the limits between its ends.
    QTemporaryDir dir;
    const QString falling = writeConfig(
        dir, "falling.txt",
        {"Konfigurační data pro VTR8:", "", "vstup: odporový teploměr Pt100", "dolní mez: 100",
         "horní mez: 0", "jednotka: °C", "linearizace: linearizováno", "tlumení: 0.5s",
         "chybový proud: nadproud", "připojení čidla: třívodičově", "Parazitní odpor: 0.000"});
    ASSERT_EQ(vtr8ctl(on(sim, {"--yes", "write", falling})).exitCode, 0);
    r = vtr8ctl(
        on(sim, {"--yes", "comparator", "1", "write", "--on", "50", "--off", "60", "--on-delay",
                 "1", "--off-delay", "1", "--mode", "HYSTEREZE", "--enable"}));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_FALSE(r.err.contains(QStringLiteral("mimo"))) << r.err.toStdString();
}

TEST_F(Vtr8ctl, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(vtr8ctl({"fly"}).exitCode, 2);
    EXPECT_EQ(vtr8ctl({"frame", "Bogus"}).exitCode, 2);
    const CtlRun frame = vtr8ctl({"frame", "ReadPV"});
    EXPECT_EQ(frame.exitCode, 0);
    EXPECT_EQ(frame.out, QByteArray("FF FF FF FF FF FF 82 3A BD EF B1 34 01 00 6E\n"));
}

TEST_F(Vtr8ctl, MeasureWithReadShowsTheDecimalsOfTheStoredInput)
{
    SimProcess sim({QStringLiteral("--input"), QStringLiteral("5")});
    ASSERT_TRUE(sim.start());
    ASSERT_EQ(vtr8ctl(on(sim, {"--yes", "write", example("voltage-divider.txt")})).exitCode, 0);
    // Without a configuration on screen the value has three decimals; a voltage input
    // read from the transmitter asks for six.
    CtlRun r = vtr8ctl(on(sim, {"measure"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QByteArray("5.000 V\n"));
    r = vtr8ctl(on(sim, {"measure", "--read"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QByteArray("5.000000 V\n"));
}

TEST_F(Vtr8ctl, AdjustReportsTheTransmittersRefusalAndTracesFrames)
{
    {
        // Response code 9: the transmitter refuses to take its input as the range start.
        SimProcess sim({QStringLiteral("--nast-code"), QStringLiteral("9")});
        ASSERT_TRUE(sim.start());
        ASSERT_EQ(vtr8ctl(on(sim, {"--yes", "write", example("pt100-linearized.txt")})).exitCode,
                  0);
        const CtlRun r = vtr8ctl(on(sim, {"--yes", "adjust", "start"}));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, QStringLiteral("Opravdu se má nastavit dolní mez převodníku? ano\n"
                                        "Procesní hodnota je příliž velká.\n"));
        EXPECT_EQ(r.out, QByteArray());
    }
    {
        SimProcess sim;
        ASSERT_TRUE(sim.start());
        ASSERT_EQ(vtr8ctl(on(sim, {"--yes", "write", example("pt100-linearized.txt")})).exitCode,
                  0);
        const CtlRun r = vtr8ctl(on(sim, {"--yes", "--trace", "adjust", "end"}));
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, QByteArray("dolní mez: -50\nhorní mez: 150\n"));
        // Every frame with its time and direction: "NastFS" out, its reply in, then the range
        // read (the limits, then the entered start and end). The configuration is read first, so
        // the range comes back in the range unit.
        const QStringList lines = r.err.split('\n', Qt::SkipEmptyParts);
        const auto q =
            lines.indexOf(QStringLiteral("Opravdu se má nastavit horní mez převodníku? ano"));
        ASSERT_GT(q, 0) << r.err.toStdString();
        ASSERT_EQ(lines.size(), q + 7) << r.err.toStdString();
        static const QRegularExpression frame(
            QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} (->|<-) ([0-9A-F]{2} )*[0-9A-F]{2}$"));
        for (int i = 0; i < lines.size(); ++i)
            EXPECT_TRUE(i == q || frame.match(lines[i]).hasMatch()) << lines[i].toStdString();
        EXPECT_TRUE(lines[q + 1].endsWith(
            QStringLiteral("-> FF FF FF FF FF FF 82 3A BD EF B1 34 24 00 4B")));
        EXPECT_TRUE(lines[q + 2].contains(QStringLiteral(" <- FF")));
    }
}

TEST_F(Vtr8ctl, VerifyAndBackupTellWhatTheTransmitterHolds)
{
    QTemporaryDir dir;
    const QString dump = dir.filePath(QStringLiteral("sim.bin"));
    SimProcess sim({QStringLiteral("--dump"), dump});
    ASSERT_TRUE(sim.start());
    const QString a = example("pt100-linearized.txt"); // "linearizováno": a segment table
    ASSERT_EQ(vtr8ctl(on(sim, {"--yes", "write", a})).exitCode, 0);
    ASSERT_EQ(vtr8ctl(on(sim, {"note", "write", "Kotel 3"})).exitCode, 0);
    QByteArray otherEnd = readAll(a);
    otherEnd.replace("horn\xED mez: 150", "horn\xED mez: 200");
    const QString b = dir.filePath(QStringLiteral("b.txt"));
    QFile bFile(b);
    ASSERT_TRUE(bFile.open(QIODevice::WriteOnly));
    bFile.write(otherEnd);
    bFile.close();

    CtlRun r = vtr8ctl(on(sim, {"verify", a}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Převodník odpovídá souboru konfigurace.\n").toUtf8());
    r = vtr8ctl(on(sim, {"verify", b}));
    EXPECT_EQ(r.exitCode, 1);
    const QString differences = QString::fromUtf8(r.out);
    EXPECT_TRUE(
        differences.startsWith(QStringLiteral("horní mez: v převodníku 150, v souboru 200\n")))
        << differences.toStdString();
    EXPECT_TRUE(differences.contains(QStringLiteral(", segmentová tabulka, záznam 20 (c0): ")));

    const QString backup = dir.filePath(QStringLiteral("unit.bin"));
    r = vtr8ctl(on(sim, {"backup", backup}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_TRUE(sim.stop());
    EXPECT_EQ(readAll(backup), readAll(dump));
    const QString text = QString::fromUtf8(readAll(backup + QStringLiteral(".txt")));
    for (const char* line : {"\r\nčíslo firmwaru: 14\r\n", "\r\ntypové bajty: 13 249\r\n",
                             "\r\npoznámka: Kotel 3\r\n", "\r\n07F0: "})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line;

    // The saved image answers the same comparison without a port.
    EXPECT_EQ(vtr8ctl({"verify", "--image", backup, a}).exitCode, 0);
    r = vtr8ctl({"verify", "--image", backup, b});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("horní mez: v převodníku 150").toUtf8()));
    EXPECT_EQ(vtr8ctl({"verify", "--image", a, a}).exitCode, 1); // not an image
    // It opens no port, so it locks none: a run that holds COM1 does not stop it. The locks
    // live in a folder of this test's own, so that no other test's use of COM1 meets this one.
    {
        QTemporaryDir locks;
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", locks.path().toLocal8Bit());
        vtr8::PortLock com1;
        EXPECT_EQ(com1.acquire(vtr8::ComPortSystemName(0)), vtr8::PortLock::Result::Acquired);
        EXPECT_EQ(vtr8ctl({"--com", "1", "verify", "--image", backup, a}).exitCode, 0);
        com1.release();
        if (runtime.isNull())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", runtime);
    }

    // One bit of the range end's last byte: 150 is stored as the next float up.
    QByteArray changed = readAll(backup);
    changed[358] = static_cast<char>(changed[358] ^ 1);
    const QString near = dir.filePath(QStringLiteral("near.bin"));
    QFile nearFile(near);
    ASSERT_TRUE(nearFile.open(QIODevice::WriteOnly));
    nearFile.write(changed);
    nearFile.close();
    r = vtr8ctl({"verify", "--image", near, a});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out,
              QStringLiteral("horní mez: v převodníku 150.000015, v souboru 150\nObraz paměti "
                             "se od souboru konfigurace liší (1 rozdílů).\n")
                  .toUtf8());

    // A file too large to read is no image either, and is called so.
    QFile large(dir.filePath(QStringLiteral("large.bin")));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    large.write(QByteArray(1024 * 1024 + 1, '\0'));
    large.close();
    r = vtr8ctl({"verify", "--image", large.fileName(), a});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("není obraz paměti převodníku")))
        << r.err.toStdString();
}

// A backup is the image and its description together: a read that fails, at once or part way,
// leaves neither, and a disk with room for the image but not the description keeps neither.
TEST_F(Vtr8ctl, BackupSavesBothFilesOrNeither)
{
    QTemporaryDir dir;
    const QString backup = dir.filePath(QStringLiteral("zaloha"));
    const CtlRun noPort = vtr8ctl({"--port", "/nonexistent/vtr8", "backup", backup});
    EXPECT_EQ(noPort.exitCode, 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
    for (const char* fault : {"no-reply@every", "no-reply@40-"}) {
        SimProcess sim({QStringLiteral("--fault"), QString::fromUtf8(fault)});
        ASSERT_TRUE(sim.start());
        const CtlRun r = vtr8ctl(on(sim, {"backup", backup}));
        EXPECT_EQ(r.exitCode, 1) << fault;
        EXPECT_EQ(r.err,
                  vtr8::LinkFailureMessage({vtr8::LinkError::NoReply, sim.devicePath()}) + '\n')
            << fault;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{}) << fault;
    }

    SimProcess sim;
    ASSERT_TRUE(sim.start());
    QProcess p;
    // Room for the 2048-byte image, not for its description; the limit is felt as EFBIG.
    p.setChildProcessModifier([] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &small);
    });
    // Without a history: its file would meet the same limit.
    p.start(QStringLiteral(VTR8CTL_EXECUTABLE), on(sim, {"--no-history", "backup", backup}));
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardError()),
              QStringLiteral("Záloha nebyla uložena: soubor „%1.txt“, chyba c. 27.\n").arg(backup));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

TEST_F(Vtr8ctl, WriteVerifyRepairsOnceAndFailsWhenTheStoreStaysWrong)
{
    struct Case {
        const char* fault; // 52 is the first block written, 648 a middle one, 114 the last
        int exitCode;
        const char* told;
    };
    const Case cases[] = {
        {nullptr, 0, ""},
        {"store=52", 1, "Blok na adresách 52–67 je v převodníku i po opakovaném zápisu"},
        {"store=648", 1, "segmentová tabulka, záznam 3 (x0)"},
        {"store=114", 1, "Blok na adrese 114 je v převodníku i po opakovaném zápisu"},
        {"store-once=355", 0, "horní mez: v převodníku 300, zapsáno 150. Blok se zapíše znovu."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault ? c.fault : "no fault");
        SimProcess sim(c.fault ? QStringList{QStringLiteral("--fault"), QString::fromUtf8(c.fault)}
                               : QStringList{});
        ASSERT_TRUE(sim.start());
        const CtlRun r =
            vtr8ctl(on(sim, {"--yes", "write", "--verify", example("pt100-linearized.txt")}));
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.told))) << r.err.toStdString();
    }
}

TEST_F(Vtr8ctl, MeasureCsvHasAHeaderAndALinePerReading)
{
    SimProcess sim({QStringLiteral("--input"), QStringLiteral("25")});
    ASSERT_TRUE(sim.start());
    ASSERT_EQ(vtr8ctl(on(sim, {"--yes", "write", example("pt100-linearized.txt")})).exitCode, 0);
    const CtlRun r = vtr8ctl(on(sim, {"measure", "--csv", "--count", "3"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << r.out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("time,value,unit"));
    static const QRegularExpression row(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}(Z|[+-]\\d\\d:\\d\\d),(-"
                       "?\\d+\\.\\d+),°C$"));
    for (int i = 1; i < 4; ++i) {
        const auto m = row.match(lines[i]);
        ASSERT_TRUE(m.hasMatch()) << lines[i].toStdString();
        EXPECT_NEAR(m.captured(2).toDouble(), 25.0, 0.02);
    }
}

// No port is named or opened: the computation and the pictures need none.
TEST_F(Vtr8ctl, LinearizationErrorAsCsvAndPicturesWithoutAPort)
{
    QTemporaryDir dir;
    for (const char* config : {"pt100-linearized.txt", "thermocouple-k-near-cold-junction.txt"}) {
        SCOPED_TRACE(config);
        const CtlRun csv = vtr8ctl({"linearization", example(config), "--csv"});
        ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
        const QList<QByteArray> lines = csv.out.trimmed().split('\n');
        EXPECT_EQ(lines[0], QByteArray("input,reference,value,error"));
        EXPECT_GE(lines.size(), 201);
        for (const QByteArray& line : lines.mid(1)) {
            const QList<QByteArray> f = line.split(',');
            ASSERT_EQ(f.size(), 4) << line.toStdString();
            EXPECT_NEAR(f[2].toDouble() - f[1].toDouble(), f[3].toDouble(), 1e-6);
        }
        EXPECT_TRUE(csv.err.contains(QStringLiteral("Největší chyba"))) << csv.err.toStdString();

        const QString svg = dir.filePath(QStringLiteral("plot.svg"));
        const QString png = dir.filePath(QStringLiteral("plot.png"));
        ASSERT_EQ(vtr8ctl({"linearization", example(config), "--plot", svg}).exitCode, 0);
        ASSERT_EQ(vtr8ctl({"linearization", example(config), "--plot", png}).exitCode, 0);
        QXmlStreamReader xml(readAll(svg));
        ASSERT_TRUE(xml.readNextStartElement());
        EXPECT_EQ(xml.name(), QStringLiteral("svg"));
        while (!xml.atEnd())
            xml.readNext();
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        const QImage image(png);
        ASSERT_FALSE(image.isNull());
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                colours.insert(image.pixel(x, y));
        EXPECT_GT(colours.size(), 10);
    }
    EXPECT_EQ(vtr8ctl({"linearization", example("voltage-divider.txt"), "--csv"}).exitCode, 1);

    // A point beyond the transmitter's float is refused as the write refuses it.
    const QString points = dir.filePath(QStringLiteral("beyond.txt"));
    QFile beyond(points);
    ASSERT_TRUE(beyond.open(QIODevice::WriteOnly));
    beyond.write("0 0\r\n0.5 -1e999\r\n1 100\r\n");
    beyond.close();
    const QString config =
        writeConfig(dir, "points.txt",
                    {"Konfigurační data pro VTR8:", "", "vstup: napětí", "dolní mez: 0",
                     "horní mez: 100", "jednotka: %", "linearizace: ze souboru", "tlumení: 0.5s",
                     "chybový proud: nadproud", "zeslabení děličem: 1"});
    const CtlRun refused =
        vtr8ctl({"linearization", config, "--points", points, "--method", "segments", "--csv"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.startsWith(QStringLiteral("Koeficienty linearizace jsou mimo rozsah")))
        << refused.err.toStdString();
}

TEST_F(Vtr8ctl, FindNamesTheTransmittersOnEveryPortAndComNamesTheEight)
{
    QTemporaryDir config;
    SimProcess first;
    SimProcess second({QStringLiteral("--firmware"), QStringLiteral("255")});
    SimProcess held({QStringLiteral("--trace")});
    ASSERT_TRUE(first.start());
    ASSERT_TRUE(second.start());
    ASSERT_TRUE(held.start());
    vtr8::PortLock otherProgram;
    ASSERT_EQ(otherProgram.acquire(held.devicePath()), vtr8::PortLock::Result::Acquired);
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    for (int n = 1; n <= 8; ++n)
        qputenv(qPrintable(QStringLiteral("VTR8_COM%1").arg(n)),
                QByteArray("/nonexistent/vtr8-port") + QByteArray::number(n));
    qputenv("VTR8_COM2", first.devicePath().toLocal8Bit());
    qputenv("VTR8_COM5", held.devicePath().toLocal8Bit());
    qputenv("VTR8_COM7", second.devicePath().toLocal8Bit());

    const CtlRun found = vtr8ctl({"find"});
    const CtlRun named = vtr8ctl({"--port", "com7", "note", "read"});
    // A port stored by the window by its name (here a device path) is used without --port.
    {
        QSettings stored(config.filePath(QStringLiteral("ZN/VTR8.conf")), QSettings::IniFormat);
        stored.setValue(QStringLiteral("ComPort"), second.devicePath());
    }
    const CtlRun storedRun = vtr8ctl({"note", "read"});
    for (int n = 1; n <= 8; ++n)
        qunsetenv(qPrintable(QStringLiteral("VTR8_COM%1").arg(n)));
    qunsetenv("XDG_CONFIG_HOME");

    EXPECT_EQ(found.exitCode, 0) << found.err.toStdString();
    EXPECT_EQ(found.out, (QStringLiteral("COM2\t%1\t14\t\nCOM7\t%2\t12\t\n")
                              .arg(first.devicePath(), second.devicePath()))
                             .toUtf8());
    EXPECT_TRUE(found.err.contains(QStringLiteral("Port COM5 používá jiný program, přeskočen.\n")));
    EXPECT_TRUE(found.err.endsWith(QStringLiteral("Nalezeno převodníků: 2.\n")));
    EXPECT_EQ(commandsSeen(held), QStringList());
    // COM7 is the seventh item, wherever it is mapped.
    EXPECT_EQ(named.exitCode, 0) << named.err.toStdString();
    EXPECT_EQ(named.err, QString());
    EXPECT_EQ(storedRun.exitCode, 0) << storedRun.err.toStdString();
}
