#include <gtest/gtest.h>

#include "gis_test_util.h"
#include "projections/gis_proj_cylindrical.h"

using namespace gistest;

namespace {

TEST(GisCylindrical, GeodeticPassesEverythingThrough) {
  auto P = Make("GED");
  TGIS_ProjPoint Out;
  P->Project({9, -7, 3}, Out);
  EXPECT_EQ(Out.X, 9);
  EXPECT_EQ(Out.Y, -7);
  EXPECT_EQ(Out.Z, 3);
  P->Unproject({1e9, -1e9, 0}, Out);
  EXPECT_EQ(Out.X, 1e9);
  EXPECT_EQ(P->Warnings, "");
}

TEST(GisCylindrical, GeocentricRaisesForOutOfRangeInput) {
  auto P = Make("GEC");
  TGIS_ProjPoint Out;
  EXPECT_EQ(GisError([&] { P->Project({0, 2, 0}, Out); }), "0210 Latitude 2 out of scope");
  EXPECT_EQ(GisError([&] { P->Project({-4, 0, 0}, Out); }), "0211 Longitude -4 out of scope");
}

TEST(GisCylindrical, MercatorKnownValuesAndCorrections) {
  auto P = Make("MER");
  Apply(*P, {.FalseEasting = 100, .FalseNorthing = 200});
  TGIS_ProjPoint Out;
  P->Project({0, 0, 0}, Out);
  EXPECT_NEAR(Out.X, 100, 1e-9);
  EXPECT_NEAR(Out.Y, 200, 1e-9);
  P->Project({1, 45 * Deg, 0}, Out);
  EXPECT_NEAR(Out.X, 6378137 + 100, 1e-6);
  EXPECT_NEAR(Out.Y, 5591295.918553393 + 200, 1e-5);
  EXPECT_EQ(P->Warnings, "");

  // 89.9 degrees projects as 89.75 degrees.
  TGIS_ProjPoint Limit;
  P->Project({0, 89.75 * Deg, 0}, Limit);
  P->Project({0, 89.9 * Deg, 0}, Out);
  EXPECT_EQ(P->Warnings, "0240 Latitude out of scope - corrected.");
  EXPECT_NEAR(Out.Y, Limit.Y, 1e-6);
  P->Project({7, 0, 0}, Out);
  EXPECT_EQ(P->Warnings, "0241 Longitude out of scope - corrected.");

  // The latitude of true scale is limited to 89.75 degrees; the meridian below -pi to -pi.
  Apply(*P, {.CentralMeridian = -4, .OriginLatitude = 1.57});
  EXPECT_NEAR(P->OriginLatitude, 1.5664330036649108, 1e-15);
  EXPECT_NEAR(P->CentralMeridian, -Pi, 1e-15);
  EXPECT_EQ(P->Warnings, "0245 Standard meridian out of scope - corrected.");
}

TEST(GisCylindrical, MercatorBandFromTheFarMeridian) {
  auto P = Make("MER");
  // The far meridian lies half a turn west (a negative easting): the band is its size.
  Apply(*P, {.CentralMeridian = 0.5});
  EXPECT_NEAR(P->DeltaEasting, 1.01 * Pi * 6378137, 1e-3);
  EXPECT_GT(P->DeltaNorthing, 0);
  // An easting that yields a longitude below -pi comes back a turn further east.
  Apply(*P, {.CentralMeridian = -0.5});
  TGIS_ProjPoint Out;
  P->Unproject({-1.005 * Pi * 6378137, 0, 0}, Out);
  EXPECT_NEAR(Out.X, -0.5 - 1.005 * Pi + 2 * Pi, 1e-9);

  // With a false easting the band keeps its width around the false easting.
  Apply(*P, {.CentralMeridian = 0.5, .FalseEasting = 1e6});
  const TGIS_ProjPoint G{0.5 - Pi + 0.01, 10 * Deg, 0};
  TGIS_ProjPoint Plane, Back;
  P->Project(G, Plane);
  P->Unproject(Plane, Back);
  EXPECT_NEAR(Back.X, G.X, 1e-9);
  EXPECT_EQ(P->Warnings, "");
}

TEST(GisCylindrical, NorthingBeyondTheBandIsCorrectedToItsEdge) {
  for (const char* Code : {"MIL", "EQC", "CEA"}) {
    auto P = Make(Code);
    Apply(*P, {.FalseNorthing = 1000});
    TGIS_ProjPoint Out;
    P->Unproject({0, 1000 + 3e7, 0}, Out);
    EXPECT_EQ(P->Warnings, "0242 Northing out of scope - corrected.") << Code;
    EXPECT_NEAR(Out.Y, Pi / 2, 0.02) << Code;
    P->Unproject({0, 1000 - 3e7, 0}, Out);
    EXPECT_NEAR(Out.Y, -Pi / 2, 0.02) << Code;
    P->Unproject({-1e9, 1000, 0}, Out);
    EXPECT_EQ(P->Warnings, "0243 Easting out of scope - corrected.") << Code;
    EXPECT_NEAR(std::fabs(Out.X), Pi, 1e-6) << Code;
  }
}

TEST(GisCylindrical, EquidistantWithAParallelAtThePole) {
  auto P = Make("EQC");
  Apply(*P, {.CentralMeridian = 0.3, .OriginLatitude = Pi / 2});
  for (double E : {-1e6, 0.0, 5e5}) {
    TGIS_ProjPoint Out;
    P->Unproject({E, 1e6, 0}, Out);
    EXPECT_EQ(Out.X, 0) << E;
    EXPECT_NEAR(Out.Y, 1e6 / static_cast<double>(static_cast<TGIS_ProjectionEQC&>(*P).AuthalicRadius), 1e-12);
  }
}

TEST(GisCylindrical, CylindricalEqualAreaAtThePoles) {
  auto P = Make("CEA");
  Apply(*P, {.OriginLatitude = 30 * Deg});
  TGIS_ProjPoint Pole, Out;
  P->Project({0, Pi / 2, 0}, Pole);
  EXPECT_NEAR(Pole.Y, P->DeltaNorthing, 1e-6);
  // Just inside the band edge the sine argument would pass 1 without the limit.
  P->Unproject({0, Pole.Y * (1 + 1e-12), 0}, Out);
  EXPECT_NEAR(Out.Y, Pi / 2, 1e-6);
  EXPECT_TRUE(std::isfinite(Out.X));
}

}  // namespace
