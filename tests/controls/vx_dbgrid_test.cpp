// The data grid on an in-memory table: the dataset's record window, keys and mouse that move,
// select, edit, insert, append and delete, glyph fields, the column layout in the settings file,
// and the pixels of the current row.
#include "controls/vx_dbgrid.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/form_storage.h"
#include "controls/mem_data.h"
#include "platform/forms.h"
#include "platform/inifiles.h"
#include "platform/testkit/temp_folder.h"

namespace {

// A table of N records with N = 1..Count in "Id" and "Row n" in "Name".
struct Table {
  TComponent Owner{nullptr};
  TVxMemoryData* Data;
  TDataSource* Source;
  explicit Table(int Count, bool WithMemo = false) {
    Data = new TVxMemoryData(&Owner);
    Data->SetName("Data1");
    Data->FieldDefs()->Add("Id", ftInteger, 0);
    Data->FieldDefs()->Add("Name", ftString, 12);
    if (WithMemo) Data->FieldDefs()->Add("Notes", ftMemo, 0);
    Data->Open();
    for (int i = 1; i <= Count; ++i) {
      Data->Append();
      Data->FieldByName("Id")->SetAsInteger(i);
      Data->FieldByName("Name")->SetAsString("Row " + std::to_string(i));
      Data->Post();
    }
    Data->First();
    Source = new TDataSource(&Owner);
    Source->SetDataSet(Data);
  }
};

class TGridForm1 : public TForm {
  VM_CLASS(TGridForm1, TForm)
public:
  explicit TGridForm1(TComponent* AOwner) : TForm(AOwner) {
    SetBounds(10, 10, 400, 300);
    Grid = new TVxDBGrid(this);
    Grid->SetName("DBGrid1");
    Grid->SetParent(this);
    Grid->SetRowsHeight(18);
    // Ten rows of 18 + 1 pixels under a 20 + 1 pixel title, inside a 2 pixel frame.
    Grid->SetBounds(0, 0, 380, 21 + 10 * 19 + 4);
  }
  TVxDBGrid* Grid;
};
VM_DEFINE_CLASS(TGridForm1)

class THistory1 : public TForm {
  VM_CLASS(THistory1, TForm)
public:
  explicit THistory1(TComponent* AOwner) : TForm(AOwner) {
    SetName("History1");
    Storage = new TFormStorage(this);
    Storage->SetIniFileName("forms.ini");
    Grid = new TVxDBGrid(this);
    Grid->SetName("DBGrid1");
    Grid->SetParent(this);
    Grid->SetIniStorage(Storage);
    for (auto [name, width] : {std::pair{"Id", 28}, {"FCur", 37}, {"Action", 64}}) {
      TColumn* c = Grid->Columns()->Add();
      c->SetFieldName(name);
      c->SetWidth(width);
    }
  }
  TFormStorage* Storage;
  TVxDBGrid* Grid;
};
VM_DEFINE_CLASS(THistory1)

int Id(TDataSet* D) { return D->FieldByName("Id")->AsInteger(); }

// The Ids of the window's rows, as the grid reads them.
std::vector<int> WindowIds(TVxDBGrid* G) {
  std::vector<int> out;
  TDataLink* l = G->DataLink();
  const int active = l->ActiveRecord();
  for (int r = 0; r < l->RecordCount(); ++r) {
    l->SetActiveRecord(r);
    out.push_back(Id(l->DataSet()));
  }
  l->SetActiveRecord(active);
  return out;
}

std::vector<int> Range(int From, int To) {
  std::vector<int> v;
  for (int i = From; i <= To; ++i) v.push_back(i);
  return v;
}

struct Grid : testing::Test {
  Table T{1000};
  TGridForm1 Form{nullptr};
  TVxDBGrid* G = Form.Grid;
  void SetUp() override {
    G->SetDataSource(T.Source);
    Form.Show();
    G->SetFocus();
  }
  void Key(uint16_t K, TShiftState S = {}) { G->DispatchKeyDown(K, S); }
  void Type(const std::string& Text) {
    for (char c : Text) G->DispatchKeyPress(c);
  }
};

TEST_F(Grid, RecordWindowFollowsTheCurrentRecord) {
  ASSERT_EQ(G->VisibleRowCount(), 10);
  int scrolled = 0;
  G->OnTopLeftChanged = [&](TObject*) { ++scrolled; };
  EXPECT_EQ(WindowIds(G), Range(1, 10));
  EXPECT_EQ(G->DataLink()->ActiveRecord(), 0);
  for (int i = 0; i < 5; ++i) Key(VK_DOWN);
  EXPECT_EQ(G->DataLink()->ActiveRecord(), 5);  // inside the window: no scrolling
  EXPECT_EQ(WindowIds(G), Range(1, 10));
  for (int i = 0; i < 7; ++i) Key(VK_DOWN);
  EXPECT_EQ(Id(T.Data), 13);
  EXPECT_EQ(G->DataLink()->ActiveRecord(), 9);  // scrolled just enough
  EXPECT_EQ(scrolled, 3);
  EXPECT_EQ(WindowIds(G), Range(4, 13));
  Key(VK_NEXT);
  EXPECT_EQ(Id(T.Data), 23);
  EXPECT_EQ(WindowIds(G), Range(14, 23));
  Key(VK_PRIOR);
  Key(VK_UP);
  EXPECT_EQ(Id(T.Data), 12);
  EXPECT_EQ(WindowIds(G).front(), 12);
  Key(VK_END, {ssCtrl});
  EXPECT_EQ(WindowIds(G), Range(991, 1000));  // the last page is full
  EXPECT_EQ(G->DataLink()->ActiveRecord(), 9);
  Key(VK_HOME, {ssCtrl});
  EXPECT_EQ(WindowIds(G), Range(1, 10));
  // The fields read the current record again after the grid painted other rows.
  G->Repaint();
  EXPECT_EQ(Id(T.Data), 1);
}

TEST_F(Grid, ShortTableAndInsertedRow) {
  Table small(3);
  G->SetDataSource(small.Source);
  EXPECT_EQ(WindowIds(G), Range(1, 3));
  Key(VK_DOWN);
  Key(VK_INSERT);  // a new record takes the current row, the rest move down
  ASSERT_EQ(small.Data->State(), dsInsert);
  EXPECT_EQ(G->DataLink()->RecordCount(), 4);
  EXPECT_EQ(G->DataLink()->ActiveRecord(), 1);
  G->DataLink()->SetActiveRecord(2);
  EXPECT_EQ(Id(small.Data), 2);
  G->DataLink()->SetActiveRecord(1);
  Type("77");
  Key(VK_RIGHT);
  Type("new");
  Key(VK_RETURN);
  Key(VK_UP);  // leaving the row posts it
  EXPECT_EQ(small.Data->State(), dsBrowse);
  EXPECT_EQ(small.Data->RecordCount(), 4);
  EXPECT_EQ(WindowIds(G), (std::vector<int>{1, 77, 2, 3}));
  small.Data->Locate("Id", Variant(77), {});
  EXPECT_EQ(small.Data->FieldByName("Name")->AsString(), "new");
  G->SetDataSource(nullptr);
}

TEST_F(Grid, EditWithKeysAndCancelWithEscape) {
  Type("5");
  Key(VK_RETURN);
  EXPECT_EQ(T.Data->State(), dsEdit);
  Key(VK_DOWN);  // posts
  T.Data->First();
  EXPECT_EQ(Id(T.Data), 5);
  Key(VK_TAB);  // without dgTabs the grid leaves Tab to the form
  EXPECT_EQ(G->SelectedIndex(), 0);
  G->SetOptions(G->Options() + TDBGridOptions{dgTabs});
  Key(VK_TAB);
  EXPECT_EQ(G->SelectedIndex(), 1);
  Key(VK_LEFT);
  Key(VK_RIGHT);
  Type("zz");
  EXPECT_TRUE(G->EditorMode());
  EXPECT_EQ(G->EditorText(), "zz");
  Key(VK_ESCAPE);  // the editor's text goes
  EXPECT_FALSE(G->EditorMode());
  EXPECT_EQ(T.Data->FieldByName("Name")->AsString(), "Row 1");
  G->SetReadOnly(true);
  Type("q");
  EXPECT_FALSE(G->EditorMode());
}

TEST_F(Grid, AutoAppendOnDownPastTheLastRecord) {
  Key(VK_END, {ssCtrl});
  Key(VK_DOWN);
  EXPECT_EQ(T.Data->State(), dsInsert);
  EXPECT_EQ(G->DataLink()->ActiveRecord(), 9);  // the new row is the last one shown
  Key(VK_UP);                                   // an untouched new record is dropped
  EXPECT_EQ(T.Data->State(), dsBrowse);
  EXPECT_EQ(T.Data->RecordCount(), 1000);
  Key(VK_DOWN);
  ASSERT_EQ(T.Data->State(), dsInsert);
  G->DispatchExit();  // leaving the grid drops the untouched new record
  EXPECT_EQ(T.Data->State(), dsBrowse);
  EXPECT_EQ(T.Data->RecordCount(), 1000);
  G->SetAutoAppend(false);
  Key(VK_END, {ssCtrl});
  Key(VK_DOWN);
  EXPECT_EQ(T.Data->State(), dsBrowse);
  EXPECT_EQ(Id(T.Data), 1000);
}

TEST_F(Grid, ShiftArrowsSelectRowsAndDeleteAsksFirst) {
  G->SetMultiSelect(true);
  Key(VK_DOWN);  // record 2
  for (int i = 0; i < 3; ++i) Key(VK_DOWN, {ssShift});
  EXPECT_EQ(G->SelectedCount(), 4);  // records 2 to 5
  Key(VK_UP, {ssShift});
  EXPECT_EQ(G->SelectedCount(), 3);
  EXPECT_FALSE(G->CurrentRowSelected() && Id(T.Data) == 5);
  T.Data->Locate("Id", Variant(5), {});
  EXPECT_FALSE(G->CurrentRowSelected());
  T.Data->Locate("Id", Variant(4), {});

  std::vector<std::string> asked;
  int answer = IDNO;
  SetMessageBoxHook([&](const std::string& Text, const std::string&, int) {
    asked.push_back(Text);
    return answer;
  });
  Key(VK_DELETE, {ssCtrl});
  EXPECT_EQ(T.Data->RecordCount(), 1000);
  answer = IDYES;
  Key(VK_DELETE, {ssCtrl});
  SetMessageBoxHook(nullptr);
  EXPECT_EQ(asked, (std::vector<std::string>{"Delete all selected records?", "Delete all selected records?"}));
  EXPECT_EQ(T.Data->RecordCount(), 997);
  EXPECT_EQ(G->SelectedCount(), 0);
  T.Data->First();
  T.Data->Next();
  EXPECT_EQ(Id(T.Data), 5);

  // A plain move clears the selection; one record asks the single question.
  Key(VK_DOWN, {ssShift});
  Key(VK_DOWN);
  EXPECT_EQ(G->SelectedCount(), 0);
  SetMessageBoxHook([&](const std::string& Text, const std::string&, int) {
    asked.push_back(Text);
    return IDYES;
  });
  Key(VK_DELETE, {ssCtrl});
  SetMessageBoxHook(nullptr);
  EXPECT_EQ(asked.back(), "Delete record?");
  EXPECT_EQ(T.Data->RecordCount(), 996);
}

TEST_F(Grid, MouseClicksWheelAndTitleButtons) {
  G->SetMultiSelect(true);
  TRect cell = G->CellRect(3, 1);
  ASSERT_GT(cell.Width(), 0);
  G->DispatchMouseDown(mbLeft, {}, cell.Left + 3, cell.Top + 3);
  G->DispatchMouseUp(mbLeft, {}, cell.Left + 3, cell.Top + 3);
  EXPECT_EQ(Id(T.Data), 4);
  EXPECT_EQ(G->SelectedIndex(), 1);
  EXPECT_TRUE(G->CurrentRowSelected());
  cell = G->CellRect(5, 0);
  G->DispatchMouseDown(mbLeft, {ssCtrl}, cell.Left + 3, cell.Top + 3);
  G->DispatchMouseUp(mbLeft, {ssCtrl}, cell.Left + 3, cell.Top + 3);
  EXPECT_EQ(G->SelectedCount(), 2);
  G->DispatchMouseDown(mbLeft, {ssCtrl}, cell.Left + 3, cell.Top + 3);
  EXPECT_EQ(G->SelectedCount(), 1);

  EXPECT_TRUE(G->DispatchMouseWheel({}, -120, 20, 40));
  EXPECT_EQ(Id(T.Data), 7);
  EXPECT_TRUE(G->DispatchMouseWheel({}, 120, 20, 40));
  EXPECT_EQ(Id(T.Data), 6);

  // Title buttons: refused with a beep, else a click reports the column.
  G->SetTitleButtons(true);
  std::vector<int> clicked;
  bool allow = false;
  G->OnCheckButton = [&](TObject*, int, TField*, bool& Enabled) { Enabled = allow; };
  G->OnTitleBtnClick = [&](TObject*, int Col, TField* F) {
    clicked.push_back(Col);
    EXPECT_EQ(F->FieldName(), "Name");
  };
  const TRect title = G->CellRect(0, 1);
  const int tx = title.Left + 10, ty = 5;
  G->DispatchMouseDown(mbLeft, {}, tx, ty);
  G->DispatchMouseUp(mbLeft, {}, tx, ty);
  allow = true;
  G->DispatchMouseDown(mbLeft, {}, tx, ty);
  G->DispatchMouseUp(mbLeft, {}, tx, ty);
  EXPECT_EQ(clicked, std::vector<int>{1});

  // Dragging a title edge sizes the column.
  const int edge = G->CellRect(0, 0).Right;
  G->DispatchMouseDown(mbLeft, {}, edge + 2, ty);
  G->DispatchMouseUp(mbLeft, {}, edge + 32, ty);
  EXPECT_EQ(G->Columns()->Items(0)->Width(), edge + 30 - G->CellRect(0, 0).Left);

  // Without title buttons a title dragged onto another moves its column, by either button.
  G->SetTitleButtons(false);
  for (TMouseButton b : {mbLeft, mbRight}) {
    const TRect from = G->CellRect(0, 0), to = G->CellRect(0, 1);
    G->DispatchMouseDown(b, {}, from.Left + 10, ty);
    G->DispatchMouseUp(b, {}, to.Left + 10, ty);
    EXPECT_EQ(G->Columns()->Items(1)->FieldName(), b == mbLeft ? "Id" : "Name");
  }
}

TEST_F(Grid, CurrentCellAndIndicatorPixels) {
  G->SetOptions(G->Options() + TDBGridOptions{dgAlwaysShowSelection});  // focus or not
  G->Repaint();
  const TRect cur = G->CellRect(0, 0);
  const TRect other = G->CellRect(1, 0);
  EXPECT_EQ(ControlSurfacePixel(G, cur.Right - 3, cur.Top + 3), ColorToRGB(clHighlight));
  EXPECT_EQ(ControlSurfacePixel(G, other.Right - 3, other.Top + 3), ColorToRGB(clWindow));
  // The arrow in the indicator of the current row, none on the next.
  auto dark = [&](int Row) {
    const TRect r = G->CellRect(Row, 0);
    int n = 0;
    for (int x = 0; x < 11; ++x)
      for (int y = r.Top; y < r.Bottom; ++y) n += ControlSurfacePixel(G, x, y) == 0;
    return n;
  };
  EXPECT_GT(dark(0), 4);
  EXPECT_EQ(dark(1), 0);

  // Selected rows (and only they) are drawn selected, with a mark in the indicator.
  G->SetMultiSelect(true);
  Key(VK_DOWN);
  Key(VK_DOWN, {ssShift});
  G->Repaint();
  for (int row : {0, 1, 2, 3}) {
    const TRect r = G->CellRect(row, 1);
    const bool selected = row == 1 || row == 2;
    EXPECT_EQ(ControlSurfacePixel(G, r.Right - 3, r.Top + 3), ColorToRGB(selected ? clHighlight : clWindow)) << row;
    int navy = 0;
    for (int x = 0; x < 11; ++x)
      for (int y = r.Top; y < r.Bottom; ++y) navy += ControlSurfacePixel(G, x, y) == ColorToRGB(clNavy);
    EXPECT_EQ(navy > 0, selected) << row;
  }
}

TEST(GridGlyphs, MemoFieldShowsItsGlyphAndOpensNoEditor) {
  Table t(2, true);
  TGridForm1 form(nullptr);
  TVxDBGrid* g = form.Grid;
  g->SetDataSource(t.Source);
  form.Show();
  g->SetFocus();
  TField* notes = t.Data->FieldByName("Notes");
  EXPECT_EQ(g->FieldGlyph(notes), 1);
  EXPECT_EQ(g->FieldGlyph(t.Data->FieldByName("Name")), -1);
  g->SetSelectedIndex(2);
  g->DispatchKeyPress('a');
  EXPECT_FALSE(g->EditorMode());
  g->SetShowGlyphs(false);
  EXPECT_EQ(g->FieldGlyph(notes), -1);
}

class GridLayout : public testing::Test {
protected:
  void SetUp() override {
    Profile = std::make_unique<TTempProfile>("vm_dbgrid");
    Journal = std::make_unique<TVxMemoryData>(nullptr);
    Journal->SetName("RedoUndo");
    Journal->FieldDefs()->Add("Id", ftInteger, 0);
    Journal->FieldDefs()->Add("FCur", ftInteger, 0);
    Journal->FieldDefs()->Add("Action", ftString, 20);
    Journal->Open();
    Source = std::make_unique<TDataSource>(nullptr);
    Source->SetDataSet(Journal.get());
  }
  std::string Value(const std::string& Section, const std::string& Key) {
    TIniFile ini("forms.ini");
    return ini.ReadString(Section, Key, "<none>");
  }
  void Put(const std::string& Section, const std::string& Key, const std::string& V) {
    TIniFile ini("forms.ini");
    ini.WriteString(Section, Key, V);
  }
  std::vector<std::string> Order(TVxDBGrid* G) {
    std::vector<std::string> out;
    for (int i = 0; i < G->Columns()->Count(); ++i) out.push_back(G->Columns()->Items(i)->FieldName());
    return out;
  }
  std::unique_ptr<TTempProfile> Profile;
  std::unique_ptr<TVxMemoryData> Journal;
  std::unique_ptr<TDataSource> Source;
};

TEST_F(GridLayout, ClosingWritesTheColumnsAfterErasingTheSection) {
  Put("THistory1DBGrid1", "Stale", "1");
  THistory1 form(nullptr);
  form.Grid->SetDataSource(Source.get());
  form.Show();
  form.Grid->Columns()->Items(0)->SetWidth(30);
  form.Grid->Columns()->Items(1)->SetWidth(40);
  form.Grid->Columns()->Items(2)->SetWidth(70);
  form.Close();
  EXPECT_EQ(Value("THistory1DBGrid1", "DBGrid1.Id"), "0,30,1");
  EXPECT_EQ(Value("THistory1DBGrid1", "DBGrid1.FCur"), "1,40,1");
  EXPECT_EQ(Value("THistory1DBGrid1", "DBGrid1.Action"), "2,70,1");
  EXPECT_EQ(Value("THistory1DBGrid1", "Stale"), "<none>");
}

TEST_F(GridLayout, ShowingRestoresOrderWidthAndVisibility) {
  Put("THistory1DBGrid1", "DBGrid1.Action", "0,50,1");
  Put("THistory1DBGrid1", "DBGrid1.Id", "2,28,1");
  THistory1 form(nullptr);
  form.Grid->SetDataSource(Source.get());
  form.Show();
  EXPECT_EQ(Order(form.Grid), (std::vector<std::string>{"Action", "FCur", "Id"}));
  EXPECT_EQ(form.Grid->Columns()->Items(0)->Width(), 50);
  form.Close();

  struct Case {
    const char* Stored;
    int Index, Width;
    bool Visible;
  };
  for (const Case& c : {Case{"1,80", 1, 80, true}, Case{"1,80,0", 1, 80, false}, Case{"1,80,2", 1, 80, false},
                        Case{"x,y,z", 0, 28, true}}) {
    {
      TIniFile ini("forms.ini");
      ini.EraseSection("THistory1DBGrid1");
    }
    Put("THistory1DBGrid1", "DBGrid1.Id", c.Stored);
    THistory1 f(nullptr);
    f.Grid->SetDataSource(Source.get());
    f.Show();
    TColumn* id = nullptr;
    for (int i = 0; i < 3; ++i)
      if (f.Grid->Columns()->Items(i)->FieldName() == "Id") id = f.Grid->Columns()->Items(i);
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->Index(), c.Index) << c.Stored;
    EXPECT_EQ(id->Width(), c.Width) << c.Stored;
    EXPECT_EQ(id->Visible(), c.Visible) << c.Stored;
  }
}

