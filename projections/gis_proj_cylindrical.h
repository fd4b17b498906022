// Pass-through, earth-centred and normal cylindrical projections.
#pragma once

#include "projections/gis_math.h"
#include "projections/gis_projection.h"

// No projection: coordinates pass through unchanged.
class TGIS_ProjectionGeodetic : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionGeodetic, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionGeodetic();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;
};

// Geodetic to earth-centred cartesian on the datum's ellipsoid.
class TGIS_ProjectionGeocentric : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionGeocentric, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionGeocentric();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;
};

// Ellipsoidal normal Mercator; the origin latitude is the latitude of true scale.
class TGIS_ProjectionMercator : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionMercator, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionMercator();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  long double InvCoef1 = 0, InvCoef2 = 0, InvCoef3 = 0, InvCoef4 = 0;
};

// Miller cylindrical on the authalic sphere.
class TGIS_ProjectionMillerCyl : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionMillerCyl, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionMillerCyl();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  long double AuthalicRadius = 0;
  double MaxEasting = 20015110;
  double MinEasting = -20015110;
};

// Equidistant cylindrical on the authalic sphere; the origin latitude is the standard parallel.
class TGIS_ProjectionEQC : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionEQC, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionEQC();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  long double AuthalicRadius = 0;
  long double RaCosParallel = 0;
  double MaxEasting = 20015110;
  double MinEasting = -20015110;
};

// Ellipsoidal cylindrical equal-area; the origin latitude is the standard parallel.
class TGIS_ProjectionCEA : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionCEA, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionCEA();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  double MaxEasting = 20037509;
  double MinEasting = -20037509;
  long double AK0 = 0;
  long double TwoK0 = 0;
  gis::TAuthalicInverse AuthalicSeries;
};
