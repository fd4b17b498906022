// Rows of every editor kind nested in one inspector: each opens its own editor kind, moves its
// value text in and out, and paints its cell; values that do not parse stay as typed.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "editor_fixture.h"
#include "inspector/testkit/inspector_rows_fixture.h"
#include "inspector/vm_inspector.h"
#include "inspector/vm_inspector_rows.h"
#include "inspector/vm_treeview.h"
#include "platform/clipbrd.h"
#include "platform/extctrls.h"
#include "platform/guards.h"
#include "platform/object.h"
#include "platform/richedit.h"
#include "platform/streaming.h"

namespace {

struct TRowsFixture : TInspectorRowsFixture<TvmInspector> {
  TRowsFixture() {
    SetLocaleInfo(DefaultLocaleInfo());
    RegisterInspectorTextRows();
    Form->SetBounds(0, 0, 420, 560);
    Insp = new TvmInspector(Form.get());
    Insp->SetName("Insp");
    Insp->Font()->SetName("DejaVu Sans");
    Insp->Font()->SetSize(9);
    Insp->SetParent(Form.get());
    Insp->SetBounds(0, 0, 400, 540);
    Insp->SetDividerPos(150);
    Form->Show();
    Application->ProcessMessages();
  }
  template <class R>
  R* Add(const std::string& Caption, const std::string& Value, TvmInspectorRow* Parent = nullptr) {
    R* r = Insp->CreateRow<R>();
    r->SetCaption(Caption);
    r->SetEditText(Value);
    if (Parent) r->Node()->MoveTo(Parent->Node(), inaAddChild);
    return r;
  }
};

TEST(InspectorRowKinds, EveryKindNestsOpensItsEditorAndPaints) {
  TRowsFixture f;
  auto* top = f.Add<TvmInspectorTextRow>("Top", "t");
  struct Kind {
    TvmInspectorRow* Row;
    TvmInplaceEditClass Editor;
  };
  std::vector<Kind> kinds = {
      {f.Add<TvmInspectorTextMaskRow>("Mask", "12", top), TvmInspectorMaskEdit::StaticClass()},
      {f.Add<TvmInspectorTextCheckRow>("Check", "True", top), TvmInspectorCheckEdit::StaticClass()},
      {f.Add<TvmInspectorTextSpinRow>("Spin", "5", top), TvmInspectorSpinEdit::StaticClass()},
      {f.Add<TvmInspectorTextTimeRow>("Time", "10:20:30", top), TvmInspectorTimeEdit::StaticClass()},
      {f.Add<TvmInspectorTextCurrencyRow>("Currency", "12.5", top), TvmInspectorCurrencyEdit::StaticClass()},
      {f.Add<TvmInspectorTextHyperLinkRow>("Link", "http://x", top), TvmInspectorHyperLinkEdit::StaticClass()},
      {f.Add<TvmInspectorTextMemoRow>("Memo", "a b", top), TvmInspectorMemoEdit::StaticClass()},
      {f.Add<TvmInspectorTextDateRow>("Date", "2020-01-02", top), TvmInspectorDateEdit::StaticClass()},
      {f.Add<TvmInspectorTextCalcRow>("Calc", "3.5", top), TvmInspectorCalcEdit::StaticClass()},
      {f.Add<TvmInspectorTextButtonRow>("Button", "b", top), TvmInspectorButtonEdit::StaticClass()},
      {f.Add<TvmInspectorTextPickRow>("Pick", "p", top), TvmInspectorPickEdit::StaticClass()},
      {f.Add<TvmInspectorTextMRURow>("MRU", "m", top), TvmInspectorMRUEdit::StaticClass()},
      {f.Add<TvmInspectorTextImageRow>("Image", "i", top), TvmInspectorImageEdit::StaticClass()},
      {f.Add<TvmInspectorTextBlobRow>("Blob", "blob", top), TvmInspectorBlobEdit::StaticClass()},
      {f.Add<TvmInspectorTextPopupRow>("Popup", "pp", top), TvmInspectorPopupEdit::StaticClass()},
  };
  auto* image = static_cast<TvmInspectorTextImageRow*>(kinds[12].Row);
  image->Values()->Add("i");
  image->Descriptions()->Add("Item");
  image->ShowDescription = true;
  // Third level under the first kind, and a complex row of two of them.
  auto* deep = f.Add<TvmInspectorTextRow>("Deep", "d", kinds[0].Row);
  auto* cx = f.Add<TvmInspectorComplexRow>("Pair", "");
  auto* l = f.Add<TvmInspectorTextRow>("L", "left");
  auto* r = f.Add<TvmInspectorTextSpinRow>("R", "7");
  cx->SetItemRow(cx->AddItem(), l);
  cx->SetItemRow(cx->AddItem(), r);
  EXPECT_EQ(l->Node(), nullptr);  // items leave the tree
  EXPECT_EQ(deep->Node()->Level(), 2);
  f.Insp->FullExpand();
  for (const Kind& k : kinds) {
    SCOPED_TRACE(k.Row->GetCaption());
    EXPECT_EQ(k.Row->Node()->Parent(), top->Node());
    TvmInplaceEdit* e = f.Open(k.Row);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->ClassType(), k.Editor);
    EXPECT_TRUE(e->EditVisible());
    const std::string before = k.Row->EditText();
    f.Leave();
    EXPECT_EQ(k.Row->EditText(), before);  // not modified: nothing applied
    EXPECT_GT(f.ValueInk(k.Row).Any, 0);
  }
  // One editor per class, reused.
  f.Open(kinds[2].Row);
  TvmInplaceEdit* spin = f.Insp->Editor();
  f.Leave();
  EXPECT_EQ(f.Open(r == nullptr ? kinds[2].Row : kinds[2].Row), spin);
  f.Leave();
  // The complex row: Tab goes from item to item, the editor edits the item's row.
  f.Open(cx);
  EXPECT_EQ(f.Insp->Editor()->GetWindowText(), "left");
  PressKey(f.Insp->Editor(), VK_TAB);
  EXPECT_EQ(f.Insp->FocusedNode(), cx->Node());
  EXPECT_EQ(f.Insp->FocusedComplexItem(), 1);
  ASSERT_NE(f.Insp->Editor(), nullptr);
  EXPECT_EQ(f.Insp->Editor()->ClassType(), TvmInspectorSpinEdit::StaticClass());
}

