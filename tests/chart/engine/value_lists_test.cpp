// Value lists: ordered insertion, statistics, bounds, growth and sorting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/engine/chart_errors.h"
#include "chart/engine/value_lists.h"

namespace {

std::vector<double> ValuesOf(const TChartValueList& L) {
  std::vector<double> v;
  for (int i = 0; i < L.Count(); ++i) v.push_back(L.GetValue(i));
  return v;
}

struct OrderCase {
  TChartListOrder Order;
  std::vector<double> Start;
  double Add;
  int Index;
};

}  // namespace

TEST(ValueList, AddValuePlacesByOrderBehindEqualValues) {
  const std::vector<OrderCase> cases = {
      {loAscending, {1, 3, 3, 5}, 3, 3},
      {loAscending, {1, 3, 3, 5}, 6, 4},
      {loAscending, {1, 3, 3, 5}, 0, 0},
      {loDescending, {5, 3, 3, 1}, 3, 3},
      {loDescending, {5, 3, 3, 1}, 9, 0},
      {loDescending, {5, 3, 3, 1}, 0, 4},
      {loNone, {2}, 1, 1},
      {loAscending, {}, 7, 0},
  };
  for (const OrderCase& c : cases) {
    TChartValueList l(nullptr, "V");
    l.SetOrder(c.Order);
    for (double v : c.Start) l.InsertValue(l.Count(), v);
    EXPECT_EQ(l.AddValue(c.Add), c.Index) << "order " << c.Order << " adding " << c.Add;
    EXPECT_EQ(l.GetValue(c.Index), c.Add);
    EXPECT_EQ(l.Count(), static_cast<int>(c.Start.size()) + 1);
  }
}

TEST(ValueList, StatisticsAreComputedAfterEachChange) {
  TChartValueList l(nullptr, "V");
  EXPECT_EQ(l.GetMinValue(), 0);
  EXPECT_EQ(l.GetMaxValue(), 0);
  EXPECT_EQ(l.GetTotal(), 0);
  EXPECT_EQ(l.GetRange(), 0);
  for (double v : {-2.0, 5.0, -1.0}) l.AddValue(v);
  EXPECT_EQ(l.GetMinValue(), -2);
  EXPECT_EQ(l.GetMaxValue(), 5);
  EXPECT_EQ(l.GetTotal(), 2);
  EXPECT_EQ(l.GetTotalAbs(), 8);
  l.SetValue(1, -7);
  EXPECT_EQ(l.GetMinValue(), -7);
  EXPECT_EQ(l.GetMaxValue(), -1);
  EXPECT_EQ(l.GetTotalAbs(), 10);
}

TEST(ValueList, LocateFindsTheLowestEqualIndex) {
  TChartValueList l(nullptr, "V");
  for (double v : {1.0, 3.0, 3.0}) l.AddValue(v);
  EXPECT_EQ(l.Locate(3), 1);
  EXPECT_EQ(l.Locate(4), -1);
  EXPECT_EQ(l.LocateInRange(3, 2, 2), 2);
  EXPECT_EQ(l.LocateInRange(1, 2, 1), -1);
}

TEST(ValueList, BadIndicesRaiseWithTheIndex) {
  TChartValueList l(nullptr, "V");
  l.AddValue(1);
  l.AddValue(2);
  for (int bad : {2, -1}) {
    try {
      l.GetValue(bad);
      ADD_FAILURE() << bad;
    } catch (const ChartException& e) {
      EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(bad) + ")");
    }
  }
  EXPECT_THROW(l.SetValue(5, 0), ChartException);
  try {
    l.Exchange(0, 7);
    ADD_FAILURE();
  } catch (const ChartException& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (7)");
  }
  TChartValueList empty(nullptr, "E");
  EXPECT_THROW(empty.First(), ERangeError);
  EXPECT_THROW(empty.Last(), ERangeError);
  try {
    empty.DeleteValue(0);
    ADD_FAILURE();
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.Message(), "ValueList Count must be greater than zero.");
  }
  try {
    l.DeleteRange(1, 2);
    ADD_FAILURE();
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.Message(), "Quantity of data to delete must be less than Count.");
  }
  EXPECT_EQ(l.Count(), 2);
}

