// String lists: TStrings (abstract) and TStringList.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

// A list of strings with one object pointer per line. Descendants implement the protected
// accessors (Get, GetCount, GetObject, Put, PutObject) and Insert/Delete/Clear; everything else
// is built on them. Index errors raise EStringListError "List index out of bounds (%d)".
class TStrings {
public:
  TStrings();
  TStrings(const TStrings&) = delete;
  TStrings& operator=(const TStrings&) = delete;
  virtual ~TStrings();

  int Count() const { return GetCount(); }
  std::string Strings(int Index) const { return Get(Index); }
  void SetStrings(int Index, const std::string& S) { Put(Index, S); }
  std::string operator[](int Index) const { return Get(Index); }
  TObject* Objects(int Index) const { return GetObject(Index); }
  void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

  virtual int Add(const std::string& S);
  virtual int AddObject(const std::string& S, TObject* AObject);
  void Append(const std::string& S) { Add(S); }
  virtual void AddStrings(const TStrings& Strings);
  virtual void Assign(const TStrings& Source);
  virtual void Clear() = 0;
  virtual void Delete(int Index) = 0;
  virtual void Insert(int Index, const std::string& S) = 0;
  void InsertObject(int Index, const std::string& S, TObject* AObject);
  virtual void Exchange(int Index1, int Index2);
  virtual void Move(int CurIndex, int NewIndex);
  virtual int IndexOf(const std::string& S) const;
  int IndexOfName(const std::string& Name) const;
  int IndexOfObject(const TObject* AObject) const;
  bool Equals(const TStrings& Strings) const;

  // name=value lines
  std::string Names(int Index) const;
  std::string Values(const std::string& Name) const;
  void SetValues(const std::string& Name, const std::string& Value);  // empty value deletes the line
  std::string ValueFromIndex(int Index) const;
  void SetValueFromIndex(int Index, const std::string& Value);
  char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(char C) { FNameValueSeparator = C; }

  // Whole text: lines joined with CRLF (each line ends with one); reading splits at CR, LF or CRLF.
  virtual std::string Text() const;
  virtual void SetText(std::string_view Value);
  // Comma text: items quoted with '"' when they hold blanks, commas or quotes.
  std::string CommaText() const;
  void SetCommaText(std::string_view Value);
  std::string DelimitedText() const;
  void SetDelimitedText(std::string_view Value);
  char Delimiter() const { return FDelimiter; }
  void SetDelimiter(char C) { FDelimiter = C; }
  char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char C) { FQuoteChar = C; }
  // When true only Delimiter separates items (blanks stay inside them).
  bool StrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool B) { FStrictDelimiter = B; }

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // Raise EFOpenError / EFCreateError naming the file when it cannot be opened.
  virtual void LoadFromFile(const std::string& FileName);
  virtual void SaveToFile(const std::string& FileName) const;
  virtual void LoadFromStream(TStream& Stream);
  virtual void SaveToStream(TStream& Stream) const;

  // The lines as a vector (copy).
  std::vector<std::string> ToVector() const;

protected:
  virtual std::string Get(int Index) const = 0;
  virtual int GetCount() const = 0;
  virtual TObject* GetObject(int Index) const;
  virtual void Put(int Index, const std::string& S);
  virtual void PutObject(int Index, TObject* AObject);
  // Called with true when the first BeginUpdate starts and false when the last EndUpdate ends.
  virtual void SetUpdateState(bool Updating);
  // Compares two strings as IndexOf does (case-insensitive by default).
  virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
  [[noreturn]] static void Error(const char* Msg, int Data);

private:
  int FUpdateCount = 0;
  char FDelimiter = ',';
  char FQuoteChar = '"';
  char FNameValueSeparator = '=';
  bool FStrictDelimiter = false;
};

class TStringList;
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

// The in-memory string list: sorting, duplicates, case sensitivity, change events.
class TStringList : public TStrings {
public:
  explicit TStringList(bool OwnsObjects = false);
  ~TStringList() override;

  int Add(const std::string& S) override;
  int AddObject(const std::string& S, TObject* AObject) override;
  void Assign(const TStrings& Source) override;
  void Clear() override;
  void Delete(int Index) override;
  void Insert(int Index, const std::string& S) override;
  void Exchange(int Index1, int Index2) override;
  int IndexOf(const std::string& S) const override;
  // Binary search of a sorted list; Index gets the match or the insertion point.
  virtual bool Find(const std::string& S, int& Index) const;
  virtual void Sort();
  virtual void CustomSort(const TStringListSortCompare& Compare);

  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }
  int Capacity() const { return static_cast<int>(FList.capacity()); }
  void SetCapacity(int Value);
  // The string at Index without a copy, for scans of long lists; valid until the list changes.
  const std::string& StringRef(int Index) const;

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;
  // The Sender handed to OnChange/OnChanging (nullptr unless set).
  void SetEventSender(TObject* Sender) { FSender = Sender; }
  TObject* EventSender() const { return FSender; }

protected:
  std::string Get(int Index) const override;
  int GetCount() const override;
  TObject* GetObject(int Index) const override;
  void Put(int Index, const std::string& S) override;
  void PutObject(int Index, TObject* AObject) override;
  void SetUpdateState(bool Updating) override;
  int CompareStrings(const std::string& S1, const std::string& S2) const override;
  virtual void Changed();
  virtual void Changing();
  virtual void InsertItem(int Index, const std::string& S, TObject* AObject);

private:
  struct TStringItem {
    std::string FString;
    TObject* FObject = nullptr;
  };
  void CheckIndex(int Index) const;
  void FreeObject(TObject* AObject);
  void QuickSort(int L, int R, const TStringListSortCompare& Compare);

  std::vector<TStringItem> FList;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;
  TObject* FSender = nullptr;
};
