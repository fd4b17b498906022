#include "projections/gis_proj_pseudo.h"

#include <algorithm>
#include <cmath>

#include "projections/gis_base.h"
#include "projections/gis_math.h"
#include "projections/gis_messages.h"

using namespace gis;

VM_DEFINE_CLASS(TGIS_ProjectionSinusoid)
VM_DEFINE_CLASS(TGIS_ProjectionMollweide)
VM_DEFINE_CLASS(TGIS_ProjectionEckert4)
VM_DEFINE_CLASS(TGIS_ProjectionEckert6)
VM_DEFINE_CLASS(TGIS_ProjectionWagner4)
VM_DEFINE_CLASS(TGIS_ProjectionWagner7)
VM_DEFINE_CLASS(TGIS_ProjectionRobinson)
VM_DEFINE_CLASS(TGIS_ProjectionGrinten)

GIS_PROJECTION_TEXTS(TGIS_ProjectionSinusoid, "SIN", "Sinusoid")
GIS_PROJECTION_TEXTS(TGIS_ProjectionMollweide, "MOL", "Mollweide Pseudocylindrical")
GIS_PROJECTION_TEXTS(TGIS_ProjectionEckert4, "EC4", "Eckert IV")
GIS_PROJECTION_TEXTS(TGIS_ProjectionEckert6, "EC6", "Eckert VI")
GIS_PROJECTION_TEXTS(TGIS_ProjectionWagner4, "WA4", "Wagner IV")
GIS_PROJECTION_TEXTS(TGIS_ProjectionWagner7, "WA7", "Wagner VII")
GIS_PROJECTION_TEXTS(TGIS_ProjectionRobinson, "ROB", "Robinson")
GIS_PROJECTION_TEXTS(TGIS_ProjectionGrinten, "GRI", "Van der Grinten")

namespace {

const TGIS_ProjectionParameters WorldParameters = {ppCentralMeridian, ppFalseEasting, ppFalseNorthing};

constexpr TEastingLimits SinusoidLimits = TEastingLimits::Turned(20037509, 19926189);
constexpr TEastingLimits MollweideLimits = TEastingLimits::Turned(18019930, 17919819);
constexpr TEastingLimits Eckert4Limits = TEastingLimits::Turned(16902288, 16808386);
constexpr TEastingLimits WideLimits{17555761, -17653839, 17653838, -17653838, 17653838, -17555761};

constexpr long double NewtonTolerance = 4.85e-10L;
// Safety bound of the Newton iterations, which the formulas leave open.
constexpr int MaxIterations = 200;

constexpr long double RobinsonLimit = 1.5664330036649108L;  // 89.75 degrees
constexpr long double RobinsonDegree = 0.01745329252L;

// Newton iteration for an auxiliary angle: Theta += -F(Theta) / F'(Theta) until the step is
// at most Tolerance.
template <class F, class D>
long double Newton(long double Theta, long double Tolerance, F Value, D Slope) {
  for (int I = 0; I < MaxIterations; ++I) {
    const long double Den = Slope(Theta);
    if (Den == 0) break;
    const long double Step = -Value(Theta) / Den;
    Theta += Step;
    if (std::fabs(Step) <= Tolerance) break;
  }
  return Theta;
}

// Theta with Theta + sin Theta = K sin Phi, by Newton's method from Phi.
long double ThetaPlusSine(long double K, long double Phi, long double Tolerance) {
  const long double KSinPhi = K * std::sin(Phi);
  return Newton(
      Phi, Tolerance, [&](long double T) { return T + std::sin(T) - KSinPhi; },
      [](long double T) { return 1 + std::cos(T); });
}

long double ArcSinOrPole(long double I) {
  if (I > 1) return HalfPi;
  if (I < -1) return -HalfPi;
  return std::asin(I);
}

}  // namespace

// One SetUp for the classes that read the central meridian and the false origin.
#define GIS_WORLD_SETUP(Class)                                                       \
  TGIS_ProjectionParameters Class::GetParameters() const { return WorldParameters; } \
  void Class::SetUp(GIS_SETUP_PARAMS) { SetUpMeridianAndFalseOrigin(GIS_SETUP_ARGS); }

GIS_WORLD_SETUP(TGIS_ProjectionSinusoid)
GIS_WORLD_SETUP(TGIS_ProjectionMollweide)
GIS_WORLD_SETUP(TGIS_ProjectionEckert4)
GIS_WORLD_SETUP(TGIS_ProjectionEckert6)
GIS_WORLD_SETUP(TGIS_ProjectionWagner4)
GIS_WORLD_SETUP(TGIS_ProjectionWagner7)
GIS_WORLD_SETUP(TGIS_ProjectionGrinten)

