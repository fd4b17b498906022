#include "controls/mem_data.h"

#include <gtest/gtest.h>

#include "platform/typinfo.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A run-time table with the given definitions, opened.
std::unique_ptr<TVxMemoryData> MakeTable(const std::vector<std::pair<std::string, TFieldType>>& Defs,
                                         int StringSize = 10) {
  auto t = std::make_unique<TVxMemoryData>(nullptr);
  for (auto& [name, type] : Defs) t->FieldDefs()->Add(name, type, type == ftString ? StringSize : 0);
  t->Open();
  return t;
}

void AppendInt(TVxMemoryData& T, const char* Field, int V) {
  T.Append();
  T.FieldByName(Field)->SetAsInteger(V);
  T.Post();
}

// The values of one field from the first record to the last.
std::vector<std::string> Column(TVxMemoryData& T, const char* Field) {
  std::vector<std::string> out;
  T.First();
  while (!T.Eof()) {
    out.push_back(T.FieldByName(Field)->AsString());
    T.Next();
  }
  return out;
}

// The journal's table: Id, FCur, Mask, Action as persistent fields.
struct Journal {
  TComponent Owner{nullptr};
  TVxMemoryData* Table;
  TAutoIncField* Id;
  TIntegerField* FCur;
  TBlobField* Mask;
  TStringField* Action;
  Journal() {
    Table = new TVxMemoryData(&Owner);
    Id = new TAutoIncField(&Owner);
    Id->SetFieldName("Id");
    Id->SetDataSet(Table);
    FCur = new TIntegerField(&Owner);
    FCur->SetFieldName("FCur");
    FCur->SetDataSet(Table);
    Mask = new TBlobField(&Owner);
    Mask->SetFieldName("Mask");
    Mask->SetDataSet(Table);
    Action = new TStringField(&Owner);
    Action->SetFieldName("Action");
    Action->SetSize(6);
    Action->SetDataSet(Table);
    Table->Open();
  }
  void Push(int Cur, const std::string& Bytes, const std::string& Label) {
    Table->Append();
    FCur->SetAsInteger(Cur);
    std::unique_ptr<TStream> s(Table->CreateBlobStream(Mask, bmWrite));
    s->Write(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    s.reset();
    Action->SetAsString(Label);
    Table->Post();
  }
};

}  // namespace

TEST(MemData, EmptyTableOpensWithBothEndsAndNoRecords) {
  auto t = MakeTable({{"F", ftFloat}});
  EXPECT_TRUE(t->Bof());
  EXPECT_TRUE(t->Eof());
  EXPECT_EQ(t->RecordCount(), 0);
  EXPECT_EQ(t->RecNo(), 0);
  EXPECT_TRUE(t->FieldByName("F")->IsNull());
  t->Next();
  t->Prior();
  EXPECT_TRUE(t->Bof() && t->Eof());
  EXPECT_THROW(t->Delete(), EDatabaseError);
  EXPECT_FALSE(t->Locate("F", Variant(1.0), {}));
  EXPECT_THROW(t->FieldByName("F")->SetAsFloat(1), EDatabaseError);  // browse state
}

TEST(MemData, FrequencyCollectionCallSequence) {
  // Distinct values collected with locate/append/post, then sorted highest first.
  std::unique_ptr<TVxMemoryData> t(new TVxMemoryData(nullptr));
  t->FieldDefs()->Clear();
  t->FieldDefs()->Add("F", ftFloat, 0, false);
  t->Open();
  const double input[] = {0.1, 100.0, 3.3, 0.1, 1e-3, 100.0, 3.3, 0.30000000000000004, 0.3};
  for (double f : input) {
    if (!t->Locate("F", Variant(f), {})) {
      t->Append();
      t->FieldByName("F")->SetAsFloat(f);
      t->Post();
    }
  }
  t->SortByFields("F", false, true);
  t->First();
  std::vector<double> out;
  for (int i = 0, n = t->RecordCount(); i < n; ++i) {
    out.push_back(t->FieldByName("F")->AsFloat());
    t->Next();
  }
  t->Close();
  EXPECT_EQ(out, (std::vector<double>{100.0, 3.3, 0.30000000000000004, 0.3, 0.1, 1e-3}));
  // The definitions survive closing; reopening gives an empty table.
  t->Open();
  EXPECT_EQ(t->RecordCount(), 0);
  EXPECT_NE(t->FindField("F"), nullptr);
}

