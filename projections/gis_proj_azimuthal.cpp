#include "projections/gis_proj_azimuthal.h"

#include <cmath>

#include "projections/gis_math.h"
#include "projections/gis_messages.h"

using namespace gis;

VM_DEFINE_CLASS(TGIS_ProjectionOrthographic)
VM_DEFINE_CLASS(TGIS_ProjectionPolarStereographic)

GIS_PROJECTION_TEXTS(TGIS_ProjectionOrthographic, "ORT", "Orthographic")
GIS_PROJECTION_TEXTS(TGIS_ProjectionPolarStereographic, "POL", "Polar Stereographic")

namespace {

const TGIS_ProjectionParameters MeridianOriginFalse = {ppCentralMeridian, ppOriginLatitude, ppFalseEasting,
                                                       ppFalseNorthing};
// Safety bound of the latitude iteration, which the formula leaves open.
constexpr int MaxIterations = 100;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Orthographic

TGIS_ProjectionOrthographic::TGIS_ProjectionOrthographic() { Prepare(); }

TGIS_ProjectionParameters TGIS_ProjectionOrthographic::GetParameters() const { return MeridianOriginFalse; }

void TGIS_ProjectionOrthographic::SetUp(GIS_SETUP_PARAMS) { SetUpOriginMeridianAndFalseOrigin(GIS_SETUP_ARGS); }

void TGIS_ProjectionOrthographic::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  AuthalicRadius = static_cast<double>(gis::AuthalicRadius(A, E2));
  CosOrigin = std::cos(OriginLatitude);
  SinOrigin = std::sin(OriginLatitude);
}

void TGIS_ProjectionOrthographic::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  const long double Ra = AuthalicRadius;
  const long double x = Ra * std::cos(phi) * std::sin(dl);
  const long double y = Ra * (CosOrigin * std::sin(phi) - SinOrigin * std::cos(phi) * std::cos(dl));
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionOrthographic::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  KeepWarnings = 0;
  const long double Ra = AuthalicRadius;
  long double x = Projected.X;
  long double y = Projected.Y;
  CheckEasting(x, FalseEasting - Ra, FalseEasting + Ra);
  CheckNorthing(y, FalseNorthing - Ra, FalseNorthing + Ra);
  const long double dx = x - FalseEasting;
  const long double dy = y - FalseNorthing;
  const long double rho = std::sqrt(dx * dx + dy * dy);
  if (rho == 0) {
    Geodetic = {CentralMeridian, OriginLatitude, Projected.Z};
    return;
  }
  const long double c = std::asin(LimitUnit(rho / Ra));
  const long double sc = std::sin(c), cc = std::cos(c);
  long double phi = std::asin(LimitUnit(cc * SinOrigin + dy * sc * CosOrigin / rho));
  // Longitudes by their full quadrant, so points more than a quarter turn from the central
  // meridian come back on their own side.
  long double lambda;
  if (std::fabs(OriginLatitude - HalfPi) <= 1e-10L)
    lambda = CentralMeridian + std::atan2(dx, -dy);
  else if (std::fabs(OriginLatitude + HalfPi) <= 1e-10L)
    lambda = CentralMeridian + std::atan2(dx, dy);
  else
    lambda = CentralMeridian + std::atan2(dx * sc, rho * cc * CosOrigin - dy * sc * SinOrigin);
  Geodetic = GeodeticPoint(lambda, phi, Projected.Z);
}

// ---------------------------------------------------------------------------------------------
// Polar stereographic

TGIS_ProjectionPolarStereographic::TGIS_ProjectionPolarStereographic() {
  OriginLatitude = static_cast<double>(HalfPi);
  DeltaEasting = 12713601.0;
  DeltaNorthing = 12713601.0;
  Prepare();
}

TGIS_ProjectionParameters TGIS_ProjectionPolarStereographic::GetParameters() const { return MeridianOriginFalse; }

long double TGIS_ProjectionPolarStereographic::P(long double X) const { return std::pow((1 - X) / (1 + X), E / 2); }

bool TGIS_ProjectionPolarStereographic::TrueScaleAtPole() const {
  return std::fabs(std::fabs(static_cast<long double>(OriginLatitude)) - HalfPi) <= 1e-10L;
}

