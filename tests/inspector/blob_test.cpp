// The blob editor: its icon and text cells against the live editor, the memo popup by every
// route that opens and closes it (what each keeps), the panel's buttons, the popup's size that
// follows the user's resize, and the picture popup's fitting and bad data.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "inspector/vm_blob.h"
#include "platform/imglist.h"
#include "platform/richedit.h"

namespace {

struct TBlobFixture : TEditorFixture {
  int Cell;
  explicit TBlobFixture(const Variant& Value, TEditorSetup Setup = nullptr) {
    Cell = Grid->AddCell(TvmInplaceBlobEdit::StaticClass(), Value, Rect(20, 20, 200, 40), std::move(Setup));
  }
  TvmInplaceBlobEdit* Edit() { return static_cast<TvmInplaceBlobEdit*>(Grid->EditCell(Cell)); }
  TRect ButtonOf(TvmInplaceBlobEdit* E) {
    auto vd = E->CreateViewData(false);
    return TvmInplaceBlobEdit::ButtonRects(E->EditClass(), vd.get()).at(0);
  }
  void Click(TControl* C, int X, int Y) {
    SendInput(C, ikMouseDown, {ssLeft}, X, Y, mbLeft);
    SendInput(C, ikMouseUp, {}, X, Y, mbLeft);
  }
};

// The icon a cell shows: its pixels equal the image list's icon drawn on the cell's colour.
bool ShowsIcon(TEditorFixture& F, int Cell, int Index) {
  F.Grid->Repaint();
  TRect content = F.Grid->CellContentRect(Cell);
  TBitmap shot;
  GrabControl(F.Grid, &shot);
  TBitmap icon(16, 16);
  FillRectColor(icon.Canvas(), Rect(0, 0, 16, 16), F.Grid->Color());
  BlobImages()->Draw(icon.Canvas(), 0, 0, Index);
  const int x0 = (content.Left + content.Right - 16) / 2, y0 = (content.Top + content.Bottom - 16) / 2;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if (shot.Canvas()->Pixels(x0 + x, y0 + y) != icon.Canvas()->Pixels(x, y)) return false;
  return true;
}

TEST(BlobEdit, IconsByKindAndEmptinessAndCellsMatchTheLiveEditor) {
  TBlobFixture empty{Variant()};
  EXPECT_TRUE(ShowsIcon(empty, empty.Cell, 2));
  EXPECT_EQ(empty.ContentMismatches(empty.Cell), 0);
  TBlobFixture memo(std::string("some text"));
  EXPECT_TRUE(ShowsIcon(memo, memo.Cell, 3));
  EXPECT_EQ(memo.ContentMismatches(memo.Cell), 0);
  // A picture blob whose data is no picture still shows the picture icon.
  TBlobFixture pict(std::string("no picture in here"),
                    [](TvmInplaceEdit* e) { static_cast<TvmInplaceBlobEdit*>(e)->SetBlobEditKind(bekPict); });
  EXPECT_TRUE(ShowsIcon(pict, pict.Cell, 5));
  // Text style: the shown text, cut with an ellipsis, word-wrapped.
  TBlobFixture text(std::string("x"), [](TvmInplaceEdit* e) {
    auto* b = static_cast<TvmInplaceBlobEdit*>(e);
    b->SetBlobPaintStyle(bpsText);
    b->SetDisplayText("A long memo whose first words show in the cell and the rest is cut");
  });
  EXPECT_GT(text.InkPixels(text.Cell), 0);
  EXPECT_EQ(text.ContentMismatches(text.Cell), 0);
}

TEST(BlobEdit, MemoPopupOpensAndClosesByEveryRoute) {
  TBlobFixture f(std::string("old"));
  auto* e = f.Edit();
  const TRect b = f.ButtonOf(e);
  // The button opens; the memo holds the value, unmodified; the button again closes.
  f.Click(e, b.Left + 3, b.Top + 3);
  ASSERT_TRUE(e->PopupShown());
  TCustomvmBlobPopup* p = e->Popup();
  EXPECT_TRUE(p->Visible());
  EXPECT_EQ(p->Text(), "old");
  EXPECT_FALSE(p->Modified());
  EXPECT_TRUE(p->HasButton(0) && p->HasButton(1) && !p->HasButton(2));
  f.Click(e, b.Left + 3, b.Top + 3);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_FALSE(p->Visible());
  // Alt+Down opens; Enter types a line break (WantReturns); Ctrl+Enter accepts.
  PressKey(e, VK_DOWN, {ssAlt});
  ASSERT_TRUE(p->Visible());
  p->Memo()->SetSelection(3, 3);
  SendTextInput(p->Memo(), " new");
  PressKey(p->Memo(), VK_RETURN, {ssCtrl});
  EXPECT_FALSE(p->Visible());
  EXPECT_FALSE(e->PopupShown());
  EXPECT_EQ(e->BlobValue(), "old new");
  EXPECT_TRUE(e->Modified());
  // Escape never keeps what was typed.
  PressKey(e, VK_DOWN, {ssAlt});
  SendTextInput(p->Memo(), "X");
  PressKey(p->Memo(), VK_ESCAPE);
  EXPECT_FALSE(p->Visible());
  EXPECT_EQ(e->BlobValue(), "old new");
  // AlwaysSaveText: a click outside keeps the typed text, and so does losing the focus.
  PressKey(e, VK_DOWN, {ssAlt});
  p->Memo()->SetSelection(0, 0);
  SendTextInput(p->Memo(), "1");
  f.Click(f.Grid, 380, 280);
  EXPECT_FALSE(p->Visible());
  EXPECT_EQ(e->BlobValue(), "1old new");
  PressKey(e, VK_F1 + 3);
  p->Memo()->SetSelection(0, 0);
  SendTextInput(p->Memo(), "2");
  p->Memo()->DispatchExit();
  EXPECT_FALSE(p->Visible());
  EXPECT_EQ(e->BlobValue(), "21old new");
  // Without it the text of a click outside is lost; Alt+Up closes alike.
  e->AlwaysSaveText = false;
  PressKey(e, VK_DOWN, {ssAlt});
  SendTextInput(p->Memo(), "3");
  f.Click(f.Grid, 380, 280);
  EXPECT_EQ(e->BlobValue(), "21old new");
  PressKey(e, VK_DOWN, {ssAlt});
  SendTextInput(p->Memo(), "4");
  PressKey(p->Memo(), VK_UP, {ssAlt});
  EXPECT_FALSE(p->Visible());
  EXPECT_EQ(e->BlobValue(), "21old new");
  // The container applies the value as the editor's.
  f.Grid->CloseEdit(true);
  EXPECT_EQ(f.Grid->Cells[static_cast<size_t>(f.Cell)].Value.AsString(), "21old new");
}

TEST(BlobEdit, PanelButtonsReadOnlyAndOkOnlyAfterAChange) {
  TBlobFixture f(std::string("v"));
  auto* e = f.Edit();
  PressKey(e, VK_DOWN, {ssAlt});
  TCustomvmBlobPopup* p = e->Popup();
  ASSERT_TRUE(p->Visible());
  TRect ok = p->ButtonRect(0), cancel = p->ButtonRect(1);
  EXPECT_LT(ok.Right, cancel.Left);     // OK left of Cancel
  f.Click(p, ok.Left + 3, ok.Top + 3);  // OK is disabled until a change
  EXPECT_TRUE(p->Visible());
  SendTextInput(p->Memo(), "w");
  f.Click(p, ok.Left + 3, ok.Top + 3);
  EXPECT_FALSE(p->Visible());
  EXPECT_EQ(e->BlobValue(), "vw");
  // A press on Cancel released elsewhere does nothing; released on it, it cancels.
  PressKey(e, VK_DOWN, {ssAlt});
  SendTextInput(p->Memo(), "z");
  SendInput(p, ikMouseDown, {ssLeft}, cancel.Left + 3, cancel.Top + 3, mbLeft);
  SendInput(p, ikMouseUp, {}, 2, 2, mbLeft);
  EXPECT_TRUE(p->Visible());
  f.Click(p, cancel.Left + 3, cancel.Top + 3);
  EXPECT_FALSE(p->Visible());
  EXPECT_EQ(e->BlobValue(), "vw");
  // Read-only: Close only, and the memo cannot change the value.
  e->SetReadOnly(true);
  PressKey(e, VK_DOWN, {ssAlt});
  ASSERT_TRUE(p->Visible());
  EXPECT_TRUE(!p->HasButton(0) && !p->HasButton(1) && p->HasButton(2));
  TRect close = p->ButtonRect(2);
  f.Click(p, close.Left + 3, close.Top + 3);
  EXPECT_FALSE(p->Visible());
}

TEST(BlobEdit, ResizedPopupReopensAtItsSizeWithinTheWorkArea) {
  SetWorkAreaOverride(Rect(0, 0, 800, 600));
  int sizeNews = 0;
  TBlobFixture f(std::string("v"));
  auto* e = f.Edit();
  e->PopupSizeHook = [&](TObject*) { ++sizeNews; };
  PressKey(e, VK_DOWN, {ssAlt});
  TCustomvmBlobPopup* p = e->Popup();
  EXPECT_EQ(p->Width(), 200);
  EXPECT_EQ(p->Height(), 140);
  EXPECT_EQ(p->GripCorner(), 3);
  // Drag the grip by (100, 40).
  TRect g = p->GripRect();
  SendInput(p, ikMouseDown, {ssLeft}, g.Left + 4, g.Top + 4, mbLeft);
  SendInput(p, ikMouseMove, {ssLeft}, g.Left + 104, g.Top + 44);
  SendInput(p, ikMouseUp, {}, g.Left + 104, g.Top + 44, mbLeft);
  EXPECT_EQ(p->Width(), 300);
  EXPECT_EQ(p->Height(), 180);
  EXPECT_TRUE(p->Visible());
  PressKey(p->Memo(), VK_ESCAPE);
  EXPECT_EQ(e->PopupWidth, 300);
  EXPECT_EQ(e->PopupHeight, 180);
  EXPECT_GE(sizeNews, 1);
  PressKey(e, VK_DOWN, {ssAlt});
  EXPECT_EQ(p->Width(), 300);
  EXPECT_EQ(p->Height(), 180);
  PressKey(p->Memo(), VK_ESCAPE);
  // Never larger than the work area or the larger room above or below the editor.
  e->PopupWidth = 5000;
  e->PopupHeight = 5000;
  PressKey(e, VK_DOWN, {ssAlt});
  const TPoint below = e->ClientToScreen(TPoint(0, e->Height()));
  EXPECT_EQ(p->Width(), 800);
  EXPECT_EQ(p->Height(), std::max(600 - below.Y, below.Y - e->Height()));
  // The minimum size holds however small the stored one.
  PressKey(p->Memo(), VK_ESCAPE);
  e->PopupWidth = e->PopupHeight = 1;
  PressKey(e, VK_DOWN, {ssAlt});
  EXPECT_EQ(p->Width(), p->GetMinSize().cx);
  EXPECT_EQ(p->Height(), p->GetMinSize().cy);
  PressKey(p->Memo(), VK_ESCAPE);
  SetWorkAreaOverride(TRect());
}

std::string Picture(int W, int H, TColor Colour) {
  TBitmap b(W, H);
  FillRectColor(b.Canvas(), Rect(0, 0, W, H), Colour);
  TPicture p;
  p.SetGraphic(&b);
  return SavePictureToString(&p);
}

TEST(BlobEdit, PicturePopupFitsKeepsAspectAndRefusesBadData) {
  SetWorkAreaOverride(Rect(0, 0, 800, 600));
  TBlobFixture f(Picture(1600, 400, clRed),
                 [](TvmInplaceEdit* e) { static_cast<TvmInplaceBlobEdit*>(e)->SetBlobEditKind(bekPict); });
  auto* e = f.Edit();
  PressKey(e, VK_DOWN, {ssAlt});
  TCustomvmBlobPopup* p = e->Popup();
  ASSERT_TRUE(p->Visible());
  EXPECT_TRUE(p->PictureMode());
  // Scaled to the screen's width, keeping 4:1.
  TRect c = p->ContentArea();
  EXPECT_EQ(p->Width(), 800);
  EXPECT_NEAR(c.Height() * 4.0, c.Width(), 4.0);
  // Picture commands: cut empties and marks modified; Enter accepts the empty picture.
  PressKey(p, 'X', {ssCtrl});
  EXPECT_TRUE(PictureHasNoGraphic(p->Picture()));
  EXPECT_TRUE(p->Modified());
  PressKey(p, VK_RETURN);
  EXPECT_FALSE(p->Visible());
  EXPECT_EQ(e->BlobValue(), "");
  // Paste brings a picture back, saved as its bytes.
  PressKey(e, VK_DOWN, {ssAlt});
  PressKey(p, 'V', {ssCtrl});
  PressKey(p, VK_RETURN);
  TPicture back;
  LoadPictureFromString(&back, nullptr, e->BlobValue());
  EXPECT_EQ(back.Width(), 1600);
  // Data that is no picture: opening raises the graphic's error and leaves the popup empty.
  e->SetEditValue(std::string("not a picture, just bytes"));
  EXPECT_THROW(e->DropDown(), EInvalidGraphic);
  EXPECT_TRUE(PictureHasNoGraphic(p->Picture()));
  EXPECT_FALSE(e->PopupShown());
  SetWorkAreaOverride(TRect());
}

TEST(BlobEdit, ScrollTrackPositionsAndOleKindsOpenNothing) {
  struct Case {
    int Track, Client, Size, Expected;
  };
  const Case cases[] = {{0, 100, 500, 0}, {6, 100, 500, 4}, {7, 100, 500, 8}, {399, 100, 500, 400}, {1, 100, 102, 2}};
  for (const Case& c : cases) EXPECT_EQ(TCustomvmBlobPopup::TrackToScroll(c.Track, c.Client, c.Size), c.Expected);
  int clicks = 0;
  TBlobFixture f(std::string("x"), [&](TvmInplaceEdit* e) {
    auto* b = static_cast<TvmInplaceBlobEdit*>(e);
    b->SetBlobEditKind(bekOle);
    b->OnEditButtonClick = [&](TObject*) { ++clicks; };
  });
  auto* e = f.Edit();
  PressKey(e, VK_DOWN, {ssAlt});
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_EQ(e->Popup(), nullptr);
}

}  // namespace
