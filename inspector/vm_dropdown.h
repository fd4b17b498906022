// Popup windows above a container (the popup base with its frames and shadow, the hint window),
// the drop-down editor base with its button strip and popup life cycle, the popup list, and the
// pick and button editors.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "inspector/vm_textedit.h"
#include "platform/collection.h"
#include "platform/popupwatch.h"
#include "platform/strings.h"

class TBitmap;
class TvmInplaceDropDownEdit;

// ---------------------------------------------------------------------------------------------
// Popup window base.

// The frame of a popup: its width on each side.
int PopupBorderWidth(TvmPopupBorder Border);
// Draws the frame (and the shadow strips) and shrinks Rect to what is inside.
void DrawPopupBorder(TCanvas* DC, TRect& Rect, TvmPopupBorder Border, bool ScrollCorner, bool Shadow, int ShadowSize);
// The window region of a popup with a shadow (the L-shaped shadow leaves two corners out).
bool PopupShadowRegion(int Width, int Height, bool Shadow, int ShadowSize, TRegion& Region);

class TvmInplacePopupControl : public TCustomControl {
  VM_CLASS(TvmInplacePopupControl, TCustomControl)
public:
  explicit TvmInplacePopupControl(TComponent* AOwner);
  ~TvmInplacePopupControl() override;

  TvmInplaceEdit* OwnerEdit() const { return FOwnerEdit; }
  void SetOwnerEdit(TvmInplaceEdit* Value) { FOwnerEdit = Value; }
  bool IsPopup() const { return FIsPopup; }
  void SetIsPopup(bool Value) { FIsPopup = Value; }
  TvmPopupBorder PopupBorder() const { return FPopupBorder; }
  void SetPopupBorder(TvmPopupBorder Value);
  bool Shadow() const { return FShadow; }
  void SetShadow(bool Value);
  int ShadowSize() const { return FShadowSize; }
  bool DrawsFrame() const { return FDrawsFrame; }
  void SetDrawsFrame(bool Value) { FDrawsFrame = Value; }

  // The area inside the frame and the shadow.
  TRect ClientRect() const override;
  // Shows the popup at a screen point, over everything of the owner's form.
  void ShowPopupAt(const TPoint& ScreenPos);
  virtual void ShowPopup();
  virtual void ClosePopup();
  bool PopupVisible() const { return Visible() && (Parent() != nullptr || FIsPopup); }

protected:
  // Showing the popup makes it the active window: its owner editor leaves the keys to it.
  virtual bool PopupActivates() const;
  void VisibleChanged() override;
  void Paint() override;
  // Paints inside ClientRect (the canvas origin is the window's).
  virtual void PaintClient() {}
  void DoExit() override;
  void Resize() override;

  TvmInplaceEdit* FOwnerEdit = nullptr;
  bool FIsPopup = false;
  TvmPopupBorder FPopupBorder = pbDefault;
  bool FShadow = false;
  int FShadowSize = 2;
  bool FDrawsFrame = true;
  std::unique_ptr<TOutsideClickWatch> FWatch;
};

// The tooltip-like window that shows a clipped cell's whole text.
class TvmContainerHintWindow : public TCustomControl {
  VM_CLASS(TvmContainerHintWindow, TCustomControl)
public:
  explicit TvmContainerHintWindow(TComponent* AOwner);
  void ShowText(const TPoint& P, const std::string& Text, TFont* Font);
  void ShowTextBounded(const TPoint& P, int MaxWidth, const std::string& Text, TFont* Font, bool UseFontSize);
  void HideText();

protected:
  void Paint() override;
  // Without a parent the hint is a window of its own over everything, the mouse passing through.
  void VisibleChanged() override;
};

// ---------------------------------------------------------------------------------------------
// Drop-down editor base.

enum TvmEditButtonKind { bkEllipsis, bkDown, bkGlyph };

struct TvmViewButton {
  TBitmap* Glyph = nullptr;
  TvmEditButtonKind Kind = bkDown;
  bool LeftAligned = false;
  int Width = 0;
};

class TvmDropDownEditViewData : public TvmTextEditViewData {
public:
  int ButtonCount = 0;
  std::array<TvmViewButton, 8> Buttons;
  TBitmap* ButtonGlyph = nullptr;
  bool ButtonsHidden = false;
  int HotButton = -1;
  int HeldButton = -1;
};

