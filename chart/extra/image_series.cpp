#include "chart/extra/image_series.h"

#include <algorithm>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_geometry.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/value_lists.h"
#include "platform/bitmap.h"

const TEnumInfo DeltaImageStyleInfo("TDeltaImageStyle", {"disSmiles", "disHands"});

VM_PUBLISH(TImageBarSeries) {
  P.Object("Image", &TImageBarSeries::Image, &TImageBarSeries::SetImage);
  P.Bool("ImageTiled", &TImageBarSeries::ImageTiled, &TImageBarSeries::SetImageTiled).Default(false);
}
VM_DEFINE_CLASS(TCustomImagePointSeries)
VM_PUBLISH(TImagePointSeries) {
  using S = TImagePointSeries;
  P.Object("ImagePoint", &S::ImagePoint, &S::SetImagePoint);
  P.Bool("ImageTransparent", &S::ImageTransparent, &S::SetImageTransparent).Default(true);
  P.Event("OnGetImage", &S::OnGetImage);
}
VM_PUBLISH(TDeltaPointSeries) {
  using S = TDeltaPointSeries;
  P.Object("EqualImage", &S::EqualImage, &S::SetEqualImage);
  P.Object("GreaterImage", &S::GreaterImage, &S::SetGreaterImage);
  P.Enum("ImageStyle", &S::ImageStyle, &S::SetImageStyle, DeltaImageStyleInfo).Default(disSmiles);
  P.Bool("ImageTransparent", &S::ImageTransparent, &S::SetImageTransparent).Default(false);
  P.Object("LowerImage", &S::LowerImage, &S::SetLowerImage);
  P.Event("OnGetImage", &S::OnGetImage);
}

// =============================================================================================
// The pictures

namespace {
void Register(const char* Name, int W, int H, TColor Back, const std::function<void(TCanvas*)>& Paint) {
  TBitmap b(W, H, pf24bit);
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(Back);
  c->FillRect(TRect(0, 0, W, H));
  Paint(c);
  b.SetPixelFormat(pf4bit);
  RegisterBitmapResource(Name, &b);
}

void Face(TCanvas* C, TColor Colour, int Mouth) {
  C->Pen()->SetColor(clBlack);
  C->Brush()->SetColor(Colour);
  C->Ellipse(1, 1, 15, 15);
  C->SetPixels(5, 5, clBlack);
  C->SetPixels(10, 5, clBlack);
  C->MoveTo(4, 10 - Mouth);
  C->LineTo(8, 10 + Mouth);
  C->LineTo(12, 10 - Mouth);
}

void Hand(TCanvas* C, std::initializer_list<TPoint> Shape) {
  C->Pen()->SetColor(clYellow);
  C->Brush()->SetColor(clYellow);
  C->Polygon(std::vector<TPoint>(Shape));
}
}  // namespace

void RegisterImageSeriesBitmaps() {
  static bool done = false;
  if (done) return;
  done = true;
  Register("GraphMoney", 100, 88, clWhite, [](TCanvas* c) {
    c->Pen()->SetColor(clGreen);
    c->Brush()->SetColor(clGreen);
    c->Ellipse(10, 20, 90, 86);
    c->Polygon(std::vector<TPoint>{TPoint(38, 22), TPoint(50, 4), TPoint(62, 22)});
    c->Brush()->SetColor(clGreen);
    c->Font()->SetColor(clWhite);
    c->Font()->SetSize(28);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(38, 30, "$");
  });
  Register("GraphDefaultImage", 8, 8, clWhite, [](TCanvas* c) {
    c->Pen()->SetColor(clBlue);
    c->Brush()->SetColor(clBlue);
    c->Ellipse(0, 0, 8, 8);
  });
  Register("GraphEqualSmile", 16, 16, clBlack, [](TCanvas* c) { Face(c, clYellow, 0); });
  Register("GraphGreaterSmile", 16, 16, clBlack, [](TCanvas* c) { Face(c, clLime, 2); });
  Register("GraphLowerSmile", 16, 16, clBlack, [](TCanvas* c) { Face(c, clRed, -2); });
  Register("GraphEqualHand", 16, 16, clBlack, [](TCanvas* c) {
    Hand(c, {TPoint(1, 5), TPoint(9, 5), TPoint(9, 1), TPoint(15, 8), TPoint(9, 15), TPoint(9, 11), TPoint(1, 11)});
  });
  Register("GraphGreaterHand", 16, 16, clBlack, [](TCanvas* c) {
    Hand(c, {TPoint(5, 15), TPoint(5, 7), TPoint(1, 7), TPoint(8, 1), TPoint(15, 7), TPoint(11, 7), TPoint(11, 15)});
  });
  Register("GraphLowerHand", 16, 16, clBlack, [](TCanvas* c) {
    Hand(c, {TPoint(5, 1), TPoint(5, 9), TPoint(1, 9), TPoint(8, 15), TPoint(15, 9), TPoint(11, 9), TPoint(11, 1)});
  });
}

