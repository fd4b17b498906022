#include "mtdata/mt_guard.h"

void RaiseZeroDivide() { throw EZeroDivide("Floating point division by zero"); }
void RaiseInvalidOp() { throw EInvalidOp("Invalid floating point operation"); }
void RaiseOverflow() { throw EOverflow("Floating point overflow"); }
