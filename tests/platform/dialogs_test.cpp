// Common dialogs answered through the hook, message boxes and input boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/strings.h"

namespace {

struct HookScope {
  explicit HookScope(TDialogHook Hook) { SetDialogHook(std::move(Hook)); }
  ~HookScope() { SetDialogHook(nullptr); }
};

struct BoxScope {
  std::vector<std::string> Log;
  explicit BoxScope(int Answer) {
    SetMessageBoxHook([this, Answer](const std::string& Text, const std::string& Caption, int Flags) {
      Log.push_back(Caption + ": " + Text + " " + std::to_string(Flags));
      return Answer;
    });
  }
  ~BoxScope() { SetMessageBoxHook(nullptr); }
};

TEST(Dialogs, HeadlessWithoutHookAnswersFalseAndKeepsTheFields) {
  TOpenDialog dlg(nullptr);
  dlg.SetFileName("/data/a.mt");
  std::vector<std::string> events;
  dlg.OnShow = [&](TObject*) { events.push_back("show"); };
  dlg.OnClose = [&](TObject*) { events.push_back("close"); };
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(dlg.FileName(), "/data/a.mt");
  EXPECT_EQ(events, (std::vector<std::string>{"show", "close"}));
  TColorDialog colour(nullptr);
  EXPECT_FALSE(colour.Execute());
  std::string dir = "/tmp";
  EXPECT_FALSE(SelectDirectory("Pick", "", dir));
  EXPECT_EQ(dir, "/tmp");
  std::string v = "x";
  EXPECT_FALSE(InputQuery("Caption", "Prompt", v));
  EXPECT_EQ(InputBox("Caption", "Prompt", "dflt"), "dflt");
}

TEST(Dialogs, MultiSelectFilesAndSingleChoice) {
  TOpenDialog dlg(nullptr);
  dlg.SetOptions(dlg.Options() + ofAllowMultiSelect);
  HookScope hook([](TCommonDialog* D) {
    auto* o = static_cast<TOpenDialog*>(D);
    EXPECT_EQ(o->Files()->Count(), 0);
    o->Files()->Add("/site/b.mt");
    o->Files()->Add("/site/a.mt");
    o->Files()->Add("/site/c.mt");
    return true;
  });
  ASSERT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.Files()->Count(), 3);
  EXPECT_EQ(dlg.FileName(), "/site/b.mt");

  dlg.SetOptions(dlg.Options() - ofAllowMultiSelect);
  ASSERT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.Files()->Count(), 1);
  EXPECT_EQ(dlg.FileName(), "/site/b.mt");
}

TEST(Dialogs, FilterPairsDefaultExtAndTypeChange) {
  TSaveDialog dlg(nullptr);
  dlg.SetFilter("Edi files|*.edi|Plot files|*.plt;*.PLT|All|*.*");
  dlg.SetDefaultExt(".mpk");
  EXPECT_EQ(dlg.DefaultExt(), "mpk");
  EXPECT_EQ(dlg.FilterCount(), 3);
  EXPECT_EQ(dlg.FilterDescription(2), "Plot files");
  EXPECT_EQ(dlg.FilterPatterns(2), "*.plt;*.PLT");
  EXPECT_EQ(dlg.FilterPatterns(4), "");
  EXPECT_EQ(dlg.FilterDescription(0), "");

  // The handler rewrites the name for the chosen type, as the user sees it while the box is open.
  dlg.OnTypeChange = [&](TObject* S) {
    auto* d = static_cast<TSaveDialog*>(S);
    std::filesystem::path p(d->FileName());
    p.replace_extension(d->FilterIndex() == 1 ? ".edi" : ".plt");
    d->SetFileName(p.string());
  };
  dlg.SetFileName("/out/site.edi");
  HookScope hook([](TCommonDialog* D) {
    static_cast<TOpenDialog*>(D)->ChangeFilterIndex(2);
    return true;
  });
  ASSERT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FilterIndex(), 2);
  EXPECT_EQ(dlg.FileName(), "/out/site.plt");

  // A name typed without extension gets the default one, once.
  HookScope hook2([](TCommonDialog* D) {
    static_cast<TOpenDialog*>(D)->SetFileName("/out/package");
    return true;
  });
  ASSERT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FileName(), "/out/package.mpk");
  ASSERT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FileName(), "/out/package.mpk");
}

TEST(Dialogs, CancelledHookLeavesTheNameAndColourAlone) {
  TColorDialog colour(nullptr);
  colour.SetColor(clRed);
  HookScope hook([](TCommonDialog* D) {
    if (auto* c = dynamic_cast<TColorDialog*>(D)) c->SetColor(clBlue);
    return dynamic_cast<TColorDialog*>(D) != nullptr;
  });
  EXPECT_TRUE(colour.Execute());
  EXPECT_EQ(colour.Color(), clBlue);
  TOpenDialog open(nullptr);
  open.SetFileName("/keep.mt");
  EXPECT_FALSE(open.Execute());
  EXPECT_EQ(open.FileName(), "/keep.mt");
}

