#include "platform/dataset.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A small dataset over an array of records, just enough storage for the framework's rules.
// Each stored field takes a presence byte and its value bytes; the buffer ends with the
// record's identifier (4 bytes) and the bookmark flag.
class TArrayDataSet : public TDataSet {
public:
  explicit TArrayDataSet(TComponent* AOwner) : TDataSet(AOwner) {}
  ~TArrayDataSet() override {
    if (Active()) Close();
  }

  struct Rec {
    int32_t id;
    std::vector<uint8_t> data;
  };
  std::vector<Rec> Rows;
  int Cursor = -1;
  int32_t NextID = 1;
  int FailPosts = 0;  // posts that fail before storing

  bool GetFieldData(TField* Field, void* Buffer) override {
    TRecordBuffer b = Buf();
    if (!b) return false;
    const uint8_t* p = b + Offset(Field);
    if (!p[0]) return false;
    if (Buffer) std::memcpy(Buffer, p + 1, static_cast<size_t>(Field->DataSize()));
    return true;
  }
  void SetFieldData(TField* Field, const void* Buffer) override {
    if (State() != dsEdit && State() != dsInsert) DatabaseError(SNotEditing);
    if (Field->ReadOnly()) DatabaseErrorFmt(SFieldReadOnly, Field->DisplayName());
    Field->Validate(Buffer);
    uint8_t* p = Buf() + Offset(Field);
    p[0] = Buffer != nullptr;
    std::memset(p + 1, 0, static_cast<size_t>(Field->DataSize()));
    if (Buffer) std::memcpy(p + 1, Buffer, static_cast<size_t>(Field->DataSize()));
    DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
  }
  int RecordCount() override { return static_cast<int>(Rows.size()); }

protected:
  TRecordBuffer Buf() { return State() == dsFilter ? TempBuffer() : ActiveBuffer(); }
  int Offset(TField* Field) {
    int o = 0;
    for (int i = 0; i < Fields().Count() && Fields()[i] != Field; ++i) o += Fields()[i]->DataSize() + 1;
    return o;
  }
  int Size() { return FSize; }
  TRecordBuffer AllocRecordBuffer() override { return new uint8_t[static_cast<size_t>(FSize + 5)](); }
  void FreeRecordBuffer(TRecordBuffer& Buffer) override {
    delete[] Buffer;
    Buffer = nullptr;
  }
  bool Accepted() {
    if (!Filtered() || !OnFilterRecord()) return true;
    TDataSetState old = SetTempState(dsFilter);
    std::memcpy(TempBuffer(), Rows[static_cast<size_t>(Cursor)].data.data(), static_cast<size_t>(FSize));
    bool accept = true;
    OnFilterRecord()(this, accept);
    RestoreState(old);
    return accept;
  }
  TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool) override {
    int n = static_cast<int>(Rows.size());
    int c = Cursor;
    for (;;) {
      if (GetMode == gmNext) {
        if (c >= n - 1) return grEOF;
        ++c;
      } else if (GetMode == gmPrior) {
        if (c <= 0) {
          Cursor = -1;
          return grBOF;
        }
        --c;
      } else if (c < 0 || c >= n) {
        return grError;
      }
      Cursor = c;
      if (Accepted()) break;
      if (GetMode == gmCurrent) return grError;
    }
    std::memcpy(Buffer, Rows[static_cast<size_t>(c)].data.data(), static_cast<size_t>(FSize));
    std::memcpy(Buffer + FSize, &Rows[static_cast<size_t>(c)].id, 4);
    Buffer[FSize + 4] = bfCurrent;
    return grOK;
  }
  int GetRecordSize() override { return FSize; }
  void InternalOpen() override {
    if (HasPersistentFields())
      InitFieldDefsFromFields();
    else
      CreateFields();
    BindFields(true);
    FSize = 0;
    for (int i = 0; i < Fields().Count(); ++i) FSize += Fields()[i]->DataSize() + 1;
    SetBookmarkSize(4);
    Cursor = -1;
    FOpen = true;
  }
  void InternalClose() override {
    if (DefaultFields()) DestroyFields();
    FOpen = false;
  }
  bool IsCursorOpen() override { return FOpen; }
  void InternalInitFieldDefs() override {}
  void InternalFirst() override { Cursor = -1; }
  void InternalLast() override { Cursor = static_cast<int>(Rows.size()); }
  void InternalAddRecord(TRecordBuffer, bool) override {}
  void InternalDelete() override {
    Rows.erase(Rows.begin() + Cursor);
    if (Cursor >= static_cast<int>(Rows.size())) --Cursor;
  }
  void InternalPost() override {
    if (FailPosts > 0) {
      --FailPosts;
      DatabaseError("storage full");
    }
    TRecordBuffer b = ActiveBuffer();
    if (State() == dsEdit) {
      std::memcpy(Rows[static_cast<size_t>(Cursor)].data.data(), b, static_cast<size_t>(FSize));
      return;
    }
    Rec r{NextID++, std::vector<uint8_t>(b, b + FSize)};
    if (Cursor >= static_cast<int>(Rows.size())) {
      Rows.push_back(r);
      Cursor = static_cast<int>(Rows.size()) - 1;
    } else {
      Cursor = std::max(Cursor, 0);
      Rows.insert(Rows.begin() + Cursor, r);
    }
  }
  void InternalInitRecord(TRecordBuffer Buffer) override { std::memset(Buffer, 0, static_cast<size_t>(FSize + 5)); }
  void InternalSetToRecord(TRecordBuffer Buffer) override { InternalGotoBookmark(Buffer + FSize); }
  void InternalGotoBookmark(const void* Bookmark) override {
    int32_t id;
    std::memcpy(&id, Bookmark, 4);
    for (size_t i = 0; i < Rows.size(); ++i)
      if (Rows[i].id == id) Cursor = static_cast<int>(i);
  }
  void GetBookmarkData(TRecordBuffer Buffer, void* Data) override { std::memcpy(Data, Buffer + FSize, 4); }
  void SetBookmarkData(TRecordBuffer Buffer, const void* Data) override { std::memcpy(Buffer + FSize, Data, 4); }
  TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override { return static_cast<TBookmarkFlag>(Buffer[FSize + 4]); }
  void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override {
    Buffer[FSize + 4] = static_cast<uint8_t>(Value);
  }

