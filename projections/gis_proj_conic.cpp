#include "projections/gis_proj_conic.h"

#include <cmath>

#include "projections/gis_base.h"
#include "projections/gis_math.h"
#include "projections/gis_messages.h"

using namespace gis;

VM_DEFINE_CLASS(TGIS_ProjectionAlbers)
VM_DEFINE_CLASS(TGIS_ProjectionLambert)
VM_DEFINE_CLASS(TGIS_ProjectionPolyconic)
VM_DEFINE_CLASS(TGIS_ProjectionBonne)

GIS_PROJECTION_TEXTS(TGIS_ProjectionAlbers, "ALB", "Albers Equal Area Conic")
GIS_PROJECTION_TEXTS(TGIS_ProjectionLambert, "LAM", "Lambert Conformal Conic")
GIS_PROJECTION_TEXTS(TGIS_ProjectionPolyconic, "PLC", "Polyconic")
GIS_PROJECTION_TEXTS(TGIS_ProjectionBonne, "BON", "Bonne")

namespace {

constexpr long double Lambert89 = 1.5533430342749532L;   // 89 degrees
constexpr long double Latitude41 = 0.7155849933176751L;  // 41 degrees
constexpr long double ConicTolerance = 4.85e-10L;
// Safety bound of the iterations that the formulas leave open.
constexpr int MaxIterations = 100;

const TGIS_ProjectionParameters ConicParameters = {ppCentralMeridian, ppOriginLatitude,    ppFalseEasting,
                                                   ppFalseNorthing,   ppStandardParallel1, ppStandardParallel2};
const TGIS_ProjectionParameters MeridianOriginFalse = {ppCentralMeridian, ppOriginLatitude, ppFalseEasting,
                                                       ppFalseNorthing};

// The defaults of the two-parallel cones.
void SetConicDefaults(TGIS_ProjectionAbstract& P) {
  P.OriginLatitude = static_cast<double>(45 * DegToRad);
  P.StandardParallel1 = static_cast<double>(40 * DegToRad);
  P.StandardParallel2 = static_cast<double>(50 * DegToRad);
  P.DeltaEasting = 40000000;
  P.DeltaNorthing = 40000000;
}

// A plane offset (Dx, Dy) as polar coordinates about the apex of a cone of constant N whose
// origin lies Rho0 from it; for N < 0 all three change sign.
struct TConePolar {
  long double Dx, R, Rho;
};
TConePolar ConePolar(long double Dx, long double Dy, long double Rho0, long double N) {
  const long double R = Rho0 - Dy;
  const long double Rho = std::sqrt(Dx * Dx + R * R);
  if (N < 0) return {-Dx, -R, -Rho};
  return {Dx, R, Rho};
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Albers

TGIS_ProjectionAlbers::TGIS_ProjectionAlbers() {
  SetConicDefaults(*this);
  Prepare();
}

TGIS_ProjectionParameters TGIS_ProjectionAlbers::GetParameters() const { return ConicParameters; }

void TGIS_ProjectionAlbers::SetUp(GIS_SETUP_PARAMS) {
  KeepWarnings = 0;
  TGIS_ProjectionAbstract::SetUp(GIS_SETUP_ARGS);
  StoreOriginMeridianAndFalseOrigin(AOriginLatitude, ACentralMeridian, AFalseEasting, AFalseNorthing);
  const double Half = static_cast<double>(HalfPi);
  StandardParallel1 = CheckStandardParallel1(AStandardParallel1, Half);
  StandardParallel2 = CheckStandardParallel2(AStandardParallel2, Half);
  Prepare();
}

void TGIS_ProjectionAlbers::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  const long double phi1 = StandardParallel1, phi2 = StandardParallel2;
  const long double q0 = AuthalicQ(E2, E, OriginLatitude);
  const long double m1 = SmallM(E2, phi1), q1 = AuthalicQ(E2, E, phi1);
  long double n;
  if (std::fabs(phi1 - phi2) <= 1e-10L) {
    n = std::sin(phi1);
  } else {
    const long double m2 = SmallM(E2, phi2), q2 = AuthalicQ(E2, E, phi2);
    n = (m1 * m1 - m2 * m2) / (q2 - q1);
  }
  const long double c = m1 * m1 + n * q1;
  long double rho0 = 0;
  if (c >= n * q0) {
    // The cone constant divides: the constants stay as they were.
    if (n == 0) throw EGIS_Exception(GIS_RS_ERR_NOT_SOLVABLE, 0, "");
    rho0 = (A / n) * std::sqrt(c - n * q0);
  }
  N = n;
  C = c;
  Rho0 = rho0;
}

void TGIS_ProjectionAlbers::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  const long double q = AuthalicQ(E2, E, phi);
  const long double rho = C < N * q ? 0 : (A / N) * std::sqrt(C - N * q);
  const long double theta = N * dl;
  Projected = PlanePoint(rho * std::sin(theta), Rho0 - rho * std::cos(theta), Geodetic.Z);
}