using TvmCloseUpEvent = std::function<void(TObject* Sender, Variant& Value, bool& Accept)>;

class TvmInplaceDropDownEdit : public TvmInplaceMaskEdit {
  VM_CLASS(TvmInplaceDropDownEdit, TvmInplaceMaskEdit)
public:
  explicit TvmInplaceDropDownEdit(TComponent* AOwner);
  ~TvmInplaceDropDownEdit() override;

  int HotButton() const { return FHotButton; }
  int HeldButton() const { return FHeldButton; }
  TBitmap* ButtonGlyph();
  void SetButtonGlyph(TBitmap* Value);
  int DropDownRows() const { return FDropDownRows; }
  void SetDropDownRows(int Value) { FDropDownRows = Value; }
  int DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(int Value) { FDropDownWidth = Value; }
  bool ImmediateDropDown() const { return FImmediateDropDown; }
  void SetImmediateDropDown(bool Value) { FImmediateDropDown = Value; }
  bool ImmediatePopup() const { return FImmediatePopup; }
  void SetImmediatePopup(bool Value) { FImmediatePopup = Value; }
  TAlignment PopupAlignment() const { return FPopupAlignment; }
  void SetPopupAlignment(TAlignment Value) { FPopupAlignment = Value; }
  TvmPopupBorder PopupBorder() const { return FPopupBorder; }
  void SetPopupBorder(TvmPopupBorder Value) { FPopupBorder = Value; }
  TControl* CurrentPopup() const { return FCurrentPopup; }
  bool PopupShown() const { return FPopupShown; }
  bool RouteKeysToList() const { return FRouteKeysToList; }

  TvmCloseUpEvent CloseUpHook;
  TNotifyEvent EditButtonClickHook;
  TNotifyEvent OnEditButtonClick;

  bool DroppedDown() const;
  void SetDroppedDown(bool Value);
  TvmPopupBorder GetPopupBorder() const;
  void FocusSelf();
  // The popup tells its editor that it closed.
  void PopupClosed() { FPopupShown = false; }
  // A list popup's mouse-up: inside closes accepting, outside without.
  void ListMouseUp(TControl* List, int X, int Y);

  virtual void PositionPopup(TControl* Popup, bool AdjustWidth);
  virtual void CloseUp(bool Accept) {}
  virtual void DoButtonDown(bool NoCapture, int ButtonIndex);
  virtual void DoButtonClick(int ButtonIndex) {}
  virtual void DoCloseUp(Variant& Value, bool& Accept);
  virtual void PopupKeyDown(uint16_t& Key, TShiftState Shift);
  virtual void StepValue(int Delta, bool Cycle) {}
  virtual void DropDown() {}
  virtual void DoEditButtonClick();
  virtual void FindListText(const std::string& Text) {}
  virtual void CalcButtons(TvmDropDownEditViewData* VD);
  virtual int GetButtonWidth(TvmDropDownEditViewData* VD, int Button);
  // Sends a key to the open popup.
  virtual void ForwardKeyToPopup(uint16_t& Key, TShiftState Shift);

  void AfterActivate() override;
  void HideEdit() override;
  void ShowEdit() override;
  bool IsFocused() const override;
  bool HandlesMouseWheel() const override { return true; }
  void AfterMouseActivate() override;
  void ForwardMouseDown(int X, int Y) override;

  static TvmEditViewData* NewViewData() { return new TvmDropDownEditViewData(); }
  static void CalcViewInfo(TvmInplaceEditClass Self, TvmEditViewData* VD, bool AutoSize, TvmEditViewInfo& VI);
  static void DrawBorder(TvmInplaceEditClass Self, TCanvas* DC, TvmEditViewInfo& VI, TvmEditViewData* VD);
  // The rectangles of the view's buttons, in the view's coordinates.
  static std::vector<TRect> ButtonRects(TvmInplaceEditClass Self, TvmEditViewData* VD);

protected:
  void FillViewData(TvmEditViewData* VD, bool UseBindingValue) override;
  void SetHot(bool Value) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void DoExit() override;
  void SetActiveButton(int Index);
  void ReleasePressedButton();
  int ButtonAt(int X, int Y);
  // Begins watching for clicks outside the shown popup.
  void WatchPopup();

