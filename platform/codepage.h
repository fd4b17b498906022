// Conversion between UTF-8 (the program's text) and the Cyrillic code pages 1251 and 866.
#pragma once

#include <string>
#include <string_view>

// Characters the target code page lacks become '?'; so do malformed UTF-8 bytes.
std::string Utf8ToCp1251(std::string_view Text);
std::string Cp1251ToUtf8(std::string_view Bytes);
std::string Utf8ToCp866(std::string_view Text);
std::string Cp866ToUtf8(std::string_view Bytes);
