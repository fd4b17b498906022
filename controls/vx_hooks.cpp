#include "controls/vx_hooks.h"

#include <algorithm>

#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/streaming.h"

VM_PUBLISH(TVxWindowHook) {
  P.Bool("Active", &TVxWindowHook::Active, &TVxWindowHook::SetActive).Default(true);
  P.Component("WinControl", &TVxWindowHook::WinControl, &TVxWindowHook::SetWinControl);
  P.Event("BeforeMessage", &TVxWindowHook::BeforeMessage);
  P.Event("AfterMessage", &TVxWindowHook::AfterMessage);
}

// ---------------------------------------------------------------------------------------------
// TVxWindowHook

TVxWindowHook::TVxWindowHook(TComponent* AOwner) : TComponent(AOwner) {}

TVxWindowHook::~TVxWindowHook() {
  Destroying();
  Detach();
  if (FControl) FControl->RemoveFreeNotification(this);
  FControl = nullptr;
}

void TVxWindowHook::SetActive(bool Value) {
  if (Value)
    Attach();
  else
    Detach();
}

TWinControl* TVxWindowHook::WinControl() const { return FControlHook ? FControlHook->Control() : FControl; }

void TVxWindowHook::SetWinControl(TWinControl* Value) {
  if (Value == WinControl() && Value == FControl) return;
  const bool was = FActive;
  TControlHook* old = FControlHook;
  Detach();
  if (FControl && FControl != Owner()) FControl->RemoveFreeNotification(this);
  FControl = Value;
  if (Value) Value->FreeNotification(this);
  // The control hook left behind goes once the current message is done.
  if (old && old->HookCount() == 0 && HookChainListExists()) HookChainList()->Post(THookList::UM_RELEASEHOOK, old);
  if (was) Attach();
}

void TVxWindowHook::Attach() {
  if (FControl && !ComponentState().Contains(csDestroying) && !FControl->ComponentState().Contains(csDestroying))
    HookChainList()->ObtainForControl(FControl)->AddHook(this);
  FActive = true;
}

void TVxWindowHook::Detach() {
  if (FControlHook) FControlHook->RemoveHook(this);
  FActive = false;
}

void TVxWindowHook::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent) return;
  if (AComponent == FControl || (AComponent == Owner() && FControl)) {
    const bool was = FActive;
    SetWinControl(nullptr);
    FActive = was;
  }
}

bool TVxWindowHook::IsForm() const {
  return FControl && FControl == Owner() && dynamic_cast<TForm*>(Owner()) != nullptr;
}

void TVxWindowHook::ReadForm(bool Value) {
  if (!Value) return;
  if (auto* f = dynamic_cast<TForm*>(Owner())) SetWinControl(f);
}

void TVxWindowHook::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  Filer->DefineProperty(
      "IsForm", [this](TReader* R) { ReadForm(R->ReadBoolean()); }, [](TWriter* W) { W->WriteBoolean(true); },
      IsForm());
}

void TVxWindowHook::DoBeforeMessage(TMessage& Msg, bool& Handled) {
  if (BeforeMessage) BeforeMessage(this, Msg, Handled);
}

void TVxWindowHook::DoAfterMessage(TMessage& Msg, bool& Handled) {
  if (AfterMessage) AfterMessage(this, Msg, Handled);
}

// ---------------------------------------------------------------------------------------------
// TControlHook

namespace {

// Tells a control hook when its control goes (the control hook is no component itself).
class TControlWatch : public TComponent {
public:
  explicit TControlWatch(TWinControl** Slot) : TComponent(nullptr), FSlot(Slot) {}
  void Watch(TWinControl* Old, TWinControl* New) {
    if (Old) Old->RemoveFreeNotification(this);
    if (New) New->FreeNotification(this);
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == *FSlot) *FSlot = nullptr;
  }

private:
  TWinControl** FSlot;
};

std::unique_ptr<THookList>& ListSlot() {
  static std::unique_ptr<THookList> list;
  return list;
}

}  // namespace

struct TControlHook::Proc {
  TControlHook* Owner;
  void operator()(TMessage& Msg) const { Owner->HookWndProc(Msg); }
};

TControlHook::TControlHook() : FWatch(std::make_unique<TControlWatch>(&FControl)) {}

TControlHook::~TControlHook() {
  FDestroying = true;
  for (TVxWindowHook* h : FList) h->FControlHook = nullptr;
  FList.clear();
  Unsubclass();
  static_cast<TControlWatch*>(FWatch.get())->Watch(FControl, nullptr);
}

bool TControlHook::ControlDestroying() const { return FControl && FControl->ComponentState().Contains(csDestroying); }

void TControlHook::SetControl(TWinControl* Value) {
  if (Value == FControl) return;
  Unsubclass();
  static_cast<TControlWatch*>(FWatch.get())->Watch(FControl, Value);
  FControl = Value;
  if (!FList.empty()) Subclass();
}

void TControlHook::AddHook(TVxWindowHook* Hook) {
  if (std::find(FList.begin(), FList.end(), Hook) == FList.end()) FList.push_back(Hook);
  Hook->FControlHook = this;
  SetControl(Hook->FControl);
  Subclass();
}

