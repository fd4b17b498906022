// Value lists: one dimension of a series' points (positions, values, or a further dimension a
// series type adds), a growable array of doubles with an insertion order and cached statistics.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/component.h"
#include "platform/typinfo.h"

class TChartSeries;
class TFiler;
class TReader;

enum TChartListOrder { loNone, loAscending, loDescending };
extern const TEnumInfo ChartListOrderInfo;

// The storage of a value list: a block of doubles whose length is the capacity. Growing keeps
// the values in use and leaves the new tail unset (only 0..Count-1 is ever read); large blocks
// grow in place through the allocator, so long series fill without copying.
class TChartValues {
public:
  TChartValues() = default;
  TChartValues(const TChartValues&) = delete;
  TChartValues& operator=(const TChartValues&) = delete;
  ~TChartValues() { std::free(FData); }

  size_t size() const { return FSize; }
  double* data() { return FData; }
  const double* data() const { return FData; }
  double& operator[](size_t Index) { return FData[Index]; }
  double operator[](size_t Index) const { return FData[Index]; }
  // Raises EOutOfMemory when the block cannot grow; the values stay as they were.
  void resize(size_t NewSize);
  // Releases the block.
  void clear() {
    std::free(FData);
    FData = nullptr;
    FSize = 0;
  }

private:
  double* FData = nullptr;
  size_t FSize = 0;
};

// Growth step of the storage of every value list (process-wide). The storage grows by at least
// this many values, and by its own length when that is more, so long series fill in amortised
// constant time.
extern int32_t ValueListCapacityStep;

class TChartValueList : public TPersistent {
  VM_CLASS(TChartValueList, TPersistent)
public:
  // Appends the list to the owner's value lists; the owner frees it.
  TChartValueList(TChartSeries* AOwner, const std::string& AName);
  ~TChartValueList() override;

  // -- virtual operations -------------------------------------------------------------------------
  virtual int32_t AddValue(double Value);
  virtual void ClearValues();
  virtual void InsertValue(int32_t Index, double Value);
  virtual void DeleteValue(int32_t Index);
  virtual int32_t MoveFirstToLast();

  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;

  // -- values -------------------------------------------------------------------------------------
  // Index outside 0..Count-1: ChartException "List index out of bounds (%d)".
  double GetValue(int32_t Index) const;
  void SetValue(int32_t Index, double Value);
  double Value(int32_t Index) const { return GetValue(Index); }
  double operator[](int32_t Index) const { return GetValue(Index); }
  // Range error on an empty list.
  double First() const;
  double Last() const;
  int32_t Locate(double Value) const { return LocateInRange(Value, 0, FCount - 1); }
  int32_t LocateInRange(double Value, int32_t FirstIndex, int32_t LastIndex) const;

  int32_t AddPendingValue();
  void DeleteRange(int32_t Start, int32_t Quantity);
  void Exchange(int32_t Index1, int32_t Index2);
  void FillSequence();
  void Sort();
  int32_t CompareValues(int32_t Index1, int32_t Index2) const;

  // -- statistics (computed on demand) ------------------------------------------------------------
  double GetMaxValue();
  double GetMinValue();
  double GetTotal();
  double GetTotalAbs();
  double GetRange();
  double MaxValue() { return GetMaxValue(); }
  double MinValue() { return GetMinValue(); }
  double Total() { return GetTotal(); }
  double TotalABS() { return GetTotalAbs(); }
  void RecalcStats();

  // -- count ---------------------------------------------------------------------------------------
  int32_t GetCount() const;
  int32_t Count() const { return GetCount(); }
  void SetCount(int32_t Value);

  // -- properties ----------------------------------------------------------------------------------
  bool DateTime() const { return FDateTime; }
  void SetDateTime(bool Value);
  void SetDefaultDateTime(bool Value);
  bool ShouldStoreDateTime() const { return FDateTime != DefaultDateTime; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }
  TChartListOrder Order() const { return FOrder; }
  void SetOrder(TChartListOrder Value) { FOrder = Value; }
  const std::string& ValueSource() const { return FValueSource; }
  void SetValueSource(const std::string& Value);
  TChartSeries* Owner() const { return OwnerSeries; }

  // -- fields --------------------------------------------------------------------------------------
  double MaxValueCache = 0;
  double MinValueCache = 0;
  TChartSeries* OwnerSeries = nullptr;
  double PendingValue = 0;
  double TotalCache = 0;
  double TotalAbsCache = 0;
  bool DefaultDateTime = false;
  TChartValues Values;
  bool StatsStale = true;

  // Direct access to the storage for code that reads many values in a row (no check).
  const double* Data() const { return Values.data(); }

private:
  void CheckIndex(int32_t Index) const;
  void GrowIfFull();
  void Grow();
  void ReadMultiplier(TReader* Reader);

  bool FDateTime = false;
  std::string FName;
  TChartListOrder FOrder = loNone;
  std::string FValueSource;
  int32_t FCount = 0;
};
