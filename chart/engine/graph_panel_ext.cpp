#include "chart/engine/graph_panel_ext.h"

#include "platform/bitmap.h"
#include "platform/guards.h"
#include "platform/streaming.h"

const TEnumInfo GraphZoomDirectionInfo("TGraphZoomDirection", {"tzdHorizontal", "tzdVertical", "tzdBoth"});
const TEnumInfo PanningModeInfo("TPanningMode", {"pmNone", "pmHorizontal", "pmVertical", "pmBoth"});
const TEnumInfo GraphBackImageModeInfo("TGraphBackImageMode", {"pbmStretch", "pbmTile", "pbmCenter", "pbmCustom"});

namespace {

const TEnumInfo ShiftStateItemInfo("TShiftStateItem",
                                   {"ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble"});
const TEnumInfo MouseButtonInfo("TMouseButton", {"mbLeft", "mbRight", "mbMiddle"});

}  // namespace

// ---------------------------------------------------------------------------------------------
// Zoom band brush, pen and settings

VM_PUBLISH(TGraphZoomBrush) {
  P.Int("Color", &TBrush::Color, &TBrush::SetColor).Default(clWhite).Idents(ColorIdents);
  P.Enum("Style", &TBrush::Style, &TBrush::SetStyle, BrushStyleInfo).Default(bsClear);
}

TGraphZoomBrush::TGraphZoomBrush(const TNotifyEvent& OnChangeEvent) : TChartBrush(nullptr) {
  SetColor(clWhite);
  SetStyle(bsClear);
  OnChange = OnChangeEvent;
}

VM_PUBLISH(TGraphZoomPen) { P.Int("Color", &TPen::Color, &TPen::SetColor).Default(clWhite).Idents(ColorIdents); }

TGraphZoomPen::TGraphZoomPen(const TNotifyEvent& OnChangeEvent) : TChartPen(nullptr) {
  SetColor(clWhite);
  OnChange = OnChangeEvent;
}

VM_PUBLISH(TGraphZoom) {
  P.Bool("Allow", &TGraphZoom::Allow, &TGraphZoom::SetAllow).Default(true);
  P.Bool("Animated", &TGraphZoom::Animated, &TGraphZoom::SetAnimated).Default(false);
  P.Int("AnimatedSteps", &TGraphZoom::AnimatedSteps, &TGraphZoom::SetAnimatedSteps).Default(8);
  P.Object("Brush", &TGraphZoom::Brush, &TGraphZoom::SetBrush);
  P.Enum("Direction", &TGraphZoom::Direction, &TGraphZoom::SetDirection, GraphZoomDirectionInfo).Default(tzdBoth);
  P.Set("KeyShift", &TGraphZoom::KeyShift, &TGraphZoom::SetKeyShift, ShiftStateItemInfo).Default(TShiftState{});
  P.Int("MinimumPixels", &TGraphZoom::MinimumPixels, &TGraphZoom::SetMinimumPixels).Default(16);
  P.Enum("MouseButton", &TGraphZoom::MouseButton, &TGraphZoom::SetMouseButton, MouseButtonInfo).Default(mbLeft);
  P.Object("Pen", &TGraphZoom::Pen, &TGraphZoom::SetPen);
  P.Bool("UpLeftZooms", &TGraphZoom::UpLeftZooms, &TGraphZoom::SetUpLeftZooms).Default(false);
}

TGraphZoom::TGraphZoom() = default;
TGraphZoom::~TGraphZoom() = default;

TGraphZoomBrush* TGraphZoom::Brush() {
  if (!FBrush) FBrush = std::make_unique<TGraphZoomBrush>();
  return FBrush.get();
}

void TGraphZoom::SetBrush(TGraphZoomBrush* Value) {
  if (!Value)
    FBrush.reset();
  else
    Brush()->Assign(Value);
}

TGraphZoomPen* TGraphZoom::Pen() {
  if (!FPen) FPen = std::make_unique<TGraphZoomPen>();
  return FPen.get();
}

void TGraphZoom::SetPen(TGraphZoomPen* Value) {
  if (!Value)
    FPen.reset();
  else
    Pen()->Assign(Value);
}

