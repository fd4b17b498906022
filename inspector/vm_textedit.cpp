#include "inspector/vm_textedit.h"

#include <algorithm>
#include <cctype>

#include "inspector/vm_utils.h"
#include "platform/clipbrd.h"
#include "platform/guards.h"
#include "platform/localeinfo.h"
#include "platform/menus.h"
#include "platform/richedit.h"
#include "platform/shell.h"
#include "platform/sysutils.h"

const char* const SMaskEditErr = "Invalid input value.  Use escape key to abandon changes";
const char* const SvmMenuUndo = "&Undo";
const char* const SvmMenuRedo = "&Redo";
const char* const SvmMenuCut = "Cu&t";
const char* const SvmMenuCopy = "&Copy";
const char* const SvmMenuPaste = "&Paste";
const char* const SvmMenuDelete = "&Delete";
const char* const SvmMenuSelectAll = "Select &All";

std::string ApplyCharCase(const std::string& S, TEditCharCase CharCase) {
  switch (CharCase) {
    case ecUpperCase:
      return AnsiUpperCase(S);
    case ecLowerCase:
      return AnsiLowerCase(S);
    default:
      return S;
  }
}

// ---------------------------------------------------------------------------------------------
// Text editor

VM_DEFINE_CLASS(TvmInplaceTextEdit)

TvmInplaceTextEdit::TvmInplaceTextEdit(TComponent* AOwner) : TvmInplaceTextEdit(AOwner, false) {}

TvmInplaceTextEdit::TvmInplaceTextEdit(TComponent* AOwner, bool MultiLine) : TvmInplaceEdit(AOwner) {
  FRichEdit = new TRichEditControl(this, MultiLine);
  FRichEdit->SetParent(this);
  FRichEdit->SetTabStop(false);
  FRichEdit->OnChange = [this](TObject*) { TextWindowChanged(); };
  FRichEdit->OnSelectionChange = [this](TObject*) { DoSelectionChanged(); };
  FRichEdit->OnKeyDown = [this](TObject*, uint16_t& Key, TShiftState Shift) { KeyDown(Key, Shift); };
  FRichEdit->OnKeyPress = [this](TObject*, char& Key) { KeyPress(Key); };
  FRichEdit->OnKeyUp = [this](TObject*, uint16_t& Key, TShiftState Shift) { KeyUp(Key, Shift); };
  FRichEdit->OnEnter = [this](TObject*) { DoEnter(); };
  FRichEdit->OnExit = [this](TObject*) { DoExit(); };
  FRichEdit->OnMouseDown = [this](TObject*, TMouseButton B, TShiftState S, int X, int Y) {
    FEnteredByMouse = B == mbLeft;
    MouseDown(B, S, X + FRichEdit->Left(), Y + FRichEdit->Top());
  };
  FRichEdit->OnMouseUp = [this](TObject*, TMouseButton B, TShiftState S, int X, int Y) {
    MouseUp(B, S, X + FRichEdit->Left(), Y + FRichEdit->Top());
  };
  LayoutTextWindow();
}

TvmInplaceTextEdit::~TvmInplaceTextEdit() {
  FDestroying = true;
  if (FRichEdit) {
    FRichEdit->OnChange = nullptr;
    FRichEdit->OnSelectionChange = nullptr;
    FRichEdit->OnEnter = nullptr;
    FRichEdit->OnExit = nullptr;
  }
}

void TvmInplaceTextEdit::LayoutTextWindow() {
  if (!FRichEdit || FDestroying) return;
  if (!CanEditText()) {
    FRichEdit->SetVisible(false);
    return;
  }
  FRichEdit->SetVisible(true);
  TRect r = ContentRectOfWindow();
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  FRichEdit->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  FRichEdit->SetColor(Enabled() ? Color() : clBtnFace);
  FRichEdit->SetFont(TextWindowFont());
  FRichEdit->SetAlignment(FAlignment);
  FRichEdit->SetPasswordChar(FPasswordChar);
  FRichEdit->SetReadOnly(!IsEditable());
  FRichEdit->SetAcceptDrops(!NeedsOleCallback());
  // The painter's text rectangle: 1 pixel in, the content offsets, the selection bar.
  int left = 1 + FContentOffsets.Left + (FShowSelectionBar ? 8 : 0);
  int right = 1 + FContentOffsets.Right + (FAlignment == taRightJustify ? 1 : 0);
  FRichEdit->SetTextOrigin(left, 1 + FContentOffsets.Top, right);
}

void TvmInplaceTextEdit::Resize() {
  TvmInplaceEdit::Resize();
  LayoutTextWindow();
}

void TvmInplaceTextEdit::FontChanged() {
  TvmInplaceEdit::FontChanged();
  LayoutTextWindow();
}

void TvmInplaceTextEdit::ColorChanged() {
  TvmInplaceEdit::ColorChanged();
  LayoutTextWindow();
}

void TvmInplaceTextEdit::StyleChanged() {
  TvmInplaceEdit::StyleChanged();
  LayoutTextWindow();
}

void TvmInplaceTextEdit::TextWindowChanged() {
  if (FDestroying) return;
  if (!FChangingCase && !ComponentState().Contains(csLoading)) ApplyCharCaseToText();
  if (!FAssigning && !FChangingCase) DoChange();
}

void TvmInplaceTextEdit::SetMaxLength(int Value) {
  FStoredValues |= 1u << svmMaxLength;
  DoSetMaxLength(Value);
}

void TvmInplaceTextEdit::DoSetMaxLength(int Value) {
  if (Value < 0) Value = 0;
  if (Value == FMaxLength) return;
  FMaxLength = Value;
  SetTextLimit(Value);
}

