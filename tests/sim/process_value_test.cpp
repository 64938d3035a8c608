#include "sim/process_value.h"

#include "linearization/characteristic.h"
#include "linearization/polynomial_fit.h"
#include "linearization/spline.h"
#include "linearization/workspace.h"
#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <limits>

namespace vtr8::sim {
namespace {

// Builds EEPROM images the way a correct configuration write leaves them, from
// the linearization mathematics directly (not through the program's writer), so
// the simulator is checked against what the stored fields mean.
class ImageBuilder {
public:
    ImageBuilder() : image_(FactoryEeprom(SimOptions{})), workspace_(points_) {}

    ImageBuilder& input(std::uint8_t code, std::uint8_t unit)
    {
        image_[400] = code;
        image_[424] = unit;
        return *this;
    }
    ImageBuilder& characteristics(std::uint8_t linearization, std::uint8_t range, std::uint8_t code)
    {
        image_[425] = linearization;
        image_[426] = range;
        image_[427] = code;
        return *this;
    }
    // Input scaling at 1568 as written for an ordinary input.
    ImageBuilder& range(float low, float high) { return inputScaling(low, high, low, high - low); }
    ImageBuilder& inputScaling(float low, float high, float offset, float span)
    {
        PutTransmitterFloat(image_, 1568, low);
        PutTransmitterFloat(image_, 1572, high);
        PutTransmitterFloat(image_, 1576, offset);
        PutTransmitterFloat(image_, 1580, span);
        return *this;
    }
    // Signal limits at 387/391 from the signals at the range ends.
    ImageBuilder& signalLimits(float s0, float s1)
    {
        const float d = s1 - s0;
        PutTransmitterFloat(image_, 387, s0 - d / 10);
        PutTransmitterFloat(image_, 391, s1 + d / 3);
        return *this;
    }
    ImageBuilder& floatAt(int address, float value)
    {
        PutTransmitterFloat(image_, address, value);
        return *this;
    }
    ImageBuilder& spline(Characteristic c, Extended start, Extended end)
    {
        workspace_.CharacteristicIndex = c;
        workspace_.RangeStart = start;
        workspace_.RangeEnd = end;
        SplineApproximation(workspace_);
        EXPECT_FALSE(workspace_.LinearizationError);
        const SplineTable& t = workspace_.Spline;
        for (int k = 0; k < 20; ++k) {
            const int record = 608 + 20 * k;
            PutTransmitterFloat(image_, record, static_cast<float>(t.u[k]));
            PutTransmitterFloat(image_, record + 4, static_cast<float>(t.d[k]));
            PutTransmitterFloat(image_, record + 8, static_cast<float>(t.c[k]));
            PutTransmitterFloat(image_, record + 12, static_cast<float>(t.b[k]));
            PutTransmitterFloat(image_, record + 16, static_cast<float>(t.a[k]));
        }
        PutTransmitterFloat(image_, 1008, static_cast<float>(t.u[20]));
        image_[606] = 2;
        return *this;
    }
    ImageBuilder& polynomial(Characteristic c, Extended start, Extended end, int degree)
    {
        workspace_.CharacteristicIndex = c;
        workspace_.RangeStart = start;
        workspace_.RangeEnd = end;
        workspace_.Step = (end - start) / 100;
        workspace_.Degree = degree;
        workspace_.Source = FitSource::FromCharacteristic;
        PolynomialFit(workspace_);
        EXPECT_FALSE(workspace_.LinearizationError);
        image_[127] = static_cast<std::uint8_t>(degree);
        for (int i = 0; i <= degree; ++i) {
            PutTransmitterFloat(image_, 128 + 4 * i,
                                static_cast<float>(workspace_.FitCoefficients[degree][degree - i]));
        }
        image_[606] = 1;
        return *this;
    }
    // A straight segment per record: x0, 0, 0, slope, value at x0.
    ImageBuilder& segment(int k, float x0, float slope, float value)
    {
        const int record = 608 + 20 * k;
        PutTransmitterFloat(image_, record, x0);
        PutTransmitterFloat(image_, record + 4, 0.0f);
        PutTransmitterFloat(image_, record + 8, 0.0f);
        PutTransmitterFloat(image_, record + 12, slope);
        PutTransmitterFloat(image_, record + 16, value);
        image_[606] = 2;
        return *this;
    }
    // The cold-junction polynomials of a type K thermocouple.
    ImageBuilder& coldJunctionK()
    {
        const float junction[] = {1.33197569e-08f, -5.5825426e-06f, 0.00186899223f, 2.29917741f,
                                  -244.35788f};
        const float emf[] = {2.8648206e-14f, -1.16069994e-10f, 2.6705175e-08f, 3.94146409e-05f,
                             -3.01296183e-07f};
        image_[171] = 4;
        image_[207] = 4;
        for (int i = 0; i < 5; ++i) {
            PutTransmitterFloat(image_, 172 + 4 * i, junction[i]);
            PutTransmitterFloat(image_, 208 + 4 * i, emf[i]);
        }
        return *this;
    }