TEST(InspectorRowKinds, ValuesOfCheckSpinTimeAndCurrency) {
  TRowsFixture f;
  auto* check = f.Add<TvmInspectorTextCheckRow>("Check", "true");
  std::vector<std::string> toggles;
  check->OnToggleClick = [&](TObject*, const std::string& T, TvmCheckBoxState) { toggles.push_back(T); };
  auto* e = static_cast<TvmInplaceCheckEdit*>(f.Open(check));
  EXPECT_EQ(e->State(), cbsChecked);  // letter case ignored
  EXPECT_TRUE(toggles.empty());       // loading does not toggle
  e->Toggle();
  EXPECT_EQ(toggles, (std::vector<std::string>{"False"}));
  f.Leave();
  EXPECT_EQ(check->EditText(), "False");
  EXPECT_EQ(check->TextToState(""), cbsGrayed);
  EXPECT_EQ(check->TextToState("maybe"), cbsGrayed);

  // Integers are written in decimal; floats keep 15 significant digits.
  auto* spin = f.Add<TvmInspectorTextSpinRow>("Spin", "");
  spin->SetMinValue(-100);
  spin->SetMaxValue(100);
  {
    auto* s = static_cast<TvmInplaceSpinEdit*>(f.Open(spin));
    s->SetValue(42);
    s->SetModifiedFlag(true);
    f.Leave();
    EXPECT_EQ(spin->EditText(), "42");
  }
  spin->ValueType = vtFloat;
  auto* s = static_cast<TvmInplaceSpinEdit*>(f.Open(spin));
  s->SetValue(1.0 / 3);
  Variant out;
  spin->ApplyEditValue(s, out);
  EXPECT_EQ(spin->EditText(), "0.333333333333333");
  f.Insp->HideEditor();
  // A value text that is no number loads 0 and stays shown as it is.
  spin->SetEditText("abc");
  s = static_cast<TvmInplaceSpinEdit*>(f.Open(spin));
  EXPECT_DOUBLE_EQ(s->GetValue(), 0);
  f.Leave();
  EXPECT_EQ(spin->EditText(), "abc");
  EXPECT_GT(f.ValueInk(spin).Any, 0);

  // A time of 00:00:00 is stored empty.
  auto* time = f.Add<TvmInspectorTextTimeRow>("Time", "10:00:00");
  auto* t = static_cast<TvmInspectorTimeEdit*>(f.Open(time));
  // The row's editor steps with Ctrl held, by the part under the caret.
  t->SetCaret(0);
  PressKey(t->TextWindow(), VK_UP, {ssCtrl});
  EXPECT_EQ(t->GetWindowText(), "11:00:00");
  t->SetEditText("00:00:00");
  t->SetModifiedFlag(true);
  f.Leave();
  EXPECT_EQ(time->EditText(), "");

  // Currency: zero is "0"; leaving the editor writes the amount plainly, and a text that is no
  // number (only pasted or set, typing refuses it) becomes the lower limit.
  auto* cur = f.Add<TvmInspectorTextCurrencyRow>("Currency", "5");
  for (auto [typed, stored] : {std::pair{"0.00", "0"}, {"12.50", "12.5"}, {"1,2x", "0"}, {"", "0"}}) {
    TvmInplaceEdit* c = f.Open(cur);
    c->SetWindowText(typed);
    c->SetModifiedFlag(true);
    f.Leave();
    EXPECT_EQ(cur->EditText(), stored) << typed;
  }
  cur->Nullable = true;
  {
    TvmInplaceEdit* c = f.Open(cur);
    c->SetWindowText("");
    c->SetModifiedFlag(true);
    f.Leave();
    EXPECT_EQ(cur->EditText(), "");
  }
  cur->NullString = "(none)";
  cur->SetDisplayFormat("0.00");
  EXPECT_GT(f.ValueInk(cur).Any, 0);
}

TEST(InspectorRowKinds, EachKindsOwnSettingsAndTextReadBackWithTheForm) {
  TRowsFixture f;
  RegisterInspectorRowClasses();
  TScopeExit unregister([] { UnregisterInspectorRowClasses(); });
  auto* m = f.Add<TvmInspectorTextMaskRow>("Mask", "12-34");
  m->SetEditMask("00-00;1;_");
  m->SetIgnoreMaskBlank(true);
  auto* plain = f.Add<TvmInspectorTextMaskRow>("Plain", "");
  auto* c = f.Add<TvmInspectorTextCheckRow>("Check", "Yes");
  c->AllowGrayed = true;
  c->ValueChecked = "Yes";
  c->ValueUnchecked = "No";
  c->ShowNullFieldStyle = nsInactive;
  c->SetGlyphCount(3);
  auto* s = f.Add<TvmInspectorTextSpinRow>("Spin", "2.5");
  s->ValueType = vtFloat;
  s->Increment = 0.5;
  s->SetMinValue(-1);
  s->SetMaxValue(10);
  s->EditorEnabled = false;
  const std::string text = ComponentToText(f.Form.get());
  // An unassigned mask and settings left at their defaults are not written.
  EXPECT_EQ(text.find("EditMask"), text.rfind("EditMask")) << text;
  EXPECT_EQ(text.find("IgnoreMaskBlank = False"), std::string::npos);
  EXPECT_EQ(text.find("UseCtrlIncrement"), std::string::npos);
  EXPECT_NE(text.find("GlyphCount = 3"), std::string::npos);

  TForm copy(nullptr);
  TextToComponent(text, &copy);
  auto* g = dynamic_cast<TvmInspector*>(copy.FindComponent("Insp"));
  ASSERT_NE(g, nullptr);
  auto* gm = dynamic_cast<TvmInspectorTextMaskRow*>(g->FindRow(m->Name()));
  auto* gp = dynamic_cast<TvmInspectorTextMaskRow*>(g->FindRow(plain->Name()));
  auto* gc = dynamic_cast<TvmInspectorTextCheckRow*>(g->FindRow(c->Name()));
  auto* gs = dynamic_cast<TvmInspectorTextSpinRow*>(g->FindRow(s->Name()));
  ASSERT_TRUE(gm && gp && gc && gs);
  EXPECT_EQ(gm->EditMask(), "00-00;1;_");
  EXPECT_TRUE(gm->IgnoreMaskBlank());
  EXPECT_EQ(gm->Text(), "12-34");
  EXPECT_EQ(gp->EditMask(), "");
  EXPECT_FALSE(gp->IgnoreMaskBlank());
  EXPECT_TRUE(gc->AllowGrayed);
  EXPECT_FALSE(gc->Border3D);
  EXPECT_EQ(gc->ValueChecked, "Yes");
  EXPECT_EQ(gc->ValueUnchecked, "No");
  EXPECT_EQ(gc->ValueGrayed, "");
  EXPECT_EQ(gc->ShowNullFieldStyle, nsInactive);
  EXPECT_EQ(gc->GlyphCount(), 3);
  EXPECT_EQ(gc->TextToState(gc->Text()), cbsChecked);
  EXPECT_EQ(gs->ValueType, vtFloat);
  EXPECT_DOUBLE_EQ(gs->Increment, 0.5);
  EXPECT_DOUBLE_EQ(gs->MinValue(), -1);
  EXPECT_DOUBLE_EQ(gs->MaxValue(), 10);
  EXPECT_FALSE(gs->EditorEnabled);
  EXPECT_TRUE(gs->UseCtrlIncrement);
  EXPECT_EQ(gs->Text(), "2.5");
  copy.Show();
  EXPECT_EQ(ComponentToText(&copy), text);
}

