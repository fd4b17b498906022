// Site positions as text in degrees, minutes and seconds, and the map kit's base types.
#pragma once

#include "platform/exceptions.h"

#include <cstdint>
#include <string>
#include <string_view>

struct TMapPoint {
  double X = 0;
  double Y = 0;
};

TMapPoint MakeMapPoint(double X, double Y);

// An error of the map kit. Its messages begin with a four-digit number and a blank, such as
// "0215 Easting %s out of scope".
class EGIS_Exception : public Exception {
public:
  // A message with one '%' is formatted with Text, one with two with Number and Text; any
  // other message (or one that fails to format) is taken as it stands. MessageCode is the
  // number written in the message's first three characters.
  EGIS_Exception(const std::string& Msg, int32_t Number, const std::string& Text);

  int32_t MessageCode = 0;
  std::string TextArgument;
  int32_t NumberArgument = 0;
};

// Angle in radians as "DD° MM' SS.T\" H" (H = N/S, or E/W for a longitude; N and E for an
// angle >= 0), rounded to tenths of an arc second.
void FormatAngleDms(bool IsLongitude, std::string& Text, long double Angle);
void FormatLatitudeDms(std::string& Text, long double Angle);
void FormatLongitudeDms(std::string& Text, long double Angle);

// "dd:mm:SSsssH" becomes "dd:mm:SS.sssH": a point after the two seconds digits when more than
// two characters follow the second ':'.
void InsertSecondsPoint(std::string_view Text, std::string& Result);

// Degrees of "dd:mm:ss[.s][H]" texts (any number of ':' fields, each a 60th of the one before;
// W and S negative). An empty text leaves its target unchanged; an error stops silently.
void ParseLatLong(std::string_view LatText, std::string_view LongText, double& Latitude,
                  double& Longitude);
