#include "platform/component.h"

#include <algorithm>

#include "platform/streaming.h"
#include "platform/sysutils.h"
#include "platform/typinfo.h"

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

bool IsValidName(const std::string& S) {
  if (S.empty() || !IsIdentStart(S[0])) return false;
  return std::all_of(S.begin() + 1, S.end(), IsIdentChar);
}

// The name index key: letter case folded the way SameText folds it.
std::string NameKey(const std::string& S) {
  std::string key = S;
  for (char& ch : key)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
  return key;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TPersistent

TPersistent::~TPersistent() = default;

void TPersistent::Assign(TPersistent* Source) {
  if (Source)
    Source->AssignTo(this);
  else
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::DefineProperties(TFiler*) {}

TPersistent* TPersistent::GetOwner() { return nullptr; }

std::string TPersistent::GetNamePath() {
  std::string result = ClassName();
  if (TPersistent* owner = GetOwner()) {
    std::string s = owner->GetNamePath();
    if (!s.empty()) result = s + "." + result;
  }
  return result;
}

void TPersistent::AssignError(TPersistent* Source) {
  std::string sourceName = Source ? Source->ClassName() : std::string("nil");
  throw EConvertError(Format("Cannot assign a %s to a %s", {sourceName, ClassName()}));
}

// ---------------------------------------------------------------------------------------------
// TComponentMetaClass

TComponent* TComponentMetaClass::Create(TComponent*) const {
  throw EComponentError(Format("Cannot create an instance of abstract class %s", {ClassName()}));
}

TObject* TComponentMetaClass::NewInstance() const { return Create(nullptr); }

// ---------------------------------------------------------------------------------------------
// TComponent

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Objects freed by `delete` have been through BeforeDestruction already; others (on the
  // stack, members) get the same steps here.
  Destroying();
  SendFreeNotifications();
  DestroyComponents();
  if (FOwner) {
    if (FOwnerTold)
      FOwner->Remove(this);
    else
      FOwner->RemoveComponent(this);
  }
}

void TComponent::BeforeDestruction() {
  Destroying();
  SendFreeNotifications();
  // The owner and its other components hear of the removal now, while this object is still of
  // its own class (they may test its class or clear its events); it leaves the list at the end.
  if (FOwner && !FOwnerTold) {
    FOwnerTold = true;
    FOwner->Notification(this, opRemove);
  }
}

void TComponent::SendFreeNotifications() {
  // A receiver may remove entries while being told; take them from the end one at a time.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    auto& theirs = other->FFreeNotifies;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    UpdateListening();
    other->UpdateListening();
    other->Notification(this, opRemove);
  }
}

void TComponent::SetName(const std::string& NewName) {
  if (FName == NewName) return;
  if (!NewName.empty() && !IsValidName(NewName))
    throw EComponentError(Format("'%s' is not a valid component name", {NewName}));
  if (FOwner)
    FOwner->ValidateRename(this, FName, NewName);
  else
    ValidateRename(nullptr, FName, NewName);
  ChangeName(NewName);
}

void TComponent::ChangeName(const std::string& NewName) {
  if (FOwner) FOwner->UnindexName(this);
  FName = NewName;
  if (FOwner) FOwner->IndexName(this);
}

void TComponent::IndexName(TComponent* AComponent) {
  if (!AComponent->FName.empty()) FNameIndex.emplace(NameKey(AComponent->FName), AComponent);
}

void TComponent::UnindexName(TComponent* AComponent) {
  if (AComponent->FName.empty()) return;
  auto [first, last] = FNameIndex.equal_range(NameKey(AComponent->FName));
  for (auto it = first; it != last; ++it)
    if (it->second == AComponent) {
      FNameIndex.erase(it);
      return;
    }
}

void MarkBaseNotification(TComponent* AComponent) {
  AComponent->FBaseNotification = true;
  AComponent->UpdateListening();
}

void TComponent::UpdateListening() {
  if (!FOwner) return;
  const bool listens = !FBaseNotification || !FComponents.empty() || !FFreeNotifies.empty();
  if (listens == FListening) return;
  FListening = listens;
  if (listens)
    FOwner->FListeners.emplace(FOrder, this);
  else
    FOwner->FListeners.erase(FOrder);
}

void TComponent::RenumberComponents() {
  FListeners.clear();
  FNextOrder = 0;
  for (TComponent* c : FComponents) {
    c->FOrder = FNextOrder++;
    if (c->FListening) FListeners.emplace(c->FOrder, c);
  }
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) {
  if (AComponent && !SameText(CurName, NewName) && AComponent->FOwner == this && FindComponent(NewName))
    throw EComponentError(Format("A component named %s already exists", {NewName}));
  if (FComponentState.Contains(csDesigning) && FOwner) FOwner->ValidateRename(AComponent, CurName, NewName);
}

void TComponent::ValidateContainer(TComponent* AComponent) { AComponent->ValidateInsert(this); }

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto& list = FOwner->FComponents;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Value) {
  if (!FOwner) return;
  int cur = ComponentIndex();
  if (cur < 0) return;
  auto& list = FOwner->FComponents;
  int count = static_cast<int>(list.size());
  Value = std::clamp(Value, 0, count - 1);
  if (Value == cur) return;
  list.erase(list.begin() + cur);
  list.insert(list.begin() + Value, this);
  FOwner->RenumberComponents();
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  if (AName.empty()) return nullptr;
  // Owners hold one component of a name; should two share one, the first in the list wins.
  auto [first, last] = FNameIndex.equal_range(NameKey(AName));
  TComponent* result = nullptr;
  for (auto it = first; it != last; ++it)
    if (!result || it->second->FOrder < result->FOrder) result = it->second;
  return result;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  AComponent->ValidateContainer(this);
  // Checked whatever the component's current owner: an owner never holds two of one name.
  if (TComponent* same = FindComponent(AComponent->FName); same && same != AComponent)
    throw EComponentError(Format("A component named %s already exists", {AComponent->FName}));
  ValidateRename(AComponent, std::string(), AComponent->FName);
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  Insert(AComponent);
  if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (AComponent->FOwner != this) return;
  Notification(AComponent, opRemove);
  Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
  AComponent->FOrder = FNextOrder++;
  AComponent->FListening = false;
  AComponent->UpdateListening();
  IndexName(AComponent);
  UpdateListening();
}

