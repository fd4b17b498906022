// The program ended through Application->Terminate, its main window never closed: the window's
// settings are still saved into the profile, through objects that are still there.
#include "app_fixture.h"

namespace {

TEST_F(AppFixture, EndingThroughTerminateSavesTheSettingsOfTheOpenWindow) {
  Start();
  Application->Terminate();
  Application->ProcessMessages();
  EndProgram();
  ASSERT_EQ(MainForm1, nullptr);
  std::string ini;
  for (const auto& e : fs::directory_iterator(Dir / "profile"))
    if (LowerCase(e.path().extension().string()) == ".ini") ini = ReadAll(e.path().string());
  // The placement (the window was open) and the chart titles.
  EXPECT_NE(ini.find("[TMainForm1]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Visible=1"), std::string::npos) << ini;
  EXPECT_NE(ini.find("[TChart]"), std::string::npos) << ini;
}

}  // namespace
