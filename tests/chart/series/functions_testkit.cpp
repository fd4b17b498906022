#include "functions_testkit.h"

#include <cmath>

VM_DEFINE_CLASS(TFnSeries)
VM_DEFINE_CLASS(TOHLCFnSeries)

TOHLCFnSeries::TOHLCFnSeries(TComponent* AOwner) : TFnSeries(AOwner) {
  Open = new TChartValueList(this, "Open");
  High = new TChartValueList(this, "High");
  Low = new TChartValueList(this, "Low");
}

void TOHLCFnSeries::AddOHLC(double X, double AOpen, double AHigh, double ALow, double Close) {
  Open->PendingValue = AOpen;
  High->PendingValue = AHigh;
  Low->PendingValue = ALow;
  AddXY(X, Close);
}

void FillSeries(TChartSeries* S, const std::vector<double>& X, const std::vector<double>& Y) {
  S->BeginUpdate();
  S->ClearValues();
  for (size_t i = 0; i < Y.size(); ++i) S->AddXY(X[i], Y[i]);
  S->EndUpdate();
}

void FillSeries(TChartSeries* S, const std::vector<double>& Y) {
  std::vector<double> x(Y.size());
  for (size_t i = 0; i < x.size(); ++i) x[i] = static_cast<double>(i);
  FillSeries(S, x, Y);
}

std::vector<double> YsOf(const TChartSeries* S) {
  std::vector<double> v;
  for (int i = 0; i < S->PointCount(); ++i) v.push_back(S->YValueAt(i));
  return v;
}

std::vector<double> XsOf(const TChartSeries* S) {
  std::vector<double> v;
  for (int i = 0; i < S->PointCount(); ++i) v.push_back(S->XValueAt(i));
  return v;
}

bool AllFinite(const TChartSeries* S) {
  for (int i = 0; i < S->PointCount(); ++i)
    if (!std::isfinite(S->XValueAt(i)) || !std::isfinite(S->YValueAt(i))) return false;
  return true;
}
