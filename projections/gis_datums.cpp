#include "projections/gis_datums.h"

#include <cmath>

#include "projections/gis_base.h"
#include "platform/sysutils.h"
#include "projections/gis_math.h"
#include "projections/gis_messages.h"

VM_DEFINE_CLASS(TGIS_Ellipsoid)
VM_DEFINE_CLASS(TGIS_Datum)

TGIS_EllipsoidList* GisEllipsoidList = nullptr;
TGIS_DatumList* GisDatumList = nullptr;

namespace {

using gis::DegToRad;
using gis::HalfPi;
using gis::Pi;
constexpr long double ArcSecondsPerRadian = 206264.8062471L;
constexpr long double Cos67_5 = 0.38268343236508977L;

}  // namespace

void GisAddOrReplace(TStringList& List, const std::string& Code, TObject* Obj) {
  int Index;
  if (List.Find(Code, Index)) {
    TObject* Old = List.Objects(Index);
    List.SetObjects(Index, Obj);
    delete Old;
  } else {
    List.AddObject(Code, Obj);
  }
}

// Fills the datum list with the built-in table (gis_datum_table.cpp).
void AddBuiltInDatums(TGIS_DatumList& List);

// ---------------------------------------------------------------------------------------------

TGIS_EllipsoidList::TGIS_EllipsoidList() : TStringList(true) { SetSorted(true); }

void TGIS_EllipsoidList::AddEllipsoid(const std::string& Code, const std::string& Name, long double SemiMajorAxis,
                                      long double InverseFlattening) {
  auto* E = new TGIS_Ellipsoid;
  E->Code = Code;
  E->Name = Name;
  E->Description = Name;
  E->SemiMajorAxis = SemiMajorAxis;
  const long double a = SemiMajorAxis;
  E->Flattening = 1.0L / InverseFlattening;
  E->SemiMinorAxis = a - E->Flattening * a;
  E->SemiMajorSquared = a * a;
  E->SemiMinorSquared = E->SemiMinorAxis * E->SemiMinorAxis;
  E->EccentricitySquared = (E->SemiMajorSquared - E->SemiMinorSquared) / E->SemiMajorSquared;
  E->Eccentricity = std::sqrt(E->EccentricitySquared);
  E->SecondEccentricitySquared = (E->SemiMajorSquared - E->SemiMinorSquared) / E->SemiMinorSquared;
  E->SecondEccentricity = std::sqrt(E->SecondEccentricitySquared);
  GisAddOrReplace(*this, Code, E);
}

TGIS_Ellipsoid* TGIS_EllipsoidList::FindByCode(const std::string& Code) const {
  int Index;
  if (!Find(Code, Index)) return nullptr;
  return static_cast<TGIS_Ellipsoid*>(Objects(Index));
}

// ---------------------------------------------------------------------------------------------

TGIS_DatumList::TGIS_DatumList() : TStringList(true) { SetSorted(true); }

void TGIS_DatumList::AddDatum(uint8_t DatumType, const std::string& Code, const std::string& Name,
                              const std::string& EllipsoidCode, double N1, double N2, double N3, double N4, double N5,
                              double N6, double N7, double N8, double N9, double N10) {
  auto* D = new TGIS_Datum;
  D->DatumType = DatumType;
  D->Code = Code;
  D->Name = Name;
  D->EllipsoidCode = EllipsoidCode;
  D->Scale = 1.0;
  auto WorldBounds = [D] {
    D->West = static_cast<double>(-Pi);
    D->South = static_cast<double>(-HalfPi);
    D->East = static_cast<double>(Pi);
    D->North = static_cast<double>(HalfPi);
  };
  switch (DatumType) {
    case 2:
      D->DeltaX = N1;
      D->SigmaX = N2;
      D->DeltaY = N3;
      D->SigmaY = N4;
      D->DeltaZ = N5;
      D->SigmaZ = N6;
      D->South = static_cast<double>(N7 * DegToRad);
      D->North = static_cast<double>(N8 * DegToRad);
      D->West = static_cast<double>(N9 * DegToRad);
      D->East = static_cast<double>(N10 * DegToRad);
      break;
    case 3:
      D->DeltaX = N1;
      D->DeltaY = N2;
      D->DeltaZ = N3;
      D->RotationX = static_cast<double>(N4 / ArcSecondsPerRadian);
      D->RotationY = static_cast<double>(N5 / ArcSecondsPerRadian);
      D->RotationZ = static_cast<double>(N6 / ArcSecondsPerRadian);
      D->Scale = N7;
      WorldBounds();
      break;
    default:
      WorldBounds();
      break;
  }
  GisAddOrReplace(*this, Code, D);
  int Index;
  if (Find("WGE", Index)) FDefaultIndex = Index;
}

