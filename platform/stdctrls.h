// Standard controls: label, edit, memo, button, check box, radio button, group box, list box,
// combo box and scroll bar. The windowed ones sit on native widgets that are made when first
// needed; their state lives in the control, so it can be set and read before that.
#pragma once

#include "platform/types.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/forms.h"
#include "platform/strings.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum TScrollBarKind { sbHorizontal, sbVertical };

// A text painted on the parent, without a window of its own.
class TCustomLabel : public TGraphicControl {
  VM_CLASS(TCustomLabel, TGraphicControl)
public:
  explicit TCustomLabel(TComponent* AOwner);

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // Transparent: the parent shows behind the text; otherwise the label fills itself with Color.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // The control that a click on the label, or its accelerator (Alt with the letter after '&'),
  // focuses.
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  // On: '&' marks the accelerator, drawn underlined ("&&" shows one '&'); off: drawn as it is.
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);

protected:
  void Paint() override;
  void TextChanged() override { AdjustBounds(); }
  void FontChanged() override;
  void Click() override;
  bool DialogChar(char Key) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void AdjustBounds();

private:
  bool FShowAccelChar = true;
  bool FAutoSize = true;
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FTransparent = false;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
  VM_CLASS(TLabel, TCustomLabel)
public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// A one-line text entry.
class TCustomEdit : public TWinControl {
  VM_CLASS(TCustomEdit, TWinControl)
public:
  explicit TCustomEdit(TComponent* AOwner);

  // 0: no limit. A shorter limit cuts the text already there.
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // Not 0: every character shows as this one.
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  // Entering the edit selects all its text.
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }

  // Selection in characters (UTF-8 texts count code points).
  int SelStart() const;
  void SetSelStart(int Value);
  int SelLength() const;
  void SetSelLength(int Value);
  std::string SelText() const;
  // Replaces the selection.
  void SetSelText(const std::string& Value);
  void SelectAll();
  void ClearSelection() { SetSelText(""); }
  void Clear() { SetText(""); }

  TNotifyEvent OnChange;

protected:
  void* CreateNativeWidget(void* ParentWidget) override;
  void TextChanged() override;
  void DoEnter() override;
  virtual void Change();

private:
  void UserEdited(const std::string& Value);
  int FMaxLength = 0;
  bool FReadOnly = false;
  char FPasswordChar = 0;
  bool FAutoSelect = true;
  bool FModified = false;
  int FSelStart = 0, FSelLength = 0;
  bool FSyncing = false;
};

class TEdit : public TCustomEdit {
  VM_CLASS(TEdit, TCustomEdit)
public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// The commands of the context menu a native edit (an edit, a memo, a combo box's line) shows, in
// the program's texts: a language switch assigns them, and every menu shown after that takes
// them ('&' marks the hot key; the shortcut column is added to them).
extern std::string SEditUndo;       // "&Undo"
extern std::string SEditRedo;       // "&Redo"
extern std::string SEditCut;        // "Cu&t"
extern std::string SEditCopy;       // "&Copy"
extern std::string SEditCopyLink;   // "Copy &Link Location"
extern std::string SEditPaste;      // "&Paste"
extern std::string SEditDelete;     // "Delete"
extern std::string SEditSelectAll;  // "Select All"
// The step commands of the spin boxes' context menus (in the colour, font and page dialogs).
extern std::string SSpinStepUp;    // "&Step up"
extern std::string SSpinStepDown;  // "Step &down"
// What Qt's own widgets show for one of their English texts in Context (a Qt class name), the
// program's texts applied (tests).
std::string NativeText(const std::string& Context, const std::string& Source);

// The captions of the context menu an edit or memo shows now, separators as "-", without their
// shortcut column (tests and screen readers).
std::vector<std::string> EditContextMenuCaptions(TWinControl* Edit);

// A multi-line text entry; Lines stays bound to the text shown.
class TMemo : public TWinControl {
  VM_CLASS(TMemo, TWinControl)
public:
  explicit TMemo(TComponent* AOwner);
  ~TMemo() override;

