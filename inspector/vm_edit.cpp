#include "inspector/vm_edit.h"

#include <algorithm>

#include "inspector/vm_utils.h"
#include "platform/datetime.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/localeinfo.h"
#include "platform/bitmap.h"
#include "platform/shell.h"
#include "platform/streaming.h"
#include "platform/typinfo.h"

const char* const SvmInvalidInputValue = "Invalid input value. Use escape key to abandon changes";

// ---------------------------------------------------------------------------------------------
// Style controllers

VM_DEFINE_CLASS(TvmStyleController)

TvmStyleController::TvmStyleController(TComponent* AOwner) : TComponent(AOwner) {}

TvmStyleController::~TvmStyleController() {
  FDestroying = true;
  // Editors still linked forget this controller.
  std::vector<TvmInplaceEdit*> links = FLinks;
  for (TvmInplaceEdit* e : links)
    if (e->StyleController() == this) e->SetStyleController(nullptr);
}

void TvmStyleController::AddLink(TvmInplaceEdit* Link) {
  if (Link && std::find(FLinks.begin(), FLinks.end(), Link) == FLinks.end()) FLinks.push_back(Link);
}

void TvmStyleController::RemoveLink(TvmInplaceEdit* Link) {
  auto it = std::find(FLinks.begin(), FLinks.end(), Link);
  if (it != FLinks.end()) FLinks.erase(it);
}

void TvmStyleController::DoStyleChanged(TvmInplaceEdit* Link) {
  if (OnStyleChanged) OnStyleChanged(this, Link);
}

void TvmStyleController::EndUpdate() {
  if (FUpdateLock > 0) --FUpdateLock;
  Changed();
}

void TvmStyleController::Changed() {
  if (FUpdateLock > 0 || ComponentState().Contains(csLoading)) return;
  std::vector<TvmInplaceEdit*> links = FLinks;
  for (TvmInplaceEdit* e : links) DoStyleChanged(e);
}

void TvmStyleController::Loaded() {
  TComponent::Loaded();
  Changed();
}

VM_DEFINE_CLASS(TvmEditStyleController)

TvmEditStyleController::TvmEditStyleController(TComponent* AOwner) : TvmStyleController(AOwner) {}

void TvmEditStyleController::SetBorderColor(TColor Value) {
  if (StoreChanged(FBorderColor, Value)) Changed();
}

void TvmEditStyleController::SetBorderStyle(TvmEditBorderStyle Value) {
  if (StoreChanged(FBorderStyle, Value)) Changed();
}

void TvmEditStyleController::SetButtonStyle(TvmEditButtonViewStyle Value) {
  if (StoreChanged(FButtonStyle, Value)) Changed();
}

void TvmEditStyleController::SetButtonTransparence(TvmEditButtonTransparence Value) {
  if (StoreChanged(FButtonTransparence, Value)) Changed();
}

void TvmEditStyleController::SetEdges(TvmEditEdges Value) {
  if (StoreChanged(FEdges, Value)) Changed();
}

void TvmEditStyleController::SetHotTrack(bool Value) {
  if (StoreChanged(FHotTrack, Value)) Changed();
}

void TvmEditStyleController::SetShadow(bool Value) {
  if (StoreChanged(FShadow, Value)) Changed();
}

void TvmEditStyleController::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TvmEditStyleController*>(Source)) {
    BeginUpdate();
    SetBorderColor(s->FBorderColor);
    SetBorderStyle(s->FBorderStyle);
    SetButtonStyle(s->FButtonStyle);
    SetButtonTransparence(s->FButtonTransparence);
    SetEdges(s->FEdges);
    SetHotTrack(s->FHotTrack);
    SetShadow(s->FShadow);
    EndUpdate();
    return;
  }
  TvmStyleController::Assign(Source);
}

void TvmEditStyleController::RestoreDefaults() {
  BeginUpdate();
  SetBorderColor(clWindowFrame);
  SetBorderStyle(xbs3D);
  SetButtonStyle(btsDefault);
  SetButtonTransparence(ebtNone);
  SetEdges(AllEdges);
  SetHotTrack(false);
  SetShadow(false);
  EndUpdate();
}

void TvmEditStyleController::DoStyleChanged(TvmInplaceEdit* Link) {
  if (Link->StyleController() && Link->StyleController() != this) return;
  Link->StyleChanged();
  TvmStyleController::DoStyleChanged(Link);
}

TvmEditStyleController* DefaultEditStyleController() {
  static TvmEditStyleController* controller = new TvmEditStyleController(nullptr);
  return controller;
}

// ---------------------------------------------------------------------------------------------
// Edit style

VM_DEFINE_CLASS(TvmEditStyle)
VM_DEFINE_CLASS(TvmGridEditStyle)

