#include "mtdata/edi_writer.h"

#include "mtdata/coordinates.h"
#include "mtdata/edi_reader.h"
#include "mtdata/export_text.h"
#include "mtdata/site_file.h"
#include "mtdata/text_helpers.h"
#include "platform/sysutils.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>

TEdiHeaderDefaults EdiHeaderDefaults;
double RemoteRefDistance = 45000;
TEdiSegmentOptions EdiSegmentOptions;
TStaticArray<TShortString<10>, 1, MaxChannel> MeasurementIds;
TShortString<15> EdiLatitudeText;
TShortString<15> EdiLongitudeText;
TShortString<15> EdiElevationText;

namespace {

std::string TodayText() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return Format("%2.2d/%2.2d/%2.2d", {tm.tm_mon + 1, tm.tm_mday, (tm.tm_year + 1900) % 100});
}

const char* const ValueMask = "  0.000E+00; -0.000E+00";

// Logical channel (Ex 1 .. Ry 7) of each EDI channel Hx, Hy, Hz, Ex, Ey, Rx, Ry.
constexpr int EdiLogical[8] = {0, 3, 4, 5, 1, 2, 6, 7};
// EDI channel of each logical channel (the inverse of EdiLogical).
constexpr int EdiOfLogical[8] = {0, 4, 5, 1, 2, 3, 6, 7};

void Line(std::ostream& F, const std::string& S = {}) {
  F << S << sLineBreak;
  if (!F) throw EInOutError("Write error in EDI export");
}

// Information line I as its 32 characters (#0 shown as a blank).
std::string InfoLine(const TMTFile& Site, int I) {
  const TInfoLine& l = Site.InfoLines[I];
  std::string s(l.begin(), l.end());
  for (char& c : s)
    if (c == '\0') c = ' ';
  return s;
}

std::string Without(std::string S, char C) {
  std::erase(S, C);
  return S;
}

// Characters Index..Index+Count-1 (1-based) of S, clipped to the text.
std::string Sub(const std::string& S, int Index, int Count) {
  if (Index < 1 || Count <= 0 || Index > static_cast<int>(S.size())) return {};
  return S.substr(static_cast<std::size_t>(Index - 1), static_cast<std::size_t>(Count));
}

// A head text: every '>' removed, trimmed, at most 16 characters.
std::string HeadText(const std::string& S) { return Sub(Trim(Without(S, '>')), 1, 16); }

std::string Quoted(const std::string& S) { return "\"" + S + "\""; }

// x:w:d, with a value that rounds to zero written without a sign.
std::string Fixed(double X, int W, int D) {
  if (std::fabs(X) * std::pow(10.0, D) < 0.5) X = 0;
  return StrWD(X, W, D);
}

double Degrees(double A) { return A * 3.14159265358979323846 / 180.0; }

std::string MonthNumber(const std::string& M) {
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int i = 0; i < 12; ++i)
    if (M == months[i]) return Format("%2.2d", {i + 1});
  return M;
}

// The coordinate and elevation texts from information lines 34 and 35.
void BuildCoordinateTexts(const TMTFile& Site) {
  std::string l34 = InfoLine(Site, 34);
  std::string lat = Without(Trim(Sub(l34, 5, 10)), '_');
  BlanksToZeros(lat);
  if (UpperCase(Sub(l34, 15, 1)) == "S") lat = "-" + lat;
  std::string lon = Trim(Without(Sub(l34, 22, 10), '_'));
  BlanksToZeros(lon);
  if (UpperCase(Sub(l34, 32, 1)) == "W") lon = "-" + lon;
  std::string latPointed, lonPointed;
  InsertSecondsPoint(lat, latPointed);
  InsertSecondsPoint(lon, lonPointed);
  EdiLatitudeText = latPointed;
  EdiLongitudeText = lonPointed;

  std::string elev = Without(Trim(Sub(InfoLine(Site, 35), 11, 7)), '_');
  double e = 0;
  if (!Trim(elev).empty() && !TryStrToFloat(elev, e)) {
    // An information block written by another program may hold any text there: the elevation
    // is then left out, as a missing coordinate is.
    MtLog("EDI export: the elevation '" + ShortQuote(Trim(elev)) +
          "' of the information block is no number: " + "it is written as missing");
    EdiElevationText = "";
    return;
  }
  EdiElevationText = Format("%1.0f", {e});
}

