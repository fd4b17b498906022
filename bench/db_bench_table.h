// The table the data-aware tree benchmarks load: ID, PARENT and NAME (and VALUE when asked), record
// i's parent (i - 1) / 10: ten children each, five levels below the first ten records.
#pragma once

#include <string>

#include "controls/mem_data.h"

constexpr int kTreeRecords = 100000;

// NameCycle > 0 makes the names repeat every NameCycle records (sorting meets equal texts).
inline TVxMemoryData* MakeTreeTable(TComponent* Owner, bool WithValue, int NameCycle) {
  auto* data = new TVxMemoryData(Owner);
  data->FieldDefs()->Add("ID", ftInteger, 0);
  data->FieldDefs()->Add("PARENT", ftInteger, 0);
  data->FieldDefs()->Add("NAME", ftString, 20);
  if (WithValue) data->FieldDefs()->Add("VALUE", ftFloat, 0);
  data->Open();
  data->DisableControls();
  for (int i = 1; i <= kTreeRecords; ++i) {
    data->Append();
    data->Fields()[0]->SetAsInteger(i);
    if (i > 10) data->Fields()[1]->SetAsInteger((i - 1) / 10);
    data->Fields()[2]->SetAsString("Station " + std::to_string(NameCycle > 0 ? i % NameCycle : i));
    if (WithValue) data->Fields()[3]->SetAsFloat(i * 0.125);
    data->Post();
  }
  data->EnableControls();
  data->First();
  return data;
}
