// The most-recently-used list editor: the pick editor as a history of confirmed texts, with an
// optional ellipsis button for an action of the application.
#pragma once

#include "inspector/vm_dropdown.h"

class TvmMRUEditViewData : public TvmDropDownEditViewData {
public:
  bool ShowEllipsis = true;
};

class TvmInplaceMRUEdit : public TvmInplacePickEdit {
  VM_CLASS(TvmInplaceMRUEdit, TvmInplacePickEdit)
public:
  explicit TvmInplaceMRUEdit(TComponent* AOwner);
  int MaxItemCount() const { return FMaxItemCount; }
  void SetMaxItemCount(int Value);
  bool ShowEllipsis() const { return FShowEllipsis; }
  void SetShowEllipsis(bool Value);
  TNotifyEvent OnButtonClick;

  virtual void DoMRUButtonClick();
  virtual void AddItem(const std::string& Text);
  void TrimItems();

  void ValidateEdit() override;
  void CalcButtons(TvmDropDownEditViewData* VD) override;
  void DoButtonDown(bool NoCapture, int ButtonIndex) override;
  void DoButtonClick(int ButtonIndex) override;

  static TvmEditViewData* NewViewData() { return new TvmMRUEditViewData(); }

protected:
  void FillViewData(TvmEditViewData* VD, bool UseBindingValue) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  int FMaxItemCount = 7;
  bool FShowEllipsis = true;
};
