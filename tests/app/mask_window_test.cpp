// The mask editing window on the sample site: the grid shows every estimate in its mask colour,
// and the two-line tools remove and restore whole columns and rows with one journal record each.
#include "app/views/mask_window.h"
#include "view_fixture.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/extra/grid_series.h"
#include "chart/series/tools_colorline.h"
#include "platform/actnlist.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "app/journal.h"
#include "controls/mem_data.h"
#include "controls/vx_dbgrid.h"

namespace {

struct MaskFixture : ViewFixture {
  void Open() {
    OpenSite({SiteFile("S107.MT1")});
    ShowView(MaskEd1)->ShowMask(Session->Site());
    ASSERT_TRUE(FormExists(MaskEd1));
    MaskEd1->SetBounds(0, 0, 536, 386);
    Application->ProcessMessages();
    delete MaskEd1->Chart1->CreateBitmap(clWhite, TRect(0, 0, 500, 350), pf24bit);  // the axes take their size
  }
  // Two clicks of the chart with the mouse, as the user gives them.
  static void TwoClicks(int X1, int Y1, int X2, int Y2) {
    TChart* c = MaskEd1->Chart1;
    for (auto [x, y] : {std::pair{X1, Y1}, std::pair{X2, Y2}}) {
      c->DispatchMouseMove({}, x, y);
      c->DispatchMouseDown(mbLeft, {}, x, y);
      c->DispatchMouseUp(mbLeft, {}, x, y);
    }
  }
  static int Used(int F) {
    int n = 0;
    for (int x = 1; x <= CurrentSite->XprCount[F]; ++x) n += CurrentSite->Mask[F][x] == 1;
    return n;
  }
};

}  // namespace

TEST_F(MaskFixture, GridShowsEveryEstimateInItsMaskColour) {
  Open();
  int cells = 0;
  for (int f = 1; f <= CurrentSite->ValidFreqCount; ++f) cells += CurrentSite->XprCount[f];
  EXPECT_EQ(MaskEd1->Series1->PointCount(), cells);
  CurrentSite->Mask[1][2] = 2;
  MaskEd1->Refresh(nullptr);
  TChart* c = MaskEd1->Chart1;
  std::unique_ptr<TBitmap> image(c->CreateBitmap(clWhite, TRect(0, 0, c->Width(), c->Height()), pf24bit));
  const int top = c->LeftAxis()->ValueToPixel(CurrentSite->ValidFreqCount);  // frequency 1 is the top row
  EXPECT_EQ(image->Canvas()->Pixels(c->BottomAxis()->ValueToPixel(1), top), static_cast<TColor>(0x800000));
  EXPECT_EQ(image->Canvas()->Pixels(c->BottomAxis()->ValueToPixel(2), top), static_cast<TColor>(0xFF0000));
}

// An edit of one frequency elsewhere (the editing window's tools) changes that row in place: the
// grid then looks as a whole refresh draws it, and undo shows the row as it was.
TEST_F(MaskFixture, AnEditOfOneFrequencyShowsInItsRow) {
  Open();
  const int n = CurrentSite->ValidFreqCount, f = 3;
  TChart* c = MaskEd1->Chart1;
  auto image = [c] {
    return std::unique_ptr<TBitmap>(c->CreateBitmap(clWhite, TRect(0, 0, c->Width(), c->Height()), pf24bit));
  };
  auto cell = [c, n](TBitmap& Image, int F, int X) {
    return Image.Canvas()->Pixels(c->BottomAxis()->ValueToPixel(X), c->LeftAxis()->ValueToPixel(n - F + 1));
  };
  auto same = [c](TBitmap& A, TBitmap& B) {
    for (int y = 0; y < c->Height(); y += 2)
      for (int x = 0; x < c->Width(); x += 2)
        if (A.Canvas()->Pixels(x, y) != B.Canvas()->Pixels(x, y)) return false;
    return true;
  };
  ASSERT_EQ(CurrentSite->Mask[f][2], 1);
  const auto before = image();
  Session->SetMode(emDeleting, true);
  CurrentSite->Mask[f][2] = 2;
  Session->CommitMaskEdit(f, "Circle");
  const auto edited = image();
  EXPECT_EQ(cell(*edited, f, 2), static_cast<TColor>(0xFF0000));
  EXPECT_NE(cell(*before, f, 2), static_cast<TColor>(0xFF0000));
  MaskEd1->Refresh(nullptr);
  EXPECT_TRUE(same(*edited, *image()));
  Session->Undo();
  EXPECT_EQ(CurrentSite->Mask[f][2], 1);
  EXPECT_TRUE(same(*before, *image()));
}

