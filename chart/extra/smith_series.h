// The Smith chart: normalised impedances r + jx plotted on the circle of the reflection
// coefficient, over a grid of constant-resistance circles and constant-reactance arcs drawn by
// the chart's first active Smith series.
#pragma once

#include <memory>
#include <string>

#include "chart/series/line_series.h"
#include "chart/series/pie_series.h"

class TSeriesPointer;

class TSmithSeries : public TCircledSeries {
  VM_CLASS(TSmithSeries, TCircledSeries)
public:
  explicit TSmithSeries(TComponent* AOwner);
  ~TSmithSeries() override;

  // The screen point of r + jx; beyond the integer range: ERangeError.
  void ZToPos(double Resistance, double Reactance, int& X, int& Y) const;
  int32_t AddImpedance(double Resistance, double Reactance, const std::string& Label = "", TColor Colour = clDefault) {
    return AddPoint(Resistance, Reactance, Label, Colour);
  }

  TChartValueList* ResistanceValues() const { return XValues(); }
  void SetResistanceValues(TChartValueList* Value) { SetXValues(Value); }
  TChartValueList* ReactanceValues() const { return YValues(); }
  void SetReactanceValues(TChartValueList* Value) { SetYValues(Value); }
  TSeriesPointer* Pointer() const { return FPointer.get(); }
  void SetPointer(TSeriesPointer* Value);
  TChartPen* CirclePen() const { return FCirclePen.get(); }
  void SetCirclePen(TChartPen* Value) { FCirclePen->Assign(Value); }
  const std::string& ImagSymbol() const { return FImagSymbol; }
  void SetImagSymbol(const std::string& Value) { SetStringProperty(FImagSymbol, Value); }

  // The resistance circles and their labels are the horizontal axis' grid and labels, the
  // reactance arcs the vertical axis'.
  bool RLabels() const;
  void SetRLabels(bool Value);
  TGraphFont* RLabelsFont() const;
  void SetRLabelsFont(TGraphFont* Value);
  TChartPen* RCirclePen() const;
  void SetRCirclePen(TChartPen* Value);
  bool CLabels() const;
  void SetCLabels(bool Value);
  TGraphFont* CLabelsFont() const;
  void SetCLabelsFont(TGraphFont* Value);
  TChartPen* CCirclePen() const;
  void SetCCirclePen(TChartPen* Value);

  int32_t ScreenXAt(int32_t Index) override;
  int32_t ScreenYAt(int32_t Index) override;
  void DrawOneValue(int32_t ValueIndex) override;
  void DrawVisiblePoints() override;
  void FireBeforeDrawValues() override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void SetParentChart(TCustomAxisPanel* Value) override;
  void Assign(TPersistent* Source) override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  static void ClassEditorName(std::string& Name) { Name = "TSmithSeriesEdit"; }

  TOnGetPointerStyle OnGetPointerStyle;

  void DrawResistanceCircle(double R, bool WithLabel);
  void DrawReactanceArcs(double X, bool WithLabel);

private:
  bool IsFirstSmith();
  void DrawReactanceLabel(int X, int Y, double Value);

  std::unique_ptr<TSeriesPointer> FPointer;
  std::unique_ptr<TChartPen> FCirclePen;
  std::string FImagSymbol = "i";
  int FLastX = 0, FLastY = 0;
};

void RegisterSmithSeries();
void UnregisterSmithSeries();
