#include "controls/vx_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/controls.h"
#include "platform/forms.h"
#include "platform/inifiles.h"
#include "platform/sysutils.h"
#include "platform/testkit/temp_folder.h"

namespace {

class TGrViewNf1 : public TForm {
  VM_CLASS(TGrViewNf1, TForm)
public:
  using TForm::TForm;
};
VM_DEFINE_CLASS(TGrViewNf1)

class VxSettings : public testing::Test {
protected:
  void SetUp() override {
    Profile = std::make_unique<TTempProfile>("vm_vxsettings");
    Dir = Profile->Path();
    Ini = std::make_unique<TIniFile>("test.ini");
  }
  void TearDown() override {
    Ini.reset();
    MinimizeApplicationHook = nullptr;
    Profile.reset();
  }
  std::string FileText() {
    std::ifstream in(Dir + "/test.ini");
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  std::unique_ptr<TTempProfile> Profile;
  std::string Dir;
  std::unique_ptr<TIniFile> Ini;
};

TEST_F(VxSettings, DefaultNames) {
  std::string exe = ExtractFileName(ParamStr(0));
  EXPECT_EQ(DefaultIniFileName(), ChangeFileExt(exe, ".INI"));
  EXPECT_EQ(DefaultRegistryKey(), "Software\\" + ChangeFileExt(exe, ""));

  TGrViewNf1 form(nullptr);
  auto* panel = new TWinControl(&form);
  panel->SetName("Panel1");
  panel->SetParent(&form);
  auto* clb = new TWinControl(&form);
  clb->SetName("clbParameters");
  clb->SetParent(panel);
  auto* loose = new TWinControl(nullptr);
  loose->SetName("Box");
  auto* timer = new TTimer(&form);
  timer->SetName("Timer1");
  TComponent plain(nullptr);
  plain.SetName("Plain");

  EXPECT_EQ(DefaultSectionName(nullptr), "");
  EXPECT_EQ(DefaultSectionName(&form), "TGrViewNf1");
  EXPECT_EQ(DefaultSectionName(clb), "TGrViewNf1clbParameters");
  EXPECT_EQ(DefaultSectionName(timer), "TGrViewNf1.Timer1");
  EXPECT_EQ(DefaultSectionName(&plain), "Plain");
  TWinControl holder(nullptr);
  holder.SetName("Holder");
  loose->SetParent(&holder);
  EXPECT_EQ(DefaultSectionName(loose), "HolderBox");
}

TEST_F(VxSettings, QuotedValuesReadBackUnchanged) {
  const char* values[] = {"\"quoted\"", "'single'", "\"", "plain", "\"half", "'"};
  for (const char* v : values) {
    SettingsWriteString(Ini.get(), "S", "K", v);
    EXPECT_EQ(SettingsReadString(Ini.get(), "S", "K", "x"), v) << v;
  }
  SettingsWriteInteger(Ini.get(), "S", "N", -42);
  EXPECT_EQ(SettingsReadInteger(Ini.get(), "S", "N", 0), -42);
  EXPECT_EQ(SettingsReadInteger(Ini.get(), "S", "Missing", 7), 7);
  SettingsEraseSection(Ini.get(), "S");
  EXPECT_EQ(SettingsReadString(Ini.get(), "S", "N", "gone"), "gone");

  // Another kind of object: reads give the default, writes do nothing.
  TComponent other(nullptr);
  SettingsWriteString(&other, "S", "K", "v");
  EXPECT_EQ(SettingsReadString(&other, "S", "K", "d"), "d");
  EXPECT_EQ(SettingsReadInteger(nullptr, "S", "K", 3), 3);

  // The registry stores values unchanged.
  TRegIniFile reg("Software\\VxSettingsTest");
  SettingsWriteString(&reg, "S", "K", "\"q\"");
  EXPECT_EQ(reg.ReadString("S", "K", ""), "\"q\"");
  EXPECT_EQ(SettingsReadString(&reg, "S", "K", ""), "\"q\"");
}

TEST_F(VxSettings, ReadingNeverCreatesTheFile) {
  EXPECT_EQ(SettingsReadString(Ini.get(), "S", "K", "d"), "d");
  EXPECT_FALSE(std::filesystem::exists(Dir + "/test.ini"));
}

TEST_F(VxSettings, ScreenKeysPreferTheSuffixedValue) {
  const std::string suffix = ScreenSizeSuffix();
  EXPECT_EQ(suffix, Format("(%dx%d)", {Screen->Width(), Screen->Height()}));
  WriteScreenKey(Ini.get(), "S", "NormPos", "1,2,3,4");
  EXPECT_EQ(Ini->ReadString("S", "NormPos" + suffix, ""), "1,2,3,4");
  EXPECT_EQ(Ini->ReadString("S", "NormPos", ""), "1,2,3,4");

  // A value for this screen's size wins; one for another size is ignored.
  Ini->WriteString("S", "NormPos", "plain");
  Ini->WriteString("S", "NormPos" + suffix, "this");
  Ini->WriteString("S", "NormPos(1x1)", "other");
  EXPECT_EQ(ReadScreenKey(Ini.get(), "S", "NormPos"), "this");
  Ini->DeleteKey("S", "NormPos" + suffix);
  EXPECT_EQ(ReadScreenKey(Ini.get(), "S", "NormPos"), "plain");
  EXPECT_EQ(ReadScreenKey(Ini.get(), "S", "Absent"), "");
}

TEST_F(VxSettings, WritePlacementKeysInOrder) {
  TForm form(nullptr);
  form.SetBounds(10, 20, 300, 200);
  WriteWindowPlacement(&form, Ini.get(), "F");
  const std::string suffix = ScreenSizeSuffix();
  const std::string expected = Format(
      "[F]\nFlags=0\nShowCmd=1\nPixelsPerInch=%d\nMinMaxPos%s=-1,-1,-1,-1\nMinMaxPos=-1,-1,-1,-1\n"
      "NormPos%s=10,20,310,220\nNormPos=10,20,310,220\n",
      {Screen->PixelsPerInch(), suffix, suffix});
  std::string text = FileText();
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  EXPECT_EQ(text, expected);
}

TEST_F(VxSettings, ReadPlacementRestoresPositionAndState) {
  TForm form(nullptr);
  form.SetBounds(10, 20, 300, 200);
  Ini->WriteString("F", "NormPos", "50,60,450,360");
  Ini->WriteString("F", "MinMaxPos", "1,2,3,4");
  Ini->WriteString("F", "ShowCmd", "3");
  ReadWindowPlacement(&form, Ini.get(), "F", false, false);
  EXPECT_EQ(form.BoundsRect(), Rect(10, 20, 310, 220));

  ReadWindowPlacement(&form, Ini.get(), "F", false, true);
  EXPECT_EQ(form.BoundsRect(), Rect(50, 60, 450, 360));
  EXPECT_EQ(form.WindowState(), wsNormal);
  EXPECT_EQ(GetFormPlacement(&form).MaxPosition, Point(3, 4));

  ReadWindowPlacement(&form, Ini.get(), "F", true, false);
  EXPECT_EQ(form.WindowState(), wsMaximized);
  ForgetFormPlacement(&form);
}

TEST_F(VxSettings, ReadPlacementEdgeCases) {
  struct Case {
    const char* Name;
    TFormBorderStyle Border;
    const char* NormPos;
    int Ppi;  // 0: the screen's own
    TRect Expected;
  } cases[] = {
      {"sizeable", bsSizeable, "50,60,450,360", 0, Rect(50, 60, 450, 360)},
      {"fixed border keeps size", bsSingle, "50,60,450,360", 0, Rect(50, 60, 350, 260)},
      {"right not beyond left", bsSizeable, "50,60,50,360", 0, Rect(10, 20, 310, 220)},
      {"other pixels per inch", bsSizeable, "50,60,450,360", 1, Rect(10, 20, 310, 220)},
      {"missing words default", bsSizeable, "50,x", 0, Rect(50, 20, 310, 220)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TForm form(nullptr);
    form.SetBounds(10, 20, 300, 200);
    form.SetBorderStyle(c.Border);
    Ini->EraseSection("F");
    Ini->WriteString("F", "NormPos", c.NormPos);
    if (c.Ppi) Ini->WriteInteger("F", "PixelsPerInch", Screen->PixelsPerInch() + c.Ppi);
    ReadWindowPlacement(&form, Ini.get(), "F", true, true);
    EXPECT_EQ(form.BoundsRect(), c.Expected);
    ForgetFormPlacement(&form);
  }
}

TEST_F(VxSettings, MinimizedMainFormMinimizesTheApplication) {
  TForm form(nullptr);
  TForm* oldMain = Application->MainForm();
  Application->SetMainForm(&form);
  int minimized = 0;
  MinimizeApplicationHook = [&] { ++minimized; };
  Ini->WriteString("F", "ShowCmd", "2");
  ReadWindowPlacement(&form, Ini.get(), "F", true, false);
  EXPECT_EQ(minimized, 1);
  EXPECT_EQ(form.WindowState(), wsNormal);

  // Any other form simply takes the minimized state.
  TForm child(nullptr);
  ReadWindowPlacement(&child, Ini.get(), "F", true, false);
  EXPECT_EQ(child.WindowState(), wsMinimized);
  EXPECT_EQ(minimized, 1);
  Application->SetMainForm(oldMain);
}

}  // namespace
