#include "controls/form_storage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "controls/vx_settings.h"
#include "controls/vx_utils.h"
#include "platform/controls.h"
#include "platform/forms.h"
#include "platform/inifiles.h"
#include "platform/strings.h"
#include "platform/sysutils.h"
#include "platform/testkit/temp_folder.h"
#include "platform/typinfo.h"

namespace {

class TFsSpin : public TWinControl {
  VM_CLASS(TFsSpin, TWinControl)
public:
  using TWinControl::TWinControl;
  double Value = 0;
  TStringList Items;
  TStrings* GetItems() { return &Items; }
};
VM_PUBLISH(TFsSpin) {
  P.Float("Value", &TFsSpin::Value, &TFsSpin::Value);
  P.Strings("Items", &TFsSpin::GetItems);
}

// A window built in code, as the program's windows are.
class TFsWindow1 : public TForm {
  VM_CLASS(TFsWindow1, TForm)
public:
  explicit TFsWindow1(TComponent* AOwner) : TForm(AOwner) {
    SetName("FsWindow1");
    SetBounds(10, 20, 300, 200);
    Storage = new TFormStorage(this);
    Storage->SetName("FormStorage1");
    Storage->SetIniFileName("forms.ini");
    Storage->StoredProps()->Add("Spin1.Value");
    Storage->StoredProps()->Add("Spin1.Items");
    Spin = new TFsSpin(this);
    Spin->SetName("Spin1");
    Spin->SetParent(this);
    Spin->SetBounds(5, 5, 50, 20);
    Spin->SetTabStop(true);
  }
  TFormStorage* Storage;
  TFsSpin* Spin;
};
VM_DEFINE_CLASS(TFsWindow1)

class FormStorage : public testing::Test {
protected:
  void SetUp() override {
    Profile = std::make_unique<TTempProfile>("vm_formstorage");
    Dir = Profile->Path();
  }
  void TearDown() override { Profile.reset(); }
  bool FileExists() { return std::filesystem::exists(Dir + "/forms.ini"); }
  std::string Value(const std::string& Section, const std::string& Key) {
    TIniFile ini("forms.ini");
    return ini.ReadString(Section, Key, "<none>");
  }
  void Put(const std::string& Section, const std::string& Key, const std::string& V) {
    TIniFile ini("forms.ini");
    ini.WriteString(Section, Key, V);
  }
  std::unique_ptr<TTempProfile> Profile;
  std::string Dir;
};

TEST_F(FormStorage, FirstRunThenRestoreOnNextShow) {
  {
    auto form = std::make_unique<TFsWindow1>(nullptr);
    EXPECT_EQ(form->Storage->IniSection(), "TFsWindow1");
    EXPECT_EQ(form->Storage->Options().Bits(), (TPlacementOptions{fpState, fpPosition}).Bits());
    form->Show();
    EXPECT_EQ(form->BoundsRect(), Rect(10, 20, 310, 220));  // nothing stored yet: nothing moves
    EXPECT_TRUE(form->Storage->Restored());
    EXPECT_FALSE(FileExists());
    form->SetBounds(40, 50, 420, 330);
    form->Spin->Value = 2.5;
    form->Spin->Items.Add("alpha");
    form->Spin->Items.Add("'quoted'");
    form->Close();
    EXPECT_TRUE(form->Storage->Saved());
  }
  const std::string suffix = ScreenSizeSuffix();
  for (const char* key :
       {"FormVersion", "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos", "NormPos", "Visible", "Spin1_Value"})
    EXPECT_NE(Value("TFsWindow1", key), "<none>") << key;
  EXPECT_EQ(Value("TFsWindow1", "NormPos"), "40,50,460,380");
  EXPECT_EQ(Value("TFsWindow1", "NormPos" + suffix), "40,50,460,380");
  EXPECT_EQ(Value("TFsWindow1", "Visible"), "0");
  EXPECT_EQ(Value("TFsWindow1", "Spin1_Value"), "2.5");
  EXPECT_EQ(Value("TFsWindow1.Spin1_Items", "Count"), "2");

  auto form = std::make_unique<TFsWindow1>(nullptr);
  form->Show();
  EXPECT_EQ(form->BoundsRect(), Rect(40, 50, 460, 380));
  EXPECT_EQ(form->Spin->Value, 2.5);
  ASSERT_EQ(form->Spin->Items.Count(), 2);
  EXPECT_EQ(form->Spin->Items[1], "'quoted'");

  // Hidden and shown again: restored again from the file.
  form->Hide();
  form->SetBounds(0, 0, 100, 100);
  form->Spin->Value = 9;
  form->Show();
  EXPECT_EQ(form->BoundsRect(), Rect(40, 50, 460, 380));
  EXPECT_EQ(form->Spin->Value, 2.5);
}

TEST_F(FormStorage, NeverShownSavesNothingDestroyedSavesVisible) {
  {
    TFsWindow1 form(nullptr);
    form.Close();
  }
  EXPECT_FALSE(FileExists());

  auto* form = new TFsWindow1(nullptr);
  form->Show();
  form->Spin->Value = 7;
  delete form;  // destroyed while shown, without closing
  EXPECT_EQ(Value("TFsWindow1", "Visible"), "1");
  EXPECT_EQ(Value("TFsWindow1", "Spin1_Value"), "7");
}

TEST_F(FormStorage, OlderVersionSkipsRestoreButSaves) {
  Put("TFsWindow1", "FormVersion", "1");
  Put("TFsWindow1", "NormPos", "40,50,460,380");
  Put("TFsWindow1", "Spin1_Value", "3");
  TFsWindow1 form(nullptr);
  form.Storage->SetVersion(2);
  int restored = 0;
  form.Storage->OnRestorePlacement = [&](TObject*) { ++restored; };
  form.Show();
  EXPECT_EQ(restored, 0);
  EXPECT_EQ(form.BoundsRect(), Rect(10, 20, 310, 220));
  EXPECT_EQ(form.Spin->Value, 0);
  form.Close();
  EXPECT_EQ(Value("TFsWindow1", "FormVersion"), "2");
  EXPECT_EQ(Value("TFsWindow1", "NormPos"), "10,20,310,220");
}

TEST_F(FormStorage, ChainsTheFormsOwnHandlers) {
  Put("TFsWindow1", "Spin1_Value", "4");
  TFsWindow1 form(nullptr);
  std::vector<std::string> calls;
  bool allow = false;
  form.OnShow = [&](TObject*) { calls.push_back("show:" + FloatToStr(form.Spin->Value)); };
  form.OnCloseQuery = [&](TObject*, bool& CanClose) {
    calls.push_back("query");
    CanClose = allow;
  };
  form.Storage->OnRestorePlacement = [&](TObject*) { calls.push_back("restored"); };
  form.Storage->OnSavePlacement = [&](TObject*) { calls.push_back("saved"); };
  form.Storage->Loaded();  // the form set its own handlers after making the storage
  form.Show();
  form.Close();  // refused: nothing saved
  allow = true;
  form.Close();
  EXPECT_EQ(calls, (std::vector<std::string>{"restored", "show:4", "query", "query", "saved"}));

  // Inactive: the events neither restore nor save; explicit calls still work.
  calls.clear();
  form.Storage->SetActive(false);
  Put("TFsWindow1", "Spin1_Value", "6");
  form.Show();
  EXPECT_EQ(form.Spin->Value, 4);
  form.Storage->LoadPlacement();
  EXPECT_EQ(form.Spin->Value, 6);
}

TEST_F(FormStorage, ActiveControlAndStoredValues) {
  {
    TFsWindow1 form(nullptr);
    form.Storage->SetOptions({fpState, fpPosition, fpActiveControl});
    TStoredValue* v = form.Storage->StoredValues()->Add();
    v->SetName("Secret");
    v->SetKeyString("k");
    v->SetValue("abc");
    TStoredValue* plain = form.Storage->StoredValues()->Add();
    plain->SetName("Plain");
    plain->SetValue("text");
    plain->OnSave = [](TStoredValue*, std::string& Value) { Value += "!"; };
    EXPECT_THROW(plain->SetName("SECRET"), EStringListError);
    EXPECT_EQ(plain->Name(), "Plain");
    EXPECT_EQ(form.Storage->StoredValues()->IndexOf("plain"), 1);
    form.Show();
    form.SetActiveControl(form.Spin);
    form.Close();
  }
  EXPECT_EQ(Value("TFsWindow1", "ActiveControl"), "Spin1");
  EXPECT_EQ(Value("TFsWindow1", "Secret"), KeyedHexEncode("k", "abc"));
  EXPECT_EQ(Value("TFsWindow1", "Plain"), "text!");

  TFsWindow1 form(nullptr);
  form.Storage->SetOptions({fpActiveControl});
  TStoredValue* v = form.Storage->StoredValues()->Add();
  v->SetName("Secret");
  v->SetKeyString("k");
  TStoredValue* plain = form.Storage->StoredValues()->Add();
  plain->SetName("Plain");
  plain->OnRestore = [](TStoredValue*, std::string& Value) { Value = "<" + Value + ">"; };
  form.Show();
  EXPECT_EQ(v->Value(), "abc");
  EXPECT_EQ(plain->Value(), "<text!>");
  EXPECT_EQ(form.ActiveControl(), form.Spin);
}

TEST_F(FormStorage, LinksReadAndWriteWhileTheFileIsOpen) {
  TFsWindow1 form(nullptr);
  TIniLink link;
  EXPECT_EQ(link.RootSection(), "");
  link.SetStorage(form.Storage);
  EXPECT_EQ(link.RootSection(), "");  // the stored section, not its default
  form.Storage->SetIniSection("TGrView1");
  EXPECT_EQ(link.RootSection(), "TGrView1\\");
  EXPECT_EQ(link.SettingsObject(), nullptr);
  int reads = 0, writes = 0;
  link.OnReadSettings = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &link);
    EXPECT_NE(link.SettingsObject(), nullptr);
    ++reads;
  };
  link.OnWriteSettings = [&](TObject*) {
    SettingsWriteString(link.SettingsObject(), link.RootSection() + "Grid", "Width", "12");
    ++writes;
  };
  form.Show();
  form.Close();
  EXPECT_EQ(reads, 1);
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(Value("TGrView1\\Grid", "Width"), "12");
  EXPECT_EQ(form.Storage->ReadSectionInteger("FormVersion", -1), 0);
  form.Storage->WriteSectionInteger("Extra", 5);
  EXPECT_EQ(Value("TGrView1", "Extra"), "5");

  // A link that goes away detaches itself; one that outlives the storage is detached.
  {
    TIniLink shortLived;
    shortLived.SetStorage(form.Storage);
  }
  TIniLink survivor;
  {
    TForm other(nullptr);
    auto* storage = new TFormPlacement(&other);
    survivor.SetStorage(storage);
  }
  EXPECT_EQ(survivor.Storage(), nullptr);
}

