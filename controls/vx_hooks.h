// Window hooks: a component that sees the messages of a windowed control (typically its form)
// before and after the control's own window procedure, without the control's cooperation. All
// hooks of one control share one replacement window procedure (a control hook); all control
// hooks live in one list, whose hidden window re-hooks a control whose window was made again
// and frees control hooks that nobody uses any more.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/component.h"
#include "platform/controls.h"

class TControlHook;

// Sender, the message (its Result may be set), Handled.
using THookMessageEvent = std::function<void(TObject* Sender, TMessage& Msg, bool& Handled)>;

class TVxWindowHook : public TComponent {
  VM_CLASS(TVxWindowHook, TComponent)
public:
  explicit TVxWindowHook(TComponent* AOwner);
  ~TVxWindowHook() override;

  bool Active() const { return FActive; }
  void SetActive(bool Value);
  // The watched control: that of the control hook when bound, else the stored one.
  TWinControl* WinControl() const;
  void SetWinControl(TWinControl* Value);

  THookMessageEvent BeforeMessage;
  THookMessageEvent AfterMessage;

  void HookControl() { SetActive(true); }
  void UnhookControl() { SetActive(false); }

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DefineProperties(TFiler* Filer) override;

protected:
  virtual void DoBeforeMessage(TMessage& Msg, bool& Handled);
  virtual void DoAfterMessage(TMessage& Msg, bool& Handled);

private:
  friend class TControlHook;
  void Attach();
  void Detach();
  bool IsForm() const;
  void ReadForm(bool Value);

  bool FActive = true;
  TWinControl* FControl = nullptr;
  TControlHook* FControlHook = nullptr;
};

// The replacement window procedure of one control, shared by its hooks (which it does not own).
class TControlHook {
public:
  TControlHook();
  ~TControlHook();
  TControlHook(const TControlHook&) = delete;
  TControlHook& operator=(const TControlHook&) = delete;

  TWinControl* Control() const { return FControl; }
  void SetControl(TWinControl* Value);
  int HookCount() const { return static_cast<int>(FList.size()); }
  void AddHook(TVxWindowHook* Hook);
  void RemoveHook(TVxWindowHook* Hook);
  // The replacement procedure is in front of the control's own.
  bool Subclassed() const;
  void Subclass();
  void Unsubclass();

  enum THookStage { hsBefore, hsAfter };

private:
  struct Proc;
  void HookWndProc(TMessage& Msg);
  void CallHooks(THookStage Stage, TMessage& Msg, bool& Handled);
  bool ControlDestroying() const;

  TWinControl* FControl = nullptr;
  std::vector<TVxWindowHook*> FList;
  TWndMethod FPrevWndProc;  // empty: none remembered
  bool FDestroying = false;
  std::unique_ptr<TComponent> FWatch;  // forgets the control when it is freed
};

// The control hooks of the process and the hidden window of their requests.
class THookList {
public:
  static constexpr uint32_t UM_RECREATEHOOK = 45138;  // WParam unused, LParam: the control hook
  static constexpr uint32_t UM_RELEASEHOOK = 45139;

  THookList();
  ~THookList();
  THookList(const THookList&) = delete;
  THookList& operator=(const THookList&) = delete;

  int Count() const { return static_cast<int>(FList.size()); }
  TControlHook* Items(int Index) const { return FList.at(static_cast<size_t>(Index)).get(); }
  TControlHook* FindForControl(TWinControl* Control) const;
  TControlHook* ObtainForControl(TWinControl* Control);
  bool Contains(const TControlHook* Hook) const;
  void Post(uint32_t Msg, TControlHook* Hook);
  // Frees a control hook of the list (it unhooks itself).
  void Delete(TControlHook* Hook);

private:
  void WndProc(TMessage& Msg);
  std::vector<std::unique_ptr<TControlHook>> FList;
  std::unique_ptr<TMessageWindow> FWindow;
};

// The one list, made on first use and freed at process end (or by FreeHookChainList).
THookList* HookChainList();
// Whether the list exists now (nothing is made).
bool HookChainListExists();
void FreeHookChainList();
