// The lookup editor over a lookup field: the list of the lookup dataset, picking a record,
// incremental search, clearing, stepping and the close-up hook; and field-bound inspector rows
// reading and writing the fields of the current record.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/mem_data.h"
#include "inspector/testkit/inspector_rows_fixture.h"
#include "inspector/vm_date.h"
#include "inspector/vm_time_currency.h"
#include "platform/forms.h"
#include "platform/richedit.h"
#include "treelist/db_inspector_rows.h"
#include "treelist/db_lookup_edit.h"

namespace {

// Stations (the lookup dataset) and soundings (the edited dataset) whose STATION field is a
// lookup of the station name through STATION_ID.
struct TLookupFixture {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TVxMemoryData* Stations = nullptr;
  TVxMemoryData* Soundings = nullptr;
  TField* Lookup = nullptr;
  TvmInplaceLookupEdit* Edit = nullptr;

  explicit TLookupFixture(const std::vector<std::pair<int, std::string>>& Names = {
                              {1, "Alpha"}, {2, "Bravo"}, {3, "Brisk"}}) {
    Form->SetBounds(0, 0, 400, 300);
    Stations = new TVxMemoryData(Form.get());
    Stations->FieldDefs()->Add("ID", ftInteger);
    Stations->FieldDefs()->Add("NAME", ftString, 20);
    Stations->Open();
    for (auto& [id, name] : Names) {
      Stations->Append();
      Stations->FieldByName("ID")->SetAsInteger(id);
      Stations->FieldByName("NAME")->SetAsString(name);
      Stations->Post();
    }
    Soundings = new TVxMemoryData(Form.get());
    auto* id = new TIntegerField(Soundings);
    id->SetFieldName("SOUNDING");
    id->SetDataSet(Soundings);
    auto* key = new TIntegerField(Soundings);
    key->SetFieldName("STATION_ID");
    key->SetDataSet(Soundings);
    auto* lookup = new TStringField(Soundings);
    lookup->SetFieldName("STATION");
    lookup->SetSize(20);
    lookup->SetFieldKind(fkLookup);
    lookup->SetLookupDataSet(Stations);
    lookup->SetKeyFields("STATION_ID");
    lookup->SetLookupKeyFields("ID");
    lookup->SetLookupResultField("NAME");
    lookup->SetDataSet(Soundings);
    Lookup = lookup;
    Soundings->FieldDefs()->Add("SOUNDING", ftInteger);
    Soundings->FieldDefs()->Add("STATION_ID", ftInteger);
    Soundings->Open();
    Soundings->Append();
    id->SetAsInteger(100);
    key->SetAsInteger(1);
    Soundings->Post();
    Edit = new TvmInplaceLookupEdit(Form.get());
    Edit->SetParent(Form.get());
    Edit->SetBounds(10, 10, 150, 22);
    Edit->SetField(Lookup);
    Edit->SetDropDownRows(7);
    Form->Show();
    Application->ProcessMessages();
    Edit->SetEditValue(Variant(Lookup->DisplayText()));
  }
  int StationId() { return Soundings->FieldByName("STATION_ID")->AsInteger(); }
  void Type(const std::string& Text) {
    for (char c : Text) {
      char k = c;
      Edit->LookupKeyPress(k);
    }
  }
  std::string Selected() {
    std::string t = Edit->GetWindowText();
    return t.substr(static_cast<size_t>(Edit->GetSelStart()), static_cast<size_t>(Edit->GetSelLength()));
  }
};

TEST(LookupEdit, ShowsTheLookedUpTextAndPicksFromTheList) {
  TLookupFixture f;
  EXPECT_EQ(f.Lookup->DisplayText(), "Alpha");
  EXPECT_EQ(f.Edit->GetWindowText(), "Alpha");
  EXPECT_TRUE(f.Edit->CanDropDown());
  f.Edit->DropDown();
  ASSERT_TRUE(f.Edit->PopupShown());
  // Three stations and seven rows wanted: a list of three rows, the current key selected.
  TPopupDBLookupListBox* list = f.Edit->PopupList();
  EXPECT_EQ(list->RowCount, 3);
  EXPECT_EQ(list->Items()->Count(), 3);
  EXPECT_EQ(list->ItemIndex(), 0);
  list->SetItemIndex(2);
  f.Edit->CloseUp(true);
  EXPECT_EQ(f.StationId(), 3);
  EXPECT_EQ(f.Lookup->DisplayText(), "Brisk");
  EXPECT_EQ(f.Edit->GetWindowText(), "Brisk");
  // The close-up hook can refuse or replace the chosen key.
  f.Edit->LookupCloseUpHook = [](TObject*, Variant& Value, bool& Accept) {
    if (Value.AsInteger() == 1) Accept = false;
    if (Value.AsInteger() == 3) Value = Variant(2);
  };
  f.Edit->DropDown();
  f.Edit->PopupList()->SetItemIndex(0);
  f.Edit->CloseUp(true);
  EXPECT_EQ(f.StationId(), 3);
  f.Edit->DropDown();
  f.Edit->PopupList()->SetItemIndex(2);
  f.Edit->CloseUp(true);
  EXPECT_EQ(f.StationId(), 2);
  // The lookup dataset is not moved by looking up texts.
  EXPECT_TRUE(f.Stations->Active());
}

// The open list is a data-aware list of the lookup dataset: records added, changed or deleted
// behind it show at once, the row of the dataset's new current record is selected, and several
// list fields stand side by side.
TEST(LookupEdit, TheOpenListFollowsTheLookupDataSet) {
  TLookupFixture f;
  f.Edit->DropDown();
  TPopupDBLookupListBox* list = f.Edit->PopupList();
  ASSERT_EQ(list->ListSource()->DataSet(), f.Stations);
  auto rows = [&] {
    std::string s;
    for (int i = 0; i < list->RecordCount(); ++i)
      s += (i ? " " : "") + list->CellText(i, 0) + "=" + list->KeyAt(i).AsString();
    return s;
  };
  EXPECT_EQ(rows(), "Alpha=1 Bravo=2 Brisk=3");
  f.Stations->Append();
  f.Stations->FieldByName("ID")->SetAsInteger(4);
  f.Stations->FieldByName("NAME")->SetAsString("Delta");
  f.Stations->Post();
  EXPECT_EQ(rows(), "Alpha=1 Bravo=2 Brisk=3 Delta=4");
  EXPECT_EQ(list->KeyValue().AsInteger(), 4);  // the dataset went to the new record
  ASSERT_TRUE(f.Stations->Locate("ID", Variant(2), TLocateOptions()));
  EXPECT_EQ(list->ItemIndex(), 1);
  f.Stations->Edit();
  f.Stations->FieldByName("NAME")->SetAsString("Bravura");
  f.Stations->Post();
  EXPECT_EQ(list->CellText(1, 0), "Bravura");
  EXPECT_EQ(list->ItemIndex(), 1);
  f.Stations->Delete();
  EXPECT_EQ(rows(), "Alpha=1 Brisk=3 Delta=4");
  // The keys move the selection; a later change keeps the chosen row.
  uint16_t key = VK_DOWN;
  f.Edit->LookupKeyDown(key, TShiftState());
  const Variant chosen = list->KeyValue();
  ASSERT_NE(f.Stations->FieldByName("ID")->AsInteger(), chosen.AsInteger());
  f.Stations->Edit();
  f.Stations->FieldByName("NAME")->SetAsString("Changed");
  f.Stations->Post();
  EXPECT_NE(rows().find("Changed"), std::string::npos);
  EXPECT_EQ(list->KeyValue(), chosen);
  f.Edit->CloseUp(true);
  EXPECT_EQ(list->ListSource(), nullptr);
  EXPECT_EQ(f.StationId(), chosen.AsInteger());
  // Closed, the list no longer follows.
  f.Stations->Append();
  f.Stations->FieldByName("ID")->SetAsInteger(5);
  f.Stations->FieldByName("NAME")->SetAsString("Echo");
  f.Stations->Post();
  EXPECT_EQ(list->RecordCount(), 0);

  // Two list fields: both shown, each in its column, a line between them.
  f.Edit->SetListFieldName("NAME;ID");
  f.Edit->DropDown();
  ASSERT_EQ(list->ListFieldCount(), 2);
  EXPECT_EQ(list->CellText(2, 0), "Delta");
  EXPECT_EQ(list->CellText(2, 1), "4");
  list->SetItemIndex(0);
  list->Repaint();
  TBitmap shot;
  GrabControl(list, &shot);
  const TRect client = list->ClientRect();
  const std::vector<int> lefts = list->ColumnLefts(client.Width());
  ASSERT_EQ(lefts.size(), 2u);
  EXPECT_GT(lefts[1], client.Width() / 2);                    // 20 characters of name, a few of number
  const int y = list->ItemHeight() + list->ItemHeight() / 2;  // the second row, not selected
  // The shot holds the whole window; the client area starts inside the popup's border.
  const TPoint client0 = list->ClientToScreen(TPoint(0, 0));
  // A list shown as a window of its own has its bounds on the screen.
  const TPoint window0 = list->Parent() ? list->Parent()->ClientToScreen(TPoint(list->Left(), list->Top()))
                                        : TPoint(list->Left(), list->Top());
  auto pixel = [&](int X, int Y) {
    return shot.Canvas()->Pixels(X + client0.X - window0.X, Y + client0.Y - window0.Y);
  };
  bool line = false;  // within a pixel or two of the boundary
  for (int x = lefts[1] - 3; x <= lefts[1] + 1 && !line; ++x) line = pixel(x, y) == ColorToRGB(clBtnFace);
  EXPECT_TRUE(line);
  EXPECT_EQ(pixel(lefts[1] - 12, y), ColorToRGB(clWindow));
  bool inked = false;
  for (int x = lefts[1] + 1; x < client.Width() && !inked; ++x)
    for (int yy = list->ItemHeight(); yy < 2 * list->ItemHeight() && !inked; ++yy)
      inked = pixel(x, yy) != ColorToRGB(clWindow) && pixel(x, yy) != ColorToRGB(clBtnFace);
  EXPECT_TRUE(inked);  // the second row's key is drawn in the second column
  f.Edit->CloseUp(false);
}

TEST(LookupEdit, AnEmptyLookupDataSetKeepsTheRowsWanted) {
  TLookupFixture f(std::vector<std::pair<int, std::string>>{});
  f.Edit->DropDown();
  EXPECT_EQ(f.Edit->PopupList()->RowCount, 7);
  f.Edit->CloseUp(false);
}

TEST(LookupEdit, IncrementalSearchCompletesAndWritesTheKey) {
  TLookupFixture f;
  // "b" matches Bravo (letter case ignored): the tail is selected and the key written.
  f.Type("b");
  EXPECT_EQ(f.Edit->GetWindowText(), "Bravo");
  EXPECT_EQ(f.Selected(), "ravo");
  EXPECT_EQ(f.StationId(), 2);
  f.Type("ri");
  EXPECT_EQ(f.Edit->GetWindowText(), "Brisk");
  EXPECT_EQ(f.StationId(), 3);
  // A character that matches nothing leaves the previous match and prefix.
  f.Type("z");
  EXPECT_EQ(f.Edit->GetWindowText(), "Brisk");
  EXPECT_EQ(f.Edit->TypedPrefix(), "bri");
  EXPECT_EQ(f.StationId(), 3);
  // Backspace shortens the prefix and searches again.
  f.Type("\b");
  EXPECT_EQ(f.Edit->TypedPrefix(), "br");
  EXPECT_EQ(f.Edit->GetWindowText(), "Bravo");
  // Escape ends the search; a first character that matches nothing restores the text.
  uint16_t esc = VK_ESCAPE;
  f.Edit->LookupKeyDown(esc, TShiftState());
  EXPECT_FALSE(f.Edit->SearchRunning());
  f.Type("q");
  EXPECT_FALSE(f.Edit->SearchRunning());
  EXPECT_EQ(f.Edit->GetWindowText(), "Bravo");
}

TEST(LookupEdit, ClearingSteppingAndReadOnly) {
  TLookupFixture f;
  // Delete over the whole text clears the key only with CanDeleteText.
  f.Edit->SelectAll();
  uint16_t del = VK_DELETE;
  f.Edit->LookupKeyDown(del, TShiftState());
  EXPECT_EQ(f.StationId(), 1);
  f.Edit->SetCanDeleteText(true);
  f.Edit->SelectAll();
  del = VK_DELETE;
  f.Edit->LookupKeyDown(del, TShiftState());
  EXPECT_TRUE(f.Soundings->FieldByName("STATION_ID")->IsNull());
  EXPECT_EQ(f.Edit->GetWindowText(), "");
  // The clear shortcut.
  f.Type("a");
  EXPECT_EQ(f.StationId(), 1);
  f.Edit->SetClearKey(ShortCut('D', TShiftState({ssCtrl})));
  uint16_t d = 'D';
  f.Edit->LookupKeyDown(d, TShiftState({ssCtrl}));
  EXPECT_TRUE(f.Soundings->FieldByName("STATION_ID")->IsNull());
  // Stepping through the lookup dataset.
  f.Type("a");
  f.Edit->StepValue(1, false);
  EXPECT_EQ(f.StationId(), 2);
  f.Edit->StepValue(1, false);
  f.Edit->StepValue(1, true);
  EXPECT_EQ(f.StationId(), 1);  // wrapped
  // A key field that cannot be modified: no drop-down, no search.
  f.Soundings->Post();
  f.Soundings->FieldByName("STATION_ID")->SetReadOnly(true);
  EXPECT_FALSE(f.Edit->SetLookupValue(Variant(2)));
  f.Type("b");
  EXPECT_EQ(f.StationId(), 1);
  f.Edit->SetReadOnly(true);
  EXPECT_FALSE(f.Edit->CanDropDown());
}

// ---------------------------------------------------------------------------------------------
// Field-bound rows.

struct TRowsFixture : TInspectorRowsFixture<TvmDBInspector> {
  TVxMemoryData* Table = nullptr;
  TDataSource* Source = nullptr;
  TRowsFixture() {
    Form->SetBounds(0, 0, 420, 400);
    Table = new TVxMemoryData(Form.get());
    Table->FieldDefs()->Add("NAME", ftString, 30);
    Table->FieldDefs()->Add("COUNT", ftInteger);
    Table->FieldDefs()->Add("WHEN", ftDateTime);
    Table->FieldDefs()->Add("NOTE", ftMemo);
    Table->Open();
    Table->Append();
    Table->FieldByName("NAME")->SetAsString("first");
    Table->FieldByName("COUNT")->SetAsInteger(5);
    Table->FieldByName("WHEN")->SetAsDateTime(45000.25);
    Table->Post();
    Table->Append();
    Table->FieldByName("NAME")->SetAsString("second");
    Table->Post();
    Table->First();
    Source = new TDataSource(Form.get());
    Source->SetDataSet(Table);
    Insp = new TvmDBInspector(Form.get());
    Insp->SetParent(Form.get());
    Insp->SetBounds(0, 0, 400, 380);
    Insp->SetDataSource(Source);
    Form->Show();
    Application->ProcessMessages();
  }
  template <class R>
  R* Add(const std::string& Field) {
    R* r = Insp->CreateRow<R>();
    r->SetFieldName(Field);
    return r;
  }
};

TEST(FieldBoundRows, ReadAndWriteTheFieldsOfTheCurrentRecord) {
  TRowsFixture f;
  auto* name = f.Add<TvmInspectorDBMaskRow>("NAME");
  auto* count = f.Add<TvmInspectorDBSpinRow>("COUNT");
  auto* when = f.Add<TvmInspectorDBDateRow>("WHEN");
  auto* time = f.Add<TvmInspectorDBTimeRow>("WHEN");
  auto* note = f.Add<TvmInspectorDBMemoRow>("NOTE");
  // Dataset -> rows.
  EXPECT_EQ(name->DisplayText(), "first");
  EXPECT_EQ(count->EditText(), "5");
  EXPECT_EQ(time->EditText(), "06:00:00");
  EXPECT_EQ(name->GetCaption(), "NAME");
  EXPECT_EQ(name->GetMaxLength(), 30);
  EXPECT_EQ(count->GetMaxLength(), 0);
  f.Table->Next();
  EXPECT_EQ(name->DisplayText(), "second");
  EXPECT_EQ(count->EditText(), "");
  // Rows -> dataset, through their editors.
  TvmInplaceEdit* e = f.Open(name);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->GetWindowText(), "second");
  e->SetWindowText("renamed");
  e->SetModifiedFlag(true);
  f.Leave();
  EXPECT_EQ(f.Table->FieldByName("NAME")->AsString(), "renamed");
  f.Table->Post();
  // A date row on a null field loads the null date; a date written through it lands in the field.
  auto* de = dynamic_cast<TvmInplaceDateEdit*>(f.Open(when));
  ASSERT_NE(de, nullptr);
  EXPECT_EQ(de->Date(), NullDate);
  de->SetDate(45100);
  de->SetModifiedFlag(true);
  f.Leave();
  EXPECT_DOUBLE_EQ(f.Table->FieldByName("WHEN")->AsFloat(), 45100);
  f.Table->Post();
  // A time row keeps the record's date.
  f.Table->First();
  f.Table->Edit();
  f.Table->FieldByName("WHEN")->SetAsDateTime(45000.25);
  f.Table->Post();
  auto* te = dynamic_cast<TvmInplaceTimeEdit*>(f.Open(time));
  ASSERT_NE(te, nullptr);
  EXPECT_DOUBLE_EQ(te->Time(), 0.25);
  te->SetTime(0.5);
  te->SetModifiedFlag(true);
  f.Leave();
  EXPECT_DOUBLE_EQ(f.Table->FieldByName("WHEN")->AsFloat(), 45000.5);
  f.Table->Post();
  // The memo row writes the field's string value.
  note->SetEditText("two\nlines");
  EXPECT_EQ(f.Table->FieldByName("NOTE")->AsString(), "two\nlines");
  f.Table->Post();
}

