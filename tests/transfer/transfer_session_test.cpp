#include "link/command_protocol.h"
#include "link/link_messages.h"
#include "model/comparators.h"
#include "model/editor_read.h"
#include "model/measurement_input.h"
#include "model/user_note.h"
#include "model/zero_span.h"
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
    // Every command's pauses and waits were entered by the timer, many times over.
    EXPECT_GT(busy.refusals, 2 * static_cast<int>(calm.frames.size()));
    EXPECT_EQ(busy.messages, QStringList(busy.refusals, LinkBusyMessage()));
}

} // namespace
} // namespace vtr8::test