namespace {
void LoadPicture(TPicture* Picture, const char* Name) {
  RegisterImageSeriesBitmaps();
  LoadBitmapResource(Picture->Bitmap(), Name, "");
}
}  // namespace

// =============================================================================================
// Image bar

TImageBarSeries::TImageBarSeries(TComponent* AOwner) : TBarSeries(AOwner) {
  FImage = std::make_unique<TPicture>();
  LoadPicture(FImage.get(), "GraphMoney");
  FImage->OnChange = [this](TObject*) { Repaint(); };
}

TImageBarSeries::~TImageBarSeries() = default;

void TImageBarSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TImageBarSeries*>(Source)) {
    FImage->Assign(s->FImage.get());
    FImageTiled = s->FImageTiled;
  }
  TBarSeries::Assign(Source);
}

void TImageBarSeries::DrawTiled(const TRect& R, bool Downward) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  TGraphic* g = FImage->Graphic();
  const int w = g->Width(), h = g->Height();
  if (w <= 0 || h <= 0) return;
  c->ClipRectangle(R);
  if (Downward) {
    for (int y = R.Top; y < R.Bottom; y += h)
      for (int x = R.Left; x < R.Right; x += w) c->Draw(x, y, g);
  } else {
    for (int y = R.Bottom - h; y + h > R.Top; y -= h)
      for (int x = R.Left; x < R.Right; x += w) c->Draw(x, y, g);
  }
  c->UnClipRectangle();
}

void TImageBarSeries::DrawBar(int32_t ValueIndex, int StartPos, int EndPos) {
  TBarSeries::DrawBar(ValueIndex, StartPos, EndPos);
  TGraphic* g = FImage->Graphic();
  if (!g || g->Width() <= 0) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  const bool is3D = series_link::View3D(FParentChart);
  const bool rotated = is3D && !FParentChart->View3DOptions()->Orthogonal();
  TRect r(BarBounds().Left, std::min(StartPos, EndPos), BarBounds().Right, std::max(StartPos, EndPos));
  if (!Vertical())
    r = TRect(std::min(StartPos, EndPos), BarBounds().Top, std::max(StartPos, EndPos), BarBounds().Bottom);
  if (BarPen()->Visible()) {
    const int pw = BarPen()->Width();
    const int inset = pw > 1 && pw % 2 == 0 ? pw - 1 : pw;
    r.Left += inset;
    r.Top += inset;
    if (!is3D) {
      --r.Right;
      --r.Bottom;
    }
  }
  // The bar points downward when its value lies below where it starts.
  const bool downward = Vertical() && ValueToScreenY(MainValueAt(ValueIndex)) > OriginPos(ValueIndex);
  if (rotated) {
    const TQuadPoints q = c->ProjectRectCorners(r, StartZ);
    const TPoint tri[3] = {q[0], q[1], q[2]};
    if (!IsClockwiseTriangle(tri)) return;  // the bar's back face
    if (FImageTiled)
      DrawTiled(c->ProjectRect(r, StartZ), downward);
    else
      c->StretchDrawPlane(r, g, StartZ);
    return;
  }
  if (is3D) r = c->ProjectRect(r, StartZ);
  if (FImageTiled)
    DrawTiled(r, downward);
  else
    c->StretchDraw(r, g);
}

void TImageBarSeries::MakeGalleryThumbnail(bool Coloured) {
  TBarSeries::MakeGalleryThumbnail(Coloured);
  FillSampleValues(2);
  if (FParentChart) FParentChart->View3DOptions()->SetOrthogonal(true);
}

// =============================================================================================
// Image points

TCustomImagePointSeries::TCustomImagePointSeries(TComponent* AOwner) : TPointSeries(AOwner) {
  FImagePoint = std::make_unique<TPicture>();
  FImagePoint->OnChange = [this](TObject*) {
    if (!FDrawing) Repaint();
  };
}

TCustomImagePointSeries::~TCustomImagePointSeries() = default;

void TCustomImagePointSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TCustomImagePointSeries*>(Source)) {
    FImagePoint->Assign(s->FImagePoint.get());
    FImageTransparent = s->FImageTransparent;
  }
  TPointSeries::Assign(Source);
}

