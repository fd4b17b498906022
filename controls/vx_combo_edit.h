// A one-line edit with a button at its right edge; the base of the file-name and folder edits.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/actnlist.h"
#include "platform/bitmap.h"
#include "platform/controls.h"
#include "platform/exceptions.h"
#include "platform/stdctrls.h"

class TBitmap;
class TEnumInfo;

class EComboEditError : public Exception {
public:
  using Exception::Exception;
};

enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };
extern const TEnumInfo GlyphKindInfo;

// The ellipsis glyph of a button ButtonWidth wide: max(1, ButtonWidth - 6) by 4 pixels, white,
// with three black 2 x 2 dots at y = 1.
std::unique_ptr<TBitmap> CreateEllipsisGlyph(int ButtonWidth);
// The drop-down arrow glyph.
std::unique_ptr<TBitmap> CreateDropDownGlyph();
// Width of the button of a drop-down glyph (a vertical scroll bar's width).
constexpr int kDropDownButtonWidth = 17;

// The button inside the edit: a flat face with a glyph, sunken while held down.
class TEditButton : public TCustomControl {
  VM_CLASS(TEditButton, TCustomControl)
public:
  explicit TEditButton(TComponent* AOwner);
  ~TEditButton() override;
  // Glyph images side by side: up, disabled, down (only the first ones that exist are used).
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);
  bool Down() const { return FDown; }
  // Runs before the click on a left press (the edit takes the focus there).
  TMouseEvent OnPress;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void EnabledChanged() override { Invalidate(); }

private:
  std::unique_ptr<TBitmap> FGlyph;
  int FNumGlyphs = 1;
  bool FDown = false;
};

// Where a dropped popup lines up with the edit: right edges, or left edges.
enum TPopupAlign { epaRight, epaLeft };

class TCustomComboEdit : public TCustomEdit {
  VM_CLASS(TCustomComboEdit, TCustomEdit)
public:
  explicit TCustomComboEdit(TComponent* AOwner);
  ~TCustomComboEdit() override;

  TEditButton* Button() const { return FButton; }
  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int Value);
  const std::string& ButtonHint() const { return FButton->Hint(); }
  void SetButtonHint(const std::string& Value) { FButton->SetHint(Value); }
  TBitmap* Glyph() const { return FButton->Glyph(); }
  void SetGlyph(TBitmap* Value);
  int NumGlyphs() const { return FButton->NumGlyphs(); }
  void SetNumGlyphs(int Value);
  TGlyphKind GlyphKind() const { return FGlyphKind; }
  void SetGlyphKind(TGlyphKind Value);
  bool DirectInput() const { return FDirectInput; }
  void SetDirectInput(bool Value);
  bool ReadOnly() const { return GetReadOnly(); }
  void SetReadOnly(bool Value);
  // Keeps the button working on a read-only edit.
  bool AlwaysEnableButton() const { return FAlwaysEnable; }
  void SetAlwaysEnableButton(bool Value) { FAlwaysEnable = Value; }
  TShortCut ClickKey() const { return FClickKey; }
  void SetClickKey(TShortCut Value) { FClickKey = Value; }
  // ButtonWidth is streamed only when it differs from the width the glyph kind implies.
  bool IsButtonWidthStored() const;

  // What a press of the button does (the mouse, or ClickKey): nothing on a read-only edit
  // unless AlwaysEnableButton.
  void PressButton();

  // The popup a descendant creates (a control of the edit's parent); none in the base.
  TControl* Popup() const { return FPopup; }
  bool PopupVisible() const { return FPopupVisible; }
  TPopupAlign PopupAlign() const { return FPopupAlign; }
  void SetPopupAlign(TPopupAlign Value) { FPopupAlign = Value; }

  TNotifyEvent OnButtonClick;

  void SetEnabled(bool Value) override;
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  // The edit is never lower than its font's text height + 4 border heights + 1.
  int MinHeight() const;
  static constexpr int kSystemBorderHeight = 1;

protected:
  virtual std::unique_ptr<TBitmap> DefaultButtonGlyph() { return nullptr; }
  virtual int DefaultNumGlyphs() const { return 1; }
  // Shows the popup under (or above) the edit with the text as its value, for selection only.
  virtual void DropPopup();
  // Hides a shown popup; with Accept its value becomes the text.
  virtual void CollapsePopup(bool Accept);
  virtual void ConcealPopup() {
    if (FPopup) FPopup->Hide();
  }
  virtual void FireChange() { TCustomEdit::Change(); }
  virtual bool IsValueAcceptable(const std::string& /*Value*/) { return true; }
  virtual void ApplyPopupValue(const std::string& Value);
  // The popup's value: its text in the base.
  virtual void ForwardToPopup(const std::string& Value) {
    if (FPopup) FPopup->SetText(Value);
  }
  virtual std::string ReadPopupValue() { return FPopup ? FPopup->Text() : std::string(); }
  virtual void PopupChange() {}
  void SetPopup(TControl* Value) { FPopup = Value; }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DoEnter() override;
  void DoExit() override;
  virtual bool GetReadOnly() const { return FReadOnly; }
  virtual void ButtonAction();
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void FontChanged() override;
  void Change() override {
    if (FPopupVisible)
      PopupChange();
    else
      FireChange();
  }
  void UpdateEditReadOnly() { TCustomEdit::SetReadOnly(FReadOnly || !FDirectInput); }
  void LayoutButton();
  void RebuildGlyph();

private:
  TEditButton* FButton = nullptr;
  int FButtonWidth = 21;
  TGlyphKind FGlyphKind = gkCustom;
  bool FDirectInput = true;
  bool FReadOnly = false;
  bool FAlwaysEnable = false;
  TShortCut FClickKey;
  bool FSettingGlyph = false;
  TControl* FPopup = nullptr;
  bool FPopupVisible = false;
  TPopupAlign FPopupAlign = epaRight;
};