TvmEditStyle::TvmEditStyle(TvmInplaceEdit* AEdit) : FEdit(AEdit) {}

TvmEditStyle::~TvmEditStyle() {
  if (FRegistered && !FRegistered->Destroying()) FRegistered->RemoveLink(FEdit);
}

void TvmEditStyle::SetAssignedValues(TvmEditStyleValues Value) {
  if (FAssignedValues == Value) return;
  FAssignedValues = Value;
  StyleChanged();
}

TvmEditStyleController* TvmEditStyle::DefaultsController() const {
  if (FEdit && FEdit->StyleController()) return FEdit->StyleController();
  auto cls = static_cast<TvmEditStyleClass>(ClassType());
  return cls->GetStyleController();
}

TColor TvmEditStyle::GetDefaultBorderColor() const {
  auto* c = DefaultsController();
  return c ? c->BorderColor() : clWindowFrame;
}
TvmEditBorderStyle TvmEditStyle::GetDefaultBorderStyle() const {
  auto* c = DefaultsController();
  return c ? c->BorderStyle() : xbs3D;
}
TvmEditButtonViewStyle TvmEditStyle::GetDefaultButtonStyle() const {
  auto* c = DefaultsController();
  return c ? c->ButtonStyle() : btsDefault;
}
TvmEditButtonTransparence TvmEditStyle::GetDefaultButtonTransparence() const {
  auto* c = DefaultsController();
  return c ? c->ButtonTransparence() : ebtNone;
}
TvmEditEdges TvmEditStyle::GetDefaultEdges() const {
  auto* c = DefaultsController();
  return c ? c->Edges() : AllEdges;
}
bool TvmEditStyle::GetDefaultHotTrack() const {
  auto* c = DefaultsController();
  return c ? c->HotTrack() : false;
}
bool TvmEditStyle::GetDefaultShadow() const {
  auto* c = DefaultsController();
  return c ? c->Shadow() : false;
}

namespace {

// Stores an edit style value and marks it assigned; a value already assigned and equal changes
// nothing, while one that falls back on its default becomes assigned even when equal to it.
template <class T>
bool StoreStyleValue(TvmEditStyleValues& Assigned, TvmEditStyleValue Member, T& Field, T Value) {
  if (Assigned.Contains(Member) && Field == Value) return false;
  Field = Value;
  Assigned.Include(Member);
  return true;
}

}  // namespace

TColor TvmEditStyle::BorderColor() const {
  return FAssignedValues.Contains(svBorderColor) ? FBorderColor : GetDefaultBorderColor();
}

void TvmEditStyle::SetBorderColor(TColor Value) {
  if (StoreStyleValue(FAssignedValues, svBorderColor, FBorderColor, Value)) StyleChanged();
}

TvmEditBorderStyle TvmEditStyle::BorderStyle() const {
  return FAssignedValues.Contains(svBorderStyle) ? FBorderStyle : GetDefaultBorderStyle();
}

void TvmEditStyle::SetBorderStyle(TvmEditBorderStyle Value) {
  if (StoreStyleValue(FAssignedValues, svBorderStyle, FBorderStyle, Value)) StyleChanged();
}

TvmEditButtonViewStyle TvmEditStyle::ButtonStyle() const {
  return FAssignedValues.Contains(svButtonStyle) ? FButtonStyle : GetDefaultButtonStyle();
}

void TvmEditStyle::SetButtonStyle(TvmEditButtonViewStyle Value) {
  if (StoreStyleValue(FAssignedValues, svButtonStyle, FButtonStyle, Value)) StyleChanged();
}

TvmEditButtonTransparence TvmEditStyle::ButtonTransparence() const {
  return FAssignedValues.Contains(svButtonTransparence) ? FButtonTransparence : GetDefaultButtonTransparence();
}

void TvmEditStyle::SetButtonTransparence(TvmEditButtonTransparence Value) {
  if (StoreStyleValue(FAssignedValues, svButtonTransparence, FButtonTransparence, Value)) StyleChanged();
}

TvmEditEdges TvmEditStyle::Edges() const { return FAssignedValues.Contains(svEdges) ? FEdges : GetDefaultEdges(); }

void TvmEditStyle::SetEdges(TvmEditEdges Value) {
  if (StoreStyleValue(FAssignedValues, svEdges, FEdges, Value)) StyleChanged();
}

bool TvmEditStyle::HotTrack() const { return FAssignedValues.Contains(svHotTrack) ? FHotTrack : GetDefaultHotTrack(); }

void TvmEditStyle::SetHotTrack(bool Value) {
  if (StoreStyleValue(FAssignedValues, svHotTrack, FHotTrack, Value)) StyleChanged();
}

bool TvmEditStyle::Shadow() const { return FAssignedValues.Contains(svShadow) ? FShadow : GetDefaultShadow(); }