void TvmInplaceTextEdit::SetTextLimit(int Limit) {
  if (FRichEdit) FRichEdit->SetMaxLength(Limit);
}

void TvmInplaceTextEdit::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  ApplyCharCaseToText();
}

void TvmInplaceTextEdit::ApplyCharCaseToText() {
  if (FCharCase == ecNormal || !FRichEdit) return;
  std::string text = FRichEdit->GetText();
  std::string converted = ApplyCharCase(text, FCharCase);
  if (converted == text) return;
  FChangingCase = true;
  int s = FRichEdit->SelStart(), l = FRichEdit->SelLength();
  bool m = FRichEdit->Modified();
  {
    TScopeFail undo([&] {
      FRichEdit->SetModified(m);
      FChangingCase = false;
    });
    FRichEdit->SetText(converted);
  }
  FRichEdit->SetModified(m);
  FRichEdit->SetSelection(s, s + l);
  FChangingCase = false;
  if (!FAssigning) DoChange();
}

void TvmInplaceTextEdit::SetPasswordChar(char Value) {
  if (FPasswordChar == Value) return;
  FPasswordChar = Value;
  LayoutTextWindow();
  Invalidate();
}

void TvmInplaceTextEdit::SetShowSelectionBar(bool Value) {
  if (FShowSelectionBar == Value) return;
  FShowSelectionBar = Value;
  LayoutTextWindow();
}

int TvmInplaceTextEdit::GetSelLength() const { return FRichEdit ? FRichEdit->SelLength() : 0; }
int TvmInplaceTextEdit::GetSelStart() const { return FRichEdit ? FRichEdit->SelStart() : 0; }
void TvmInplaceTextEdit::GetSelText(std::string& S) const { S = FRichEdit ? FRichEdit->SelText() : std::string(); }

int TvmInplaceTextEdit::GetSelTextBuf(char* Buffer, int BufSize) const {
  std::string s;
  GetSelText(s);
  int n = std::min<int>(BufSize, static_cast<int>(s.size()));
  if (n > 0) std::copy(s.begin(), s.begin() + n, Buffer);
  return std::max(0, n);
}

void TvmInplaceTextEdit::DoSelectionChanged() {
  if (OnSelectionChanged) OnSelectionChanged(this);
}

void TvmInplaceTextEdit::SetSelLength(int N) {
  int s = GetSelStart();
  SetSelection(s, s + N);
}

void TvmInplaceTextEdit::SetSelStart(int N) { SetSelection(N, N); }

void TvmInplaceTextEdit::GetSelection(int& Start, int& Stop) const {
  Start = GetSelStart();
  Stop = Start + GetSelLength();
}

void TvmInplaceTextEdit::SetSelection(int Start, int Stop) {
  if (FRichEdit) FRichEdit->SetSelection(Start, Stop);
}

void TvmInplaceTextEdit::ClearUndo() {
  if (FRichEdit) FRichEdit->ClearUndo();
}
void TvmInplaceTextEdit::Undo() {
  if (FRichEdit) FRichEdit->Undo();
}
void TvmInplaceTextEdit::Redo() {
  if (FRichEdit) FRichEdit->Redo();
}
bool TvmInplaceTextEdit::CanUndo() const { return FRichEdit && FRichEdit->CanUndo(); }
bool TvmInplaceTextEdit::CanRedo() const { return FRichEdit && FRichEdit->CanRedo(); }
bool TvmInplaceTextEdit::CanPaste() const { return IsEditable() && FRichEdit && FRichEdit->CanPaste(); }

void TvmInplaceTextEdit::CutToClipboard() {
  if (CanModify() && FRichEdit) FRichEdit->CutToClipboard();
}
void TvmInplaceTextEdit::CopyToClipboard() {
  if (FRichEdit) FRichEdit->CopyToClipboard();
}
void TvmInplaceTextEdit::PasteFromClipboard() {
  if (CanModify() && FRichEdit) FRichEdit->PasteFromClipboard();
}
void TvmInplaceTextEdit::ClearSelection() {
  if (CanModify() && FRichEdit) FRichEdit->ClearSelection();
}
void TvmInplaceTextEdit::EmptyText() { SetWindowText(""); }
int TvmInplaceTextEdit::GetTextLengthEx() const { return FRichEdit ? FRichEdit->TextLength() : 0; }

std::string TvmInplaceTextEdit::GetWindowText() const {
  return CanEditText() && FRichEdit ? FRichEdit->GetText() : TvmInplaceEdit::GetWindowText();
}

void TvmInplaceTextEdit::SetWindowText(const std::string& S) {
  if (CanEditText() && FRichEdit) {
    FRichEdit->SetText(S);
    FText = FRichEdit->GetText();
  } else {
    TvmInplaceEdit::SetWindowText(S);
  }
}

void TvmInplaceTextEdit::SetEditValue(const Variant& Value) {
  FAssigning = true;
  {
    TScopeExit assigning([&] { FAssigning = false; });
    TvmInplaceEdit::SetEditValue(Value);
    ApplyCharCaseToText();
  }
  ClearUndo();
}

bool TvmInplaceTextEdit::GetModified() const { return CanEditText() && FRichEdit ? FRichEdit->Modified() : FModified; }

void TvmInplaceTextEdit::SetModified(bool Value) {
  FModified = Value;
  if (CanEditText() && FRichEdit) FRichEdit->SetModified(Value);
}

