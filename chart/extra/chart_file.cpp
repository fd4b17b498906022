#include "chart/extra/chart_file.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include <unistd.h>

#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/series_base.h"
#include "chart/engine/tool_base.h"
#include "platform/guards.h"
#include "platform/streams.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TChartChart)
VM_DEFINE_CLASS(TODBCChart)

namespace {

constexpr int kBufSize = 4096;

uint16_t PeekWord(TStream& Stream, bool& Got) {
  const int64_t pos = Stream.Position();
  uint8_t b[2] = {0, 0};
  const int64_t n = Stream.Read(b, 2);
  Stream.SetPosition(pos);
  Got = n >= 1;
  return static_cast<uint16_t>(b[0] | (n >= 2 ? b[1] << 8 : 0));
}

bool StartsAsText(TStream& Stream) {
  bool got = false;
  const uint16_t w = PeekWord(Stream, got);
  const char c = static_cast<char>(w & 0xFF);
  return got && (c == 'O' || c == 'o');
}

// Frees every series and tool of the chart.
void EmptyChart(TCustomChart* Chart) {
  Chart->FreeSeriesOfClass(nullptr);
  Chart->Tools->Clear();
}

// Reads the binary native stream at the position into Chart (which keeps its name unless it had
// none) and the trailing data after it.
void ReadBinaryInto(TCustomChart* Chart, TStream& Stream, bool ReadData, const TChartReadErrorEvent& OnError) {
  uint8_t header[4];
  if (Stream.Read(header, 4) != 4) throw ChartException(ErrWrongChartFileFormat);
  const std::string name = Chart->Name();
  {
    TChartReader reader(Stream, kBufSize, OnError);
    reader.ReadRootComponent(Chart);
  }
  if (!name.empty() && Chart->Name() != name) Chart->SetName(name);
  if (ReadData && Stream.Position() < Stream.Size()) ReadTrailingSeriesData(Chart, Stream);
}

TCustomChart* NewScratchChart(TCustomChart* Like) {
  auto* meta = ClassCast<TComponentMetaClass>(Like->ClassType());
  TComponent* c = meta ? meta->Create(nullptr) : nullptr;
  auto* chart = dynamic_cast<TCustomChart*>(c);
  if (!chart) {
    delete c;
    chart = new TChart(nullptr);
  }
  chart->AutoRepaint = false;
  return chart;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TChartReader

TChartReader::TChartReader(TStream& Stream, int BufSize, const TChartReadErrorEvent& OnChartError)
    : TReader(Stream, BufSize), FOnChartError(OnChartError) {
  OnFindMethod = [](TReader*, const std::string&, TMethod&, bool& Error) { Error = false; };
}

bool TChartReader::Error(const std::string& Message) {
  // A series, function or tool of a class nobody registered would be dropped without a word:
  // the file then holds something this program cannot show, which the user must hear about.
  if (AnsiStartsText("Class ", Message) || AnsiStartsText("Ancestor for ", Message)) return false;
  return FOnChartError ? FOnChartError(Message) : true;
}

// ---------------------------------------------------------------------------------------------
// Recognition and conversions

bool IsBinaryNativeStream(TStream& Stream) {
  bool got = false;
  return PeekWord(Stream, got) == NativeChartMagic && got;
}

bool IsNativeChartStream(TStream& Stream) { return IsBinaryNativeStream(Stream) || StartsAsText(Stream); }

void WriteNativeHeader(TStream& Stream) {
  const uint8_t header[4] = {NativeChartMagic & 0xFF, NativeChartMagic >> 8, NativeChartVersion & 0xFF,
                             NativeChartVersion >> 8};
  Stream.WriteBuffer(header, 4);
}

void NativeBinaryToText(TStream& Source, TStream& Target) {
  if (!IsNativeChartStream(Source)) throw ChartException(ErrWrongChartFileFormat);
  if (IsBinaryNativeStream(Source)) {
    Source.Seek(4, soCurrent);
    ObjectBinaryToText(Source, Target);
  } else {
    Target.CopyFrom(Source, Source.Size() - Source.Position());
  }
}

void NativeTextToBinary(TStream& Source, TStream& Target) {
  if (!IsNativeChartStream(Source)) throw ChartException(ErrWrongChartFileFormat);
  if (IsBinaryNativeStream(Source)) {
    Target.CopyFrom(Source, Source.Size() - Source.Position());
  } else {
    WriteNativeHeader(Target);
    ObjectTextToBinary(Source, Target);
  }
}

std::string WithNativeExtension(const std::string& FileName) {
  if (!ExtractFileExt(FileName).empty()) return FileName;
  return FileName + "." + (ChartFileExtension.empty() ? std::string("qvx") : ChartFileExtension);
}

// ---------------------------------------------------------------------------------------------
// Writing

void WriteNativeChart(TCustomChart* Chart, TStream& Stream, bool IncludeData, bool TextFormat) {
  if (!Chart) throw ChartException(ErrInvalidChartFile);
  if (TextFormat) {
    TMemoryStream binary;
    WriteNativeChart(Chart, binary, IncludeData, false);
    binary.SetPosition(0);
    NativeBinaryToText(binary, Stream);
    return;
  }
  if (auto* memory = dynamic_cast<TMemoryStream*>(&Stream); memory && IncludeData) {
    // The points make nearly all of the stream: room for them is made at once.
    int64_t bytes = 4096;
    for (int i = 0; i < Chart->CountSeries(); ++i) {
      TChartSeries* s = Chart->SeriesAt(i);
      bytes += static_cast<int64_t>(s->PointCount()) * 8 * (s->ValueLists.Count() + 1);
    }
    memory->SetCapacity(memory->Position() + bytes);
  }
  WriteNativeHeader(Stream);
  // Outside design the stream does not carry the name of the chart it came from.
  const bool clearName = !Chart->ComponentState().Contains(csDesigning);
  const std::string name = Chart->Name();
  TScopeExit restore([&] {
    for (int i = 0; i < Chart->CountSeries(); ++i) {
      Chart->SeriesAt(i)->StoreDataAlways = false;
      Chart->SeriesAt(i)->StoreDataNever = false;
    }
    if (clearName && !name.empty()) Chart->SetName(name);
  });
  if (clearName && !name.empty()) Chart->SetName("");
  for (int i = 0; i < Chart->CountSeries(); ++i) {
    TChartSeries* s = Chart->SeriesAt(i);
    s->StoreDataAlways = IncludeData;
    s->StoreDataNever = !IncludeData;
  }
  TWriter writer(Stream, kBufSize);
  writer.SetRoot(Chart->Owner() ? Chart->Owner() : Chart);
  writer.WriteSignature();
  writer.WriteComponent(Chart);
  writer.FlushBuffer();
}

void WriteNativeChartFile(TCustomChart* Chart, const std::string& FileName, bool IncludeData, bool TextFormat) {
  const std::string target = WithNativeExtension(FileName);
  // Everything is written beside the target first: a failure leaves an existing file whole.
  const std::string temp = target + ".~" + std::to_string(::getpid()) + "tmp";
  {
    TScopeFail removeTemp([&] { DeleteFile(temp); });
    TFileStream file(temp, fmCreate);
    WriteNativeChart(Chart, file, IncludeData, TextFormat);
  }
  std::error_code ec;
  std::filesystem::rename(temp, target, ec);
  if (ec) {
    DeleteFile(temp);
    throw EFCreateError(Format("Cannot create file \"%s\". %s", {target, ec.message()}));
  }
}

// ---------------------------------------------------------------------------------------------
// Reading

void ReadTrailingSeriesData(TCustomChart* Chart, TStream& Stream) {
  for (int i = 0; i < Chart->CountSeries(); ++i) Chart->SeriesAt(i)->ReadData(Stream);
}

void ReadNativeChart(TCustomChart*& Chart, TStream& Stream) { ReadNativeChartChecked(Chart, Stream, true, nullptr); }

void ReadNativeChartChecked(TCustomChart*& Chart, TStream& Stream, bool ReadData, const TChartReadErrorEvent& OnError) {
  if (Stream.Size() == 0) throw ChartException(ErrEmptyChartFile);
  if (!IsNativeChartStream(Stream)) throw ChartException(ErrWrongChartFileFormat);
  if (!Chart) throw ChartException(ErrInvalidChartFile);
  TCustomChart* const target = Chart;

  // The text form is converted first; from here on the binary form is read.
  std::unique_ptr<TMemoryStream> converted;
  TStream* source = &Stream;
  if (!IsBinaryNativeStream(Stream)) {
    converted = std::make_unique<TMemoryStream>();
    NativeTextToBinary(Stream, *converted);
    converted->SetPosition(0);
    source = converted.get();
  }
  const int64_t start = source->Position();

  // A trial read into a scratch chart: a stream that stops reading there never reaches Chart.
  // Errors the caller let pass are let pass again in the second reading.
  {
    std::unique_ptr<TCustomChart> scratch(NewScratchChart(target));
    ReadBinaryInto(scratch.get(), *source, ReadData, OnError);
  }
  source->SetPosition(start);

  const bool repaint = target->AutoRepaint;
  target->AutoRepaint = false;
  TScopeExit restore([&] {
    Chart = target;
    target->AutoRepaint = repaint;
  });
  EmptyChart(target);
  ReadBinaryInto(target, *source, ReadData, [](const std::string&) { return true; });
  target->AutoRepaint = repaint;
  target->Invalidate();
}

void ReadNativeChartFile(TCustomChart*& Chart, const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead);
  ReadNativeChart(Chart, file);
}
