#include "projections/gis_proj_oblique.h"

#include <algorithm>
#include <cmath>

#include "projections/gis_base.h"
#include "projections/gis_math.h"
#include "projections/gis_messages.h"

using namespace gis;

VM_DEFINE_CLASS(TGIS_ProjectionHotine)
VM_DEFINE_CLASS(TGIS_ProjectionHotine2)

GIS_PROJECTION_TEXTS(TGIS_ProjectionHotine, "HOT", "Hotine Olique Mercator Azimuth Center")
GIS_PROJECTION_TEXTS(TGIS_ProjectionHotine2, "HT2", "Hotine Olique Mercator Two Point")

namespace {

long double SafeArcSin(long double X) { return std::asin(LimitUnit(X)); }

// X brought into [-pi, pi] by whole turns.
long double AdjLon(long double X) {
  if (std::fabs(X) <= Pi) return X;
  return std::remainder(X, TwoPi);
}

bool AtEquatorOrPole(long double Phi) {
  return std::fabs(Phi) <= 1e-10L || std::fabs(std::fabs(Phi) - HalfPi) <= 1e-10L;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Hotine, centre and azimuth

TGIS_ProjectionHotine::TGIS_ProjectionHotine() {
  OriginLatitude = static_cast<double>(Pi / 4);
  ScaleFactor = 1;
  Prepare();
}

TGIS_ProjectionParameters TGIS_ProjectionHotine::GetParameters() const {
  return {ppCentralMeridian, ppOriginLatitude, ppFalseEasting, ppFalseNorthing, ppScaleFactor, ppAzimuth};
}

void TGIS_ProjectionHotine::SetUp(GIS_SETUP_PARAMS) {
  KeepWarnings = 0;
  TGIS_ProjectionAbstract::SetUp(GIS_SETUP_ARGS);
  StoreCentreAndScale(AOriginLatitude, ACentralMeridian, AFalseEasting, AFalseNorthing, AScaleFactor);
  Azimuth = AAzimuth;
  Prepare();
}

void TGIS_ProjectionHotine::StoreCentreAndScale(double AOriginLatitude, double ACentralMeridian, double AFalseEasting,
                                                double AFalseNorthing, double AScaleFactor) {
  OriginLatitude = CheckOriginLatitude(AOriginLatitude, static_cast<double>(HalfPi));
  CentreLongitude = CheckCentralMeridian(ACentralMeridian);
  CentralMeridian = CentreLongitude;
  FalseEasting = AFalseEasting;
  FalseNorthing = AFalseNorthing;
  // The scale multiplies every length: one that is not positive cannot be used.
  ScaleFactor = CheckPositiveScale(AScaleFactor);
}

long double TGIS_ProjectionHotine::TsFunc(long double Phi) const {
  const long double es = E * std::sin(Phi);
  return std::tan((HalfPi - Phi) / 2) / std::pow((1 - es) / (1 + es), E / 2);
}

long double TGIS_ProjectionHotine::PrepareOrigin() {
  TGIS_ProjectionAbstract::Prepare();
  const long double phi0 = OriginLatitude;
  CosPhi0 = std::cos(OriginLatitude);
  SinPhi0 = std::sin(OriginLatitude);
  const long double k0 = ScaleFactor;
  const long double c = std::cos(phi0), s = std::sin(phi0);
  BB = std::sqrt(1 + E2 * c * c * c * c / (1 - E2));
  AA = A * BB * k0 * std::sqrt(1 - E2) / (1 - E2 * s * s);
  long double F;
  if (std::fabs(phi0) < 1e-10L) {
    DD = 1;
    EE = 1;
    F = 1;
  } else {
    const long double t0 = TsFunc(phi0);
    DD = BB * std::sqrt(1 - E2) / (c * std::sqrt(1 - E2 * s * s));
    const long double D2 = DD * DD - 1;
    if (D2 <= 0)
      F = DD;
    else
      F = phi0 >= 0 ? DD + std::sqrt(D2) : DD - std::sqrt(D2);
    EE = F * std::pow(t0, BB);
  }
  return F;
}

void TGIS_ProjectionHotine::Prepare() {
  const long double F = PrepareOrigin();
  const long double alphaC = Azimuth;
  const long double gamma0 = SafeArcSin(std::sin(alphaC) / DD);
  CentralMeridian = static_cast<double>(CentreLongitude - SafeArcSin((F - 1 / F) / 2 * std::tan(gamma0)) / BB);
  if (AtEquatorOrPole(OriginLatitude)) throw EGIS_Exception(GIS_RS_ERR_ORIGIN_LATITUDE, 0, "");
  PrepareLine(gamma0, alphaC);
  if (OriginLatitude < 0) Uc = -Uc;
}

void TGIS_ProjectionHotine::PrepareLine(long double Gamma0, long double AlphaC) {
  CosGamma0 = std::cos(Gamma0);
  SinGamma0 = std::sin(Gamma0);
  CosAlphaC = std::cos(AlphaC);
  SinAlphaC = static_cast<double>(std::sin(AlphaC));
  Uc = (AA / BB) * std::atan(std::sqrt(std::max(0.0L, DD * DD - 1)) / std::cos(AlphaC));
}

void TGIS_ProjectionHotine::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  KeepWarnings = 0;
  const long double lambda = Geodetic.X;
  const long double phi = Geodetic.Y;
  const long double dl = AdjLon(lambda - CentralMeridian);
  long double U, u;
  if (std::fabs(std::fabs(phi) - HalfPi) <= 1e-10L) {
    U = phi > 0 ? SinGamma0 : -SinGamma0;
    u = phi * AA / BB;
  } else {
    const long double Q = EE / std::pow(TsFunc(phi), BB);
    const long double S = (Q - 1 / Q) / 2;
    const long double T = (Q + 1 / Q) / 2;
    const long double V = std::sin(BB * dl);
    U = (S * SinGamma0 - V * CosGamma0) / T;
    const long double c = std::cos(BB * dl);
    if (std::fabs(c) < 1e-7L) {
      u = AA * BB * dl;
    } else {
      u = (AA / BB) * std::atan((S * CosGamma0 + V * SinGamma0) / c);
      if (c < 0) u += Pi * AA / BB;
    }
  }
  if (std::fabs(std::fabs(U) - 1) <= 1e-10L) throw EGIS_Exception(GIS_RS_ERR_NOT_SOLVABLE, 0, "");
  const long double v = AA / (2 * BB) * std::log((1 - U) / (1 + U));
  u -= Uc;
  Projected = {static_cast<double>(v * CosAlphaC + u * SinAlphaC + FalseEasting),
               static_cast<double>(u * CosAlphaC - v * SinAlphaC + FalseNorthing), Geodetic.Z};
}

void TGIS_ProjectionHotine::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  KeepWarnings = 0;
  const long double dx = Projected.X - FalseEasting;
  const long double dy = Projected.Y - FalseNorthing;
  const long double u = dy * CosAlphaC + dx * SinAlphaC + Uc;
  const long double v = dx * CosAlphaC - dy * SinAlphaC;
  const long double Q = std::exp(-BB * v / AA);
  const long double S = (Q - 1 / Q) / 2;
  const long double T = (Q + 1 / Q) / 2;
  const long double V = std::sin(BB * u / AA);
  const long double Up = (V * CosGamma0 + S * SinGamma0) / T;
  long double lambda, phi;
  if (std::fabs(std::fabs(Up) - 1) <= 1e-10L) {
    lambda = CentralMeridian;
    phi = Up >= 0 ? HalfPi : -HalfPi;
  } else {
    const long double t = std::pow(EE / std::sqrt((1 + Up) / (1 - Up)), 1 / BB);
    // Latitude from t by iteration.
    phi = std::atan(t) * HalfPi;
    bool Converged = false;
    for (int I = 0; I < 16; ++I) {
      const long double es = E * std::sin(phi);
      const long double next = HalfPi - 2 * std::atan(t * std::pow((1 - es) / (1 + es), E / 2));
      const long double delta = next - phi;
      phi = next;
      if (std::fabs(delta) <= 1e-10L) {
        Converged = true;
        break;
      }
    }
    if (!Converged) throw EGIS_Exception(GIS_RS_ERR_NOT_SOLVABLE, 0, "");
    // The full quadrant keeps points beyond a quarter turn along the line on their side.
    lambda = CentralMeridian - std::atan2(S * CosGamma0 - V * SinGamma0, std::cos(BB * u / AA)) / BB;
  }
  lambda = AdjLon(lambda);
  Geodetic = {static_cast<double>(lambda), static_cast<double>(phi), Projected.Z};
}

