#include <gtest/gtest.h>

#include "gis_test_util.h"
#include "projections/gis_proj_azimuthal.h"
#include "projections/gis_proj_conic.h"

using namespace gistest;

namespace {

const char* const NotSolvable = "0235 Projection is not solvable for current parameters";

TEST(GisConic, ParallelsSymmetricAboutTheEquatorAreRefused) {
  for (const char* Code : {"ALB", "LAM"}) {
    auto P = Make(Code);
    TGIS_ProjPoint Before, After;
    P->Project(Geo(10, 50), Before);
    EXPECT_EQ(GisError([&] { Apply(*P, {.OriginLatitude = 0.2, .Parallel1 = 30 * Deg, .Parallel2 = -30 * Deg}); }),
              NotSolvable)
        << Code;
    // The derived constants stay usable: no infinity reaches a result.
    P->Project(Geo(10, 50), After);
    EXPECT_TRUE(std::isfinite(After.X) && std::isfinite(After.Y)) << Code;
  }
}

TEST(GisConic, EqualParallelsUseTheSineAsConeConstant) {
  auto Alb = Make("ALB");
  Apply(*Alb, {.OriginLatitude = 0.6, .Parallel1 = 0.7, .Parallel2 = 0.7});
  EXPECT_NEAR(static_cast<double>(static_cast<TGIS_ProjectionAlbers&>(*Alb).N), std::sin(0.7), 1e-15);
  auto Lam = Make("LAM");
  Apply(*Lam, {.OriginLatitude = 0.6, .Parallel1 = 0.7, .Parallel2 = 0.7});
  EXPECT_NEAR(static_cast<double>(static_cast<TGIS_ProjectionLambert&>(*Lam).N), std::sin(0.7), 1e-15);
}

TEST(GisConic, LambertLimitsAndTheFarPole) {
  auto P = Make("LAM");
  Apply(*P, {.OriginLatitude = 0.5, .Parallel1 = 89.5 * Deg, .Parallel2 = 0.6});
  EXPECT_NEAR(P->StandardParallel1, 89 * Deg, 1e-12);
  EXPECT_EQ(P->Warnings, "0246 First standard parallel out of scope - corrected.");
  Apply(*P, {.OriginLatitude = 0.5, .Parallel1 = 0.6, .Parallel2 = -89.5 * Deg});
  EXPECT_NEAR(P->StandardParallel2, -89 * Deg, 1e-12);
  EXPECT_EQ(P->Warnings, "0247 First standard parallel out of scope - corrected.");

  // The pole opposite the apex cannot be projected: the output stays as it was.
  Apply(*P, {.OriginLatitude = 45 * Deg, .Parallel1 = 40 * Deg, .Parallel2 = 50 * Deg});
  TGIS_ProjPoint Out{1, 2, 3};
  P->Project({0.1, -Pi / 2, 0}, Out);
  EXPECT_EQ(Out.X, 1);
  EXPECT_EQ(Out.Y, 2);
  EXPECT_EQ(Out.Z, 3);
  P->Project({0.1, Pi / 2, 9}, Out);  // the apex itself
  TGIS_ProjPoint Back;
  P->Unproject(Out, Back);
  EXPECT_NEAR(Back.Y, Pi / 2, 1e-9);
}

TEST(GisConic, PolyconicEquatorAndFarLongitudes) {
  auto P = Make("PLC");
  Apply(*P, {.OriginLatitude = 30 * Deg, .FalseNorthing = 1000});
  const double M0 = static_cast<double>(static_cast<TGIS_ProjectionPolyconic&>(*P).M0);
  TGIS_ProjPoint Out, Back;
  P->Project(Geo(20, 0), Out);
  EXPECT_NEAR(Out.Y, 1000 - M0, 1e-6);
  P->Unproject(Out, Back);
  EXPECT_EQ(Back.Y, 0);
  EXPECT_NEAR(Back.X, 20 * Deg, 1e-12);

  P->Project(Geo(100, 40), Out);
  EXPECT_EQ(P->Warnings, "0241 Longitude out of scope - corrected.");
  EXPECT_GT(Out.X, 0);
  // The set-up's own correction is not hidden by the extent computation.
  Apply(*P, {.CentralMeridian = -4});
  EXPECT_EQ(P->Warnings, "0245 Standard meridian out of scope - corrected.");
}

TEST(GisConic, BonnePolesAndTheSouthernAspect) {
  auto P = Make("BON");
  Apply(*P, {.CentralMeridian = 0.3, .OriginLatitude = -40 * Deg, .FalseEasting = 700});
  TGIS_ProjPoint Out, Back;
  P->Project(Geo(30, -20), Out);
  P->Unproject(Out, Back);
  EXPECT_GT(Back.X, 0.3);  // east of the central meridian
  EXPECT_NEAR(Back.X, 30 * Deg, 1e-9);
  P->Project({1.0, -Pi / 2, 0}, Out);
  P->Unproject(Out, Back);
  EXPECT_DOUBLE_EQ(Back.X, 0.3);
  EXPECT_NEAR(Back.Y, -Pi / 2, 1e-9);

  // The origin at a pole: the pole lies on the false origin.
  Apply(*P, {.OriginLatitude = Pi / 2, .FalseEasting = 700, .FalseNorthing = -50});
  P->Project({0.5, Pi / 2, 0}, Out);
  EXPECT_NEAR(Out.X, 700, 1e-6);
  EXPECT_NEAR(Out.Y, -50, 1e-6);
}

TEST(GisAzimuthal, OrthographicCentreAndFarSide) {
  auto P = Make("ORT");
  Apply(*P, {.CentralMeridian = 0.2, .OriginLatitude = 0.4, .FalseEasting = 10, .FalseNorthing = 20});
  TGIS_ProjPoint Out;
  P->Unproject({10, 20, 5}, Out);
  EXPECT_EQ(Out.X, 0.2);
  EXPECT_EQ(Out.Y, 0.4);
  EXPECT_EQ(Out.Z, 5);
  // 120 degrees from the centre: computed without a visibility test.
  P->Project({0.2 + 120 * Deg, 0.4, 0}, Out);
  EXPECT_TRUE(std::isfinite(Out.X) && std::isfinite(Out.Y));
  EXPECT_EQ(P->Warnings, "");
  P->Unproject({1e9, 20, 0}, Out);
  EXPECT_EQ(P->Warnings, "0243 Easting out of scope - corrected.");
}

TEST(GisAzimuthal, PolarStereographicNorthAspect) {
  auto P = Make("POL");
  TGIS_ProjPoint Out, Equator;
  P->Project({0, 0, 0}, Equator);
  EXPECT_NEAR(Equator.Y, -(P->DeltaNorthing - 0.01), 1e-6);
  EXPECT_NEAR(Equator.X, 0, 1e-6);

  // The pole lies on the false origin and comes back from it.
  Apply(*P, {.OriginLatitude = Pi / 2, .FalseEasting = 1000, .FalseNorthing = 2000});
  P->Project({0.7, Pi / 2, 0}, Out);
  EXPECT_EQ(Out.X, 1000);
  EXPECT_EQ(Out.Y, 2000);
  TGIS_ProjPoint Back;
  P->Unproject(Out, Back);
  EXPECT_EQ(Back.Y, Pi / 2);

  // A southern latitude is replaced by the equator.
  P->Project({0.1, -0.3, 0}, Out);
  EXPECT_EQ(P->Warnings, "0240 Latitude out of scope - corrected.");
  P->Project({0.1, 0, 0}, Equator);
  EXPECT_EQ(Out.X, Equator.X);
  EXPECT_EQ(Out.Y, Equator.Y);
}

TEST(GisAzimuthal, PolarStereographicSouthAspectOffTheZeroMeridian) {
  auto P = Make("POL");
  Apply(*P, {.CentralMeridian = 45 * Deg, .OriginLatitude = -Pi / 2, .FalseEasting = 500, .FalseNorthing = 700});
  EXPECT_EQ(static_cast<TGIS_ProjectionPolarStereographic&>(*P).Southern, 1);
  for (const TGIS_ProjPoint& D : std::vector<TGIS_ProjPoint>{{45, -89}, {100, -60}, {-170, -30}, {45, -1}}) {
    TGIS_ProjPoint Out, Back;
    P->Project(Geo(D.X, D.Y), Out);
    P->Unproject(Out, Back);
    EXPECT_EQ(P->Warnings, "") << D.X << " " << D.Y;
    EXPECT_NEAR(Back.X, D.X * Deg, 1e-9) << D.X << " " << D.Y;
    EXPECT_NEAR(Back.Y, D.Y * Deg, 1e-9) << D.X << " " << D.Y;
  }
  TGIS_ProjPoint Pole;
  P->Unproject({500, 700, 0}, Pole);
  EXPECT_EQ(Pole.Y, -Pi / 2);
}

}  // namespace
