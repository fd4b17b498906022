// Three small series tools: a band filled between two series (behind or over them), a second
// legend listing the values of one series, and the pie tool that outlines or slides out the slice
// under the mouse.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "chart/engine/legend.h"
#include "chart/engine/tool_base.h"

class TPieSeries;

class TSeriesBandTool : public TGraphCustomToolSeries {
  VM_CLASS(TSeriesBandTool, TGraphCustomToolSeries)
public:
  explicit TSeriesBandTool(TComponent* AOwner);
  ~TSeriesBandTool() override;

  static void ClassEditorName(std::string& Name) { Name = "TSeriesBandToolEdit"; }
  void GetDescription(std::string& Text) override;
  void HandleChartStage(TToolDrawStage Stage) override;
  void SetSeries(TChartSeries* Value) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  virtual void SetSeries2(TChartSeries* Value);
  // Fills between the two series' visible points, clipped to the chart rectangle.
  virtual void DrawBand();

  TChartSeries* Series2() const { return FSeries2; }
  bool DrawBehindSeries() const { return FDrawBehindSeries; }
  void SetDrawBehindSeries(bool Value) { SetBooleanProperty(FDrawBehindSeries, Value); }
  TGraphGradient* Gradient() const { return FGradient.get(); }
  void SetGradient(TGraphGradient* Value) { FGradient->Assign(Value); }
  int32_t Transparency() const { return FTransparency; }
  void SetTransparency(int32_t Value);

private:
  void Hook(TChartSeries* S);
  void Unhook(TChartSeries* S);
  void SeriesDrawn(TObject* Sender, bool Before);

  TChartSeries* FSeries2 = nullptr;
  std::unique_ptr<TGraphGradient> FGradient;
  bool FDrawBehindSeries = true;
  int32_t FTransparency = 0;
  bool FDrawn1 = false, FDrawn2 = false;
};

class TExtraLegendTool : public TGraphCustomToolSeries {
  VM_CLASS(TExtraLegendTool, TGraphCustomToolSeries)
public:
  explicit TExtraLegendTool(TComponent* AOwner);
  ~TExtraLegendTool() override;

  static void ClassEditorName(std::string& Name) { Name = "TExtraLegendEditor"; }
  void GetDescription(std::string& Text) override;
  void HandleChartStage(TToolDrawStage Stage) override;
  void SetParentChart(TCustomAxisPanel* Value) override;
  void SetSeries(TChartSeries* Value) override;

  // Made on first use, placed by hand and listing values.
  TChartLegend* Legend();
  void SetLegend(TChartLegend* Value) { Legend()->Assign(Value); }
  TChartLegend* LegendOrNull() const { return FLegend.get(); }

private:
  std::unique_ptr<TChartLegend> FLegend;
};

enum TPieToolStyle { ptFocus, ptExplode };
extern const TEnumInfo PieToolStyleInfo;

class TPieTool : public TGraphCustomToolSeries {
  VM_CLASS(TPieTool, TGraphCustomToolSeries)
public:
  explicit TPieTool(TComponent* AOwner);

  static void ClassEditorName(std::string& Name) { Name = "TPieToolEditor"; }
  void GetDescription(std::string& Text) override;
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

  TPieToolStyle Style() const { return FStyle; }
  void SetStyle(TPieToolStyle Value) { FStyle = Value; }
  // The slice under the mouse, -1 for none.
  int32_t Slice() const { return FSlice; }
  // Marks (On) or releases a slice.
  void MarkSlice(int32_t Slice, bool On);

private:
  TPieSeries* Pie() const;
  TPieToolStyle FStyle = ptFocus;
  int32_t FSlice = -1;
};

void RegisterSeriesBandTools();
void UnregisterSeriesBandTools();
