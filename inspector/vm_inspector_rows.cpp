// Inspector rows bound to editor kinds: each row copies its settings into its editor, moves its
// value text in and out of it, and fills the painter's view data so that an unfocused cell looks
// as the editor would show it.
#include "inspector/vm_inspector_rows.h"

#include <cmath>

#include "platform/bitmap.h"
#include "platform/forms.h"
#include "platform/imglist.h"
#include "platform/localeinfo.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TvmInspectorMaskEdit)
VM_DEFINE_CLASS(TvmInspectorCheckEdit)
VM_DEFINE_CLASS(TvmInspectorSpinEdit)
VM_DEFINE_CLASS(TvmInspectorHyperLinkEdit)
VM_DEFINE_CLASS(TvmInspectorMemoEdit)
VM_DEFINE_CLASS(TvmInspectorDropDownEdit)
VM_DEFINE_CLASS(TvmInspectorDateEdit)
VM_DEFINE_CLASS(TvmInspectorCalcEdit)
VM_DEFINE_CLASS(TvmInspectorButtonEdit)
VM_DEFINE_CLASS(TvmInspectorPickEdit)
VM_DEFINE_CLASS(TvmInspectorMRUEdit)
VM_DEFINE_CLASS(TvmInspectorImageEdit)
VM_DEFINE_CLASS(TvmInspectorBlobEdit)
VM_DEFINE_CLASS(TvmInspectorCurrencyEdit)
VM_DEFINE_CLASS(TvmInspectorTimeEdit)
VM_DEFINE_CLASS(TvmInspectorPopupEdit)
VM_DEFINE_CLASS(TvmInspectorGraphicEdit)

VM_DEFINE_CLASS(TvmInspectorDropDownRow)

namespace {
const char* const SCheckTrue = "True";    // string resource 38901
const char* const SCheckFalse = "False";  // string resource 38902
}  // namespace

// ---------------------------------------------------------------------------------------------
// Mask row.

void TvmInspectorMaskRow::SetEditMask(const std::string& Value) {
  if (Value == FEditMask) return;
  FEditMask = Value;
  FEditMaskAssigned = true;
}

void TvmInspectorMaskRow::SetIgnoreMaskBlank(bool Value) {
  if (Value == FIgnoreMaskBlank) return;
  FIgnoreMaskBlank = Value;
  Changed();
}

void TvmInspectorMaskRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorRow::InitEditor(Edit);
  if (auto* m = dynamic_cast<TvmInplaceMaskEdit*>(Edit)) {
    m->SetEditMask(EditMask());
    m->SetIgnoreMaskBlank(FIgnoreMaskBlank);
  }
}

void TvmInspectorMaskRow::LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* m = dynamic_cast<TvmInplaceMaskEdit*>(Edit);
  if (!m) return TvmInspectorRow::LoadEditValue(Edit, Value);
  m->SetText(EditText());
  Value = m->GetText();
}

void TvmInspectorMaskRow::ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* m = dynamic_cast<TvmInplaceMaskEdit*>(Edit);
  if (!m) return TvmInspectorRow::ApplyEditValue(Edit, Value);
  SetEditText(m->GetText());
  Value = EditText();
}

void TvmInspectorMaskRow::RestoreDefaults() {
  TvmInspectorRow::RestoreDefaults();
  FEditMask = GetDefaultEditMask();
  FEditMaskAssigned = false;
  FIgnoreMaskBlank = false;
}

void TvmInspectorMaskRow::Assign(TPersistent* Source) {
  TvmInspectorRow::Assign(Source);
  if (auto* s = dynamic_cast<TvmInspectorMaskRow*>(Source)) {
    if (s->FEditMaskAssigned) SetEditMask(s->FEditMask);
    FIgnoreMaskBlank = s->FIgnoreMaskBlank;
  }
}

// ---------------------------------------------------------------------------------------------
// Check row.

TvmInspectorCheckRow::TvmInspectorCheckRow(TComponent* AOwner)
    : TvmInspectorRow(AOwner), ValueChecked(SCheckTrue), ValueUnchecked(SCheckFalse) {}

TvmInspectorCheckRow::~TvmInspectorCheckRow() = default;

TBitmap* TvmInspectorCheckRow::Glyph() {
  if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
  return FGlyph.get();
}

void TvmInspectorCheckRow::SetGlyph(TBitmap* Value) {
  if (!Value)
    FGlyph.reset();
  else
    Glyph()->Assign(Value);
  Changed();
}

void TvmInspectorCheckRow::SetGlyphCount(int Value) {
  if (Value == FGlyphCount) return;
  FGlyphCount = Value;
  if (FGlyph) Changed();
}

TvmCheckBoxState TvmInspectorCheckRow::TextToState(const std::string& Text) const {
  if (SameText(Text, ValueChecked)) return cbsChecked;
  if (SameText(Text, ValueUnchecked)) return cbsUnchecked;
  return cbsGrayed;
}

std::string TvmInspectorCheckRow::StateToText(TvmCheckBoxState State) const {
  switch (State) {
    case cbsChecked:
      return ValueChecked;
    case cbsUnchecked:
      return ValueUnchecked;
    default:
      return ValueGrayed;
  }
}

void TvmInspectorCheckRow::EditChange(TObject* Sender) {
  TvmInspectorRow::EditChange(Sender);
  if (FInspector && !FInspector->IsInitializingEditor() && OnToggleClick)
    if (auto* c = dynamic_cast<TvmInplaceCheckEdit*>(Sender)) OnToggleClick(this, StateToText(c->State()), c->State());
}

void TvmInspectorCheckRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorRow::InitEditor(Edit);
  if (auto* c = dynamic_cast<TvmInplaceCheckEdit*>(Edit)) {
    c->SetAlignment(taCenter);
    c->SetAllowGrayed(AllowGrayed);
    c->Style()->SetButtonStyle(Border3D ? bts3D : btsSimple);
    c->SetGlyph(FGlyph.get());
    c->SetGlyphCount(FGlyphCount);
    c->SetNullDisplayStyle(ShowNullFieldStyle);
  }
}

void TvmInspectorCheckRow::LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* c = dynamic_cast<TvmInplaceCheckEdit*>(Edit);
  if (!c) return TvmInspectorRow::LoadEditValue(Edit, Value);
  c->SetState(TextToState(EditText()));
  Value = static_cast<int>(c->State());
}

void TvmInspectorCheckRow::ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* c = dynamic_cast<TvmInplaceCheckEdit*>(Edit);
  if (!c) return TvmInspectorRow::ApplyEditValue(Edit, Value);
  SetEditText(StateToText(c->State()));
  Value = EditText();
}