  TStrings* Lines() const;
  void SetLines(TStrings* Value) { Lines()->Assign(*Value); }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // The whole text, lines joined by line breaks.
  std::string GetText() const;
  void SetText(const std::string& Value) override;
  void Clear() { Lines()->Clear(); }
  // Puts the caret after the last line and scrolls so that line is visible.
  void ScrollToEnd();
  // The line shown at the top of the memo (0 when it has no window yet).
  int TopLine() const;

  TNotifyEvent OnChange;

protected:
  void* CreateNativeWidget(void* ParentWidget) override;
  bool WantsKey(uint16_t Key) const override { return Key == VK_RETURN; }
  virtual void Change();

private:
  void LinesChanged();
  void UserEdited();
  std::unique_ptr<TStringList> FLines;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
  bool FReadOnly = false;
  bool FSyncing = false;
};

// A push button. With ModalResult set, a click sets the form's ModalResult (closing a modal
// form); Default answers Enter and Cancel answers Escape anywhere on the form.
class TButton : public TWinControl {
  VM_CLASS(TButton, TWinControl)
public:
  explicit TButton(TComponent* AOwner);
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  void Click() override;

protected:
  void* CreateNativeWidget(void* ParentWidget) override;
  void TextChanged() override;
  // Enter typed on the button (it has the focus) clicks it.
  bool DialogKey(uint16_t Key, TShiftState Shift) override;
  bool DialogChar(char Key) override;

private:
  bool FDefault = false;
  bool FCancel = false;
  int FModalResult = 0;
};

// Runs the click of the form's Default button for Enter or its Cancel button for Escape; true
// when a button took the key. Forms call it from their key handling.
bool ClickDialogButton(TWinControl* Form, uint16_t Key);

class TCheckBox : public TWinControl {
  VM_CLASS(TCheckBox, TWinControl)
public:
  explicit TCheckBox(TComponent* AOwner);
  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return FState; }
  // Setting the state from code clicks as the user would (OnClick runs).
  void SetState(TCheckBoxState Value);
  // The user may step through the grayed state too.
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value);

protected:
  void* CreateNativeWidget(void* ParentWidget) override;
  void TextChanged() override;
  bool DialogChar(char Key) override;

private:
  void Sync();
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
};

// Radio buttons with one parent form a group: checking one unchecks the others.
class TRadioButton : public TWinControl {
  VM_CLASS(TRadioButton, TWinControl)
public:
  explicit TRadioButton(TComponent* AOwner);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);

protected:
  void* CreateNativeWidget(void* ParentWidget) override;
  void TextChanged() override;
  // The arrow keys move to the previous or next radio button of the group and check it.
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  bool DialogChar(char Key) override;

private:
  void Sync();
  bool FChecked = false;
};

// A frame with a caption around other controls.
class TGroupBox : public TCustomControl {
  VM_CLASS(TGroupBox, TCustomControl)
public:
  explicit TGroupBox(TComponent* AOwner);
  TRect ClientRect() const override;

protected:
  void Paint() override;
  void TextChanged() override {
    Realign();
    Invalidate();
  }
  // The caption's accelerator focuses the first control inside.
  bool DialogChar(char Key) override;
};

// odComboBoxEdit: the item is drawn in the closed combo box's own field, not in its list.
enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odComboBoxEdit };
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

// A list of lines to pick from, drawn by the control itself (or by OnDrawItem when owner-drawn).
class TListBox : public TCustomControl {
  VM_CLASS(TListBox, TCustomControl)
public:
  explicit TListBox(TComponent* AOwner);
  ~TListBox() override;

  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(*Value); }
  // -1: none. In a multi-select list it is the focused item.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  // Raises EListError "List index out of bounds (%d)" for a bad index.
  bool Selected(int Index) const;
  void SetSelected(int Index, bool Value);
  int SelCount() const;
  bool Sorted() const { return FItems->Sorted(); }
  void SetSorted(bool Value) { FItems->SetSorted(Value); }
  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value);
  int TopIndex() const { return FTopIndex; }
  void SetTopIndex(int Value);
  // The item at a client point, or -1 (Existing) / the count (not Existing) below the last one.
  int ItemAtPos(const TPoint& Pos, bool Existing) const;
  TRect ItemRect(int Index) const;
  void Clear() { FItems->Clear(); }
  // bsSingle (the default): a sunken border round the list; bsNone: none.
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

