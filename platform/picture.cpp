#include "platform/picture.h"

#include <algorithm>
#include <map>

#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/jpeg.h"
#include "platform/metafile.h"
#include "platform/streaming.h"
#include "platform/streams.h"

VM_DEFINE_CLASS(TGraphic)
VM_DEFINE_CLASS(TPicture)

// ---------------------------------------------------------------------------------------------
// TGraphic

TGraphic::TGraphic() = default;
TGraphic::~TGraphic() = default;

void TGraphic::DefineProperties(TFiler* Filer) {
  TPersistent::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "Data", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); }, !Empty());
}

void TGraphic::SetTransparent(bool Value) {
  if (FTransparent != Value) {
    FTransparent = Value;
    Changed(this);
  }
}

void TGraphic::SetModified(bool Value) {
  if (Value)
    Changed(this);
  else
    FModified = false;
}

void TGraphic::Changed(TObject*) {
  FModified = true;
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& FileName) {
  TFileStream s(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(s);
}

void TGraphic::SaveToFile(const std::string& FileName) {
  TFileStream s(FileName, fmCreate);
  SaveToStream(s);
}

bool TGraphic::Equals(TGraphic* Graphic) {
  if (!Graphic) return false;
  if (Graphic == this) return true;
  if (Graphic->ClassType() != ClassType()) return false;
  if (Empty() || Graphic->Empty()) return Empty() == Graphic->Empty();
  TMemoryStream a, b;
  SaveToStream(a);
  Graphic->SaveToStream(b);
  return a.Size() == b.Size() &&
         std::equal(static_cast<const char*>(a.Memory()), static_cast<const char*>(a.Memory()) + a.Size(),
                    static_cast<const char*>(b.Memory()));
}

// ---------------------------------------------------------------------------------------------
// Registry of picture formats

namespace {

struct Format {
  std::string Extension;
  std::string Description;
  TGraphicFactory Factory;
};

std::string Lower(std::string S) {
  for (char& c : S)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return S;
}

std::vector<Format>& Formats() {
  static std::vector<Format> f = [] {
    std::vector<Format> v;
    v.push_back({"bmp", "Bitmaps", [] { return static_cast<TGraphic*>(new TBitmap()); }});
    v.push_back({"jpg", "JPEG Image File", [] { return static_cast<TGraphic*>(new TJPEGImage()); }});
    v.push_back({"jpeg", "JPEG Image File", [] { return static_cast<TGraphic*>(new TJPEGImage()); }});
    v.push_back({"emf", "Enhanced Metafiles", [] { return static_cast<TGraphic*>(new TMetafile()); }});
    v.push_back({"wmf", "Metafiles", [] { return static_cast<TGraphic*>(new TMetafile()); }});
    return v;
  }();
  return f;
}

std::string ExtensionOf(const std::string& FileName) {
  size_t slash = FileName.find_last_of('/');
  size_t dot = FileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return Lower(FileName.substr(dot + 1));
}

}  // namespace

void TPicture::RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                  TGraphicFactory Factory) {
  std::string ext = Lower(Extension);
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  auto& f = Formats();
  for (auto& x : f)
    if (x.Extension == ext) {
      x.Description = Description;
      x.Factory = std::move(Factory);
      return;
    }
  f.push_back({ext, Description, std::move(Factory)});
}

void TPicture::UnregisterFileFormat(const std::string& Extension) {
  std::string ext = Lower(Extension);
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  auto& f = Formats();
  f.erase(std::remove_if(f.begin(), f.end(), [&](const Format& x) { return x.Extension == ext; }), f.end());
}

TGraphic* TPicture::CreateForExtension(const std::string& Extension) {
  std::string ext = Lower(Extension);
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  for (auto& x : Formats())
    if (x.Extension == ext) return x.Factory();
  return nullptr;
}

std::vector<std::string> TPicture::RegisteredExtensions() {
  std::vector<std::string> r;
  for (auto& x : Formats()) r.push_back(x.Extension);
  return r;
}

std::string TPicture::GraphicFileMask() {
  std::string mask;
  for (auto& x : Formats()) {
    if (!mask.empty()) mask += ";";
    mask += "*." + x.Extension;
  }
  return mask;
}

std::string TPicture::GraphicFilter() {
  std::string mask = GraphicFileMask();
  std::string s = "All (" + mask + ")|" + mask;
  for (auto& x : Formats()) s += "|" + x.Description + " (*." + x.Extension + ")|*." + x.Extension;
  return s;
}

// ---------------------------------------------------------------------------------------------
// TPicture

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed(TObject*) {
  if (OnChange) OnChange(this);
}

void TPicture::TakeGraphic(TGraphic* Value) {
  FGraphic.reset(Value);
  if (FGraphic) FGraphic->OnChange = [this](TObject* S) { Changed(S); };
  Changed(this);
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic.get() && Value) return;
  TakeGraphic(Value ? Value->Clone() : nullptr);
}

void TPicture::SetBitmap(TBitmap* Value) { SetGraphic(Value); }

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(FGraphic.get())) TakeGraphic(new TBitmap());
  return static_cast<TBitmap*>(FGraphic.get());
}

TMetafile* TPicture::Metafile() {
  if (!dynamic_cast<TMetafile*>(FGraphic.get())) TakeGraphic(new TMetafile());
  return static_cast<TMetafile*>(FGraphic.get());
}

int32_t TPicture::Width() const { return FGraphic ? FGraphic->Width() : 0; }
int32_t TPicture::Height() const { return FGraphic ? FGraphic->Height() : 0; }

void TPicture::LoadFromFile(const std::string& FileName) {
  std::string ext = ExtensionOf(FileName);
  std::unique_ptr<TGraphic> g(CreateForExtension(ext));
  if (!g) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
  g->LoadFromFile(FileName);
  TakeGraphic(g.release());
}

void TPicture::SaveToFile(const std::string& FileName) {
  if (!FGraphic) throw EInvalidGraphicOperation("Cannot save an empty picture");
  FGraphic->SaveToFile(FileName);
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    SetGraphic(nullptr);
  } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
    SetGraphic(p->Graphic());
  } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(g);
  } else {
    TPersistent::Assign(Source);
  }
}

void TPicture::AssignTo(TPersistent* Dest) {
  if (FGraphic && dynamic_cast<TGraphic*>(Dest)) {
    Dest->Assign(FGraphic.get());
    return;
  }
  TPersistent::AssignTo(Dest);
}
