// The process-wide standard-output text device that the MT modules write their lines to.
// Without a sink the bytes go to the process's standard output; the program log window binds
// itself as the sink while it exists. Each write is flushed at once, in pieces of at most
// LogBufferSize bytes (a piece may end inside a UTF-8 sequence; the sink keeps what is pending).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t LogBufferSize = 128;

using TLogSink = std::function<void(const char* Bytes, size_t Count)>;

// Binds Sink (an empty sink restores the standard output) and returns the previous one.
TLogSink SetLogSink(TLogSink Sink);
bool LogSinkAssigned();

// Write and write-line statements on the device (line end: LF).
void LogWrite(std::string_view Text);
void LogWriteLn(std::string_view Text = {});

// Collects what is written to the device while it lives (tests, batch runs); restores the
// previous sink when destroyed.
class TLogCapture {
public:
  TLogCapture();
  ~TLogCapture();
  TLogCapture(const TLogCapture&) = delete;
  TLogCapture& operator=(const TLogCapture&) = delete;

  const std::string& Text() const { return FText; }
  // The text split at line ends (a trailing unterminated piece counts as a line).
  std::vector<std::string> Lines() const;
  void Clear() { FText.clear(); }

private:
  std::string FText;
  TLogSink FPrevious;
};
