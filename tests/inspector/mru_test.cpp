// The most-recently-used list editor: confirmed texts head the list, which keeps its length.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "inspector/vm_mru.h"

namespace {

struct TMRUFixture : TEditorFixture {
  int Cell;
  int Ellipsis = 0;
  TMRUFixture() {
    Cell = Grid->AddCell(TvmInplaceMRUEdit::StaticClass(), "A", Rect(20, 20, 200, 40), [this](TvmInplaceEdit* e) {
      auto* m = static_cast<TvmInplaceMRUEdit*>(e);
      if (m->Items()->Count() == 0) {
        for (const char* s : {"A", "B", "C"}) m->Items()->Add(s);
        m->SetMaxItemCount(3);
      }
      m->OnButtonClick = [this](TObject*) { ++Ellipsis; };
    });
  }
  TvmInplaceMRUEdit* Edit() { return static_cast<TvmInplaceMRUEdit*>(Grid->EditCell(Cell)); }
};

TEST(MRUEdit, ConfirmedTextsHeadTheListWithinItsLength) {
  TMRUFixture f;
  auto* e = f.Edit();
  e->SetWindowText("D");
  e->SetModifiedFlag(true);
  e->ValidateEdit();
  EXPECT_EQ(e->Items()->ToVector(), (std::vector<std::string>{"D", "A", "B"}));
  e->SetWindowText("b");
  e->SetModifiedFlag(true);
  e->ValidateEdit();
  EXPECT_EQ(e->Items()->ToVector(), (std::vector<std::string>{"B", "D", "A"}));
  e->SetModifiedFlag(false);
  e->SetWindowText("A");
  e->ValidateEdit();  // unchanged: no reordering
  EXPECT_EQ(e->Items()->ToVector(), (std::vector<std::string>{"B", "D", "A"}));
  e->SetMaxItemCount(0);
  for (const char* s : {"x1", "x2", "x3"}) e->AddItem(s);
  EXPECT_EQ(e->Items()->Count(), 6);
  e->SetMaxItemCount(2);
  EXPECT_EQ(e->Items()->ToVector(), (std::vector<std::string>{"x3", "x2"}));
}

TEST(MRUEdit, EllipsisButtonFiresItsEventAndNeverOpensTheList) {
  TMRUFixture f;
  EXPECT_EQ(f.ContentMismatches(f.Cell), 0);
  auto* e = f.Edit();
  auto vd = e->CreateViewData(false);
  std::vector<TRect> r = TvmInplaceMRUEdit::ButtonRects(e->EditClass(), vd.get());
  ASSERT_EQ(r.size(), 2u);
  SendInput(e, ikMouseDown, {ssLeft}, r[1].Left + 2, r[1].Top + 2, mbLeft);
  SendInput(e, ikMouseUp, {}, r[1].Left + 2, r[1].Top + 2, mbLeft);
  EXPECT_EQ(f.Ellipsis, 1);
  EXPECT_FALSE(e->PopupShown());
  PressKey(e->TextWindow(), VK_RETURN, {ssCtrl});
  EXPECT_EQ(f.Ellipsis, 2);
  e->SetShowEllipsis(false);
  vd = e->CreateViewData(false);
  EXPECT_EQ(TvmInplaceMRUEdit::ButtonRects(e->EditClass(), vd.get()).size(), 1u);
}

}  // namespace
