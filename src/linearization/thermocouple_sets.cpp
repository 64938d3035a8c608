#include "linearization/thermocouple_sets.h"

#include <cstddef>

namespace vtr8 {

namespace {

// The reference functions in microvolts. The long double literals keep every
// coefficient at the nearest 80-bit value of its decimal text.
constexpr Extended NLow[] = {0.0L,
                             2.6153540164e+01L,
                             1.0933114132e-02L,
                             -9.391712847e-05L,
                             -5.3592739285e-08L,
                             -2.7406835184e-09L,
                             -2.3370710645e-11L,
                             -7.825068106e-14L,
                             -9.5885491371e-17L};
constexpr Extended NHigh[] = {0.0L,
                              2.5897798582e+01L,
                              1.6656127713e-02L,
                              3.1234962101e-05L,
                              -1.7248130773e-07L,
                              3.652666592e-10L,
                              -4.4390833504e-13L,
                              3.1553382729e-16L,
                              -1.2150879468e-19L,
                              1.9557197559e-23L};
constexpr Extended KLow[] = {0.0L,
                             3.9475433139e+01L,
                             2.7465251138e-02L,
                             -1.6565406716e-04L,
                             -1.5190912392e-06L,
                             -2.4581670924e-08L,
                             -2.4757917816e-10L,
                             -1.5585276173e-12L,
                             -5.9729921255e-15L,
                             -1.2688801216e-17L,
                             -1.1382797374e-20L};
constexpr Extended KHigh[] = {-1.8533063273e+01L, 3.8918344612e+01L,  1.6645154356e-02L,
                              -7.8702374448e-05L, 2.2835785557e-07L,  -3.5700231258e-10L,
                              2.9932909136e-13L,  -1.2849848798e-16L, 2.2239974336e-20L};
constexpr Extended TLow[] = {0.0L,
                             3.874077384e+01L,
                             4.4123932482e-02L,
                             1.1405238498e-04L,
                             1.9974406568e-05L,
                             9.0445401187e-07L,
                             2.2766018504e-08L,
                             3.624740938e-10L,
                             3.8648924201e-12L,
                             2.8298678519e-14L,
                             1.4281383349e-16L,
                             4.8833254364e-19L,
                             1.0803474683e-21L,
                             1.3949291026e-24L,
                             7.9795893156e-28L};
constexpr Extended THigh[] = {0.0L,
                              3.874077384e+01L,
                              3.3190198092e-02L,
                              2.0714183645e-04L,
                              -2.1945834823e-06L,
                              1.103190055e-08L,
                              -3.0927581898e-11L,
                              4.5653337165e-14L,
                              -2.761687804e-17L};
constexpr Extended JLow[] = {0.0L,
                             5.0372753027e+01L,
                             3.0425491284e-02L,
                             -8.5669750464e-05L,
                             1.3348825735e-07L,
                             -1.7022405966e-10L,
                             1.9416091001e-13L,
                             -9.6391844859e-17L};
constexpr Extended JHigh[] = {2.9721751778e+05L, -1.5059632873e+03L, 3.2051064215L,
                              -3.221017423e-03L, 1.5949968788e-06L,  -3.1239801752e-10L};
constexpr Extended ELow[] = {0.0L,
                             5.8695857799e+01L,
                             5.1667517705e-02L,
                             -4.4652683347e-04L,
                             -1.7346270905e-05L,
                             -4.8719368427e-07L,
                             -8.8896550447e-09L,
                             -1.0930767375e-10L,
                             -9.1784535039e-13L,
                             -5.2575158521e-15L,
                             -2.0169601996e-17L,
                             -4.9502138782e-20L,
                             -7.0177980633e-23L,
                             -4.3671808488e-26L};
constexpr Extended EHigh[] = {0.0L,
                              5.8695857799e+01L,
                              4.3110945462e-02L,
                              5.7220358202e-05L,
                              -5.4020668025e-07L,
                              1.5425922111e-09L,
                              -2.4850089136e-12L,
                              2.3389721459e-15L,
                              -1.1946296815e-18L,
                              2.5561127497e-22L};
constexpr Extended R1[] = {0.0L,          5.289139L,      1.391111e-02L, -2.400524e-05L,
                           3.620141e-08L, -4.464502e-11L, 3.849769e-14L, -1.537264e-17L};
constexpr Extended R2[] = {-2.641801e+02L, 8.046868L, 2.989229e-03L, -2.687606e-07L};
constexpr Extended R3[] = {1.5540414e+04L, 4.2357773e+03L, 1.4693087e+01L, -5.221389e+01L};
constexpr Extended R4[] = {2.0416695e+04L, 6.6850914e+02L, -1.2301472e+01L, -2.7861521L};
constexpr Extended S1[] = {0.0L,          5.399578L,      1.251977e-02L, -2.244822e-05L,
                           2.845216e-08L, -2.244058e-11L, 8.505417e-15L};
constexpr Extended S2[] = {-2.982448e+02L, 8.237553L, 1.645391e-03L};
constexpr Extended S3[] = {1.3943439e+04L, 3.6398687e+03L, -5.0281206L, -4.2450546e+01L};
constexpr Extended S4[] = {1.8113083e+04L, 5.6795375e+02L, -1.2112492e+01L, -2.8117589L};
constexpr Extended BAll[] = {0.0L,
                             -2.467460162e-01L,
                             5.9102111169e-03L,
                             -1.430712343e-06L,
                             2.150914975e-09L,
                             -3.175780072e-12L,
                             2.4010367459e-15L,
                             -9.0928148159e-19L,
                             1.3299505137e-22L};
constexpr Extended LAll[] = {0.0L,          6.32175e+01L,  5.89073e-02L,
                             -8.03773e-05L, 1.195515e-07L, -2.46058e-11L,
                             -4.83261e-13L, 8.23504e-16L,  -4.02693e-19L};

template <std::size_t N> constexpr ThermocoupleSubRange plain(const Extended (&set)[N])
{
    return {set, static_cast<int>(N), 0.0L, 1.0L};
}

template <std::size_t N>
constexpr ThermocoupleSubRange shifted(const Extended (&set)[N], Extended offset, Extended scale)
{
    return {set, static_cast<int>(N), offset, scale};
}

} // namespace

ThermocoupleSubRange thermocoupleSubRange(Characteristic c, Extended x)
{
    switch (c) {
    case Characteristic::TcN:
        return x <= 0 ? plain(NLow) : plain(NHigh);
    case Characteristic::TcK:
        return x <= 0 ? plain(KLow) : plain(KHigh);
    case Characteristic::TcT:
        return x <= 0 ? plain(TLow) : plain(THigh);
    case Characteristic::TcJ:
        return x <= 760 ? plain(JLow) : plain(JHigh);
    case Characteristic::TcE:
        return x <= 0 ? plain(ELow) : plain(EHigh);
    case Characteristic::TcR: {
        // The upper two sub-ranges of the platinum-rhodium types are centred and
        // scaled so that their cubic terms stay well conditioned.
        if (x <= 630)
            return plain(R1);
        if (x <= 1064)
            return plain(R2);
        if (x <= 1665)
            return shifted(R3, 1365.0L, 300.0L);
        return shifted(R4, 1715.0L, 50.0L);
    }
    case Characteristic::TcS: {
        if (x <= 630)
            return plain(S1);
        if (x <= 1064)
            return plain(S2);
        if (x <= 1665)
            return shifted(S3, 1365.0L, 300.0L);
        return shifted(S4, 1715.0L, 50.0L);
    }
    case Characteristic::TcB:
        return plain(BAll);
    case Characteristic::TcL:
        return plain(LAll);
    default:
        return {nullptr, 0, 0.0L, 1.0L};
    }
}

} // namespace vtr8
