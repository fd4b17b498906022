#include "chart/engine/graph_panel.h"

#include <cmath>
#include <memory>

#include "platform/bitmap.h"
#include "platform/datetime.h"
#include "platform/exceptions.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/metafile.h"
#include "platform/printers.h"
#include "platform/streaming.h"
#include "platform/sysutils.h"

const TEnumInfo GraphUnitsInfo("TGraphUnits", {"muPercent", "muPixels"});

bool ClipWhenPrinting = true;
bool ClipWhenMetafiling = true;
bool PanelEraseBackground = false;
bool PrintPanelBackground = false;

namespace {

// Runs a restoring action when leaving a scope, also on exceptions.
[[noreturn]] void RangeError() { throw ERangeError("Range check error"); }

// Clips a toolkit canvas to R (logical units), keeping its previous clip region.
struct TCanvasClip {
  TCanvas* Canvas = nullptr;
  TRegion Saved;
  bool HadClip = false;
  bool Active = false;

  void Clip(TCanvas* ACanvas, const TRect& R) {
    Canvas = ACanvas;
    HadClip = Canvas->GetClipRgn(Saved) == 1;
    Canvas->IntersectClipRect(R.Left, R.Top, R.Right, R.Bottom);
    Active = true;
  }
  void UnClip() {
    if (!Canvas) return;
    Canvas->SelectClipRgn(HadClip ? &Saved : nullptr);
    Canvas = nullptr;
    Active = false;
  }
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// TCustomPanelNoCaption

VM_PUBLISH(TCustomPanelNoCaption) {
  P.Enum("BevelInner", &TCustomPanelNoCaption::BevelInner, &TCustomPanelNoCaption::SetBevelInner, BevelCutInfo)
      .Default(bvNone);
  P.Enum("BevelOuter", &TCustomPanelNoCaption::BevelOuter, &TCustomPanelNoCaption::SetBevelOuter, BevelCutInfo)
      .Default(bvRaised);
  P.Int("BevelWidth", &TCustomPanelNoCaption::BevelWidth, &TCustomPanelNoCaption::SetBevelWidth).Default(1);
  P.Int("BorderWidth", &TCustomPanelNoCaption::BorderWidth, &TCustomPanelNoCaption::SetBorderWidth).Default(0);
  P.Int("Color", &TControl::Color, &TControl::SetColor).Default(clBtnFace).Idents(ColorIdents);
}

// The toolkit's panel shows its name as caption; this one never sets a caption at all.
TCustomPanelNoCaption::TCustomPanelNoCaption(TComponent* AOwner) : TCustomControl(AOwner) { SetColor(clBtnFace); }

void TCustomPanelNoCaption::SetBevelInner(TBevelCut Value) {
  if (FBevelInner != Value) {
    FBevelInner = Value;
    Invalidate();
  }
}

void TCustomPanelNoCaption::SetBevelOuter(TBevelCut Value) {
  if (FBevelOuter != Value) {
    FBevelOuter = Value;
    Invalidate();
  }
}

void TCustomPanelNoCaption::SetBevelWidth(int32_t Value) {
  if (Value < 1) Value = 1;
  if (FBevelWidth != Value) {
    FBevelWidth = Value;
    Invalidate();
  }
}

void TCustomPanelNoCaption::SetBorderWidth(int32_t Value) {
  if (Value < 0) Value = 0;
  if (FBorderWidth != Value) {
    FBorderWidth = Value;
    Invalidate();
  }
}

// ---------------------------------------------------------------------------------------------
// Events

VM_DEFINE_CLASS(TGraphEvent)
VM_DEFINE_CLASS(TGraphMouseEvent)
VM_DEFINE_CLASS(TGraphView3DEvent)

// ---------------------------------------------------------------------------------------------
// TCustomGraphPanel

VM_PUBLISH(TCustomGraphPanel) {
  P.Object("Border", &TCustomGraphPanel::Border, &TCustomGraphPanel::SetBorder);
  P.Int("BorderRound", &TCustomGraphPanel::BorderRound, &TCustomGraphPanel::SetBorderRound).Default(0);
  P.Bool("BufferedDisplay", &TCustomGraphPanel::BufferedDisplay, &TCustomGraphPanel::SetBufferedDisplay).Default(true);
  P.Int("MarginBottom", &TCustomGraphPanel::MarginBottom, &TCustomGraphPanel::SetMarginBottom).Default(4);
  P.Int("MarginLeft", &TCustomGraphPanel::MarginLeft, &TCustomGraphPanel::SetMarginLeft).Default(3);
  P.Int("MarginRight", &TCustomGraphPanel::MarginRight, &TCustomGraphPanel::SetMarginRight).Default(3);
  P.Int("MarginTop", &TCustomGraphPanel::MarginTop, &TCustomGraphPanel::SetMarginTop).Default(4);
  P.Enum("MarginUnits", &TCustomGraphPanel::MarginUnits, &TCustomGraphPanel::SetMarginUnits, GraphUnitsInfo)
      .Default(muPercent);
  P.Bool("Monochrome", &TCustomGraphPanel::Monochrome, &TCustomGraphPanel::SetMonochrome).Default(false);
  P.Bool("PrintProportional", &TCustomGraphPanel::PrintProportional, &TCustomGraphPanel::SetPrintProportional)
      .Default(true);
  P.Int("PrintResolution", &TCustomGraphPanel::PrintResolution, &TCustomGraphPanel::SetPrintResolution).Default(0);
  P.Object("Shadow", &TCustomGraphPanel::Shadow, &TCustomGraphPanel::SetShadow);
  P.Bool("View3D", &TCustomGraphPanel::View3D, &TCustomGraphPanel::SetView3D).Default(true);
  P.Object("View3DOptions", &TCustomGraphPanel::View3DOptions, &TCustomGraphPanel::SetView3DOptions);
  P.Event("OnBeforePrint", &TCustomGraphPanel::OnBeforePrint);
}

struct TCustomGraphPanel::TBaseLayer {
  TBitmapSnapshot Pixels;
  TRect Target, Bounds, ChartRect;
  int32_t ChartWidth = 0, ChartHeight = 0, ChartXCenter = 0, ChartYCenter = 0, Width3D = 0, Height3D = 0;
  TPen Pen;
  TBrush Brush;
  TFont Font;
};

TCustomGraphPanel::TCustomGraphPanel(TComponent* AOwner) : TCustomPanelNoCaption(AOwner) {
  EnsureChartHandCursor();
  Listeners = std::make_unique<TGraphEventListeners>();
  SetBounds(Left(), Top(), 400, 250);
  FView3D = true;
  FView3DOptions = std::make_unique<TView3DOptions>(this);
  FCanvas = std::make_unique<TGraphCanvas3D>();
  Canvas = FCanvas.get();
  Canvas->SetCanvas(WindowCanvas());
  OriginalCursor = Cursor();
  Panning = std::make_unique<TZoomPanning>();
  const TNotifyEvent changed = [this](TObject* Sender) { SettingChanged(Sender); };
  FShadow = std::make_unique<TGraphShadow>(changed);
  FBorder = std::make_unique<TChartHiddenPen>(nullptr);
  FBorder->SetEndStyle(esFlat);
  FBorder->DefaultEndStyle = esFlat;
  FBorder->OnChange = changed;
  AutoRepaint = true;
}

TCustomGraphPanel::~TCustomGraphPanel() {
  AutoRepaint = false;
  Canvas = nullptr;
  FCanvas.reset();
  FBorder.reset();
  FShadow.reset();
  FView3DOptions.reset();
  Panning.reset();
  Listeners.reset();
}

void TCustomGraphPanel::AdoptCanvas(std::unique_ptr<TGraphCanvas3D> ACanvas) {
  DropBaseLayer();
  FCanvas = std::move(ACanvas);
  Canvas = FCanvas.get();
}

TColor TCustomGraphPanel::GetBackColor() { return Color(); }

void TCustomGraphPanel::DrawContents(const TRect&) {}

void TCustomGraphPanel::SettingChanged(TObject*) { Invalidate(); }

void TCustomGraphPanel::GetPanelRect(TRect& Rect) {
  if (Parent())
    Rect = ClientRect();
  else
    Rect = TRect(0, 0, Width(), Height());
}

void TCustomGraphPanel::Invalidate() {
  // Whatever changed may lie below the top layers, unless the change says otherwise.
  if (FTopLayerChanges == 0 && !FDrawing) DropBaseLayer();
  if (!AutoRepaint) return;
  if (Canvas) Canvas->Invalidate();
  TCustomPanelNoCaption::Invalidate();
}

void TCustomGraphPanel::Paint() {
  if (Printing) return;
  if (!Canvas->ReDrawBitmap()) Draw(WindowCanvas(), ClientRect());
}

void TCustomGraphPanel::Draw(TCanvas* UserCanvas, const TRect& Rect) {
  TScopeExit drawing([this, was = FDrawing] {
    FDrawing = was;
    FBaseLayerUsable = false;
  });
  FDrawing = true;
  // Only a drawing into the panel's own buffer keeps or uses the base layer; any other leaves the
  // canvas and the geometry as that drawing made them.
  FBaseLayerUsable =
      FKeepBaseLayer && Canvas->BufferedDisplay() && !Canvas->Metafiling && !Printing && UserCanvas == WindowCanvas();
  if (!FBaseLayerUsable || (FBaseLayer && !(FBaseLayer->Target == Rect))) DropBaseLayer();
  ChartBounds = Canvas->InitWindow(UserCanvas, FView3DOptions.get(), Color(), FView3D, Rect);
  ChartRect = ChartBounds;
  int frame = BorderWidth();
  if (BevelInner() != bvNone) frame += BevelWidth();
  if (BevelOuter() != bvNone) frame += BevelWidth();
  if (FBorder->Visible()) frame += FBorder->Width();
  ChartRect.Left += frame;
  ChartRect.Top += frame;
  ChartRect.Right -= frame;
  ChartRect.Bottom -= frame;
  if (FMarginUnits == muPixels) {
    ChartRect.Left += FMargins[0];
    ChartRect.Top += FMargins[1];
    ChartRect.Right -= FMargins[2];
    ChartRect.Bottom -= FMargins[3];
  } else {
    const int64_t w = ChartBounds.Width(), h = ChartBounds.Height();
    ChartRect.Left += static_cast<int32_t>(FMargins[0] * w / 100);
    ChartRect.Top += static_cast<int32_t>(FMargins[1] * h / 100);
    ChartRect.Right -= static_cast<int32_t>(FMargins[2] * w / 100);
    ChartRect.Bottom -= static_cast<int32_t>(FMargins[3] * h / 100);
  }
  CalcChartRectSize();
  DrawContents(ChartBounds);
  Canvas->ShowImage(UserCanvas, WindowCanvas(), Rect);
}

void TCustomGraphPanel::SetKeepBaseLayer(bool Value) {
  FKeepBaseLayer = Value;
  if (!Value) FBaseLayer.reset();
}

bool TCustomGraphPanel::HasBaseLayer() const { return FBaseLayer && !FBaseLayer->Pixels.Empty(); }

void TCustomGraphPanel::DropBaseLayer() {
  if (FBaseLayer) FBaseLayer->Pixels.Clear();
}

void TCustomGraphPanel::StoreBaseLayer() {
  if (!FBaseLayerUsable || !Canvas->Bitmap()) return;
  if (!FBaseLayer) FBaseLayer = std::make_unique<TBaseLayer>();
  TBaseLayer& b = *FBaseLayer;
  b.Pixels.Take(Canvas->Bitmap());
  b.Target = Canvas->Bounds;
  b.Bounds = ChartBounds;
  b.ChartRect = ChartRect;
  b.ChartWidth = ChartWidth;
  b.ChartHeight = ChartHeight;
  b.ChartXCenter = ChartXCenter;
  b.ChartYCenter = ChartYCenter;
  b.Width3D = Width3D;
  b.Height3D = Height3D;
  b.Pen.Assign(Canvas->Pen);
  b.Brush.Assign(Canvas->Brush);
  b.Font.Assign(Canvas->Font);
}

bool TCustomGraphPanel::RestoreBaseLayer() {
  if (!FBaseLayerUsable || !HasBaseLayer() || !Canvas->Bitmap()) return false;
  TBaseLayer& b = *FBaseLayer;
  if (!(b.Target == Canvas->Bounds) || !(b.Bounds == ChartBounds) || !b.Pixels.RestoreTo(Canvas->Bitmap()))
    return false;
  ChartRect = b.ChartRect;
  ChartWidth = b.ChartWidth;
  ChartHeight = b.ChartHeight;
  ChartXCenter = b.ChartXCenter;
  ChartYCenter = b.ChartYCenter;
  Width3D = b.Width3D;
  Height3D = b.Height3D;
  Canvas->Projection(Width3D, ChartBounds, ChartRect);
  Canvas->Pen->Assign(&b.Pen);
  Canvas->Brush->Assign(&b.Brush);
  Canvas->Font->Assign(&b.Font);
  return true;
}

void TCustomGraphPanel::CalcChartRectSize() {
  if (ChartRect.Left < ChartBounds.Left) ChartRect.Left = ChartBounds.Left;
  if (ChartRect.Top < ChartBounds.Top) ChartRect.Top = ChartBounds.Top;
  if (ChartRect.Right < ChartRect.Left)
    ChartRect.Right = ChartRect.Left + 1;
  else if (ChartRect.Right == ChartRect.Left)
    ChartRect.Right = ChartRect.Left + Width();
  if (ChartRect.Bottom < ChartRect.Top)
    ChartRect.Bottom = ChartRect.Top + 1;
  else if (ChartRect.Bottom == ChartRect.Top)
    ChartRect.Bottom = ChartRect.Top + Height();
  ChartWidth = ChartRect.Right - ChartRect.Left;
  ChartHeight = ChartRect.Bottom - ChartRect.Top;
  ChartXCenter = (ChartRect.Left + ChartRect.Right) / 2;
  ChartYCenter = (ChartRect.Top + ChartRect.Bottom) / 2;
}

void TCustomGraphPanel::DrawUnbuffered(TCanvas* UserCanvas, const TRect& Rect) {
  const bool old = Canvas->BufferedDisplay();
  Canvas->SetBufferedDisplay(false);
  TScopeExit restore([&] { Canvas->SetBufferedDisplay(old); });
  Draw(UserCanvas, Rect);
}

void TCustomGraphPanel::DrawMetafiling(TCanvas* UserCanvas, const TRect& Rect) {
  Canvas->Metafiling = true;
  TScopeExit restore([&] { Canvas->Metafiling = false; });
  DrawUnbuffered(UserCanvas, Rect);
}

TMetafile* TCustomGraphPanel::CreateMetafile(bool Enhanced, const TRect& Rect) {
  auto result = std::make_unique<TMetafile>();
  result->SetEnhanced(Enhanced);
  result->SetWidth(std::max(1, Rect.Width()));
  result->SetHeight(std::max(1, Rect.Height()));
  {
    TMetafileCanvas metaCanvas(result.get(), nullptr);
    DrawMetafiling(&metaCanvas, Rect);
  }
  return result.release();
}

TBitmap* TCustomGraphPanel::CreateBitmap(TColor BackColor, const TRect& Rect, TPixelFormat Format) {
  auto result = std::make_unique<TBitmap>(std::max(0, Rect.Width()), std::max(0, Rect.Height()), Format);
  if (BackColor != clWhite) {
    TCanvas* c = result->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(BackColor);
    c->FillRect(Rect);
  }
  DrawUnbuffered(result->Canvas(), Rect);
  return result.release();
}

TBitmap* TCustomGraphPanel::CreatePanelBitmap() { return CreateBitmap(Color(), PanelRect(), pfDevice); }

void TCustomGraphPanel::AssignTo(TPersistent* Dest) {
  if (dynamic_cast<TGraphic*>(Dest) || dynamic_cast<TPicture*>(Dest)) {
    std::unique_ptr<TBitmap> b(CreatePanelBitmap());
    Dest->Assign(b.get());
  } else {
    TCustomPanelNoCaption::AssignTo(Dest);
  }
}

bool TCustomGraphPanel::CanClip() {
  if (Printing) return ClipWhenPrinting;
  if (Canvas->Metafiling) return ClipWhenMetafiling;
  return true;
}

void TCustomGraphPanel::DrawToOwnCanvas() {
  if (TCanvas* own = WindowCanvas()) Draw(own, ClientRect());
}

void TCustomGraphPanel::CalcPrintScaling(const TRect& PanelRect, TRect& Target, TSize& Logical) {
  TRect& R = Target;
  if (R.Left > R.Right) std::swap(R.Left, R.Right);
  if (R.Top > R.Bottom) std::swap(R.Top, R.Bottom);
  const int Rw = R.Width(), Rh = R.Height();
  const int Pw = PanelRect.Width(), Ph = PanelRect.Height();
  // A reduction of 100 % or more would leave no logical drawing area: keep one pixel.
  const int LW = std::max(1, Pw - MulDiv(Pw, FPrintResolution, 100));
  const int LH = std::max(1, Ph - MulDiv(Ph, FPrintResolution, 100));
  Logical = TSize{LW, LH};
  if (Rw <= 0 || Rh <= 0) return;
  R.Left = MulDiv(R.Left, LW, Rw);
  R.Right = MulDiv(R.Right, LW, Rw);
  R.Top = MulDiv(R.Top, LH, Rh);
  R.Bottom = MulDiv(R.Bottom, LH, Rh);
}

void TCustomGraphPanel::PrintToCanvas(TCanvas* UserCanvas, const TRect& Rect) {
  TRect R = Rect;
  if (R.Left > R.Right) std::swap(R.Left, R.Right);
  if (R.Top > R.Bottom) std::swap(R.Top, R.Bottom);
  const TRect P = PanelRect();
  const int Rw = R.Width(), Rh = R.Height();
  // Nothing can be scaled onto an empty target or from an empty panel.
  if (Rw <= 0 || Rh <= 0 || P.Width() <= 0 || P.Height() <= 0) return;
  TSize logical;
  CalcPrintScaling(P, R, logical);
  const int LW = logical.cx, LH = logical.cy;

  const int oldMode = UserCanvas->GetMapMode();
  const TPoint oldWindowOrg = UserCanvas->GetWindowOrg(), oldViewportOrg = UserCanvas->GetViewportOrg();
  const TSize oldWindowExt = UserCanvas->GetWindowExt(), oldViewportExt = UserCanvas->GetViewportExt();
  UserCanvas->SetMapMode(MM_ANISOTROPIC);
  UserCanvas->SetWindowOrgEx(0, 0);
  UserCanvas->SetWindowExtEx(LW, LH);
  UserCanvas->SetViewportExtEx(Rw, Rh);
  UserCanvas->SetViewportOrgEx(0, 0);
  TScopeExit restoreMapping([&] {
    UserCanvas->SetMapMode(oldMode);
    UserCanvas->SetWindowOrgEx(oldWindowOrg.X, oldWindowOrg.Y);
    UserCanvas->SetWindowExtEx(oldWindowExt.cx, oldWindowExt.cy);
    UserCanvas->SetViewportExtEx(oldViewportExt.cx, oldViewportExt.cy);
    UserCanvas->SetViewportOrgEx(oldViewportOrg.X, oldViewportOrg.Y);
  });

  Printing = true;
  TCanvasClip clip;
  TScopeExit restorePrinting([&] {
    clip.UnClip();
    Printing = false;
  });
  if (CanClip()) clip.Clip(UserCanvas, R);
  if (OnBeforePrint) OnBeforePrint(this, UserCanvas, R);
  DrawMetafiling(UserCanvas, R);
}

void TCustomGraphPanel::PrintInRect(const TRect& Rect) { PrintToCanvas(Printer()->Canvas(), Rect); }

void TCustomGraphPanel::CalcPrintRect(TRect& Rect) {
  if (FPrintProportional) CalcProportionalMargins(FPrintMargins);
  const double PW = Printer()->PageWidth(), PH = Printer()->PageHeight();
  Rect.Left = static_cast<int32_t>(::Round(FPrintMargins.Left * PW / 100));
  Rect.Right = static_cast<int32_t>(PW - ::Round(FPrintMargins.Right * PW / 100));
  Rect.Top = static_cast<int32_t>(::Round(FPrintMargins.Top * PH / 100));
  Rect.Bottom = static_cast<int32_t>(PH - ::Round(FPrintMargins.Bottom * PH / 100));
}

void TCustomGraphPanel::CalcProportionalMargins(TRect& Margins) {
  const TRect P = PanelRect();
  const double W = P.Width(), H = P.Height();
  double PW = 0, PH = 0, c = 1;
  try {
    PW = Printer()->PageWidth();
    PH = Printer()->PageHeight();
    const double yDpi = Printer()->YDPI();
    c = yDpi > 0 ? Printer()->XDPI() / yDpi : 1;
  } catch (const EPrinter&) {
    PW = Screen ? Screen->Width() : 0;
    PH = Screen ? Screen->Height() : 0;
    c = 1;
  }
  // Without a size on either side there is no aspect to keep: the default margins stand.
  if (W <= 0 || H <= 0 || PW <= 0 || PH <= 0) {
    Margins = TRect(15, 15, 15, 15);
    return;
  }
  if (W > H) {
    const int32_t m = static_cast<int32_t>(::Round((PH - (PW - PW * 30 * 0.01) * (H / W) * c) * 100 / PH)) / 2;
    Margins = TRect(15, m, 15, m);
  } else {
    const int32_t m = static_cast<int32_t>(::Round((PW - (PH - PH * 30 * 0.01) * (W / H) * c) * 100 / PW)) / 2;
    Margins = TRect(m, 15, m, 15);
  }
}

void TCustomGraphPanel::DrawPanelBevels(TRect Rect) {
  Canvas->Begin2D();
  TScopeExit end2D([&] { Canvas->End2D(); });
  Canvas->Brush->SetStyle(bsClear);
  if (FBorder->Visible()) {
    Canvas->AssignVisiblePen(FBorder.get());
    int w;
    if (FBorder->SmallDots()) {
      w = 1;
    } else {
      const int d = FBorder->Width() - 1;
      if (d > 0) {
        Rect.Left += d / 2 + (d % 2 ? 1 : 0);
        Rect.Top += d / 2 + (d % 2 ? 1 : 0);
        w = d / 2;
        if (w % 2) --w;
        Rect.Right -= w;
        Rect.Bottom -= w;
      } else {
        w = 0;
      }
    }
    if (FBorderRound > 0) {
      --Rect.Right;
      --Rect.Bottom;
      Canvas->RoundRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom, FBorderRound, FBorderRound);
    } else {
      Canvas->Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
      if (!FBorder->SmallDots()) ++w;
    }
    Rect.Left += w;
    Rect.Top += w;
    Rect.Right -= w;
    Rect.Bottom -= w;
  }
  if (!(Printing && !PrintPanelBackground)) {
    Canvas->Pen->SetStyle(psSolid);
    Canvas->Pen->SetWidth(1);
    Canvas->Pen->SetMode(pmCopy);
    DrawBevel(Canvas, BevelOuter(), Rect, BevelWidth(), FBorderRound);
    if (BorderWidth() > 0) Canvas->DrawBevelFrame(Rect, Color(), Color(), BorderWidth());
    DrawBevel(Canvas, BevelInner(), Rect, BevelWidth(), FBorderRound);
  }
}

// -- compare-and-repaint setters ----------------------------------------------------------------

void TCustomGraphPanel::SetStringProperty(std::string& Field, const std::string& Value) {
  if (Field != Value) {
    Field = Value;
    Invalidate();
  }
}

void TCustomGraphPanel::SetDoubleProperty(double& Field, double Value) {
  if (Field != Value) {
    Field = Value;
    Invalidate();
  }
}

void TCustomGraphPanel::SetColorProperty(TColor& Field, TColor Value) {
  if (Field != Value) {
    Field = Value;
    Invalidate();
  }
}

void TCustomGraphPanel::SetBooleanProperty(bool& Field, bool Value) {
  if (Field != Value) {
    Field = Value;
    Invalidate();
  }
}

void TCustomGraphPanel::SetIntegerProperty(int32_t& Field, int32_t Value) {
  if (Field != Value) {
    Field = Value;
    Invalidate();
  }
}

void TCustomGraphPanel::SetBrushCanvas(TColor AColor, TChartBrush* Brush, TColor BackColor) {
  if (Brush->Style() != bsSolid && AColor == BackColor) AColor = BackColor == clBlack ? clWhite : clBlack;
  Canvas->AssignBrushColor(Brush, AColor, BackColor);
}

// -- properties ---------------------------------------------------------------------------------

void TCustomGraphPanel::SetBorderRound(int32_t Value) {
  SetIntegerProperty(FBorderRound, Value);
  if (!ComponentState().Contains(csLoading)) ApplyWindowRegion();
}

bool TCustomGraphPanel::BufferedDisplay() const { return Canvas->BufferedDisplay(); }

void TCustomGraphPanel::SetBufferedDisplay(bool Value) { Canvas->SetBufferedDisplay(Value); }

bool TCustomGraphPanel::Monochrome() const { return Canvas->Monochrome(); }

void TCustomGraphPanel::SetMonochrome(bool Value) {
  if (Canvas->Monochrome() != Value) {
    Canvas->SetMonochrome(Value);
    Invalidate();
  }
}

int32_t TCustomGraphPanel::Margin(int Index) const {
  if (Index < 0 || Index > 3) RangeError();
  return FMargins[Index];
}

void TCustomGraphPanel::SetMargin(int Index, int32_t Value) {
  if (Index < 0 || Index > 3) RangeError();
  SetIntegerProperty(FMargins[Index], Value);
}

void TCustomGraphPanel::SetMarginUnits(TGraphUnits Value) {
  if (FMarginUnits != Value) {
    FMarginUnits = Value;
    Invalidate();
  }
}

void TCustomGraphPanel::SetView3D(bool Value) {
  if (FView3D != Value) {
    SetBooleanProperty(FView3D, Value);
    TGraphView3DEvent event;
    BroadcastEvent(&event);
  }
}

// -- assignment and streaming ---------------------------------------------------------------------

void TCustomGraphPanel::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TCustomGraphPanel*>(Source)) {
    FBorder->Assign(p->FBorder.get());
    FBorderRound = p->FBorderRound;
    SetBufferedDisplay(p->BufferedDisplay());
    FPrintMargins = p->FPrintMargins;
    FPrintProportional = p->FPrintProportional;
    FPrintResolution = p->FPrintResolution;
    for (int i = 0; i < 4; ++i) FMargins[i] = p->FMargins[i];
    FMarginUnits = p->FMarginUnits;
    SetMonochrome(p->Monochrome());
    FShadow->Assign(p->FShadow.get());
    FView3D = p->FView3D;
    FView3DOptions->Assign(p->FView3DOptions.get());
    SetColor(p->Color());
    if (!ComponentState().Contains(csLoading)) ApplyWindowRegion();
    Invalidate();
  } else {
    TCustomPanelNoCaption::Assign(Source);
  }
}

