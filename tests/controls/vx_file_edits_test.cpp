// File-name and folder edits: names read from and written to the text, the dialogs run through
// the dialog hook, dropped files.
#include "controls/vx_file_edits.h"

#include "controls/file_utils.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/streaming.h"
#include "platform/strings.h"

namespace fs = std::filesystem;

namespace {

struct TempDir {
  fs::path Root;
  TempDir() {
    Root = fs::temp_directory_path() / ("vx_file_edits_" + std::to_string(::getpid()));
    fs::create_directories(Root / "My Files");
    for (const char* n : {"My Files/a.mt", "My Files/b.mt", "My Files/c.mt", "plain.mt"}) {
      std::FILE* f = std::fopen((Root / n).c_str(), "w");
      std::fclose(f);
    }
  }
  ~TempDir() { fs::remove_all(Root); }
  std::string Path(const char* Name) const { return (Root / Name).string(); }
};

struct HookGuard {
  explicit HookGuard(TDialogHook H) { SetDialogHook(std::move(H)); }
  ~HookGuard() { SetDialogHook(nullptr); }
};

struct Fixture {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  template <class T>
  T* Make() {
    T* e = new T(Form.get());
    e->SetParent(Form.get());
    e->SetBounds(10, 10, 200, 21);
    return e;
  }
  static void ClickButton(TCustomComboEdit* E) {
    SendInput(E->Button(), ikMouseDown, {ssLeft}, 5, 5, mbLeft);
    SendInput(E->Button(), ikMouseUp, {}, 5, 5, mbLeft);
  }
};

TEST(VxFilenameEdit, DefaultsOfANewEdit) {
  TFilenameEdit e(nullptr);
  EXPECT_EQ(e.GlyphKind(), gkDefault);
  EXPECT_EQ(e.ButtonWidth(), 22);  // widened to the browse glyph
  EXPECT_FALSE(e.IsButtonWidthStored());
  EXPECT_EQ(e.DialogTitle(), "Список");
  EXPECT_EQ(e.Filter(), "Все файлы (*.*)|*.*");
  EXPECT_EQ(e.DialogOptions(), TOpenOptions({ofHideReadOnly}));
  EXPECT_EQ(e.FilterIndex(), 1);
  EXPECT_FALSE(e.AcceptFiles());
  // Defaults are not streamed; a changed title and filter are.
  std::string out = ComponentToText(&e);
  for (const char* key : {"ButtonWidth", "DialogTitle", "Filter", "GlyphKind"})
    EXPECT_EQ(out.find(key), std::string::npos) << key << "\n" << out;
  e.SetDialogTitle("Files");
  e.SetFilter("MT|*.mt");
  out = ComponentToText(&e);
  EXPECT_NE(out.find("DialogTitle"), std::string::npos) << out;
  EXPECT_NE(out.find("Filter"), std::string::npos) << out;
}

TEST(VxFilenameEdit, FileNameReadsAndWritesTheText) {
  TempDir dir;
  TFilenameEdit e(nullptr);
  const std::string existing = dir.Path("My Files/a.mt");
  struct Case {
    std::string Text, Expected;
  };
  const Case reads[] = {
      {existing, existing},                                                       // an existing file with a blank
      {"\"" + existing + "\" \"" + dir.Path("My Files/b.mt") + "\" ", existing},  // a quoted list
      {"/no/such dir/new.mt", "/no/such dir/new.mt"},                             // one unquoted name stays whole
      {"", ""},
  };
  for (const Case& c : reads) {
    e.SetText(c.Text);
    EXPECT_EQ(e.FileName(), c.Expected) << c.Text;
  }
  e.SetFileName("/no/such dir/new.mt");
  EXPECT_EQ(e.Text(), "\"/no/such dir/new.mt\"");
  EXPECT_EQ(e.FileName(), "/no/such dir/new.mt");
  e.SetFileName(existing);
  EXPECT_EQ(e.Text(), "\"" + existing + "\"");
  e.SetFileName("");
  EXPECT_EQ(e.Text(), "");

  for (const char* bad : {"a|b.mt", "a<b", "x[1].mt"}) {
    e.SetText("kept");
    try {
      e.SetFileName(bad);
      ADD_FAILURE() << bad;
    } catch (const EComboEditError& ex) {
      EXPECT_EQ(std::string(ex.what()), std::string("Invalid file name - ") + bad);
    }
    EXPECT_EQ(e.Text(), "kept");
  }
}

TEST(VxFilenameEdit, MultiSelectDialogQuotesEveryNameAndSetsTheFolder) {
  TempDir dir;
  Fixture f;
  auto* e = f.Make<TFilenameEdit>();
  e->SetDialogOptions({ofHideReadOnly, ofAllowMultiSelect});
  const std::vector<std::string> chosen = {dir.Path("My Files/a.mt"), dir.Path("My Files/b.mt"),
                                           dir.Path("My Files/c.mt")};
  std::string startName, startDir;
  HookGuard hook([&](TCommonDialog* D) {
    auto* od = dynamic_cast<TOpenDialog*>(D);
    if (!od) return false;
    startName = od->FileName();
    startDir = od->InitialDir();
    od->Files()->Clear();
    for (const auto& n : chosen) od->Files()->Add(n);
    od->SetFileName(chosen[0]);
    return true;
  });
  e->SetText(dir.Path("plain.mt"));
  Fixture::ClickButton(e);
  EXPECT_EQ(startName, dir.Path("plain.mt"));
  EXPECT_EQ(startDir, dir.Root.string());
  EXPECT_EQ(e->Text(), "\"" + chosen[0] + "\" \"" + chosen[1] + "\" \"" + chosen[2] + "\" ");
  ASSERT_EQ(e->GetSelectedFiles()->Count(), 3);
  EXPECT_EQ(e->GetSelectedFiles()->Strings(2), chosen[2]);
  EXPECT_EQ(e->InitialDir(), dir.Path("My Files"));
  EXPECT_EQ(e->FileName(), chosen[0]);
  e->SetDialogOptions({ofHideReadOnly});  // multi-select off empties the list
  EXPECT_EQ(e->GetSelectedFiles()->Count(), 0);
}

TEST(VxFilenameEdit, BeforeAndAfterEventsCanChangeOrStopTheDialog) {
  Fixture f;
  auto* e = f.Make<TFilenameEdit>();
  int runs = 0;
  HookGuard hook([&](TCommonDialog* D) {
    ++runs;
    static_cast<TOpenDialog*>(D)->SetFileName("/tmp/picked one.mt");
    return true;
  });
  e->SetText("old");
  e->OnBeforeDialog = [](TObject*, std::string&, bool& Action) { Action = false; };
  Fixture::ClickButton(e);
  EXPECT_EQ(runs, 0);
  EXPECT_EQ(e->Text(), "old");
  e->OnBeforeDialog = nullptr;
  std::string seen;
  e->OnAfterDialog = [&](TObject*, std::string& Name, bool&) { seen = Name; };
  Fixture::ClickButton(e);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(seen, "/tmp/picked one.mt");
  EXPECT_EQ(e->Text(), "\"/tmp/picked one.mt\"");
  e->OnAfterDialog = [](TObject*, std::string&, bool& Action) { Action = false; };
  e->SetText("kept");
  Fixture::ClickButton(e);
  EXPECT_EQ(e->Text(), "kept");
}

TEST(VxFilenameEdit, ButtonAndClickKeyWithoutDirectInputButNotReadOnly) {
  Fixture f;
  auto* e = f.Make<TFilenameEdit>();
  int runs = 0;
  HookGuard hook([&](TCommonDialog*) {
    ++runs;
    return false;
  });
  e->SetDirectInput(false);
  Fixture::ClickButton(e);
  SendInput(e, ikKeyDown, {ssAlt}, 0, 0, VK_DOWN);
  EXPECT_EQ(runs, 2);
  e->SetReadOnly(true);
  Fixture::ClickButton(e);
  SendInput(e, ikKeyDown, {ssAlt}, 0, 0, VK_DOWN);
  EXPECT_EQ(runs, 2);
}

TEST(VxFilenameEdit, DialogKindKeepsTheSettings) {
  TFilenameEdit e(nullptr);
  e.SetFilter("MT (*.mt)|*.mt");
  e.SetInitialDir("/data");
  e.SetDialogTitle("Files");
  e.SetDialogKind(dkSave);
  EXPECT_NE(dynamic_cast<TSaveDialog*>(e.Dialog()), nullptr);
  EXPECT_EQ(e.Filter(), "MT (*.mt)|*.mt");
  EXPECT_EQ(e.InitialDir(), "/data");
  EXPECT_EQ(e.DialogTitle(), "Files");
}

TEST(VxFileDirEdits, DroppedFiles) {
  TempDir dir;
  TFilenameEdit single(nullptr);
  int drops = 0;
  single.OnDropFiles = [&](TObject*) { ++drops; };
  const std::vector<std::string> three = {dir.Path("My Files/a.mt"), dir.Path("My Files/b.mt"),
                                          dir.Path("My Files/c.mt")};
  EXPECT_FALSE(single.DropFiles(three));  // AcceptFiles is off
  single.SetAcceptFiles(true);
  EXPECT_TRUE(single.DropFiles(three));
  EXPECT_EQ(single.FileName(), three[0]);
  EXPECT_EQ(drops, 1);

  TFilenameEdit multi(nullptr);
  multi.SetAcceptFiles(true);
  multi.SetDialogOptions({ofAllowMultiSelect});
  multi.DropFiles(three);
  EXPECT_EQ(multi.FileName(), three[0]);
  EXPECT_EQ(multi.GetSelectedFiles()->Count(), 3);

  TDirectoryEdit folders(nullptr);
  folders.SetAcceptFiles(true);
  folders.SetMultipleDirs(true);
  folders.DropFiles({three[0], dir.Path("elsewhere")});
  EXPECT_EQ(folders.Text(), dir.Path("My Files") + ";" + dir.Path("elsewhere"));
}

TEST(VxDirectoryEdit, DialogResultReplacesOrAppends) {
  TempDir dir;
  Fixture f;
  auto* e = f.Make<TDirectoryEdit>();
  std::string offered;
  HookGuard hook([&](TCommonDialog* D) {
    auto* sd = dynamic_cast<TSelectDirectoryDialog*>(D);
    if (!sd) return false;
    offered = sd->Directory;
    sd->Directory = dir.Path("My Files");
    return true;
  });
  e->SetText("C:\\A");
  Fixture::ClickButton(e);
  EXPECT_EQ(offered, "/");  // not a folder: the dialog starts at the root
  EXPECT_EQ(e->Text(), dir.Path("My Files"));
  EXPECT_EQ(e->InitialDir(), dir.Path("My Files"));

  e->SetMultipleDirs(true);
  e->SetText("C:\\A");
  Fixture::ClickButton(e);
  EXPECT_EQ(e->Text(), "C:\\A;" + dir.Path("My Files"));

  e->SetText("");
  e->SetInitialDir(dir.Root.string());
  Fixture::ClickButton(e);
  EXPECT_EQ(offered, dir.Root.string());  // an empty text starts at InitialDir
}

TEST(VxDirectoryEdit, ShellBrowserKindGetsTheDialogTextAndTheStartFolder) {
  TempDir dir;
  Fixture f;
  auto* e = f.Make<TDirectoryEdit>();
  e->SetDialogKind(dkWin32);
  e->SetDialogText("Output folder");
  std::string text, start;
  bool answer = true;
  SetBrowseFolderHook([&](TBrowseFolderDlg* D, std::string& Path, std::string&) {
    text = D->DialogText();
    start = D->FolderName();
    Path = dir.Path("My Files");
    return answer;
  });
  e->SetText(dir.Root.string());
  Fixture::ClickButton(e);
  EXPECT_EQ(text, "Output folder");
  EXPECT_EQ(start, dir.Root.string());
  EXPECT_EQ(e->Text(), dir.Path("My Files"));
  answer = false;  // cancelled: the text stays
  e->SetText("kept");
  Fixture::ClickButton(e);
  EXPECT_EQ(e->Text(), "kept");
  SetBrowseFolderHook(nullptr);
}

TEST(VxDirectoryEdit, LongNamesOfEveryFolderInTheList) {
  TempDir dir;
  TDirectoryEdit e(nullptr);
  e.SetMultipleDirs(true);
  e.SetText(dir.Path("My Files") + ";;" + dir.Root.string());
  std::string name;
  e.FoundLongName(name);
  EXPECT_EQ(name, dir.Path("My Files") + ";" + dir.Root.string());
}

}  // namespace