void TvmEditStyle::SetShadow(bool Value) {
  if (StoreStyleValue(FAssignedValues, svShadow, FShadow, Value)) StyleChanged();
}

void TvmEditStyle::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TvmEditStyle*>(Source)) {
    SetBorderColor(s->BorderColor());
    SetBorderStyle(s->BorderStyle());
    SetButtonStyle(s->ButtonStyle());
    SetButtonTransparence(s->ButtonTransparence());
    SetEdges(s->Edges());
    SetHotTrack(s->HotTrack());
    SetShadow(s->Shadow());
    return;
  }
  TPersistent::Assign(Source);
}

void TvmEditStyle::StyleChanged() {
  if (FEdit) FEdit->StyleChanged();
}

void TvmEditStyle::RestoreDefaults() {
  FAssignedValues = {};
  StyleChanged();
}

// ---------------------------------------------------------------------------------------------
// View data and geometry

TvmEditViewData::~TvmEditViewData() = default;

TvmEditBorderStyle HotBorderStyle(TvmEditBorderStyle Style) {
  switch (Style) {
    case xbsNone:
      return xbsFlat;
    case xbsSingle:
      return xbsThick;
    case xbsFlat:
      return xbs3D;
    default:
      return Style;
  }
}

TvmEditButtonViewStyle ResolveButtonStyle(TvmEditButtonViewStyle Style, TvmEditBorderStyle Border) {
  if (Style != btsDefault) return Style;
  switch (Border) {
    case xbsNone:
      return btsSimple;
    case xbsSingle:
      return btsHotFlat;
    case xbsFlat:
      return btsFlat;
    default:
      return bts3D;
  }
}

void ApplyBorderWidth(TRect& R, const TvmEditViewInfo& Info) {
  if (Info.LeftEdge) R.Left -= Info.BorderWidth;
  if (Info.TopEdge) R.Top -= Info.BorderWidth;
  if (Info.RightEdge) R.Right += Info.BorderWidth;
  if (Info.BottomEdge) R.Bottom += Info.BorderWidth;
}

// ---------------------------------------------------------------------------------------------
// Editor base

// The published Height is never stored: "Height" is written by DefineProperties when the editor
// is not auto-sized.
VM_PUBLISH(TvmInplaceEdit) { P.Int("Height", &TvmInplaceEdit::Height, &TvmInplaceEdit::SetHeight).Stored(false); }

namespace {
TvmEditStyleController* RegisteredController(TvmEditStyle* Style) {
  return static_cast<TvmEditStyleClass>(Style->ClassType())->GetStyleController();
}
}  // namespace

TvmInplaceEdit::TvmInplaceEdit(TComponent* AOwner) : TCustomControl(AOwner) {
  FAutoSize = true;
  FAlignment = taLeftJustify;
  auto* container = dynamic_cast<TCustomvmContainer*>(AOwner);
  // The class answer cannot be asked in the constructor of a base: every editor class of this
  // system is in-place, so an owning container makes the editor in-place.
  if (container) {
    FStyle = container->CreateEditStyle(this);
    SetParentColor(false);
    FTabStop = false;
    FEditVisible = false;
    TControl::SetVisible(false);
  } else {
    FStyle.reset(TvmEditStyle::StaticClass()->Create(this));
    SetBounds(Left(), Top(), 121, 21);
    FTabStop = true;
  }
  if (auto* c = RegisteredController(FStyle.get())) {
    c->AddLink(this);
  }
}

TvmInplaceEdit::~TvmInplaceEdit() {
  FDestroying = true;
  if (FStyleController && !FStyleController->Destroying()) FStyleController->RemoveLink(this);
  if (FStyle) {
    if (auto* c = RegisteredController(FStyle.get()); c && !c->Destroying()) c->RemoveLink(this);
  }
}

TCustomvmContainer* TvmInplaceEdit::GetContainer() const { return dynamic_cast<TCustomvmContainer*>(Owner()); }

void TvmInplaceEdit::SetAlignment(TAlignment Value) {
  FStoredValues |= 1u << svmAlignment;
  DoSetAlignment(Value);
}

void TvmInplaceEdit::DoSetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  StyleChanged();
}

bool TvmInplaceEdit::GetReadOnly() const { return IsStored(svmReadOnly) ? FReadOnly : IsBindingReadOnly(); }

void TvmInplaceEdit::SetReadOnly(bool Value) {
  FStoredValues |= 1u << svmReadOnly;
  DoSetReadOnly(Value);
}

void TvmInplaceEdit::DoSetReadOnly(bool Value) { FReadOnly = Value; }

void TvmInplaceEdit::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  StyleChanged();
}

