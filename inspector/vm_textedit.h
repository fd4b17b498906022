// The text editor (a text window in plain-text mode with case, length, password, selection bar
// and its context menu) and the mask editor that types into fixed positions of an edit mask.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "inspector/vm_edit.h"

class TRichEditControl;
class TPopupMenu;

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// The toolkit's error of masked text that does not fill its mask.
class EDBEditError : public Exception {
public:
  using Exception::Exception;
};
extern const char* const SMaskEditErr;  // "Invalid input value.  Use escape key to abandon changes"

class TvmTextEditViewData : public TvmEditViewData {
public:
  TEditCharCase CharCase = ecNormal;
  bool EllipsisAtEnd = false;
  char PasswordChar = 0;
  bool ShowSelectionBar = false;
};

// The locale's upper or lower case of S.
std::string ApplyCharCase(const std::string& S, TEditCharCase CharCase);

// Context menu captions.
extern const char* const SvmMenuUndo;       // "&Undo"
extern const char* const SvmMenuRedo;       // "&Redo"
extern const char* const SvmMenuCut;        // "Cu&t"
extern const char* const SvmMenuCopy;       // "&Copy"
extern const char* const SvmMenuPaste;      // "&Paste"
extern const char* const SvmMenuDelete;     // "&Delete"
extern const char* const SvmMenuSelectAll;  // "Select &All"

class TvmInplaceTextEdit : public TvmInplaceEdit {
  VM_CLASS(TvmInplaceTextEdit, TvmInplaceEdit)
public:
  explicit TvmInplaceTextEdit(TComponent* AOwner);
  ~TvmInplaceTextEdit() override;
  // MultiLine: the text window holds several lines (the memo editor).
  TvmInplaceTextEdit(TComponent* AOwner, bool MultiLine);

  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool Value) { FOEMConvert = Value; }
  bool ShowSelectionBar() const { return FShowSelectionBar; }
  void SetShowSelectionBar(bool Value);
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value) { FHideSelection = Value; }
  TNotifyEvent OnSelectionChanged;

  // The text window (null for an editor class that does not edit text).
  TRichEditControl* TextWindow() const { return FRichEdit; }

  virtual void ApplyCharCaseToText();
  virtual void SetTextLimit(int Limit);
  virtual int GetSelLength() const;
  virtual int GetSelStart() const;
  virtual void GetSelText(std::string& S) const;
  virtual bool NeedsOleCallback() const { return false; }
  virtual void DoSelectionChanged();
  virtual void DoSetMaxLength(int Value);
  virtual void SetSelLength(int N);
  virtual void SetSelStart(int N);
  virtual int GetDefaultMaxLength() const { return 0; }
  int GetSelTextBuf(char* Buffer, int BufSize) const;
  void GetSelection(int& Start, int& Stop) const;
  void SetSelection(int Start, int Stop);
  void ClearUndo();
  void Undo();
  void Redo();
  bool CanUndo() const;
  bool CanRedo() const;
  bool CanPaste() const;
  virtual void CutToClipboard();
  void CopyToClipboard();
  virtual void PasteFromClipboard();
  virtual void ClearSelection();
  void EmptyText();
  int GetTextLengthEx() const;
  // The context menu (built on first use).
  TPopupMenu* ContextMenu();
  // Shows the context menu at a client point ((-1, -1): at the caret) when nothing else has one.
  void ContextMenuRequest(int X, int Y);
  // The menu shown last by ContextMenuRequest, or null.
  TPopupMenu* ShownMenu() const { return FShownMenu; }

  // Overrides.
  void SetEditValue(const Variant& Value) override;
  bool CanEditText() const override { return true; }
  bool GetModified() const override;
  void PlaceCaretAtEnd() override;
  void RestoreDefaults() override;
  void SelectAll() override;
  bool IsFocused() const override;
  void SetFocus() override;
  std::string GetWindowText() const override;
  void SetWindowText(const std::string& S) override;
  std::unique_ptr<TvmEditViewData> CreateViewData(bool UseBindingValue) override;

  static TvmEditViewData* NewViewData() { return new TvmTextEditViewData(); }
  static bool DrawContent(TvmInplaceEditClass Self, TCanvas* DC, const TRect& R, TvmEditViewData* VD,
                          bool IsLiveWindow);

protected:
  void SetModified(bool Value) override;
  void DoSetReadOnly(bool Value) override;
  void FillViewData(TvmEditViewData* VD, bool UseBindingValue) override;
  void KeyPress(char& Key) override;
  void DoEnter() override;
  void Resize() override;
  void FontChanged() override;
  void ColorChanged() override;
  void StyleChanged() override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // Places the text window over the content and its text where the painter would draw it.
  void LayoutTextWindow();
  virtual void TextWindowChanged();
  // The font the text window types in.
  virtual TFont* TextWindowFont() { return Font(); }

  TRichEditControl* FRichEdit = nullptr;
  int FMaxLength = 0;
  TEditCharCase FCharCase = ecNormal;
  char FPasswordChar = 0;
  bool FOEMConvert = false;
  bool FShowSelectionBar = false;
  bool FAutoSelect = true;
  bool FHideSelection = true;
  bool FAssigning = false;
  bool FChangingCase = false;
  bool FEnteredByMouse = false;
  TPopupMenu* FMenu = nullptr;
  TPopupMenu* FShownMenu = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Edit masks.

