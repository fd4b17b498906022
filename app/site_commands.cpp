// The site commands of the main window: open, close, save, save as and the choice of another
// stored edit to start from.
#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "app/child_form.h"
#include "app/journal.h"
#include "app/log_views.h"
#include "app/main_form.h"
#include "chart/editor/language.h"
#include "controls/file_utils.h"
#include "mtdata/mt_types.h"
#include "mtdata/open_site.h"
#include "mtdata/package_file.h"
#include "mtdata/site_file.h"
#include "platform/dialogs.h"
#include "platform/exceptions.h"
#include "platform/logdevice.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

namespace {

// The file of Names that cannot be read, with the reason; empty when each reads alone.
std::string FindUnreadableFile(const std::vector<std::string>& Names, std::string& Reason) {
  for (const std::string& name : Names) {
    if (DirectoryExists(name)) {
      Reason = "it is a folder, not a file";
      return name;
    }
    if (!FileExists(name)) {
      Reason = "the file does not exist";
      return name;
    }
    try {
      auto probe = std::make_unique<TMTFile>();
      const std::string ext = LowerCase(ExtractFileExt(name));
      if (ext == ".edi")
        probe->LoadFromEdi(name);
      else if (ext != ".mpk")
        probe->OpenMtFile(name);
    } catch (const Exception& e) {
      Reason = e.Message();
      return name;
    } catch (const std::bad_alloc&) {
      Reason = "not enough memory to read it";
      return name;
    } catch (const std::exception& e) {
      Reason = e.what();
      return name;
    }
  }
  return {};
}

// True when some estimate of some frequency of File holds spectra. A file read from impedances
// alone (an EDI file without spectra sections) has none, and nothing can be computed from it.
bool HoldsSpectra(TMTFile& File) {
  if (!File.XprMatrices.Assigned()) return false;
  for (int f = 1; f <= File.FreqCount && f <= MaxFreq; ++f)
    for (int x = 1; x <= File.XprCount[f] && x <= MaxXpr; ++x)
      for (double v : File.XprMatrices[f][x])
        if (v != 0) return true;
  return false;
}

}  // namespace

bool TMainForm1::OpenFileList(std::vector<std::string>& Names) {
  ShowProgramLog();
  return Session->Open(Names);
}

void TMainForm1::SetSiteCaption(const std::vector<std::string>& Names) {
  if (Names.empty()) return;
  std::string site = UpperCase(ExcludeTrailingPathDelimiter(ExtractFileDir(Names[0])));
  if (Names.size() == 1) {
    site += "/" + LowerCase(ExtractFileName(Names[0]));
  } else {
    site += "/(";
    for (size_t i = 0; i < Names.size(); ++i) site += (i ? "+" : "") + LowerCase(ExtractFileName(Names[i]));
    site += ")";
  }
  SetCaption(Translated("Halcyon XPR data editing program") + " " + site);
}

bool TMainForm1::OpenSiteFiles(std::vector<std::string> Names, bool FromCommandLine) {
  // The site keeps its files by their full names: a package saved from it, or a later change of
  // the working folder, must still find them.
  for (std::string& name : Names) name = ExpandFileName(name);
  const std::vector<std::string> chosen = Names;
  ErrorLogActive = ErrorLogOption;
  bool ok = false;
  std::string error;
  try {
    ok = OpenFileList(Names);
  } catch (const EAbort&) {
    error.clear();
  } catch (const Exception& e) {
    error = e.Message();
  } catch (const std::bad_alloc&) {
    error = "not enough memory";
  } catch (const std::exception& e) {
    // Whatever fails while a site is read leaves no site behind, and says so.
    error = e.what();
  }
  ErrorLogActive = false;
  if (!ok) {
    // Nothing stays open; the site is closed without a question.
    mmCloseAllClick(this);
    FreeSite();
    ClearEditJournal();
    SiteModified = false;
    SiteWithoutSpectra.clear();
    UpdateMenuItems(this);
    if (!error.empty()) {
      std::string reason;
      std::string bad = FindUnreadableFile(chosen, reason);
      std::string text = bad.empty() ? "Cannot open " + chosen[0] + ": " + error : "Cannot open " + bad + ": " + reason;
      LogWriteLn(text);
      Application->MessageBox(text, "Varomark", MB_OK | MB_ICONERROR);
    }
    return false;
  }
  (void)FromCommandLine;
  SitePackage = LowerCase(ExtractFileExt(chosen[0])) == ".mpk" ? chosen[0] : std::string();
  SetSiteCaption(Names.size() == chosen.size() ? chosen : Names);
  SiteWithoutSpectra.clear();
  for (const auto& f : SiteFiles)
    if (!HoldsSpectra(*f)) SiteWithoutSpectra = f->FileName;
  if (!SiteWithoutSpectra.empty()) {
    // Curves of zeros would pass for data: the header and the log are all there is to show.
    UpdateMenuItems(this);
    ShowForm(HeadFmNf1);
    const std::string text = SiteWithoutSpectra + " holds impedances only, no spectra: nothing can be computed";
    LogWriteLn(text);
    Application->MessageBox(text, "Varomark", MB_OK | MB_ICONWARNING);
    return true;
  }
  StartingDataExecute(this);
  UpdateMenuItems(this);
  return true;
}

