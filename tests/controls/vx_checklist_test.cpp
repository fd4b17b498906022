#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "controls/form_storage.h"
#include "controls/vx_checklist.h"
#include "controls/vx_utils.h"
#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/forms.h"
#include "platform/inifiles.h"
#include "platform/streaming.h"
#include "platform/streams.h"
#include "platform/testkit/temp_folder.h"

namespace {

TObject* Tag(intptr_t V) { return reinterpret_cast<TObject*>(V); }

void ClickAt(TControl* C, int X, int Y) {
  SendInput(C, ikMouseDown, {}, X, Y, mbLeft);
  SendInput(C, ikMouseUp, {}, X, Y, mbLeft);
}

std::string States(const TVxCheckListBox& L) {
  std::string s;
  for (int i = 0; i < L.Items()->Count(); ++i) s += char('0' + L.GetItemState(i));
  return s;
}

// A check list with a fixed row height and an event log.
struct CheckFixture : testing::Test {
  TVxCheckListBox List{nullptr};
  std::vector<std::string> Log;
  void SetUp() override {
    List.SetStyle(lbOwnerDrawFixed);
    List.SetItemHeight(20);
    List.SetBounds(0, 0, 120, 100);
    for (const char* s : {"one", "two", "three", "four"}) List.Items()->Add(s);
    List.OnClickCheck = [this](TObject*) { Log.push_back("click"); };
    List.OnStateChange = [this](TObject*, int I) { Log.push_back("state " + std::to_string(I)); };
  }
  int RowY(int I) { return I * 20 + 10; }
};

TEST_F(CheckFixture, ItemsWithoutRecordsReadUncheckedEnabledAndNil) {
  EXPECT_EQ(States(List), "0000");
  EXPECT_TRUE(List.IsItemEnabled(2));
  EXPECT_EQ(List.Items()->Objects(2), nullptr);
  EXPECT_THROW((void)List.GetItemState(4), EStringListError);
  EXPECT_THROW(List.SetItemState(-1, cbChecked), EStringListError);
  List.Items()->SetObjects(1, Tag(42));
  EXPECT_EQ(List.Items()->Objects(1), Tag(42));
  EXPECT_EQ(List.GetItemState(1), cbUnchecked);
}

TEST_F(CheckFixture, MouseCyclesOnlyInTheCheckArea) {
  struct Case {
    bool AllowGrayed;
    TCheckKind Kind;
    std::string Sequence;
  };
  for (const Case& k : {Case{false, ckCheckBoxes, "101"}, Case{true, ckCheckBoxes, "2102"},
                        Case{true, ckCheckMarks, "2102"}, Case{true, ckRadioButtons, "1111"}}) {
    List.SetCheckKind(ckCheckBoxes);
    List.SetAllStates(cbUnchecked, false);
    List.SetCheckKind(k.Kind);
    List.SetAllowGrayed(k.AllowGrayed);
    std::string seen;
    for (size_t n = 0; n < k.Sequence.size(); ++n) {
      ClickAt(&List, 5, RowY(2));
      seen += char('0' + List.GetItemState(2));
    }
    EXPECT_EQ(seen, k.Sequence) << k.Kind << " " << k.AllowGrayed;
  }
  List.SetCheckKind(ckCheckBoxes);
  List.SetAllowGrayed(false);
  List.SetAllStates(cbUnchecked, false);
  Log.clear();
  ClickAt(&List, 40, RowY(1));  // on the text: selects, no check
  EXPECT_EQ(List.ItemIndex(), 1);
  EXPECT_EQ(States(List), "0000");
  EXPECT_TRUE(Log.empty());
  ClickAt(&List, List.CheckAreaWidth() - 1, RowY(1));
  EXPECT_EQ(States(List), "0100");
  EXPECT_EQ(Log, (std::vector<std::string>{"state 1", "click"}));
}

TEST_F(CheckFixture, DisabledItemsIgnoreMouseAndSpace) {
  List.EnableItem(1, false);
  EXPECT_FALSE(List.IsItemEnabled(1));
  ClickAt(&List, 5, RowY(1));
  EXPECT_EQ(List.ItemIndex(), 1);
  SendInput(&List, ikKeyDown, {}, 0, 0, VK_SPACE);
  EXPECT_EQ(States(List), "0000");
  EXPECT_TRUE(Log.empty());
  SendInput(&List, ikKeyDown, {}, 0, 0, VK_DOWN);
  SendInput(&List, ikKeyDown, {}, 0, 0, VK_SPACE);
  EXPECT_EQ(States(List), "0010");
  EXPECT_EQ(Log, (std::vector<std::string>{"state 2", "click"}));
}

TEST_F(CheckFixture, PlusAndMinusSetEnabledItemsButNotRadioLists) {
  List.EnableItem(3, false);
  List.DispatchKeyPress('+');
  EXPECT_EQ(States(List), "1110");
  List.DispatchKeyPress('-');
  EXPECT_EQ(States(List), "0000");
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "click"), 2);

  List.SetCheckKind(ckRadioButtons);
  EXPECT_EQ(States(List), "1000");  // normalised: item 0 takes the check
  Log.clear();
  List.DispatchKeyPress('+');
  EXPECT_EQ(States(List), "1000");
  EXPECT_EQ(Log, (std::vector<std::string>{"click"}));
}

