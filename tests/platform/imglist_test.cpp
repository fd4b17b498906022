// Image list: pieces cut from strips, transparency by mask and by colour, drawing by pixels.
#include <gtest/gtest.h>

#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/imglist.h"

namespace {

// A strip of two 4x4 images: red with a fuchsia corner pixel, then blue.
void MakeStrip(TBitmap& B) {
  B.SetSize(8, 4);
  TCanvas* c = B.Canvas();
  c->Brush()->SetColor(clRed);
  c->FillRect(Rect(0, 0, 4, 4));
  c->Brush()->SetColor(clBlue);
  c->FillRect(Rect(4, 0, 8, 4));
  c->SetPixels(0, 0, clFuchsia);
}

void Clear(TBitmap& Target) {
  Target.SetSize(20, 10);
  Target.Canvas()->Brush()->SetColor(clLime);
  Target.Canvas()->FillRect(Rect(0, 0, 20, 10));
}

TEST(ImageList, StripsAreCutIntoPiecesAndMaskColourShowsTheBackground) {
  TImageList list(nullptr);
  list.SetWidth(4);
  list.SetHeight(4);
  TBitmap strip;
  MakeStrip(strip);
  EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
  EXPECT_EQ(list.Count(), 2);

  TBitmap target;
  Clear(target);
  list.Draw(target.Canvas(), 2, 3, 0);
  list.Draw(target.Canvas(), 10, 3, 1);
  EXPECT_EQ(target.Canvas()->Pixels(2, 3), clLime);  // the masked corner
  EXPECT_EQ(target.Canvas()->Pixels(3, 3), clRed);
  EXPECT_EQ(target.Canvas()->Pixels(5, 6), clRed);
  EXPECT_EQ(target.Canvas()->Pixels(6, 6), clLime);  // outside the image
  EXPECT_EQ(target.Canvas()->Pixels(10, 3), clBlue);

  // Disabled: grey, still transparent where masked.
  Clear(target);
  list.Draw(target.Canvas(), 0, 0, 0, false);
  TColor g = target.Canvas()->Pixels(1, 1);
  EXPECT_EQ(GetRValue(g), GetGValue(g));
  EXPECT_EQ(GetGValue(g), GetBValue(g));
  EXPECT_EQ(target.Canvas()->Pixels(0, 0), clLime);

  TBitmap out;
  out.Canvas()->Brush()->SetColor(clWhite);
  list.GetBitmap(0, &out);
  EXPECT_EQ(out.Width(), 4);
  EXPECT_EQ(out.Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(out.Canvas()->Pixels(2, 2), clRed);
}

TEST(ImageList, MaskBitmapWhiteIsTransparent) {
  TImageList list(nullptr);
  list.SetWidth(4);
  list.SetHeight(4);
  TBitmap strip, mask;
  MakeStrip(strip);
  mask.SetSize(8, 4);
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(Rect(0, 0, 8, 4));
  mask.Canvas()->SetPixels(5, 1, clWhite);
  EXPECT_EQ(list.Add(&strip, &mask), 0);
  TBitmap target;
  Clear(target);
  list.Draw(target.Canvas(), 0, 0, 1);
  EXPECT_EQ(target.Canvas()->Pixels(1, 1), clLime);
  EXPECT_EQ(target.Canvas()->Pixels(2, 1), clBlue);
  EXPECT_EQ(target.Canvas()->Pixels(0, 0), clBlue);  // the fuchsia pixel was in image 0 only
}

TEST(ImageList, BadIndexesRaiseAndResizingClears) {
  TImageList list(nullptr);
  TBitmap empty;
  EXPECT_EQ(list.Add(&empty, nullptr), -1);
  EXPECT_EQ(list.Add(nullptr, nullptr), -1);
  TBitmap one;
  one.SetSize(16, 16);
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  list.Add(&one, nullptr);
  list.Add(&one, nullptr);
  TBitmap target;
  Clear(target);
  for (int bad : {-1, 2}) {
    EXPECT_THROW(list.Draw(target.Canvas(), 0, 0, bad), EInvalidOperation);
    EXPECT_THROW(list.Delete(bad), EInvalidOperation);
    EXPECT_THROW(list.GetBitmap(bad, &target), EInvalidOperation);
  }
  list.Delete(0);
  EXPECT_EQ(list.Count(), 1);
  list.SetWidth(24);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(changes, 4);
}

}  // namespace
