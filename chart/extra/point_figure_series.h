// Point and figure: columns of rising (X) and falling (O) symbols, one per box of BoxSize price
// units, from the high and low values of a price series; a new column starts only when the price
// turns by at least ReversalAmount boxes. The horizontal axis counts columns.
#pragma once

#include <memory>

#include "chart/series/financial_series.h"

class TPointFigureSeries : public TOHLCSeries {
  VM_CLASS(TPointFigureSeries, TOHLCSeries)
public:
  explicit TPointFigureSeries(TComponent* AOwner);
  ~TPointFigureSeries() override;

  double BoxSize() const { return FBoxSize; }
  void SetBoxSize(double Value) { SetDoubleProperty(FBoxSize, Value); }
  double ReversalAmount() const { return FReversalAmount; }
  void SetReversalAmount(double Value) { SetDoubleProperty(FReversalAmount, Value); }
  TSeriesPointer* UpSymbol() const { return FUpSymbol.get(); }
  void SetUpSymbol(TSeriesPointer* Value) { FUpSymbol->Assign(Value); }
  TSeriesPointer* DownSymbol() const { return FDownSymbol.get(); }
  void SetDownSymbol(TSeriesPointer* Value) { FDownSymbol->Assign(Value); }

  // The number of columns (0 without points); with Draw the columns are drawn too.
  int32_t CalcColumns(bool Draw);

  void DrawVisiblePoints() override { CalcColumns(true); }
  double HighestX() override { return CalcColumns(false) - 1; }
  double LowestX() override { return 0; }
  int32_t LegendEntryCount() override { return 2; }
  TColor LegendEntryColor(int32_t ValueIndex) override;
  void FormatLegendText(int32_t ValueIndex, TLegendTextStyle Style, std::string& Text) override;
  void SetParentChart(TCustomAxisPanel* Value) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TPointFigureEditor"; }

private:
  void DrawColumn(TSeriesPointer* Symbol, int Column, double From, double Top);

  double FBoxSize = 1;
  double FReversalAmount = 3;
  std::unique_ptr<TSeriesPointer> FUpSymbol;
  std::unique_ptr<TSeriesPointer> FDownSymbol;
};

void RegisterPointFigureSeries();
void UnregisterPointFigureSeries();