void TvmInplaceEdit::SetStyleController(TvmEditStyleController* C) {
  if (C == FStyleController) return;
  if (FStyleController && !FStyleController->Destroying()) {
    FStyleController->RemoveLink(this);
    FStyleController->RemoveFreeNotification(this);
  }
  FStyleController = C;
  if (C) {
    C->AddLink(this);
    C->FreeNotification(this);
    C->DoStyleChanged(this);
  } else {
    StyleChanged();
  }
}

void TvmInplaceEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FStyleController) {
    FStyleController = nullptr;
    StyleChanged();
  }
}

void TvmInplaceEdit::SetContentOffsets(const TContentOffsets& Value) {
  if (FContentOffsets == Value) return;
  FContentOffsets = Value;
  StyleChanged();
}

void TvmInplaceEdit::SetEditValue(const Variant& Value) {
  SetWindowText(Value.IsNull() ? std::string() : Value.AsString());
}

void TvmInplaceEdit::GetDisplayValue(Variant& Value, bool) { Value = GetWindowText(); }

void TvmInplaceEdit::GetEditValue(Variant& Value) { Value = GetWindowText(); }

void TvmInplaceEdit::GetEditingText(std::string& S) { S = GetWindowText(); }

void TvmInplaceEdit::SetEditingText(const std::string& S) {
  if (CanModify()) SetWindowText(S);
  SetModified(true);
}

void TvmInplaceEdit::SetWindowText(const std::string& S) { TControl::SetText(S); }

void TvmInplaceEdit::TextChanged() {
  if (!CanEditText()) Invalidate();
}

bool TvmInplaceEdit::CanModify() const {
  if (GetReadOnly()) return false;
  if (InplaceMode()) return GetContainer()->CanEditModify();
  return true;
}

bool TvmInplaceEdit::IsValidChar(char Key) const {
  if (InplaceMode()) return GetContainer()->CanEditAcceptKey(Key);
  return true;
}

bool TvmInplaceEdit::IsTextModifyingKey(uint16_t Key, TShiftState Shift) const {
  const bool ctrl = Shift.Contains(ssCtrl);
  return (ctrl && (Key == 'V' || Key == 'X')) || Key == VK_BACK || Key == VK_DELETE ||
         (Shift.Contains(ssShift) && Key == VK_INSERT);
}

bool TvmInplaceEdit::IsImmediateEditor() const { return InplaceMode() && GetContainer()->IsImmediateEditor(); }

void TvmInplaceEdit::FocusAdjacentCell(bool Previous) {
  if (InplaceMode()) GetContainer()->FocusAdjacentColumn(Previous);
}

void TvmInplaceEdit::DoChange() {
  if (OnChange) OnChange(this);
}

void TvmInplaceEdit::LockValidation() {
  if (InplaceMode()) ++FValidationLock;
}

void TvmInplaceEdit::UnlockValidation() {
  if (FValidationLock > 0) --FValidationLock;
}

void TvmInplaceEdit::ValidateEdit() {
  if (!GetModified() || FValidationLock > 0) return;
  bool accept = true;
  std::string error = SvmInvalidInputValue;
  if (OnValidate) OnValidate(this, error, accept);
  if (!accept) {
    MessageBeep();
    if (EditVisible() && CanFocus() && !IsFocused()) SetFocus();
    throw EvmEditInvalidInput(error);
  }
}

void TvmInplaceEdit::ActivateAt(const TRect& R) {
  if (!InplaceMode() || IsRectEmpty(R)) return;
  TRect r = R;
  InflateRect(r, 2, 2);
  SetBounds(r.Left, r.Top, r.Width(), r.Height());
  const bool wasVisible = FEditVisible;
  ShowEdit();
  if (!IsFocused() && CanFocus()) SetFocus();
  SelectAll();
  if (!wasVisible && FActivationLock == 0) AfterActivate();
}

void TvmInplaceEdit::SetFocus() {
  if (!CanFocus()) return;
  TCustomControl::SetFocus();
}

void TvmInplaceEdit::ShowEdit() {
  if (InplaceMode()) {
    FEditVisible = true;
    TControl::SetVisible(true);
    BringToFront();
  } else {
    Show();
  }
}

void TvmInplaceEdit::HideEdit() {
  if (InplaceMode()) {
    const bool was = FEditVisible;
    FEditVisible = false;
    if (HandleAllocated()) {
      if (was) RepaintContainerArea();
      TControl::SetVisible(false);
      SetBounds(0, 0, 0, 0);
    }
  } else {
    Hide();
  }
}

void TvmInplaceEdit::RepaintContainerArea() {
  if (TCustomvmContainer* c = GetContainer()) c->Invalidate();
}

void TvmInplaceEdit::Reset() { RestoreText(); }

