#include "chart/editor/function_editors.h"

#include <cmath>
#include <memory>

#include "chart/editor/format_axis_dialogs.h"
#include "chart/editor/series_page.h"
#include "chart/editor/tool_editors_kit.h"
#include "chart/engine/graph_panel.h"
#include "chart/engine/series_base.h"
#include "chart/engine/series_helpers.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/bspline.h"
#include "chart/extra/pen_dialog.h"
#include "chart/series/functions_basic.h"
#include "chart/series/functions_financial.h"
#include "chart/series/functions_statistical.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TBaseFunctionEditor)
VM_DEFINE_CLASS(TGraphFunctionEditor)
VM_DEFINE_CLASS(TAverageFuncEditor)
VM_DEFINE_CLASS(TRMSFuncEditor)
VM_DEFINE_CLASS(TMovAveFuncEditor)
VM_DEFINE_CLASS(TSmoothFuncEditor)
VM_DEFINE_CLASS(TMACDFuncEditor)
VM_DEFINE_CLASS(TBollingerFuncEditor)
VM_DEFINE_CLASS(TExpAveFuncEditor)
VM_DEFINE_CLASS(TCustomFunctionEditor)
VM_DEFINE_CLASS(TADXFuncEditor)

using namespace formkit;
using edkit::Make;
using edkit::TFlagGuard;

void RegisterFunctionEditorForms() {
  for (TClass c :
       {TBaseFunctionEditor::StaticClass(), TGraphFunctionEditor::StaticClass(), TAverageFuncEditor::StaticClass(),
        TRMSFuncEditor::StaticClass(), TMovAveFuncEditor::StaticClass(), TSmoothFuncEditor::StaticClass(),
        TMACDFuncEditor::StaticClass(), TBollingerFuncEditor::StaticClass(), TExpAveFuncEditor::StaticClass(),
        TCustomFunctionEditor::StaticClass(), TADXFuncEditor::StaticClass()})
    if (!GetClass(c->ClassName())) RegisterClass(c);
}

namespace {
// Halves to even, as the period fields show their numbers.
int Rounded(double V) { return static_cast<int>(std::nearbyint(V)); }

TGraphFuncEditor* OwnerFuncEditor(TComponent* Form) { return dynamic_cast<TGraphFuncEditor*>(Form->Owner()); }

void EnableOwnerApply(TComponent* Form) {
  if (TGraphFuncEditor* e = OwnerFuncEditor(Form)) e->BApply->SetEnabled(true);
}

// The function a plain form edits when "&Apply" finds none: made of Class, owned by the owner of
// the function editor's series.
template <class F>
F* MakeOwnFunction(TComponent* Form) {
  TGraphFuncEditor* e = OwnerFuncEditor(Form);
  TChartSeries* s = e ? e->Series() : nullptr;
  return new F(s ? s->Owner() : nullptr);
}

void AttachWhenNone(TComponent* Form, TGraphFunction* Function) {
  TGraphFuncEditor* e = OwnerFuncEditor(Form);
  if (e && e->Series() && !e->Series()->FunctionObject()) e->Series()->AttachFunction(Function);
}
}  // namespace

// =============================================================================================
// Base

TBaseFunctionEditor::TBaseFunctionEditor(TComponent* AOwner) : TForm(AOwner) {
  SetName("BaseFunctionEditor");
  SetClientWidth(320);
  SetClientHeight(130);
  SetAlign(alClient);
  Changed = [this](TObject*) {
    if (!Loading) EnableApplyButton();
  };
  OnShow = [this](TObject* s) { FormShow(s); };
  OnCloseQuery = [this](TObject* s, bool& CanClose) { FormCloseQuery(s, CanClose); };
}

TGraphFuncEditor* TBaseFunctionEditor::FuncEditor() const {
  return OwnerFuncEditor(const_cast<TBaseFunctionEditor*>(this));
}

void TBaseFunctionEditor::EnableApplyButton() { EnableOwnerApply(this); }

void TBaseFunctionEditor::FormShow(TObject*) {
  TFlagGuard g(Loading);
  IFunction = dynamic_cast<TGraphFunction*>(reinterpret_cast<TObject*>(Tag()));
  if (IFunction) SetFunction();
}

