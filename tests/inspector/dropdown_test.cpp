// Masks, the drop-down life cycle (every route that opens and closes a popup), the pick editor's
// completion and stepping, and the button editor's buttons.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "inspector/vm_dropdown.h"
#include "platform/clipbrd.h"

namespace {

TEST(MaskRoutines, FieldsBlankAndKeptLiterals) {
  struct Case {
    const char* Mask;
    bool Keeps;
    char Blank;
    int Positions;
  };
  const Case cases[] = {{"000", true, '_', 3},           {"(999)000-0000;1;_", true, '_', 13},
                        {"(999)000;0;*", false, '*', 8}, {"!9999;0;_", false, '_', 4},
                        {">LL\\-00", true, '_', 5},      {"00/00/0000;1; ", true, ' ', 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Mask);
    EXPECT_EQ(MaskKeepsLiterals(c.Mask), c.Keeps);
    EXPECT_EQ(MaskBlankChar(c.Mask), c.Blank);
    EXPECT_EQ(CountMaskPositions(c.Mask), c.Positions);
  }
  EXPECT_EQ(ClassifyMaskChar(">LL\\-00", 3), mcDirective);
  EXPECT_EQ(ClassifyMaskChar(">LL\\-00", 4), mcLiteral);
  EXPECT_EQ(ApplyMaskFormat("!9999;0;_", "12", '_'), "__12");
  EXPECT_EQ(ApplyMaskFormat("00/00", "1203", '_'), "12.03");  // the locale's date separator
}

TEST(MaskEdit, ReversedMaskValueAndIncompleteInput) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceMaskEdit::StaticClass(), "12", Rect(20, 20, 200, 40),
                             [](TvmInplaceEdit* e) { static_cast<TvmInplaceMaskEdit*>(e)->SetEditMask("!9999;0;_"); });
  auto* e = static_cast<TvmInplaceMaskEdit*>(f.Grid->EditCell(cell));
  EXPECT_EQ(e->GetWindowText(), "__12");
  EXPECT_EQ(e->GetText(), "12");

  // Three required digits, literals not kept: two typed digits are the value; validation fails at
  // the third position unless blanks are ignored.
  e->SetEditMask("000;0;_");
  e->SetEditValue("");
  e->SetCaret(0);
  SendTextInput(e->TextWindow(), "12");
  EXPECT_EQ(e->GetWindowText(), "12_");
  EXPECT_EQ(e->GetText(), "12");
  EXPECT_THROW(e->ValidateEdit(), EDBEditError);
  EXPECT_EQ(e->CaretPosition(), 2);
  e->SetIgnoreMaskBlank(true);
  EXPECT_NO_THROW(e->ValidateEdit());
  e->SetIgnoreMaskBlank(false);
  // Closing with incomplete input cancels instead of raising.
  e->SetClosing(true);
  EXPECT_NO_THROW(e->ValidateEdit());
  EXPECT_EQ(e->GetWindowText(), "___");
}

TEST(MaskEdit, TypingRefusesAndJumpsToLiterals) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceMaskEdit::StaticClass(), "", Rect(20, 20, 200, 40), [](TvmInplaceEdit* e) {
    static_cast<TvmInplaceMaskEdit*>(e)->SetEditMask("(999)000;1;_");
  });
  auto* e = static_cast<TvmInplaceMaskEdit*>(f.Grid->EditCell(cell));
  EXPECT_EQ(e->GetWindowText(), "(___)___");
  std::string editing;
  e->GetEditingText(editing);
  EXPECT_EQ(editing, "");  // only blanks: empty for the container
  e->SetCaret(1);
  int beeps = BeepCount();
  SendTextInput(e->TextWindow(), ")");  // jumps over the literal silently
  EXPECT_EQ(BeepCount(), beeps);
  EXPECT_EQ(e->CaretPosition(), 5);
  SendTextInput(e->TextWindow(), "x");  // not a digit
  EXPECT_EQ(BeepCount(), beeps + 1);
  SendTextInput(e->TextWindow(), "7");
  EXPECT_EQ(e->GetWindowText(), "(___)7__");
  // Pasting text with or without literals fits alike.
  Clipboard()->SetAsText("123456");
  e->SetCaret(1);
  PressKey(e->TextWindow(), 'V', {ssCtrl});
  EXPECT_EQ(e->GetWindowText(), "(123)456");
  // Delete from the context menu clears every input position.
  e->ClearSelection();
  EXPECT_EQ(e->GetWindowText(), "(___)___");
}

