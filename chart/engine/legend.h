// The legend: the framed box beside or above the plot that lists the chart's series or the values
// of one series, with symbols, check boxes and dividing lines; it gives the rest of the chart
// rectangle back to the plot and answers which item lies under a point.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/graph_panel.h"
#include "chart/engine/graph_shapes.h"
#include "chart/engine/series_base.h"
#include "platform/strings.h"

class TCustomAxisPanel;
class TCustomChart;
class TCustomChartLegend;
class TLegendTitle;

// A framed shape that the user may place.
class TGraphCustomShapePosition : public TGraphCustomShape {
  VM_CLASS(TGraphCustomShapePosition, TGraphCustomShape)
public:
  explicit TGraphCustomShapePosition(IGraphShapeParent* Parent = nullptr) : TGraphCustomShape(Parent) {}
  void Assign(TPersistent* Source) override;

  bool CustomPosition() const { return FCustomPosition; }
  void SetCustomPosition(bool Value);
  int32_t Left() const { return BoxRect.Left; }
  void SetLeft(int32_t Value);
  int32_t Top() const { return BoxRect.Top; }
  void SetTop(int32_t Value);
  bool DefaultCustomPosition = false;

protected:
  bool FCustomPosition = false;
};

enum TLegendAlignment { laLeft, laRight, laTop, laBottom };
enum TCheckBoxesStyle { cbsCheck, cbsRadio };
enum TLegendStyle { lsAuto, lsSeries, lsValues, lsLastValues };
enum TLegendSymbolPosition { spLeft, spRight };
enum TLegendSymbolSize { lcsPercent, lcsPixels };

class TChartLegendGradient : public TGraphGradient {
  VM_CLASS(TChartLegendGradient, TGraphGradient)
public:
  explicit TChartLegendGradient(const TNotifyEvent& OnChangeEvent = nullptr);
};

using TSymbolDrawEvent = std::function<void(TObject* Sender, TChartSeries* Series, int32_t ValueIndex, const TRect& R)>;

// The symbol column of the legend items.
class TLegendSymbol : public TPersistent {
  VM_CLASS(TLegendSymbol, TPersistent)
public:
  explicit TLegendSymbol(TCustomChartLegend* ALegend);
  ~TLegendSymbol() override;
  void Assign(TPersistent* Source) override;

  int32_t CalcWidth(int32_t TextWidth);
  void DrawSymbol(TColor Color, const TRect& R);

  bool Continuous() const { return FContinuous; }
  void SetContinuous(bool Value) { SetBool(FContinuous, Value); }
  bool DefaultPen() const { return FDefaultPen; }
  void SetDefaultPen(bool Value) { SetBool(FDefaultPen, Value); }
  TGraphGradient* Gradient() const { return FGradient.get(); }
  TChartPen* Pen() const { return FPen.get(); }
  TLegendSymbolPosition Position() const { return FPosition; }
  void SetPosition(TLegendSymbolPosition Value);
  bool Squared() const { return FSquared; }
  void SetSquared(bool Value) { SetBool(FSquared, Value); }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { SetBool(FVisible, Value); }
  int32_t Width() const { return FWidth; }
  void SetWidth(int32_t Value);
  TLegendSymbolSize WidthUnits() const { return FWidthUnits; }
  void SetWidthUnits(TLegendSymbolSize Value);

  TSymbolDrawEvent OnDraw;
  TCustomChartLegend* Legend;

private:
  void SetBool(bool& Field, bool Value);
  void Repaint();
  bool FContinuous = false;
  bool FDefaultPen = true;
  std::unique_ptr<TGraphGradient> FGradient;
  std::unique_ptr<TChartPen> FPen;
  TLegendSymbolPosition FPosition = spLeft;
  bool FSquared = false;
  bool FVisible = true;
  int32_t FWidth = 20;
  TLegendSymbolSize FWidthUnits = lcsPercent;
};

// One drawn row of the legend.
struct TLegendItem {
  TCustomChartLegend* Legend = nullptr;
  int32_t Left = 0, Top = 0;
  int32_t Align = 0;
  std::string Text;
  TRect SymbolRect;
};

class TLegendItems {
public:
  explicit TLegendItems(TCustomChartLegend* ALegend) : Legend(ALegend) {}
  // Grows the list up to Index and creates the item on first use.
  TLegendItem* Item(int Index);
  int Count() const { return static_cast<int>(FItems.size()); }
  void Clear();
  bool Custom = false;
  TCustomChartLegend* Legend;

private:
  std::vector<std::unique_ptr<TLegendItem>> FItems;
};

using TLegendSizeHook = std::function<void(TCustomChartLegend* Sender, int32_t& Pixels)>;

class TCustomChartLegend : public TGraphCustomShapePosition {
  VM_CLASS(TCustomChartLegend, TGraphCustomShapePosition)
public:
  explicit TCustomChartLegend(TCustomAxisPanel* AChart);
  ~TCustomChartLegend() override;
  void Assign(TPersistent* Source) override;
  TGradientClass GetGradientClass() const override { return TChartLegendGradient::StaticClass(); }

  void CalcLegendStyle();
  bool IsVertical() const { return FAlignment == laLeft || FAlignment == laRight; }
  bool HasCheckBoxes() const { return FCheckBoxes && EffectiveStyle != lsValues; }
  bool ShouldDraw() const;
  TChartSeries* GetLegendSeries() const;
  void SetSeries(TChartSeries* Value);
  int32_t CalcItemHeight();
  int32_t TitleBottom();
  void GetLegendText(int32_t Index, std::string& Text);
  int32_t Clicked(int32_t X, int32_t Y);
  bool CheckBoxClicked(int32_t Index);
  void DrawLegend();

