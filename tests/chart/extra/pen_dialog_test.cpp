// The pen dialog driven as a user would, the pen button's sample, and the editor-form helpers.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "chart/engine/chart_pens.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/graph_canvas.h"
#include "chart/extra/pen_dialog.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/graphics.h"
#include "platform/controls.h"
#include "platform/stdctrls.h"
#include "platform/strings.h"
#include "platform/updown.h"

namespace {

struct PenDialogs : ::testing::Test {
  void TearDown() override { EditorDialogHook = nullptr; }
};

}  // namespace

TEST_F(PenDialogs, CancelRestoresWidthStyleAndColour) {
  int changes = 0;
  TChartPen pen([&](TObject*) { ++changes; });
  pen.SetColor(clBlue);
  pen.SetWidth(2);
  pen.SetStyle(psDash);
  changes = 0;
  EditorDialogHook = [](TForm* F) {
    auto* d = static_cast<TPenDialog*>(F);
    d->UDWidth->Click(btNext);
    d->CBStyle->SetItemIndex(2);
    d->CBStyleChange();
    d->BColor->SetColor(clRed);
    d->BColorClick();
    EXPECT_EQ(d->EditedPen->Width(), 3);
    EXPECT_EQ(d->EditedPen->Style(), psDot);
    d->BCancel->Click();
  };
  EXPECT_FALSE(ShowPenDialog(nullptr, &pen));
  EXPECT_EQ(pen.Width(), 2);
  EXPECT_EQ(pen.Style(), psDash);
  EXPECT_EQ(pen.Color(), clBlue);
  EXPECT_GE(changes, 1);  // the restore is announced

  // Cancel without a change: nothing touched, nothing announced.
  changes = 0;
  EditorDialogHook = [](TForm* F) { static_cast<TPenDialog*>(F)->BCancel->Click(); };
  EXPECT_FALSE(ShowPenDialog(nullptr, &pen));
  EXPECT_EQ(changes, 0);

  // OK keeps the change.
  EditorDialogHook = [](TForm* F) {
    auto* d = static_cast<TPenDialog*>(F);
    d->UDWidth->SetPosition(5);
    d->UDWidthChange();
    d->BOk->Click();
  };
  EXPECT_TRUE(ShowPenDialog(nullptr, &pen));
  EXPECT_EQ(pen.Width(), 5);
}

TEST_F(PenDialogs, SmallDotsAndPlainPens) {
  TChartPen pen;
  pen.SetSmallDots(true);
  EditorDialogHook = [](TForm* F) {
    auto* d = static_cast<TPenDialog*>(F);
    EXPECT_EQ(d->CBStyle->Items()->Count(), 6);
    EXPECT_EQ(d->CBStyle->ItemIndex(), 5);
    EXPECT_FALSE(d->UDWidth->Enabled());
    EXPECT_FALSE(d->SEWidth->Enabled());
    EXPECT_TRUE(d->CBVisible->Visible());
    d->CBStyle->SetItemIndex(1);
    d->CBStyleChange();
    EXPECT_TRUE(d->UDWidth->Enabled());
    d->BOk->Click();
  };
  EXPECT_TRUE(ShowPenDialog(nullptr, &pen));
  EXPECT_FALSE(pen.SmallDots());
  EXPECT_EQ(pen.Style(), psDash);

  TPen plain;
  EditorDialogHook = [](TForm* F) {
    auto* d = static_cast<TPenDialog*>(F);
    EXPECT_FALSE(d->CBVisible->Visible());
    EXPECT_EQ(d->CBStyle->Items()->Count(), 5);
    // An end style chosen for a pen that has none leaves the pen alone.
    d->CBEndStyle->SetItemIndex(2);
    d->CBEndStyleChange();
    EXPECT_FALSE(d->PenChanged);
    d->BOk->Click();
  };
  EXPECT_TRUE(ShowPenDialog(nullptr, &plain, true));
}

