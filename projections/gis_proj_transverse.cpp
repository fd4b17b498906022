#include "projections/gis_proj_transverse.h"

#include <algorithm>
#include <cmath>

#include "platform/sysutils.h"
#include "projections/gis_math.h"
#include "projections/gis_messages.h"

using namespace gis;

VM_DEFINE_CLASS(TGIS_ProjectionTransverseMercator)
VM_DEFINE_CLASS(TGIS_ProjectionUTM)
VM_DEFINE_CLASS(TGIS_ProjectionCassini)
VM_DEFINE_CLASS(TGIS_ProjectionTCEA)

GIS_PROJECTION_TEXTS(TGIS_ProjectionTransverseMercator, "TMR", "Transverse Mercator")
GIS_PROJECTION_TEXTS(TGIS_ProjectionUTM, "UTM", "Universal Transverse Mercator (UTM)")
GIS_PROJECTION_TEXTS(TGIS_ProjectionCassini, "CAS", "Cassini")
GIS_PROJECTION_TEXTS(TGIS_ProjectionTCEA, "TCE", "Transverse Cylindrical Equal Area")

namespace {

// Beyond nine degrees from the central meridian the series lose accuracy.
constexpr long double DistortionLimit = 0.15707963267948966L;
constexpr long double UtmNorthLimit = 1.4748032179352084L;   // 84.5 degrees
constexpr long double UtmSouthLimit = -1.4049900478554353L;  // -80.5 degrees
constexpr double UtmFalseEasting = 500000;
constexpr double UtmFalseNorthingSouth = 10000000;
constexpr double UtmScale = 0.9996;
constexpr long double Latitude31 = 0.5410520681182421L;          // 31 degrees
constexpr long double CassiniWarnLimit = 0.069813170079773183L;  // 4 degrees
constexpr long double TceaHeight = 20003931.458986L;

const TGIS_ProjectionParameters TransverseParameters = {ppCentralMeridian, ppOriginLatitude, ppFalseEasting,
                                                        ppFalseNorthing, ppScaleFactor};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Transverse Mercator

TGIS_ProjectionTransverseMercator::TGIS_ProjectionTransverseMercator() {
  TmOrigin = MakeMapPoint(0, 0);
  TmFalseOrigin = MakeMapPoint(0, 0);
  TmScale = 1.0;
  Prepare();
}

TGIS_ProjectionParameters TGIS_ProjectionTransverseMercator::GetParameters() const { return TransverseParameters; }

void TGIS_ProjectionTransverseMercator::SetUp(GIS_SETUP_PARAMS) {
  KeepWarnings = 0;
  TGIS_ProjectionAbstract::SetUp(GIS_SETUP_ARGS);
  const double Origin = CheckOriginLatitude(AOriginLatitude, static_cast<double>(HalfPi));
  const double Meridian = LimitCentralMeridian(ACentralMeridian);
  double Scale = AScaleFactor;
  if (Scale < 0.3) {
    AddWarning(GIS_RS_WRN_SCALE_FACTOR);
    Scale = 0.3;
  } else if (Scale > 3) {
    AddWarning(GIS_RS_WRN_SCALE_FACTOR);
    Scale = 3;
  }
  TmOrigin = MakeMapPoint(Meridian, Origin);
  TmFalseOrigin = MakeMapPoint(AFalseEasting, AFalseNorthing);
  TmScale = Scale;
  Prepare();
}

long double TGIS_ProjectionTransverseMercator::MeridianArc(long double Phi) const {
  return Ap * Phi - Bp * std::sin(2 * Phi) + Cp * std::sin(4 * Phi) - Dp * std::sin(6 * Phi) + Ep * std::sin(8 * Phi);
}

void TGIS_ProjectionTransverseMercator::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  CentralMeridian = 0;
  OriginLatitude = 0;
  FalseEasting = 0;
  FalseNorthing = 0;
  ScaleFactor = 1.0;
  const long double n = (A - B) / (A + B);
  const long double n2 = n * n, n3 = n2 * n, n4 = n3 * n, n5 = n4 * n;
  Ap = A * (1 - n + 5.0L / 4 * (n2 - n3) + 81.0L / 64 * (n4 - n5));
  Bp = 3 * A / 2 * (n - n2 + 7.0L / 8 * (n3 - n4) + 55.0L / 64 * n5);
  Cp = 15 * A / 16 * (n2 - n3 + 3.0L / 4 * (n4 - n5));
  Dp = 35 * A / 48 * (n3 - n4 + 11.0L / 16 * n5);
  Ep = 315 * A / 512 * (n4 - n5);
  // The band of valid plane coordinates: a quarter turn from the central meridian, at the pole
  // and at the equator. A scale above 1 widens it in proportion. These projections' own
  // warnings do not replace those of the set-up.
  const double Widen = std::max(1.0, TmScale);
  DeltaNorthing = ProjectQuietly(HalfPi, HalfPi).Y * Widen;
  DeltaEasting = ProjectQuietly(HalfPi, 0).X * Widen;
  CentralMeridian = ReduceMeridian(TmOrigin.X);
  OriginLatitude = TmOrigin.Y;
  FalseEasting = TmFalseOrigin.X;
  FalseNorthing = TmFalseOrigin.Y;
  ScaleFactor = TmScale;
}

