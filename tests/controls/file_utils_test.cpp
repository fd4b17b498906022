#include "controls/file_utils.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/forms.h"
#include "platform/strings.h"
#include "platform/typinfo.h"

namespace fs = std::filesystem;

// A control that records what is set through its progress properties.
class TTestProgress : public TControl {
  VM_CLASS(TTestProgress, TControl)
public:
  explicit TTestProgress(TComponent* AOwner) : TControl(AOwner) {}
  int32_t Max() const { return FMax; }
  void SetMax(int32_t V) { FMax = V, Log.push_back("max " + std::to_string(V)); }
  int32_t Min() const { return FMin; }
  void SetMin(int32_t V) { FMin = V, Log.push_back("min " + std::to_string(V)); }
  int32_t Position() const { return FPosition; }
  void SetPosition(int32_t V) { FPosition = V, Log.push_back(std::to_string(V)); }
  double Done() const { return FDone; }
  void SetDone(double V) { FDone = V; }
  std::vector<std::string> Log;

private:
  int32_t FMax = 100, FMin = 0, FPosition = 0;
  double FDone = 0;
};

VM_PUBLISH(TTestProgress) {
  P.Int("Max", &TTestProgress::Max, &TTestProgress::SetMax);
  P.Int("Min", &TTestProgress::Min, &TTestProgress::SetMin);
  P.Int("Position", &TTestProgress::Position, &TTestProgress::SetPosition);
  P.Float("Done", &TTestProgress::Done, &TTestProgress::SetDone);
}

class TTestProgressChild : public TTestProgress {
  VM_CLASS(TTestProgressChild, TTestProgress)
public:
  using TTestProgress::TTestProgress;
};
VM_DEFINE_CLASS(TTestProgressChild)