TGIS_Datum* TGIS_DatumList::DefaultDatum() const {
  if (FDefaultIndex < 0 || FDefaultIndex >= Count()) return nullptr;
  return static_cast<TGIS_Datum*>(Objects(FDefaultIndex));
}

TGIS_Datum* TGIS_DatumList::FindByCode(const std::string& Code) const {
  int Index;
  if (!Find(Code, Index)) return nullptr;
  return static_cast<TGIS_Datum*>(Objects(Index));
}

// ---------------------------------------------------------------------------------------------

TGIS_Ellipsoid* EllipsoidOfDatum(const TGIS_Datum* Datum) {
  BuildGeodeticTables();
  const std::string Code = Datum ? Datum->EllipsoidCode : std::string();
  TGIS_Ellipsoid* E = GisEllipsoidList->FindByCode(Code);
  if (!E) throw EGIS_Exception(GIS_RS_ERR_ELLIPSOID_NOT_FOUND, 0, Code);
  return E;
}

void GeodeticToGeocentric(const TGIS_Ellipsoid* Ellipsoid, const TGIS_ProjPoint& In, TGIS_ProjPoint& Out) {
  const long double lambda = In.X;
  const long double phi = In.Y;
  const long double h = In.Z;
  if (phi < -HalfPi || phi > HalfPi) throw EGIS_Exception(GIS_RS_ERR_LATITUDE, 0, FloatToStr(In.Y));
  if (lambda < -Pi || lambda > Pi) throw EGIS_Exception(GIS_RS_ERR_LONGITUDE, 0, FloatToStr(In.X));
  const long double a = Ellipsoid->SemiMajorAxis;
  const long double e2 = Ellipsoid->EccentricitySquared;
  const long double s = std::sin(phi);
  const long double c = std::cos(phi);
  const long double Rn = a / std::sqrt(1.0L - e2 * s * s);
  Out.X = static_cast<double>((Rn + h) * c * std::cos(lambda));
  Out.Y = static_cast<double>((Rn + h) * c * std::sin(lambda));
  Out.Z = static_cast<double>(((1.0L - e2) * Rn + h) * s);
}

void GeocentricToGeodetic(const TGIS_Ellipsoid* Ellipsoid, const TGIS_ProjPoint& In, TGIS_ProjPoint& Out) {
  const long double X = In.X;
  const long double Y = In.Y;
  const long double Z = In.Z;
  const long double a = Ellipsoid->SemiMajorAxis;
  const long double b = Ellipsoid->SemiMinorAxis;
  const long double e2 = Ellipsoid->EccentricitySquared;
  const long double ep2 = Ellipsoid->SecondEccentricitySquared;

  long double lambda = 0;
  long double phi = 0;
  bool OnAxis = false;
  if (X != 0) {
    lambda = std::atan2(Y, X);
  } else if (Y > 0) {
    lambda = HalfPi;
  } else if (Y < 0) {
    lambda = -HalfPi;
  } else {
    OnAxis = true;
    lambda = 0;
    if (Z > 0) {
      phi = HalfPi;
    } else if (Z < 0) {
      phi = -HalfPi;
    } else {
      // The earth's centre.
      Out.X = 0;
      Out.Y = static_cast<double>(HalfPi);
      Out.Z = static_cast<double>(-b);
      return;
    }
  }

  const long double W2 = X * X + Y * Y;
  const long double W = std::sqrt(W2);
  const long double T0 = Z * 1.0026L;
  const long double S0 = std::sqrt(T0 * T0 + W2);
  const long double SinB0 = T0 / S0;
  const long double CosB0 = W / S0;
  const long double Sin3B0 = SinB0 * SinB0 * SinB0;
  const long double T1 = Z + b * ep2 * Sin3B0;
  const long double Sum = W - a * e2 * CosB0 * CosB0 * CosB0;
  const long double S1 = std::sqrt(T1 * T1 + Sum * Sum);
  const long double SinPhi1 = T1 / S1;
  const long double CosPhi1 = Sum / S1;
  const long double Rn = a / std::sqrt(1.0L - e2 * SinPhi1 * SinPhi1);

  long double h;
  if (CosPhi1 >= Cos67_5)
    h = W / CosPhi1 - Rn;
  else if (CosPhi1 <= -Cos67_5)
    h = W / -CosPhi1 - Rn;
  else
    h = Z / SinPhi1 + Rn * (e2 - 1.0L);

  if (!OnAxis) phi = std::atan(SinPhi1 / CosPhi1);

  Out.X = static_cast<double>(lambda);
  Out.Y = static_cast<double>(phi);
  Out.Z = static_cast<double>(h);
}

