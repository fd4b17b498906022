// TList: a list of untyped pointers; the list never owns them.
#pragma once

#include <functional>
#include <vector>

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

// Index errors raise EListError "List index out of bounds (%d)".
class TList {
public:
  TList() = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;
  virtual ~TList();

  int Count() const { return static_cast<int>(FList.size()); }
  void SetCount(int NewCount);  // grows with nullptr
  int Capacity() const { return static_cast<int>(FList.capacity()); }
  void SetCapacity(int NewCapacity);
  void* Items(int Index) const;
  void SetItems(int Index, void* Item);
  void* operator[](int Index) const { return Items(Index); }

  int Add(void* Item);
  void Insert(int Index, void* Item);
  void Delete(int Index);
  int Remove(void* Item);     // index it had, or -1
  void* Extract(void* Item);  // removed item, or nullptr
  virtual void Clear();
  void Exchange(int Index1, int Index2);
  void Move(int CurIndex, int NewIndex);
  int IndexOf(const void* Item) const;
  void* First() const;  // raises on an empty list
  void* Last() const;
  void Pack();  // removes nullptr items
  void Sort(const TListSortCompare& Compare);
  void Assign(const TList& Source);
  TList& Expand() { return *this; }

  // Typed access for callers that keep one kind of pointer.
  template <class T>
  T* ItemAs(int Index) const {
    return static_cast<T*>(Items(Index));
  }

  auto begin() const { return FList.begin(); }
  auto end() const { return FList.end(); }

protected:
  // Called after an item was added and before one is removed.
  virtual void Notify(void* /*Ptr*/, TListNotification /*Action*/) {}
  [[noreturn]] static void Error(const char* Msg, int Data);

private:
  std::vector<void*> FList;
};
