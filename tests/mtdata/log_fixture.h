// What the MT log device receives during a test: StartLog begins collecting, StopLog returns the
// text collected since and stops.
#pragma once

#include "platform/logdevice.h"

#include <memory>
#include <string>

namespace mtdata_test {

inline std::unique_ptr<TLogCapture>& ActiveLogCapture() {
  static std::unique_ptr<TLogCapture> capture;
  return capture;
}

inline void StartLog() { ActiveLogCapture() = std::make_unique<TLogCapture>(); }

inline std::string StopLog() {
  std::string text = ActiveLogCapture() ? ActiveLogCapture()->Text() : std::string();
  ActiveLogCapture().reset();
  return text;
}

}  // namespace mtdata_test
