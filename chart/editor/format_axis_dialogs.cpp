#include "chart/editor/format_axis_dialogs.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_panel.h"
#include "chart/extra/pen_dialog.h"
#include "platform/datetime.h"
#include "platform/exceptions.h"
#include "platform/extctrls.h"
#include "platform/localeinfo.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TFormatEditor)
VM_DEFINE_CLASS(TAxisIncrement)
VM_DEFINE_CLASS(TAxisMaxMin)

namespace {

const char* const kStepNames[DateTimeStepCount] = {
    "One Microsecond", "One Millisecond", "One Second",   "Five Seconds", "Ten Seconds",     "Fifteen Seconds",
    "Thirty Seconds",  "One Minute",      "Five Minutes", "Ten Minutes",  "Fifteen Minutes", "Thirty Minutes",
    "One Hour",        "Two Hours",       "Six Hours",    "Twelve Hours", "One Day",         "Two Days",
    "Three Days",      "One Week",        "Half Month",   "One Month",    "Two Months",      "Three Months",
    "Four Months",     "Six Months",      "One Year"};

const char* const kDateFormats[] = {"mm-yyyy", "mm-dd-yy", "dd-mm-yyyy", "mmm", "ddd", "MM"};
const char* const kGeoFormats[] = {"ddd\xC2\xB0 mm' ss\".zzz",
                                   "ddd mm' ss\".zzz",
                                   "ddd deg mm' ss\".zzz",
                                   "ddd mm' ss\".zzz",
                                   "ddd mm ss.zzz",
                                   "ddd mm ss",
                                   "ddd mm",
                                   "ddd\xC2\xB0",
                                   "ddd"};

template <class T>
T* Make(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y, int W,
        int H) {
  auto* c = new T(Owner);
  c->SetName(Name);
  c->SetParent(Parent);
  if (!Caption.empty()) c->SetCaption(Caption);
  c->SetBounds(X, Y, W, H);
  return c;
}

void OkCancel(TForm* Form, TButton*& Ok, TButton*& Cancel, int Y, bool OkCloses = true) {
  Ok = Make<TButton>(Form, Form, "BOk", "OK", Form->Width() - 170, Y, 75, 25);
  Ok->SetDefault(true);
  if (OkCloses) Ok->SetModalResult(mrOk);
  Cancel = Make<TButton>(Form, Form, "BCancel", "Cancel", Form->Width() - 88, Y, 75, 25);
  Cancel->SetCancel(true);
  Cancel->SetModalResult(mrCancel);
}

// Sets a flag for its lifetime and gives it back its former value.
struct TFlagGuard {
  explicit TFlagGuard(bool& F) : Flag(F), Was(F) { Flag = true; }
  ~TFlagGuard() { Flag = Was; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;
  bool& Flag;
  bool Was;
};

std::string Repeat(char C, int N) { return N > 0 ? std::string(static_cast<size_t>(N), C) : std::string(); }

// "d hh:nn:ss" for one day or more, the time below a day, one second for nothing.
std::string DaysAndTime(double Value) {
  if (Value <= 0) return TimeToStr(DateTimeStepTable[2]);
  if (Value >= 1) {
    const double days = std::trunc(Value);
    std::string s = FloatToStr(days);
    const double rest = Value - days;
    if (rest > 0) s += " " + TimeToStr(rest);
    return s;
  }
  return TimeToStr(Value);
}

}  // namespace

std::string DateTimeStepName(int Index) {
  if (Index < 0 || Index >= DateTimeStepCount) throw ERangeError("Range check error");
  return kStepNames[Index];
}

void ShowIncorrectValue(const std::string& Reason) {
  if (Application) Application->MessageBox(Format(MsgIncorrectValue, {Reason}), "", MB_OK | MB_ICONERROR);
}

// ---------------------------------------------------------------------------------------------
// TFormatEditor

TFormatEditor::TFormatEditor(TComponent* AOwner) : TForm(AOwner) {
  SetName("FormatEditor");
  SetCaption("Numeric Format");
  SetBorderStyle(bsDialog);
  SetBounds(0, 0, 360, 300);
  RBInteger = Make<TRadioButton>(this, this, "RBInteger", "&Number", 8, 8, 100, 20);
  CBPercent = Make<TCheckBox>(this, this, "CBPercent", "&Percent", 24, 32, 100, 20);
  CBThousands = Make<TCheckBox>(this, this, "CBThousands", "&Thousands", 24, 54, 100, 20);
  CBCurrency = Make<TCheckBox>(this, this, "CBCurrency", "C&urrency", 24, 76, 100, 20);
  auto* l1 = Make<TLabel>(this, this, "Label1", "D&ecimals:", 150, 34, 60, 16);
  Edit1 = Make<TEdit>(this, this, "Edit1", "", 214, 30, 40, 22);
  UpDown1 = Make<TUpDown>(this, this, "UpDown1", "", 254, 30, 17, 22);
  UpDown1->SetMin(0);
  UpDown1->SetMax(20);
  UpDown1->SetAssociate(Edit1);
  l1->SetFocusControl(Edit1);
  CBFixedDecimals = Make<TCheckBox>(this, this, "CBFixedDecimals", "F&ixed", 276, 32, 70, 20);
  auto* l2 = Make<TLabel>(this, this, "Label2", "&Fixed:", 150, 60, 60, 16);
  Edit2 = Make<TEdit>(this, this, "Edit2", "", 214, 56, 40, 22);
  UpDown2 = Make<TUpDown>(this, this, "UpDown2", "", 254, 56, 17, 22);
  UpDown2->SetMin(0);
  UpDown2->SetMax(20);
  UpDown2->SetAssociate(Edit2);
  l2->SetFocusControl(Edit2);
  RBDate = Make<TRadioButton>(this, this, "RBDate", "&Date Time:", 8, 110, 100, 20);
  CBDate = Make<TComboBox>(this, this, "CBDate", "", 120, 108, 220, 22);
  for (const char* f : kDateFormats) CBDate->Items()->Add(f);
  for (const std::string& f : {LocaleInfo().ShortDateFormat, LocaleInfo().ShortTimeFormat})
    if (CBDate->Items()->IndexOf(f) < 0) CBDate->Items()->Add(f);
  RBGeo = Make<TRadioButton>(this, this, "RBGeo", "&Geographic:", 8, 140, 100, 20);
  CBGeo = Make<TComboBox>(this, this, "CBGeo", "", 120, 138, 220, 22);
  RBCustom = Make<TRadioButton>(this, this, "RBCustom", "&Custom:", 8, 170, 100, 20);
  CBCustom = Make<TComboBox>(this, this, "CBCustom", "", 120, 168, 220, 22);
  for (TComboBox* c : {CBDate, CBGeo, CBCustom}) c->SetEnabled(false);
  OkCancel(this, BOk, BCancel, 236);
  RBInteger->OnClick = [this](TObject*) { RBIntegerClick(); };
  for (TWinControl* c : std::initializer_list<TWinControl*>{RBDate, RBGeo, RBCustom, CBThousands, CBCurrency})
    c->OnClick = [this](TObject*) { RadioClick(); };
  CBPercent->OnClick = [this](TObject*) { CBPercentClick(); };
  for (TComboBox* c : {CBDate, CBGeo, CBCustom})
    c->OnChange = [this, c](TObject*) {
      if (!FUpdating) TheFormat = c->Text();
    };
  OnShow = [this](TObject*) { FormShow(); };
}

void TFormatEditor::FormShow() {
  TFlagGuard guard(FUpdating);
  CBCustom->Items()->Clear();
  CBCustom->Items()->Add("#.#");
  CBCustom->Items()->Add("0.0%");
  CBGeo->Items()->Clear();
  for (const char* f : kGeoFormats) CBGeo->Items()->Add(f);
  auto choose = [&](TRadioButton* Radio, TComboBox* Combo) {
    Combo->SetEnabled(true);
    Combo->SetText(TheFormat);
    Radio->SetChecked(true);
    if (Combo->CanFocus()) Combo->SetFocus();
  };
  if (CBDate->Items()->IndexOf(TheFormat) >= 0 && RBDate->Visible()) {
    choose(RBDate, CBDate);
  } else if (CBGeo->Items()->IndexOf(TheFormat) >= 0) {
    choose(RBGeo, CBGeo);
  } else {
    std::string f = TheFormat;
    auto takeFirst = [&](const std::string& What) {
      const size_t at = f.find(What);
      if (at == std::string::npos) return false;
      f.erase(at, What.size());
      return true;
    };
    if (takeFirst("%")) {
      CBPercent->SetChecked(true);
      CBThousands->SetEnabled(false);
      CBCurrency->SetEnabled(false);
    }
    if (takeFirst(LocaleInfo().CurrencyString)) CBCurrency->SetChecked(true);
    if (takeFirst(std::string(1, ThousandSeparator))) CBThousands->SetChecked(true);
    const size_t dot = f.find(DecimalSeparator);
    if (dot != std::string::npos) {
      RBInteger->SetChecked(true);
      size_t end = dot + 1;
      while (end < f.size() && (f[end] == '#' || f[end] == '0')) ++end;
      const std::string run = f.substr(dot + 1, end - dot - 1);
      UpDown1->SetPosition(static_cast<int>(run.size()));
      CBFixedDecimals->SetChecked(!run.empty() && run[0] == '0');
      f.erase(dot, end - dot);
    }
    if (f.find_first_not_of("#0") != std::string::npos) {
      RBCustom->SetChecked(true);
      CBCustom->SetEnabled(true);
      if (CBCustom->Items()->IndexOf(TheFormat) < 0) CBCustom->Items()->Add(TheFormat);
      CBCustom->SetText(TheFormat);
      if (CBCustom->CanFocus()) CBCustom->SetFocus();
    } else {
      RBInteger->SetChecked(true);
      UpDown2->SetPosition(static_cast<int>(std::count(f.begin(), f.end(), '0')));
    }
  }
  TranslateControl(this);
  if (EditorDialogHook) EditorDialogHook(this);
}

void TFormatEditor::RadioClick() {
  if (FUpdating) return;
  TFlagGuard guard(FUpdating);
  if (RBDate->Checked() || RBGeo->Checked() || RBCustom->Checked()) RBInteger->SetChecked(false);
  CBDate->SetEnabled(RBDate->Checked());
  CBGeo->SetEnabled(RBGeo->Checked());
  CBCustom->SetEnabled(RBCustom->Checked());
  if (RBDate->Checked()) {
    if (CBDate->Text().empty()) CBDate->SetText(LocaleInfo().ShortDateFormat);
    if (CBDate->CanFocus()) CBDate->SetFocus();
  } else if (RBGeo->Checked()) {
    if (CBGeo->Text().empty() && CBGeo->Items()->Count() > 0) CBGeo->SetText(CBGeo->Items()->Strings(0));
    if (CBGeo->CanFocus()) CBGeo->SetFocus();
  } else {
    CBPercent->SetEnabled(!CBCustom->Enabled());
    if (CBCustom->Enabled() && CBCustom->CanFocus()) CBCustom->SetFocus();
  }
}

void TFormatEditor::RBIntegerClick() {
  if (FUpdating || !RBInteger->Checked()) return;
  {
    TFlagGuard guard(FUpdating);
    RBDate->SetChecked(false);
    RBGeo->SetChecked(false);
    RBCustom->SetChecked(false);
  }
  RadioClick();
}

void TFormatEditor::CBPercentClick() {
  const bool on = CBPercent->Checked();
  CBThousands->SetEnabled(!on);
  CBCurrency->SetEnabled(!on);
  if (on && !FUpdating) {
    TFlagGuard guard(FUpdating);
    CBThousands->SetChecked(false);
    CBCurrency->SetChecked(false);
  }
}

std::string TFormatEditor::BuildFormat() const {
  if (CBCustom->Enabled()) return CBCustom->Text();
  if (RBInteger->Checked()) {
    std::string r;
    if (CBCurrency->Checked()) r += LocaleInfo().CurrencyString;
    const int n = UpDown2->Position();
    const std::string sep(1, ThousandSeparator);
    if (n == 0)
      r += CBThousands->Checked() ? "#,###" : "#";
    else if (!CBThousands->Checked())
      r += Repeat('0', n);
    else if (n < 4)
      r += "#" + sep + Repeat('#', 3 - n) + Repeat('0', n);
    else
      r += Repeat('0', n - 3) + sep + "000";
    const int d = UpDown1->Position();
    if (d > 0) r += std::string(1, DecimalSeparator) + Repeat(CBFixedDecimals->Checked() ? '0' : '#', d);
    if (CBPercent->Checked()) r += "%";
    return r;
  }
  if (RBDate->Checked()) return CBDate->Text();
  if (RBGeo->Checked()) return CBGeo->Text();
  return {};
}

bool EditValueFormat(TComponent* Owner, const std::string& Format, std::string& Result, bool AllowDateTime) {
  TFormatEditor e(Owner);
  e.TheFormat = Format;
  e.RBDate->SetVisible(AllowDateTime);
  e.CBDate->SetVisible(AllowDateTime);
  const bool ok = e.ShowModal() == mrOk;
  Result = ok ? e.BuildFormat() : Format;
  return ok;
}

// ---------------------------------------------------------------------------------------------
// TAxisIncrement

TAxisIncrement::TAxisIncrement(TComponent* AOwner) : TForm(AOwner) {
  SetName("AxisIncrement");
  SetCaption("Axis Increment");
  SetBorderStyle(bsDialog);
  SetBounds(0, 0, 330, 190);
  RadioGroup1 = Make<TRadioGroup>(this, this, "RadioGroup1", "Increment:", 8, 8, 110, 70);
  RadioGroup1->Items()->Add("&Standard:");
  RadioGroup1->Items()->Add("&Custom:");
  CBSteps = Make<TComboBox>(this, this, "CBSteps", "", 126, 24, 190, 22);
  CBSteps->SetStyle(csDropDownList);
  for (const char* s : kStepNames) CBSteps->Items()->Add(s);
  LabelCustom = Make<TLabel>(this, this, "LabelCustom", "&Increment:", 8, 92, 70, 16);
  ECustom = Make<TEdit>(this, this, "ECustom", "", 126, 88, 190, 22);
  LabelCustom->SetFocusControl(ECustom);
  CBExact = Make<TCheckBox>(this, this, "CBExact", "&Exact Date Time", 126, 52, 190, 20);
  OkCancel(this, BOk, BCancel, 126, false);
  RadioGroup1->OnClick = [this](TObject*) { RadioGroup1Click(); };
  CBExact->OnClick = [this](TObject*) { CBExactClick(); };
  CBSteps->OnChange = [this](TObject*) { IStep = CBSteps->ItemIndex(); };
  BOk->OnClick = [this](TObject*) { BOkClick(); };
  OnShow = [this](TObject*) { FormShow(); };
}

void TAxisIncrement::ShowIncrementInEdit() {
  ECustom->SetText(IsDateTime ? DaysAndTime(Increment) : FloatToStr(Increment));
}

void TAxisIncrement::FormShow() {
  FShowing = true;
  CBExact->SetVisible(IsDateTime);
  CBExact->SetChecked(IsExact);
  if (IsDateTime) {
    ECustom->SetHint(MsgEdEnterDateTime);
    ECustom->SetShowHint(true);
    ShowIncrementInEdit();
    if (IsExact && IStep != dtNoStep) {
      RadioGroup1->SetItemIndex(0);
      RadioGroup1Click();
      CBSteps->SetItemIndex(IStep);
      ECustom->SetText("");
    } else {
      RadioGroup1->SetItemIndex(1);
      RadioGroup1Click();
      CBSteps->SetItemIndex(-1);
    }
  } else {
    CBSteps->SetVisible(false);
    RadioGroup1->SetVisible(false);
    RadioGroup1->SetItemIndex(1);
    RadioGroup1Click();
    ECustom->SetHint("");
    ECustom->SetText(FloatToStr(Increment));
    const int up = ECustom->Top() - RadioGroup1->Top();
    ECustom->SetTop(ECustom->Top() - up);
    LabelCustom->SetTop(LabelCustom->Top() - up);
    if (ECustom->CanFocus()) ECustom->SetFocus();
  }
  TranslateControl(this);
  FShowing = false;
  if (EditorDialogHook) EditorDialogHook(this);
}

void TAxisIncrement::RadioGroup1Click() {
  if (RadioGroup1->ItemIndex() == 0) {
    ECustom->SetEnabled(false);
    CBExact->SetEnabled(true);
    CBExact->SetChecked(true);
    IsExact = true;
    CBSteps->SetEnabled(true);
    CBSteps->SetItemIndex(IStep == dtNoStep ? 0 : IStep);
    if (IStep == dtNoStep) IStep = 0;
    if (CBSteps->CanFocus()) CBSteps->SetFocus();
  } else {
    ECustom->SetEnabled(true);
    CBExact->SetEnabled(false);
    CBExact->SetChecked(false);
    IsExact = false;
    CBSteps->SetEnabled(false);
    ShowIncrementInEdit();
    if (ECustom->CanFocus()) ECustom->SetFocus();
  }
}

void TAxisIncrement::CBExactClick() {
  if (CBExact->Checked()) {
    IsExact = true;
    return;
  }
  IsExact = false;
  if (RadioGroup1->ItemIndex() != 1) {
    RadioGroup1->SetItemIndex(1);
    RadioGroup1Click();
  }
}

void TAxisIncrement::BOkClick() {
  try {
    if (!IsDateTime) {
      Increment = StrToFloat(Trim(ECustom->Text()));
    } else if (RadioGroup1->ItemIndex() == 0) {
      Increment = DateTimeStepTable[std::max(0, CBSteps->ItemIndex())];
      IStep = std::max(0, CBSteps->ItemIndex());
    } else {
      const std::string text = Trim(ECustom->Text());
      const size_t blank = text.find(' ');
      double v = 0;
      TDateTime t = 0;
      if (blank != std::string::npos)
        Increment = StrToFloat(text.substr(0, blank)) + StrToTime(Trim(text.substr(blank + 1)));
      else if (TryStrToFloat(text, v))
        Increment = v;
      else if (TryStrToTime(text, t))
        Increment = t;
      else
        Increment = StrToFloat(text);
    }
  } catch (const EConvertError& E) {
    ShowIncorrectValue(E.Message());
    return;
  }
  SetModalResult(mrOk);
}

// ---------------------------------------------------------------------------------------------
// TAxisMaxMin

TAxisMaxMin::TAxisMaxMin(TComponent* AOwner) : TForm(AOwner) {
  SetName("AxisMaxMin");
  SetCaption("Axis Maximum and Minimum");
  SetBorderStyle(bsDialog);
  SetBounds(0, 0, 300, 130);
  Label1 = Make<TLabel>(this, this, "Label1", "&Date:", 8, 12, 60, 16);
  EMaximum = Make<TEdit>(this, this, "EMaximum", "", 80, 8, 200, 22);
  EMaximum->SetHint("Enter Date");
  Label1->SetFocusControl(EMaximum);
  Label2 = Make<TLabel>(this, this, "Label2", "&Time:", 8, 42, 60, 16);
  EMinimum = Make<TEdit>(this, this, "EMinimum", "", 80, 38, 200, 22);
  EMinimum->SetHint("Enter Time");
  Label2->SetFocusControl(EMinimum);
  OkCancel(this, BOk, BCancel, 72, false);
  BOk->OnClick = [this](TObject*) { BOkClick(); };
  OnShow = [this](TObject*) { FormShow(); };
}

void TAxisMaxMin::FormShow() {
  if (IsDateTime) {
    if (MaxMin >= 1) {
      EMaximum->SetText(DateToStr(MaxMin));
    } else {
      Label1->SetVisible(false);
      EMaximum->SetVisible(false);
    }
    EMinimum->SetText(TimeToStr(MaxMin));
  } else {
    EMaximum->SetHint("");
    EMinimum->SetHint("");
    Label1->SetCaption("Value:");
    EMaximum->SetText(FloatToStr(MaxMin));
    Label2->SetVisible(false);
    EMinimum->SetVisible(false);
  }
  TranslateControl(this);
  if (EditorDialogHook) EditorDialogHook(this);
}

void TAxisMaxMin::BOkClick() {
  try {
    if (!IsDateTime)
      MaxMin = StrToFloat(Trim(EMaximum->Text()));
    else if (EMaximum->Visible())
      MaxMin = StrToDateTime(Trim(EMaximum->Text()) + " " + Trim(EMinimum->Text()));
    else
      MaxMin = StrToTime(Trim(EMinimum->Text()));
  } catch (const EConvertError& E) {
    ShowIncorrectValue(E.Message());
    return;
  }
  SetModalResult(mrOk);
}

// ---------------------------------------------------------------------------------------------

void IncrementText(TComponent*, bool IsDateTime, bool Exact, std::string& Text, const std::string& Format,
                   double Value) {
  if (IsDateTime) {
    const int step = FindDateTimeStep(Value);
    Text = Exact && step != dtNoStep ? DateTimeStepName(step) : DaysAndTime(Value);
    return;
  }
  Text = FormatFloat(Format, Value);
  double back = 0;
  if (!TryStrToFloat(Text, back) || back != Value) Text = FloatToStr(Value);
}
