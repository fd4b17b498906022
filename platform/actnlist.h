// Actions and action lists: one command shared by menu items, tool buttons and shortcuts, which
// follow its caption, check, enabled and visible state through action links.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/component.h"
#include "platform/controls.h"

class TAction;
class TActionList;

// A key with its modifiers: the virtual key in the low byte, scShift/scCtrl/scAlt above.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;

TShortCut ShortCut(uint16_t Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, uint16_t& Key, TShiftState& Shift);
// "Ctrl+Z", "Shift+F1", "Ctrl+Alt+Del", "Ins"...; the empty text for 0.
std::string ShortCutToText(TShortCut ShortCut);
// The inverse of ShortCutToText, letter case ignored; 0 for a text that names no key.
TShortCut TextToShortCut(const std::string& Text);

// The client side of an action: a menu item or a button keeps one and hears every change of the
// action it is linked to. The link forgets an action that is freed.
class TActionLink {
public:
  using TChangeEvent = std::function<void(TAction* Action)>;
  explicit TActionLink(TChangeEvent OnChange) : FOnChange(std::move(OnChange)) {}
  ~TActionLink();
  TActionLink(const TActionLink&) = delete;
  TActionLink& operator=(const TActionLink&) = delete;

  TAction* Action() const { return FAction; }
  // Links to Value (or to nothing) and hands the client the action's state at once.
  void SetAction(TAction* Value);
  // Runs the action (after its update); false when there is none or it is disabled.
  bool Execute(TComponent* Target = nullptr);

private:
  friend class TAction;
  void Changed() {
    if (FOnChange && FAction) FOnChange(FAction);
  }
  TAction* FAction = nullptr;
  TChangeEvent FOnChange;
};

using TActionEvent = std::function<void(TAction* Action, bool& Handled)>;

class TAction : public TComponent {
  VM_CLASS(TAction, TComponent)
public:
  explicit TAction(TComponent* AOwner);
  ~TAction() override;

  TActionList* ActionList() const { return FActionList; }
  void SetActionList(TActionList* Value);
  int Index() const;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  const std::string& Category() const { return FCategory; }
  void SetCategory(const std::string& Value) { FCategory = Value; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  // Actions of one group index above 0 check like radio buttons: checking one unchecks the rest.
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }

  // Runs OnUpdate (the list's first). Returns whether a handler was there.
  virtual bool Update();
  // Runs the action: the list's OnExecute first, then its own OnExecute with the action as Sender.
  // False when disabled (after an update) or when nothing handled it. A handler's exception goes
  // to the caller.
  virtual bool Execute();

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;
  TNotifyEvent OnChange;

private:
  friend class TActionLink;
  friend class TActionList;
  void Changed();
  TActionList* FActionList = nullptr;
  std::string FCaption, FCategory, FHint;
  bool FChecked = false, FEnabled = true, FVisible = true, FAutoCheck = false;
  int FImageIndex = -1;
  int FGroupIndex = 0;
  TShortCut FShortCut = 0;
  std::vector<TActionLink*> FLinks;
};

class TActionList : public TComponent {
  VM_CLASS(TActionList, TComponent)
public:
  explicit TActionList(TComponent* AOwner);
  ~TActionList() override;

  int ActionCount() const { return static_cast<int>(FActions.size()); }
  // Raises EListError "List index out of bounds (%d)" for a bad index.
  TAction* Actions(int Index) const;
  // The enabled, visible action with that shortcut runs (after its update); true when one ran.
  bool IsShortCut(uint16_t Key, TShiftState Shift);
  // Runs OnUpdate of every action (as the message loop does when it idles).
  void UpdateActions();
  TComponent* Images() const { return FImages; }
  void SetImages(TComponent* Value) { FImages = Value; }

  TActionEvent OnExecute;
  TActionEvent OnUpdate;
  TNotifyEvent OnChange;

  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TAction;
  std::vector<TAction*> FActions;
  TComponent* FImages = nullptr;
};