void TGraphZoom::Assign(TPersistent* Source) {
  if (auto* z = dynamic_cast<TGraphZoom*>(Source)) {
    FAllow = z->FAllow;
    FAnimated = z->FAnimated;
    FAnimatedSteps = z->FAnimatedSteps;
    SetBrush(z->FBrush.get());
    FDirection = z->FDirection;
    FKeyShift = z->FKeyShift;
    FMouseButton = z->FMouseButton;
    SetPen(z->FPen.get());
  } else {
    TZoomPanning::Assign(Source);
  }
}

// ---------------------------------------------------------------------------------------------
// TBackImage

VM_PUBLISH(TBackImage) {
  P.Bool("Inside", &TBackImage::Inside, &TBackImage::SetInside).Default(false);
  P.Int("Left", &TBackImage::Left, &TBackImage::SetLeft).Default(0);
  P.Enum("Mode", &TBackImage::Mode, &TBackImage::SetMode, GraphBackImageModeInfo).Default(pbmStretch);
  P.Int("Top", &TBackImage::Top, &TBackImage::SetTop).Default(0);
}

void TBackImage::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBackImage*>(Source)) {
    FInside = b->FInside;
    FLeft = b->FLeft;
    FMode = b->FMode;
    FTop = b->FTop;
  }
  TPicture::Assign(Source);
}

void TBackImage::SetInside(bool Value) {
  if (FInside != Value) {
    FInside = Value;
    Changed(this);
  }
}

void TBackImage::SetLeft(int32_t Value) {
  if (FLeft != Value) {
    FLeft = Value;
    Changed(this);
  }
}

void TBackImage::SetTop(int32_t Value) {
  if (FTop != Value) {
    FTop = Value;
    Changed(this);
  }
}

void TBackImage::SetMode(TGraphBackImageMode Value) {
  if (FMode != Value) {
    FMode = Value;
    Changed(this);
  }
}

// ---------------------------------------------------------------------------------------------
// TCustomGraphPanelExtended

VM_PUBLISH(TCustomGraphPanelExtended) {
  P.Enum("AllowPanning", &TCustomGraphPanelExtended::AllowPanning, &TCustomGraphPanelExtended::SetAllowPanning,
         PanningModeInfo)
      .Default(pmBoth);
  P.Object("BackImage", &TCustomGraphPanelExtended::BackImage, &TCustomGraphPanelExtended::SetBackImage)
      .Stored([](TObject* o) { return static_cast<TCustomGraphPanelExtended*>(o)->BackImageOrNull() != nullptr; });
  // The shortcuts read older files; the image object itself stores their values.
  P.Bool("BackImageInside", &TCustomGraphPanelExtended::BackImageInside, &TCustomGraphPanelExtended::SetBackImageInside)
      .Stored(false);
  P.Enum("BackImageMode", &TCustomGraphPanelExtended::BackImageMode, &TCustomGraphPanelExtended::SetBackImageMode,
         GraphBackImageModeInfo)
      .Stored(false);
  P.Bool("BackImageTransp", &TCustomGraphPanelExtended::BackImageTransp, &TCustomGraphPanelExtended::SetBackImageTransp)
      .Default(false);
  P.Object("Gradient", &TCustomGraphPanelExtended::Gradient, &TCustomGraphPanelExtended::SetGradient)
      .Stored([](TObject* o) { return static_cast<TCustomGraphPanelExtended*>(o)->GradientOrNull() != nullptr; });
  P.Object("Zoom", &TCustomGraphPanelExtended::Zoom, &TCustomGraphPanelExtended::SetZoom);
  P.Event("OnAfterDraw", &TCustomGraphPanelExtended::OnAfterDraw);
  P.Event("OnScroll", &TCustomGraphPanelExtended::OnScroll);
  P.Event("OnUndoZoom", &TCustomGraphPanelExtended::OnUndoZoom);
  P.Event("OnZoom", &TCustomGraphPanelExtended::OnZoom);
}

TCustomGraphPanelExtended::TCustomGraphPanelExtended(TComponent* AOwner) : TCustomGraphPanel(AOwner) {
  FAllowPanning = pmBoth;
  FZoom = std::make_unique<TGraphZoom>();
}

