#include "platform/strings.h"

#include <utility>

#include "platform/exceptions.h"
#include "platform/guards.h"
#include "platform/object.h"
#include "platform/streams.h"
#include "platform/sysutils.h"

namespace {
constexpr const char* SListIndexError = "List index out of bounds (%d)";
constexpr const char* SDuplicateString = "String list does not allow duplicates";
constexpr const char* SSortedListError = "Operation not allowed on sorted string list";

bool IsBlankByte(char C) { return static_cast<unsigned char>(C) <= ' ' && C != '\0'; }
}  // namespace

// ---------------------------------------------------------------------------------------------
// TStrings

TStrings::TStrings() = default;
TStrings::~TStrings() = default;

void TStrings::Error(const char* Msg, int Data) { throw EStringListError(Format(Msg, {Data})); }

TObject* TStrings::GetObject(int /*Index*/) const { return nullptr; }

void TStrings::Put(int Index, const std::string& S) {
  TObject* Obj = GetObject(Index);
  PutObject(Index, nullptr);  // a list that owns its objects must not free this one
  Delete(Index);
  InsertObject(Index, S, Obj);
}

void TStrings::PutObject(int /*Index*/, TObject* /*AObject*/) {}

void TStrings::SetUpdateState(bool /*Updating*/) {}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const { return AnsiCompareText(S1, S2); }

int TStrings::Add(const std::string& S) {
  int Result = GetCount();
  Insert(Result, S);
  return Result;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
  int Result = Add(S);
  PutObject(Result, AObject);
  return Result;
}

void TStrings::AddStrings(const TStrings& Strings) {
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  for (int I = 0; I < Strings.Count(); ++I) AddObject(Strings.Get(I), Strings.GetObject(I));
}

void TStrings::Assign(const TStrings& Source) {
  if (&Source == this) return;
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  Clear();
  AddStrings(Source);
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::Exchange(int Index1, int Index2) {
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  std::string S1 = Get(Index1), S2 = Get(Index2);
  TObject* O1 = GetObject(Index1);
  TObject* O2 = GetObject(Index2);
  Put(Index1, S2);
  PutObject(Index1, O2);
  Put(Index2, S1);
  PutObject(Index2, O1);
}

void TStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  std::string S = Get(CurIndex);
  TObject* Obj = GetObject(CurIndex);
  if (NewIndex < 0 || NewIndex >= Count()) Error(SListIndexError, NewIndex);
  PutObject(CurIndex, nullptr);  // a list that owns its objects must not free this one
  Delete(CurIndex);
  InsertObject(NewIndex, S, Obj);
}

int TStrings::IndexOf(const std::string& S) const {
  for (int I = 0; I < GetCount(); ++I)
    if (CompareStrings(Get(I), S) == 0) return I;
  return -1;
}

