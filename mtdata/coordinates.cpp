#include "mtdata/coordinates.h"

#include "mtdata/text_helpers.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

#include <cctype>
#include <cmath>

namespace {

constexpr long double PiExtended = 3.141592653589793238462643383279503L;

int64_t IntPart(long double x) { return static_cast<int64_t>(std::trunc(x)); }

}  // namespace

void FormatAngleDms(bool IsLongitude, std::string& Text, long double Angle) {
  const long double d = std::fabs(Angle) * 180.0L / PiExtended;
  const long double t = static_cast<long double>(Round(d * 36000.0L));  // tenths of arc seconds
  const int64_t degrees = IntPart(t / 36000.0L);
  long double r = (t / 36000.0L - degrees) * 60.0L;
  const int64_t minutes = IntPart(Round(r * 6000.0L) / 6000.0L);
  r = (r - minutes) * 60.0L;
  const int64_t seconds = IntPart(Round(r * 100.0L) / 100.0L);
  r = (r - seconds) * 10.0L;
  const int64_t tenths = IntPart(Round(r * 10.0L) / 10.0L);
  const char* letter = IsLongitude ? (Angle >= 0 ? "E" : "W") : (Angle >= 0 ? "N" : "S");
  Text = Format("%2.2d\u00B0 %2.2d' %2.2d.%1d\" %s", {degrees, minutes, seconds, tenths, letter});
}

void FormatLatitudeDms(std::string& Text, long double Angle) { FormatAngleDms(false, Text, Angle); }

void FormatLongitudeDms(std::string& Text, long double Angle) { FormatAngleDms(true, Text, Angle); }

void InsertSecondsPoint(std::string_view Text, std::string& Result) {
  Result = std::string(Text);
  const std::size_t p1 = Text.find(':');
  if (p1 == std::string_view::npos) return;
  const std::size_t p2 = Text.find(':', p1 + 1);
  if (p2 == std::string_view::npos) return;
  if (Text.size() - (p2 + 1) > 2)
    Result = std::string(Text.substr(0, p2 + 3)) + '.' + std::string(Text.substr(p2 + 3, 3));
}

void ParseLatLong(std::string_view LatText, std::string_view LongText, double& Latitude, double& Longitude) {
  try {
    TCSVStringInfo splitter;
    splitter.SetDelimiter(":");
    for (int which = 0; which < 2; ++which) {
      std::string s(which == 0 ? LatText : LongText);
      if (s.empty()) continue;
      char letter = '\0';
      const char last = static_cast<char>(std::toupper(static_cast<unsigned char>(s.back())));
      if (last == 'E' || last == 'N' || last == 'W' || last == 'S') {
        letter = last;
        s.pop_back();
      }
      for (char& c : s)
        if (c == '_') c = '0';
      splitter.SetSourceString(s);
      double value = 0, scale = 1;
      for (int i = 0; i < splitter.FieldList().Count(); ++i) {
        value += ParseFloatLenient(Trim(splitter.FieldList()[i])) / scale;
        scale *= 60;
      }
      if (letter == 'W' || letter == 'S') value = -value;
      (which == 0 ? Latitude : Longitude) = value;
    }
  } catch (const Exception&) {
    // a fault ends the conversion; what was stored stands
  }
}
