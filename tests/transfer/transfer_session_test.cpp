#include "link/command_protocol.h"
#include "model/comparators.h"
#include "model/editor_read.h"
#include "model/measurement_input.h"
#include "model/user_note.h"
#include "model/zero_span.h"
#include "transfer/link_failure_report.h"
#include "transfer/write_configuration.h"
#include "write_fixture.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace vtr8::test {
namespace {

void fillPt100(WriteFixture& f)
{
    f.fill({{"Vstup", "odporový teploměr Pt100"},
            {"PripCidl", "čtyřvodičově"},
            {"Linearizace", "linearizováno"},
            {"Pocatek", "0"},
            {"Konec", "100"},
            {"Tlumeni", "2.5"},
            {"ChybProud", "nadproud"}});
}

struct WriteRecord {
    bool ok = false;
    std::vector<std::vector<std::uint8_t>> frames;
    std::vector<int> progress;
    QStringList messages;
    int refusals = 0;
};

// A Pt100 write with the transmitter's own 100 ms front-end pause; `disturb`, when set, runs
// every millisecond while the write waits anywhere.
WriteRecord write(const std::function<bool(WriteFixture&, int)>& disturb)
{
    WriteFixture f;
    fillPt100(f);
    f.ui().confirmAnswers = {true};
    WriteRecord r;
    QTimer timer;
    int round = 0;
    if (disturb) {
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            EXPECT_FALSE(disturb(f, round++));
            ++r.refusals;
        });
        timer.start();
    }
    r.ok = WriteEditorConfiguration(f.ctx, f.model);
    timer.stop();
    for (const auto& request : f.link.transmitter().requests())
        r.frames.push_back(request.frame);
    r.progress = f.progress;
    r.messages = f.ui().messages;
    return r;
}

TEST(TransferSession, EveryOtherTransferDuringAWriteIsRefusedAndTouchesNothing)
{
    const std::function<bool(EditorTransferContext&)> others[] = {
        PrecistClick,
        Preckomp1Click,
        Ulozkomp1Click,
        Preckomp2Click,
        Ulozkomp2Click,
        Prec_PoznClick,
        Uloz_PoznClick,
        S_DolmezClick,
        S_HormezClick,
        [](EditorTransferContext& ctx) { return WriteEditorConfiguration(ctx, ctx.model); },
        [](EditorTransferContext& ctx) {
            MeasurementModel measurement(ctx.link, editorInputChoice(ctx.model));
            measurement.Button1Click();
            return measurement.readingCount() == 1;
        },
    };
    const WriteRecord calm = write({});
    ASSERT_TRUE(calm.ok) << calm.messages.join('|').toStdString();
    const WriteRecord busy = write([&](WriteFixture& f, int round) {
        return others[static_cast<std::size_t>(round) % std::size(others)](f.ctx);
    });
    EXPECT_TRUE(busy.ok);
    EXPECT_EQ(busy.frames, calm.frames);
    EXPECT_EQ(busy.progress, calm.progress);
    // The timer got into the write's pauses and waits more often than there are commands (a
    // write no longer idles after its replies, and under Wine the 1 ms timer fires less often).
    EXPECT_GT(busy.refusals, static_cast<int>(calm.frames.size()));
    EXPECT_EQ(busy.messages, QStringList(busy.refusals, LinkFailureMessage(LinkError::Busy)));
}

// The texts the description fixes stay letter for letter; where a case is explained, the fixed
// text comes first and the port is named.
TEST(LinkFailureMessages, FixedTextsStayAndExplanationsFollowThem)
{
    const QString port = QStringLiteral("COM3 (/dev/ttyS2)");
    struct Case {
        LinkError error;
        const char* exact;  // the whole text, or
        const char* starts; // its beginning, followed by an explanation naming the port
    };
    const Case cases[] = {
        {LinkError::PortOpen, "Nejde inicializovat COM3 (/dev/ttyS2) port", nullptr},
        {LinkError::PortWrite, "Chyba na portu PC, nelze poslat data pres port !", nullptr},
        {LinkError::Communication, "Chyba komunikace", nullptr},
        {LinkError::PortInUse,
         "Port COM3 (/dev/ttyS2) používá jiný program, příkaz nebyl proveden.", nullptr},
        {LinkError::Busy, "Probíhá jiná komunikace s převodníkem, příkaz nebyl proveden.", nullptr},
        {LinkError::NoReply,
         "Chyba komunikace. Převodník na COM3 (/dev/ttyS2) neodpovídá. Zkontrolujte kabel, "
         "napájení převodníku a zvolený port.",
         nullptr},
        {LinkError::PortMissing, nullptr, "Nejde inicializovat COM3 (/dev/ttyS2) port. "},
        {LinkError::PortDenied, nullptr, "Nejde inicializovat COM3 (/dev/ttyS2) port. "},
    };
    QStringList seen;
    for (const Case& c : cases) {
        const QString text = LinkFailureMessage({c.error, port});
        if (c.exact) {
            EXPECT_EQ(text, QString::fromUtf8(c.exact));
        } else {
            EXPECT_TRUE(text.startsWith(QString::fromUtf8(c.starts))) << text.toStdString();
            EXPECT_GT(text.size(), QString::fromUtf8(c.starts).size()) << text.toStdString();
        }
        EXPECT_FALSE(seen.contains(text)) << text.toStdString(); // every case says its own
        seen << text;
    }
    // A lock that cannot be used names its file and why.
    EXPECT_EQ(LinkFailureMessage({LinkError::LockUnusable, port, QStringLiteral("/tmp/x.lock"),
                                  LockProblem::FolderWritableByOthers}),
              QStringLiteral("Zámek portu /tmp/x.lock nelze použít (do složky smí zapisovat i "
                             "jiný uživatel), příkaz nebyl proveden."));
    // Refusals go to the status line, the rest stop the work with a message.
    EXPECT_TRUE(IsLinkRefusal({LinkError::PortInUse, port}));
    EXPECT_FALSE(IsLinkRefusal({LinkError::PortMissing, port}));
}

} // namespace
} // namespace vtr8::test
