// The gauge: a dial with a scale arc from Minimum to Maximum over TotalAngle degrees, major and
// minor ticks with value labels (the vertical axis' settings), a centre knob and a hand at Value.
#pragma once

#include <memory>

#include "chart/series/pie_series.h"

class TSeriesPointer;

enum THandStyle { hsLine, hsTriangle };
extern const TEnumInfo HandStyleInfo;

class TGaugeSeries : public TCircledSeries {
  VM_CLASS(TGaugeSeries, TCircledSeries)
public:
  explicit TGaugeSeries(TComponent* AOwner);
  ~TGaugeSeries() override;

  // Reading an empty gauge gives it one point of value 0.
  double Value();
  void SetValue(double V);
  double Minimum() const { return FMinimum; }
  void SetMinimum(double V);
  double Maximum() const { return FMaximum; }
  void SetMaximum(double V);
  double TotalAngle() const { return FTotalAngle; }
  void SetTotalAngle(double V) { SetDoubleProperty(FTotalAngle, V); }
  THandStyle HandStyle() const { return FHandStyle; }
  void SetHandStyle(THandStyle V);
  int32_t HandDistance() const { return FHandDistance; }
  void SetHandDistance(int32_t V) { SetIntegerProperty(FHandDistance, V); }
  TSeriesPointer* Center() const { return FCenter.get(); }
  void SetCenter(TSeriesPointer* V);
  TSeriesPointer* EndPoint() const { return FEndPoint.get(); }
  void SetEndPoint(TSeriesPointer* V);
  bool LabelsInside() const { return FLabelsInside; }
  void SetLabelsInside(bool V) { SetBooleanProperty(FLabelsInside, V); }
  int32_t MinorTickDistance() const { return FMinorTickDistance; }
  void SetMinorTickDistance(int32_t V) { SetIntegerProperty(FMinorTickDistance, V); }
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool V) { SetBooleanProperty(FFullRepaint, V); }
  // The series' vertical axis: its pens, tick lengths, increment and label font draw the scale.
  TChartAxis* GetAxis() const { return GetVertAxis(); }

  // The position of an angle (radians) around a centre: 0 points left, pi / 2 up.
  static TPoint AngleToPos(const TPoint& Centre, double Angle, double XRadius, double YRadius);
  // The angle (radians) of a value on the scale.
  double ValueAngle(double V) const;
  void CalcHandPoints(TPoint& Start, TPoint& End);

  void DrawVisiblePoints() override;
  void AfterPointAdded(TChartSeries* Sender, int32_t ValueIndex) override;
  void SetParentChart(TCustomAxisPanel* Value) override;
  double HighestY() override { return FMaximum; }
  double LowestY() override { return FMinimum; }
  int32_t DefaultRandomCount() override { return 1; }
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void SetGalleryView3D(bool Value) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TGaugeSeriesEditor"; }

  TNotifyEvent OnChange;

private:
  void DrawHand();
  void DrawMinorTicks(double V, double MinorStep, const TPoint& Centre, double RX, double RY);
  static int32_t PointerExtent(TSeriesPointer* P);

  double FMinimum = 0, FMaximum = 100, FTotalAngle = 90;
  THandStyle FHandStyle = hsLine;
  int32_t FHandDistance = 30;
  std::unique_ptr<TSeriesPointer> FCenter;
  std::unique_ptr<TSeriesPointer> FEndPoint;
  bool FLabelsInside = true;
  int32_t FMinorTickDistance = 0;
  bool FFullRepaint = false;
  TPoint FCentre{0, 0};
  bool FDrawn = false;
};

void RegisterGaugeSeries();
void UnregisterGaugeSeries();