TEST_F(FormStorage, DestroyedComponentLeavesTheList) {
  TFsWindow1 form(nullptr);
  form.Storage->Loaded();
  ASSERT_EQ(form.Storage->StoredProps()->Count(), 2);
  delete form.Spin;
  EXPECT_EQ(form.Storage->StoredProps()->Count(), 0);
  form.Show();
  form.Close();
  EXPECT_EQ(Value("TFsWindow1", "Spin1_Value"), "<none>");
}

TEST_F(FormStorage, SizeLimits) {
  TFsWindow1 form(nullptr);
  TWinMinMaxInfo limits;
  limits.SetMaxTrackWidth(550);
  limits.SetMaxTrackHeight(318);
  limits.SetMinTrackWidth(100);
  EXPECT_FALSE(limits.IsDefault());
  form.Storage->SetMinMaxInfo(&limits);
  EXPECT_EQ(form.Storage->MinMaxInfo()->MaxTrackWidth(), 550);
  EXPECT_EQ(form.Height(), 200);
  form.SetBounds(0, 0, 800, 600);
  EXPECT_EQ(form.Width(), 550);
  EXPECT_EQ(form.Height(), 318);
  form.SetWidth(50);
  EXPECT_EQ(form.Width(), 100);

  form.Storage->SetMinMaxInfo(std::make_unique<TWinMinMaxInfo>().get());
  EXPECT_TRUE(form.Storage->MinMaxInfo()->IsDefault());
  form.SetBounds(0, 0, 800, 600);
  EXPECT_EQ(form.Width(), 800);

  form.Storage->SetPreventResize(true);
  form.SetBounds(0, 0, 300, 300);
  EXPECT_EQ(form.Width(), 800);
  EXPECT_EQ(form.Height(), 600);
  form.Storage->SetPreventResize(false);
  form.SetBounds(0, 0, 300, 300);
  EXPECT_EQ(form.Width(), 300);
}

