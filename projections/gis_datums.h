// Reference ellipsoids and datums of the map-projection kit, their global lists, and the
// conversions between geodetic and earth-centred coordinates. Angles are radians, lengths metres.
#pragma once

#include <cstdint>
#include <string>

#include "platform/object.h"
#include "platform/strings.h"

// A point of the kit: longitude, latitude (radians) and height, or easting, northing (metres)
// and height, or earth-centred X, Y, Z.
struct TGIS_ProjPoint {
  double X = 0;
  double Y = 0;
  double Z = 0;
};

// A reference ellipsoid with every constant derived from a and 1/f.
class TGIS_Ellipsoid : public TObject {
  VM_CLASS(TGIS_Ellipsoid, TObject)
public:
  std::string Code;
  std::string Name;
  std::string Description;
  long double SemiMajorAxis = 0;
  long double SemiMinorAxis = 0;
  long double Flattening = 0;
  long double SemiMajorSquared = 0;
  long double SemiMinorSquared = 0;
  long double EccentricitySquared = 0;
  long double Eccentricity = 0;
  long double SecondEccentricitySquared = 0;
  long double SecondEccentricity = 0;
};

// A geodetic datum: its ellipsoid and its shift to WGS 84 (kept, never applied).
class TGIS_Datum : public TObject {
  VM_CLASS(TGIS_Datum, TObject)
public:
  uint8_t DatumType = 0;  // 0 WGS 84, 1 WGS 72, 2 three-parameter, 3 seven-parameter
  std::string Code;
  std::string Name;
  std::string Description;
  std::string EllipsoidCode;
  double DeltaX = 0;
  double DeltaY = 0;
  double DeltaZ = 0;
  double SigmaX = 0;
  double SigmaY = 0;
  double SigmaZ = 0;
  double RotationX = 0;
  double RotationY = 0;
  double RotationZ = 0;
  double West = 0;
  double South = 0;
  double East = 0;
  double North = 0;
  double Scale = 1.0;
};

// Sorted, case-insensitive list of ellipsoids keyed by code; owns its records.
class TGIS_EllipsoidList : public TStringList {
public:
  TGIS_EllipsoidList();

  // Replaces the record of an existing code in place, otherwise inserts in sorted position.
  void AddEllipsoid(const std::string& Code, const std::string& Name, long double SemiMajorAxis,
                    long double InverseFlattening);
  // nullptr when there is no such code.
  TGIS_Ellipsoid* FindByCode(const std::string& Code) const;
};

// Sorted, case-insensitive list of datums keyed by code; owns its records and remembers where
// "WGE" (the default datum) stands.
class TGIS_DatumList : public TStringList {
public:
  TGIS_DatumList();

  // N1..N10 are read by datum type: see the built-in table.
  void AddDatum(uint8_t DatumType, const std::string& Code, const std::string& Name, const std::string& EllipsoidCode,
                double N1, double N2, double N3, double N4, double N5, double N6, double N7, double N8, double N9,
                double N10);
  // The "WGE" datum; nullptr while none was added.
  TGIS_Datum* DefaultDatum() const;
  // nullptr when there is no such code.
  TGIS_Datum* FindByCode(const std::string& Code) const;

private:
  int FDefaultIndex = -1;
};

extern TGIS_EllipsoidList* GisEllipsoidList;
extern TGIS_DatumList* GisDatumList;

// The ellipsoid of the datum; raises EGIS_Exception 0200 when its code is unknown.
TGIS_Ellipsoid* EllipsoidOfDatum(const TGIS_Datum* Datum);

// (longitude, latitude, height) to earth-centred (X, Y, Z); raises 0210 / 0211 for a latitude
// beyond +-pi/2 or a longitude beyond +-pi, leaving Out untouched.
void GeodeticToGeocentric(const TGIS_Ellipsoid* Ellipsoid, const TGIS_ProjPoint& In, TGIS_ProjPoint& Out);
// Earth-centred (X, Y, Z) to (longitude, latitude, height), closed form without iteration.
void GeocentricToGeodetic(const TGIS_Ellipsoid* Ellipsoid, const TGIS_ProjPoint& In, TGIS_ProjPoint& Out);

// Creates and fills each global list that does not exist yet (datums first, then ellipsoids).
void BuildGeodeticTables();

// Puts Obj under Code in a sorted list that owns its objects: an existing entry keeps its
// position, gets Obj and its old object is freed.
void GisAddOrReplace(TStringList& List, const std::string& Code, TObject* Obj);
