// The editor framework: activation over a cell, validation and cancelling, styles and their
// controllers, StoredValues, and the text editor whose live window shows a cell's very pixels.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "inspector/vm_textedit.h"
#include "platform/clipbrd.h"
#include "platform/menus.h"
#include "platform/streaming.h"
#include "platform/streams.h"

namespace {

TEST(ContainerBase, RefusesEveryEditWithoutOverridesAndScrollsByWheel) {
  std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
  auto* c = new TCustomvmContainer(form.get());
  c->SetParent(form.get());
  c->SetBounds(0, 0, 100, 100);
  form->Show();
  EXPECT_FALSE(c->CanEditModify());
  EXPECT_FALSE(c->CanEditAcceptKey('a'));
  // An editor in it accepts no typing: the key is refused with a beep.
  auto* e = new TvmInplaceTextEdit(c);
  e->SetParent(c);
  e->ActivateAt(Rect(10, 10, 60, 30));
  int beeps = BeepCount();
  SendTextInput(e->TextWindow(), "x");
  EXPECT_EQ(e->GetWindowText(), "");
  EXPECT_EQ(BeepCount(), beeps + 1);
  // Only a positive delta scrolls up; zero scrolls down.
  SendInput(c, ikWheel, {}, 5, 5, -120);
  EXPECT_EQ(c->VScrollLines(), 3);
  SendInput(c, ikWheel, {}, 5, 5, 0);
  EXPECT_EQ(c->VScrollLines(), 6);
  SendInput(c, ikWheel, {}, 5, 5, 120);
  EXPECT_EQ(c->VScrollLines(), 3);
}

TEST(ContainerBase, SameScrollBarLookKeepsTheWindow) {
  TEditorFixture f;
  int gen = f.Grid->WindowGeneration();
  f.Grid->SetScrollBarLook(ssRegular);
  EXPECT_EQ(f.Grid->WindowGeneration(), gen);
  f.Grid->SetScrollBarLook(ssFlat);
  EXPECT_EQ(f.Grid->WindowGeneration(), gen + 1);
  EXPECT_EQ(FlatSB_GetScrollStyle(f.Grid, SB_VERT), FSB_ENCARTA_MODE);
  TScrollInfo si;
  si.fMask = SIF_ALL;
  si.nMin = 0;
  si.nMax = 99;
  si.nPage = 10;
  si.nPos = 500;
  EXPECT_EQ(f.Grid->SetScrollInfo(SB_VERT, si, false), 90);  // the last whole page
}

struct TCountingEdit : public TvmInplaceTextEdit {
  using TvmInplaceTextEdit::TvmInplaceTextEdit;
  int Activations = 0;
  void AfterActivate() override { ++Activations; }
};

TEST(EditBase, ActivateAtInflatesAndRunsTheHookOnlyOnAFreshUnlockedShow) {
  TEditorFixture f;
  auto* e = new TCountingEdit(f.Grid);
  e->SetParent(f.Grid);
  e->ActivateAt(Rect(0, 0, 0, 0));
  EXPECT_FALSE(e->EditVisible());
  e->ActivateAt(Rect(10, 10, 60, 30));
  EXPECT_EQ(e->BoundsRect(), Rect(8, 8, 62, 32));
  EXPECT_EQ(e->Activations, 1);
  e->ActivateAt(Rect(10, 10, 60, 30));  // already visible
  EXPECT_EQ(e->Activations, 1);
  e->HideEdit();
  EXPECT_EQ(e->Width(), 0);
  e->LockActivation();
  e->ActivateAt(Rect(10, 10, 60, 30));
  e->UnlockActivation();
  EXPECT_EQ(e->Activations, 1);
}

TEST(EditBase, ValidationRefusesWithTheTextAndEscapeRestores) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceTextEdit::StaticClass(), "old", Rect(10, 10, 150, 30));
  auto* e = static_cast<TvmInplaceTextEdit*>(f.Grid->EditCell(cell));
  bool accept = false;
  e->OnValidate = [&](TObject*, std::string&, bool& Accept) { Accept = accept; };
  // Not modified: nothing is asked.
  EXPECT_NO_THROW(e->ValidateEdit());
  e->SetActive(true);
  SendTextInput(e->TextWindow(), "new");
  EXPECT_TRUE(e->Modified());
  try {
    e->ValidateEdit();
    ADD_FAILURE() << "no refusal";
  } catch (const EvmEditInvalidInput& x) {
    EXPECT_EQ(x.Message(), "Invalid input value. Use escape key to abandon changes");
  }
  EXPECT_EQ(e->GetWindowText(), "new");  // the text stays
  // Under the validation lock nothing is validated.
  e->LockValidation();
  EXPECT_NO_THROW(e->ValidateEdit());
  e->UnlockValidation();
  // Esc goes back to the text of the activation; the container then closes without applying.
  PressKey(e->TextWindow(), VK_ESCAPE);
  EXPECT_EQ(f.Grid->Cells[cell].Value.AsString(), "old");
  EXPECT_EQ(f.Grid->Editor, nullptr);
  // Enter with an accepted value applies it.
  accept = true;
  e = static_cast<TvmInplaceTextEdit*>(f.Grid->EditCell(cell));
  SendTextInput(e->TextWindow(), "typed");
  PressKey(e->TextWindow(), VK_RETURN);
  EXPECT_EQ(f.Grid->Cells[cell].Value.AsString(), "typed");
}

