// A column's own text settings (case, password mask, length, vertical place, header picture) in
// the cells, the editor and the stream, and a band's questions about its header rows.
#include "platform/streaming.h"
#include "tl_fixture.h"

namespace {

// A column that shows its numbers with a unit, as a descendant formats its display text.
class TUnitColumn : public TvmTreeListColumn {
public:
  using TvmTreeListColumn::TvmTreeListColumn;
  void FormatDisplayText(TvmTreeListNode*, const std::string& Text, std::string& Result) override {
    Result = Text + " m";
  }
};

// The first and last rows of a rectangle that hold a dark (text) pixel.
std::pair<int, int> InkRows(TTreeListFixture& F, const TRect& R) {
  int top = -1, bottom = -1;
  for (int y = R.Top; y < R.Bottom; ++y)
    for (int x = R.Left; x < R.Right; ++x) {
      const TColor c = F.Pixel(x, y);
      if ((c & 0xFF) < 0x60 && ((c >> 8) & 0xFF) < 0x60 && ((c >> 16) & 0xFF) < 0x60) {
        if (top < 0) top = y;
        bottom = y;
        break;
      }
    }
  return {top, bottom};
}

struct TRegisterClasses {
  TRegisterClasses() { RegisterTreeListClasses(); }
  ~TRegisterClasses() { UnregisterTreeListClasses(); }
};

}  // namespace

TEST(TreeListColumnSettings, CaseMaskAndFormattingShapeTheCellsAndReachTheEditor) {
  TTreeListFixture f(3);
  auto* unit = new TUnitColumn(f.Form.get());
  unit->SetParentComponent(f.TL);
  TvmTreeListNode* n = f.TL->AddNode(nullptr, {"Pass wörd", "mixed Case", "tall", "12"});
  f.TL->Columns(0)->SetPasswordChar('*');
  f.TL->Columns(1)->SetCharCase(ecUpperCase);
  f.TL->Columns(2)->SetCharCase(ecLowerCase);
  struct Case {
    int Column;
    const char* Painted;
  } cases[] = {{0, "*********"}, {1, "MIXED CASE"}, {2, "tall"}, {3, "12 m"}};
  for (const Case& c : cases) {
    std::string text = f.TL->GetCellText(n, c.Column);
    f.TL->FormatCellPaintText(n, c.Column, text);
    EXPECT_EQ(text, c.Painted) << c.Column;
  }
  // The node keeps its own text; best fit measures it as shown.
  EXPECT_EQ(n->Strings(1), "mixed Case");
  EXPECT_EQ(f.TL->Columns(1)->GetBestFitWidth(f.TL->Canvas(), n), f.TL->Canvas()->TextWidth("MIXED CASE"));

  // MaxLength: the column's default until set.
  EXPECT_EQ(f.TL->Columns(1)->MaxLength(), 0);
  f.TL->Columns(1)->SetMaxLength(4);
  f.TL->Columns(1)->SetOEMConvert(true);
  f.TL->SetOptions(f.TL->Options() - tloRowSelect + tloEditing);
  ASSERT_TRUE(f.Focus());
  for (int column : {0, 1}) {
    f.TL->SetFocusedNode(n);
    f.TL->SetFocusedColumn(column);
    f.TL->ShowEditor();
    auto* e = dynamic_cast<TvmInplaceTextEdit*>(f.TL->InplaceEditor());
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->PasswordChar(), column == 0 ? '*' : '\0');
    EXPECT_EQ(e->CharCase(), column == 1 ? ecUpperCase : ecNormal);
    EXPECT_EQ(e->MaxLength(), column == 1 ? 4 : 0);
    EXPECT_EQ(e->OEMConvert(), column == 1);
    f.TL->CloseEditor();
  }
}

