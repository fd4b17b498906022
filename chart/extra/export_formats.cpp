#include "chart/extra/export_formats.h"

#include <algorithm>

#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/graph_panel.h"
#include "platform/bitmap.h"
#include "platform/clipbrd.h"
#include "platform/guards.h"
#include "platform/inifiles.h"
#include "platform/metafile.h"
#include "platform/stdctrls.h"
#include "platform/streams.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TGraphExportFormat)
VM_DEFINE_CLASS(TEMFOptions)
VM_DEFINE_CLASS(TEMFExportFormat)
VM_DEFINE_CLASS(TBMPOptions)
VM_DEFINE_CLASS(TBMPExportFormat)

namespace {

std::vector<TGraphExportFormatClass>& Registry() {
  static std::vector<TGraphExportFormatClass> list;
  return list;
}

TCheckBox* NewCheckBox(TForm* Form, const char* Name, const std::string& Caption, int Y, bool Checked) {
  auto* c = new TCheckBox(Form);
  c->SetName(Name);
  c->SetParent(Form);
  c->SetCaption(Caption);
  c->SetBounds(8, Y, 180, 20);
  c->SetChecked(Checked);
  return c;
}

TForm* NewOptionForm(TForm* Form, const char* Name) {
  Form->SetName(Name);
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(0, 0, 200, 80);
  return Form;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Registry

void RegisterExportFormat(TClass FormatClass, TGraphExportFormatFactory Factory) {
  auto& list = Registry();
  for (const auto& f : list)
    if (f.Class == FormatClass) return;
  list.push_back({FormatClass, std::move(Factory)});
}

void UnregisterExportFormat(TClass FormatClass) {
  std::erase_if(Registry(), [FormatClass](const TGraphExportFormatClass& f) { return f.Class == FormatClass; });
}

const std::vector<TGraphExportFormatClass>& ExportFormats() { return Registry(); }

TGraphic* PictureForExtension(const std::string& Extension) {
  for (const auto& f : Registry()) {
    std::unique_ptr<TGraphExportFormat> format(f.Create());
    if (SameText("." + format->FileExtension(), Extension)) return format->NewGraphic();
  }
  return nullptr;
}

std::string FindHelpFile(const std::string& Name) {
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!reg.OpenKeyReadOnly("SOFTWARE\\Microsoft\\Windows\\Help")) return std::string();
  return reg.ReadString(Name) + "\\" + Name;
}

// ---------------------------------------------------------------------------------------------
// TGraphExportFormat

TGraphExportFormat::TGraphExportFormat() = default;
TGraphExportFormat::~TGraphExportFormat() = default;

void TGraphExportFormat::AssignFilterIndex(int& NextIndex) {
  ++NextIndex;
  FilterIndex = NextIndex;
}

TForm* TGraphExportFormat::Options(bool) { return nullptr; }

void TGraphExportFormat::CheckPanel() {
  if (!Panel) throw ChartException(ErrExportNoPanel);
  Options(true);
  if (Width == 0) Width = Panel->Width();
  if (Height == 0) Height = Panel->Height();
}

void TGraphExportFormat::CopyToClipboard() {}

void TGraphExportFormat::SaveToFile(const std::string& FileName) {
  CheckPanel();
  TFileStream file(FileName, fmCreate);
  SaveToStream(file);
}

// ---------------------------------------------------------------------------------------------
// Metafile

TEMFOptions::TEMFOptions(TComponent* AOwner) : TForm(AOwner) {
  NewOptionForm(this, "EMFOptions");
  CBEnhanced = NewCheckBox(this, "CBEnhanced", "&Enhanced", 8, true);
}

bool TEMFExportFormat::Enhanced() {
  auto* o = dynamic_cast<TEMFOptions*>(FOptions.get());
  return !o || o->CBEnhanced->Checked();
}

int TEMFExportFormat::GetFilterIndex() { return Enhanced() ? FilterIndex : FilterIndex + 1; }

void TEMFExportFormat::AssignFilterIndex(int& NextIndex) {
  TGraphExportFormat::AssignFilterIndex(NextIndex);
  ++NextIndex;  // the second entry, the old metafiles
}

bool TEMFExportFormat::WantsFilterIndex(int Index) {
  if (Index == FilterIndex) return true;
  if (Index == FilterIndex + 1) {
    static_cast<TEMFOptions*>(Options(true))->CBEnhanced->SetChecked(false);
    return true;
  }
  return false;
}

std::string TEMFExportFormat::Description() { return MsgAsMetafile; }
std::string TEMFExportFormat::FileExtension() { return Enhanced() ? "emf" : "wmf"; }
std::string TEMFExportFormat::FileFilter() { return MsgFilterMetafile; }
TClass TEMFExportFormat::GraphicClass() { return TMetafile::StaticClass(); }
TGraphic* TEMFExportFormat::NewGraphic() { return new TMetafile(); }

TForm* TEMFExportFormat::Options(bool Create) {
  if (!FOptions && Create) FOptions = std::make_unique<TEMFOptions>(nullptr);
  return FOptions.get();
}

void TEMFExportFormat::SaveToStream(TStream& Stream) {
  CheckPanel();
  std::unique_ptr<TMetafile> m(Panel->CreateMetafile(Enhanced(), TRect(0, 0, Width, Height)));
  m->SaveToStream(Stream);
}

void TEMFExportFormat::CopyToClipboard() {
  CheckPanel();
  TMemoryStream s;
  SaveToStream(s);
  Clipboard()->SetAsHandle(Enhanced() ? CF_ENHMETAFILE : CF_METAFILEPICT,
                           std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size())));
}