TEST_F(CheckFixture, RadioListKeepsExactlyOneCheckedItem) {
  EXPECT_EQ(List.CheckedIndex(), -1);  // check boxes
  List.SetCheckedIndex(2);
  EXPECT_EQ(States(List), "0000");
  List.SetCheckKind(ckCheckMarks);
  EXPECT_EQ(List.CheckedIndex(), -1);

  TVxCheckListBox radio(nullptr);
  radio.SetCheckKind(ckRadioButtons);
  radio.SetCheckedIndex(0);  // no items: nothing
  for (const char* s : {"a", "b", "c"}) radio.Items()->Add(s);
  EXPECT_EQ(radio.CheckedIndex(), -1);  // added at run time, none checked yet
  radio.SetCheckedIndex(-5);
  EXPECT_EQ(States(radio), "100");
  radio.SetItemChecked(0, false);  // the checked one cannot be unchecked
  EXPECT_EQ(States(radio), "100");
  radio.SetItemChecked(2, true);
  EXPECT_EQ(States(radio), "001");
  EXPECT_EQ(radio.CheckedIndex(), 2);
  radio.SetItemState(1, cbGrayed);  // grayed reads unchecked in a radio list
  EXPECT_EQ(radio.GetItemState(1), cbUnchecked);
  EXPECT_FALSE(radio.AllowGrayed());
  radio.SetCheckedIndex(99);  // past the end: the last item
  EXPECT_EQ(radio.CheckedIndex(), 2);
}

TEST_F(CheckFixture, RecreationExchangeAndMoveKeepStatesFlagsAndObjects) {
  List.SetAllowGrayed(true);
  List.SetItemState(0, cbChecked);  // one
  List.SetItemState(3, cbGrayed);   // four
  List.EnableItem(2, false);        // three
  List.Items()->SetObjects(3, Tag(4));
  List.SetSorted(true);  // four, one, three, two
  EXPECT_EQ(List.Items()->CommaText(), "four,one,three,two");
  EXPECT_EQ(States(List), "2100");
  EXPECT_FALSE(List.IsItemEnabled(2));
  EXPECT_EQ(List.Items()->Objects(0), Tag(4));

  List.SetSorted(false);
  List.Items()->Exchange(0, 3);  // two, one, three, four
  EXPECT_EQ(States(List), "0102");
  EXPECT_EQ(List.Items()->Objects(3), Tag(4));
  List.Items()->Move(2, 0);  // three, two, one, four
  EXPECT_EQ(List.Items()->CommaText(), "three,two,one,four");
  EXPECT_EQ(States(List), "0012");
  EXPECT_FALSE(List.IsItemEnabled(0));
  List.Items()->Delete(0);
  EXPECT_TRUE(List.IsItemEnabled(0));

  TVxCheckListBox copy(nullptr);
  copy.SetItems(List.Items());
  EXPECT_EQ(States(copy), "012");
  EXPECT_EQ(copy.Items()->Objects(2), Tag(4));
}

TEST_F(CheckFixture, RowsFitTheCheckImageAndTheFont) {
  EXPECT_EQ(List.ItemHeight(), 20);
  List.SetItemHeight(2);
  TCanvas* c = List.Canvas();
  c->Font()->Assign(List.Font());
  const int text = c->TextHeight("Wg");
  // The 13-pixel box with a pixel free above and below, so two rows' boxes never touch.
  EXPECT_EQ(List.ItemHeight(), std::max(text, 15));
  List.SetStyle(lbStandard);
  EXPECT_EQ(List.ItemHeight(), std::max(text, 15));
  EXPECT_EQ(List.ItemBounds(1).Top, List.ItemHeight());
}

