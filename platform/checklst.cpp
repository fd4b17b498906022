#include "platform/checklst.h"

#include "platform/canvas.h"
#include "platform/exceptions.h"

VM_DEFINE_CLASS(TCheckListBox)

namespace {
constexpr int kBox = 13;
}

TCheckListBox::TCheckListBox(TComponent* AOwner) : TListBox(AOwner) {}

void TCheckListBox::ItemsChanged() {
  FStates.resize(Items()->Count(), cbUnchecked);
  TListBox::ItemsChanged();
}

TCheckBoxState TCheckListBox::State(int Index) const {
  if (Index < 0 || Index >= Items()->Count())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return Index < static_cast<int>(FStates.size()) ? FStates[Index] : cbUnchecked;
}

void TCheckListBox::SetState(int Index, TCheckBoxState Value) {
  State(Index);  // checks the index
  if (Index >= static_cast<int>(FStates.size())) FStates.resize(Index + 1, cbUnchecked);
  FStates[Index] = Value;
  Invalidate();
}

TRect TCheckListBox::CheckRect(int Index) const {
  const TRect r = ItemRect(Index);
  const int y = r.Top + (r.Height() - kBox) / 2;
  return Rect(r.Left + 2, y, r.Left + 2 + kBox, y + kBox);
}

void TCheckListBox::DrawItem(int Index, const TRect& R, TOwnerDrawState St) {
  TCanvas* c = Canvas();
  const TColor back = c->Brush()->Color();
  c->Brush()->SetColor(Color());
  c->FillRect(Rect(R.Left, R.Top, R.Left + kBox + 4, R.Bottom));
  const TCheckBoxState s = State(Index);
  uint32_t flags = DFCS_BUTTONCHECK | DFCS_FLAT;
  if (s != cbUnchecked) flags |= DFCS_CHECKED;
  if (s == cbGrayed || !Enabled()) flags |= DFCS_INACTIVE;
  if (s == cbGrayed) flags |= DFCS_PUSHED;
  DrawFrameControl(c, CheckRect(Index), DFC_BUTTON, flags);
  c->Brush()->SetColor(back);
  TListBox::DrawItem(Index, Rect(R.Left + kBox + 4, R.Top, R.Right, R.Bottom), St);
}

void TCheckListBox::Toggle(int Index) {
  TCheckBoxState s = State(Index);
  if (AllowGrayed)
    s = s == cbUnchecked ? cbChecked : s == cbChecked ? cbGrayed : cbUnchecked;
  else
    s = s == cbChecked ? cbUnchecked : cbChecked;
  SetState(Index, s);
  if (OnClickCheck) OnClickCheck(this);
}

void TCheckListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const int i = Button == mbLeft && Enabled() ? ItemAtPos(TPoint(X, Y), true) : -1;
  TListBox::MouseDown(Button, Shift, X, Y);
  if (i >= 0 && X < CheckRect(i).Right + 2) Toggle(i);
}

void TCheckListBox::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (Key == VK_SPACE && ItemIndex() >= 0) {
    Key = 0;
    Toggle(ItemIndex());
    return;
  }
  TListBox::KeyDown(Key, Shift);
}
