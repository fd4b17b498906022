// Count, cumulative total and the financial indicators close location value, on-balance volume,
// commodity channel index and the percentage oscillator of two exponential averages.
#pragma once

#include <cstdint>
#include <string>

#include "chart/engine/graph_function.h"

// How many values a period (or the whole source) holds.
class TCountGraphFunction : public TGraphFunction {
  VM_CLASS(TCountGraphFunction, TGraphFunction)
public:
  explicit TCountGraphFunction(TComponent* AOwner) : TGraphFunction(AOwner) {}
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;
  double ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) override;
};

// The running total of the source: the first value of each period added to the total so far.
class TCumulative : public TGraphFunction {
  VM_CLASS(TCumulative, TGraphFunction)
public:
  explicit TCumulative(TComponent* AOwner);
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;
  double ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) override;
};

// A function of an open-high-low-close source that reads a second series of volumes; the
// volume series is let go when it is freed.
class TVolumeIndicatorFunction : public TGraphFunction {
  VM_CLASS(TVolumeIndicatorFunction, TGraphFunction)
public:
  explicit TVolumeIndicatorFunction(TComponent* AOwner);
  ~TVolumeIndicatorFunction() override;
  bool AcceptsSource(TChartSeries* Source) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  TChartSeries* Volume() const { return FVolume; }
  void SetVolume(TChartSeries* Value);

protected:
  TChartSeries* FVolume = nullptr;
};

class TCLVFunction : public TVolumeIndicatorFunction {
  VM_CLASS(TCLVFunction, TVolumeIndicatorFunction)
public:
  explicit TCLVFunction(TComponent* AOwner) : TVolumeIndicatorFunction(AOwner) {}
  void CalculateFromSource(TChartSeries* Source) override;
  void GetEditorClassName(std::string& Name) override { Name = "TCLVFuncEditor"; }
  bool Accumulate() const { return FAccumulate; }
  void SetAccumulate(bool Value);

private:
  bool FAccumulate = true;
};

class TOBVFunction : public TVolumeIndicatorFunction {
  VM_CLASS(TOBVFunction, TVolumeIndicatorFunction)
public:
  explicit TOBVFunction(TComponent* AOwner) : TVolumeIndicatorFunction(AOwner) {}
  void CalculateFromSource(TChartSeries* Source) override;
  void GetEditorClassName(std::string& Name) override { Name = "TOBVFuncEditor"; }
};

class TCCIFunction : public TGraphFunction {
  VM_CLASS(TCCIFunction, TGraphFunction)
public:
  explicit TCCIFunction(TComponent* AOwner);
  bool AcceptsSource(TChartSeries* Source) override;
  void CalculateFromSource(TChartSeries* Source) override;
  void GetEditorClassName(std::string& Name) override { Name = "TCCIFuncEditor"; }
  // 0 computes as 1.
  double Constant() const { return FConstant; }
  void SetConstant(double Value);

private:
  double FConstant = 0.015;
};

class TPVOFunction : public TGraphFunction {
  VM_CLASS(TPVOFunction, TGraphFunction)
public:
  explicit TPVOFunction(TComponent* AOwner);
  void CalculateFromSource(TChartSeries* Source) override;
  void GetEditorClassName(std::string& Name) override { Name = "TPVOFuncEditor"; }
  bool Percentage() const { return FPercentage; }
  void SetPercentage(bool Value);
  // The long average's period; a negative value raises the engine's period error.
  int32_t Period2() const { return FPeriod2; }
  void SetPeriod2(int32_t Value);

private:
  bool FPercentage = true;
  int32_t FPeriod2 = 26;
};

void RegisterIndicatorFunctions();
void UnregisterIndicatorFunctions();
