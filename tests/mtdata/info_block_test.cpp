#include "mtdata/info_block.h"

#include "platform/datetime.h"
#include "log_fixture.h"
#include "platform/logdevice.h"

#include <gtest/gtest.h>

#include <memory>

#include <string>
#include <vector>

namespace {

using mtdata_test::StartLog;
using mtdata_test::StopLog;

std::string PadTo(std::string s, std::size_t n) {
  if (s.size() < n) s.append(n - s.size(), ' ');
  return s;
}

// A sensor line: name, the slot digit in column 7, the azimuth in columns 21..27.
std::string Sensor(const std::string& name, char slot, const std::string& azimuth) {
  std::string s = PadTo(name, 6) + slot;
  s = PadTo(s, 20) + std::string(7 - azimuth.size(), ' ') + azimuth;
  return s;
}

TInfoLines Block(const std::vector<std::string>& lines) {
  TInfoLines b;
  for (TInfoLine& l : b) l.fill('\0');
  int i = 1;
  for (const std::string& s : lines) {
    EXPECT_LE(s.size(), 32u) << s;
    SetInfoLine(b[i++], s);
  }
  return b;
}

struct Parsed {
  TTapeLabel header;
  TMtRobstParam params;
  std::string log;
};

Parsed ParseBlock(const TInfoLines& block) {
  Parsed p;
  ClearTapeLabel(p.header);
  StartLog();
  ParseInfoBlock(block, p.header, p.params);
  p.log = StopLog();
  return p;
}

Parsed Parse(const std::vector<std::string>& lines) { return ParseBlock(Block(lines)); }

TEST(InfoBlock, FullBlockFillsHeaderAndProcessingParameters) {
  std::vector<std::string> lines = {
      "RUN INFORMATION",
      "SURVEY ID: PRJ-7",
      "SURVEY CO: GeoCo",
      "CLIENT CO: ClientX",
      "AREA: North Ridge",
      "ROTATION=PAX",
      "  job:   A1234  ",
      "HARDWARE: MTU-5A rev2",
      "OPERATOR: Ivanov",
      "DATE: 2003/05/14 03May20",
      "TIME: 09:05:07   11:22:33",
      "FILE: a.ts b.ts",
      "RUN DESC: 1234567A12B",
      "REFERENCE FIELD: Remote E - Ref.",
      "XPR WEIGHTING: RHO Variance.",
      "CUTOFF VALUE: 0.85",
      "STN Number: 101A",
      "RQU-Box Serial Number: SN1234",
      "Site Desc: Hilltop by the riverX",
      "Lat 61:30:1234N Long 33:15:0000W",
      "Elevation: 1234.5 m",
      "Site Permitted by: Owner",
      "Site Layout by: Petrov",
      PadTo(PadTo("RQU-Box Gains:", 19) + "  16", 29) + "  4",
      "Ex Pot Resist: 1.250 kOhm",
      "Ex Voltage: V1 12.5 E2 is -3.4",
      "Ey Pot Resist: 2.5",
      Sensor("Ex", '1', "0.0"),
      Sensor("Ey", '2', "90.0"),
      Sensor("Hx", '3', "1.5"),
      "Hx Sen: 99999999999999999999999",
      Sensor("Hy", '4', "91.5"),
      "Hz: 77777777777777777777777777",
      Sensor("Hz", '5', "0.25"),
      Sensor("RHx", '6', "10.5"),
      Sensor("RHy", '7', "100.5"),
      "END-TIME: 23:59:59",
      "Notch Filters set for 50 Hz",
  };
  while (lines.size() < 54) lines.push_back("");
  lines.push_back("CLIENT: Client Corp");  // line 55, after the survey company
  const std::string dateFormat = ShortDateFormat;
  const char dateSeparator = DateSeparator;
  const Parsed p = Parse(lines);
  // The program's date settings are left as they were.
  EXPECT_EQ(ShortDateFormat, dateFormat);
  EXPECT_EQ(DateSeparator, dateSeparator);
  const TTapeLabel& h = p.header;

  EXPECT_EQ(h.Survey.Project, "PRJ-7");
  EXPECT_EQ(h.Company, "Client Corp");
  EXPECT_EQ(h.Client, "Client Corp");
  EXPECT_EQ(h.Area, "North Ridge");
  EXPECT_EQ(h.Location, "North Ridge");
  EXPECT_EQ(h.Job.str(), "A1234");
  EXPECT_EQ(h.JobPrefix.str(), "A12");
  EXPECT_EQ(h.JobTitle.str(), "A1234");
  EXPECT_EQ(h.Hardware.str(), "MTU-5A");
  EXPECT_EQ(h.Operator, "Ivanov");
  EXPECT_EQ(h.ProcessedFiles, "a.ts b.ts");
  EXPECT_EQ(h.RunNumber, 10 * 1000 + 12 * 10 + 11 - 9);
  EXPECT_EQ(h.RunDesc.str(), "A12B");
  EXPECT_EQ(h.StnNumber.str(), "101A");
  EXPECT_EQ(h.Station.str(), "1234");
  EXPECT_EQ(h.Point.SiteDesc.str(), "Hilltop by the river");
  EXPECT_NEAR(h.Point.LatInDeg, 61 + 30 / 60.0 + 12.34 / 3600, 1e-12);
  EXPECT_DOUBLE_EQ(h.Point.LongInDeg, -33.25);
  EXPECT_EQ(h.Point.Latitude, "61\u00B0 30' 12.3\" N");
  EXPECT_EQ(h.Point.Longitude, "33\u00B0 15' 00.0\" W");
  EXPECT_EQ(h.Point.Elevation, 1234.5L);
  EXPECT_EQ(h.Point.Altitude, 1234.5L);
  EXPECT_EQ(h.SitePermittedBy, "Owner");
  EXPECT_EQ(h.SiteLayoutBy, "Petrov");
  EXPECT_EQ(h.BoxGains[1], 16);
  EXPECT_EQ(h.BoxGains[2], 4);
  EXPECT_FLOAT_EQ(h.ExPotResist, 1.25f);
  EXPECT_FLOAT_EQ(h.EyPotResist, 2.5f);
  EXPECT_FLOAT_EQ(h.EVoltages[1], 12.5f);
  EXPECT_FLOAT_EQ(h.EVoltages[2], -3.4f);
  const float azimuth[8] = {0, 0, 90, 1.5, 91.5, 0.25, 10.5, 100.5};
  for (int s = 1; s <= 7; ++s) {
    EXPECT_FLOAT_EQ(h.ChannelAzimuth[s], azimuth[s]) << s;
    EXPECT_EQ(h.ChannelSlot[s], s);
  }
  EXPECT_DOUBLE_EQ(h.RecordingStart, 37755 + (9 * 3600 + 5 * 60 + 7) / 86400.0);
  EXPECT_EQ(h.OrigFileName, "1234514A");
  EXPECT_EQ(h.LabelSource, 120);
  EXPECT_EQ(h.LabelKind, 2);
  EXPECT_EQ(h.LabelFlags, 8);

  EXPECT_DOUBLE_EQ(p.params.ProcessingDate, 37761 + (11 * 3600 + 22 * 60 + 33) / 86400.0);
  EXPECT_EQ(p.params.ReferenceType, prtRemoteE);
  EXPECT_EQ(p.params.WeightingType, 2);
  EXPECT_FLOAT_EQ(p.params.CutoffValue, 0.85f);
  EXPECT_TRUE(p.params.PrincipalAxes);

  // The log shows the block in two columns: lines 1..30 beside 31..55.
  std::vector<std::string> logLines;
  std::size_t start = 0;
  for (std::size_t nl; (nl = p.log.find('\n', start)) != std::string::npos; start = nl + 1)
    logLines.push_back(p.log.substr(start, nl - start));
  ASSERT_EQ(logLines.size(), 31u);
  EXPECT_EQ(logLines[0], "Info:");
  EXPECT_EQ(logLines[1], PadTo(lines[0], 32) + "   " + PadTo(lines[30], 32));
  EXPECT_EQ(logLines[25], PadTo(lines[24], 32) + "   " + PadTo(lines[54], 32));
  EXPECT_EQ(logLines[30], PadTo(lines[29], 32) + "   ");
}

TEST(InfoBlock, SingleLineRules) {
  {
    const Parsed p = Parse({"REFERENCE FIELD: remote e - ref."});
    EXPECT_EQ(p.params.ReferenceType, 0) << "exact comparison";
  }
  {
    const Parsed p = Parse({"ROTATION=pax"});
    EXPECT_FALSE(p.params.PrincipalAxes);
  }
  {
    // No recording date: the date 0 is 30 December 1899.
    const Parsed p = Parse({"RQU-Box Serial Number: SN9876", "STN Number: 12"});
    EXPECT_EQ(p.header.RecordingStart, 0);
    EXPECT_EQ(p.header.OrigFileName, "9876c30");
  }
  {
    const Parsed p = Parse({"START-UP: 2004/12/01 x 06:30:00"});
    EXPECT_DOUBLE_EQ(p.header.RecordingStart, 38322 + 6.5 / 24);
  }
  {
    // A "Lat" line without "Long" at its place goes on to the next keys.
    const Parsed p = Parse({"Latitude only"});
    EXPECT_TRUE(p.header.Point.Latitude.empty());
  }
  {
    // Code page 1251 text arrives as UTF-8.
    const Parsed p = Parse({"Site Desc: \xCF\xF0\xEE\xF4\xE8\xEB\xFC 12"});
    EXPECT_EQ(p.header.Point.SiteDesc.str(), "\u041F\u0440\u043E\u0444\u0438\u043B\u044C 12");
  }
  {
    const Parsed p = Parse({"SURVEY CO: A", "COMPANY: B", "PROJECT: P1", "SURVEY: P2"});
    EXPECT_EQ(p.header.Company, "B");
    EXPECT_EQ(p.header.Survey.Project, "P2");
  }
}

TEST(InfoBlock, MalformedBlocksNeverCrash) {
  {
    // An upper-case month: the processing date is dropped, the rest of the header stands.
    const Parsed p = Parse({"DATE: 2003/05/14 03MAY20", "TIME: 09:05:07   11:22:33", "XPR WEIGHTING: NO Weighting."});
    EXPECT_EQ(p.params.ProcessingDate, 0);
    EXPECT_EQ(p.params.WeightingType, 1);
    EXPECT_EQ(p.header.LabelSource, 120);
    EXPECT_NE(p.log.find("Illegal processing date 03MAY20"), std::string::npos);
  }
  {
    // A processing date without a processing time.
    const Parsed p = Parse({"DATE: 2003/05/14 03May20"});
    EXPECT_EQ(p.params.ProcessingDate, 0);
    EXPECT_DOUBLE_EQ(p.header.RecordingStart, 37755);
  }
  {
    // A bad recording time keeps the date; a bad date gives 0.
    const Parsed p = Parse({"DATE: 2003/05/14", "TIME: 25:61:00"});
    EXPECT_DOUBLE_EQ(p.header.RecordingStart, 37755);
    const Parsed q = Parse({"DATE: 2003/13/45", "TIME: 10:00:00"});
    EXPECT_EQ(q.header.RecordingStart, 0);
  }
  {
    const Parsed p = Parse({"Elevation: abc", "Ex Pot Resist: ?", "CUTOFF: x1"});
    EXPECT_EQ(p.header.Point.Elevation, 0);
    EXPECT_EQ(p.params.CutoffValue, 0);
    EXPECT_NE(p.log.find("Illegal number abc"), std::string::npos);
  }
  {
    const Parsed p = Parse({"Lat xx:yy:zzzzN Long ??:??:????W", "RUN DESC: short", "HARDWARE:"});
    EXPECT_EQ(p.header.Point.LatInDeg, 0);
    EXPECT_EQ(p.header.RunNumber, -9);
    EXPECT_TRUE(p.header.Hardware.empty());
  }
  {
    // Every byte value, no terminating #0 anywhere.
    TInfoLines b;
    int k = 0;
    for (TInfoLine& l : b)
      for (char& c : l) c = static_cast<char>(++k * 37);
    EXPECT_NO_THROW(ParseBlock(b));
  }
}

TEST(InfoBlock, ProcessingDateText) {
  EXPECT_DOUBLE_EQ(ParseInfoDate("03May20"), 37761);
  EXPECT_DOUBLE_EQ(ParseInfoDate("99Dec31"), 36525);
  EXPECT_THROW(ParseInfoDate("03MAY20"), EConvertError);
  EXPECT_THROW(ParseInfoDate("03Feb30"), EConvertError);
  EXPECT_THROW(ParseInfoDate(""), EConvertError);
}

}  // namespace
