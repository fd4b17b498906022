#include "projections/gis_projection.h"

#include <gtest/gtest.h>

#include "gis_test_util.h"

using namespace gistest;

namespace {

// A projection that counts its Prepare calls and its destruction.
class TCountingProjection : public TGIS_ProjectionAbstract {
public:
  explicit TCountingProjection(std::string ACode, int* ADestroyed = nullptr)
      : FCode(std::move(ACode)), FDestroyed(ADestroyed) {}
  ~TCountingProjection() override {
    if (FDestroyed) ++*FDestroyed;
  }
  void GetCode(std::string& Code) const override { Code = FCode; }
  void GetDescription(std::string& Description) const override { Description = "test"; }
  void Prepare() override {
    ++Prepares;
    TGIS_ProjectionAbstract::Prepare();
  }
  void Project(const TGIS_ProjPoint& G, TGIS_ProjPoint& P) override { P = G; }
  void Unproject(const TGIS_ProjPoint& P, TGIS_ProjPoint& G) override { G = P; }
  // The common SetUp checks, open to the test.
  void CommonSetUp(double Meridian, double Origin) {
    KeepWarnings = 0;
    OriginLatitude = CheckOriginLatitude(Origin, Pi / 2);
    CentralMeridian = ReduceMeridian(CheckCentralMeridian(Meridian));
  }