void TGIS_ProjectionAlbers::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  long double dx, dy;
  BeginUnproject(Projected, -DeltaEasting, DeltaEasting, -DeltaNorthing, DeltaNorthing, dx, dy);
  const TConePolar P = ConePolar(dx, dy, Rho0, N);
  const long double rho = P.Rho;
  const long double theta = rho != 0 ? std::atan2(P.Dx, P.R) : 0;
  const long double q = (C - (rho * N) * (rho * N) / A2) / N;
  const long double OneMinusE2 = 1 - E2, TwoE = 2 * E;
  const long double qc = 1 - (OneMinusE2 / TwoE) * std::log((1 - E) / (1 + E));
  long double phi;
  if (std::fabs(std::fabs(qc) - std::fabs(q)) <= 1e-6L) {
    phi = q >= 0 ? HalfPi : -HalfPi;
  } else {
    const long double h = q / 2;
    if (h > 1) {
      phi = HalfPi;
    } else if (h < -1) {
      phi = -HalfPi;
    } else {
      phi = std::asin(h);
      if (E >= 1e-10L) {
        for (int I = 0; I < 15; ++I) {
          const long double s = std::sin(phi);
          const long double es2 = 1 - E2 * s * s;
          const long double d =
              es2 * es2 / (2 * std::cos(phi)) * (q / OneMinusE2 - s / es2 + std::log((1 - E * s) / (1 + E * s)) / TwoE);
          phi += d;
          if (std::fabs(d) <= ConicTolerance) break;
        }
      }
    }
  }
  long double lambda = CentralMeridian + theta / N;
  Geodetic = GeodeticPoint(lambda, phi, Projected.Z);
}

// ---------------------------------------------------------------------------------------------
// Lambert conformal conic

TGIS_ProjectionLambert::TGIS_ProjectionLambert() {
  SetConicDefaults(*this);
  Prepare();
}

TGIS_ProjectionParameters TGIS_ProjectionLambert::GetParameters() const { return ConicParameters; }

void TGIS_ProjectionLambert::SetUp(GIS_SETUP_PARAMS) {
  KeepWarnings = 0;
  TGIS_ProjectionAbstract::SetUp(GIS_SETUP_ARGS);
  StoreOriginMeridianAndFalseOrigin(AOriginLatitude, ACentralMeridian, AFalseEasting, AFalseNorthing);
  const double Limit89 = static_cast<double>(Lambert89);
  StandardParallel1 = CheckStandardParallel1(AStandardParallel1, Limit89);
  StandardParallel2 = CheckStandardParallel2(AStandardParallel2, Limit89);
  Prepare();
}

void TGIS_ProjectionLambert::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  const long double phi1 = StandardParallel1, phi2 = StandardParallel2;
  const long double t0 = ConformalT(E, OriginLatitude);
  const long double m1 = SmallM(E2, phi1), t1 = ConformalT(E, phi1);
  long double n;
  if (std::fabs(phi1 - phi2) <= 1e-10L) {
    n = std::sin(phi1);
  } else {
    const long double m2 = SmallM(E2, phi2), t2 = ConformalT(E, phi2);
    n = std::log(m1 / m2) / std::log(t1 / t2);
  }
  // A cone constant of 0 (parallels symmetric about the equator) makes no cone.
  if (n == 0 || !std::isfinite(n)) throw EGIS_Exception(GIS_RS_ERR_NOT_SOLVABLE, 0, "");
  const long double F = m1 / (n * std::pow(t1, n));
  N = n;
  AF = A * F;
  Rho0 = AF * std::pow(t0, n);
}