namespace {

// A fresh folder per test, removed afterwards.
class FileUtils : public ::testing::Test {
protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vm_fileutils_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    Dir = std::string(tmpl) + "/";
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(Dir, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(Dir, ec);
    SetMessageBoxHook(nullptr);
  }
  std::string Write(const std::string& Name, const std::string& Content) {
    std::string path = Dir + Name;
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << Content;
    return path;
  }
  static std::string Read(const std::string& Path) {
    std::ifstream f(Path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  // Names in a folder, sorted.
  static std::vector<std::string> Names(const std::string& Folder) {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(Folder)) v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
  }
  std::vector<std::string> Rel(const TStrings* L) const {
    std::vector<std::string> v;
    for (int i = 0; i < L->Count(); ++i) {
      std::string s = L->Strings(i);
      v.push_back(s.rfind(Dir, 0) == 0 ? s.substr(Dir.size()) : s);
    }
    return v;
  }
  std::string Dir;
};

std::string Pattern(size_t N) {
  std::string s(N, '\0');
  for (size_t i = 0; i < N; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return s;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Path routines

TEST_F(FileUtils, PathRoutines) {
  struct Case {
    std::string in, with, without;
  } cases[] = {
      {"", "", ""},         {"a", "a/", "a"},
      {"a/", "a/", "a"},    {"/", "/", "/"},  // the root keeps its separator
      {"a//", "a//", "a/"}, {"/usr/lib", "/usr/lib/", "/usr/lib"},
      {"C", "C/", "C"},  // no drive letters here
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WithTrailingSeparator(c.in), c.with) << c.in;
    EXPECT_EQ(WithoutTrailingSeparator(c.in), c.without) << c.in;
  }

  for (const char* bad : {"", "a<b", "a>b", "say \"x\"", "[1]", "x]", "a|b"}) EXPECT_FALSE(IsValidFileName(bad)) << bad;
  for (const char* good : {"a", "site 01.mt", "(x){y}"}) EXPECT_TRUE(IsValidFileName(good)) << good;
  EXPECT_TRUE(ContainsAnyChar("abc", CharSetOf("xc")));
  EXPECT_FALSE(ContainsAnyChar("abc", CharSetOf("")));

  const std::string file = Write("sub/file.dat", "12345");
  const std::string hidden = Write(".hidden", "");
  EXPECT_TRUE(FolderExists(Dir + "sub"));
  EXPECT_TRUE(FolderExists(Dir + "sub/"));
  EXPECT_FALSE(FolderExists(file));
  EXPECT_FALSE(FolderExists(""));
  EXPECT_EQ(FileSizeOf(file), 5);
  EXPECT_EQ(FileSizeOf(Dir + "sub"), -1);
  EXPECT_EQ(FileSizeOf(Dir + "missing"), -1);

  EXPECT_TRUE(HasAttributes(file, 0));
  EXPECT_FALSE(HasAttributes(Dir + "missing", 0));
  EXPECT_TRUE(HasAttributes(Dir + "sub", faDirectory));
  EXPECT_FALSE(HasAttributes(file, faDirectory));
  EXPECT_TRUE(HasAttributes(hidden, faHidden));
  EXPECT_FALSE(HasAttributes(file, faReadOnly));
  fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_TRUE(HasAttributes(file, faReadOnly));
  EXPECT_FALSE(HasAttributes(file, faReadOnly | faDirectory));  // every bit is needed

  EXPECT_EQ(LongNameOf(file), "file.dat");
  EXPECT_EQ(ShortNameOf(file), "file.dat");
  EXPECT_EQ(LongNameOf(Dir + "nothing"), "");
  EXPECT_EQ(LongPathOf(file), file);
  EXPECT_EQ(ShortPathOf("relative"), "relative");
  // A missing element comes back empty, the rest of the path as found.
  EXPECT_EQ(LongPathOf(Dir + "sub/none"), Dir + "sub/");
}

TEST_F(FileUtils, CreateFolderPathMakesEveryMissingLevel) {
  CreateFolderPath(Dir + "one/two/three/");
  EXPECT_TRUE(FolderExists(Dir + "one/two/three"));
  CreateFolderPath(Dir + "one/two/three");  // existing: nothing to do
  CreateFolderPath("");
  // Under a file nothing can be made, and nothing is reported.
  const std::string file = Write("plain", "x");
  EXPECT_NO_THROW(CreateFolderPath(file + "/below"));
  EXPECT_FALSE(FolderExists(file + "/below"));
  // Relative paths count from the current folder.
  const std::string cwd = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(Dir));
  CreateFolderPath("rel/inner");
  SetCurrentDir(cwd);
  EXPECT_TRUE(FolderExists(Dir + "rel/inner"));
}

// ---------------------------------------------------------------------------------------------
// Progress controls and the block copy

TEST_F(FileUtils, ProgressRegistryMatchesClassesAndProperties) {
  TProgressList* reg = ProgressClassRegistry();
  ASSERT_NE(reg, nullptr);
  TTestProgress bar(nullptr);
  TTestProgressChild child(nullptr);
  TControl plain(nullptr);

  EXPECT_FALSE(ProgressControlSetMax(nullptr, 5));
  EXPECT_FALSE(ProgressControlSetMax(&bar, 5));  // not registered yet
  reg->Add(TTestProgress::StaticClass(), "Max", "Min", "Position");
  EXPECT_TRUE(ProgressControlSetMax(&bar, 5));
  EXPECT_EQ(bar.Max(), 5);
  EXPECT_TRUE(ProgressControlSetPosition(&child, 3));  // descendants match
  EXPECT_EQ(child.Position(), 3);
  EXPECT_FALSE(ProgressControlSetMin(&plain, 1));

  // The last matching entry wins; a property the class lacks gives False; a float is written.
  reg->Add(TTestProgressChild::StaticClass(), "Max", "NoSuchProperty", "Done");
  EXPECT_FALSE(ProgressControlSetMin(&child, 1));
  EXPECT_TRUE(ProgressControlSetPosition(&child, 7));
  EXPECT_EQ(child.Done(), 7.0);
  EXPECT_EQ(child.Position(), 3);
  EXPECT_TRUE(ProgressControlSetMin(&bar, 2));  // the parent class keeps its own entry
  EXPECT_EQ(bar.Min(), 2);

  // Names are kept to 63 characters.
  reg->Add(TControl::StaticClass(), std::string(80, 'x'), "", "");
  EXPECT_EQ(reg->Props(reg->Count() - 1).MaxPropName.size(), 63u);
  reg->Remove(TControl::StaticClass());
  reg->Remove(TTestProgressChild::StaticClass());
  reg->Remove(TTestProgress::StaticClass());
  EXPECT_EQ(reg->FindControl(&bar), -1);
}

TEST_F(FileUtils, CopyReportsProgressAndKeepsContentAndTime) {
  ProgressClassRegistry()->Add(TTestProgress::StaticClass(), "Max", "Min", "Position");
  struct Case {
    size_t size;
    std::vector<std::string> positions;  // after max, min and the first 0
  } cases[] = {
      {0, {"0", "0"}},
      {100, {"100", "0"}},
      {8192, {"8192", "8192", "0"}},  // the second read returns 0 bytes
      {8193, {"8192", "8193", "0"}},
      {20000, {"8192", "16384", "20000", "0"}},
  };
  for (const Case& c : cases) {
    const std::string content = Pattern(c.size);
    const std::string src = Write("src.bin", content);
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(30);
    fs::last_write_time(src, old);
    TTestProgress bar(nullptr);
    CopyFileWithProgress(src, Dir + "out/copy.bin", &bar);
    EXPECT_EQ(Read(Dir + "out/copy.bin"), content) << c.size;
    EXPECT_EQ(fs::last_write_time(Dir + "out/copy.bin"), old) << c.size;
    std::vector<std::string> want = {"max " + std::to_string(c.size), "min 0", "0"};
    want.insert(want.end(), c.positions.begin(), c.positions.end());
    EXPECT_EQ(bar.Log, want) << c.size;
  }
  ProgressClassRegistry()->Remove(TTestProgress::StaticClass());
  // Without a progress control the copy runs the same.
  const std::string src = Write("plain.txt", "text");
  CopyFileWithProgress(src, Dir + "plain2.txt", nullptr);
  EXPECT_EQ(Read(Dir + "plain2.txt"), "text");
}

TEST_F(FileUtils, CopyOntoAFolderOrAnExistingFile) {
  const std::string src = Write("a/site.mt", "new content");
  fs::create_directories(Dir + "target");
  CopyFileWithProgress(src, Dir + "target", nullptr);
  EXPECT_EQ(Read(Dir + "target/site.mt"), "new content");
  CopyFileWithProgress(src, Dir + "target/", nullptr);
  EXPECT_EQ(Read(Dir + "target/site.mt"), "new content");

  // An existing file is replaced; a longer one leaves nothing of its tail.
  Write("target/site.mt", std::string(5000, 'o'));
  CopyFileWithProgress(src, Dir + "target/site.mt", nullptr);
  EXPECT_EQ(Read(Dir + "target/site.mt"), "new content");
  EXPECT_EQ(Names(Dir + "target"), std::vector<std::string>{"site.mt"});

  // A link is written through.
  const std::string real = Write("target/real.mt", "old");
  fs::create_symlink(real, Dir + "target/link.mt");
  CopyFileWithProgress(src, Dir + "target/link.mt", nullptr);
  EXPECT_TRUE(fs::is_symlink(Dir + "target/link.mt"));
  EXPECT_EQ(Read(real), "new content");

  // A read-only target is refused unless asked to clear it; then it is replaced.
  const std::string ro = Write("target/ro.mt", "old");
  fs::permissions(ro, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  try {
    CopyFileGeneral(src, ro, false, nullptr, false);
    ADD_FAILURE() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file " + ro);
  }
  EXPECT_EQ(Read(ro), "old");
  CopyFileGeneral(src, ro, true, nullptr, false);
  EXPECT_EQ(Read(ro), "new content");
}

TEST_F(FileUtils, CopyErrorsLeaveNoPartialFile) {
  const std::string src = Write("src.dat", Pattern(30000));
  const std::string existing = Write("out/existing.dat", "precious");

  struct Case {
    const char* what;
    std::string source, dest, message;
    bool open, create;
  } cases[] = {
      {"missing source", Dir + "none.dat", Dir + "out/x.dat", "Cannot open file " + Dir + "none.dat", true, false},
      {"folder as source", Dir + "out", Dir + "out/x.dat", "Cannot open file " + Dir + "out", true, false},
      {"destination under a file", src, Dir + "src.dat/x.dat", "Cannot create file " + Dir + "src.dat/x.dat", false,
       true},
  };
  for (const Case& c : cases) {
    try {
      CopyFileWithProgress(c.source, c.dest, nullptr);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const EFOpenError& e) {
      EXPECT_TRUE(c.open) << c.what;
      EXPECT_EQ(e.Message(), c.message) << c.what;
    } catch (const EFCreateError& e) {
      EXPECT_TRUE(c.create) << c.what;
      EXPECT_EQ(e.Message(), c.message) << c.what;
    }
  }

  // A source that fails while being read: the earlier target stays as it was, nothing else is left.
  if (fs::exists("/proc/self/mem")) {
    try {
      CopyFileWithProgress("/proc/self/mem", existing, nullptr);
      ADD_FAILURE() << "no read error";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), "Stream read error");
    }
    EXPECT_EQ(Read(existing), "precious");
  }
  EXPECT_EQ(Names(Dir + "out"), std::vector<std::string>{"existing.dat"});

