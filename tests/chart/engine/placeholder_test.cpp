#include <gtest/gtest.h>

TEST(ChartEngine, LibraryLinks) { SUCCEED(); }
