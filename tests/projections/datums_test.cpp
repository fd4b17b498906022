#include "projections/gis_datums.h"

#include <gtest/gtest.h>

TEST(GisDatums, BuiltInTablesAreBuilt) {
  BuildGeodeticTables();
  ASSERT_NE(GisDatumList, nullptr);
  ASSERT_NE(GisEllipsoidList, nullptr);
  EXPECT_EQ(GisDatumList->Count(), 227);
  EXPECT_EQ(GisEllipsoidList->Count(), 23);
}
