#include "platform/lists.h"

#include <algorithm>

#include "platform/exceptions.h"
#include "platform/sysutils.h"

TList::~TList() { Clear(); }

void TList::Error(const char* Msg, int Data) { throw EListError(Format(Msg, {Data})); }

void TList::SetCount(int NewCount) {
  if (NewCount < 0) Error("List count out of bounds (%d)", NewCount);
  if (NewCount < Count()) {
    for (int I = Count() - 1; I >= NewCount; --I) Delete(I);
  } else {
    FList.resize(NewCount, nullptr);
  }
}

void TList::SetCapacity(int NewCapacity) {
  if (NewCapacity < Count()) Error("List capacity out of bounds (%d)", NewCapacity);
  FList.reserve(NewCapacity);
}

void* TList::Items(int Index) const {
  if (Index < 0 || Index >= Count()) Error("List index out of bounds (%d)", Index);
  return FList[Index];
}

void TList::SetItems(int Index, void* Item) {
  if (Index < 0 || Index >= Count()) Error("List index out of bounds (%d)", Index);
  void* Old = FList[Index];
  if (Old == Item) return;
  FList[Index] = Item;
  if (Old) Notify(Old, lnDeleted);
  if (Item) Notify(Item, lnAdded);
}

int TList::Add(void* Item) {
  FList.push_back(Item);
  if (Item) Notify(Item, lnAdded);
  return Count() - 1;
}

void TList::Insert(int Index, void* Item) {
  if (Index < 0 || Index > Count()) Error("List index out of bounds (%d)", Index);
  FList.insert(FList.begin() + Index, Item);
  if (Item) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) Error("List index out of bounds (%d)", Index);
  void* Item = FList[Index];
  FList.erase(FList.begin() + Index);
  if (Item) Notify(Item, lnDeleted);
}

int TList::Remove(void* Item) {
  int I = IndexOf(Item);
  if (I >= 0) Delete(I);
  return I;
}

void* TList::Extract(void* Item) {
  int I = IndexOf(Item);
  if (I < 0) return nullptr;
  FList.erase(FList.begin() + I);
  Notify(Item, lnExtracted);
  return Item;
}

void TList::Clear() {
  // Remove from the end so that Notify sees a consistent list.
  while (!FList.empty()) Delete(Count() - 1);
  FList.shrink_to_fit();
}

void TList::Exchange(int Index1, int Index2) {
  if (Index1 < 0 || Index1 >= Count()) Error("List index out of bounds (%d)", Index1);
  if (Index2 < 0 || Index2 >= Count()) Error("List index out of bounds (%d)", Index2);
  std::swap(FList[Index1], FList[Index2]);
}

void TList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  if (NewIndex < 0 || NewIndex >= Count()) Error("List index out of bounds (%d)", NewIndex);
  void* Item = Items(CurIndex);
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, Item);
}

int TList::IndexOf(const void* Item) const {
  auto It = std::find(FList.begin(), FList.end(), Item);
  return It == FList.end() ? -1 : static_cast<int>(It - FList.begin());
}

void* TList::First() const { return Items(0); }
void* TList::Last() const { return Items(Count() - 1); }

void TList::Pack() { FList.erase(std::remove(FList.begin(), FList.end(), nullptr), FList.end()); }

void TList::Sort(const TListSortCompare& Compare) {
  std::stable_sort(FList.begin(), FList.end(), [&](void* A, void* B) { return Compare(A, B) < 0; });
}

void TList::Assign(const TList& Source) {
  if (&Source == this) return;
  Clear();
  for (void* P : Source.FList) Add(P);
}