void TvmInplaceEdit::RestoreText() {
  if (GetModified() && CanRestoreText()) {
    SetWindowText(FPrevText);
    SetModified(FPrevModified);
    SelectAll();
  }
}

void TvmInplaceEdit::SetActive(bool Value) {
  if (InplaceMode() || Value != FActive) {
    FPrevModified = GetModified();
    FPrevText = GetWindowText();
  }
  if (!InplaceMode() && Value != FActive) {
    FActive = Value;
    if (UsesInactiveView()) Invalidate();
  }
}

void TvmInplaceEdit::RestoreDefaults() {
  FStoredValues = 0;
  DoSetAlignment(GetDefaultAlignment());
  DoSetReadOnly(GetDefaultReadOnly());
}

void TvmInplaceEdit::DoEnter() {
  SetActive(true);
  TCustomControl::DoEnter();
  DoSetFocus();
}

void TvmInplaceEdit::DoExit() {
  {
    TScopeFail selectAll([&] { SelectAll(); });
    if (!InplaceMode()) ValidateEdit();
  }
  SetActive(false);
  DoKillFocus();
  TCustomControl::DoExit();
}

void TvmInplaceEdit::DoSetFocus() {
  if (InplaceMode()) GetContainer()->InvalidateFocusedCell();
  UpdateRegionIfNeeded();
  if (RepaintOnFocusChange()) Invalidate();
}

void TvmInplaceEdit::DoKillFocus() {
  UpdateRegionIfNeeded();
  if (RepaintOnFocusChange()) Invalidate();
  if (InplaceMode()) GetContainer()->InvalidateFocusedCell();
}

void TvmInplaceEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (InplaceMode()) {
    if (GetContainer()->IsEditorOutOfSync()) {
      Key = 0;
      return;
    }
    if (Key == VK_ESCAPE) Reset();
    const bool nav = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR || Key == VK_NEXT ||
                     Key == VK_UP || Key == VK_DOWN || Key == VK_INSERT;
    if (nav) ValidateEdit();
    LockValidation();
    {
      TScopeExit unlockValidation([&] { UnlockValidation(); });
      TCustomvmContainer* c = GetContainer();
      const bool noShift = !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
      if ((Key == VK_TAB && !Shift.Contains(ssAlt)) || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR ||
          Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN || (Key == VK_INSERT && noShift)) {
        c->ContainerKeyDown(Key, Shift);
        Key = 0;
      } else if (((Key == VK_INSERT && Shift.Contains(ssShift)) || Key == VK_DELETE) && !c->CanEditModify()) {
        Key = 0;
      }
      if (Key == VK_F1 + 1) {  // F2
        c->EditKeyDown(Key, Shift);
        if (Key == VK_F1 + 1) {
          PlaceCaretAtEnd();
          Key = 0;
        }
      }
      if (Key != 0) {
        c->EditKeyDown(Key, Shift);
        if (Key != 0 && IsTextModifyingKey(Key, Shift) && (!IsEditable() || !CanModify())) Key = 0;
        if (Key != 0) TCustomControl::KeyDown(Key, Shift);
      }
    }
    return;
  }
  if (IsTextModifyingKey(Key, Shift) && (!IsEditable() || !CanModify())) Key = 0;
  if (Key == VK_RETURN && ValidatesOnEnter()) ValidateEdit();
  if (Key != 0) TCustomControl::KeyDown(Key, Shift);
}

void TvmInplaceEdit::KeyPress(char& Key) {
  if (InplaceMode()) {
    GetContainer()->ContainerKeyPress(Key);
    if (Key == 0) return;
  }
  if (static_cast<unsigned char>(Key) > 31 && !IsValidChar(Key)) {
    MessageBeep();
    Key = 0;
    return;
  }
  if (InplaceMode() && Key == '\t' && !WantTabs()) {
    Key = 0;
    return;
  }
  if ((Key == '\t' || static_cast<unsigned char>(Key) > 31) && CanEditText() && !CanModify()) {
    Key = 0;
    return;
  }
  if (Key == 27) {
    Key = 0;
    return;
  }
  TCustomControl::KeyPress(Key);
}

void TvmInplaceEdit::KeyUp(uint16_t& Key, TShiftState Shift) {
  if (InplaceMode())
    GetContainer()->ContainerKeyUp(Key, Shift);
  else
    TCustomControl::KeyUp(Key, Shift);
}

void TvmInplaceEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!CanEditText() && CanFocus() && !IsFocused()) SetFocus();
  if (InplaceMode() && Button == mbLeft && FClickTime != 0) {
    // A press soon after the click that showed the editor is a double click.
    if ((Now() - FClickTime) * 86400000.0 < 500 && GetContainer()->UseEditorDblClick()) DblClick();
    FClickTime = 0;
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TvmInplaceEdit::DblClick() {
  if (InplaceMode())
    GetContainer()->ContainerDblClick();
  else
    TCustomControl::DblClick();
}

void TvmInplaceEdit::MouseEnter() {
  SetHot(true);
  UpdateRegionIfNeeded();
  TCustomControl::MouseEnter();
}

void TvmInplaceEdit::MouseLeave() {
  SetHot(false);
  UpdateRegionIfNeeded();
  TCustomControl::MouseLeave();
}

bool TvmInplaceEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (InplaceMode() && !HandlesMouseWheel()) {
    GetContainer()->MouseWheelScroll(WheelDelta > 0, Mouse ? Mouse->WheelScrollLines() : 3);
    return true;
  }
  return TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
}

void TvmInplaceEdit::Resize() {
  TCustomControl::Resize();
  UpdateRegion();
}

void TvmInplaceEdit::FontChanged() {
  TCustomControl::FontChanged();
  UpdateRegion();
}

void TvmInplaceEdit::ColorChanged() {
  TCustomControl::ColorChanged();
  StyleChanged();
}

void TvmInplaceEdit::EnabledChanged() {
  TCustomControl::EnabledChanged();
  StyleChanged();
}

void TvmInplaceEdit::StyleChanged() {
  if (FDestroying) return;
  UpdateRegion();
  Invalidate();
}

void TvmInplaceEdit::FillViewData(TvmEditViewData* VD, bool UseBindingValue) {
  VD->IsEnabled = Enabled();
  VD->IsFocused = IsFocused();
  VD->IsHot = IsHot();
  VD->BorderColor = FStyle->BorderColor();
  VD->BorderStyle = FStyle->BorderStyle();
  if (VD->IsHot && FStyle->HotTrack()) VD->BorderStyle = HotBorderStyle(VD->BorderStyle);
  VD->ButtonStyle = ResolveButtonStyle(FStyle->ButtonStyle(), VD->BorderStyle);
  VD->ButtonsTransparent =
      FStyle->ButtonTransparence() == ebtAlways || (FStyle->ButtonTransparence() == ebtInactive && !VD->IsHot);
  VD->ShowFocusRect = false;
  VD->Edges = FStyle->Edges();
  VD->Shadow = FStyle->Shadow();
  VD->OpaqueText = false;
  VD->IsTransparent = FTransparent && !VD->IsFocused;
  VD->ContentOffsets = FContentOffsets;
  VD->Bounds = Rect(0, 0, Width(), Height());
  VD->Alignment = FAlignment;
  VD->TextLayout = 0;
  VD->Brush = Enabled() ? Color() : clBtnFace;
  VD->BkColor = Enabled() ? Color() : clBtnFace;
  VD->Font->Assign(Font());
  VD->TextColor = Enabled() ? Font()->Color() : clBtnShadow;
  VD->IsTextEditor = CanEditText();
  GetDisplayValue(VD->Value, UseBindingValue);
  VD->TextLength = 0;
  VD->Cursor = Cursor();
}

std::unique_ptr<TvmEditViewData> TvmInplaceEdit::CreateViewData(bool UseBindingValue) {
  std::unique_ptr<TvmEditViewData> vd(EditClass()->NewViewData());
  FillViewData(vd.get(), UseBindingValue);
  return vd;
}

void TvmInplaceEdit::CalcViewInfo(TvmInplaceEditClass Self, TvmEditViewData* VD, bool AutoSize, TvmEditViewInfo& VI) {
  switch (VD->BorderStyle) {
    case xbsNone:
      VI.BorderWidth = 0;
      break;
    case xbsSingle:
      VI.BorderWidth = 1;
      break;
    default:
      VI.BorderWidth = 2;
      break;
  }
  VI.ShadowSize = VD->Shadow ? 2 : 0;
  VI.Bounds = VD->Bounds;
  VI.ContentRect = VI.Bounds;
  InflateRect(VI.ContentRect, -2, -2);
  VI.ContentRect.Right -= VI.ShadowSize;
  VI.ContentRect.Bottom -= VI.ShadowSize;
  if (AutoSize) {
    TRect size;
    Self->CalcContentSize(VD, size);
    int height;
    if (IsRectEmpty(size)) {
      height = Self->CalcContentHeight(VD);
    } else {
      height = size.Height();
      VI.Bounds.Right = VI.Bounds.Left + size.Width() + 4 + VI.ShadowSize;
      VI.ContentRect.Right = VI.Bounds.Left + size.Width() + 2;
    }
    VI.Bounds.Bottom = VI.Bounds.Top + height + 4 + VI.ShadowSize;
    VI.ContentRect.Bottom = VI.Bounds.Top + height + 2;
  }
  VI.LeftEdge = VD->Edges.Contains(edgLeft);
  VI.TopEdge = VD->Edges.Contains(edgTop);
  VI.RightEdge = VD->Edges.Contains(edgRight);
  VI.BottomEdge = VD->Edges.Contains(edgBottom);
  VI.BorderRect = VI.ContentRect;
  ApplyBorderWidth(VI.BorderRect, VI);
  VI.ShadowRect = VI.BorderRect;
  if (VI.ShadowSize > 0) OffsetRect(VI.ShadowRect, VI.ShadowSize, VI.ShadowSize);
}

