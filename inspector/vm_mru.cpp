#include "inspector/vm_mru.h"

#include "platform/actnlist.h"
#include "platform/bitmap.h"

VM_DEFINE_CLASS(TvmInplaceMRUEdit)

TvmInplaceMRUEdit::TvmInplaceMRUEdit(TComponent* AOwner) : TvmInplacePickEdit(AOwner) { FImmediateDropDown = false; }

void TvmInplaceMRUEdit::SetMaxItemCount(int Value) {
  if (Value < 0) Value = 0;
  if (Value == FMaxItemCount) return;
  FMaxItemCount = Value;
  TrimItems();
}

void TvmInplaceMRUEdit::SetShowEllipsis(bool Value) {
  if (Value == FShowEllipsis) return;
  FShowEllipsis = Value;
  StyleChanged();
}

void TvmInplaceMRUEdit::TrimItems() {
  while (FMaxItemCount > 0 && FItems->Count() > FMaxItemCount) FItems->Delete(FItems->Count() - 1);
}

void TvmInplaceMRUEdit::AddItem(const std::string& Text) {
  if (Text.empty()) return;
  int i = FItems->IndexOf(Text);
  if (i >= 0) {
    if (i > 0 && !FItems->Sorted()) FItems->Move(i, 0);
    return;
  }
  // A sorted list keeps its order: the text goes where it sorts.
  if (FItems->Sorted())
    FItems->Add(Text);
  else
    FItems->Insert(0, Text);
  TrimItems();
}

void TvmInplaceMRUEdit::ValidateEdit() {
  TvmInplacePickEdit::ValidateEdit();
  if (GetModified()) AddItem(GetWindowText());
}

void TvmInplaceMRUEdit::DoMRUButtonClick() {
  if (OnButtonClick) OnButtonClick(this);
}

void TvmInplaceMRUEdit::CalcButtons(TvmDropDownEditViewData* VD) {
  TvmInplacePickEdit::CalcButtons(VD);
  if (VD->ButtonCount == 0 || !FShowEllipsis) return;
  TvmViewButton& second = VD->Buttons[1];
  second.LeftAligned = VD->Buttons[0].LeftAligned;
  if (VD->Buttons[0].Kind == bkGlyph) {
    second.Kind = bkGlyph;
    second.Glyph = VD->Buttons[0].Glyph;
    VD->Buttons[0].Kind = bkDown;
    VD->Buttons[0].Glyph = nullptr;
    VD->Buttons[0].Width = GetButtonWidth(VD, 0);
  } else {
    second.Kind = bkEllipsis;
  }
  VD->ButtonCount = 2;
  second.Width = GetButtonWidth(VD, 1);
}

void TvmInplaceMRUEdit::FillViewData(TvmEditViewData* VD, bool UseBindingValue) {
  if (auto* m = dynamic_cast<TvmMRUEditViewData*>(VD)) m->ShowEllipsis = FShowEllipsis;
  TvmInplacePickEdit::FillViewData(VD, UseBindingValue);
}

void TvmInplaceMRUEdit::DoButtonDown(bool NoCapture, int ButtonIndex) {
  TvmInplacePickEdit::DoButtonDown(NoCapture, ButtonIndex == 1 ? -1 : ButtonIndex);
}

void TvmInplaceMRUEdit::DoButtonClick(int ButtonIndex) {
  if (ButtonIndex == 1) DoMRUButtonClick();
}

void TvmInplaceMRUEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (FShowEllipsis && IsEditable() && ShortCut(Key, Shift) == ShortCut(VK_RETURN, {ssCtrl})) {
    Key = 0;
    DoMRUButtonClick();
    return;
  }
  TvmInplacePickEdit::KeyDown(Key, Shift);
}