TEST_F(MaskFixture, TwoVerticalLinesRemoveAColumnAndUndoBringsItBack) {
  Open();
  const std::string before = MaskText();
  Session->SetMode(emTwoVert, true);
  Session->SetMode(emDeleting, true);
  TChart* c = MaskEd1->Chart1;
  const int x3 = c->BottomAxis()->ValueToPixel(3), y = c->LeftAxis()->ValueToPixel(2);
  const size_t records = JournalActions().size();
  TwoClicks(x3 + 4, y, x3 - 4, y);  // the second click left of the first: swapped
  // Column 3 removed wherever it held an estimate; every other cell as it was.
  std::string expected = before;
  for (int f = 1; f <= CurrentSite->FreqCount; ++f)
    if (char& m = expected[(f - 1) * MaxXpr + 2]; m != '0') m = '2';
  EXPECT_EQ(MaskText(), expected);
  ASSERT_EQ(JournalActions().size(), records + 1);
  EXPECT_EQ(JournalActions().back(), "MsVert");
  EXPECT_FALSE(MaskEd1->ChartTool1->Active());
  EXPECT_FALSE(MaskEd1->ChartTool2->Active());
  MaskEd1->Undo(nullptr);
  EXPECT_EQ(MaskText(), before);
}

TEST_F(MaskFixture, TwoHorizontalLinesRemoveAndRestoreARow) {
  Open();
  Session->SetMode(emTwoHorz, true);
  Session->SetMode(emDeleting, true);
  TChart* c = MaskEd1->Chart1;
  const int n = CurrentSite->ValidFreqCount;
  const int row = c->LeftAxis()->ValueToPixel(n - 5 + 1);  // frequency 5
  const int x = c->BottomAxis()->ValueToPixel(2);
  const int usedBefore = Used(5), usedNext = Used(6);
  ASSERT_GT(usedBefore, 0);
  // The rubber line follows the mouse before the first click.
  c->DispatchMouseMove({}, x, row - 3);
  EXPECT_TRUE(MaskEd1->ChartTool3->Active());
  TwoClicks(x, row - 3, x, row + 3);
  EXPECT_EQ(Used(5), 0);
  EXPECT_EQ(Used(6), usedNext) << "the next row is outside the lines";
  EXPECT_EQ(JournalActions().back(), "MsHorl");
  Session->SetMode(emDeleting, false);
  Session->SetMode(emRestoring, true);
  TwoClicks(x, row - 3, x, row + 3);
  int estimates = 0;
  for (int e = 1; e <= CurrentSite->XprCount[5]; ++e) estimates += CurrentSite->Mask[5][e] != 0;
  EXPECT_EQ(Used(5), estimates) << "every estimate of the row is used again";
  EXPECT_GE(Used(5), usedBefore);
}

// The history window lists the journal in its grid; a click on a row makes that record current
// without restoring it, and the next Undo steps from there.
TEST_F(MaskFixture, HistoryGridFollowsTheJournalAndPicksARow) {
  Open();
  Session->SetMode(emTwoHorz, true);
  Session->SetMode(emDeleting, true);
  TChart* c = MaskEd1->Chart1;
  const int n = CurrentSite->ValidFreqCount, x = c->BottomAxis()->ValueToPixel(2);
  const std::string start = MaskText();
  for (int f : {3, 7}) {
    const int row = c->LeftAxis()->ValueToPixel(n - f + 1);
    TwoClicks(x, row - 3, x, row + 3);
  }
  const std::string afterBoth = MaskText();
  ShowForm(History1);
  History1->SetBounds(0, 0, 260, 320);
  Application->ProcessMessages();
  TVxDBGrid* g = History1->DBGrid1;
  ASSERT_EQ(g->Columns()->Count(), 3);
  EXPECT_EQ(g->Columns()->Items(0)->TitleCaption(), "#");
  EXPECT_EQ(g->Columns()->Items(1)->TitleCaption(), "# f");
  EXPECT_EQ(g->Columns()->Items(1)->Width(), 37);
  EXPECT_EQ(DataModule1->TaRedoUndo->RecordCount(), 3);  // "Start" and the two selections
  EXPECT_EQ(DataModule1->TaRedoUndo->RecNo(), 3);
  // Row 0 of the window is the first record: clicking it moves there and restores nothing.
  const TRect r = g->CellRect(0, 2);
  ASSERT_GT(r.Width(), 0);
  g->DispatchMouseDown(mbLeft, {}, r.Left + 3, r.Top + 2);
  g->DispatchMouseUp(mbLeft, {}, r.Left + 3, r.Top + 2);
  EXPECT_EQ(DataModule1->TaRedoUndo->RecNo(), 1);
  EXPECT_EQ(MaskText(), afterBoth);
  ASSERT_TRUE(Session->CanRedo()) << "Redo steps from the chosen row";
  History1->Redo(nullptr);  // from the first record to the second
  EXPECT_EQ(DataModule1->TaRedoUndo->RecNo(), 2);
  EXPECT_NE(MaskText(), start);
  EXPECT_NE(MaskText(), afterBoth);
}
