// Constants and ellipsoid series shared by the projection families (extended precision).
#pragma once

#include <cmath>

namespace gis {

constexpr long double Pi = 3.14159265358979323846264338327950288L;
constexpr long double HalfPi = Pi / 2;
constexpr long double TwoPi = Pi * 2;
constexpr long double DegToRad = 0.017453292519943295769L;

inline long double LimitUnit(long double X) { return X < -1 ? -1 : (X > 1 ? 1 : X); }
inline long double Limit(long double X, long double Low, long double High) {
  return X < Low ? Low : (X > High ? High : X);
}
// True when X lies strictly within Tolerance of V.
inline bool Near(long double X, long double V, long double Tolerance) { return X > V - Tolerance && X < V + Tolerance; }

// Meridional distance M(phi) = a (c0 phi - c1 sin 2phi + c2 sin 4phi - c3 sin 6phi).
struct TMeridian {
  long double C0 = 1, C1 = 0, C2 = 0, C3 = 0;

  void Init(long double E2) {
    const long double E4 = E2 * E2, E6 = E4 * E2;
    C0 = 1 - E2 / 4 - 3 * E4 / 64 - 5 * E6 / 256;
    C1 = 3 * E2 / 8 + 3 * E4 / 32 + 45 * E6 / 1024;
    C2 = 15 * E4 / 256 + 45 * E6 / 1024;
    C3 = 35 * E6 / 3072;
  }
  long double Distance(long double A, long double Phi) const {
    return A * (C0 * Phi - C1 * std::sin(2 * Phi) + C2 * std::sin(4 * Phi) - C3 * std::sin(6 * Phi));
  }
  // Derivative of Distance / A.
  long double Derivative(long double Phi) const {
    return C0 - 2 * C1 * std::cos(2 * Phi) + 4 * C2 * std::cos(4 * Phi) - 6 * C3 * std::cos(6 * Phi);
  }
};

// Footpoint latitude of a rectifying latitude mu.
struct TFootpoint {
  long double F1 = 0, F2 = 0, F3 = 0, F4 = 0;

  void Init(long double E2) {
    const long double r = std::sqrt(1 - E2);
    const long double e1 = (1 - r) / (1 + r);
    const long double e12 = e1 * e1, e13 = e12 * e1, e14 = e13 * e1;
    F1 = 3 * e1 / 2 - 27 * e13 / 32;
    F2 = 21 * e12 / 16 - 55 * e14 / 32;
    F3 = 151 * e13 / 96;
    F4 = 1097 * e14 / 512;
  }
  long double Latitude(long double Mu) const {
    return Mu + F1 * std::sin(2 * Mu) + F2 * std::sin(4 * Mu) + F3 * std::sin(6 * Mu) + F4 * std::sin(8 * Mu);
  }
};

// Authalic function q(phi).
inline long double AuthalicQ(long double E2, long double E, long double Phi) {
  const long double s = std::sin(Phi);
  return (1 - E2) * (s / (1 - E2 * s * s) - std::log((1 - E * s) / (1 + E * s)) / (2 * E));
}

// m(phi) = cos phi / sqrt(1 - e^2 sin^2 phi).
inline long double SmallM(long double E2, long double Phi) {
  const long double s = std::sin(Phi);
  return std::cos(Phi) / std::sqrt(1 - E2 * s * s);
}

// Conformal t(phi) = tan(pi/4 - phi/2) / ((1 - e sin phi)/(1 + e sin phi))^(e/2).
inline long double ConformalT(long double E, long double Phi) {
  const long double es = E * std::sin(Phi);
  return std::tan(Pi / 4 - Phi / 2) / std::pow((1 - es) / (1 + es), E / 2);
}

// Authalic radius a (1 - e^2/6 - 17e^4/360 - 67e^6/3024).
inline long double AuthalicRadius(long double A, long double E2) {
  const long double E4 = E2 * E2, E6 = E4 * E2;
  return A * (1 - E2 / 6 - 17 * E4 / 360 - 67 * E6 / 3024);
}

// Series from the authalic latitude back to the geodetic one.
struct TAuthalicInverse {
  long double K1 = 0, K2 = 0, K3 = 0;

  void Init(long double E2) {
    const long double E4 = E2 * E2, E6 = E4 * E2;
    K1 = E2 / 3 + 31 * E4 / 180 + 517 * E6 / 5040;
    K2 = 23 * E4 / 360 + 251 * E6 / 3780;
    K3 = 761 * E6 / 45360;
  }
  long double Latitude(long double Beta) const {
    return Beta + K1 * std::sin(2 * Beta) + K2 * std::sin(4 * Beta) + K3 * std::sin(6 * Beta);
  }
};

// The meridian half a turn from Meridian (pi for meridian 0).
inline long double OppositeMeridian(long double Meridian) {
  if (Meridian > 0) return Meridian - Pi;
  if (Meridian < 0) return Meridian + Pi;
  return Pi;
}

// Easting limits by the sign of the central meridian.
struct TEastingLimits {
  double PositiveMax, PositiveMin, ZeroMax, ZeroMin, NegativeMax, NegativeMin;

  // Full each way, less on the side away from which the central meridian is turned.
  static constexpr TEastingLimits Turned(double Full, double Short) {
    return {Short, -Full, Full, -Full, Full, -Short};
  }
  void Apply(double Meridian, double& Max, double& Min) const {
    if (Meridian > 0) {
      Max = PositiveMax;
      Min = PositiveMin;
    } else if (Meridian < 0) {
      Max = NegativeMax;
      Min = NegativeMin;
    } else {
      Max = ZeroMax;
      Min = ZeroMin;
    }
  }
};

}  // namespace gis

// Defines GetCode and GetDescription of a projection class.
#define GIS_PROJECTION_TEXTS(Class, CodeText, DescriptionText)      \
  void Class::GetCode(std::string& Code) const { Code = CodeText; } \
  void Class::GetDescription(std::string& Description) const { Description = DescriptionText; }
