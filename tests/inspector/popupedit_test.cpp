// The popup-form editor: a hidden control hosted in the popup and given back as it was, the
// popup's size and minima, the close query and close-up events, every route that closes it,
// nesting, and the cell against the live editor.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "inspector/vm_popupedit.h"
#include "inspector/vm_treeview.h"
#include "platform/extctrls.h"

namespace {

// Opens the popup with Open and plays Steps inside its loop, one per timer tick. A popup left
// open after them is closed and reported, so that a failing test cannot hang.
void RunInPopup(TvmInplacePopupEdit* E, const std::function<void()>& Open, std::vector<std::function<void()>> Steps) {
  TTimer t(nullptr);
  t.SetEnabled(false);  // ticks only once the popup is opening, however slow the machine
  t.SetInterval(5);
  size_t next = 0;
  int spare = 0;
  t.OnTimer = [&](TObject*) {
    if (next == 0 && !(E->PopupForm() && E->Showing())) return;  // not open yet
    if (next < Steps.size()) {
      auto step = Steps[next++];
      step();
      return;
    }
    if (++spare > 40 && E->Showing()) {
      ADD_FAILURE() << "the popup stayed open";
      E->PopupForm()->CloseUp(false);
    }
  };
  // The window that had the popup is active again before the next one opens.
  Application->ProcessMessages();
  t.SetEnabled(true);
  Open();
  t.SetEnabled(false);
  EXPECT_EQ(next, Steps.size()) << "the popup closed before every step ran";
}

struct TPopupFixture : TEditorFixture {
  int Cell;
  TvmTreeView* Tree;
  int Inits = 0, Popups = 0;
  std::string PopupText;
  TPopupFixture() {
    Tree = new TvmTreeView(Form.get());
    Tree->SetParent(Form.get());
    Tree->SetBounds(5, 6, 81, 81);
    Tree->SetVisible(false);
    Cell = Grid->AddCell(TvmInplacePopupEdit::StaticClass(), std::string("start"), Rect(20, 20, 200, 40),
                         [this](TvmInplaceEdit* e) {
                           auto* p = static_cast<TvmInplacePopupEdit*>(e);
                           p->SetPopupControl(Tree);
                           p->OnInitPopup = [this](TObject*) { ++Inits; };
                           p->OnPopup = [this](TObject*, const std::string& T) {
                             ++Popups;
                             PopupText = T;
                           };
                         });
  }
  TvmInplacePopupEdit* Edit() {
    // The form becomes the active window first: the popup opens only from a focused editor.
    Application->ProcessMessages();
    return static_cast<TvmInplacePopupEdit*>(Grid->EditCell(Cell));
  }
};

TEST(PopupEdit, HostsTheHiddenTreeAndGivesItBackAsItWas) {
  TPopupFixture f;
  auto* e = f.Edit();
  e->SetPopupMinWidth(50);
  e->SetPopupMinHeight(50);
  bool hosted = false;
  // Alt+Down asks for the popup; it opens once the key's message is done.
  RunInPopup(e,
             [&] {
               PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
               EXPECT_FALSE(e->Showing());
               Application->ProcessMessages();
             },
             {[&] {
               TvmPopupEditForm* form = e->PopupForm();
               hosted = form->Visible() && f.Tree->Parent() == form && f.Tree->Visible() &&
                        f.Tree->Align() == alClient && form->ClientWidth() == 81 && form->ClientHeight() == 81;
               EXPECT_TRUE(e->IsFocused());
               PressKey(form, VK_ESCAPE);
             }});
  EXPECT_TRUE(hosted);
  EXPECT_EQ(f.Inits, 1);
  EXPECT_EQ(f.Popups, 1);
  EXPECT_EQ(f.PopupText, "start");
  EXPECT_EQ(f.Tree->Parent(), f.Form.get());
  EXPECT_FALSE(f.Tree->Visible());
  EXPECT_EQ(f.Tree->Align(), alNone);
  EXPECT_EQ(f.Tree->BoundsRect(), Bounds(5, 6, 81, 81));
  EXPECT_TRUE(TvmPopupEditForm::OpenPopups().empty());
  // The popup sits under the editor, its grip in the far corner.
  EXPECT_EQ(e->PopupForm()->Top(), e->ClientToScreen(TPoint(0, e->Height())).Y);
  EXPECT_EQ(e->PopupForm()->GripCorner, 3);
}

TEST(PopupEdit, SizeFollowsTheUserAndTheMinima) {
  TPopupFixture f;
  auto* e = f.Edit();
  e->PopupAutoSize = false;
  RunInPopup(e, [&] { e->ShowPopupForm(); },
             {[&] {
                EXPECT_EQ(e->PopupForm()->Width(), 250);
                EXPECT_EQ(e->PopupForm()->Height(), 200);
                TvmPopupEditForm* form = e->PopupForm();
                SendWindowGeometry(form, form->Left(), form->Top(), 320, 260);
              },
              [&] { PressKey(e->PopupForm(), VK_RETURN); }});
  EXPECT_EQ(e->PopupWidth(), 320);
  EXPECT_EQ(e->PopupHeight(), 260);
  TvmInplacePopupEdit fresh(nullptr);
  fresh.SetPopupMinWidth(300);
  EXPECT_EQ(fresh.PopupWidth(), 300);
  fresh.SetPopupMinHeight(-4);
  EXPECT_EQ(fresh.PopupMinHeight(), 0);
  EXPECT_EQ(fresh.PopupForm(), nullptr);
}

TEST(PopupEdit, CloseQueryAndCloseUpDecideWhatHappens) {
  TPopupFixture f;
  auto* e = f.Edit();
  bool canClose = false;
  e->OnCloseQuery = [&](TObject*, bool& C) { C = canClose; };
  std::string chosen = "chosen";
  bool accept = true;
  e->OnCloseUp = [&](TObject*, std::string& T, bool& A) {
    T = chosen;
    A = A && accept;
  };
  // Refused: Enter and the close box keep it open; leaving it (deactivation) does not ask.
  RunInPopup(e, [&] { e->ShowPopupForm(); },
             {[&] { PressKey(e->PopupForm(), VK_RETURN); },
              [&] {
                EXPECT_TRUE(e->PopupForm()->Visible());
                e->PopupForm()->DispatchClose();
              },
              [&] {
                EXPECT_TRUE(e->PopupForm()->Visible());
                e->PopupForm()->DispatchActivate(true);
                e->PopupForm()->DispatchActivate(false);
              }});
  EXPECT_FALSE(e->PopupForm()->Visible());
  EXPECT_EQ(e->GetWindowText(), "start");  // a close without accepting
  EXPECT_FALSE(e->Modified());
  // Allowed: the close-up text becomes the editor's, marked modified.
  canClose = true;
  RunInPopup(e, [&] { e->ShowPopupForm(); }, {[&] { PressKey(e->PopupForm(), VK_RETURN); }});
  EXPECT_EQ(e->GetWindowText(), "chosen");
  EXPECT_TRUE(e->Modified());
  // Accept cleared by the handler: the text stays.
  chosen = "other";
  accept = false;
  RunInPopup(e, [&] { e->ShowPopupForm(); }, {[&] { PressKey(e->PopupForm(), VK_DOWN, {ssAlt}); }});
  EXPECT_EQ(e->GetWindowText(), "chosen");
  // A click outside closes without accepting.
  accept = true;
  RunInPopup(e, [&] { e->ShowPopupForm(); }, {[&] { SendInput(f.Grid, ikMouseDown, {ssLeft}, 380, 280, mbLeft); }});
  EXPECT_FALSE(e->Showing());
  EXPECT_EQ(e->GetWindowText(), "chosen");
}

TEST(PopupEdit, TheButtonOfAnOpenPopupDoesNotReopenIt) {
  TPopupFixture f;
  auto* e = f.Edit();
  auto vd = e->CreateViewData(false);
  const TRect b = TvmInplacePopupEdit::ButtonRects(e->EditClass(), vd.get()).at(0);
  RunInPopup(e,
             [&] {
               SendInput(e, ikMouseDown, {ssLeft}, b.Left + 3, b.Top + 3, mbLeft);
               SendInput(e, ikMouseUp, {}, b.Left + 3, b.Top + 3, mbLeft);
               Application->ProcessMessages();
             },
             {[&] {
                SendInput(e, ikMouseDown, {ssLeft}, b.Left + 3, b.Top + 3, mbLeft);
                SendInput(e, ikMouseUp, {}, b.Left + 3, b.Top + 3, mbLeft);
              },
              [&] {
                EXPECT_TRUE(e->Showing());
                PressKey(e->PopupForm(), VK_ESCAPE);
              }});
  Application->ProcessMessages();
  EXPECT_FALSE(e->Showing());
  EXPECT_EQ(f.Popups, 1);
}

TEST(PopupEdit, AnotherWindowActivatedOrTheFormMovedCloses) {
  TPopupFixture f;
  auto* e = f.Edit();
  TForm other(nullptr);
  other.SetBounds(500, 400, 100, 80);
  RunInPopup(e, [&] { e->ShowPopupForm(); }, {[&] {
               other.Show();
               ActivateControlWindow(&other);
             }});
  Application->ProcessMessages();
  EXPECT_FALSE(e->Showing());
  other.Hide();
  RunInPopup(e, [&] { e->ShowPopupForm(); },
             {[&] { SendWindowGeometry(f.Form.get(), 30, 20, f.Form->Width(), f.Form->Height()); }});
  EXPECT_FALSE(e->Showing());
  EXPECT_EQ(e->GetWindowText(), "start");
  EXPECT_EQ(f.Tree->Parent(), f.Form.get());
}

TEST(PopupEdit, APopupInsideAPopupClosesFirstAndKeepsItsParentOpen) {
  TPopupFixture f;
  // The outer popup hosts a second grid whose cell is a popup editor of its own (hosting a panel).
  auto* innerGrid = new TTestContainer(f.Form.get());
  innerGrid->SetParent(f.Form.get());
  innerGrid->SetBounds(0, 0, 230, 60);
  innerGrid->SetVisible(false);
  auto* panel = new TPanel(f.Form.get());
  panel->SetParent(f.Form.get());
  panel->SetBounds(3, 4, 70, 50);
  panel->SetVisible(false);
  std::vector<std::string> closed;
  const int innerCell = innerGrid->AddCell(
      TvmInplacePopupEdit::StaticClass(), std::string("inner"), Rect(10, 10, 200, 30), [&](TvmInplaceEdit* e) {
        auto* p = static_cast<TvmInplacePopupEdit*>(e);
        p->SetPopupControl(panel);
        p->OnCloseUp = [&](TObject*, std::string&, bool&) { closed.push_back("inner"); };
      });
  auto* outer = f.Edit();
  outer->SetPopupControl(innerGrid);
  outer->OnCloseUp = [&](TObject*, std::string&, bool&) { closed.push_back("outer"); };
  TvmInplacePopupEdit* inner = nullptr;
  auto openInner = [&] {
    // The outer popup form is the active window: the inner editor takes the focus like any control
    // of it, and Alt+Down asks for its popup, which opens inside the outer popup's loop.
    inner = static_cast<TvmInplacePopupEdit*>(innerGrid->EditCell(innerCell));
    ASSERT_TRUE(inner->IsFocused());
    PressKey(inner->TextWindow(), VK_DOWN, {ssAlt});
  };
  auto bothOpen = [&] {
    ASSERT_TRUE(inner && inner->Showing());
    ASSERT_EQ(TvmPopupEditForm::OpenPopups().size(), 2u);
    EXPECT_EQ(TvmPopupEditForm::OpenPopups()[0], outer->PopupForm());
    EXPECT_EQ(TvmPopupEditForm::OpenPopups()[1], inner->PopupForm());
    EXPECT_EQ(panel->Parent(), inner->PopupForm());
    // Both editors count as focused while the inner popup has the keyboard.
    EXPECT_TRUE(inner->IsFocused());
    EXPECT_TRUE(outer->IsFocused());
  };
  RunInPopup(outer, [&] { outer->ShowPopupForm(); },
             {[&] { EXPECT_TRUE(outer->PopupForm()->Visible()); }, openInner, bothOpen,
              [&] {
                // Escape in the inner popup closes only that one.
                PressKey(inner->PopupForm(), VK_ESCAPE);
                EXPECT_FALSE(inner->PopupForm()->Visible());
                EXPECT_TRUE(outer->PopupForm()->Visible());
                EXPECT_EQ(TvmPopupEditForm::OpenPopups().size(), 1u);
              },
              [&] {
                // Its loop has ended: its panel is back on the form.
                EXPECT_EQ(panel->Parent(), f.Form.get());
                EXPECT_TRUE(outer->Showing());
              },
              openInner, bothOpen,
              [&] {
                // Closing the outer popup closes the inner one first.
                closed.clear();
                outer->PopupForm()->CloseUp(false);
              }});
  Application->ProcessMessages();
  EXPECT_EQ(closed, (std::vector<std::string>{"inner", "outer"}));
  EXPECT_FALSE(outer->Showing());
  EXPECT_FALSE(inner->Showing());
  EXPECT_TRUE(TvmPopupEditForm::OpenPopups().empty());
  EXPECT_EQ(panel->Parent(), f.Form.get());
  EXPECT_FALSE(panel->Visible());
  EXPECT_EQ(innerGrid->Parent(), f.Form.get());
  EXPECT_FALSE(innerGrid->Visible());
}

TEST(PopupEdit, CircularControlIsRefusedAndCellsMatchTheLiveEditor) {
  TPopupFixture f;
  auto* e = f.Edit();
  e->SetPopupControl(f.Grid);
  try {
    e->ShowPopupForm();
    ADD_FAILURE();
  } catch (const Exception& x) {
    EXPECT_EQ(x.Message(), "Circular referencing is not allowed");
  }
  EXPECT_EQ(f.Grid->Parent(), f.Form.get());
  EXPECT_FALSE(e->Showing());
  e->SetPopupControl(nullptr);
  f.Grid->CloseEdit(false);
  EXPECT_EQ(f.ContentMismatches(f.Cell), 0);
  // With a hidden edit cursor the text is shown, not typed into, and a click opens the popup.
  e->SetHideEditCursor(true);
  EXPECT_FALSE(e->CanEditText());
  EXPECT_TRUE(e->PopupOnClick());
}

}  // namespace
