#include "chart/extra/picture_format.h"

#include "chart/engine/chart.h"
#include "chart/extra/chart_file.h"
#include "platform/canvas.h"
#include "platform/streams.h"

VM_DEFINE_CLASS(TChartImage)

TChartImage::TChartImage() = default;

TChartImage::~TChartImage() {
  if (FOwnsChart) delete FChart;
}

TChart* TChartImage::Chart() {
  if (!FChart) {
    FChart = new TChart(nullptr);
    FChart->SetBufferedDisplay(false);
    FOwnsChart = true;
  }
  return FChart;
}

void TChartImage::SetChart(TChart* Value) {
  if (FChart == Value) return;
  if (FOwnsChart) delete FChart;
  FChart = Value;
  FOwnsChart = false;
  Changed(this);
}

void TChartImage::Assign(TPersistent* Source) {
  if (!Source) return;
  if (auto* other = dynamic_cast<TChartImage*>(Source)) {
    if (other->FChart) Chart()->Assign(other->FChart);
    return;
  }
  TGraphic::Assign(Source);
}

int32_t TChartImage::Width() const { return FChart ? FChart->Width() : 0; }
int32_t TChartImage::Height() const { return FChart ? FChart->Height() : 0; }
void TChartImage::SetWidth(int32_t Value) { Chart()->SetWidth(Value); }
void TChartImage::SetHeight(int32_t Value) { Chart()->SetHeight(Value); }
void TChartImage::SetTransparent(bool) { Chart()->SetColor(clNone); }

void TChartImage::LoadFromStream(TStream& Stream) {
  TCustomChart* c = Chart();
  ReadNativeChart(c, Stream);
  FChart->SetBufferedDisplay(false);
  Changed(this);
}

void TChartImage::SaveToStream(TStream& Stream) { WriteNativeChart(Chart(), Stream, true, false); }

void TChartImage::SaveToFile(const std::string& FileName) { WriteNativeChartFile(Chart(), FileName, true, false); }

TGraphic* TChartImage::Clone() const {
  auto* copy = new TChartImage();
  if (FChart) {
    TMemoryStream s;
    WriteNativeChart(FChart, s, true, false);
    s.SetPosition(0);
    copy->LoadFromStream(s);
  }
  return copy;
}

void TChartImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->Brush()->SetColor(clWhite);
  ACanvas->FillRect(Rect);
  if (FChart) FChart->Draw(ACanvas, Rect);
}