// ---------------------------------------------------------------------------------------------
// Hotine, two points

TGIS_ProjectionHotine2::TGIS_ProjectionHotine2() {
  // Origin latitude and scale as the centre-and-azimuth form sets them.
  Longitude1 = -1;
  Latitude1 = -1;
  Longitude2 = 1;
  Latitude2 = 1;
  Prepare();
}

TGIS_ProjectionParameters TGIS_ProjectionHotine2::GetParameters() const {
  return {ppCentralMeridian, ppOriginLatitude, ppFalseEasting, ppFalseNorthing, ppScaleFactor, ppPoint1, ppPoint2};
}

void TGIS_ProjectionHotine2::SetUp(GIS_SETUP_PARAMS) {
  KeepWarnings = 0;
  TGIS_ProjectionAbstract::SetUp(GIS_SETUP_ARGS);
  StoreCentreAndScale(AOriginLatitude, ACentralMeridian, AFalseEasting, AFalseNorthing, AScaleFactor);
  Longitude1 = ALongitude1;
  Latitude1 = ALatitude1;
  Longitude2 = ALongitude2;
  Latitude2 = ALatitude2;
  Prepare();
}

void TGIS_ProjectionHotine2::Prepare() {
  // Also refuses an origin latitude of 0 or +-90 degrees; the origin constants stay valid.
  TGIS_ProjectionHotine::Prepare();
  const long double phi1 = Latitude1, phi2 = Latitude2;
  long double lambda1 = Longitude1, lambda2 = Longitude2;
  // Points the line cannot pass through are refused before anything is derived from them.
  if (std::fabs(phi1 - phi2) <= 1e-10L) throw EGIS_Exception(GIS_RS_ERR_POINTS_TOO_CLOSE, 0, "");
  if (AtEquatorOrPole(phi1) || std::fabs(std::fabs(static_cast<long double>(OriginLatitude)) - HalfPi) <= 1e-10L)
    throw EGIS_Exception(GIS_RS_ERR_ORIGIN_LATITUDE, 0, "");
  const long double H = EE / std::pow(TsFunc(phi1), BB);
  const long double L = EE / std::pow(TsFunc(phi2), BB);
  const long double J = (EE * EE - L * H) / (EE * EE + L * H);
  const long double P = (L - H) / (L + H);
  if (lambda1 - lambda2 < -Pi) lambda2 -= TwoPi;
  if (lambda1 - lambda2 > Pi) lambda2 += TwoPi;
  const long double lambda0 = (lambda1 + lambda2) / 2 - std::atan(J * std::tan(BB * (lambda1 - lambda2) / 2) / P) / BB;
  const long double gamma0 = std::atan(std::sin(BB * AdjLon(lambda1 - lambda0)) / ((H - 1 / H) / 2));
  const long double alphaC = SafeArcSin(DD * std::sin(gamma0));
  CentralMeridian = static_cast<double>(lambda0);
  Azimuth = static_cast<double>(alphaC);
  PrepareLine(gamma0, alphaC);
}
