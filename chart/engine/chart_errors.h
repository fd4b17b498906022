// Exceptions that the chart engine raises with its message texts.
#pragma once

#include "platform/exceptions.h"

VM_DECLARE_EXCEPTION(ChartException, Exception)
VM_DECLARE_EXCEPTION(AxisException, Exception)
VM_DECLARE_EXCEPTION(LegendException, Exception)