enum TMaskCharType { mcNone, mcLiteral, mcIntlLiteral, mcDirective, mcMask, mcMaskOpt, mcFieldSeparator, mcField };

// The kind of the mask character at Index (0-based) of Mask.
TMaskCharType ClassifyMaskChar(const std::string& Mask, int Index);
bool MaskKeepsLiterals(const std::string& Mask);
char MaskBlankChar(const std::string& Mask);
// Text positions of the mask's first Length characters (-1: all).
int CountMaskPositions(const std::string& Mask, int Length = -1);
// The mask index of a text position, -1 when the mask has fewer positions.
int TextToMaskIndex(const std::string& Mask, int TextPosition);
bool IsMaskLiteralAt(const std::string& Mask, int TextPosition);
// The separator a mask character shows ('/' and ':' as the locale's), or the character itself.
char MaskSeparatorChar(char C);
// The value formatted into the mask with Blank for empty input positions.
std::string ApplyMaskFormat(const std::string& Mask, const std::string& Value, char Blank);
std::string PadMaskSection(const std::string& Mask, const std::string& Text, int SectionStart, int NeededLength,
                           char Blank);
std::string AlignInputToLiterals(const std::string& Mask, const std::string& Value, char Blank);

class TvmInplaceMaskEdit : public TvmInplaceTextEdit {
  VM_CLASS(TvmInplaceMaskEdit, TvmInplaceTextEdit)
public:
  explicit TvmInplaceMaskEdit(TComponent* AOwner);

  const std::string& EditMask() const { return FEditMask; }
  void SetEditMask(const std::string& Value);
  bool IgnoreMaskBlank() const { return FIgnoreMaskBlank; }
  void SetIgnoreMaskBlank(bool Value) { FIgnoreMaskBlank = Value; }
  bool IsMasked() const { return !FEditMask.empty(); }
  int MaskPositions() const { return FMaskPositions; }
  char BlankChar() const { return FBlank; }
  int CaretPosition() const { return FCaretPos; }
  // Puts the overwrite caret on a text position (it selects the character there).
  void SetCaret(int Position) { SetCursor(Position); }

  // The value text (literals kept by the mask's rule) and the window text.
  std::string GetText() const;
  void SetText(const std::string& Value);
  std::string GetEditText() const { return GetWindowText(); }
  void SetEditText(const std::string& Value) { SetWindowText(Value); }
  int GetTextLength() const { return static_cast<int>(GetWindowText().size()); }
  std::string StripMaskFormat(const std::string& Text) const;
  std::string FormatWithMask(const std::string& Value) const;
  // True when the text passes the mask; else the first failing text position.
  bool Validate(const std::string& Text, int& FailPos) const;
  void SelectRange(int Start, int Stop) { SetSelection(Start, Stop); }
  bool CharAllowedAt(char& C, int Position) const;

  virtual void DoSetEditMask(const std::string& Value);
  virtual std::string GetDefaultEditMask() const { return std::string(); }

  void SetEditValue(const Variant& Value) override;
  void GetEditValue(Variant& Value) override;
  void GetEditingText(std::string& S) override;
  void ValidateEdit() override;
  bool BlocksClosing() const override { return FBlocksClosing && GetModified(); }
  bool NeedsOleCallback() const override { return IsMasked(); }
  void DoSetMaxLength(int Value) override;
  int GetDefaultMaxLength() const override { return IsMasked() ? FMaskPositions : 0; }
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void ClearSelection() override;

protected:
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void DoEnter() override;
  void TextWindowChanged() override;
  void InputChar(char& Key);
  void SetCursor(int Position);
  void CheckCursor();
  void ArrowKey(uint16_t Key, TShiftState Shift);
  void HomeEndKey(uint16_t Key, TShiftState Shift);
  void DeleteSelection(bool Backspace);
  std::string ClearRange(const std::string& Text, int Start, int Stop) const;
  int NextInputPosition(int From) const;
  int PrevInputPosition(int From) const;
  bool FindLiteralAhead(char C, int From, int& Found) const;
  int PasteText(std::string& Text, const std::string& Pasted, int Offset) const;
  // The remembered text for Esc after a paste or clear.
  void RememberForRestore();

  std::string FEditMask;
  bool FIgnoreMaskBlank = false;
  int FMaskPositions = 0;
  bool FKeepLiterals = true;
  char FBlank = '_';
  bool FReEnter = false;
  int FCaretPos = 0;
  bool FSettingText = false;
};