TEST(FieldBoundRows, ReadOnlyModifiabilityAndUnboundRows) {
  TRowsFixture f;
  auto* name = f.Add<TvmInspectorDBRow>("NAME");
  auto* missing = f.Add<TvmInspectorDBRow>("MISSING");
  EXPECT_TRUE(name->CanModify());
  f.Table->FieldByName("NAME")->SetReadOnly(true);
  EXPECT_TRUE(name->GetReadOnly());
  EXPECT_FALSE(name->CanModify());
  // A row without a field: empty value, caption by name, no modification.
  EXPECT_EQ(missing->DisplayText(), "");
  EXPECT_EQ(missing->GetCaption(), "MISSING");
  EXPECT_FALSE(missing->CanModify());
  // In an inspector without a data link the rows have no field.
  auto* plain = new TvmInspector(f.Form.get());
  auto* r = plain->CreateRow<TvmInspectorDBRow>();
  r->SetFieldName("NAME");
  EXPECT_EQ(r->GetField(), nullptr);
  EXPECT_EQ(r->DisplayText(), "");
  // Closing the dataset empties the rows.
  auto* count = f.Add<TvmInspectorDBRow>("COUNT");
  f.Table->Close();
  EXPECT_EQ(count->DisplayText(), "");
}

TEST(FieldBoundRows, DefaultRowClassesByFieldType) {
  RegisterDBInspectorRows();
  struct TCase {
    TFieldType Type;
    TvmInspectorRowClass Class;
  };
  const std::vector<TCase> cases = {
      {ftBoolean, TvmInspectorDBCheckRow::StaticClass()}, {ftCurrency, TvmInspectorDBCurrencyRow::StaticClass()},
      {ftDate, TvmInspectorDBDateRow::StaticClass()},     {ftTime, TvmInspectorDBTimeRow::StaticClass()},
      {ftBlob, TvmInspectorBlobRow::StaticClass()},       {ftMemo, TvmInspectorDBMemoRow::StaticClass()},
      {ftString, TvmInspectorDBMaskRow::StaticClass()},   {ftUnknown, TvmInspectorDBMaskRow::StaticClass()},
  };
  for (const TCase& c : cases) EXPECT_EQ(DefaultRowClassEntry(c.Type, false).RowClass, c.Class) << c.Type;
  EXPECT_EQ(DefaultRowClassEntry(ftString, true).RowClass, TvmInspectorLookupRow::StaticClass());
  ResetDefaultRowClasses();
  EXPECT_EQ(DefaultRowClassEntry(ftUnknown, false).RowClass, nullptr);
  EXPECT_EQ(DefaultRowClassEntry(ftBoolean, false).RowClass, TvmInspectorDBRow::StaticClass());
  EXPECT_EQ(DefaultRowClassEntry(ftString, true).RowClass, nullptr);
}