// The drop-down, graphic and blob kinds: one setting away from its default per kind comes back
// with the form; the settings left alone (the pick and MRU rows' differing ImmediateDropDown
// defaults among them) are not written.
TEST(InspectorRowKinds, DropDownKindsOwnSettingsReadBackWithTheForm) {
  TRowsFixture f;
  RegisterInspectorRowClasses();
  const bool panelKnown = GetClass("TPanel") != nullptr;
  if (!panelKnown) RegisterClasses({TPanel::StaticClass()});
  TScopeExit unregister([panelKnown] {
    UnregisterInspectorRowClasses();
    if (!panelKnown) UnRegisterClasses({TPanel::StaticClass()});
  });
  struct TCase {
    std::function<TvmInspectorRow*()> Make;
    const char* Written;
    std::function<void(TvmInspectorRow*)> Check;
  };
  const std::vector<TCase> cases = {
      {[&] {
         auto* r = f.Add<TvmInspectorTextDateRow>("Date", "2026-12-11");
         r->DateButtons = {btnToday};
         return r;
       },
       "DateButtons = [btnToday]",
       [](TvmInspectorRow* r) {
         EXPECT_EQ(static_cast<TvmInspectorDateRow*>(r)->DateButtons, TDateButtons{btnToday});
       }},
      {[&] {
         auto* r = f.Add<TvmInspectorTextCalcRow>("Calc", "1.5");
         r->ButtonStyle = bsFlat;
         return r;
       },
       "ButtonStyle = bsFlat",
       [](TvmInspectorRow* r) { EXPECT_EQ(static_cast<TvmInspectorCalcRow*>(r)->ButtonStyle, bsFlat); }},
      {[&] {
         auto* r = f.Add<TvmInspectorTextButtonRow>("Button", "b");
         r->SetEditButtonStyle(ebsDown);
         return r;
       },
       "EditButtonStyle = ebsDown",
       [](TvmInspectorRow* r) {
         auto* b = static_cast<TvmInspectorButtonRow*>(r);
         EXPECT_EQ(b->EditButtonStyle(), ebsDown);
         ASSERT_EQ(b->Buttons()->Count(), 1);
         EXPECT_EQ(b->Buttons()->Items(0)->Kind(), bkDown);
       }},
      {[&] {
         auto* r = f.Add<TvmInspectorTextPickRow>("Pick", "b");
         r->Items()->Add("b");
         r->Items()->Add("a");
         r->Revertable = false;
         return r;
       },
       "Revertable = False",
       [](TvmInspectorRow* r) {
         auto* p = static_cast<TvmInspectorPickRow*>(r);
         EXPECT_FALSE(p->Revertable);
         EXPECT_TRUE(p->ImmediateDropDown);
         ASSERT_EQ(p->Items()->Count(), 2);
         EXPECT_EQ(p->Items()->Strings(1), "a");
       }},
      {[&] {
         auto* r = f.Add<TvmInspectorTextMRURow>("MRU", "m");
         r->MaxItemCount = 3;
         return r;
       },
       "MaxItemCount = 3",
       [](TvmInspectorRow* r) {
         auto* m = static_cast<TvmInspectorMRURow*>(r);
         EXPECT_EQ(m->MaxItemCount, 3);
         EXPECT_FALSE(m->ImmediateDropDown);
       }},
      {[&] {
         auto* r = f.Add<TvmInspectorTextImageRow>("Image", "v1");
         r->Values()->Add("v1");
         r->ImageIndexes()->Add("2");
         r->Descriptions()->Add("first");
         r->ShowDescription = true;
         return r;
       },
       "ShowDescription = True",
       [](TvmInspectorRow* r) {
         auto* i = static_cast<TvmInspectorImageRow*>(r);
         EXPECT_TRUE(i->ShowDescription);
         ASSERT_EQ(i->Values()->Count(), 1);
         ASSERT_EQ(i->ImageIndexes()->Count(), 1);
         ASSERT_EQ(i->Descriptions()->Count(), 1);
         EXPECT_EQ(i->ImageIndexes()->Strings(0), "2");
         EXPECT_EQ(i->Descriptions()->Strings(0), "first");
       }},
      {[&] {
         auto* r = f.Add<TvmInspectorTextBlobRow>("Blob", "memo text");
         r->BlobEditKind = bekPict;
         r->MemoScrollBars = ssVertical;
         return r;
       },
       "BlobEditKind = bekPict",
       [](TvmInspectorRow* r) {
         auto* b = static_cast<TvmInspectorTextBlobRow*>(r);
         EXPECT_EQ(b->BlobEditKind, bekPict);
         EXPECT_EQ(b->MemoScrollBars, ssVertical);
       }},
      // A size below the default minimum survives: the minimum is read first. The hosted
      // control is named in the form and found again.
      {[&] {
         auto* panel = new TPanel(f.Form.get());
         panel->SetName("PopupPanel");
         panel->SetParent(f.Form.get());
         panel->SetVisible(false);
         auto* r = f.Add<TvmInspectorTextPopupRow>("Popup", "p");
         r->SetPopupControl(panel);
         r->SetPopupMinHeight(50);
         r->SetPopupHeight(60);
         return r;
       },
       "PopupHeight = 60",
       [](TvmInspectorRow* r) {
         auto* p = static_cast<TvmInspectorPopupRow*>(r);
         EXPECT_EQ(p->PopupMinHeight(), 50);
         EXPECT_EQ(p->PopupHeight(), 60);
         EXPECT_EQ(p->PopupWidth(), 250);
         ASSERT_NE(p->PopupControl(), nullptr);
         EXPECT_EQ(p->PopupControl()->Name(), "PopupPanel");
         EXPECT_EQ(p->PopupControl()->Owner(), p->Owner());
       }},
      {[&] {
         auto* r = f.Add<TvmInspectorTextGraphicRow>("Graphic", "");
         r->GraphicTransparency = gtOpaque;
         return r;
       },
       "GraphicTransparency = gtOpaque",
       [](TvmInspectorRow* r) { EXPECT_EQ(static_cast<TvmInspectorGraphicRow*>(r)->GraphicTransparency, gtOpaque); }},
  };
  std::vector<TvmInspectorRow*> rows;
  for (const TCase& c : cases) rows.push_back(c.Make());
  const std::string text = ComponentToText(f.Form.get());
  for (const TCase& c : cases) EXPECT_NE(text.find(c.Written), std::string::npos) << c.Written << "\n" << text;
  for (const char* name : {"ImmediateDropDown", "DateOnError", "Precision", "ClickKey", "DropDownRows", "PopupBorder",
                           "ShowEllipsis", "DefaultImages", "MemoWordWrap", "PopupAutoSize", "Stretch", "PopupWidth"})
    EXPECT_EQ(text.find(std::string(name) + " = "), std::string::npos) << name << "\n" << text;

  TForm copy(nullptr);
  TextToComponent(text, &copy);
  auto* g = dynamic_cast<TvmInspector*>(copy.FindComponent("Insp"));
  ASSERT_NE(g, nullptr);
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(rows[i]->Caption());
    TvmInspectorRow* r = g->FindRow(rows[i]->Name());
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->ClassType(), rows[i]->ClassType());
    std::string before, after;
    rows[i]->GetEditText(before);
    r->GetEditText(after);
    EXPECT_EQ(after, before);
    cases[i].Check(r);
  }
  copy.Show();
  EXPECT_EQ(ComponentToText(&copy), text);
}