TEST_F(PenDialogs, ButtonSampleIsAtMostSixPixelsAndChangesNothing) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  TButtonPen button(&form);
  button.SetParent(&form);
  button.SetBounds(0, 0, 80, 25);
  int changes = 0;
  TChartPen pen([&](TObject*) { ++changes; });
  pen.SetColor(clRed);
  pen.SetWidth(10);
  button.LinkPen(&pen);
  changes = 0;
  TBitmap b(80, 25, pf24bit);
  TGraphCanvas3D canvas;
  canvas.SetCanvas(b.Canvas());
  button.DrawSymbol(&canvas);
  EXPECT_EQ(pen.Width(), 10);
  EXPECT_EQ(changes, 0);
  int red = 0;
  for (int y = 0; y < 25; ++y) red += b.Canvas()->Pixels(70, y) == clRed;
  EXPECT_GE(red, 5);
  EXPECT_LE(red, 7);
}

TEST(EditorHelpers, CursorNames) {
  EXPECT_EQ(StripCursorPrefix("crArrow"), "Arrow");
  EXPECT_EQ(StripCursorPrefix("Arrow"), "Arrow");
  EXPECT_EQ(StripCursorPrefix("CRArrow"), "CRArrow");
  EXPECT_EQ(CursorFromName(crDefault, "GraphHand"), ChartHandCursor);
  EXPECT_EQ(CursorFromName(crCross, "NoSuchCursor"), crCross);
  EXPECT_EQ(CursorFromName(crDefault, "HourGlass"), crHourGlass);
  TForm form(nullptr);
  TComboBox combo(&form);
  combo.SetParent(&form);
  FillCursorCombo(&combo, ChartHandCursor);
  ASSERT_GE(combo.ItemIndex(), 0);
  EXPECT_EQ(combo.Items()->Strings(combo.ItemIndex()), "GraphHand");
  EXPECT_EQ(combo.Items()->Strings(0), "Default");
  FillCursorCombo(&combo, 12345);
  EXPECT_EQ(combo.ItemIndex(), -1);
}

TEST(EditorHelpers, ListsFormatsAndEmbedding) {
  TStringList formats;
  AddValueFormats(&formats);
  ASSERT_EQ(formats.Count(), 9);
  EXPECT_EQ(formats.Strings(0), "#,##0.###");
  EXPECT_EQ(formats.Strings(8), "#.# x10E-#");

  TStringList a, b;
  a.Add("x");
  a.Add("y");
  b.Add("z");
  MoveAllItems(&a, &b);
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(b.Text(), "z\r\nx\r\ny\r\n");

  TForm host(nullptr);
  TListBox from(&host), to(&host);
  from.SetParent(&host);
  to.SetParent(&host);
  from.SetMultiSelect(true);
  for (const char* s : {"a", "b", "c", "d"}) from.Items()->Add(s);
  from.SetSelected(1, true);
  from.SetSelected(3, true);
  MoveSelectedItems(&from, &to);
  EXPECT_EQ(from.Items()->Text(), "a\r\nc\r\n");
  EXPECT_EQ(to.Items()->Text(), "b\r\nd\r\n");

  // Embedding into a hidden page leaves it hidden and gives the form the edited object.
  TPanel page(&host);
  page.SetParent(&host);
  page.SetBounds(0, 0, 300, 200);
  page.SetVisible(false);
  TForm editor(nullptr);
  editor.SetBounds(0, 0, 100, 50);
  TChartPen edited;
  EmbedFormWithObject(&editor, &page, &edited);
  EXPECT_FALSE(page.Visible());
  EXPECT_EQ(EmbeddedObject(&editor), &edited);
  EXPECT_EQ(editor.Left(), 4);
  EXPECT_EQ(editor.Top(), 4);
  EXPECT_EQ(editor.Parent(), &page);
}

