#include "chart/series/report_chart.h"

#include <cmath>
#include <memory>

#include "platform/bitmap.h"
#include "platform/metafile.h"
#include "platform/object.h"

VM_DEFINE_CLASS(TRpDBChart)
VM_DEFINE_CLASS(TRpChart)

// ---------------------------------------------------------------------------------------------
// TRpDBChart

TRpDBChart::TRpDBChart(TComponent* AOwner) : TCustomDBChart(AOwner) {
  SetColor(clWhite);
  SetBevelOuter(bvNone);
  SetBufferedDisplay(false);
  SetBounds(-1, -1, 1, 1);
  SetVisible(false);
}

void TRpDBChart::GetPanelRect(TRect& Rect) {
  auto* parent = dynamic_cast<TRpChart*>(Parent());
  if (!parent) {
    Rect = ClientRect();
    return;
  }
  TRpReport* report = parent->ParentReport();
  const double f = report ? 100.0 / report->Zoom() : 1.0;
  Rect = TRect(0, 0, static_cast<int32_t>(std::nearbyint(parent->ClientWidth() * f)),
               static_cast<int32_t>(std::nearbyint(parent->ClientHeight() * f)));
}

void TRpDBChart::Invalidate() {
  if (Parent())
    Parent()->Invalidate();
  else
    TCustomDBChart::Invalidate();
}

void TRpDBChart::PaintOnParent() {
  auto* parent = dynamic_cast<TRpChart*>(Parent());
  if (!parent) return;
  TRect target = parent->ClientRect();
  target = TRect(0, 0, target.Width() + 2, target.Height() + 2);
  parent->RenderChart(parent->Canvas(), PanelRect(), target);
}

// ---------------------------------------------------------------------------------------------
// TRpChart

TRpChart::TRpChart(TComponent* AOwner) : TRpControl(AOwner) {
  FGraphPrintMethod = qtmMetafile;
  SetPixelSize(350, 200);
}

TRpDBChart* TRpChart::Chart() const { return ControlCount() > 0 ? dynamic_cast<TRpDBChart*>(Controls(0)) : nullptr; }

void TRpChart::SetGraphPrintMethod(TGraphQuickMethod Value) {
  if (Value == FGraphPrintMethod) return;
  FGraphPrintMethod = Value;
  Invalidate();
}

void TRpChart::RenderChart(TCanvas* Canvas, const TRect& Rect, const TRect& Target) {
  TRpDBChart* chart = Chart();
  if (!chart || Rect.Width() <= 0 || Rect.Height() <= 0) return;
  if (FGraphPrintMethod == qtmBitmap) {
    std::unique_ptr<TBitmap> b(chart->CreateBitmap(clWhite, Rect, pf24bit));
    Canvas->StretchDraw(Target, b.get());
  } else {
    std::unique_ptr<TMetafile> m(chart->CreateMetafile(true, Rect));
    Canvas->StretchDraw(Target, m.get());
  }
}

void TRpChart::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetColor(Color());
  c->FillRect(TRect(0, 0, Width(), Height()));
  if (TRpDBChart* chart = Chart()) chart->PaintOnParent();
  if (ParentReport()) {
    // The printable control's own painting (its frame) over the chart.
    if (DrawFrame()) {
      c->Brush()->SetStyle(bsClear);
      c->Pen()->SetColor(clBlack);
      c->Rectangle(0, 0, Width(), Height());
      c->Brush()->SetStyle(bsSolid);
    }
  }
}

void TRpChart::Print(double OffsetX, double OffsetY) {
  TRpReport* report = ParentReport();
  TRpReportPrinter* p = report ? report->ReportPrinter() : nullptr;
  if (TRpDBChart* chart = Chart(); chart && p) {
    chart->RefreshAllData();
    const TRect printRect(p->XPos(SizeLeft() + OffsetX), p->YPos(SizeTop() + OffsetY),
                          p->XPos(SizeLeft() + SizeWidth() + OffsetX), p->YPos(SizeTop() + SizeHeight() + OffsetY));
    const TRect chartRect = chart->PanelRect();
    if (OnPrint) OnPrint(this, printRect, chartRect);
    RenderChart(p->Canvas(), chartRect, printRect);
  }
  TRpControl::Print(OffsetX, OffsetY);
}

void TRpChart::ReadState(TReader* Reader) {
  if (TRpDBChart* chart = Chart()) {
    const TComponentState s = chart->ComponentState();
    if (!s.Contains(csLoading) && !s.Contains(csAncestor)) delete chart;
  }
  TRpControl::ReadState(Reader);
}

void RegisterReportChartClasses() {
  RegisterClass(TRpDBChart::StaticClass());
  RegisterClass(TRpChart::StaticClass());
}
