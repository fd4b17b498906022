#include "chart/engine/engine_texts.h"

#include <cstring>
#include <iterator>

namespace {
bool gTextsStarted = false;
}  // namespace

std::string ChartFileExtension;
TStrings* CurrentDictionary = nullptr;
bool HotKeyInParentheses = false;
bool LanguageHasCase = true;

#define VM_TEXT(Name, English) std::string Name;
#define VM_EXTRA_TEXT(Name, English) std::string Name;
#include "chart/engine/engine_texts.def"
#undef VM_TEXT
#undef VM_EXTRA_TEXT

namespace {

const TEngineText kTexts[] = {
#define VM_TEXT(Name, English) {#Name, &Name, false},
#define VM_EXTRA_TEXT(Name, English) {#Name, &Name, true},
#include "chart/engine/engine_texts.def"
#undef VM_TEXT
#undef VM_EXTRA_TEXT
};

}  // namespace

void LoadEnglishMessages() {
#define VM_TEXT(Name, English) Name = English;
#define VM_EXTRA_TEXT(Name, English)
#include "chart/engine/engine_texts.def"
#undef VM_TEXT
#undef VM_EXTRA_TEXT
}

void SetExtraTextsEnglish() {
#define VM_TEXT(Name, English)
#define VM_EXTRA_TEXT(Name, English) Name = English;
#include "chart/engine/engine_texts.def"
#undef VM_TEXT
#undef VM_EXTRA_TEXT
}

void ClearMessages() {
  for (const TEngineText& t : kTexts)
    if (!t.Extra) std::string().swap(*t.Text);
  std::string().swap(ChartFileExtension);
}

void ClearExtraTexts() {
  for (const TEngineText& t : kTexts)
    if (t.Extra) std::string().swap(*t.Text);
}

void SetLibraryLanguageEnglish() {
  CurrentDictionary = nullptr;
  LoadEnglishMessages();
  SetExtraTextsEnglish();
  HotKeyInParentheses = false;
  LanguageHasCase = true;
}

const TEngineText* EngineTexts() { return kTexts; }

std::size_t EngineTextCount() { return std::size(kTexts); }

void InitEngineTexts() {
  if (gTextsStarted) return;
  gTextsStarted = true;
  ChartFileExtension = "qvx";
  LoadEnglishMessages();
  SetExtraTextsEnglish();
}

const TEngineText* FindEngineText(const std::string& Name) {
  for (const TEngineText& t : kTexts)
    if (Name == t.Name) return &t;
  return nullptr;
}

namespace {

// Start-up and shutdown of the text modules: core texts first, then the extra texts.
struct TextModules {
  TextModules() { InitEngineTexts(); }
  ~TextModules() {
    ClearExtraTexts();
    ClearMessages();
  }
} gTextModules;

}  // namespace
