#include "linearization/point_set.h"
#include "model/point_file.h"
#include "user_interface/scripted_user_interface.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace vtr8 {
namespace {

using Outcome = PointFileReading::Outcome;

QString badValue()
{
    return QString::fromUtf8("Špatně zadaná hodnota k linearizaci.");
}

TEST(PointFileReader, ThreePointExampleGivesUnitSlopesAndZeroOffsets)
{
    const PointFileReading reading = parsePointText("0 0\r\n50 40\r\n100 100\r\n");
    ASSERT_EQ(reading.outcome, Outcome::Ok);

    LinearizationPoints set;
    ScriptedUserInterface ui;
    ASSERT_TRUE(applyPointFile(reading, set, ui));
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(set.PointCount, 3);
    EXPECT_TRUE(set.PointFileOk);
    EXPECT_EQ(set.LineSlope, 1);
    EXPECT_EQ(set.LineOffset, 0);
    EXPECT_EQ(set.InverseSlope, 1);
    EXPECT_EQ(set.InverseOffset, 0);
    EXPECT_EQ(set.MeasuredInput[2], 50);
    EXPECT_EQ(set.RequiredOutput[2], 40);
    EXPECT_EQ(set.RequiredOutput[3], 100);
}

TEST(PointFileReader, EndPointLinesComeFromTheirOwnPairs)
{
    // Output falls while input rises: both slopes negative, each offset
    // computed from its own slope.
    const PointFileReading reading = parsePointText("2 100\n3 70\n6 0\n");
    LinearizationPoints set;
    ScriptedUserInterface ui;
    ASSERT_TRUE(applyPointFile(reading, set, ui));
    EXPECT_EQ(set.LineSlope, -25);
    EXPECT_EQ(set.LineOffset, 150);
    EXPECT_EQ(set.InverseSlope, -0.04L);
    EXPECT_NEAR(static_cast<double>(set.InverseOffset), 6.0, 1e-15);
}

struct SyntaxCase {
    const char* name;
    std::string text;
    Outcome outcome;
    int points; // expected number of points when accepted
};

class PointFileSyntax : public testing::TestWithParam<SyntaxCase> {};

TEST_P(PointFileSyntax, ReadsLikeTextFileNumbers)
{
    const SyntaxCase& c = GetParam();
    const PointFileReading reading = parsePointText(c.text);
    EXPECT_EQ(reading.outcome, c.outcome) << c.name;
    if (c.outcome == Outcome::Ok) {
        EXPECT_EQ(static_cast<int>(reading.points.size()), c.points) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PointFileSyntax,
    testing::Values(
        SyntaxCase{"tabs and blanks", "\t 1\t\t2  \n3 4\n", Outcome::Ok, 2},
        SyntaxCase{"no final line end", "1 2\n3 4", Outcome::Ok, 2},
        SyntaxCase{"blank lines between", "\n\n1 2\n\n\r\n3 4\n\n", Outcome::Ok, 2},
        SyntaxCase{"rest of line ignored", "1 2 comment ; 9 9\n3 4 x\n", Outcome::Ok, 2},
        SyntaxCase{"numbers across lines", "1\n2\n3\n4\n", Outcome::Ok, 2},
        SyntaxCase{"lone CR line ends", "1 2\r3 4\r", Outcome::Ok, 2},
        SyntaxCase{"signs and exponents", "-1.5e+2 +2E-1\n3. .5\n", Outcome::Ok, 2},
        SyntaxCase{"decimal comma", "0 0\n1,5 2\n3 4\n", Outcome::BadValue, 0},
        SyntaxCase{"glued separator", "1;2\n3 4\n", Outcome::BadValue, 0},
        SyntaxCase{"garbage after second number", "1 2x\n3 4\n", Outcome::BadValue, 0},
        SyntaxCase{"infinity", "1 inf\n3 4\n", Outcome::BadValue, 0},
        SyntaxCase{"not a number", "nan 1\n3 4\n", Outcome::BadValue, 0},
        SyntaxCase{"hexadecimal", "0x10 1\n3 4\n", Outcome::BadValue, 0},
        SyntaxCase{"lone point", "1 .\n3 4\n", Outcome::BadValue, 0},
        SyntaxCase{"exponent without digits", "1 2e\n3 4\n", Outcome::BadValue, 0},
        SyntaxCase{"beyond the extended range", "1 1e5000\n3 4\n", Outcome::BadValue, 0},
        SyntaxCase{"second number missing at the end", "1 2\n3 4\n5\n", Outcome::BadValue, 0},
        SyntaxCase{"empty file", "", Outcome::BadValue, 0},
        SyntaxCase{"only blanks", " \r\n\t\n", Outcome::BadValue, 0},
        SyntaxCase{"one point", "1 2\n", Outcome::BadValue, 0},
        SyntaxCase{"equal end inputs", "1 2\n5 3\n1 4\n", Outcome::BadValue, 0},
        SyntaxCase{"equal end outputs", "1 2\n5 3\n7 2\n", Outcome::BadValue, 0},
        SyntaxCase{"end difference overflows", "-1e4932 0\n1e4932 1\n", Outcome::BadValue, 0}),
    [](const testing::TestParamInfo<SyntaxCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST(PointFileReader, OverlongNumberIsRefusedWithoutBufferingIt)
{
    const std::string digits(MaxPointNumberLength + 1, '7');
    EXPECT_EQ(parsePointText("1 " + digits + "\n3 4\n").outcome, Outcome::BadValue);
    const std::string justFits(MaxPointNumberLength, '7');
    EXPECT_EQ(parsePointText("1 " + justFits + "\n3 4\n").outcome, Outcome::Ok);
}

std::string pointsText(int count)
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += std::to_string(i) + ' ' + std::to_string(2 * i) + "\r\n";
    return text;
}

TEST(PointFileReader, HundredPointsAreTheMost)
{
    EXPECT_EQ(parsePointText(pointsText(100)).outcome, Outcome::Ok);

    const PointFileReading tooMany = parsePointText(pointsText(150));
    EXPECT_EQ(tooMany.outcome, Outcome::TooManyPoints);
    EXPECT_EQ(tooMany.points.size(), 101u); // stops right after point 101
}

TEST(PointFileReader, RefusedFilesLeaveTheEarlierPointSetWhole)
{
    LinearizationPoints set;
    ScriptedUserInterface ui;
    ASSERT_TRUE(applyPointFile(parsePointText(pointsText(5)), set, ui));

    ASSERT_FALSE(applyPointFile(parsePointText(pointsText(101)), set, ui));
    EXPECT_EQ(ui.messages.last(),
              QString::fromUtf8("Maximální počet bodů pro linearizaci je 100."));
    EXPECT_TRUE(set.PointFileOk);
    EXPECT_EQ(set.PointCount, 5);
    EXPECT_EQ(set.LineSlope, 2);
    // The points of the refused file did not creep into the arrays.
    EXPECT_EQ(set.MeasuredInput[6], 0);

    ASSERT_FALSE(applyPointFile(parsePointText("9 9\n8 8\n7 x\n"), set, ui));
    EXPECT_EQ(ui.messages.last(), badValue());
    EXPECT_FALSE(set.PointFileOk);
    EXPECT_EQ(set.PointCount, 5);
    EXPECT_EQ(set.MeasuredInput[1], 1);
}

TEST(PointFileReader, ShorterFileLeavesHigherEntriesOfALongerOne)
{
    LinearizationPoints set;
    ScriptedUserInterface ui;
    ASSERT_TRUE(applyPointFile(parsePointText(pointsText(5)), set, ui));
    ASSERT_TRUE(applyPointFile(parsePointText("0 0\n10 -1\n"), set, ui));
    EXPECT_EQ(set.PointCount, 2);
    EXPECT_EQ(set.LineSlope, -0.1L);
    EXPECT_EQ(set.MeasuredInput[3], 3);
}

TEST(PointFileReader, ReadsAFileFromDisk)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QString::fromUtf8("body_č.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("0 0\r\n50 40\r\n100 100\r\n");
    file.close();

    const PointFileReading reading = readPointFile(path);
    ASSERT_EQ(reading.outcome, Outcome::Ok);
    EXPECT_EQ(reading.points.size(), 3u);
}

TEST(PointFileReader, UnreadableFileReportsTheSystemErrorNumber)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    LinearizationPoints set;
    set.PointFileOk = true;
    set.PointCount = 7;
    ScriptedUserInterface ui;

    const PointFileReading missing = readPointFile(dir.filePath("missing.txt"));
    EXPECT_EQ(missing.outcome, Outcome::IoError);
    EXPECT_FALSE(applyPointFile(missing, set, ui));
    EXPECT_EQ(ui.messages.last(), QStringLiteral("Chyba c. %1").arg(ENOENT));

    // A folder opens but cannot be read.
    const PointFileReading folder = readPointFile(dir.path());
    EXPECT_EQ(folder.outcome, Outcome::IoError);
    EXPECT_FALSE(applyPointFile(folder, set, ui));
    EXPECT_EQ(ui.messages.last(), QStringLiteral("Chyba c. %1").arg(EISDIR));

    EXPECT_TRUE(set.PointFileOk);
    EXPECT_EQ(set.PointCount, 7);
}

// Every degree the table window offers is the one fitted, as far as the points determine one.
TEST(PointFileReader, FittedDegreeIsTheChosenOne)
{
    LinearizationPoints many;
    many.PointCount = 22;
    for (int i = 1; i <= many.PointCount; ++i)
        many.MeasuredInput[static_cast<std::size_t>(i)] = i;
    LinearizationPoints three = many;
    three.PointCount = 3;
    const struct {
        const LinearizationPoints& points;
        int requested;
        int fitted;
    } cases[] = {{many, 2, 2}, {many, 3, 3},  {many, 8, 8}, {many, 0, 6},
                 {many, 9, 6}, {three, 2, 2}, {three, 6, 2}};
    for (const auto& c : cases)
        EXPECT_EQ(filePolynomialDegree(c.requested, c.points), c.fitted)
            << c.requested << " of " << c.points.PointCount;
}

} // namespace
} // namespace vtr8
