// Exceptions that the chart engine raises with its message texts.
#pragma once

#include "platform/exceptions.h"

class ChartException : public Exception {
public:
  using Exception::Exception;
};

class AxisException : public Exception {
public:
  using Exception::Exception;
};

class LegendException : public Exception {
public:
  using Exception::Exception;
};
