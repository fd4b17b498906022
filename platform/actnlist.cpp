#include "platform/actnlist.h"

#include <algorithm>
#include <cctype>

#include "platform/sysutils.h"
#include "platform/typinfo.h"

VM_PUBLISH(TAction) {
  P.String("Caption", &TAction::Caption, &TAction::SetCaption);
  P.String("Category", &TAction::Category, &TAction::SetCategory);
  P.Bool("Checked", &TAction::Checked, &TAction::SetChecked).Default(false);
  P.Bool("Enabled", &TAction::Enabled, &TAction::SetEnabled).Default(true);
  P.Bool("Visible", &TAction::Visible, &TAction::SetVisible).Default(true);
  P.Bool("AutoCheck", &TAction::AutoCheck, &TAction::SetAutoCheck).Default(false);
  P.Int("GroupIndex", &TAction::GroupIndex, &TAction::SetGroupIndex).Default(0);
  P.String("Hint", &TAction::Hint, &TAction::SetHint);
  P.Int("ImageIndex", &TAction::ImageIndex, &TAction::SetImageIndex).Default(-1);
  P.Int("ShortCut", &TAction::ShortCut, &TAction::SetShortCut).Default(0);
  P.Event("OnExecute", &TAction::OnExecute);
  P.Event("OnUpdate", &TAction::OnUpdate);
}
VM_PUBLISH(TActionList) {
  P.Event("OnExecute", &TActionList::OnExecute);
  P.Event("OnUpdate", &TActionList::OnUpdate);
}

// ---------------------------------------------------------------------------------------------
// Shortcuts

namespace {

struct KeyName {
  uint16_t Key;
  const char* Name;
};
constexpr KeyName kKeyNames[] = {{VK_BACK, "BkSp"},     {VK_TAB, "Tab"},    {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
                                 {VK_SPACE, "Space"},   {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},    {VK_END, "End"},
                                 {VK_HOME, "Home"},     {VK_LEFT, "Left"},  {VK_UP, "Up"},        {VK_RIGHT, "Right"},
                                 {VK_DOWN, "Down"},     {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},   {VK_ADD, "Num +"},
                                 {VK_SUBTRACT, "Num -"}};

std::string KeyToText(uint16_t Key) {
  if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z')) return std::string(1, static_cast<char>(Key));
  if (Key >= VK_F1 && Key < VK_F1 + 24) return "F" + std::to_string(Key - VK_F1 + 1);
  for (const KeyName& k : kKeyNames)
    if (k.Key == Key) return k.Name;
  return std::string();
}

bool SameText(const std::string& A, const std::string& B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

uint16_t TextToKey(const std::string& Text) {
  if (Text.size() == 1) {
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(Text[0])));
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) return static_cast<uint16_t>(c);
  }
  for (const KeyName& k : kKeyNames)
    if (SameText(Text, k.Name)) return k.Key;
  if (Text.size() >= 2 && (Text[0] == 'F' || Text[0] == 'f')) {
    int n = 0;
    for (size_t i = 1; i < Text.size(); ++i) {
      if (!std::isdigit(static_cast<unsigned char>(Text[i]))) return 0;
      n = n * 10 + (Text[i] - '0');
      if (n > 24) return 0;
    }
    if (n >= 1) return static_cast<uint16_t>(VK_F1 + n - 1);
  }
  return 0;
}

}  // namespace

TShortCut ShortCut(uint16_t Key, TShiftState Shift) {
  if (Key & 0xFF00) return 0;
  TShortCut s = Key;
  if (Shift.Contains(ssShift)) s |= scShift;
  if (Shift.Contains(ssCtrl)) s |= scCtrl;
  if (Shift.Contains(ssAlt)) s |= scAlt;
  return s;
}

void ShortCutToKey(TShortCut Value, uint16_t& Key, TShiftState& Shift) {
  Key = Value & 0xFF;
  Shift = {};
  if (Value & scShift) Shift.Include(ssShift);
  if (Value & scCtrl) Shift.Include(ssCtrl);
  if (Value & scAlt) Shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut Value) {
  std::string key = KeyToText(Value & 0xFF);
  if (key.empty()) return std::string();
  std::string s;
  if (Value & scShift) s += "Shift+";
  if (Value & scCtrl) s += "Ctrl+";
  if (Value & scAlt) s += "Alt+";
  return s + key;
}

