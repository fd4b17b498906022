#include "inspector/vm_image.h"

#include <algorithm>

#include "inspector/vm_utils.h"
#include "platform/imglist.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TvmPopupImageListBox)

TvmPopupImageListBox::TvmPopupImageListBox(TComponent* AOwner) : TvmPopupListBox(AOwner) {}

int TvmPopupImageListBox::ImageItemHeight() {
  Canvas()->Font()->Assign(Font());
  return std::max(Canvas()->TextHeight("Wg") + 5, (Images ? Images->Height() : 0) + 2);
}

void TvmPopupImageListBox::PaintClient() {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  TRect r = ItemsRect();
  FillRectColor(c, r, Color());
  const int h = ImageItemHeight(), iw = Images ? Images->Width() : 0;
  for (int i = FTopIndex; i < FItems->Count(); ++i) {
    TRect ir = Rect(r.Left, r.Top + (i - FTopIndex) * h, r.Right, r.Top + (i - FTopIndex + 1) * h);
    if (ir.Top >= r.Bottom) break;
    const bool sel = i == FItemIndex;
    FillRectColor(c, ir, sel ? clHighlight : Color());
    int index = i < static_cast<int>(ImageIndexes.size()) ? ImageIndexes[i] : -2;
    if (Images && index >= 0 && index < Images->Count())
      Images->Draw(c, ir.Left + 1, (ir.Top + ir.Bottom - Images->Height()) / 2, index);
    c->Font()->SetColor(sel ? clHighlightText : Font()->Color());
    c->Brush()->SetStyle(bsClear);
    TRect t = Rect(ir.Left + iw + 3, ir.Top, ir.Right, ir.Bottom);
    c->DrawText((*FItems)[i], t, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}

VM_DEFINE_CLASS(TvmInplaceImageEdit)

TvmInplaceImageEdit::TvmInplaceImageEdit(TComponent* AOwner)
    : TvmInplaceDropDownEdit(AOwner),
      FValues(std::make_unique<TStringList>()),
      FDescriptions(std::make_unique<TStringList>()),
      FImageIndexes(std::make_unique<TStringList>()) {
  FPopupOnClick = true;
  FList = new TvmPopupImageListBox(this);
  FList->SetOwnerEdit(this);
  FList->OnListMouseUp = [this](TControl* L, int X, int Y) { ListMouseUp(L, X, Y); };
  // The list is shown on the form, which may free it before this editor goes.
  FList->FreeNotification(this);
  LayoutTextWindow();
}

void TvmInplaceImageEdit::SetImages(TImageList* Value) {
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  StyleChanged();
}

void TvmInplaceImageEdit::SetLargeImages(TImageList* Value) {
  if (FLargeImages) FLargeImages->RemoveFreeNotification(this);
  FLargeImages = Value;
  if (Value) Value->FreeNotification(this);
  StyleChanged();
}

void TvmInplaceImageEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TvmInplaceDropDownEdit::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  if (AComponent == FLargeImages) FLargeImages = nullptr;
  if (AComponent == FList) {
    if (FCurrentPopup == FList) {
      FCurrentPopup = nullptr;
      FPopupShown = false;
    }
    FList = nullptr;
  }
}

void TvmInplaceImageEdit::FindImageItem(const std::string& Text, TStrings* ImageIndexes, bool DefaultImages,
                                        TStrings* Values, TStrings* Descriptions, int& DescriptionIndex,
                                        int& ImageIndex) {
  int i = Values ? Values->IndexOf(Text) : -1;
  DescriptionIndex = Descriptions && i >= 0 && i < Descriptions->Count() ? i : -1;
  if (DefaultImages) {
    ImageIndex = i;
  } else {
    int32_t n = -1;
    if (!(ImageIndexes && i >= 0 && i < ImageIndexes->Count() && TryStrToInt((*ImageIndexes)[i], n))) n = -1;
    ImageIndex = n;
  }
}

void TvmInplaceImageEdit::FillViewData(TvmEditViewData* VD, bool UseBindingValue) {
  TvmInplaceDropDownEdit::FillViewData(VD, UseBindingValue);
  if (auto* d = dynamic_cast<TvmImageEditViewData*>(VD)) {
    d->DefaultImages = FDefaultImages;
    d->Descriptions = FDescriptions.get();
    d->ImageIndexes = FImageIndexes.get();
    d->Images = FImages;
    d->ShowDescription = FShowDescription;
    d->Values = FValues.get();
    if (FMultiLineText) d->TextLayout = 3;
    d->ShowFocusRect = !InplaceMode() && !FPopupShown && IsFocused();
  }
}

bool TvmInplaceImageEdit::DrawContent(TvmInplaceEditClass Self, TCanvas* DC, const TRect& R, TvmEditViewData* VD,
                                      bool IsLiveWindow) {
  auto* d = dynamic_cast<TvmImageEditViewData*>(VD);
  if (!d || VD->MeasureOnly) return true;
  if (!VD->IsTransparent) FillRectColor(DC, R, VD->Brush);
  const std::string text = VD->Value.IsNull() ? std::string() : VD->Value.AsString();
  int desc, image;
  FindImageItem(text, d->ImageIndexes, d->DefaultImages, d->Values, d->Descriptions, desc, image);
  const int iw = d->Images ? d->Images->Width() : 0, ih = d->Images ? d->Images->Height() : 0;
  const bool drawImage = d->Images && image >= 0 && image < d->Images->Count();
  if (d->ShowDescription) {
    if (drawImage) d->Images->Draw(DC, R.Left, (R.Top + R.Bottom - ih) / 2, image);
    Variant keep = VD->Value;
    VD->Value = desc >= 0 ? (*d->Descriptions)[desc] : std::string();
    bool transparent = VD->IsTransparent;
    VD->IsTransparent = true;
    TvmInplaceMaskEdit::DrawContent(Self, DC, Rect(R.Left + iw, R.Top, R.Right, R.Bottom), VD, false);
    VD->IsTransparent = transparent;
    VD->Value = keep;
  } else if (drawImage) {
    d->Images->Draw(DC, (R.Left + R.Right - iw) / 2, (R.Top + R.Bottom - ih) / 2, image);
  }
  return true;
}

void TvmInplaceImageEdit::SelectValueText(const std::string& Text) {
  if (Text == GetWindowText()) return;
  SetWindowText(Text);
  SetModified(true);
  Invalidate();
}

void TvmInplaceImageEdit::StepValue(int Delta, bool Cycle) {
  if (GetReadOnly() || FValues->Count() == 0) return;
  int i = FValues->IndexOf(GetWindowText());
  i = i < 0 ? 0 : std::clamp(i + Delta, 0, FValues->Count() - 1);
  SelectValueText((*FValues)[i]);
}

void TvmInplaceImageEdit::FillImageList() {
  FList->Items()->BeginUpdate();
  FList->Items()->Clear();
  FList->ImageIndexes.clear();
  for (int i = 0; i < FValues->Count(); ++i) {
    FList->Items()->Add(i < FDescriptions->Count() ? (*FDescriptions)[i] : std::string());
    int32_t n = i;
    if (!FDefaultImages && !(i < FImageIndexes->Count() && TryStrToInt((*FImageIndexes)[i], n))) n = -1;
    FList->ImageIndexes.push_back(n < 0 ? -2 : n);
  }
  FList->Items()->EndUpdate();
  const int frame = 2 * PopupBorderWidth(FList->PopupBorder()) + (FList->Shadow() ? FList->ShadowSize() : 0);
  int h = FList->ImageItemHeight() * std::min(FValues->Count(), FDropDownRows) + frame;
  int iw = FList->Images ? FList->Images->Width() : FList->ImageItemHeight();
  int w = FDropDownWidth ? FDropDownWidth : std::max(10, 4 + iw + FList->WidestItem() + 2) + frame;
  if (!FDropDownWidth && FValues->Count() > FDropDownRows) w += TvmPopupListBox::ScrollBarWidth;
  FList->SetBounds(FList->Left(), FList->Top(), w, h);
  FList->SetItemIndex(FValues->IndexOf(GetWindowText()));
  PositionPopup(FList, true);
}

void TvmInplaceImageEdit::DropDown() {
  if (!IsEditable() || !FList) return;
  if (!IsFocused() && CanFocus()) SetFocus();
  DoEditButtonClick();
  if (FValues->Count() == 0) return;
  FCurrentPopup = FList;
  FList->SetColor(Color());
  FList->SetFont(Font());
  FList->Images = FLargeImages ? FLargeImages : FImages;
  FList->MultiLineText = FMultiLineText;
  FList->SetPopupBorder(GetPopupBorder());
  FList->SetShadow(FStyle->Shadow());
  FillImageList();
  FList->ShowPopup();
  FPopupShown = true;
  WatchPopup();
  Invalidate();
}

void TvmInplaceImageEdit::CloseUp(bool Accept) {
  if (!FPopupShown) return;
  SetMouseCapture(false);
  FocusSelf();
  FList->Hide();
  FPopupShown = false;
  FWatch.reset();
  Invalidate();
  int i = FList->ItemIndex();
  if (i >= 0 && i < FValues->Count()) {
    Variant v = (*FValues)[i];
    DoCloseUp(v, Accept);
    if (Accept) SelectValueText(v.AsString());
  }
}

void TvmInplaceImageEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (!FPopupShown && !Shift.Contains(ssAlt)) {
    if (InplaceMode() && (Key == VK_LEFT || Key == VK_RIGHT)) {
      FocusAdjacentCell(Key == VK_LEFT);
      Key = 0;
      return;
    }
    if (!InplaceMode()) {
      int n = FValues->Count();
      switch (Key) {
        case VK_PRIOR:
          StepValue(1 - FDropDownRows, false);
          Key = 0;
          return;
        case VK_NEXT:
          StepValue(FDropDownRows - 1, false);
          Key = 0;
          return;
        case VK_HOME:
          if (n) SelectValueText((*FValues)[0]);
          Key = 0;
          return;
        case VK_END:
          if (n) SelectValueText((*FValues)[n - 1]);
          Key = 0;
          return;
        case VK_RIGHT:
        case VK_DOWN:
          StepValue(1, false);
          Key = 0;
          return;
        case VK_LEFT:
        case VK_UP:
          StepValue(-1, false);
          Key = 0;
          return;
        default:
          break;
      }
    }
  }
  TvmInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TvmInplaceImageEdit::KeyPress(char& Key) {
  char typed = Key;
  TvmInplaceDropDownEdit::KeyPress(Key);
  if (FValues->Count() == 0 || static_cast<unsigned char>(typed) <= 31) return;
  int i = FValues->IndexOf(GetWindowText());
  int start = i < 0 ? 0 : i + 1;
  int n = FValues->Count();
  // The next value whose description starts with the typed character, cycling.
  for (int k = 0; k < n; ++k) {
    int j = (start + k) % n;
    std::string d = j < FDescriptions->Count() ? (*FDescriptions)[j] : std::string();
    if (!d.empty() && AnsiSameText(d.substr(0, 1), std::string(1, typed))) {
      if (j != i) SelectValueText((*FValues)[j]);
      break;
    }
  }
  Key = 0;
}
