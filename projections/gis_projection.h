// The common base of the map projections, the list of ready projections, and the symbol list.
//
// Use: take a projection from GisProjectionList by code, optionally SetDatum, call SetUp with
// all fifteen arguments (each projection reads those of its GetParameters set), then Project /
// Unproject. Out-of-range input is corrected with a numbered text in Warnings; EGIS_Exception is
// raised only where a computation cannot go on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/object.h"
#include "platform/set.h"
#include "platform/strings.h"
#include "projections/gis_datums.h"

// The SetUp arguments a projection reads (bit 8 is unused).
enum TGIS_ProjectionParameter {
  ppCentralMeridian = 0,
  ppOriginLatitude = 1,
  ppFalseEasting = 2,
  ppFalseNorthing = 3,
  ppStandardParallel1 = 4,
  ppStandardParallel2 = 5,
  ppZone = 6,
  ppScaleFactor = 7,
  ppAzimuth = 9,
  ppPoint1 = 10,
  ppPoint2 = 11
};
using TGIS_ProjectionParameters = TSet<TGIS_ProjectionParameter>;

// The fifteen SetUp arguments, in order.
#define GIS_SETUP_PARAMS                                                                                               \
  int32_t AZone, double ACentralMeridian, double AOriginLatitude, double AFalseEasting, double AFalseNorthing,         \
      double AStandardParallel1, double AStandardParallel2, double AScaleFactor, double AReserved1, double AReserved2, \
      double AAzimuth, double ALongitude1, double ALatitude1, double ALongitude2, double ALatitude2
// The same arguments, passed on.
#define GIS_SETUP_ARGS                                                                                             \
  AZone, ACentralMeridian, AOriginLatitude, AFalseEasting, AFalseNorthing, AStandardParallel1, AStandardParallel2, \
      AScaleFactor, AReserved1, AReserved2, AAzimuth, ALongitude1, ALatitude1, ALongitude2, ALatitude2

class TGIS_ProjectionAbstract : public TObject {
  VM_CLASS(TGIS_ProjectionAbstract, TObject)
public:
  // Starts on the default datum (WGS 84) with neutral parameters; does not prepare.
  TGIS_ProjectionAbstract();

  virtual void GetCode(std::string& Code) const = 0;
  virtual void GetDescription(std::string& Description) const = 0;
  virtual TGIS_ProjectionParameters GetParameters() const;
  // Takes the datum's ellipsoid and its constants; descendants then derive their own.
  virtual void Prepare();
  virtual void SetUp(GIS_SETUP_PARAMS);
  // Geodetic (radians) to plane (metres).
  virtual void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) = 0;
  // Plane (metres) to geodetic (radians).
  virtual void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) = 0;

  // Stores a different datum and prepares again (0200 when its ellipsoid is unknown).
  void SetDatum(TGIS_Datum* ADatum);
  // With KeepWarnings 0 the text is replaced; an empty text empties it.
  void AddWarning(const std::string& Text);

  std::string Warnings;
  int32_t KeepWarnings = 0;
  TGIS_Datum* Datum = nullptr;
  TGIS_Ellipsoid* Ellipsoid = nullptr;
  double ScaleFactor = 1.0;
  double FalseEasting = 0;
  double FalseNorthing = 0;
  double DeltaEasting = 0;
  double DeltaNorthing = 0;
  double CentralMeridian = 0;
  double OriginLatitude = 0;
  double StandardParallel1 = 0;
  double StandardParallel2 = 0;
  int32_t Zone = 0;
  double Reserved1 = 0;
  double Reserved2 = 0;
  double Azimuth = 0;
  double Longitude1 = 0;
  double Latitude1 = 0;
  double Longitude2 = 0;
  double Latitude2 = 0;
  long double A = 0;
  long double B = 0;
  long double A2 = 0;
  long double B2 = 0;
  long double E2 = 0;
  long double E = 0;
  long double Ep2 = 0;