void TvmInspectorCheckRow::InitViewData(TvmEditViewData* VD, TvmInspectorCellViewData& CellInfo) {
  TvmInspectorRow::InitViewData(VD, CellInfo);
  if (auto* c = dynamic_cast<TvmCheckEditViewData*>(VD)) {
    c->Caption.clear();
    c->State = TextToState(CellInfo.Text);
    c->Value = static_cast<int>(c->State);
    c->Alignment = taCenter;
    c->ButtonStyle = Border3D ? bts3D : btsSimple;
    c->Glyph = FGlyph && !FGlyph->Empty() ? FGlyph.get() : nullptr;
    c->GlyphCount = FGlyphCount;
    c->NullStyle = ShowNullFieldStyle;
    c->IsTextEditor = false;
  }
}

bool TvmInspectorCheckRow::IsTextClipped(bool ForValue, const TRect& R, std::string& Text) {
  return ForValue ? false : TvmInspectorRow::IsTextClipped(ForValue, R, Text);
}

int TvmInspectorCheckRow::GetMinRowHeight(TCanvas* Canvas) {
  // A glyph the check editor can cut into its states sets the height by itself.
  if (FGlyph && !FGlyph->Empty() && FGlyphCount > 0) return FGlyph->Height();
  TvmCheckEditViewData vd;
  return TvmInplaceCheckEdit::GetCheckGlyphSize(&vd).cy + 2;
}

void TvmInspectorCheckRow::RestoreDefaults() {
  TvmInspectorRow::RestoreDefaults();
  AllowGrayed = Border3D = false;
  FGlyphCount = 6;
  ShowNullFieldStyle = nsUnchecked;
}

void TvmInspectorCheckRow::Assign(TPersistent* Source) {
  TvmInspectorRow::Assign(Source);
  if (auto* s = dynamic_cast<TvmInspectorCheckRow*>(Source)) {
    AllowGrayed = s->AllowGrayed;
    Border3D = s->Border3D;
    if (s->FGlyph)
      Glyph()->Assign(s->FGlyph.get());
    else
      FGlyph.reset();
    FGlyphCount = s->FGlyphCount;
    ShowNullFieldStyle = s->ShowNullFieldStyle;
    ValueChecked = s->ValueChecked;
    ValueGrayed = s->ValueGrayed;
    ValueUnchecked = s->ValueUnchecked;
  }
}

// ---------------------------------------------------------------------------------------------
// Spin row.

void TvmInspectorSpinRow::SetMinValue(double Value) {
  FMinValue = Value;
  FMinAssigned = true;
}

void TvmInspectorSpinRow::SetMaxValue(double Value) {
  FMaxValue = Value;
  FMaxAssigned = true;
}

void TvmInspectorSpinRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorRow::InitEditor(Edit);
  if (auto* s = dynamic_cast<TvmInplaceSpinEdit*>(Edit)) {
    s->SetEditorEnabled(EditorEnabled);
    s->SetIncrement(Increment);
    s->SetMinMax(MinValue(), MaxValue());
    s->SetUseCtrlIncrement(UseCtrlIncrement);
    s->SetValueType(GetValueType());
  }
}

void TvmInspectorSpinRow::LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  TvmInspectorRow::LoadEditValue(Edit, Value);
  auto* s = dynamic_cast<TvmInplaceSpinEdit*>(Edit);
  if (!s) return;
  const std::string text = EditText();
  double v = 0;
  if (!text.empty() && !TryStrToFloat(text, v)) v = 0;  // a value text that is no number loads 0
  if (!text.empty() || v != 0)
    s->SetValue(v);
  else
    s->SetValue(0);
  Value = s->GetValue();
}

void TvmInspectorSpinRow::ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* s = dynamic_cast<TvmInplaceSpinEdit*>(Edit);
  if (!s) return TvmInspectorRow::ApplyEditValue(Edit, Value);
  const double v = s->GetValue();
  if (s->ValueType() == vtFloat)
    SetEditText(FloatToStrF(v, ffGeneral, 15, 0));
  else
    SetEditText(std::to_string(static_cast<long long>(std::nearbyint(v))));
  Value = EditText();
}

void TvmInspectorSpinRow::InitViewData(TvmEditViewData* VD, TvmInspectorCellViewData& CellInfo) {
  TvmInspectorRow::InitViewData(VD, CellInfo);
  if (auto* s = dynamic_cast<TvmSpinEditViewData*>(VD)) s->ShowButtons = false;
}

void TvmInspectorSpinRow::RestoreDefaults() {
  TvmInspectorRow::RestoreDefaults();
  FMinAssigned = FMaxAssigned = false;
  EditorEnabled = true;
  Increment = 1;
  FMinValue = FMaxValue = 0;
  UseCtrlIncrement = true;
}

void TvmInspectorSpinRow::Assign(TPersistent* Source) {
  TvmInspectorRow::Assign(Source);
  if (auto* s = dynamic_cast<TvmInspectorSpinRow*>(Source)) {
    EditorEnabled = s->EditorEnabled;
    Increment = s->Increment;
    SetMinValue(s->MinValue());
    SetMaxValue(s->MaxValue());
    UseCtrlIncrement = s->UseCtrlIncrement;
  }
}

// ---------------------------------------------------------------------------------------------
// Time and currency rows.

void TvmInspectorTimeRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorRow::InitEditor(Edit);
  if (auto* t = dynamic_cast<TvmInplaceTimeEdit*>(Edit)) {
    t->SetTimeEditFormat(TimeEditFormat);
    t->SetUseCtrlIncrement(UseCtrlIncrement);
  }
}

void TvmInspectorTimeRow::ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* t = dynamic_cast<TvmInplaceTimeEdit*>(Edit);
  if (!t) return TvmInspectorRow::ApplyEditValue(Edit, Value);
  SetEditText(t->GetValue() != 0 ? t->GetEditText() : std::string());
  Value = EditText();
}

TvmInspectorCurrencyRow::TvmInspectorCurrencyRow(TComponent* AOwner)
    : TvmInspectorRow(AOwner), FDisplayFormat(DefaultCurrencyFormat()) {
  // The locale's settings in force changed (the program follows the system's).
  FLocaleHandler = AddLocaleChangeHandler([this] { WinIniChanged(); });
}

TvmInspectorCurrencyRow::~TvmInspectorCurrencyRow() { RemoveLocaleChangeHandler(FLocaleHandler); }

void TvmInspectorCurrencyRow::WinIniChanged() {
  if (FDisplayFormatAssigned) return;
  const std::string f = DefaultCurrencyFormat();
  if (f == FDisplayFormat) return;
  FDisplayFormat = f;
  Changed();
}

void TvmInspectorCurrencyRow::SetMinValue(double Value) {
  if (FMinAssigned && Value == FMinValue) return;
  FMinValue = Value;
  FMinAssigned = true;
}

void TvmInspectorCurrencyRow::SetMaxValue(double Value) {
  if (FMaxAssigned && Value == FMaxValue) return;
  FMaxValue = Value;
  FMaxAssigned = true;
}

