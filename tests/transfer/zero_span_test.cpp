#include "model/zero_span.h"
#include "support/transfer_bench.h"
#include "transfer/link_failure_report.h"

#include <gtest/gtest.h>

namespace vtr8::test {
namespace {

struct ZeroSpanBench : TransferBench {
    explicit ZeroSpanBench(std::uint8_t responseCode = 0) : TransferBench(options(responseCode))
    {
        model.userEdit(model.Vstup, QStringLiteral("napětí"));
        model.setText(model.Pocatek, QStringLiteral("1"));
        model.setText(model.Konec, QStringLiteral("2"));
        PutFloat(eeprom(), 340, 10.5f);
        PutFloat(eeprom(), 344, 0.25f);
    }
    static sim::SimOptions options(std::uint8_t responseCode)
    {
        sim::SimOptions o;
        o.nastResponseCode = responseCode;
        return o;
    }
};

TEST(ZeroSpan, AnsweringNoSendsNothing)
{
    ZeroSpanBench bench;
    bench.ui().confirmAnswers = {false};
    EXPECT_FALSE(S_DolmezClick(bench.ctx));
    EXPECT_EQ(bench.ui().questions,
              QStringList{QStringLiteral("Opravdu se má nastavit dolní mez převodníku?")});
    EXPECT_TRUE(bench.requests().empty());
    EXPECT_TRUE(bench.model.S_Dolmez.enabled);
    EXPECT_EQ(bench.model.Prenos.position, 0);
}

TEST(ZeroSpan, AcceptedAdjustmentReadsTheRangeBack)
{
    ZeroSpanBench bench;
    bench.ui().confirmAnswers = {true};
    ASSERT_TRUE(S_DolmezClick(bench.ctx));
    EXPECT_EQ(bench.requests(),
              (std::vector<Request>{Command(37), ReadRequest(340, 8), ReadRequest(355, 8)}));
    EXPECT_EQ(bench.model.Pocatek.text, Localised("0.25"));
    EXPECT_EQ(bench.model.Konec.text, Localised("10.5"));
    EXPECT_EQ(bench.progress, (std::vector<int>{0, 50, 100}));
    EXPECT_TRUE(bench.ui().messages.isEmpty());

    bench.clearRequests();
    bench.ui().confirmAnswers = {true};
    ASSERT_TRUE(S_HormezClick(bench.ctx));
    EXPECT_EQ(bench.ui().questions.last(),
              QStringLiteral("Opravdu se má nastavit horní mez převodníku?"));
    EXPECT_EQ(bench.requests(),
              (std::vector<Request>{Command(36), ReadRequest(340, 8), ReadRequest(355, 8)}));
    EXPECT_TRUE(bench.model.S_Hormez.enabled);
}

TEST(ZeroSpan, RefusalsShowTheirMessageAndChangeNothing)
{
    struct Case {
        std::uint8_t code;
        const char* message;
    };
    const Case cases[] = {{6, "Procesní hodnota je mimo povolený rozsah."},
                          {9, "Procesní hodnota je příliž velká."},
                          {10, "Procesní hodnota je příliž malá."},
                          {14, "Příliž malé rozpětí vst. signálu."}};
    for (const Case& c : cases) {
        ZeroSpanBench bench(c.code);
        bench.ui().confirmAnswers = {true};
        EXPECT_FALSE(S_HormezClick(bench.ctx));
        EXPECT_EQ(bench.ui().messages, QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(bench.model.Pocatek.text, QStringLiteral("1"));
        EXPECT_EQ(bench.model.Konec.text, QStringLiteral("2"));
        EXPECT_EQ(bench.requests(), (std::vector<Request>{Command(36)}));
        EXPECT_EQ(bench.model.Prenos.position, 50);
    }
}

TEST(ZeroSpan, OtherResponseCodesAreAccepted)
{
    ZeroSpanBench bench(8);
    bench.ui().confirmAnswers = {true};
    EXPECT_TRUE(S_DolmezClick(bench.ctx));
    EXPECT_EQ(bench.model.Pocatek.text, Localised("0.25"));
}

TEST(ZeroSpan, FailedCommandEndsWithTheButtonEnabled)
{
    ZeroSpanBench bench;
    bench.noReply(1, 3);
    bench.ui().confirmAnswers = {true};
    EXPECT_FALSE(S_DolmezClick(bench.ctx));
    EXPECT_EQ(bench.ui().messages,
              QStringList{LinkFailureMessage({LinkError::NoReply, QStringLiteral("COM1")})});
    EXPECT_EQ(bench.requests().size(), 3u);
    EXPECT_TRUE(bench.model.S_Dolmez.enabled);
    EXPECT_EQ(bench.model.Pocatek.text, QStringLiteral("1"));
}

} // namespace
} // namespace vtr8::test