void TGIS_ProjectionTransverseMercator::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  KeepWarnings = 0;
  long double lambda = Geodetic.X;
  long double phi = Geodetic.Y;
  CheckLatitude(phi, HalfPi);
  if (lambda > Pi) lambda -= TwoPi;
  const long double lambda0 = CentralMeridian;
  // A point more than a quarter turn from the central meridian moves to the quarter turn on
  // its own side.
  // The warning of a moved point is kept rather than the distortion warning that follows.
  const long double Side = DeltaLongitude(lambda);
  bool Moved = false;
  if (Side < -HalfPi || Side > HalfPi) {
    lambda = Side < 0 ? lambda0 - HalfPi : lambda0 + HalfPi;
    AddWarning(GIS_RS_WRN_LONGITUDE);
    Moved = true;
  }
  long double dl = DeltaLongitude(lambda);
  if (std::fabs(dl) > DistortionLimit && !Moved) AddWarning(GIS_RS_WRN_DISTORTED);
  if (std::fabs(dl) < 2e-10L) dl = 0;

  const long double k0 = ScaleFactor;
  const long double s = std::sin(phi), c = std::cos(phi), t = std::tan(phi);
  const long double T = t * t;
  const long double eta = Ep2 * c * c;
  const long double eta2 = eta * eta, eta3 = eta2 * eta, eta4 = eta3 * eta;
  const long double N = A / std::sqrt(1 - E2 * s * s);
  const long double c3 = c * c * c, c5 = c3 * c * c, c7 = c5 * c * c;

  const long double t2 = N * s * c * k0 / 2;
  const long double t3 = N * s * c3 * k0 * (5 - T + 9 * eta + 4 * eta2) / 24;
  const long double t4 = N * s * c5 * k0 *
                         (61 - 58 * T + T * T + 270 * eta - 330 * T * eta + 445 * eta2 + 324 * eta3 - 680 * T * eta2 +
                          88 * eta4 - 600 * T * eta3 - 192 * T * eta4) /
                         720;
  const long double t5 = N * s * c7 * k0 * (1385 - 3111 * T + 543 * T * T - T * T * T) / 40320;
  const long double t6 = N * c * k0;
  const long double t7 = N * c3 * k0 * (1 - T + eta) / 6;
  const long double t8 =
      N * c5 * k0 *
      (5 - 18 * T + T * T + 14 * eta - 58 * T * eta + 13 * eta2 + 4 * eta3 - 64 * T * eta2 - 24 * T * eta3) / 120;
  const long double t9 = N * c7 * k0 * (61 - 479 * T + 179 * T * T - T * T * T) / 5040;

  const long double dl2 = dl * dl, dl3 = dl2 * dl, dl4 = dl3 * dl, dl5 = dl4 * dl;
  const long double dl6 = dl5 * dl, dl7 = dl6 * dl, dl8 = dl7 * dl;
  const long double y =
      FalseNorthing + k0 * (MeridianArc(phi) - MeridianArc(OriginLatitude)) + dl2 * t2 + dl4 * t3 + dl6 * t4 + dl8 * t5;
  const long double x = FalseEasting + dl * t6 + dl3 * t7 + dl5 * t8 + dl7 * t9;
  Projected = {static_cast<double>(x), static_cast<double>(y), Geodetic.Z};
}