void TGIS_ProjectionLambert::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  long double rho;
  if (std::fabs(std::fabs(phi) - HalfPi) <= 1e-10L) {
    // The pole opposite the apex lies at infinity.
    if (phi * N <= 0) return;
    rho = 0;
  } else {
    rho = AF * std::pow(ConformalT(E, phi), N);
  }
  const long double theta = N * dl;
  Projected = PlanePoint(rho * std::sin(theta), Rho0 - rho * std::cos(theta), Geodetic.Z);
}

void TGIS_ProjectionLambert::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  long double dx, dy;
  BeginUnproject(Projected, -DeltaEasting, DeltaEasting, -DeltaNorthing, DeltaNorthing, dx, dy);
  const TConePolar P = ConePolar(dx, dy, Rho0, N);
  long double lambda, phi;
  if (P.Rho != 0) {
    const long double theta = std::atan2(P.Dx, P.R);
    const long double t = std::pow(P.Rho / AF, 1 / N);
    phi = HalfPi - 2 * std::atan(t);
    for (int I = 0; I < MaxIterations; ++I) {
      const long double es = E * std::sin(phi);
      const long double next = HalfPi - 2 * std::atan(t * std::pow((1 - es) / (1 + es), E / 2));
      const bool Done = std::fabs(next - phi) <= ConicTolerance;
      phi = next;
      if (Done) break;
    }
    lambda = theta / N + CentralMeridian;
    FinishGeodetic(lambda, phi);
  } else {
    phi = N > 0 ? HalfPi : -HalfPi;
    lambda = CentralMeridian;
  }
  Geodetic = {static_cast<double>(lambda), static_cast<double>(phi), Projected.Z};
}

// ---------------------------------------------------------------------------------------------
// Polyconic

TGIS_ProjectionPolyconic::TGIS_ProjectionPolyconic() { Prepare(); }

TGIS_ProjectionParameters TGIS_ProjectionPolyconic::GetParameters() const { return MeridianOriginFalse; }

void TGIS_ProjectionPolyconic::SetUp(GIS_SETUP_PARAMS) { SetUpOriginMeridianAndFalseOrigin(GIS_SETUP_ARGS); }

void TGIS_ProjectionPolyconic::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  MeridianSeries.Init(E2);
  M0 = MeridianSeries.Distance(A, OriginLatitude);
  TEastingLimits::Turned(20037509, 19926189).Apply(CentralMeridian, MaxEasting, MinEasting);
  // Northing limits from the points half a turn away at 41 degrees, from the false northing.
  // Those points lie beyond a quarter turn; their warning does not replace the set-up's.
  const long double Far = OppositeMeridian(CentralMeridian);
  MaxNorthing = ProjectQuietly(Far, Latitude41).Y - FalseNorthing;
  MinNorthing = ProjectQuietly(Far, -Latitude41).Y - FalseNorthing;
}

void TGIS_ProjectionPolyconic::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  if (std::fabs(dl) > HalfPi) AddWarning(GIS_RS_WRN_LONGITUDE);
  long double x, y;
  if (phi != 0) {
    const long double s = std::sin(phi);
    const long double Ncot = A / std::sqrt(1 - E2 * s * s) / std::tan(phi);
    const long double Ee = dl * s;
    x = Ncot * std::sin(Ee);
    y = MeridianSeries.Distance(A, phi) - M0 + Ncot * (1 - std::cos(Ee));
  } else {
    x = A * dl;
    y = -M0;
  }
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionPolyconic::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  long double dx, dy;
  BeginUnproject(Projected, MinEasting, MaxEasting, MinNorthing, MaxNorthing, dx, dy);
  long double lambda, phi;
  if (Near(dy, -M0, 1)) {
    phi = 0;
    lambda = dx / A + CentralMeridian;
  } else {
    const long double Aa = (M0 + dy) / A;
    const long double Bb = (dx / A) * (dx / A) + Aa * Aa;
    phi = Aa;
    long double Cc = 0;
    for (int I = 0; I < 6; ++I) {
      const long double s = std::sin(phi);
      const long double s2 = std::sin(2 * phi);
      Cc = std::sqrt(1 - E2 * s * s) * std::tan(phi);
      const long double Ma = MeridianSeries.Distance(A, phi) / A;
      const long double Mp = MeridianSeries.Derivative(phi);
      const long double Num = Aa * Ma * Cc + (Aa - Ma) - 0.5L * (Ma * Ma + Bb) * Cc;
      const long double Den = E2 * s2 * (Ma * Ma + Bb - 2 * Aa * Ma) / (4 * Cc) + (Aa - Ma) * (Cc * Mp - 2 / s2) - Mp;
      const long double d = Num / Den;
      if (!std::isfinite(d)) break;
      phi -= d;
      if (std::fabs(d) <= 1e-12L) break;
    }
    phi = Limit(phi, -HalfPi, HalfPi);
    if (Near(std::fabs(phi), HalfPi, 1e-5L) || phi == 0)
      lambda = CentralMeridian;
    else
      lambda = std::asin(LimitUnit(dx / A * Cc)) / std::sin(phi) + CentralMeridian;
  }
  Geodetic = GeodeticPoint(lambda, phi, Projected.Z);
}

