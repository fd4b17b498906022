#include "platform/metafile.h"

#include <QBuffer>
#include <QPicture>

#include <cmath>
#include <cstring>

#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/qt_graphics.h"
#include "platform/qt_metafile.h"
#include "platform/streams.h"

VM_DEFINE_CLASS(TMetafile)
VM_DEFINE_CLASS(TMetafileCanvas)

namespace {
constexpr char kMagic[4] = {'V', 'M', 'M', 'F'};
constexpr double kMMPerPixel = 25.4 / 96.0;
}  // namespace

struct TMetafile::Impl {
  QPicture Pic;
  bool HasPicture = false;
  int32_t W = 0, H = 0;
  vmqt::TCurveCalls Curves;  // the curves among Pic's paths
};

TMetafile::TMetafile() : FImpl(std::make_unique<Impl>()) {}
TMetafile::~TMetafile() = default;

bool TMetafile::Empty() const { return !FImpl->HasPicture; }
int32_t TMetafile::Width() const { return FImpl->W; }
int32_t TMetafile::Height() const { return FImpl->H; }
void TMetafile::SetWidth(int32_t Value) {
  if (FImpl->W != Value) {
    FImpl->W = std::max(0, Value);
    Changed(this);
  }
}
void TMetafile::SetHeight(int32_t Value) {
  if (FImpl->H != Value) {
    FImpl->H = std::max(0, Value);
    Changed(this);
  }
}
int32_t TMetafile::MMWidth() const { return static_cast<int32_t>(std::lround(FImpl->W * kMMPerPixel * 100)); }
int32_t TMetafile::MMHeight() const { return static_cast<int32_t>(std::lround(FImpl->H * kMMPerPixel * 100)); }
void TMetafile::SetMMWidth(int32_t Value) { SetWidth(static_cast<int32_t>(std::lround(Value / 100.0 / kMMPerPixel))); }
void TMetafile::SetMMHeight(int32_t Value) {
  SetHeight(static_cast<int32_t>(std::lround(Value / 100.0 / kMMPerPixel)));
}

void TMetafile::Clear() {
  FImpl->Pic = QPicture();
  FImpl->Curves.clear();
  FImpl->HasPicture = false;
  FImpl->W = FImpl->H = 0;
  Changed(this);
}

void TMetafile::Assign(TPersistent* Source) {
  if (!Source) {
    Clear();
    return;
  }
  if (auto* m = dynamic_cast<TMetafile*>(Source)) {
    if (m == this) return;
    *FImpl = *m->FImpl;
    FEnhanced = m->FEnhanced;
    FCreatedBy = m->FCreatedBy;
    FDescription = m->FDescription;
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

void TMetafile::AssignTo(TPersistent* Dest) {
  if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
    b->SetSize(Width(), Height());
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clWhite);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(Rect(0, 0, Width(), Height()));
    c->Draw(0, 0, this);
    return;
  }
  TGraphic::AssignTo(Dest);
}

TGraphic* TMetafile::Clone() const {
  auto* m = new TMetafile();
  m->Assign(const_cast<TMetafile*>(this));
  return m;
}

void TMetafile::WriteData(TStream& Stream) {
  QByteArray data;
  if (FImpl->HasPicture) data = QByteArray(FImpl->Pic.data(), FImpl->Pic.size());
  std::string s(kMagic, 4);
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  put32(1);
  put32(static_cast<uint32_t>(FImpl->W));
  put32(static_cast<uint32_t>(FImpl->H));
  put32(FEnhanced ? 1 : 0);
  put32(static_cast<uint32_t>(data.size()));
  s.append(data.constData(), data.size());
  Stream.WriteBuffer(s.data(), static_cast<int64_t>(s.size()));
}

void TMetafile::SaveToStream(TStream& Stream) {
  const QPicture* pic = FImpl->HasPicture ? &FImpl->Pic : nullptr;
  std::string s = FEnhanced
                      ? vmqt::EncodeEnhancedMetafile(pic, FImpl->W, FImpl->H, FCreatedBy, FDescription, FImpl->Curves)
                      : vmqt::EncodeWindowsMetafile(pic, FImpl->W, FImpl->H, FImpl->Curves);
  Stream.WriteBuffer(s.data(), static_cast<int64_t>(s.size()));
}

void TMetafile::LoadFromStream(TStream& Stream) {
  std::string s = Stream.ReadAll();
  if (vmqt::GdiMetafileKind(s) != vmqt::TGdiMetafileKind::None) {
    vmqt::TGdiMetafile m = vmqt::DecodeGdiMetafile(s);
    FImpl->Pic = m.Pic;
    FImpl->Curves = std::move(m.Curves);
    FImpl->HasPicture = m.Drawn;
    FImpl->W = m.W;
    FImpl->H = m.H;
    FEnhanced = m.Enhanced;
    Changed(this);
    return;
  }
  auto get32 = [&](size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(s[at + i])) << (8 * i);
    return v;
  };
  if (s.size() < 24 || std::memcmp(s.data(), kMagic, 4) != 0 || get32(4) != 1)
    throw EInvalidGraphic("Metafile is not valid");
  uint32_t n = get32(20);
  if (s.size() < 24 + static_cast<size_t>(n)) throw EInvalidGraphic("Metafile is not valid");
  QPicture pic;
  if (n > 0) {
    pic.setData(s.data() + 24, n);
    if (pic.isNull()) throw EInvalidGraphic("Metafile is not valid");
  }
  FImpl->Pic = pic;
  FImpl->Curves.clear();
  FImpl->HasPicture = n > 0;
  FImpl->W = static_cast<int32_t>(get32(8));
  FImpl->H = static_cast<int32_t>(get32(12));
  FEnhanced = get32(16) != 0;
  Changed(this);
}

