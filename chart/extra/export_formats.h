// Picture export formats of chart panels (metafile and bitmap), their registry, their option
// forms, and the picture-for-extension answer the engine's text parser asks for.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "platform/object.h"

class TCheckBox;
class TComboBox;
class TCustomGraphPanel;
class TGraphic;
class TStream;

class TGraphExportFormat : public TObject {
  VM_CLASS(TGraphExportFormat, TObject)
public:
  TGraphExportFormat();
  ~TGraphExportFormat() override;

  // Puts the picture on the clipboard.
  virtual void CopyToClipboard();
  virtual int GetFilterIndex() { return FilterIndex; }
  // Takes the next filter index (NextIndex is incremented first).
  virtual void AssignFilterIndex(int& NextIndex);
  virtual bool WantsFilterIndex(int Index) { return Index == GetFilterIndex(); }
  // Text for the format list, with its hot-key "&".
  virtual std::string Description() = 0;
  // Without the dot.
  virtual std::string FileExtension() = 0;
  // Save-dialog filter entries ("Text|*.ext", several joined by "|").
  virtual std::string FileFilter() = 0;
  // The platform graphic class that can hold this format (nullptr: none).
  virtual TClass GraphicClass() { return nullptr; }
  // A new empty graphic of GraphicClass (nullptr: none).
  virtual TGraphic* NewGraphic() { return nullptr; }
  // Writes the picture. Copy and save call it after CheckPanel.
  virtual void SaveToStream(TStream& Stream) = 0;
  // The option form, made first when Create is set; none here.
  virtual TForm* Options(bool Create = true);

  // Checks Panel ("Panel property is not set in Export format"), makes the option form and
  // takes zero sizes from the panel.
  void CheckPanel();
  // Creates (or overwrites) the file and writes the picture into it.
  void SaveToFile(const std::string& FileName);

  TCustomGraphPanel* Panel = nullptr;
  int FilterIndex = 0;
  int Height = 0;  // 0: the panel's height
  int Width = 0;   // 0: the panel's width

protected:
  std::unique_ptr<TForm> FOptions;
};

using TGraphExportFormatFactory = std::function<TGraphExportFormat*()>;

struct TGraphExportFormatClass {
  TClass Class;
  TGraphExportFormatFactory Create;
};

// The registry of format classes, in registration order.
void RegisterExportFormat(TClass FormatClass, TGraphExportFormatFactory Factory);
template <class T>
void RegisterExportFormat() {
  RegisterExportFormat(T::StaticClass(), [] { return new T(); });
}
void UnregisterExportFormat(TClass FormatClass);
const std::vector<TGraphExportFormatClass>& ExportFormats();

// A new empty graphic of the first registered format whose "." + extension equals Extension
// (letter case ignored), or nullptr. The caller owns it.
TGraphic* PictureForExtension(const std::string& Extension);

// The help file of that name in the machine's help folder ("SOFTWARE\Microsoft\Windows\Help"
// under the machine-wide registry key): folder + "\" + name; empty when the key cannot be opened.
std::string FindHelpFile(const std::string& Name);

// -- the metafile format ---------------------------------------------------------------------------

class TEMFOptions : public TForm {
  VM_CLASS(TEMFOptions, TForm)
public:
  explicit TEMFOptions(TComponent* AOwner);
  TCheckBox* CBEnhanced = nullptr;
};

class TEMFExportFormat : public TGraphExportFormat {
  VM_CLASS(TEMFExportFormat, TGraphExportFormat)
public:
  int GetFilterIndex() override;
  void AssignFilterIndex(int& NextIndex) override;
  bool WantsFilterIndex(int Index) override;
  std::string Description() override;
  std::string FileExtension() override;
  std::string FileFilter() override;
  TClass GraphicClass() override;
  TGraphic* NewGraphic() override;
  void SaveToStream(TStream& Stream) override;
  TForm* Options(bool Create = true) override;
  void CopyToClipboard() override;

  // Without an option form the metafile counts as enhanced.
  bool Enhanced();
};

// -- the bitmap format ----------------------------------------------------------------------------

class TBMPOptions : public TForm {
  VM_CLASS(TBMPOptions, TForm)
public:
  explicit TBMPOptions(TComponent* AOwner);
  TCheckBox* CBMono = nullptr;
  TComboBox* CBColors = nullptr;
};

class TBMPExportFormat : public TGraphExportFormat {
  VM_CLASS(TBMPExportFormat, TGraphExportFormat)
public:
  std::string Description() override;
  std::string FileExtension() override;
  std::string FileFilter() override;
  TClass GraphicClass() override;
  TGraphic* NewGraphic() override;
  void SaveToStream(TStream& Stream) override;
  TForm* Options(bool Create = true) override;
  void CopyToClipboard() override;
};
