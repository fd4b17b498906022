// Pseudocylindrical and other whole-world projections. Each reads the central meridian, false
// easting and false northing.
#pragma once

#include "projections/gis_math.h"
#include "projections/gis_projection.h"

// Sinusoidal, on the ellipsoid.
class TGIS_ProjectionSinusoid : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionSinusoid, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionSinusoid();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  double MaxEasting = 20037509;
  double MinEasting = -20037509;
  gis::TMeridian MeridianSeries;
  gis::TFootpoint FootpointSeries;
};

// Mollweide pseudocylindrical on the authalic sphere.
class TGIS_ProjectionMollweide : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionMollweide, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionMollweide();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  long double Sqrt2Ra = 0;
  long double Sqrt8Ra = 0;
  double MaxEasting = 18019930;
  double MinEasting = -18019930;
};

// Eckert IV on the authalic sphere.
class TGIS_ProjectionEckert4 : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionEckert4, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionEckert4();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  double Ra0 = 0;
  double Ra1 = 0;
  double MaxEasting = 16902288;
  double MinEasting = -16902288;
};

// Eckert VI on the authalic sphere.
class TGIS_ProjectionEckert6 : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionEckert6, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionEckert6();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  long double RaOverSqrt2PlusPi = 0;
  long double Sqrt2PlusPiOverRa = 0;
  double MaxEasting = 17653838;
  double MinEasting = -17653838;
};

// Wagner IV on the authalic sphere.
class TGIS_ProjectionWagner4 : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionWagner4, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionWagner4();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  double Ra0 = 0;
  double Ra1 = 0;
  double MaxEasting = 17653838;
  double MinEasting = -17653838;
};

// Wagner VII on the authalic sphere.
class TGIS_ProjectionWagner7 : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionWagner7, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionWagner7();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  double Ra = 0;
  double MaxEasting = 17653838;
  double MinEasting = -17653838;
};

// Robinson, by interpolation in two tables of 5-degree steps.
class TGIS_ProjectionRobinson : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionRobinson, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionRobinson();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  // Raises 0235 when the latitude cannot be found.
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  // Northing and easting factors from -5 degrees (index 0) to 90 degrees (index 19).
  long double PR[20];
  long double XLR[20];

private:
  // Second-order interpolation of a table at a latitude (radians).
  long double Interpolate(const long double* Table, long double Phi) const;
};

// Van der Grinten on a sphere of the authalic radius over the root of (2 + pi).
class TGIS_ProjectionGrinten : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionGrinten, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionGrinten();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  long double R = 0;
  long double PiR = 0;
};