TEST(TreeListColumnSettings, VerticalPlaceAndHeaderPictureShowInThePixels) {
  TTreeListFixture f(2);
  f.TL->SetOptions(f.TL->Options() - tloRowSelect);
  f.TL->SetDefaultRowHeight(60);
  TvmTreeListNode* n = f.TL->AddNode(nullptr, {"Ag", "Ag"});
  f.TL->Columns(1)->SetVertAlignment(tlBottom);
  f.TL->SetFocusedNode(nullptr);
  f.Paint();
  TvmTreeListLayout L = f.Layout();
  const TvmTreeListRowInfo* row = f.RowOf(L, n);
  ASSERT_NE(row, nullptr);
  TRect cells[2];
  for (const auto& h : L.HeaderCells)
    cells[h.Column] = TRect(h.Rect.Left + 4, row->Top, h.Rect.Right - 4, row->Top + row->Height);
  auto [top0, bottom0] = InkRows(f, cells[0]);
  auto [top1, bottom1] = InkRows(f, cells[1]);
  ASSERT_GE(top0, 0);
  ASSERT_GE(top1, 0);
  EXPECT_LT(top0 - row->Top, 8) << "the default place is the top";
  EXPECT_LT(row->Top + row->Height - bottom1, 12) << "tlBottom puts the text at the foot";
  EXPECT_EQ(bottom1 - top1, bottom0 - top0);

  // A red picture before the caption of the first header; the second header has none.
  TBitmap glyph;
  glyph.SetSize(10, 10);
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect(TRect(0, 0, 10, 10));
  f.TL->Columns(0)->SetHeaderGlyph(&glyph);
  f.Paint();
  L = f.Layout();
  auto reds = [&](const TRect& R) {
    int count = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x) count += f.Pixel(x, y) == ColorToRGB(clRed);
    return count;
  };
  for (const auto& h : L.HeaderCells) EXPECT_EQ(reds(h.Rect), h.Column == 0 ? 100 : 0) << h.Column;
  f.TL->Columns(0)->SetHeaderGlyph(nullptr);
  EXPECT_FALSE(f.TL->Columns(0)->HasHeaderGlyph());
  f.Paint();
  EXPECT_EQ(reds(L.HeaderCells[0].Rect), 0);
}

TEST(TreeListColumnSettings, SettingsStreamAndAssignAndTheirDefaultsStayOut) {
  TRegisterClasses reg;
  TTreeListFixture f(2);
  TvmTreeListColumn* c = f.TL->Columns(0);
  const std::string plain = ComponentToText(f.TL);
  for (const char* name : {"CharCase", "PasswordChar", "MaxLength", "VertAlignment", "HeaderGlyph", "OEMConvert"})
    EXPECT_EQ(plain.find(name), std::string::npos) << name;
  c->SetCharCase(ecLowerCase);
  c->SetPasswordChar('#');
  c->SetMaxLength(12);
  c->SetOEMConvert(true);
  c->SetVertAlignment(tlBottom);
  c->SetDisableFilterButton(true);
  TFont red;
  red.Assign(f.TL->Font());
  red.SetColor(clRed);
  c->SetFont(&red);
  c->HeaderGlyph()->SetSize(4, 3);
  const std::string text = ComponentToText(f.TL);

  TForm other(nullptr);
  auto* copy = new TvmTreeList(&other);
  copy->SetParent(&other);
  TextToComponent(text, copy);
  ASSERT_EQ(copy->ColumnCount(), 2);
  TvmTreeListColumn* d = copy->Columns(0);
  TvmTreeListColumn assigned(nullptr);
  assigned.Assign(c);
  for (TvmTreeListColumn* r : {d, &assigned}) {
    SCOPED_TRACE(r == d ? "read back" : "assigned");
    EXPECT_EQ(r->CharCase(), ecLowerCase);
    EXPECT_EQ(r->PasswordChar(), '#');
    EXPECT_EQ(r->MaxLength(), 12);
    EXPECT_TRUE(r->OEMConvert());
    EXPECT_EQ(r->VertAlignment(), tlBottom);
    EXPECT_TRUE(r->DisableFilterButton());
    ASSERT_TRUE(r->HasHeaderGlyph());
    EXPECT_EQ(r->HeaderGlyph()->Width(), 4);
  }
  EXPECT_EQ(d->Font()->Color(), clRed);
  EXPECT_EQ(copy->Columns(1)->VertAlignment(), tlTop);
  int state = 0;
  EXPECT_FALSE(d->CanHeaderHotTrack(0, 0, state));
  EXPECT_TRUE(copy->Columns(1)->CanHeaderHotTrack(0, 0, state));
  EXPECT_FALSE(copy->IsHeaderHotTrack(0, 0, state, 0));
  EXPECT_TRUE(copy->IsHeaderHotTrack(0, 0, state, 1));
  // Restoring the defaults puts the place back at the top.
  d->RestoreDefaults();
  EXPECT_EQ(d->VertAlignment(), tlTop);
}

