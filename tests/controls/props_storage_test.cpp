#include "controls/props_storage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "controls/vx_settings.h"
#include "platform/collection.h"
#include "platform/component.h"
#include "platform/forms.h"
#include "platform/inifiles.h"
#include "platform/strings.h"
#include "platform/sysutils.h"
#include "platform/testkit/temp_folder.h"

namespace {

enum TPsShape { psRound, psSquare, psStar };
const TEnumInfo PsShapeInfo("TPsShape", {"psRound", "psSquare", "psStar"});
enum TPsOption { poBold, poItalic, poUnder };
using TPsOptions = TSet<TPsOption>;
const TEnumInfo PsOptionInfo("TPsOption", {"poBold", "poItalic", "poUnder"});

class TPsFont : public TPersistent {
  VM_CLASS(TPsFont, TPersistent)
public:
  int Color = 0;
  std::string FaceName = "Sans";
};
VM_PUBLISH(TPsFont) {
  P.Int("Color", &TPsFont::Color, &TPsFont::Color);
  P.String("FaceName", &TPsFont::FaceName, &TPsFont::FaceName);
}

class TPsColumn : public TCollectionItem {
  VM_CLASS(TPsColumn, TCollectionItem)
public:
  using TCollectionItem::TCollectionItem;
  int Width = 64;
};
VM_PUBLISH(TPsColumn) { P.Int("Width", &TPsColumn::Width, &TPsColumn::Width); }

class TPsProbe : public TComponent {
  VM_CLASS(TPsProbe, TComponent)
public:
  explicit TPsProbe(TComponent* AOwner) : TComponent(AOwner), Columns(TPsColumn::StaticClass()) {}
  int32_t Number = 0;
  int64_t Big = 0;
  TPsShape Shape = psRound;
  bool Flag = false;
  TPsOptions Options;
  double Ratio = 0;
  float Single = 0;
  std::string Text;
  char Letter = 'a';
  std::string Wide = "w";
  TPsFont Font;
  TStringList Lines;
  TCollection Columns;
  TComponent* Link = nullptr;
  TPsFont* GetFont() { return &Font; }
  TStrings* GetLines() { return &Lines; }
  TCollection* GetColumns() { return &Columns; }
  TComponent* GetLink() { return Link; }
  void SetLink(TComponent* Value) { Link = Value; }
  void SetNumber(int32_t Value) {
    if (Value < 0) throw Exception("negative");
    Number = Value;
  }
};
VM_PUBLISH(TPsProbe) {
  P.Int("Number", &TPsProbe::Number, &TPsProbe::SetNumber);
  P.Int("Big", &TPsProbe::Big, &TPsProbe::Big);
  P.Enum("Shape", &TPsProbe::Shape, &TPsProbe::Shape, PsShapeInfo);
  P.Bool("Flag", &TPsProbe::Flag, &TPsProbe::Flag);
  P.Set("Options", &TPsProbe::Options, &TPsProbe::Options, PsOptionInfo);
  P.Float("Ratio", &TPsProbe::Ratio, &TPsProbe::Ratio);
  P.Float("Single", &TPsProbe::Single, &TPsProbe::Single);
  P.String("Text", &TPsProbe::Text, &TPsProbe::Text);
  P.Char("Letter", &TPsProbe::Letter, &TPsProbe::Letter);
  P.String("Wide", &TPsProbe::Wide, &TPsProbe::Wide).Info().Kind = tkWString;
  P.Object("Font", &TPsProbe::GetFont, nullptr);
  P.Strings("Lines", &TPsProbe::GetLines);
  P.Collection("Columns", &TPsProbe::GetColumns, nullptr);
  P.Component("Link", &TPsProbe::GetLink, &TPsProbe::SetLink);
}

// Two sub-objects that hold each other.
class TPsNode : public TPersistent {
  VM_CLASS(TPsNode, TPersistent)
public:
  int Level = 1;
  TPsNode* Other = nullptr;
  TPsNode* GetOther() { return Other; }
};
VM_PUBLISH(TPsNode) {
  P.Int("Level", &TPsNode::Level, &TPsNode::Level);
  P.Object("Other", &TPsNode::GetOther, nullptr);
}

class TPsForm : public TForm {
  VM_CLASS(TPsForm, TForm)
public:
  using TForm::TForm;
};
VM_DEFINE_CLASS(TPsForm)

class PropsStorage : public testing::Test {
protected:
  void SetUp() override {
    Profile = std::make_unique<TTempProfile>("vm_propsstorage");
    Dir = Profile->Path();
    Ini = std::make_unique<TIniFile>("props.ini");
    Form = std::make_unique<TPsForm>(nullptr);
    Form->SetName("PsForm1");
    Probe = new TPsProbe(Form.get());
    Probe->SetName("Probe1");
    Target = new TComponent(Form.get());
    Target->SetName("Target1");
    Storage.SetSection("Sect");
    TObject* file = Ini.get();
    Storage.OnReadString = [file](const std::string& S, const std::string& K, const std::string& D) {
      return SettingsReadString(file, S, K, D);
    };
    Storage.OnWriteString = [file](const std::string& S, const std::string& K, const std::string& V) {
      SettingsWriteString(file, S, K, V);
    };
    Storage.OnEraseSection = [file](const std::string& S) { SettingsEraseSection(file, S); };
  }
  void TearDown() override {
    Form.reset();
    Ini.reset();
    Profile.reset();
  }
  void SetItems(std::initializer_list<const char*> Items) {
    List.Clear();
    for (const char* s : Items) List.Add(s);
    SyncStoredList(Form.get(), &List, true);
  }
  std::string Value(const std::string& Section, const std::string& Key) {
    return Ini->ReadString(Section, Key, "<none>");
  }

