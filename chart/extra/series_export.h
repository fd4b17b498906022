// Series data export: the points of one series, or of every series of a chart side by side, as
// delimited text, XML, an HTML table or a spreadsheet file (BIFF records).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chart/engine/export_data.h"
#include "platform/graphics.h"

class TCustomChart;
class TChartSeries;
class TChartValueList;

// "#rrggbb" of the colour (system colours resolved); clAutoColor gives "#000000".
std::string ColorToHexText(TColor Color);

class TSeriesData : public TGraphExportData {
  VM_CLASS(TSeriesData, TGraphExportData)
public:
  // Series none: every series of the chart, in chart order.
  TSeriesData(TCustomChart* Chart, TChartSeries* Series = nullptr);

  std::string AsString() override;
  // DataFlags from the given series, or from the first series of the chart that has points.
  virtual void CollectDataFlags();
  // The text of one row; empty here.
  virtual std::string PointLine(int Index);

  TCustomChart* Chart() const { return FChart; }
  TChartSeries* Series() const { return FSeries; }

  bool ShowColors = false;
  bool ShowIndex = false;
  bool ShowHeader = false;
  bool ShowLabels = true;
  // Bit 0 X values, bit 1 colours, bit 2 labels.
  uint8_t DataFlags = 0;

protected:
  // CollectDataFlags, then labels and colours dropped unless asked for.
  void PrepareFlags();
  // Rows: the series' point count, or the largest of the chart's series.
  int MaxPointCount() const;
  // The series exported, in order.
  std::vector<TChartSeries*> ExportedSeries() const;
  // The column titles of one series (text and HTML).
  std::vector<std::string> ColumnTitles(TChartSeries* Series) const;
  // The lists after X: Y and each further list, in list order.
  static std::vector<TChartValueList*> ValueColumns(TChartSeries* Series);

private:
  TCustomChart* FChart;
  TChartSeries* FSeries;
};

class TSeriesDataText : public TSeriesData {
  VM_CLASS(TSeriesDataText, TSeriesData)
public:
  using TSeriesData::TSeriesData;
  std::string AsString() override;
  void CollectDataFlags() override;
  std::string PointLine(int Index) override;

  char Separator = '\t';
  std::string QuoteText;
  std::string NumberFormat;

private:
  std::string ValueText(TChartValueList* List, TChartSeries* Series, int Index) const;
};

class TSeriesDataXML : public TSeriesData {
  VM_CLASS(TSeriesDataXML, TSeriesData)
public:
  TSeriesDataXML(TCustomChart* Chart, TChartSeries* Series = nullptr);
  std::string AsString() override;

  // "shift_jis" under a Japanese locale, else "ISO-8859-1". Characters the encoding may lack are
  // written as character references, so the file reads back the same under any of them.
  std::string Encoding;

private:
  std::string SeriesElement(TChartSeries* Series);
};

class TSeriesDataHTML : public TSeriesData {
  VM_CLASS(TSeriesDataHTML, TSeriesData)
public:
  using TSeriesData::TSeriesData;
  std::string AsString() override;
  std::string PointLine(int Index) override;

private:
  std::string HeaderLine();
};

class TSeriesDataXLS : public TSeriesData {
  VM_CLASS(TSeriesDataXLS, TSeriesData)
public:
  using TSeriesData::TSeriesData;
  // The spreadsheet records. More than 65,535 rows or columns raise ERangeError.
  void SaveToStream(TStream& Stream) override;
};