// ---------------------------------------------------------------------------------------------
// Bonne

TGIS_ProjectionBonne::TGIS_ProjectionBonne() {
  OriginLatitude = static_cast<double>(45 * DegToRad);
  DeltaEasting = 25000000;
  DeltaNorthing = 25000000;
  Prepare();
}

TGIS_ProjectionParameters TGIS_ProjectionBonne::GetParameters() const { return MeridianOriginFalse; }

void TGIS_ProjectionBonne::SetUp(GIS_SETUP_PARAMS) { SetUpOriginMeridianAndFalseOrigin(GIS_SETUP_ARGS); }

void TGIS_ProjectionBonne::Prepare() {
  TGIS_ProjectionAbstract::Prepare();
  MeridianSeries.Init(E2);
  M1 = MeridianSeries.Distance(A, OriginLatitude);
  FootpointSeries.Init(E2);
  const long double s0 = std::sin(static_cast<long double>(OriginLatitude));
  Am1Sin = s0 == 0 ? 0 : A * SmallM(E2, OriginLatitude) / s0;
}

void TGIS_ProjectionBonne::Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) {
  long double phi;
  const long double dl = BeginProject(Geodetic, phi);
  long double x, y;
  if (Am1Sin == 0) {
    // An origin on the equator: the cone opens into the sinusoid.
    x = A * SmallM(E2, phi) * dl;
    y = MeridianSeries.Distance(A, phi) - M1;
  } else if (phi == static_cast<long double>(OriginLatitude) && Near(std::fabs(phi), HalfPi, 1e-5L)) {
    x = 0;
    y = 0;
  } else {
    const long double rho = Am1Sin + M1 - MeridianSeries.Distance(A, phi);
    const long double Ee = rho != 0 ? A * SmallM(E2, phi) * dl / rho : 0;
    x = rho * std::sin(Ee);
    y = Am1Sin - rho * std::cos(Ee);
  }
  Projected = PlanePoint(x, y, Geodetic.Z);
}

void TGIS_ProjectionBonne::Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) {
  long double dx, dy;
  BeginUnproject(Projected, -DeltaEasting, DeltaEasting, -DeltaNorthing, DeltaNorthing, dx, dy);
  long double lambda, phi;
  if (Am1Sin == 0) {
    phi = FootpointSeries.Latitude((M1 + dy) / (A * MeridianSeries.C0));
    lambda = Near(std::fabs(phi), HalfPi, 1e-5L) ? CentralMeridian : CentralMeridian + dx / (A * SmallM(E2, phi));
  } else {
    long double r = Am1Sin - dy;
    long double rho = std::sqrt(dx * dx + r * r);
    if (OriginLatitude < 0) rho = -rho;
    phi = FootpointSeries.Latitude((Am1Sin + M1 - rho) / (A * MeridianSeries.C0));
    if (Near(std::fabs(phi), HalfPi, 1e-5L)) {
      lambda = CentralMeridian;
    } else {
      if (OriginLatitude < 0) {
        dx = -dx;
        r = -r;
      }
      lambda = CentralMeridian + rho * std::atan2(dx, r) / (A * SmallM(E2, phi));
    }
  }
  Geodetic = GeodeticPoint(lambda, phi, Projected.Z);
}