void TGIS_ProjectionTransverseMercator::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  KeepWarnings = 0;
  const long double x = Projected.X;
  const long double y = Projected.Y;
  if (x < FalseEasting - DeltaEasting || x > FalseEasting + DeltaEasting)
    throw EGIS_Exception(GIS_RS_ERR_EASTING, 0, FloatToStr(Projected.X));
  if (y < FalseNorthing - DeltaNorthing || y > FalseNorthing + DeltaNorthing)
    throw EGIS_Exception(GIS_RS_ERR_NORTHING, 0, FloatToStr(Projected.Y));

  const long double k0 = ScaleFactor;
  const long double lambda0 = CentralMeridian;
  const long double M = MeridianArc(OriginLatitude) + (y - FalseNorthing) / k0;
  auto Rm = [this](long double Phi) {
    const long double s = std::sin(Phi);
    return A * (1 - E2) / std::pow(1 - E2 * s * s, 1.5L);
  };
  long double fp = M / Rm(0);
  for (int I = 0; I < 5; ++I) fp += (M - MeridianArc(fp)) / Rm(fp);

  const long double R = Rm(fp);
  const long double s = std::sin(fp), c = std::cos(fp), t = std::tan(fp);
  const long double N = A / std::sqrt(1 - E2 * s * s);
  const long double T = t * t;
  const long double eta = Ep2 * c * c;
  const long double eta2 = eta * eta, eta3 = eta2 * eta, eta4 = eta3 * eta;
  long double de = x - FalseEasting;
  if (std::fabs(de) < 0.0001L) de = 0;

  const long double k2 = k0 * k0, k3 = k2 * k0, k4 = k3 * k0, k5 = k4 * k0, k6 = k5 * k0, k7 = k6 * k0, k8 = k7 * k0;
  const long double N3 = N * N * N, N5 = N3 * N * N, N7 = N5 * N * N;
  const long double t10 = t / (2 * R * N * k2);
  const long double t11 = t * (5 + 3 * T + eta - 4 * eta2 - 9 * T * eta) / (24 * R * N3 * k4);
  const long double t12 = t *
                          (61 + 90 * T + 46 * eta + 45 * T * T - 252 * T * eta - 3 * eta2 + 100 * eta3 - 66 * T * eta2 -
                           90 * T * T * eta + 88 * eta4 + 225 * T * T * eta2 + 84 * T * eta3 - 192 * T * eta4) /
                          (720 * R * N5 * k6);
  const long double t13 = t * (1385 + 3633 * T + 4095 * T * T + 1575 * T * T * T) / (40320 * R * N7 * k8);
  const long double t14 = 1 / (N * c * k0);
  const long double t15 = (1 + 2 * T + eta) / (6 * N3 * c * k3);
  const long double t16 =
      (5 + 6 * eta + 28 * T - 3 * eta2 + 8 * T * eta + 24 * T * T - 4 * eta3 + 4 * T * eta2 + 24 * T * eta3) /
      (120 * N5 * c * k5);
  const long double t17 = (61 + 662 * T + 1320 * T * T + 720 * T * T * T) / (5040 * N7 * c * k7);

  const long double de2 = de * de, de3 = de2 * de, de4 = de3 * de, de5 = de4 * de;
  const long double de6 = de5 * de, de7 = de6 * de, de8 = de7 * de;
  long double phi = fp - de2 * t10 + de4 * t11 - de6 * t12 + de8 * t13;
  const long double dl = de * t14 - de3 * t15 + de5 * t16 - de7 * t17;
  long double lambda = lambda0 + dl;
  if (!std::isfinite(phi) || !std::isfinite(lambda))
    throw EGIS_Exception(GIS_RS_ERR_EASTING, 0, FloatToStr(Projected.X));

  // Over the pole: the latitude folds back and the longitude turns by half a turn.
  phi = std::remainder(phi, TwoPi);
  if (phi > HalfPi) {
    phi = Pi - phi;
    lambda += Pi;
    if (lambda > Pi) lambda -= TwoPi;
  } else if (phi < -HalfPi) {
    phi = -(phi + Pi);
    lambda += Pi;
    if (lambda > Pi) lambda -= TwoPi;
  }
  if (lambda > TwoPi) lambda -= TwoPi;
  if (lambda < -Pi) lambda += TwoPi;
  if (std::fabs(dl) > DistortionLimit) AddWarning(GIS_RS_WRN_DISTORTED);
  Geodetic = {static_cast<double>(lambda), static_cast<double>(phi), Projected.Z};
}

