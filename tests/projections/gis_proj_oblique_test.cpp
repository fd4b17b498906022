#include <gtest/gtest.h>

#include "gis_test_util.h"
#include "projections/gis_proj_oblique.h"
#include "projections/gis_proj_pseudo.h"

using namespace gistest;

namespace {

TEST(GisWorld, PolesConvergeToTheTopAndBottomOfTheMap) {
  for (const char* Code : {"MOL", "EC4", "EC6", "WA4"}) {
    auto P = Make(Code);
    Apply(*P, {.FalseNorthing = 100});
    TGIS_ProjPoint North, South, Near, Back;
    P->Project({1.0, Pi / 2, 0}, North);
    P->Project({1.0, -Pi / 2, 0}, South);
    P->Project({1.0, 89.9 * Deg, 0}, Near);
    EXPECT_GT(North.Y, Near.Y) << Code;
    EXPECT_NEAR(North.Y - 100, -(South.Y - 100), 1e-6) << Code;
    EXPECT_LT(North.Y - Near.Y, 5e4) << Code;
    P->Unproject(North, Back);
    EXPECT_NEAR(Back.Y, Pi / 2, 1e-6) << Code;
  }
}

TEST(GisWorld, WagnerSevenSouthernHalfAndEdges) {
  auto P = Make("WA7");
  const double Max = static_cast<TGIS_ProjectionWagner7&>(*P).MaxEasting;
  TGIS_ProjPoint Out;
  for (double Fx : {-1.0, -0.5, 0.0, 0.5, 1.0})
    for (double Fy : {-1.0, -0.3}) {
      P->Unproject({Fx * Max, Fy * P->DeltaNorthing, 0}, Out);
      EXPECT_LT(Out.Y, 0) << Fx << " " << Fy;
      EXPECT_TRUE(std::isfinite(Out.X) && std::isfinite(Out.Y)) << Fx << " " << Fy;
    }
  P->Unproject({0, 0, 0}, Out);
  EXPECT_EQ(Out.X, 0);
  EXPECT_EQ(Out.Y, 0);
}

TEST(GisWorld, RobinsonOriginTablesAndWayBack) {
  auto P = Make("ROB");
  Apply(*P, {.FalseEasting = 10, .FalseNorthing = 20});
  TGIS_ProjPoint Out, Back;
  P->Project({0, 0, 0}, Out);
  EXPECT_NEAR(Out.X, 10, 1e-9);
  EXPECT_NEAR(Out.Y, 20, 1e-9);
  // 90 degrees uses the last interval after its correction to 89.75 degrees.
  TGIS_ProjPoint Limit;
  P->Project({1, 89.75 * Deg, 0}, Limit);
  P->Project({1, Pi / 2, 0}, Out);
  EXPECT_EQ(P->Warnings, "0240 Latitude out of scope - corrected.");
  EXPECT_EQ(Out.Y, Limit.Y);
  for (double Lat : {-89.75, -60.0, -2.5, 0.0, 12.0, 45.0, 77.7, 89.75}) {
    P->Project(Geo(30, Lat), Out);
    P->Unproject(Out, Back);
    TGIS_ProjPoint Again;
    P->Project(Back, Again);
    EXPECT_NEAR(Again.Y, Out.Y, 1e-5) << Lat;
    EXPECT_NEAR(Back.X, 30 * Deg, 1e-9) << Lat;
  }
  // With the central meridian at 90E a point at 100W lies on the map's eastern side.
  Apply(*P, {.CentralMeridian = Pi / 2});
  P->Project(Geo(-100, 10), Out);
  EXPECT_GT(Out.X, 0);
  EXPECT_LT(Out.X, P->DeltaEasting);
}

TEST(GisWorld, GrintenAxesAndSinusoidPoles) {
  auto P = Make("GRI");
  Apply(*P, {.CentralMeridian = 0.3, .FalseEasting = 100, .FalseNorthing = 200});
  TGIS_ProjPoint Out, Back;
  P->Project({1.2, 0, 0}, Out);
  EXPECT_EQ(Out.Y, 200);
  P->Unproject(Out, Back);
  EXPECT_EQ(Back.Y, 0);
  P->Project({0.3, -0.7, 0}, Out);
  EXPECT_EQ(Out.X, 100);
  EXPECT_LT(Out.Y, 200);
  P->Unproject(Out, Back);
  EXPECT_NEAR(Back.Y, -0.7, 1e-9);
  EXPECT_EQ(Back.X, 0.3);

  auto S = Make("SIN");
  Apply(*S, {.CentralMeridian = 0.4});
  S->Unproject({1e6, S->DeltaNorthing, 0}, Out);
  EXPECT_EQ(Out.X, 0.4);
  EXPECT_NEAR(Out.Y, Pi / 2, 1e-6);
  S->Project({0.4 + 1, 0, 0}, Out);
  EXPECT_NEAR(Out.X, 6378137, 1e-6);
}

TEST(GisOblique, HotineCentreAndOriginLatitude) {
  auto P = Make("HOT");
  TGIS_ProjPoint Out;
  P->Project({P->CentralMeridian, 45 * Deg, 0}, Out);
  EXPECT_NEAR(Out.X, 0, 1e-6);
  EXPECT_NEAR(Out.Y, 0, 1e-6);

  for (const char* Code : {"HOT", "HT2"}) {
    auto Q = Make(Code);
    EXPECT_EQ(GisError([&] {
                Apply(*Q, {.OriginLatitude = 0,
                           .Scale = 1,
                           .Longitude1 = -0.1,
                           .Latitude1 = 0.5,
                           .Longitude2 = 0.1,
                           .Latitude2 = 0.7});
              }),
              "0220 Origin latitide  out of scope")
        << Code;
  }
}

TEST(GisOblique, HotineOriginStaysOnRepeatedPreparation) {
  auto P = Make("HOT");
  Apply(*P, {.CentralMeridian = 0.2, .OriginLatitude = 0.7, .Scale = 1, .Azimuth = 0.6});
  const double Origin = P->CentralMeridian;
  P->SetDatum(GisDatumList->FindByCode("PUK"));
  P->SetDatum(GisDatumList->DefaultDatum());
  EXPECT_NEAR(P->CentralMeridian, Origin, 1e-15);
}

TEST(GisOblique, TwoPointsOnOneParallelAndRecovery) {
  auto P = Make("HT2");
  EXPECT_EQ(GisError([&] {
              Apply(*P, {.OriginLatitude = 0.7,
                         .Scale = 1,
                         .Longitude1 = -0.1,
                         .Latitude1 = 0.6,
                         .Longitude2 = 0.1,
                         .Latitude2 = 0.6});
            }),
            "0223 Latitude of Point 1 & 2 to close");
  // Good points after refused ones are taken.
  EXPECT_EQ(GisError([&] {
              Apply(*P, {.OriginLatitude = 0.7,
                         .Scale = 1,
                         .Longitude1 = -0.1,
                         .Latitude1 = 0.6,
                         .Longitude2 = 0.1,
                         .Latitude2 = 0.8});
            }),
            "");
  EXPECT_TRUE(std::isfinite(P->CentralMeridian));
  TGIS_ProjPoint Out, Back;
  P->Project({0.05, 0.7, 0}, Out);
  P->Unproject(Out, Back);
  EXPECT_NEAR(Back.X, 0.05, 1e-9);
  EXPECT_NEAR(Back.Y, 0.7, 1e-9);
}

TEST(GisOblique, PoleOfTheCentralLineIsNotSolvable) {
  // Azimuth 0: U reaches -1 where Q = 1 and B * dLambda = pi/2.
  auto P = Make("HOT");
  auto& H = static_cast<TGIS_ProjectionHotine&>(*P);
  const long double e = H.E;
  const long double t = std::pow(H.EE, 1 / H.BB);
  long double phi = Pi / 2 - 2 * std::atan(t);
  for (int I = 0; I < 50; ++I) {
    const long double es = e * std::sin(phi);
    phi = Pi / 2 - 2 * std::atan(t * std::pow((1 - es) / (1 + es), e / 2));
  }
  const double Lambda = static_cast<double>(H.CentralMeridian + Pi / 2 / H.BB);
  TGIS_ProjPoint Out{1, 2, 3};
  EXPECT_EQ(GisError([&] {
              P->Project({Lambda, static_cast<double>(phi), 0}, Out);
            }),
            "0235 Projection is not solvable for current parameters");
  EXPECT_EQ(Out.X, 1);
}

}  // namespace

namespace {

TEST(GisOblique, ScaleThatIsNotPositiveIsReplaced) {
  for (const char* Code : {"HOT", "HT2", "TCE"}) {
    auto P = Make(Code);
    Apply(
        *P,
        {.OriginLatitude = 0.7, .Scale = 0, .Longitude1 = -0.1, .Latitude1 = 0.6, .Longitude2 = 0.1, .Latitude2 = 0.8});
    EXPECT_EQ(P->ScaleFactor, 1.0) << Code;
    EXPECT_EQ(P->Warnings, "0248 Scale factor out of scope - corrected.") << Code;
    TGIS_ProjPoint Out;
    P->Project({0.05, 0.7, 0}, Out);
    EXPECT_TRUE(std::isfinite(Out.X) && std::isfinite(Out.Y)) << Code;
  }
}

}  // namespace