  int FHotButton = -1;
  int FHeldButton = -1;
  std::unique_ptr<TBitmap> FButtonGlyph;
  int FDropDownRows = 7;
  int FDropDownWidth = 0;
  bool FImmediateDropDown = true;
  bool FImmediatePopup = false;
  TAlignment FPopupAlignment = taLeftJustify;
  TvmPopupBorder FPopupBorder = pbDefault;
  TControl* FCurrentPopup = nullptr;
  bool FPopupShown = false;
  bool FRouteKeysToList = true;
  bool FSearchInList = false;
  bool FDraggingIntoPopup = false;  // a press dragged from the button goes on in the popup
  std::unique_ptr<TOutsideClickWatch> FWatch;
};

// ---------------------------------------------------------------------------------------------
// The popup list.

class TvmPopupListBox : public TvmInplacePopupControl {
  VM_CLASS(TvmPopupListBox, TvmInplacePopupControl)
public:
  explicit TvmPopupListBox(TComponent* AOwner);
  TStringList* Items() const { return FItems.get(); }
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  int ItemHeight();
  bool HotTrack() const { return FHotTrack; }
  // Moves the selection as the list's own keys do; true when the key was one of them.
  bool ListKey(uint16_t Key, int PageRows);
  // The width the widest item needs.
  int WidestItem();
  // The height of every row (list kinds with pictures make it taller).
  virtual int RowHeight() { return ItemHeight(); }

  // The first row shown; kept so that the last page is full.
  int TopIndex() const { return FTopIndex; }
  void SetTopIndex(int Value);
  // The rows that fit in the items' area.
  int VisibleRows();
  // The vertical scroll bar at the right shows while not all rows fit; its width is added to the
  // list's own when the list is sized for a long item list.
  static constexpr int ScrollBarWidth = 16;
  bool ScrollBarVisible();
  // Empty while the scroll bar is hidden.
  TRect ScrollBarRect();
  TRect ThumbRect();
  // The area the items are painted in: the client area less the scroll bar.
  TRect ItemsRect();

  std::function<void(TControl* List, int X, int Y)> OnListMouseUp;

protected:
  enum TScrollPart { spNone, spLineUp, spLineDown, spPageUp, spPageDown, spThumb };
  void Paint() override;
  void PaintClient() override;
  void PaintScrollBar();
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  int ItemAt(int X, int Y);
  TScrollPart ScrollPartAt(int X, int Y);

  std::unique_ptr<TStringList> FItems;
  int FItemIndex = -1;
  int FTopIndex = 0;
  bool FHotTrack = true;
  TScrollPart FScrollPart = spNone;  // the part of the scroll bar held down
  int FThumbGrab = 0;                // where in the thumb it was taken
};

// ---------------------------------------------------------------------------------------------
// Pick editor.

class TvmInplacePickEdit : public TvmInplaceDropDownEdit {
  VM_CLASS(TvmInplacePickEdit, TvmInplaceDropDownEdit)
public:
  explicit TvmInplacePickEdit(TComponent* AOwner);

  TStringList* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value);
  bool DropDownListStyle() const { return FDropDownListStyle; }
  void SetDropDownListStyle(bool Value);
  bool CanDeleteText() const { return FCanDeleteText; }
  void SetCanDeleteText(bool Value) { FCanDeleteText = Value; }
  bool Revertable() const { return FRevertable; }
  void SetRevertable(bool Value) { FRevertable = Value; }
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  int ItemIndex() const { return FItemIndex; }
  bool SearchActive() const { return FSearchActive; }
  const std::string& TypedPrefix() const { return FTypedPrefix; }
  TvmPopupListBox* PopupList() const { return FList; }

  virtual void ClearValue();
  virtual void SetValueText(const std::string& Text);
  int FindItem(const std::string& Prefix) const;
  void ResetSearch();
  bool ApplySearch();

  void SetEditValue(const Variant& Value) override;
  void SetActive(bool Value) override;
  bool IsEditable() const override { return !FDropDownListStyle && TvmInplaceDropDownEdit::IsEditable(); }
  bool CanRestoreText() const override { return true; }
  void CloseUp(bool Accept) override;
  void StepValue(int Delta, bool Cycle) override;
  void DropDown() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void FindListText(const std::string& Text) override;