void TMetafile::Draw(TCanvas* ACanvas, const TRect& Rect) {
  QPainter* p = vmqt::CanvasPainter(ACanvas);
  if (!p || !FImpl->HasPicture) return;
  if (FImpl->W > 0 && FImpl->H > 0) {
    // Squeezed a thousand times more one way than the other, a picture shows nothing readable,
    // and its text would become glyphs of no height, which the toolkit's glyph cache cannot take.
    const double sx = std::abs(static_cast<double>(Rect.Width())) / FImpl->W;
    const double sy = std::abs(static_cast<double>(Rect.Height())) / FImpl->H;
    constexpr double kMostSqueeze = 1000;
    if (!(sx <= sy * kMostSqueeze && sy <= sx * kMostSqueeze)) return;
  }
  p->save();
  p->setCompositionMode(QPainter::CompositionMode_SourceOver);
  // The picture brings its own text backgrounds: the canvas' opaque mode would box every text.
  p->setBackgroundMode(Qt::TransparentMode);
  p->translate(Rect.Left, Rect.Top);
  if (FImpl->W > 0 && FImpl->H > 0 && (Rect.Width() != FImpl->W || Rect.Height() != FImpl->H))
    p->scale(static_cast<double>(Rect.Width()) / FImpl->W, static_cast<double>(Rect.Height()) / FImpl->H);
  // Playing a picture scales it by the device's resolution over the picture's own (a printer's
  // page would get it three to six times too large): the rectangle alone decides the size.
  if (QPaintDevice* d = p->device();
      d && d->logicalDpiX() > 0 && d->logicalDpiY() > 0 &&
      (d->logicalDpiX() != FImpl->Pic.logicalDpiX() || d->logicalDpiY() != FImpl->Pic.logicalDpiY()))
    p->scale(static_cast<double>(FImpl->Pic.logicalDpiX()) / d->logicalDpiX(),
             static_cast<double>(FImpl->Pic.logicalDpiY()) / d->logicalDpiY());
  p->drawPicture(0, 0, FImpl->Pic);
  p->restore();
}

// ---------------------------------------------------------------------------------------------

struct TMetafileCanvas::Recorder : public vmqt::TCanvasTarget {
  QPicture Pic;
  bool Used = false;
  int32_t W = 0, H = 0;
  QPaintDevice* Device() override {
    Used = true;
    return &Pic;
  }
  int Technology() override { return DT_METAFILE; }
  void Curve(const vmqt::TCurveCall& C) override { Curves.push_back(C); }
  vmqt::TCurveCalls Curves;
  QSizeF SizeMM() override { return QSizeF(W * kMMPerPixel, H * kMMPerPixel); }
};

TMetafileCanvas::TMetafileCanvas(TMetafile* AMetafile, void* ReferenceDevice)
    : TMetafileCanvas(AMetafile, ReferenceDevice, "", "") {}

TMetafileCanvas::TMetafileCanvas(TMetafile* AMetafile, void*, const std::string& CreatedBy,
                                 const std::string& Description)
    : FMetafile(AMetafile), FRecorder(std::make_unique<Recorder>()) {
  vmqt::EnsureApp();
  FRecorder->W = AMetafile ? AMetafile->Width() : 0;
  FRecorder->H = AMetafile ? AMetafile->Height() : 0;
  if (FRecorder->W > 0 && FRecorder->H > 0) FRecorder->Pic.setBoundingRect(QRect(0, 0, FRecorder->W, FRecorder->H));
  if (AMetafile) {
    AMetafile->FCreatedBy = CreatedBy;
    AMetafile->FDescription = Description;
  }
  vmqt::CanvasSetTarget(this, FRecorder.get());
}

TMetafileCanvas::~TMetafileCanvas() {
  vmqt::CanvasSetTarget(this, nullptr);  // ends the recording painter
  if (!FMetafile) return;
  TMetafile::Impl* m = FMetafile->GetImpl();
  m->Pic = FRecorder->Pic;
  m->Curves = std::move(FRecorder->Curves);
  m->HasPicture = true;
  if (m->W <= 0 || m->H <= 0) {
    QRect b = FRecorder->Pic.boundingRect();
    m->W = std::max(1, b.right() + 1);
    m->H = std::max(1, b.bottom() + 1);
  }
  FMetafile->Changed(FMetafile);
}
