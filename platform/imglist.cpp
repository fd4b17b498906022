#include "platform/imglist.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/exceptions.h"
#include "platform/qt_graphics.h"

VM_PUBLISH(TImageList) {
  P.Int("Width", &TImageList::Width, &TImageList::SetWidth).Default(16);
  P.Int("Height", &TImageList::Height, &TImageList::SetHeight).Default(16);
  P.Event("OnChange", &TImageList::OnChange);
}

namespace {
struct ImgListRegistrar {
  ImgListRegistrar() { RegisterClass(TImageList::StaticClass()); }
} gImgListRegistrar;
}  // namespace

struct TImageList::Impl {
  std::vector<QImage> Images;  // ARGB32, Width x Height, transparent where masked
};

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner), FImpl(std::make_unique<Impl>()) {}
TImageList::~TImageList() {
  for (TChangeLink* l : FLinks) l->FSender = nullptr;
}

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(FSender);
}

void TImageList::RegisterChanges(TChangeLink* Value) {
  if (!Value || Value->FSender == this) return;
  if (Value->FSender) Value->FSender->UnRegisterChanges(Value);
  Value->FSender = this;
  FLinks.push_back(Value);
}

void TImageList::UnRegisterChanges(TChangeLink* Value) {
  if (!Value || Value->FSender != this) return;
  FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), Value), FLinks.end());
  Value->FSender = nullptr;
}

int TImageList::Count() const { return static_cast<int>(FImpl->Images.size()); }

void TImageList::SetWidth(int32_t Value) {
  Value = std::max(1, Value);
  if (Value == FWidth) return;
  FWidth = Value;
  SizeChanged();
}

void TImageList::SetHeight(int32_t Value) {
  Value = std::max(1, Value);
  if (Value == FHeight) return;
  FHeight = Value;
  SizeChanged();
}

// The pictures go; a new size is a change even of an empty list (its users measure by it).
void TImageList::SizeChanged() {
  if (Count() > 0)
    Clear();
  else
    Change();
}

void TImageList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation("Invalid image list index");
}

void TImageList::Change() {
  if (OnChange) OnChange(this);
  for (TChangeLink* l : std::vector<TChangeLink*>(FLinks))
    if (std::find(FLinks.begin(), FLinks.end(), l) != FLinks.end()) l->Change();
}

namespace {

// The pieces of an image, Width x Height each, with Transparent(x, y) deciding per pixel.
template <class F>
std::vector<QImage> Cut(const QImage& Src, int W, int H, F Transparent) {
  std::vector<QImage> r;
  int pieces = std::max(1, Src.width() / W);
  for (int k = 0; k < pieces; ++k) {
    QImage piece(W, H, QImage::Format_ARGB32);
    piece.fill(Qt::transparent);
    for (int y = 0; y < std::min(H, Src.height()); ++y)
      for (int x = 0; x < W && k * W + x < Src.width(); ++x) {
        int sx = k * W + x;
        if (!Transparent(sx, y)) piece.setPixel(x, y, Src.pixel(sx, y) | 0xFF000000u);
      }
    r.push_back(piece);
  }
  return r;
}

}  // namespace

int TImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image || Image->Empty()) return -1;
  QImage src = vmqt::BitmapImage(Image).convertToFormat(QImage::Format_RGB32);
  QImage mask;
  if (Mask && !Mask->Empty()) mask = vmqt::BitmapImage(Mask).convertToFormat(QImage::Format_RGB32);
  auto pieces = Cut(src, FWidth, FHeight, [&](int x, int y) {
    // White mask pixels are transparent; outside the mask everything shows.
    return !mask.isNull() && x < mask.width() && y < mask.height() && qGray(mask.pixel(x, y)) >= 128;
  });
  int first = Count();
  for (auto& p : pieces) FImpl->Images.push_back(std::move(p));
  Change();
  return first;
}

int TImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image || Image->Empty()) return -1;
  QImage src = vmqt::BitmapImage(Image).convertToFormat(QImage::Format_RGB32);
  QRgb key = vmqt::ToQRgb(ColorToRGB(MaskColor)) & 0xFFFFFFu;
  auto pieces = Cut(src, FWidth, FHeight, [&](int x, int y) { return (src.pixel(x, y) & 0xFFFFFFu) == key; });
  int first = Count();
  for (auto& p : pieces) FImpl->Images.push_back(std::move(p));
  Change();
  return first;
}

void TImageList::Delete(int Index) {
  CheckIndex(Index);
  FImpl->Images.erase(FImpl->Images.begin() + Index);
  Change();
}

void TImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
  CheckIndex(Index);
  TImageList tmp(nullptr);
  tmp.FWidth = FWidth;
  tmp.FHeight = FHeight;
  if (tmp.Add(Image, Mask) < 0) return;
  FImpl->Images[Index] = tmp.FImpl->Images.front();
  Change();
}

void TImageList::Clear() {
  if (FImpl->Images.empty()) return;
  FImpl->Images.clear();
  Change();
}

void TImageList::Draw(TCanvas* Canvas, int32_t X, int32_t Y, int Index, bool Enabled) {
  CheckIndex(Index);
  QPainter* p = vmqt::CanvasPainter(Canvas);
  if (!p) return;
  QImage img = FImpl->Images[Index];
  if (!Enabled) {
    // Grayed: the image's lightness, washed halfway to white.
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        QRgb c = img.pixel(x, y);
        if (qAlpha(c) == 0) continue;
        int g = (qGray(c) + 255) / 2;
        img.setPixel(x, y, qRgba(g, g, g, qAlpha(c)));
      }
  }
  auto mode = p->compositionMode();
  p->setCompositionMode(QPainter::CompositionMode_SourceOver);
  p->drawImage(X, Y, img);
  p->setCompositionMode(mode);
}

void TImageList::GetBitmap(int Index, TBitmap* Image) {
  CheckIndex(Index);
  if (!Image) return;
  QImage out(FWidth, FHeight, QImage::Format_RGB32);
  out.fill(vmqt::ToQColor(Image->Canvas()->Brush()->Color()));
  {
    QPainter p(&out);
    p.drawImage(0, 0, FImpl->Images[Index]);
  }
  vmqt::SetBitmapImage(Image, out);
}
