#include "chart/engine/chart_pens.h"

#include <cmath>
#include <numbers>

#include "platform/controls.h"
#include "platform/guards.h"
#include "platform/picture.h"

const TEnumInfo PenEndStyleInfo("TPenEndStyle", {"esRound", "esSquare", "esFlat"});

// ---------------------------------------------------------------------------------------------
// Pens

VM_PUBLISH(TChartPen) {
  P.Enum("EndStyle", &TChartPen::EndStyle, &TChartPen::SetEndStyle, PenEndStyleInfo).Stored([](TObject* o) {
    auto* p = static_cast<TChartPen*>(o);
    return p->EndStyle() != p->DefaultEndStyle;
  });
  P.Bool("SmallDots", &TChartPen::SmallDots, &TChartPen::SetSmallDots).Default(false);
  P.Int("SmallSpace", &TChartPen::SmallSpace, &TChartPen::SetSmallSpace).Default(0);
  P.Bool("Visible", &TChartPen::Visible, &TChartPen::SetVisible).Stored([](TObject* o) {
    auto* p = static_cast<TChartPen*>(o);
    return p->Visible() != p->DefaultVisible;
  });
}

TChartPen::TChartPen(const TNotifyEvent& OnChangeEvent) { OnChange = OnChangeEvent; }

void TChartPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TChartPen*>(Source)) {
    FVisible = p->FVisible;
    FSmallDots = p->FSmallDots;
    FSmallSpace = p->FSmallSpace;
    FEndStyle = p->FEndStyle;
  }
  TPen::Assign(Source);
}

void TChartPen::SetEndStyle(TPenEndStyle Value) {
  if (FEndStyle != Value) {
    FEndStyle = Value;
    Changed();
  }
}

void TChartPen::SetSmallDots(bool Value) {
  if (FSmallDots != Value) {
    FSmallDots = Value;
    Changed();
  }
}

void TChartPen::SetSmallSpace(int32_t Value) {
  if (FSmallSpace != Value) {
    FSmallSpace = Value;
    Changed();
  }
}

void TChartPen::SetVisible(bool Value) {
  if (FVisible != Value) {
    FVisible = Value;
    Changed();
  }
}

VM_DEFINE_CLASS(TChartHiddenPen)

TChartHiddenPen::TChartHiddenPen(const TNotifyEvent& OnChangeEvent) : TChartPen(nullptr) {
  SetVisible(false);
  DefaultVisible = false;
  OnChange = OnChangeEvent;
}

VM_PUBLISH(TDottedGrayPen) {
  P.Int("Color", &TPen::Color, &TPen::SetColor).Default(clGray).Idents(ColorIdents);
  P.Enum("Style", &TPen::Style, &TPen::SetStyle, PenStyleInfo).Default(psDot);
}

TDottedGrayPen::TDottedGrayPen(const TNotifyEvent& OnChangeEvent) : TChartPen(nullptr) {
  SetColor(clGray);
  SetStyle(psDot);
  OnChange = OnChangeEvent;
}

VM_PUBLISH(TDarkGrayPen) { P.Int("Color", &TPen::Color, &TPen::SetColor).Default(clGray).Idents(ColorIdents); }

TDarkGrayPen::TDarkGrayPen(const TNotifyEvent& OnChangeEvent) : TChartPen(nullptr) {
  SetColor(clGray);
  OnChange = OnChangeEvent;
}

VM_PUBLISH(TWhitePen) { P.Int("Color", &TPen::Color, &TPen::SetColor).Default(clWhite).Idents(ColorIdents); }

TWhitePen::TWhitePen(const TNotifyEvent& OnChangeEvent) : TChartPen(nullptr) {
  SetColor(clWhite);
  OnChange = OnChangeEvent;
}

// ---------------------------------------------------------------------------------------------
// Brush

VM_PUBLISH(TChartBrush) {
  P.Int("Color", &TBrush::Color, &TBrush::SetColor).Default(clDefault).Idents(ColorIdents);
  P.Object("Image", &TChartBrush::Image, &TChartBrush::SetImage).Stored([](TObject* o) {
    return static_cast<TChartBrush*>(o)->HasImageGraphic();
  });
}

TChartBrush::TChartBrush(const TNotifyEvent& OnChangeEvent) {
  SetColor(clDefault);
  OnChange = OnChangeEvent;
}

TChartBrush::~TChartBrush() = default;

void TChartBrush::ImageChanged(TObject*) { Changed(); }

TPicture* TChartBrush::Image() {
  if (!FImage) {
    FImage = std::make_unique<TPicture>();
    FImage->OnChange = [this](TObject* Sender) { ImageChanged(Sender); };
  }
  return FImage.get();
}

void TChartBrush::SetImage(TPicture* Value) {
  if (!Value) {
    FImage.reset();
  } else {
    Image()->Assign(Value);
  }
  Changed();
}

bool TChartBrush::HasImageGraphic() const { return FImage && FImage->Graphic() && !FImage->Graphic()->Empty(); }