TEST(MemData, AppendPostCancelAndCursorFlags) {
  auto t = MakeTable({{"N", ftInteger}});
  for (int v : {1, 2, 3}) AppendInt(*t, "N", v);
  EXPECT_TRUE(t->Eof());  // posted append: on the new record, at the end
  EXPECT_EQ(t->RecNo(), 3);
  EXPECT_EQ(t->FieldByName("N")->AsInteger(), 3);

  // Appending after moving back lands after the last record; nothing is lost.
  t->First();
  AppendInt(*t, "N", 4);
  EXPECT_EQ(Column(*t, "N"), (std::vector<std::string>{"1", "2", "3", "4"}));

  // Insert goes before the current record.
  t->First();
  t->Next();
  t->Insert();
  t->FieldByName("N")->SetAsInteger(9);
  t->Post();
  EXPECT_EQ(t->RecNo(), 2);
  EXPECT_EQ(Column(*t, "N"), (std::vector<std::string>{"1", "9", "2", "3", "4"}));

  // Cancel of an append and of an edit keeps the table.
  t->Append();
  t->FieldByName("N")->SetAsInteger(7);
  t->Cancel();
  t->First();
  t->Edit();
  t->FieldByName("N")->SetAsInteger(100);
  t->Cancel();
  EXPECT_EQ(t->FieldByName("N")->AsInteger(), 1);
  EXPECT_EQ(t->RecordCount(), 5);

  // A step towards a side already reached does nothing; stepping away clears the flag.
  t->Last();
  EXPECT_TRUE(t->Eof());
  t->Next();
  EXPECT_EQ(t->FieldByName("N")->AsInteger(), 4);
  t->Prior();
  EXPECT_FALSE(t->Eof());
  EXPECT_EQ(t->FieldByName("N")->AsInteger(), 3);
  EXPECT_EQ(t->MoveBy(-10), -3);
  EXPECT_TRUE(t->Bof());
  EXPECT_EQ(t->FieldByName("N")->AsInteger(), 1);
}

TEST(MemData, DeleteAtTheEndsAndIdentifierReset) {
  auto t = MakeTable({{"N", ftInteger}});
  for (int v : {1, 2, 3}) AppendInt(*t, "N", v);
  t->Last();
  t->Delete();  // last: the cursor steps back
  EXPECT_EQ(t->FieldByName("N")->AsInteger(), 2);
  t->First();
  t->Delete();  // first: the next record moves up
  EXPECT_EQ(t->FieldByName("N")->AsInteger(), 2);
  EXPECT_EQ(t->RecordCount(), 1);
  TBookmark first = t->GetBookmark();
  t->Delete();
  EXPECT_TRUE(t->Bof() && t->Eof());
  EXPECT_EQ(t->RecordCount(), 0);
  // The identifier sequence starts again: the next record has the first bookmark again.
  AppendInt(*t, "N", 5);
  t->First();
  EXPECT_EQ(t->GetBookmark().size(), 4u);
  int32_t id;
  std::memcpy(&id, t->GetBookmark().data(), 4);
  EXPECT_EQ(id, -2147483647);
  (void)first;
}

