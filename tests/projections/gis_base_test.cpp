#include "projections/gis_base.h"

#include <gtest/gtest.h>

namespace {

TEST(GisBase, MessageCodeAndArguments) {
  EGIS_Exception e("0215 Easting %s out of scope", 0, "123");
  EXPECT_EQ(e.Message(), "0215 Easting 123 out of scope");
  EXPECT_EQ(e.MessageCode, 21);
  EXPECT_EQ(e.TextArgument, "123");
  EXPECT_EQ(e.NumberArgument, 0);

  EGIS_Exception two("0300 Zone %d of %s", 7, "UTM");
  EXPECT_EQ(two.Message(), "0300 Zone 7 of UTM");

  EGIS_Exception plain("0235 Projection is not solvable for current parameters", 1, "x");
  EXPECT_EQ(plain.Message(), "0235 Projection is not solvable for current parameters");
  EXPECT_EQ(plain.MessageCode, 23);

  EGIS_Exception bad("ab %d", 0, "text");  // the text does not fit %d: the message stands
  EXPECT_EQ(bad.Message(), "ab %d");
  EXPECT_EQ(bad.MessageCode, 0);

  const TMapPoint p = MakeMapPoint(1.5, -2);
  EXPECT_EQ(p.X, 1.5);
  EXPECT_EQ(p.Y, -2.0);
}

}  // namespace