void TvmInspectorCurrencyRow::RestoreDefaults() {
  TvmInspectorRow::RestoreDefaults();
  FMinAssigned = FMaxAssigned = false;
  FMinValue = FMaxValue = 0;
  FDisplayFormatAssigned = false;
  DecimalPlaces = 2;
  FDisplayFormat = DefaultCurrencyFormat();
  Nullable = false;
  NullString.clear();
  UseThousandSeparator = false;
}

void TvmInspectorCurrencyRow::Assign(TPersistent* Source) {
  TvmInspectorRow::Assign(Source);
  if (auto* s = dynamic_cast<TvmInspectorCurrencyRow*>(Source)) {
    DecimalPlaces = s->DecimalPlaces;
    SetDisplayFormat(s->FDisplayFormat);
    SetMinValue(s->MinValue());
    SetMaxValue(s->MaxValue());
    Nullable = s->Nullable;
    NullString = s->NullString;
    UseThousandSeparator = s->UseThousandSeparator;
  }
}

void TvmInspectorCurrencyRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorRow::InitEditor(Edit);
  if (auto* c = dynamic_cast<TvmInplaceCurrencyEdit*>(Edit)) {
    c->SetDecimalPlaces(static_cast<int>(DecimalPlaces));
    c->SetUseThousandSeparator(UseThousandSeparator);
    c->SetNullable(Nullable);
    c->SetNullString(NullString);
    c->SetLimits(MinValue(), MaxValue());
    // The editor edits plain numbers: the row formats the cell itself.
    c->SetDisplayFormatExplicit("");
  }
}

void TvmInspectorCurrencyRow::SetDisplayFormat(const std::string& Value) {
  FDisplayFormatAssigned = true;
  if (Value == FDisplayFormat) return;
  FDisplayFormat = Value;
  Changed();
}

Variant TvmInspectorCurrencyRow::GetCurrencyValue() {
  const std::string t = EditText();
  if (t.empty()) return Variant();
  double v = 0;
  if (!TryStrToFloat(t, v)) return Variant(t);
  return Variant(v);
}

void TvmInspectorCurrencyRow::LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  TvmInspectorRow::LoadEditValue(Edit, Value);
  const std::string t = EditText();
  double v = 0;
  if (t.empty()) {
    if (!Nullable) Edit->SetEditValue(std::string("0"));
  } else if (TryStrToFloat(t, v)) {
    Value = v;
  }
}

void TvmInspectorCurrencyRow::ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  const std::string t = Edit->GetWindowText();
  double v = 0;
  if (t.empty())
    SetEditText(std::string());
  else if (!TryStrToFloat(t, v))
    SetEditText(t);  // kept as typed: the cell shows it unchanged
  else
    SetEditText(v != 0 ? t : std::string("0"));
  Value = EditText();
}

void TvmInspectorCurrencyRow::InitViewData(TvmEditViewData* VD, TvmInspectorCellViewData& CellInfo) {
  TvmInspectorRow::InitViewData(VD, CellInfo);
  if (FDisplayFormat.empty()) return;
  const Variant v = GetCurrencyValue();
  if (v.IsNull())
    VD->Value = Nullable ? NullString : std::string();
  else if (v.IsString())
    VD->Value = v.AsString();
  else
    VD->Value = FormatFloat(FDisplayFormat, v.AsFloat());
}

// ---------------------------------------------------------------------------------------------
// Hyperlink and memo rows.

void TvmInspectorHyperLinkRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorRow::InitEditor(Edit);
  if (auto* h = dynamic_cast<TvmInplaceHyperLinkEdit*>(Edit)) {
    h->SetColor(EditBackgroundColor);
    h->SetLinkTextColor(EditFontColor);
    h->SetSingleClick(SingleClick);
    h->SetStartKey(StartKey);
    if (OnStartClick)
      h->StartHook = [this](TObject*) { DoStartClick(); };
    else
      h->StartHook = nullptr;
  }
}

void TvmInspectorHyperLinkRow::InitViewData(TvmEditViewData* VD, TvmInspectorCellViewData& CellInfo) {
  TvmInspectorRow::InitViewData(VD, CellInfo);
  if (SingleClick) {
    VD->TextColor = EditFontColor;
    VD->Font->SetStyle({fsUnderline});
    VD->Font->SetColor(EditFontColor);
  }
}

void TvmInspectorMemoRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorRow::InitEditor(Edit);
  if (auto* m = dynamic_cast<TvmInplaceMemoEdit*>(Edit)) {
    m->SetHideScrollBars(HideScrollBars);
    m->SetScrollBars(ScrollBars);
    m->SetWantReturns(WantReturns);
    m->SetWantTabs(WantTabs);
    m->SetWordWrap(WordWrap);
  }
}

void TvmInspectorMemoRow::InitViewData(TvmEditViewData* VD, TvmInspectorCellViewData& CellInfo) {
  TvmInspectorRow::InitViewData(VD, CellInfo);
  VD->TextLayout = 3;
  if (auto* t = dynamic_cast<TvmTextEditViewData*>(VD)) t->ShowSelectionBar = SelectionBar;
}

// ---------------------------------------------------------------------------------------------
// Drop-down rows.

TvmInspectorDropDownRow::~TvmInspectorDropDownRow() = default;

TBitmap* TvmInspectorDropDownRow::ButtonGlyph() {
  if (!FButtonGlyph) FButtonGlyph = std::make_unique<TBitmap>();
  return FButtonGlyph.get();
}

void TvmInspectorDropDownRow::SetButtonGlyph(TBitmap* Value) {
  if (!Value || Value->Empty())
    FButtonGlyph.reset();
  else
    ButtonGlyph()->Assign(Value);
  Changed();
}

void TvmInspectorDropDownRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorRow::InitEditor(Edit);
  if (auto* d = dynamic_cast<TvmInplaceDropDownEdit*>(Edit)) {
    // An empty glyph (read but never drawn into) means the standard arrow.
    d->SetButtonGlyph(FButtonGlyph && !FButtonGlyph->Empty() ? FButtonGlyph.get() : nullptr);
    d->SetImmediateDropDown(ImmediateDropDown);
    d->SetDropDownRows(DropDownRows);
    d->SetDropDownWidth(DropDownWidth);
    d->SetImmediatePopup(ImmediatePopup);
    d->SetPopupAlignment(PopupAlignment);
    d->SetPopupBorder(PopupBorder);
    d->CloseUpHook = [this](TObject* S, Variant& V, bool& A) { DoCloseUp(S, V, A); };
    d->EditButtonClickHook = [this](TObject*) { DoEditButtonClick(); };
  }
}