void TBaseFunctionEditor::FormCloseQuery(TObject*, bool& CanClose) {
  CanClose = true;
  TGraphFuncEditor* owner = FuncEditor();
  TChartSeries* series = owner ? owner->Series() : nullptr;
  if (!IFunction && series && owner->ChosenClass()) IFunction = MakeFunctionForSeries(series, owner->ChosenClass());
  if (!IFunction) return;
  IFunction->BeginUpdate();
  try {
    ApplyFormChanges();
  } catch (...) {
    // The values written before the failing field stay, and the function computes again.
    IFunction->EndUpdate();
    throw;
  }
  IFunction->EndUpdate();
  if (series && !series->FunctionObject()) series->AttachFunction(IFunction);
}

// ---------------------------------------------------------------------------------------------
// Period functions

TGraphFunctionEditor::TGraphFunctionEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
  SetName("GraphFunctionEditor");
  CBStyle = Cmb(this, this, "CBStyle", 118, 8, 160, {"All points", "Every number of points", "Every range"});
  Lbl(this, this, "LStyle", "&Calculate using:", 8, 8, CBStyle, 108);
  CBStyle->OnChange = [this](TObject*) { CBStyleChange(); };
  ENum = Ed(this, this, "ENum", 118, 36, 80);
  ENum->SetText("0");
  ENum->SetEnabled(false);
  ENum->OnChange = Changed;
  Lbl(this, this, "LNum", "&Number of points:", 8, 36, ENum, 108);
  BChange = Btn(this, this, "BChange", "&Change...", 206, 35, 84);
  BChange->SetEnabled(false);
  BChange->OnClick = [this](TObject*) { BChangeClick(); };
  CBAlign = Cmb(this, this, "CBAlign", 118, 64, 100, {"First", "Center", "Last"});
  Lbl(this, this, "LAlign", "&Alignment:", 8, 64, CBAlign, 108);
  CBAlign->OnChange = Changed;
  CBStyle->SetItemIndex(0);
  CBAlign->SetItemIndex(1);
}

void TGraphFunctionEditor::SetFunction() {
  TGraphFunction* f = IFunction;
  if (f->PeriodStyle() == psRange && !dynamic_cast<TGraphMovingFunction*>(f))
    CBStyle->SetItemIndex(2);
  else
    CBStyle->SetItemIndex(Rounded(f->Period()) != 0 ? 1 : 0);
  CBAlign->SetItemIndex(static_cast<int>(f->PeriodAlign()));
  CBStyleChange();
}

void TGraphFunctionEditor::CBStyleChange() {
  const int style = CBStyle->ItemIndex();
  ENum->SetEnabled(style == 1 || style == 2);
  BChange->SetEnabled(style == 2);
  const double period = IFunction ? IFunction->Period() : 0;
  if (style == 1)
    ENum->SetText(IntToStr(std::max(0, Rounded(period))));
  else if (style == 2)
    ENum->SetText(FloatToStr(period));
  else
    ENum->SetText("");
  if (ENum->Enabled() && ENum->CanFocus()) ENum->SetFocus();
  if (!Loading) EnableApplyButton();
}

void TGraphFunctionEditor::ApplyFormChanges() {
  IFunction->SetPeriodAlign(static_cast<TFunctionPeriodAlign>(std::max(0, CBAlign->ItemIndex())));
  IFunction->SetPeriodStyle(CBStyle->ItemIndex() == 2 ? psRange : psNumPoints);
  IFunction->SetPeriod(StrToFloatDef(ENum->Text(), 0));
}

void TGraphFunctionEditor::BChangeClick() {
  std::unique_ptr<TForm> f(CreateEditorDialog([](TComponent* O) { return new TAxisIncrement(O); }, this));
  auto* d = static_cast<TAxisIncrement*>(f.get());
  d->SetCaption("Period range");
  bool dateTime = false;
  if (IFunction && IFunction->ParentSeries && IFunction->ParentSeries->DataSources->Count() > 0)
    if (auto* s = dynamic_cast<TChartSeries*>(IFunction->ParentSeries->DataSources->Items(0)))
      dateTime = s->XValues()->DateTime();
  d->IsDateTime = dateTime;
  d->IsExact = true;
  d->Increment = StrToFloatDef(ENum->Text(), IFunction ? IFunction->Period() : 0);
  d->IStep = FindDateTimeStep(d->Increment);
  if (d->ShowModal() == mrOk) ENum->SetText(FloatToStr(d->Increment));
}