void TControlHook::RemoveHook(TVxWindowHook* Hook) {
  Hook->FControlHook = nullptr;
  FList.erase(std::remove(FList.begin(), FList.end(), Hook), FList.end());
  if (FList.empty()) Unsubclass();
}

bool TControlHook::Subclassed() const {
  if (!FControl) return false;
  const Proc* p = FControl->WindowProc.target<Proc>();
  return p && p->Owner == this;
}

void TControlHook::Subclass() {
  if (!FControl || FDestroying) return;
  const TComponentState s = FControl->ComponentState();
  if (s.Contains(csDesigning) || s.Contains(csDestroying)) return;
  FControl->HandleNeeded();
  if (!Subclassed()) {
    FPrevWndProc = std::move(FControl->WindowProc);
    FControl->WindowProc = Proc{this};
  }
}

void TControlHook::Unsubclass() {
  if (FControl && !ControlDestroying() && FPrevWndProc && Subclassed()) FControl->WindowProc = std::move(FPrevWndProc);
  FPrevWndProc = nullptr;
}

void TControlHook::HookWndProc(TMessage& Msg) {
  if (!FControl) {
    if (FPrevWndProc) TWndMethod{FPrevWndProc}(Msg);
    return;
  }
  bool handled = false;
  if (Msg.Msg != WM_QUIT) CallHooks(hsBefore, Msg, handled);
  if (!handled || Msg.Msg == WM_DESTROY) {
    TScopeExit callHooks([&] { CallHooks(hsAfter, Msg, handled); });
    if (FPrevWndProc)
      TWndMethod{FPrevWndProc}(Msg);  // a copy: the procedure may be replaced meanwhile
    else
      FControl->DefaultWindowProc(Msg);
  }
  if (Msg.Msg == WM_DESTROY) {
    Unsubclass();
    // The window comes back (a re-created window): hook it again once this message is done.
    if (HookChainListExists() && !FDestroying && !ControlDestroying())
      HookChainList()->Post(THookList::UM_RECREATEHOOK, this);
  }
}

void TControlHook::CallHooks(THookStage Stage, TMessage& Msg, bool& Handled) {
  if (FList.empty() || !FControl || FDestroying || ControlDestroying()) return;
  // Later hooks first; a handler may detach hooks, so walk a copy and skip those gone.
  const std::vector<TVxWindowHook*> hooks = FList;
  for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
    TVxWindowHook* h = *it;
    if (std::find(FList.begin(), FList.end(), h) == FList.end()) continue;
    try {
      if (Stage == hsBefore)
        h->DoBeforeMessage(Msg, Handled);
      else
        h->DoAfterMessage(Msg, Handled);
    } catch (...) {
      if (Application) Application->HandleException(h);
    }
    if (Handled) break;
  }
}

// ---------------------------------------------------------------------------------------------
// THookList

THookList::THookList() : FWindow(std::make_unique<TMessageWindow>([this](TMessage& M) { WndProc(M); })) {}

THookList::~THookList() {
  FWindow.reset();
  while (!FList.empty()) {
    std::unique_ptr<TControlHook> h = std::move(FList.back());
    FList.pop_back();
    h.reset();
  }
}

TControlHook* THookList::FindForControl(TWinControl* Control) const {
  if (!Control) return nullptr;
  for (const auto& h : FList)
    if (h->Control() == Control) return h.get();
  return nullptr;
}

TControlHook* THookList::ObtainForControl(TWinControl* Control) {
  if (TControlHook* h = FindForControl(Control)) return h;
  FList.push_back(std::make_unique<TControlHook>());
  TControlHook* h = FList.back().get();
  h->SetControl(Control);
  return h;
}

bool THookList::Contains(const TControlHook* Hook) const {
  return std::any_of(FList.begin(), FList.end(), [Hook](const auto& h) { return h.get() == Hook; });
}

void THookList::Post(uint32_t Msg, TControlHook* Hook) { FWindow->Post(Msg, 0, reinterpret_cast<intptr_t>(Hook)); }

void THookList::Delete(TControlHook* Hook) {
  auto it = std::find_if(FList.begin(), FList.end(), [Hook](const auto& h) { return h.get() == Hook; });
  if (it == FList.end()) return;
  std::unique_ptr<TControlHook> gone = std::move(*it);
  FList.erase(it);
  gone.reset();
}

void THookList::WndProc(TMessage& Msg) {
  auto* hook = reinterpret_cast<TControlHook*>(Msg.LParam);
  if (Msg.Msg == UM_RECREATEHOOK) {
    if (Contains(hook)) hook->Subclass();
  } else if (Msg.Msg == UM_RELEASEHOOK) {
    if (Contains(hook) && hook->HookCount() == 0) Delete(hook);
  }
}

THookList* HookChainList() {
  auto& slot = ListSlot();
  if (!slot) slot = std::make_unique<THookList>();
  return slot.get();
}

bool HookChainListExists() { return ListSlot() != nullptr; }

void FreeHookChainList() { ListSlot().reset(); }
