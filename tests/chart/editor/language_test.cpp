#include "chart/editor/language.h"

#include <gtest/gtest.h>

#include <string>

#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"
#include "platform/strings.h"
#include "platform/testkit/temp_folder.h"

namespace {

bool HasLatinOrDigit(const std::string& S) {
  for (char c : S)
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  return false;
}

// A small dictionary made current for one test; English again afterwards.
class LanguageTest : public ::testing::Test {
protected:
  void SetUp() override {
    InstallTranslator();
    Dictionary.SetText(
        "WIDTH=Ширина\rBORDER=Граница\rX=X\rDASH=Штриховая\rLEFT=Слева\rDASH=Solid\r\r"
        "FOOT= Итог\rRED=Красный\rGREEN=Зелёный\rBLUE=Синий\rFILE=Файл\r0=нуль\r?=вопрос\r%=процент\r");
    CurrentDictionary = &Dictionary;
  }
  void TearDown() override { SetEnglishLanguage(); }
  TStringList Dictionary;
};

}  // namespace

TEST_F(LanguageTest, TranslateTextKeepsAcceleratorColonAndEllipsisRules) {
  struct Case {
    const char* In;
    const char* Used;  // accelerators already given in the window
    bool Translated;
    const char* Out;
  };
  const Case cases[] = {
      {"&Width:", "", true, "Ширина:"},  // no Latin letter: no accelerator
      {"&Border...", "", true, "Граница..."},
      {"&X:", "", true, "&X:"},
      {"&X:", "X", true, "X:"},         // X is taken in this window
      {"Dash", "", true, "Штриховая"},  // the first of two lines wins
      {"Foot", "", true, " Итог"},      // blanks of the value kept
      {"  left \t", "", true, "Слева"},
      {"0", "", false, "0"},
      {"?", "", false, "?"},
      {"%", "", false, "%"},
      {"   ", "", false, "   "},
      {"Unknown", "", false, "Unknown"},
      {"Width...:", "", true, "Ширина...:"},  // colon stripped first, then the ellipsis
  };
  for (const Case& c : cases) {
    std::string text = c.In, used = c.Used;
    EXPECT_EQ(TranslateText(text, used), c.Translated) << c.In;
    EXPECT_EQ(text, c.Out) << c.In;
  }
  std::string w = "&Width:", used;
  TranslateText(w, used);
  EXPECT_FALSE(HasLatinOrDigit(w));
  EXPECT_TRUE(used.empty());
}

TEST_F(LanguageTest, LookupIsExactAndEmptyWithoutDictionary) {
  EXPECT_EQ(LookupTranslation("DASH"), "Штриховая");
  EXPECT_EQ(LookupTranslation("dash"), "");
  EXPECT_EQ(LookupTranslation("DAS"), "");
  EXPECT_EQ(LookupTranslation(""), "");
  CurrentDictionary = nullptr;
  EXPECT_EQ(LookupTranslation("DASH"), "");
}

TEST_F(LanguageTest, WalkerTranslatesOwnedControlsKeepsSelectionsAndExclusions) {
  TForm form(nullptr);
  form.SetText("File");
  auto* label = new TLabel(&form);
  label->SetAutoSize(false);
  label->SetText("&Width:");
  auto* edit = new TEdit(&form);
  edit->SetText("Left");
  auto* kept = new TButton(&form);
  kept->SetText("Left");
  kept->SetHint("Border");
  auto* hinted = new TButton(&form);
  hinted->SetText("&X");
  hinted->SetHint("Foot");
  auto* second = new TButton(&form);
  second->SetText("&X");
  auto* sorted = new TComboBox(&form);
  sorted->Items()->Add("Red");
  sorted->Items()->Add("Green");
  sorted->Items()->Add("Blue");
  sorted->SetSorted(true);  // Blue, Green, Red
  sorted->SetItemIndex(sorted->Items()->IndexOf("Red"));
  auto* list = new TListBox(&form);
  list->Items()->Add("Red");
  list->Items()->Add("Unknown");
  list->SetItemIndex(1);
  auto* radio = new TRadioGroup(&form);
  radio->SetText("Border");
  radio->Items()->Add("Left");
  auto* pages = new TPageControl(&form);
  pages->SetText("Left");
  auto* sheet = new TTabSheet(&form);
  sheet->SetPageControl(pages);
  sheet->SetText("Blue");
  auto* item = new TMenuItem(&form);
  item->SetCaption("&File");

  TranslateControlExcept(&form, {kept});

  EXPECT_EQ(form.Caption(), "Файл");
  EXPECT_EQ(label->Caption(), "Ширина:");
  EXPECT_TRUE(label->AutoSize());
  EXPECT_EQ(edit->Text(), "Слева");
  EXPECT_EQ(kept->Caption(), "Left");
  EXPECT_EQ(kept->Hint(), "Border");
  EXPECT_EQ(hinted->Caption(), "&X");
  EXPECT_EQ(hinted->Hint(), " Итог");
  EXPECT_EQ(second->Caption(), "X");  // one used-accelerator set per window
  ASSERT_GE(sorted->ItemIndex(), 0);
  EXPECT_EQ(sorted->Items()->Strings(sorted->ItemIndex()), "Красный");
  EXPECT_EQ(list->Items()->Strings(0), "Красный");
  EXPECT_EQ(list->Items()->Strings(1), "Unknown");
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(radio->Caption(), "Граница");
  EXPECT_EQ(radio->Items()->Strings(0), "Слева");
  EXPECT_EQ(pages->Caption(), "Left");
  EXPECT_EQ(sheet->Caption(), "Синий");
  EXPECT_EQ(item->Caption(), "Файл");
}