void TvmInspectorDropDownRow::InitViewData(TvmEditViewData* VD, TvmInspectorCellViewData& CellInfo) {
  TvmInspectorRow::InitViewData(VD, CellInfo);
  if (auto* d = dynamic_cast<TvmDropDownEditViewData*>(VD)) {
    d->ButtonGlyph = FButtonGlyph && !FButtonGlyph->Empty() ? FButtonGlyph.get() : nullptr;
    d->ButtonsHidden = true;
    d->ButtonCount = 0;
    d->HotButton = -1;
    d->HeldButton = -1;
  }
}

void TvmInspectorDropDownRow::RestoreDefaults() {
  TvmInspectorRow::RestoreDefaults();
  DropDownRows = 7;
  DropDownWidth = 0;
  ImmediateDropDown = ImmediatePopup = false;
  PopupAlignment = taLeftJustify;
  PopupBorder = pbDefault;
}

void TvmInspectorDropDownRow::Assign(TPersistent* Source) {
  TvmInspectorRow::Assign(Source);
  if (auto* s = dynamic_cast<TvmInspectorDropDownRow*>(Source)) {
    DropDownRows = s->DropDownRows;
    DropDownWidth = s->DropDownWidth;
    ImmediateDropDown = s->ImmediateDropDown;
    ImmediatePopup = s->ImmediatePopup;
    PopupAlignment = s->PopupAlignment;
    PopupBorder = s->PopupBorder;
  }
}

void TvmInspectorDateRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorDropDownRow::InitEditor(Edit);
  if (auto* d = dynamic_cast<TvmInplaceDateEdit*>(Edit)) {
    TDateButtons b = DateButtons;
    if (IsValueRequired()) b.Exclude(btnClear);
    d->SetDateButtons(b);
    d->SetDateOnError(DateOnError);
    d->SetDateValidation(DateValidation);
    d->SetSaveTime(SaveTime);
    d->SetUseEditMask(UseEditMask);
    if (OnDateValidateInput)
      d->OnDateValidateInput = [this](TObject*, const std::string& T, double& D, std::string& M, bool& E) {
        OnDateValidateInput(this, T, D, M, E);
      };
    else
      d->OnDateValidateInput = nullptr;
  }
}

void TvmInspectorCalcRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorDropDownRow::InitEditor(Edit);
  if (auto* c = dynamic_cast<TvmInplaceCalcEdit*>(Edit)) {
    c->SetBeepOnError(BeepOnError);
    c->SetButtonStyle(ButtonStyle);
    c->SetPrecision(Precision);
    c->SetQuickClose(QuickClose);
  }
}

VM_DEFINE_CLASS(TvmRowEditButtons)

TvmRowEditButtons::TvmRowEditButtons(TvmInspectorRow* ARow)
    : TvmEditButtons(ARow, TvmEditButton::StaticClass()), FRow(ARow) {}

void TvmRowEditButtons::Update(TCollectionItem* Item) {
  TvmEditButtons::Update(Item);
  FRow->Changed();
}

TvmInspectorButtonRow::TvmInspectorButtonRow(TComponent* AOwner)
    : TvmInspectorDropDownRow(AOwner),
      FButtons(std::make_unique<TvmRowEditButtons>(this)),
      FGlyph(std::make_unique<TBitmap>()) {
  FButtons->Add();
}

TvmInspectorButtonRow::~TvmInspectorButtonRow() = default;

void TvmInspectorButtonRow::SetButtons(TvmEditButtons* Value) { FButtons->Assign(Value); }

void TvmInspectorButtonRow::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  if (FButtons->Count() > 0) FButtons->Items(0)->SetGlyph(FGlyph.get());
}

void TvmInspectorButtonRow::SetEditButtonStyle(TvmEditButtonStyle Value) {
  if (Value == FEditButtonStyle) return;
  FEditButtonStyle = Value;
  if (Value == ebsSimple) {
    FButtons->Clear();
  } else {
    if (FButtons->Count() == 0) FButtons->Add();
    FButtons->Items(0)->SetKind(Value == ebsEllipsis ? bkEllipsis : Value == ebsDown ? bkDown : bkGlyph);
  }
  Changed();
}

void TvmInspectorButtonRow::SetButtonOnly(bool Value) {
  FButtonOnly = Value;
  Changed();
}

void TvmInspectorButtonRow::SetHideEditCursor(bool Value) {
  FHideEditCursor = Value;
  Changed();
}

void TvmInspectorButtonRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorDropDownRow::InitEditor(Edit);
  if (auto* b = dynamic_cast<TvmInplaceButtonEdit*>(Edit)) {
    b->Buttons()->Assign(FButtons.get());
    b->SetClickKey(ClickKey);
    b->SetMode(FButtonOnly ? bemButtonsOnly : FHideEditCursor ? bemHideCursor : bemNormal);
    b->OnButtonClick = [this](TObject* S, int I) { DoButtonClick(S, I); };
  }
}

void TvmInspectorButtonRow::InitViewData(TvmEditViewData* VD, TvmInspectorCellViewData& CellInfo) {
  TvmInspectorDropDownRow::InitViewData(VD, CellInfo);
  if (auto* b = dynamic_cast<TvmButtonEditViewData*>(VD)) b->ButtonsOnly = false;
}

void TvmInspectorButtonRow::RestoreDefaults() {
  TvmInspectorDropDownRow::RestoreDefaults();
  FButtonOnly = false;
  FButtons->Clear();
  FButtons->Add();
  FEditButtonStyle = ebsEllipsis;
  ClickKey = 16397;
  FGlyph = std::make_unique<TBitmap>();
  FHideEditCursor = false;
}

TvmInspectorPickRow::TvmInspectorPickRow(TComponent* AOwner) : TvmInspectorDropDownRow(AOwner) {
  ImmediateDropDown = true;
}

void TvmInspectorPickRow::SetItems(TStrings* Value) {
  FItems->Assign(*Value);
  Changed();
}

void TvmInspectorPickRow::DoCloseUp(TObject* Sender, Variant& Value, bool& Accept) {
  if (!OnCloseUp) return;
  Variant v = Value.IsString() ? Value : Variant(Value.AsString());
  OnCloseUp(this, v, Accept);
  Value = v.AsString();
}

void TvmInspectorPickRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorDropDownRow::InitEditor(Edit);
  if (auto* p = dynamic_cast<TvmInplacePickEdit*>(Edit)) {
    p->SetDropDownListStyle(DropDownListStyle);
    p->SetItems(FItems.get());
    p->SetCanDeleteText(CanDeleteText);
    p->SetRevertable(Revertable);
    p->SetSorted(Sorted);
  }
}

void TvmInspectorPickRow::RestoreDefaults() {
  TvmInspectorDropDownRow::RestoreDefaults();
  ImmediateDropDown = true;
  DropDownListStyle = CanDeleteText = Sorted = false;
  Revertable = true;
}

TvmInspectorMRURow::TvmInspectorMRURow(TComponent* AOwner) : TvmInspectorPickRow(AOwner) { ImmediateDropDown = false; }

