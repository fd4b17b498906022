// The batch commands that work on MT files rather than on the open site: automatic editing of
// many files, deleting the last edit records, and the site list.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/auto_edit.h"
#include "app/log_views.h"
#include "app/main_form.h"
#include "mtdata/open_site.h"
#include "mtdata/package_file.h"
#include "mtdata/site_file.h"
#include "platform/comctrls.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/exceptions.h"
#include "platform/logdevice.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

namespace {

constexpr int BlockSize = 23040;

bool IsMtName(const std::string& Name) {
  const std::string e = LowerCase(ExtractFileExt(Name));
  return (e.size() >= 3 && e.substr(1, 2) == "mt") || (e.size() >= 4 && e.substr(2, 2) == "mt");
}

std::vector<std::string> ChosenFiles(TOpenDialog* D) {
  std::vector<std::string> files;
  for (int i = 0; i < D->Files()->Count(); ++i) files.push_back((*D->Files())[i]);
  return files;
}

// A file object of its own as the current site for the length of one file's work.
std::shared_ptr<TMTFile> OpenAlone(const std::string& Name) {
  auto f = std::make_shared<TMTFile>();
  CurrentSite = f;
  f->OpenMtFile(Name);
  if (f->PlotRecordCount < 1) throw EInOutError(Name + ": the file holds no stored result record");
  f->StartEdit = f->PlotRecordCount - 1;
  f->CurrentEditBlock = f->PlotBlocks[f->StartEdit + 1];
  f->LoadEdit();
  f->DisplayReference = static_cast<int16_t>(ReferenceToDisplayIndex(f->ReferenceType));
  return f;
}

void ReportFailures(const std::vector<std::string>& Failed) {
  if (Failed.empty()) return;
  std::string text = "Not done:";
  for (const std::string& f : Failed) {
    text += "\n" + f;
    LogWriteLn("Not done: " + f);
  }
  Application->MessageBox(text, "Varomark", MB_OK | MB_ICONWARNING);
}

// Names of Folder's files (no sub-folders) that match Pattern, '?' one character, letter case
// ignored, in name order.
std::vector<std::string> FilesMatching(const std::string& Folder, const std::string& Pattern) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(Folder, ec)) {
    if (!e.is_regular_file(ec)) continue;
    const std::string name = e.path().filename().string();
    if (name.size() != Pattern.size()) continue;
    bool match = true;
    for (size_t i = 0; i < name.size() && match; ++i)
      match = Pattern[i] == '?' || LowerCase(name.substr(i, 1)) == LowerCase(Pattern.substr(i, 1));
    if (match) found.push_back(e.path().string());
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace

std::vector<std::string> TMainForm1::CreatePackages(const std::vector<std::string>& Files, const std::string& Folder) {
  std::vector<std::string> failed;
  if (Files.empty()) return failed;
  ShowProgramLog();
  // One package per stem: the name without folder and extension, less its last character.
  std::vector<std::string> stems;
  for (const std::string& f : Files) {
    std::string stem = ChangeFileExt(ExtractFileName(f), "");
    if (!stem.empty()) stem.pop_back();
    bool known = false;
    for (const std::string& s : stems) known = known || CompareText(s, stem) == 0;
    if (!known) stems.push_back(stem);
  }
  const std::string source = ExtractFileDir(Files.back());
  const std::string out = IncludeTrailingPathDelimiter(Folder);
  for (const std::string& stem : stems) {
    const std::string package = out + stem + "a.mpk";
    std::vector<std::string> names = FilesMatching(source, stem + "?.mt?");
    for (const std::string& n : FilesMatching(source, stem + "?.?mt"))
      if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
    try {
      if (names.empty()) throw Exception("no MT file of this name");
      if (!OpenFileList(names)) throw Exception("the files do not share one reference");
      BackupPackage(package);
      SavePackage(package);
      LogWriteLn("Save as " + package);
    } catch (const Exception& e) {
      failed.push_back(package + ": " + e.Message());
    }
    FreeSite();
  }
  return failed;
}

void TMainForm1::Creatempkfiles1Click(TObject*) {
  if (!SiteFiles.empty()) return;
  OpenDialog1->SetTitle("Create mpk - Files");
  OpenDialog1->SetOptions(OpenDialog1->Options() + ofAllowMultiSelect);
  OpenDialog1->SetFilter("MT-Files (*.mt*;*.*mT)|*.mt*;*.*mT|Any files (*.*)|*.*");
  if (!OpenDialog1->Execute()) return;
  ShowProgramLog();
  const std::vector<std::string> files = ChosenFiles(OpenDialog1);
  if (files.empty()) return;
  std::string folder = GetCurrentDir();
  if (!SelectDirectory(folder, {sdAllowCreate, sdPerformCreate, sdPrompt}, 0)) return;
  ReportFailures(CreatePackages(files, folder));
  UpdateMenuItems(this);
}

std::vector<std::string> TMainForm1::BatchAutoEdit(const std::vector<std::string>& Files, bool Packages) {
  std::vector<std::string> failed;
  ShowProgramLog();
  ProgressBar1->SetMin(0);
  ProgressBar1->SetMax(static_cast<int>(Files.size()));
  ProgressBar1->SetPosition(0);
  ProgressBar1->SetVisible(true);
  int done = 0;
  for (const std::string& file : Files) {
    try {
      if (Packages) {
        std::vector<std::string> names{file};
        if (!OpenFileList(names)) throw Exception("the files do not share one reference");
        AutoEdit(0);
        SavePackage(file);
      } else {
        auto f = OpenAlone(file);
        f->CalcPartialPlots();
        AutoEdit(0);
        f->StartFromStoredEdit = false;
        f->SaveEdit(1);
      }
    } catch (const Exception& e) {
      failed.push_back(file + ": " + e.Message());
    }
    FreeSite();
    ProgressBar1->SetPosition(++done);
    Application->ProcessMessages();
  }
  ProgressBar1->SetVisible(false);
  return failed;
}

void TMainForm1::AutoEdit1Click(TObject*) {
  if (!SiteFiles.empty()) return;  // the batch would free the open site's objects
  ShowProgramLog();
  OpenDialog1->SetTitle("Auto Edit");
  OpenDialog1->SetOptions(OpenDialog1->Options() + ofAllowMultiSelect);
  OpenDialog1->SetFilter("MT-Files (*.mt*;*.*mT)|*.mt*;*.*mT|Mt- FilePackage (*.mpk)|*.mpk|Any files (*.*)|*.*");
  if (!OpenDialog1->Execute()) return;
  const std::vector<std::string> files = ChosenFiles(OpenDialog1);
  if (files.empty() || OpenDialog1->FilterIndex() > 2) return;
  ReportFailures(BatchAutoEdit(files, OpenDialog1->FilterIndex() == 2));
  UpdateMenuItems(this);
}

void TMainForm1::Deleteedits1Click(TObject*) {
  ShowProgramLog();
  OpenDialog1->SetTitle("Delete Edits");
  OpenDialog1->SetOptions(OpenDialog1->Options() + ofAllowMultiSelect);
  OpenDialog1->SetFilter("MT-Files (*.mt*;*.*mT)|*.mt*;*.*mT|Any files (*.*)|*.*");
  if (!OpenDialog1->Execute()) return;
  for (const std::string& file : ChosenFiles(OpenDialog1)) {
    // A file of the open site is not cut under it.
    for (const auto& f : SiteFiles)
      if (f->FileName == file) throw Exception(file + " belongs to the open site; close it first");
    LogWriteLn(file);
    std::ifstream in(file, std::ios::binary);
    if (!in) throw EFOpenError("Cannot open file \"" + file + "\"");
    const auto size = static_cast<int64_t>(std::filesystem::file_size(file));
    LogWriteLn("  \xE2\x84\x96  Record Name");
    int blocks = 0;
    for (int64_t n = 0; n * BlockSize < size; ++n) {
      char name[11] = {};
      in.seekg(n * BlockSize + 3);
      in.read(name, 10);
      char line[64];
      std::snprintf(line, sizeof line, "%3d  %s", static_cast<int>(n + 1), std::string(name, 10).c_str());
      LogWriteLn(line);
      ++blocks;
    }
    in.close();
    std::string text = std::to_string(blocks);
    if (!InputQuery("Input Box", "Last new record", text)) continue;
    const int keep = StrToInt(Trim(text));
    if (keep < 0 || keep >= blocks) continue;
    if (Application->MessageBox("Left only " + text + " reacord, are you sure?", "Varomark",
                                MB_YESNO | MB_ICONQUESTION) != IDYES)
      continue;
    std::filesystem::resize_file(file, static_cast<uintmax_t>(keep) * BlockSize);
  }
}

void TMainForm1::N11Click(TObject*) {
  if (!SiteFiles.empty()) return;
  OpenDialog1->SetTitle("Files for sitelist");
  OpenDialog1->SetOptions(OpenDialog1->Options() + ofAllowMultiSelect);
  OpenDialog1->SetFilter("MT-Files (*.mt*;*.*mT)|*.mt*;*.*mT|Any files (*.*)|*.*");
  if (!OpenDialog1->Execute()) return;
  ShowProgramLog();
  std::vector<std::string> files = ChosenFiles(OpenDialog1);
  if (files.empty()) return;
  std::sort(files.begin(), files.end());
  OpenDialog1->SetInitialDir(ExtractFileDir(OpenDialog1->FileName()));
  SaveDialog1->SetTitle("Site list file");
  SaveDialog1->SetFilter("Site listFiles (*.txt)|*.txt|Any files (*.*)|*.*");
  if (!SaveDialog1->Execute()) return;
  std::string text =
      "Survey       File         ssssmdda   StnNumbr  Latitude    Longitude    LatInDeg   LongInDeg    Altitude\r\n";
  std::vector<std::string> failed;
  for (const std::string& file : files) {
    if (!IsMtName(file)) continue;
    try {
      auto f = std::make_shared<TMTFile>();
      CurrentSite = f;
      f->OpenMtFile(file);
      const TTapeLabel& h = f->Header;
      uint16_t y = 0, m = 0, d = 0;
      DecodeDate(h.RecordingStart, y, m, d);
      const std::string bare = ExtractFileName(file);
      // The series letter follows the eight characters of the site's name ("12345678b.mt5": b).
      const std::string series = bare.size() > 8 ? bare.substr(8, 1) : "a";
      text += Format("%12.12s %12.12s %4.4s%1x%2.2d%1s %10.10s %10s  %10s%11.6f%11.6f %9.2f",
                     {h.Survey.Project, bare, h.Station.str(), static_cast<int>(m), static_cast<int>(d), series,
                      h.StnNumber.str(), h.Point.Latitude, h.Point.Longitude, h.Point.LatInDeg, h.Point.LongInDeg,
                      static_cast<double>(h.Point.Altitude)}) +
              "\r\n";
    } catch (const Exception& e) {
      failed.push_back("Error reading " + file + ": " + e.Message());
    }
    FreeSite();
  }
  std::ofstream out(SaveDialog1->FileName(), std::ios::binary | std::ios::trunc);
  if (!out) throw EFCreateError("Cannot create file \"" + SaveDialog1->FileName() + "\"");
  out << text;
  out.close();
  if (!out) throw EInOutError("Cannot write file \"" + SaveDialog1->FileName() + "\"");
  for (const std::string& f : failed) LogWriteLn(f);
}
