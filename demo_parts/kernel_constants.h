#pragma once
// The long numeric constants of the scenes' kernels, each named once. Every one keeps the exact
// literal and float or double type the frames were made with: many are a degree, or a multiple
// of one, rounded to a different number of digits, and that rounding shows in the pictures.
// Where a literal equals a plain expression, an assertion says so.
#include <numbers>

namespace morvane {

// One degree in radians.
inline constexpr double kDegree = std::numbers::pi / 180.0;
// A degree in single precision, and the same value widened to double.
inline constexpr float kDegreeF = 0.0174532924f;
inline constexpr double kDegreeOfFloat = 0.01745329238474369;
static_assert(kDegreeF == std::numbers::pi_v<float> / 180.0f);
static_assert(kDegreeOfFloat == static_cast<double>(kDegreeF));
// A degree as a double written to ten, eight and seventeen significant digits (the last one
// 2.8e-8 above the true value).
inline constexpr double kDegree10 = 0.0174532924;
inline constexpr double kDegree8 = 0.017453293;
inline constexpr double kDegreeLong = 0.017453293005625408;
// Ten degrees to ten digits; 1.2 in single precision to ten decimals.
inline constexpr double kDegrees10 = 0.1745329238;
inline constexpr double kSinglePrecision1_2 = 1.2000000477;

// Angular speeds per tick: multiples of a degree written to ten significant digits.
inline constexpr double kDegrees0_04 = 0.0006981317;
inline constexpr double kDegrees0_16 = 0.0027925269;
inline constexpr double kDegrees0_4 = 0.0069813172;
inline constexpr double kDegrees0_733 = 0.0127932638;
inline constexpr double kDegrees0_8 = 0.0139626344;
inline constexpr double kDegrees0_815 = 0.0142244338;
inline constexpr double kDegrees0_835 = 0.0145734997;
inline constexpr double kDegrees0_842 = 0.0146956727;
inline constexpr double kDegrees0_924 = 0.0161268427;
inline constexpr double kDegrees0_953 = 0.0166329882;
inline constexpr double kDegrees1_3 = 0.0226892809;
inline constexpr float kDegrees0_3F = 0.0052359879f;
// Multiples of the single-precision degree, written with all seventeen digits.
inline constexpr double kDegrees0_03267 = 0.0005701990824937821;
inline constexpr double kDegrees0_15438 = 0.00269443937420845;
inline constexpr double kDegrees0_16713 = 0.0029169688600301745;
inline constexpr double kDegrees0_17624 = 0.003075968359311422;
inline constexpr double kDegrees0_6 = 0.010471975803375244;
inline constexpr double kDegrees0_7 = 0.012217305103937785;
inline constexpr double kDegrees2_2 = 0.038397244612375904;
inline constexpr double kDegrees2_4 = 0.04188790321350098;
// The point cloud's three turning speeds per tick and point, in radians.
inline constexpr double kCloudSpinA = 1.0796206938262357e-6;
inline constexpr double kCloudSpinB = 2.6473127236793477e-6;
inline constexpr double kCloudSpinC = 7.295200534960027e-7;

// 128 / pi with pi in single precision: 256 angle steps per turn. The ten-digit form is a
// little short, so that exact eighths of a turn land one step low.
inline constexpr double k128OverFloatPi = 40.74366429772945;
inline constexpr double k128OverFloatPi10 = 40.7436642977;
static_assert(k128OverFloatPi == 128.0 / static_cast<double>(std::numbers::pi_v<float>));

// Scales of the generator's 0..32767 range, computed in single precision.
inline constexpr float k255Over32767F = 0.0077822199f;
inline constexpr double k64Over32767 = 0.0019531846046447754;
inline constexpr double k21Over32767 = 0.0006408886983990669;
inline constexpr double k10Over32767 = 0.00030518509447574615;
static_assert(k255Over32767F == 255.0f / 32767.0f);
static_assert(k64Over32767 == static_cast<double>(64.0f / 32767.0f));
static_assert(k21Over32767 == static_cast<double>(21.0f / 32767.0f));
static_assert(k10Over32767 == static_cast<double>(10.0f / 32767.0f));

// Plain ratios.
inline constexpr float k3Over1120F = 0.0026785714f;
inline constexpr double k64Over245 = 0.2612244897959184;
inline constexpr double k96Over35 = 2.742857142857143;
// Close to 0.0136 / 35, but not that quotient's double.
inline constexpr double kRisePerSquaredTick = 0.0003885714285714286;
inline constexpr double k131072Over319 = 410.88401253918494;
static_assert(k3Over1120F == 3.0f / 1120.0f);
static_assert(k64Over245 == 64.0 / 245.0);
static_assert(k96Over35 == 96.0 / 35.0);
static_assert(k131072Over319 == 131072.0 / 319.0);

}  // namespace morvane