// ---------------------------------------------------------------------------------------------
// Sinusoid

TGIS_ProjectionSinusoid::TGIS_ProjectionSinusoid() {
  DeltaNorthing = 10001966;
  Prepare();
}

void TGIS_ProjectionSinusoid::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  MeridianSeries.Init(E2);
  FootpointSeries.Init(E2);
  SinusoidLimits.Apply(CentralMeridian, MaxEasting, MinEasting);
}

void TGIS_ProjectionSinusoid::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  const long double s = std::sin(phi);
  const long double x = A * dl * std::cos(phi) / std::sqrt(1 - E2 * s * s);
  const long double y = MeridianSeries.Distance(A, phi);
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionSinusoid::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  const double Band = std::fabs(DeltaNorthing);
  long double dx, dy;
  BeginUnproject(Projected, MinEasting, MaxEasting, -Band, Band, dx, dy);
  long double phi = FootpointSeries.Latitude(dy / (A * MeridianSeries.C0));
  long double lambda;
  // At the pole, or past it by the band's rounding: the central meridian.
  if (std::fabs(phi) > HalfPi - 1e-8L) {
    lambda = CentralMeridian;
  } else {
    const long double s = std::sin(phi);
    lambda = CentralMeridian + dx * std::sqrt(1 - E2 * s * s) / (A * std::cos(phi));
  }
  Geodetic = GeodeticPoint(lambda, phi, Projected.Z);
}

// ---------------------------------------------------------------------------------------------
// Mollweide

TGIS_ProjectionMollweide::TGIS_ProjectionMollweide() {
  DeltaNorthing = 9009965;
  Prepare();
}

void TGIS_ProjectionMollweide::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  const long double Ra = AuthalicRadius(A, E2);
  Sqrt2Ra = std::sqrt(2.0L) * Ra;
  Sqrt8Ra = std::sqrt(8.0L) * Ra;
  MollweideLimits.Apply(CentralMeridian, MaxEasting, MinEasting);
}

void TGIS_ProjectionMollweide::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  const long double theta = ThetaPlusSine(Pi, phi, NewtonTolerance) / 2;
  const long double x = Sqrt8Ra / Pi * dl * std::cos(theta);
  const long double y = Sqrt2Ra * std::sin(theta);
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionMollweide::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  const double Band = std::fabs(DeltaNorthing);
  long double dx, dy;
  BeginUnproject(Projected, MinEasting, MaxEasting, -Band, Band, dx, dy);
  const long double i = dy / Sqrt2Ra;
  long double phi, theta = 0;
  if (std::fabs(i) > 1) {
    phi = dy < 0 ? -HalfPi : HalfPi;
  } else {
    theta = std::asin(i);
    phi = std::asin(LimitUnit((2 * theta + std::sin(2 * theta)) / Pi));
  }
  long double lambda = std::fabs(std::fabs(phi) - HalfPi) < 1e-10L
                           ? static_cast<long double>(CentralMeridian)
                           : CentralMeridian + Pi * dx / (Sqrt8Ra * std::cos(theta));
  Geodetic = GeodeticPoint(lambda, phi, Projected.Z);
}

// ---------------------------------------------------------------------------------------------
// Eckert IV

namespace {
constexpr long double Eckert4K = 3.5707963267948966L;  // 2 + pi/2
constexpr long double Eckert6K = 2.5707963267948966L;  // 1 + pi/2
constexpr long double Wagner4K = 2.9604205062L;
}  // namespace

TGIS_ProjectionEckert4::TGIS_ProjectionEckert4() {
  DeltaNorthing = 8451144;
  Prepare();
}

void TGIS_ProjectionEckert4::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  const long double Ra = AuthalicRadius(A, E2);
  Ra0 = static_cast<double>(0.4222382L * Ra);
  Ra1 = static_cast<double>(1.3265004L * Ra);
  Eckert4Limits.Apply(CentralMeridian, MaxEasting, MinEasting);
}