void TvmInplaceTextEdit::DoSetReadOnly(bool Value) {
  TvmInplaceEdit::DoSetReadOnly(Value);
  if (FRichEdit) FRichEdit->SetReadOnly(!IsEditable());
}

void TvmInplaceTextEdit::PlaceCaretAtEnd() {
  int n = GetTextLengthEx();
  SetSelection(n, n);
}

void TvmInplaceTextEdit::RestoreDefaults() {
  TvmInplaceEdit::RestoreDefaults();
  DoSetMaxLength(GetDefaultMaxLength());
}

void TvmInplaceTextEdit::SelectAll() {
  if (CanEditText()) SetSelection(0, GetTextLengthEx());
}

bool TvmInplaceTextEdit::IsFocused() const {
  return Focused() || (FRichEdit && FRichEdit->Visible() && FRichEdit->Focused());
}

void TvmInplaceTextEdit::SetFocus() {
  if (CanEditText() && FRichEdit && FRichEdit->Visible() && Visible()) {
    if (FRichEdit->CanFocus()) FRichEdit->SetFocus();
    return;
  }
  TvmInplaceEdit::SetFocus();
}

void TvmInplaceTextEdit::DoEnter() {
  const bool byMouse = FEnteredByMouse;
  FEnteredByMouse = false;
  TvmInplaceEdit::DoEnter();
  if (FAutoSelect && !byMouse) SelectAll();
}

void TvmInplaceTextEdit::KeyPress(char& Key) {
  TvmInplaceEdit::KeyPress(Key);
  if (Key && FCharCase != ecNormal && static_cast<unsigned char>(Key) > 31) {
    std::string s = ApplyCharCase(std::string(1, Key), FCharCase);
    if (s.size() == 1) Key = s[0];
  }
}

void TvmInplaceTextEdit::FillViewData(TvmEditViewData* VD, bool UseBindingValue) {
  TvmInplaceEdit::FillViewData(VD, UseBindingValue);
  if (auto* t = dynamic_cast<TvmTextEditViewData*>(VD)) {
    t->CharCase = FCharCase;
    t->PasswordChar = FPasswordChar;
    t->ShowSelectionBar = FShowSelectionBar;
    t->ShowFocusRect = !EditClass()->IsInplace() && !CanEditText();
  }
}

std::unique_ptr<TvmEditViewData> TvmInplaceTextEdit::CreateViewData(bool UseBindingValue) {
  return TvmInplaceEdit::CreateViewData(UseBindingValue);
}

bool TvmInplaceTextEdit::DrawContent(TvmInplaceEditClass, TCanvas* DC, const TRect& R, TvmEditViewData* VD,
                                     bool IsLiveWindow) {
  if (VD->IsTextEditor && IsLiveWindow) return false;
  auto* t = dynamic_cast<TvmTextEditViewData*>(VD);
  std::string text = VD->Value.IsNull() ? std::string() : VD->Value.AsString();
  if (VD->TextLength > 0 && VD->TextLength < static_cast<int>(text.size())) text.resize(VD->TextLength);
  if (t) {
    text = ApplyCharCase(text, t->CharCase);
    if (t->PasswordChar && !text.empty()) text = std::string(text.size(), t->PasswordChar);
  }
  TRect tr = R;
  if (t && t->ShowSelectionBar) tr.Left += 8;
  if (VD->ShowFocusRect) {
    InflateRect(tr, -2, -2);
  } else {
    InflateRect(tr, -1, -1);
    tr.Left += VD->ContentOffsets.Left;
    tr.Top += VD->ContentOffsets.Top;
    tr.Right -= VD->ContentOffsets.Right;
    if (VD->Alignment == taRightJustify) tr.Right -= 1;
  }
  uint16_t flags = VD->Alignment == taRightJustify ? CTF_RIGHT : VD->Alignment == taCenter ? CTF_CENTER : 0;
  static const uint16_t layout[] = {0, CTF_VCENTER, CTF_BOTTOM, CTF_WORDWRAP};
  flags |= layout[std::clamp(VD->TextLayout, 0, 3)];
  if (VD->ShowFocusRect && VD->IsFocused) flags |= CTF_FOCUSRECT;
  if (VD->IsTransparent) flags |= CTF_NO_FILL;
  if (VD->OpaqueText) flags |= CTF_OPAQUE;
  if (t && t->EllipsisAtEnd) flags |= CTF_END_ELLIPSIS;
  if (VD->MeasureOnly) {
    VD->LineCount = 0;
    VD->LineHeight = 0;
    int h = DrawCellText(DC, text, -1, R, tr, flags | CTF_MEASURE, VD->Brush, VD->Font.get(), VD->BkColor,
                         VD->TextColor, &VD->LineHeight);
    if (h != 0) VD->MeasuredHeight = h - (VD->ShowFocusRect ? 2 : VD->ContentOffsets.Top + 2);
    if (VD->LineHeight != 0) VD->LineCount = VD->MeasuredHeight / VD->LineHeight;
  } else {
    DrawCellText(DC, text, -1, R, tr, flags, VD->Brush, VD->Font.get(), VD->BkColor, VD->TextColor, nullptr);
  }
  return true;
}

void TvmInplaceTextEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TvmInplaceEdit::MouseUp(Button, Shift, X, Y);
  if (Button == mbRight) ContextMenuRequest(X, Y);
}