TEST(InspectorRowKinds, DropDownRowSettingsAndReferences) {
  TRowsFixture f;
  // Pick: the close-up handler sees the chosen text and may replace it.
  auto* pick = f.Add<TvmInspectorTextPickRow>("Pick", "a");
  pick->Items()->Add("a");
  pick->Items()->Add("b");
  pick->OnCloseUp = [](TObject*, Variant& V, bool&) { V = V.AsString() + "!"; };
  Variant v = std::string("b");
  bool accept = true;
  pick->DoCloseUp(nullptr, v, accept);
  EXPECT_EQ(v.AsString(), "b!");
  // Button rows: simple style has no button; down style makes one of kind down.
  auto* button = f.Add<TvmInspectorTextButtonRow>("Button", "");
  EXPECT_EQ(button->Buttons()->Count(), 1);
  button->SetEditButtonStyle(ebsSimple);
  EXPECT_EQ(button->Buttons()->Count(), 0);
  button->SetEditButtonStyle(ebsDown);
  ASSERT_EQ(button->Buttons()->Count(), 1);
  EXPECT_EQ(button->Buttons()->Items(0)->Kind(), bkDown);
  int clicks = -1;
  button->OnButtonClick = [&](TObject* S, int I) {
    EXPECT_EQ(S, button);
    clicks = I;
  };
  auto* be = static_cast<TvmInplaceButtonEdit*>(f.Open(button));
  be->DoButtonClick(0);
  EXPECT_EQ(clicks, 0);
  // Date rows that require a value offer no clear button.
  struct TRequiredDateRow : TvmInspectorTextDateRow {
    using TvmInspectorTextDateRow::TvmInspectorTextDateRow;
    bool IsValueRequired() const override { return true; }
  };
  TRequiredDateRow required(nullptr);
  required.SetInspector(f.Insp);
  auto* de = static_cast<TvmInplaceDateEdit*>(f.Open(&required));
  EXPECT_FALSE(de->DateButtons().Contains(btnClear));
  f.Insp->HideEditor();
  required.SetInspector(nullptr);
  // Popup rows: sizes follow the minima; the popup control is forgotten when it goes.
  auto* popup = f.Add<TvmInspectorTextPopupRow>("Popup", "");
  popup->SetPopupMinHeight(300);
  EXPECT_EQ(popup->PopupHeight(), 300);
  popup->SetPopupMinHeight(-5);
  EXPECT_EQ(popup->PopupMinHeight(), 0);
  auto* ctl = new TPanel(f.Form.get());
  popup->SetPopupControl(ctl);
  std::string shown;
  popup->OnPopup = [&](TObject*, const std::string& T) { shown = T + "?"; };
  auto* pe = static_cast<TvmInspectorPopupEdit*>(f.Open(popup));
  // The control goes while it is hosted in the open popup: nothing dangles, nothing is restored.
  bool hosted = false;
  TTimer step(nullptr);
  step.SetInterval(5);
  step.OnTimer = [&](TObject*) {
    step.SetEnabled(false);
    hosted = pe->Showing() && ctl->Parent() == pe->PopupForm() && ctl->Visible();
    delete ctl;
    pe->PopupForm()->CloseUp(false);
  };
  pe->ShowPopupForm();
  EXPECT_TRUE(hosted);
  EXPECT_EQ(shown, "?");
  EXPECT_FALSE(pe->Showing());
  EXPECT_EQ(popup->PopupControl(), nullptr);
  EXPECT_EQ(pe->PopupControl(), nullptr);
  f.Insp->HideEditor();
  // An image row whose value is not among its values never reports a clipped value.
  auto* image = f.Add<TvmInspectorTextImageRow>("Image", "zz");
  image->Values()->Add("a");
  image->Descriptions()->Add("a very long description that cannot fit");
  std::string text;
  EXPECT_FALSE(image->IsTextClipped(true, TRect(0, 0, 10, 10), text));
  image->SetEditText("a");
  EXPECT_TRUE(image->IsTextClipped(true, TRect(0, 0, 10, 10), text));
}

}  // namespace