void TGIS_ProjectionEckert4::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  const long double KSinPhi = Eckert4K * std::sin(phi);
  const long double theta = Newton(
      phi / 2, NewtonTolerance,
      [&](long double T) { return T + std::sin(T) * std::cos(T) + 2 * std::sin(T) - KSinPhi; },
      [](long double T) { return 2 * std::cos(T) * (1 + std::cos(T)); });
  const long double x = Ra0 * dl * (1 + std::cos(theta));
  const long double y = Ra1 * std::sin(theta);
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionEckert4::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  const double Band = std::fabs(DeltaNorthing);
  long double dx, dy;
  BeginUnproject(Projected, MinEasting, MaxEasting, -Band, Band, dx, dy);
  const long double theta = std::asin(LimitUnit(dy / Ra1));
  long double phi = std::asin(LimitUnit((theta + std::sin(theta) * std::cos(theta) + 2 * std::sin(theta)) / Eckert4K));
  long double lambda = CentralMeridian + dx / (Ra0 * (1 + std::cos(theta)));
  Geodetic = GeodeticPoint(lambda, phi, Projected.Z);
}

// ---------------------------------------------------------------------------------------------
// Eckert VI

TGIS_ProjectionEckert6::TGIS_ProjectionEckert6() {
  DeltaNorthing = 8826919;
  Prepare();
}

void TGIS_ProjectionEckert6::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  const long double Ra = AuthalicRadius(A, E2);
  RaOverSqrt2PlusPi = Ra / std::sqrt(2 + Pi);
  Sqrt2PlusPiOverRa = 1 / RaOverSqrt2PlusPi;
  WideLimits.Apply(CentralMeridian, MaxEasting, MinEasting);
}

void TGIS_ProjectionEckert6::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  const long double theta = ThetaPlusSine(Eckert6K, phi, NewtonTolerance);
  const long double x = RaOverSqrt2PlusPi * dl * (1 + std::cos(theta));
  const long double y = 2 * RaOverSqrt2PlusPi * theta;
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionEckert6::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  const double Band = std::fabs(DeltaNorthing);
  long double dx, dy;
  BeginUnproject(Projected, MinEasting, MaxEasting, -Band, Band, dx, dy);
  const long double theta = dy * Sqrt2PlusPiOverRa / 2;
  long double phi = ArcSinOrPole((theta + std::sin(theta)) / Eckert6K);
  long double lambda = CentralMeridian + Sqrt2PlusPiOverRa * dx / (1 + std::cos(theta));
  Geodetic = GeodeticPoint(lambda, phi, Projected.Z);
}

// ---------------------------------------------------------------------------------------------
// Wagner IV

TGIS_ProjectionWagner4::TGIS_ProjectionWagner4() {
  DeltaNorthing = 8826919;
  Prepare();
}

void TGIS_ProjectionWagner4::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  const long double Ra = AuthalicRadius(A, E2);
  Ra0 = static_cast<double>(0.8631L * Ra);
  Ra1 = static_cast<double>(1.56548L * Ra);
  WideLimits.Apply(CentralMeridian, MaxEasting, MinEasting);
}

void TGIS_ProjectionWagner4::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  const long double theta = ThetaPlusSine(Wagner4K, phi, 1e-10L) / 2;
  const long double x = Ra0 * dl * std::cos(theta);
  const long double y = Ra1 * std::sin(theta);
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionWagner4::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  const double Band = std::fabs(DeltaNorthing);
  long double dx, dy;
  BeginUnproject(Projected, MinEasting, MaxEasting, -Band, Band, dx, dy);
  const long double theta = std::asin(LimitUnit(dy / Ra1));
  long double phi = ArcSinOrPole((2 * theta + std::sin(2 * theta)) / Wagner4K);
  long double lambda = CentralMeridian + dx / (Ra0 * std::cos(theta));
  Geodetic = GeodeticPoint(lambda, phi, Projected.Z);
}

// ---------------------------------------------------------------------------------------------
// Wagner VII

TGIS_ProjectionWagner7::TGIS_ProjectionWagner7() {
  DeltaNorthing = 8826919;
  Prepare();
}

void TGIS_ProjectionWagner7::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  Ra = static_cast<double>(AuthalicRadius(A, E2));
  WideLimits.Apply(CentralMeridian, MaxEasting, MinEasting);
}

