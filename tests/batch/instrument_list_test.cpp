#include "batch/instrument_list.h"
#include "configuration/configuration_file.h"
#include "configuration/cp1250.h"

#include <QFile>

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

QStringList problemsOf(const InstrumentList& list)
{
    QStringList out;
    for (const InstrumentRow& row : list.rows)
        for (const RowProblem& p : row.problems)
            out << rowProblemText(row, p);
    return out;
}

QByteArray example(const char* name)
{
    QFile f(QStringLiteral(VTR8_EXAMPLES_DIR "/") + QString::fromUtf8(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

// The same two transmitters as a spreadsheet saves them: UTF-8 with a byte-order mark and ';',
// and Windows-1250 with ',' (a decimal comma then needs quotes). Each row writes the example
// configuration file as the editor saves it.
TEST(InstrumentList, BothEncodingsAndSeparatorsMeanTheExampleFiles)
{
    const QString semicolons = QStringLiteral(
        "tag;vstup;dolní mez;horní mez;jednotka;linearizace;tlumení;chybový proud;"
        "připojení čidla;Parazitní odpor;vzdálenost st. konce;#popis\r\n"
        "TT-101;odporový teploměr Pt100;-50;150;°C;linearizováno;0.5;nadproud;třívodičově;"
        "0.000;;kotelna\r\n"
        "TT-102;termočlánek K;0;600;°C;linearizováno;2s;nadproud;;;blízký studený konec;\r\n");
    QString commas = semicolons;
    commas.replace(QLatin1Char(';'), QLatin1Char(','));
    commas.replace(QStringLiteral("0.5,"), QStringLiteral("\"0,5\","));
    const Cp1250Encoding cp1250 = encodeCp1250(commas);
    ASSERT_TRUE(cp1250.ok());

    struct Case {
        QByteArray bytes;
        ListEncoding encoding;
        QChar separator;
    };
    for (const Case& c : {Case{"\xEF\xBB\xBF" + semicolons.toUtf8(), ListEncoding::Utf8, ';'},
                          Case{cp1250.bytes, ListEncoding::Cp1250, ','}}) {
        const InstrumentList list = parseInstrumentList(c.bytes);
        ASSERT_TRUE(list.error.isEmpty()) << list.error.toStdString();
        EXPECT_EQ(list.encoding, c.encoding);
        EXPECT_EQ(list.separator, c.separator);
        EXPECT_TRUE(problemsOf(list).isEmpty()) << problemsOf(list).join('\n').toStdString();
        ASSERT_EQ(list.rows.size(), 2u);
        EXPECT_EQ(list.rows[0].tag, QStringLiteral("TT-101"));
        EXPECT_EQ(list.rows[0].line, 2);
        // As the editor saves the example in this locale.
        EXPECT_EQ(
            list.rows[0].configurationFile,
            writeConfigurationFile(*parseConfigurationFile(example("pt100-linearized.txt"))).bytes);
        const auto k = parseConfigurationFile(list.rows[1].configurationFile);
        ASSERT_TRUE(k.has_value());
        EXPECT_EQ(k->input, InputType::ThermocoupleK);
        EXPECT_EQ(k->coldJunction, ColdJunction::Near);
        EXPECT_EQ(k->damping.value, 2);
    }
}

// A bad row is named by its line, tag and column with the rule's message: the first missing
// value, then every refused one; the good rows stand.
TEST(InstrumentList, BadRowsAreNamedByLineTagAndColumn)
{
    const QString header = QStringLiteral("tag;vstup;dolní mez;horní mez;linearizace;tlumení;"
                                          "chybový proud;připojení čidla;snímací odpor;\n");
    const QString good = QStringLiteral(
        "OK-1;odporový teploměr Pt100;0;100;linearizováno;1;nadproud;dvouvodičově;\n");
    struct Case {
        const char* row;
        QStringList problems;
    };
    const Case cases[] = {
        {"TT-1;odporový teploměr Pt100;-201;100;linearizováno;1;nadproud;dvouvodičově;",
         {"řádek 3, TT-1, sloupec „dolní mez“: Dolní hodnota rozsahu musí být v intervalu "
          "-200.000 až 850.000 °C"}},
        {"TT-2;odporový teploměr Pt100;0;24.9;linearizováno;0.05;nadproud;;",
         {"řádek 3, TT-2, sloupec „připojení čidla“: Není zadán způsob připojení čidla"}},
        {"TT-9;odporový teploměr Pt100;0;24.9;linearizováno;0.05;nadproud;dvouvodičově;",
         {"řádek 3, TT-9, sloupec „tlumení“: Povolená mez pro konstantu tlumení je 0.1 až 100 s",
          "řádek 3, TT-9, sloupec „dolní mez“: Povolené minimální rozpětí je 25.000 °C"}},
        {"TT-3;termočlánek K;0;x;linearizováno;1;moc;;",
         {"řádek 3, TT-3, sloupec „horní mez“: Špatně zadaná horní mez",
          "řádek 3, TT-3, sloupec „chybový proud“: Špatně zadaná volba chybového proudu"}},
        {"TT-4;proud;0;1;nelinearizováno;1;vyřazen;;0",
         {"řádek 3, TT-4, sloupec „snímací odpor“: Zadana hodnota snímacího odporu nesmí být 0.",
          "řádek 3, TT-4, sloupec „dolní mez“: Není zadána hodnota snímacího odporu."}},
        {"TT-5;odporový teploměr Pt100;0;100;linearizováno;1;nadproud;dvouvodičově;50",
         {"řádek 3, TT-5, sloupec „snímací odpor“: Vstup „odporový teploměr Pt100“ tuto hodnotu "
          "nemá."}},
        {"OK-1;termočlánek T;;100;linearizováno;1;nadproud;;",
         {"řádek 3, OK-1, sloupec „tag“: Tag už má řádek 2.",
          "řádek 3, OK-1, sloupec „dolní mez“: Není zadána dolní mez rozsahu"}},
        {";reostat;0;100;nelinearizováno;1;nadproud;dvouvodičově;",
         {"řádek 3, sloupec „tag“: Není zadán tag."}},
        {"\"TT-8 \";reostat;0;100;nelinearizováno;1;nadproud;dvouvodičově;",
         {"řádek 3, TT-8 , sloupec „tag“: Tag nesmí končit mezerou, převodník ji v poznámce "
          "nevrátí."}},
        {"TT-7;reostat;0;100;nelinearizováno;1;nadproud;dvouvodičově;;x",
         {"řádek 3, TT-7: Hodnota „x“ je ve sloupci bez záhlaví."}},
        {"TT-Ω;reostat;0;100;nelinearizováno;1;nadproud;dvouvodičově;",
         {"řádek 3, TT-Ω, sloupec „tag“: Znak „Ω“ uživatelské poznámky nelze do převodníku "
          "uložit."}},
        {"TT-6;termočlánek Q;0;100;;;;;",
         {"řádek 3, TT-6, sloupec „vstup“: Vstup „termočlánek Q“ "
          "neexistuje."}},
    };
    for (const Case& c : cases) {
        const InstrumentList list =
            parseInstrumentList((header + good + QString::fromUtf8(c.row)).toUtf8());
        ASSERT_TRUE(list.error.isEmpty()) << c.row;
        ASSERT_EQ(list.rows.size(), 2u) << c.row;
        EXPECT_TRUE(list.rows[0].valid()) << c.row;
        EXPECT_FALSE(list.rows[1].valid()) << c.row;
        EXPECT_EQ(problemsOf(list).join('\n').toStdString(), c.problems.join('\n').toStdString())
            << c.row;
    }
}

TEST(InstrumentList, AListThatCannotBeReadSaysWhy)
{
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"", "Seznam je prázdný."},
        {"tag;vstup;dolni mez\n", "Sloupec „dolni mez“ seznam nezná (sloupec, který se má "
                                  "přeskočit, začíná znakem #)."},
        {"vstup;dolní mez\n", "Seznam nemá sloupec „tag“."},
        {"tag;vstup;Tag\n", "Sloupec „tag“ je v záhlaví dvakrát."},
        {"tag;vstup\n\"A;B\n", "Uvozovky otevřené na řádku 2 se neuzavírají."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseInstrumentList(QByteArray(c.text)).error.toStdString(), c.error) << c.text;
}

// Quotes keep separators, line breaks and doubled quotes inside a field; a record spanning lines
// keeps the line it starts on, and the next one is counted past it.
TEST(ListText, QuotedFieldsAndLineNumbers)
{
    const ListRecords r =
        splitListRecords(QStringLiteral("a,b\r\n\"x, \"\"y\"\"\",\"two\nlines\"\r\n\r\n c ,d\n"));
    EXPECT_EQ(r.separator, QLatin1Char(','));
    ASSERT_EQ(r.records.size(), 3u);
    EXPECT_EQ(r.records[1].fields, (QStringList{"x, \"y\"", "two\nlines"}));
    EXPECT_EQ(r.records[1].line, 2);
    EXPECT_EQ(r.records[2].fields, (QStringList{"c", "d"}));
    EXPECT_EQ(r.records[2].line, 5);
    EXPECT_EQ(decodeListText("\xEF\xBB\xBF\xC4\x8D").text, QStringLiteral("č"));
    EXPECT_EQ(decodeListText("\xE8").text, QStringLiteral("č"));
    EXPECT_EQ(decodeListText("\xE8").encoding, ListEncoding::Cp1250);
}

} // namespace
} // namespace vtr8

