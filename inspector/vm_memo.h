// The multi-line memo editor with its line list, and the hyperlink editor that opens its text.
#pragma once

#include <memory>
#include <string>

#include "inspector/vm_textedit.h"
#include "platform/actnlist.h"
#include "platform/stdctrls.h"

class TvmInplaceMemoEdit;

// The memo's lines, read from and written to its text window.
class TvmMemoStrings : public TStrings {
public:
  explicit TvmMemoStrings(TvmInplaceMemoEdit* AEdit) : FEdit(AEdit) {}
  void Clear() override;
  void Delete(int Index) override;
  void Insert(int Index, const std::string& S) override;
  std::string Text() const override;
  void SetText(std::string_view Value) override;

protected:
  std::string Get(int Index) const override;
  int GetCount() const override;
  void Put(int Index, const std::string& S) override;

private:
  std::vector<std::string> Split() const;
  void Join(const std::vector<std::string>& Lines, bool TrailingBreak);
  TvmInplaceMemoEdit* FEdit;
};

extern const char* const SvmMemoTooLarge;  // "Text exceeds memo capacity"

class TvmInplaceMemoEdit : public TvmInplaceTextEdit {
  VM_CLASS(TvmInplaceMemoEdit, TvmInplaceTextEdit)
public:
  explicit TvmInplaceMemoEdit(TComponent* AOwner);
  TStrings* Lines() const { return FLines.get(); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  bool WantTabsProp() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  bool HideScrollBars() const { return FHideScrollBars; }
  void SetHideScrollBars(bool Value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);

  bool UsesInactiveView() const override { return false; }
  bool WantTabs() const override { return FWantTabs; }
  void SelectAll() override;
  void Loaded() override;

protected:
  void FillViewData(TvmEditViewData* VD, bool UseBindingValue) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;

  std::unique_ptr<TvmMemoStrings> FLines;
  bool FWordWrap = true;
  bool FWantReturns = true;
  bool FWantTabs = false;
  bool FHideScrollBars = true;
  TScrollStyle FScrollBars = ssNone;
};

class TvmHyperLinkEditViewData : public TvmTextEditViewData {
public:
  bool HandCursor = false;
};

// The hand cursor of links.
constexpr TCursor crVmHandPoint = -1140;

class TvmInplaceHyperLinkEdit : public TvmInplaceTextEdit {
  VM_CLASS(TvmInplaceHyperLinkEdit, TvmInplaceTextEdit)
public:
  explicit TvmInplaceHyperLinkEdit(TComponent* AOwner);
  TColor LinkTextColor() const { return FLinkTextColor; }
  void SetLinkTextColor(TColor Value);
  TFont* LinkTextFont();
  TShortCut StartKey() const { return FStartKey; }
  void SetStartKey(TShortCut Value) { FStartKey = Value; }
  bool SingleClick() const { return FSingleClick; }
  void SetSingleClick(bool Value) { FSingleClick = Value; }
  TNotifyEvent StartHook;

  virtual void StartLink();
  void AfterMouseActivate() override;
  void SelectAll() override;

  static TvmEditViewData* NewViewData() { return new TvmHyperLinkEditViewData(); }
  static TCursor GetViewCursor(TvmInplaceEditClass Self, int X, int Y, TvmEditViewData* VD);

protected:
  void FillViewData(TvmEditViewData* VD, bool UseBindingValue) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void FontChanged() override;
  void ApplyLinkFont();
  TFont* TextWindowFont() override { return LinkTextFont(); }

  TColor FLinkTextColor = clBlue;
  TShortCut FStartKey;
  bool FSingleClick = false;
  std::unique_ptr<TFont> FLinkTextFont;
};