void TMainForm1::mmOpenClick(TObject*) {
  OpenDialog1->SetTitle("Open File for Editing");
  OpenDialog1->SetOptions(OpenDialog1->Options() + ofAllowMultiSelect);
  OpenDialog1->SetFilter(
      "MT-Files (*.mt*;*.*mT)|*.mt*;*.*mT|Mt- FilePackage (*.mpk)|*.mpk|EDI- Files (*.edi)|*.edi|Any files (*.*)|*.*");
  if (!OpenDialog1->Execute()) return;
  ResetEditActions();
  ClearEditJournal();
  std::vector<std::string> names;
  for (int i = 0; i < OpenDialog1->Files()->Count(); ++i) names.push_back((*OpenDialog1->Files())[i]);
  if (names.empty() && !OpenDialog1->FileName().empty()) names.push_back(OpenDialog1->FileName());
  if (names.empty()) return;
  if (!OpenSiteFiles(names, false)) return;
  PushEditRecord(1, "Start");
}

void TMainForm1::mmCloseAllClick(TObject*) {
  for (int i = MDIChildCount() - 1; i >= 0; --i) {
    TForm* f = MDIChildren(i);
    if (f->Name() == "STermWin1") continue;
    f->Close();
  }
  Application->ProcessMessages();
}

void TMainForm1::mmCloseClick(TObject*) {
  if (SiteModified && Application->MessageBox("Close this site?", "Varomark", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  mmCloseAllClick(this);
  Session->Close();
  SiteWithoutSpectra.clear();
  SetCaption("Varomark");
  UpdateMenuItems(this);
}

void TMainForm1::BackupPackage(const std::string& Name) { TSiteSession::BackupPackage(Name); }

void TMainForm1::SaveMtFileInPlace() { Session->SaveMtFileInPlace(); }

void TMainForm1::mmSaveClick(TObject*) { Session->Save(); }

void TMainForm1::SaveAsExecute(TObject*) {
  if (!CurrentSite) return;
  SaveDialog2->SetFilter("Mt - FilePackage(*.mpk)|*.mpk|Any file(*.*)|*.*|");
  const std::string current = CurrentSite->FileName;
  if (!current.empty()) {
    SaveDialog2->SetFileName(ChangeFileExt(current, ".mpk"));
    SaveDialog2->SetInitialDir(ExtractFileDir(current));
  }
  if (!SaveDialog2->Execute()) return;
  const std::string chosen = SaveDialog2->FileName();
  SaveDialog2->SetInitialDir(ExtractFileDir(chosen));
  if (FileExists(chosen) &&
      Application->MessageBox("File " + chosen + " exist, continue?", "Varomark", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  // An existing package keeps its previous state as ".~mpk".
  Session->SaveAs(chosen);
}

void TMainForm1::ChooseStartEditAndRefresh() {
  ChooseStartEdit();
  if (SiteFiles.size() >= 2) SumSiteFiles(SiteFiles, *CurrentSite);
  CurrentSite->CalcPartialPlots();
  RefreshAllViews(this);
}

void TMainForm1::mmOtherEditingClick(TObject*) {
  if (SiteFiles.empty()) return;
  for (auto& f : SiteFiles) f->StartEdit = 0;
  RequestFromToFrequency = true;
  ShowProgramLog();
  ChooseStartEditAndRefresh();
}
