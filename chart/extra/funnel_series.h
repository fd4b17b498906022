// The sales funnel: one segment per point, sorted by quota from the largest, each filled up to
// the share of its quota that was reached, in green (reached), yellow (short by at most
// DifferenceLimit percent) or red (short by more).
#pragma once

#include <array>
#include <memory>
#include <string>

#include "chart/engine/series_base.h"

class TFunnelSeries : public TChartSeries {
  VM_CLASS(TFunnelSeries, TChartSeries)
public:
  explicit TFunnelSeries(TComponent* AOwner);
  ~TFunnelSeries() override;

  virtual TChartValueList* GetQuoteValues() const { return YValues(); }
  virtual void SetQuoteValues(TChartValueList* Value) { SetYValues(Value); }
  TChartValueList* QuoteValues() const { return GetQuoteValues(); }
  TChartValueList* OpportunityValues() const { return FOpportunityValues; }
  void SetOpportunityValues(TChartValueList* Value) { AssignValueList(FOpportunityValues, Value); }

  int32_t AddSegment(double Quote, double Opportunity, const std::string& Label = "", TColor Colour = clDefault);
  void Recalc();

  TColor AboveColor() const { return FAboveColor; }
  void SetAboveColor(TColor V) { SetColorProperty(FAboveColor, V); }
  TColor WithinColor() const { return FWithinColor; }
  void SetWithinColor(TColor V) { SetColorProperty(FWithinColor, V); }
  TColor BelowColor() const { return FBelowColor; }
  void SetBelowColor(TColor V) { SetColorProperty(FBelowColor, V); }
  double DifferenceLimit() const { return FDifferenceLimit; }
  void SetDifferenceLimit(double V);
  bool AutoUpdate() const { return FAutoUpdate; }
  void SetAutoUpdate(bool V);
  bool QuotesSorted() const { return FQuotesSorted; }
  void SetQuotesSorted(bool V);
  TChartPen* LinesPen() const { return FLinesPen.get(); }
  void SetLinesPen(TChartPen* V) { FLinesPen->Assign(V); }

  // The polygon of the reached part of segment I (three to five points) and its colour.
  int SegmentPolygon(int32_t Index, std::array<TPoint, 5>& Points, TColor& Colour);

  void PrepareForDraw() override;
  double HighestX() override { return PointCount() - 0.5; }
  double LowestX() override { return -0.5; }
  double LowestY() override { return 0; }
  void DrawOneValue(int32_t ValueIndex) override;
  void DrawVisiblePoints() override;
  void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  int32_t LegendEntryCount() override { return 3; }
  TColor LegendEntryColor(int32_t ValueIndex) override;
  void FormatLegendText(int32_t ValueIndex, TLegendTextStyle Style, std::string& Text) override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void Assign(TPersistent* Source) override;
  void Loaded() override;
  static void ClassEditorName(std::string& Name) { Name = "TFunnelSeriesEditor"; }

  // The mark of point I: the reached percentage.
  std::string MarkText(int32_t Index);

private:
  void SortQuotes();

  TChartValueList* FOpportunityValues = nullptr;
  TColor FAboveColor = static_cast<TColor>(0x008000), FWithinColor = static_cast<TColor>(0x00FFFF),
         FBelowColor = static_cast<TColor>(0x0000FF);
  double FDifferenceLimit = 30;
  bool FAutoUpdate = true;
  bool FQuotesSorted = false;
  bool FSorted = false;
  std::unique_ptr<TChartPen> FLinesPen;
  double FMax = 0, FMin = 0, FSlope = 0;
};

void RegisterFunnelSeries();
void UnregisterFunnelSeries();