namespace {

// The style list's closed field as it shows now: the item's rectangle and whether each pixel of
// its sample line (y = top + 8, x from left + 2 to left + 29) is in the pen's colour.
struct FieldSample {
  TRect Rect;
  std::vector<bool> Inked;
  int Gaps() const {
    int n = 0;
    for (size_t i = 1; i < Inked.size(); ++i) n += Inked[i - 1] && !Inked[i];
    return n;
  }
  int Count() const { return static_cast<int>(std::count(Inked.begin(), Inked.end(), true)); }
};

FieldSample DrawField(TComboBox* Combo, TColor Ink) {
  FieldSample f;
  auto draw = Combo->OnDrawItem;
  Combo->OnDrawItem = [&](TWinControl* C, int Index, TRect R, TOwnerDrawState S) {
    if (S.Contains(odComboBoxEdit)) f.Rect = R;
    draw(C, Index, R, S);
  };
  Combo->Repaint();
  EXPECT_EQ(ControlSurfacePixel(Combo, 0, 0) != CLR_INVALID, true);  // grabbing paints it
  Combo->OnDrawItem = draw;
  for (int x = f.Rect.Left + 2; x < f.Rect.Left + 30; ++x)
    f.Inked.push_back(ControlSurfacePixel(Combo, x, f.Rect.Top + 8) == Ink);
  return f;
}

}  // namespace

TEST_F(PenDialogs, StyleListDrawsEachStyleAndPicksIt) {
  TChartPen pen;
  pen.SetColor(clRed);
  TPenDialog d(nullptr);
  d.EditedPen = &pen;
  d.Show();
  TComboBox* list = d.CBStyle;
  EXPECT_EQ(list->Style(), csOwnerDrawFixed);
  EXPECT_EQ(list->ItemHeight(), 16);

  // The closed field shows the chosen style's line: solid without a gap, the others with gaps.
  const FieldSample solid = DrawField(list, clRed);
  ASSERT_GT(solid.Rect.Height(), 0);
  EXPECT_EQ(solid.Count(), 28);
  EXPECT_EQ(solid.Gaps(), 0);
  for (int style : {1, 2, 3, 5}) {
    list->SetItemIndex(style);
    const FieldSample s = DrawField(list, clRed);
    EXPECT_GT(s.Count(), 3) << style;
    EXPECT_GE(s.Gaps(), 1) << style;
  }
  // Dots are closer than dashes.
  list->SetItemIndex(1);
  const int dashGaps = DrawField(list, clRed).Gaps();
  list->SetItemIndex(2);
  EXPECT_GT(DrawField(list, clRed).Gaps(), dashGaps);

  // A pen in the list's own colour is drawn in black.
  pen.SetColor(list->Color());
  list->SetItemIndex(0);
  EXPECT_EQ(DrawField(list, clBlack).Count(), 28);
  pen.SetColor(clRed);

  // Opening the list draws every item, 16 pixels high, as a list item.
  std::vector<int> listed;
  auto draw = list->OnDrawItem;
  list->OnDrawItem = [&](TWinControl* C, int Index, TRect R, TOwnerDrawState S) {
    if (!S.Contains(odComboBoxEdit)) {
      listed.push_back(Index);
      EXPECT_EQ(R.Height(), 16);
    }
    draw(C, Index, R, S);
  };
  list->SetDroppedDown(true);
  Application->ProcessMessages();
  EXPECT_TRUE(list->DroppedDown());
  list->SetDroppedDown(false);
  EXPECT_FALSE(list->DroppedDown());
  list->OnDrawItem = draw;
  std::sort(listed.begin(), listed.end());
  listed.erase(std::unique(listed.begin(), listed.end()), listed.end());
  EXPECT_EQ(listed, (std::vector<int>{0, 1, 2, 3, 4, 5}));

  // Stepping through the list as a user sets the pen's style.
  list->SetItemIndex(0);
  list->SetFocus();
  SendInput(list, ikKeyDown, {}, 0, 0, VK_DOWN);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(pen.Style(), psDash);
  EXPECT_TRUE(d.PenChanged);
  SendInput(list, ikKeyDown, {}, 0, 0, VK_END);
  EXPECT_EQ(list->ItemIndex(), 5);
  EXPECT_TRUE(pen.SmallDots());
  EXPECT_FALSE(d.UDWidth->Enabled());
}
