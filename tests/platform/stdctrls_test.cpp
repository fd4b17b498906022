// Standard controls driven as a user would: typing, clicking, picking; their published
// properties through the component streamer and by dotted name; form bounds after a window move.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "platform/streaming.h"
#include "platform/typinfo.h"

namespace {

void Type(TControl* C, const std::string& Keys) {
  for (char ch : Keys) {
    int vk = ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch;
    TShiftState s;
    if (ch >= 'A' && ch <= 'Z') s.Include(ssShift);
    SendInput(C, ikKeyDown, s, 0, 0, vk);
    SendInput(C, ikKeyUp, s, 0, 0, vk);
  }
}

void ClickAt(TControl* C, int X, int Y, TShiftState Shift = {}) {
  SendInput(C, ikMouseDown, Shift, X, Y, mbLeft);
  SendInput(C, ikMouseUp, Shift, X, Y, mbLeft);
}

TEST(StdCtrls, PublishedPropertiesStreamWithDefaultsLeftOutAndParentsRestored) {
  auto* root = new TGroupBox(nullptr);
  root->SetName("Root");
  auto* inner = new TGroupBox(root);
  inner->SetName("Inner");
  inner->SetParent(root);
  inner->SetAlign(alTop);
  auto* edit = new TEdit(root);
  edit->SetName("Edit1");
  edit->SetParent(root);
  edit->SetBounds(5, 120, 80, 24);
  edit->SetMaxLength(5);
  edit->SetText("abc");
  edit->SetHint("type here");
  auto* check = new TCheckBox(root);
  check->SetName("Check1");
  check->SetParent(inner);
  check->SetCaption("On");
  check->SetChecked(true);
  check->SetAnchors({akLeft, akTop, akRight});
  check->SetCursor(crHandPoint);

  std::string text = ComponentToText(root);
  EXPECT_NE(text.find("object Edit1: TEdit"), std::string::npos) << text;
  EXPECT_NE(text.find("Text = 'abc'"), std::string::npos) << text;
  EXPECT_NE(text.find("State = cbChecked"), std::string::npos) << text;
  EXPECT_NE(text.find("Anchors = [akLeft, akTop, akRight]"), std::string::npos) << text;
  EXPECT_NE(text.find("Cursor = crHandPoint"), std::string::npos) << text;
  EXPECT_NE(text.find("Align = alTop"), std::string::npos) << text;
  for (const char* absent : {"Visible", "Enabled", "TabStop", "ParentFont", "ReadOnly", "Checked ="})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent << " in\n" << text;
  // Check1 is written inside Inner, its parent, though Root owns it.
  EXPECT_LT(text.find("object Inner"), text.find("object Check1"));

  auto* copy = dynamic_cast<TGroupBox*>(TextToComponent(text, nullptr));
  ASSERT_NE(copy, nullptr);
  auto* edit2 = dynamic_cast<TEdit*>(copy->FindComponent("Edit1"));
  auto* check2 = dynamic_cast<TCheckBox*>(copy->FindComponent("Check1"));
  ASSERT_TRUE(edit2 && check2);
  EXPECT_EQ(edit2->Parent(), copy);
  EXPECT_EQ(check2->Parent(), copy->FindComponent("Inner"));
  EXPECT_EQ(edit2->Text(), "abc");
  EXPECT_EQ(edit2->MaxLength(), 5);
  EXPECT_EQ(edit2->Hint(), "type here");
  EXPECT_EQ(edit2->BoundsRect(), Rect(5, 120, 85, 144));
  EXPECT_TRUE(check2->Checked());
  EXPECT_EQ(check2->Cursor(), crHandPoint);
  EXPECT_EQ(check2->Caption(), "On");

  // Form storage addresses controls by dotted names.
  SetPropPathText(root, "Edit1.Width", "200");
  EXPECT_EQ(edit->Width(), 200);
  EXPECT_EQ(GetPropPathText(root, "Check1.Caption"), "On");
  EXPECT_EQ(GetPropPathText(root, "Edit1.Font.Color"), "clWindowText");
  delete copy;
  delete root;
}

TEST(StdCtrls, FormTakesTheBoundsTheWindowSystemGivesIt) {
  TForm form(nullptr);
  form.SetBounds(10, 10, 300, 200);
  auto* panel = new TGroupBox(&form);
  panel->SetParent(&form);
  panel->SetAlign(alClient);
  int resizes = 0;
  form.OnResize = [&](TObject*) { ++resizes; };
  form.Show();
  SendWindowGeometry(&form, 40, 50, 420, 260);
  EXPECT_EQ(form.Left(), 40);
  EXPECT_EQ(form.Top(), 50);
  EXPECT_EQ(form.Width(), 420);
  EXPECT_EQ(form.Height(), 260);
  EXPECT_GE(resizes, 1);
  EXPECT_EQ(panel->Width(), form.ClientWidth());
  EXPECT_EQ(panel->Height(), form.ClientHeight());
  // Bounds set by the program on a shown form stay once the window system reports back.
  form.SetBounds(70, 80, 320, 210);
  Application->ProcessMessages();
  EXPECT_EQ(form.BoundsRect(), Rect(70, 80, 390, 290));
  form.Hide();
}

TEST(StdCtrls, EditTypingChangesTextWithinLimitsAndHandlersCanSwallowKeys) {
  TEdit edit(nullptr);
  std::vector<std::string> changes;
  edit.OnChange = [&](TObject* S) { changes.push_back(static_cast<TEdit*>(S)->Text()); };
  edit.OnKeyPress = [](TObject*, char& Key) {
    if (Key == 'x') Key = 0;    // swallowed
    if (Key == 'q') Key = 'Q';  // replaced
  };
  Type(&edit, "abxq");
  EXPECT_EQ(edit.Text(), "abQ");
  EXPECT_EQ(changes, (std::vector<std::string>{"a", "ab", "abQ"}));
  EXPECT_TRUE(edit.Modified());

  edit.SetMaxLength(4);
  Type(&edit, "zzz");
  EXPECT_EQ(edit.Text(), "abQz");
  edit.SetMaxLength(2);  // a shorter limit cuts the text
  EXPECT_EQ(edit.Text(), "ab");

  edit.SetReadOnly(true);
  Type(&edit, "k");
  EXPECT_EQ(edit.Text(), "ab");
  edit.SetReadOnly(false);
  edit.SetMaxLength(0);

  // Selection in characters, also for multi-byte text.
  edit.SetText("h\xC3\xA9llo");
  edit.SetSelStart(1);
  edit.SetSelLength(3);
  EXPECT_EQ(edit.SelText(), "\xC3\xA9ll");
  edit.SetSelText("EY");
  EXPECT_EQ(edit.Text(), "hEYo");
  EXPECT_EQ(edit.SelStart(), 3);
  EXPECT_EQ(edit.SelLength(), 0);
  edit.SetSelStart(99);
  EXPECT_EQ(edit.SelStart(), 4);
}

TEST(StdCtrls, EditStateSetBeforeItsWindowExistsShowsInIt) {
  TEdit edit(nullptr);
  edit.SetText("pre");
  edit.SetPasswordChar('*');
  edit.SetSelStart(3);
  edit.HandleNeeded();
  Type(&edit, "s");
  EXPECT_EQ(edit.Text(), "pres");
}

TEST(StdCtrls, MemoLinesFollowTypingAndShowCodeChanges) {
  TMemo memo(nullptr);
  int changes = 0;
  memo.OnChange = [&](TObject*) { ++changes; };
  memo.Lines()->Add("first");
  memo.Lines()->Add("second");
  EXPECT_EQ(memo.GetText(), "first\nsecond");
  memo.HandleNeeded();
  memo.SetFocus();
  SendInput(&memo, ikKeyDown, {ssCtrl}, 0, 0, VK_END);
  Type(&memo, "\r");
  Type(&memo, "x");
  ASSERT_EQ(memo.Lines()->Count(), 3);
  EXPECT_EQ(memo.Lines()->Strings(2), "x");
  memo.Lines()->Delete(0);
  EXPECT_EQ(memo.GetText(), "second\nx");
  memo.Clear();
  EXPECT_EQ(memo.Lines()->Count(), 0);
  EXPECT_GE(changes, 5);
}

TEST(StdCtrls, EditContextMenusShowTheProgramsTexts) {
  TForm form(nullptr);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  auto* memo = new TMemo(&form);
  memo->SetParent(&form);
  memo->SetTop(40);
  form.Show();
  const std::vector<std::string> english{"&Undo", "&Redo", "-", "Cu&t", "&Copy", "&Paste", "Delete", "-", "Select All"};
  EXPECT_EQ(EditContextMenuCaptions(edit), english);
  EXPECT_EQ(EditContextMenuCaptions(memo), english);
  // A language switch assigns the texts; the next menu shows them, and English comes back.
  const std::string copy = SEditCopy, selectAll = SEditSelectAll;
  SEditCopy = "&Kopieren";
  SEditSelectAll = "Alles markieren";
  std::vector<std::string> german = english;
  german[4] = SEditCopy;
  german[8] = SEditSelectAll;
  EXPECT_EQ(EditContextMenuCaptions(edit), german);
  EXPECT_EQ(EditContextMenuCaptions(memo), german);
  SEditCopy = copy;
  SEditSelectAll = selectAll;
  EXPECT_EQ(EditContextMenuCaptions(edit), english);
  form.Hide();
}

TEST(StdCtrls, SpinBoxStepCommandsTakeTheProgramsTexts) {
  EXPECT_EQ(NativeText("QAbstractSpinBox", "&Step up"), "&Step up");
  const std::string up = SSpinStepUp, down = SSpinStepDown;
  SSpinStepUp = "Schritt &hoch";
  SSpinStepDown = "Schritt &runter";
  EXPECT_EQ(NativeText("QAbstractSpinBox", "&Step up"), SSpinStepUp);
  EXPECT_EQ(NativeText("QAbstractSpinBox", "Step &down"), SSpinStepDown);
  EXPECT_EQ(NativeText("QAbstractSpinBox", "Other"), "Other");  // a text the program does not know
  SSpinStepUp.clear();                                          // an empty text keeps Qt's own
  EXPECT_EQ(NativeText("QAbstractSpinBox", "&Step up"), "&Step up");
  SSpinStepUp = up;
  SSpinStepDown = down;
}

TEST(StdCtrls, CheckBoxClicksCycleThroughStatesAllowed) {
  struct Case {
    bool AllowGrayed;
    std::vector<TCheckBoxState> States;
  };
  for (const Case& c :
       {Case{false, {cbChecked, cbUnchecked, cbChecked}}, Case{true, {cbChecked, cbUnchecked, cbGrayed}}}) {
    TCheckBox box(nullptr);
    box.SetAllowGrayed(c.AllowGrayed);
    int clicks = 0;
    box.OnClick = [&](TObject*) { ++clicks; };
    std::vector<TCheckBoxState> seen;
    for (size_t i = 0; i < c.States.size(); ++i) {
      ClickAt(&box, 5, 5);
      seen.push_back(box.State());
    }
    EXPECT_EQ(clicks, static_cast<int>(c.States.size()));
    std::vector<TCheckBoxState> want = c.States;
    // The widget's tri-state order differs; what matters is that grayed is reachable only when allowed.
    if (c.AllowGrayed)
      EXPECT_NE(std::find(seen.begin(), seen.end(), cbGrayed), seen.end());
    else
      EXPECT_EQ(seen, want);
  }
  TCheckBox box(nullptr);
  int clicks = 0;
  box.OnClick = [&](TObject*) { ++clicks; };
  box.SetChecked(true);
  box.SetChecked(true);  // no change, no click
  EXPECT_EQ(clicks, 1);
  box.SetAllowGrayed(true);
  box.SetState(cbGrayed);
  box.SetAllowGrayed(false);
  EXPECT_EQ(box.State(), cbUnchecked);
}

TEST(StdCtrls, RadioButtonsOfOneParentExcludeEachOther) {
  TGroupBox a(nullptr), b(nullptr);
  auto* r1 = new TRadioButton(nullptr);
  auto* r2 = new TRadioButton(nullptr);
  auto* other = new TRadioButton(nullptr);
  r1->SetParent(&a);
  r2->SetParent(&a);
  other->SetParent(&b);
  other->SetChecked(true);
  ClickAt(r1, 3, 3);
  EXPECT_TRUE(r1->Checked());
  ClickAt(r2, 3, 3);
  EXPECT_TRUE(r2->Checked());
  EXPECT_FALSE(r1->Checked());
  ClickAt(r2, 3, 3);  // clicking the checked one keeps it checked
  EXPECT_TRUE(r2->Checked());
  EXPECT_TRUE(other->Checked());
}

TEST(StdCtrls, ButtonModalResultReachesTheFormAndDialogKeysClickButtons) {
  TForm form(nullptr);
  auto* ok = new TButton(&form);
  ok->SetParent(&form);
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  auto* group = new TGroupBox(&form);
  group->SetParent(&form);
  auto* cancel = new TButton(&form);
  cancel->SetParent(group);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  int clicks = 0;
  ok->OnClick = [&](TObject*) { ++clicks; };
  ClickAt(ok, 5, 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(form.ModalResult(), mrOk);
  form.SetModalResult(mrNone);
  EXPECT_TRUE(ClickDialogButton(&form, VK_ESCAPE));
  EXPECT_EQ(form.ModalResult(), mrCancel);
  EXPECT_TRUE(ClickDialogButton(&form, VK_RETURN));
  EXPECT_EQ(clicks, 2);
  ok->SetEnabled(false);
  EXPECT_FALSE(ClickDialogButton(&form, VK_RETURN));
  EXPECT_FALSE(ClickDialogButton(&form, 'A'));
  ok->SetEnabled(true);

  // Enter and Escape typed in an edit reach the buttons; a memo keeps Enter for itself.
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  auto* memo = new TMemo(&form);
  memo->SetParent(&form);
  struct Case {
    TWinControl* Where;
    uint16_t Key;
    TModalResult Want;
  };
  for (const Case& c : {Case{edit, VK_RETURN, mrOk}, Case{edit, VK_ESCAPE, mrCancel}, Case{memo, VK_RETURN, mrNone},
                        Case{memo, VK_ESCAPE, mrCancel}, Case{cancel, VK_RETURN, mrCancel}}) {
    form.SetModalResult(mrNone);
    SendInput(c.Where, ikKeyDown, {}, 0, 0, c.Key);
    EXPECT_EQ(form.ModalResult(), c.Want) << c.Where->ClassName() << " " << c.Key;
  }
  EXPECT_EQ(memo->Lines()->Count(), 2);                                     // the memo's Enter made a new line
  edit->OnKeyDown = [](TObject*, uint16_t& Key, TShiftState) { Key = 0; };  // a handler keeps the key
  form.SetModalResult(mrNone);
  SendInput(edit, ikKeyDown, {}, 0, 0, VK_RETURN);
  EXPECT_EQ(form.ModalResult(), mrNone);
}

TEST(StdCtrls, ListBoxSelectsByMouseAndKeysAndDrawsSelection) {
  TListBox list(nullptr);
  list.SetBorderStyle(bsNone);  // rows from the top edge; the scroll bar takes the right one
  list.SetBounds(0, 0, 100, 50);
  list.SetItemHeight(10);
  for (const char* s : {"one", "two", "three", "four", "five", "six", "seven"}) list.Items()->Add(s);
  int clicks = 0;
  list.OnClick = [&](TObject*) { ++clicks; };
  ClickAt(&list, 10, 25);
  EXPECT_EQ(list.ItemIndex(), 2);
  EXPECT_TRUE(list.Selected(2));
  EXPECT_EQ(clicks, 1);
  list.Update();
  EXPECT_EQ(ControlSurfacePixel(&list, 60, 25), ColorToRGB(clHighlight));
  EXPECT_EQ(ControlSurfacePixel(&list, 60, 5), ColorToRGB(clWindow));

  SendInput(&list, ikKeyDown, {}, 0, 0, VK_END);
  EXPECT_EQ(list.ItemIndex(), 6);
  EXPECT_EQ(list.TopIndex(), 2);  // scrolled so the last item shows
  EXPECT_EQ(list.ItemAtPos(TPoint(5, 5), true), 2);
  EXPECT_EQ(list.ItemAtPos(TPoint(5, 49), true), 6);
  EXPECT_EQ(list.ItemAtPos(TPoint(500, 5), true), -1);
  EXPECT_THROW(list.Selected(7), EListError);

  list.Items()->Delete(6);  // the selected item goes, and the selection with it
  EXPECT_EQ(list.ItemIndex(), -1);

  list.SetMultiSelect(true);
  list.SetTopIndex(0);
  ClickAt(&list, 5, 5);
  ClickAt(&list, 5, 25, {ssShift});
  ClickAt(&list, 5, 15, {ssCtrl});
  EXPECT_EQ(list.SelCount(), 2);
  EXPECT_TRUE(list.Selected(0));
  EXPECT_FALSE(list.Selected(1));
  EXPECT_TRUE(list.Selected(2));

  // The selection stays on its items when others come and go before them.
  list.Items()->Insert(0, "zero");
  list.Items()->Delete(2);
  EXPECT_EQ(list.SelCount(), 2);
  EXPECT_TRUE(list.Selected(1));    // "one"
  EXPECT_TRUE(list.Selected(2));    // "three"
  EXPECT_EQ(list.ItemIndex(), -1);  // it was on "two", deleted
  list.Items()->Exchange(0, 1);
  EXPECT_TRUE(list.Selected(0));
  EXPECT_FALSE(list.Selected(1));

  list.SetSorted(true);
  EXPECT_EQ(list.Items()->Strings(0), "five");
  EXPECT_EQ(list.SelCount(), 0);
}

TEST(StdCtrls, OwnerDrawnListBoxMeasuresAndDrawsThroughItsEvents) {
  TListBox list(nullptr);
  list.SetBorderStyle(bsNone);
  list.SetBounds(0, 0, 60, 60);
  list.SetStyle(lbOwnerDrawVariable);
  list.Items()->SetText("a\nb\nc");
  list.OnMeasureItem = [](TWinControl*, int Index, int& Height) { Height = 10 * (Index + 1); };
  std::vector<int> drawn;
  list.OnDrawItem = [&](TWinControl* C, int Index, TRect R, TOwnerDrawState) {
    drawn.push_back(Index);
    TCanvas* cv = static_cast<TListBox*>(C)->Canvas();
    cv->Brush()->SetColor(Index == 1 ? clRed : clBlue);
    cv->FillRect(R);
  };
  EXPECT_EQ(list.ItemRect(2), Rect(0, 30, 60, 60));
  EXPECT_EQ(list.ItemAtPos(TPoint(1, 29), true), 1);
  list.Repaint();
  EXPECT_EQ(drawn, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(ControlSurfacePixel(&list, 30, 15), clRed);
  EXPECT_EQ(ControlSurfacePixel(&list, 30, 45), clBlue);
}

TEST(StdCtrls, ComboBoxPicksTypesAndKeepsItsTextInStep) {
  TComboBox combo(nullptr);
  combo.Items()->SetText("alpha\nbeta\ngamma");
  std::vector<std::string> log;
  combo.OnChange = [&](TObject*) { log.push_back("change " + combo.Text()); };
  combo.OnSelect = [&](TObject*) { log.push_back("select " + std::to_string(combo.ItemIndex())); };
  combo.SetItemIndex(1);
  EXPECT_EQ(combo.Text(), "beta");
  EXPECT_TRUE(log.empty());  // setting from code is no user's choice

  combo.SetFocus();
  SendInput(&combo, ikKeyDown, {}, 0, 0, VK_DOWN);  // the user steps to the next item
  EXPECT_EQ(combo.ItemIndex(), 2);
  EXPECT_EQ(combo.Text(), "gamma");
  EXPECT_EQ(log, (std::vector<std::string>{"select 2", "change gamma"}));

  log.clear();
  SendInput(&combo, ikKeyDown, {}, 0, 0, VK_BACK);
  EXPECT_EQ(combo.Text(), "gamm");
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(log, (std::vector<std::string>{"change gamm"}));

  combo.SetText("ALPHA");
  EXPECT_EQ(combo.ItemIndex(), 0);
  combo.SetStyle(csDropDownList);
  combo.SetText("delta");  // no such item in a fixed list
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Text(), "");
  combo.SetItemIndex(1);
  combo.Items()->Insert(0, "first");  // the choice follows its item
  EXPECT_EQ(combo.ItemIndex(), 2);
  EXPECT_EQ(combo.Text(), "beta");
  combo.Items()->Delete(0);
  EXPECT_EQ(combo.ItemIndex(), 1);
  combo.SetSorted(true);
  combo.Items()->Add("aaa");
  EXPECT_EQ(combo.Items()->Strings(combo.ItemIndex()), "beta");
  combo.SetItemIndex(3);
  EXPECT_EQ(combo.Text(), "gamma");
  combo.Items()->Delete(3);
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Text(), "");
  combo.SetItemIndex(9);
  EXPECT_EQ(combo.ItemIndex(), -1);
}

TEST(StdCtrls, LabelSizesToItsTextAndFocusesItsControl) {
  TGroupBox box(nullptr);
  box.SetBounds(0, 0, 300, 200);
  auto* label = new TLabel(nullptr);
  label->SetParent(&box);
  label->SetCaption("W");
  int narrow = label->Width();
  label->SetCaption("WWWWWWWW");
  EXPECT_GT(label->Width(), narrow * 4);
  label->SetAutoSize(false);
  label->SetCaption("W");
  EXPECT_GT(label->Width(), narrow * 4);

  auto* edit = new TEdit(nullptr);
  edit->SetParent(&box);
  label->SetFocusControl(edit);
  delete edit;  // the label forgets a freed control
  EXPECT_EQ(label->FocusControl(), nullptr);
  ClickAt(label, 1, 1);
}

TEST(StdCtrls, ScrollBarKeepsPositionInRangeAndStepsWithKeys) {
  TScrollBar bar(nullptr);
  std::vector<int> seen;
  bar.OnChange = [&](TObject*) { seen.push_back(bar.Position()); };
  bar.SetParams(50, 0, 40);
  EXPECT_EQ(bar.Position(), 40);
  bar.SetSmallChange(5);
  bar.SetLargeChange(20);
  SendInput(&bar, ikKeyDown, {}, 0, 0, VK_LEFT);
  SendInput(&bar, ikKeyDown, {}, 0, 0, VK_PRIOR);
  SendInput(&bar, ikKeyDown, {}, 0, 0, VK_PRIOR);
  EXPECT_EQ(seen, (std::vector<int>{40, 35, 15, 0}));
  EXPECT_THROW(bar.SetParams(0, 10, 5), EInvalidOperation);
  bar.SetKind(sbVertical);
  EXPECT_GT(bar.Height(), bar.Width());
}

}  // namespace