TEST(MemData, BookmarksSurviveSortAndDelete) {
  auto t = MakeTable({{"N", ftInteger}});
  for (int v : {5, 1, 4, 2, 3}) AppendInt(*t, "N", v);
  t->First();
  t->Next();
  t->Next();  // N = 4
  TBookmark b4 = t->GetBookmark();
  t->First();
  TBookmark b5 = t->GetBookmark();
  t->SortByFields("N");
  EXPECT_EQ(Column(*t, "N"), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
  t->GotoBookmark(b4);
  EXPECT_EQ(t->FieldByName("N")->AsInteger(), 4);
  EXPECT_EQ(t->RecNo(), 4);
  EXPECT_LT(t->CompareBookmarks(b5, b4), 0);  // by creation, not by position
  EXPECT_EQ(t->CompareBookmarks(TBookmark(), b4), -1);

  t->GotoBookmark(b5);
  t->Delete();
  // A deleted record's bookmark stays valid but going there changes nothing.
  EXPECT_TRUE(t->BookmarkValid(b5));
  t->First();
  t->GotoBookmark(b5);
  EXPECT_EQ(t->FieldByName("N")->AsInteger(), 1);
  t->GotoBookmark(b4);
  EXPECT_EQ(t->FieldByName("N")->AsInteger(), 4);
  EXPECT_FALSE(t->BookmarkValid(std::string("\x00\x00\x00\x80", 4)));  // the lowest identifier
}

TEST(MemData, SortOrdersNullsTiesAndTwoKeys) {
  auto t = MakeTable({{"K", ftInteger}, {"S", ftString}});
  auto add = [&](const char* k, const char* s) {
    t->Append();
    if (k) t->FieldByName("K")->SetAsString(k);
    t->FieldByName("S")->SetAsString(s);
    t->Post();
  };
  add("2", "b1");
  add("1", "a");
  add(nullptr, "null");
  add("2", "b2");
  add("2", "B0");

  t->SortByFields("K");
  EXPECT_EQ(Column(*t, "S"), (std::vector<std::string>{"null", "a", "b1", "b2", "B0"}));
  t->SortByFields("K", false, true);  // the exact reverse: ties newest first, null last
  EXPECT_EQ(Column(*t, "S"), (std::vector<std::string>{"B0", "b2", "b1", "a", "null"}));

  t->SortByFields("K;S", true, false);
  EXPECT_EQ(Column(*t, "S"), (std::vector<std::string>{"null", "a", "B0", "b1", "b2"}));
  t->SortByFields("S", false, false);  // case-sensitive: the capital sorts differently from lower
  std::vector<std::string> cs = Column(*t, "S");
  t->SortByFields("S", true, false);
  std::vector<std::string> ci = Column(*t, "S");
  EXPECT_EQ(ci, (std::vector<std::string>{"a", "B0", "b1", "b2", "null"}));
  EXPECT_EQ(cs.size(), 5u);
  EXPECT_TRUE(t->IsIndexField(t->FieldByName("S")));
  EXPECT_FALSE(t->IsIndexField(t->FieldByName("K")));
}

TEST(MemData, SortKeyErrorsLeaveTheOrder) {
  Journal j;
  j.Push(3, "x", "a");
  j.Push(1, "y", "b");
  EXPECT_THROW(j.Table->SortByFields("Nope"), EDatabaseError);
  try {
    j.Table->SortByFields("FCur;Mask");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.Message()).find("Type mismatch for field 'Mask'"), std::string::npos);
  }
  EXPECT_EQ(Column(*j.Table, "FCur"), (std::vector<std::string>{"3", "1"}));
  EXPECT_TRUE(j.Table->IsIndexField(j.FCur));  // the keys accepted before the failing one stay
}

TEST(MemData, LocateExactPartialAndCaseInsensitive) {
  auto t = MakeTable({{"S", ftString}, {"N", ftInteger}});
  auto add = [&](const char* s, int n) {
    t->Append();
    t->FieldByName("S")->SetAsString(s);
    t->FieldByName("N")->SetAsInteger(n);
    t->Post();
  };
  add("xyz", 1);
  add("abc", 2);
  add("abd", 3);

  struct Case {
    const char* key;
    TLocateOptions opts;
    bool found;
    int n;
  } cases[] = {
      {"abc", {}, true, 2},
      {"ab", {}, false, 0},
      {"ab", {loPartialKey}, true, 2},
      {"AB", {loPartialKey}, false, 0},
      {"AB", {loPartialKey, loCaseInsensitive}, true, 2},
      {"ABD", {loCaseInsensitive}, true, 3},
      {"abcd", {loPartialKey}, false, 0},
  };
  for (const Case& c : cases) {
    t->First();  // N = 1
    EXPECT_EQ(t->Locate("S", Variant(c.key), c.opts), c.found) << c.key;
    EXPECT_EQ(t->FieldByName("N")->AsInteger(), c.found ? c.n : 1) << c.key;
  }
  // Options do not apply to other types; two keys take an array.
  EXPECT_TRUE(t->Locate("N", Variant(2), {loPartialKey, loCaseInsensitive}));
  EXPECT_FALSE(t->Locate("S;N", TVariantArray{Variant("abc"), Variant(3)}, {}));
  EXPECT_TRUE(t->Locate("S;N", TVariantArray{Variant("abd"), Variant(3)}, {}));
  EXPECT_THROW(t->Locate("Nope", Variant(1), {}), EDatabaseError);

  // A partial key that matches the current record finds it without moving to an earlier match.
  t->Last();
  EXPECT_TRUE(t->Locate("S", Variant("ab"), {loPartialKey}));
  EXPECT_EQ(t->FieldByName("N")->AsInteger(), 3);

  // A failed locate keeps the record and tells the links nothing.
  TDataSource src(nullptr);
  int changes = 0;
  src.OnDataChange = [&](TObject*, TField*) { ++changes; };
  src.SetDataSet(t.get());
  t->SetRecNo(2);
  changes = 0;
  EXPECT_FALSE(t->Locate("S", Variant("zzz"), {}));
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(t->RecNo(), 2);
  EXPECT_TRUE(t->Locate("S", Variant("xyz"), {}));
  EXPECT_EQ(changes, 1);
  src.SetDataSet(nullptr);

  // A match on the current record does not move; scroll events come around a found locate.
  int scrolls = 0;
  t->AfterScroll = [&](TDataSet*) { ++scrolls; };
  t->First();
  scrolls = 0;
  EXPECT_TRUE(t->Locate("N", Variant(1), {}));
  EXPECT_EQ(t->RecNo(), 1);
  EXPECT_EQ(scrolls, 1);
}