  int Prepares = 0;

private:
  std::string FCode;
  int* FDestroyed;
};

TEST(GisProjectionList, HoldsEveryClassSortedByCode) {
  BuildProjectionList();
  struct Row {
    const char* Code;
    const char* ClassName;
    const char* Description;
    uint64_t Parameters;
  } Rows[] = {
      {"ALB", "TGIS_ProjectionAlbers", "Albers Equal Area Conic", 0x003F},
      {"BON", "TGIS_ProjectionBonne", "Bonne", 0x000F},
      {"CAS", "TGIS_ProjectionCassini", "Cassini", 0x000F},
      {"CEA", "TGIS_ProjectionCEA", "Cylindrical Equal Area", 0x000F},
      {"EC4", "TGIS_ProjectionEckert4", "Eckert IV", 0x000D},
      {"EC6", "TGIS_ProjectionEckert6", "Eckert VI", 0x000D},
      {"EQC", "TGIS_ProjectionEQC", "Equidistant Cylindrical", 0x000F},
      {"GEC", "TGIS_ProjectionGeocentric", "Geocentic (unprojected)", 0x0000},
      {"GED", "TGIS_ProjectionGeodetic", "Geodetic (unprojected)", 0x0000},
      {"GRI", "TGIS_ProjectionGrinten", "Van der Grinten", 0x000D},
      {"HOT", "TGIS_ProjectionHotine", "Hotine Olique Mercator Azimuth Center", 0x028F},
      {"HT2", "TGIS_ProjectionHotine2", "Hotine Olique Mercator Two Point", 0x0C8F},
      {"LAM", "TGIS_ProjectionLambert", "Lambert Conformal Conic", 0x003F},
      {"MER", "TGIS_ProjectionMercator", "Mercator", 0x000F},
      {"MIL", "TGIS_ProjectionMillerCyl", "Miller Cylindrical", 0x000D},
      {"MOL", "TGIS_ProjectionMollweide", "Mollweide Pseudocylindrical", 0x000D},
      {"ORT", "TGIS_ProjectionOrthographic", "Orthographic", 0x000F},
      {"PLC", "TGIS_ProjectionPolyconic", "Polyconic", 0x000F},
      {"POL", "TGIS_ProjectionPolarStereographic", "Polar Stereographic", 0x000F},
      {"ROB", "TGIS_ProjectionRobinson", "Robinson", 0x000D},
      {"SIN", "TGIS_ProjectionSinusoid", "Sinusoid", 0x000D},
      {"TCE", "TGIS_ProjectionTCEA", "Transverse Cylindrical Equal Area", 0x008F},
      {"TMR", "TGIS_ProjectionTransverseMercator", "Transverse Mercator", 0x008F},
      {"UTM", "TGIS_ProjectionUTM", "Universal Transverse Mercator (UTM)", 0x0040},
      {"WA4", "TGIS_ProjectionWagner4", "Wagner IV", 0x000D},
      {"WA7", "TGIS_ProjectionWagner7", "Wagner VII", 0x000D},
  };
  ASSERT_EQ(GisProjectionList->Count(), 26);
  for (int I = 0; I < 26; ++I) {
    const Row& R = Rows[I];
    EXPECT_EQ(GisProjectionList->Strings(I), R.Code);
    auto* P = static_cast<TGIS_ProjectionAbstract*>(GisProjectionList->Objects(I));
    std::string Text;
    P->GetCode(Text);
    EXPECT_EQ(Text, R.Code);
    P->GetDescription(Text);
    EXPECT_EQ(Text, R.Description);
    EXPECT_EQ(P->ClassName(), R.ClassName);
    EXPECT_EQ(P->GetParameters().Bits(), R.Parameters) << R.Code;
    EXPECT_EQ(P->Datum, GisDatumList->DefaultDatum()) << R.Code;
    EXPECT_EQ(P->A, 6378137.0L) << R.Code;
  }
  EXPECT_TRUE(Make("HT2")->InheritsFrom(Make("HOT")->ClassType()));
}

TEST(GisProjectionList, AddingAnExistingCodeFreesTheFirst) {
  int Destroyed = 0;
  {
    TGIS_ProjectionList List;
    List.AddProjection(new TCountingProjection("ZZZ", &Destroyed));
    List.AddProjection(new TCountingProjection("AAA", &Destroyed));
    auto* Second = new TCountingProjection("ZZZ", &Destroyed);
    List.AddProjection(Second);
    EXPECT_EQ(List.Count(), 2);
    EXPECT_EQ(Destroyed, 1);
    EXPECT_EQ(List.Objects(List.IndexOf("zzz")), Second);
  }
  EXPECT_EQ(Destroyed, 3);
}

TEST(GisProjectionBase, WarningsHoldTheLastTextUnlessKept) {
  TCountingProjection P("T");
  P.AddWarning("one");
  P.AddWarning("two");
  EXPECT_EQ(P.Warnings, "two");
  P.AddWarning("");
  EXPECT_EQ(P.Warnings, "");
  P.KeepWarnings = 1;
  P.AddWarning("one");
  P.AddWarning("two");
  EXPECT_EQ(P.Warnings, "one\rtwo");
}

TEST(GisProjectionBase, CommonSetUpCorrections) {
  struct Case {
    double Meridian, Origin;
    double StoredMeridian, StoredOrigin;
    const char* Warning;
  } Cases[] = {
      {0.5, 2.0, 0.5, Pi / 2, "0244 Origin lattitude out of scope - corrected."},
      {0.5, -2.0, 0.5, -Pi / 2, "0244 Origin lattitude out of scope - corrected."},
      // Both out of range: the meridian's check runs last.
      {-4.0, 2.0, Pi, Pi / 2, "0245 Standard meridian out of scope - corrected."},
      {7.0, 0, 0, 0, "0245 Standard meridian out of scope - corrected."},
      {4.0, 0, 4.0 - 2 * Pi, 0, ""},
      {-Pi, Pi / 2, -Pi, Pi / 2, ""},
  };
  for (const Case& C : Cases) {
    TCountingProjection P("T");
    P.CommonSetUp(C.Meridian, C.Origin);
    EXPECT_NEAR(P.CentralMeridian, C.StoredMeridian, 1e-15) << C.Meridian;
    EXPECT_EQ(P.OriginLatitude, C.StoredOrigin) << C.Origin;
    EXPECT_EQ(P.Warnings, C.Warning) << C.Meridian << " " << C.Origin;
  }

  // The same rules through a real projection.
  auto Eqc = Make("EQC");
  Apply(*Eqc, {.CentralMeridian = 0.2, .OriginLatitude = 2.0});
  EXPECT_EQ(Eqc->OriginLatitude, Pi / 2);
  EXPECT_EQ(Eqc->Warnings, "0244 Origin lattitude out of scope - corrected.");
  auto Alb = Make("ALB");
  Apply(*Alb, {.OriginLatitude = 0.5, .Parallel1 = 2, .Parallel2 = 0.6});
  EXPECT_EQ(Alb->StandardParallel1, Pi / 2);
  EXPECT_EQ(Alb->Warnings, "0246 First standard parallel out of scope - corrected.");
  Apply(*Alb, {.OriginLatitude = 0.5, .Parallel1 = 0.6, .Parallel2 = -2});
  EXPECT_EQ(Alb->StandardParallel2, -Pi / 2);
  EXPECT_EQ(Alb->Warnings, "0247 First standard parallel out of scope - corrected.");
}

TEST(GisProjectionBase, SetDatumPreparesOnlyForAnotherDatum) {
  TCountingProjection P("T");
  P.Prepare();
  EXPECT_EQ(P.Prepares, 1);
  P.SetDatum(P.Datum);
  EXPECT_EQ(P.Prepares, 1);
  TGIS_Datum* Pulkovo = GisDatumList->FindByCode("PUK");
  P.SetDatum(Pulkovo);
  EXPECT_EQ(P.Prepares, 2);
  EXPECT_EQ(P.Ellipsoid->Code, "KA");
  EXPECT_EQ(P.A, 6378245.0L);

  // A datum whose ellipsoid is unknown is stored, but the constants stay.
  TGIS_Datum Broken;
  Broken.EllipsoidCode = "QQ";
  EXPECT_EQ(GisError([&] { P.SetDatum(&Broken); }), "0200 Ellipsoid \"QQ\" not found");
  EXPECT_EQ(P.Datum, &Broken);
  EXPECT_EQ(P.Ellipsoid->Code, "KA");
  EXPECT_EQ(P.A, 6378245.0L);
}

TEST(GisProjectionBase, LongitudeBeyondPiEqualsItsTurnBack) {
  // Longitudes above pi lie within the accepted [-pi, 2pi] and project like their turn back
  // (3pi/2 + 0.25 like -pi/2 + 0.25: off the transverse projections' singular meridian).
  for (int I = 0; I < GisProjectionList->Count(); ++I) {
    const std::string Code = GisProjectionList->Strings(I);
    if (Code == "GED" || Code == "GEC") continue;
    auto P = Make(Code);
    TGIS_ProjPoint A{}, B{};
    const std::string ErrA = GisError([&] { P->Project({3 * Pi / 2 + 0.25, 30 * Deg, 7}, A); });
    const std::string ErrB = GisError([&] { P->Project({-Pi / 2 + 0.25, 30 * Deg, 7}, B); });
    EXPECT_EQ(ErrA, ErrB) << Code;
    EXPECT_NEAR(A.X, B.X, 1e-6) << Code;
    EXPECT_NEAR(A.Y, B.Y, 1e-6) << Code;
    if (ErrA.empty()) {
      EXPECT_EQ(A.Z, 7) << Code;
    }
  }
}

}  // namespace
