// Native chart files (".qvx"): a whole chart (its properties, series, functions, tools and, on
// request, the series' points) as a component stream, in a binary form with a four-byte header
// or in the component text form.
//
// Binary form: the word 0x3060, the version word 343, then the component stream ("TPF0", the
// chart with its children); optionally followed by one series data block per series (read only).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "chart/engine/chart.h"
#include "platform/streaming.h"

class TStream;

inline constexpr uint16_t NativeChartMagic = 0x3060;
inline constexpr uint16_t NativeChartVersion = 343;

// Answers whether reading goes on after an error inside the component stream (true: go on).
using TChartReadErrorEvent = std::function<bool(const std::string& Message)>;

// The component reader of native chart files. Event handler names the owner does not provide
// leave the event empty; reading errors inside the stream go to the caller's callback, or are
// ignored without one. A class the stream names but nobody registered, and damage to the
// stream's structure, always stop reading.
class TChartReader : public TReader {
public:
  TChartReader(TStream& Stream, int BufSize, const TChartReadErrorEvent& OnChartError);
  bool Error(const std::string& Message) override;

private:
  TChartReadErrorEvent FOnChartError;
};

// Chart classes of their own that streams may name.
class TChartChart : public TChart {
  VM_CLASS(TChartChart, TChart)
public:
  using TChart::TChart;
};

class TODBCChart : public TChartChart {
  VM_CLASS(TODBCChart, TChartChart)
public:
  using TChartChart::TChartChart;
};

void WriteNativeChart(TCustomChart* Chart, TStream& Stream, bool IncludeData = true, bool TextFormat = false);
// Writes beside the file and renames it over the old one when complete: a failed write leaves
// an existing file as it was and raises an error naming the file.
void WriteNativeChartFile(TCustomChart* Chart, const std::string& FileName, bool IncludeData = true,
                          bool TextFormat = false);
// Replaces the contents of Chart by the chart in the stream (trailing series data read, errors
// inside the stream ignored).
void ReadNativeChart(TCustomChart*& Chart, TStream& Stream);
// The same with a choice. Whatever goes wrong, Chart keeps what it had before the call: the
// stream is first read into a scratch chart of the same class, and only a stream that read
// there without a stopping error is read into Chart.
void ReadNativeChartChecked(TCustomChart*& Chart, TStream& Stream, bool ReadData,
                            const TChartReadErrorEvent& OnError = nullptr);
// Reads a native chart file.
void ReadNativeChartFile(TCustomChart*& Chart, const std::string& FileName);

void NativeTextToBinary(TStream& Source, TStream& Target);
void NativeBinaryToText(TStream& Source, TStream& Target);
// Tests at the stream's position, which is left unchanged.
bool IsNativeChartStream(TStream& Stream);
bool IsBinaryNativeStream(TStream& Stream);
void WriteNativeHeader(TStream& Stream);
// FileName itself when it has an extension, else FileName + ".qvx".
std::string WithNativeExtension(const std::string& FileName);

// Reads one series data block per series of the chart, in series order.
void ReadTrailingSeriesData(TCustomChart* Chart, TStream& Stream);

// Start-up and shutdown of the chart output module (chart classes of native files, export
// formats, the picture format and the engine's picture-for-extension hook). Later calls of the
// start-up do nothing.
void InitChartOutput();
void DoneChartOutput();
