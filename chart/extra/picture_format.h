// A native chart file as a picture: a graphic that holds a whole chart and draws it wherever a
// picture is drawn. Registered for the extension "qvx" at the chart output module's start-up.
#pragma once

#include <memory>
#include <string>

#include "platform/picture.h"

class TChart;

class TChartImage : public TGraphic {
  VM_CLASS(TChartImage, TGraphic)
public:
  TChartImage();
  ~TChartImage() override;

  // Made on first use (without owner, unbuffered) and then owned; a chart given here is used and
  // not owned.
  TChart* Chart();
  void SetChart(TChart* Value);
  bool HasChart() const { return FChart != nullptr; }

  void Assign(TPersistent* Source) override;
  bool Empty() const override { return FChart == nullptr; }
  int32_t Width() const override;
  void SetWidth(int32_t Value) override;
  int32_t Height() const override;
  void SetHeight(int32_t Value) override;
  // Either value makes the chart's colour clNone.
  void SetTransparent(bool Value) override;
  // The native chart stream at the position, points included, errors inside it ignored.
  void LoadFromStream(TStream& Stream) override;
  // The native binary stream with the points.
  void SaveToStream(TStream& Stream) override;
  // ".qvx" is added to a name without extension.
  void SaveToFile(const std::string& FileName) override;
  TGraphic* Clone() const override;
  // Clipboard transfers carry nothing.
  void LoadFromClipboardFormat() {}
  void SaveToClipboardFormat() {}

protected:
  // White, then the chart drawn into Rect.
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
  TChart* FChart = nullptr;
  bool FOwnsChart = true;
};