  // A device that refuses writes is written in place, and the failure is a write error.
  if (fs::exists("/dev/full")) {
    try {
      CopyFileWithProgress(src, "/dev/full", nullptr);
      ADD_FAILURE() << "no write error";
    } catch (const EWriteError& e) {
      EXPECT_EQ(e.Message(), "Stream write error");
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
  }
}

// ---------------------------------------------------------------------------------------------
// The file scanner

namespace {

// root: s01.mta s02.mtb s0x.amt S03.MTC note.txt a.mtz/ (a folder)
//       sub/ s04.mtd s05.xmt   sub/deep/ s06.mte
void MakeScanTree(const std::string& Root) {
  for (const char* f :
       {"s01.mta", "s02.mtb", "s0x.amt", "S03.MTC", "note.txt", "sub/s04.mtd", "sub/s05.xmt", "sub/deep/s06.mte"}) {
    fs::path p = fs::path(Root) / f;
    fs::create_directories(p.parent_path());
    std::ofstream(p) << f;
  }
  fs::create_directories(fs::path(Root) / "s0a.mtz");
}

}  // namespace

TEST_F(FileUtils, ScannerListsMaskByMaskThenSubFolders) {
  MakeScanTree(Dir);
  TmFileScan scan(nullptr);
  EXPECT_TRUE(scan.SubDirectories());
  scan.SetFilePath(Dir);
  scan.SearchFilter()->Add("s0?.mt?");
  scan.SearchFilter()->Add("some/where/s0?.?mt");  // only the name part counts
  std::vector<std::string> fired;
  scan.OnFileFound = [&](const std::string& Name) { fired.push_back(Name); };

  scan.SetSubDirectories(false);
  scan.StartScan();
  // Letter case is ignored; folders that match are listed too.
  const std::vector<std::string> flat = {"S03.MTC", "s01.mta", "s02.mtb", "s0a.mtz", "s0x.amt"};
  EXPECT_EQ(Rel(scan.FoundFiles()), flat);
  EXPECT_EQ(fired.size(), flat.size());
  EXPECT_EQ(fired.front(), Dir + "S03.MTC");  // full names

  // With sub-folders: each folder before its sub-folders, depth first, mask by mask.
  fired.clear();
  scan.SetSubDirectories(true);
  scan.StartScan();
  const std::vector<std::string> deep = {"S03.MTC",     "s01.mta",          "s02.mtb", "s0a.mtz",
                                         "sub/s04.mtd", "sub/deep/s06.mte", "s0x.amt", "sub/s05.xmt"};
  EXPECT_EQ(Rel(scan.FoundFiles()), deep);
  EXPECT_EQ(static_cast<int>(fired.size()), scan.FoundFiles()->Count());

  // Every scan replaces the list; a missing folder gives nothing.
  scan.SetFilePath(Dir + "missing/");
  scan.StartScan();
  EXPECT_EQ(scan.FoundFiles()->Count(), 0);
  scan.SetFilePath(Dir + "sub/");
  scan.SearchFilter()->Clear();
  scan.SearchFilter()->Add("*");
  scan.StartScan();
  EXPECT_EQ(Rel(scan.FoundFiles()),
            (std::vector<std::string>{"sub/deep", "sub/s04.mtd", "sub/s05.xmt", "sub/deep/s06.mte"}));
}

TEST_F(FileUtils, ScannerStopsFailsAndGuardsItsState) {
  MakeScanTree(Dir);
  TmFileScan scan(nullptr);
  scan.SetFilePath(Dir);
  scan.SearchFilter()->Add("*.mt?");
  scan.SearchFilter()->Add("*.txt");

  // A stop asked for from a handler ends the scan after the entry at hand.
  int seen = 0;
  scan.OnFileFound = [&](const std::string&) {
    if (++seen == 2) scan.SetStopRequested(true);
  };
  scan.StartScan();
  EXPECT_EQ(scan.FoundFiles()->Count(), 2);
  EXPECT_TRUE(scan.StopRequested());
  // The next scan starts afresh.
  seen = 100;
  scan.StartScan();
  EXPECT_FALSE(scan.StopRequested());
  EXPECT_EQ(scan.FoundFiles()->Count(), 7);

  // A handler's failure passes on and leaves no results.
  scan.OnFileFound = [&](const std::string& Name) {
    if (Name.find("s04") != std::string::npos) throw EInOutError("disk gone");
  };
  EXPECT_THROW(scan.StartScan(), EInOutError);
  EXPECT_EQ(scan.FoundFiles()->Count(), 0);
  EXPECT_FALSE(scan.Scanning());

  // Starting again from inside a scan is refused; the running scan goes on.
  bool refused = false;
  scan.OnFileFound = [&](const std::string&) {
    try {
      scan.StartScan();
    } catch (const EInvalidOperation&) {
      refused = true;
    }
  };
  scan.StartScan();
  EXPECT_TRUE(refused);
  EXPECT_EQ(scan.FoundFiles()->Count(), 7);
}

TEST_F(FileUtils, ScannerDoesNotLoopThroughLinks) {
  MakeScanTree(Dir);
  fs::create_directory_symlink(Dir, Dir + "sub/deep/back");
  TmFileScan scan(nullptr);
  scan.SetFilePath(Dir);
  scan.SearchFilter()->Add("s06.*");
  scan.StartScan();
  EXPECT_EQ(Rel(scan.FoundFiles()), std::vector<std::string>{"sub/deep/s06.mte"});
}

TEST_F(FileUtils, ScannerPublishesItsSettings) {
  TmFileScan scan(nullptr);
  TStringList masks;
  masks.Add("*.mt");
  masks.Add("*.edi");
  scan.SetSearchFilter(&masks);
  masks.Clear();
  EXPECT_EQ(scan.SearchFilter()->Count(), 2);  // a copy of the lines
  SetPropText(&scan, GetPropInfo(&scan, "FilePath"), "/data/");
  EXPECT_EQ(scan.FilePath(), "/data/");
  const TPropInfo* sub = GetPropInfo(&scan, "SubDirectories");
  ASSERT_NE(sub, nullptr);
  EXPECT_TRUE(IsDefaultPropValue(&scan, sub));
  EXPECT_NE(GetPropInfo(&scan, "SearchFilter"), nullptr);
  EXPECT_NE(GetPropInfo(&scan, "OnFileFound"), nullptr);
}

// ---------------------------------------------------------------------------------------------
// File operations and the folder dialog

TEST_F(FileUtils, FileOperatorCopiesMovesRenamesDeletes) {
  Write("in/a.mt", "A");
  Write("in/b.mt", "B");
  Write("in/c.txt", "C");
  fs::create_directories(Dir + "in/d.mt");  // a folder matching the mask

  TVxFileOperator op(nullptr);
  EXPECT_EQ(op.Options(), (TFileOperFlags{flAllowUndo, flNoConfirmMkDir}));
  op.SetOptions(op.Options() + flFilesOnly);
  op.SetSource(Dir + "in/*.mt");
  op.SetDestination(Dir + "out");
  EXPECT_TRUE(op.Execute());
  EXPECT_EQ(Names(Dir + "out"), (std::vector<std::string>{"a.mt", "b.mt"}));

  // Two sources, one a folder: both land in the destination folder.
  op.SetOptions({flNoConfirmation});
  op.SetSource(Dir + "in/c.txt;" + Dir + "in/d.mt");
  EXPECT_TRUE(op.Execute());
  EXPECT_EQ(Names(Dir + "out"), (std::vector<std::string>{"a.mt", "b.mt", "c.txt", "d.mt"}));

  op.SetOperation(foRename);
  op.SetSource(Dir + "out/a.mt");
  op.SetDestination("renamed.mt");  // a bare name stays in the folder
  EXPECT_TRUE(op.Execute());
  EXPECT_EQ(Read(Dir + "out/renamed.mt"), "A");

  op.SetOperation(foMove);
  op.SetSource(Dir + "out/b.mt|" + Dir + "out/renamed.mt");
  op.SetDestination(Dir + "moved");
  EXPECT_TRUE(op.Execute());
  EXPECT_EQ(Names(Dir + "moved"), (std::vector<std::string>{"b.mt", "renamed.mt"}));
  EXPECT_FALSE(fs::exists(Dir + "out/b.mt"));

  op.SetOperation(foDelete);
  op.SetSource(Dir + "moved/b.mt");
  EXPECT_TRUE(op.Execute());
  EXPECT_FALSE(fs::exists(Dir + "moved/b.mt"));

  // An undoable delete goes to the user's trash, with a note of where it came from.
  const std::string dataHome = Dir + "data";
  setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
  op.SetOptions({flNoConfirmation, flAllowUndo});
  op.SetSource(Dir + "moved/renamed.mt");
  EXPECT_TRUE(op.Execute());
  unsetenv("XDG_DATA_HOME");
  EXPECT_FALSE(fs::exists(Dir + "moved/renamed.mt"));
  EXPECT_EQ(Read(dataHome + "/Trash/files/renamed.mt"), "A");
  const std::string info = Read(dataHome + "/Trash/info/renamed.mt.trashinfo");
  EXPECT_NE(info.find("[Trash Info]\nPath=" + Dir + "moved/renamed.mt\nDeletionDate="), std::string::npos);
}

TEST_F(FileUtils, FileOperatorAsksReportsAndAborts) {
  const std::string a = Write("a.mt", "new");
  const std::string old = Write("out/a.mt", "old");
  std::vector<std::string> asked;
  int answer = IDNO;
  SetMessageBoxHook([&](const std::string& Text, const std::string&, int) {
    asked.push_back(Text);
    return answer;
  });

  TVxFileOperator op(nullptr);
  op.SetSource(a);
  op.SetDestination(Dir + "out");
  // No: the existing file is kept, and that is no failure.
  EXPECT_TRUE(op.Execute());
  EXPECT_FALSE(op.Aborted());
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_NE(asked[0].find("already exists"), std::string::npos);
  EXPECT_EQ(Read(old), "old");
  // Cancel aborts.
  answer = IDCANCEL;
  EXPECT_FALSE(op.Execute());
  EXPECT_TRUE(op.Aborted());
  // Yes replaces.
  answer = IDYES;
  EXPECT_TRUE(op.Execute());
  EXPECT_EQ(Read(old), "new");
  // Renaming on collision asks nothing.
  asked.clear();
  op.SetOptions(op.Options() + flRenameOnCollision);
  EXPECT_TRUE(op.Execute());
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(Read(Dir + "out/a (2).mt"), "new");

  // Failures show a box unless told not to, and return False.
  op.SetSource(Dir + "none.mt");
  EXPECT_FALSE(op.Execute());
  EXPECT_FALSE(op.Aborted());
  ASSERT_FALSE(asked.empty());
  EXPECT_NE(asked.back().find("none.mt"), std::string::npos);
  asked.clear();
  op.SetOptions(op.Options() + flNoErrorUI);
  EXPECT_FALSE(op.Execute());
  EXPECT_TRUE(asked.empty());

  // The shell copy raises a silent abort when the operation fails or is cancelled.
  EXPECT_THROW(ShellCopyOrMove(Dir + "none.mt", Dir + "out", false, false, false), EAbort);
  answer = IDCANCEL;
  EXPECT_THROW(ShellCopyOrMove(a, Dir + "out", true, false, false), EAbort);
  EXPECT_NO_THROW(ShellCopyOrMove(a, Dir + "out/b.mt", false, false, false));
  EXPECT_EQ(Read(Dir + "out/b.mt"), "new");
  // A move inside one folder renames.
  EXPECT_NO_THROW(ShellCopyOrMove(Dir + "out/b.mt", Dir + "out/c.mt", false, true, false));
  EXPECT_FALSE(fs::exists(Dir + "out/b.mt"));
  EXPECT_EQ(Read(Dir + "out/c.mt"), "new");
  // The general copy hands over to it when asked.
  CopyFileGeneral(a, Dir + "out/d.mt", true, nullptr, true);
  EXPECT_EQ(Read(Dir + "out/d.mt"), "new");
}

TEST_F(FileUtils, FolderDialogGoesThroughTheBrowser) {
  TBrowseFolderDlg dlg(nullptr);
  EXPECT_EQ(dlg.Position(), dpScreenCenter);
  EXPECT_TRUE(dlg.DesktopRoot());
  EXPECT_FALSE(dlg.Execute());  // no browser on this machine: nothing chosen

  fs::create_directories(Dir + "chosen");
  TForm form(nullptr);
  form.Show();
  bool formEnabledMeanwhile = true, okForFile = true, okForFolder = false;
  int initialized = 0, changed = 0;
  dlg.OnInitialized = [&](TObject*) { ++initialized; };
  dlg.OnSelChanged = [&](TObject*) { ++changed; };
  SetBrowseFolderHook([&](TBrowseFolderDlg* D, std::string& Path, std::string& Display) {
    formEnabledMeanwhile = form.Enabled();
    D->BrowserInitialized();
    okForFile = D->BrowserSelChanged(Write("file.txt", ""), "file.txt");
    okForFolder = D->BrowserSelChanged(Dir + "chosen", "chosen");
    if (D->BrowseKind() == bfFolders) {
      EXPECT_FALSE(D->BrowserSelChanged("", "Network"));
      EXPECT_EQ(D->SelectedName(), "");
    }
    Path = Dir + "chosen/";
    Display = "chosen";
    return true;
  });
  dlg.SetFolderName(Dir + "chosen");
  EXPECT_EQ(dlg.InitialSelection(), Dir + "chosen");
  dlg.SetFolderName(Dir + "absent");
  EXPECT_EQ(dlg.InitialSelection(), "");
  EXPECT_TRUE(dlg.Execute());
  EXPECT_FALSE(formEnabledMeanwhile);
  EXPECT_TRUE(form.Enabled());
  EXPECT_FALSE(okForFile);
  EXPECT_TRUE(okForFolder);
  EXPECT_EQ(initialized, 1);
  EXPECT_EQ(changed, 3);
  EXPECT_EQ(dlg.FolderName(), Dir + "chosen");  // without the trailing separator
  EXPECT_EQ(dlg.SelectedName(), Dir + "chosen");
  EXPECT_EQ(dlg.DisplayName(), "chosen");

  dlg.SetBrowseKind(bfComputers);
  EXPECT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FolderName(), "chosen");

  std::string folder = "/start";
  EXPECT_TRUE(BrowseForFolder(folder, "Pick", 0));
  EXPECT_EQ(folder, Dir + "chosen");
  SetBrowseFolderHook([](TBrowseFolderDlg*, std::string&, std::string&) { return false; });
  folder = "/start";
  EXPECT_FALSE(BrowseForFolder(folder, "Pick", 0));
  EXPECT_EQ(folder, "/start");
  SetBrowseFolderHook(nullptr);
  form.Hide();
}