TEST_F(FormStorage, RegistryVariant) {
  {
    TFsWindow1 form(nullptr);
    form.Storage->SetUseRegistry(true);
    form.Storage->SetIniFileName("Software\\FsTest");
    form.Show();
    form.Spin->Value = 1.25;
    form.SetBounds(30, 40, 330, 240);
    form.Close();
  }
  EXPECT_FALSE(FileExists());
  {
    TRegIniFile reg("Software\\FsTest");
    EXPECT_EQ(reg.ReadString("TFsWindow1", "Spin1_Value", ""), "1.25");
  }
  TFsWindow1 form(nullptr);
  form.Storage->SetUseRegistry(true);
  form.Storage->SetIniFileName("Software\\FsTest");
  form.Show();
  EXPECT_EQ(form.Spin->Value, 1.25);
  EXPECT_EQ(form.BoundsRect(), Rect(30, 40, 360, 280));
}

TEST(FormStorageProps, PublishedProperties) {
  TForm form(nullptr);
  TFormStorage storage(&form);
  EXPECT_EQ(GetPropText(&storage, GetPropInfo(&storage, "Options")), "[fpState,fpPosition]");
  EXPECT_EQ(GetPropText(&storage, GetPropInfo(&storage, "Active")), "True");
  EXPECT_NE(GetPropInfo(&storage, "StoredProps"), nullptr);
  EXPECT_NE(GetPropInfo(&storage, "StoredValues"), nullptr);
  EXPECT_EQ(storage.IniFileName(), DefaultIniFileName());
  storage.SetUseRegistry(true);
  EXPECT_EQ(storage.IniFileName(), DefaultRegistryKey());
  TComponent plain(nullptr);
  TFormPlacement free(&plain);
  EXPECT_TRUE(free.Options().Empty());
}

}  // namespace
