#include "chart/engine/export_data.h"

#include "platform/clipbrd.h"
#include "platform/streams.h"

VM_DEFINE_CLASS(TGraphExportData)

void TGraphExportData::CopyToClipboard() { Clipboard()->SetAsText(AsString()); }

void TGraphExportData::SaveToStream(TStream& Stream) { Stream.WriteString(AsString()); }

void TGraphExportData::SaveToFile(const std::string& FileName) {
  TFileStream file(FileName, fmCreate);
  SaveToStream(file);
}