void TvmInspectorMRURow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorPickRow::InitEditor(Edit);
  if (auto* m = dynamic_cast<TvmInplaceMRUEdit*>(Edit)) {
    m->SetMaxItemCount(MaxItemCount);
    m->SetShowEllipsis(ShowEllipsis);
    m->OnButtonClick = [this](TObject* S) { DoButtonClick(S); };
  }
}

void TvmInspectorMRURow::ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  if (auto* m = dynamic_cast<TvmInplaceMRUEdit*>(Edit)) FItems->Assign(*m->Items());
  TvmInspectorPickRow::ApplyEditValue(Edit, Value);
}

void TvmInspectorMRURow::RestoreDefaults() {
  TvmInspectorPickRow::RestoreDefaults();
  MaxItemCount = 7;
  ShowEllipsis = true;
}

TvmInspectorImageRow::TvmInspectorImageRow(TComponent* AOwner)
    : TvmInspectorDropDownRow(AOwner),
      FImagesLink(std::make_unique<TChangeLink>()),
      FLargeImagesLink(std::make_unique<TChangeLink>()) {
  SetAlignment(taLeftJustify);
  FImagesLink->OnChange = [this](TObject* Sender) { ImageListChange(Sender); };
  FLargeImagesLink->OnChange = [this](TObject* Sender) { ImageListChange(Sender); };
}

TvmInspectorImageRow::~TvmInspectorImageRow() {
  // The links leave their lists before the lists can tell a half-freed row.
  FImagesLink.reset();
  FLargeImagesLink.reset();
}

void TvmInspectorImageRow::ImageListChange(TObject* Sender) {
  if (Sender && Sender == FImages) Changed();
}

void TvmInspectorImageRow::SetImages(TImageList* Value) {
  if (Value == FImages) return;
  if (FImages) {
    FImages->UnRegisterChanges(FImagesLink.get());
    if (FImages != FLargeImages) FImages->RemoveFreeNotification(this);
  }
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FImagesLink.get());
    FImages->FreeNotification(this);
  }
  Changed();
}

void TvmInspectorImageRow::SetLargeImages(TImageList* Value) {
  if (Value == FLargeImages) return;
  if (FLargeImages) {
    FLargeImages->UnRegisterChanges(FLargeImagesLink.get());
    if (FLargeImages != FImages) FLargeImages->RemoveFreeNotification(this);
  }
  FLargeImages = Value;
  if (FLargeImages) {
    FLargeImages->RegisterChanges(FLargeImagesLink.get());
    FLargeImages->FreeNotification(this);
  }
}

void TvmInspectorImageRow::Notification(TComponent* AComponent, TOperation Operation) {
  TvmInspectorDropDownRow::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent) return;
  // The list is being freed: its links are already let go.
  if (AComponent == FLargeImages) FLargeImages = nullptr;
  if (AComponent == FImages) {
    FImages = nullptr;
    Changed();
  }
}

int TvmInspectorImageRow::GetMinRowHeight(TCanvas* Canvas) {
  const int h = TvmInspectorDropDownRow::GetMinRowHeight(Canvas);
  return FImages ? std::max(h, FImages->Height()) : h;
}

void TvmInspectorImageRow::RestoreDefaults() {
  TvmInspectorDropDownRow::RestoreDefaults();
  DefaultImages = true;
  MultiLineText = ShowDescription = false;
}

void TvmInspectorImageRow::DoCloseUp(TObject* Sender, Variant& Value, bool& Accept) {
  if (!OnCloseUp) return;
  std::string s = Value.AsString();
  OnCloseUp(this, s, Accept);
  Value = s;
}

void TvmInspectorImageRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorDropDownRow::InitEditor(Edit);
  if (auto* i = dynamic_cast<TvmInplaceImageEdit*>(Edit)) {
    i->SetDefaultImages(DefaultImages);
    i->Descriptions()->Assign(*FDescriptions);
    i->ImageIndexes()->Assign(*FImageIndexes);
    i->Values()->Assign(*FValues);
    i->SetImages(FImages);
    i->SetLargeImages(FLargeImages);
    i->SetMultiLineText(MultiLineText);
    i->SetShowDescription(ShowDescription);
  }
}

void TvmInspectorImageRow::InitViewData(TvmEditViewData* VD, TvmInspectorCellViewData& CellInfo) {
  TvmInspectorDropDownRow::InitViewData(VD, CellInfo);
  if (MultiLineText) VD->TextLayout = 3;
  if (auto* i = dynamic_cast<TvmImageEditViewData*>(VD)) {
    i->DefaultImages = DefaultImages;
    i->Descriptions = FDescriptions.get();
    i->ImageIndexes = FImageIndexes.get();
    i->Images = FImages;
    i->ShowDescription = ShowDescription;
    i->Values = FValues.get();
  }
}

bool TvmInspectorImageRow::IsTextClipped(bool ForValue, const TRect& R, std::string& Text) {
  if (!ForValue) return TvmInspectorRow::IsTextClipped(ForValue, R, Text);
  if (!FInspector || !FInspector->HandleAllocated()) return false;
  const int k = FValues->IndexOf(EditText());
  if (k < 0 || k >= FDescriptions->Count()) return false;
  const std::string d = FDescriptions->Strings(k);
  if (d.empty()) return false;
  TCanvas* c = FInspector->Canvas();
  c->Font()->Assign(FInspector->Font());
  Text = d;
  return c->TextWidth(d) + (FImages ? FImages->Width() : 0) > R.Width();
}

// ---------------------------------------------------------------------------------------------
// Blob row.

TvmInspectorCustomBlobRow::TvmInspectorCustomBlobRow(TComponent* AOwner)
    : TvmInspectorDropDownRow(AOwner), FPictureClipboardFormat(CF_PICTURE) {}

void TvmInspectorCustomBlobRow::SetBlobKind(TvmBlobKind Value) {
  if (FBlobKind == Value) return;
  FBlobKind = Value;
  Changed();
}

void TvmInspectorCustomBlobRow::DoAssignPicture(TObject*, TPicture*& Picture) {
  if (OnAssignPicture) OnAssignPicture(this, Picture);
}

void TvmInspectorCustomBlobRow::DoGetGraphicClass(TObject*, TGraphicClass& GraphicClass) {
  GraphicClass = GetGraphicClass();
}

TGraphicClass TvmInspectorCustomBlobRow::GetGraphicClass() {
  TGraphicClass c = FPictureGraphicClass;
  if (OnGetGraphicClass) OnGetGraphicClass(this, c);
  return c;
}

void TvmInspectorCustomBlobRow::SavePopupSize(TObject* Sender) {
  if (auto* e = dynamic_cast<TvmInspectorBlobEdit*>(Sender)) {
    PopupWidth = e->PopupWidth;
    PopupHeight = e->PopupHeight;
  }
}