TEST(FieldBoundRows, TheLookupRowEditsTheKeyThroughTheLookupEditor) {
  TLookupFixture lf;
  auto* src = new TDataSource(lf.Form.get());
  src->SetDataSet(lf.Soundings);
  auto* insp = new TvmDBInspector(lf.Form.get());
  insp->SetParent(lf.Form.get());
  insp->SetBounds(0, 40, 380, 200);
  insp->SetDataSource(src);
  auto* row = insp->CreateRow<TvmInspectorLookupRow>();
  row->SetFieldName("STATION");
  row->CanDeleteText = true;
  EXPECT_EQ(row->DisplayText(), "Alpha");
  // The lookup field cannot be modified itself, but its key field can.
  EXPECT_TRUE(row->CanModify());
  insp->SetFocus();
  insp->SetFocusedNode(row->Node());
  insp->ShowEditor(true, false);
  auto* e = dynamic_cast<TvmInplaceLookupEdit*>(insp->Editor());
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Field(), row->GetField());
  EXPECT_TRUE(e->CanDeleteText());
  for (char c : std::string("bri")) {
    char k = c;
    e->LookupKeyPress(k);
  }
  EXPECT_EQ(lf.StationId(), 3);
  EXPECT_EQ(row->DisplayText(), "Brisk");
}

}  // namespace
