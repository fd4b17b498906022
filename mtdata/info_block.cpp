#include "mtdata/info_block.h"

#include "mtdata/coordinates.h"
#include "mtdata/text_helpers.h"
#include "platform/codepage.h"
#include "platform/datetime.h"
#include "platform/guards.h"
#include "platform/sysutils.h"

#include <cmath>
#include <initializer_list>
#include <limits>

namespace {

// Characters From..To (1-based, inclusive) of S; positions beyond the text give nothing.
std::string Chars(std::string_view S, int From, int To) { return Copy(S, From, To - From + 1); }

bool Matches(std::string_view Line, std::initializer_list<std::string_view> Keys) {
  for (std::string_view k : Keys)
    if (StartsWithKey(Line, k)) return true;
  return false;
}

int HexDigit(std::string_view S, int Position) {
  uint16_t value = 0;
  int code = 0;
  HexToWord(Copy(S, Position, 1), value, code);
  return value;
}

// Reads a date with the given short date format and separator; the process-wide settings are
// restored afterwards, so opening a site leaves the program's date format alone.
TDateTime StrToDateAs(std::string_view S, const char* Format, char Separator) {
  const std::string savedFormat = ShortDateFormat;
  const char savedSeparator = DateSeparator;
  ShortDateFormat = Format;
  DateSeparator = Separator;
  TScopeExit restore([&] {
    ShortDateFormat = savedFormat;
    DateSeparator = savedSeparator;
  });
  return StrToDate(Trim(S));
}

TDateTime StrToTimeOfDay(std::string_view S) {
  const char saved = TimeSeparator;
  TimeSeparator = ':';
  TScopeExit restore([&] { TimeSeparator = saved; });
  return StrToTime(Trim(S));
}

}  // namespace

std::string InfoLineText(const TInfoLine& Line) {
  std::string s(Line.begin(), Line.end());
  for (char& c : s)
    if (c == '\0') c = ' ';
  return s;
}

void SetInfoLine(TInfoLine& Line, std::string_view Text) {
  Line.fill('\0');
  std::copy_n(Text.data(), std::min(Text.size(), Line.size()), Line.begin());
}

void PrintInfoBlock(const TInfoLines& Lines) {
  MtLog("Info:");
  for (int i = 1; i <= 30; ++i) {
    std::string s = InfoLineText(Lines[i]) + "   ";
    if (i <= 25) s += InfoLineText(Lines[i + 30]);
    MtLog(Cp1251ToUtf8(s));
  }
}

TDateTime ParseInfoDate(std::string_view Text) {
  int month = 13;
  const std::string name = Chars(Text, 3, 5);
  for (int i = 1; i <= 12; ++i)
    if (name == InfoMonthNames[i]) {
      month = i;
      break;
    }
  const std::string dmy = Chars(Text, 6, 7) + '.' + Format("%2.2d", {month}) + '.' + Chars(Text, 1, 2);
  return StrToDateAs(dmy, "dd/mm/yy", '.');
}