void TvmInspectorCustomBlobRow::GetBlobValue(Variant& Value) { Value = EditText(); }

void TvmInspectorCustomBlobRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorDropDownRow::InitEditor(Edit);
  auto* b = dynamic_cast<TvmInplaceBlobEdit*>(Edit);
  if (!b) return;
  b->AlwaysSaveText = AlwaysSaveText;
  b->SetBlobEditKind(GetBlobEditKind());
  b->SetBlobPaintStyle(BlobPaintStyle);
  if (b->BlobPaintStyle() == bpsText) {
    Variant v;
    GetBlobValue(v);
    b->SetDisplayText(v.IsNull() ? std::string() : v.AsString());
  } else {
    std::string t;
    GetBlobDisplayText(t);
    b->SetDisplayText(t);
  }
  b->MemoCharCase = MemoCharCase;
  b->MemoHideScrollBars = MemoHideScrollBars;
  b->MemoMaxLength = MemoMaxLength;
  b->MemoOEMConvert = MemoOEMConvert;
  b->MemoScrollBars = MemoScrollBars;
  b->MemoSelectionBar = MemoSelectionBar;
  b->MemoWantReturns = MemoWantReturns;
  b->MemoWantTabs = MemoWantTabs;
  b->MemoWordWrap = MemoWordWrap;
  b->PictureAutoSize = PictureAutoSize;
  b->PictureClipboardFormat = FPictureClipboardFormat;
  b->PictureFilter = PictureFilter;
  b->PictureGraphicClass = GetGraphicClass();
  b->PictureTransparency = PictureTransparency;
  b->PopupHeight = PopupHeight;
  b->PopupWidth = PopupWidth;
  b->ShowExPopupItems = ShowExPopupItems;
  b->ShowPicturePopup = ShowPicturePopup;
  b->SizeablePopup = SizeablePopup;
  b->PictureHook = [this](TObject* S, TPicture*& P) { DoAssignPicture(S, P); };
  b->GraphicClassHook = [this](TObject* S, TGraphicClass& C) { DoGetGraphicClass(S, C); };
  b->PopupSizeHook = [this](TObject* S) { SavePopupSize(S); };
}

void TvmInspectorCustomBlobRow::LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  TvmInspectorDropDownRow::LoadEditValue(Edit, Value);
  Value = EditText();
  if (auto* b = dynamic_cast<TvmInplaceBlobEdit*>(Edit)) b->SetBlobValue(Value.AsString());
}

void TvmInspectorCustomBlobRow::ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  if (auto* b = dynamic_cast<TvmInplaceBlobEdit*>(Edit)) SetEditText(b->BlobValue());
  Value = EditText();
}

void TvmInspectorCustomBlobRow::InitViewData(TvmEditViewData* VD, TvmInspectorCellViewData& CellInfo) {
  TvmInspectorDropDownRow::InitViewData(VD, CellInfo);
  auto* d = dynamic_cast<TvmBlobEditViewData*>(VD);
  if (!d) return;
  d->BlobEditKind = GetBlobEditKind();
  d->BlobPaintStyle = BlobPaintStyle;
  d->Images = BlobImages();
  Variant v;
  GetBlobValue(v);
  d->IsEmpty = v.IsNull() || (v.IsString() && v.AsString().empty());
  if (BlobPaintStyle == bpsText) {
    VD->Value = v.IsNull() ? std::string() : v.AsString();
  } else {
    std::string t;
    GetBlobDisplayText(t);
    VD->Value = t;
  }
}

void TvmInspectorCustomBlobRow::RestoreDefaults() {
  TvmInspectorDropDownRow::RestoreDefaults();
  AlwaysSaveText = false;
  BlobEditKind = bekMemo;
  FBlobKind = bkAuto;
  BlobPaintStyle = bpsIcon;
  MaxDisplayLength = 255;
  MemoCharCase = ecNormal;
  MemoHideScrollBars = true;
  MemoMaxLength = 0;
  MemoOEMConvert = false;
  MemoScrollBars = ssBoth;
  MemoSelectionBar = false;
  MemoWantReturns = MemoWantTabs = MemoWordWrap = true;
  PictureAutoSize = true;
  PictureTransparency = gtDefault;
  PopupHeight = 140;
  PopupWidth = 200;
  ShowExPopupItems = ShowPicturePopup = false;
  SizeablePopup = true;
}

void TvmInspectorCustomBlobRow::Assign(TPersistent* Source) {
  TvmInspectorDropDownRow::Assign(Source);
  auto* s = dynamic_cast<TvmInspectorCustomBlobRow*>(Source);
  if (!s) return;
  AlwaysSaveText = s->AlwaysSaveText;
  BlobEditKind = s->BlobEditKind;
  FBlobKind = s->FBlobKind;
  BlobPaintStyle = s->BlobPaintStyle;
  MaxDisplayLength = s->MaxDisplayLength;
  MemoMaxLength = s->MemoMaxLength;
  MemoCharCase = s->MemoCharCase;
  MemoHideScrollBars = s->MemoHideScrollBars;
  MemoOEMConvert = s->MemoOEMConvert;
  MemoScrollBars = s->MemoScrollBars;
  MemoSelectionBar = s->MemoSelectionBar;
  MemoWantReturns = s->MemoWantReturns;
  MemoWantTabs = s->MemoWantTabs;
  MemoWordWrap = s->MemoWordWrap;
  PictureAutoSize = s->PictureAutoSize;
  PictureFilter = s->PictureFilter;
  PictureTransparency = s->PictureTransparency;
  PopupHeight = s->PopupHeight;
  PopupWidth = s->PopupWidth;
  ShowExPopupItems = s->ShowExPopupItems;
  ShowPicturePopup = s->ShowPicturePopup;
  SizeablePopup = s->SizeablePopup;
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Popup row.

TvmInspectorPopupRow::TvmInspectorPopupRow(TComponent* AOwner) : TvmInspectorDropDownRow(AOwner) {}

void TvmInspectorPopupRow::SetPopupMinHeight(int Value) {
  FPopupMinHeight = std::max(Value, 0);
  SetPopupHeight(FPopupHeight);
}

void TvmInspectorPopupRow::SetPopupMinWidth(int Value) {
  FPopupMinWidth = std::max(Value, 0);
  SetPopupWidth(FPopupWidth);
}

void TvmInspectorPopupRow::SetPopupControl(TControl* Value) {
  if (Value == FPopupControl) return;
  if (FPopupControl) FPopupControl->RemoveFreeNotification(this);
  FPopupControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TvmInspectorPopupRow::Notification(TComponent* AComponent, TOperation Operation) {
  TvmInspectorDropDownRow::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupControl) FPopupControl = nullptr;
}

void TvmInspectorPopupRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorDropDownRow::InitEditor(Edit);
  auto* p = dynamic_cast<TvmInplacePopupEdit*>(Edit);
  if (!p) return;
  p->SetHideEditCursor(HideEditCursor);
  p->PopupAutoSize = PopupAutoSize;
  p->SetPopupControl(FPopupControl);
  p->PopupFormBorderStyle = PopupFormBorderStyle;
  p->PopupFormCaption = PopupFormCaption;
  p->PopupFormClientEdge = PopupFormClientEdge;
  p->PopupFormFlatBorder = PopupFormFlatBorder;
  // The minima first, so that the sizes are not clamped against the editor's old ones.
  p->SetPopupMinHeight(0);
  p->SetPopupMinWidth(0);
  p->SetPopupHeight(FPopupHeight);
  p->SetPopupMinHeight(FPopupMinHeight);
  p->SetPopupMinWidth(FPopupMinWidth);
  p->PopupFormSizeable = PopupFormSizeable;
  p->SetPopupWidth(FPopupWidth);
  p->OnCloseQuery = [this](TObject* S, bool& C) { DoCloseQuery(S, C); };
  p->OnCloseUp = [this](TObject* S, std::string& T, bool& A) { DoCloseUp(S, T, A); };
  p->OnInitPopup = [this](TObject* S) { DoInitPopup(S); };
  p->OnPopup = [this](TObject* S, const std::string& T) { DoPopup(S, T); };
}

