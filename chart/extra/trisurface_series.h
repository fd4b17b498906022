// The triangle surface: scattered (X, Y, Z) points triangulated in the X-Z plane (points added by
// growing distance from the closest pair, diagonals chosen for the larger smallest angle) and
// drawn as triangles at the heights of their corners.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "chart/engine/chart_errors.h"
#include "chart/extra/grid_series.h"

class ETriSurfaceException : public ChartException {
public:
  using ChartException::ChartException;
};

// A triangulation of points (X, Z): triangles of point indices, counterclockwise, and the convex
// border as segments with the number (0-based) of the triangle each belongs to.
struct TTriangulation {
  std::vector<std::array<int32_t, 3>> Triangles;
  struct TBorderLine {
    int32_t P1, P2, Triangle;
  };
  std::vector<TBorderLine> Border;
};

// Triangulates N points; a point equal to an earlier one (in the order 1, 2, ..., N - 1, 0) is
// left out; all points on one line give no triangle.
TTriangulation TriangulatePoints(const double* X, const double* Z, int32_t N);
// Whether the quadrilateral P1 P3 P2 P4 with the diagonal P3-P4 is better cut by P1-P2.
bool ExchangeNeeded(double X1, double Z1, double X2, double Z2, double X3, double Z3, double X4, double Z4);

class TCustomTriSurfaceSeries : public TCustom3DPaletteSeries {
  VM_CLASS(TCustomTriSurfaceSeries, TCustom3DPaletteSeries)
public:
  explicit TCustomTriSurfaceSeries(TComponent* AOwner);
  ~TCustomTriSurfaceSeries() override;

  void Triangulate();
  const TTriangulation& Triangulation() const { return FTri; }
  int32_t NumTriangles() const { return static_cast<int32_t>(FTri.Triangles.size()); }

  void FireBeforeDrawValues() override;
  void DrawVisiblePoints() override;
  void ClearValues() override;
  void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) override;
  // The 1-based number of the triangle under the position, -1 when none.
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  int32_t DefaultRandomCount() override { return 15; }
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TTriSurfaceSeriesEditor"; }

  TChartHiddenPen* Border() const { return FBorder.get(); }
  void SetBorder(TChartHiddenPen* Value) { FBorder->Assign(Value); }
  bool HideTriangles() const { return FHideTriangles; }
  void SetHideTriangles(bool Value) { SetBooleanProperty(FHideTriangles, Value); }
  // The platform offers no settable device brush colour: the setting stays off.
  bool FastBrush() const { return false; }
  void SetFastBrush(bool) {}
  int32_t Transparency() const { return FTransparency; }
  void SetTransparency(int32_t Value) { SetIntegerProperty(FTransparency, Value); }

  // The triangles of the last sorted drawing, in drawing order (1-based numbers).
  const std::vector<int32_t>& SortedOrder() const { return FSortedOrder; }

private:
  std::array<TPoint, 3> ProjectedCorners(int32_t Triangle);

  std::unique_ptr<TChartHiddenPen> FBorder;
  bool FHideTriangles = true;
  int32_t FTransparency = 0;
  TTriangulation FTri;
  // The sorted drawing: triangle numbers and their projected corners in drawing order.
  std::vector<int32_t> FSortedOrder;
  std::vector<std::array<TPoint, 3>> FSortedCorners;
};

class TTriSurfaceSeries : public TCustomTriSurfaceSeries {
  VM_CLASS(TTriSurfaceSeries, TCustomTriSurfaceSeries)
public:
  explicit TTriSurfaceSeries(TComponent* AOwner) : TCustomTriSurfaceSeries(AOwner) {}
};
