// The contour series: iso-lines of the heights of a grid over the X-Z plane, one set of polylines
// per level, the levels computed evenly over the height range or given one by one.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "chart/extra/bspline.h"
#include "chart/extra/grid_series.h"
#include "platform/collection.h"

class TContourSeries;

// The polylines of one level, in X and Z values.
using TLevelPolyline = std::vector<T2DPoint>;
using TLevelSegments = std::vector<TLevelPolyline>;

class TContourLevel : public TCollectionItem {
  VM_CLASS(TContourLevel, TCollectionItem)
public:
  explicit TContourLevel(TCollection* Collection);
  ~TContourLevel() override;

  void Assign(TPersistent* Source) override;

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  double UpToValue() const { return FUpToValue; }
  void SetUpToValue(double Value);
  // Created on first read in the level's colour.
  TChartPen* Pen();
  // nullptr frees the level's own pen: the level then draws with the series' pen.
  void SetPen(TChartPen* Value);
  bool DefaultPen() const { return !FPen; }
  // The pen the level draws with: its own or the series'.
  TChartPen* DrawPen();
  TContourSeries* Series() const;

  TLevelSegments Segments;

private:
  void ValueChanged();

  TColor FColor = clAutoColor;
  double FUpToValue = 0;
  std::unique_ptr<TChartPen> FPen;
};

class TContourLevels : public TOwnedCollection {
  VM_CLASS(TContourLevels, TOwnedCollection)
public:
  explicit TContourLevels(TContourSeries* AOwner);
  TContourLevel* Level(int Index) const { return static_cast<TContourLevel*>(Items(Index)); }
  TContourLevel* AddLevel() { return static_cast<TContourLevel*>(Add()); }

protected:
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;
};

// B-spline smoothing of the drawn lines (flat charts only).
class TSmoothPoints : public TPersistent {
  VM_CLASS(TSmoothPoints, TPersistent)
public:
  explicit TSmoothPoints(TChartSeries* AOwner = nullptr) : FOwner(AOwner) {}
  // Copies Active only.
  void Assign(TPersistent* Source) override;

  bool Active() const { return FActive; }
  void SetActive(bool Value);
  bool Interpolate() const { return FInterpolate; }
  void SetInterpolate(bool Value);
  // The curve through the points: steps = 4 per point (at most 600), steps + 1 whole pixels.
  std::vector<TPoint> SmoothPolyline(const std::vector<TPoint>& Points) const;

private:
  TChartSeries* FOwner;
  bool FActive = false;
  bool FInterpolate = false;
};

using TOnGetLevelEvent = std::function<void(TContourSeries* Sender, int32_t LevelIndex, double& Value, TColor& Color)>;
using TOnBeforeDrawLevelEvent = std::function<void(TContourSeries* Sender, int32_t LevelIndex)>;

class TContourSeries : public TCustom3DGridSeries {
  VM_CLASS(TContourSeries, TCustom3DGridSeries)
public:
  explicit TContourSeries(TComponent* AOwner);
  ~TContourSeries() override;

  void CreateAutoLevels();
  int32_t GetNumLevels() const;
  // Runs the contouring over the grid: the levels' polylines afterwards.
  void CalcLevelSegments();

  void PrepareForDraw() override;
  void DrawVisiblePoints() override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  int32_t LegendEntryCount() override;
  TColor LegendEntryColor(int32_t ValueIndex) override;
  void FormatLegendText(int32_t ValueIndex, TLegendTextStyle Style, std::string& Text) override;
  double HighestY() override;
  double LowestY() override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TContourSeriesEditor"; }

  bool AutomaticLevels() const { return FAutomaticLevels; }
  void SetAutomaticLevels(bool Value);
  int32_t NumLevels() const { return GetNumLevels(); }
  void SetNumLevels(int32_t Value);
  TContourLevels* Levels() const { return FLevels.get(); }
  void SetLevels(TContourLevels* Value) { FLevels->Assign(Value); }
  double YPosition() const { return FYPosition; }
  void SetYPosition(double Value) { SetDoubleProperty(FYPosition, Value); }
  bool YPositionLevel() const { return FYPositionLevel; }
  void SetYPositionLevel(bool Value) { SetBooleanProperty(FYPositionLevel, Value); }
  TSmoothPoints* Smoothing() const { return FSmoothing.get(); }
  void SetSmoothing(TSmoothPoints* Value) { FSmoothing->Assign(Value); }

  TOnGetLevelEvent OnGetLevel;
  TOnBeforeDrawLevelEvent OnBeforeDrawLevel;

  // Set while the series itself creates or frees its levels.
  bool InternalChange = false;
  // The field only: a level made, changed or freed by hand turns the automatic levels off.
  void LevelsChangedByHand() {
    if (!InternalChange) FAutomaticLevels = false;
  }

  bool LevelsStored() const { return !FAutomaticLevels; }

private:
  void AddSegment(TContourLevel* Level, const T2DPoint& P1, const T2DPoint& P2);

  bool FAutomaticLevels = true;
  int32_t FNumLevels = 10;
  double FYPosition = 0;
  bool FYPositionLevel = false;
  std::unique_ptr<TContourLevels> FLevels;
  std::unique_ptr<TSmoothPoints> FSmoothing;
};
