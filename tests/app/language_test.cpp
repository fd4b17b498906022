// The program in Russian: the language commands and the captions of every window.
#include <set>
#include <string>

#include "app/child_form.h"
#include "app/options.h"
#include "app/views/polar_view.h"
#include "chart/engine/walls_titles.h"
#include "app_fixture.h"
#include "chart/editor/language.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "controls/vx_checklist.h"
#include "platform/bitmap.h"
#include "platform/comctrls.h"
#include "platform/controls.h"
#include "platform/extctrls.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"
#include "platform/toolbars.h"

namespace {

// Texts that are names rather than words: file formats, file fields and units keep their spelling.
const std::set<std::string> kNames = {"Dat",
                                      "Edi",
                                      "EDI",
                                      "Plt",
                                      "Sms",
                                      "FileName",
                                      "Orig FileName",
                                      "ProcessedFiles",
                                      "StnNumber",
                                      "mV/Gamm.km",
                                      "Arg Z,Ro",
                                      "Arg = - Arg",
                                      "X<->Y Arg = 180 - Arg",
                                      "XPR \xE2\x84\x96"};

// True when a visible text still reads English: a word of three Latin letters or more and no
// Russian letter (whether the dictionary lacks it or the window was never translated). A caption naming the open site is data.
bool LeftInEnglish(const std::string& Text) {
  if (kNames.count(Text) || Text.find("S107") != std::string::npos || Text.find("s107") != std::string::npos)
    return false;  // the open site's name
  for (char c : Text)
    if (static_cast<unsigned char>(c) >= 0xD0 && static_cast<unsigned char>(c) <= 0xD1) return false;
  int run = 0, longest = 0;
  for (char c : Text) {
    run = ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest >= 3;
}

void Collect(TForm* Form, std::set<std::string>& Left) {
  const std::string where = Form->ClassName() + ": ";
  auto note = [&](const std::string& s) {
    if (LeftInEnglish(s)) Left.insert(where + s);
  };
  note(Form->Caption());
  for (int i = 0; i < Form->ComponentCount(); ++i) {
    TComponent* c = Form->Components(i);
    if (auto* m = dynamic_cast<TMenuItem*>(c)) {
      if (m->Visible()) note(m->Caption());
      continue;
    }
    auto* control = dynamic_cast<TControl*>(c);
    if (!control) continue;
    if (!control->Visible() && !dynamic_cast<TTabSheet*>(control)) continue;  // hidden pages still show their tabs
    if (dynamic_cast<TToolButton*>(control)) continue;         // pictures; their captions follow the actions
    if (dynamic_cast<TCustomEdit*>(control)) continue;         // edits hold data
    if (auto* chart = dynamic_cast<TCustomChart*>(control)) {  // titles the program gives its charts
      for (int k = 0; k < chart->Title()->Text()->Count(); ++k) note(chart->Title()->Text()->Strings(k));
      note(chart->LeftAxis()->Title()->Caption());
      note(chart->BottomAxis()->Title()->Caption());
    } else if (auto* checks = dynamic_cast<TVxCheckListBox*>(control)) {
      // Lists of the site's components, processings and files hold data; the plot types are words.
      if (checks->Showing() && checks->Name() == "clbParameters")
        for (int k = 0; k < checks->Items()->Count(); ++k) note(checks->Items()->Strings(k));
    } else if (auto* combo = dynamic_cast<TComboBox*>(control)) {
      for (int k = 0; k < combo->Items()->Count(); ++k) note(combo->Items()->Strings(k));
    } else if (auto* radio = dynamic_cast<TRadioGroup*>(control)) {
      note(radio->Caption());
      for (int k = 0; k < radio->Items()->Count(); ++k) note(radio->Items()->Strings(k));
    } else {
      note(control->Caption());
    }
    if (!control->Hint().empty()) note(control->Hint());
  }
}

// The labels, check boxes and radio buttons of every shown window whose caption does not show
// whole: inside the control (beside the box) and inside the panel that holds it; one per line.
std::string CutCaptions() {
  std::set<std::string> cut;
  TBitmap measure(8, 8);
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TForm* f = Screen->Forms(i);
    for (int k = 0; k < f->ComponentCount(); ++k) {
      auto* c = dynamic_cast<TControl*>(f->Components(k));
      if (!c || !c->Visible() || !c->Parent()) continue;
      auto* label = dynamic_cast<TCustomLabel*>(c);
      const bool box = dynamic_cast<TCheckBox*>(c) || dynamic_cast<TRadioButton*>(c);
      if ((!label && !box) || (label && label->WordWrap())) continue;
      measure.Canvas()->Font()->Assign(c->Font());
      const int need = measure.Canvas()->TextWidth(StripHotkey(c->Caption())) + (box ? 18 : 0);
      const int room = std::min(c->Width(), c->Parent()->ClientWidth() - c->Left());
      if (need > room)
        cut.insert(f->ClassName() + ": " + c->Caption() + " (" + std::to_string(need) + " > " + std::to_string(room) +
                   ")");
    }
  }
  std::string list;
  for (const std::string& s : cut) list += s + "\n";
  return list;
}

// Every window of the program on the open site.
void OpenEveryWindow() {
  MainForm1->EditingExecute(nullptr);
  MainForm1->mmMaskViewClick(nullptr);
  MainForm1->StartingDataExecute(nullptr);
  MainForm1->ResultingDataExecute(nullptr);
  MainForm1->AcPolarExecute(nullptr);
  MainForm1->IndVecExecute(nullptr);
  MainForm1->ComplexEditingExecute(nullptr);
  MainForm1->Edithistrory1Click(nullptr);
  MainForm1->mmOptionsClick(nullptr);
  Application->ProcessMessages();
}

}  // namespace

