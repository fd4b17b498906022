// The process-wide registries of series, function and tool types that the galleries read, the
// named colour palettes, and the title box above the legend items.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/graph_function.h"
#include "chart/engine/graph_shapes.h"
#include "chart/engine/series_base.h"
#include "platform/strings.h"

class TCustomAxisPanel;
class TGraphCustomTool;
using TGraphToolClass = const TChartElementMetaClass*;

// One gallery entry: a series class, a function class or both, with the engine text variables of
// its gallery name and page (read when shown, so they follow the language).
class TGraphSeriesType {
public:
  TChartSeriesClass SeriesClass = nullptr;
  TGraphFunctionClass FunctionClass = nullptr;
  const std::string* Description = nullptr;
  const std::string* GalleryPage = nullptr;
  int NumGallerySeries = 1;

  std::string DescriptionText() const { return Description ? *Description : std::string(); }
  std::string PageText() const { return GalleryPage ? *GalleryPage : std::string(); }
};

class TGraphSeriesTypes {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  // Range error outside 0..Count-1.
  TGraphSeriesType* GetSeriesType(int Index) const;
  TGraphSeriesType* operator[](int Index) const { return GetSeriesType(Index); }
  // The first entry of that series class without a function class.
  TGraphSeriesType* FindSeriesType(TChartSeriesClass SeriesClass) const;
  // The entries of one gallery page, in registration order.
  std::vector<TGraphSeriesType*> TypesOfPage(const std::string& Page) const;
  void Add(std::unique_ptr<TGraphSeriesType> Entry) { FItems.push_back(std::move(Entry)); }
  // Removes and frees every entry whose series (IsSeries) or function class is AClass.
  void UnregisterTypesOfClass(TClass AClass, bool IsSeries);
  void Clear() { FItems.clear(); }

private:
  std::vector<std::unique_ptr<TGraphSeriesType>> FItems;
};

class TGraphToolTypes {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  TGraphToolClass GetToolType(int Index) const;
  int IndexOf(TGraphToolClass ToolClass) const;
  void Add(TGraphToolClass ToolClass) { FItems.push_back(ToolClass); }
  void Remove(TGraphToolClass ToolClass);
  void Clear() { FItems.clear(); }

private:
  std::vector<TGraphToolClass> FItems;
};

// The names of the palettes (index 0 the default palette) and their colour tables.
class TColorPalettes : public TStringList {
public:
  TColorPalettes();
  // The chart's own palette becomes palette Index (1..9), or none for any other index; then the
  // chart repaints.
  static void ApplyPalette(TCustomAxisPanel* Chart, int Index);
  // The colours of palette Index; empty for 0 and unknown indices.
  static const std::vector<TColor>& PaletteColors(int Index);
};

// The registries; none before the chart module starts and after it stops.
TGraphSeriesTypes* GraphSeriesTypesList();
TGraphToolTypes* GraphToolTypesList();
TColorPalettes* ColorPalettes();
// Start-up and shutdown of the chart module; each runs once however often called.
void InitChartModule();
void DoneChartModule();

void RegisterSeriesFunctionType(TChartSeriesClass SeriesClass, TGraphFunctionClass FunctionClass,
                                const std::string* Description, const std::string* GalleryPage, int NumGallerySeries);
void RegisterSeriesType(TChartSeriesClass SeriesClass, const std::string* Description, const std::string* GalleryPage,
                        int NumGallerySeries);
void RegisterStandardSeriesType(TChartSeriesClass SeriesClass, const std::string* Description);
void RegisterFunctionType(TGraphFunctionClass FunctionClass, const std::string* Description,
                          const std::string* GalleryPage, int NumGallerySeries);
void RegisterStandardFunctionType(TGraphFunctionClass FunctionClass, const std::string* Description);
void UnregisterSeriesTypes(std::initializer_list<TChartSeriesClass> Classes);
void UnregisterFunctionTypes(std::initializer_list<TGraphFunctionClass> Classes);
// The gallery name of the series' class, else its class name.
std::string GetSeriesTypeDescription(const TChartSeries* Series);

void RegisterToolTypes(std::initializer_list<TGraphToolClass> Classes);
void UnregisterToolTypes(std::initializer_list<TGraphToolClass> Classes);

// The chart's own palette becomes Colors[0..HighIndex] (HighIndex -1: none); series with an
// automatic colour take theirs anew.
void SetChartPalette(TCustomAxisPanel* Chart, const std::vector<TColor>& Colors, int HighIndex);

// ---------------------------------------------------------------------------------------------

// The title box above the legend items.
class TLegendTitle : public TGraphShape {
  VM_CLASS(TLegendTitle, TGraphShape)
public:
  explicit TLegendTitle(IGraphShapeParent* Panel = nullptr);
  ~TLegendTitle() override;

  void Assign(TPersistent* Source) override;

  TStrings* Text() const { return FText.get(); }
  void SetText(TStrings* Value);
  TAlignment TextAlignment() const { return FTextAlignment; }
  void SetTextAlignment(TAlignment Value);

  void CalcHeight();
  int TotalWidth();
  void PlaceIn(const TRect& Rect);
  void DrawText();
  // The height CalcHeight computed.
  int32_t TitleHeight = 0;

private:
  std::unique_ptr<TStringList> FText;
  TAlignment FTextAlignment = taLeftJustify;
};
