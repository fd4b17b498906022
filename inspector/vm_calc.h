// The calculator control (its display is a text reached through two virtual operations) and the
// calc editor whose popup calculator writes into the edited cell; the spin editor with its
// stacked arrow buttons; the check editor.
#pragma once

#include <array>
#include <string>

#include "inspector/vm_dropdown.h"

// ---------------------------------------------------------------------------------------------
// Calculator.

enum TvmButtonStyle { bsStandard, bsFlat, bsExtraFlat };

constexpr int cbBack = 0, cbCE = 1, cbC = 2, cbMC = 3, cbMR = 4, cbMS = 5, cbMP = 6, cbDigit0 = 7, cbSign = 17,
              cbDecimal = 18, cbDiv = 19, cbMul = 20, cbSub = 21, cbAdd = 22, cbSqrt = 23, cbPercent = 24, cbRev = 25,
              cbEqual = 26, cbNone = 27;

extern const char* const SvmCalcError;  // "Error"

struct TvmCalcButton {
  std::string Caption;
  TColor Color = clBlack;
  TRect Bounds;
  bool Pressed = false;
  bool Grayed = false;
};

using TvmCalcButtonEvent = std::function<void(TObject* Sender, int& Button)>;

class TCustomvmCalculator : public TvmInplacePopupControl {
  VM_CLASS(TCustomvmCalculator, TvmInplacePopupControl)
public:
  explicit TCustomvmCalculator(TComponent* AOwner);

  virtual std::string GetCalcDisplay() { return FDisplay; }
  virtual void SetCalcDisplay(const std::string& Text) { FDisplay = Text; }

  void DoCalcButton(int Button);
  int ButtonAtPoint(int X, int Y) const;
  void LayoutButtons();
  void ResetCalculator();
  void FitToSize();
  void SignalError();
  void BeginEntry();
  void ClearCalculator();
  void UpdateMemoryButtons();
  long double GetCalcValue();
  void SetCalcValue(long double X);
  void CopyDisplay();
  void PasteDisplay();

  int EntryState() const { return FEntryState; }
  int PendingOperator() const { return FPendingOperator; }
  long double Memory() const { return FMemory; }
  int Precision() const { return FPrecision; }
  void SetPrecision(int Value) { FPrecision = Value; }
  bool BeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool Value) { FBeepOnError = Value; }
  TvmButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TvmButtonStyle Value) {
    FButtonStyle = Value;
    Invalidate();
  }
  bool ShowButtonFrame() const { return FShowButtonFrame; }
  void SetShowButtonFrame(bool Value) {
    FShowButtonFrame = Value;
    Invalidate();
  }
  bool ShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool Value) {
    FShowFocusRect = Value;
    Invalidate();
  }
  bool ScaleButtonFont() const { return FScaleButtonFont; }
  const TvmCalcButton& Button(int Index) const { return FButtons[Index]; }
  int ButtonHeight() const { return FButtonHeight; }

  TvmCalcButtonEvent OnCalcButton;
  TNotifyEvent OnDisplayChanged;
  TNotifyEvent OnCalcError;
  TNotifyEvent OnCalcResult;

protected:
  void PaintClient() override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(uint16_t& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Resize() override;
  bool WantsKey(uint16_t) const override { return true; }
  void PressByKey(int Button);
  void PerformButton(int Button);

  std::array<TvmCalcButton, 27> FButtons;
  std::string FDisplay = "0";
  int FEntryState = 0;
  int FPendingOperator = cbEqual;
  long double FOperand = 0;
  long double FMemory = 0;
  int FPrecision = 13;
  bool FBeepOnError = true;
  TvmButtonStyle FButtonStyle = bsStandard;
  bool FShowButtonFrame = false;
  bool FShowFocusRect = true;
  bool FScaleButtonFont = true;
  int FMouseButton = cbNone;
  int FKeyButton = cbNone;
  int FHotButton = cbNone;
  bool FTracking = false;
  int FButtonHeight = 22, FButtonWidth = 28, FGap = 4, FLargeWidth = 47, FFontSize = 8;
  bool FFitting = false;
};

class TvmInplaceCalcEdit;