TEST(MaskEdit, PaintedCellMatchesLiveWindow) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceMaskEdit::StaticClass(), "123456", Rect(20, 20, 200, 40), [](TvmInplaceEdit* e) {
    static_cast<TvmInplaceMaskEdit*>(e)->SetEditMask("(999)000;0;_");
  });
  EXPECT_EQ(f.ContentMismatches(cell), 0);
}

struct TPickFixture : TEditorFixture {
  int Cell;
  TPickFixture(const std::vector<std::string>& Items, const std::string& Value, bool ListStyle = false) {
    Cell = Grid->AddCell(TvmInplacePickEdit::StaticClass(), Value, Rect(20, 20, 200, 40),
                         [Items, ListStyle](TvmInplaceEdit* e) {
                           auto* p = static_cast<TvmInplacePickEdit*>(e);
                           p->Items()->Clear();
                           for (const auto& s : Items) p->Items()->Add(s);
                           p->SetDropDownListStyle(ListStyle);
                           p->SetImmediateDropDown(false);
                         });
  }
  TvmInplacePickEdit* Edit() { return static_cast<TvmInplacePickEdit*>(Grid->EditCell(Cell)); }
};

TEST(PickEdit, TypingCompletesFromItems) {
  TPickFixture f({"Alpha", "Beta", "alpine"}, "");
  auto* e = f.Edit();
  SendTextInput(e->TextWindow(), "a");
  EXPECT_EQ(e->GetWindowText(), "Alpha");
  EXPECT_EQ(e->GetSelStart(), 1);
  EXPECT_EQ(e->GetSelLength(), 4);
  SendTextInput(e->TextWindow(), "l");
  EXPECT_EQ(e->GetWindowText(), "Alpha");
  EXPECT_EQ(e->GetSelStart(), 2);
  SendTextInput(e->TextWindow(), "i");
  EXPECT_EQ(e->GetWindowText(), "Ali");
}

TEST(PickEdit, ListStyleBackspaceNeverEmpties) {
  TPickFixture f({"Alpha", "Beta"}, "Beta", true);
  auto* e = f.Edit();
  e->SetSelection(4, 4);
  for (int i = 0; i < 6; ++i) PressKey(e->TextWindow(), VK_BACK);
  EXPECT_EQ(e->GetWindowText(), "Beta");
}

TEST(PickEdit, DoubleClickCyclesAndWheelStepsWithoutWrapping) {
  TPickFixture f({"one", "two", "three"}, "three");
  auto* e = f.Edit();
  e->StepValue(1, true);
  EXPECT_EQ(e->GetWindowText(), "one");
  e->StepValue(-1, false);
  EXPECT_EQ(e->GetWindowText(), "one");
  SendInput(e, ikWheel, {}, 3, 3, -120);
  EXPECT_EQ(e->GetWindowText(), "two");
  SendInput(e, ikWheel, {}, 3, 3, -120);
  SendInput(e, ikWheel, {}, 3, 3, -120);
  EXPECT_EQ(e->GetWindowText(), "three");
}

