// Export of the open site to the exchange formats and the batch conversion of MT files.
#include <string>
#include <vector>

#include "app/log_views.h"
#include "app/main_form.h"
#include "mtdata/edi_writer.h"
#include "mtdata/export_dat.h"
#include "mtdata/export_sms.h"
#include "mtdata/export_text.h"
#include "mtdata/open_site.h"
#include "mtdata/site_file.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/exceptions.h"
#include "platform/logdevice.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

namespace {

const char* const ExportExtensions[14] = {"",     ".edi", ".plt", ".sms", ".dat", ".dat", ".dat",
                                          ".mtg", ".mtd", ".pt1", ".xnn", ".xpn", ".csv", ".ixp"};
const char* const BatchExtensions[5] = {"", ".edi", ".plt", ".sms", ".dat"};

bool IsSiteFile(const std::string& Name) {
  const std::string e = LowerCase(ExtractFileExt(Name));
  if (e == ".mpk") return true;
  return (e.size() >= 3 && e.substr(1, 2) == "mt") || (e.size() >= 4 && e.substr(2, 2) == "mt");
}

}  // namespace

void TMainForm1::SaveDialog1TypeChange(TObject*) {
  const int i = SaveDialog1->FilterIndex();
  if (i < 1 || i > 13) return;
  const std::string name = ChangeFileExt(SaveDialog1->FileName(), ExportExtensions[i]);
  SaveDialog1->SetFileName(ExtractFileName(name));
}

void TMainForm1::ExportSite(const std::string& Name, int Index) {
  if (!CurrentSite) return;
  TMTFile& site = *CurrentSite;
  switch (Index) {
    case 1:
      ExportEdi(Name, site, 1);
      break;
    case 2:
      ExportEdi(Name, site, 2);
      break;
    case 3:
      ExportSms(Name, site);
      break;
    case 4:
      ExportNarskyDat(Name, site, 0);
      break;
    case 5:
      ExportNarskyDat(Name, site, 1);
      break;
    case 6:
      ExportNarskyDat(Name, site, 2);
      break;
    case 7:
      ExportMtg(Name, site);
      break;
    case 8:
      ExportMtd(Name, site);
      break;
    case 9:
      ExportPt1(Name, site);
      break;
    case 10:
      ExportXprPlot(Name, site, 1);
      break;
    case 11:
      ExportXprPlot(Name, site, 2);
      break;
    case 12:
      ExportCsv(Name, site);
      break;
    default:
      // No writer for individual spectra: say so instead of reporting a file that was not written.
      throw Exception("Export to " + std::string(Index == 13 ? "individual XPR EDI files" : "this format") +
                      " is not available");
  }
  LogWriteLn("Exported to file " + Name);
}

void TMainForm1::mmExportToClick(TObject*) {
  if (!CurrentSite) return;
  ShowProgramLog();
  SaveDialog1->SetFilter(
      "EDI-Files(*.edi)|*.edi|PLT-Files(*.plt)|*.plt|SMS-Files(*.sms)|*.sms|Narsky(Z) (*.dat)|*.dat|"
      "Narsky(W) (*.dat)|*.dat|Narsky(m/t) (*.dat)|*.dat|GeoLink Rho data (*.mtg)|*.mtg|1D-Inversion (*.mtd)|*.mtd|"
      "Ascii plot file (*.pt1)|*.pt1|XPR Time Independent data(*.xnn)|*.x*|XPR Summed data(*.xpn)|*.xp*|"
      "CSV File(*.csv)|*.csv|");
  if (SaveDialog1->FilterIndex() < 1 || SaveDialog1->FilterIndex() > 12) SaveDialog1->SetFilterIndex(1);
  SaveDialog1->SetFileName(CurrentSite->FileName);
  SaveDialog1->SetInitialDir(ExtractFileDir(CurrentSite->FileName));
  SaveDialog1TypeChange(SaveDialog1);
  if (!SaveDialog1->Execute()) return;
  std::string name = SaveDialog1->FileName();
  SaveDialog1->SetInitialDir(ExtractFileDir(name));
  const int index = SaveDialog1->FilterIndex();
  if (ExtractFileExt(name).empty() && index >= 1 && index <= 13) name += ExportExtensions[index];
  ExportSite(name, index);
}

std::vector<std::string> TMainForm1::BatchConvert(const std::vector<std::string>& Files, const std::string& Folder,
                                                  int Tag) {
  std::vector<std::string> failed;
  ShowProgramLog();
  ProgressBar1->SetMin(0);
  ProgressBar1->SetMax(static_cast<int>(Files.size()));
  ProgressBar1->SetPosition(0);
  ProgressBar1->SetVisible(true);
  const std::string folder = IncludeTrailingPathDelimiter(Folder);
  int done = 0;
  for (const std::string& file : Files) {
    SetStatusText(1, Format("%d/%d", {done + 1, static_cast<int>(Files.size())}));
    if (IsSiteFile(file)) {
      const std::string out = folder + ChangeFileExt(ExtractFileName(file), BatchExtensions[Tag]);
      // One file that cannot be read or written is reported by name; the others go on.
      try {
        std::vector<std::string> names{file};
        if (OpenFileList(names))
          ExportSite(out, Tag);
        else
          failed.push_back(file + ": the files do not share one reference");
      } catch (const Exception& e) {
        failed.push_back(file + ": " + e.Message());
      }
      FreeSite();
    }
    ProgressBar1->SetPosition(++done);
    Application->ProcessMessages();
  }
  ProgressBar1->SetVisible(false);
  SetStatusText(1, "");
  for (const std::string& f : failed) LogWriteLn("Not converted: " + f);
  return failed;
}

void TMainForm1::BatchConvetto1Click(TObject* Sender) {
  if (!SiteFiles.empty()) return;  // the batch would free the open site's objects
  const int tag = static_cast<TComponent*>(Sender)->Tag();
  if (tag < 1 || tag > 4) return;
  OpenDialog1->SetTitle(std::string("Convert Files to ") + BatchExtensions[tag] + " format");
  OpenDialog1->SetOptions(OpenDialog1->Options() + ofAllowMultiSelect);
  OpenDialog1->SetFilter("MT-Files (*.mt*;*.*mT)|*.mt*;*.*mT|Mt- FilePackage (*.mpk)|*.mpk|Any files (*.*)|*.*");
  if (!OpenDialog1->Execute()) return;
  ShowProgramLog();
  std::vector<std::string> files;
  for (int i = 0; i < OpenDialog1->Files()->Count(); ++i) files.push_back((*OpenDialog1->Files())[i]);
  if (files.empty()) return;
  std::string folder = GetCurrentDir();
  if (!SelectDirectory(folder, {sdAllowCreate, sdPerformCreate, sdPrompt}, 0)) return;
  const std::vector<std::string> failed = BatchConvert(files, folder, tag);
  UpdateMenuItems(this);
  if (!failed.empty()) {
    std::string text = "Not converted:";
    for (const std::string& f : failed) text += "\n" + f;
    Application->MessageBox(text, "Varomark", MB_OK | MB_ICONWARNING);
  }
}