// ---------------------------------------------------------------------------------------------
// Bitmap

TBMPOptions::TBMPOptions(TComponent* AOwner) : TForm(AOwner) {
  NewOptionForm(this, "BMPOptions");
  CBMono = NewCheckBox(this, "CBMono", "&Monochrome", 8, false);
  CBColors = new TComboBox(this);
  CBColors->SetName("CBColors");
  CBColors->SetParent(this);
  CBColors->SetStyle(csDropDownList);
  CBColors->SetBounds(8, 34, 180, 22);
  for (const char* item : {"Default", "2 (1 bit)", "16 (4 bit)", "256 (8 bit)", "32768 (15 bit)", "65536 (16 bit)",
                           "16M (24 bit)", "16M (32 bit)"})
    CBColors->Items()->Add(item);
  CBColors->SetItemIndex(0);
  CBMono->OnClick = [this](TObject*) { CBColors->SetEnabled(!CBMono->Checked()); };
  OnShow = [this](TObject*) { CBColors->SetItemIndex(0); };
}

std::string TBMPExportFormat::Description() { return MsgAsBitmap; }
std::string TBMPExportFormat::FileExtension() { return "bmp"; }
std::string TBMPExportFormat::FileFilter() { return MsgFilterBitmap; }
TClass TBMPExportFormat::GraphicClass() { return TBitmap::StaticClass(); }
TGraphic* TBMPExportFormat::NewGraphic() { return new TBitmap(); }

TForm* TBMPExportFormat::Options(bool Create) {
  if (!FOptions && Create) FOptions = std::make_unique<TBMPOptions>(nullptr);
  return FOptions.get();
}

namespace {

std::unique_ptr<TBitmap> PanelBitmap(TGraphExportFormat& F, TBMPOptions* O) {
  static const TPixelFormat formats[] = {pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit};
  TPixelFormat format = pfDevice;
  if (O && O->CBMono->Checked()) {
    format = pf1bit;
  } else {
    const int i = O ? O->CBColors->ItemIndex() : 0;
    if (i >= 0 && i < 8) format = formats[i];
    if (F.Panel->Canvas && F.Panel->Canvas->SupportsFullRotation()) format = pf24bit;
  }
  auto bmp = std::make_unique<TBitmap>(F.Width, F.Height, pf24bit);
  const TRect r(0, 0, F.Width, F.Height);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(F.Panel->Color());
  c->FillRect(r);
  const bool buffered = F.Panel->BufferedDisplay();
  F.Panel->SetBufferedDisplay(false);
  TScopeExit restore([&] { F.Panel->SetBufferedDisplay(buffered); });
  F.Panel->Draw(c, r);
  // The colour depth is applied to the finished picture.
  if (format != pf24bit) bmp->SetPixelFormat(format);
  return bmp;
}

}  // namespace

void TBMPExportFormat::SaveToStream(TStream& Stream) {
  CheckPanel();
  PanelBitmap(*this, dynamic_cast<TBMPOptions*>(FOptions.get()))->SaveToStream(Stream);
}

void TBMPExportFormat::CopyToClipboard() {
  CheckPanel();
  auto bmp = PanelBitmap(*this, dynamic_cast<TBMPOptions*>(FOptions.get()));
  Clipboard()->Assign(bmp.get());
}