namespace vtr8 {
namespace {

// A comparator is switched on only with all five of its columns, each checked as a store checks
// it (a limit outside the range only warns there, and here); one without any is left alone.
TEST(InstrumentList, ComparatorColumns)
{
    const QString header = QStringLiteral(
        "tag;vstup;dolní mez;horní mez;linearizace;tlumení;chybový proud;připojení čidla;"
        "komparátor 2 sepnutí;komparátor 2 rozepnutí;komparátor 2 zpoždění sepnutí;"
        "komparátor 2 zpoždění rozepnutí;komparátor 2 režim\n"
        "R-1;reostat;0;100;nelinearizováno;1;nadproud;dvouvodičově;");
    struct Case {
        const char* columns;
        QStringList problems;
    };
    const Case cases[] = {
        {";;;;", {}},
        {"80;70,5;2.4;300;OKNO",
         {"řádek 2, R-1, sloupec „komparátor 2 zpoždění rozepnutí“: Povolená mez pro zpoždění "
          "rozepnutí komparátoru 2 je 0 až 255 s"}},
        {"101;x;;1;",
         {"řádek 2, R-1, sloupec „komparátor 2 rozepnutí“: špatně zadaná mez rozepnutí "
          "komparátoru 2",
          "řádek 2, R-1, sloupec „komparátor 2 zpoždění sepnutí“: Není zadán čas zpoždění "
          "sepnutí komparátoru 2"}},
        {"101;50;1;1000;hystereze",
         {"řádek 2, R-1, sloupec „komparátor 2 zpoždění rozepnutí“: Povolená mez pro zpoždění "
          "rozepnutí komparátoru 2 je 0 až 255 s",
          "řádek 2, R-1, sloupec „komparátor 2 režim“: Režim komparátoru 2 je HYSTEREZE nebo "
          "OKNO."}},
        {"50;50;0;0;HYSTEREZE",
         {"řádek 2, R-1, sloupec „komparátor 2 sepnutí“: Meze sepnutí a rozepnutí komparátoru "
          "2 nesmí být zcela shodné"}},
    };
    for (const Case& c : cases) {
        const InstrumentList list =
            parseInstrumentList((header + QString::fromUtf8(c.columns) + '\n').toUtf8());
        ASSERT_EQ(list.rows.size(), 1u) << c.columns;
        EXPECT_EQ(problemsOf(list).join('\n').toStdString(), c.problems.join('\n').toStdString())
            << c.columns;
        EXPECT_FALSE(list.rows[0].comparators[0].has_value());
    }
    const InstrumentList good =
        parseInstrumentList((header + QStringLiteral("80;70,5;2.4;3;OKNO\n")).toUtf8());
    const std::optional<ComparatorSettings>& s = good.rows[0].comparators[1];
    ASSERT_TRUE(s.has_value());
    EXPECT_TRUE(s->enabled);
    EXPECT_TRUE(s->window);
    EXPECT_EQ(s->switchOnLimit, 80);
    EXPECT_EQ(s->switchOffLimit, 70.5L);
    EXPECT_EQ(s->switchOnDelay, 2);
    EXPECT_EQ(s->switchOffDelay, 3);
}

} // namespace
} // namespace vtr8
