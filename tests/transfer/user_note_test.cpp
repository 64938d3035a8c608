#include "model/user_note.h"
#include "support/transfer_bench.h"
#include "transfer/link_failure_report.h"
#include "transfer/note_transfer.h"

#include <gtest/gtest.h>

namespace vtr8::test {
namespace {

QByteArray noteArea(const sim::EepromImage& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.data() + 512), 60);
}

void fillNoteArea(sim::EepromImage& image, const QByteArray& bytes)
{
    for (int i = 0; i < 60; ++i)
        image[static_cast<std::size_t>(512 + i)] = static_cast<std::uint8_t>(bytes.at(i));
}

TEST(UserNote, EmptyNoteIsWrittenAsSixtySpacesInThreeBlocks)
{
    TransferBench bench;
    fillNoteArea(bench.eeprom(), QByteArray(60, 'x'));
    bench.model.setText(bench.model.EditUzPozn, QString());
    Uloz_PoznClick(bench.ctx);

    EXPECT_EQ(noteArea(bench.eeprom()), QByteArray(60, ' '));
    const std::vector<std::uint8_t> spaces(20, ' ');
    EXPECT_EQ(bench.requests(),
              (std::vector<Request>{WriteRequest(512, spaces), WriteRequest(532, spaces),
                                    WriteRequest(552, spaces)}));
    EXPECT_TRUE(bench.ui().messages.isEmpty());
    EXPECT_EQ(bench.progress, (std::vector<int>{0, 33, 67, 100}));
    EXPECT_TRUE(bench.model.Uloz_Pozn.enabled);
}

TEST(UserNote, SevenCharactersFollowedByFiftyThreeSpaces)
{
    TransferBench bench;
    bench.model.setText(bench.model.EditUzPozn, QStringLiteral("Kotel 7"));
    Uloz_PoznClick(bench.ctx);
    EXPECT_EQ(noteArea(bench.eeprom()), QByteArray("Kotel 7") + QByteArray(53, ' '));
}

TEST(UserNote, CzechLettersTravelAsCodePageBytesAndComeBack)
{
    TransferBench bench;
    const QString note = QStringLiteral("Měřicí místo č. 5 – sušárna");
    bench.model.setText(bench.model.EditUzPozn, note);
    Uloz_PoznClick(bench.ctx);
    EXPECT_EQ(static_cast<std::uint8_t>(noteArea(bench.eeprom()).at(13)), 0xE8); // č

    bench.model.setText(bench.model.EditUzPozn, QString());
    Prec_PoznClick(bench.ctx);
    EXPECT_EQ(bench.model.EditUzPozn.text, note);
}

TEST(UserNote, ReadTakesFourBlocksOfFifteenAndKeepsLeadingSpaces)
{
    TransferBench bench;
    fillNoteArea(bench.eeprom(), QByteArray("   vlevo") + QByteArray(52, ' '));
    Prec_PoznClick(bench.ctx);
    EXPECT_EQ(bench.model.EditUzPozn.text, QStringLiteral("   vlevo"));
    EXPECT_EQ(bench.requests(), (std::vector<Request>{ReadRequest(512, 15), ReadRequest(527, 15),
                                                      ReadRequest(542, 15), ReadRequest(557, 15)}));
    EXPECT_EQ(bench.progress, (std::vector<int>{0, 25, 50, 75, 100}));
    EXPECT_TRUE(bench.model.Prec_Pozn.enabled);
}

TEST(UserNote, TrailingSpacesAndControlCharactersAreDropped)
{
    TransferBench bench;
    QByteArray bytes = QByteArray("ab  ") + QByteArray(56, ' ');
    bytes[30] = '\0';
    bytes[59] = '\x1F';
    fillNoteArea(bench.eeprom(), bytes);
    Prec_PoznClick(bench.ctx);
    EXPECT_EQ(bench.model.EditUzPozn.text, QStringLiteral("ab"));
}

TEST(UserNote, ErasedAreaShowsSixtyDotsAbove)
{
    TransferBench bench;
    fillNoteArea(bench.eeprom(), QByteArray(60, '\xFF'));
    Prec_PoznClick(bench.ctx);
    EXPECT_EQ(bench.model.EditUzPozn.text, QString(60, QChar(0x02D9)));
}