void TvmInspectorPopupRow::RestoreDefaults() {
  TvmInspectorDropDownRow::RestoreDefaults();
  HideEditCursor = false;
  PopupAutoSize = true;
  PopupFormBorderStyle = pbsDialog;
  PopupFormClientEdge = false;
  PopupFormFlatBorder = true;
  PopupFormSizeable = true;
  FPopupMinHeight = FPopupMinWidth = 100;
  FPopupHeight = 200;
  FPopupWidth = 250;
}

void TvmInspectorPopupRow::Assign(TPersistent* Source) {
  TvmInspectorDropDownRow::Assign(Source);
  auto* s = dynamic_cast<TvmInspectorPopupRow*>(Source);
  if (!s) return;
  HideEditCursor = s->HideEditCursor;
  PopupAutoSize = s->PopupAutoSize;
  SetPopupHeight(s->FPopupHeight);
  SetPopupWidth(s->FPopupWidth);
  PopupFormBorderStyle = s->PopupFormBorderStyle;
  PopupFormCaption = s->PopupFormCaption;
  PopupFormClientEdge = s->PopupFormClientEdge;
  PopupFormFlatBorder = s->PopupFormFlatBorder;
  PopupFormSizeable = s->PopupFormSizeable;
  SetPopupMinHeight(s->FPopupMinHeight);
  SetPopupMinWidth(s->FPopupMinWidth);
  SetPopupControl(s->FPopupControl);
}

// ---------------------------------------------------------------------------------------------
// Graphic row.

TvmInspectorGraphicRow::TvmInspectorGraphicRow(TComponent* AOwner)
    : TvmInspectorRow(AOwner),
      FCellPicture(std::make_unique<TPicture>()),
      FPopupToolBar(std::make_unique<TvmPopupToolBarWindow>()),
      FClipboardFormat(CF_PICTURE) {}

TvmInspectorGraphicRow::~TvmInspectorGraphicRow() = default;

void TvmInspectorGraphicRow::SetPopupToolbarPosStored(bool Value) {
  FPopupToolbarPosStored = Value;
  if (!Value) FToolbarPos = TPoint(TvmInplaceGraphicEdit::NoPosition, TvmInplaceGraphicEdit::NoPosition);
}

void TvmInspectorGraphicRow::DoAssignPicture(TObject*, TPicture*& Picture) {
  if (OnAssignPicture) OnAssignPicture(this, Picture);
}

void TvmInspectorGraphicRow::DoCustomClick() {
  if (OnCustomClick) OnCustomClick(this);
}

void TvmInspectorGraphicRow::DoGetGraphicClass(TObject*, TGraphicClass& GraphicClass) {
  GraphicClass = GetGraphicClass();
}

TGraphicClass TvmInspectorGraphicRow::GetGraphicClass() {
  TGraphicClass c = nullptr;
  if (OnGetGraphicClass) OnGetGraphicClass(this, c);
  return c;
}

Variant TvmInspectorGraphicRow::GetPictureValue() { return Variant(EditText()); }

void TvmInspectorGraphicRow::LoadCellPicture() {
  try {
    if (CustomGraphic && ComponentState().Contains(csDesigning))
      FCellPicture->SetGraphic(nullptr);
    else
      LoadPictureFromString(FCellPicture.get(), GetGraphicClass(), GetPictureValue());
  } catch (const EInvalidGraphic&) {
    FCellPicture->SetGraphic(nullptr);
  }
}

void TvmInspectorGraphicRow::InitEditor(TvmInplaceEdit* Edit) {
  TvmInspectorRow::InitEditor(Edit);
  auto* g = dynamic_cast<TvmInplaceGraphicEdit*>(Edit);
  if (!g) return;
  g->SetCenter(Center);
  g->ClipboardFormat = FClipboardFormat;
  g->CustomFilter = CustomFilter;
  g->DblClickActivate = DblClickActivate;
  g->SetGraphicTransparency(GraphicTransparency);
  g->ToolbarLayout()->Assign(FPopupToolBar.get());
  g->ToolbarPos = FToolbarPos;
  g->SetToolbarPosStored(FPopupToolbarPosStored);
  g->QuickDraw = QuickDraw;
  g->SetStretch(Stretch);
  g->PictureHook = [this](TObject* S, TPicture*& P) { DoAssignPicture(S, P); };
  g->CustomButtonHook = [this](TObject*) { DoCustomClick(); };
  g->GraphicClassHook = [this](TObject* S, TGraphicClass& C) { DoGetGraphicClass(S, C); };
}

void TvmInspectorGraphicRow::LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  Value = GetPictureValue();
  auto* g = dynamic_cast<TvmInplaceGraphicEdit*>(Edit);
  if (!g) {
    TvmInspectorRow::LoadEditValue(Edit, Value);
    return;
  }
  g->SetContentOffsets(TContentOffsets());
  g->SetWindowText("");
  g->SetEditValue(Value);
}

void TvmInspectorGraphicRow::ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) {
  auto* g = dynamic_cast<TvmInplaceGraphicEdit*>(Edit);
  if (!g) {
    TvmInspectorRow::ApplyEditValue(Edit, Value);
    return;
  }
  TPicture* p = g->Picture();
  DoAssignPicture(this, p);
  // Whatever a handler did, what is stored is the editor's picture.
  SetEditText(SavePictureToString(g->Picture()));
  Value = EditText();
}

