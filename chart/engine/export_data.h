// The base of the chart data exporters: a text made by AsString, put on the clipboard or written
// to a stream or file.
#pragma once

#include <functional>
#include <string>

#include "platform/object.h"

class TStream;

class TGraphExportData : public TObject {
  VM_CLASS(TGraphExportData, TObject)
public:
  // The exported text; empty here.
  virtual std::string AsString() { return std::string(); }
  // Puts AsString on the toolkit's clipboard as text.
  virtual void CopyToClipboard();
  // The characters of AsString, without terminator or length.
  virtual void SaveToStream(TStream& Stream);
  // Creates or truncates the file and writes SaveToStream into it; the file is closed also when
  // writing fails.
  virtual void SaveToFile(const std::string& FileName);
};
