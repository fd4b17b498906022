#include "chart/editor/extra_function_editors.h"

#include <cmath>

#include "chart/editor/tool_editors_kit.h"
#include "chart/engine/axis_panel.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/series_base.h"
#include "chart/engine/tool_base.h"
#include "chart/extra/compress_function.h"
#include "chart/extra/indicator_functions.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TCompressFuncEditor)
VM_DEFINE_CLASS(TOBVFuncEditor)
VM_DEFINE_CLASS(TCLVFuncEditor)
VM_DEFINE_CLASS(TCCIFuncEditor)
VM_DEFINE_CLASS(TPVOFuncEditor)

using namespace formkit;
using edkit::Make;
using edkit::TFlagGuard;

void RegisterExtraFunctionEditorForms() {
  for (TClass c : {TCompressFuncEditor::StaticClass(), TOBVFuncEditor::StaticClass(), TCLVFuncEditor::StaticClass(),
                   TCCIFuncEditor::StaticClass(), TPVOFuncEditor::StaticClass()})
    if (!GetClass(c->ClassName())) RegisterClass(c);
}

namespace {
int Rounded(double V) { return static_cast<int>(std::nearbyint(V)); }

// The integer typed into Edit when it lies in UpDown's range, else Current: the up-down clamps
// what it follows, so its own position cannot tell a refused text.
int TypedOr(TEdit* Edit, TUpDown* UpDown, int Current) {
  int v = 0;
  return TryStrToInt(Edit->Text(), v) && v >= UpDown->Min() && v <= UpDown->Max() ? v : Current;
}

void FocusWhenAble(TWinControl* Control) {
  if (Control->CanFocus()) Control->SetFocus();
}

// The series of the function's chart but the function's own, "(none)" first, with Volume
// selected ("(none)" when it is not among them).
void FillVolumeCombo(TComboBox* Combo, TVolumeIndicatorFunction* Function) {
  TStrings* items = Combo->Items();
  items->Clear();
  TChartSeries* own = Function->ParentSeries;
  if (TCustomAxisPanel* chart = own ? own->ParentChart() : nullptr) {
    TCustomSeriesList list;
    for (int i = 0; i < chart->CountSeries(); ++i) list.Add(chart->SeriesAt(i));
    ListSeriesInStrings(items, &list, true);
  }
  items->InsertObject(0, MsgEdNone, nullptr);
  if (const int i = items->IndexOfObject(own); i > 0) items->Delete(i);
  const int selected = Function->Volume() ? items->IndexOfObject(Function->Volume()) : 0;
  Combo->SetItemIndex(selected < 0 ? 0 : selected);
}

TChartSeries* ChosenVolume(TComboBox* Combo) {
  const int i = Combo->ItemIndex();
  return i > 0 ? dynamic_cast<TChartSeries*>(Combo->Items()->Objects(i)) : nullptr;
}
}  // namespace

// =============================================================================================
// Compression

TCompressFuncEditor::TCompressFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
  SetName("CompressFuncEditor");
  RadioDate = Make<TRadioButton>(this, this, "RadioDate", "&Date period:", 8, 10, 145, 20);
  CBDatePeriod = Cmb(this, this, "CBDatePeriod", 158, 8, 150,
                     {"Daily (none)", "Weekly", "Monthly", "Bi-Monthly", "Quarterly", "Yearly"});
  RadioTime = Make<TRadioButton>(this, this, "RadioTime", "&Time period:", 8, 40, 145, 20);
  CBTimePeriod = Cmb(this, this, "CBTimePeriod", 158, 38, 150,
                     {"Second", "TenSecond", "Minute", "TwoMinutes", "FiveMinutes", "TenMinutes", "FifteenMinutes",
                      "TwentyMinutes", "HalfHour", "Hour", "TwoHours", "ThreeHour", "SixHour", "TwelveHour"});
  RadioPoints = Make<TRadioButton>(this, this, "RadioPoints", "&Number of points:", 8, 70, 145, 20);
  ENum = Ed(this, this, "ENum", 158, 68, 56);
  UpDown1 = UD(this, this, "UpDown1", ENum, 0, 32767);
  UpDown1->SetPosition(1);
  ENum->SetText("1");
  // A count typed or stepped in asks for grouping by points, as clicking the field does.
  AlsoOnChange(ENum, [this](TObject* Sender) {
    if (!Loading && !FZeroing) RadioPoints->SetChecked(true);
    Changed(Sender);
  });
  CBDatePeriod->SetItemIndex(0);
  CBTimePeriod->SetItemIndex(0);
  RadioDate->SetChecked(true);
  RadioDate->OnClick = [this](TObject*) { RadioDateClick(); };
  RadioTime->OnClick = [this](TObject*) { RadioTimeClick(); };
  RadioPoints->OnClick = [this](TObject*) { RadioPointsClick(); };
  ENum->OnClick = [this](TObject*) { ENumClick(); };
  CBDatePeriod->OnChange = [this](TObject*) { CBDatePeriodChange(); };
  CBDatePeriod->OnClick = CBDatePeriod->OnChange;
  CBTimePeriod->OnChange = [this](TObject*) { CBTimePeriodChange(); };
  CBTimePeriod->OnClick = CBTimePeriod->OnChange;
}