TEST_F(AppFixture, LanguageCommandsStoreTheNumberAndRussianTranslatesTheMainWindowAtOnce) {
  Start();
  EXPECT_EQ(MainForm1->mmEnglish->Caption(), "English");
  MainForm1->mmRussian->Click();
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(ReadLanguage(), LanguageRussian);
  EXPECT_EQ(MainForm1->mmEnglish->Caption(), "Английский");
  EXPECT_TRUE(MainForm1->mmRussian->Checked());

  MainForm1->mmEnglish->Click();
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0], "Пожалуйста, перезапустите Varomark.");  // in the language before the switch
  EXPECT_EQ(ReadLanguage(), LanguageEnglish);
  EXPECT_EQ(ErrAxisMinAboveMax, "Axis Minimum Value must be <= Maximum");
  EXPECT_EQ(CurrentDictionary, nullptr);
}

TEST_F(AppFixture, AfterARestartInRussianEveryWindowShowsRussianCaptions) {
  WriteLanguage(LanguageRussian);
  Start({SiteFile("S107.MT1")});
  ASSERT_NE(CurrentDictionary, nullptr);
  OpenEveryWindow();

  std::set<std::string> left;
  for (int i = 0; i < Screen->FormCount(); ++i) Collect(Screen->Forms(i), left);
  std::string list;
  for (const std::string& s : left) list += s + "\n";
  EXPECT_TRUE(left.empty()) << left.size() << " texts left in English:\n" << list;
  // The main window's title names the open site after the translated program name.
  EXPECT_EQ(MainForm1->Caption().rfind("Программа редактирования данных Halcyon XPR ", 0), 0u) << MainForm1->Caption();
  // Frequencies drawn as titles or shown in the status bar read their unit in Russian too.
  ASSERT_NE(PolarDiag1, nullptr);
  ASSERT_FALSE(PolarDiag1->PolarCharts.empty());
  ASSERT_NE(PolarDiag1->PolarCharts[0], nullptr);
  const std::string title = PolarDiag1->PolarCharts[0]->Title()->Text()->Strings(0);
  EXPECT_EQ(title.substr(title.size() - std::string(" Гц").size()), " Гц") << title;
  const std::string status = MainForm1->StatusBar1->Panels()->Items(2)->Text();
  EXPECT_NE(status.find("Гц"), std::string::npos) << status;
  // The longer Russian captions still show whole.
  EXPECT_EQ(CutCaptions(), "");
  SetEnglishLanguage();
}

// In English too every caption of every window shows whole.
TEST_F(AppFixture, EnglishCaptionsShowWhole) {
  Start({SiteFile("S107.MT1")});
  OpenEveryWindow();
  EXPECT_EQ(CutCaptions(), "");
}
