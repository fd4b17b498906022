// The uniform cubic B-spline of 2D control points (optionally solved to pass through them) and
// the smoothing function that replaces its source by such a curve.
#pragma once

#include <cstdint>
#include <vector>

#include "chart/engine/graph_function.h"

struct T2DPoint {
  double X = 0;
  double Y = 0;
};
using T2DPointList = std::vector<T2DPoint>;
using TKnuckleList = std::vector<bool>;
using TVertexList = std::vector<T2DPoint>;

// Control points are numbered 1..PointCount. Built lazily: VertexCount and CurvePoint build the
// vertex list on first use after a change of points, knuckles or Interpolate.
class TBSpline {
public:
  TBSpline() { Clear(); }

  void Clear();
  void AddPoint(double X, double Y);
  void SetCapacity(int32_t N);
  // Range error outside 1..PointCount.
  T2DPoint GetPoint(int32_t I) const;
  void SetPoint(int32_t I, const T2DPoint& P);
  // Never true for the first and the last point.
  bool IsKnuckle(int32_t I) const;
  void SetKnuckle(int32_t I, bool Value);
  bool Interpolate() const { return FInterpolate; }
  void SetInterpolate(bool Value);
  int32_t StepCount() const { return FStepCount; }
  // At most 600.
  void SetStepCount(int32_t N);
  bool Built() const { return FBuilt; }
  void SetBuilt(bool Value);
  int32_t PointCount() const { return FPointCount; }
  int32_t Capacity() const { return FCapacity; }
  int32_t VertexCount();
  void Build();
  // The curve point at parameter U in 0..1; (0, 0) with fewer than two control points.
  T2DPoint CurvePoint(double U);
  const TVertexList& Vertices() const { return FVertices; }

private:
  void CheckIndex(int32_t I) const;
  // The interpolation system: three diagonals of rows 1..n (sub, main, super).
  void SolveVertices(int32_t N);

  T2DPointList FPoints;
  TKnuckleList FKnuckles;
  TVertexList FVertices;
  int32_t FPointCount = 0;
  int32_t FCapacity = 0;
  int32_t FVertexTotal = 0;
  bool FBuilt = false;
  bool FInterpolate = false;
  int32_t FStepCount = 100;
};

class TSmoothingFunction : public TGraphFunction {
  VM_CLASS(TSmoothingFunction, TGraphFunction)
public:
  explicit TSmoothingFunction(TComponent* AOwner);

  void CalculateFromSource(TChartSeries* Source) override;
  void GetEditorClassName(std::string& Name) override { Name = "TSmoothFuncEditor"; }

  bool Interpolate() const { return FInterpolate; }
  void SetInterpolate(bool Value);
  int32_t Factor() const { return FFactor; }
  // Stored as at least 1.
  void SetFactor(int32_t Value);

private:
  bool FInterpolate = true;
  int32_t FFactor = 4;
};
