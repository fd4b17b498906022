// Helpers of the map-projection tests: fresh projections by code and SetUp by named fields.
#pragma once

#include <cmath>
#include <memory>
#include <numbers>
#include <string>

#include "projections/gis_base.h"
#include "projections/gis_projection.h"

#include <gtest/gtest.h>

namespace gistest {

constexpr double Pi = std::numbers::pi;
constexpr double Deg = Pi / 180;

// The fifteen SetUp arguments by name; angles in radians.
struct TSetup {
  int Zone = 0;
  double CentralMeridian = 0;
  double OriginLatitude = 0;
  double FalseEasting = 0;
  double FalseNorthing = 0;
  double Parallel1 = 0;
  double Parallel2 = 0;
  double Scale = 1;
  double Azimuth = 0;
  double Longitude1 = 0;
  double Latitude1 = 0;
  double Longitude2 = 0;
  double Latitude2 = 0;
};

inline void Apply(TGIS_ProjectionAbstract& P, const TSetup& S) {
  P.SetUp(S.Zone, S.CentralMeridian, S.OriginLatitude, S.FalseEasting, S.FalseNorthing, S.Parallel1, S.Parallel2,
          S.Scale, 0, 0, S.Azimuth, S.Longitude1, S.Latitude1, S.Longitude2, S.Latitude2);
}

// A new instance of the class registered under Code in the projection list.
inline std::unique_ptr<TGIS_ProjectionAbstract> Make(const std::string& Code) {
  BuildProjectionList();
  const int Index = GisProjectionList->IndexOf(Code);
  if (Index < 0) return nullptr;
  TObject* Obj = GisProjectionList->Objects(Index)->ClassType()->NewInstance();
  return std::unique_ptr<TGIS_ProjectionAbstract>(static_cast<TGIS_ProjectionAbstract*>(Obj));
}

inline TGIS_ProjPoint Geo(double LonDeg, double LatDeg, double H = 0) { return {LonDeg * Deg, LatDeg * Deg, H}; }

// The message of the EGIS_Exception that F raises ("" when it raises none).
template <class F>
std::string GisError(F&& Call) {
  try {
    Call();
  } catch (const EGIS_Exception& E) {
    return E.Message();
  }
  return "";
}

}  // namespace gistest