TEST(ValueList, DeletesMoveTheRestDown) {
  TChartValueList l(nullptr, "V");
  for (int i = 0; i < 6; ++i) l.AddValue(i * 10);
  l.DeleteValue(1);
  EXPECT_EQ(ValuesOf(l), (std::vector<double>{0, 20, 30, 40, 50}));
  l.DeleteRange(1, 3);
  EXPECT_EQ(ValuesOf(l), (std::vector<double>{0, 50}));
  l.DeleteValue(1);
  EXPECT_EQ(ValuesOf(l), (std::vector<double>{0}));
}

TEST(ValueList, MoveFirstToLastRotates) {
  TChartValueList l(nullptr, "V");
  EXPECT_EQ(l.MoveFirstToLast(), 0);
  for (double v : {1.0, 2.0, 3.0}) l.AddValue(v);
  EXPECT_EQ(l.MoveFirstToLast(), 2);
  EXPECT_EQ(ValuesOf(l), (std::vector<double>{2, 3, 1}));
}

TEST(ValueList, StorageGrowsInStepsAndClearReleasesIt) {
  TChartValueList l(nullptr, "V");
  EXPECT_EQ(l.Values.size(), 0u);
  l.AddValue(0);
  EXPECT_EQ(l.Values.size(), 1000u);
  for (int i = 1; i < 1000; ++i) l.AddValue(i);
  EXPECT_EQ(l.Values.size(), 1000u);
  l.InsertValue(1000, 1000);
  EXPECT_EQ(l.Values.size(), 2000u);
  EXPECT_EQ(l.Last(), 1000);
  // Long lists double rather than creep by the step.
  for (int i = 1001; i < 8001; ++i) l.AddValue(i);
  EXPECT_GE(l.Values.size(), 8001u);
  EXPECT_LE(l.Values.size(), 16000u);
  l.ClearValues();
  EXPECT_EQ(l.Count(), 0);
  EXPECT_EQ(l.Values.size(), 0u);
}

TEST(ValueList, AssignCopiesSettingsNotNameOrValues) {
  TChartValueList a(nullptr, "A"), b(nullptr, "B");
  a.SetOrder(loDescending);
  a.SetDateTime(true);
  a.SetValueSource("Field1");
  a.AddValue(1);
  b.AddValue(7);
  b.Assign(&a);
  EXPECT_EQ(b.Order(), loDescending);
  EXPECT_TRUE(b.DateTime());
  EXPECT_EQ(b.ValueSource(), "Field1");
  EXPECT_EQ(b.Name(), "B");
  EXPECT_EQ(ValuesOf(b), (std::vector<double>{7}));
}

TEST(ValueList, SortFollowsTheOrderAndLeavesUnorderedListsAlone) {
  TChartValueList l(nullptr, "V");
  for (double v : {3.0, 1.0, 2.0}) l.InsertValue(l.Count(), v);
  l.Sort();
  EXPECT_EQ(ValuesOf(l), (std::vector<double>{3, 1, 2}));
  l.SetOrder(loDescending);
  l.Sort();
  EXPECT_EQ(ValuesOf(l), (std::vector<double>{3, 2, 1}));
  EXPECT_EQ(l.CompareValues(0, 2), -1);
  l.FillSequence();
  EXPECT_EQ(ValuesOf(l), (std::vector<double>{0, 1, 2}));
}

TEST(ValueList, DateTimeStoredOnlyWhenItDiffersFromTheDefault) {
  TChartValueList l(nullptr, "V");
  l.SetDefaultDateTime(true);
  EXPECT_TRUE(l.DateTime());
  EXPECT_FALSE(l.ShouldStoreDateTime());
  l.SetDateTime(false);
  EXPECT_TRUE(l.ShouldStoreDateTime());
}