void TGIS_ProjectionWagner7::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  const long double s = 0.90631L * std::sin(phi);
  const long double c0 = std::sqrt(1 - s * s);
  const long double c1 = std::sqrt(2 / (1 + c0 * std::cos(dl / 3)));
  const long double x = 2.66723L * Ra * c0 * c1 * std::sin(dl / 3);
  const long double y = 1.24104L * Ra * s * c1;
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionWagner7::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  const double Band = std::fabs(DeltaNorthing);
  long double dx, dy;
  BeginUnproject(Projected, MinEasting, MaxEasting, -Band, Band, dx, dy);
  const long double xs = dx / 2.66723L;
  const long double ys = dy / 1.24104L;
  const long double t = std::sqrt(xs * xs + ys * ys);
  long double phi, lambda;
  if (t == 0) {
    // The centre of the map.
    phi = 0;
    lambda = CentralMeridian;
  } else {
    const long double u = t / (2 * Ra);
    const long double c = u > 1 ? HalfPi : (u < -1 ? -HalfPi : 2 * std::asin(u));
    phi = ArcSinOrPole(std::sin(c) * dy / (1.1247669624L * t));
    lambda = CentralMeridian + 3 * std::atan2(std::tan(c) * dx, 2.66723L * t);
  }
  Geodetic = GeodeticPoint(lambda, phi, Projected.Z);
}

// ---------------------------------------------------------------------------------------------
// Robinson

TGIS_ProjectionRobinson::TGIS_ProjectionRobinson() {
  static const long double Northing[20] = {-0.062, 0,      0.062,  0.124,  0.186,  0.248,  0.31,
                                           0.372,  0.434,  0.4958, 0.5571, 0.6176, 0.6769, 0.7346,
                                           0.7903, 0.8435, 0.8936, 0.9394, 0.9761, 1.0};
  static const long double Easting[20] = {0.9986, 1.0,    0.9986, 0.9954, 0.99,   0.9822, 0.973,
                                          0.96,   0.9427, 0.9216, 0.8962, 0.8679, 0.835,  0.7986,
                                          0.7597, 0.7186, 0.6732, 0.6213, 0.5722, 0.5322};
  for (int I = 0; I < 20; ++I) {
    PR[I] = Northing[I];
    XLR[I] = 0.9858L * Easting[I];
  }
  Prepare();
}

TGIS_ProjectionParameters TGIS_ProjectionRobinson::GetParameters() const { return WorldParameters; }

void TGIS_ProjectionRobinson::SetUp(GIS_SETUP_PARAMS) {
  KeepWarnings = 0;
  TGIS_ProjectionAbstract::SetUp(GIS_SETUP_ARGS);
  CentralMeridian = LimitCentralMeridian(ACentralMeridian);
  FalseEasting = AFalseEasting;
  FalseNorthing = AFalseNorthing;
  Prepare();
}

long double TGIS_ProjectionRobinson::Interpolate(const long double* T, long double Phi) const {
  const long double d = std::fabs(Phi) / 5 / RobinsonDegree;
  const int i = std::clamp(static_cast<int>(d - 1e-10L), 0, 17);
  const long double f = d - i;
  return T[i + 1] + (T[i + 2] - T[i]) * f / 2 + f * f * (T[i + 2] - 2 * T[i + 1] + T[i]) / 2;
}

void TGIS_ProjectionRobinson::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  // Half the width of the map at the equator, and the projected pole (its latitude is corrected
  // to 89.75 degrees; that warning does not replace the set-up's).
  DeltaEasting = static_cast<double>(A * Pi * Interpolate(XLR, 0));
  DeltaNorthing = ProjectQuietly(0, HalfPi).Y - FalseNorthing;
}

void TGIS_ProjectionRobinson::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  KeepWarnings = 0;
  long double lambda = Geodetic.X;
  long double phi = Geodetic.Y;
  CheckLatitude(phi, RobinsonLimit);
  CheckLongitude(lambda);
  if (lambda > Pi) lambda -= TwoPi;
  const long double dl = DeltaLongitude(lambda);
  const long double x = A * dl * Interpolate(XLR, phi);
  long double y = A * HalfPi * Interpolate(PR, phi);
  if (phi < 0) y = -y;
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionRobinson::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  long double dx, dy;
  BeginUnproject(Projected, -DeltaEasting, DeltaEasting, -DeltaNorthing, DeltaNorthing, dx, dy);
  const long double yp = dy / (A * HalfPi);
  int i = static_cast<int>(std::fabs(90 * yp / 5) - 1e-10L);
  i = std::clamp(i, 1, 17);
  for (; i >= 0; --i) {
    const long double D = PR[i + 2] - PR[i];
    const long double C = PR[i + 2] - 2 * PR[i + 1] + PR[i];
    const long double u = 2 * (std::fabs(yp) - PR[i + 1]) / D;
    const long double t = (1 - (C / D) * u * (1 - 2 * (C / D) * u)) * u;
    if (!(t >= 0 || i == 1)) continue;
    long double phid = (i + t) * 5;
    if (dy < 0) phid = -phid;
    for (int Steps = 0;; ++Steps) {
      long double w = A * HalfPi * Interpolate(PR, phid * RobinsonDegree);
      if (phid < 0) w = -w;
      if (std::fabs(w - dy) <= 1e-5L) break;
      if (Steps >= 75) throw EGIS_Exception(GIS_RS_ERR_NOT_SOLVABLE, 0, "");
      phid += (w - dy) * (-180 / Pi) / A;
    }
    long double phi = phid * RobinsonDegree;
    long double lambda = dx / (A * Interpolate(XLR, phi)) + CentralMeridian;
    FinishGeodetic(lambda, phi);
    Geodetic = {static_cast<double>(lambda), static_cast<double>(phi), Projected.Z};
    return;
  }
  throw EGIS_Exception(GIS_RS_ERR_NOT_SOLVABLE, 0, "");
}