// The site number of the data identifier, and the seven channel IDs.
void BuildMeasurementIds() {
  const std::string id = EdiHeaderDefaults.DataId.str();
  int dash = 0;
  for (int i = 7; i <= std::min<int>(20, static_cast<int>(id.size())); ++i)
    if (id[static_cast<std::size_t>(i - 1)] == '-') {
      dash = i;
      break;
    }
  std::string s;
  for (int i = dash > 0 ? dash + 1 : 7; i <= std::min<int>(20, static_cast<int>(id.size())); ++i) {
    char c = id[static_cast<std::size_t>(i - 1)];
    if (c >= '0' && c <= '9') s += c;
  }
  std::string t = s;
  while (t.size() < 3) t = "0" + t;
  for (int c = 1; c <= MaxChannel; ++c) MeasurementIds[c] = s + IntToStr(c) + "." + t;
}

bool AllDigits(const std::string& S) {
  return !S.empty() && std::all_of(S.begin(), S.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A date of two-digit year, month 01..12 and day 01..31.
bool KnownDate(const std::string& Year, const std::string& Month, const std::string& Day) {
  if (Year.size() != 2 || Month.size() != 2 || Day.size() != 2) return false;
  if (!AllDigits(Year) || !AllDigits(Month) || !AllDigits(Day)) return false;
  const int m = std::stoi(Month), d = std::stoi(Day);
  return m >= 1 && m <= 12 && d >= 1 && d <= 31;
}

// A coordinate line, left out when the information block holds no coordinate.
void CoordinateLine(std::ostream& F, const char* Key, const std::string& Text) {
  if (std::any_of(Text.begin(), Text.end(), [](char c) { return c >= '1' && c <= '9'; })) Line(F, Key + Text);
}

// The definition of EDI channel C (Hx, Hy, Hz, Ex, Ey, Rx, Ry) that an information block
// without a usable channel line stands for: name, dipole length and azimuth.
struct TDefaultChannel {
  const char* Name;
  const char* Length;
  const char* Azimuth;
};
constexpr TDefaultChannel DefaultChannels[8] = {{"", "", ""},      {"Hx", "0", "0"},   {"Hy", "0", "90"},
                                                {"Hz", "0", "0"},  {"Ex", "100", "0"}, {"Ey", "100", "90"},
                                                {"RHx", "0", "0"}, {"RHy", "0", "90"}};

// The remote channels Rx, Ry of a remote-E site, which record the electric field.
constexpr TDefaultChannel RemoteElectricChannels[3] = {{"", "", ""}, {"REx", "100", "0"}, {"REy", "100", "90"}};

// Matrix slot of EDI channel R: the site's channel order when it names a slot, else the
// standard slot.
int SlotOfEdiChannel(const TMTFile& Site, int R) {
  int s = Site.ChannelOrder[EdiLogical[R]];
  return (s >= 1 && s <= MaxChannel) ? s : EdiChannelOrder[R];
}

}  // namespace

std::string (*EdiFileDateText)() = TodayText;

std::vector<int> EdiValidRows(const TMTFile& Site) {
  std::vector<int> rows;
  for (int f = 1; f <= Site.FreqCount; ++f)
    if (Site.Plots[f][pcRhoxyOhmm] > 0) rows.push_back(f);
  return rows;
}

void WriteEdiHead(std::ostream& F, const TMTFile& Site) {
  Line(F, ">HEAD");
  Line(F);
  Line(F, "    DATAID=" + Quoted(HeadText(EdiHeaderDefaults.DataId)));
  Line(F, "    ACQBY=" + Quoted(HeadText(EdiHeaderDefaults.DataAcquiredBy)));
  Line(F, "    FILEBY=" + Quoted(HeadText(EdiHeaderDefaults.FileWrittenBy)));

  std::string l8 = InfoLine(Site, 8);
  std::string d = Trim(Sub(l8, Pos(":", l8) + 1, 11));
  std::string year, month, day;
  if (d.size() > 8) {
    year = Sub(d, 3, 2);
    month = Sub(d, 6, 2);
    day = Sub(d, 9, 2);
  } else {
    year = Sub(d, 1, 2);
    month = MonthNumber(Sub(d, 3, 3));
    day = Sub(d, 6, 2);
  }
  if (day.size() == 1) day = "0" + day;
  // A date the information block does not hold is left out: an empty or partial one makes
  // other programs refuse the file or take a wrong date.
  if (KnownDate(year, month, day)) Line(F, "    ACQDATE=" + month + "/" + day + "/" + year);
  Line(F, "    FILEDATE=" + EdiFileDateText());
  if (!EdiHeaderDefaults.CountryOfAcquisition.empty())
    Line(F, "    COUNTRY=" + Quoted(HeadText(EdiHeaderDefaults.CountryOfAcquisition)));
  if (!EdiHeaderDefaults.StateOfAcquisition.empty())
    Line(F, "    STATE=" + Quoted(HeadText(EdiHeaderDefaults.StateOfAcquisition)));
  CoordinateLine(F, "    LAT=", EdiLatitudeText.str());
  CoordinateLine(F, "    LONG=", EdiLongitudeText.str());
  if (!EdiElevationText.empty()) Line(F, "    ELEV=" + EdiElevationText.str());
  Line(F, "    UNITS=M");
  Line(F, "    STDVERS=" + Quoted("SEG 1.0"));
  std::string product, version, productVersion;
  GetVersionValue("ProductName", product);
  GetVersionValue("FileVersion", version);
  GetVersionValue("ProductVersion", productVersion);
  Line(F, "    PROGVERS=" + Quoted(product + " Ver " + version));
  Line(F, "    PROGDATE=" + Quoted(productVersion));
  Line(F, "    EMPTY=1.0E+32 ");
}

void WriteEdiInfo(std::ostream& F, const TMTFile& Site) {
  Line(F);
  Line(F, ">INFO");
  Line(F);
  for (int i = 1; i <= 30; ++i) {
    std::string row = "    " + Without(InfoLine(Site, i), '>') + "   ";
    if (i <= 25) row += Without(InfoLine(Site, 30 + i), '>');
    Line(F, row);
  }
}

void WriteEdiDefineMeas(std::ostream& F, const TMTFile& Site) {
  const std::string n = IntToStr(Site.ChannelCount);
  Line(F);
  Line(F, ">=DEFINEMEAS");
  Line(F);
  Line(F, "    MAXCHAN=" + n);
  Line(F, "    MAXRUN=999");
  Line(F, "    MAXMEAS=" + n);
  Line(F, "    UNITS=M");
  Line(F, "    REFTYPE=CART");
  Line(F);
  Line(F, ">!****THE X,Y OFFSETS ARE RELATIVE TO THIS REFERENCE****!");
  CoordinateLine(F, "    REFLAT=", EdiLatitudeText.str());
  CoordinateLine(F, "    REFLONG=", EdiLongitudeText.str());
  if (!EdiElevationText.empty()) Line(F, "    REFELEV=" + EdiElevationText.str());
  Line(F);
  Line(F, ">!****DEFINE MEASUREMENTS FOR MT SOUNDING****!");

  BuildMeasurementIds();
  double h = 0;  // azimuth of the Hx channel
  for (int c = 1; c <= Site.ChannelCount; ++c) {
    TSplitFields fields;
    int count = 0;
    SplitFields(InfoLine(Site, 43 + EdiChannelOrder[c]), ' ', fields, count);
    const auto isMagnetic = [](const std::string& t) {
      return t == "HX" || t == "HY" || t == "HZ" || t == "RH" || t == "RX" || t == "RY";
    };
    const auto isElectric = [](const std::string& t) { return t == "EX" || t == "EY" || t == "RE"; };
    // Every channel the file lists gets its line: one the information block does not define
    // is written with its default name, dipole and azimuth, and no acquisition channel.
    const std::string given = count >= 1 ? UpperCase(Sub(fields[1], 1, 2)) : std::string();
    bool defaulted = !isMagnetic(given) && !isElectric(given) && c <= MaxChannel;
    if (!defaulted && c <= MaxChannel) {
      // A line whose azimuth or dipole length is no number (another program's text) stands for
      // no usable definition: the channel is written as one the block does not define.
      double v = 0;
      const bool azimuthOk =
          given.size() >= 2 && given[1] == 'Z' ? true : count >= 2 && TryStrToFloat(fields[count - 1], v);
      const bool lengthOk = !isElectric(given) || (count >= 3 && TryStrToFloat(fields[3], v));
      if (!azimuthOk || !lengthOk) {
        MtLog("EDI export: channel line '" + ShortQuote(Trim(InfoLine(Site, 43 + EdiChannelOrder[c]))) +
              "' of the information block has no number for its " + (azimuthOk ? "dipole length" : "azimuth") +
              ": the channel is written with its standard layout");
        defaulted = true;
      }
    }
    if (defaulted) {
      // The remote channels of a remote-E site are electric.
      const TDefaultChannel& d =
          c > 5 && Site.ReferenceType == frtRemoteE ? RemoteElectricChannels[c - 5] : DefaultChannels[c];
      fields = TSplitFields{};
      fields[1] = d.Name;
      fields[2] = "";
      fields[3] = d.Length;
      fields[4] = d.Azimuth;
      fields[5] = "";
      count = 5;
    }
    const std::string name = fields[1];
    std::string type = UpperCase(Sub(name, 1, 2));
    const bool magnetic = isMagnetic(type);
    const bool electric = isElectric(type);
    if (!magnetic && !electric) continue;
    double a = 0;
    if (type.size() < 2 || type[1] != 'Z') {
      try {
        a = count >= 2 ? StrToFloat(fields[count - 1]) : StrToFloat("");
      } catch (EConvertError& err) {
        err.SetMessage("Azimuth of channel " + name + ": " + err.Message());
        throw;
      }
    }
    // The channel letter of a remote channel: "RHx" gives x, "Rx" gives x.
    const std::string third = UpperCase(name.size() >= 3 ? Sub(name, 3, 1) : Sub(name, 2, 1));
    const std::string acq =
        defaulted ? std::string() : " ACQCHAN=CH" + UpperCase(count >= 2 ? fields[2] : std::string());
    const std::string id = MeasurementIds[c].str();
    if (magnetic) {
      double x, y;
      if (type[1] == 'X' || type[1] == 'Y') {
        x = 12 * std::cos(Degrees(a + 45));
        y = 12 * std::sin(Degrees(a + 45));
        if (type[1] == 'X') h = a;
      } else {
        x = 30 * std::cos(Degrees(h - 45));
        y = 30 * std::sin(Degrees(h - 45));
      }
      if (c > 5) {
        y += RemoteRefDistance;
        type = "H" + third;
      }
      Line(F, ">HMEAS ID=" + id + " CHTYPE=" + type + " X=" + Fixed(x, 3, 1) + " Y=" + Fixed(y, 3, 1) +
                  " AZM=" + Fixed(a, 1, 0) + acq);
    } else {
      double L = 0;
      try {
        L = StrToFloat(count >= 3 ? fields[3] : std::string());
      } catch (EConvertError& err) {
        err.SetMessage("Dipole length of channel " + name + ": " + err.Message());
        throw;
      }
      double x2 = (L / 2) * std::cos(Degrees(a));
      double y2 = (L / 2) * std::sin(Degrees(a));
      double x = -x2, y = -y2;
      if (c > 5) {
        y += RemoteRefDistance;
        y2 += RemoteRefDistance;
        type = "E" + third;
      }
      if (type.size() >= 2 && type[1] == 'N')
        type[1] = 'X';
      else if (type.size() >= 2 && type[1] == 'E')
        type[1] = 'Y';
      Line(F, ">EMEAS ID=" + id + " CHTYPE=" + type + " X=" + Fixed(x, 3, 1) + " Y=" + Fixed(y, 3, 1) +
                  " X2=" + Fixed(x2, 3, 1) + " Y2=" + Fixed(y2, 3, 1) + acq);
    }
  }
}

namespace {

// One data block of values, seven to a line.
void WriteValueList(std::ostream& F, const std::vector<double>& Values) {
  std::string line;
  int onLine = 0;
  for (double v : Values) {
    line += FormatFloat(ValueMask, v);
    if (++onLine == 7) {
      Line(F, line);
      line.clear();
      onLine = 0;
    }
  }
  if (onLine > 0) Line(F, line);
}

// The error blocks in the quantities other programs read: the variance of each impedance
// element in (mV/km/nT)^2, and the error of each apparent resistivity in ohm-m (first order,
// rho ln(10) times the standard deviation of log10 rho that the parameters hold).
std::vector<double> ImpedanceVariances(const TPlots& Plots, const std::vector<int>& Rows, int K) {
  std::vector<double> v;
  for (int f : Rows)
    v.push_back(ImpedanceVarianceOfLogVariance(Plots[f][pcZxxVARRot + K - 1], Plots[f][pcZxxReRot + 2 * (K - 1)],
                                               Plots[f][pcZxxImRot + 2 * (K - 1)]));
  return v;
}

std::vector<double> RhoErrors(const TPlots& Plots, const std::vector<int>& Rows, int Rho, int LogDeviation) {
  std::vector<double> v;
  for (int f : Rows) v.push_back(Plots[f][Rho] * std::log(10.0) * Plots[f][LogDeviation]);
  return v;
}

}  // namespace

void WriteEdiValues(std::ostream& F, const TPlots& Plots, const std::vector<int>& Rows, int Parameter) {
  std::vector<double> values;
  for (int f : Rows) values.push_back(Plots[f][Parameter]);
  WriteValueList(F, values);
}

void WriteEdiMtSect(std::ostream& F, const TPlots& Plots, const std::vector<int>& Rows,
                    const TStaticArray<int16_t, 1, MaxChannel>& StoredChannelOrder, int ChannelCount) {
  const std::string count = IntToStr(static_cast<int>(Rows.size()));
  auto block = [&](const std::string& header, const char* rot, int parameter) {
    Line(F, header + rot + " // " + count);
    WriteEdiValues(F, Plots, Rows, parameter);
  };

  Line(F);
  Line(F, ">=MTSECT");
  Line(F);
  Line(F, "SECTID=" + Quoted(EdiHeaderDefaults.DataId.str()));
  Line(F, "NFREQ=" + count);
  Line(F);
  Line(F, ">!****SET DYNAMIC DEFAULTS FOR MEASUREMENTS ****!");
  // Each key names the measurement of its own component: the IDs follow the EDI channel order
  // (Hx, Hy, Hz, Ex, Ey, Rx, Ry), whatever the slots of the stored channel order. A channel
  // beyond the site's channels has no measurement and no key.
  static const std::pair<const char*, int> defaults[] = {{"HX=", chHx}, {"HY=", chHy}, {"HZ=", chHz}, {"EX=", chEx},
                                                         {"EY=", chEy}, {"RX=", chRx}, {"RY=", chRy}};
  const int channels = ChannelCount >= 1 && ChannelCount <= MaxChannel ? ChannelCount : MaxChannel;
  for (const auto& [key, k] : defaults) {
    int o = StoredChannelOrder[k];
    if (k == chHz && o == 0) o = 5;
    if (o < 1 || o > MaxChannel) throw ERangeError("Channel order entry " + IntToStr(o) + " out of range");
    const int c = EdiOfLogical[k];
    if (c <= channels) Line(F, key + MeasurementIds[c].str());
  }
  Line(F);
  Line(F, ">!****FREQUENCIES****!");
  Line(F, ">FREQ NFREQ=" + count + " // " + count);
  WriteEdiValues(F, Plots, Rows, pcfhz);
  Line(F);
  Line(F, ">!****IMPEDANCE ROTATION ANGLES****!");
  block(">ZROT", "", pcRotAngleDeg);
  Line(F);
  Line(F, ">!****IMPEDANCES****!");
  static const char* const elements[] = {"XX", "XY", "YX", "YY"};
  for (int k = 1; k <= 4; ++k) {
    const std::string e = elements[k - 1];
    block(">Z" + e + "R ROT=", "ZROT", pcZxxReRot + 2 * (k - 1));
    block(">Z" + e + "I ROT=", "ZROT", pcZxxImRot + 2 * (k - 1));
    Line(F, ">Z" + e + ".VAR ROT=ZROT // " + count);
    WriteValueList(F, ImpedanceVariances(Plots, Rows, k));
  }
  Line(F);
  Line(F, ">!****RESISTIVITY ROTATION ANGLES****!");
  block(">RHOROT", "", pcRotAngleDeg);
  Line(F);
  Line(F, ">!**** APPARENT RESISTIVITIES AND PHASES****!");
  block(">RHOXY ROT=", "RHOROT", pcRhoxyOhmm);
  Line(F, ">RHOXY.ERR ROT=RHOROT // " + count);
  WriteValueList(F, RhoErrors(Plots, Rows, pcRhoxyOhmm, pcSqrtVarRhoxy));
  block(">RHOYX ROT=", "RHOROT", pcRhoyxOhmm);
  Line(F, ">RHOYX.ERR ROT=RHOROT // " + count);
  WriteValueList(F, RhoErrors(Plots, Rows, pcRhoyxOhmm, pcSqrtVarRhoyx));
  // The phase errors are standard deviations in degrees already.
  block(">PHSXY ROT=", "RHOROT", pcPHASExyDeg);
  block(">PHSXY.ERR ROT=", "RHOROT", pcSqrtVarPhaseRhoxy);
  block(">PHSYX ROT=", "RHOROT", pcPHASEyxDeg);
  block(">PHSYX.ERR ROT=", "RHOROT", pcSqrtVarPhaseRhoyx);
  Line(F);
  Line(F, ">!****CONTINUOUS 1D INVERSIONS (BOSTICK)****!");
  static const std::pair<const char*, int> bostick[] = {{">RES1DXY ROT=", pcRhoxyBosInv},
                                                        {">DEP1DXY ROT=", pcTenDepthxyKm},
                                                        {">RES1DYX ROT=", pcRhoyxBosInv},
                                                        {">DEP1DYX ROT=", pcTenDepthyxKm}};
  for (const auto& [h, p] : bostick) block(h, "RHOROT", p);
  Line(F);
  Line(F, ">!****COHERENCIES****!");
  static const std::pair<const char*, int> coherences[] = {{">COH MEAS1=1 MEAS2=5 ROT=", pcOrdCohHxEy},
                                                           {">COH MEAS1=2 MEAS2=4 ROT=", pcOrdCohHyEx},
                                                           {">COH MEAS1=1 MEAS2=6 ROT=", pcOrdCohHxRx},
                                                           {">COH MEAS1=2 MEAS2=7 ROT=", pcOrdCohHyRy},
                                                           {">EPREDCOH MEAS1=1 MEAS2=2 EPRED=4 ROT=", pcExCohHxHy},
                                                           {">EPREDCOH MEAS1=1 MEAS2=2 EPRED=5 ROT=", pcEyCohHxHy},
                                                           {">HPREDCOH MEAS1=4 MEAS2=5 HPRED=1 ROT=", pcHxCohExEy},
                                                           {">HPREDCOH MEAS1=4 MEAS2=5 HPRED=2 ROT=", pcHyCohExEy},
                                                           {">HPREDCOH MEAS1=4 MEAS2=5 HPRED=3 ROT=", pcHzCohExEy},
                                                           {">HPREDCOH MEAS1=1 MEAS2=2 HPRED=3 ROT=", pcHzCohHxHy}};
  for (const auto& [h, p] : coherences) block(h, "NORTH", p);
  Line(F);
  Line(F, ">!****AMPLITUDE SPECTRA AND SIGNAL/NOISE****!");
  for (int m = 1; m <= 5; ++m) block(">SIGAMP MEAS=" + IntToStr(m) + " ROT=", "NORTH", 26 + m);
  for (int m = 1; m <= 5; ++m) block(">SIGNOISE MEAS=" + IntToStr(m) + " ROT=", "NORTH", 31 + m);
  Line(F);
  Line(F, ">!****TIPPER PARAMETERS****!");
  static const std::pair<const char*, int> tipper[] = {
      {">TIPMAG", pcTipMAG}, {">TIPMAG.VAR", pcVarTipMAG}, {">TIPPHS", pcTipPHASEDeg}, {">TIPPHS.VAR", pcVarTipPHASE}};
  for (const auto& [h, p] : tipper) block(h, "", p);
  Line(F);
  Line(F, ">!****STRIKE, SKEW, AND ELLIPTICITY PARAMETERS****!");
  static const std::pair<const char*, int> strike[] = {{">ZSTRIKE", pcZSTRIKEDeg}, {">ZSKEW", pcZSkew},
                                                       {">ZELLIP", pcZEllip},      {">TSTRIKE", pcTipSTRIKE},
                                                       {">TSKEW", pcTipSkew},      {">TELLIP", pcTipEllip}};
  for (const auto& [h, p] : strike) block(h, "", p);
}

void WriteEdiSpectraSect(std::ostream& F, const TMTFile& Site, const TFreqMatrices& Stack,
                         const TStaticArray<double, 1, MaxFreq>& Weights, int Segment) {
  const int N = Site.ChannelCount;
  std::vector<int> rows;
  for (int f = 1; f <= Site.FreqCount; ++f)
    if (Segment >= 1 || Stack[f][1][1] != 0) rows.push_back(f);
  const int written = static_cast<int>(rows.size());

  if (Segment <= 1) {
    Line(F, ">=SPECTRASECT");
    Line(F, "   SECTID=" + Quoted(EdiHeaderDefaults.DataId.str()));
    Line(F, "   NCHAN=" + IntToStr(N));
    Line(F, "   NFREQ=" + IntToStr(written));
    Line(F, "   MAXBLKS=" + IntToStr(Segment == 0 ? written : written * Site.XprRecordCount));
    Line(F, "    // " + IntToStr(N));
    for (int c = 1; c <= N; ++c) Line(F, "     " + MeasurementIds[c].str());
    Line(F);
  }

  int slot[8] = {};
  for (int r = 1; r <= N; ++r) slot[r] = SlotOfEdiChannel(Site, r);
  for (int f : rows) {
    const TMatrix7& s = Stack[f];
    // X in the EDI order, real parts on and above, imaginary parts below the diagonal.
    double X[8][8] = {};
    for (int r = 1; r <= N; ++r)
      for (int c = 1; c <= N; ++c) X[r][c] = s[slot[r]][slot[c]];
    for (int r = 1; r <= N; ++r)
      for (int c = r + 1; c <= N; ++c)
        if (slot[r] > slot[c]) {
          double former = X[r][c];
          X[r][c] = X[c][r];
          X[c][r] = -former;
        }
    double w = Weights[f] == 0 ? 0.0001 : Weights[f];
    double freq = Site.Plots[f][pcfhz] != 0 ? Site.Plots[f][pcfhz] : Site.Frequencies[f];
    double bw = (f % 2 == 1 ? 0.25 : 0.33) * freq;
    std::string head = ">SPECTRA  FREQ=" + FormatFloat("0.000E+00", freq) +
                       " ROTSPEC=0 BW=" + FormatFloat("0.0000E+00", bw) + " AVGT=" + FormatFloat("0.0000E+00", w);
    if (Segment >= 1) head += " SEGNUM=" + IntToStr(Segment);
    Line(F, head + " // " + IntToStr(N * N));
    const bool empty = X[1][1] == 0;
    for (int r = 1; r <= N; ++r) {
      std::string row;
      for (int c = 1; c <= N; ++c) {
        double v = X[c][r] / w;
        if (c > r) v = -v;
        row += FormatFloat(ValueMask, empty ? EdiEmptyValue : v);
      }
      Line(F, row);
    }
  }
}

void ExportEdi(const std::string& FileName, const TMTFile& Site, int Mode) {
  if (Mode < 1 || Mode > 3) throw EInvalidOperation("Unknown EDI export mode " + IntToStr(Mode));
  EdiSegmentOptions.FType = false;
  EdiSegmentOptions.SegSxp = true;
  EdiSegmentOptions.SegIxp = false;

  // The text is built whole and written beside the target, then renamed over it: a failure
  // on the way leaves an existing file as it was.
  std::ostringstream F;

  EdiHeaderDefaults.DataId = Trim(Sub(InfoLine(Site, 32), 12, 15));
  // An information block without the identifier (one of a file from another writer): the site
  // is named by its file.
  if (EdiHeaderDefaults.DataId.empty())
    EdiHeaderDefaults.DataId = Sub(ChangeFileExt(ExtractFileName(Site.FileName), ""), 1, 20);
  // The rotation angle column: the strike in principal axes, else the fixed angle. The site
  // itself is left as it is.
  TPlots plots = Site.Plots;
  for (int f = 1; f <= Site.FreqCount; ++f)
    plots[f][pcRotAngleDeg] = Site.RotationMode == 1 ? Site.Plots[f][pcZSTRIKEDeg] : Site.RotationAngle;
  const std::vector<int> rows = EdiValidRows(Site);
  BuildCoordinateTexts(Site);

  WriteEdiHead(F, Site);
  WriteEdiInfo(F, Site);
  WriteEdiDefineMeas(F, Site);
  switch (Mode) {
    case 1:
      Line(F);
      Line(F, ">!****FINAL SUMMED AND EDITED SPECTRA****!");
      WriteEdiSpectraSect(F, Site, Site.StackedMatrix, Site.WeightSum1, 0);
      Line(F, ">END");
      break;
    case 2:
      WriteEdiMtSect(F, plots, rows, Site.StoredChannelOrder, Site.ChannelCount);
      Line(F, ">END");
      break;
    case 3: {
      Line(F);
      Line(F, "> //****INDIVIDUAL SPECTRA FOR EDITING****//");
      auto stack = std::make_unique<TFreqMatrices>();
      auto weights = std::make_unique<TStaticArray<double, 1, MaxFreq>>();
      for (int x = 1; x <= Site.XprRecordCount; ++x) {
        for (int f = 1; f <= Site.FreqCount; ++f) {
          (*stack)[f] = Site.XprMatrices[f][x];
          (*weights)[f] = Site.Weight1[f][x];
        }
        WriteEdiSpectraSect(F, Site, *stack, *weights, x);
      }
      break;
    }
  }
  try {
    WriteExportFile(FileName, F.str());
  } catch (const EInOutError& e) {
    throw EFCreateError(e.Message());
  }
}

void TEdiFileObject::SaveToFile(const std::string& AFileName) {
  // The image as a site without spectra: its information block and the MT section values.
  auto site = std::make_unique<TMTFile>();
  site->Header = Header;
  site->InfoLines = InfoLines;
  site->ChannelCount = static_cast<int16_t>(SpectraChannels > 0 ? SpectraChannels : 7);
  for (int c = 1; c <= MaxChannel; ++c) {
    site->ChannelOrder[c] = static_cast<int16_t>(c);
    site->StoredChannelOrder[c] = static_cast<int16_t>(c);
  }
  site->FreqCount = ImpedanceTable.RowCount;
  site->Plots.Allocate();
  site->Plots = Plots;
  ExportEdi(AFileName, *site, 2);
}
