// The image editor: values shown as images with descriptions, stepping, type-ahead by
// description and its popup list.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "inspector/vm_image.h"
#include "platform/imglist.h"

namespace {

struct TImageFixture : TEditorFixture {
  TImageList* Images;
  int Cell;
  TImageFixture(const std::string& Value) {
    Images = new TImageList(Form.get());
    Images->SetWidth(12);
    Images->SetHeight(12);
    for (TColor c : {clRed, clGreen, clBlue}) {
      TBitmap b(12, 12);
      FillRectColor(b.Canvas(), Rect(0, 0, 12, 12), c);
      Images->Add(&b, nullptr);
    }
    Cell = Grid->AddCell(TvmInplaceImageEdit::StaticClass(), Value, Rect(20, 20, 200, 40), [this](TvmInplaceEdit* e) {
      auto* i = static_cast<TvmInplaceImageEdit*>(e);
      i->SetImages(Images);
      if (i->Values()->Count() == 0)
        for (const char* v : {"r", "g", "y"}) i->Values()->Add(v);
      if (i->Descriptions()->Count() == 0)
        for (const char* d : {"Red", "Green", "Grey"}) i->Descriptions()->Add(d);
    });
  }
  TvmInplaceImageEdit* Edit() { return static_cast<TvmInplaceImageEdit*>(Grid->EditCell(Cell)); }
};

TEST(ImageEdit, FindImageItemByDefaultOrListedIndexes) {
  TStringList values, descriptions, indexes;
  for (const char* v : {"a", "b", "c"}) values.Add(v);
  descriptions.Add("first");
  indexes.Add("5");
  indexes.Add("x");
  int d, i;
  TvmInplaceImageEdit::FindImageItem("b", &indexes, true, &values, &descriptions, d, i);
  EXPECT_EQ(i, 1);
  EXPECT_EQ(d, -1);
  TvmInplaceImageEdit::FindImageItem("a", &indexes, false, &values, &descriptions, d, i);
  EXPECT_EQ(i, 5);
  EXPECT_EQ(d, 0);
  TvmInplaceImageEdit::FindImageItem("b", &indexes, false, &values, &descriptions, d, i);
  EXPECT_EQ(i, -1);
  TvmInplaceImageEdit::FindImageItem("zz", &indexes, true, &values, &descriptions, d, i);
  EXPECT_EQ(i, -1);
  EXPECT_EQ(d, -1);
}

TEST(ImageEdit, TypingCyclesByDescriptionAndTheListPicksByMouse) {
  TImageFixture f("r");
  auto* e = f.Edit();
  SendTextInput(e, "g");
  EXPECT_EQ(e->GetWindowText(), "g");
  SendTextInput(e, "g");
  EXPECT_EQ(e->GetWindowText(), "y");
  SendTextInput(e, "g");
  EXPECT_EQ(e->GetWindowText(), "g");
  // A click anywhere opens the list; a release outside it closes without a change.
  SendInput(e, ikMouseDown, {ssLeft}, 10, 5, mbLeft);
  SendInput(e, ikMouseUp, {}, 10, 5, mbLeft);
  ASSERT_TRUE(e->PopupShown());
  TvmPopupImageListBox* list = e->PopupList();
  SendInput(list, ikMouseUp, {}, -5, -5, mbLeft);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_EQ(e->GetWindowText(), "g");
  SendInput(e, ikMouseDown, {ssLeft}, 10, 5, mbLeft);
  SendInput(e, ikMouseUp, {}, 10, 5, mbLeft);
  int y = list->ClientRect().Top + list->ImageItemHeight() * 2 + 2;
  SendInput(list, ikMouseDown, {ssLeft}, 20, y, mbLeft);
  SendInput(list, ikMouseUp, {}, 20, y, mbLeft);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_EQ(e->GetWindowText(), "y");
  // Without values the list never opens.
  e->Values()->Clear();
  PressKey(e, VK_DOWN, {ssAlt});
  EXPECT_FALSE(e->PopupShown());
}

TEST(ImageEdit, PaintedCellShowsTheImageAndMatchesLiveWindow) {
  TImageFixture f("g");
  f.Grid->Repaint();
  TRect content = f.Grid->CellContentRect(f.Cell);
  TBitmap shot;
  GrabControl(f.Grid, &shot);
  EXPECT_EQ(shot.Canvas()->Pixels(content.Left + 6, (content.Top + content.Bottom) / 2), ColorToRGB(clGreen));
  EXPECT_EQ(f.ContentMismatches(f.Cell), 0);
}

}  // namespace
