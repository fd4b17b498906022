// Site positions as text in degrees, minutes and seconds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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
void ParseLatLong(std::string_view LatText, std::string_view LongText, double& Latitude, double& Longitude);
