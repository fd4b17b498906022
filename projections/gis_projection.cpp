#include "projections/gis_projection.h"

#include "projections/gis_math.h"
#include "projections/gis_messages.h"

using namespace gis;

VM_DEFINE_CLASS(TGIS_ProjectionAbstract)
VM_DEFINE_CLASS(TGIS_SymbolList)

TGIS_ProjectionList* GisProjectionList = nullptr;
TGIS_SymbolList* GisSymbolList = nullptr;

namespace {

// Value limited to [Low, High]; true when it had to be moved.
template <class T>
bool Clamped(T& Value, T Low, T High) {
  if (Value < Low) {
    Value = Low;
    return true;
  }
  if (Value > High) {
    Value = High;
    return true;
  }
  return false;
}

}  // namespace

TGIS_ProjectionAbstract::TGIS_ProjectionAbstract() {
  BuildGeodeticTables();
  Datum = GisDatumList->DefaultDatum();
  Ellipsoid = EllipsoidOfDatum(Datum);
}

TGIS_ProjectionParameters TGIS_ProjectionAbstract::GetParameters() const { return {}; }

void TGIS_ProjectionAbstract::Prepare() {
  TGIS_Ellipsoid* Ell = EllipsoidOfDatum(Datum);
  Ellipsoid = Ell;
  A = Ell->SemiMajorAxis;
  B = Ell->SemiMinorAxis;
  A2 = Ell->SemiMajorSquared;
  B2 = Ell->SemiMinorSquared;
  E2 = Ell->EccentricitySquared;
  E = Ell->Eccentricity;
  Ep2 = Ell->SecondEccentricitySquared;
}

void TGIS_ProjectionAbstract::SetUp(GIS_SETUP_PARAMS) {}

void TGIS_ProjectionAbstract::SetDatum(TGIS_Datum* ADatum) {
  if (ADatum == Datum) return;
  Datum = ADatum;
  Prepare();
}

void TGIS_ProjectionAbstract::AddWarning(const std::string& Text) {
  if (KeepWarnings == 0) Warnings.clear();
  if (Text.empty()) Warnings.clear();
  if (!Warnings.empty()) Warnings += '\r';
  Warnings += Text;
}

double TGIS_ProjectionAbstract::CheckOriginLatitude(double Value, double Limit) {
  if (Clamped(Value, -Limit, Limit)) AddWarning(GIS_RS_WRN_ORIGIN_LATITUDE);
  return Value;
}

double TGIS_ProjectionAbstract::CheckCentralMeridian(double Value) {
  if (Value < -Pi) {
    AddWarning(GIS_RS_WRN_CENTRAL_MERIDIAN);
    return static_cast<double>(Pi);
  }
  if (Value > TwoPi) {
    AddWarning(GIS_RS_WRN_CENTRAL_MERIDIAN);
    return static_cast<double>(TwoPi);
  }
  return Value;
}

double TGIS_ProjectionAbstract::LimitCentralMeridian(double Value) {
  if (Clamped(Value, static_cast<double>(-Pi), static_cast<double>(TwoPi))) AddWarning(GIS_RS_WRN_CENTRAL_MERIDIAN);
  return Value;
}

double TGIS_ProjectionAbstract::CheckPositiveScale(double Value) {
  if (Value > 0) return Value;
  AddWarning(GIS_RS_WRN_SCALE_FACTOR);
  return 1.0;
}

double TGIS_ProjectionAbstract::CheckStandardParallel1(double Value, double Limit) {
  if (Clamped(Value, -Limit, Limit)) AddWarning(GIS_RS_WRN_PARALLEL_1);
  return Value;
}

double TGIS_ProjectionAbstract::CheckStandardParallel2(double Value, double Limit) {
  if (Clamped(Value, -Limit, Limit)) AddWarning(GIS_RS_WRN_PARALLEL_2);
  return Value;
}

double TGIS_ProjectionAbstract::ReduceMeridian(double Value) {
  return Value > Pi ? static_cast<double>(Value - TwoPi) : Value;
}

void TGIS_ProjectionAbstract::StoreMeridianAndFalseOrigin(double ACentralMeridian, double AFalseEasting,
                                                          double AFalseNorthing) {
  CentralMeridian = ReduceMeridian(CheckCentralMeridian(ACentralMeridian));
  FalseEasting = AFalseEasting;
  FalseNorthing = AFalseNorthing;
}

void TGIS_ProjectionAbstract::StoreOriginMeridianAndFalseOrigin(double AOriginLatitude, double ACentralMeridian,
                                                                double AFalseEasting, double AFalseNorthing) {
  OriginLatitude = CheckOriginLatitude(AOriginLatitude, static_cast<double>(HalfPi));
  StoreMeridianAndFalseOrigin(ACentralMeridian, AFalseEasting, AFalseNorthing);
}

void TGIS_ProjectionAbstract::SetUpMeridianAndFalseOrigin(int32_t, double ACentralMeridian, double,
                                                          double AFalseEasting, double AFalseNorthing, double, double,
                                                          double, double, double, double, double, double, double,
                                                          double) {
  KeepWarnings = 0;
  StoreMeridianAndFalseOrigin(ACentralMeridian, AFalseEasting, AFalseNorthing);
  Prepare();
}

void TGIS_ProjectionAbstract::SetUpOriginMeridianAndFalseOrigin(int32_t, double ACentralMeridian,
                                                                double AOriginLatitude, double AFalseEasting,
                                                                double AFalseNorthing, double, double, double, double,
                                                                double, double, double, double, double, double) {
  KeepWarnings = 0;
  StoreOriginMeridianAndFalseOrigin(AOriginLatitude, ACentralMeridian, AFalseEasting, AFalseNorthing);
  Prepare();
}

