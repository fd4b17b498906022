// Menus: menu items in a tree, the form's main menu and pop-up menus. An item linked to an action
// follows the action's caption, check, enabled, visible state and shortcut.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/actnlist.h"
#include "platform/component.h"
#include "platform/controls.h"

class TMenu;

class EMenuError : public Exception {
public:
  using Exception::Exception;
};

class TMenuItem : public TComponent {
  VM_CLASS(TMenuItem, TComponent)
public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  // '&' marks the accelerator letter ("&&" is a plain '&'); "-" makes a separator line.
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  bool IsLine() const { return FCaption == "-"; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  // A radio item unchecks the other radio items of its GroupIndex under the same parent.
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value) { FRadioItem = Value; }
  uint8_t GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(uint8_t Value) { FGroupIndex = Value; }
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value) { FImageIndex = Value; }
  TAction* Action() const { return FLink.Action(); }
  // Takes the action's state now and follows it from then on; nullptr unlinks (the state stays).
  // A property the item was given itself (a hidden entry of a visible action) stays while the
  // action changes, until the action takes the item's value again.
  void SetAction(TAction* Value);

  // The sub-items. The parent frees its items; an item freed elsewhere leaves its parent.
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises EMenuError "Menu index out of range" for a bad index.
  TMenuItem* Items(int Index) const;
  TMenuItem* Parent() const { return FParent; }
  // Raises EMenuError "Menu inserted twice" for an item that already has a parent.
  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  // Takes the item out (not freed).
  void Remove(TMenuItem* Item);
  // Takes the item out and frees it.
  void Delete(int Index);
  void Clear();
  int IndexOf(const TMenuItem* Item) const;
  int MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }
  // The direct sub-item of that caption, '&' and letter case ignored; nullptr when none.
  TMenuItem* Find(const std::string& ACaption) const;
  // The enabled, visible item of this tree with that shortcut, or nullptr.
  TMenuItem* FindShortCut(TShortCut Value) const;
  TMenu* GetParentMenu() const;

  // Runs the item as a choice of the user does: the auto check, then OnClick when assigned, else
  // the action. A disabled item does nothing. Handler exceptions reach the caller.
  virtual void Click();

  TNotifyEvent OnClick;

  struct Impl;

private:
  friend class TMenu;
  void ActionChanged(TAction* A);
  void Changed();
  // Only the item's check mark or enabled state changed.
  void StateChanged();
  std::string FCaption;
  bool FChecked = false, FRadioItem = false, FAutoCheck = false, FEnabled = true, FVisible = true;
  uint8_t FGroupIndex = 0;
  TShortCut FShortCut = 0;
  std::string FHint;
  int FImageIndex = -1;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on the root item
  std::vector<TMenuItem*> FItems;
  TActionLink FLink;
  // The action's state as the item last saw it: a property follows a change of the action only
  // while the item still shows the action's previous value.
  struct TFromAction {
    std::string Caption, Hint;
    bool Checked = false, Enabled = true, Visible = true;
    TShortCut ShortCut = 0;
    int ImageIndex = -1;
  } FFromAction;
  bool FTakeAll = false;  // linking: everything is taken
};

// The owner of a tree of items.
class TMenu : public TComponent {
  VM_CLASS(TMenu, TComponent)
public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  TMenuItem* Items() const { return FItems.get(); }
  // The enabled item with that shortcut runs; true when one did.
  bool IsShortCut(uint16_t Key, TShiftState Shift);
  TComponent* Images() const { return FImages; }
  void SetImages(TComponent* Value) { FImages = Value; }
  // Called whenever an item of the tree changed.
  virtual void MenuChanged() { ++FChangeCount; }
  // Called when only Item's check mark or enabled state changed; as any change by default.
  virtual void ItemStateChanged(TMenuItem* Item);
  int ChangeCount() const { return FChangeCount; }

private:
  std::unique_ptr<TMenuItem> FItems;
  TComponent* FImages = nullptr;
  int FChangeCount = 0;
};

// The menu bar of a form: made with a form as owner it becomes that form's Menu.
class TMainMenu : public TMenu {
  VM_CLASS(TMainMenu, TMenu)
public:
  explicit TMainMenu(TComponent* AOwner);
  ~TMainMenu() override;
  void MenuChanged() override;
  void ItemStateChanged(TMenuItem* Item) override;
  // The menu bar widget (made when the form shows), or null.
  void* MenuBarHandle() const;
  // Makes or refreshes the menu bar on the window Parent (a QWidget).
  void BuildMenuBar(void* Parent);
  // What the shown bar shows of a plain item: -1 nothing, else 1 when enabled plus 2 when checked.
  int ShownItemState(TMenuItem* Item) const;
  // The caption of the bar entry whose menu is open, empty when none is.
  std::string OpenEntry() const;

  struct Impl;

private:
  std::unique_ptr<Impl> FImpl;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
  VM_CLASS(TPopupMenu, TMenu)
public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;
  // Runs OnPopup, then shows the items at the screen point (headless: nothing is shown).
  virtual void Popup(int X, int Y);
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  // The control whose right click opened the menu (nullptr for a direct Popup).
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
  // The menu widget of the last Popup, or null.
  void* MenuHandle() const;

  TNotifyEvent OnPopup;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  struct Impl;

private:
  bool FAutoPopup = true;
  TPopupAlignment FAlignment = paLeft;
  TComponent* FPopupComponent = nullptr;
  std::unique_ptr<Impl> FImpl;
};

// A control's pop-up menu: a right click on the control (released inside) pops it up when its
// AutoPopup is on. nullptr takes it away.
void SetControlPopupMenu(TControl* Control, TPopupMenu* Menu);
TPopupMenu* ControlPopupMenu(TControl* Control);

// The caption without its '&' marks ("&&" stays one '&').
std::string StripHotkey(const std::string& Text);
// The accelerator letter of a caption (upper case), or 0.
char GetHotkey(const std::string& Text);
// The captions of sibling menu entries as their menu shows them: an entry without a hotkey of its
// own gets one that no sibling holds yet (its first letter when free, else the first letter of a
// later word, else any letter or digit of it), marked with '&', so that Alt and the letter open a
// menu of the bar and the letter alone chooses an entry of an open menu. Lines ("-") and captions
// with no free letter stay as they are.
std::vector<std::string> AutoHotkeyCaptions(const std::vector<std::string>& Captions);