TAverageFuncEditor::TAverageFuncEditor(TComponent* AOwner) : TGraphFunctionEditor(AOwner) {
  SetName("AverageFuncEditor");
  CBNulls = Chk(this, this, "CBNulls", "&Include Null values", 8, 96, 200);
  CBNulls->OnClick = Changed;
}

void TAverageFuncEditor::SetFunction() {
  TGraphFunctionEditor::SetFunction();
  if (auto* f = dynamic_cast<TAverageGraphFunction*>(IFunction)) CBNulls->SetChecked(f->IncludeNulls());
}

void TAverageFuncEditor::ApplyFormChanges() {
  TGraphFunctionEditor::ApplyFormChanges();
  if (auto* f = dynamic_cast<TAverageGraphFunction*>(IFunction)) f->SetIncludeNulls(CBNulls->Checked());
}

TRMSFuncEditor::TRMSFuncEditor(TComponent* AOwner) : TGraphFunctionEditor(AOwner) {
  SetName("RMSFuncEditor");
  CBComplete = Chk(this, this, "CBComplete", "C&omplete R.M.S.", 8, 96, 200);
  CBComplete->OnClick = Changed;
}

void TRMSFuncEditor::SetFunction() {
  TGraphFunctionEditor::SetFunction();
  if (auto* f = dynamic_cast<TStdDeviationFunction*>(IFunction)) CBComplete->SetChecked(f->Complete());
}

void TRMSFuncEditor::ApplyFormChanges() {
  TGraphFunctionEditor::ApplyFormChanges();
  // The root mean square derives from the standard deviation: both keep the flag.
  if (auto* f = dynamic_cast<TStdDeviationFunction*>(IFunction)) f->SetComplete(CBComplete->Checked());
}

// ---------------------------------------------------------------------------------------------
// Forms on the base

TMovAveFuncEditor::TMovAveFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
  SetName("MovAveFuncEditor");
  Edit1 = Ed(this, this, "Edit1", 80, 8, 56);
  UpDown1 = UD(this, this, "UpDown1", Edit1, 1, 32767);
  Lbl(this, this, "LPeriod", "&Period:", 8, 8, Edit1, 70);
  AlsoOnChange(Edit1, Changed);
  CBStyle = Cmb(this, this, "CBStyle", 80, 36, 140, {"Normal", "Weighted", "Weighted by Index"});
  Lbl(this, this, "LStyle", "&Average:", 8, 36, CBStyle, 70);
  CBStyle->OnChange = Changed;
  CBStyle->SetItemIndex(0);
}

void TMovAveFuncEditor::SetFunction() {
  auto* f = dynamic_cast<TMovingAverageFunction*>(IFunction);
  if (!f) return;
  LoadPosition(UpDown1, Rounded(f->Period()));
  CBStyle->SetItemIndex(f->Weighted() ? 1 : f->WeightedIndex() ? 2 : 0);
}

void TMovAveFuncEditor::ApplyFormChanges() {
  auto* f = dynamic_cast<TMovingAverageFunction*>(IFunction);
  if (!f) return;
  f->SetPeriod(TypedPosition(Edit1, UpDown1));
  f->SetWeighted(CBStyle->ItemIndex() == 1);
  f->SetWeightedIndex(CBStyle->ItemIndex() == 2);
}

TSmoothFuncEditor::TSmoothFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
  SetName("SmoothFuncEditor");
  CBInterp = Chk(this, this, "CBInterp", "&Interpolate", 8, 8, 150);
  CBInterp->OnClick = Changed;
  Edit1 = Ed(this, this, "Edit1", 80, 36, 56);
  UpDown1 = UD(this, this, "UpDown1", Edit1, 1, 1000);
  Lbl(this, this, "LFactor", "&Factor:", 8, 36, Edit1, 70);
  AlsoOnChange(Edit1, Changed);
}

void TSmoothFuncEditor::SetFunction() {
  auto* f = dynamic_cast<TSmoothingFunction*>(IFunction);
  if (!f) return;
  CBInterp->SetChecked(f->Interpolate());
  LoadPosition(UpDown1, f->Factor());
}

void TSmoothFuncEditor::ApplyFormChanges() {
  auto* f = dynamic_cast<TSmoothingFunction*>(IFunction);
  if (!f) return;
  f->SetInterpolate(CBInterp->Checked());
  f->SetFactor(TypedPosition(Edit1, UpDown1));
}