class TvmPopupCalculator : public TCustomvmCalculator {
  VM_CLASS(TvmPopupCalculator, TCustomvmCalculator)
public:
  explicit TvmPopupCalculator(TComponent* AOwner);
  TvmInplaceCalcEdit* Edit = nullptr;
  bool QuickClose = false;
  std::string GetCalcDisplay() override;
  void SetCalcDisplay(const std::string& Text) override;
  void ClosePopup() override;

protected:
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
};

class TvmInplaceCalcEdit : public TvmInplaceDropDownEdit {
  VM_CLASS(TvmInplaceCalcEdit, TvmInplaceDropDownEdit)
public:
  explicit TvmInplaceCalcEdit(TComponent* AOwner);
  ~TvmInplaceCalcEdit() override;
  bool BeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool Value) { FBeepOnError = Value; }
  TvmButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TvmButtonStyle Value) { FButtonStyle = Value; }
  bool QuickClose() const { return FQuickClose; }
  void SetQuickClose(bool Value) { FQuickClose = Value; }
  int Precision() const { return FPrecision; }
  void SetPrecision(int Value) { FPrecision = Value; }
  TvmPopupCalculator* Calculator() const { return FCalculator; }

  void DropDown() override;
  void CloseUp(bool Accept) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  bool FBeepOnError = true;
  TvmButtonStyle FButtonStyle = bsStandard;
  bool FQuickClose = false;
  int FPrecision = 13;
  bool FShowButtonFrame = false;
  TvmPopupCalculator* FCalculator = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Spin editor.

enum TvmValueType { vtInt, vtFloat };

class TvmSpinEditViewData : public TvmTextEditViewData {
public:
  bool ShowButtons = true;
  int ActiveButton = 0;
  int PressedButton = 0;
};

constexpr int svmValueType = 3, svmMinValue = 5, svmMaxValue = 8;

class TvmInplaceSpinEdit : public TvmInplaceMaskEdit {
  VM_CLASS(TvmInplaceSpinEdit, TvmInplaceMaskEdit)
public:
  explicit TvmInplaceSpinEdit(TComponent* AOwner);

  bool EditorEnabled() const { return FEditorEnabled; }
  void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
  double Increment() const { return FIncrement; }
  void SetIncrement(double Value) { FIncrement = Value; }
  double MinValue() const { return FMinValue; }
  double MaxValue() const { return FMaxValue; }
  bool UseCtrlIncrement() const { return FUseCtrlIncrement; }
  void SetUseCtrlIncrement(bool Value) { FUseCtrlIncrement = Value; }
  TvmValueType ValueType() const { return FValueType; }
  int SpinActive() const { return FSpinActive; }
  int SpinPressed() const { return FSpinPressed; }

  virtual double GetIncrement() { return FIncrement; }
  virtual double GetValue();
  virtual bool IsValidSpinKey(char Key);
  virtual void SetMaxValue(double Value);
  virtual void SetMinValue(double Value);
  virtual void SetMinMax(double AMin, double AMax);
  virtual void SetValueType(TvmValueType Value);
  virtual void SetValue(double Value);
  virtual double GetDefaultMaxValue() const { return 0; }
  virtual double GetDefaultMinValue() const { return 0; }
  virtual TvmValueType GetDefaultValueType() const { return vtInt; }
  void DoSpin(int Button);
  void ReleaseSpinButton();
  // Auto-repeat tick of a held button (the timer calls it).
  void SpinTimer();
  class TTimer* RepeatTimer() const {
    return FTimer;
  }

  void ReadBindingProperties() override;
  bool BlocksClosing() const override { return false; }
  bool HandlesMouseWheel() const override { return true; }
  void RestoreDefaults() override;
  void ValidateEdit() override;

