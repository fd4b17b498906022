// Ellipsoidal conic and pseudo-conic projections.
#pragma once

#include "projections/gis_math.h"
#include "projections/gis_projection.h"

// Albers equal-area conic with two standard parallels.
class TGIS_ProjectionAlbers : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionAlbers, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionAlbers();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  // Raises 0235 when the cone constant is 0 (parallels symmetric about the equator).
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  long double C = 0;
  long double Rho0 = 0;
  long double N = 0;
};

// Lambert conformal conic with one or two standard parallels.
class TGIS_ProjectionLambert : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionLambert, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionLambert();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  // Raises 0235 when the cone constant is 0 (parallels symmetric about the equator).
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  long double Rho0 = 0;
  long double AF = 0;
  long double N = 0;
};

// American polyconic.
class TGIS_ProjectionPolyconic : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionPolyconic, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionPolyconic();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  double MaxEasting = 20037509;
  double MaxNorthing = 15348215;
  double MinEasting = -20037509;
  double MinNorthing = -15348215;
  long double M0 = 0;
  gis::TMeridian MeridianSeries;
};

// Bonne pseudo-conic.
class TGIS_ProjectionBonne : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionBonne, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionBonne();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  long double Am1Sin = 0;
  long double M1 = 0;
  gis::TMeridian MeridianSeries;
  gis::TFootpoint FootpointSeries;
};
