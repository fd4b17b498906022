// The axes a series tool works on, and the range of slave custom axes.
#include "chart/engine/tool_base.h"

VM_DEFINE_CLASS(TChartCustomAxes)

TChartCustomAxes::TChartCustomAxes(TPersistent* AOwner) : TOwnedCollection(AOwner, TChartAxis::StaticClass()) {}

TChartAxis* TGraphCustomToolSeries::GetHorizAxis() const {
  if (FSeries) return FSeries->HorizAxisObject;
  if (!FParentChart) return nullptr;
  TChartAxis* bottom = FParentChart->BottomAxis();
  TChartAxis* top = FParentChart->TopAxis();
  if (!FParentChart->IsAxisInUse(bottom, false) && FParentChart->IsAxisInUse(top, false)) return top;
  return bottom;
}

TChartAxis* TGraphCustomToolSeries::GetVertAxis() const {
  if (FSeries) return FSeries->VertAxisObject;
  if (!FParentChart) return nullptr;
  TChartAxis* left = FParentChart->LeftAxis();
  TChartAxis* right = FParentChart->RightAxis();
  if (!FParentChart->IsAxisInUse(left, false) && FParentChart->IsAxisInUse(right, false)) return right;
  return left;
}

void TChartCustomAxes::ApplyRangeToSlaveAxes(TChartAxis* MasterAxis) {
  if (!MasterAxisOf) return;
  for (int i = 0; i < Count(); ++i) {
    TChartAxis* a = AxisAt(i);
    if (MasterAxisOf(a) == MasterAxis) a->SetMinimumMaximum(MasterAxis->Minimum(), MasterAxis->Maximum());
  }
}