TPopupMenu* TvmInplaceTextEdit::ContextMenu() {
  if (FMenu) return FMenu;
  FMenu = new TPopupMenu(this);
  struct TEntry {
    const char* Caption;
    int Tag;
  };
  static const TEntry entries[] = {{SvmMenuUndo, -1},   {SvmMenuRedo, -2}, {"-", 2147483647},
                                   {SvmMenuCut, -3},    {SvmMenuCopy, -4}, {SvmMenuPaste, -5},
                                   {SvmMenuDelete, -6}, {"-", 2147483647}, {SvmMenuSelectAll, -7}};
  for (const TEntry& e : entries) {
    auto* item = new TMenuItem(FMenu);
    item->SetCaption(e.Caption);
    item->SetTag(e.Tag);
    item->OnClick = [this, tag = e.Tag](TObject*) {
      switch (tag) {
        case -1:
          Undo();
          break;
        case -2:
          Redo();
          break;
        case -3:
          CutToClipboard();
          break;
        case -4:
          CopyToClipboard();
          break;
        case -5:
          PasteFromClipboard();
          break;
        case -6:
          ClearSelection();
          break;
        case -7:
          SelectAll();
          break;
        default:
          break;
      }
    };
    FMenu->Items()->Add(item);
  }
  FMenu->OnPopup = [this](TObject*) {
    const bool sel = GetSelLength() > 0;
    TMenuItem* items = FMenu->Items();
    items->Items(0)->SetEnabled(CanUndo());
    items->Items(1)->SetEnabled(CanRedo());
    items->Items(3)->SetEnabled(sel && IsEditable() && !FPasswordChar);
    items->Items(4)->SetEnabled(sel && !FPasswordChar);
    items->Items(5)->SetEnabled(IsEditable() && CanPaste());
    items->Items(6)->SetEnabled(sel && IsEditable());
    items->Items(8)->SetEnabled(GetSelLength() != GetTextLengthEx());
  };
  return FMenu;
}

void TvmInplaceTextEdit::ContextMenuRequest(int X, int Y) {
  FShownMenu = nullptr;
  if (!CanEditText()) return;
  // A menu of the editor or of a parent wins.
  for (TControl* c = this; c; c = c->Parent()) {
    TPopupMenu* own = ControlPopupMenu(c);
    if (own) {
      TPoint p = ClientToScreen(TPoint(X, Y));
      own->Popup(p.X, p.Y);
      FShownMenu = own;
      return;
    }
  }
  if (X == -1 && Y == -1) {
    X = std::min(Width(), 2);
    Y = 2;
  } else if (!PtInRect(Rect(0, 0, Width(), Height()), TPoint(X, Y))) {
    return;
  }
  TPopupMenu* m = ContextMenu();
  TPoint p = ClientToScreen(TPoint(X, Y));
  m->Popup(p.X, p.Y);
  FShownMenu = m;
}

// ---------------------------------------------------------------------------------------------
// Mask routines

namespace {

// The mask proper: the characters before the field separator.
int MaskEnd(const std::string& Mask) {
  const int n = static_cast<int>(Mask.size());
  for (int i = std::max(0, n - 4); i < n; ++i)
    if (Mask[i] == ';' && (i == 0 || Mask[i - 1] != '\\')) return i;
  return n;
}

bool IsLiteralType(TMaskCharType T) { return T == mcLiteral || T == mcIntlLiteral; }

struct TMaskPos {
  int MaskIndex;
  TMaskCharType Type;
  char Char;  // the mask character, or the literal shown
  int Case;   // 0 none, 1 upper, 2 lower
};

std::vector<TMaskPos> CompileMask(const std::string& Mask, bool& Reversed) {
  std::vector<TMaskPos> out;
  Reversed = false;
  const int end = MaskEnd(Mask);
  int caseMode = 0;
  for (int i = 0; i < end; ++i) {
    TMaskCharType t = ClassifyMaskChar(Mask, i);
    char c = Mask[i];
    if (t == mcDirective) {
      if (c == '!') Reversed = true;
      if (c == '>') caseMode = 1;
      if (c == '<') {
        if (i + 1 < end && Mask[i + 1] == '>') {
          caseMode = 0;
          ++i;
        } else {
          caseMode = 2;
        }
      }
      continue;
    }
    if (t == mcFieldSeparator || t == mcField) continue;
    out.push_back({i, t, t == mcIntlLiteral ? MaskSeparatorChar(c) : c, caseMode});
  }
  return out;
}

bool IsLetter(char C) { return std::isalpha(static_cast<unsigned char>(C)) != 0; }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }

}  // namespace

TMaskCharType ClassifyMaskChar(const std::string& Mask, int Index) {
  if (Index < 0 || Index >= static_cast<int>(Mask.size())) return mcNone;
  const int end = MaskEnd(Mask);
  if (Index == end && end < static_cast<int>(Mask.size())) return mcFieldSeparator;
  if (Index > end) return mcField;
  // A character after an unescaped backslash is a literal.
  int slashes = 0;
  for (int k = Index - 1; k >= 0 && Mask[k] == '\\'; --k) ++slashes;
  if (slashes % 2 == 1) return mcLiteral;
  switch (Mask[Index]) {
    case '\\':
    case '!':
    case '>':
    case '<':
      return mcDirective;
    case '/':
    case ':':
      return mcIntlLiteral;
    case '0':
    case 'L':
    case 'A':
    case 'C':
      return mcMask;
    case '9':
    case 'l':
    case 'a':
    case 'c':
    case '#':
      return mcMaskOpt;
    default:
      return mcLiteral;
  }
}

char MaskSeparatorChar(char C) {
  if (C == '/') return LocaleInfo().DateSeparator;
  if (C == ':') return LocaleInfo().TimeSeparator;
  return C;
}