void TCompressFuncEditor::SetFunction() {
  auto* f = dynamic_cast<TCompressFunction*>(IFunction);
  if (!f) return;
  CBDatePeriod->SetItemIndex(0);
  CBTimePeriod->SetItemIndex(0);
  if (Rounded(f->Period()) != 0) {
    LoadPosition(UpDown1, Rounded(f->Period()));
    RadioPoints->SetChecked(true);
  } else if (f->Compress() > ocYear) {
    CBTimePeriod->SetItemIndex(f->Compress() - ocSecond);
    RadioTime->SetChecked(true);
  } else {
    CBDatePeriod->SetItemIndex(f->Compress());
    RadioDate->SetChecked(true);
  }
}

void TCompressFuncEditor::ApplyFormChanges() {
  auto* f = dynamic_cast<TCompressFunction*>(IFunction);
  if (!f) return;
  const int date = std::max(0, CBDatePeriod->ItemIndex());
  const int time = std::max(0, CBTimePeriod->ItemIndex());
  f->SetCompress(static_cast<TCompressionPeriod>(RadioDate->Checked() ? date : time + ocSecond));
  // Grouping by a period asks for no point count.
  f->SetPeriod(RadioPoints->Checked() ? TypedOr(ENum, UpDown1, Rounded(f->Period())) : 0);
}

void TCompressFuncEditor::RadioDateClick() {
  ClearCount();
  if (!Loading) FocusWhenAble(CBDatePeriod);
  Changed(this);
}

void TCompressFuncEditor::RadioTimeClick() {
  ClearCount();
  if (!Loading) FocusWhenAble(CBTimePeriod);
  Changed(this);
}

void TCompressFuncEditor::ClearCount() {
  TFlagGuard g(FZeroing);
  UpDown1->SetPosition(0);
}

void TCompressFuncEditor::RadioPointsClick() {
  if (!Loading) FocusWhenAble(ENum);
  Changed(this);
}

void TCompressFuncEditor::ENumClick() {
  RadioPoints->SetChecked(true);
  Changed(this);
}

void TCompressFuncEditor::CBDatePeriodChange() {
  RadioDate->SetChecked(true);
  Changed(this);
}

void TCompressFuncEditor::CBTimePeriodChange() {
  RadioTime->SetChecked(true);
  Changed(this);
}

// =============================================================================================
// Volume indicators

TOBVFuncEditor::TOBVFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
  SetName("OBVFuncEditor");
  CBVolume = Cmb(this, this, "CBVolume", 110, 8, 160, {});
  Lbl(this, this, "LVolume", "&Volume series:", 8, 8, CBVolume, 100);
  CBVolume->OnChange = Changed;
}

void TOBVFuncEditor::SetFunction() {
  if (auto* f = dynamic_cast<TOBVFunction*>(IFunction)) FillVolumeCombo(CBVolume, f);
}

void TOBVFuncEditor::ApplyFormChanges() {
  if (auto* f = dynamic_cast<TOBVFunction*>(IFunction)) f->SetVolume(ChosenVolume(CBVolume));
}