// ---------------------------------------------------------------------------------------------
// Van der Grinten

TGIS_ProjectionGrinten::TGIS_ProjectionGrinten() { Prepare(); }

void TGIS_ProjectionGrinten::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  R = AuthalicRadius(A, E2) / std::sqrt(2 + Pi);
  PiR = Pi * R;
}

void TGIS_ProjectionGrinten::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  long double x, y;
  if (phi == 0) {
    x = R * dl;
    y = 0;
  } else {
    const long double theta = std::asin(std::min(std::fabs(2 * phi / Pi), 1.0L));
    if (dl == 0 || Near(std::fabs(phi), HalfPi, 1e-5L)) {
      x = 0;
      y = PiR * std::tan(theta / 2);
    } else {
      const long double Aa = std::fabs(Pi / dl - dl / Pi) / 2;
      const long double G = std::cos(theta) / (std::sin(theta) + std::cos(theta) - 1);
      const long double P = G * (2 / std::sin(theta) - 1);
      const long double A2a = Aa * Aa, P2 = P * P, Q = A2a + G;
      const long double GP = G - P2;
      const long double Den = P2 + A2a;
      x = PiR * (Aa * GP + std::sqrt(std::max(0.0L, A2a * GP * GP - Den * (G * G - P2)))) / Den;
      y = PiR * (P * Q - Aa * std::sqrt(std::max(0.0L, (A2a + 1) * Den - Q * Q))) / Den;
      if (dl < 0) x = -x;
    }
    if (phi < 0) y = -y;
  }
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionGrinten::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  KeepWarnings = 0;
  long double x = Projected.X;
  long double y = Projected.Y;
  if (x < FalseEasting - PiR - 0.01L) {
    x = FalseEasting - PiR;
    AddWarning(GIS_RS_WRN_EASTING);
  } else if (x > FalseEasting + PiR + 0.01L) {
    x = FalseEasting + PiR;
    AddWarning(GIS_RS_WRN_EASTING);
  }
  if (y < FalseNorthing - PiR - 0.01L) {
    y = FalseNorthing - PiR;
    AddWarning(GIS_RS_WRN_NORTHING);
  } else if (y > FalseNorthing + PiR + 0.01L) {
    y = FalseNorthing + PiR;
    AddWarning(GIS_RS_WRN_NORTHING);
  }
  const long double dy = y - FalseNorthing;
  const long double X = (x - FalseEasting) / PiR;
  const long double Y = dy / PiR;
  const long double X2 = X * X, Y2 = Y * Y, S = X2 + Y2;
  long double phi;
  if (dy == 0) {
    phi = 0;
  } else {
    const long double c1 = -std::fabs(Y) * (1 + S);
    const long double c2 = c1 - 2 * Y2 + X2;
    const long double c3 = -2 * c1 + 1 + 2 * Y2 + S * S;
    const long double co = c2 / (3 * c3);
    const long double d = Y2 / c3 + (2 * c2 * c2 * c2 / (c3 * c3 * c3) - 9 * c1 * c2 / (c3 * c3)) / 27;
    const long double a1 = (c1 - c2 * co) / c3;
    const long double m1 = 2 * std::sqrt(std::max(0.0L, -a1 / 3));
    const long double i = 3 * d / (a1 * m1);
    if (!(std::fabs(i) <= 1))
      phi = HalfPi;
    else
      phi = Pi * (-m1 * std::cos(std::acos(i) / 3 + Pi / 3) - co);
    if (dy < 0) phi = -phi;
  }
  long double lambda = X == 0 ? static_cast<long double>(CentralMeridian)
                              : Pi * (S - 1 + std::sqrt(1 + 2 * X2 - 2 * Y2 + S * S)) / (2 * X) + CentralMeridian;
  Geodetic = GeodeticPoint(lambda, phi, Projected.Z);
}
