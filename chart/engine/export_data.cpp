#include "chart/engine/export_data.h"

#include "platform/streams.h"

TClipboardTextHook ClipboardTextHook;

VM_DEFINE_CLASS(TGraphExportData)

void TGraphExportData::CopyToClipboard() {
  const std::string text = AsString();
  if (ClipboardTextHook) ClipboardTextHook(text);
}

void TGraphExportData::SaveToStream(TStream& Stream) { Stream.WriteString(AsString()); }

void TGraphExportData::SaveToFile(const std::string& FileName) {
  TFileStream file(FileName, fmCreate);
  SaveToStream(file);
}
