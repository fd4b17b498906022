#include "platform/guards.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

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

TEST(ScopeFail, RunsOnlyWhenLeftByAnError) {
  int runs = 0;
  auto step = [&](int How) {
    TScopeFail undo([&] { ++runs; });
    if (How == 1) return;
    if (How == 2) throw std::runtime_error("failed");
  };
  step(0);
  step(1);  // a return is a success
  EXPECT_EQ(runs, 0);
  EXPECT_THROW(step(2), std::runtime_error);
  EXPECT_EQ(runs, 1);

  // The undo's own error is dropped: the step's error is the one reported.
  try {
    TScopeFail undo([] { throw std::logic_error("undo"); });
    throw std::runtime_error("step");
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "step");
  } catch (...) {
    ADD_FAILURE() << "the undo's error replaced the step's";
  }

  // Inside a handler of an earlier error a guard that is left normally stays quiet.
  try {
    throw std::runtime_error("earlier");
  } catch (const std::runtime_error&) {
    TScopeFail undo([&] { ++runs; });
  }
  EXPECT_EQ(runs, 1);
}

struct TBracketed {
  std::vector<std::string> Calls;
  bool FailEnd = false;
  void BeginUpdate() { Calls.push_back("begin"); }
  void EndUpdate() {
    Calls.push_back("end");
    if (FailEnd) throw std::logic_error("end");
  }
};

TEST(UpdateLock, BracketsTheScopeWhicheverWayItIsLeft) {
  TBracketed t;
  {
    TUpdateLock lock(&t);
    t.Calls.push_back("work");
  }
  EXPECT_EQ(t.Calls, (std::vector<std::string>{"begin", "work", "end"}));

  t.Calls.clear();
  EXPECT_THROW(
      {
        TUpdateLock lock(&t);
        throw std::runtime_error("work");
      },
      std::runtime_error);
  EXPECT_EQ(t.Calls, (std::vector<std::string>{"begin", "end"}));

  // A null target brackets nothing.
  t.Calls.clear();
  { TUpdateLock lock(static_cast<TBracketed*>(nullptr)); }
  EXPECT_TRUE(t.Calls.empty());

  // The end's error passes on after a normal exit and gives way to the block's own error.
  t.FailEnd = true;
  EXPECT_THROW({ TUpdateLock lock(&t); }, std::logic_error);
  EXPECT_THROW(
      {
        TUpdateLock lock(&t);
        throw std::runtime_error("work");
      },
      std::runtime_error);
}

TEST(Restore, SetsForTheScopeAndGivesTheOldValueBack) {
  std::string mode = "idle";
  {
    TRestore<std::string> busy(mode, "busy");
    EXPECT_EQ(mode, "busy");
    {
      TRestore<std::string> nested(mode, "nested");
      EXPECT_EQ(mode, "nested");
    }
    EXPECT_EQ(mode, "busy");
  }
  EXPECT_EQ(mode, "idle");
  EXPECT_THROW(
      {
        TRestore<std::string> busy(mode, "busy");
        throw std::runtime_error("failed");
      },
      std::runtime_error);
  EXPECT_EQ(mode, "idle");
}

}  // namespace