bool MaskKeepsLiterals(const std::string& Mask) {
  const int n = static_cast<int>(Mask.size());
  if (n <= 3) return true;
  int last = -1, before = -1;
  for (int i = std::max(0, n - 4); i < n; ++i)
    if (Mask[i] == ';') {
      before = last;
      last = i;
    }
  if (last < 0) return true;
  int sep = before >= 0 ? before : last;
  if (sep == n - 1) return true;
  return Mask[sep + 1] != '0';
}

char MaskBlankChar(const std::string& Mask) {
  const int n = static_cast<int>(Mask.size());
  if (n >= 4 && Mask[n - 2] == ';' && (Mask[n - 3] == ';' || Mask[n - 4] == ';')) return Mask[n - 1];
  return '_';
}

int CountMaskPositions(const std::string& Mask, int Length) {
  bool rev;
  std::vector<TMaskPos> p = CompileMask(Mask, rev);
  if (Length < 0) return static_cast<int>(p.size());
  int n = 0;
  for (const TMaskPos& m : p)
    if (m.MaskIndex < Length) ++n;
  return n;
}

int TextToMaskIndex(const std::string& Mask, int TextPosition) {
  bool rev;
  std::vector<TMaskPos> p = CompileMask(Mask, rev);
  if (TextPosition < 0 || TextPosition >= static_cast<int>(p.size())) return -1;
  return p[TextPosition].MaskIndex;
}

bool IsMaskLiteralAt(const std::string& Mask, int TextPosition) {
  bool rev;
  std::vector<TMaskPos> p = CompileMask(Mask, rev);
  return TextPosition >= 0 && TextPosition < static_cast<int>(p.size()) && IsLiteralType(p[TextPosition].Type);
}

std::string ApplyMaskFormat(const std::string& Mask, const std::string& Value, char Blank) {
  bool rev;
  std::vector<TMaskPos> p = CompileMask(Mask, rev);
  std::string out(p.size(), Blank);
  if (!rev) {
    size_t v = 0;
    for (size_t i = 0; i < p.size(); ++i) {
      if (IsLiteralType(p[i].Type))
        out[i] = p[i].Char;
      else
        out[i] = v < Value.size() ? Value[v++] : Blank;
    }
  } else {
    int v = static_cast<int>(Value.size()) - 1;
    for (int i = static_cast<int>(p.size()) - 1; i >= 0; --i) {
      if (IsLiteralType(p[i].Type))
        out[i] = p[i].Char;
      else
        out[i] = v >= 0 ? Value[v--] : Blank;
    }
  }
  return out;
}

std::string PadMaskSection(const std::string& Mask, const std::string& Text, int SectionStart, int NeededLength,
                           char Blank) {
  bool rev;
  CompileMask(Mask, rev);
  (void)SectionStart;
  std::string s = Text;
  if (static_cast<int>(s.size()) < NeededLength) {
    std::string pad(NeededLength - s.size(), Blank);
    s = rev ? pad + s : s + pad;
  } else if (static_cast<int>(s.size()) > NeededLength) {
    s = rev ? s.substr(s.size() - NeededLength) : s.substr(0, NeededLength);
  }
  return s;
}

std::string AlignInputToLiterals(const std::string& Mask, const std::string& Value, char Blank) {
  bool rev;
  std::vector<TMaskPos> p = CompileMask(Mask, rev);
  std::string text = Value;
  int start = 0;
  for (int i = 0; i < static_cast<int>(p.size()); ++i) {
    if (!IsLiteralType(p[i].Type)) continue;
    size_t idx = text.find(p[i].Char, start);
    if (idx == std::string::npos) {
      text += p[i].Char;
      idx = text.size() - 1;
    }
    std::string section = text.substr(start, idx - start);
    std::string padded = PadMaskSection(Mask, section, start, i - start, Blank);
    text = text.substr(0, start) + padded + text.substr(idx);
    start = i + 1;
  }
  std::string tail = start < static_cast<int>(text.size()) ? text.substr(start) : std::string();
  text = text.substr(0, std::min<size_t>(start, text.size())) +
         PadMaskSection(Mask, tail, start, static_cast<int>(p.size()) - start, Blank);
  for (int i = 0; i < static_cast<int>(p.size()) && i < static_cast<int>(text.size()); ++i)
    if (!IsLiteralType(p[i].Type) && text[i] == ' ') text[i] = Blank;
  return text;
}

// ---------------------------------------------------------------------------------------------
// Mask editor

VM_DEFINE_CLASS(TvmInplaceMaskEdit)

TvmInplaceMaskEdit::TvmInplaceMaskEdit(TComponent* AOwner) : TvmInplaceTextEdit(AOwner) {}

void TvmInplaceMaskEdit::SetEditMask(const std::string& Value) {
  FStoredValues |= 1u << svmEditMask;
  DoSetEditMask(Value);
}

void TvmInplaceMaskEdit::DoSetEditMask(const std::string& Value) {
  if (Value == FEditMask) return;
  int s, e;
  GetSelection(s, e);
  std::string stripped = IsMasked() ? StripMaskFormat(GetWindowText()) : GetWindowText();
  FEditMask = Value;
  FMaskPositions = CountMaskPositions(Value);
  FKeepLiterals = MaskKeepsLiterals(Value);
  FBlank = MaskBlankChar(Value);
  FSettingText = true;
  SetWindowText(IsMasked() ? FormatWithMask(stripped) : stripped);
  FSettingText = false;
  FMaxLength = 0;
  SetTextLimit(IsMasked() && FMaskPositions > 0 ? FMaskPositions : 0);
  if (IsMasked() && FMaskPositions > 0) FMaxLength = FMaskPositions;
  if (IsFocused()) SetCursor(s);
  LayoutTextWindow();
}

