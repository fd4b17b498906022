#include "platform/logdevice.h"

#include <cstdio>
#include <mutex>

namespace {

std::recursive_mutex& LogMutex() {
  static std::recursive_mutex M;
  return M;
}

TLogSink& Sink() {
  static TLogSink S;
  return S;
}

void Flush(const char* Bytes, size_t Count) {
  if (Count == 0) return;
  if (Sink()) {
    Sink()(Bytes, Count);
  } else {
    std::fwrite(Bytes, 1, Count, stdout);
    std::fflush(stdout);
  }
}

}  // namespace

TLogSink SetLogSink(TLogSink NewSink) {
  std::lock_guard<std::recursive_mutex> Lock(LogMutex());
  TLogSink Old = std::move(Sink());
  Sink() = std::move(NewSink);
  return Old;
}

bool LogSinkAssigned() {
  std::lock_guard<std::recursive_mutex> Lock(LogMutex());
  return static_cast<bool>(Sink());
}

void LogWrite(std::string_view Text) {
  std::lock_guard<std::recursive_mutex> Lock(LogMutex());
  for (size_t I = 0; I < Text.size(); I += LogBufferSize)
    Flush(Text.data() + I, std::min(LogBufferSize, Text.size() - I));
}

void LogWriteLn(std::string_view Text) {
  std::lock_guard<std::recursive_mutex> Lock(LogMutex());
  std::string Line(Text);
  Line += '\n';
  LogWrite(Line);
}

TLogCapture::TLogCapture() {
  FPrevious = SetLogSink([this](const char* Bytes, size_t Count) { FText.append(Bytes, Count); });
}

TLogCapture::~TLogCapture() { SetLogSink(std::move(FPrevious)); }

std::vector<std::string> TLogCapture::Lines() const {
  std::vector<std::string> R;
  size_t I = 0;
  while (I < FText.size()) {
    size_t E = FText.find_first_of("\r\n", I);
    if (E == std::string::npos) {
      R.push_back(FText.substr(I));
      break;
    }
    R.push_back(FText.substr(I, E - I));
    I = E + 1;
    if (FText[E] == '\r' && I < FText.size() && FText[I] == '\n') ++I;
  }
  return R;
}
