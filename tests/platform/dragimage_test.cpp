// The floating drag image: a top-level window that follows the pointer with its hot spot,
// hides while asked (nested) and follows the drag of a drag object that answers it.
#include <gtest/gtest.h>

#include <memory>

#include "platform/bitmap.h"
#include "platform/dragdrop.h"
#include "platform/forms.h"

namespace {

std::unique_ptr<TBitmap> Picture(int W, int H, TColor Fill) {
  auto b = std::make_unique<TBitmap>(W, H);
  b->Canvas()->Brush()->SetColor(Fill);
  b->Canvas()->FillRect(TRect(0, 0, W, H));
  return b;
}

class TImageObject : public TDragObject {
public:
  explicit TImageObject(TDragImage* AImage) : Image(AImage) {}
  TDragImage* GetDragImage() override { return Image; }
  TDragImage* Image;
};

}  // namespace

TEST(DragImage, FollowsThePointerWithItsHotSpotAndHidesNested) {
  TDragImage img;
  auto pic = Picture(40, 16, clRed);
  img.SetImage(pic.get(), clFuchsia, TPoint(10, 4));
  pic->Canvas()->Brush()->SetColor(clBlue);
  pic->Canvas()->FillRect(TRect(0, 0, 40, 16));
  // The image is a copy: later drawing on the source does not reach it.
  ASSERT_NE(img.Image(), nullptr);
  EXPECT_EQ(img.Image()->Canvas()->Pixels(5, 5), clRed);
  EXPECT_FALSE(img.Showing());

  img.BeginDrag(TPoint(100, 200));
  EXPECT_TRUE(img.Dragging());
  EXPECT_TRUE(img.Showing());
  EXPECT_EQ(img.ScreenRect(), TRect(90, 196, 130, 212));
  img.DragMove(TPoint(150, 220));
  EXPECT_EQ(img.ScreenRect(), TRect(140, 216, 180, 232));

  {
    TDragImageHider outer(&img);
    EXPECT_FALSE(img.Showing());
    {
      TDragImageHider inner(&img);
      img.DragMove(TPoint(160, 220));  // moves while hidden stay hidden
      EXPECT_FALSE(img.Showing());
    }
    EXPECT_FALSE(img.Showing());
  }
  EXPECT_TRUE(img.Showing());
  EXPECT_EQ(img.ScreenRect().Left, 150);
  img.EndDrag();
  EXPECT_FALSE(img.Showing());
  EXPECT_FALSE(img.Dragging());
  // A hider over no image does nothing; an extra ShowImage does not unbalance the count.
  { TDragImageHider none(nullptr); }
  img.ShowImage();
  img.HideImage();
  EXPECT_TRUE(img.Hidden());
  img.ShowImage();
  EXPECT_FALSE(img.Hidden());
}

TEST(DragImage, WithoutAPictureNothingShows) {
  TDragImage img;
  img.BeginDrag(TPoint(10, 10));
  EXPECT_FALSE(img.Showing());
  TBitmap empty;
  img.SetImage(&empty);
  EXPECT_EQ(img.Image(), nullptr);
  EXPECT_FALSE(img.Showing());
  auto pic = Picture(8, 8, clGreen);
  img.SetImage(pic.get());  // a picture arriving mid-drag shows at once
  EXPECT_TRUE(img.Showing());
  img.SetImage(nullptr);
  EXPECT_FALSE(img.Showing());
  img.EndDrag();
}

TEST(DragImage, TravelsWithTheDragObjectThatAnswersIt) {
  TDragImage img;
  auto pic = Picture(20, 10, clYellow);
  img.SetImage(pic.get(), clNone, TPoint(2, 2));
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  auto obj = std::make_unique<TImageObject>(&img);
  obj->DragPos = TPoint(30, 40);
  BeginDrag(std::move(obj));
  EXPECT_TRUE(img.Showing());
  EXPECT_EQ(img.ScreenRect().Left, 28);
  DragMove(TPoint(300, 300));
  EXPECT_EQ(img.ScreenRect(), TRect(298, 298, 318, 308));
  EndDrag(false);
  EXPECT_FALSE(img.Showing());
  EXPECT_FALSE(img.Dragging());
}
