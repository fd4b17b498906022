#include "inspector/vm_memo.h"

#include <algorithm>

#include "platform/exceptions.h"
#include "platform/richedit.h"
#include "platform/shell.h"
#include "platform/sysutils.h"

const char* const SvmMemoTooLarge = "Text exceeds memo capacity";

// ---------------------------------------------------------------------------------------------
// Memo lines

std::vector<std::string> TvmMemoStrings::Split() const {
  std::string t = FEdit->GetWindowText();
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= t.size(); ++i) {
    if (i == t.size() || t[i] == '\n') {
      std::string line = t.substr(start, i - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      start = i + 1;
    }
  }
  return lines;
}

void TvmMemoStrings::Join(const std::vector<std::string>& Lines, bool TrailingBreak) {
  std::string t;
  for (size_t i = 0; i < Lines.size(); ++i) {
    if (i) t += '\n';
    t += Lines[i];
  }
  if (TrailingBreak) t += '\n';
  FEdit->SetWindowText(t);
}

int TvmMemoStrings::GetCount() const {
  std::string t = FEdit->GetWindowText();
  if (t.empty()) return 0;
  int n = static_cast<int>(Split().size());
  // A text ending with a line break has an empty last window line that is no line of the list.
  if (t.back() == '\n') --n;
  return n;
}

std::string TvmMemoStrings::Get(int Index) const {
  std::vector<std::string> l = Split();
  if (Index < 0 || Index >= GetCount()) Error("List index out of bounds (%d)", Index);
  std::string s = l[Index];
  return s.size() > 4096 ? s.substr(0, 4096) : s;
}

void TvmMemoStrings::Put(int Index, const std::string& S) {
  if (Index < 0 || Index >= GetCount()) return;
  std::vector<std::string> l = Split();
  std::string t = FEdit->GetWindowText();
  l[Index] = S;
  bool trailing = !t.empty() && t.back() == '\n';
  if (trailing) l.pop_back();
  Join(l, trailing);
}

void TvmMemoStrings::Insert(int Index, const std::string& S) {
  std::string t = FEdit->GetWindowText();
  int count = GetCount();
  std::vector<std::string> l = Split();
  bool trailing = !t.empty() && t.back() == '\n';
  if (trailing) l.pop_back();
  if (t.empty()) l.clear();
  if (Index >= 0 && Index < count) {
    l.insert(l.begin() + Index, S);
    Join(l, trailing);
  } else if (Index == count && Index > 0 && !l[Index - 1].empty()) {
    l.push_back(S);
    Join(l, trailing);
  } else if (Index == 0 && count == 0) {
    FEdit->SetWindowText(S);
  }
}

void TvmMemoStrings::Delete(int Index) {
  int count = GetCount();
  if (Index < 0 || Index >= count) return;
  std::string t = FEdit->GetWindowText();
  bool trailing = !t.empty() && t.back() == '\n';
  std::vector<std::string> l = Split();
  if (trailing) l.pop_back();
  l.erase(l.begin() + Index);
  Join(l, trailing && !l.empty());
}

void TvmMemoStrings::Clear() { FEdit->SetWindowText(""); }

std::string TvmMemoStrings::Text() const { return FEdit->GetWindowText(); }

void TvmMemoStrings::SetText(std::string_view Value) {
  std::string t;
  for (size_t i = 0; i < Value.size(); ++i) {
    if (Value[i] == '\r') {
      if (i + 1 < Value.size() && Value[i + 1] == '\n') ++i;
      t += '\n';
    } else {
      t += Value[i];
    }
  }
  if (t == FEdit->GetWindowText()) return;
  FEdit->SetWindowText(t);
  if (FEdit->GetWindowText() != t) throw EInvalidOperation(SvmMemoTooLarge);
}

// ---------------------------------------------------------------------------------------------
// Memo editor

VM_DEFINE_CLASS(TvmInplaceMemoEdit)

TvmInplaceMemoEdit::TvmInplaceMemoEdit(TComponent* AOwner)
    : TvmInplaceTextEdit(AOwner, true), FLines(std::make_unique<TvmMemoStrings>(this)) {
  if (!InplaceMode()) SetBounds(Left(), Top(), 185, 89);
  FAutoSize = false;
  FShowSelectionBar = true;
  if (!InplaceMode()) FAutoSelect = false;
  LayoutTextWindow();
}

void TvmInplaceMemoEdit::SetWordWrap(bool Value) {
  FWordWrap = Value;
  if (FRichEdit) FRichEdit->SetWordWrap(Value);
}

void TvmInplaceMemoEdit::SetHideScrollBars(bool Value) {
  FHideScrollBars = Value;
  if (FRichEdit) FRichEdit->SetScrollBars(FScrollBars, FHideScrollBars);
}

void TvmInplaceMemoEdit::SetScrollBars(TScrollStyle Value) {
  FScrollBars = Value;
  if (FRichEdit) FRichEdit->SetScrollBars(FScrollBars, FHideScrollBars);
}

