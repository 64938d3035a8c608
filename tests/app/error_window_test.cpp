// The linearization error window and a configuration named on the command line.
#include "window_fixture.h"

#include "app/error_plot_window.h"
#include "app/table_window.h"
#include "charts/error_plot.h"
#include "configuration/number_format.h"
#include "linearization/characteristic.h"
#include "linearization/spline.h"
#include "linearization/workspace.h"
#include "model/main_window_model.h"
#include "model/table_window_model.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <cmath>

namespace vtr8::testing_support {
namespace {

// The largest error of the Pt100 spline as the transmitter evaluates it, found here from the
// spline's own pieces (not the segment table) with every number rounded to float, every 0.01 °C.
long double independentPt100SplineError(Extended lo, Extended hi)
{
    LinearizationPoints none;
    LinearizationWorkspace ws(none);
    ws.CharacteristicIndex = Characteristic::Pt100;
    ws.RangeStart = lo;
    ws.RangeEnd = hi;
    ws.Step = (hi - lo) / 100;
    SplineApproximation(ws);
    EXPECT_FALSE(ws.LinearizationError);
    const SplineTable& s = ws.Spline;
    auto f = [](Extended v) { return static_cast<Extended>(static_cast<float>(v)); };
    long double largest = 0;
    const int steps = static_cast<int>((hi - lo) * 100);
    for (int i = 0; i <= steps; ++i) {
        const Extended t = lo + i * 0.01L;
        const Extended u = EvaluateCharacteristic(ws, Characteristic::Pt100, t);
        int k = 0;
        while (k + 1 < s.IntervalCount && f(s.u[k + 1]) <= u)
            ++k;
        const Extended x = u - f(s.u[k]);
        const Extended value = ((f(s.d[k]) * x + f(s.c[k])) * x + f(s.b[k])) * x + f(s.a[k]);
        largest = std::max(largest, std::fabs(value - t));
    }
    return largest;
}

class ErrorWindow : public WindowTest {
protected:
    QString pt100Config(const char* low, const char* high)
    {
        QFile example(QStringLiteral(VTR8_EXAMPLES_DIR "/pt100-linearized.txt"));
        EXPECT_TRUE(example.open(QIODevice::ReadOnly));
        QByteArray bytes = example.readAll();
        bytes.replace(": -50\r\n", QByteArray(": ") + low + "\r\n");
        bytes.replace(": 150\r\n", QByteArray(": ") + high + "\r\n");
        const QString path = dir.filePath(QStringLiteral("pt100.txt"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(ErrorWindow, Pt100SplineLargestErrorMatchesAnIndependentScan)
{
    startProgram();
    showMainWindow();
    ASSERT_TRUE(program->openAtStart(pt100Config("-200", "850")));
    EXPECT_EQ(program->model().RangeStart, -200);
    EXPECT_EQ(program->model().RangeEnd, 850);
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();

    program->ChybaLinearizaceClick();
    LinearizationErrorWindow* window = program->errorWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    const ErrorCurve& spline = window->report().curves.at(0);
    EXPECT_TRUE(spline.chosen);
    const long double independent = independentPt100SplineError(-200, 850);
    EXPECT_GT(independent, 1e-4L);
    EXPECT_NEAR(static_cast<double>(std::fabs(spline.largestError)),
                static_cast<double>(independent), 0.001);
    EXPECT_TRUE(window->summary()->text().contains(QStringLiteral("Největší chyba")));
    EXPECT_TRUE(window->summary()->text().contains(QStringLiteral("polynom 4. stupně")));
}

TEST_F(ErrorWindow, OpensFromTheTableWindowForAPointFile)
{
    startProgram();
    showMainWindow();
    QFile points(dir.filePath(QStringLiteral("points.txt")));
    ASSERT_TRUE(points.open(QIODevice::WriteOnly));
    points.write("0 0\r\n100 5.2\r\n200 14.2\r\n300 25.2\r\n400 37.4\r\n500 50\r\n600 62.6\r\n"
                 "700 74.8\r\n800 85.8\r\n");
    points.close();
    ui.openFileAnswers.push_back(points.fileName());
    program->model().userEdit(program->model().Vstup, u("napětí"));
    program->model().userEdit(program->model().Linearizace, u("ze souboru"));
    ASSERT_TRUE(program->form4()->isVisible()) << ui.messages.join('|').toStdString();
    program->form4()->findChild<QPushButton*>(QStringLiteral("ChybaLinearizace"))->click();
    LinearizationErrorWindow* window = program->errorWindow();
    ASSERT_NE(window, nullptr) << ui.messages.join('|').toStdString();
    ASSERT_FALSE(window->report().curves.empty()) << ui.messages.join('|').toStdString();
    EXPECT_TRUE(window->isVisible());
    // The points map volts (what "napětí" measures) to the chosen unit, here none.
    const Plot plot = window->findChild<PlotWidget*>()->plot();
    EXPECT_EQ(plot.xLabel, u("vstup [V]"));
    EXPECT_EQ(plot.yLabel, u("chyba"));
}

TEST(ErrorPlot, NumbersUseThePersonsDecimalSeparator)
{
    ErrorCurve curve;
    curve.largestError = -0.0125L;
    curve.largestAt = 412.5L;
    // Ticks every 0.2 on the error axis, every 0.5 on the input axis.
    Plot plot;
    plot.series.push_back({u("x"), Qt::black, {{0, -0.3}, {2.5, 0.7}}});
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("plot.svg"));
    overrideLocaleDecimalSeparator(QLatin1Char(','));
    const QString saved = SavePlot(plot, picture);
    const QString comma = LargestErrorText(curve, u("°C"), u("°C"));
    overrideLocaleDecimalSeparator(QLatin1Char('.'));
    const QString point = LargestErrorText(curve, u("°C"), u("°C"));
    overrideLocaleDecimalSeparator(std::nullopt);
    EXPECT_EQ(comma, u("Největší chyba -0,0125 °C při 412,5 °C"));
    ASSERT_TRUE(saved.isEmpty()) << saved.toStdString();
    QFile svg(picture);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray text = svg.readAll();
    EXPECT_TRUE(text.contains(">0,4<") && text.contains(">1,5<")) << text.toStdString();
    EXPECT_FALSE(text.contains(">0.4<") || text.contains(">1.5<"));
    EXPECT_EQ(point, u("Největší chyba -0.0125 °C při 412.5 °C"));
}

// The largest-error text goes to the first corner of the frame it leaves the marker free in.
TEST(ErrorPlot, LargestErrorTextLeavesTheMarkerFree)
{
    const QRectF frame(50, 30, 600, 400);
    struct Case {
        QPointF mark;
        bool right, top;
    };
    for (const Case& k :
         {Case{{350, 230}, true, true}, Case{{645, 35}, false, true}, Case{{640, 40}, false, true},
          Case{{55, 35}, true, true}, Case{{350, 35}, true, false}, Case{{640, 420}, true, true}}) {
        const QRectF place = MarkTextPlace(frame, k.mark, 300, 16);
        SCOPED_TRACE(testing::Message() << k.mark.x() << "," << k.mark.y());
        EXPECT_FALSE(place.intersects(QRectF(k.mark - QPointF(5, 5), QSizeF(10, 10))));
        EXPECT_TRUE(frame.contains(place));
        EXPECT_EQ(place.center().x() > frame.center().x(), k.right);
        EXPECT_EQ(place.center().y() < frame.center().y(), k.top);
    }
}

TEST_F(ErrorWindow, RefusesAConfigurationWithoutLinearization)
{
    startProgram();
    program->ChybaLinearizaceClick();
    EXPECT_EQ(program->errorWindow(), nullptr);
    ASSERT_EQ(ui.messages.size(), 1);
}

} // namespace
} // namespace vtr8::testing_support
