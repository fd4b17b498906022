// The data table: beside the position axis, a table of the series values with one column per axis
// label and one row per active series, and an optional legend column naming each row. The axis
// keeps room for the table through the axes' label-size hook.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "chart/engine/graph_shapes.h"
#include "chart/engine/legend.h"
#include "chart/engine/tool_base.h"

// The legend column of the table: each row's series title and symbol.
class TTableLegend : public TGraphCustomShape {
  VM_CLASS(TTableLegend, TGraphCustomShape)
public:
  explicit TTableLegend(IGraphShapeParent* Parent = nullptr);
  ~TTableLegend() override;
  void Assign(TPersistent* Source) override;

  bool FontSeriesColor() const { return FFontSeriesColor; }
  void SetFontSeriesColor(bool Value);
  bool OtherSide() const { return FOtherSide; }
  void SetOtherSide(bool Value);
  TLegendSymbol* Symbol() const { return FSymbol.get(); }
  void SetSymbol(TLegendSymbol* Value) { FSymbol->Assign(Value); }
  // The symbol's width for a column of text TextWidth wide (0 when hidden).
  int32_t SymbolWidth(int32_t TextWidth, int32_t FontHeight) const;

private:
  bool FFontSeriesColor = false;
  bool FOtherSide = false;
  std::unique_ptr<TLegendSymbol> FSymbol;
};

class TDataTableTool : public TGraphCustomTool {
  VM_CLASS(TDataTableTool, TGraphCustomTool)
public:
  explicit TDataTableTool(TComponent* AOwner);
  ~TDataTableTool() override;

  static void ClassEditorName(std::string& Name) { Name = "TDataTableEditor"; }
  void GetDescription(std::string& Text) override;
  void HandleChartStage(TToolDrawStage Stage) override;
  void SetParentChart(TCustomAxisPanel* Value) override;

  // -- layout -------------------------------------------------------------------------------------
  // The chart's active series that are not XYZ series, in chart order.
  std::vector<TChartSeries*> TableSeries() const;
  TChartAxis* GetTableAxis() const;
  bool HorizontalTable() const;
  // The row height: the font height, or the width of "#.###" for a vertical table.
  int32_t RowHeight() const;
  int32_t TableSize() const;
  // The widest title plus the font height, plus the symbol's width (returned in SymbolWidth).
  int32_t TableLegendWidth(int32_t* SymbolWidth = nullptr) const;
  // The axes' label-size hook: the room the axis keeps for its labels.
  int32_t AdjustAxisSize(TChartAxis* Axis, int32_t Size);
  // The base line across the axis (P) and the shift along it (D).
  void CalcTablePosition(int32_t& P, int32_t& D);
  // The border after the rows of the series below chart index I (above it when inverted).
  int32_t RowPosition(int32_t I, int32_t P) const;
  int32_t RowIndexFor(int32_t SeriesIndex) const;
  void DrawTable();

  // -- properties ---------------------------------------------------------------------------------
  bool AutoPosition() const { return FAutoPosition; }
  void SetAutoPosition(bool Value) { SetBooleanProperty(FAutoPosition, Value); }
  bool ClipText() const { return FClipText; }
  void SetClipText(bool Value) { SetBooleanProperty(FClipText, Value); }
  TChartPen* ColumnPen() const { return FColumnPen.get(); }
  void SetColumnPen(TChartPen* Value) { FColumnPen->Assign(Value); }
  TGraphFont* Font() const { return FFont.get(); }
  void SetFont(TGraphFont* Value) { FFont->Assign(Value); }
  bool Inverted() const { return FInverted; }
  void SetInverted(bool Value) { SetBooleanProperty(FInverted, Value); }
  int32_t Left() const { return FLeft; }
  void SetLeft(int32_t Value) { SetIntegerProperty(FLeft, Value); }
  int32_t Top() const { return FTop; }
  void SetTop(int32_t Value) { SetIntegerProperty(FTop, Value); }
  TTableLegend* Legend() const { return FLegend.get(); }
  void SetLegend(TTableLegend* Value) { FLegend->Assign(Value); }
  TChartPen* RowPen() const { return Pen(); }
  void SetRowPen(TChartPen* Value) { Pen()->Assign(Value); }

private:
  void InstallHook(TCustomAxisPanel* Chart, bool Install);
  void DrawTableLegend(int32_t Start, int32_t End, int32_t P, bool Horizontal);

  bool FAutoPosition = true;
  bool FClipText = true;
  std::unique_ptr<TChartPen> FColumnPen;
  std::unique_ptr<TGraphFont> FFont;
  bool FInverted = false;
  int32_t FLeft = 0, FTop = 0;
  std::unique_ptr<TTableLegend> FLegend;
};

void RegisterDataTableTool();
void UnregisterDataTableTool();