protected:
  // SetUp checks: each corrects its value and adds its warning when it fires.
  double CheckOriginLatitude(double Value, double Limit);
  // Below -pi becomes +pi, above 2pi becomes 2pi (0245); the value is not reduced.
  double CheckCentralMeridian(double Value);
  double CheckStandardParallel1(double Value, double Limit);
  double CheckStandardParallel2(double Value, double Limit);
  // A central meridian above pi less 2pi.
  static double ReduceMeridian(double Value);
  // Below -pi becomes -pi, above 2pi becomes 2pi (0245).
  double LimitCentralMeridian(double Value);
  // A scale that is not positive becomes 1 (0248).
  double CheckPositiveScale(double Value);
  // Central meridian by the common rules (checked, then reduced), false easting and northing.
  void StoreMeridianAndFalseOrigin(double ACentralMeridian, double AFalseEasting, double AFalseNorthing);
  // Origin latitude checked to +-pi/2, then the same as StoreMeridianAndFalseOrigin.
  void StoreOriginMeridianAndFalseOrigin(double AOriginLatitude, double ACentralMeridian, double AFalseEasting,
                                         double AFalseNorthing);
  // The whole SetUp of the projections that read the central meridian and the false origin
  // (and the origin latitude, in the second): warnings reset, values stored, Prepare.
  void SetUpMeridianAndFalseOrigin(GIS_SETUP_PARAMS);
  void SetUpOriginMeridianAndFalseOrigin(GIS_SETUP_PARAMS);

  // Project checks: latitude to +-Limit (0240), longitude to [-pi, 2pi] (0241).
  void CheckLatitude(long double& Phi, long double Limit);
  void CheckLongitude(long double& Lambda);
  // Lambda less the central meridian, brought into [-pi, pi].
  long double DeltaLongitude(long double Lambda) const;
  // The common start of Project: warnings reset, Phi the latitude checked to +-pi/2 (or
  // +-LatitudeLimit), the longitude checked; returns the longitude difference.
  long double BeginProject(const TGIS_ProjPoint& Geodetic, long double& Phi);
  long double BeginProject(const TGIS_ProjPoint& Geodetic, long double& Phi, long double LatitudeLimit);
  // Projects (Lambda, Phi) and leaves Warnings as they were.
  TGIS_ProjPoint ProjectQuietly(long double Lambda, long double Phi);
  // Plane offsets plus the false origin.
  TGIS_ProjPoint PlanePoint(long double X, long double Y, double Z) const;

  // Unproject checks: the value set to the nearer end of [Low, High] (0243 / 0242).
  void CheckEasting(long double& Easting, long double Low, long double High);
  void CheckNorthing(long double& Northing, long double Low, long double High);
  // Latitude limited to +-pi/2; longitude brought into [-pi, pi] by one turn, then limited.
  static void FinishGeodetic(long double& Lambda, long double& Phi);
  // The common start of Unproject: warnings reset, the point limited to the false origin plus
  // [MinE, MaxE] x [MinN, MaxN], and its offsets from the false origin.
  void BeginUnproject(const TGIS_ProjPoint& Projected, double MinE, double MaxE, double MinN, double MaxN,
                      long double& Dx, long double& Dy);
  // FinishGeodetic, then the point.
  static TGIS_ProjPoint GeodeticPoint(long double Lambda, long double Phi, double Z);
};

using TGIS_ProjectionClass = TClass;

// One ready projection per class, keyed by code; owns the projections.
class TGIS_ProjectionList : public TStringList {
public:
  TGIS_ProjectionList();

  // A projection already held under the same code is freed and replaced.
  void AddProjection(TGIS_ProjectionAbstract* Projection);
};

// A sorted list of named objects, owned.
class TGIS_SymbolList : public TObject {
  VM_CLASS(TGIS_SymbolList, TObject)
public:
  TGIS_SymbolList();
  ~TGIS_SymbolList() override;

  void Clear();
  TStringList& Items() { return *FItems; }

private:
  std::unique_ptr<TStringList> FItems;
};

extern TGIS_ProjectionList* GisProjectionList;
extern TGIS_SymbolList* GisSymbolList;

// Builds the geodetic tables and the projection list when they do not exist yet.
void BuildProjectionList();
