// Every projection: Unproject(Project(p)) gives p back, at the centre, off it and near the limits.
#include <gtest/gtest.h>

#include <vector>

#include "gis_test_util.h"

using namespace gistest;

namespace {

struct TRoundTrip {
  const char* Code;
  TSetup Setup;
  std::vector<TGIS_ProjPoint> Points;  // degrees
  double Tolerance;                    // radians
};

const TRoundTrip RoundTrips[] = {
    {"GED", {}, {{200, 100, 5}, {-10, 20, 0}}, 0},
    {"GEC", {}, {{0, 0, 0}, {-170, 60, 1000}, {45, -89, -500}}, 1e-9},
    {"MER",
     {.CentralMeridian = 0.2, .OriginLatitude = 30 * Deg, .FalseEasting = 1000, .FalseNorthing = -2000},
     {{11.46, 0}, {40, 60}, {-160, -80}, {-168, 89.5}},
     1e-11},
    {"MIL", {.CentralMeridian = 0.5, .FalseEasting = 500000}, {{28.65, 0}, {60, 60}, {-140, -89}}, 1e-11},
    {"EQC",
     {.CentralMeridian = 0.5, .OriginLatitude = 30 * Deg, .FalseEasting = 500000, .FalseNorthing = 100},
     // The third point lies 177 degrees west of the central meridian.
     {{28.65, 0}, {100, 45}, {28.65 - 177, -70}},
     1e-11},
    {"CEA",
     {.CentralMeridian = -0.3, .OriginLatitude = 30 * Deg, .FalseEasting = 300000, .FalseNorthing = 1000},
     {{-17.19, 0}, {60, 45}, {-150, -75}, {150, 85}},
     1e-9},
    {"CAS",
     {.CentralMeridian = 0.1, .OriginLatitude = 0.5, .FalseEasting = 400000},
     {{5.73, 28.65}, {8, 40}, {3, 10}, {5.73, 80}},
     1e-9},
    {"TCE",
     {.CentralMeridian = 0.2, .OriginLatitude = 0.3, .FalseEasting = 100000, .Scale = 1},
     {{11.46, 17.19}, {30, 50}, {-5, -40}, {11.46, -85}},
     1e-9},
    {"TMR",
     {.CentralMeridian = 9 * Deg, .OriginLatitude = 0, .FalseEasting = 500000, .Scale = 0.9996},
     {{9, 0}, {12, 45}, {6, -60}, {10, 84}},
     1e-10},
    {"ALB",
     {.CentralMeridian = -96 * Deg,
      .OriginLatitude = 23 * Deg,
      .FalseEasting = 1000,
      .Parallel1 = 29.5 * Deg,
      .Parallel2 = 45.5 * Deg},
     {{-96, 23}, {-75, 35}, {-120, 50}, {-100, 80}},
     1e-9},
    {"ALB",
     {.CentralMeridian = 20 * Deg, .OriginLatitude = -30 * Deg, .Parallel1 = -20 * Deg, .Parallel2 = -40 * Deg},
     {{20, -30}, {30, -10}, {0, -50}},
     1e-9},
    {"LAM",
     {.CentralMeridian = -96 * Deg,
      .OriginLatitude = 23 * Deg,
      .FalseNorthing = 2000,
      .Parallel1 = 33 * Deg,
      .Parallel2 = 45 * Deg},
     {{-96, 23}, {-75, 35}, {-120, 50}, {-96, 89}},
     1e-9},
    {"LAM",
     {.CentralMeridian = 0, .OriginLatitude = -45 * Deg, .Parallel1 = -40 * Deg, .Parallel2 = -40 * Deg},
     {{0, -45}, {10, -30}, {-20, -60}},
     1e-9},
    {"PLC",
     {.CentralMeridian = -96 * Deg, .OriginLatitude = 30 * Deg, .FalseEasting = 1000},
     {{-96, 30}, {-90, 40}, {-100, 20}, {-80, 0}, {-96, -10}},
     1e-9},
    {"BON",
     {.CentralMeridian = 0, .OriginLatitude = 45 * Deg, .FalseNorthing = 500},
     {{0, 45}, {10, 50}, {-30, 20}, {60, -30}},
     1e-9},
    {"BON",
     {.CentralMeridian = 0.2, .OriginLatitude = -40 * Deg},
     {{11.46, -40}, {20, -30}, {-20, -60}, {30, 10}},
     1e-9},
    {"BON", {.CentralMeridian = 0, .OriginLatitude = 0}, {{0, 0}, {10, 50}, {-30, -20}}, 1e-9},
    {"ORT",
     {.CentralMeridian = 10 * Deg, .OriginLatitude = 40 * Deg, .FalseEasting = 50},
     {{10, 40}, {20, 50}, {-20, 30}, {120, 50}},
     1e-9},
    {"ORT", {.CentralMeridian = 0, .OriginLatitude = Pi / 2}, {{0, 60}, {150, 60}, {-120, 10}}, 1e-9},
    {"POL",
     {.CentralMeridian = 0, .OriginLatitude = 70 * Deg, .FalseEasting = 2000},
     {{45, 80}, {-135, 60}, {170, 10}, {0, 89}},
     1e-9},
    {"POL",
     {.CentralMeridian = 0.3, .OriginLatitude = -71 * Deg, .FalseEasting = 1000, .FalseNorthing = -3000},
     {{45, -80}, {-135, -60}, {17.19, -5}},
     1e-9},
    {"POL", {.CentralMeridian = 0, .OriginLatitude = Pi / 2}, {{45, 80}, {-100, 1}}, 1e-9},
    {"SIN",
     {.CentralMeridian = 0.2, .FalseEasting = 1000, .FalseNorthing = -500},
     {{11.46, 0}, {60, 45}, {-150, -70}},
     1e-9},
    {"MOL",
     {.CentralMeridian = 0.2, .FalseEasting = 1000, .FalseNorthing = -500},
     {{11.46, 0}, {60, 45}, {-150, -70}},
     1e-9},
    {"EC4",
     {.CentralMeridian = 0.2, .FalseEasting = 1000, .FalseNorthing = -500},
     {{11.46, 0}, {60, 45}, {-150, -70}},
     1e-9},
    {"EC6",
     {.CentralMeridian = 0.2, .FalseEasting = 1000, .FalseNorthing = -500},
     {{11.46, 0}, {60, 45}, {-150, -70}},
     1e-9},
    {"WA4",
     {.CentralMeridian = 0.2, .FalseEasting = 1000, .FalseNorthing = -500},
     {{11.46, 0}, {60, 45}, {-150, -70}},
     1e-9},
    {"WA7",
     {.CentralMeridian = 0.2, .FalseEasting = 1000, .FalseNorthing = -500},
     {{11.46, 0}, {60, 45}, {-150, -70}, {100, -85}},
     1e-9},
    {"ROB",
     {.CentralMeridian = 0.2, .FalseEasting = 1000, .FalseNorthing = -500},
     {{11.46, 0}, {60, 45}, {-150, -70}, {100, 89.7}},
     1e-9},
    {"GRI",
     {.CentralMeridian = 0.2, .FalseEasting = 1000, .FalseNorthing = -500},
     {{11.46, 0}, {60, 45}, {-150, -70}, {30, 0}, {11.46, 60}},
     1e-9},
    {"HOT",
     {.CentralMeridian = 10 * Deg, .OriginLatitude = 45 * Deg, .FalseEasting = 1000, .Scale = 1, .Azimuth = 30 * Deg},
     {{10, 45}, {11, 46}, {8, 43}, {20, 50}},
     1e-9},
    {"HT2",
     {.CentralMeridian = 0,
      .OriginLatitude = 45 * Deg,
      .Scale = 1,
      .Longitude1 = -5 * Deg,
      .Latitude1 = 40 * Deg,
      .Longitude2 = 5 * Deg,
      .Latitude2 = 50 * Deg},
     {{0, 45}, {-4, 41}, {3, 48}},
     1e-9},
};

TEST(GisRoundTrip, EveryProjectionGivesItsPointsBack) {
  for (const TRoundTrip& R : RoundTrips) {
    auto P = Make(R.Code);
    ASSERT_NE(P, nullptr) << R.Code;
    if (R.Code != std::string("GED") && R.Code != std::string("GEC")) Apply(*P, R.Setup);
    for (const TGIS_ProjPoint& D : R.Points) {
      const TGIS_ProjPoint G = Geo(D.X, D.Y, D.Z + 12.5);
      TGIS_ProjPoint Plane{}, Back{};
      const std::string Err = GisError([&] {
        P->Project(R.Code == std::string("GED") ? D : G, Plane);
        P->Unproject(Plane, Back);
      });
      ASSERT_EQ(Err, "") << R.Code << " at " << D.X << " " << D.Y;
      const TGIS_ProjPoint& Want = R.Code == std::string("GED") ? D : G;
      EXPECT_NEAR(Back.Y, Want.Y, R.Tolerance) << R.Code << " at " << D.X << " " << D.Y;
      EXPECT_NEAR(std::remainder(Back.X - Want.X, 2 * Pi), 0, R.Tolerance / std::cos(Want.Y))
          << R.Code << " at " << D.X << " " << D.Y;
      if (R.Code != std::string("GEC")) {
        EXPECT_EQ(Back.Z, Want.Z) << R.Code;
      }
    }
  }
}

// UTM: each point in its own zone, both hemispheres.
TEST(GisRoundTrip, UtmPointsInTheirZones) {
  for (const TGIS_ProjPoint& D :
       std::vector<TGIS_ProjPoint>{{9, 45}, {12, 45}, {18.4, -33.9}, {-177, 0.5}, {179.9, -10}, {5, 60}, {-70, -80}}) {
    auto P = Make("UTM");
    Apply(*P, {.Zone = 0});
    const TGIS_ProjPoint G = Geo(D.X, D.Y);
    TGIS_ProjPoint Plane{}, Back{};
    ASSERT_EQ(GisError([&] {
                P->Project(G, Plane);
                P->Unproject(Plane, Back);
              }),
              "")
        << D.X << " " << D.Y;
    // Unproject works on the central meridian plus 5e-8 rad.
    EXPECT_NEAR(Back.Y, G.Y, 1e-9) << D.X << " " << D.Y;
    EXPECT_NEAR(std::remainder(Back.X - G.X, 2 * Pi), 5e-8, 1e-9) << D.X << " " << D.Y;
  }
}

}  // namespace