protected:
  void DoSetReadOnly(bool Value) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void PrepareList();

  std::unique_ptr<TStringList> FItems;
  bool FDropDownListStyle = false;
  bool FCanDeleteText = false;
  bool FRevertable = true;
  bool FSorted = false;
  int FItemIndex = -1;
  bool FSearchActive = false;
  std::string FTypedPrefix;
  TvmPopupListBox* FList = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Button editor.

class TvmEditButton : public TCollectionItem {
  VM_CLASS(TvmEditButton, TCollectionItem)
public:
  explicit TvmEditButton(TCollection* Collection);
  ~TvmEditButton() override;
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  TBitmap* Glyph();
  void SetGlyph(TBitmap* Value);
  bool HasGlyph() const { return FGlyph != nullptr; }
  TvmEditButtonKind Kind() const { return FKind; }
  void SetKind(TvmEditButtonKind Value);
  bool LeftAlignment() const { return FLeftAlignment; }
  void SetLeftAlignment(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  void Assign(TPersistent* Source) override;
  virtual void RestoreDefaults();

private:
  friend class TvmEditButtons;
  void Notify();
  bool FDefault = false;
  std::unique_ptr<TBitmap> FGlyph;
  TvmEditButtonKind FKind = bkEllipsis;
  bool FLeftAlignment = false;
  bool FVisible = true;
  int FWidth = 0;
};

class TvmEditButtons : public TCollection {
  VM_CLASS(TvmEditButtons, TCollection)
public:
  TvmEditButtons(TComponent* AOwner, TCollectionItemClass ItemClass);
  // Raises Exception "Too many buttons ( >= 8)" when full.
  TvmEditButton* Add();
  TvmEditButton* Items(int Index) const { return static_cast<TvmEditButton*>(TCollection::Items(Index)); }
  int VisibleButtonCount() const;
  int VisibleButtonIndex(int VisibleIndex) const;
  TvmEditButton* VisibleButtons(int VisibleIndex) const;
  void RestoreDefaults();
  TComponent* OwnerComponent() const { return FOwnerComponent; }

protected:
  TPersistent* GetOwner() override { return FOwnerComponent; }
  void Update(TCollectionItem* Item) override;
  TComponent* FOwnerComponent;
};

extern const char* const SvmTooManyButtons;  // "Too many buttons ( >= %d)"

using TvmEditButtonClickEvent = std::function<void(TObject* Sender, int AbsoluteIndex)>;
enum TvmButtonEditMode { bemNormal, bemHideCursor, bemButtonsOnly };

class TvmButtonEditViewData : public TvmDropDownEditViewData {
public:
  bool ButtonsOnly = false;
};

class TvmInplaceButtonEdit : public TvmInplaceDropDownEdit {
  VM_CLASS(TvmInplaceButtonEdit, TvmInplaceDropDownEdit)
public:
  explicit TvmInplaceButtonEdit(TComponent* AOwner);
  ~TvmInplaceButtonEdit() override;

  TvmEditButtons* Buttons() const { return FButtons.get(); }
  uint16_t ClickKey() const { return FClickKey; }
  void SetClickKey(uint16_t Value) { FClickKey = Value; }
  TvmButtonEditMode Mode() const { return FMode; }
  void SetMode(TvmButtonEditMode Value);
  TvmEditButtonClickEvent OnButtonClick;

  virtual void ClickDefaultButton();
  void CalcButtons(TvmDropDownEditViewData* VD) override;
  bool CanEditText() const override { return FMode == bemNormal; }
  bool CanRestoreText() const override { return true; }
  void DoButtonClick(int ButtonIndex) override;
  void PopupKeyDown(uint16_t& Key, TShiftState Shift) override {}
  void DefineProperties(TFiler* Filer) override;
  void Loaded() override;

  static TvmEditViewData* NewViewData() { return new TvmButtonEditViewData(); }
  static void CalcViewInfo(TvmInplaceEditClass Self, TvmEditViewData* VD, bool AutoSize, TvmEditViewInfo& VI);

protected:
  void FillViewData(TvmEditViewData* VD, bool UseBindingValue) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  std::unique_ptr<TvmEditButtons> FButtons;
  uint16_t FClickKey;
  TvmButtonEditMode FMode = bemNormal;
  bool FExistButtonsRead = false;
};