void ParseInfoBlock(const TInfoLines& Lines, TTapeLabel& Header, TMtRobstParam& Params) {
  PrintInfoBlock(Lines);

  std::string rotation, recDate, procDate, recTime, procTime, reference, weighting, cutoff;

  for (int i = 1; i <= InfoLineCount; ++i) {
    // The block's bytes are code page 1251; columns count in a line of plain ASCII alike.
    const std::string line = Cp1251ToUtf8(InfoLineText(Lines[i]));
    if (Trim(line).empty()) continue;
    std::string v;
    ValueAfterKey(line, v);
    auto sensor = [&](int slot) {
      const std::string t = Trim(line);
      Header.ChannelAzimuth[slot] = static_cast<float>(ParseFloatLenient(Chars(t, 21, 27)));
      Header.ChannelSlot[slot] = static_cast<int16_t>(ParseIntLenient(Chars(t, 7, 7)));
    };

    if (Matches(line, {"RUN INFORMATION", "STATION 1", "SYSTEM INFORMATION", "Comp   RQU box  S/N   Temp",
                       "PROCESSED FROM DFT TIME SERIES"})) {
    } else if (Matches(line, {"SURVEY ID:", "PROJECT:", "SURVEY:"})) {
      Header.Survey.Project = v;
    } else if (Matches(line, {"SURVEY CO:", "COMPANY:"})) {
      Header.Company = v;
    } else if (Matches(line, {"CLIENT CO:"})) {
      Header.Client = v;
    } else if (Matches(line, {"AREA:"})) {
      Header.Location = v;
      Header.Area = v;
    } else if (Matches(line, {"ROTATION="})) {
      rotation = v;
    } else if (Matches(line, {"CLIENT:"})) {
      Header.Client = v;
      Header.Company = v;
    } else if (Matches(line, {"JOB:"})) {
      Header.Job = v;
      Header.JobPrefix = Copy(Header.Job.str(), 1, 3);
      Header.JobTitle = v;
    } else if (Matches(line, {"HARDWARE:"})) {
      TSplitFields fields;
      int count = 0;
      SplitFields(v, ' ', fields, count);
      Header.Hardware = fields[1];
    } else if (Matches(line, {"OPERATOR:"})) {
      Header.Operator = v;
    } else if (Matches(line, {"DATE:"})) {
      recDate = Chars(v, 1, 10);
      procDate = Trim(Chars(v, 12, 18));
    } else if (Matches(line, {"UTC-TIME:", "TIME:"})) {
      recTime = Chars(v, 1, 8);
      procTime = Trim(Chars(v, 12, 19));
    } else if (Matches(line, {"START-UP:"})) {
      recTime = Chars(v, 14, 21);
      recDate = Trim(Chars(v, 1, 10));
    } else if (Matches(line, {"END-TIME:"})) {
    } else if (Matches(line, {"FILE:"})) {
      Header.ProcessedFiles = v;
    } else if (Matches(line, {"RUN DESC:"})) {
      const int a = HexDigit(v, 8), b = HexDigit(v, 11);
      const int64_t c = ParseIntLenient(Chars(v, 9, 10));
      const int64_t run = a * 1000 + c * 10 + b - 9;
      if (run < std::numeric_limits<int16_t>::min() || run > std::numeric_limits<int16_t>::max()) RaiseRangeError();
      Header.RunNumber = static_cast<int16_t>(run);
      Header.RunDesc = Chars(v, 8, 11);
    } else if (Matches(line, {"PROGRAM VERSION:", "RQUPROG VERSION:", "RQU-DFT VERSION:", "RQU-RBS VERSION:",
                              "LATEST REVISION:"})) {
    } else if (Matches(line, {"REFERENCE FIELD:"})) {
      reference = v;
    } else if (Matches(line, {"XPR WEIGHTING:"})) {
      weighting = v;
    } else if (Matches(line, {"CUTOFF VALUE:"})) {
      cutoff = v;
    } else if (Matches(line, {"RBS:", "MAX COH VALUE:"})) {
    } else if (Matches(line, {"CUTOFF:"})) {
      cutoff = v;
    } else if (Matches(line, {"Notch Filters set for"})) {
    } else if (Matches(line, {"STN Number"})) {
      Header.StnNumber = v;
    } else if (Matches(line, {"RQU-Box Serial Number"})) {
      Header.Station = Chars(v, 3, 6);
    } else if (Matches(line, {"Site Desc:"})) {
      Header.Point.SiteDesc = v;
    } else if (Matches(line, {"Lat"}) && Chars(line, 17, 20) == "Long") {
      std::string lat, lon;
      InsertSecondsPoint(Chars(line, 5, 15), lat);
      InsertSecondsPoint(Chars(line, 22, 32), lon);
      Header.Point.Latitude = lat;
      Header.Point.Longitude = lon;
      ParseLatLong(lat, lon, Header.Point.LatInDeg, Header.Point.LongInDeg);
      FormatLatitudeDms(Header.Point.Latitude, Header.Point.LatInDeg * DegToRadSingle);
      FormatLongitudeDms(Header.Point.Longitude, Header.Point.LongInDeg * DegToRadSingle);
    } else if (Matches(line, {"Elevation:"})) {
      Header.Point.Elevation = ParseFloatLenient(Trim(Chars(line, 12, 17)));
      Header.Point.Altitude = Header.Point.Elevation;
    } else if (Matches(line, {"Reference Site:"})) {
    } else if (Matches(line, {"Site Permitted by:"})) {
      Header.SitePermittedBy = v;
    } else if (Matches(line, {"Site Layout by:"})) {
      Header.SiteLayoutBy = v;
    } else if (Matches(line, {"RQU-Box Gains:"})) {
      Header.BoxGains[1] = ParseIntLenient(Chars(line, 20, 23));
      Header.BoxGains[2] = ParseIntLenient(Chars(line, 30, 32));
    } else if (Matches(line, {"RQU-Ref Serial Number:", "Ex & Ey:"})) {
    } else if (Matches(line, {"Ex Pot Resist:", "E1 Pot Resist:"})) {
      Header.ExPotResist = static_cast<float>(ParseFloatLenient(Trim(Chars(v, 1, 6))));
    } else if (Matches(line, {"Ex Voltage:", "E2 Voltage:"})) {
      Header.EVoltages[1] = static_cast<float>(ParseFloatLenient(Trim(Chars(v, 4, 7))));
      Header.EVoltages[2] = static_cast<float>(ParseFloatLenient(Trim(Chars(v, 15, 18))));
    } else if (Matches(line, {"Ex", "Ens"})) {
      sensor(1);
    } else if (Matches(line, {"Ey Pot Resist:", "E2 Pot Resist:"})) {
      Header.EyPotResist = static_cast<float>(ParseFloatLenient(Trim(Chars(v, 1, 6))));
    } else if (Matches(line, {"Ey Voltage:"})) {
    } else if (Matches(line, {"Ey", "Eew"})) {
      sensor(2);
    } else if (Matches(line, {"Hx & Hy:"})) {
    } else if (Matches(line, {"Hx"}) && !Matches(line, {"Hx Sen:"})) {
      sensor(3);
    } else if (Matches(line, {"Hy"}) && !Matches(line, {"Hy Sen:"})) {
      sensor(4);
    } else if (Matches(line, {"Hz"}) && !Matches(line, {"Hz:", "Hz Sen:"})) {
      sensor(5);
    } else if (Matches(line, {"Rx & Ry:"})) {
    } else if (Matches(line, {"Rx", "RHx"}) && !Matches(line, {"Rx Sen:"})) {
      sensor(6);
    } else if (Matches(line, {"Ry Sen"})) {
    } else if (Matches(line, {"Ry", "RHy"})) {
      sensor(7);
    }
  }

  // Recording start; a text that does not convert leaves what was converted before it.
  Header.RecordingStart = 0;
  try {
    if (!Trim(recDate).empty()) Header.RecordingStart = StrToDateAs(recDate, "yyyy/mm/dd", '/');
    if (!Trim(recTime).empty()) Header.RecordingStart = Header.RecordingStart + StrToTimeOfDay(recTime);
  } catch (const EConvertError&) {}

  uint16_t year = 0, month = 0, day = 0;
  DecodeDate(Header.RecordingStart, year, month, day);
  // The month as one lower-case hexadecimal digit, the day as two digits.
  std::string orig = Header.Station.str() + "0123456789abcdef"[month & 15] + Format("%2.2d", {day});
  const std::string& stn = Header.StnNumber.str();
  if (!stn.empty() && std::isalpha(static_cast<unsigned char>(stn.back()))) orig += stn.back();
  Header.OrigFileName = orig;

  Header.LabelSource = 120;
  Header.LabelKind = 2;
  if (Header.LabelFlags == 0) Header.LabelFlags = 8;

  if (!procDate.empty()) {
    try {
      Params.ProcessingDate = ParseInfoDate(procDate) + StrToTimeOfDay(procTime);
    } catch (const EConvertError&) {
      MtLog("Illegal processing date " + procDate + " " + procTime);
    }
  }
  for (int i = 1; i <= 4; ++i)
    if (reference == ReferenceLongNames[i]) Params.ReferenceType = i;
  for (int i = 1; i <= 3; ++i)
    if (weighting == WeightingNames[i]) Params.WeightingType = i;
  if (!cutoff.empty()) Params.CutoffValue = static_cast<float>(ParseFloatLenient(cutoff));
  Params.PrincipalAxes = rotation == "PAX";
}