TEST(EditBase, ContainerThatRefusesModificationSwallowsPasteAndDelete) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceTextEdit::StaticClass(), "keep", Rect(10, 10, 150, 30));
  auto* e = static_cast<TvmInplaceTextEdit*>(f.Grid->EditCell(cell));
  f.Grid->Modifiable = false;
  Clipboard()->SetAsText("pasted");
  PressKey(e->TextWindow(), 'V', {ssCtrl});
  PressKey(e->TextWindow(), VK_DELETE);
  PressKey(e->TextWindow(), VK_BACK);
  SendTextInput(e->TextWindow(), "z");
  EXPECT_EQ(e->GetWindowText(), "keep");
}

TEST(EditBase, ExplicitValuesAreMarkedAndOnlyThoseAreStreamed) {
  std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
  auto* e = new TvmInplaceTextEdit(form.get());
  EXPECT_EQ(e->StoredValues(), 0u);
  e->SetReadOnly(false);  // explicit even when it equals the default
  EXPECT_TRUE(e->IsStored(svmReadOnly));
  EXPECT_FALSE(e->GetReadOnly());
  e->ReadBindingProperties();
  EXPECT_FALSE(e->GetReadOnly());
  e->SetMaxLength(-5);
  EXPECT_EQ(e->MaxLength(), 0);
  EXPECT_EQ(e->StoredValues(), (1u << svmReadOnly) | (1u << svmMaxLength));

  // The set goes into the stream as a number, and only when not empty.
  auto written = [](TvmInplaceEdit* Edit) {
    TMemoryStream s;
    {
      TWriter w(s);
      w.WriteProperties(Edit);
    }
    return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
  };
  std::string withSet = written(e);
  EXPECT_NE(withSet.find("StoredValues"), std::string::npos);
  EXPECT_EQ(withSet.find("Height"), std::string::npos) << "an auto-sized editor does not store its height";
  e->RestoreDefaults();
  EXPECT_EQ(e->StoredValues(), 0u);
  EXPECT_EQ(written(e).find("StoredValues"), std::string::npos);
  e->SetAutoSize(false);
  EXPECT_NE(written(e).find("Height"), std::string::npos);
}

TEST(EditStyle, ResolvesOwnValueThenControllerThenSharedDefault) {
  std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
  auto* e = new TvmInplaceTextEdit(form.get());
  TvmEditStyle* s = e->Style();
  EXPECT_EQ(s->BorderStyle(), xbs3D);
  EXPECT_EQ(s->BorderColor(), clWindowFrame);
  EXPECT_EQ(s->Edges(), AllEdges);
  EXPECT_FALSE(s->HotTrack());
  EXPECT_FALSE(s->Shadow());
  EXPECT_TRUE(s->AssignedValues().Empty());
  s->SetBorderStyle(xbs3D);  // equal to what it resolves to, still marked
  EXPECT_TRUE(s->AssignedValues().Contains(svBorderStyle));

  auto* a = new TvmEditStyleController(form.get());
  int changes = 0;
  a->OnStyleChanged = [&](TObject*, TObject*) { ++changes; };
  e->SetStyleController(a);
  changes = 0;
  a->BeginUpdate();
  a->SetShadow(true);
  a->SetHotTrack(true);
  EXPECT_EQ(changes, 0);
  a->EndUpdate();
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(s->Shadow());
  // Following A, the shared default controller is ignored.
  DefaultEditStyleController()->SetEdges({edgLeft});
  EXPECT_EQ(s->Edges(), AllEdges);
  DefaultEditStyleController()->RestoreDefaults();
  s->RestoreDefaults();
  EXPECT_EQ(s->BorderStyle(), xbs3D);
  delete a;
  EXPECT_EQ(e->StyleController(), nullptr);
}