int TStrings::IndexOfName(const std::string& Name) const {
  for (int I = 0; I < GetCount(); ++I) {
    std::string S = Get(I);
    size_t P = S.find(FNameValueSeparator);
    if (P != std::string::npos && CompareStrings(S.substr(0, P), Name) == 0) return I;
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const {
  for (int I = 0; I < GetCount(); ++I)
    if (GetObject(I) == AObject) return I;
  return -1;
}

bool TStrings::Equals(const TStrings& Strings) const {
  if (Count() != Strings.Count()) return false;
  for (int I = 0; I < Count(); ++I)
    if (Get(I) != Strings.Get(I)) return false;
  return true;
}

std::string TStrings::Names(int Index) const {
  std::string S = Get(Index);
  size_t P = S.find(FNameValueSeparator);
  return P == std::string::npos ? std::string() : S.substr(0, P);
}

std::string TStrings::Values(const std::string& Name) const {
  int I = IndexOfName(Name);
  return I < 0 ? std::string() : ValueFromIndex(I);
}

void TStrings::SetValues(const std::string& Name, const std::string& Value) {
  int I = IndexOfName(Name);
  if (!Value.empty()) {
    std::string Line = Name + FNameValueSeparator + Value;
    if (I < 0)
      Add(Line);
    else
      Put(I, Line);
  } else if (I >= 0) {
    Delete(I);
  }
}

std::string TStrings::ValueFromIndex(int Index) const {
  std::string S = Get(Index);
  size_t P = S.find(FNameValueSeparator);
  return P == std::string::npos ? std::string() : S.substr(P + 1);
}

void TStrings::SetValueFromIndex(int Index, const std::string& Value) {
  if (Value.empty()) {
    Delete(Index);
    return;
  }
  std::string Name = Names(Index);
  Put(Index, Name + FNameValueSeparator + Value);
}

std::string TStrings::Text() const {
  std::string R;
  for (int I = 0; I < GetCount(); ++I) {
    R += Get(I);
    R += "\r\n";
  }
  return R;
}

void TStrings::SetText(std::string_view Value) {
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  Clear();
  size_t I = 0;
  while (I < Value.size()) {
    size_t Start = I;
    while (I < Value.size() && Value[I] != '\r' && Value[I] != '\n') ++I;
    Add(std::string(Value.substr(Start, I - Start)));
    if (I < Value.size() && Value[I] == '\r') ++I;
    if (I < Value.size() && Value[I] == '\n') ++I;
  }
}

std::string TStrings::CommaText() const {
  // Comma text always uses ',' and '"' in the loose (non-strict) form.
  std::string R;
  int N = GetCount();
  if (N == 1 && Get(0).empty()) return "\"\"";
  for (int I = 0; I < N; ++I) {
    std::string S = Get(I);
    bool NeedQuote = false;
    for (char C : S)
      if (IsBlankByte(C) || C == '"' || C == ',' || C == '\0') NeedQuote = true;
    if (I > 0) R += ',';
    R += NeedQuote ? AnsiQuotedStr(S, '"') : S;
  }
  return R;
}

void TStrings::SetCommaText(std::string_view Value) {
  char D = FDelimiter, Q = FQuoteChar;
  bool Strict = FStrictDelimiter;
  FDelimiter = ',';
  FQuoteChar = '"';
  FStrictDelimiter = false;
  TScopeExit restore([&] {
    FDelimiter = D;
    FQuoteChar = Q;
    FStrictDelimiter = Strict;
  });
  SetDelimitedText(Value);
}

std::string TStrings::DelimitedText() const {
  std::string R;
  int N = GetCount();
  if (N == 1 && Get(0).empty()) return std::string(2, FQuoteChar);
  for (int I = 0; I < N; ++I) {
    std::string S = Get(I);
    bool NeedQuote = false;
    for (char C : S) {
      if (C == FQuoteChar || C == FDelimiter || C == '\0') NeedQuote = true;
      if (!FStrictDelimiter && IsBlankByte(C)) NeedQuote = true;
    }
    if (I > 0) R += FDelimiter;
    R += NeedQuote ? AnsiQuotedStr(S, FQuoteChar) : S;
  }
  return R;
}

namespace {
// Reads a quoted item starting at the quote at P; doubled quotes give one. P ends after the
// closing quote (or at the end of the text when there is none).
std::string ExtractQuoted(std::string_view V, size_t& P, char Quote) {
  std::string R;
  ++P;
  while (P < V.size()) {
    if (V[P] == Quote) {
      if (P + 1 < V.size() && V[P + 1] == Quote) {
        R += Quote;
        P += 2;
        continue;
      }
      ++P;
      break;
    }
    R += V[P++];
  }
  return R;
}
}  // namespace

void TStrings::SetDelimitedText(std::string_view Value) {
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  Clear();
  size_t P = 0;
  const size_t N = Value.size();
  if (FStrictDelimiter) {
    if (N == 0) return;
    while (true) {
      std::string S;
      if (P < N && Value[P] == FQuoteChar) {
        S = ExtractQuoted(Value, P, FQuoteChar);
        while (P < N && Value[P] != FDelimiter) S += Value[P++];
      } else {
        while (P < N && Value[P] != FDelimiter) S += Value[P++];
      }
      Add(S);
      if (P >= N) break;
      ++P;  // the delimiter; one at the very end gives an empty last item
    }
  } else {
    while (P < N && IsBlankByte(Value[P])) ++P;
    while (P < N) {
      std::string S;
      if (Value[P] == FQuoteChar) {
        S = ExtractQuoted(Value, P, FQuoteChar);
      } else {
        size_t Start = P;
        while (P < N && !IsBlankByte(Value[P]) && Value[P] != FDelimiter) ++P;
        S.assign(Value.substr(Start, P - Start));
      }
      Add(S);
      while (P < N && IsBlankByte(Value[P])) ++P;
      if (P < N && Value[P] == FDelimiter) {
        if (P + 1 == N) Add("");
        ++P;
        while (P < N && IsBlankByte(Value[P])) ++P;
      }
    }
  }
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount <= 0) return;
  --FUpdateCount;
  if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::LoadFromFile(const std::string& FileName) {
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(Stream);
}

void TStrings::SaveToFile(const std::string& FileName) const {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(Stream);
}

void TStrings::LoadFromStream(TStream& Stream) {
  std::string Data = Stream.ReadAll();
  // A UTF-8 byte order mark is not part of the text.
  if (Data.size() >= 3 && Data.compare(0, 3, "\xEF\xBB\xBF") == 0) Data.erase(0, 3);
  SetText(Data);
}

void TStrings::SaveToStream(TStream& Stream) const { Stream.WriteString(Text()); }

std::vector<std::string> TStrings::ToVector() const {
  std::vector<std::string> R;
  R.reserve(GetCount());
  for (int I = 0; I < GetCount(); ++I) R.push_back(Get(I));
  return R;
}

// ---------------------------------------------------------------------------------------------
// TStringList

TStringList::TStringList(bool OwnsObjects) : FOwnsObjects(OwnsObjects) {}

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  if (FOwnsObjects)
    for (auto& Item : FList) FreeObject(Item.FObject);
}

void TStringList::FreeObject(TObject* AObject) { delete AObject; }

void TStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(FList.size())) Error(SListIndexError, Index);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(FSender);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(FSender);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

