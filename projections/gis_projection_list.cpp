// Fills the projection list with one instance of each class, in this order.
#include "projections/gis_proj_azimuthal.h"
#include "projections/gis_proj_conic.h"
#include "projections/gis_proj_cylindrical.h"
#include "projections/gis_proj_oblique.h"
#include "projections/gis_proj_pseudo.h"
#include "projections/gis_proj_transverse.h"
#include "projections/gis_projection.h"

void AddAllProjections(TGIS_ProjectionList& List);

void AddAllProjections(TGIS_ProjectionList& List) {
  List.AddProjection(new TGIS_ProjectionGeodetic);
  List.AddProjection(new TGIS_ProjectionGeocentric);
  List.AddProjection(new TGIS_ProjectionAlbers);
  List.AddProjection(new TGIS_ProjectionMercator);
  List.AddProjection(new TGIS_ProjectionRobinson);
  List.AddProjection(new TGIS_ProjectionBonne);
  List.AddProjection(new TGIS_ProjectionCassini);
  List.AddProjection(new TGIS_ProjectionCEA);
  List.AddProjection(new TGIS_ProjectionTCEA);
  List.AddProjection(new TGIS_ProjectionEQC);
  List.AddProjection(new TGIS_ProjectionMillerCyl);
  List.AddProjection(new TGIS_ProjectionMollweide);
  List.AddProjection(new TGIS_ProjectionEckert4);
  List.AddProjection(new TGIS_ProjectionEckert6);
  List.AddProjection(new TGIS_ProjectionWagner4);
  List.AddProjection(new TGIS_ProjectionWagner7);
  List.AddProjection(new TGIS_ProjectionGrinten);
  List.AddProjection(new TGIS_ProjectionLambert);
  List.AddProjection(new TGIS_ProjectionOrthographic);
  List.AddProjection(new TGIS_ProjectionPolarStereographic);
  List.AddProjection(new TGIS_ProjectionPolyconic);
  List.AddProjection(new TGIS_ProjectionSinusoid);
  List.AddProjection(new TGIS_ProjectionTransverseMercator);
  List.AddProjection(new TGIS_ProjectionUTM);
  List.AddProjection(new TGIS_ProjectionHotine);
  List.AddProjection(new TGIS_ProjectionHotine2);
}