TEST(MemData, AutoIncCounterAcrossRemoveAndReopen) {
  Journal j;
  j.Push(0, "", "a");
  j.Push(0, "", "b");
  EXPECT_EQ(Column(*j.Table, "Id"), (std::vector<std::string>{"1", "2"}));
  j.Table->RemoveAllRecords();
  EXPECT_EQ(j.Table->RecordCount(), 0);
  EXPECT_TRUE(j.Table->Eof());
  j.Push(0, "", "c");
  EXPECT_EQ(j.Id->AsInteger(), 3);
  j.Table->Close();
  j.Table->Open();
  j.Push(0, "", "d");
  EXPECT_EQ(j.Id->AsInteger(), 1);
  // The string field keeps its size; an empty text reads back as null.
  j.Table->Edit();
  j.Action->SetAsString("longer than six");
  EXPECT_EQ(j.Action->AsString(), "longer");
  j.Action->SetAsString("");
  j.Table->Post();
  EXPECT_TRUE(j.Action->IsNull());
}

TEST(MemData, BlobsThroughStreams) {
  Journal j;
  std::string mask(14000, '\0');
  for (size_t i = 0; i < mask.size(); ++i) mask[i] = static_cast<char>(i * 7);
  j.Push(1, mask, "edit");
  j.Push(2, "short", "x");

  j.Table->First();
  {
    std::unique_ptr<TStream> s(j.Table->CreateBlobStream(j.Mask, bmRead));
    EXPECT_EQ(s->Size(), 14000);
    std::string got(20000, 'z');
    EXPECT_EQ(s->Read(got.data(), 20000), 14000);
    EXPECT_EQ(got.substr(0, 14000), mask);
    s->Seek(-10, soEnd);
    EXPECT_EQ(s->Read(got.data(), 100), 10);
    EXPECT_EQ(s->Write("a", 1), 0);  // read mode writes nothing
  }
  // Writable streams need edit or insert state.
  EXPECT_THROW(j.Table->CreateBlobStream(j.Mask, bmWrite), EDatabaseError);

  // Writing in edit changes only the buffer until posted; cancel restores the stored blob.
  j.Table->Edit();
  {
    std::unique_ptr<TStream> s(j.Table->CreateBlobStream(j.Mask, bmReadWrite));
    s->Seek(0, soEnd);
    s->Write("++", 2);
  }
  EXPECT_EQ(j.Mask->AsString().size(), 14002u);
  j.Table->Cancel();
  EXPECT_EQ(j.Mask->AsString(), mask);

  j.Table->Edit();
  j.Mask->SetAsString("new");
  j.Table->Post();
  j.Table->Next();
  EXPECT_EQ(j.Mask->AsString(), "short");
  j.Table->Prior();
  EXPECT_EQ(j.Mask->AsString(), "new");

  // A read-only blob field refuses a writable stream.
  j.Mask->SetReadOnly(true);
  j.Table->Edit();
  EXPECT_THROW(j.Table->CreateBlobStream(j.Mask, bmWrite), EDatabaseError);
  j.Table->Cancel();
}