TCustomGraphPanelExtended::~TCustomGraphPanelExtended() {
  AutoRepaint = false;
  FZoom.reset();
  FGradient.reset();
  FBackImage.reset();
}

TBackImage* TCustomGraphPanelExtended::BackImage() {
  if (!FBackImage) {
    FBackImage = std::make_unique<TBackImage>();
    FBackImage->OnChange = [this](TObject* Sender) { SettingChanged(Sender); };
  }
  return FBackImage.get();
}

void TCustomGraphPanelExtended::SetBackImage(TBackImage* Value) {
  if (!Value) {
    if (FBackImage) {
      FBackImage.reset();
      Invalidate();
    }
  } else {
    BackImage()->Assign(Value);
  }
}

bool TCustomGraphPanelExtended::HasBackImage() const { return FBackImage && FBackImage->Graphic(); }

bool TCustomGraphPanelExtended::BackImageTransp() const {
  return HasBackImage() && FBackImage->Graphic()->Transparent();
}

void TCustomGraphPanelExtended::SetBackImageTransp(bool Value) {
  if (HasBackImage()) FBackImage->Graphic()->SetTransparent(Value);
}

TGraphGradient* TCustomGraphPanelExtended::Gradient() {
  if (!FGradient) FGradient = std::make_unique<TGraphGradient>([this](TObject* Sender) { SettingChanged(Sender); });
  return FGradient.get();
}

void TCustomGraphPanelExtended::SetGradient(TGraphGradient* Value) {
  if (!Value) {
    if (FGradient) {
      FGradient.reset();
      Invalidate();
    }
  } else {
    Gradient()->Assign(Value);
  }
}

void* TCustomGraphPanelExtended::GetPalette() {
  if (HasBackImage())
    if (auto* b = dynamic_cast<TBitmap*>(FBackImage->Graphic())) return b->Palette();
  return nullptr;
}

void TCustomGraphPanelExtended::UndoZoom() {
  if (OnUndoZoom) OnUndoZoom(this);
  Invalidate();
  Zoomed = false;
}

void TCustomGraphPanelExtended::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TCustomGraphPanelExtended*>(Source)) {
    SetBackImage(p->FBackImage.get());
    SetGradient(p->FGradient.get());
    FAllowPanning = p->FAllowPanning;
    FZoom->Assign(p->FZoom.get());
  }
  TCustomGraphPanel::Assign(Source);
}

void TCustomGraphPanelExtended::DefineProperties(TFiler* Filer) {
  TCustomGraphPanel::DefineProperties(Filer);
  // Zoom settings that older files kept on the panel; never written.
  Filer->DefineProperty(
      "AllowZoom", [this](TReader* R) { FZoom->SetAllow(R->ReadBoolean()); }, nullptr, false);
  Filer->DefineProperty(
      "AnimatedZoom", [this](TReader* R) { FZoom->SetAnimated(R->ReadBoolean()); }, nullptr, false);
  Filer->DefineProperty(
      "AnimatedZoomSteps", [this](TReader* R) { FZoom->SetAnimatedSteps(R->ReadInteger()); }, nullptr, false);
  const TRect& m = PrintMargins();
  const bool hasData = m.Left != 15 || m.Top != 15 || m.Right != 15 || m.Bottom != 15;
  Filer->DefineProperty(
      "PrintMargins",
      [this](TReader* R) {
        int32_t v[4] = {PrintMargins().Left, PrintMargins().Top, PrintMargins().Right, PrintMargins().Bottom};
        R->ReadListBegin();
        for (int i = 0; !R->EndOfList(); ++i) {
          const int32_t x = R->ReadInteger();
          if (i < 4) v[i] = x;
        }
        R->ReadListEnd();
        SetPrintMargins(TRect(v[0], v[1], v[2], v[3]));
      },
      [this](TWriter* W) {
        const TRect& p = PrintMargins();
        W->WriteListBegin();
        for (int32_t x : {p.Left, p.Top, p.Right, p.Bottom}) W->WriteInteger(x);
        W->WriteListEnd();
      },
      hasData);
}

// -- drawing ----------------------------------------------------------------------------------------