bool TvmInplaceEdit::CreateViewRegion(const TvmEditViewInfo& Info, TRegion& Region) {
  if (Info.ShadowSize == 0 && Info.BorderWidth > 1 && Info.LeftEdge && Info.TopEdge && Info.RightEdge &&
      Info.BottomEdge)
    return false;
  TRegion a = TRegion::CreateRectRgnIndirect(Info.BorderRect);
  if (Info.ShadowSize > 0) {
    TRegion b = TRegion::CreateRectRgnIndirect(Info.ShadowRect);
    TRegion::CombineRgn(Region, a, b, RGN_OR);
  } else {
    Region = a;
  }
  return true;
}

void TvmInplaceEdit::DrawView(TvmInplaceEditClass Self, TCanvas* DC, const TRect& R, TvmEditViewData* VD) {
  TvmEditViewInfo vi;
  VD->Bounds = R;
  Self->CalcViewInfo(VD, false, vi);
  Self->DrawBorder(DC, vi, VD);
  Self->DrawContent(DC, vi.ContentRect, VD, false);
}

void TvmInplaceEdit::DrawBorder(TvmInplaceEditClass, TCanvas* DC, TvmEditViewInfo& VI, TvmEditViewData* VD) {
  uint32_t sides = (VI.LeftEdge ? BF_LEFT : 0) | (VI.TopEdge ? BF_TOP : 0) | (VI.RightEdge ? BF_RIGHT : 0) |
                   (VI.BottomEdge ? BF_BOTTOM : 0);
  switch (VD->BorderStyle) {
    case xbsNone:
      break;
    case xbsSingle:
    case xbsThick: {
      TRect r = VI.BorderRect;
      if (sides == BF_RECT) {
        for (int i = 0; i < VI.BorderWidth; ++i) {
          DC->Brush()->SetStyle(bsSolid);
          DC->Brush()->SetColor(VD->BorderColor);
          DC->FrameRect(r);
          InflateRect(r, -1, -1);
        }
      } else {
        const int w = VI.BorderWidth;
        const int top = VI.TopEdge ? r.Top : r.Top + w;
        if (VI.LeftEdge) FillRectColor(DC, Rect(r.Left, top, r.Left + w, r.Bottom), VD->BorderColor);
        if (VI.RightEdge) FillRectColor(DC, Rect(r.Right - w, top, r.Right, r.Bottom), VD->BorderColor);
        if (VI.TopEdge) FillRectColor(DC, Rect(r.Left, r.Top, r.Right, r.Top + w), VD->BorderColor);
        if (VI.BottomEdge) FillRectColor(DC, Rect(r.Left, r.Bottom - w, r.Right, r.Bottom), VD->BorderColor);
      }
      break;
    }
    case xbsFlat: {
      TRect r = VI.BorderRect;
      DrawEdge(DC, r, BDR_SUNKENOUTER, sides | BF_ADJUST);
      DrawEdge(DC, r, BDR_SUNKENINNER, sides | BF_FLAT);
      break;
    }
    case xbs3D: {
      TRect r = VI.BorderRect;
      DrawEdge(DC, r, EDGE_SUNKEN, sides);
      break;
    }
  }
  if (VI.ShadowSize > 0) FillShadowStrips(DC, VI.ShadowRect, VI.ShadowSize, clBtnShadow);
}

bool TvmInplaceEdit::DrawContent(TvmInplaceEditClass, TCanvas* DC, const TRect& R, TvmEditViewData* VD, bool) {
  if (!VD->MeasureOnly) FillRectColor(DC, R, VD->Brush);
  return true;
}

TCursor TvmInplaceEdit::GetViewCursor(TvmInplaceEditClass, int, int, TvmEditViewData* VD) {
  if (VD->Cursor != crDefault) return VD->Cursor;
  return VD->IsTextEditor ? crDefault : crArrow;
}

int TvmInplaceEdit::CalcContentHeight(TvmInplaceEditClass Self, TvmEditViewData* VD) {
  TBitmap probe(1, 1);
  probe.Canvas()->Font()->Assign(VD->Font.get());
  int h = probe.Canvas()->TextHeight("Wg");
  return Self->IsInplace() ? h + 3 : h + 2 * (1 + 1);
}

