#include "chart/engine/graph_blend.h"

#include <algorithm>

#include "chart/engine/graph_canvas.h"
#include "platform/bitmap.h"
#include "platform/metafile.h"
#include "platform/sysutils.h"

namespace {

// The canvas' off-screen bitmap, when it draws through one.
TBitmap* OffscreenBitmap(TGraphCanvas* Canvas) {
  auto* c3 = dynamic_cast<TGraphCanvas3D*>(Canvas);
  if (c3 && c3->GetBufferedDisplay() && c3->Bitmap() && Canvas->TargetCanvas == c3->Bitmap()->Canvas())
    return c3->Bitmap();
  return nullptr;
}

}  // namespace

TGraphBlend::TGraphBlend(TGraphCanvas* Canvas, const TRect& Rect) : FCanvas(Canvas) { SetRectangle(Rect); }

TGraphBlend::~TGraphBlend() = default;

void TGraphBlend::SetRectangle(const TRect& Rect) {
  TRect r = OrientedRect(Rect);
  r.Left = std::max(0, r.Left);
  r.Top = std::max(0, r.Top);
  if (r.Right <= r.Left) r.Right = r.Left + 1;
  if (r.Bottom <= r.Top) r.Bottom = r.Top + 1;
  // Cut to the drawing area: the off-screen bitmap, whose origin is the top-left corner of the
  // canvas' Bounds, or the Bounds themselves when the canvas draws straight onto its target.
  if (TBitmap* off = OffscreenBitmap(FCanvas)) {
    r.Right = std::min(r.Right, off->Width());
    r.Bottom = std::min(r.Bottom, off->Height());
  } else {
    const TRect& b = FCanvas->Bounds;
    if (b.Right > b.Left && b.Bottom > b.Top) {
      r.Right = std::min(r.Right, b.Right);
      r.Bottom = std::min(r.Bottom, b.Bottom);
    }
  }
  FRect = r;
  FValid = r.Right > r.Left && r.Bottom > r.Top && FCanvas->TargetCanvas;
  FCapture.reset();
  if (!FValid) return;
  const int w = r.Right - r.Left, h = r.Bottom - r.Top;
  FCapture = std::make_unique<TBitmap>(w, h, pf24bit);
  TBitmap* off = OffscreenBitmap(FCanvas);
  TCanvas* source = off ? off->Canvas() : FCanvas->TargetCanvas;
  FCapture->Canvas()->BitBlt(0, 0, w, h, source, r.Left, r.Top, SRCCOPY);
}

void TGraphBlend::DoBlend(int32_t Transparency) {
  if (!FValid || !FCapture) return;
  if (dynamic_cast<TMetafileCanvas*>(FCanvas->TargetCanvas)) return;
  TBitmap* target = OffscreenBitmap(FCanvas);
  std::unique_ptr<TBitmap> temp;
  TPoint pos(FRect.Left, FRect.Top);
  const int w = FRect.Right - FRect.Left, h = FRect.Bottom - FRect.Top;
  if (!target) {
    temp = std::make_unique<TBitmap>(w, h, pf24bit);
    temp->Canvas()->BitBlt(0, 0, w, h, FCanvas->TargetCanvas, FRect.Left, FRect.Top, SRCCOPY);
    target = temp.get();
    pos = TPoint(0, 0);
  }
  BlendBitmaps(FCapture.get(), target, pos, 100 - Transparency);
  if (temp) FCanvas->TargetCanvas->Draw(FRect.Left, FRect.Top, temp.get());
}

void BlendBitmaps(TBitmap* Source, TBitmap* Dest, const TPoint& Position, int32_t P) {
  Source->SetPixelFormat(pf24bit);
  Dest->SetPixelFormat(pf24bit);
  const int px = std::max(0, Position.X), py = std::max(0, Position.Y);
  const int w = std::min(Source->Width(), Dest->Width() - px);
  const int h = std::min(Source->Height(), Dest->Height() - py);
  if (w <= 0 || h <= 0) return;
  const int k = 100 - int(Round(P));
  if (k == 0) return;  // nothing of Source shows: Dest stays exactly as drawn
  for (int y = 0; y < h; ++y) {
    const auto* s = static_cast<const uint8_t*>(Source->ScanLine(y));
    auto* d = static_cast<uint8_t*>(Dest->ScanLine(py + y)) + px * 3;
    for (int x = 0; x < w; ++x, s += 3, d += 3) {
      if (d[0] == 0xFF && d[1] == 0xFF && d[2] == 0xFF) d[2] = 254;
      for (int c = 0; c < 3; ++c) d[c] = uint8_t(d[c] + k * (int(s[c]) - int(d[c])) / 100);
    }
  }
  Dest->SetModified(true);
}