TEST(EditStyle, HotTrackingRaisesBorderAndResolvesButtonLook) {
  struct Case {
    TvmEditBorderStyle In, Hot;
    TvmEditButtonViewStyle Button;
  };
  const Case cases[] = {{xbsNone, xbsFlat, btsFlat},
                        {xbsSingle, xbsThick, bts3D},
                        {xbsFlat, xbs3D, bts3D},
                        {xbsThick, xbsThick, bts3D},
                        {xbs3D, xbs3D, bts3D}};
  for (const Case& c : cases) {
    EXPECT_EQ(HotBorderStyle(c.In), c.Hot);
    EXPECT_EQ(ResolveButtonStyle(btsDefault, HotBorderStyle(c.In)), c.Button);
  }
  EXPECT_EQ(ResolveButtonStyle(btsDefault, xbsNone), btsSimple);
  EXPECT_EQ(ResolveButtonStyle(btsDefault, xbsSingle), btsHotFlat);
}

TEST(EditBase, SingleBorderGetsARegionSoTheGutterShowsTheContainer) {
  TvmEditViewInfo vi;
  TvmEditViewData vd;
  vd.BorderStyle = xbsSingle;
  vd.Bounds = Rect(0, 0, 50, 20);
  TvmInplaceEdit::StaticClass()->CalcViewInfo(&vd, false, vi);
  TRegion r;
  ASSERT_TRUE(TvmInplaceEdit::CreateViewRegion(vi, r));
  EXPECT_EQ(r.Box(), Rect(1, 1, 49, 19));
  vd.BorderStyle = xbs3D;
  TvmInplaceEdit::StaticClass()->CalcViewInfo(&vd, false, vi);
  EXPECT_FALSE(TvmInplaceEdit::CreateViewRegion(vi, r));
}

TEST(TextEdit, LiveWindowShowsTheCellsPixels) {
  TEditorFixture f;
  // The content offsets move the painted text and the typed text alike.
  for (int offset : {0, 1, 4}) {
    int cell = f.Grid->AddCell(TvmInplaceTextEdit::StaticClass(), "Resistivity 42",
                               Rect(20, 20 + 30 * offset, 200, 40 + 30 * offset), [offset](TvmInplaceEdit* e) {
                                 e->SetContentOffsets({offset, offset / 2, 0, 0});
                               });
    ASSERT_GT(f.InkPixels(cell), 20);
    EXPECT_EQ(f.ContentMismatches(cell), 0) << "offset " << offset;
  }
}

TEST(TextEdit, CaseAndPasswordAndContextMenu) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceTextEdit::StaticClass(), "", Rect(20, 20, 200, 40));
  auto* e = static_cast<TvmInplaceTextEdit*>(f.Grid->EditCell(cell));
  int changes = 0;
  e->OnChange = [&](TObject*) { ++changes; };
  e->SetCharCase(ecUpperCase);
  e->SetWindowText("lower");
  EXPECT_EQ(e->GetWindowText(), "LOWER");
  EXPECT_FALSE(e->Modified());
  EXPECT_GE(changes, 1);
  SendTextInput(e->TextWindow(), "x");
  EXPECT_NE(e->GetWindowText().find('X'), std::string::npos);
  // Password: one mark per character in a painted cell; Cut and Copy disabled with a selection.
  e->SetPasswordChar('*');
  e->SelectAll();
  TPopupMenu* m = e->ContextMenu();
  ASSERT_NE(m, nullptr);
  e->ContextMenuRequest(5, 5);
  EXPECT_EQ(e->ShownMenu(), m);
  EXPECT_EQ(m->Items()->Items(3)->Caption(), "Cu&t");
  EXPECT_FALSE(m->Items()->Items(3)->Enabled());
  EXPECT_FALSE(m->Items()->Items(4)->Enabled());
  EXPECT_TRUE(m->Items()->Items(6)->Enabled());
  EXPECT_EQ(m->Items()->Items(8)->Caption(), "Select &All");
  EXPECT_FALSE(m->Items()->Items(8)->Enabled());  // all is selected already
  // A parent's menu wins over the editor's own.
  auto* formMenu = new TPopupMenu(f.Form.get());
  SetControlPopupMenu(f.Form.get(), formMenu);
  e->ContextMenuRequest(5, 5);
  EXPECT_EQ(e->ShownMenu(), formMenu);
}

TEST(TextEdit, PasswordCellPaintsOneMarkPerCharacter) {
  TBitmap a(120, 20), b(120, 20);
  TvmTextEditViewData vd;
  vd.Font->SetName("DejaVu Sans");
  vd.Value = "abc";
  vd.PasswordChar = '*';
  TvmInplaceTextEdit::StaticClass()->DrawContent(a.Canvas(), Rect(0, 0, 120, 20), &vd, false);
  vd.PasswordChar = 0;
  vd.Value = "***";
  TvmInplaceTextEdit::StaticClass()->DrawContent(b.Canvas(), Rect(0, 0, 120, 20), &vd, false);
  int diff = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 120; ++x) diff += a.Canvas()->Pixels(x, y) != b.Canvas()->Pixels(x, y);
  EXPECT_EQ(diff, 0);
}

}  // namespace