TEST_F(GridLayout, FieldsWithoutPersistentColumns) {
  TForm form(nullptr);
  auto* storage = new TFormStorage(&form);
  storage->SetIniFileName("forms.ini");
  storage->SetIniSection("TGrView1");
  auto* g = new TVxDBGrid(&form);
  g->SetName("Grid2");
  g->SetParent(&form);
  g->SetIniStorage(storage);
  g->SetDataSource(Source.get());
  Put("TGrView1\\RedoUndo", "RedoUndoAction", "0,33,1");
  Put("TGrView1\\RedoUndo", "RedoUndoId", "2,10,1");
  form.Show();
  EXPECT_EQ(Journal->Fields()[0]->FieldName(), "Action");
  EXPECT_EQ(Journal->FieldByName("Action")->DisplayWidth(), 33);
  EXPECT_EQ(g->Columns()->Items(0)->FieldName(), "Action");  // the grid follows the fields
  form.Close();
  EXPECT_EQ(Journal->Fields()[2]->FieldName(), "Id");
  EXPECT_EQ(Value("TGrView1\\RedoUndo", "RedoUndoId"), "2,10,1");
  EXPECT_EQ(Value("TGrView1\\RedoUndo", "RedoUndoFCur"), "1,10,1");
}

}  // namespace