  std::unique_ptr<TTempProfile> Profile;
  std::string Dir;
  std::unique_ptr<TIniFile> Ini;
  std::unique_ptr<TPsForm> Form;
  TPsProbe* Probe = nullptr;
  TComponent* Target = nullptr;
  TPropsStorage Storage;
  TStringList List;
};

TEST(StoredItems, SplitMakeRename) {
  std::string c, p;
  EXPECT_TRUE(SplitStoredItem(" Panel1 . Font.Color ", c, p));
  EXPECT_EQ(c, "Panel1");
  EXPECT_EQ(p, "Font.Color");
  EXPECT_FALSE(SplitStoredItem("Panel1", c, p));
  EXPECT_FALSE(SplitStoredItem(".Width", c, p));
  EXPECT_FALSE(SplitStoredItem("Panel1. ", c, p));
  EXPECT_EQ(MakeStoredItem("A", "B"), "A.B");
  EXPECT_EQ(RenameStoredItem("Old.Width", "New"), "New.Width");
}

TEST_F(PropsStorage, SyncBindsRenamesAndDrops) {
  List.Add("Probe1.Number");
  List.Add("Missing.Number");
  List.Add("NoDot");
  List.Add("Target1.Tag");
  SyncStoredList(Form.get(), &List, true);
  ASSERT_EQ(List.Count(), 2);
  EXPECT_EQ(List.Objects(0), Probe);
  EXPECT_EQ(List.Objects(1), Target);
  Probe->SetName("Probe2");
  List.Add("Unbound.Tag");
  SyncStoredList(Form.get(), &List, false);
  ASSERT_EQ(List.Count(), 2);
  EXPECT_EQ(List[0], "Probe2.Number");
  EXPECT_EQ(List[1], "Target1.Tag");
}

TEST_F(PropsStorage, EveryKindRoundTrips) {
  Probe->Number = 42;
  Probe->Big = 1234567890123;
  Probe->Shape = psStar;
  Probe->Flag = true;
  Probe->Options = {poBold, poUnder};
  Probe->Ratio = 0.1;
  Probe->Single = 2.5f;
  Probe->Text = "  padded text ";
  Probe->Letter = 'Z';
  Probe->Font.Color = 255;
  Probe->Font.FaceName = "Mono";
  Probe->Lines.Add(" first");
  Probe->Lines.Add("second");
  Probe->Columns.Add();
  static_cast<TPsColumn*>(Probe->Columns.Add())->Width = 120;
  Probe->Link = Target;
  SetItems({"Probe1.Number", "Probe1.Big", "Probe1.Shape", "Probe1.Flag", "Probe1.Options", "Probe1.Ratio",
            "Probe1.Single", "Probe1.Text", "Probe1.Letter", "Probe1.Font", "Probe1.Lines", "Probe1.Columns",
            "Probe1.Link", "Probe1.Wide", "Probe1.Nothing"});
  Storage.WriteComponentProps(Form.get(), &List);
  EXPECT_EQ(Storage.Owner(), nullptr);

  EXPECT_EQ(Value("Sect", "Probe1_Number"), "42");
  EXPECT_EQ(Value("Sect", "Probe1_Big"), "1234567890123");
  EXPECT_EQ(Value("Sect", "Probe1_Shape"), "psStar");
  EXPECT_EQ(Value("Sect", "Probe1_Flag"), "True");
  EXPECT_EQ(Value("Sect", "Probe1_Options"), "[poBold,poUnder]");
  EXPECT_EQ(Value("Sect", "Probe1_Ratio"), "0.1");
  EXPECT_EQ(Value("Sect", "Probe1_Single"), "2.5");
  EXPECT_EQ(Value("Sect", "Probe1_Text"), "padded text");
  EXPECT_EQ(Value("Sect", "Probe1_Letter"), "Z");
  EXPECT_EQ(Value("Sect", "Probe1_FontColor"), "255");
  EXPECT_EQ(Value("Sect", "Probe1_FontFaceName"), "Mono");
  EXPECT_EQ(Value("Sect.Probe1_Lines", "Count"), "2");
  EXPECT_EQ(Value("Sect.Probe1_Lines", "Item0"), "first");  // the file itself trims values
  EXPECT_EQ(Value("Sect", "Probe1_Columns.Count"), "2");
  EXPECT_EQ(Value("Sect.Probe1_Columns", "Item1_Width"), "120");
  EXPECT_EQ(Value("Sect", "Probe1_Link"), "Target1");
  EXPECT_EQ(Value("Sect", "Probe1_Wide"), "<none>");
  EXPECT_EQ(Value("Sect", "Probe1_Nothing"), "<none>");

  TPsForm form2(nullptr);
  auto* probe = new TPsProbe(&form2);
  probe->SetName("Probe1");
  auto* target = new TComponent(&form2);
  target->SetName("Target1");
  probe->Wide = "unchanged";
  TStringList list;
  list.Assign(List);
  SyncStoredList(&form2, &list, true);
  Storage.ReadComponentProps(&form2, &list);
  EXPECT_EQ(probe->Number, 42);
  EXPECT_EQ(probe->Big, 1234567890123);
  EXPECT_EQ(probe->Shape, psStar);
  EXPECT_TRUE(probe->Flag);
  EXPECT_EQ(probe->Options.Bits(), (TPsOptions{poBold, poUnder}).Bits());
  EXPECT_DOUBLE_EQ(probe->Ratio, 0.1);
  EXPECT_FLOAT_EQ(probe->Single, 2.5f);
  EXPECT_EQ(probe->Text, "padded text");
  EXPECT_EQ(probe->Letter, 'Z');
  EXPECT_EQ(probe->Font.Color, 255);
  EXPECT_EQ(probe->Font.FaceName, "Mono");
  ASSERT_EQ(probe->Lines.Count(), 2);
  EXPECT_EQ(probe->Lines[1], "second");
  ASSERT_EQ(probe->Columns.Count(), 2);
  EXPECT_EQ(static_cast<TPsColumn*>(probe->Columns.Items(1))->Width, 120);
  EXPECT_EQ(probe->Link, target);
  EXPECT_EQ(probe->Wide, "unchanged");
}

TEST_F(PropsStorage, ReadingBadOrMissingValues) {
  Probe->Number = 5;
  Probe->Shape = psSquare;
  Probe->Ratio = 1.5;
  Probe->Letter = 'q';
  Probe->Options = {poItalic};
  Probe->Lines.Add("kept");
  Storage.SetAObject(Probe);
  const TPropInfo* shape = GetPropInfo(Probe, "Shape");

  // Missing keys leave every property as it is.
  Storage.LoadObjectProps();
  EXPECT_EQ(Probe->Number, 5);
  EXPECT_EQ(Probe->Shape, psSquare);
  EXPECT_EQ(Probe->Lines.Count(), 1);

  Ini->WriteString("Sect", "Number", "abc");     // no number: 0
  Ini->WriteString("Sect", "Shape", "PSROUND");  // case ignored
  Ini->WriteString("Sect", "Ratio", "x1");       // no number: unchanged
  Ini->WriteString("Sect", "Letter", "qq");      // not one character: unchanged
  Ini->WriteString("Sect", "Options", "[poBold, nonsense ,poUnder]");
  Ini->WriteString("Sect.Lines", "Count", "0");  // keeps the lines
  Storage.LoadObjectProps();
  EXPECT_EQ(Probe->Number, 0);
  EXPECT_EQ(Probe->Shape, psRound);
  EXPECT_EQ(Probe->Ratio, 1.5);
  EXPECT_EQ(Probe->Letter, 'q');
  EXPECT_EQ(Probe->Options.Bits(), (TPsOptions{poBold, poUnder}).Bits());
  EXPECT_EQ(Probe->Lines.Count(), 1);

  Ini->WriteString("Sect", "Shape", "psNone");  // unknown name: unchanged
  Storage.ReadProperty(shape);
  EXPECT_EQ(Probe->Shape, psRound);

  // A failing setter is ignored; the other properties still read.
  Probe->Number = 9;
  Ini->WriteString("Sect", "Number", "-3");
  Ini->WriteString("Sect", "Text", "after");
  Storage.LoadObjectProps();
  EXPECT_EQ(Probe->Number, 9);
  EXPECT_EQ(Probe->Text, "after");

  // "[]" and an empty text both clear a set.
  for (const char* empty : {"[]", ""}) {
    Probe->Options = {poItalic};
    Ini->WriteString("Sect", "Options", empty);
    Storage.ReadProperty(GetPropInfo(Probe, "Options"));
    EXPECT_TRUE(Probe->Options.Empty()) << empty;
  }
  Storage.ReadProperty(nullptr);
  Storage.WriteProperty(nullptr);
}

TEST_F(PropsStorage, CollectionGrowsOrKeepsItsItems) {
  Storage.SetAObject(Probe);
  TCollectionItem* first = Probe->Columns.Add();
  Ini->WriteString("Sect", "Columns.Count", "1");
  Ini->WriteString("Sect.Columns", "Item0_Width", "77");
  Storage.LoadObjectProps();
  ASSERT_EQ(Probe->Columns.Count(), 1);
  EXPECT_EQ(Probe->Columns.Items(0), first);  // same count: the item stays
  EXPECT_EQ(static_cast<TPsColumn*>(first)->Width, 77);

  Ini->WriteString("Sect", "Columns.Count", "3");
  Ini->WriteString("Sect.Columns", "Item2_Width", "99");
  Storage.LoadObjectProps();
  ASSERT_EQ(Probe->Columns.Count(), 3);
  EXPECT_EQ(static_cast<TPsColumn*>(Probe->Columns.Items(0))->Width, 77);
  EXPECT_EQ(static_cast<TPsColumn*>(Probe->Columns.Items(1))->Width, 64);
  EXPECT_EQ(static_cast<TPsColumn*>(Probe->Columns.Items(2))->Width, 99);

  // A negative count is damage, not a request to empty the collection.
  Ini->WriteString("Sect", "Columns.Count", "-1");
  Storage.LoadObjectProps();
  EXPECT_EQ(Probe->Columns.Count(), 3);

  // An emptied string list leaves only its erased section.
  Probe->Lines.Add("a");
  Storage.StoreObjectProps();
  EXPECT_EQ(Value("Sect.Lines", "Count"), "1");
  Probe->Lines.Clear();
  Storage.StoreObjectProps();
  EXPECT_EQ(Value("Sect.Lines", "Count"), "<none>");
}

TEST_F(PropsStorage, ComponentReferences) {
  TPsForm other(nullptr);
  other.SetName("OtherForm");
  auto* remote = new TComponent(&other);
  remote->SetName("Remote1");
  TComponent nameless(nullptr);
  auto* orphan = new TComponent(&nameless);
  orphan->SetName("Orphan1");
  SetItems({"Probe1.Link"});

  struct Case {
    TComponent* Link;
    const char* Text;
  } cases[] = {{Target, "Target1"}, {remote, "OtherForm.Remote1"}, {orphan, "Component.Orphan1"}, {nullptr, "(null)"}};
  for (const Case& c : cases) {
    Probe->Link = c.Link;
    Storage.WriteComponentProps(Form.get(), &List);
    EXPECT_EQ(Value("Sect", "Probe1_Link"), c.Text);
  }

  Probe->Link = Target;
  Ini->WriteString("Sect", "Probe1_Link", "OtherForm.Remote1");
  Storage.ReadComponentProps(Form.get(), &List);
  EXPECT_EQ(Probe->Link, remote);
  Ini->WriteString("Sect", "Probe1_Link", "(NULL)");
  Storage.ReadComponentProps(Form.get(), &List);
  EXPECT_EQ(Probe->Link, nullptr);
  Probe->Link = Target;
  Ini->WriteString("Sect", "Probe1_Link", "GoneForm.Remote1");  // no such form: unchanged
  Storage.ReadComponentProps(Form.get(), &List);
  EXPECT_EQ(Probe->Link, Target);
  Ini->WriteString("Sect", "Probe1_Link", "OtherForm.NoSuch");  // no such component: cleared
  Storage.ReadComponentProps(Form.get(), &List);
  EXPECT_EQ(Probe->Link, nullptr);
  EXPECT_EQ(FindNamedFormOrModule("otherform"), &other);
  EXPECT_EQ(FindNamedFormOrModule("nobody"), nullptr);
}

TEST_F(PropsStorage, ObjectsHoldingEachOtherAreStoredOnce) {
  TPsNode a, b;
  a.Other = &b;
  b.Other = &a;
  b.Level = 2;
  Storage.SetAObject(&a);
  Storage.StoreObjectProps();
  EXPECT_EQ(Value("Sect", "Level"), "1");
  EXPECT_EQ(Value("Sect", "OtherLevel"), "2");
  EXPECT_EQ(Value("Sect", "OtherOtherLevel"), "<none>");
  Ini->WriteString("Sect", "OtherLevel", "5");
  Storage.LoadObjectProps();
  EXPECT_EQ(b.Level, 5);
}

TEST(PropInfoListTest, SortedAndFiltered) {
  TPsProbe probe(nullptr);
  TPropInfoList all(&probe, tkStoredProps);
  for (int i = 1; i < all.Count(); ++i) EXPECT_LT(CompareText(all.Items(i - 1)->Name, all.Items(i)->Name), 0);
  ASSERT_NE(all.Find("ratio"), nullptr);
  EXPECT_EQ(all.Find("ratio")->Name, "Ratio");
  EXPECT_EQ(all.Find("None"), nullptr);
  TPropInfoList floats(&probe, TTypeKinds{tkFloat});
  EXPECT_EQ(floats.Count(), 2);
  EXPECT_EQ(TPropInfoList(nullptr, tkStoredProps).Count(), 0);
}

}  // namespace