void TvmInplaceMaskEdit::DoSetMaxLength(int Value) {
  if (IsMasked()) Value = FMaskPositions;
  TvmInplaceTextEdit::DoSetMaxLength(Value);
}

std::string TvmInplaceMaskEdit::StripMaskFormat(const std::string& Text) const {
  bool rev;
  std::vector<TMaskPos> p = CompileMask(FEditMask, rev);
  std::string s;
  for (size_t i = 0; i < Text.size(); ++i)
    if (i >= p.size() || !IsLiteralType(p[i].Type)) s += Text[i];
  if (rev) {
    size_t k = s.find_first_not_of(FBlank);
    s = k == std::string::npos ? std::string() : s.substr(k);
  } else {
    size_t k = s.find_last_not_of(FBlank);
    s = k == std::string::npos ? std::string() : s.substr(0, k + 1);
  }
  if (FBlank != ' ') std::replace(s.begin(), s.end(), FBlank, ' ');
  return s;
}

std::string TvmInplaceMaskEdit::FormatWithMask(const std::string& Value) const {
  return FKeepLiterals ? AlignInputToLiterals(FEditMask, Value, FBlank) : ApplyMaskFormat(FEditMask, Value, FBlank);
}

std::string TvmInplaceMaskEdit::GetText() const {
  if (!IsMasked()) return GetWindowText();
  std::string s = StripMaskFormat(GetWindowText());
  if (FKeepLiterals) s = ApplyMaskFormat(FEditMask, s, ' ');
  return s;
}

void TvmInplaceMaskEdit::SetText(const std::string& Value) {
  if (!IsMasked()) {
    SetWindowText(Value);
    return;
  }
  std::string t = FormatWithMask(Value);
  if (t != GetWindowText()) {
    FSettingText = true;
    SetWindowText(t);
    FSettingText = false;
  }
  CheckCursor();
}

void TvmInplaceMaskEdit::SetEditValue(const Variant& Value) {
  if (!IsMasked()) {
    TvmInplaceTextEdit::SetEditValue(Value);
    return;
  }
  FAssigning = true;
  {
    TScopeExit assigning([&] { FAssigning = false; });
    SetText(Value.IsNull() ? std::string() : Value.AsString());
  }
  ClearUndo();
}

void TvmInplaceMaskEdit::GetEditValue(Variant& Value) { Value = GetText(); }

void TvmInplaceMaskEdit::GetEditingText(std::string& S) {
  if (FIgnoreMaskBlank) {
    S = GetWindowText();
    return;
  }
  if (IsMasked() && GetWindowText() == FormatWithMask("")) {
    S.clear();
    return;
  }
  S = GetText();
}

bool TvmInplaceMaskEdit::Validate(const std::string& Text, int& FailPos) const {
  bool rev;
  std::vector<TMaskPos> p = CompileMask(FEditMask, rev);
  for (int i = 0; i < static_cast<int>(p.size()); ++i) {
    if (p[i].Type != mcMask) continue;
    char c = i < static_cast<int>(Text.size()) ? Text[i] : FBlank;
    if ((c == FBlank && !FIgnoreMaskBlank) || (c == ' ' && p[i].Char != 'C')) {
      FailPos = i;
      return false;
    }
  }
  FailPos = -1;
  return true;
}

void TvmInplaceMaskEdit::ValidateEdit() {
  if (!IsMasked()) {
    TvmInplaceTextEdit::ValidateEdit();
    return;
  }
  int fail = -1;
  if (!GetModified() || Validate(GetWindowText(), fail)) {
    CheckCursor();
    TvmInplaceTextEdit::ValidateEdit();
    return;
  }
  if (FClosing) {
    Reset();
    return;
  }
  FReEnter = true;
  if (EditVisible() && CanFocus() && !IsFocused()) SetFocus();
  SetCursor(fail);
  MessageBeep();
  throw EDBEditError(SMaskEditErr);
}

bool TvmInplaceMaskEdit::CharAllowedAt(char& C, int Position) const {
  bool rev;
  std::vector<TMaskPos> p = CompileMask(FEditMask, rev);
  if (Position < 0 || Position >= static_cast<int>(p.size())) return false;
  const TMaskPos& m = p[Position];
  if (IsLiteralType(m.Type)) {
    C = m.Char;
    return true;
  }
  auto applyCase = [&] {
    if (m.Case == 1) C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
    if (m.Case == 2) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  };
  switch (m.Char) {
    case '#':
      return IsDigit(C) || C == ' ' || C == '+' || C == '-';
    case '0':
    case '9':
      return IsDigit(C);
    case 'L':
    case 'l':
      if (!IsLetter(C)) return false;
      applyCase();
      return true;
    case 'A':
    case 'a':
      if (!IsLetter(C) && !IsDigit(C)) return false;
      applyCase();
      return true;
    case 'C':
    case 'c':
      applyCase();
      return true;
    default:
      return false;
  }
}

int TvmInplaceMaskEdit::NextInputPosition(int From) const {
  for (int i = std::max(0, From); i < FMaskPositions; ++i)
    if (!IsMaskLiteralAt(FEditMask, i)) return i;
  return -1;
}

int TvmInplaceMaskEdit::PrevInputPosition(int From) const {
  for (int i = std::min(From, FMaskPositions - 1); i >= 0; --i)
    if (!IsMaskLiteralAt(FEditMask, i)) return i;
  return -1;
}

