// Small shared declarations of the toolkit layer.
#pragma once

#include <cstdint>
#include <functional>

class TObject;

// An event handler (method pointer); called only when assigned.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

// Horizontal alignment of a text in its box.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