void TCustomGraphPanel::DefineProperties(TFiler* Filer) {
  TCustomPanelNoCaption::DefineProperties(Filer);
  // Older files kept the frame as a border style; nothing is written under that name.
  Filer->DefineProperty(
      "BorderStyle", [this](TReader* Reader) { ReadBorderStyle(Reader); }, nullptr, false);
}

void TCustomGraphPanel::ReadBorderStyle(TReader* Reader) { FBorder->SetVisible(Reader->ReadIdent() == "bsSingle"); }

void TCustomGraphPanel::Loaded() {
  TCustomPanelNoCaption::Loaded();
  OriginalCursor = Cursor();
  ApplyWindowRegion();
}

void TCustomGraphPanel::ApplyWindowRegion() {
  if (FApplyingRegion || !Parent()) return;
  FApplyingRegion = true;
  TScopeExit guard([&] { FApplyingRegion = false; });
  if (FBorderRound > 0) {
    TRegion r = TRegion::CreateRoundRectRgn(0, 0, Width(), Height(), FBorderRound, FBorderRound);
    SetWindowRgn(&r, true);
  } else {
    SetWindowRgn(nullptr, true);
  }
}

void TCustomGraphPanel::Resize() {
  // The buffer holds the picture at the old size: the next paint draws again at the new one.
  if (Canvas) Canvas->Invalidate();
  TCustomPanelNoCaption::Resize();
  if (FBorderRound > 0 && !ComponentState().Contains(csLoading)) ApplyWindowRegion();
}

