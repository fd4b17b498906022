#include "projections/gis_datums.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

#include "projections/gis_base.h"
#include "platform/sysutils.h"

namespace {

constexpr double Pi = std::numbers::pi;

TGIS_Ellipsoid* Wgs84() { return GisEllipsoidList->FindByCode("WE"); }

TEST(GisDatums, BuiltInListsAreSortedAndComplete) {
  BuildGeodeticTables();
  BuildGeodeticTables();  // a second run builds nothing new
  ASSERT_EQ(GisDatumList->Count(), 227);
  ASSERT_EQ(GisEllipsoidList->Count(), 23);
  for (int I = 1; I < GisDatumList->Count(); ++I)
    EXPECT_LT(AnsiCompareText(GisDatumList->Strings(I - 1), GisDatumList->Strings(I)), 0) << GisDatumList->Strings(I);
  for (int I = 1; I < GisEllipsoidList->Count(); ++I)
    EXPECT_LT(AnsiCompareText(GisEllipsoidList->Strings(I - 1), GisEllipsoidList->Strings(I)), 0);

  // Every datum, AFGOOYE included, has an ellipsoid of the table.
  int TypeCount[4] = {0, 0, 0, 0};
  for (int I = 0; I < GisDatumList->Count(); ++I) {
    auto* D = static_cast<TGIS_Datum*>(GisDatumList->Objects(I));
    EXPECT_NO_THROW(EllipsoidOfDatum(D)) << D->Code;
    ASSERT_LE(D->DatumType, 3);
    ++TypeCount[D->DatumType];
  }
  EXPECT_EQ(TypeCount[0], 1);
  EXPECT_EQ(TypeCount[1], 1);
  EXPECT_EQ(TypeCount[2], 222);
  EXPECT_EQ(TypeCount[3], 3);
}

TEST(GisDatums, LookupByCodeIgnoresCaseAndGivesNames) {
  TGIS_Datum* Default = GisDatumList->DefaultDatum();
  ASSERT_NE(Default, nullptr);
  EXPECT_EQ(Default->Code, "WGE");
  EXPECT_EQ(Default->Name, "World Geodetic System 1984");
  EXPECT_EQ(EllipsoidOfDatum(Default)->Code, "WE");

  TGIS_Datum* Adindan = GisDatumList->FindByCode("adi-m");
  ASSERT_NE(Adindan, nullptr);
  EXPECT_EQ(Adindan->Name, "ADINDAN, Mean");
  EXPECT_EQ(Adindan->EllipsoidCode, "CD");
  EXPECT_TRUE(Adindan->Description.empty());
  EXPECT_EQ(EllipsoidOfDatum(Adindan)->Name, "Clarke 1880");
  EXPECT_EQ(GisDatumList->FindByCode("NOPE"), nullptr);

  TGIS_Ellipsoid* Everest = GisEllipsoidList->FindByCode("eb");
  ASSERT_NE(Everest, nullptr);
  EXPECT_EQ(Everest->Name, "Everest: Brunei & E. Malasia (Sabah & Sarawak)");
  EXPECT_EQ(Everest->Description, Everest->Name);
  EXPECT_EQ(GisEllipsoidList->FindByCode("XX"), nullptr);
}

TEST(GisDatums, Wgs84DerivedConstants) {
  TGIS_Ellipsoid* E = Wgs84();
  ASSERT_NE(E, nullptr);
  EXPECT_NEAR(static_cast<double>(E->SemiMinorAxis), 6356752.314245179, 1e-6);
  EXPECT_NEAR(static_cast<double>(E->EccentricitySquared), 0.006694379990141316, 1e-15);
  EXPECT_NEAR(static_cast<double>(E->Flattening), 1 / 298.257223563, 1e-18);
  // Extended precision: the constants agree with each other to the last digits.
  const long double a = E->SemiMajorAxis, b = E->SemiMinorAxis;
  EXPECT_NEAR(static_cast<double>(E->SecondEccentricitySquared * b * b - (a * a - b * b)), 0, 1e-6);
  EXPECT_NEAR(static_cast<double>(E->Eccentricity * E->Eccentricity - E->EccentricitySquared), 0, 1e-18);
}

TEST(GisDatums, NumericFieldsFollowTheDatumType) {
  const long double Deg = Pi / 180;
  // Three-parameter: shifts, accuracies and the area of use in radians.
  TGIS_Datum* Ain = GisDatumList->FindByCode("AIN-A");
  EXPECT_EQ(Ain->DeltaX, -150);
  EXPECT_EQ(Ain->SigmaX, 25);
  EXPECT_EQ(Ain->DeltaY, -250);
  EXPECT_EQ(Ain->DeltaZ, -1);
  EXPECT_NEAR(Ain->South, static_cast<double>(24 * Deg), 1e-15);
  EXPECT_NEAR(Ain->North, static_cast<double>(28 * Deg), 1e-15);
  EXPECT_NEAR(Ain->West, static_cast<double>(49 * Deg), 1e-15);
  EXPECT_NEAR(Ain->East, static_cast<double>(53 * Deg), 1e-15);
  EXPECT_EQ(Ain->Scale, 1.0);

  // Seven-parameter: rotations from arc seconds, the scale difference kept, world bounds.
  TGIS_Datum* Eur7 = GisDatumList->FindByCode("EUR-7");
  EXPECT_EQ(Eur7->DatumType, 3);
  EXPECT_EQ(Eur7->Scale, 2.4664e-06);
  EXPECT_NEAR(Eur7->RotationX, 0.413 / 206264.8062471, 1e-18);
  EXPECT_EQ(Eur7->SigmaX, 0);
  for (const char* Code : {"EUR-7", "OGB-7", "CH1903", "WGE", "WGD"}) {
    TGIS_Datum* D = GisDatumList->FindByCode(Code);
    EXPECT_DOUBLE_EQ(D->West, -Pi) << Code;
    EXPECT_DOUBLE_EQ(D->East, Pi) << Code;
    EXPECT_DOUBLE_EQ(D->South, -Pi / 2) << Code;
    EXPECT_DOUBLE_EQ(D->North, Pi / 2) << Code;
  }
  EXPECT_EQ(GisDatumList->FindByCode("OGB-7")->Scale, -2.08927e-05);
  for (int I = 0; I < GisDatumList->Count(); ++I) {
    auto* D = static_cast<TGIS_Datum*>(GisDatumList->Objects(I));
    if (D->DatumType != 3) {
      EXPECT_EQ(D->Scale, 1.0) << D->Code;
    }
  }
}

TEST(GisDatums, AddingAnExistingCodeReplacesInPlace) {
  TGIS_EllipsoidList Ellipsoids;
  Ellipsoids.AddEllipsoid("WE", "first", 6378137.0L, 298.257223563L);
  Ellipsoids.AddEllipsoid("AA", "Airy", 6377563.396L, 299.3249646L);
  Ellipsoids.AddEllipsoid("we", "second", 6378000.0L, 300.0L);
  ASSERT_EQ(Ellipsoids.Count(), 2);
  EXPECT_EQ(Ellipsoids.FindByCode("WE")->Name, "second");
  EXPECT_EQ(Ellipsoids.FindByCode("WE")->SemiMajorAxis, 6378000.0L);

  TGIS_DatumList Datums;
  EXPECT_EQ(Datums.DefaultDatum(), nullptr);
  Datums.AddDatum(0, "WGE", "World", "WE", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  Datums.AddDatum(2, "AAA", "before", "WE", 1, 2, 3, 4, 5, 6, 0, 0, 0, 0);
  // "AAA" sorted in front moved "WGE"; the default follows it.
  EXPECT_EQ(Datums.DefaultDatum()->Code, "WGE");
  Datums.AddDatum(2, "AAA", "after", "WE", 7, 2, 3, 4, 5, 6, 0, 0, 0, 0);
  EXPECT_EQ(Datums.Count(), 2);
  EXPECT_EQ(Datums.FindByCode("AAA")->Name, "after");
  EXPECT_EQ(Datums.FindByCode("AAA")->DeltaX, 7);
}

TEST(GisDatums, UnknownEllipsoidOfADatumRaises0200) {
  TGIS_Datum D;
  D.EllipsoidCode = "XX";
  try {
    EllipsoidOfDatum(&D);
    FAIL() << "no exception";
  } catch (const EGIS_Exception& Ex) {
    EXPECT_EQ(Ex.Message(), "0200 Ellipsoid \"XX\" not found");
  }
}

TEST(GisDatums, GeodeticToGeocentricKnownPointsAndLimits) {
  TGIS_Ellipsoid* E = Wgs84();
  const double b = static_cast<double>(E->SemiMinorAxis);
  struct Case {
    TGIS_ProjPoint In;
    TGIS_ProjPoint Out;
  } Cases[] = {
      {{0, 0, 0}, {6378137, 0, 0}},   {{0, Pi / 2, 0}, {0, 0, b}},     {{0, -Pi / 2, 100}, {0, 0, -b - 100}},
      {{Pi, 0, 0}, {-6378137, 0, 0}}, {{-Pi, 0, 0}, {-6378137, 0, 0}}, {{Pi / 2, 0, 1000}, {0, 6379137, 0}},
  };
  for (const Case& C : Cases) {
    TGIS_ProjPoint Out;
    GeodeticToGeocentric(E, C.In, Out);
    EXPECT_NEAR(Out.X, C.Out.X, 1e-6) << C.In.X << " " << C.In.Y;
    EXPECT_NEAR(Out.Y, C.Out.Y, 1e-6) << C.In.X << " " << C.In.Y;
    EXPECT_NEAR(Out.Z, C.Out.Z, 1e-6) << C.In.X << " " << C.In.Y;
  }

  struct Bad {
    TGIS_ProjPoint In;
    const char* Prefix;
  } Bads[] = {
      {{0, Pi / 2 + 1e-9, 0}, "0210 Latitude "},
      {{Pi + 1e-9, 0, 0}, "0211 Longitude "},
      {{9, 9, 0}, "0210 Latitude "},  // the latitude is checked first
  };
  for (const Bad& B : Bads) {
    TGIS_ProjPoint Out{1, 2, 3};
    try {
      GeodeticToGeocentric(E, B.In, Out);
      ADD_FAILURE() << "no exception for " << B.In.X << " " << B.In.Y;
    } catch (const EGIS_Exception& Ex) {
      EXPECT_EQ(Ex.Message().rfind(B.Prefix, 0), 0u) << Ex.Message();
      EXPECT_NE(Ex.Message().find(" out of scope"), std::string::npos);
    }
    EXPECT_EQ(Out.X, 1);  // untouched
    EXPECT_EQ(Out.Z, 3);
  }
}

TEST(GisDatums, GeocentricToGeodeticOnTheAxisAndRoundTrips) {
  TGIS_Ellipsoid* E = Wgs84();
  const double b = static_cast<double>(E->SemiMinorAxis);
  TGIS_ProjPoint Out;
  GeocentricToGeodetic(E, {0, 0, 0}, Out);
  EXPECT_EQ(Out.X, 0);
  EXPECT_DOUBLE_EQ(Out.Y, Pi / 2);
  EXPECT_DOUBLE_EQ(Out.Z, -b);
  GeocentricToGeodetic(E, {0, 0, b + 50}, Out);
  EXPECT_EQ(Out.X, 0);
  EXPECT_EQ(Out.Y, Pi / 2);
  EXPECT_NEAR(Out.Z, 50, 1e-6);
  GeocentricToGeodetic(E, {0, -10, 0}, Out);
  EXPECT_DOUBLE_EQ(Out.X, -Pi / 2);

  // Geodetic -> geocentric -> geodetic, heights within +-10 km. The closed one-step method is
  // good to about 5 mm (worst near +-60 degrees).
  for (double Lat : {-89.9, -60.0, -30.0, 0.0, 12.5, 45.0, 67.5, 80.0, 89.99})
    for (double Lon : {-179.0, -90.0, 0.0, 33.3, 150.0})
      for (double H : {-10000.0, 0.0, 10000.0}) {
        const TGIS_ProjPoint P{Lon * Pi / 180, Lat * Pi / 180, H};
        TGIS_ProjPoint G, Back;
        GeodeticToGeocentric(E, P, G);
        GeocentricToGeodetic(E, G, Back);
        EXPECT_NEAR(Back.X, P.X, 1e-12) << Lat << " " << Lon << " " << H;
        EXPECT_NEAR(Back.Y, P.Y, 1e-9) << Lat << " " << Lon << " " << H;  // < 6.4 mm
        EXPECT_NEAR(Back.Z, P.Z, 0.01) << Lat << " " << Lon << " " << H;
      }
}

}  // namespace