private:
  int FSize = 0;
  bool FOpen = false;
};

std::unique_ptr<TArrayDataSet> MakeSet() {
  auto d = std::make_unique<TArrayDataSet>(nullptr);
  d->FieldDefs()->Add("N", ftInteger);
  d->FieldDefs()->Add("S", ftString, 8);
  d->FieldDefs()->Add("F", ftFloat);
  d->FieldDefs()->Add("B", ftBoolean);
  d->Open();
  return d;
}

void Add(TDataSet& D, int N) {
  D.Append();
  D.FieldByName("N")->SetAsInteger(N);
  D.Post();
}

// Records the notifications a link receives.
class TLogLink : public TDataLink {
public:
  std::vector<std::string> Log;

protected:
  void ActiveChanged() override { Log.push_back(Active() ? "active" : "inactive"); }
  void EditingChanged() override { Log.push_back(Editing() ? "editing" : "browsing"); }
  void DataSetChanged() override { Log.push_back("changed"); }
  void DataSetScrolled(int Distance) override { Log.push_back("scrolled " + std::to_string(Distance)); }
  void RecordChanged(TField* Field) override {
    Log.push_back("record " + (Field ? Field->FieldName() : std::string("-")));
  }
  void UpdateData() override { Log.push_back("update"); }
};

}  // namespace

TEST(DataSet, CursorFlagsAndSteps) {
  auto d = MakeSet();
  EXPECT_TRUE(d->Bof() && d->Eof());
  EXPECT_EQ(d->MoveBy(1), 0);
  for (int n = 1; n <= 4; ++n) Add(*d, n);
  EXPECT_TRUE(d->Eof());
  EXPECT_FALSE(d->Bof());

  d->First();
  EXPECT_TRUE(d->Bof());
  EXPECT_FALSE(d->Eof());
  EXPECT_EQ(d->MoveBy(2), 2);
  EXPECT_FALSE(d->Bof());
  EXPECT_EQ(d->FieldByName("N")->AsInteger(), 3);
  EXPECT_EQ(d->MoveBy(5), 1);  // stops at the end, on the last record
  EXPECT_TRUE(d->Eof());
  EXPECT_EQ(d->FieldByName("N")->AsInteger(), 4);
  d->Next();  // already at the end: nothing happens
  EXPECT_EQ(d->FieldByName("N")->AsInteger(), 4);
  d->Prior();
  EXPECT_FALSE(d->Eof());
  d->Last();
  EXPECT_TRUE(d->Eof());
  EXPECT_FALSE(d->Bof());
}