TShortCut TextToShortCut(const std::string& Text) {
  TShortCut mods = 0;
  size_t start = 0;
  // Modifiers are the parts before the last '+' (a key may itself hold '+', as "Num +").
  while (true) {
    size_t plus = Text.find('+', start);
    if (plus == std::string::npos || plus == start || plus + 1 >= Text.size()) break;
    std::string part = Text.substr(start, plus - start);
    if (SameText(part, "Shift"))
      mods |= scShift;
    else if (SameText(part, "Ctrl"))
      mods |= scCtrl;
    else if (SameText(part, "Alt"))
      mods |= scAlt;
    else
      break;
    start = plus + 1;
  }
  uint16_t key = TextToKey(Text.substr(start));
  return key ? static_cast<TShortCut>(key | mods) : 0;
}

// ---------------------------------------------------------------------------------------------
// TActionLink

TActionLink::~TActionLink() { SetAction(nullptr); }

void TActionLink::SetAction(TAction* Value) {
  if (Value == FAction) return;
  if (FAction)
    FAction->FLinks.erase(std::remove(FAction->FLinks.begin(), FAction->FLinks.end(), this), FAction->FLinks.end());
  FAction = Value;
  if (FAction) {
    FAction->FLinks.push_back(this);
    Changed();
  }
}

bool TActionLink::Execute(TComponent* /*Target*/) { return FAction && FAction->Execute(); }

// ---------------------------------------------------------------------------------------------
// TAction

TAction::TAction(TComponent* AOwner) : TComponent(AOwner) {}

TAction::~TAction() {
  // Clients keep their own state; they only lose the link.
  for (TActionLink* l : std::vector<TActionLink*>(FLinks)) l->FAction = nullptr;
  FLinks.clear();
  SetActionList(nullptr);
}

void TAction::SetActionList(TActionList* Value) {
  if (Value == FActionList) return;
  if (FActionList) {
    auto& v = FActionList->FActions;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
  FActionList = Value;
  if (FActionList) {
    FActionList->FActions.push_back(this);
    FActionList->FreeNotification(this);
  }
}

int TAction::Index() const {
  if (!FActionList) return -1;
  auto& v = FActionList->FActions;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TAction::Changed() {
  for (TActionLink* l : std::vector<TActionLink*>(FLinks)) l->Changed();
  if (OnChange) OnChange(this);
}

void TAction::SetCaption(const std::string& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  Changed();
}

void TAction::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  if (Value && FGroupIndex > 0 && FActionList)
    for (TAction* a : FActionList->FActions)
      if (a != this && a->FGroupIndex == FGroupIndex) a->SetChecked(false);
  Changed();
}

void TAction::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  Changed();
}

void TAction::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Changed();
}

void TAction::SetHint(const std::string& Value) {
  if (Value == FHint) return;
  FHint = Value;
  Changed();
}

void TAction::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  Changed();
}

void TAction::SetShortCut(TShortCut Value) {
  if (Value == FShortCut) return;
  FShortCut = Value;
  Changed();
}

bool TAction::Update() {
  if (FActionList && FActionList->OnUpdate) {
    bool handled = false;
    FActionList->OnUpdate(this, handled);
    if (handled) return true;
  }
  if (OnUpdate) {
    OnUpdate(this);
    return true;
  }
  return false;
}

bool TAction::Execute() {
  Update();
  if (!FEnabled) return false;
  if (FAutoCheck) SetChecked(!FChecked);
  if (FActionList && FActionList->OnExecute) {
    bool handled = false;
    FActionList->OnExecute(this, handled);
    if (handled) return true;
  }
  if (OnExecute) {
    OnExecute(this);
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// TActionList

TActionList::TActionList(TComponent* AOwner) : TComponent(AOwner) {}

TActionList::~TActionList() {
  for (TAction* a : std::vector<TAction*>(FActions)) a->FActionList = nullptr;
  FActions.clear();
}

TAction* TActionList::Actions(int Index) const {
  if (Index < 0 || Index >= ActionCount()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FActions[Index];
}

void TActionList::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == FImages) FImages = nullptr;
    auto it = std::find(FActions.begin(), FActions.end(), AComponent);
    if (it != FActions.end()) {
      (*it)->FActionList = nullptr;
      FActions.erase(it);
    }
  }
}

bool TActionList::IsShortCut(uint16_t Key, TShiftState Shift) {
  TShortCut s = ::ShortCut(Key, Shift);
  if (s == 0) return false;
  for (TAction* a : std::vector<TAction*>(FActions)) {
    if (a->ShortCut() != s) continue;
    a->Update();
    if (!a->Enabled() || !a->Visible()) continue;
    a->Execute();
    return true;
  }
  return false;
}

void TActionList::UpdateActions() {
  for (TAction* a : std::vector<TAction*>(FActions)) a->Update();
}
