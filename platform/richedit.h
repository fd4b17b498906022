// The text-typing control of the editors: plain text in one line (or several), with selection,
// undo and redo, the clipboard commands, drag and drop that can be refused, a password look and
// a text origin that can be placed to the pixel, so that the typed text lands exactly where a
// painter would draw the same text.
#pragma once

#include <memory>
#include <string>

#include "platform/controls.h"
#include "platform/stdctrls.h"

class TRichEditControl : public TWinControl {
  VM_CLASS(TRichEditControl, TWinControl)
public:
  // MultiLine: several lines with line breaks (a memo); otherwise one line.
  explicit TRichEditControl(TComponent* AOwner, bool MultiLine = false);
  ~TRichEditControl() override;

  bool MultiLine() const { return FMultiLine; }

  // The text (UTF-8); setting it puts the caret at the end and fires OnChange when it differs.
  std::string GetText() const;
  void SetText(const std::string& Value) override;
  // Characters of the text (code points).
  int TextLength() const;

  // Selection in characters; the caret stands at SelStart + SelLength.
  int SelStart() const;
  int SelLength() const;
  void SetSelection(int Start, int End);
  std::string SelText() const;
  // Replaces the selection as if typed (one undo step).
  void ReplaceSelection(const std::string& Value);
  void SelectAll() { SetSelection(0, TextLength()); }

  // 0: no limit.
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // Not 0: every character shows hidden.
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  // Off: nothing can be dropped into the text, nor dragged within it.
  bool AcceptDrops() const { return FAcceptDrops; }
  void SetAcceptDrops(bool Value);
  // On: the selection shows only while the control has the focus.
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  // Several lines only: which scroll bars show (when needed, or always without HideScrollBars).
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value, bool HideWhenNotNeeded = true);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // Where the first line's text starts in the client area (its left and top pixel), and how far
  // from the right edge it stops.
  void SetTextOrigin(int Left, int Top, int RightMargin = 0);

  bool Modified() const;
  void SetModified(bool Value);

  bool CanUndo() const;
  bool CanRedo() const;
  void Undo();
  void Redo();
  void ClearUndo();
  void CutToClipboard();
  void CopyToClipboard();
  // Inserts the clipboard's text at the selection.
  void PasteFromClipboard();
  void ClearSelection();
  bool CanPaste() const;

  // Fires for every change of the text, typed or set.
  TNotifyEvent OnChange;
  TNotifyEvent OnSelectionChange;

  struct Impl;

protected:
  void* CreateNativeWidget(void* ParentWidget) override;
  void FontChanged() override;
  void ColorChanged() override;
  bool WantsKey(uint16_t Key) const override { return FMultiLine && Key == VK_RETURN; }
  void DoEnter() override;
  void DoExit() override;

private:
  void Apply();
  std::unique_ptr<Impl> FRich;
  bool FMultiLine;
  int FMaxLength = 0;
  bool FReadOnly = false;
  char FPasswordChar = 0;
  TAlignment FAlignment = taLeftJustify;
  bool FAcceptDrops = true;
  bool FWordWrap = true;
  bool FHideSelection = true;
  TScrollStyle FScrollBars = ssNone;
  bool FHideScrollBars = true;
  bool FHasFocus = false;
  int FOriginLeft = 1, FOriginTop = 1, FOriginRight = 1;
};

// Types the characters into a control as the keyboard would (the focused part of its window
// receives them): each goes through the control's key handlers, then into the text.
void SendTextInput(TControl* Control, const std::string& Text);

// The control's window as it shows now, its child windows included, copied into Dest.
class TBitmap;
void GrabControl(TControl* Control, TBitmap* Dest);
// The control's window as it shows now, in device pixels, written to a picture file whose
// extension names the format (".png", ".bmp"). False when there is nothing to grab or the file
// cannot be written.
bool SaveControlImage(TControl* Control, const std::string& FileName);
