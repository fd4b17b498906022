#include "chart/extra/function_tools_register.h"

#include "chart/extra/compress_function.h"
#include "chart/extra/data_table_tool.h"
#include "chart/extra/downsampling_function.h"
#include "chart/extra/indicator_functions.h"
#include "chart/extra/scroll_bar_tool.h"
#include "chart/extra/selector_tool.h"
#include "chart/extra/series_band_tools.h"

void RegisterFunctionsAndTools() {
  RegisterDownSamplingFunction();
  RegisterCompressFunction();
  RegisterIndicatorFunctions();
  RegisterScrollBarTools();
  RegisterDataTableTool();
  RegisterSelectorTool();
  RegisterSeriesBandTools();
}

void UnregisterFunctionsAndTools() {
  UnregisterSeriesBandTools();
  UnregisterSelectorTool();
  UnregisterDataTableTool();
  UnregisterScrollBarTools();
  UnregisterIndicatorFunctions();
  UnregisterCompressFunction();
  UnregisterDownSamplingFunction();
}
