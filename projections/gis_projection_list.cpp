// Fills the projection list with one instance of each class, in this order.
#include "projections/gis_proj_cylindrical.h"
#include "projections/gis_projection.h"

void AddAllProjections(TGIS_ProjectionList& List);

void AddAllProjections(TGIS_ProjectionList& List) {
  List.AddProjection(new TGIS_ProjectionGeodetic);
  List.AddProjection(new TGIS_ProjectionGeocentric);
  List.AddProjection(new TGIS_ProjectionMercator);
  List.AddProjection(new TGIS_ProjectionEQC);
  List.AddProjection(new TGIS_ProjectionMillerCyl);
  List.AddProjection(new TGIS_ProjectionCEA);
}