TEST(DataSet, StatesAndEditingRules) {
  auto d = MakeSet();
  EXPECT_EQ(d->State(), dsBrowse);
  TField* n = d->FieldByName("N");
  EXPECT_THROW(n->SetAsInteger(1), EDatabaseError);  // browse
  d->Edit();                                         // no record: becomes an insert
  EXPECT_EQ(d->State(), dsInsert);
  n->SetAsInteger(7);
  EXPECT_TRUE(d->Modified());
  d->Post();
  EXPECT_EQ(d->State(), dsBrowse);
  EXPECT_FALSE(d->Modified());

  // Moving away from a modified record posts it; from an unmodified one cancels.
  d->Edit();
  n->SetAsInteger(8);
  d->First();
  EXPECT_EQ(d->Rows[0].data[1], 8);
  d->Append();
  d->Last();
  EXPECT_EQ(d->RecordCount(), 1);

  // Closing leaves the fields of the definitions; a closed dataset refuses work.
  d->Close();
  EXPECT_EQ(d->State(), dsInactive);
  EXPECT_THROW(d->First(), EDatabaseError);
  EXPECT_THROW(d->Append(), EDatabaseError);
  EXPECT_EQ(d->FieldDefs()->Count(), 4);
  EXPECT_THROW(d->FieldDefs()->Add("n", ftInteger), EDatabaseError);
}

TEST(DataSet, EventsComeInOrder) {
  auto d = MakeSet();
  std::vector<std::string> log;
  auto ev = [&](const char* s) { return [&log, s](TDataSet*) { log.push_back(s); }; };
  d->BeforeInsert = ev("BeforeInsert");
  d->OnNewRecord = [&](TDataSet* D) {
    log.push_back("OnNewRecord");
    D->FieldByName("S")->SetAsString("new");
  };
  d->AfterInsert = ev("AfterInsert");
  d->BeforePost = ev("BeforePost");
  d->AfterPost = ev("AfterPost");
  d->BeforeScroll = ev("BeforeScroll");
  d->AfterScroll = ev("AfterScroll");
  d->BeforeDelete = ev("BeforeDelete");
  d->AfterDelete = ev("AfterDelete");
  d->BeforeCancel = ev("BeforeCancel");
  d->AfterCancel = ev("AfterCancel");
  d->Append();
  EXPECT_EQ(d->FieldByName("S")->AsString(), "new");
  EXPECT_FALSE(d->Modified());  // defaults from OnNewRecord do not count as changes
  d->Post();
  d->Edit();
  d->Cancel();
  d->Delete();
  EXPECT_EQ(log, (std::vector<std::string>{"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll",
                                           "BeforePost", "AfterPost", "BeforeCancel", "AfterCancel", "BeforeDelete",
                                           "BeforeScroll", "AfterDelete", "AfterScroll"}));
}

TEST(DataSet, PostErrorsRequiredFieldsAndRetry) {
  TComponent owner(nullptr);
  auto* d = new TArrayDataSet(&owner);
  auto* n = new TIntegerField(&owner);
  n->SetFieldName("N");
  n->SetDisplayLabel("Number");
  n->SetRequired(true);
  n->SetDataSet(d);
  d->Open();
  d->Append();
  try {
    d->Post();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'Number' must have a value");
  }
  EXPECT_EQ(d->State(), dsInsert);
  d->Cancel();
  EXPECT_EQ(d->RecordCount(), 0);

  // A post error handler may retry the storage's post, or abort silently.
  n->SetRequired(false);
  int calls = 0;
  d->FailPosts = 2;
  d->OnPostError = [&](TDataSet*, EDatabaseError& E, TDataAction& Action) {
    EXPECT_EQ(E.Message(), "storage full");
    ++calls;
    Action = daRetry;
  };
  d->Append();
  n->SetAsInteger(5);
  d->Post();
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(d->RecordCount(), 1);
  d->FailPosts = 1;
  d->OnPostError = [&](TDataSet*, EDatabaseError&, TDataAction& Action) { Action = daAbort; };
  d->Append();
  EXPECT_THROW(d->Post(), EAbort);
  EXPECT_EQ(d->State(), dsInsert);
  d->Cancel();
  EXPECT_EQ(d->RecordCount(), 1);
}