  // -- properties ------------------------------------------------------------------------------
  TLegendAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TLegendAlignment Value);
  bool CheckBoxes() const { return FCheckBoxes; }
  void SetCheckBoxes(bool Value) { SetBool(FCheckBoxes, Value); }
  TCheckBoxesStyle CheckBoxesStyle() const { return FCheckBoxesStyle; }
  void SetCheckBoxesStyle(TCheckBoxesStyle Value);
  int32_t ColorWidth() const { return Symbol->Width(); }
  void SetColorWidth(int32_t Value) { Symbol->SetWidth(Value); }
  bool CurrentPage() const { return FCurrentPage; }
  void SetCurrentPage(bool Value) { SetBool(FCurrentPage, Value); }
  TChartHiddenPen* DividingLines() const { return FDividingLines.get(); }
  int32_t FirstValue() const { return FFirstValue; }
  void SetFirstValue(int32_t Value);
  bool FontSeriesColor() const { return FFontSeriesColor; }
  void SetFontSeriesColor(bool Value) { SetBool(FFontSeriesColor, Value); }
  int32_t HorizMargin() const { return FHorizMargin; }
  void SetHorizMargin(int32_t Value) { SetInt(FHorizMargin, Value); }
  bool Inverted() const { return FInverted; }
  void SetInverted(bool Value) { SetBool(FInverted, Value); }
  int32_t LeftPercent() const { return FLeftPercent; }
  void SetLeftPercent(int32_t Value) { SetInt(FLeftPercent, Value); }
  TLegendStyle LegendStyle() const { return FLegendStyle; }
  void SetLegendStyle(TLegendStyle Value);
  int32_t MaxNumRows() const { return FMaxNumRows; }
  void SetMaxNumRows(int32_t Value) { SetInt(FMaxNumRows, Value); }
  TGraphUnits PositionUnits() const { return FPositionUnits; }
  void SetPositionUnits(TGraphUnits Value);
  bool ResizeChart() const { return FResizeChart; }
  void SetResizeChart(bool Value) { SetBool(FResizeChart, Value); }
  TLegendTextStyle TextStyle() const { return FTextStyle; }
  void SetTextStyle(TLegendTextStyle Value);
  TLegendTitle* Title() const { return FTitle.get(); }
  int32_t TopPercent() const { return FTopPercent; }
  void SetTopPercent(int32_t Value) { SetInt(FTopPercent, Value); }
  int32_t TopPos() const { return FTopPos; }
  void SetTopPos(int32_t Value) { SetInt(FTopPos, Value); }
  int32_t VertMargin() const { return FVertMargin; }
  void SetVertMargin(int32_t Value) { SetInt(FVertMargin, Value); }
  int32_t VertSpacing() const { return FVertSpacing; }
  void SetVertSpacing(int32_t Value) { SetInt(FVertSpacing, Value); }

  // -- per-drawing state ------------------------------------------------------------------------
  TCustomAxisPanel* Chart;
  TChartSeries* Series = nullptr;
  TLegendStyle EffectiveStyle = lsAuto;
  bool TitleShown = false;
  int32_t SymbolWidth = 0;
  int32_t TotalItems = 0;
  int32_t LastValue = -1;
  int32_t Columns = 0, Rows = 0;
  std::array<int32_t, 2> ColumnWidths{0, 0};
  bool MeasureColumns = true;
  std::unique_ptr<TLegendSymbol> Symbol;
  std::unique_ptr<TLegendItems> Items;
  TLegendSizeHook SizeHook;

private:
  void SetBool(bool& Field, bool Value);
  void SetInt(int32_t& Field, int32_t Value);
  int32_t FitCount(int32_t Start, int32_t Size);
  int32_t ColumnsWidth();
  void PlaceVertical();
  void PlaceHorizontal();
  void PlaceTexts(int32_t Start);
  void DrawItems();
  void ResizeChartRect();
  int32_t FrameWidth();
  TChartSeries* SeriesOfItem(int32_t V, bool CountAll) const;

  TLegendAlignment FAlignment = laRight;
  bool FCheckBoxes = false;
  TCheckBoxesStyle FCheckBoxesStyle = cbsCheck;
  bool FCurrentPage = true;
  std::unique_ptr<TChartHiddenPen> FDividingLines;
  int32_t FFirstValue = 0;
  bool FFontSeriesColor = false;
  int32_t FHorizMargin = 0;
  bool FInverted = false;
  int32_t FLeftPercent = 0;
  TLegendStyle FLegendStyle = lsAuto;
  int32_t FMaxNumRows = 10;
  TGraphUnits FPositionUnits = muPixels;
  bool FResizeChart = true;
  TLegendTextStyle FTextStyle = ltsLeftValue;
  std::unique_ptr<TLegendTitle> FTitle;
  int32_t FTopPercent = 0;
  int32_t FTopPos = 10;
  int32_t FVertMargin = 0;
  int32_t FVertSpacing = 0;

  // Layout of the last drawing.
  int32_t FTextWidth = 0;
  int32_t FTextX = 0, FSymbolX = 0, FCheckX = 0;
  int32_t FRowHeight = 0, FSpace = 0;
  std::vector<std::array<std::string, 2>> FTexts;
};

class TChartLegend : public TCustomChartLegend {
  VM_CLASS(TChartLegend, TCustomChartLegend)
public:
  using TCustomChartLegend::TCustomChartLegend;
};

// The text of one value row of a series in a legend.
void SeriesValueLegendText(TCustomChartLegend* Legend, TChartSeries* Series, int32_t Index, std::string& Text);