  static TvmEditViewData* NewViewData() { return new TvmSpinEditViewData(); }
  static int GetSpinButtonWidth(TvmEditViewData* VD);
  static void CalcViewInfo(TvmInplaceEditClass Self, TvmEditViewData* VD, bool AutoSize, TvmEditViewInfo& VI);
  static void DrawBorder(TvmInplaceEditClass Self, TCanvas* DC, TvmEditViewInfo& VI, TvmEditViewData* VD);
  // The up (1) or down (2) button under a point of the view, 0 for none.
  static int SpinButtonAt(TvmInplaceEditClass Self, TvmEditViewData* VD, int X, int Y);

protected:
  void FillViewData(TvmEditViewData* VD, bool UseBindingValue) override;
  void SetHot(bool Value) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyUp(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  double CheckValueRange(double Value) const;

  bool FEditorEnabled = true;
  double FIncrement = 1.0;
  double FMinValue = 0, FMaxValue = 0;
  bool FUseCtrlIncrement = false;
  TvmValueType FValueType = vtInt;
  int FSpinActive = 0, FSpinPressed = 0;
  bool FPressedByKey = false;
  class TTimer* FTimer = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Check editor.

enum TvmCheckBoxState { cbsUnchecked, cbsChecked, cbsGrayed };
enum TvmShowNullFieldStyle { nsUnchecked, nsInactive, nsGrayedChecked };

class TvmCheckEditViewData : public TvmEditViewData {
public:
  std::string Caption;
  bool FocusTextOnly = true;
  TBitmap* Glyph = nullptr;
  int GlyphCount = 6;
  TvmShowNullFieldStyle NullStyle = nsGrayedChecked;
  bool Pressed = false;
  TvmCheckBoxState State = cbsUnchecked;
};

class TvmCheckEditStyleController : public TvmEditStyleController {
  VM_CLASS(TvmCheckEditStyleController, TvmEditStyleController)
public:
  explicit TvmCheckEditStyleController(TComponent* AOwner);
  void RestoreDefaults() override;
};
TvmCheckEditStyleController* DefaultCheckEditStyleController();

class TvmCheckEditStyle : public TvmEditStyle {
  VM_CLASS(TvmCheckEditStyle, TvmEditStyle)
public:
  using TvmEditStyle::TvmEditStyle;
  static TvmEditStyleController* GetStyleController() { return DefaultCheckEditStyleController(); }
};

class TvmInplaceCheckEdit : public TvmInplaceEdit {
  VM_CLASS(TvmInplaceCheckEdit, TvmInplaceEdit)
public:
  explicit TvmInplaceCheckEdit(TComponent* AOwner);
  TvmCheckBoxState State() const { return FState; }
  void SetState(TvmCheckBoxState Value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  TBitmap* Glyph();
  void SetGlyph(TBitmap* Value);
  int GlyphCount() const { return FGlyphCount; }
  void SetGlyphCount(int Value);
  TvmShowNullFieldStyle NullDisplayStyle() const { return FNullDisplayStyle; }
  void SetNullDisplayStyle(TvmShowNullFieldStyle Value) {
    FNullDisplayStyle = Value;
    Invalidate();
  }
  bool BoxPressed() const { return FBoxPressed; }

  virtual void Toggle();
  void SetEditValue(const Variant& Value) override;
  void GetDisplayValue(Variant& Value, bool UseBindingValue) override;
  void GetEditValue(Variant& Value) override;
  TvmEditStyleClass GetEditStyleClass() const override { return TvmCheckEditStyle::StaticClass(); }
  void AfterMouseActivate() override { Toggle(); }

  static TvmEditViewData* NewViewData() { return new TvmCheckEditViewData(); }
  static bool DrawContent(TvmInplaceEditClass Self, TCanvas* DC, const TRect& R, TvmEditViewData* VD,
                          bool IsLiveWindow);
  static int CalcContentHeight(TvmInplaceEditClass Self, TvmEditViewData* VD);
  // The box and caption areas of a view.
  static void CalcCheckLayout(TvmEditViewData* VD, const TRect& R, TRect& Box, TRect& CaptionRect);
  static TSize GetCheckGlyphSize(TvmEditViewData* VD);

  TNotifyEvent OnClick;

protected:
  void FillViewData(TvmEditViewData* VD, bool UseBindingValue) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyUp(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Click() override;
  void UpdatePressed(int X, int Y);
  void StopTracking();

  TvmCheckBoxState FState = cbsUnchecked;
  bool FAllowGrayed = false;
  std::unique_ptr<TBitmap> FGlyph;
  int FGlyphCount = 6;
  TvmShowNullFieldStyle FNullDisplayStyle = nsGrayedChecked;
  bool FBoxPressed = false;
  bool FTracking = false;
  bool FSettingValue = false;
};
