#include "projections/gis_proj_cylindrical.h"

#include <cmath>

#include "projections/gis_math.h"
#include "projections/gis_messages.h"

using namespace gis;

VM_DEFINE_CLASS(TGIS_ProjectionGeodetic)
VM_DEFINE_CLASS(TGIS_ProjectionGeocentric)
VM_DEFINE_CLASS(TGIS_ProjectionMercator)
VM_DEFINE_CLASS(TGIS_ProjectionMillerCyl)
VM_DEFINE_CLASS(TGIS_ProjectionEQC)
VM_DEFINE_CLASS(TGIS_ProjectionCEA)

GIS_PROJECTION_TEXTS(TGIS_ProjectionGeodetic, "GED", "Geodetic (unprojected)")
GIS_PROJECTION_TEXTS(TGIS_ProjectionGeocentric, "GEC", "Geocentic (unprojected)")
GIS_PROJECTION_TEXTS(TGIS_ProjectionMercator, "MER", "Mercator")
GIS_PROJECTION_TEXTS(TGIS_ProjectionMillerCyl, "MIL", "Miller Cylindrical")
GIS_PROJECTION_TEXTS(TGIS_ProjectionEQC, "EQC", "Equidistant Cylindrical")
GIS_PROJECTION_TEXTS(TGIS_ProjectionCEA, "CEA", "Cylindrical Equal Area")

namespace {

// 89.75 degrees: the Mercator's latitude limit.
constexpr long double MercatorLimit = 1.5664330036649108L;
// One degree, the offset of the western or eastern easting limit.
constexpr long double OneDegree = 0.017453292519943295L;

const TGIS_ProjectionParameters MeridianOriginFalse = {ppCentralMeridian, ppOriginLatitude, ppFalseEasting,
                                                       ppFalseNorthing};
const TGIS_ProjectionParameters MeridianFalse = {ppCentralMeridian, ppFalseEasting, ppFalseNorthing};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Geodetic

TGIS_ProjectionGeodetic::TGIS_ProjectionGeodetic() { Prepare(); }

void TGIS_ProjectionGeodetic::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  KeepWarnings = 0;
  Projected = Geodetic;
}

void TGIS_ProjectionGeodetic::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  KeepWarnings = 0;
  Geodetic = Projected;
}

// ---------------------------------------------------------------------------------------------
// Geocentric

TGIS_ProjectionGeocentric::TGIS_ProjectionGeocentric() { Prepare(); }

void TGIS_ProjectionGeocentric::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  KeepWarnings = 0;
  GeodeticToGeocentric(Ellipsoid, Geodetic, Projected);
}

void TGIS_ProjectionGeocentric::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  KeepWarnings = 0;
  GeocentricToGeodetic(Ellipsoid, Projected, Geodetic);
}

// ---------------------------------------------------------------------------------------------
// Mercator

TGIS_ProjectionMercator::TGIS_ProjectionMercator() { Prepare(); }

TGIS_ProjectionParameters TGIS_ProjectionMercator::GetParameters() const { return MeridianOriginFalse; }

void TGIS_ProjectionMercator::SetUp(GIS_SETUP_PARAMS) {
  KeepWarnings = 0;
  TGIS_ProjectionAbstract::SetUp(GIS_SETUP_ARGS);
  OriginLatitude = CheckOriginLatitude(AOriginLatitude, static_cast<double>(MercatorLimit));
  CentralMeridian = LimitCentralMeridian(ACentralMeridian);
  FalseEasting = AFalseEasting;
  FalseNorthing = AFalseNorthing;
  Prepare();
}

void TGIS_ProjectionMercator::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  const long double e4 = E2 * E2, e6 = e4 * E2, e8 = e6 * E2;
  InvCoef1 = E2 / 2 + 5 * e4 / 24 + e6 / 12 + 13 * e8 / 360;
  InvCoef2 = 7 * e4 / 48 + 29 * e6 / 240 + 811 * e8 / 11520;
  InvCoef3 = 7 * e6 / 120 + 81 * e8 / 1120;
  InvCoef4 = 4279 * e8 / 161280;
  CentralMeridian = ReduceMeridian(CentralMeridian);
  const long double s = std::sin(static_cast<long double>(OriginLatitude));
  ScaleFactor = static_cast<double>(std::cos(static_cast<long double>(OriginLatitude)) / std::sqrt(1 - E2 * s * s));
  // Extent: the half width and height of the map, from a point half a turn away near the pole.
  TGIS_ProjPoint Corner{static_cast<double>(CentralMeridian + Pi), static_cast<double>(MercatorLimit), 0};
  Project(Corner, Corner);
  DeltaEasting = std::fabs(Corner.X - FalseEasting) * 1.01;
  DeltaNorthing = (Corner.Y - FalseNorthing) * 1.01;
}

void TGIS_ProjectionMercator::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi, MercatorLimit);
  const long double k0a = ScaleFactor * A;
  const long double es = E * std::sin(phi);
  const long double x = k0a * dl;
  const long double y = k0a * std::log(std::tan(Pi / 4 + phi / 2) * std::pow((1 - es) / (1 + es), E / 2));
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionMercator::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  long double dx, dy;
  BeginUnproject(Projected, -DeltaEasting, DeltaEasting, -DeltaNorthing, DeltaNorthing, dx, dy);
  const long double k0a = ScaleFactor * A;
  const long double chi = HalfPi - 2 * std::atan(1 / std::exp(dy / k0a));
  const long double phi = chi + InvCoef1 * std::sin(2 * chi) + InvCoef2 * std::sin(4 * chi) +
                          InvCoef3 * std::sin(6 * chi) + InvCoef4 * std::sin(8 * chi);
  long double lambda = CentralMeridian + dx / k0a;
  if (lambda > Pi) lambda -= TwoPi;
  if (lambda < -Pi) lambda += TwoPi;
  Geodetic = {static_cast<double>(lambda), static_cast<double>(phi), Projected.Z};
}