protected:
  void Paint() override;
  void Resize() override;
  void Scrolled(int Kind, int Position) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  virtual void ItemsChanged();

private:
  int HeightOf(int Index) const;
  int VisibleRows() const;
  int MaxTopIndex() const;
  void MakeVisible(int Index);
  // The vertical scroll bar shows while the rows do not all fit.
  void UpdateScrollBar();
  TFormBorderStyle FBorderStyle = bsSingle;
  std::unique_ptr<TStringList> FItems;
  std::vector<bool> FSelected;
  int FItemIndex = -1;
  bool FMultiSelect = false;
  TListBoxStyle FStyle = lbStandard;
  int FItemHeight = 16;
  int FTopIndex = 0;
  int FAnchor = -1;  // where a shift-click range starts
};

// A text with a drop-down list of choices.
class TComboBox : public TWinControl {
  VM_CLASS(TComboBox, TWinControl)
public:
  explicit TComboBox(TComponent* AOwner);
  ~TComboBox() override;

  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(*Value); }
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value);
  bool Sorted() const { return FItems->Sorted(); }
  void SetSorted(bool Value) { FItems->SetSorted(Value); }
  void SetText(const std::string& Value) override;
  void Clear();
  // The height of each line of the list when owner-drawn (csOwnerDrawFixed).
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value);
  // The list is open.
  bool DroppedDown() const;
  void SetDroppedDown(bool Value);
  // Where OnDrawItem draws; bound to the item's surface during the call only.
  TCanvas* Canvas() const { return FCanvas.get(); }

  // OnChange: the text changed (typed, or picked); OnSelect: the user picked an item.
  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  // Draws one item of an owner-drawn combo box (csOwnerDrawFixed, csOwnerDrawVariable) on
  // Canvas, in its list and (odComboBoxEdit) in the closed box. Canvas comes with its brush in
  // the item's back colour and the control's font, in the highlight text colour when selected.
  TDrawItemEvent OnDrawItem;

protected:
  void* CreateNativeWidget(void* ParentWidget) override;
  virtual void Change();
  virtual void Select();
  // Calls OnDrawItem when owner-drawn; else fills the rectangle and writes the item's text.
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);

private:
  friend struct TComboBoxPainter;
  // A fixed list: the user only picks (csDropDownList and the owner-drawn styles).
  bool IsList() const { return FStyle == csDropDownList || OwnerDrawn(); }
  bool OwnerDrawn() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
  void ItemsChanged();
  void Sync();
  void UserPicked(int Index);
  void UserTyped(const std::string& Value);
  std::unique_ptr<TStringList> FItems;
  int FItemIndex = -1;
  TComboBoxStyle FStyle = csDropDown;
  int FDropDownCount = 8;
  int FItemHeight = 16;
  std::unique_ptr<TCanvas> FCanvas;
  bool FSyncing = false;
  int FJustPicked = -2;
};

class TScrollBar : public TWinControl {
  VM_CLASS(TScrollBar, TWinControl)
public:
  explicit TScrollBar(TComponent* AOwner);
  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind Value);
  int Min() const { return FMin; }
  void SetMin(int Value) { SetParams(FPosition, Value, std::max(Value, FMax)); }
  int Max() const { return FMax; }
  void SetMax(int Value) { SetParams(FPosition, std::min(FMin, Value), Value); }
  int Position() const { return FPosition; }
  void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int Value);
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int Value);
  // Position is kept inside [Min, Max].
  void SetParams(int APosition, int AMin, int AMax);

  TNotifyEvent OnChange;

protected:
  void* CreateNativeWidget(void* ParentWidget) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;

private:
  void Sync();
  TScrollBarKind FKind = sbHorizontal;
  int FMin = 0, FMax = 100, FPosition = 0;
  int FSmallChange = 1, FLargeChange = 1;
  bool FSyncing = false;
};

// The enumerations by name, for controls that publish them.
extern const TEnumInfo AlignmentInfo;

// Registers every standard control class (these, the panels and images, the page and progress
// controls, image lists) so that streams can make them by name. Each unit registers its own
// classes when it is linked in; a program that only reads them from streams calls this once.
void RegisterStandardControls();