void BuildGeodeticTables() {
  if (!GisDatumList) {
    auto* List = new TGIS_DatumList;
    AddBuiltInDatums(*List);
    GisDatumList = List;
  }
  if (!GisEllipsoidList) {
    auto* List = new TGIS_EllipsoidList;
    List->AddEllipsoid("WE", "World Geodetic System 1984 (WGS 84)", 6378137.0L, 298.257223563L);
    List->AddEllipsoid("WD", "World Geodetic System 1972 (WGS 72)", 6378135.0L, 298.26L);
    List->AddEllipsoid("AA", "Airy (1930)", 6377563.396L, 299.3249646L);
    List->AddEllipsoid("AN", "Australian National", 6378160.0L, 298.25L);
    List->AddEllipsoid("BR", "Bessel 1841", 6377397.155L, 299.1528128L);
    List->AddEllipsoid("BN", "Bessel 1841: Namibia", 6377483.865L, 299.1528128L);
    List->AddEllipsoid("BM", "Bessel Modified: Norway & Sweden", 6377492.018L, 299.1528128L);
    List->AddEllipsoid("CC", "Clarke 1866", 6378206.4L, 294.9786982L);
    List->AddEllipsoid("CD", "Clarke 1880", 6378249.138L, 293.466307656L);
    List->AddEllipsoid("EB", "Everest: Brunei & E. Malasia (Sabah & Sarawak)", 6377298.556L, 300.8017L);
    List->AddEllipsoid("EA", "Everest: India 1830", 6377276.345L, 300.8017L);
    List->AddEllipsoid("EC", "Everest: India 1956", 6377301.243L, 300.8017L);
    List->AddEllipsoid("EE", "Everest: W. Malasia and Singapore 1948", 6377304.063L, 300.80174L);
    List->AddEllipsoid("ED", "Everest: W. Malasia 1969", 6377295.664L, 300.8017L);
    List->AddEllipsoid("RF", "Geodetic Reference System 1980 (GRS 80)", 6378137.0L, 298.257222101L);
    List->AddEllipsoid("HE", "Helmert 1906", 6378200.0L, 298.3L);
    List->AddEllipsoid("HO", "Hough 1960", 6378270.0L, 297.0L);
    List->AddEllipsoid("ID", "Indonesian 1974", 6378160.0L, 298.247L);
    List->AddEllipsoid("IN", "International 1924", 6378388.0L, 297.0L);
    List->AddEllipsoid("KA", "Krassovsky 1940", 6378245.0L, 298.3L);
    List->AddEllipsoid("AM", "Modified Airy", 6377340.189L, 299.3249646L);
    List->AddEllipsoid("FA", "Modified Fischer 1960 (South Asia)", 6378155.0L, 298.3L);
    List->AddEllipsoid("SA", "South American 1969", 6378160.0L, 298.25L);
    GisEllipsoidList = List;
  }
}

namespace {

// Builds the lists at start-up and frees them at exit.
struct TGeodeticTablesUnit {
  TGeodeticTablesUnit() { BuildGeodeticTables(); }
  ~TGeodeticTablesUnit() {
    FreeAndNil(GisDatumList);
    FreeAndNil(GisEllipsoidList);
  }
};
TGeodeticTablesUnit GeodeticTablesUnit;

}  // namespace
