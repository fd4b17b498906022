// The map series: filled polygons (shapes), each with its own outline, Z value, text and colour;
// one chart point per polygon carries the Z, the text and the colour, so palettes and colour
// ranges colour the regions by value. In a 3D chart each polygon lies at the depth of its Z.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "chart/engine/graph_effects.h"
#include "chart/extra/grid_series.h"
#include "platform/collection.h"

class TMapSeries;
class TGraphPolygon;
class TGraphCanvas3D;

// The outline of one polygon (its X and Y lists), with the polygon's own pen and brush. Never
// added to a chart.
class TPolygonSeries : public TChartSeries {
  VM_CLASS(TPolygonSeries, TChartSeries)
public:
  explicit TPolygonSeries(TComponent* AOwner);
  TGraphPolygon* Polygon() const { return FPolygon; }

  void SetActive(bool Value) override;
  void NotifyDependents(TValueChangeKind Kind, int32_t ValueIndex) override;
  void SetSeriesColor(TColor Value) override;
  void FillSampleValues(int32_t) override {}

private:
  friend class TGraphPolygon;
  TGraphPolygon* FPolygon = nullptr;
};

class TGraphPolygon : public TCollectionItem {
  VM_CLASS(TGraphPolygon, TCollectionItem)
public:
  explicit TGraphPolygon(TCollection* Collection);
  ~TGraphPolygon() override;

  void DefineProperties(TFiler* Filer) override;

  void AddXY(double X, double Y);
  // The screen points of the outline (cached until the next call).
  const std::vector<TPoint>& CalcScreenPoints();
  TRect Bounds();
  void Draw(TGraphCanvas3D* Canvas, int32_t ValueIndex);
  bool IsVisibleInChart();
  // The pixel rectangle of the outline's value extremes.
  TRect ValueBounds();

  TMapSeries* MapSeries() const { return FMap; }
  TPolygonSeries* Points() const { return FPoints.get(); }

  bool Closed() const { return FClosed; }
  void SetClosed(bool Value);
  TColor Color() const;
  void SetColor(TColor Value);
  TChartPen* Pen() const { return FPoints->Pen(); }
  void SetPen(TChartPen* Value) { FPoints->Pen()->Assign(Value); }
  TChartBrush* Brush() const { return FPoints->Brush(); }
  void SetBrush(TChartBrush* Value) { FPoints->Brush()->Assign(Value); }
  bool ParentPen() const { return FParentPen; }
  void SetParentPen(bool Value);
  bool ParentBrush() const { return FParentBrush; }
  void SetParentBrush(bool Value);
  // Created on first read; nullptr frees it.
  TGraphGradient* Gradient();
  void SetGradient(TGraphGradient* Value);
  TGraphGradient* GradientOrNull() const { return FGradient.get(); }
  std::string Text() const;
  void SetText(const std::string& Value);
  int32_t Transparency() const { return FTransparency; }
  void SetTransparency(int32_t Value);
  double Z() const;
  void SetZ(double Value);

  bool ColorStored() const;

private:
  void Repaint();

  TMapSeries* FMap = nullptr;
  std::unique_ptr<TPolygonSeries> FPoints;
  std::unique_ptr<TGraphGradient> FGradient;
  std::vector<TPoint> FScreen;
  bool FClosed = true;
  bool FParentPen = true;
  bool FParentBrush = true;
  int32_t FTransparency = 0;
};

class TGraphPolygonList : public TOwnedCollection {
  VM_CLASS(TGraphPolygonList, TOwnedCollection)
public:
  explicit TGraphPolygonList(TMapSeries* AOwner);
  TGraphPolygon* AddPolygon() { return static_cast<TGraphPolygon*>(Add()); }
  TGraphPolygon* GetPolygon(int Index) const { return static_cast<TGraphPolygon*>(Items(Index)); }
  TGraphPolygon* operator[](int Index) const { return GetPolygon(Index); }
  void DeleteRange(int Index, int Count);
  TMapSeries* MapSeries() const;
};

class TMapSeries : public TCustom3DPaletteSeries {
  VM_CLASS(TMapSeries, TCustom3DPaletteSeries)
public:
  explicit TMapSeries(TComponent* AOwner);
  ~TMapSeries() override;

  void DefineProperties(TFiler* Filer) override;
  void Assign(TPersistent* Source) override;
  void DrawOneValue(int32_t ValueIndex) override;
  void DrawVisiblePoints() override;
  void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  double HighestX() override;
  double HighestY() override;
  double LowestX() override;
  double LowestY() override;
  void GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) override;
  void GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin) override;
  void ClearValues() override;
  void Delete(int32_t ValueIndex) override;
  void DeleteRange(int32_t Start, int32_t Quantity, bool RenumberPositions = false) override;
  void ExchangePoints(int32_t Index1, int32_t Index2) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void SetGalleryView3D(bool Value) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  int32_t DefaultRandomCount() override { return 12; }
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  static void ClassEditorName(std::string& Name) { Name = "TMapSeriesEditor"; }

  TGraphPolygonList* Shapes() const { return FShapes.get(); }
  void SetShapes(TGraphPolygonList* Value) { FShapes->Assign(Value); }

  // While set, a polygon made in the collection appends no point (the points are there already).
  bool AddingOwnPoints = false;

private:
  double Extreme(bool X, bool Highest);

  std::unique_ptr<TGraphPolygonList> FShapes;
};
