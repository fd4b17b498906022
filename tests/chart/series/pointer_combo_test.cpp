// The pointer combo box: its items and owner, and each item drawn with its own pointer style.
#include <gtest/gtest.h>

#include "chart/series/pointer_combo.h"
#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/extctrls.h"

TEST(PointerComboFlat, ListsTheTwelveStylesUnderAWindowedOwner) {
  TPanel owner(nullptr);
  auto* c = new TPointerComboFlat(&owner);
  EXPECT_EQ(c->Parent(), &owner);
  ASSERT_EQ(c->Items()->Count(), 12);
  EXPECT_EQ(c->Items()->Strings(0), "Square");
  EXPECT_EQ(c->Items()->Strings(11), "Right Triangle");
  EXPECT_EQ(c->Style(), csOwnerDrawFixed);
  EXPECT_EQ(c->Height(), 22);
  EXPECT_EQ(c->ItemHeight(), 16);
  EXPECT_EQ(c->PointerColor(), clRed);
  TComponent plain(nullptr);
  EXPECT_THROW(TPointerComboFlat bad(&plain), EInvalidCast);
}

TEST(PointerComboFlat, EachItemShowsItsPointerLeftOfItsText) {
  TPanel owner(nullptr);
  auto* c = new TPointerComboFlat(&owner);
  c->SetPointerColor(clBlue);
  c->Pointer()->Pen()->SetVisible(false);
  struct Case {
    TSeriesPointerStyle Style;
    bool CentreInked;
  } cases[] = {{psRectangle, true}, {psCircle, true}, {psCross, true}, {psNothing, false}, {psDiagCross, true}};
  for (const Case& k : cases) {
    TBitmap bmp(120, 16, pf24bit);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    c->PaintItemOn(bmp.Canvas(), k.Style, TRect(0, 0, 120, 16));
    EXPECT_EQ(bmp.Canvas()->Pixels(6, 8) == clBlue, k.CentreInked) << k.Style;
    EXPECT_EQ(bmp.Canvas()->Pixels(12, 8), clWhite) << k.Style;  // between the pointer and the text
    int text = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 14; x < 120; ++x) text += bmp.Canvas()->Pixels(x, y) != clWhite;
    EXPECT_GT(text, 10) << k.Style;
  }
}