namespace {

TEST(InspectorRowKinds, ListsFreedByTheFormFirstAreForgotten) {
  for (int kind = 0; kind < 2; ++kind) {
    TRowsFixture f;
    TvmInspectorRow* row;
    if (kind == 0) {
      auto* pick = f.Add<TvmInspectorTextPickRow>("Pick", "a");
      pick->Items()->Add("a");
      pick->Items()->Add("b");
      row = pick;
    } else {
      auto* image = f.Add<TvmInspectorTextImageRow>("Image", "a");
      image->Values()->Add("a");
      image->Descriptions()->Add("A");
      row = image;
    }
    auto* e = static_cast<TvmInplaceDropDownEdit*>(f.Open(row));
    e->DropDown();
    TControl* popup = e->CurrentPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(e->PopupShown());
    delete popup;  // as the form does with its children
    EXPECT_EQ(e->CurrentPopup(), nullptr);
    EXPECT_FALSE(e->PopupShown());
    e->DropDown();  // nothing to show any more
    f.Insp->HideEditor();
    f.Form.reset();  // the rest goes without touching the freed list
  }
}

}  // namespace

namespace {

std::string RedPicture(int W, int H) {
  TBitmap b(W, H);
  FillRectColor(b.Canvas(), Rect(0, 0, W, H), clRed);
  TPicture p;
  p.SetGraphic(&b);
  return SavePictureToString(&p);
}

TEST(InspectorRowKinds, GraphicRowKeepsPictureBytesAndHandsItsSettingsOver) {
  TRowsFixture f;
  auto* row = f.Add<TvmInspectorTextGraphicRow>("Picture", RedPicture(12, 8));
  EXPECT_GT(f.ValueInk(row).Any, 0);
  int assigned = 0, custom = 0;
  row->OnAssignPicture = [&](TObject* S, TPicture*&) {
    EXPECT_EQ(S, row);
    ++assigned;
  };
  row->OnCustomClick = [&](TObject* S) {
    EXPECT_EQ(S, row);
    ++custom;
  };
  row->Stretch = false;
  row->PopupToolBar()->CustomButtonCaption = "Mine";
  auto* e = static_cast<TvmInplaceGraphicEdit*>(f.Open(row));
  ASSERT_EQ(e->ClassType(), TvmInspectorGraphicEdit::StaticClass());
  EXPECT_FALSE(e->Stretch());
  EXPECT_EQ(e->ToolbarLayout()->CustomButtonCaption, "Mine");
  EXPECT_EQ(e->Picture()->Width(), 12);
  e->ExecuteCommand(6);
  EXPECT_EQ(custom, 1);
  // A pasted picture is stored as its bytes when the row is left.
  TBitmap other(30, 20);
  FillRectColor(other.Canvas(), Rect(0, 0, 30, 20), clBlue);
  Clipboard()->Assign(&other);
  PressKey(e, 'V', {ssCtrl});
  f.Leave();
  EXPECT_EQ(assigned, 1);
  TPicture back;
  LoadPictureFromString(&back, nullptr, row->EditText());
  EXPECT_EQ(back.Width(), 30);
  // A value that is no picture paints an empty cell and raises nothing.
  row->SetEditText("this is text, not a picture");
  EXPECT_NO_THROW(EXPECT_EQ(f.ValueInk(row).Any, 0));
  EXPECT_NO_THROW(f.Open(row));
  f.Leave();
  // Registered for stored layouts.
  EXPECT_NE(GetClass("TvmInspectorTextGraphicRow"), nullptr);
}

TEST(InspectorRowKinds, BlobRowKeepsThePopupSizeAndTheTypedText) {
  SetWorkAreaOverride(Rect(0, 0, 800, 600));
  TRowsFixture f;
  auto* row = f.Add<TvmInspectorTextBlobRow>("Notes", "first");
  EXPECT_FALSE(row->AlwaysSaveText);
  EXPECT_GT(f.ValueInk(row).Any, 0);  // the memo icon
  auto* e = static_cast<TvmInplaceBlobEdit*>(f.Open(row));
  ASSERT_EQ(e->ClassType(), TvmInspectorBlobEdit::StaticClass());
  EXPECT_EQ(e->BlobValue(), "first");
  PressKey(e, VK_DOWN, {ssAlt});
  TCustomvmBlobPopup* p = e->Popup();
  ASSERT_TRUE(p->Visible());
  EXPECT_EQ(p->Width(), 200);
  p->SetBounds(p->Left(), p->Top(), 300, 180);  // as the grip leaves it
  SendTextInput(p->Memo(), " second");
  PressKey(p->Memo(), VK_RETURN, {ssCtrl});
  EXPECT_EQ(row->PopupWidth, 300);
  EXPECT_EQ(row->PopupHeight, 180);
  f.Leave();
  EXPECT_EQ(row->EditText(), "first second");
  e = static_cast<TvmInplaceBlobEdit*>(f.Open(row));
  PressKey(e, VK_DOWN, {ssAlt});
  EXPECT_EQ(e->Popup()->Width(), 300);
  EXPECT_EQ(e->Popup()->Height(), 180);
  // Without AlwaysSaveText a click elsewhere loses what was typed.
  SendTextInput(e->Popup()->Memo(), "!");
  e->CloseUp(false);
  f.Leave();
  EXPECT_EQ(row->EditText(), "first second");
  SetWorkAreaOverride(TRect());
}

TEST(InspectorRowKinds, PopupRowHostsItsControlAndTakesTheCloseUpText) {
  TRowsFixture f;
  auto* tree = new TvmTreeView(f.Form.get());
  tree->SetParent(f.Form.get());
  tree->SetBounds(0, 0, 120, 120);
  tree->SetVisible(false);
  auto* row = f.Add<TvmInspectorTextPopupRow>("Pick", "old");
  row->SetPopupControl(tree);
  row->SetPopupMinWidth(60);
  row->SetPopupMinHeight(60);
  bool hosted = false;
  row->OnCloseUp = [&](TObject* S, std::string& T, bool&) {
    EXPECT_EQ(S, row);
    T = "from the tree";
  };
  auto* e = static_cast<TvmInplacePopupEdit*>(f.Open(row));
  ASSERT_EQ(e->ClassType(), TvmInspectorPopupEdit::StaticClass());
  TTimer step(nullptr);
  step.SetEnabled(false);  // ticks only inside the popup's own loop, however slow the machine
  step.SetInterval(5);
  int ticks = 0;
  step.OnTimer = [&](TObject*) {
    if (++ticks == 1) {
      hosted = tree->Parent() == e->PopupForm() && tree->Visible();
      PressKey(e->PopupForm(), VK_RETURN);
    } else if (ticks > 40 && e->Showing()) {
      e->PopupForm()->CloseUp(false);
    }
  };
  Application->ProcessMessages();
  step.SetEnabled(true);
  e->ShowPopupForm();
  step.SetEnabled(false);
  EXPECT_TRUE(hosted);
  EXPECT_FALSE(tree->Visible());
  EXPECT_EQ(tree->Parent(), f.Form.get());
  f.Leave();
  EXPECT_EQ(row->EditText(), "from the tree");
}

}  // namespace

