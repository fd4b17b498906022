// The popup-form editor: a drop-down editor whose popup is a small sizeable form that hosts, for
// as long as it is open, a control of the application (re-parented into the form and given back
// exactly as it was). The popup runs a message loop of its own, may nest (a hosted control may
// hold a popup editor itself), and reports through events before and after showing, when asked to
// close and when closing.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "inspector/vm_blob.h"
#include "platform/forms.h"

class TvmInplacePopupEdit;

enum TvmPopupEditFormBorderStyle { pbsDialog, pbsDialogHelp, pbsSimple, pbsSysPanel };

using TvmPopupEditCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TvmPopupEditCloseUpEvent = std::function<void(TObject* Sender, std::string& Text, bool& Accept)>;
using TvmPopupEditPopupEvent = std::function<void(TObject* Sender, const std::string& EditText)>;

extern const char* const SvmCircularReference;  // "Circular referencing is not allowed"

// The private message by which the editor opens its popup after the message that asked for it.
constexpr uint32_t WM_VM_SHOWPOPUPFORM = 0x8067;

class TvmPopupEditForm : public TForm {
  VM_CLASS(TvmPopupEditForm, TForm)
public:
  explicit TvmPopupEditForm(TComponent* AOwner);
  ~TvmPopupEditForm() override;

  TvmInplacePopupEdit* Editor() const { return FEditor; }
  void SetEditor(TvmInplacePopupEdit* Value);
  bool ClientEdge() const { return FClientEdge; }
  void SetClientEdge(bool Value) { FClientEdge = Value; }
  bool FlatBorder() const { return FFlatBorder; }
  void SetFlatBorder(bool Value) { FFlatBorder = Value; }
  TvmPopupEditFormBorderStyle PopupBorderStyle() const { return FPopupBorderStyle; }
  void SetPopupBorderStyle(TvmPopupEditFormBorderStyle Value);
  bool Sizeable() const { return FSizeable; }
  void SetSizeable(bool Value) { FSizeable = Value; }
  int MinWidth = 0, MinHeight = 0;
  TvmPopupCorner GripCorner = 3;

  // Runs the popup's own loop until it closes.
  void ShowPopup();
  // Closes the popup (and every popup opened after it), accepting the editor's text or not.
  void CloseUp(bool Accept);
  // Answers a sizing hit test: the codes of the grip corner's edges and corner, nowhere for the
  // others (and for all when the form is not sizeable).
  int SizingHitTest(int Code) const;

  // The popups open now, in opening order (nested ones after their parents).
  static const std::vector<TvmPopupEditForm*>& OpenPopups();

protected:
  void WndProc(TMessage& Message) override;
  void DoClose(TCloseAction& Action) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Deactivated();

  TvmInplacePopupEdit* FEditor = nullptr;
  bool FClientEdge = false;
  bool FFlatBorder = true;
  TvmPopupEditFormBorderStyle FPopupBorderStyle = pbsDialog;
  bool FSizeable = true;
  bool FClosing = false;
  std::unique_ptr<TOutsideClickWatch> FWatch;
};

class TvmInplacePopupEdit : public TvmInplaceDropDownEdit {
  VM_CLASS(TvmInplacePopupEdit, TvmInplaceDropDownEdit)
public:
  explicit TvmInplacePopupEdit(TComponent* AOwner);
  ~TvmInplacePopupEdit() override;

  bool HideEditCursor() const { return FHideEditCursor; }
  void SetHideEditCursor(bool Value);
  bool PopupAutoSize = true;
  TControl* PopupControl() const { return FPopupControl; }
  void SetPopupControl(TControl* Value);
  TvmPopupEditFormBorderStyle PopupFormBorderStyle = pbsDialog;
  std::string PopupFormCaption;
  bool PopupFormClientEdge = false;
  bool PopupFormFlatBorder = true;
  bool PopupFormSizeable = true;
  int PopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(int Value) { FPopupHeight = std::max(Value, FPopupMinHeight); }
  int PopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(int Value) { FPopupWidth = std::max(Value, FPopupMinWidth); }
  int PopupMinHeight() const { return FPopupMinHeight; }
  void SetPopupMinHeight(int Value);
  int PopupMinWidth() const { return FPopupMinWidth; }
  void SetPopupMinWidth(int Value);
  TvmPopupEditForm* PopupForm() const { return FPopupForm; }
  bool Showing() const { return FShowing; }

  TvmPopupEditCloseQueryEvent OnCloseQuery;
  TvmPopupEditCloseUpEvent OnCloseUp;
  TNotifyEvent OnInitPopup;
  TvmPopupEditPopupEvent OnPopup;

  virtual void PositionPopupForm(TvmPopupEditForm* Form);
  virtual bool DoCloseQuery(TObject* Sender);
  virtual void DoCloseUp(TObject* Sender, std::string& Text, bool& Accept);
  virtual void ShowPopupForm();
  virtual void DoInitPopup();
  virtual void DoPopup();
  virtual void RestorePopupControl();
  virtual void InitPopupForm(TvmPopupEditForm* Form);
  // The form is active, or the active open popup was opened from a control hosted (directly or
  // through further popups) in it.
  bool IsPopupFormActive(TvmPopupEditForm* Form) const;

  void DropDown() override;
  void CloseUp(bool Accept) override;
  void HideEdit() override;
  bool CanEditText() const override { return !FHideEditCursor; }
  bool CanRestoreText() const override { return true; }
  bool IsFocused() const override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DoButtonDown(bool NoCapture, int ButtonIndex) override;

protected:
  void WndProc(TMessage& Message) override;

  bool FHideEditCursor = false;
  TControl* FPopupControl = nullptr;
  int FPopupHeight = 200, FPopupWidth = 250, FPopupMinHeight = 100, FPopupMinWidth = 100;
  TvmPopupEditForm* FPopupForm = nullptr;
  bool FShowing = false;
  // The hosted control and what it was before it moved into the popup.
  TControl* FHosted = nullptr;
  TAlign FHostedAlign = alNone;
  TFormBorderStyle FHostedBorderStyle = bsNone;
  TRect FHostedBounds;
  TWinControl* FHostedParent = nullptr;
  bool FHostedVisible = false;
};
