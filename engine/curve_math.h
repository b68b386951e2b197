#pragma once
// What the curve motions compute with. Arithmetic is done in double; values
// are rounded to float where they are stored and where ToFloat() marks it, so
// the pixels do not depend on how the compiler keeps intermediates.
#include <cmath>

// Rounds to single precision, as the float fields store it.
inline float ToFloat(double x) {
    return static_cast<float>(x);
}
// Widens a float, so that the arithmetic it takes part in is done in double.
inline double ToDouble(float x) {
    return static_cast<double>(x);
}
// Truncates toward zero: how a curve's point becomes a pixel position.
inline int Truncate(double x) {
    return static_cast<int>(x);
}
// Sine and cosine of a float angle, computed in double and rounded to float.
inline float Sin(float x) {
    return ToFloat(std::sin(ToDouble(x)));
}
inline float Cos(float x) {
    return ToFloat(std::cos(ToDouble(x)));
}

// Single-precision values of the angles the curves use.
constexpr float kPi = 3.1415927410125732f;
constexpr float kTwoPi = 6.2831854820251465f;
constexpr float kHalfDegree = 0.008726646192371845f;
constexpr float kOneDegree = 0.01745329238474369f;
constexpr float kFourDegrees = 0.06981316953897476f;
