// Curve fitting (polynomial, smoothing spline, least-squares spline; optionally on logarithmic X
// and/or Y), the least-squares straight and exponential trends, and the correlation coefficient.
#pragma once

#include "chart/series/fitting_poly.h"
#include "chart/series/functions_common.h"

enum TTypeFitting { cfPolynomial, cfSplineNW, cfSplineNag };
enum TScaleKind { cfXLinYLin, cfXLinYLog, cfXLogYLin, cfXLogYLog };
extern const TEnumInfo TypeFittingInfo;
extern const TEnumInfo ScaleKindInfo;

class TCustomFittingFunction : public TFiniteSourceFunction {
  VM_CLASS(TCustomFittingFunction, TFiniteSourceFunction)
public:
  explicit TCustomFittingFunction(TComponent* AOwner);
  void CalculateFromSource(TChartSeries* Source) override;
  virtual void AddFittedPoints(TChartSeries* Source);
  double FittedValueAt(TChartSeries* Source, double X);

  int32_t Factor() const { return FFactor; }
  void SetFactor(int32_t Value);
  int32_t FirstPoint() const { return FFirstPoint; }
  void SetFirstPoint(int32_t Value);
  int32_t FirstCalcPoint() const { return FFirstCalcPoint; }
  void SetFirstCalcPoint(int32_t Value);
  int32_t LastPoint() const { return FLastPoint; }
  void SetLastPoint(int32_t Value);
  int32_t LastCalcPoint() const { return FLastCalcPoint; }
  void SetLastCalcPoint(int32_t Value);
  // The number of coefficients, 1..20; also the least number of source points for any fit.
  // Raises ChartException "Polynomial degree must be between 1 and 20" outside 1..20.
  int32_t PolyDegree() const { return FPolyDegree; }
  void SetPolyDegree(int32_t Value);
  TTypeFitting TypeFitting() const { return FTypeFitting; }
  void SetTypeFitting(TTypeFitting Value);
  TScaleKind ScaleKind() const { return FScaleKind; }
  void SetScaleKind(TScaleKind Value);
  // Knots of the least-squares spline, 1..20 (same error as the degree).
  int32_t KnotsNumber() const { return FKnotsNumber; }
  void SetKnotsNumber(int32_t Value);
  // Smoothing-spline settings; stored only.
  int32_t Key = 0;
  double S = 0;
  double P = 0;
  double Sfp = 0;

  long double Coefficient(int Index) const { return FCoefficients[Index]; }  // 1..PolyDegree
  double YOrigin = 0;
  double XOrigin = 0;

private:
  bool LogX() const { return FScaleKind == cfXLogYLin || FScaleKind == cfXLogYLog; }
  bool LogY() const { return FScaleKind == cfXLinYLog || FScaleKind == cfXLogYLog; }
  void ComputeOrigins(TChartSeries* Source);

  int32_t FFactor = 1;
  int32_t FFirstPoint = -1;
  int32_t FFirstCalcPoint = -1;
  int32_t FLastPoint = -1;
  int32_t FLastCalcPoint = -1;
  int32_t FPolyDegree = 5;
  TTypeFitting FTypeFitting = cfPolynomial;
  TScaleKind FScaleKind = cfXLinYLin;
  int32_t FKnotsNumber = 5;
  TPolyCoefficients FCoefficients{};
  bool FSplineFailed = false;
};

class TCurveFittingFunction : public TCustomFittingFunction {
  VM_CLASS(TCurveFittingFunction, TCustomFittingFunction)
public:
  explicit TCurveFittingFunction(TComponent* AOwner) : TCustomFittingFunction(AOwner) {}
};

// Least-squares trends: a straight line (style 0) or y = A e^(B x) (style 2), two points per range.
class TCustomTrendFunction : public TFiniteSourceFunction {
  VM_CLASS(TCustomTrendFunction, TFiniteSourceFunction)
public:
  enum TTrendStyle { tsLinear = 0, tsExponential = 2 };
  explicit TCustomTrendFunction(TComponent* AOwner) : TFiniteSourceFunction(AOwner) {}
  void AddRangePoint(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex, double Position) override;
  void ComputeWhole(TChartSeries* Source, TChartValueList* ValueList) override;
  double ComputeValue(TChartSeries* /*Source*/, int32_t /*FirstIndex*/, int32_t /*LastIndex*/) override { return 0; }
  double ComputeManyValue(TDataSourcesList* /*Sources*/, int32_t /*ValueIndex*/) override { return 0; }

  // Sums over the range (-1: the whole source); false for fewer than two points. A negative value
  // under the exponential style raises EInvalidOp.
  bool Accumulate(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex);
  // Linear: y = M x + B. Exponential: y = A e^(B x) with M the exponent B and B the factor A.
  void CalcCoefficients(double& M, double& B);
  double TrendValue(double X);

  TTrendStyle Style = tsLinear;
  double N = 0, SumX = 0, SumXY = 0, SumY = 0, SumX2 = 0, SumY2 = 0;
};

class TTrendFunction : public TCustomTrendFunction {
  VM_CLASS(TTrendFunction, TCustomTrendFunction)
public:
  explicit TTrendFunction(TComponent* AOwner) : TCustomTrendFunction(AOwner) {}
};

class TExpTrendFunction : public TCustomTrendFunction {
  VM_CLASS(TExpTrendFunction, TCustomTrendFunction)
public:
  explicit TExpTrendFunction(TComponent* AOwner) : TCustomTrendFunction(AOwner) { Style = tsExponential; }
};

// The correlation coefficient of X and Y: one value, or a flat line across the source's X range.
class TCorrelationFunction : public TCustomTrendFunction {
  VM_CLASS(TCorrelationFunction, TCustomTrendFunction)
public:
  explicit TCorrelationFunction(TComponent* AOwner) : TCustomTrendFunction(AOwner) {}
  void AddRangePoint(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex, double Position) override;
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;
  double Correlation(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex);
};

// Puts the fitting, trend and correlation functions on the gallery's extended page.
void RegisterTrendFunctions();
void UnregisterTrendFunctions();
