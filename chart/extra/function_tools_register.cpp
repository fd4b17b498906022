#include "chart/extra/function_tools_register.h"

#include "chart/extra/compress_function.h"
#include "chart/extra/downsampling_function.h"
#include "chart/extra/indicator_functions.h"

void RegisterFunctionsAndTools() {
  RegisterDownSamplingFunction();
  RegisterCompressFunction();
  RegisterIndicatorFunctions();
}

void UnregisterFunctionsAndTools() {
  UnregisterIndicatorFunctions();
  UnregisterCompressFunction();
  UnregisterDownSamplingFunction();
}