TCLVFuncEditor::TCLVFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
  SetName("CLVFuncEditor");
  CBVolume = Cmb(this, this, "CBVolume", 110, 8, 160, {});
  Lbl(this, this, "LVolume", "&Volume series:", 8, 8, CBVolume, 100);
  CBAccumulate = Chk(this, this, "CBAccumulate", "&Accumulate", 8, 40, 160);
  CBVolume->OnChange = Changed;
  CBAccumulate->OnClick = Changed;
}

void TCLVFuncEditor::SetFunction() {
  auto* f = dynamic_cast<TCLVFunction*>(IFunction);
  if (!f) return;
  CBAccumulate->SetChecked(f->Accumulate());
  FillVolumeCombo(CBVolume, f);
}

void TCLVFuncEditor::ApplyFormChanges() {
  auto* f = dynamic_cast<TCLVFunction*>(IFunction);
  if (!f) return;
  f->SetVolume(ChosenVolume(CBVolume));
  f->SetAccumulate(CBAccumulate->Checked());
}

// =============================================================================================
// Commodity channel index and volume oscillator

TCCIFuncEditor::TCCIFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
  SetName("CCIFuncEditor");
  EConst = Ed(this, this, "EConst", 90, 8, 74);
  Lbl(this, this, "LConst", "&Constant:", 8, 8, EConst, 80);
  EPeriod = Ed(this, this, "EPeriod", 90, 36, 56);
  UDPeriod = UD(this, this, "UDPeriod", EPeriod, 1, 10000);
  Lbl(this, this, "LPeriod", "&Period:", 8, 36, EPeriod, 80);
  EConst->SetText(FloatToStr(0.015));
  EConst->OnChange = Changed;
  AlsoOnChange(EPeriod, Changed);
}

void TCCIFuncEditor::SetFunction() {
  auto* f = dynamic_cast<TCCIFunction*>(IFunction);
  if (!f) return;
  EConst->SetText(FloatToStr(f->Constant()));
  LoadPosition(UDPeriod, Rounded(f->Period()));
}

void TCCIFuncEditor::ApplyFormChanges() {
  auto* f = dynamic_cast<TCCIFunction*>(IFunction);
  if (!f) return;
  f->SetConstant(NumberOr(EConst, f->Constant()));
  f->SetPeriod(TypedOr(EPeriod, UDPeriod, Rounded(f->Period())));
}

TPVOFuncEditor::TPVOFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
  SetName("PVOFuncEditor");
  EPeriod = Ed(this, this, "EPeriod", 90, 8, 56);
  UDPeriod = UD(this, this, "UDPeriod", EPeriod, 1, 10000);
  Lbl(this, this, "LPeriod", "&Period 1:", 8, 8, EPeriod, 80);
  Edit1 = Ed(this, this, "Edit1", 90, 36, 56);
  UDPeriod2 = UD(this, this, "UDPeriod2", Edit1, 1, 10000);
  Lbl(this, this, "LPeriod2", "P&eriod 2:", 8, 36, Edit1, 80);
  CBPercent = Chk(this, this, "CBPercent", "Pe&rcentage", 8, 66, 160);
  AlsoOnChange(EPeriod, Changed);
  AlsoOnChange(Edit1, Changed);
  CBPercent->OnClick = Changed;
}

void TPVOFuncEditor::SetFunction() {
  auto* f = dynamic_cast<TPVOFunction*>(IFunction);
  if (!f) return;
  LoadPosition(UDPeriod, Rounded(f->Period()));
  LoadPosition(UDPeriod2, f->Period2());
  CBPercent->SetChecked(f->Percentage());
}

void TPVOFuncEditor::ApplyFormChanges() {
  auto* f = dynamic_cast<TPVOFunction*>(IFunction);
  if (!f) return;
  f->SetPeriod(TypedOr(EPeriod, UDPeriod, Rounded(f->Period())));
  f->SetPeriod2(TypedOr(Edit1, UDPeriod2, f->Period2()));
  f->SetPercentage(CBPercent->Checked());
}
