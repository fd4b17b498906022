#include "platform/exceptions.h"

#include <gtest/gtest.h>

TEST(Exceptions, FamiliesCarryMessageAndBase) {
  try {
    throw EZeroDivide("Floating point division by zero");
  } catch (const EMathError& e) {
    EXPECT_EQ(e.Message(), "Floating point division by zero");
  }
  EXPECT_THROW(Abort(), EAbort);
  EXPECT_THROW(throw EReadError("x"), EStreamError);
}
