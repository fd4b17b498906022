// Rotation of the XPR spectra of MT files and packages into copies in a new folder, and its
// dialog.
#pragma once

#include <string>
#include <vector>

#include "platform/forms.h"

class TButton;
class TDirectoryEdit;
class TFilenameEdit;
class TVxSpinEdit;

class TRotageDlg1 : public TForm {
  VM_CLASS(TRotageDlg1, TForm)
public:
  explicit TRotageDlg1(TComponent* AOwner);
  TFilenameEdit* FilenameEdit1 = nullptr;
  TVxSpinEdit* VxSpinEdit1 = nullptr;
  TDirectoryEdit* DirectoryEdit1 = nullptr;
  TButton *BitBtn1 = nullptr, *BitBtn2 = nullptr;
  // The proposed output folder: beside the source folder, with the angle in its name.
  void FilenameEdit1Change(TObject* Sender);
};

// Copies Source to Destination (making its folder) and rotates the copy's spectra by Angle.
void RotateMtFileCopy(const std::string& Source, const std::string& Destination, double Angle);
// Writes the package into Folder with its members rotated into the same folder.
void RotatePackageCopy(const std::string& Package, const std::string& Folder, double Angle);
// Every MT file and package of Files rotated into Folder; returns the files that failed.
std::vector<std::string> RotateSpectraFiles(const std::vector<std::string>& Files, double Angle,
                                            const std::string& Folder);