TEST(Dialogs, SelectDirectoryCreatesOnlyWhenAllowedAndConfirmed) {
  auto base = std::filesystem::temp_directory_path() / "vm_dialogs_dir";
  std::filesystem::remove_all(base);
  std::string wanted = (base / "new").string();
  HookScope hook([&](TCommonDialog* D) {
    static_cast<TSelectDirectoryDialog*>(D)->Directory = wanted;
    return true;
  });
  struct Case {
    TSelectDirOpts Options;
    int Answer;
    bool Result, Made;
  } cases[] = {
      {{}, IDYES, false, false},
      {{sdAllowCreate}, IDYES, true, false},
      {{sdAllowCreate, sdPerformCreate, sdPrompt}, IDNO, false, false},
      {{sdAllowCreate, sdPerformCreate, sdPrompt}, IDYES, true, true},
  };
  for (const Case& c : cases) {
    BoxScope box(c.Answer);
    std::string dir = "/start";
    EXPECT_EQ(SelectDirectory(dir, c.Options, 0), c.Result);
    EXPECT_EQ(dir, c.Result ? wanted : "/start");
    EXPECT_EQ(std::filesystem::is_directory(wanted), c.Made);
  }
  std::filesystem::remove_all(base);
}

std::string Joined(const std::vector<std::string>& Texts) {
  std::string r;
  for (const std::string& t : Texts) r += "\"" + t + "\" ";
  return r;
}

// The file dialog of the toolkit's widgets shows the program's texts (a language switch reaches
// the next dialog) and whole column titles in its detail view.
TEST(Dialogs, FileDialogShowsTheProgramsTexts) {
  auto has = [](const TFileDialogLook& L, const std::string& T) {
    return std::find(L.Texts.begin(), L.Texts.end(), T) != L.Texts.end();
  };
  TFileDialogLook english = FileDialogLook(false);
  for (const char* t : {"Look in:", "File &name:", "Files of type:", "&Open", "Cancel", "Detail View",
                        "Show &hidden files", "Name", "Date Modified"})
    EXPECT_TRUE(has(english, t)) << t << " among " << Joined(english.Texts);
  EXPECT_TRUE(english.ColumnsWhole);
  struct Text {
    std::string* Var;
    std::string German;
  };
  std::vector<Text> texts = {{&SFileDialogLookIn, "Suchen in:"},
                             {&SFileDialogFileName, "Datei&name:"},
                             {&SFileDialogOpen, "Ö&ffnen"},
                             {&SFileDialogSave, "&Speichern"},
                             {&SFileDialogCancel, "Abbrechen"},
                             {&SFileDialogDetailView, "Detailansicht"},
                             {&SFileDialogShowHidden, "Versteckte Dateien an&zeigen"},
                             {&SFileDialogName, "Dateiname"},
                             {&SFileDialogDateModified, "Letzte Änderung"},
                             {&SFileDialogShowColumn, "Zeige "}};
  std::vector<std::string> saved;
  for (Text& t : texts) {
    saved.push_back(*t.Var);
    *t.Var = t.German;
  }
  TFileDialogLook open = FileDialogLook(false), save = FileDialogLook(true);
  for (const Text& t : texts) {
    if (t.Var == &SFileDialogSave || t.Var == &SFileDialogShowColumn) continue;
    EXPECT_TRUE(has(open, t.German)) << t.German << " among " << Joined(open.Texts);
  }
  EXPECT_TRUE(has(save, "&Speichern"));
  EXPECT_TRUE(has(open, "Zeige Size"));  // the detail view's header menu
  for (const char* t : {"Look in:", "&Open", "Open", "Cancel", "Detail View", "Name", "Date Modified", "Show Size"})
    EXPECT_FALSE(has(open, t)) << t;
  EXPECT_TRUE(open.ColumnsWhole);
  for (size_t i = 0; i < texts.size(); ++i) *texts[i].Var = saved[i];
  EXPECT_TRUE(has(FileDialogLook(false), "Look in:"));
}

TEST(Dialogs, MessageDlgMapsTypesAndButtons) {
  struct Case {
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
    const char* Expect;
  } cases[] = {
      {mtConfirmation, {mbYes, mbNo}, "Confirmation: Exit? 36"},
      {mtWarning, {mbYes, mbNo, mbCancel}, "Warning: Exit? 51"},
      {mtError, {mbOK}, "Error: Exit? 16"},
      {mtInformation, {mbOK, mbCancel}, "Information: Exit? 65"},
      {mtError, {mbAbort, mbRetry, mbIgnore}, "Error: Exit? 18"},
  };
  for (const Case& c : cases) {
    BoxScope box(IDNO);
    EXPECT_EQ(MessageDlg("Exit?", c.Type, c.Buttons), mrNo);
    ASSERT_EQ(box.Log.size(), 1u);
    EXPECT_EQ(box.Log[0], c.Expect);
  }
}

TEST(Dialogs, InputQueryThroughTheHook) {
  SetInputQueryHook([](const std::string& Caption, const std::string& Prompt, std::string& Value) {
    EXPECT_EQ(Caption, "Rotate");
    EXPECT_EQ(Prompt, "Angle");
    if (Value == "cancel") {
      Value = "changed";
      return false;
    }
    Value = "45";
    return true;
  });
  std::string v = "0";
  EXPECT_TRUE(InputQuery("Rotate", "Angle", v));
  EXPECT_EQ(v, "45");
  v = "cancel";
  EXPECT_FALSE(InputQuery("Rotate", "Angle", v));
  EXPECT_EQ(v, "cancel");
  EXPECT_EQ(InputBox("Rotate", "Angle", "0"), "45");
  SetInputQueryHook(nullptr);
}

}  // namespace