void TGIS_ProjectionPolarStereographic::SetUp(GIS_SETUP_PARAMS) {
  KeepWarnings = 0;
  TGIS_ProjectionAbstract::SetUp(GIS_SETUP_ARGS);
  double Origin = CheckOriginLatitude(AOriginLatitude, static_cast<double>(HalfPi));
  double Meridian = ReduceMeridian(CheckCentralMeridian(ACentralMeridian));
  Southern = Origin < 0 ? 1 : 0;
  if (Southern != 0) {
    Meridian = -Meridian;
    Origin = -Origin;
  }
  CentralMeridian = Meridian;
  OriginLatitude = Origin;
  FalseEasting = AFalseEasting;
  FalseNorthing = AFalseNorthing;
  Prepare();
}

void TGIS_ProjectionPolarStereographic::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  if (TrueScaleAtPole()) {
    E4 = std::sqrt(std::pow(1 + E, 1 + E) * std::pow(1 - E, 1 - E));
  } else {
    const long double phi0 = OriginLatitude;
    const long double es = E * std::sin(phi0);
    Mc = std::cos(phi0) / std::sqrt(1 - es * es);
    AMc = A * Mc;
    Tc = std::tan(Pi / 4 - phi0 / 2) / P(es);
  }
  // The band reaches the equator: the radius of the equator on the central meridian.
  const double Meridian = Southern != 0 ? -CentralMeridian : CentralMeridian;
  TGIS_ProjPoint Equator{Meridian, 0, 0};
  Project(Equator, Equator);
  DeltaNorthing = std::fabs(Equator.Y - FalseNorthing) + 0.01;
  DeltaEasting = DeltaNorthing;
}

void TGIS_ProjectionPolarStereographic::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  KeepWarnings = 0;
  long double lambda = Geodetic.X;
  long double phi = Geodetic.Y;
  CheckLatitude(phi, HalfPi);
  CheckLongitude(lambda);
  const bool South = Southern != 0;
  if ((South && phi > 0) || (!South && phi < 0)) {
    phi = 0;
    AddWarning(GIS_RS_WRN_LATITUDE);
  }
  if (std::fabs(std::fabs(phi) - HalfPi) < 1e-10L) {
    Projected = {FalseEasting, FalseNorthing, Geodetic.Z};
    return;
  }
  if (South) {
    lambda = -lambda;
    phi = -phi;
  }
  const long double dl = DeltaLongitude(lambda);
  const long double t = std::tan(Pi / 4 - phi / 2) / P(E * std::sin(phi));
  const long double rho = TrueScaleAtPole() ? 2 * A * t / E4 : AMc * t / Tc;
  long double x, y;
  if (South) {
    x = FalseEasting - rho * std::sin(dl);
    y = rho * std::cos(dl) + FalseNorthing;
  } else {
    x = rho * std::sin(dl) + FalseEasting;
    y = -rho * std::cos(dl) + FalseNorthing;
  }
  Projected = {static_cast<double>(x), static_cast<double>(y), Geodetic.Z};
}

void TGIS_ProjectionPolarStereographic::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  long double dx, dy;
  BeginUnproject(Projected, -DeltaEasting, DeltaEasting, -DeltaNorthing, DeltaNorthing, dx, dy);
  long double lambda, phi;
  if (dx == 0 && dy == 0) {
    phi = HalfPi;
    lambda = CentralMeridian;
  } else {
    if (Southern != 0) {
      dx = -dx;
      dy = -dy;
    }
    const long double rho = std::sqrt(dx * dx + dy * dy);
    const long double t = TrueScaleAtPole() ? rho * E4 / (2 * A) : rho * Tc / AMc;
    long double previous = 0;
    phi = HalfPi - 2 * std::atan(t);
    for (int I = 0; I < MaxIterations && std::fabs(phi - previous) > 1e-10L; ++I) {
      previous = phi;
      phi = HalfPi - 2 * std::atan(t * P(E * std::sin(phi)));
    }
    lambda = CentralMeridian + std::atan2(dx, -dy);
    if (lambda > Pi) lambda -= TwoPi;
    if (lambda < -Pi) lambda += TwoPi;
    FinishGeodetic(lambda, phi);
  }
  if (Southern != 0) {
    phi = -phi;
    lambda = -lambda;
  }
  Geodetic = {static_cast<double>(lambda), static_cast<double>(phi), Projected.Z};
}