TEST(PickEdit, EveryRouteOpensAndClosesTheList) {
  TPickFixture f({"one", "two", "three"}, "one");
  auto* e = f.Edit();
  auto button = [&] {
    auto vd = e->CreateViewData(false);
    return TvmInplacePickEdit::ButtonRects(e->EditClass(), vd.get()).at(0);
  };
  TRect b = button();
  // The button opens; the button again closes without accepting.
  SendInput(e, ikMouseDown, {ssLeft}, b.Left + 3, b.Top + 3, mbLeft);
  SendInput(e, ikMouseUp, {}, b.Left + 3, b.Top + 3, mbLeft);
  ASSERT_TRUE(e->PopupShown());
  EXPECT_TRUE(e->PopupList()->Visible());
  EXPECT_EQ(e->PopupList()->ItemIndex(), 0);
  SendInput(e, ikMouseDown, {ssLeft}, b.Left + 3, b.Top + 3, mbLeft);
  SendInput(e, ikMouseUp, {}, b.Left + 3, b.Top + 3, mbLeft);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_FALSE(e->PopupList()->Visible());
  // Alt+Down opens, Down moves in the list, Enter accepts (no character reaches the text).
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  ASSERT_TRUE(e->PopupShown());
  PressKey(e->TextWindow(), VK_DOWN);
  PressKey(e->TextWindow(), VK_RETURN);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_EQ(e->GetWindowText(), "two");
  EXPECT_EQ(f.Grid->Editor, e) << "Enter closing a list does not close the editor";
  // Escape closes without accepting.
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  PressKey(e->TextWindow(), VK_DOWN);
  PressKey(e->TextWindow(), VK_ESCAPE);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_EQ(e->GetWindowText(), "two");
  // A click outside closes without accepting.
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  PressKey(e->TextWindow(), VK_DOWN);
  SendInput(f.Grid, ikMouseDown, {ssLeft}, 350, 250, mbLeft);
  SendInput(f.Grid, ikMouseUp, {}, 350, 250, mbLeft);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_EQ(e->GetWindowText(), "two");
  // Losing the focus closes.
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  ASSERT_TRUE(e->PopupShown());
  e->TextWindow()->DispatchExit();
  EXPECT_FALSE(e->PopupShown());
  // A click in the list accepts the item under the mouse.
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  TvmPopupListBox* list = e->PopupList();
  int y = list->ClientRect().Top + 2 * list->ItemHeight() + 2;
  SendInput(list, ikMouseMove, {}, 10, y);
  SendInput(list, ikMouseDown, {ssLeft}, 10, y, mbLeft);
  SendInput(list, ikMouseUp, {}, 10, y, mbLeft);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_EQ(e->GetWindowText(), "three");
}

TEST(PickEdit, DraggingFromTheButtonIntoTheListPicksWhereTheButtonGoesUp) {
  TPickFixture f({"one", "two", "three", "four"}, "one");
  auto* e = f.Edit();
  auto vd = e->CreateViewData(false);
  const TRect b = TvmInplacePickEdit::ButtonRects(e->EditClass(), vd.get()).at(0);
  SendInput(e, ikMouseDown, {ssLeft}, b.Left + 3, b.Top + 3, mbLeft);
  ASSERT_TRUE(e->PopupShown());
  TvmPopupListBox* list = e->PopupList();
  // The editor keeps the mouse while the button is held: its points are turned into the list's.
  auto inEditor = [&](int Item) {
    const TRect c = list->ClientRect();
    return e->ScreenToClient(list->ClientToScreen(TPoint(c.Left + 5, c.Top + Item * list->ItemHeight() + 2)));
  };
  TPoint p = inEditor(1);
  SendInput(e, ikMouseMove, {ssLeft}, p.X, p.Y);
  EXPECT_EQ(e->HeldButton(), -1);
  EXPECT_EQ(list->ItemIndex(), 1);
  p = inEditor(2);
  SendInput(e, ikMouseMove, {ssLeft}, p.X, p.Y);
  EXPECT_EQ(list->ItemIndex(), 2);
  SendInput(e, ikMouseUp, {}, p.X, p.Y, mbLeft);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_EQ(e->GetWindowText(), "three");
  // Released outside the list: closed without a pick.
  SendInput(e, ikMouseDown, {ssLeft}, b.Left + 3, b.Top + 3, mbLeft);
  p = inEditor(3);
  SendInput(e, ikMouseMove, {ssLeft}, p.X, p.Y);
  SendInput(e, ikMouseUp, {}, -50, -50, mbLeft);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_EQ(e->GetWindowText(), "three");
}