bool TvmInplaceMaskEdit::FindLiteralAhead(char C, int From, int& Found) const {
  bool rev;
  std::vector<TMaskPos> p = CompileMask(FEditMask, rev);
  for (int i = std::max(0, From); i < static_cast<int>(p.size()); ++i)
    if (IsLiteralType(p[i].Type) && p[i].Char == C) {
      Found = i;
      return true;
    }
  return false;
}

void TvmInplaceMaskEdit::SetCursor(int Position) {
  if (Position < 0) Position = 0;
  if (!IsMasked()) {
    Position = std::min(Position, GetTextLengthEx());
    SetSelection(Position, Position);
  } else if (Position >= FMaskPositions) {
    SetSelection(FMaskPositions, FMaskPositions);
  } else {
    SetSelection(Position, Position + 1);
  }
  FCaretPos = Position;
}

void TvmInplaceMaskEdit::CheckCursor() {
  if (!IsMasked() || GetSelLength() != 0) return;
  int p = GetSelStart();
  if (IsMaskLiteralAt(FEditMask, p)) {
    int n = NextInputPosition(p);
    if (n >= 0) p = n;
  }
  SetCursor(p);
}

std::string TvmInplaceMaskEdit::ClearRange(const std::string& Text, int Start, int Stop) const {
  std::string t = Text;
  for (int i = Start; i < Stop && i < static_cast<int>(t.size()); ++i)
    if (!IsMaskLiteralAt(FEditMask, i)) t[i] = FBlank;
  return t;
}

void TvmInplaceMaskEdit::RememberForRestore() {
  if (!GetModified()) FPrevText = GetWindowText();
}

void TvmInplaceMaskEdit::InputChar(char& Key) {
  if (Key == 27) {
    Reset();
    Key = 0;
    return;
  }
  if (Key == '\r' && !InplaceMode()) {
    ValidateEdit();
    Key = 0;
    return;
  }
  if (!CanModify() || !IsEditable() || Key == '\b') {
    Key = 0;
    return;
  }
  int s, e;
  GetSelection(s, e);
  std::string text = GetWindowText();
  if (e - s > 1) {
    text = ClearRange(text, s, e);
    FSettingText = true;
    SetWindowText(text);
    FSettingText = false;
    int n = NextInputPosition(s);
    FCaretPos = n >= 0 ? n : s;
  } else {
    FCaretPos = s;
  }
  if (IsMaskLiteralAt(FEditMask, FCaretPos)) {
    int n = NextInputPosition(FCaretPos);
    if (n >= 0) FCaretPos = n;
  }
  char c = Key;
  Key = 0;
  int lit;
  if (FCaretPos < FMaskPositions && CharAllowedAt(c, FCaretPos)) {
    if (static_cast<int>(text.size()) < FMaskPositions) text.resize(FMaskPositions, FBlank);
    text[FCaretPos] = c;
    FSettingText = true;
    SetWindowText(text);
    FSettingText = false;
    SetModified(true);
    int n = NextInputPosition(FCaretPos + 1);
    SetCursor(n >= 0 ? n : FMaskPositions);
  } else if (FindLiteralAhead(c, FCaretPos, lit)) {
    int n = NextInputPosition(lit + 1);
    SetCursor(n >= 0 ? n : FMaskPositions);
  } else {
    MessageBeep();
    SetCursor(FCaretPos);
  }
}

void TvmInplaceMaskEdit::KeyPress(char& Key) {
  TvmInplaceEdit::KeyPress(Key);  // the base filters
  if (!Key) return;
  if (!IsMasked()) {
    if (FCharCase != ecNormal && static_cast<unsigned char>(Key) > 31) {
      std::string s = ApplyCharCase(std::string(1, Key), FCharCase);
      if (s.size() == 1) Key = s[0];
    }
    return;
  }
  if (Key == 3 || Key == 22 || Key == 24) return;  // Ctrl+C, Ctrl+V, Ctrl+X
  InputChar(Key);
}

void TvmInplaceMaskEdit::ArrowKey(uint16_t Key, TShiftState Shift) {
  if (Shift.Contains(ssCtrl)) return;
  int s, e;
  GetSelection(s, e);
  if (!Shift.Contains(ssShift)) {
    if (e - s <= 1) {
      if (Key == VK_LEFT) {
        int p = PrevInputPosition(s - 1);
        SetCursor(p >= 0 ? p : std::max(0, NextInputPosition(0)));
      } else {
        if (e == s) {
          SetCursor(s);
        } else {
          int n = NextInputPosition(s + 1);
          SetCursor(n >= 0 ? n : s);
        }
      }
    } else {
      SetCursor(FCaretPos == e ? FCaretPos - 1 : FCaretPos);
    }
  } else {
    int caret = Key == VK_LEFT ? std::max(0, FCaretPos - 1) : std::min(FMaskPositions, FCaretPos + 1);
    int anchor = FCaretPos == s ? e : s;
    SetSelection(std::min(anchor, caret), std::max(anchor, caret));
    FCaretPos = caret;
  }
}

void TvmInplaceMaskEdit::HomeEndKey(uint16_t Key, TShiftState Shift) {
  int s, e;
  GetSelection(s, e);
  if (!Shift.Contains(ssShift)) {
    SetCursor(Key == VK_HOME ? 0 : FMaskPositions);
    if (Key == VK_HOME && IsMaskLiteralAt(FEditMask, 0)) CheckCursor();
  } else if (Key == VK_HOME) {
    SetSelection(0, e);
  } else {
    SetSelection(s, FMaskPositions);
  }
  FCaretPos = Key == VK_HOME ? 0 : FMaskPositions;
}

