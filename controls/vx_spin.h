// Numeric entry: a two-half spin button that repeats while held, and an edit for integer,
// floating or hexadecimal values with a step and an optional range.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/controls.h"
#include "platform/stdctrls.h"

class TBitmap;
class TTimer;

enum TrSpinButtonStyle { sbsDefault, sbsClassic };
enum class TSpinButtonState { None, Top, Bottom };

// The system's vertical scroll bar width, at most 15.
int32_t DefaultSpinButtonWidth();

class TVxSpinButton : public TGraphicControl {
  VM_CLASS(TVxSpinButton, TGraphicControl)
public:
  explicit TVxSpinButton(TComponent* AOwner);
  ~TVxSpinButton() override;

  TrSpinButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TrSpinButtonStyle Value);
  TBitmap* UpGlyph() const { return FUpGlyph.get(); }
  void SetUpGlyph(TBitmap* Value);
  TBitmap* DownGlyph() const { return FDownGlyph.get(); }
  void SetDownGlyph(TBitmap* Value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  TSpinButtonState Pressed() const { return FDown; }
  TTimer* RepeatTimer() const { return FRepeatTimer; }
  // The half under the client point.
  TSpinButtonState HalfAt(int X, int Y) const;

  TNotifyEvent OnTopClick;
  TNotifyEvent OnBottomClick;

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void FireHalf(TSpinButtonState Half);
  void TimerExpired(TObject* Sender);
  void DrawArrow(TCanvas* C, int CX, int CY, bool Up, TBitmap* Glyph);
  TrSpinButtonStyle FButtonStyle = sbsDefault;
  std::unique_ptr<TBitmap> FUpGlyph, FDownGlyph;
  TWinControl* FFocusControl = nullptr;
  TSpinButtonState FDown = TSpinButtonState::None;
  TSpinButtonState FLastDown = TSpinButtonState::None;
  bool FDragging = false;
  TTimer* FRepeatTimer = nullptr;
};

enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;

// The up-down arrows: two stacked arrow buttons whose clicks report next (upper) or previous
// (lower); always DefaultSpinButtonWidth wide.
class TVxUpDown : public TVxSpinButton {
  VM_CLASS(TVxUpDown, TVxSpinButton)
public:
  explicit TVxUpDown(TComponent* AOwner);
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  TUDClickEvent OnClick;
};

enum TValueType { vtInteger, vtFloat, vtHex };
enum TSpinButtonKind { bkStandard, bkDiagonal, bkClassic };

class TVxCustomSpinEdit : public TCustomEdit {
  VM_CLASS(TVxCustomSpinEdit, TCustomEdit)
public:
  explicit TVxCustomSpinEdit(TComponent* AOwner);
  ~TVxCustomSpinEdit() override;

  long double Value() { return GetValue(); }
  bool ValueStored() { return GetValue() != 0; }
  void SetValueProp(long double V) { SetValue(V); }
  virtual void SetValue(long double NewValue) = 0;
  virtual long double GetValue() = 0;
  TValueType ValueType() const { return FValueType; }
  virtual void SetValueType(TValueType NewType);
  virtual void ReformatText();
  virtual std::string DefaultDisplayFormat() const { return ",0.##"; }
  virtual bool AcceptsChar(char Key);
  virtual void StepUp();
  virtual void StepDown();

  uint8_t Decimal() const { return FDecimal; }
  void SetDecimal(uint8_t Value);
  const std::string& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const std::string& Value);
  long double Increment() const { return FIncrement; }
  void SetIncrement(long double Value) { FIncrement = Value; }
  long double MinValue() const { return FMinValue; }
  void SetMinValue(long double Value);
  long double MaxValue() const { return FMaxValue; }
  void SetMaxValue(long double Value);
  bool CheckMinValue() const { return FCheckMinValue; }
  void SetCheckMinValue(bool Value);
  bool CheckMaxValue() const { return FCheckMaxValue; }
  void SetCheckMaxValue(bool Value);
  bool CheckOnExit() const { return FCheckOnExit; }
  void SetCheckOnExit(bool Value) { FCheckOnExit = Value; }
  bool EditorEnabled() const { return FEditorEnabled; }
  void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
  bool ArrowKeys() const { return FArrowKeys; }
  void SetArrowKeys(bool Value);
  TSpinButtonKind ButtonKind() const { return FButtonKind; }
  void SetButtonKind(TSpinButtonKind Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { FAlignment = Value; }
  // The spin button, or the up-down for bkStandard.
  TVxSpinButton* Button() const { return FButton; }

  // Pastes the clipboard's text over the selection; text that is no number brings the old value back.
  void PasteFromClipboard();
  void CutToClipboard();

  long double ClampValue(long double X) const;
  long double CheckValueRange(bool Raise, long double X) const;

  TNotifyEvent OnTopClick;
  TNotifyEvent OnBottomClick;

  // A check flag is stored only when it differs from whether a range is set.
  bool CheckMinValueStored() const { return FCheckMinValue != RangeSet(); }
  bool CheckMaxValueStored() const { return FCheckMaxValue != RangeSet(); }
  bool DisplayFormatStored() const { return FDisplayFormat != DefaultDisplayFormat(); }

  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;

protected:
  void Change() override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void DoEnter() override;
  void DoExit() override;
  void EnabledChanged() override;
  void FontChanged() override;
  void PlaceButton();
  void RebuildButton();
  // The font's text height, four border widths and one pixel.
  int32_t MinHeight() const;

  TValueType FValueType = vtInteger;
  uint8_t FDecimal = 2;
  std::string FDisplayFormat;
  long double FIncrement = 1;
  long double FMinValue = 0, FMaxValue = 0;
  bool FFocused = false;

private:
  void Step(long double Delta, const TNotifyEvent& After);
  bool RangeSet() const { return FMinValue != 0 || FMaxValue != 0; }
  bool FCheckMinValue = false, FCheckMaxValue = false;
  bool FMinAuto = true, FMaxAuto = true;
  bool FCheckOnExit = false;
  bool FEditorEnabled = true;
  bool FArrowKeys = true;
  bool FChanging = false;
  TSpinButtonKind FButtonKind = bkDiagonal;
  TAlignment FAlignment = taLeftJustify;
  TVxSpinButton* FButton = nullptr;
};

class TVxSpinEdit : public TVxCustomSpinEdit {
  VM_CLASS(TVxSpinEdit, TVxCustomSpinEdit)
public:
  explicit TVxSpinEdit(TComponent* AOwner);
  void SetValue(long double NewValue) override;
  long double GetValue() override;
  // Blanks trimmed, thousands separators removed, '.' and ',' taken as the decimal separator.
  static std::string NormaliseNumberText(const std::string& Text);
};