TEST_F(CheckFixture, DrawsTheCellOfKindAndStateCentredInTheCheckArea) {
  List.SetItemState(1, cbChecked);
  List.EnableItem(2, false);
  List.SetCheckKind(ckCheckBoxes);
  List.Repaint();
  TBitmap cell;
  for (int item : {0, 1, 2}) {
    const int index = item == 2 ? 3 : item;  // item 2: disabled, unchecked
    CopyBitmapCell(TVxCheckListBox::CheckImages(), &cell, 6, 3, index);
    const int x0 = (18 - 16) / 2, y0 = item * 20 + (20 - 13) / 2;
    int compared = 0;
    for (int y = 0; y < 13; ++y)
      for (int x = 0; x < 16; ++x) {
        TColor want = cell.Canvas()->Pixels(x, y);
        if (want == clFuchsia) want = ColorToRGB(List.Color());
        ASSERT_EQ(ControlSurfacePixel(&List, x0 + x, y0 + y), ColorToRGB(want)) << item << " " << x << "," << y;
        ++compared;
      }
    EXPECT_EQ(compared, 16 * 13);
  }
  // A disabled item's text is gray; an enabled one's dark. The darkest green level of a row:
  auto darkest = [&](int Row) {
    int least = 255;
    for (int y = Row * 20; y < Row * 20 + 20; ++y)
      for (int x = 20; x < 60; ++x) least = std::min<int>(least, (ControlSurfacePixel(&List, x, y) >> 8) & 0xFF);
    return least;
  };
  const int gray = (ColorToRGB(clGrayText) >> 8) & 0xFF;
  EXPECT_EQ(darkest(2), gray);
  EXPECT_LT(darkest(0), gray);
  // The selection starts after the check area.
  List.SetItemIndex(0);
  List.Repaint();
  EXPECT_EQ(ControlSurfacePixel(&List, 17, 2), ColorToRGB(List.Color()));
  EXPECT_EQ(ControlSurfacePixel(&List, 19, 2), ColorToRGB(clHighlight));
}

// The settings file through a form's placement component.
class TClbWindow1 : public TForm {
  VM_CLASS(TClbWindow1, TForm)
public:
  explicit TClbWindow1(TComponent* AOwner) : TForm(AOwner) {
    Storage = new TFormPlacement(this);
    Storage->SetIniFileName("checks.ini");
    Storage->SetIniSection("TClbWindow1");
    Storage->SetActive(false);  // saves without a restore first
    List = new TVxCheckListBox(this);
    List->SetName("clbProcessing");
    List->SetParent(this);
    List->SetIniStorage(Storage);
    for (const char* s : {"a", "b", "c"}) List->Items()->Add(s);
  }
  TFormPlacement* Storage;
  TVxCheckListBox* List;
};
VM_DEFINE_CLASS(TClbWindow1)

class CheckIni : public testing::Test {
protected:
  void SetUp() override {
    Profile = std::make_unique<TTempProfile>("vm_checklist");
    Dir = Profile->Path();
  }
  void TearDown() override { Profile.reset(); }
  std::string Value(const std::string& Key) {
    TIniFile ini("checks.ini");
    return ini.ReadString(kSection, Key, "<none>");
  }
  void Put(const std::string& Key, const std::string& V) {
    TIniFile ini("checks.ini");
    ini.WriteString(kSection, Key, V);
  }
  static constexpr const char* kSection = "TClbWindow1\\TClbWindow1clbProcessing";
  std::unique_ptr<TTempProfile> Profile;
  std::string Dir;
};

TEST_F(CheckIni, SavesAndRestoresStatesInTheListsSection) {
  {
    TClbWindow1 form(nullptr);
    form.List->SetAllowGrayed(true);
    form.List->SetItemState(1, cbChecked);
    form.List->SetItemState(2, cbGrayed);
    form.Storage->StorePlacement();
  }
  EXPECT_EQ(Value("Count"), "3");
  EXPECT_EQ(Value("Item0") + Value("Item1") + Value("Item2"), "012");
  Put("Count", "7");  // more than the list holds: cut to the items
  Put("Item0", "9");  // not a state: the item keeps its own
  TClbWindow1 form(nullptr);
  form.List->SetItemState(0, cbChecked);
  form.Storage->LoadPlacement();
  EXPECT_EQ(States(*form.List), "112");

  form.List->Items()->Clear();
  form.Storage->StorePlacement();
  EXPECT_EQ(Value("Count"), "0");
  EXPECT_EQ(Value("Item0"), "<none>");
}

TEST_F(CheckIni, RadioRestoreMovesTheCheckAndStopsAtTheCheckedItem) {
  Put("Count", "3");
  Put("Item0", "0");
  Put("Item1", "1");
  Put("Item2", "1");
  TClbWindow1 form(nullptr);
  form.List->SetCheckKind(ckRadioButtons);
  ASSERT_EQ(States(*form.List), "100");
  form.Storage->LoadPlacement();
  EXPECT_EQ(States(*form.List), "010");
}

