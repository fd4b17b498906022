// Ellipsoidal Hotine oblique Mercator: by the centre and azimuth of the central line, or by two
// points on it. Project and Unproject raise 0235 where the formulas break down and do not
// correct their input.
#pragma once

#include "projections/gis_projection.h"

class TGIS_ProjectionHotine : public TGIS_ProjectionAbstract {
  VM_CLASS(TGIS_ProjectionHotine, TGIS_ProjectionAbstract)
public:
  TGIS_ProjectionHotine();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  // Raises 0220 for an origin latitude of 0 or +-90 degrees.
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
  void Project(const TGIS_ProjPoint& Geodetic, TGIS_ProjPoint& Projected) override;
  void Unproject(const TGIS_ProjPoint& Projected, TGIS_ProjPoint& Geodetic) override;

  double SinPhi0 = 0;
  double CosPhi0 = 1;
  long double BB = 0;
  long double AA = 0;
  long double DD = 0;
  long double EE = 0;
  long double Uc = 0;
  long double SinGamma0 = 0;
  long double CosGamma0 = 0;
  double SinAlphaC = 0;
  long double CosAlphaC = 0;
  // Longitude of the centre of the central line, as given to SetUp; the origin longitude
  // derived from it is kept in CentralMeridian.
  double CentreLongitude = 0;

protected:
  // The constants that depend on the origin latitude alone; F is returned.
  long double PrepareOrigin();
  long double TsFunc(long double Phi) const;
  // The central line's constants from its azimuth at the equator (Gamma0) and at the centre.
  void PrepareLine(long double Gamma0, long double AlphaC);
  // The SetUp checks both forms share.
  void StoreCentreAndScale(double AOriginLatitude, double ACentralMeridian, double AFalseEasting, double AFalseNorthing,
                           double AScaleFactor);
};

class TGIS_ProjectionHotine2 : public TGIS_ProjectionHotine {
  VM_CLASS(TGIS_ProjectionHotine2, TGIS_ProjectionHotine)
public:
  TGIS_ProjectionHotine2();
  void GetCode(std::string& Code) const override;
  void GetDescription(std::string& Description) const override;
  TGIS_ProjectionParameters GetParameters() const override;
  // Raises 0220 for an origin latitude of 0 or +-90 degrees or a first point on the equator or
  // a pole, 0223 when both points have the same latitude.
  void Prepare() override;
  void SetUp(GIS_SETUP_PARAMS) override;
};