TMACDFuncEditor::TMACDFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
  SetName("MACDFuncEditor");
  ENum = Ed(this, this, "ENum", 80, 8, 56);
  UpDown1 = UD(this, this, "UpDown1", ENum, 0, 30000);
  Lbl(this, this, "LPeriod1", "Period &1:", 8, 8, ENum, 70);
  Edit1 = Ed(this, this, "Edit1", 80, 36, 56);
  UpDown2 = UD(this, this, "UpDown2", Edit1, 0, 30000);
  Lbl(this, this, "LPeriod2", "Period &2:", 8, 36, Edit1, 70);
  Edit2 = Ed(this, this, "Edit2", 80, 64, 56);
  UpDown3 = UD(this, this, "UpDown3", Edit2, 0, 30000);
  Lbl(this, this, "LPeriod3", "Period &3:", 8, 64, Edit2, 70);
  for (TEdit* e : {ENum, Edit1, Edit2}) AlsoOnChange(e, Changed);
  BHistogram = Btn<TButtonPen>(this, this, "BHistogram", "&Histogram...", 170, 6, 100);
  BMACD = Btn<TButtonPen>(this, this, "BMACD", "&MACD...", 170, 34, 100);
  BMACDExp = Btn<TButtonPen>(this, this, "BMACDExp", "&Exp. Line...", 170, 62, 128);
}

void TMACDFuncEditor::SetFunction() {
  auto* f = dynamic_cast<TMACDFunction*>(IFunction);
  if (!f) return;
  LoadPosition(UpDown1, Rounded(f->Period()));
  LoadPosition(UpDown2, Rounded(f->Period2()));
  LoadPosition(UpDown3, f->Period3());
  BHistogram->LinkPen(f->HistogramPen());
  BMACD->LinkPen(f->MACDPen());
  BMACDExp->LinkPen(f->MACDExpPen());
}

void TMACDFuncEditor::ApplyFormChanges() {
  auto* f = dynamic_cast<TMACDFunction*>(IFunction);
  if (!f) return;
  f->SetPeriod(TypedPosition(ENum, UpDown1));
  f->SetPeriod2(TypedPosition(Edit1, UpDown2));
  f->SetPeriod3(TypedPosition(Edit2, UpDown3));
}

TBollingerFuncEditor::TBollingerFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
  SetName("BollingerFuncEditor");
  ENum = Ed(this, this, "ENum", 80, 8, 56);
  UpDown1 = UD(this, this, "UpDown1", ENum, 0, 30000);
  Lbl(this, this, "LPeriod", "&Period:", 8, 8, ENum, 70);
  AlsoOnChange(ENum, Changed);
  CheckBox1 = Chk(this, this, "CheckBox1", "&Exponential", 8, 36, 150);
  CheckBox1->OnClick = Changed;
  Edit1 = Ed(this, this, "Edit1", 80, 62, 74);
  Lbl(this, this, "LDeviation", "&Deviation:", 8, 62, Edit1, 70);
  Edit1->OnChange = Changed;
  ButtonPen1 = Btn<TButtonPen>(this, this, "ButtonPen1", "&Upper...", 180, 6);
  ButtonPen2 = Btn<TButtonPen>(this, this, "ButtonPen2", "&Lower...", 180, 36);
}

void TBollingerFuncEditor::SetFunction() {
  auto* f = dynamic_cast<TBollingerFunction*>(IFunction);
  if (!f) return;
  LoadPosition(UpDown1, Rounded(f->Period()));
  CheckBox1->SetChecked(f->Exponential());
  Edit1->SetText(FloatToStr(f->Deviation()));
  ButtonPen1->LinkPen(f->UpperBandPen());
  ButtonPen2->LinkPen(f->LowBandPen());
}

void TBollingerFuncEditor::ApplyFormChanges() {
  auto* f = dynamic_cast<TBollingerFunction*>(IFunction);
  if (!f) return;
  f->SetPeriod(TypedPosition(ENum, UpDown1));
  f->SetExponential(CheckBox1->Checked());
  f->SetDeviation(StrToFloat(Edit1->Text()));
}

TExpAveFuncEditor::TExpAveFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
  SetName("ExpAveFuncEditor");
  Edit1 = Ed(this, this, "Edit1", 80, 8, 74);
  Lbl(this, this, "LWeight", "&Weight:", 8, 8, Edit1, 70);
  Edit1->OnChange = Changed;
}

void TExpAveFuncEditor::SetFunction() {
  if (auto* f = dynamic_cast<TExpAverageFunction*>(IFunction)) Edit1->SetText(FloatToStr(f->Weight()));
}

