// The map kit's base types: a point on the map and the kit's error.
#pragma once

#include "platform/exceptions.h"

#include <cstdint>
#include <string>

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