// ---------------------------------------------------------------------------------------------
// UTM

TGIS_ProjectionUTM::TGIS_ProjectionUTM() : Tm(std::make_unique<TGIS_ProjectionTransverseMercator>()) {
  SetFixedValues();
  Prepare();
}

TGIS_ProjectionUTM::~TGIS_ProjectionUTM() = default;

TGIS_ProjectionParameters TGIS_ProjectionUTM::GetParameters() const { return {ppZone}; }

void TGIS_ProjectionUTM::SetFixedValues() {
  CentralMeridian = 0;
  OriginLatitude = 0;
  FalseEasting = UtmFalseEasting;
  FalseNorthing = 0;
  ScaleFactor = UtmScale;
}

double TGIS_ProjectionUTM::ZoneMeridian() const {
  double Degrees = 6.0 * Zone - 183;
  if (Zone <= 30) Degrees += 360;
  return static_cast<double>(Degrees * DegToRad);
}

void TGIS_ProjectionUTM::SetUp(GIS_SETUP_PARAMS) {
  KeepWarnings = 0;
  TGIS_ProjectionAbstract::SetUp(GIS_SETUP_ARGS);
  if (AZone < 0 || AZone > 60) throw EGIS_Exception(GIS_RS_ERR_ZONE, AZone, "");
  Zone = AZone;
  SouthernHemisphere = false;
  SetFixedValues();
  Prepare();
}

void TGIS_ProjectionUTM::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  KeepWarnings = 0;
  SetFixedValues();
  long double lambda = Geodetic.X;
  const long double phi = Geodetic.Y;
  if (phi < -UtmNorthLimit || phi > UtmNorthLimit) throw EGIS_Exception(GIS_RS_ERR_LATITUDE, 0, FloatToStr(Geodetic.Y));
  if (lambda < -Pi || lambda > TwoPi) throw EGIS_Exception(GIS_RS_ERR_LONGITUDE, 0, FloatToStr(Geodetic.X));

  // The zone of the point, with the special zones of Norway and Svalbard.
  const long double LonDeg = lambda / DegToRad;
  const long double LatDeg = phi / DegToRad;
  int32_t Computed =
      lambda < Pi ? static_cast<int32_t>(LonDeg / 6 + 31 + 5e-8L) : static_cast<int32_t>(LonDeg / 6 - 29 + 5e-8L);
  if (Computed > 60) Computed = 1;
  const long double L = LonDeg > 180 ? LonDeg - 360 : LonDeg;
  if (LatDeg > 55 && LatDeg < 64 && L > -1 && L < 3) Computed = 31;
  if (LatDeg > 55 && LatDeg < 64 && L > 2 && L < 12) Computed = 32;
  if (LatDeg > 71 && L > -1 && L < 9) Computed = 31;
  if (LatDeg > 71 && L > 8 && L < 21) Computed = 33;
  if (LatDeg > 71 && L > 20 && L < 33) Computed = 35;
  if (LatDeg > 71 && L > 32 && L < 42) Computed = 37;
  if (Zone != 0) {
    const bool Fits = std::abs(Zone - Computed) <= 1 || (Computed == 1 && Zone == 60) || (Computed == 60 && Zone == 1);
    if (!Fits) throw EGIS_Exception(GIS_RS_ERR_ZONE_OVERRIDE, Zone, "");
    Computed = Zone;
  }
  Zone = Computed;

  if (lambda < 0) lambda += TwoPi;
  const double Meridian = ZoneMeridian();
  const bool South = phi < 0;
  const double Northing0 = South ? UtmFalseNorthingSouth : 0;
  Tm->SetDatum(Datum);
  Tm->SetUp(0, Meridian, 0, UtmFalseEasting, Northing0, 0, 0, UtmScale, 0, 0, 0, 0, 0, 0, 0);
  TGIS_ProjPoint Result;
  Tm->Project(TGIS_ProjPoint{static_cast<double>(lambda), Geodetic.Y, Geodetic.Z}, Result);
  if (Result.X < 100000 || Result.X > 900000 || Result.Y < 0 || Result.Y > 10000000)
    throw EGIS_Exception(GIS_RS_ERR_ZONE, Zone, "");
  CentralMeridian = ReduceMeridian(Meridian);
  FalseNorthing = Northing0;
  SouthernHemisphere = South;
  Projected = Result;
}