void TvmInspectorGraphicRow::InitViewData(TvmEditViewData* VD, TvmInspectorCellViewData& CellInfo) {
  TvmInspectorRow::InitViewData(VD, CellInfo);
  auto* d = dynamic_cast<TvmGraphicEditViewData*>(VD);
  if (!d) return;
  LoadCellPicture();
  if (GraphicTransparency != gtDefault && !PictureHasNoGraphic(FCellPicture.get()))
    FCellPicture->Graphic()->SetTransparent(GraphicTransparency == gtTransparent);
  d->Picture = FCellPicture.get();
  d->Value = Variant();
  d->Center = Center;
  d->QuickDraw = QuickDraw;
  d->Stretch = Stretch;
  d->ContentOffsets = TContentOffsets();
}

void TvmInspectorGraphicRow::RestoreDefaults() {
  TvmInspectorRow::RestoreDefaults();
  Center = true;
  CustomGraphic = false;
  DblClickActivate = true;
  GraphicTransparency = gtDefault;
  SetPopupToolbarPosStored(true);
  QuickDraw = false;
  Stretch = true;
}

void TvmInspectorGraphicRow::Assign(TPersistent* Source) {
  TvmInspectorRow::Assign(Source);
  auto* s = dynamic_cast<TvmInspectorGraphicRow*>(Source);
  if (!s) return;
  Center = s->Center;
  CustomFilter = s->CustomFilter;
  CustomGraphic = s->CustomGraphic;
  DblClickActivate = s->DblClickActivate;
  GraphicTransparency = s->GraphicTransparency;
  FPopupToolBar->Assign(s->FPopupToolBar.get());
  SetPopupToolbarPosStored(s->FPopupToolbarPosStored);
  QuickDraw = s->QuickDraw;
  Stretch = s->Stretch;
  Changed();
}

void RegisterInspectorTextRows() {
  RegisterClasses({TvmInspectorTextMaskRow::StaticClass(), TvmInspectorTextDateRow::StaticClass(),
                   TvmInspectorTextCheckRow::StaticClass(), TvmInspectorTextCalcRow::StaticClass(),
                   TvmInspectorTextButtonRow::StaticClass(), TvmInspectorTextSpinRow::StaticClass(),
                   TvmInspectorTextPickRow::StaticClass(), TvmInspectorTextImageRow::StaticClass(),
                   TvmInspectorTextTimeRow::StaticClass(), TvmInspectorTextCurrencyRow::StaticClass(),
                   TvmInspectorTextHyperLinkRow::StaticClass(), TvmInspectorTextBlobRow::StaticClass(),
                   TvmInspectorTextMRURow::StaticClass(), TvmInspectorTextPopupRow::StaticClass(),
                   TvmInspectorTextMemoRow::StaticClass(), TvmInspectorTextGraphicRow::StaticClass()});
}

// ---------------------------------------------------------------------------------------------
// Copies between rows of one kind: the kind's own settings after the inherited ones (events
// stay with their row).

void TvmInspectorTimeRow::Assign(TPersistent* Source) {
  TvmInspectorRow::Assign(Source);
  if (auto* s = dynamic_cast<TvmInspectorTimeRow*>(Source)) {
    TimeEditFormat = s->TimeEditFormat;
    UseCtrlIncrement = s->UseCtrlIncrement;
  }
}

void TvmInspectorHyperLinkRow::Assign(TPersistent* Source) {
  TvmInspectorRow::Assign(Source);
  if (auto* s = dynamic_cast<TvmInspectorHyperLinkRow*>(Source)) {
    EditBackgroundColor = s->EditBackgroundColor;
    EditFontColor = s->EditFontColor;
    SingleClick = s->SingleClick;
    StartKey = s->StartKey;
    Changed();
  }
}

void TvmInspectorMemoRow::Assign(TPersistent* Source) {
  TvmInspectorRow::Assign(Source);
  if (auto* s = dynamic_cast<TvmInspectorMemoRow*>(Source)) {
    HideScrollBars = s->HideScrollBars;
    ScrollBars = s->ScrollBars;
    SelectionBar = s->SelectionBar;
    WantReturns = s->WantReturns;
    WantTabs = s->WantTabs;
    WordWrap = s->WordWrap;
    Changed();
  }
}

void TvmInspectorDateRow::Assign(TPersistent* Source) {
  TvmInspectorDropDownRow::Assign(Source);
  if (auto* s = dynamic_cast<TvmInspectorDateRow*>(Source)) {
    DateButtons = s->DateButtons;
    DateOnError = s->DateOnError;
    DateValidation = s->DateValidation;
    SaveTime = s->SaveTime;
    UseEditMask = s->UseEditMask;
  }
}

void TvmInspectorCalcRow::Assign(TPersistent* Source) {
  TvmInspectorDropDownRow::Assign(Source);
  if (auto* s = dynamic_cast<TvmInspectorCalcRow*>(Source)) {
    BeepOnError = s->BeepOnError;
    ButtonStyle = s->ButtonStyle;
    Precision = s->Precision;
    QuickClose = s->QuickClose;
    ShowButtonFrame = s->ShowButtonFrame;
  }
}

void TvmInspectorButtonRow::Assign(TPersistent* Source) {
  TvmInspectorDropDownRow::Assign(Source);
  if (auto* s = dynamic_cast<TvmInspectorButtonRow*>(Source)) {
    FEditButtonStyle = s->FEditButtonStyle;
    SetButtons(s->FButtons.get());
    FGlyph->Assign(s->FGlyph.get());
    ClickKey = s->ClickKey;
    SetButtonOnly(s->FButtonOnly);
    SetHideEditCursor(s->FHideEditCursor);
  }
}

void TvmInspectorPickRow::Assign(TPersistent* Source) {
  TvmInspectorDropDownRow::Assign(Source);
  if (auto* s = dynamic_cast<TvmInspectorPickRow*>(Source)) {
    DropDownListStyle = s->DropDownListStyle;
    SetItems(s->FItems.get());
    CanDeleteText = s->CanDeleteText;
    Revertable = s->Revertable;
    Sorted = s->Sorted;
  }
}

void TvmInspectorMRURow::Assign(TPersistent* Source) {
  TvmInspectorPickRow::Assign(Source);
  if (auto* s = dynamic_cast<TvmInspectorMRURow*>(Source)) {
    MaxItemCount = s->MaxItemCount;
    ShowEllipsis = s->ShowEllipsis;
  }
}

void TvmInspectorImageRow::Assign(TPersistent* Source) {
  TvmInspectorDropDownRow::Assign(Source);
  if (auto* s = dynamic_cast<TvmInspectorImageRow*>(Source)) {
    DefaultImages = s->DefaultImages;
    FDescriptions->Assign(*s->FDescriptions);
    FImageIndexes->Assign(*s->FImageIndexes);
    FValues->Assign(*s->FValues);
    SetImages(s->FImages);
    SetLargeImages(s->FLargeImages);
    MultiLineText = s->MultiLineText;
    ShowDescription = s->ShowDescription;
    Changed();
  }
}