TEST(UserNote, FailedSecondBlockLeavesTheFirstWritten)
{
    TransferBench bench;
    fillNoteArea(bench.eeprom(), QByteArray(60, 'o'));
    bench.model.setText(bench.model.EditUzPozn, QString(60, QLatin1Char('n')));
    // The second block's replies are lost (the transmitter took the block but
    // the program never hears so): the write stops there, the third block is
    // never sent.
    bench.noReply(2, 4);
    Uloz_PoznClick(bench.ctx);

    EXPECT_EQ(noteArea(bench.eeprom()), QByteArray(40, 'n') + QByteArray(20, 'o'));
    const std::vector<std::uint8_t> block(20, 'n');
    EXPECT_EQ(bench.requests(),
              (std::vector<Request>{WriteRequest(512, block), WriteRequest(532, block),
                                    WriteRequest(532, block), WriteRequest(532, block)}));
    // The note now in the transmitter is part new, part old: said after the link's message.
    EXPECT_EQ(bench.ui().messages,
              (QStringList{LinkFailureMessage({LinkError::NoReply, QStringLiteral("COM1")}),
                           PartialNoteWriteMessage()}));
    EXPECT_EQ(bench.progress, (std::vector<int>{0, 33}));
    EXPECT_TRUE(bench.model.Uloz_Pozn.enabled);
}

TEST(UserNote, FailedReadLeavesTheFieldAsItWas)
{
    TransferBench bench;
    bench.model.setText(bench.model.EditUzPozn, QStringLiteral("původní"));
    bench.noReply(3, 5);
    Prec_PoznClick(bench.ctx);
    EXPECT_EQ(bench.model.EditUzPozn.text, QStringLiteral("původní"));
    EXPECT_EQ(bench.ui().messages,
              QStringList{LinkFailureMessage({LinkError::NoReply, QStringLiteral("COM1")})});
    EXPECT_TRUE(bench.model.Prec_Pozn.enabled);
}

TEST(UserNote, RefusedNoteSendsNothingAndSaysWhy)
{
    const struct {
        QString note;
        QString message;
    } cases[] = {
        {QStringLiteral("teplota ≥ 5 °C"),
         QStringLiteral("Znak „≥“ uživatelské poznámky nelze do převodníku uložit.")},
        {QString(61, QLatin1Char('x')),
         QStringLiteral("Uživatelská poznámka má 61 znaků, převodník uloží nejvýše 60. Poznámka "
                        "nebyla zapsána.")},
        {QStringLiteral("kotel\x1b[2J"),
         QStringLiteral("Uživatelská poznámka obsahuje řídicí znak U+001B, ten do převodníku "
                        "zapsat nelze. Poznámka nebyla zapsána.")},
        {QStringLiteral("a\tb"), QStringLiteral("Uživatelská poznámka obsahuje řídicí znak U+0009, "
                                                "ten do převodníku zapsat nelze. Poznámka nebyla "
                                                "zapsána.")},
        {QStringLiteral("a\u0085b"), QStringLiteral("Uživatelská poznámka obsahuje řídicí znak "
                                                    "U+0085, ten do převodníku zapsat nelze. "
                                                    "Poznámka nebyla zapsána.")},
    };
    for (const auto& c : cases) {
        TransferBench bench;
        fillNoteArea(bench.eeprom(), QByteArray(60, 'o'));
        bench.model.setText(bench.model.EditUzPozn, c.note);
        Uloz_PoznClick(bench.ctx);

        EXPECT_TRUE(bench.requests().empty()) << c.note.toStdString();
        EXPECT_EQ(noteArea(bench.eeprom()), QByteArray(60, 'o'));
        EXPECT_EQ(bench.ui().messages, QStringList{c.message});
        EXPECT_TRUE(bench.model.Uloz_Pozn.enabled);
    }
    // Sixty characters fill the area exactly.
    EXPECT_TRUE(noteRefusal(QString(60, QChar(0x0159))).isEmpty());
}

TEST(UserNote, WithoutTheProgressSwitchTheBarStaysPut)
{
    TransferBench bench;
    bench.ctx.state.NoteProgress = false;
    bench.model.Prenos.position = 42;
    ASSERT_TRUE(vtr8::cteni_uz_pozn(bench.ctx));
    ASSERT_TRUE(vtr8::zapis_uz_pozn(bench.ctx));
    EXPECT_EQ(bench.model.Prenos.position, 42);
}

} // namespace
} // namespace vtr8::test