void TGIS_ProjectionUTM::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  KeepWarnings = 0;
  SetFixedValues();
  if (Projected.X < 100000 || Projected.X > 900000)
    throw EGIS_Exception(GIS_RS_ERR_EASTING, 0, FloatToStr(Projected.X));
  if (Projected.Y < 0 || Projected.Y > 10000000) throw EGIS_Exception(GIS_RS_ERR_NORTHING, 0, FloatToStr(Projected.Y));
  const double Meridian = static_cast<double>(ZoneMeridian() + 5e-8L);
  const double Northing0 = SouthernHemisphere ? UtmFalseNorthingSouth : 0;
  Tm->SetDatum(Datum);
  Tm->SetUp(0, Meridian, 0, UtmFalseEasting, Northing0, 0, 0, UtmScale, 0, 0, 0, 0, 0, 0, 0);
  TGIS_ProjPoint Result;
  Tm->Unproject(Projected, Result);
  if (Result.Y < UtmSouthLimit || Result.Y > UtmNorthLimit) throw EGIS_Exception(GIS_RS_ERR_ZONE, Zone, "");
  CentralMeridian = ReduceMeridian(Meridian);
  FalseNorthing = Northing0;
  Geodetic = Result;
}

// ---------------------------------------------------------------------------------------------
// Cassini

TGIS_ProjectionCassini::TGIS_ProjectionCassini() { Prepare(); }

TGIS_ProjectionParameters TGIS_ProjectionCassini::GetParameters() const {
  return {ppCentralMeridian, ppOriginLatitude, ppFalseEasting, ppFalseNorthing};
}

void TGIS_ProjectionCassini::SetUp(GIS_SETUP_PARAMS) { SetUpOriginMeridianAndFalseOrigin(GIS_SETUP_ARGS); }

void TGIS_ProjectionCassini::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  MeridianSeries.Init(E2);
  M0 = MeridianSeries.Distance(A, OriginLatitude);
  FootpointSeries.Init(E2);
  TEastingLimits::Turned(20037508.4, 19926188.9).Apply(CentralMeridian, MaxEasting, MinEasting);
  // Northing limits from the points half a turn away at 31 degrees, from the false northing.
  const long double Far = OppositeMeridian(CentralMeridian);
  MaxNorthing = ProjectQuietly(Far, Latitude31).Y - FalseNorthing;
  MinNorthing = ProjectQuietly(Far, -Latitude31).Y - FalseNorthing;
}

void TGIS_ProjectionCassini::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  const long double s = std::sin(phi), c = std::cos(phi), t = std::tan(phi);
  const long double Aa = c * dl;
  const long double T = t * t;
  const long double C = E2 * c * c / (1 - E2);
  const long double N = A / std::sqrt(1 - E2 * s * s);
  const long double A2a = Aa * Aa, A3 = A2a * Aa, A4 = A3 * Aa, A5 = A4 * Aa;
  const long double x = N * (Aa - T * A3 / 6 - (8 - T + 8 * C) * T * A5 / 120);
  const long double y = MeridianSeries.Distance(A, phi) - M0 + N * t * (A2a / 2 + (5 - T + 6 * C) * A4 / 24);
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionCassini::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  KeepWarnings = 0;
  long double x = Projected.X;
  long double y = Projected.Y;
  CheckEasting(x, FalseEasting + MinEasting, FalseEasting + MaxEasting);
  if (y < FalseNorthing + MinNorthing - 0.1) {
    y = FalseNorthing + MinNorthing;
    AddWarning(GIS_RS_WRN_NORTHING);
  } else if (y > FalseNorthing + MaxNorthing + 0.1) {
    y = FalseNorthing + MaxNorthing;
    AddWarning(GIS_RS_WRN_NORTHING);
  }
  const long double dx = x - FalseEasting;
  const long double dy = y - FalseNorthing;
  const long double lambda0 = CentralMeridian;
  const long double phi1 = FootpointSeries.Latitude((M0 + dy) / (A * MeridianSeries.C0));
  if (Near(phi1, HalfPi, 1e-5L)) {
    Geodetic = {CentralMeridian, static_cast<double>(HalfPi), Projected.Z};
    return;
  }
  if (Near(phi1, -HalfPi, 1e-5L)) {
    Geodetic = {CentralMeridian, static_cast<double>(-HalfPi), Projected.Z};
    return;
  }
  const long double s = std::sin(phi1), t = std::tan(phi1);
  const long double T1 = t * t;
  const long double N1 = A / std::sqrt(1 - E2 * s * s);
  const long double R1 = N1 * (1 - E2) / (1 - E2 * s * s);
  const long double D = dx / N1;
  const long double D2 = D * D, D3 = D2 * D, D4 = D3 * D, D5 = D4 * D;
  long double phi = phi1 - (N1 * t / R1) * (D2 / 2 - (1 + 3 * T1) * D4 / 24);
  long double lambda = lambda0 + (D - T1 * D3 / 3 + (1 + 3 * T1) * T1 * D5 / 15) / std::cos(phi1);
  FinishGeodetic(lambda, phi);
  if (std::fabs(lambda - lambda0) > CassiniWarnLimit) AddWarning(GIS_RS_WRN_LONGITUDE);
  Geodetic = {static_cast<double>(lambda), static_cast<double>(phi), Projected.Z};
}