TEST(MemData, FilterSkipsRejectedRecords) {
  auto t = MakeTable({{"N", ftInteger}});
  for (int v = 1; v <= 6; ++v) AppendInt(*t, "N", v);
  t->SetOnFilterRecord([](TDataSet* D, bool& Accept) { Accept = D->FieldByName("N")->AsInteger() % 2 == 0; });
  t->SetFiltered(true);
  EXPECT_EQ(t->FieldByName("N")->AsInteger(), 2);  // filtering goes to the first record
  EXPECT_EQ(Column(*t, "N"), (std::vector<std::string>{"2", "4", "6"}));
  EXPECT_EQ(t->RecordCount(), 6);  // the count ignores the filter
  EXPECT_FALSE(t->Locate("N", Variant(3), {}));
  EXPECT_TRUE(t->Locate("N", Variant(4), {}));
  t->Delete();  // steps back over rejected records
  EXPECT_EQ(t->FieldByName("N")->AsInteger(), 2);
  t->Last();
  t->Delete();
  EXPECT_EQ(t->FieldByName("N")->AsInteger(), 2);
  // A throwing handler does not break navigation (the record keeps the flag's value).
  t->SetOnFilterRecord([](TDataSet*, bool&) { throw EDatabaseError("boom"); });
  EXPECT_EQ(Column(*t, "N").size(), 4u);
  t->SetFiltered(false);
  EXPECT_EQ(Column(*t, "N"), (std::vector<std::string>{"1", "2", "3", "5"}));
}

TEST(MemData, RecNoReadAndWrite) {
  auto t = MakeTable({{"N", ftInteger}});
  for (int v : {10, 20, 30}) AppendInt(*t, "N", v);
  t->SetRecNo(2);
  EXPECT_EQ(t->FieldByName("N")->AsInteger(), 20);
  for (int bad : {0, 4, -1}) {
    t->SetRecNo(bad);
    EXPECT_EQ(t->RecNo(), 2);
  }
  t->Close();
  EXPECT_THROW(t->RecNo(), EDatabaseError);
}

TEST(MemData, OpeningRefusesUnknownStoredType) {
  TComponent owner(nullptr);
  auto* t = new TVxMemoryData(&owner);
  auto* f = new TBytesField(&owner);
  f->SetFieldName("Cur");
  f->SetBytesType(ftCursor);
  f->SetDisplayLabel("Cursor col");
  f->SetDataSet(t);
  try {
    t->Open();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'Cursor col' is of an unknown type");
  }
  EXPECT_FALSE(t->Active());

  TVxMemoryData r(nullptr);
  r.FieldDefs()->Add("A", ftArray);
  EXPECT_THROW(r.Open(), EDatabaseError);
  EXPECT_FALSE(r.Active());
}

TEST(MemData, ReadOnlyFieldAndCalculatedField) {
  TComponent owner(nullptr);
  auto* t = new TVxMemoryData(&owner);
  auto* n = new TIntegerField(&owner);
  n->SetFieldName("N");
  n->SetDataSet(t);
  auto* twice = new TIntegerField(&owner);
  twice->SetFieldName("Twice");
  twice->SetFieldKind(fkCalculated);
  twice->SetDataSet(t);
  t->OnCalcFields = [&](TDataSet*) { twice->SetAsInteger(n->AsInteger() * 2); };
  t->Open();
  AppendInt(*t, "N", 21);
  EXPECT_EQ(twice->AsInteger(), 42);
  n->SetReadOnly(true);
  t->Edit();
  try {
    n->SetAsInteger(1);
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'N' cannot be modified");
  }
  t->Cancel();
}

TEST(MemData, PublishesCapacityAndTheDatasetProperties) {
  TVxMemoryData t(nullptr);
  EXPECT_EQ(t.Capacity(), 0);
  for (const char* p :
       {"Capacity", "Active", "AutoCalcFields", "Filtered", "FieldDefs", "ObjectView", "BeforePost", "AfterScroll",
        "OnCalcFields", "OnDeleteError", "OnEditError", "OnFilterRecord", "OnNewRecord", "OnPostError"})
    EXPECT_TRUE(IsPublishedProp(&t, p)) << p;
  t.SetCapacity(50);
  EXPECT_GE(t.Capacity(), 50);
}