void TCustomGraphPanelExtended::FillBackground(const TRect& Rect) {
  Canvas->Begin2D();
  TScopeExit end2D([&] { Canvas->End2D(); });
  if (FGradient && FGradient->Visible()) {
    FGradient->Draw(Canvas, Rect);
  } else if (!(Printing && !PrintPanelBackground) && Color() != clNone) {
    Canvas->Brush->SetStyle(bsSolid);
    Canvas->Brush->SetColor(Color());
    Canvas->EraseBackground(Rect);
  }
}

void TCustomGraphPanelExtended::DrawPanelBackground(const TRect& Rect) {
  Canvas->Begin2D();
  TScopeExit end2D([&] { Canvas->End2D(); });
  TRect R = Rect;
  if (Shadow()->Size() > 0) {
    Canvas->Brush->SetStyle(bsSolid);
    Canvas->Brush->SetColor(Parent() ? Parent()->Color() : Color());
    Canvas->FillRect(R);
    R.Right -= Shadow()->HorizSize();
    R.Bottom -= Shadow()->VertSize();
    Shadow()->Draw(Canvas, R);
  }
  FillBackground(R);
  if (HasBackImage() && !FBackImage->Inside()) DrawBackImage(R, 0);
  DrawPanelBevels(R);
}

void TCustomGraphPanelExtended::DrawBackImage(const TRect& Rect, int Z) {
  if (!HasBackImage()) return;
  TGraphic* g = FBackImage->Graphic();
  const bool ortho = View3DOptions()->Orthogonal();
  TRect R = Rect;
  const TGraphBackImageMode mode = FBackImage->Mode();
  if (mode == pbmStretch) {
    if (Z < 1)
      Canvas->StretchDraw(R, g);
    else if (ortho)
      Canvas->StretchDraw(Canvas->ProjectRect(R, Z), g);
    else
      Canvas->StretchDrawPlane(R, g, Z);
    return;
  }
  bool clipped = false;
  if (CanClip()) {
    if (Z != 0)
      Canvas->ClipCube(R, 0, Width3D);
    else
      Canvas->ClipRectangle(R);
    clipped = true;
  }
  TScopeExit unclip([&] {
    if (clipped) Canvas->UnClipRectangle();
  });
  if (Z > 0 && ortho) R = Canvas->ProjectRect(R, Z);
  const int W = R.Width(), H = R.Height();
  const int w = g->Width(), h = g->Height();
  if (mode == pbmTile) {
    if (w <= 0 || h <= 0) return;
    for (int y = 0; y < H; y += h)
      for (int x = 0; x < W; x += w) {
        if (Z > 0 && !ortho)
          Canvas->StretchDrawPlane(TRect(R.Left + x, R.Top + y, R.Left + x + w, R.Top + y + h), g, Z);
        else
          Canvas->Draw(R.Left + x, R.Top + y, g);
      }
    return;
  }
  FillBackground(R);
  if (mode == pbmCustom) {
    R.Left += FBackImage->Left();
    R.Top += FBackImage->Top();
    R.Right = R.Left + w;
    R.Bottom = R.Top + h;
  } else {
    const int dx = (w - W) / 2, dy = (h - H) / 2;
    R.Left -= dx;
    R.Top -= dy;
    R.Right += dx;
    R.Bottom += dy;
  }
  if (Z >= 1 && !ortho)
    Canvas->StretchDrawPlane(R, g, Z);
  else
    Canvas->Draw(R.Left, R.Top, g);
}

void TCustomGraphPanelExtended::DrawZoomRectangle() {
  const TColor B = ColorToRGB(GetBackColor());
  TGraphZoomBrush* brush = FZoom->BrushOrNull();
  if (brush)
    SetBrushCanvas(ColorToRGB(brush->Color()) ^ (0xFFFFFF - B), brush, B);
  else
    Canvas->Brush->SetStyle(bsClear);
  TGraphZoomPen* pen = FZoom->Pen();
  pen->SetMode(pmNotXor);
  Canvas->AssignVisiblePenColor(pen, ColorToRGB(pen->Color()) ^ (0xFFFFFF - B));
  if (!brush || brush->Style() == bsClear) Canvas->SetBackMode(cbmTransparent);
  Canvas->Rectangle(FZoom->X0, FZoom->Y0, FZoom->X1, FZoom->Y1);
}