void TvmInplaceMemoEdit::SelectAll() { TvmInplaceTextEdit::SelectAll(); }

void TvmInplaceMemoEdit::Loaded() {
  TvmInplaceTextEdit::Loaded();
  SetModified(false);
}

void TvmInplaceMemoEdit::FillViewData(TvmEditViewData* VD, bool UseBindingValue) {
  TvmInplaceTextEdit::FillViewData(VD, UseBindingValue);
  VD->TextLayout = 3;
}

void TvmInplaceMemoEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  const bool ctrl = Shift.Contains(ssCtrl);
  if (Key == VK_RETURN && !ctrl) {
    // A line break is typed (by the window) when the editor may change; the key goes nowhere else.
    if (!IsEditable() || !CanModify()) Key = 0;
    return;
  }
  const bool shifts = Shift.Contains(ssShift) || ctrl || Shift.Contains(ssAlt);
  if (Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT) {
    const bool all = GetSelLength() == GetTextLengthEx();
    if (all && !shifts) {
      TvmInplaceTextEdit::KeyDown(Key, Shift);
      return;
    }
    if (InplaceMode()) GetContainer()->EditKeyDown(Key, Shift);
    return;  // the caret moves in the memo
  }
  if (Key == VK_TAB && FWantTabs) {
    if (InplaceMode()) GetContainer()->EditKeyDown(Key, Shift);
    return;
  }
  TvmInplaceTextEdit::KeyDown(Key, Shift);
}

// ---------------------------------------------------------------------------------------------
// Hyperlink editor

VM_DEFINE_CLASS(TvmInplaceHyperLinkEdit)

TvmInplaceHyperLinkEdit::TvmInplaceHyperLinkEdit(TComponent* AOwner)
    : TvmInplaceTextEdit(AOwner), FStartKey(ShortCut(VK_RETURN, {ssCtrl})) {
  FAutoSelect = false;
  ApplyLinkFont();
}

TFont* TvmInplaceHyperLinkEdit::LinkTextFont() {
  if (!FLinkTextFont) {
    FLinkTextFont = std::make_unique<TFont>();
    FLinkTextFont->Assign(Font());
    TFontStyles st = Font()->Style();
    st.Include(fsUnderline);
    FLinkTextFont->SetStyle(st);
    FLinkTextFont->SetColor(FLinkTextColor);
  }
  return FLinkTextFont.get();
}

void TvmInplaceHyperLinkEdit::ApplyLinkFont() {
  FLinkTextFont.reset();
  LinkTextFont();
  LayoutTextWindow();
  Invalidate();
}

void TvmInplaceHyperLinkEdit::SetLinkTextColor(TColor Value) {
  FLinkTextColor = Value;
  ApplyLinkFont();
}

void TvmInplaceHyperLinkEdit::FontChanged() {
  TvmInplaceTextEdit::FontChanged();
  ApplyLinkFont();
}

void TvmInplaceHyperLinkEdit::FillViewData(TvmEditViewData* VD, bool UseBindingValue) {
  TvmInplaceTextEdit::FillViewData(VD, UseBindingValue);
  VD->Font->Assign(LinkTextFont());
  if (VD->IsEnabled) VD->TextColor = FLinkTextColor;
  if (auto* h = dynamic_cast<TvmHyperLinkEditViewData*>(VD))
    h->HandCursor = !(!InplaceMode() && IsEditable() && !FSingleClick);
}

TCursor TvmInplaceHyperLinkEdit::GetViewCursor(TvmInplaceEditClass Self, int X, int Y, TvmEditViewData* VD) {
  auto* h = dynamic_cast<TvmHyperLinkEditViewData*>(VD);
  if (h && h->HandCursor) return crVmHandPoint;
  return TvmInplaceTextEdit::GetViewCursor(Self, X, Y, VD);
}

void TvmInplaceHyperLinkEdit::StartLink() {
  if (StartHook) {
    StartHook(this);
    return;
  }
  std::string t = Trim(GetWindowText());
  if (!t.empty()) ShellOpen(t);
}

void TvmInplaceHyperLinkEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (ShortCut(Key, Shift) == FStartKey) {
    Key = 0;
    StartLink();
    return;
  }
  TvmInplaceTextEdit::KeyDown(Key, Shift);
}

void TvmInplaceHyperLinkEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TvmInplaceTextEdit::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft && PtInRect(Rect(0, 0, Width(), Height()), TPoint(X, Y)) &&
      (FSingleClick || InplaceMode() || !IsEditable()))
    StartLink();
}

void TvmInplaceHyperLinkEdit::DblClick() {
  TvmInplaceTextEdit::DblClick();
  StartLink();
}

void TvmInplaceHyperLinkEdit::AfterMouseActivate() {
  if (!FSingleClick) return;
  Update();
  StartLink();
}

void TvmInplaceHyperLinkEdit::SelectAll() {
  if (!InplaceMode()) TvmInplaceTextEdit::SelectAll();
}
