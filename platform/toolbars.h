// Tool bars with tool buttons, the control bar that docks them in rows, and the status bar.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/actnlist.h"
#include "platform/controls.h"
#include "platform/stdctrls.h"

class TPopupMenu;
class TToolBar;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolButton : public TGraphicControl {
  VM_CLASS(TToolButton, TGraphicControl)
public:
  explicit TToolButton(TComponent* AOwner);
  ~TToolButton() override;

  TToolButtonStyle Style() const { return FStyle; }
  void SetStyle(TToolButtonStyle Value);
  // Pressed in (a check button that is on).
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  // Check buttons of one group next to each other act as radio buttons.
  bool Grouped() const { return FGrouped; }
  void SetGrouped(bool Value) { FGrouped = Value; }
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TAction* Action() const { return FLink.Action(); }
  // Follows the action's caption, hint, enabled, visible, image and check (as Down).
  void SetAction(TAction* Value) { FLink.SetAction(Value); }
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* Value);
  TToolBar* ToolBar() const;
  int Index() const;

  // A click: a check button toggles, then OnClick when assigned, else the action. A click on the
  // arrow part of a drop-down button pops its menu up below the button.
  void Click() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // The button under the mouse is drawn raised (hot) until the mouse leaves it.
  void MouseEnter() override;
  void MouseLeave() override;
  void EnabledChanged() override { Invalidate(); }
  void TextChanged() override;

private:
  void ActionChanged(TAction* A);
  TToolButtonStyle FStyle = tbsButton;
  bool FDown = false, FGrouped = false, FAllowAllUp = false;
  int FImageIndex = -1;
  TPopupMenu* FDropdownMenu = nullptr;
  bool FArrowHit = false;
  TActionLink FLink;
};

// A row of tool buttons laid out left to right in the order they were placed.
class TToolBar : public TCustomControl {
  VM_CLASS(TToolBar, TCustomControl)
public:
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;

  int ButtonCount() const;
  // Raises EListError "List index out of bounds (%d)" for a bad index.
  TToolButton* Buttons(int Index) const;
  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int Value);
  int ButtonHeight() const { return FButtonHeight; }
  void SetButtonHeight(int Value);
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool Value);
  // The buttons' pictures: a TImageList (other components are kept but not drawn from).
  TComponent* Images() const { return FImages; }
  void SetImages(TComponent* Value);
  // The width its buttons need (separators count 8 pixels).
  int ButtonsWidth() const;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetParent(TWinControl* AParent) override;

  // Dragged off its dock: a small tool window of its own at a screen rectangle, with a close
  // box that hides the bar. ManualDock puts it back into a dock (or any parent).
  bool Floating() const { return FFloating; }
  void ManualFloat(const TRect& ScreenPos);
  void ManualDock(TWinControl* Site);
  // The floating window's close box.
  void DispatchClose();
  TNotifyEvent OnClose;

protected:
  void AlignControls(TRect& R) override;
  void Paint() override;
  void VisibleChanged() override;

private:
  int FButtonWidth = 23, FButtonHeight = 22;
  bool FShowCaptions = false;
  bool FFloating = false;
  TComponent* FImages = nullptr;
};

// A dock for tool bars. Each bar's Top and Left are its stored place: bars are put in rows by
// their Top (in that order) and within a row by their Left; hidden bars take no room. A bar that
// would reach beyond the dock's right edge goes down to a line of its own below the row (and back
// up once the dock is wide enough), so every bar stays whole. With AutoSize the dock is as high
// as its lines.
class TControlBar : public TCustomControl {
  VM_CLASS(TControlBar, TCustomControl)
public:
  explicit TControlBar(TComponent* AOwner);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool RowSnap() const { return FRowSnap; }
  void SetRowSnap(bool Value) { FRowSnap = Value; }
  // The visible bars in the order of their rows.
  int RowCount() const { return FRowCount; }
  // Lays the bars out again (after their Top/Left were set from storage).
  void ArrangeBars() { Realign(); }

protected:
  void AlignControls(TRect& R) override;
  void Paint() override;

private:
  bool FAutoSize = false, FRowSnap = true;
  int FRowCount = 0;
  // Bars moved down to a line of their own: the Top they had and the Top they were given.
  struct TWrapped {
    TControl* Bar;
    int HomeTop, PlacedTop;
  };
  std::vector<TWrapped> FWrapped;
};

enum TStatusPanelStyle { psText, psOwnerDraw };

class TStatusBar;

class TStatusPanel {
public:
  explicit TStatusPanel(TStatusBar* Owner) : FOwner(Owner) {}
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  int Index() const;

private:
  TStatusBar* FOwner;
  std::string FText;
  int FWidth = 50;
  TAlignment FAlignment = taLeftJustify;
};

class TStatusPanels {
public:
  explicit TStatusPanels(TStatusBar* Owner) : FOwner(Owner) {}
  TStatusPanel* Add();
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises EListError "List index out of bounds (%d)" for a bad index.
  TStatusPanel* Items(int Index) const;
  TStatusPanel* operator[](int Index) const { return Items(Index); }
  void Delete(int Index);
  void Clear();

private:
  friend class TStatusPanel;
  TStatusBar* FOwner;
  std::vector<std::unique_ptr<TStatusPanel>> FItems;
};

// Panels left to right (the last one takes what is left), or one simple text.
class TStatusBar : public TCustomControl {
  VM_CLASS(TStatusBar, TCustomControl)
public:
  explicit TStatusBar(TComponent* AOwner);
  ~TStatusBar() override;
  TStatusPanels* Panels() const { return FPanels.get(); }
  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool Value);
  const std::string& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const std::string& Value);
  // The box of panel Index in client pixels.
  TRect PanelRect(int Index) const;

protected:
  void Paint() override;

private:
  std::unique_ptr<TStatusPanels> FPanels;
  bool FSimplePanel = false;
  std::string FSimpleText;
};
