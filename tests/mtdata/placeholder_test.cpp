#include <gtest/gtest.h>

TEST(MtData, LibraryLinks) { SUCCEED(); }