std::string TStringList::Get(int Index) const { return StringRef(Index); }

const std::string& TStringList::StringRef(int Index) const {
  CheckIndex(Index);
  return FList[Index].FString;
}

int TStringList::GetCount() const { return static_cast<int>(FList.size()); }

TObject* TStringList::GetObject(int Index) const {
  CheckIndex(Index);
  return FList[Index].FObject;
}

void TStringList::Put(int Index, const std::string& S) {
  if (FSorted) Error(SSortedListError, 0);
  CheckIndex(Index);
  Changing();
  FList[Index].FString = S;
  Changed();
}

void TStringList::PutObject(int Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  FList[Index].FObject = AObject;
  Changed();
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
  return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

int TStringList::Add(const std::string& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const std::string& S, TObject* AObject) {
  int Result = Count();
  if (FSorted && Find(S, Result)) {
    if (FDuplicates == dupIgnore) return Result;
    if (FDuplicates == dupError) throw EStringListError(SDuplicateString);
  }
  InsertItem(Result, S, AObject);
  return Result;
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject) {
  Changing();
  FList.insert(FList.begin() + Index, TStringItem{S, AObject});
  Changed();
}

void TStringList::Insert(int Index, const std::string& S) {
  if (FSorted) Error(SSortedListError, 0);
  if (Index < 0 || Index > Count()) Error(SListIndexError, Index);
  InsertItem(Index, S, nullptr);
}

void TStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  TObject* Obj = FList[Index].FObject;
  FList.erase(FList.begin() + Index);
  if (FOwnsObjects) FreeObject(Obj);
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  std::vector<TStringItem> Old;
  Old.swap(FList);
  if (FOwnsObjects)
    for (auto& Item : Old) FreeObject(Item.FObject);
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(FList[Index1], FList[Index2]);
  Changed();
}

void TStringList::Assign(const TStrings& Source) {
  // The list keeps its own Sorted, Duplicates and CaseSensitive settings.
  TStrings::Assign(Source);
}

int TStringList::IndexOf(const std::string& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  int Index;
  return Find(S, Index) ? Index : -1;
}

bool TStringList::Find(const std::string& S, int& Index) const {
  bool Result = false;
  int L = 0, H = Count() - 1;
  while (L <= H) {
    int I = (L + H) / 2;
    int C = CompareStrings(FList[I].FString, S);
    if (C < 0) {
      L = I + 1;
    } else {
      H = I - 1;
      if (C == 0) {
        Result = true;
        if (FDuplicates != dupAccept) L = I;
      }
    }
  }
  Index = L;
  return Result;
}

void TStringList::QuickSort(int L, int R, const TStringListSortCompare& Compare) {
  int I;
  do {
    I = L;
    int J = R;
    int P = (L + R) / 2;
    do {
      while (Compare(this, I, P) < 0) ++I;
      while (Compare(this, J, P) > 0) --J;
      if (I <= J) {
        if (I != J) std::swap(FList[I], FList[J]);
        if (P == I)
          P = J;
        else if (P == J)
          P = I;
        ++I;
        --J;
      }
    } while (I <= J);
    if (L < J) QuickSort(L, J, Compare);
    L = I;
  } while (I < R);
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
  if (FSorted || Count() <= 1) return;
  Changing();
  QuickSort(0, Count() - 1, Compare);
  Changed();
}

void TStringList::Sort() {
  CustomSort([](TStringList* List, int A, int B) {
    return List->CompareStrings(List->FList[A].FString, List->FList[B].FString);
  });
}

void TStringList::SetSorted(bool Value) {
  if (FSorted == Value) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  if (FSorted) {
    // Re-sort under the new comparison so that Find stays right.
    FSorted = false;
    Sort();
    FSorted = true;
  }
}

void TStringList::SetCapacity(int Value) {
  if (Value > Count()) FList.reserve(Value);
}
