// Settings of the desktop that controls follow in their timing.
#pragma once

#include <cstdint>

// The longest time between the two presses of a double click, in milliseconds.
uint32_t GetDoubleClickTime();
