// The time editor (a spin editor over a time of day whose step follows the part under the caret)
// and the currency editor (an amount with a fixed number of decimals, shown through a display
// format when the cell is not being edited).
#pragma once

#include <string>

#include "inspector/vm_calc.h"

// ---------------------------------------------------------------------------------------------
// Time editor.

enum TvmTimeEditFormat { tfHourMinSec, tfHourMin, tfHour };

// The display format and edit mask of each time format.
const char* TimeEditDisplayFormat(TvmTimeEditFormat Format);
const char* TimeEditMask(TvmTimeEditFormat Format);

class TvmInplaceTimeEdit : public TvmInplaceSpinEdit {
  VM_CLASS(TvmInplaceTimeEdit, TvmInplaceSpinEdit)
public:
  explicit TvmInplaceTimeEdit(TComponent* AOwner);

  TvmTimeEditFormat TimeEditFormat() const { return FTimeEditFormat; }
  void SetTimeEditFormat(TvmTimeEditFormat Value);
  // The time of day (a fraction of a day) and the whole days of the last value set from outside.
  double Time() const { return FTime; }
  void SetTime(double Value);
  double KeptDate() const { return FKeptDate; }
  // The upper-case letter (H, N or S) of the part under the caret, or another character.
  char GetCaretSection() const;

  double GetIncrement() override;
  double GetValue() override;
  bool IsValidSpinKey(char Key) override;
  void SetValue(double Value) override;
  void SetEditValue(const Variant& Value) override;
  void GetEditValue(Variant& Value) override;
  void SelectAll() override;

private:
  TvmTimeEditFormat FTimeEditFormat = tfHourMinSec;
  double FTime = 0;
  double FKeptDate = 0;
};

// ---------------------------------------------------------------------------------------------
// Currency editor.

constexpr int svmDisplayFormat = 9;

// The display format built from the locale's currency settings: ",0.00 $;-,0.00 $" and alike.
std::string DefaultCurrencyFormat();
// Thousand separators removed, the rest read as a number (the locale's decimal separator);
// 0 and magnitudes inside the range of doubles are accepted. False, with 0, for anything else.
bool TextToCurrency(const std::string& Text, double& Value);

class TvmInplaceCurrencyEdit : public TvmInplaceMaskEdit {
  VM_CLASS(TvmInplaceCurrencyEdit, TvmInplaceMaskEdit)
public:
  explicit TvmInplaceCurrencyEdit(TComponent* AOwner);
  ~TvmInplaceCurrencyEdit() override;

  int DecimalPlaces() const { return FDecimalPlaces; }
  void SetDecimalPlaces(int Value) { FDecimalPlaces = Value < 0 ? 0 : Value; }
  const std::string& DisplayFormat() const { return FDisplayFormat; }
  // Explicit setting: marks the display format as stored.
  void SetDisplayFormatExplicit(const std::string& Value);
  double MinValue() const { return FMinValue; }
  double MaxValue() const { return FMaxValue; }
  bool UseThousandSeparator() const { return FUseThousandSeparator; }
  void SetUseThousandSeparator(bool Value) { FUseThousandSeparator = Value; }
  bool Nullable() const { return FNullable; }
  void SetNullable(bool Value);
  const std::string& NullString() const { return FNullString; }
  void SetNullString(const std::string& Value);
  double GetCurrencyValue();
  void SetCurrencyValue(double Value);
  // Explicit limits: marks both as stored.
  void SetLimits(double AMin, double AMax);
  // The system's settings changed: an implicit display format follows them.
  void FormatSettingsChanged();

  virtual bool IsValidCurrencyKey(char Key);
  virtual void SetDisplayFormat(const std::string& Value);
  virtual void SetMaxValue(double Value);
  virtual void SetMinValue(double Value);
  virtual void SetMinMax(double AMin, double AMax);
  virtual std::string GetDefaultDisplayFormat() const { return DefaultCurrencyFormat(); }
  virtual double GetDefaultMaxValue() const { return 0; }
  virtual double GetDefaultMinValue() const { return 0; }

  void ReadBindingProperties() override;
  void GetDisplayValue(Variant& Value, bool UseBindingValue) override;
  void GetEditValue(Variant& Value) override;
  bool UsesInactiveView() const override;
  void RestoreDefaults() override;
  void ValidateEdit() override;
  void DoSetEditMask(const std::string& Value) override {}
  bool NeedsOleCallback() const override { return true; }
  void PasteFromClipboard() override;

protected:
  void KeyPress(char& Key) override;
  void ReapplyValue();

  int FDecimalPlaces = 2;
  std::string FDisplayFormat;
  double FMinValue = 0, FMaxValue = 0;
  bool FUseThousandSeparator = false;
  bool FNullable = false;
  std::string FNullString;

private:
  int FLocaleHandler = 0;
};
