// Projections whose cylinder touches a meridian: transverse Mercator, UTM, Cassini, transverse
// cylindrical equal-area.
#pragma once

#include <memory>

#include "projections/gis_base.h"
#include "projections/gis_math.h"
#include "projections/gis_projection.h"

// Ellipsoidal transverse Mercator by series in the longitude difference (to the eighth power).
// Keeps its own parameters and copies them into the base fields in Prepare.
class TGIS_ProjectionTransverseMercator : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionTransverseMercator, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionTransverseMercator();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  // Raises 0215 / 0216 for a point outside the projection's band.
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  TMapPoint TmOrigin;       // central meridian, origin latitude
  TMapPoint TmFalseOrigin;  // false easting, false northing
  double TmScale = 1.0;
  long double Ap = 0, Bp = 0, Cp = 0, Dp = 0, Ep = 0;

private:
  long double MeridianArc(long double Phi) const;
};

// Universal transverse Mercator: zone 1..60, or 0 to take the zone from the first point.
// Remembers the zone and the hemisphere of the last projected point for Unproject.
class TGIS_ProjectionUTM : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionUTM, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionUTM();
  ~TGIS_ProjectionUTM() override;
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  // Raises 0225 for a zone outside 0..60.
  void SetUp(GIS_SETUP_PARAMS) override;
  // Raises 0210 / 0211 outside latitude +-84.5 degrees or longitude [-pi, 2pi], 0226 for a zone
  // that does not fit the point, 0225 for a result outside the zone's grid.
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  // Raises 0215 / 0216 outside the grid, 0225 for a latitude outside [-80.5, 84.5] degrees.
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  std::unique_ptr<TGIS_ProjectionTransverseMercator> Tm;
  // True when the last projected point lay south of the equator (false northing 10000000).
  bool SouthernHemisphere = false;

private:
  void SetFixedValues();
  double ZoneMeridian() const;
};

// Ellipsoidal Cassini-Soldner.
class TGIS_ProjectionCassini : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionCassini, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionCassini();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  double MaxEasting = 20037508.4;
  double MaxNorthing = 56575846.0;
  double MinEasting = -20037508.4;
  double MinNorthing = -56575846.0;
  long double M0 = 0;
  gis::TMeridian MeridianSeries;
  gis::TFootpoint FootpointSeries;
};

// Ellipsoidal transverse cylindrical equal-area.
class TGIS_ProjectionTCEA : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionTCEA, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionTCEA();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  double MaxEasting = 6398628.0;
  double MaxNorthing = 20003931.0;
  double MinEasting = -6398628.0;
  double MinNorthing = -20003931.0;
  long double Qp = 0;
  long double M0 = 0;
  gis::TAuthalicInverse AuthalicSeries;
  gis::TFootpoint FootpointSeries;
  gis::TMeridian MeridianSeries;
};