void TComponent::Remove(TComponent* AComponent) {
  // Components mostly leave from the end (an owner frees the last first).
  auto it = std::find(FComponents.rbegin(), FComponents.rend(), AComponent);
  if (it != FComponents.rend()) FComponents.erase(std::next(it).base());
  if (AComponent->FListening) FListeners.erase(AComponent->FOrder);
  AComponent->FListening = false;
  UnindexName(AComponent);
  AComponent->FOwner = nullptr;
  AComponent->FOwnerTold = false;
  UpdateListening();
}

void TComponent::DestroyComponents() {
  // Each one leaves through RemoveComponent, so the ones still here hear of it and drop their
  // references before it goes.
  while (!FComponents.empty()) {
    TComponent* instance = FComponents.back();
    RemoveComponent(instance);
    if (instance->FOwner == this) Remove(instance);
    delete instance;
  }
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::SetComponentState(TComponentStateItem Item, bool On) {
  if (On)
    FComponentState.Include(Item);
  else
    FComponentState.Exclude(Item);
}

void TComponent::SetSubComponent(bool Value) {
  if (Value)
    FComponentStyle.Include(csSubComponent);
  else
    FComponentStyle.Exclude(csSubComponent);
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  SetComponentState(csDesigning, Value);
  if (SetChildren)
    for (TComponent* c : FComponents) c->SetDesigning(Value, true);
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (!FOwner || AComponent->FOwner != FOwner) {
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
      FFreeNotifies.push_back(AComponent);
      UpdateListening();
      AComponent->FreeNotification(this);
    }
  }
  FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
  FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent), FFreeNotifies.end());
  UpdateListening();
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  RemoveNotification(AComponent);
  AComponent->RemoveNotification(this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  // Only listeners hear it (the others would do nothing), from the end of the list. Receivers
  // may free or insert components meanwhile: each step looks for the next one before the last
  // position key, so freed ones are skipped and newcomers (at the end) are not visited.
  uint64_t before = UINT64_MAX;
  for (;;) {
    auto it = FListeners.lower_bound(before);
    if (it == FListeners.begin()) break;
    --it;
    before = it->first;
    it->second->Notification(AComponent, Operation);
  }
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::Updating() { FComponentState.Include(csUpdating); }

void TComponent::Updated() { FComponentState.Exclude(csUpdating); }

void TComponent::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  if (Root != this) return;
  // Copy: the callback may not change the list, but be safe against it.
  std::vector<TComponent*> list = FComponents;
  for (TComponent* c : list)
    if (!c->HasParent() && !c->FComponentStyle.Contains(csSubComponent)) Proc(c);
}

std::string TComponent::GetNamePath() { return FName; }

void TComponent::ReadState(TReader* Reader) { Reader->ReadData(this); }

void TComponent::WriteState(TWriter* Writer) { Writer->WriteData(this); }

VM_DEFINE_CLASS(TPersistent)

VM_PUBLISH(TComponent) {
  P.String("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
  P.Int64("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}
