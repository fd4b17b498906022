#include "app/rotate_spectra.h"

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/log_views.h"
#include "app/main_form.h"
#include "app/stored_edit_dialog.h"
#include "controls/file_utils.h"
#include "controls/vx_file_edits.h"
#include "controls/vx_spin.h"
#include "mtdata/open_site.h"
#include "mtdata/site_file.h"
#include "platform/exceptions.h"
#include "platform/logdevice.h"
#include "platform/stdctrls.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TRotageDlg1)

namespace {

bool IsMtName(const std::string& Name) {
  const std::string e = LowerCase(ExtractFileExt(Name));
  return (e.size() >= 3 && e.substr(1, 2) == "mt") || (e.size() >= 4 && e.substr(2, 2) == "mt");
}

std::string TrimLineEnd(std::string S) {
  while (!S.empty() && (S.back() == '\r' || S.back() == '\n')) S.pop_back();
  return S;
}

}  // namespace

void RotateMtFileCopy(const std::string& Source, const std::string& Destination, double Angle) {
  std::filesystem::create_directories(ExtractFileDir(Destination));
  CopyFileGeneral(Source, Destination, true, nullptr, false);
  auto f = std::make_shared<TMTFile>();
  CurrentSite = f;
  f->OpenMtFile(Destination);
  f->RotateXprSpectra(Angle);
  f.reset();
  FreeSite();
}

void RotatePackageCopy(const std::string& Package, const std::string& Folder, double Angle) {
  std::ifstream in(Package, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file \"" + Package + "\"");
  std::filesystem::create_directories(Folder);
  const std::string outName = IncludeTrailingPathDelimiter(Folder) + ExtractFileName(Package);
  std::string text, line;
  std::getline(in, line);
  const int n = StrToInt(Trim(TrimLineEnd(line)));
  text += std::to_string(n) + "\r\n";
  for (int i = 0; i < n; ++i) {
    if (!std::getline(in, line)) throw EReadError(Package + ": the package lists fewer members than it says");
    const std::string member = Trim(TrimLineEnd(line));
    const std::string copy = IncludeTrailingPathDelimiter(Folder) + ExtractFileName(member);
    text += copy + "\r\n";
    RotateMtFileCopy(member, copy, Angle);
  }
  while (std::getline(in, line)) text += TrimLineEnd(line) + "\r\n";
  std::ofstream out(outName, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw EInOutError("Cannot write file \"" + outName + "\"");
}

std::vector<std::string> RotateSpectraFiles(const std::vector<std::string>& Files, double Angle,
                                            const std::string& Folder) {
  std::vector<std::string> failed;
  ShowProgramLog();
  for (const std::string& file : Files) {
    LogWriteLn("");
    LogWriteLn("Rotate XPR " + file);
    try {
      if (IsMtName(file))
        RotateMtFileCopy(file, IncludeTrailingPathDelimiter(Folder) + ExtractFileName(file), Angle);
      else if (LowerCase(ExtractFileExt(file)) == ".mpk")
        RotatePackageCopy(file, Folder, Angle);
    } catch (const Exception& e) {
      failed.push_back(file + ": " + e.Message());
      FreeSite();
    }
  }
  return failed;
}

TRotageDlg1::TRotageDlg1(TComponent* AOwner) : TForm(AOwner) {
  SetName("RotageDlg1");
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetCaption("Rotate Spectra in MT(MPK) Files");
  SetBounds(0, 0, 460, 170);
  auto label = [this](const char* Text, int Y) {
    auto* l = new TLabel(this);
    l->SetParent(this);
    l->SetCaption(Text);
    l->SetBounds(8, Y + 3, 90, 16);
  };
  label("Files", 8);
  FilenameEdit1 = new TFilenameEdit(this);
  FilenameEdit1->SetName("FilenameEdit1");
  FilenameEdit1->SetParent(this);
  FilenameEdit1->SetBounds(100, 8, 350, 22);
  FilenameEdit1->SetDialogOptions(FilenameEdit1->DialogOptions() + ofAllowMultiSelect);
  FilenameEdit1->SetFilter("MT-Files (*.mt*;*.*mT)|*.mt*;*.*mT|Mt- FilePackage (*.mpk)|*.mpk|Any files (*.*)|*.*");
  label("Angle", 38);
  VxSpinEdit1 = new TVxSpinEdit(this);
  VxSpinEdit1->SetName("VxSpinEdit1");
  VxSpinEdit1->SetParent(this);
  VxSpinEdit1->SetValueType(vtFloat);
  VxSpinEdit1->SetDecimal(1);
  VxSpinEdit1->SetIncrement(10);
  VxSpinEdit1->SetMinValue(-360);
  VxSpinEdit1->SetMaxValue(360);
  VxSpinEdit1->SetBounds(100, 38, 90, 22);
  label("Out Directory", 68);
  DirectoryEdit1 = new TDirectoryEdit(this);
  DirectoryEdit1->SetName("DirectoryEdit1");
  DirectoryEdit1->SetParent(this);
  DirectoryEdit1->SetBounds(100, 68, 350, 22);
  BitBtn1 = new TButton(this);
  BitBtn1->SetParent(this);
  BitBtn1->SetCaption("OK");
  BitBtn1->SetDefault(true);
  BitBtn1->SetModalResult(mrOk);
  BitBtn1->SetBounds(270, 110, 80, 28);
  BitBtn2 = new TButton(this);
  BitBtn2->SetParent(this);
  BitBtn2->SetCaption("Cancel");
  BitBtn2->SetCancel(true);
  BitBtn2->SetModalResult(mrCancel);
  BitBtn2->SetBounds(360, 110, 80, 28);
  FilenameEdit1->OnChange = [this](TObject* s) { FilenameEdit1Change(s); };
  VxSpinEdit1->OnChange = [this](TObject* s) { FilenameEdit1Change(s); };
  OnShow = [this](TObject*) {
    if (ModalDialogHook) ModalDialogHook(this);
  };
}

void TRotageDlg1::FilenameEdit1Change(TObject*) {
  const std::string file = FilenameEdit1->FileName();
  if (file.empty()) return;
  const std::string folder = ExcludeTrailingPathDelimiter(ExtractFileDir(file));
  DirectoryEdit1->SetText(folder + "_" + FormatFloat("0.0", static_cast<double>(VxSpinEdit1->Value())) + "/");
}

void TMainForm1::RotateSpectra1Click(TObject*) {
  if (!SiteFiles.empty()) return;  // the rotation uses the open-site objects
  TRotageDlg1 d(Application);
  if (d.ShowModal() != mrOk) return;
  const double angle = static_cast<double>(d.VxSpinEdit1->Value());
  const std::string folder = d.DirectoryEdit1->Text();
  std::vector<std::string> files;
  TStrings* chosen = d.FilenameEdit1->GetSelectedFiles();
  for (int i = 0; i < chosen->Count(); ++i) files.push_back((*chosen)[i]);
  if (files.empty() && !d.FilenameEdit1->FileName().empty()) files.push_back(d.FilenameEdit1->FileName());
  const std::vector<std::string> failed = RotateSpectraFiles(files, angle, folder);
  UpdateMenuItems(this);
  if (!failed.empty()) {
    std::string text = "Not rotated:";
    for (const std::string& f : failed) text += "\n" + f;
    Application->MessageBox(text, "Varomark", MB_OK | MB_ICONWARNING);
  }
}
