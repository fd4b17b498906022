#include "platform/guards.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

TEST(StoreChanged, StoresAndTellsOnlyOnAChange) {
  std::string field = "a";
  EXPECT_FALSE(StoreChanged(field, "a"));
  EXPECT_EQ(field, "a");
  EXPECT_TRUE(StoreChanged(field, "b"));
  EXPECT_EQ(field, "b");
  EXPECT_FALSE(StoreChanged(field, std::string("b")));

  double d = 0.0;
  EXPECT_FALSE(StoreChanged(d, -0.0));  // equal values, though their bits differ
  EXPECT_TRUE(StoreChanged(d, 1));
  EXPECT_EQ(d, 1.0);
}

TEST(ScopeExit, RunsOnEveryWayOut) {
  int runs = 0;
  auto leaveEarly = [&](bool early) {
    TScopeExit guard([&] { ++runs; });
    if (early) return 1;
    return 2;
  };
  EXPECT_EQ(leaveEarly(true), 1);
  EXPECT_EQ(leaveEarly(false), 2);
  EXPECT_EQ(runs, 2);

  EXPECT_THROW(
      {
        TScopeExit guard([&] { ++runs; });
        throw std::runtime_error("failed");
      },
      std::runtime_error);
  EXPECT_EQ(runs, 3);

  {
    TScopeExit guard([&] { ++runs; });
    guard.Release();
  }
  EXPECT_EQ(runs, 3);
}

TEST(ScopeExit, ErrorsOfTheActionAndTheBlock) {
  // On a normal exit the action's own error passes on.
  EXPECT_THROW({ TScopeExit guard([] { throw std::logic_error("restore"); }); }, std::logic_error);

  // While the block's error is on its way the action's is dropped: the first error is reported.
  try {
    TScopeExit guard([] { throw std::logic_error("restore"); });
    throw std::runtime_error("block");
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "block");
  } catch (...) {
    ADD_FAILURE() << "the action's error replaced the block's";
  }

  // A guard inside a handler of an earlier error still passes its own error on.
  try {
    throw std::runtime_error("earlier");
  } catch (const std::runtime_error&) {
    EXPECT_THROW({ TScopeExit guard([] { throw std::logic_error("restore"); }); }, std::logic_error);
  }
}

}  // namespace