namespace {

// Native widgets are made of parts (a memo's viewport, an editable combo box's line): input to a
// part reaches the control's events once, in the control's own coordinates.
TEST(StdCtrls, InputToAWidgetsPartsReachesTheControlOnce) {
  TMemo memo(nullptr);
  memo.SetBounds(0, 0, 120, 80);
  std::vector<std::string> log;
  memo.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int Y) {
    log.push_back("down " + std::to_string(X) + "," + std::to_string(Y));
  };
  SendInput(&memo, ikMouseDown, {}, 30, 40, mbLeft);
  SendInput(&memo, ikMouseUp, {}, 30, 40, mbLeft);
  EXPECT_EQ(log, (std::vector<std::string>{"down 30,40"}));

  TComboBox combo(nullptr);
  combo.Items()->SetText("a\nb");
  int presses = 0, downs = 0, enters = 0;
  combo.OnKeyPress = [&](TObject*, char&) { ++presses; };
  combo.OnKeyDown = [&](TObject*, uint16_t&, TShiftState) { ++downs; };
  combo.OnEnter = [&](TObject*) { ++enters; };
  combo.SetFocus();
  Type(&combo, "x");
  SendInput(&combo, ikKeyDown, {}, 0, 0, VK_DOWN);  // the line passes it on to the combo box
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(downs, 2);
  EXPECT_LE(enters, 1);
  EXPECT_EQ(combo.Text(), "a");
}

}  // namespace

namespace {

TEST(StdCtrls, NativeWidgetsDrawInTheControlsColours) {
  TEdit edit(nullptr);
  edit.SetBounds(0, 0, 100, 24);
  edit.HandleNeeded();
  edit.SetColor(clYellow);
  EXPECT_EQ(ControlSurfacePixel(&edit, 50, 12), clYellow);
  edit.SetColor(clAqua);  // a change shows at once
  EXPECT_EQ(ControlSurfacePixel(&edit, 50, 12), clAqua);
  EXPECT_EQ(ControlSurfacePixel(&edit, 500, 12), CLR_INVALID);
  // Colour set before the widget exists.
  TMemo memo(nullptr);
  memo.SetColor(clLime);
  memo.HandleNeeded();
  EXPECT_EQ(ControlSurfacePixel(&memo, 60, 40), clLime);
}

}  // namespace
