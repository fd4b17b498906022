#include "mtdata/mt_params.h"

#include "mtdata/plot_columns.h"

namespace {

struct TParameterNameRow {
  int Column;
  std::string_view ShortName;
  std::string_view LongName;
};

constexpr TParameterNameRow NameRows[] = {
#define VM_MT_PARAMETER_ROW(No, Short, Long) {No, #Short, Long},
    VM_MT_PARAMETERS(VM_MT_PARAMETER_ROW)
#undef VM_MT_PARAMETER_ROW
};

constexpr bool RowsInColumnOrder() {
  for (int i = 0; i < MaxParam; ++i)
    if (NameRows[i].Column != i + 1) return false;
  return true;
}
static_assert(std::size(NameRows) == MaxParam && RowsInColumnOrder(),
              "one name row per parameter column, in column order");

template <std::string_view TParameterNameRow::*Field>
constexpr TStaticArray<std::string_view, 1, MaxParam> NameColumn() {
  TStaticArray<std::string_view, 1, MaxParam> names{};
  for (int p = 1; p <= MaxParam; ++p) names[p] = NameRows[p - 1].*Field;
  return names;
}

}  // namespace

const TStaticArray<std::string_view, 1, MaxParam> ParameterNames = NameColumn<&TParameterNameRow::LongName>();
const TStaticArray<std::string_view, 1, MaxParam> ParameterShortNames = NameColumn<&TParameterNameRow::ShortName>();