void TExpAveFuncEditor::ApplyFormChanges() {
  if (auto* f = dynamic_cast<TExpAverageFunction*>(IFunction)) f->SetWeight(StrToFloat(Edit1->Text()));
}

// =============================================================================================
// Plain forms

TCustomFunctionEditor::TCustomFunctionEditor(TComponent* AOwner) : TForm(AOwner) {
  SetName("CustomFunctionEditor");
  SetClientWidth(260);
  SetClientHeight(100);
  SetAlign(alClient);
  EStart = Ed(this, this, "EStart", 96, 8, 90);
  Lbl(this, this, "LStart", "&Start X:", 8, 8, EStart, 86);
  EStep = Ed(this, this, "EStep", 96, 36, 90);
  Lbl(this, this, "LStep", "S&tep:", 8, 36, EStep, 86);
  ENum = Ed(this, this, "ENum", 96, 64, 90);
  Lbl(this, this, "LNum", "&Num. points:", 8, 64, ENum, 86);
  for (TEdit* e : {EStart, EStep, ENum})
    e->OnChange = [this](TObject*) {
      if (!FLoading) EnableOwnerApply(this);
    };
  OnShow = [this](TObject* s) { FormShow(s); };
  OnCloseQuery = [this](TObject* s, bool& CanClose) { FormCloseQuery(s, CanClose); };
}

void TCustomFunctionEditor::FormShow(TObject*) {
  TFlagGuard g(FLoading);
  IFunction = dynamic_cast<TGraphFunction*>(reinterpret_cast<TObject*>(Tag()));
  auto* f = dynamic_cast<TCustomGraphFunction*>(IFunction);
  if (!f) return;
  EStart->SetText(FloatToStr(f->StartX()));
  EStep->SetText(FloatToStr(f->Period()));
  ENum->SetText(IntToStr(f->NumPoints()));
}

void TCustomFunctionEditor::FormCloseQuery(TObject*, bool& CanClose) {
  CanClose = true;
  if (!IFunction) IFunction = MakeOwnFunction<TCustomGraphFunction>(this);
  auto* f = dynamic_cast<TCustomGraphFunction*>(IFunction);
  if (!f) return;
  f->SetStartX(StrToFloat(EStart->Text()));
  f->SetPeriod(StrToFloat(EStep->Text()));
  f->SetNumPoints(StrToInt(ENum->Text()));
  AttachWhenNone(this, f);
}

TADXFuncEditor::TADXFuncEditor(TComponent* AOwner) : TForm(AOwner) {
  SetName("ADXFuncEditor");
  SetClientWidth(260);
  SetClientHeight(100);
  SetAlign(alClient);
  EPeriod = Ed(this, this, "EPeriod", 80, 8, 56);
  UDPeriod = UD(this, this, "UDPeriod", EPeriod, 2, 32767);
  Lbl(this, this, "LPeriod", "&Period:", 8, 8, EPeriod, 70);
  AlsoOnChange(EPeriod, [this](TObject*) {
    if (!FLoading) EnableOwnerApply(this);
  });
  BUp = Btn<TButtonPen>(this, this, "BUp", "&Up...", 8, 40);
  BDown = Btn<TButtonPen>(this, this, "BDown", "&Down...", 104, 40);
  OnShow = [this](TObject* s) { FormShow(s); };
  OnCloseQuery = [this](TObject* s, bool& CanClose) { FormCloseQuery(s, CanClose); };
}

void TADXFuncEditor::FormShow(TObject*) {
  TFlagGuard g(FLoading);
  IFunction = dynamic_cast<TGraphFunction*>(reinterpret_cast<TObject*>(Tag()));
  auto* f = dynamic_cast<TADXFunction*>(IFunction);
  if (!f) return;
  LoadPosition(UDPeriod, Rounded(f->Period()));
  BUp->LinkPen(f->UpLinePen());
  BDown->LinkPen(f->DownLinePen());
}

void TADXFuncEditor::FormCloseQuery(TObject*, bool& CanClose) {
  CanClose = true;
  if (!IFunction) IFunction = MakeOwnFunction<TADXFunction>(this);
  auto* f = dynamic_cast<TADXFunction*>(IFunction);
  if (!f) return;
  f->SetPeriod(TypedPosition(EPeriod, UDPeriod));
  AttachWhenNone(this, f);
}