namespace {

// A bitmap of one colour inside a white one-pixel border (white, the corner's colour, is the
// transparent colour of a glyph).
TBitmap* SolidBitmap(int W, int H, TColor Color) {
  auto* b = new TBitmap(W, H);
  FillRectColor(b->Canvas(), Rect(0, 0, W, H), clWhite);
  FillRectColor(b->Canvas(), Rect(1, 1, W - 1, H - 1), Color);
  return b;
}

// Glyph bitmaps, the image row's image lists and the graphic row's tool-bar layout are kept with
// the form: bitmaps by their pixels, image lists by name; ListWidth is never written.
TEST(InspectorRowKinds, GlyphsImageListsAndToolBarLayoutReadBackWithTheForm) {
  TRowsFixture f;
  RegisterInspectorRowClasses();
  TScopeExit unregister([] { UnregisterInspectorRowClasses(); });
  std::unique_ptr<TBitmap> lime(SolidBitmap(26, 13, clLime)), red(SolidBitmap(9, 7, clRed)),
      blue(SolidBitmap(12, 12, clBlue));
  auto* check = f.Add<TvmInspectorTextCheckRow>("Check", "True");
  check->SetGlyph(lime.get());
  check->SetGlyphCount(2);
  auto* date = f.Add<TvmInspectorTextDateRow>("Date", "");
  date->SetButtonGlyph(red.get());
  auto* plainDate = f.Add<TvmInspectorTextDateRow>("Plain", "");
  auto* button = f.Add<TvmInspectorTextButtonRow>("Button", "");
  button->SetGlyph(blue.get());
  button->Buttons()->Add()->SetKind(bkDown);
  auto* images = new TImageList(f.Form.get());
  images->SetName("Pictures");
  auto* large = new TImageList(f.Form.get());
  large->SetName("BigPictures");
  large->SetHeight(32);
  auto* image = f.Add<TvmInspectorTextImageRow>("Image", "");
  image->SetImages(images);
  image->SetLargeImages(large);
  image->SetListWidth(120);
  auto* graphic = f.Add<TvmInspectorTextGraphicRow>("Graphic", "");
  TvmPopupToolBarWindow layout;
  layout.Alignment = ptaLeft;
  layout.Buttons = {ptbCopy, ptbCustom};
  layout.CustomButtonCaption = "Mine";
  layout.SetCustomButtonGlyph(red.get());
  layout.SetIsPopupMenu(false);
  graphic->SetPopupToolBar(&layout);

  const std::string text = ComponentToText(f.Form.get());
  EXPECT_EQ(image->DropDownWidth, 120);
  EXPECT_NE(text.find("DropDownWidth = 120"), std::string::npos) << text;
  EXPECT_EQ(text.find("ListWidth"), std::string::npos);
  EXPECT_NE(text.find("Images = Pictures"), std::string::npos) << text;
  EXPECT_NE(text.find("PopupToolBar.Alignment = ptaLeft"), std::string::npos) << text;
  // Nothing is written for a glyph never set, and reading the form does not make one.
  EXPECT_EQ(text.find(" ButtonGlyph"), text.rfind(" ButtonGlyph")) << text;
  EXPECT_FALSE(plainDate->HasButtonGlyph());

  TForm copy(nullptr);
  TextToComponent(text, &copy);
  auto* g = dynamic_cast<TvmInspector*>(copy.FindComponent("Insp"));
  ASSERT_NE(g, nullptr);
  auto* gc = dynamic_cast<TvmInspectorCheckRow*>(g->FindRow(check->Name()));
  auto* gd = dynamic_cast<TvmInspectorDateRow*>(g->FindRow(date->Name()));
  auto* gp = dynamic_cast<TvmInspectorDateRow*>(g->FindRow(plainDate->Name()));
  auto* gb = dynamic_cast<TvmInspectorButtonRow*>(g->FindRow(button->Name()));
  auto* gi = dynamic_cast<TvmInspectorImageRow*>(g->FindRow(image->Name()));
  auto* gg = dynamic_cast<TvmInspectorGraphicRow*>(g->FindRow(graphic->Name()));
  ASSERT_TRUE(gc && gd && gp && gb && gi && gg);
  ASSERT_TRUE(gc->HasGlyph());
  EXPECT_EQ(gc->Glyph()->Width(), 26);
  EXPECT_EQ(gc->Glyph()->Canvas()->Pixels(20, 5), clLime);
  EXPECT_EQ(gc->GlyphCount(), 2);
  ASSERT_TRUE(gd->HasButtonGlyph());
  EXPECT_EQ(gd->ButtonGlyph()->Height(), 7);
  EXPECT_EQ(gd->ButtonGlyph()->Canvas()->Pixels(3, 3), clRed);
  EXPECT_FALSE(gp->HasButtonGlyph());
  EXPECT_EQ(gb->Glyph()->Canvas()->Pixels(5, 5), clBlue);
  ASSERT_EQ(gb->Buttons()->Count(), 2);
  EXPECT_EQ(gb->Buttons()->Items(0)->Glyph()->Canvas()->Pixels(5, 5), clBlue);
  EXPECT_EQ(gb->Buttons()->Items(1)->Kind(), bkDown);
  EXPECT_EQ(gi->Images(), copy.FindComponent("Pictures"));
  EXPECT_EQ(gi->LargeImages(), copy.FindComponent("BigPictures"));
  EXPECT_EQ(gi->ListWidth(), 120);
  TvmPopupToolBarWindow* gl = gg->PopupToolBar();
  EXPECT_EQ(gl->Alignment, ptaLeft);
  EXPECT_EQ(gl->Buttons, (TvmPopupToolBarButtons{ptbCopy, ptbCustom}));
  EXPECT_EQ(gl->CustomButtonCaption, "Mine");
  EXPECT_FALSE(gl->IsPopupMenu());
  ASSERT_TRUE(gl->HasCustomButtonGlyph());
  EXPECT_EQ(gl->CustomButtonGlyph()->Canvas()->Pixels(1, 1), clRed);
  copy.Show();
  EXPECT_EQ(ComponentToText(&copy), text);
}

// The rows' glyphs reach the editor and the unfocused cell; the image row follows its lists.
TEST(InspectorRowKinds, RowGlyphsReachEditorAndCellAndImageListsAreFollowed) {
  TRowsFixture f;
  // A check glyph of two 20 x 30 states: the row is as high as the glyph and the cell shows it.
  std::unique_ptr<TBitmap> states(SolidBitmap(40, 30, clLime));
  auto* check = f.Add<TvmInspectorTextCheckRow>("Check", "True");
  const int plainHeight = check->GetMinRowHeight(f.Insp->Canvas());
  EXPECT_EQ(f.ValueInk(check, clLime).OfColor, 0);
  check->SetGlyph(states.get());
  check->SetGlyphCount(2);
  EXPECT_EQ(check->GetMinRowHeight(f.Insp->Canvas()), 30);
  check->SetGlyphCount(0);  // a glyph the editor cannot cut: the standard box
  EXPECT_EQ(check->GetMinRowHeight(f.Insp->Canvas()), plainHeight);
  check->SetGlyphCount(2);
  EXPECT_GT(f.ValueInk(check, clLime).OfColor, 0);
  auto* ce = static_cast<TvmInplaceCheckEdit*>(f.Open(check));
  EXPECT_EQ(ce->Glyph()->Width(), 40);
  EXPECT_EQ(ce->GlyphCount(), 2);
  f.Insp->HideEditor();
  check->SetGlyph(nullptr);
  EXPECT_FALSE(check->HasGlyph());
  EXPECT_EQ(check->GetMinRowHeight(f.Insp->Canvas()), plainHeight);

  // A drop-down row's button glyph replaces the arrow in its editor; an empty one frees it.
  std::unique_ptr<TBitmap> red(SolidBitmap(9, 7, clRed));
  auto* calc = f.Add<TvmInspectorTextCalcRow>("Calc", "1");
  calc->SetButtonGlyph(red.get());
  auto* de = static_cast<TvmInplaceDropDownEdit*>(f.Open(calc));
  EXPECT_EQ(de->ButtonGlyph()->Width(), 9);
  Application->ProcessMessages();
  TBitmap shot;
  GrabControl(de, &shot);
  int redPixels = 0;
  for (int y = 0; y < shot.Height(); ++y)
    for (int x = 0; x < shot.Width(); ++x) redPixels += shot.Canvas()->Pixels(x, y) == clRed;
  EXPECT_GT(redPixels, 20);
  f.Insp->HideEditor();
  TBitmap empty;
  calc->SetButtonGlyph(&empty);
  EXPECT_FALSE(calc->HasButtonGlyph());
  de = static_cast<TvmInplaceDropDownEdit*>(f.Open(calc));
  EXPECT_TRUE(de->ButtonGlyph()->Empty());
  f.Insp->HideEditor();

  // The image row: its images set the least row height; a change of them relayouts the
  // inspector; a freed list is forgotten; ListWidth is the drop-down width.
  auto* image = f.Add<TvmInspectorTextImageRow>("Image", "");
  const int before = image->GetMinRowHeight(f.Insp->Canvas());
  {
    TImageList images(f.Form.get());
    TImageList large(f.Form.get());
    images.SetHeight(before + 20);
    image->SetImages(&images);
    image->SetLargeImages(&large);
    EXPECT_EQ(image->GetMinRowHeight(f.Insp->Canvas()), before + 20);
    EXPECT_GE(f.Insp->RowHeight(), before + 20);
    // A change of the images reaches the rows' height at once.
    images.SetHeight(before + 40);
    EXPECT_GE(f.Insp->RowHeight(), before + 40);
  }
  EXPECT_EQ(image->Images(), nullptr);
  EXPECT_EQ(image->LargeImages(), nullptr);
  EXPECT_EQ(image->GetMinRowHeight(f.Insp->Canvas()), before);
  image->SetListWidth(150);
  EXPECT_EQ(image->DropDownWidth, 150);
}

// The currency row's display format is the locale's until one is assigned, and follows a change
// of the locale's settings; limits never assigned are the class's defaults and are not stored.
TEST(InspectorRowKinds, CurrencyRowFollowsTheLocaleUntilItsFormatIsAssigned) {
  TRowsFixture f;
  TScopeExit restore([] { SetLocaleInfo(DefaultLocaleInfo()); });
  auto* cur = f.Add<TvmInspectorTextCurrencyRow>("Currency", "1234.5");
  auto* fixed = f.Add<TvmInspectorTextCurrencyRow>("Fixed", "1234.5");
  fixed->SetDisplayFormat("0.0");
  EXPECT_EQ(cur->DisplayFormat(), DefaultCurrencyFormat());
  EXPECT_FALSE(cur->DisplayFormatStored());
  const int formatted = f.ValueInk(cur).Any;
  TLocaleInfo li = DefaultLocaleInfo();
  li.CurrencyFormat = 3;
  li.CurrencyString = "EUR";
  SetLocaleInfo(li);
  EXPECT_EQ(cur->DisplayFormat(), ",0.00 EUR;-,0.00 EUR");
  EXPECT_GT(f.ValueInk(cur).Any, formatted);  // "1,234.50 EUR" against "$1,234.50"
  EXPECT_EQ(fixed->DisplayFormat(), "0.0");
  cur->RestoreDefaults();
  EXPECT_EQ(cur->DisplayFormat(), ",0.00 EUR;-,0.00 EUR");
  // A limit written with its default value counts as assigned but is not stored.
  EXPECT_FALSE(cur->MinValueStored());
  cur->SetMinValue(0);
  EXPECT_FALSE(cur->MinValueStored());
  cur->SetMaxValue(500);
  EXPECT_TRUE(cur->MaxValueStored());
  auto* e = static_cast<TvmInplaceCurrencyEdit*>(f.Open(cur));
  EXPECT_DOUBLE_EQ(e->MaxValue(), 500);
  f.Insp->HideEditor();
  fixed->Assign(cur);
  EXPECT_DOUBLE_EQ(fixed->MaxValue(), 500);
  EXPECT_EQ(fixed->DisplayFormat(), ",0.00 EUR;-,0.00 EUR");
}

}  // namespace