void TChartBrush::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TChartBrush*>(Source)) SetImage(b->FImage.get());
  TBrush::Assign(Source);
}

// ---------------------------------------------------------------------------------------------
// View options

VM_PUBLISH(TView3DOptions) {
  P.Int("Elevation", &TView3DOptions::Elevation, &TView3DOptions::SetElevation).Default(345);
  P.Int("FontZoom", &TView3DOptions::FontZoom, &TView3DOptions::SetFontZoom).Default(100);
  P.Int("HorizOffset", &TView3DOptions::HorizOffset, &TView3DOptions::SetHorizOffset).Default(0);
  P.Int("OrthoAngle", &TView3DOptions::OrthoAngle, &TView3DOptions::SetOrthoAngle).Default(45);
  P.Bool("Orthogonal", &TView3DOptions::Orthogonal, &TView3DOptions::SetOrthogonal).Default(true);
  P.Int("Perspective", &TView3DOptions::Perspective, &TView3DOptions::SetPerspective).Default(15);
  P.Int("Rotation", &TView3DOptions::Rotation, &TView3DOptions::SetRotation).Default(345);
  P.Int("Tilt", &TView3DOptions::Tilt, &TView3DOptions::SetTilt).Default(0);
  P.Int("VertOffset", &TView3DOptions::VertOffset, &TView3DOptions::SetVertOffset).Default(0);
  P.Int("Zoom", &TView3DOptions::Zoom, &TView3DOptions::SetZoom).Default(100);
  P.Bool("ZoomText", &TView3DOptions::ZoomText, &TView3DOptions::SetZoomText).Default(true);
}

TView3DOptions::TView3DOptions(TControl* Panel) : FParent(Panel) {}

void TView3DOptions::Repaint() {
  if (FParent) FParent->Invalidate();
}

void TView3DOptions::SetElevation(int32_t Value) {
  if (StoreChanged(FElevation, Value)) Repaint();
}
void TView3DOptions::SetFontZoom(int32_t Value) {
  if (StoreChanged(FFontZoom, Value)) Repaint();
}
void TView3DOptions::SetOrthoAngle(int32_t Value) {
  if (StoreChanged(FOrthoAngle, Value)) Repaint();
}
void TView3DOptions::SetOrthogonal(bool Value) {
  if (StoreChanged(FOrthogonal, Value)) Repaint();
}
void TView3DOptions::SetPerspective(int32_t Value) {
  if (StoreChanged(FPerspective, Value)) Repaint();
}
void TView3DOptions::SetRotation(int32_t Value) {
  if (StoreChanged(FRotation, Value)) Repaint();
}
void TView3DOptions::SetTilt(int32_t Value) {
  if (StoreChanged(FTilt, Value)) Repaint();
}
void TView3DOptions::SetZoomText(bool Value) {
  if (StoreChanged(FZoomText, Value)) Repaint();
}

void TView3DOptions::SetHorizOffset(int32_t Value) {
  if (FHorizOffset != Value) {
    FHorizOffset = Value;
    Repaint();
    if (OnScrolled) OnScrolled(true);
  }
}

void TView3DOptions::SetVertOffset(int32_t Value) {
  if (FVertOffset != Value) {
    FVertOffset = Value;
    Repaint();
    if (OnScrolled) OnScrolled(false);
  }
}

void TView3DOptions::SetZoom(int32_t Value) {
  if (FZoom != Value) {
    if (OnZoomed) OnZoomed(Value);
    FZoom = Value;
    Repaint();
  }
}

void TView3DOptions::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TView3DOptions*>(Source);
  if (!s) return;
  FElevation = s->FElevation;
  FFontZoom = s->FFontZoom;
  FHorizOffset = s->FHorizOffset;
  FOrthoAngle = s->FOrthoAngle;
  FOrthogonal = s->FOrthogonal;
  FPerspective = s->FPerspective;
  FRotation = s->FRotation;
  FTilt = s->FTilt;
  FVertOffset = s->FVertOffset;
  FZoom = s->FZoom;
  FZoomText = s->FZoomText;
}

double TView3DOptions::CalcOrthoRatio() const {
  if (!FOrthogonal) return 1;
  const int angle = FOrthoAngle > 90 ? 180 - FOrthoAngle : FOrthoAngle;
  const double a = angle * std::numbers::pi / 180.0;
  // Straight up the tangent has no finite value; the projection then recedes at 1 as well.
  if (std::cos(a) < 0.01) return 1;
  return std::tan(a);
}

std::unique_ptr<TPen> CreateDottedPen(TColor Color, int32_t Spacing) {
  auto pen = std::make_unique<TPen>();
  pen->SetWidth(1);
  pen->SetColor(Color);
  if (Spacing <= 0) {
    pen->SetStyle(psAlternate);
  } else {
    pen->SetUserStyle({0, static_cast<uint32_t>(Spacing) + 1});
    pen->SetEndCap(pecRound);
    pen->SetStyle(psUserStyle);
  }
  return pen;
}
