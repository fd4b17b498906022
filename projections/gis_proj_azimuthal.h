// Azimuthal projections: orthographic and polar stereographic.
#pragma once

#include "projections/gis_projection.h"

// Orthographic view of the authalic sphere, centred on (central meridian, origin latitude).
class TGIS_ProjectionOrthographic : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionOrthographic, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionOrthographic();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  double AuthalicRadius = 0;
  double CosOrigin = 1;
  double SinOrigin = 0;
};

// Ellipsoidal polar stereographic. The origin latitude is the latitude of true scale (its sign
// picks the north or south aspect); the central meridian is the longitude down from the pole.
class TGIS_ProjectionPolarStereographic : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionPolarStereographic, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionPolarStereographic();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  long double Mc = 1;
  long double Tc = 1;
  long double AMc = 6378137;
  long double E4 = 1.0033L;
  long double Southern = 0;

private:
  long double P(long double X) const;
  bool TrueScaleAtPole() const;
};