void TvmInplaceMaskEdit::DeleteSelection(bool Backspace) {
  if (!IsEditable()) return;
  int s, e;
  GetSelection(s, e);
  if (Backspace && e - s <= 1) {
    int p = PrevInputPosition(s - 1);
    if (p < 0) return;
    s = p;
    e = p + 1;
  }
  if (e == s) e = s + 1;
  std::string text = ClearRange(GetWindowText(), s, e);
  FSettingText = true;
  SetWindowText(text);
  FSettingText = false;
  SetModified(true);
  if (e - s == 1) {
    SetCursor(s);
  } else {
    int n = NextInputPosition(s);
    SetCursor(n >= 0 ? n : s);
  }
}

void TvmInplaceMaskEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  const bool ctrlV = (Shift.Contains(ssCtrl) && Key == 'V') || (Shift.Contains(ssShift) && Key == VK_INSERT);
  if (ctrlV) {
    if (!InplaceMode() || GetContainer()->CanEditModify()) PasteFromClipboard();
    Key = 0;
    return;
  }
  if (IsMasked() && Shift.Contains(ssCtrl) && Key == 'X') {
    CutToClipboard();
    Key = 0;
    return;
  }
  TvmInplaceTextEdit::KeyDown(Key, Shift);
  if (!Key || !IsMasked() || Shift.Contains(ssAlt)) return;
  switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
      ArrowKey(Key, Shift);
      if (!Shift.Contains(ssShift) && !Shift.Contains(ssCtrl)) Key = 0;
      break;
    case VK_UP:
    case VK_DOWN:
      Key = 0;
      break;
    case VK_HOME:
    case VK_END:
      HomeEndKey(Key, Shift);
      Key = 0;
      break;
    case VK_DELETE:
    case VK_BACK:
      if (Key == VK_BACK || (!Shift.Contains(ssShift) && !Shift.Contains(ssCtrl))) {
        if (CanModify()) DeleteSelection(Key == VK_BACK);
        Key = 0;
      }
      break;
    default:
      if (Shift.Contains(ssCtrl) && Key == 'A') {
        SelectAll();
        Key = 0;
      } else {
        CheckCursor();
      }
      break;
  }
}

void TvmInplaceMaskEdit::DoEnter() {
  if (!IsMasked()) {
    TvmInplaceTextEdit::DoEnter();
    return;
  }
  const bool reenter = FReEnter;
  const bool autoSelect = FAutoSelect;
  if (reenter) FAutoSelect = false;
  TvmInplaceTextEdit::DoEnter();
  FAutoSelect = autoSelect;
  FReEnter = false;
  if (!reenter && FAutoSelect) return;
  CheckCursor();
}

void TvmInplaceMaskEdit::TextWindowChanged() {
  if (IsMasked() && !FSettingText && !FDestroying && FRichEdit &&
      static_cast<int>(FRichEdit->GetText().size()) != FMaskPositions) {
    // Text that escaped the mask is brought back into it.
    std::string t = FRichEdit->GetText();
    FSettingText = true;
    SetWindowText(FormatWithMask(StripMaskFormat(t)));
    FSettingText = false;
    SetModified(true);
  }
  TvmInplaceTextEdit::TextWindowChanged();
}

int TvmInplaceMaskEdit::PasteText(std::string& Text, const std::string& Pasted, int Offset) const {
  bool rev;
  std::vector<TMaskPos> p = CompileMask(FEditMask, rev);
  std::string run;
  size_t k = 0;
  int pos = Offset;
  while (k < Pasted.size() && pos < static_cast<int>(p.size())) {
    char c = Pasted[k];
    if (IsLiteralType(p[pos].Type)) {
      run += p[pos].Char;
      if (c == p[pos].Char) ++k;
    } else {
      char cc = c;
      run += CharAllowedAt(cc, pos) ? cc : FBlank;
      ++k;
    }
    ++pos;
  }
  if (static_cast<int>(Text.size()) < FMaskPositions) Text.resize(FMaskPositions, FBlank);
  for (size_t i = 0; i < run.size() && Offset + static_cast<int>(i) < static_cast<int>(Text.size()); ++i)
    Text[Offset + i] = run[i];
  return Offset + static_cast<int>(run.size());
}

void TvmInplaceMaskEdit::PasteFromClipboard() {
  if (!IsMasked() || !IsEditable() || !CanModify()) {
    TvmInplaceTextEdit::PasteFromClipboard();
    return;
  }
  std::string pasted = Clipboard()->AsText();
  std::string before = GetModified() ? FPrevText : GetWindowText();
  int s, e;
  GetSelection(s, e);
  std::string text = ClearRange(GetWindowText(), s, e);
  int after = PasteText(text, pasted, s);
  FSettingText = true;
  SetWindowText(text);
  FSettingText = false;
  SetCursor(after);
  FPrevText = before;
  SetModified(true);
  ValidateEdit();
}

void TvmInplaceMaskEdit::ClearSelection() {
  if (!IsMasked()) {
    TvmInplaceTextEdit::ClearSelection();
    return;
  }
  if (!CanModify()) return;
  std::string before = GetModified() ? FPrevText : GetWindowText();
  FSettingText = true;
  SetWindowText(FormatWithMask(""));
  FSettingText = false;
  FPrevText = before;
  SetModified(true);
  SetCursor(std::max(0, NextInputPosition(0)));
}

void TvmInplaceMaskEdit::CutToClipboard() {
  if (!IsMasked()) {
    TvmInplaceTextEdit::CutToClipboard();
    return;
  }
  if (!CanModify()) return;
  CopyToClipboard();
  ClearSelection();
}