TEST_F(LanguageTest, EnglishChangesNothing) {
  SetEnglishLanguage();
  EXPECT_EQ(CurrentDictionary, nullptr);
  TForm form(nullptr);
  form.SetText("File");
  auto* label = new TLabel(&form);
  label->SetText("&Width:");
  TranslateControl(&form);
  EXPECT_EQ(form.Caption(), "File");
  EXPECT_EQ(label->Caption(), "&Width:");
}

TEST(Language, RussianTablesMessagesAndRoundTrip) {
  InstallTranslator();
  SetRussianLanguage();
  ASSERT_EQ(CurrentDictionary, RussianDictionary());
  EXPECT_EQ(LookupTranslation("RIGHT"), "Справа");
  EXPECT_EQ(LookupTranslation("FOOT"), " Итог");
  EXPECT_EQ(LookupTranslation("LOCAL E"), "Полевая E");
  EXPECT_EQ(ErrAxisMinAboveMax, "Минимальное значение оси должно быть <= Максимального");
  EXPECT_EQ(MsgPageOfPages, "Страница %d из %d");
  EXPECT_EQ(MsgDefaultEditorWidth, "484");
  EXPECT_EQ(MsgDefaultEditorHeight, "347");  // no Russian text: English stays
  EXPECT_EQ(MsgGalleryVolumePipe, "VolumePipe");
  EXPECT_EQ(MsgCmdShowHideSeriesMarks, "Показать / скрыть метки рядов");
  EXPECT_EQ(MsgOptionWithinQuota, " в пределах квоты");  // the leading blank joins it to a number
  EXPECT_EQ(RestartMessage, "Пожалуйста, перезапустите Varomark.");

  // The application block is present exactly once, however often Russian is chosen.
  const int count = RussianDictionary()->Count();
  SetRussianLanguage();
  EXPECT_EQ(RussianDictionary()->Count(), count);
  int blocks = 0;
  for (int i = 0; i < count; ++i) blocks += RussianDictionary()->Strings(i).rfind("NEW USING WIZARD=", 0) == 0;
  EXPECT_EQ(blocks, 1);

  SetEnglishLanguage();
  EXPECT_EQ(CurrentDictionary, nullptr);
  EXPECT_EQ(ErrAxisMinAboveMax, "Axis Minimum Value must be <= Maximum");
  EXPECT_EQ(RestartMessage, "Please close and restart the application.");
}

TEST(Language, RussianDictionaryLinesAreWellFormed) {
  SetRussianLanguage();
  TStrings* d = RussianDictionary();
  for (int i = 0; i < d->Count(); ++i) {
    const std::string line = d->Strings(i);
    if (line.empty()) continue;
    const auto p = line.find('=');
    ASSERT_NE(p, std::string::npos) << line;
    const std::string key = line.substr(0, p);
    ASSERT_GT(p, 0u) << line;
    for (char c : key) EXPECT_FALSE(c >= 'a' && c <= 'z') << "lower case key: " << line;
    EXPECT_NE(key.back(), ':') << line;
    EXPECT_FALSE(line.substr(p + 1).empty()) << line;
  }
  SetEnglishLanguage();
}

TEST(Language, NumberSurvivesInTheRegistry) {
  TTempProfile profile("vm_language");
  EXPECT_EQ(ReadLanguage(), -1);
  WriteLanguage(LanguageRussian);
  EXPECT_EQ(ReadLanguage(), 11);
  WriteLanguage(LanguageEnglish);
  EXPECT_EQ(ReadLanguage(), 0);
}