    Extended signal(Characteristic c, Extended x)
    {
        return EvaluateCharacteristic(workspace_, c, x);
    }
    const EepromImage& image() const { return image_; }

private:
    EepromImage image_;
    LinearizationPoints points_;
    LinearizationWorkspace workspace_;
};

float valueAt(const EepromImage& image, double input, double junction = 25.0)
{
    SimulatedInput in;
    in.fixed = input;
    in.coldJunctionCelsius = junction;
    return ComputeProcessValue(image, in, 0.0).value;
}

TEST(SimProcessValue, LinearizedPt100SegmentTableGivesBackTheTemperature)
{
    ImageBuilder b;
    b.input(1, 32).characteristics(9, 9, 2).range(-50, 150).spline(Characteristic::Pt100, -50, 150);
    double worst = 0;
    for (double t : {-50.0, -20.0, 0.0, 25.0, 37.5, 100.0, 149.0, 150.0}) {
        const double error = std::fabs(valueAt(b.image(), t) - t);
        worst = std::max(worst, error);
        EXPECT_LT(error, 0.02) << t;
    }
    std::cout << "[ worst ] Pt100 -50..150 segments: " << worst << " °C\n";
}

TEST(SimProcessValue, UnitCodeComesFromByte424)
{
    ImageBuilder b;
    b.input(1, 32).characteristics(9, 9, 2).range(0, 100).spline(Characteristic::Pt100, 0, 100);
    SimulatedInput in;
    in.fixed = 50;
    EXPECT_EQ(ComputeProcessValue(b.image(), in, 0).unitCode, 32);
    b.input(1, 57);
    EXPECT_EQ(ComputeProcessValue(b.image(), in, 0).unitCode, 57);
}

TEST(SimProcessValue, OldFirmwarePolynomialGivesBackTheTemperature)
{
    ImageBuilder b;
    b.input(1, 32).characteristics(9, 9, 1).range(0, 100).polynomial(Characteristic::Pt100, 0, 100,
                                                                     4);
    for (double t : {0.0, 25.0, 50.0, 100.0})
        EXPECT_NEAR(valueAt(b.image(), t), t, 0.02) << t;
}

TEST(SimProcessValue, ByteSixHundredSixChoosesTheTable)
{
    // Both tables present; only the one in force counts.
    ImageBuilder b;
    b.input(1, 32).characteristics(9, 9, 2).range(0, 100);
    b.polynomial(Characteristic::Pt100, 0, 100, 4);
    b.segment(0, 0.0f, 2.0f, 7.0f);
    for (int k = 1; k < 20; ++k)
        b.segment(k, 1000.0f, 2.0f, 7.0f);
    EepromImage image = b.image();
    const double resistance = static_cast<double>(b.signal(Characteristic::Pt100, 50));
    image[606] = 1;
    EXPECT_NEAR(valueAt(image, 50), 50, 0.02);
    image[606] = 2;
    EXPECT_NEAR(valueAt(image, 50), 2 * resistance + 7, 1e-4);
    image[606] = 0;
    EXPECT_NEAR(valueAt(image, 50), resistance, 1e-4);
}

TEST(SimProcessValue, LinearizedThermocoupleKWithColdJunction)
{
    ImageBuilder b;
    b.input(11, 32).characteristics(1, 1, 2).range(0, 1000).spline(Characteristic::TcK, 0, 1000);
    b.coldJunctionK();
    double worst = 0;
    for (double junction : {0.0, 25.0, 40.0}) {
        for (double t : {0.0, 100.0, 250.0, 500.0, 750.0, 1000.0}) {
            const double error = std::fabs(valueAt(b.image(), t, junction) - t);
            worst = std::max(worst, error);
            EXPECT_LT(error, 0.2) << t << " at junction " << junction;
        }
    }
    std::cout << "[ worst ] K 0..1000 segments, junction 0/25/40 °C: " << worst << " °C\n";
}

TEST(SimProcessValue, ThermocoupleWithoutColdJunctionPolynomialsLosesTheJunctionEmf)
{
    // A transmitter whose compensation was never written reads low by about the
    // junction temperature (K: roughly 40 µV/°C at both ends).
    ImageBuilder b;
    b.input(11, 32).characteristics(1, 1, 2).range(0, 1000).spline(Characteristic::TcK, 0, 1000);
    EXPECT_NEAR(valueAt(b.image(), 500, 25), 500 - 25, 2.0);
    EXPECT_NEAR(valueAt(b.image(), 500, 0), 500, 0.2);
}

TEST(SimProcessValue, NotLinearizedSensorsReportTheirSignal)
{
    ImageBuilder b;
    b.input(1, 37).characteristics(16, 9, 0).range(100.0f, 138.5f);
    EXPECT_NEAR(valueAt(b.image(), 100), 138.5, 1e-4);
    ImageBuilder k;
    k.input(11, 58).characteristics(16, 1, 0).coldJunctionK();
    // EMF of 1000 °C, with the junction's EMF put back by the stored polynomials.
    EXPECT_NEAR(valueAt(k.image(), 1000, 25), 4.12687e-2, 2e-6);
}

TEST(SimProcessValue, CurrentGoesThroughTheShuntAndTheScaleFactor)
{
    ImageBuilder b;
    b.input(18, 39).characteristics(16, 16, 0).range(4, 20).floatAt(404, 5.0f).floatAt(28, 200.0f);
    EXPECT_NEAR(valueAt(b.image(), 12), 12, 1e-5);
    // A scale factor that does not match the shunt shows in the value.
    b.floatAt(28, 100.0f);
    EXPECT_NEAR(valueAt(b.image(), 12), 6, 1e-5);
}

TEST(SimProcessValue, RelativePotentiometerShowsPercentOfTheTotal)
{
    ImageBuilder b;
    b.input(7, 57).characteristics(16, 16, 0).range(0, 100).floatAt(408, 2000.0f);
    EXPECT_NEAR(valueAt(b.image(), 500), 25, 1e-4);
}

TEST(SimProcessValue, SpecialInputsMapTheirFixedSpanOntoTheOutputRange)
{
    ImageBuilder volts;
    volts.input(22, 57).characteristics(16, 16, 0).inputScaling(0, 100, 0, 10);
    EXPECT_NEAR(valueAt(volts.image(), 2.5), 25, 1e-4);
    ImageBuilder current;
    current.input(24, 57).characteristics(16, 16, 0).inputScaling(-50, 150, 4, 16);
    EXPECT_NEAR(valueAt(current.image(), 4), -50, 1e-4);
    EXPECT_NEAR(valueAt(current.image(), 12), 50, 1e-4);
    EXPECT_NEAR(valueAt(current.image(), 20), 150, 1e-4);
}

TEST(SimProcessValue, PointFileSegmentsWithRepeatedLastRecord)
{
    // Three points (0 V, 0), (1 V, 40), (2 V, 100): two segments, the rest copies
    // of the last one, as the writer stores a short point file.
    ImageBuilder b;
    b.input(17, 57).characteristics(16, 14, 4).range(0, 100);
    b.segment(0, 0.0f, 40.0f, 0.0f);
    for (int k = 1; k < 20; ++k)
        b.segment(k, 1.0f, 60.0f, 40.0f);
    EXPECT_NEAR(valueAt(b.image(), 0.5), 20, 1e-4);
    EXPECT_NEAR(valueAt(b.image(), 1.0), 40, 1e-4);
    EXPECT_NEAR(valueAt(b.image(), 1.5), 70, 1e-4);
    EXPECT_NEAR(valueAt(b.image(), 2.5), 130, 1e-4);
    EXPECT_NEAR(valueAt(b.image(), -0.5), -20, 1e-4);
}

TEST(SimProcessValue, FactoryImageReportsTheInputItself)
{
    const EepromImage image = FactoryEeprom(SimOptions{});
    SimulatedInput in;
    in.fixed = 12.5;
    const ProcessValue pv = ComputeProcessValue(image, in, 0);
    EXPECT_EQ(pv.value, 12.5f);
    EXPECT_EQ(pv.unitCode, 0);
}

TEST(SimProcessValue, NonFiniteInputPassesThroughToTheReply)
{
    const EepromImage image = FactoryEeprom(SimOptions{});
    SimulatedInput in;
    in.fixed = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(std::isinf(ComputeProcessValue(image, in, 0).value));
}

TEST(SimProcessValue, RampStaysInsideTheRangeAndMoves)
{
    ImageBuilder b;
    b.input(1, 32).characteristics(9, 9, 2).range(-50, 150).spline(Characteristic::Pt100, -50, 150);
    b.signalLimits(static_cast<float>(b.signal(Characteristic::Pt100, -50)),
                   static_cast<float>(b.signal(Characteristic::Pt100, 150)));
    SimulatedInput in;
    in.rampPeriodSeconds = 60;
    float low = 1e9f, high = -1e9f;
    for (int s = 0; s <= 60; ++s) {
        const float v = ComputeProcessValue(b.image(), in, s).value;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    EXPECT_NEAR(low, -50, 0.05);
    EXPECT_NEAR(high, 150, 0.05);
    // Half way up the resistance ramp: a little below 50 °C (the Pt100 curves down).
    const float middle = ComputeProcessValue(b.image(), in, 15).value;
    EXPECT_GT(middle, 45);
    EXPECT_LT(middle, 50);
}

TEST(SimProcessValue, RampPositionIsATriangle)
{
    EXPECT_DOUBLE_EQ(RampPosition(0, 60), 0);
    EXPECT_DOUBLE_EQ(RampPosition(15, 60), 0.5);
    EXPECT_DOUBLE_EQ(RampPosition(30, 60), 1);
    EXPECT_DOUBLE_EQ(RampPosition(45, 60), 0.5);
    EXPECT_DOUBLE_EQ(RampPosition(60, 60), 0);
    EXPECT_DOUBLE_EQ(RampPosition(10, 0), 0.5);
}

TEST(SimProcessValue, SpecialInputRampCrossesItsInputSpan)
{
    ImageBuilder b;
    b.input(23, 57).characteristics(16, 16, 0).inputScaling(0, 100, 0, 20);
    SimulatedInput in;
    in.rampPeriodSeconds = 40;
    EXPECT_NEAR(MeasuredSignal(b.image(), in, 20), 20, 1e-6);
    EXPECT_NEAR(ComputeProcessValue(b.image(), in, 10).value, 50, 1e-4);
}

} // namespace
} // namespace vtr8::sim
