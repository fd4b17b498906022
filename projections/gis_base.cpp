#include "projections/gis_base.h"

#include "platform/sysutils.h"

namespace {

std::string FormatMessage(const std::string& Msg, int32_t Number, const std::string& Text) {
  int percents = 0;
  for (char c : Msg)
    if (c == '%') ++percents;
  try {
    if (percents == 1) return Format(Msg, {Text});
    if (percents == 2) return Format(Msg, {Number, Text});
  } catch (const Exception&) {}
  return Msg;
}

}  // namespace

TMapPoint MakeMapPoint(double X, double Y) { return TMapPoint{X, Y}; }

EGIS_Exception::EGIS_Exception(const std::string& Msg, int32_t Number, const std::string& Text)
    : Exception(FormatMessage(Msg, Number, Text)),
      MessageCode(StrToIntDef(Msg.substr(0, 3), 0)),
      TextArgument(Text),
      NumberArgument(Number) {}