TEST(PickEdit, EmptyItemsNeverOpenAndPopupSitsUnderTheEditor) {
  TPickFixture empty({}, "");
  auto* e = empty.Edit();
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  EXPECT_FALSE(e->PopupShown());

  TPickFixture f({"a", "b"}, "a");
  e = f.Edit();
  e->SetPopupAlignment(taRightJustify);
  e->SetDropDownWidth(150);
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  ASSERT_TRUE(e->PopupShown());
  TPoint editorRight = e->ClientToScreen(TPoint(e->Width(), e->Height()));
  TvmPopupListBox* list = e->PopupList();
  TPoint listRight = list->ClientToScreen(TPoint(list->Width(), 0));
  EXPECT_EQ(listRight.X, editorRight.X);
  EXPECT_EQ(listRight.Y, editorRight.Y);
}

TEST(PickEdit, PaintedCellMatchesLiveWindow) {
  TPickFixture f({"Magnetotelluric", "Audio"}, "Magnetotelluric");
  EXPECT_EQ(f.ContentMismatches(f.Cell), 0);
}

TEST(ButtonEdit, ButtonsClickByMouseAndClickKey) {
  TEditorFixture f;
  std::vector<int> clicks;
  int cell =
      f.Grid->AddCell(TvmInplaceButtonEdit::StaticClass(), "value", Rect(20, 20, 200, 40), [&](TvmInplaceEdit* e) {
        auto* b = static_cast<TvmInplaceButtonEdit*>(e);
        if (b->Buttons()->Count() < 2) {
          b->Buttons()->Add()->SetKind(bkDown);
          b->Buttons()->Items(0)->SetVisible(true);
        }
        b->OnButtonClick = [&clicks](TObject*, int Index) { clicks.push_back(Index); };
      });
  auto* e = static_cast<TvmInplaceButtonEdit*>(f.Grid->EditCell(cell));
  EXPECT_TRUE(e->Buttons()->Items(0)->Default());
  auto vd = e->CreateViewData(false);
  std::vector<TRect> r = TvmInplaceButtonEdit::ButtonRects(e->EditClass(), vd.get());
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[1].Right, e->Width() - 2);
  EXPECT_EQ(r[0].Right, r[1].Left);
  // A press released outside every button clicks nothing.
  SendInput(e, ikMouseDown, {ssLeft}, r[1].Left + 2, r[1].Top + 2, mbLeft);
  SendInput(e, ikMouseUp, {}, 5, 5, mbLeft);
  EXPECT_TRUE(clicks.empty());
  SendInput(e, ikMouseDown, {ssLeft}, r[1].Left + 2, r[1].Top + 2, mbLeft);
  SendInput(e, ikMouseUp, {}, r[1].Left + 2, r[1].Top + 2, mbLeft);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0], 1);
  PressKey(e->TextWindow(), VK_RETURN, {ssCtrl});
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks[1], 0);
  // Nine buttons are refused.
  for (int i = e->Buttons()->Count(); i < 8; ++i) e->Buttons()->Add();
  try {
    e->Buttons()->Add();
    ADD_FAILURE();
  } catch (const Exception& x) {
    EXPECT_EQ(x.Message(), "Too many buttons ( >= 8)");
  }
}

TEST(ButtonEdit, PaintedCellMatchesLiveWindowAndButtonsOnlyFillTheCell) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceButtonEdit::StaticClass(), "C:/sites/mt01.edi", Rect(20, 20, 200, 40));
  EXPECT_EQ(f.ContentMismatches(cell), 0);
  auto* e = static_cast<TvmInplaceButtonEdit*>(f.Grid->Editor);
  e->SetMode(bemButtonsOnly);
  auto vd = e->CreateViewData(false);
  TvmEditViewInfo vi;
  e->EditClass()->CalcViewInfo(vd.get(), false, vi);
  EXPECT_EQ(vi.ContentRect.Width(), 0);
  std::vector<TRect> r = TvmInplaceButtonEdit::ButtonRects(e->EditClass(), vd.get());
  EXPECT_EQ(r[0].Left, 2);
  EXPECT_EQ(r[0].Right, e->Width() - 2);
}

}  // namespace
