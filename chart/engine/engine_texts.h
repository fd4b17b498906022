// The chart engine's message, caption and name texts.
//
// Every text is a process-wide variable that code reads at the moment it shows or raises it, so a
// language switch reaches every later message. English is assigned at start-up; a language table
// assigns other texts to the same variables, and SetLibraryLanguageEnglish puts English back.
#pragma once

#include <cstddef>
#include <string>

class TStrings;

// Extension of native chart files, without its point ("qvx"); set once at load.
extern std::string ChartFileExtension;
// Caption dictionary of the current language (lines "ENGLISH=translation"); none for English.
extern TStrings* CurrentDictionary;
// Write a translated caption's hot key behind it in parentheses.
extern bool HotKeyInParentheses;
// The current language distinguishes upper and lower case.
extern bool LanguageHasCase;

void LoadEnglishMessages();
void ClearMessages();
void SetExtraTextsEnglish();
void ClearExtraTexts();
void SetLibraryLanguageEnglish();
// Start-up of the text modules (English for both groups); runs once, whoever calls it first.
void InitEngineTexts();

// One text variable, for language tables that assign texts by name and for checks over all texts.
struct TEngineText {
  const char* Name;
  std::string* Text;
  bool Extra;  // one of the extra texts rather than the core texts
};

// The core texts followed by the extra texts, in declaration order.
const TEngineText* EngineTexts();
std::size_t EngineTextCount();
// The entry of the given name, or nullptr.
const TEngineText* FindEngineText(const std::string& Name);
// The texts themselves.
#define VM_TEXT(Name, English) extern std::string Name;
#define VM_EXTRA_TEXT(Name, English) extern std::string Name;
#include "chart/engine/engine_texts.def"
#undef VM_TEXT
#undef VM_EXTRA_TEXT
