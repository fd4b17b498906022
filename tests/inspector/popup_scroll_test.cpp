// A popup list longer than its drop-down rows carries a vertical scroll bar that works by mouse:
// the arrows step a row, the track pages, the thumb drags, and none of it picks a value or closes
// the list. A short list has no bar and keeps its whole width for the items.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "inspector/vm_image.h"
#include "inspector/vm_mru.h"
#include "platform/popupwatch.h"
#include "platform/richedit.h"

namespace {

struct TListKind {
  const char* Name;
  TvmInplaceEditClass Class;
  std::function<void(TvmInplaceEdit*, int)> Fill;  // puts N values in, "v0" first
  std::function<TvmPopupListBox*(TvmInplaceEdit*)> List;
};

std::string ValueName(int I) { return "v" + std::to_string(I); }

std::vector<TListKind> ListKinds() {
  auto pickFill = [](TvmInplaceEdit* e, int N) {
    auto* p = static_cast<TvmInplacePickEdit*>(e);
    for (int i = 0; i < N; ++i) p->Items()->Add(ValueName(i));
  };
  auto pickList = [](TvmInplaceEdit* e) { return static_cast<TvmInplacePickEdit*>(e)->PopupList(); };
  return {
      {"pick", TvmInplacePickEdit::StaticClass(), pickFill, pickList},
      {"mru", TvmInplaceMRUEdit::StaticClass(),
       [pickFill](TvmInplaceEdit* e, int N) {
         static_cast<TvmInplaceMRUEdit*>(e)->SetMaxItemCount(100);
         pickFill(e, N);
       },
       pickList},
      {"image", TvmInplaceImageEdit::StaticClass(),
       [](TvmInplaceEdit* e, int N) {
         auto* i = static_cast<TvmInplaceImageEdit*>(e);
         for (int k = 0; k < N; ++k) {
           i->Values()->Add(ValueName(k));
           i->Descriptions()->Add("item " + std::to_string(k));
         }
       },
       [](TvmInplaceEdit* e) -> TvmPopupListBox* { return static_cast<TvmInplaceImageEdit*>(e)->PopupList(); }},
  };
}

struct TScrollFixture : TEditorFixture {
  TvmInplaceDropDownEdit* Edit = nullptr;
  TvmPopupListBox* List = nullptr;
  TScrollFixture(const TListKind& K, int Count) {
    int cell = Grid->AddCell(K.Class, ValueName(0), Rect(20, 20, 200, 40), [&K, Count](TvmInplaceEdit* e) {
      static_cast<TvmInplaceDropDownEdit*>(e)->SetDropDownRows(5);
      K.Fill(e, Count);
    });
    SendWindowGeometry(Form.get(), 40, 30, Form->Width(), Form->Height());
    Edit = static_cast<TvmInplaceDropDownEdit*>(Grid->EditCell(cell));
    PressKey(FocusedControl(), VK_DOWN, {ssAlt});
    List = K.List(Edit);
  }
  void Click(int X, int Y) {
    List->DispatchMouseDown(mbLeft, {ssLeft}, X, Y);
    List->DispatchMouseUp(mbLeft, {}, X, Y);
  }
};

TEST(PopupListScrollBar, ArrowsTrackAndThumbScrollWithoutPickingOrClosing) {
  for (const TListKind& k : ListKinds()) {
    SCOPED_TRACE(k.Name);
    TScrollFixture f(k, 20);
    ASSERT_TRUE(f.Edit->PopupShown());
    ASSERT_TRUE(f.List->ScrollBarVisible());
    EXPECT_EQ(f.List->VisibleRows(), 5);
    const TRect sb = f.List->ScrollBarRect(), items = f.List->ItemsRect();
    EXPECT_EQ(sb.Width(), TvmPopupListBox::ScrollBarWidth);
    EXPECT_EQ(items.Right, sb.Left);
    // The bar's room was added to the list: the items are not squeezed by it.
    EXPECT_GE(items.Width(), f.List->WidestItem());
    const int x = (sb.Left + sb.Right) / 2;
    const int selected = f.List->ItemIndex();
    // The down arrow steps one row; the up arrow back.
    f.Click(x, sb.Bottom - 2);
    EXPECT_EQ(f.List->TopIndex(), 1);
    f.Click(x, sb.Top + 2);
    EXPECT_EQ(f.List->TopIndex(), 0);
    // The track below the thumb pages by the visible rows less one.
    TRect t = f.List->ThumbRect();
    ASSERT_FALSE(IsRectEmpty(t));
    f.Click(x, t.Bottom + 2);
    EXPECT_EQ(f.List->TopIndex(), 4);
    // Dragging the thumb to the bottom shows the last page, never beyond it.
    t = f.List->ThumbRect();
    f.List->DispatchMouseDown(mbLeft, {ssLeft}, x, t.Top + 1);
    f.List->DispatchMouseMove({ssLeft}, x, sb.Bottom + 40);
    EXPECT_EQ(f.List->TopIndex(), 15);
    f.List->DispatchMouseMove({ssLeft}, x, sb.Top - 40);
    EXPECT_EQ(f.List->TopIndex(), 0);
    f.List->DispatchMouseMove({ssLeft}, x, sb.Bottom + 40);
    f.List->DispatchMouseUp(mbLeft, {}, x, sb.Bottom + 40);
    EXPECT_EQ(f.List->TopIndex(), 15);
    EXPECT_EQ(f.List->ThumbRect().Bottom, sb.Bottom - std::min(sb.Width(), sb.Height() / 2));
    // None of that picked a value or closed the list.
    EXPECT_TRUE(f.Edit->PopupShown());
    EXPECT_EQ(f.List->ItemIndex(), selected);
    EXPECT_EQ(f.Edit->GetWindowText(), ValueName(0));
    // Hot tracking over the bar leaves the selection alone; a click on a row of the scrolled list
    // picks that row's value.
    f.List->DispatchMouseMove({}, x, items.Top + 2);
    EXPECT_EQ(f.List->ItemIndex(), selected);
    const int rowH = f.List->RowHeight();
    f.List->DispatchMouseMove({}, items.Left + 5, items.Top + rowH + 2);
    f.Click(items.Left + 5, items.Top + rowH + 2);
    EXPECT_FALSE(f.Edit->PopupShown());
    EXPECT_EQ(f.Edit->GetWindowText(), ValueName(16));
  }
}

TEST(PopupListScrollBar, ThumbIsPaintedWhereItsRectangleSaysAndShortListsHaveNoBar) {
  for (const TListKind& k : ListKinds()) {
    SCOPED_TRACE(k.Name);
    {
      TScrollFixture f(k, 3);
      ASSERT_TRUE(f.Edit->PopupShown());
      EXPECT_FALSE(f.List->ScrollBarVisible());
      EXPECT_TRUE(IsRectEmpty(f.List->ScrollBarRect()));
      EXPECT_EQ(f.List->ItemsRect(), f.List->ClientRect());
    }
    TScrollFixture f(k, 40);
    ASSERT_TRUE(f.List->ScrollBarVisible());
    const TRect sb = f.List->ScrollBarRect();
    const int x = (sb.Left + sb.Right) / 2;
    auto thumbPixels = [&](int Top, int Bottom) {
      TBitmap b;
      GrabControl(f.List, &b);
      int face = 0;
      for (int y = Top; y < Bottom; ++y)
        if (b.Canvas()->Pixels(x, y) == ColorToRGB(clBtnFace)) ++face;
      return face;
    };
    // The thumb is solid button face; the track around it is a halftone.
    TRect t = f.List->ThumbRect();
    EXPECT_GE(thumbPixels(t.Top + 2, t.Bottom - 2), t.Height() - 4);
    const int trackMid = (t.Bottom + sb.Bottom - sb.Width()) / 2;
    EXPECT_LT(thumbPixels(trackMid - 3, trackMid + 3), 6);
    // At the end of the list the thumb has moved down to the bottom arrow and is painted there.
    f.List->SetTopIndex(1000);
    EXPECT_EQ(f.List->TopIndex(), 35);
    t = f.List->ThumbRect();
    EXPECT_GE(thumbPixels(t.Top + 2, t.Bottom - 2), t.Height() - 4);
    EXPECT_LT(thumbPixels(sb.Top + sb.Width() + 2, sb.Top + sb.Width() + 8), 6);
  }
}

}  // namespace