// ---------------------------------------------------------------------------------------------
// Transverse cylindrical equal area

TGIS_ProjectionTCEA::TGIS_ProjectionTCEA() {
  ScaleFactor = 1.0;
  Prepare();
}

TGIS_ProjectionParameters TGIS_ProjectionTCEA::GetParameters() const { return TransverseParameters; }

void TGIS_ProjectionTCEA::SetUp(GIS_SETUP_PARAMS) {
  KeepWarnings = 0;
  TGIS_ProjectionAbstract::SetUp(GIS_SETUP_ARGS);
  StoreOriginMeridianAndFalseOrigin(AOriginLatitude, ACentralMeridian, AFalseEasting, AFalseNorthing);
  // The scale divides: one that is not positive cannot be used.
  ScaleFactor = CheckPositiveScale(AScaleFactor);
  Prepare();
}

void TGIS_ProjectionTCEA::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  AuthalicSeries.Init(E2);
  FootpointSeries.Init(E2);
  MeridianSeries.Init(E2);
  Qp = AuthalicQ(E2, E, HalfPi);
  M0 = MeridianSeries.Distance(A, OriginLatitude);
  // The northing band: from the projected pole, one map height in the other direction.
  TGIS_ProjPoint Pole{static_cast<double>(Pi), static_cast<double>(HalfPi), 0};
  Project(Pole, Pole);
  const double y = Pole.Y - FalseNorthing;
  if (y > 0) {
    MaxNorthing = y;
    MinNorthing = static_cast<double>(y - TceaHeight);
  } else if (y < 0) {
    MinNorthing = y;
    MaxNorthing = static_cast<double>(y + TceaHeight);
  }
}

void TGIS_ProjectionTCEA::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  const long double k0 = ScaleFactor;
  const long double ratio = phi >= HalfPi ? 1 : LimitUnit(AuthalicQ(E2, E, phi) / Qp);
  const long double beta = std::asin(ratio);
  const long double betac = std::atan(std::tan(beta) / std::cos(dl));
  const long double phic = AuthalicSeries.Latitude(betac);
  const long double sc = std::sin(phic);
  const long double x =
      A * std::cos(beta) * std::cos(phic) * std::sin(dl) / (k0 * std::cos(betac) * std::sqrt(1 - E2 * sc * sc));
  const long double y = k0 * (MeridianSeries.Distance(A, phic) - M0);
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionTCEA::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  long double dx, dy;
  BeginUnproject(Projected, MinEasting, MaxEasting, MinNorthing, MaxNorthing, dx, dy);
  const long double k0 = ScaleFactor;
  const long double M = dy / k0 + M0;
  const long double phi1 = FootpointSeries.Latitude(M / (A * MeridianSeries.C0));
  const long double s1 = std::sin(phi1);
  const long double beta1 = std::asin(LimitUnit(AuthalicQ(E2, E, phi1) / Qp));
  const long double t = LimitUnit(std::sqrt(1 - E2 * s1 * s1) * dx * k0 * std::cos(beta1) / (A * std::cos(phi1)));
  const long double betac = -std::asin(t);
  const long double beta = std::asin(std::sin(beta1) * std::cos(betac));
  long double phi = AuthalicSeries.Latitude(beta);
  long double lambda = CentralMeridian - std::atan(std::tan(betac) / std::cos(beta1));
  Geodetic = GeodeticPoint(lambda, phi, Projected.Z);
}