TEST(DataSet, FieldConversionsAndText) {
  auto d = MakeSet();
  d->Append();
  TField* n = d->FieldByName("N");
  TField* s = d->FieldByName("S");
  TField* f = d->FieldByName("F");
  TField* b = d->FieldByName("B");
  EXPECT_TRUE(n->IsNull() && s->IsNull() && f->IsNull() && b->IsNull());
  EXPECT_EQ(n->AsString(), "");
  n->SetAsString("42");
  f->SetAsString("2.5");
  s->SetAsString("a long text");  // cut to the size
  b->SetAsBoolean(true);
  EXPECT_EQ(n->AsFloat(), 42.0);
  EXPECT_EQ(f->AsString(), "2.5");
  EXPECT_EQ(f->AsInteger(), 2);  // rounded half to even
  EXPECT_EQ(s->AsString(), "a long t");
  s->SetAsString("abc\xD0\x96\xD0\x96\xD0\x96");  // "abc" and three two-byte letters in 8 bytes
  EXPECT_EQ(s->AsString(), "abc\xD0\x96\xD0\x96");
  EXPECT_EQ(b->AsString(), "True");
  EXPECT_THROW(n->SetAsString("x1"), EConvertError);
  EXPECT_THROW(f->SetAsString("1,5"), EConvertError);
  EXPECT_THROW(b->GetAsDateTime(), EDatabaseError);
  EXPECT_TRUE(n->Value() == Variant(42));
  EXPECT_TRUE(f->Value() == Variant(2.5));
  n->Clear();
  EXPECT_TRUE(n->IsNull());
  EXPECT_TRUE(n->Value().IsNull());

  n->OnGetText = [](TField* F, std::string& T, bool Display) { T = Display ? "#" + F->AsString() : "raw"; };
  n->OnSetText = [](TField* F, const std::string& T) { F->SetAsInteger(static_cast<int32_t>(T.size())); };
  n->SetText("abc");
  EXPECT_EQ(n->AsInteger(), 3);
  EXPECT_EQ(n->DisplayText(), "#3");
  EXPECT_EQ(n->Text(), "raw");
  EXPECT_EQ(s->DisplayName(), "S");
  s->SetDisplayLabel("Label");
  EXPECT_EQ(s->DisplayName(), "Label");
  s->SetReadOnly(true);
  EXPECT_THROW(s->SetAsString("z"), EDatabaseError);
  d->Cancel();
  EXPECT_THROW(d->FieldByName("Nope"), EDatabaseError);
}

TEST(DataSet, BookmarksAndFilter) {
  auto d = MakeSet();
  for (int n = 1; n <= 5; ++n) Add(*d, n);
  d->First();
  d->Next();
  TBookmark b2 = d->GetBookmark();
  d->Last();
  d->GotoBookmark(b2);
  EXPECT_EQ(d->FieldByName("N")->AsInteger(), 2);
  d->Append();
  EXPECT_TRUE(d->GetBookmark().empty());  // an unposted row has no bookmark
  d->Cancel();

  d->SetOnFilterRecord([](TDataSet* D, bool& Accept) { Accept = D->FieldByName("N")->AsInteger() > 3; });
  d->SetFiltered(true);
  d->First();
  EXPECT_EQ(d->FieldByName("N")->AsInteger(), 4);
  d->Next();
  d->Next();
  EXPECT_TRUE(d->Eof());
  EXPECT_EQ(d->FieldByName("N")->AsInteger(), 5);
}

TEST(DataSet, SourcesAndLinksHearStateDataAndUpdates) {
  auto d = MakeSet();
  TDataSource src(nullptr);
  std::vector<std::string> states;
  std::vector<std::string> changes;
  int updates = 0;
  src.OnStateChange = [&](TObject*) { states.push_back(std::to_string(src.State())); };
  src.OnDataChange = [&](TObject*, TField* F) { changes.push_back(F ? F->FieldName() : "-"); };
  src.OnUpdateData = [&](TObject*) { ++updates; };
  TLogLink link;
  link.SetDataSource(&src);
  src.SetDataSet(d.get());
  EXPECT_EQ(link.Log, (std::vector<std::string>{"active"}));
  EXPECT_EQ(states, (std::vector<std::string>{std::to_string(dsBrowse)}));

  link.Log.clear();
  d->Append();
  d->FieldByName("N")->SetAsInteger(1);
  d->Post();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"editing", "changed", "record N", "update", "browsing", "changed"}));
  EXPECT_EQ(updates, 1);
  EXPECT_EQ(changes, (std::vector<std::string>{"-", "N", "-"}));
  EXPECT_EQ(states.back(), std::to_string(dsBrowse));

  Add(*d, 2);
  d->First();
  link.Log.clear();
  d->Next();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"scrolled 1"}));

  // While controls are disabled nothing is heard; enabling sends one change.
  link.Log.clear();
  d->DisableControls();
  d->First();
  d->Next();
  d->Edit();
  d->Cancel();
  EXPECT_TRUE(link.Log.empty());
  d->EnableControls();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"changed"}));

  // A link can start editing through an auto-edit source.
  link.Log.clear();
  EXPECT_TRUE(link.Edit());
  EXPECT_EQ(d->State(), dsEdit);
  d->Cancel();

  d->Close();
  EXPECT_FALSE(link.Active());
  d.reset();  // the source forgets a freed dataset
  EXPECT_EQ(src.DataSet(), nullptr);
}
