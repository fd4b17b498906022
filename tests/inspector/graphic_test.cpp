// Picture values as byte strings, and the graphic editor: its painter (stretch, centre, clipping),
// the cell against the live editor, the clipboard commands by keys, menu and toolbar, and the
// toolbar's placement and close box.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "inspector/vm_graphic.h"
#include "platform/clipbrd.h"
#include "platform/menus.h"

namespace {

// A W x H bitmap, red on its left half and blue on its right half.
std::string TwoColourPicture(int W, int H) {
  TBitmap b(W, H);
  FillRectColor(b.Canvas(), Rect(0, 0, W / 2, H), clRed);
  FillRectColor(b.Canvas(), Rect(W / 2, 0, W, H), clBlue);
  TPicture p;
  p.SetGraphic(&b);
  return SavePictureToString(&p);
}

std::string WithHeader(const std::string& Data, uint32_t Length) {
  std::string h = {1, 0, 0, 1};
  for (int i = 0; i < 4; ++i) h += static_cast<char>((Length >> (8 * i)) & 0xFF);
  return h + Data;
}

TEST(PictureValues, HeaderShortStringsAndDataThatIsNoPicture) {
  const std::string data = TwoColourPicture(8, 4);
  ASSERT_GT(data.size(), 8u);
  EXPECT_EQ(data.substr(0, 2), "BM");  // saved without a header
  TPicture p;
  LoadPictureFromString(&p, nullptr, WithHeader(data, static_cast<uint32_t>(data.size())));
  ASSERT_FALSE(PictureHasNoGraphic(&p));
  EXPECT_EQ(SavePictureToString(&p), data);  // the same picture as without the header
  LoadPictureFromString(&p, TBitmap::StaticClass(), data);
  EXPECT_EQ(p.Width(), 8);
  // A header whose length does not match is read as picture data, which this is not: the
  // graphic's error, and the picture keeps what it had.
  EXPECT_THROW(LoadPictureFromString(&p, nullptr, WithHeader(data, 3)), EInvalidGraphic);
  EXPECT_EQ(p.Width(), 8);
  EXPECT_THROW(LoadPictureFromString(&p, TBitmap::StaticClass(), std::string("not a picture at all")), EInvalidGraphic);
  LoadPictureFromString(&p, nullptr, std::string("1234567"));  // shorter than 8 bytes: empty
  EXPECT_TRUE(PictureHasNoGraphic(&p));
  LoadPictureFromString(&p, nullptr, data);
  LoadPictureFromString(&p, nullptr, Variant(42));  // not a string: empty
  EXPECT_TRUE(PictureHasNoGraphic(&p));
  EXPECT_EQ(SavePictureToString(&p), "");
  // The read-only stream stores nothing.
  TMemoryStreamReadOnly s;
  s.AttachBuffer(data.data(), 10);
  EXPECT_EQ(s.Write("xx", 2), 0);
  EXPECT_EQ(s.Seek(0, soEnd), 10);
}

// Paints a picture value with the class painter into a 200 x 200 white cell.
std::unique_ptr<TBitmap> PaintCell(const std::string& Value, bool Stretch, bool Center) {
  TPicture pic;
  LoadPictureFromString(&pic, nullptr, Value);
  TvmGraphicEditViewData vd;
  vd.Picture = &pic;
  vd.Stretch = Stretch;
  vd.Center = Center;
  vd.Brush = clWhite;
  auto out = std::make_unique<TBitmap>(200, 200);
  FillRectColor(out->Canvas(), Rect(0, 0, 200, 200), clGreen);
  TvmInplaceGraphicEdit::StaticClass()->DrawContent(out->Canvas(), Rect(0, 0, 200, 200), &vd, false);
  return out;
}

TEST(GraphicEdit, StretchFitsProportionallyAndCentreCutsBothSides) {
  const std::string wide = TwoColourPicture(400, 100);
  auto s = PaintCell(wide, true, true);
  // 200 x 50 at the top: red then blue, white below.
  EXPECT_EQ(s->Canvas()->Pixels(10, 10), ColorToRGB(clRed));
  EXPECT_EQ(s->Canvas()->Pixels(190, 45), ColorToRGB(clBlue));
  EXPECT_EQ(s->Canvas()->Pixels(100, 55), ColorToRGB(clWhite));
  EXPECT_EQ(s->Canvas()->Pixels(100, 199), ColorToRGB(clWhite));
  // Natural size, centred: the middle 200 columns (red 100..199, blue 200..299), rows 50..149.
  auto c = PaintCell(wide, false, true);
  EXPECT_EQ(c->Canvas()->Pixels(0, 100), ColorToRGB(clRed));
  EXPECT_EQ(c->Canvas()->Pixels(99, 100), ColorToRGB(clRed));
  EXPECT_EQ(c->Canvas()->Pixels(100, 100), ColorToRGB(clBlue));
  EXPECT_EQ(c->Canvas()->Pixels(199, 100), ColorToRGB(clBlue));
  EXPECT_EQ(c->Canvas()->Pixels(100, 49), ColorToRGB(clWhite));
  EXPECT_EQ(c->Canvas()->Pixels(100, 150), ColorToRGB(clWhite));
  // Not centred: top-left, clipped to the cell.
  auto t = PaintCell(wide, false, false);
  EXPECT_EQ(t->Canvas()->Pixels(199, 10), ColorToRGB(clRed));
  EXPECT_EQ(t->Canvas()->Pixels(10, 120), ColorToRGB(clWhite));
}

struct TGraphicFixture : TEditorFixture {
  int Cell;
  explicit TGraphicFixture(const Variant& Value, TEditorSetup Setup = nullptr) {
    Cell = Grid->AddCell(TvmInplaceGraphicEdit::StaticClass(), Value, Rect(20, 20, 180, 100), Setup);
  }
  TvmInplaceGraphicEdit* Edit() { return static_cast<TvmInplaceGraphicEdit*>(Grid->EditCell(Cell)); }
};

TEST(GraphicEdit, PaintedCellMatchesLiveWindowAndNoPictureShowsTheEmptyCell) {
  TGraphicFixture f(TwoColourPicture(60, 30));
  EXPECT_GT(f.InkPixels(f.Cell), 0);
  EXPECT_EQ(f.ContentMismatches(f.Cell), 0);
  // A value that is no picture paints the empty cell and raises nothing.
  TGraphicFixture bad(std::string("GIF89a but not really a picture"));
  EXPECT_EQ(bad.InkPixels(bad.Cell), 0);
  TvmInplaceGraphicEdit* e = nullptr;
  EXPECT_NO_THROW(e = bad.Edit());
  EXPECT_TRUE(PictureHasNoGraphic(e->Picture()));
  EXPECT_FALSE(e->Modified());
}

TEST(GraphicEdit, KeysCutCopyAndPasteAndOnlyEditsMarkModified) {
  const std::string value = TwoColourPicture(20, 10);
  TGraphicFixture f(value);
  auto* e = f.Edit();
  EXPECT_FALSE(e->Modified());  // loading a value never marks it
  Clipboard()->Clear();
  PressKey(e, VK_DELETE, {ssShift});  // cut
  EXPECT_TRUE(PictureHasNoGraphic(e->Picture()));
  EXPECT_TRUE(e->Modified());
  EXPECT_TRUE(ClipboardHasFormat(CF_PICTURE));
  EXPECT_EQ(e->EditValue().AsString(), "");
  PressKey(e, 'V', {ssCtrl});
  ASSERT_FALSE(PictureHasNoGraphic(e->Picture()));
  EXPECT_EQ(e->Picture()->Width(), 20);
  // The editor's value is the picture's bytes: it reads back as the same picture.
  TPicture back;
  LoadPictureFromString(&back, nullptr, e->EditValue());
  EXPECT_EQ(back.Width(), 20);
  EXPECT_EQ(back.Height(), 10);
  // The container applies it; the painted cell then shows it too.
  f.Grid->CloseEdit(true);
  EXPECT_GT(f.InkPixels(f.Cell), 0);
  // Read-only: paste and cut do nothing.
  e = f.Edit();
  e->SetReadOnly(true);
  PressKey(e, VK_DELETE, {ssShift});
  EXPECT_FALSE(PictureHasNoGraphic(e->Picture()));
  e->SetReadOnly(false);
  // Esc in the container cancels: the cell keeps its picture.
  PressKey(e, 'X', {ssCtrl});
  EXPECT_TRUE(PictureHasNoGraphic(e->Picture()));
  PressKey(e, VK_ESCAPE);
  EXPECT_GT(f.InkPixels(f.Cell), 0);
}

TEST(GraphicEdit, ContextMenuFollowsTheButtonsAndRunsCommands) {
  TGraphicFixture f(TwoColourPicture(20, 10));
  auto* e = f.Edit();
  int custom = 0;
  e->CustomButtonHook = [&](TObject*) { ++custom; };
  e->ToolbarLayout()->Buttons = {ptbCopy, ptbDelete, ptbCustom};
  e->ToolbarLayout()->CustomButtonCaption = "Mine";
  e->ContextMenuRequest(5, 5);
  TPopupMenu* m = e->ShownMenu();
  ASSERT_NE(m, nullptr);
  auto item = [&](int Tag) -> TMenuItem* {
    for (int i = 0; i < m->Items()->Count(); ++i)
      if (m->Items()->Items(i)->Tag() == Tag) return m->Items()->Items(i);
    return nullptr;
  };
  EXPECT_FALSE(item(0)->Visible());  // cut
  EXPECT_TRUE(item(1)->Visible());
  EXPECT_FALSE(item(-1)->Visible());  // no load or save: no separator before them
  EXPECT_TRUE(item(-2)->Visible());
  EXPECT_EQ(item(6)->Caption(), "Mine");
  item(6)->Click();
  EXPECT_EQ(custom, 1);
  item(3)->Click();
  EXPECT_TRUE(PictureHasNoGraphic(e->Picture()));
  e->ContextMenuRequest(5, 5);
  EXPECT_FALSE(item(1)->Enabled());  // nothing to copy now
}

TEST(GraphicEdit, ToolbarPlacesItselfClosesByItsBoxAndEnablesPasteAtOnce) {
  SetWorkAreaOverride(Rect(0, 0, 800, 600));
  TGraphicFixture f(TwoColourPicture(20, 10));
  auto* e = f.Edit();
  e->ToolbarLayout()->SetIsPopupMenu(false);
  e->ToolbarLayout()->Buttons = {ptbCut, ptbCopy, ptbPaste, ptbCustom};
  e->ToolbarLayout()->CustomButtonCaption = "Mine";
  int custom = 0;
  e->CustomButtonHook = [&](TObject*) { ++custom; };
  // A double click shows the bar below the editor (ptaBottom).
  SendInput(e, ikDblClick, {ssLeft}, 5, 5, mbLeft);
  TvmPopupToolBar* bar = e->ToolBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_TRUE(bar->Visible());
  TPoint editorTop = e->ClientToScreen(TPoint(0, 0));
  EXPECT_EQ(bar->Top(), editorTop.Y + e->Height());
  EXPECT_EQ(bar->ClientWidth(), 4 * 23);  // four buttons of 22 + 1
  EXPECT_FALSE(bar->Button(4)->Visible());
  SendInput(bar->Button(6), ikMouseDown, {ssLeft}, 3, 3, mbLeft);
  SendInput(bar->Button(6), ikMouseUp, {}, 3, 3, mbLeft);
  EXPECT_EQ(custom, 1);
  // Paste follows the clipboard at once.
  Clipboard()->SetAsText("text");
  Application->ProcessMessages();
  EXPECT_FALSE(bar->Button(2)->Enabled());
  TBitmap b(4, 4);
  Clipboard()->Assign(&b);
  Application->ProcessMessages();
  EXPECT_TRUE(bar->Button(2)->Enabled());
  // The close box hides it until it is shown again.
  bar->DispatchClose();
  EXPECT_FALSE(bar->Visible());
  EXPECT_TRUE(bar->ClosedByUser());
  bar->ShowBar();
  EXPECT_FALSE(bar->Visible());
  SendInput(e, ikDblClick, {ssLeft}, 5, 5, mbLeft);
  EXPECT_TRUE(bar->Visible());
  e->HideToolBar();
  // Near the bottom of the screen the bar opens above the editor.
  SetWorkAreaOverride(Rect(0, -300, 800, editorTop.Y + e->Height() + 10));
  e->ShowToolBar();
  EXPECT_EQ(bar->Top() + bar->Height(), editorTop.Y);
  e->HideToolBar();
  SetWorkAreaOverride(TRect());
}

}  // namespace