void TGIS_ProjectionAbstract::CheckLatitude(long double& Phi, long double Limit) {
  if (Clamped(Phi, -Limit, Limit)) AddWarning(GIS_RS_WRN_LATITUDE);
}

void TGIS_ProjectionAbstract::CheckLongitude(long double& Lambda) {
  if (Clamped(Lambda, -Pi, TwoPi)) AddWarning(GIS_RS_WRN_LONGITUDE);
}

long double TGIS_ProjectionAbstract::DeltaLongitude(long double Lambda) const {
  long double d = Lambda - CentralMeridian;
  if (d > Pi) d -= TwoPi;
  if (d < -Pi) d += TwoPi;
  return d;
}

long double TGIS_ProjectionAbstract::BeginProject(const TGIS_ProjPoint& Geodetic, long double& Phi) {
  return BeginProject(Geodetic, Phi, HalfPi);
}

long double TGIS_ProjectionAbstract::BeginProject(const TGIS_ProjPoint& Geodetic, long double& Phi,
                                                  long double LatitudeLimit) {
  KeepWarnings = 0;
  long double Lambda = Geodetic.X;
  Phi = Geodetic.Y;
  CheckLatitude(Phi, LatitudeLimit);
  CheckLongitude(Lambda);
  return DeltaLongitude(Lambda);
}

TGIS_ProjPoint TGIS_ProjectionAbstract::ProjectQuietly(long double Lambda, long double Phi) {
  const std::string Kept = Warnings;
  TGIS_ProjPoint Point{static_cast<double>(Lambda), static_cast<double>(Phi), 0};
  Project(Point, Point);
  Warnings = Kept;
  return Point;
}

TGIS_ProjPoint TGIS_ProjectionAbstract::PlanePoint(long double X, long double Y, double Z) const {
  return {static_cast<double>(X + FalseEasting), static_cast<double>(Y + FalseNorthing), Z};
}

void TGIS_ProjectionAbstract::CheckEasting(long double& Easting, long double Low, long double High) {
  if (Clamped(Easting, Low, High)) AddWarning(GIS_RS_WRN_EASTING);
}

void TGIS_ProjectionAbstract::CheckNorthing(long double& Northing, long double Low, long double High) {
  if (Clamped(Northing, Low, High)) AddWarning(GIS_RS_WRN_NORTHING);
}

void TGIS_ProjectionAbstract::FinishGeodetic(long double& Lambda, long double& Phi) {
  Phi = Limit(Phi, -HalfPi, HalfPi);
  if (Lambda > Pi) Lambda -= TwoPi;
  if (Lambda < -Pi) Lambda += TwoPi;
  Lambda = Limit(Lambda, -Pi, Pi);
}

void TGIS_ProjectionAbstract::BeginUnproject(const TGIS_ProjPoint& Projected, double MinE, double MaxE, double MinN,
                                             double MaxN, long double& Dx, long double& Dy) {
  KeepWarnings = 0;
  long double X = Projected.X;
  long double Y = Projected.Y;
  CheckEasting(X, FalseEasting + MinE, FalseEasting + MaxE);
  CheckNorthing(Y, FalseNorthing + MinN, FalseNorthing + MaxN);
  Dx = X - FalseEasting;
  Dy = Y - FalseNorthing;
}

TGIS_ProjPoint TGIS_ProjectionAbstract::GeodeticPoint(long double Lambda, long double Phi, double Z) {
  FinishGeodetic(Lambda, Phi);
  return {static_cast<double>(Lambda), static_cast<double>(Phi), Z};
}

// ---------------------------------------------------------------------------------------------

TGIS_ProjectionList::TGIS_ProjectionList() : TStringList(true) { SetSorted(true); }

void TGIS_ProjectionList::AddProjection(TGIS_ProjectionAbstract* Projection) {
  std::string Code;
  Projection->GetCode(Code);
  GisAddOrReplace(*this, Code, Projection);
}

// ---------------------------------------------------------------------------------------------

TGIS_SymbolList::TGIS_SymbolList() : FItems(std::make_unique<TStringList>()) { FItems->SetSorted(true); }

TGIS_SymbolList::~TGIS_SymbolList() { Clear(); }

void TGIS_SymbolList::Clear() {
  for (int I = 0; I < FItems->Count(); ++I) {
    TObject* Obj = FItems->Objects(I);
    FItems->SetObjects(I, nullptr);
    delete Obj;
  }
  FItems->Clear();
}

// ---------------------------------------------------------------------------------------------

// Creates one projection of each class in list order (gis_projection_list.cpp).
void AddAllProjections(TGIS_ProjectionList& List);

void BuildProjectionList() {
  BuildGeodeticTables();
  if (!GisProjectionList) {
    auto* List = new TGIS_ProjectionList;
    AddAllProjections(*List);
    GisProjectionList = List;
  }
}

namespace {

// Builds the kit at start-up and frees it at exit.
struct TProjectionUnit {
  TProjectionUnit() {
    BuildProjectionList();
    if (!GisSymbolList) GisSymbolList = new TGIS_SymbolList;
  }
  ~TProjectionUnit() {
    FreeAndNil(GisProjectionList);
    FreeAndNil(GisSymbolList);
  }
};
TProjectionUnit ProjectionUnit;

}  // namespace