void TvmInplaceEdit::CalcContentSize(TvmInplaceEditClass, TvmEditViewData*, TRect& R) { R = TRect(); }

TRect TvmInplaceEdit::ContentRectOfWindow() {
  auto vd = CreateViewData(false);
  TvmEditViewInfo vi;
  EditClass()->CalcViewInfo(vd.get(), false, vi);
  return vi.ContentRect;
}

void TvmInplaceEdit::UpdateRegion() {
  if (FDestroying || Width() <= 0 || Height() <= 0) return;
  auto vd = CreateViewData(false);
  TvmEditViewInfo vi;
  EditClass()->CalcViewInfo(vd.get(), IsAutoSized(), vi);
  if (IsAutoSized() && vi.Bounds.Height() != Height()) {
    SetBounds(Left(), Top(), Width(), vi.Bounds.Height());
    return;  // the resize comes back here
  }
  TRegion region;
  if (CreateViewRegion(vi, region))
    SetWindowRgn(&region, false);
  else
    SetWindowRgn(nullptr, false);
}

void TvmInplaceEdit::UpdateRegionIfNeeded() {
  if (FDestroying) return;
  if (FStyle->HotTrack() || FStyle->ButtonTransparence() != ebtNone) {
    UpdateRegion();
    Invalidate();
  }
}

void TvmInplaceEdit::Paint() {
  auto vd = CreateViewData(false);
  TvmEditViewInfo vi;
  EditClass()->CalcViewInfo(vd.get(), false, vi);
  TCanvas* c = Canvas();
  // The gutter outside the frame is not part of the editor: it shows the container's colour.
  FillRectColor(c, Rect(0, 0, Width(), Height()), GetContainer() ? GetContainer()->Color() : vd->Brush);
  EditClass()->DrawBorder(c, vi, vd.get());
  if (FActive || !UsesInactiveView())
    EditClass()->DrawContent(c, vi.ContentRect, vd.get(), true);
  else
    EditClass()->DrawContent(c, vi.ContentRect, vd.get(), false);
}

void TvmInplaceEdit::DefineProperties(TFiler* Filer) {
  TCustomControl::DefineProperties(Filer);
  Filer->DefineProperty(
      "Height", [this](TReader* R) { SetHeight(static_cast<int32_t>(R->ReadInteger())); },
      [this](TWriter* W) { W->WriteInteger(Height()); }, !IsAutoSized());
  Filer->DefineProperty(
      "StoredValues", [this](TReader* R) { FStoredValues = static_cast<uint32_t>(R->ReadInteger()); },
      [this](TWriter* W) { W->WriteInteger(static_cast<int64_t>(FStoredValues)); }, FStoredValues != 0);
}

// ---------------------------------------------------------------------------------------------
// Container base

VM_DEFINE_CLASS(TCustomvmContainer)

TCustomvmContainer::TCustomvmContainer(TComponent* AOwner) : TCustomControl(AOwner) { FTabStop = true; }

TCustomvmContainer::~TCustomvmContainer() { UninitializeFlatSB(this); }

std::unique_ptr<TvmEditStyle> TCustomvmContainer::CreateEditStyle(TvmInplaceEdit* Edit) {
  return std::make_unique<TvmEditStyle>(Edit);
}

void TCustomvmContainer::SetScrollBarLook(TScrollBarStyle Value) {
  if (FScrollBarLook == Value) return;
  FScrollBarLook = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomvmContainer::CreateWnd() {
  TCustomControl::CreateWnd();
  ++FWindowGeneration;
  if (!LocaleInfo().RightToLeft) InitializeFlatSB(this);
  static const int modes[] = {FSB_REGULAR_MODE, FSB_ENCARTA_MODE, FSB_FLAT_MODE};
  FlatSB_SetScrollStyle(this, SB_HORZ, modes[FScrollBarLook], true);
  FlatSB_SetScrollStyle(this, SB_VERT, modes[FScrollBarLook], true);
}

bool TCustomvmContainer::GetScrollInfo(int Bar, TScrollInfo& Info) { return FlatSB_GetScrollInfo(this, Bar, Info); }

int TCustomvmContainer::SetScrollInfo(int Bar, const TScrollInfo& Info, bool Redraw) {
  return FlatSB_SetScrollInfo(this, Bar, Info, Redraw);
}

void TCustomvmContainer::MouseWheelScroll(bool Up, int Lines) {
  for (int i = 0; i < Lines; ++i) VScroll(Up);
}

void TCustomvmContainer::VScroll(bool Up) { FVScrollLines += Up ? -1 : 1; }

bool TCustomvmContainer::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
  MouseWheelScroll(WheelDelta > 0, Mouse ? Mouse->WheelScrollLines() : 3);
  return true;
}

void TCustomvmContainer::EditKeyDown(uint16_t& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
