// The information block of a site file's header record (55 lines of 32 characters written by
// the recording system's processing software): turned into the site header and the processing
// parameters, and printed to the log.
#pragma once

#include "mtdata/mt_types.h"

#include <string_view>

// Month names of the processing date.
inline constexpr TStaticArray<std::string_view, 1, 12> InfoMonthNames{
    {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}};

// Fills Header (which the caller has cleared) and Params from the block; logs the block first.
// A processing date or time that does not convert is logged and leaves ProcessingDate 0; a
// run descriptor whose number does not fit a Smallint raises ERangeError.
void ParseInfoBlock(const TInfoLines& Lines, TTapeLabel& Header, TMtRobstParam& Params);

// Logs "Info:" and the block in two columns (lines 1..30 and 31..55).
void PrintInfoBlock(const TInfoLines& Lines);

// The date of a "yymmmdd" text (month names as InfoMonthNames, case-sensitive; a two-digit
// year by the century window). A text that is no such date raises EConvertError.
TDateTime ParseInfoDate(std::string_view Text);

// One information line as text: its 32 characters with #0 shown as a blank.
std::string InfoLineText(const TInfoLine& Line);
// Sets an information line from a text (cut or padded with #0 to 32 characters).
void SetInfoLine(TInfoLine& Line, std::string_view Text);