TEST(TreeListColumnSettings, BandsAnswerForTheirHeaderRows) {
  TTreeListFixture f(4);
  TvmTreeList* t = f.TL;
  t->BeginUpdate();
  t->SetExtendedOptions(t->ExtendedOptions() + tlxBands);
  TvmTreeListBand* side = t->Bands()->Add();
  t->SetHeaderPanelRowCount(2);
  t->Columns(1)->SetRowIndex(1);
  t->Columns(2)->SetRowIndex(1);
  t->Columns(3)->SetBandIndex(1);
  t->EndUpdate();
  TvmTreeListBand* main = t->Bands()->Items(0);
  EXPECT_EQ(main->VisibleIndex(), 0);
  EXPECT_EQ(side->VisibleIndex(), 1);
  EXPECT_EQ(main->UsedRowCount(), 2);
  EXPECT_EQ(side->UsedRowCount(), 1);
  EXPECT_EQ(main->GetRowColumnCount(0), 1);
  EXPECT_EQ(main->GetRowColumnCount(1), 2);
  EXPECT_EQ(main->GetRowColumn(1, 0), t->Columns(1));
  EXPECT_EQ(main->GetRowColumn(1, 1), t->Columns(2));
  EXPECT_EQ(main->GetRowColumn(1, 2), nullptr);
  EXPECT_EQ(side->GetRowColumn(0, 0), t->Columns(3));
  side->SetVisible(false);
  EXPECT_EQ(side->VisibleIndex(), -1);
  EXPECT_EQ(side->GetRowColumnCount(0), 0);
  EXPECT_EQ(side->GetRowColumn(0, 0), nullptr);
  TvmTreeListBands loose(nullptr);
  EXPECT_EQ(loose.Add()->UsedRowCount(), 0);
}

TEST(TreeListColumnSettings, RowLimitsClampAndHeaderRowsGrowWithTheirLines) {
  TTreeListFixture f(2);
  TvmTreeList* t = f.TL;
  t->SetHeaderPanelRowCount(9);
  EXPECT_EQ(t->HeaderPanelRowCount(), 5);
  t->SetHeaderPanelMaxRowCount(3);
  EXPECT_EQ(t->HeaderPanelRowCount(), 3);
  t->SetHeaderPanelRowCount(0);
  EXPECT_EQ(t->HeaderPanelRowCount(), 1);
  t->SetBandRowCount(4);
  t->SetBandMaxRowCount(2);
  EXPECT_EQ(t->BandRowCount(), 2);
  t->SetBandMaxRowCount(0);
  EXPECT_EQ(t->BandMaxRowCount(), 1);
  EXPECT_EQ(t->BandRowCount(), 1);
  const int one = f.Layout().HeaderPanelRect.Height();
  t->SetHeaderMinRowCount(2);
  const int two = f.Layout().HeaderPanelRect.Height();
  const int text = t->Canvas()->TextHeight("Wg");
  EXPECT_NEAR(two - one, text, 2);
}

TEST(TreeListColumnSettings, AssignColumnsCopiesClassesNamesAndSettings) {
  TTreeListFixture source(1), target(3);
  auto* mask = static_cast<TvmTreeListMaskColumn*>(source.TL->CreateColumn(TvmTreeListMaskColumn::StaticClass()));
  mask->SetName("Phone");
  mask->EditMask = "000-0000";
  mask->SetPasswordChar('*');
  source.TL->Columns(0)->SetWidth(77);
  target.TL->AssignColumns(source.TL);
  ASSERT_EQ(target.TL->ColumnCount(), 2);
  EXPECT_EQ(target.TL->Columns(0)->Name(), "Col0");
  EXPECT_EQ(target.TL->Columns(0)->Width(), 77);
  auto* copy = dynamic_cast<TvmTreeListMaskColumn*>(target.TL->Columns(1));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Name(), "Phone");
  EXPECT_EQ(copy->EditMask, "000-0000");
  EXPECT_EQ(copy->PasswordChar(), '*');
  EXPECT_EQ(copy->Owner(), target.TL);  // the owner of the columns it had
}
