#include "mtdata/coordinates.h"

#include "log_fixture.h"

#include <gtest/gtest.h>

#include <memory>

#include <cmath>

namespace {

using mtdata_test::StartLog;
using mtdata_test::StopLog;

constexpr long double Pi = 3.141592653589793238462643383279503L;

long double ArcSeconds(long double s) { return s / 3600.0L * Pi / 180.0L; }

TEST(Coordinates, AngleAsDegreesMinutesSeconds) {
  struct Case {
    bool longitude;
    long double radians;
    const char* text;
  } cases[] = {
      {false, -0.5L, "28\u00B0 38' 52.4\" S"},
      {true, 0.0L, "00\u00B0 00' 00.0\" E"},
      {false, ArcSeconds(59.99999L), "00\u00B0 01' 00.0\" N"},  // never 60 seconds
      {false, ArcSeconds(3599.96L), "01\u00B0 00' 00.0\" N"},   // nor 60 minutes
      {true, -Pi * 179.5L / 180, "179\u00B0 30' 00.0\" W"},
      {true, ArcSeconds(12.34L), "00\u00B0 00' 12.3\" E"},
  };
  for (const Case& c : cases) {
    std::string t;
    FormatAngleDms(c.longitude, t, c.radians);
    EXPECT_EQ(t, c.text) << static_cast<double>(c.radians);
  }
  std::string lat, lon;
  FormatLatitudeDms(lat, 0.1L);
  FormatLongitudeDms(lon, 0.1L);
  EXPECT_EQ(lat.back(), 'N');
  EXPECT_EQ(lon.back(), 'E');
  EXPECT_EQ(lat.substr(0, lat.size() - 1), lon.substr(0, lon.size() - 1));
}

TEST(Coordinates, InsertSecondsPoint) {
  const std::pair<const char*, const char*> cases[] = {
      {"61:30:1234N", "61:30:12.34N"}, {"61:30:12N", "61:30:12.N"},
      {"61:30:12", "61:30:12"},        {"033:15:123456W", "033:15:12.345"},  // characters beyond three are dropped
      {"611234N", "611234N"},                                                // no colon: left alone
      {"61:301234N", "61:301234N"},    {"", ""},
  };
  for (const auto& [text, expected] : cases) {
    std::string r;
    InsertSecondsPoint(text, r);
    EXPECT_EQ(r, expected) << text;
  }
}

TEST(Coordinates, ParseLatLong) {
  struct Case {
    const char* lat;
    const char* lon;
    double latDeg, lonDeg;
  } cases[] = {
      {"61:30:00N", "033:15:00W", 61.5, -33.25},
      {"12:00:36.0S", "1:30E", -12.01, 1.5},
      {"4_:00:00N", "10", 40, 10},
      {"", "20:30:00E", 7, 20.5},  // an empty text leaves its target
      {"xx:30N", "", 0.5, 8},      // a bad field counts as 0
  };
  for (const Case& c : cases) {
    double lat = 7, lon = 8;
    StartLog();
    ParseLatLong(c.lat, c.lon, lat, lon);
    StopLog();
    EXPECT_NEAR(lat, c.latDeg, 1e-12) << c.lat;
    EXPECT_NEAR(lon, c.lonDeg, 1e-12) << c.lon;
  }
}

}  // namespace