// ---------------------------------------------------------------------------------------------
// Miller cylindrical

TGIS_ProjectionMillerCyl::TGIS_ProjectionMillerCyl() {
  DeltaNorthing = 14675058;
  Prepare();
}

TGIS_ProjectionParameters TGIS_ProjectionMillerCyl::GetParameters() const { return MeridianFalse; }

void TGIS_ProjectionMillerCyl::SetUp(GIS_SETUP_PARAMS) { SetUpMeridianAndFalseOrigin(GIS_SETUP_ARGS); }

void TGIS_ProjectionMillerCyl::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  AuthalicRadius = gis::AuthalicRadius(A, E2);
  TEastingLimits::Turned(20015110, 19903915).Apply(CentralMeridian, MaxEasting, MinEasting);
}

void TGIS_ProjectionMillerCyl::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  const long double s = std::sin(0.8L * phi);
  const long double x = AuthalicRadius * dl;
  const long double y = AuthalicRadius / 1.6L * std::log((1 + s) / (1 - s));
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionMillerCyl::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  const double Band = std::fabs(DeltaNorthing);
  long double dx, dy;
  BeginUnproject(Projected, MinEasting, MaxEasting, -Band, Band, dx, dy);
  long double phi = std::atan(std::sinh(0.8L * dy / AuthalicRadius)) / 0.8L;
  long double lambda = CentralMeridian + dx / AuthalicRadius;
  Geodetic = GeodeticPoint(lambda, phi, Projected.Z);
}

// ---------------------------------------------------------------------------------------------
// Equidistant cylindrical

TGIS_ProjectionEQC::TGIS_ProjectionEQC() {
  DeltaNorthing = 10007555;
  Prepare();
}

TGIS_ProjectionParameters TGIS_ProjectionEQC::GetParameters() const { return MeridianOriginFalse; }

void TGIS_ProjectionEQC::SetUp(GIS_SETUP_PARAMS) { SetUpOriginMeridianAndFalseOrigin(GIS_SETUP_ARGS); }

void TGIS_ProjectionEQC::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  AuthalicRadius = gis::AuthalicRadius(A, E2);
  const long double c = std::cos(static_cast<long double>(OriginLatitude));
  // A standard parallel at a pole leaves no width.
  RaCosParallel = std::fabs(c) < 1e-12L ? 0 : AuthalicRadius * c;
  // Easting limits relative to the false easting: half a turn each way, less one degree on the
  // side away from which the central meridian is turned.
  const long double Full = RaCosParallel * Pi;
  const long double Short = RaCosParallel * (Pi - OneDegree);
  TEastingLimits::Turned(static_cast<double>(Full), static_cast<double>(Short))
      .Apply(CentralMeridian, MaxEasting, MinEasting);
}

void TGIS_ProjectionEQC::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  Projected = {static_cast<double>(RaCosParallel * dl + FalseEasting),
               static_cast<double>(AuthalicRadius * phi + FalseNorthing), Geodetic.Z};
}

void TGIS_ProjectionEQC::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  const double Band = std::fabs(DeltaNorthing);
  long double dx, dy;
  BeginUnproject(Projected, MinEasting, MaxEasting, -Band, Band, dx, dy);
  long double phi = dy / AuthalicRadius;
  long double lambda = RaCosParallel == 0 ? 0 : CentralMeridian + dx / RaCosParallel;
  Geodetic = GeodeticPoint(lambda, phi, Projected.Z);
}

// ---------------------------------------------------------------------------------------------
// Cylindrical equal area

TGIS_ProjectionCEA::TGIS_ProjectionCEA() {
  DeltaNorthing = 6363886;
  Prepare();
}

TGIS_ProjectionParameters TGIS_ProjectionCEA::GetParameters() const { return MeridianOriginFalse; }

void TGIS_ProjectionCEA::SetUp(GIS_SETUP_PARAMS) { SetUpOriginMeridianAndFalseOrigin(GIS_SETUP_ARGS); }

void TGIS_ProjectionCEA::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  AuthalicSeries.Init(E2);
  const long double phi1 = OriginLatitude;
  const long double s = std::sin(phi1);
  const long double k0 = std::cos(phi1) / std::sqrt(1 - E2 * s * s);
  AK0 = A * k0;
  TwoK0 = 2 * k0;
  const long double Full = AK0 * Pi;
  const long double Short = AK0 * (Pi - OneDegree);
  TEastingLimits::Turned(static_cast<double>(Full), static_cast<double>(Short))
      .Apply(CentralMeridian, MaxEasting, MinEasting);
  // Half height of the map: the northing of the pole, from the false northing.
  DeltaNorthing = static_cast<double>(A * AuthalicQ(E2, E, HalfPi) / TwoK0);
}

void TGIS_ProjectionCEA::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  const long double x = AK0 * dl;
  const long double y = A * AuthalicQ(E2, E, phi) / TwoK0;
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionCEA::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  const double Band = std::fabs(DeltaNorthing);
  long double dx, dy;
  BeginUnproject(Projected, MinEasting, MaxEasting, -Band, Band, dx, dy);
  const long double qp = AuthalicQ(E2, E, HalfPi);
  const long double beta = std::asin(LimitUnit(TwoK0 * dy / (A * qp)));
  Geodetic = GeodeticPoint(CentralMeridian + dx / AK0, AuthalicSeries.Latitude(beta), Projected.Z);
}
