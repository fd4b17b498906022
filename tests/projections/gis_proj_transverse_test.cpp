#include <gtest/gtest.h>

#include "gis_test_util.h"
#include "projections/gis_proj_transverse.h"

using namespace gistest;

namespace {

const char* const Distorted = "0236 Result will be distorted for current parameters";
const char* const LongitudeCorrected = "0241 Longitude out of scope - corrected.";

TEST(GisTransverse, TransverseMercatorSetUpAndWarnings) {
  // Preparing projects points a quarter turn from the central meridian; their distortion
  // warning does not hide the set-up's corrections.
  auto P = Make("TMR");
  EXPECT_EQ(P->Warnings, "");
  Apply(*P, {.Scale = 0.1});
  EXPECT_EQ(P->ScaleFactor, 0.3);
  EXPECT_EQ(P->Warnings, "0248 Scale factor out of scope - corrected.");
  Apply(*P, {.Scale = 5});
  EXPECT_EQ(P->ScaleFactor, 3);
  Apply(*P, {.CentralMeridian = 0.1, .Scale = 1});
  EXPECT_EQ(P->CentralMeridian, 0.1);

  Apply(*P, {.Scale = 1});
  TGIS_ProjPoint East90, Out;
  P->Project({Pi / 2, 20 * Deg, 0}, East90);
  P->Project({10 * Deg, 20 * Deg, 0}, Out);
  EXPECT_EQ(P->Warnings, Distorted);
  P->Project({100 * Deg, 20 * Deg, 0}, Out);
  EXPECT_EQ(P->Warnings, LongitudeCorrected);
  EXPECT_NEAR(Out.X, East90.X, 1e-6);
  EXPECT_NEAR(Out.Y, East90.Y, 1e-6);
  // A point 100 degrees west goes to 90 degrees west, on its own side.
  P->Project({-100 * Deg, 20 * Deg, 0}, Out);
  EXPECT_EQ(P->Warnings, LongitudeCorrected);
  EXPECT_NEAR(Out.X, -East90.X, 1e-6);
  EXPECT_NEAR(Out.Y, East90.Y, 1e-6);
}

TEST(GisTransverse, TransverseMercatorKnownValue) {
  // 60N, 3 degrees east of the central meridian, scale 1 (independent series: 1 mm).
  auto P = Make("TMR");
  Apply(*P, {.Scale = 1});
  TGIS_ProjPoint Out;
  P->Project({3 * Deg, 60 * Deg, 0}, Out);
  EXPECT_NEAR(Out.X, 167361.766, 0.002);
  EXPECT_NEAR(Out.Y, 6657868.631, 0.002);
}

TEST(GisTransverse, TransverseMercatorUnprojectLimits) {
  auto P = Make("TMR");
  Apply(*P, {.FalseEasting = 500000, .Scale = 1});
  TGIS_ProjPoint Out{1, 2, 3};
  EXPECT_EQ(GisError([&] { P->Unproject({500000 + 2e7, 0, 0}, Out); }), "0215 Easting 20500000 out of scope");
  EXPECT_EQ(GisError([&] { P->Unproject({500000, -3e7, 0}, Out); }), "0216 Easting -30000000 out of scope");
  EXPECT_EQ(Out.X, 1);

  // Every accepted point comes back with a latitude within +-pi/2.
  for (double Fx = -1; Fx <= 1; Fx += 0.125)
    for (double Fy = -1; Fy <= 1; Fy += 0.125) {
      const TGIS_ProjPoint Q{500000 + Fx * P->DeltaEasting, Fy * P->DeltaNorthing, 0};
      ASSERT_EQ(GisError([&] { P->Unproject(Q, Out); }), "") << Fx << " " << Fy;
      EXPECT_LE(std::fabs(Out.Y), Pi / 2) << Fx << " " << Fy;
      EXPECT_TRUE(std::isfinite(Out.X)) << Fx << " " << Fy;
    }

  // A scale above 1 widens the band: projected points stay accepted.
  Apply(*P, {.Scale = 2});
  TGIS_ProjPoint Plane;
  P->Project({0, Pi / 2, 0}, Plane);
  EXPECT_EQ(GisError([&] { P->Unproject(Plane, Out); }), "");
  EXPECT_NEAR(Out.Y, Pi / 2, 1e-9);
}

TEST(GisTransverse, UtmKnownValues) {
  struct Case {
    double Lon, Lat;
    int Zone;
    double E, N;
  } Cases[] = {
      {9, 45, 32, 500000, 4982950.400},  // on the central meridian: 0.9996 M(phi)
      {11, 45, 32, 657630.641, 4984896.171},
      {18.4, -33.9, 34, 259583.222, 6245888.045},
  };
  for (const Case& C : Cases) {
    auto P = Make("UTM");
    TGIS_ProjPoint Out;
    P->Project(Geo(C.Lon, C.Lat), Out);
    EXPECT_EQ(P->Zone, C.Zone) << C.Lon;
    EXPECT_NEAR(Out.X, C.E, 0.005) << C.Lon;
    EXPECT_NEAR(Out.Y, C.N, 0.005) << C.Lon;
  }
}

TEST(GisTransverse, UtmZoneOfAPoint) {
  struct Case {
    double Lon, Lat;
    int Zone;
  } Cases[] = {
      {5, 60, 32}, {10, 75, 33}, {-30, 75, 26}, {-177, 0, 1}, {179.9, 0, 60},
      {1, 60, 31}, {25, 75, 35}, {40, 80, 37},  {3, 0, 31},   {200, 0, 4},
  };
  for (const Case& C : Cases) {
    auto P = Make("UTM");
    TGIS_ProjPoint Out;
    // Zones near the special areas may leave the grid: only the zone choice is checked.
    GisError([&] { P->Project(Geo(C.Lon, C.Lat), Out); });
    EXPECT_EQ(P->Zone, C.Zone) << C.Lon << " " << C.Lat;
  }
}

TEST(GisTransverse, UtmZoneOverridesAndErrors) {
  auto P = Make("UTM");
  TGIS_ProjPoint Out{1, 2, 3};
  EXPECT_EQ(GisError([&] { Apply(*P, {.Zone = 61}); }), "0225 Zone \"61\" out of scope");
  EXPECT_EQ(GisError([&] { Apply(*P, {.Zone = -1}); }), "0225 Zone \"-1\" out of scope");

  Apply(*P, {.Zone = 31});
  EXPECT_EQ(GisError([&] { P->Project(Geo(16, 10), Out); }), "0226 Zone \"31\" override error");
  Apply(*P, {.Zone = 32});  // a neighbouring zone is accepted
  EXPECT_EQ(GisError([&] { P->Project(Geo(4, 60), Out); }), "");
  Apply(*P, {.Zone = 60});  // across the date line
  EXPECT_EQ(GisError([&] { P->Project(Geo(-179, 60), Out); }), "");
  EXPECT_EQ(P->Zone, 60);

  Apply(*P, {.Zone = 0});
  Out = {1, 2, 3};
  EXPECT_EQ(GisError([&] { P->Project(Geo(0, 85), Out); }).rfind("0210 Latitude ", 0), 0u);
  EXPECT_EQ(GisError([&] { P->Project({7, 0, 0}, Out); }), "0211 Longitude 7 out of scope");
  EXPECT_EQ(Out.X, 1);
  EXPECT_EQ(GisError([&] { P->Unproject({50000, 10, 0}, Out); }), "0215 Easting 50000 out of scope");
  EXPECT_EQ(GisError([&] { P->Unproject({500000, -1, 0}, Out); }), "0216 Easting -1 out of scope");
}

TEST(GisTransverse, UtmSouthernResultsAndTheZoneOrigin) {
  // -84 degrees projects; its way back lies south of -80.5 degrees, outside the grid.
  auto P = Make("UTM");
  TGIS_ProjPoint Plane{}, Out{};
  ASSERT_EQ(GisError([&] { P->Project(Geo(10, -84), Plane); }), "");
  EXPECT_EQ(GisError([&] { P->Unproject(Plane, Out); }), "0225 Zone \"32\" out of scope");

  Apply(*P, {.Zone = 31});
  P->Unproject({500000, 0, 4}, Out);
  EXPECT_NEAR(Out.Y, 0, 1e-12);
  EXPECT_NEAR(Out.X, 3 * Deg + 5e-8, 1e-12);
  EXPECT_EQ(Out.Z, 4);
}

TEST(GisTransverse, CassiniNearThePoleAndFarFromTheMeridian) {
  auto P = Make("CAS");
  Apply(*P, {.CentralMeridian = 0.2, .FalseNorthing = 1000});
  TGIS_ProjPoint Pole, Out;
  P->Project({0.2, Pi / 2, 0}, Pole);
  P->Unproject({0, Pole.Y - 1, 0}, Out);  // footpoint within 1e-5 of the pole
  EXPECT_DOUBLE_EQ(Out.X, 0.2);
  EXPECT_DOUBLE_EQ(Out.Y, Pi / 2);

  P->Unproject({1e6, 1000, 0}, Out);
  EXPECT_EQ(P->Warnings, LongitudeCorrected);
  EXPECT_GT(Out.X, 0.2 + 4 * Deg);
}

}  // namespace