// -- listeners and mouse ------------------------------------------------------------------------

void TCustomGraphPanel::RemoveListener(IChartEventListener* Listener) { Listeners->Remove(Listener); }

TGraphEvent* TCustomGraphPanel::BroadcastEvent(TGraphEvent* Event) {
  if (ComponentState().Contains(csDestroying) || !Listeners) return Event;
  Event->Sender = this;
  const bool isMouse = dynamic_cast<TGraphMouseEvent*>(Event) != nullptr;
  for (int i = 0; i < Listeners->Count(); ++i) {
    Listeners->GetListener(i)->ChartEvent(Event);
    if (isMouse && CancelMouse) break;
  }
  return Event;
}

void TCustomGraphPanel::BroadcastMouseEvent(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X,
                                            int Y) {
  if (!Listeners || Listeners->Count() == 0) return;
  auto event = std::make_unique<TGraphMouseEvent>();
  event->Event = Kind;
  event->Button = Button;
  event->Shift = Shift;
  event->X = X;
  event->Y = Y;
  BroadcastEvent(event.get());
}

void TCustomGraphPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  CancelMouse = false;
  TCustomPanelNoCaption::MouseDown(Button, Shift, X, Y);
  BroadcastMouseEvent(meDown, Button, Shift, X, Y);
}

void TCustomGraphPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomPanelNoCaption::MouseUp(Button, Shift, X, Y);
  BroadcastMouseEvent(meUp, Button, Shift, X, Y);
}

void TCustomGraphPanel::MouseMove(TShiftState Shift, int X, int Y) {
  CancelMouse = false;
  TCustomPanelNoCaption::MouseMove(Shift, X, Y);
  if (Listeners->Count() > 0) BroadcastMouseEvent(meMove, mbLeft, Shift, X, Y);
}

void TCustomGraphPanel::DblClick() {
  CancelMouse = false;
  TCustomPanelNoCaption::DblClick();
  if (CancelMouse) Abort();
}

void TCustomGraphPanel::MouseLeave() {
  SetCursor(OriginalCursor);
  Panning->Active = false;
  TCustomPanelNoCaption::MouseLeave();
}

// ---------------------------------------------------------------------------------------------
// Helpers

std::string IntToText(int32_t Value) { return IntToStr(Value); }

TColor GetDefaultColor(int Index) {
  const int n = static_cast<int>(ColorPalette.size());
  if (n == 0) return clBlack;
  const int i = Index % n;
  if (i < 0) RangeError();
  return ColorPalette[i];
}

int DaysInMonth(uint16_t Year, uint16_t Month) {
  static const int Days[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                  {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
  if (Month < 1 || Month > 12) RangeError();
  return Days[IsLeapYear(Year) ? 1 : 0][Month - 1];
}

std::string DateTimeDefaultFormat(double Step) { return Step > 1 ? ShortDateFormat : ShortTimeFormat; }

double NextDateTimeStep(double Value) {
  for (int t = DateTimeStepCount - 2; t >= 0; --t)
    if (Value >= DateTimeStepTable[t]) return DateTimeStepTable[t + 1];
  return DateTimeStepTable[dtOneYearStep];
}

int FindDateTimeStep(double Value) {
  for (int t = DateTimeStepCount - 1; t >= 0; --t)
    if (std::fabs(DateTimeStepTable[t] - Value) < DateTimeStepTable[0]) return t;
  return dtNoStep;
}

void DrawCheckBox(int X, int Y, TCanvas* Canvas, bool Checked, TColor, bool CheckBox) {
  const uint32_t state = (CheckBox ? DFCS_BUTTONCHECK : DFCS_BUTTONRADIO) | (Checked ? DFCS_CHECKED : 0);
  DrawFrameControl(Canvas, TRect(X, Y, X + 13, Y + 13), DFC_BUTTON, state);
}

int DeviceGetCaps(TCanvas* DC, int Index) { return DC ? DC->GetDeviceCaps(Index) : 0; }

double DeviceAspectRatio(TGraphCanvas3D* Canvas) {
  TCanvas* dc = Canvas ? Canvas->Handle() : nullptr;
  if (!dc) return 0;
  const int v = dc->GetDeviceCaps(VERTSIZE);
  return v == 0 ? 0 : static_cast<double>(dc->GetDeviceCaps(HORZSIZE)) / v;
}

void ClientMousePosition(TControl* Control, TPoint& P) { P = Control->ScreenToClient(Mouse->CursorPos()); }

void DrawBevel(TGraphCanvas3D* Canvas, TBevelCut Kind, TRect& R, int Width, int Radius) {
  if (Kind == bvNone) return;
  if (Radius > 0) {
    Canvas->Pen->SetColor(Kind == bvLowered ? clBtnShadow : clBtnHighlight);
    Canvas->RoundRect(R.Left, R.Top, R.Right, R.Bottom, Radius, Radius);
    R.Left += Width;
    R.Top += Width;
    R.Right -= Width;
    R.Bottom -= Width;
  } else {
    Canvas->DrawBevelFrame(R, Kind == bvLowered ? clBtnShadow : clBtnHighlight,
                           Kind == bvRaised ? clBtnShadow : clBtnHighlight, Width);
  }
}
