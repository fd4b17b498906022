#include "chart/extra/series_export.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "chart/engine/chart.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_base.h"
#include "chart/engine/series_helpers.h"
#include "chart/engine/value_lists.h"
#include "platform/codepage.h"
#include "platform/datetime.h"
#include "platform/exceptions.h"
#include "platform/streams.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TSeriesData)
VM_DEFINE_CLASS(TSeriesDataText)
VM_DEFINE_CLASS(TSeriesDataXML)
VM_DEFINE_CLASS(TSeriesDataHTML)
VM_DEFINE_CLASS(TSeriesDataXLS)

namespace {

constexpr const char* CRLF = "\r\n";

bool HasPoint(TChartSeries* S, int I) { return I >= 0 && I < S->PointCount(); }

std::string Number(double V) { return FloatToStr(V); }

// Characters that would end an attribute or start markup are written as references; so is
// everything outside ASCII, which reads back the same under any encoding the file declares.
std::string Escape(const std::string& Text) {
  std::string out;
  out.reserve(Text.size());
  for (size_t i = 0; i < Text.size();) {
    const auto c = static_cast<unsigned char>(Text[i]);
    if (c < 0x80) {
      switch (c) {
        case '&':
          out += "&amp;";
          break;
        case '<':
          out += "&lt;";
          break;
        case '>':
          out += "&gt;";
          break;
        case '"':
          out += "&quot;";
          break;
        default:
          out += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    // One UTF-8 sequence; a stray byte stands for itself (Latin-1).
    int len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    uint32_t cp = len == 1 ? c : c & (0x7F >> len);
    bool ok = len > 1 && i + static_cast<size_t>(len) <= Text.size();
    for (int k = 1; ok && k < len; ++k) {
      const auto d = static_cast<unsigned char>(Text[i + static_cast<size_t>(k)]);
      if ((d & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if (!ok) {
      cp = c;
      len = 1;
    }
    out += "&#" + std::to_string(cp) + ";";
    i += static_cast<size_t>(len);
  }
  return out;
}

std::string Attribute(const std::string& Name, const std::string& Value) {
  return " " + Escape(Name) + "=\"" + Escape(Value) + "\"";
}

std::string Cell(const std::string& Text) { return "<td>" + Escape(Text) + "</td>"; }

bool JapaneseLocale() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return std::strncmp(v, "ja", 2) == 0;
  }
  return false;
}

// -- spreadsheet records ------------------------------------------------------------------------

class TBiffWriter {
public:
  explicit TBiffWriter(TStream& S) : FStream(S) {}
  void Word(uint16_t V) {
    const uint8_t b[2] = {static_cast<uint8_t>(V & 0xFF), static_cast<uint8_t>(V >> 8)};
    FStream.WriteBuffer(b, 2);
  }
  void Bytes(const void* P, int64_t N) { FStream.WriteBuffer(P, N); }
  void CellHeader(uint16_t Record, uint16_t DataLength, int Row, int Col) {
    Word(Record);
    Word(static_cast<uint16_t>(DataLength + 7));
    Word(static_cast<uint16_t>(Row));
    Word(static_cast<uint16_t>(Col));
    const uint8_t attr[3] = {0, 0, 0};
    Bytes(attr, 3);
  }
  void NumberCell(int Row, int Col, double V) {
    CellHeader(0x0003, 8, Row, Col);
    uint8_t b[8];
    std::memcpy(b, &V, 8);  // IEEE double, little-endian on every machine this builds for
    Bytes(b, 8);
  }
  void LabelCell(int Row, int Col, const std::string& Text) {
    std::string t = Utf8ToCp1251(Text);
    for (char ch : t) FBeyondAscii = FBeyondAscii || static_cast<uint8_t>(ch) >= 0x80;
    if (t.size() > 255) t.resize(255);
    CellHeader(0x0004, static_cast<uint16_t>(t.size() + 1), Row, Col);
    const auto n = static_cast<uint8_t>(t.size());
    Bytes(&n, 1);
    Bytes(t.data(), static_cast<int64_t>(t.size()));
  }
  void BlankCell(int Row, int Col) { CellHeader(0x0001, 0, Row, Col); }
  // Some label holds a character beyond ASCII (its byte is of code page 1251).
  bool BeyondAscii() const { return FBeyondAscii; }

private:
  TStream& FStream;
  bool FBeyondAscii = false;
};

}  // namespace

std::string ColorToHexText(TColor Color) {
  if (Color == clAutoColor) return "#000000";
  const TColor c = ColorToRGB(Color);
  static const char digits[] = "0123456789abcdef";
  std::string out = "#";
  for (int shift : {0, 8, 16}) {
    const int b = static_cast<int>((c >> shift) & 0xFF);
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// TSeriesData

TSeriesData::TSeriesData(TCustomChart* Chart, TChartSeries* Series) : FChart(Chart), FSeries(Series) {}

std::vector<TChartSeries*> TSeriesData::ExportedSeries() const {
  std::vector<TChartSeries*> list;
  if (FSeries) {
    list.push_back(FSeries);
  } else if (FChart) {
    for (int i = 0; i < FChart->CountSeries(); ++i) list.push_back(FChart->SeriesAt(i));
  }
  return list;
}

void TSeriesData::CollectDataFlags() {
  DataFlags = 0;
  if (FSeries) {
    DataFlags = GetSeriesDataFlags(FSeries);
    return;
  }
  for (TChartSeries* s : ExportedSeries())
    if (s->PointCount() > 0) {
      DataFlags = GetSeriesDataFlags(s);
      return;
    }
}

void TSeriesData::PrepareFlags() {
  CollectDataFlags();
  if (!ShowLabels) DataFlags &= ~4;
  if (!ShowColors) DataFlags &= ~2;
}

int TSeriesData::MaxPointCount() const {
  int n = 0;
  for (TChartSeries* s : ExportedSeries()) n = std::max(n, static_cast<int>(s->PointCount()));
  return n;
}

std::vector<TChartValueList*> TSeriesData::ValueColumns(TChartSeries* Series) {
  std::vector<TChartValueList*> lists{Series->MandatoryList};
  for (int k = 2; k < Series->ValueLists.Count(); ++k) lists.push_back(Series->ValueLists.GetValueList(k));
  return lists;
}

std::vector<std::string> TSeriesData::ColumnTitles(TChartSeries* Series) const {
  std::vector<std::string> titles;
  if (DataFlags & 1) titles.push_back(Series->NotMandatoryList->Name());
  if (Series->ValueLists.Count() == 2) {
    std::string t;
    SeriesDisplayTitle(Series, t);
    titles.push_back(t);
  } else {
    for (TChartValueList* l : ValueColumns(Series)) titles.push_back(l->Name());
  }
  return titles;
}

std::string TSeriesData::PointLine(int) { return std::string(); }

std::string TSeriesData::AsString() {
  PrepareFlags();
  std::string out;
  const int n = MaxPointCount();
  for (int i = 0; i < n; ++i) out += PointLine(i) + CRLF;
  return out;
}

// ---------------------------------------------------------------------------------------------
// TSeriesDataText

void TSeriesDataText::CollectDataFlags() {
  TSeriesData::CollectDataFlags();
  if (!Series() && ShowLabels && !(DataFlags & 4))
    for (TChartSeries* s : ExportedSeries())
      if (SeriesHasLabels(s)) {
        DataFlags |= 4;
        break;
      }
}

std::string TSeriesDataText::ValueText(TChartValueList* List, TChartSeries* Series, int Index) const {
  if (!HasPoint(Series, Index)) return std::string();
  const double v = List->Value(Index);
  if (List->DateTime()) return QuoteText + DateTimeToStr(v) + QuoteText;
  return NumberFormat.empty() ? Number(v) : FormatFloat(NumberFormat, v);
}

std::string TSeriesDataText::AsString() {
  std::string out;
  if (ShowHeader) {
    PrepareFlags();
    std::vector<std::string> fields;
    if (ShowIndex) fields.push_back(QuoteText + MsgEdIndex + QuoteText);
    if (DataFlags & 4) fields.push_back(QuoteText + MsgEdText + QuoteText);
    if (DataFlags & 2) fields.push_back(QuoteText + MsgStyleColors + QuoteText);
    for (TChartSeries* s : ExportedSeries())
      for (const std::string& t : ColumnTitles(s)) fields.push_back(QuoteText + t + QuoteText);
    for (size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) out += Separator;
      out += fields[i];
    }
    out += CRLF;
  }
  return out + TSeriesData::AsString() + CRLF;
}

std::string TSeriesDataText::PointLine(int Index) {
  std::vector<std::string> fields;
  if (ShowIndex) fields.push_back(std::to_string(Index));
  const std::vector<TChartSeries*> list = ExportedSeries();
  bool first = true;
  for (TChartSeries* s : list) {
    if (first) {
      if (DataFlags & 4) {
        std::string label;
        if (Series()) {
          if (HasPoint(s, Index)) label = s->LabelAt(Index);
        } else {
          for (TChartSeries* o : list)
            if (HasPoint(o, Index) && !o->LabelAt(Index).empty()) {
              label = o->LabelAt(Index);
              break;
            }
        }
        fields.push_back(label.empty() ? std::string() : QuoteText + label + QuoteText);
      }
      if (DataFlags & 2) fields.push_back(ColorToHexText(HasPoint(s, Index) ? s->PointColorAt(Index) : clAutoColor));
      first = false;
    }
    if (DataFlags & 1) fields.push_back(ValueText(s->NotMandatoryList, s, Index));
    for (TChartValueList* l : ValueColumns(s)) fields.push_back(ValueText(l, s, Index));
  }
  std::string out;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += Separator;
    out += fields[i];
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// TSeriesDataXML

TSeriesDataXML::TSeriesDataXML(TCustomChart* Chart, TChartSeries* Series) : TSeriesData(Chart, Series) {
  ShowHeader = true;
  Encoding = JapaneseLocale() ? "shift_jis" : "ISO-8859-1";
}

std::string TSeriesDataXML::SeriesElement(TChartSeries* S) {
  std::string title;
  SeriesDisplayTitle(S, title);
  std::string out = "<series" + Attribute("title", title) + Attribute("type", GetSeriesTypeDescription(S)) +
                    Attribute("color", ColorToHexText(S->SeriesColor())) + ">" + CRLF;
  const int n = S->PointCount();
  out += "<points" + Attribute("count", std::to_string(n)) + ">" + CRLF;
  for (int i = 0; i < n; ++i) {
    out += "<point ";
    if (ShowIndex) out += "index=\"" + std::to_string(i) + "\"";
    if (DataFlags & 4) out += Attribute("text", S->LabelAt(i));
    if (DataFlags & 2) out += Attribute("color", ColorToHexText(S->PointColorAt(i)));
    if (DataFlags & 1) out += Attribute(S->NotMandatoryList->Name(), Number(S->NotMandatoryList->Value(i)));
    for (TChartValueList* l : ValueColumns(S)) out += Attribute(l->Name(), Number(l->Value(i)));
    out += std::string("/>") + CRLF;
  }
  out += std::string("</points>") + CRLF + "</series>" + CRLF + CRLF;
  return out;
}

std::string TSeriesDataXML::AsString() {
  PrepareFlags();
  std::string out;
  if (ShowHeader) {
    out += "<?xml version=\"1.0\"";
    if (!Encoding.empty()) out += Attribute("encoding", Encoding);
    out += std::string("?>") + CRLF;
  }
  if (Series()) return out + SeriesElement(Series());
  out += std::string("<chart>") + CRLF;
  for (TChartSeries* s : ExportedSeries()) out += SeriesElement(s);
  return out + "</chart>";
}

// ---------------------------------------------------------------------------------------------
// TSeriesDataHTML

std::string TSeriesDataHTML::HeaderLine() {
  std::string out = "<tr>";
  if (ShowIndex) out += Cell(MsgEdIndex);
  for (TChartSeries* s : ExportedSeries()) {
    if (DataFlags & 4) out += Cell(MsgEdText);
    if (DataFlags & 2) out += Cell(MsgStyleColors);
    for (const std::string& t : ColumnTitles(s)) out += Cell(t);
  }
  return out + "</tr>";
}

std::string TSeriesDataHTML::PointLine(int Index) {
  std::string out = "<tr>";
  if (ShowIndex) out += Cell(std::to_string(Index));
  for (TChartSeries* s : ExportedSeries()) {
    const std::vector<TChartValueList*> lists = ValueColumns(s);
    if (HasPoint(s, Index)) {
      if (DataFlags & 4) out += Cell(s->LabelAt(Index));
      if (DataFlags & 2) out += Cell(ColorToHexText(s->PointColorAt(Index)));
      if (DataFlags & 1) out += Cell(Number(s->NotMandatoryList->Value(Index)));
      for (TChartValueList* l : lists) out += Cell(Number(l->Value(Index)));
    } else {
      const int cells = ((DataFlags & 4) ? 1 : 0) + ((DataFlags & 2) ? 1 : 0) + ((DataFlags & 1) ? 1 : 0) +
                        static_cast<int>(lists.size());
      for (int k = 0; k < cells; ++k) out += "<td></td>";
    }
  }
  return out + "</tr>";
}

std::string TSeriesDataHTML::AsString() {
  PrepareFlags();
  std::string out = std::string("<table border=\"1\">") + CRLF;
  if (ShowHeader) out += HeaderLine() + CRLF;
  out += TSeriesData::AsString();
  return out + CRLF + "</table>";
}

// ---------------------------------------------------------------------------------------------
// TSeriesDataXLS

void TSeriesDataXLS::SaveToStream(TStream& Stream) {
  PrepareFlags();
  const std::vector<TChartSeries*> list = ExportedSeries();
  const int n = MaxPointCount();
  const int rows = n + (ShowHeader ? 1 : 0);
  int cols = ShowIndex ? 1 : 0;
  const int flagCount = ((DataFlags & 4) ? 1 : 0) + ((DataFlags & 2) ? 1 : 0) + ((DataFlags & 1) ? 1 : 0);
  for (TChartSeries* s : list) cols += flagCount + static_cast<int>(ValueColumns(s).size());
  if (rows > 65535 || cols > 65535) throw ERangeError("Range check error");

  // The cells first, so that the code page record can go before them when labels need it.
  TMemoryStream cells;
  TBiffWriter w(cells);

  if (ShowHeader) {
    int c = 0;
    if (ShowIndex) w.LabelCell(0, c++, MsgEdIndex);
    for (TChartSeries* s : list) {
      if (DataFlags & 4) w.LabelCell(0, c++, MsgEdText);
      if (DataFlags & 2) w.LabelCell(0, c++, MsgStyleColors);
      if (DataFlags & 1) w.LabelCell(0, c++, s->NotMandatoryList->Name());
      for (TChartValueList* l : ValueColumns(s)) w.LabelCell(0, c++, l->Name());
    }
  }
  const int top = ShowHeader ? 1 : 0;
  for (int i = 0; i < n; ++i) {
    const int r = i + top;
    int c = 0;
    if (ShowIndex) w.NumberCell(r, c++, i);
    for (TChartSeries* s : list) {
      const std::vector<TChartValueList*> lists = ValueColumns(s);
      if (!HasPoint(s, i)) {
        if (DataFlags & 4) w.LabelCell(r, c++, "");
        if (DataFlags & 2) w.LabelCell(r, c++, "");
        if (DataFlags & 1) w.BlankCell(r, c++);
        for (size_t k = 0; k < lists.size(); ++k) w.BlankCell(r, c++);
        continue;
      }
      if (DataFlags & 4) w.LabelCell(r, c++, s->LabelAt(i));
      if (DataFlags & 2) w.LabelCell(r, c++, ColorToHexText(s->PointColorAt(i)));
      if (DataFlags & 1) w.NumberCell(r, c++, s->NotMandatoryList->Value(i));
      const bool null = s->PointColorAt(i) == clNone;
      for (TChartValueList* l : lists) {
        if (null)
          w.BlankCell(r, c++);
        else
          w.NumberCell(r, c++, l->Value(i));
      }
    }
  }
  TBiffWriter out(Stream);
  const uint8_t bof[12] = {0x09, 0x08, 0x08, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00};
  out.Bytes(bof, 12);
  if (w.BeyondAscii()) {
    // Labels are written in code page 1251: without this record readers take them as Latin.
    out.Word(0x0042);
    out.Word(2);
    out.Word(1251);
  }
  out.Word(0x0200);
  out.Word(10);
  for (int v : {0, rows, 0, cols, 0}) out.Word(static_cast<uint16_t>(v));
  out.Bytes(cells.Memory(), cells.Size());
  const uint8_t eof[4] = {0x0A, 0x00, 0x00, 0x00};
  out.Bytes(eof, 4);
}