namespace {

// Assign copies each kind's own settings into a row of the same kind.
TEST(InspectorRowKinds, AssignCopiesEachKindsOwnSettings) {
  TRowsFixture f;
  struct TCase {
    const char* Kind;
    std::function<TvmInspectorRow*()> Make;
    std::function<void(TvmInspectorRow*)> Set;
    std::function<bool(TvmInspectorRow*)> Copied;
  };
  auto images = std::make_unique<TImageList>(nullptr);
  const std::vector<TCase> cases = {
      {"time", [&] { return f.Add<TvmInspectorTextTimeRow>("T", ""); },
       [](TvmInspectorRow* r) { static_cast<TvmInspectorTimeRow*>(r)->TimeEditFormat = tfHour; },
       [](TvmInspectorRow* r) { return static_cast<TvmInspectorTimeRow*>(r)->TimeEditFormat == tfHour; }},
      {"hyperlink", [&] { return f.Add<TvmInspectorTextHyperLinkRow>("H", ""); },
       [](TvmInspectorRow* r) { static_cast<TvmInspectorHyperLinkRow*>(r)->SingleClick = true; },
       [](TvmInspectorRow* r) { return static_cast<TvmInspectorHyperLinkRow*>(r)->SingleClick; }},
      {"memo", [&] { return f.Add<TvmInspectorTextMemoRow>("M", ""); },
       [](TvmInspectorRow* r) { static_cast<TvmInspectorMemoRow*>(r)->ScrollBars = ssBoth; },
       [](TvmInspectorRow* r) { return static_cast<TvmInspectorMemoRow*>(r)->ScrollBars == ssBoth; }},
      {"date", [&] { return f.Add<TvmInspectorTextDateRow>("D", ""); },
       [](TvmInspectorRow* r) { static_cast<TvmInspectorDateRow*>(r)->DateOnError = deNull; },
       [](TvmInspectorRow* r) { return static_cast<TvmInspectorDateRow*>(r)->DateOnError == deNull; }},
      {"calc", [&] { return f.Add<TvmInspectorTextCalcRow>("C", ""); },
       [](TvmInspectorRow* r) { static_cast<TvmInspectorCalcRow*>(r)->Precision = 5; },
       [](TvmInspectorRow* r) { return static_cast<TvmInspectorCalcRow*>(r)->Precision == 5; }},
      {"button", [&] { return f.Add<TvmInspectorTextButtonRow>("B", ""); },
       [](TvmInspectorRow* r) {
         auto* b = static_cast<TvmInspectorButtonRow*>(r);
         b->SetEditButtonStyle(ebsDown);
         b->Buttons()->Add();
         b->SetButtonOnly(true);
       },
       [](TvmInspectorRow* r) {
         auto* b = static_cast<TvmInspectorButtonRow*>(r);
         return b->EditButtonStyle() == ebsDown && b->Buttons()->Count() == 2 &&
                b->Buttons()->Items(0)->Kind() == bkDown && b->ButtonOnly();
       }},
      {"pick", [&] { return f.Add<TvmInspectorTextPickRow>("P", ""); },
       [](TvmInspectorRow* r) {
         auto* p = static_cast<TvmInspectorPickRow*>(r);
         p->Items()->Add("x");
         p->Sorted = true;
       },
       [](TvmInspectorRow* r) {
         auto* p = static_cast<TvmInspectorPickRow*>(r);
         return p->Items()->Count() == 1 && p->Sorted;
       }},
      {"MRU", [&] { return f.Add<TvmInspectorTextMRURow>("R", ""); },
       [](TvmInspectorRow* r) {
         auto* m = static_cast<TvmInspectorMRURow*>(r);
         m->MaxItemCount = 2;
         m->Items()->Add("y");
       },
       [](TvmInspectorRow* r) {
         auto* m = static_cast<TvmInspectorMRURow*>(r);
         return m->MaxItemCount == 2 && m->Items()->Count() == 1;
       }},
      {"image", [&] { return f.Add<TvmInspectorTextImageRow>("I", ""); },
       [&](TvmInspectorRow* r) {
         auto* i = static_cast<TvmInspectorImageRow*>(r);
         i->Values()->Add("v");
         i->SetImages(images.get());
         i->ShowDescription = true;
       },
       [&](TvmInspectorRow* r) {
         auto* i = static_cast<TvmInspectorImageRow*>(r);
         return i->Values()->Count() == 1 && i->Images() == images.get() && i->ShowDescription;
       }},
  };
  for (const TCase& c : cases) {
    TvmInspectorRow* from = c.Make();
    TvmInspectorRow* to = c.Make();
    c.Set(from);
    EXPECT_FALSE(c.Copied(to)) << c.Kind;
    to->Assign(from);
    EXPECT_TRUE(c.Copied(to)) << c.Kind;
  }
  // A list referred to by a copy is forgotten by it too when freed.
  images.reset();
  EXPECT_EQ(static_cast<TvmInspectorImageRow*>(f.Insp->GetRow(f.Insp->GetRowCount() - 1))->Images(), nullptr);
}

}  // namespace