TEST_F(CheckIni, NothingHappensWithoutSectionNameOrOpenFile) {
  TClbWindow1 form(nullptr);
  form.List->SetItemState(1, cbChecked);
  form.Storage->LoadPlacement();  // empty section: nothing restored
  EXPECT_EQ(States(*form.List), "010");
  form.List->SetName("");
  form.Storage->StorePlacement();
  EXPECT_EQ(Value("Count"), "<none>");
}

}  // namespace

namespace {

TEST(CheckListStream, ItemsStatesAndFlagsRoundTrip) {
  TVxCheckListBox list(nullptr);
  list.SetName("clbFiles");
  list.SetAllowGrayed(true);
  for (const char* s : {"first", "second", "third"}) list.Items()->Add(s);
  list.SetItemState(1, cbChecked);
  list.SetItemState(2, cbGrayed);
  list.EnableItem(0, false);
  const std::string text = ComponentToText(&list);
  EXPECT_NE(text.find("InternalVersion = 202"), std::string::npos) << text;
  EXPECT_NE(text.find("Strings = ("), std::string::npos) << text;

  TVxCheckListBox copy(nullptr);
  copy.Items()->Add("stale");
  int changes = 0;
  copy.OnStateChange = [&](TObject*, int) { ++changes; };
  TextToComponent(text, &copy);
  EXPECT_EQ(copy.Items()->CommaText(), "first,second,third");
  EXPECT_EQ(States(copy), "012");
  EXPECT_FALSE(copy.IsItemEnabled(0));
  EXPECT_TRUE(copy.IsItemEnabled(1));
  EXPECT_EQ(changes, 0);  // reading fires no state changes
}

TEST(CheckListStream, OlderStreamsAndRadioListsAreNormalised) {
  // Before version 202 an item carried a checked flag and an enabled flag.
  const std::string old =
      "object clbParameters: TVxCheckListBox\n"
      "  CheckKind = ckRadioButtons\n"
      "  Strings = (\n"
      "    'a'\n    False\n    True\n"
      "    'b'\n    False\n    False\n"
      "    'c'\n    True\n    True)\n"
      "end\n";
  TVxCheckListBox radio(nullptr);
  TextToComponent(old, &radio);
  EXPECT_EQ(States(radio), "001");
  EXPECT_FALSE(radio.IsItemEnabled(1));

  const std::string none =
      "object clbParameters: TVxCheckListBox\n"
      "  CheckKind = ckRadioButtons\n"
      "  InternalVersion = 202\n"
      "  Strings = (\n"
      "    'a'\n    0\n    True\n"
      "    'b'\n    0\n    True)\n"
      "end\n";
  TVxCheckListBox radio2(nullptr);
  TextToComponent(none, &radio2);
  EXPECT_EQ(States(radio2), "10");  // no checked item: the first takes the check
  EXPECT_EQ(radio2.CheckedIndex(), 0);
}

std::string WrittenAgainst(TVxCheckListBox* Instance, TVxCheckListBox* Ancestor) {
  TMemoryStream bin, txt;
  {
    TWriter w(bin);
    w.WriteDescendent(Instance, Ancestor);
  }
  bin.SetPosition(0);
  ObjectBinaryToText(bin, txt);
  return std::string(static_cast<const char*>(txt.Memory()), static_cast<size_t>(txt.Size()));
}

TEST(CheckListStream, AgainstAnAncestorOnlyDifferingListsAreWritten) {
  TVxCheckListBox base(nullptr), form(nullptr);
  base.SetName("clb");
  form.SetName("clb");
  for (const char* s : {"one", "two"}) {
    base.Items()->Add(s);
    form.Items()->Add(s);
  }
  struct Case {
    const char* What;
    std::function<void()> Change;
    bool Written;
  };
  const Case cases[] = {
      {"same", [] {}, false},
      {"letter case only", [&] { form.Items()->SetStrings(0, "ONE"); }, false},
      {"first text", [&] { form.Items()->SetStrings(0, "uno"); }, true},
      {"state", [&] { form.SetItemChecked(1, true); }, true},
      {"enabled", [&] { form.EnableItem(1, false); }, true},
      {"count", [&] { form.Items()->Add("three"); }, true},
  };
  for (const Case& k : cases) {
    form.SetItems(base.Items());
    k.Change();
    const std::string text = WrittenAgainst(&form, &base);
    EXPECT_EQ(text.find("Strings") != std::string::npos, k.Written) << k.What << "\n" << text;
    EXPECT_EQ(text.find("InternalVersion"), std::string::npos) << k.What;
  }
}

}  // namespace