void TCustomImagePointSeries::DrawOneValue(int32_t ValueIndex) {
  TGraphic* g = FImagePoint->Graphic();
  if (!g || g->Width() <= 0) {
    TPointSeries::DrawOneValue(ValueIndex);
    return;
  }
  if (OnGetImage) {
    FDrawing = true;
    try {
      OnGetImage(this, ValueIndex, FImagePoint.get());
    } catch (...) {
      FDrawing = false;
      throw;
    }
    FDrawing = false;
    g = FImagePoint->Graphic();
    if (!g) return;
  }
  const int x = ScreenXAt(ValueIndex), y = ScreenYAt(ValueIndex);
  const int w = Pointer()->HorizSize(), h = Pointer()->VertSize();
  TRect r(x - w / 2, y - h / 2, x - w / 2 + w, y - h / 2 + h);
  g->SetTransparent(FImageTransparent);
  TGraphCanvas3D* c = FParentChart->Canvas;
  r = c->ProjectRect(r, StartZ);
  if (g->Width() == r.Right - r.Left && g->Height() == r.Bottom - r.Top)
    c->Draw(r.Left, r.Top, g);
  else
    c->StretchDraw(r, g);
}

void TCustomImagePointSeries::MakeGalleryThumbnail(bool Coloured) {
  TPointSeries::MakeGalleryThumbnail(Coloured);
  if (FParentChart) FParentChart->View3DOptions()->SetOrthogonal(true);
}

TImagePointSeries::TImagePointSeries(TComponent* AOwner) : TCustomImagePointSeries(AOwner) {
  FDrawing = true;
  LoadPicture(FImagePoint.get(), "GraphDefaultImage");
  FDrawing = false;
  FImageTransparent = true;
  Pointer()->AssignHorizSize(FImagePoint->Width());
  Pointer()->AssignVertSize(FImagePoint->Height());
}

TImagePointSeries* TImagePointSeries::CreateWithImage(TComponent* AOwner, TPicture* Picture) {
  auto* s = new TImagePointSeries(AOwner);
  s->SetImagePoint(Picture);
  return s;
}

void TImagePointSeries::SetImagePoint(TPicture* V) {
  FImagePoint->Assign(V);
  if (FImagePoint->Width() > 0) Pointer()->SetHorizSize(FImagePoint->Width());
  if (FImagePoint->Height() > 0) Pointer()->SetVertSize(FImagePoint->Height());
}

TDeltaPointSeries::TDeltaPointSeries(TComponent* AOwner) : TCustomImagePointSeries(AOwner) {
  const TNotifyEvent changed = [this](TObject*) {
    if (!FDrawing) Repaint();
  };
  FEqual = std::make_unique<TPicture>();
  FGreater = std::make_unique<TPicture>();
  FLower = std::make_unique<TPicture>();
  FImageStyle = disHands;  // so that the first style loads
  SetImageStyle(disSmiles);
  for (TPicture* p : {FEqual.get(), FGreater.get(), FLower.get()}) p->OnChange = changed;
}

TDeltaPointSeries::~TDeltaPointSeries() = default;

void TDeltaPointSeries::SetImageStyle(TDeltaImageStyle V) {
  FImageStyle = V;
  const bool smiles = V == disSmiles;
  LoadPicture(FEqual.get(), smiles ? "GraphEqualSmile" : "GraphEqualHand");
  LoadPicture(FGreater.get(), smiles ? "GraphGreaterSmile" : "GraphGreaterHand");
  LoadPicture(FLower.get(), smiles ? "GraphLowerSmile" : "GraphLowerHand");
  Repaint();
}

TPicture* TDeltaPointSeries::PictureFor(int32_t ValueIndex) const {
  if (ValueIndex == 0) return FEqual.get();
  const double v = MandatoryList->Value(ValueIndex), before = MandatoryList->Value(ValueIndex - 1);
  return v > before ? FGreater.get() : v < before ? FLower.get() : FEqual.get();
}

void TDeltaPointSeries::DrawOneValue(int32_t ValueIndex) {
  TPicture* p = PictureFor(ValueIndex);
  FDrawing = true;
  FImagePoint->Assign(p);
  FDrawing = false;
  if (p->Width() > 0) Pointer()->AssignHorizSize(p->Width());
  if (p->Height() > 0) Pointer()->AssignVertSize(p->Height());
  TCustomImagePointSeries::DrawOneValue(ValueIndex);
}

// =============================================================================================

void RegisterImageSeries() {
  RegisterImageSeriesBitmaps();
  RegisterSeriesType(TImageBarSeries::StaticClass(), &MsgGalleryImageBar, &MsgGalleryPageOther, 1);
  RegisterSeriesType(TImagePointSeries::StaticClass(), &MsgGalleryImagePoint, &MsgGalleryPageOther, 1);
  RegisterSeriesType(TDeltaPointSeries::StaticClass(), &MsgGalleryDeltaPoint, &MsgGalleryPageOther, 1);
}

void UnregisterImageSeries() {
  UnregisterSeriesTypes(
      {TImageBarSeries::StaticClass(), TImagePointSeries::StaticClass(), TDeltaPointSeries::StaticClass()});
}
