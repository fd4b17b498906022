#include "chart/editor/language.h"

#include <memory>
#include <optional>
#include <string_view>

#include "chart/editor/caption_fit.h"
#include "chart/editor/chart_list_box.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "platform/comctrls.h"
#include "platform/controls.h"
#include "platform/extctrls.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"
#include "platform/strings.h"

std::string RestartMessage;

namespace {

// The dictionary lines in their stored order; a key may repeat and only its first line counts.
struct TDictionaryLine {
  const char* Key;
  const char* Value;
};

const TDictionaryLine kRussianDictionary[] = {
#define VM_RU_ENTRY(Key, Value) {Key, Value},
#include "chart/editor/russian_dictionary.def"
#undef VM_RU_ENTRY
};

// The program's own phrases, appended once when Russian is chosen.
const TDictionaryLine kRussianApplicationBlock[] = {
#define VM_RU_ENTRY(Key, Value) {Key, Value},
#include "chart/editor/russian_app_block.def"
#undef VM_RU_ENTRY
};

std::unique_ptr<TStringList> gRussianDictionary;

std::string Line(const TDictionaryLine& L) { return std::string(L.Key) + "=" + L.Value; }

bool IsBlankOrControl(char C) { return static_cast<unsigned char>(C) <= ' '; }

bool IsLatinOrDigit(char C) { return (C >= '0' && C <= '9') || (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); }

bool EndsWith(const std::string& S, const char* Tail) {
  const std::string t(Tail);
  return S.size() >= t.size() && S.compare(S.size() - t.size(), t.size(), t) == 0;
}

// Translates every item of a combo box's or list box's list, keeping the selection: by text in a
// sorted list (the items move when they are translated), by index in an unsorted one.
template <class TBox>
void TranslateItems(TBox* Box, std::string& Used) {
  TStrings* items = Box->Items();
  const bool sorted = Box->Sorted();
  const int index = Box->ItemIndex();
  std::string selected = sorted && index >= 0 && index < items->Count() ? items->Strings(index) : std::string();
  const bool hadSelection = sorted && index >= 0;
  if (sorted) Box->SetSorted(false);
  for (int i = 0; i < items->Count(); ++i) {
    std::string s = items->Strings(i);
    if (TranslateText(s, Used)) items->SetStrings(i, s);
  }
  if (sorted) {
    Box->SetSorted(true);
    if (!hadSelection) {
      Box->SetItemIndex(-1);
      return;
    }
    std::string scratch;
    std::string translated = selected;
    TranslateText(translated, scratch);
    int found = items->IndexOf(translated);
    if (found < 0) found = items->IndexOf(selected);
    Box->SetItemIndex(found);
  } else {
    Box->SetItemIndex(index);
  }
}

void TranslateCaption(TControl* C, std::string& Used) {
  std::string s = C->Caption();
  if (TranslateText(s, Used)) C->SetText(s);
}

}  // namespace

std::string LookupTranslation(const std::string& Key) {
  // A line's key ends at its first '=': a key that is empty or holds '=' matches no line.
  if (!CurrentDictionary || Key.empty() || Key.find('=') != std::string::npos) return {};
  // A line matches when it starts with Key followed by '='.
  auto match = [&Key](std::string_view line) -> std::optional<std::string> {
    if (line.size() <= Key.size() || line[Key.size()] != '=' || line.compare(0, Key.size(), Key) != 0)
      return std::nullopt;
    return std::string(line.substr(Key.size() + 1));
  };
  const int n = CurrentDictionary->Count();
  // The Russian dictionary is a string list of about a thousand lines, scanned for every text of
  // a window: read its lines in place rather than copying each.
  if (const auto* list = dynamic_cast<const TStringList*>(CurrentDictionary)) {
    for (int i = 0; i < n; ++i)
      if (auto v = match(list->StringRef(i))) return *v;
    return {};
  }
  for (int i = 0; i < n; ++i)
    if (auto v = match(CurrentDictionary->Strings(i))) return *v;
  return {};
}

bool TranslateText(std::string& Text, std::string& UsedAccelerators) {
  if (Text == "?" || Text == "%" || Text == "0") return false;
  std::size_t b = 0, e = Text.size();
  while (b < e && IsBlankOrControl(Text[b])) ++b;
  while (e > b && IsBlankOrControl(Text[e - 1])) --e;
  if (b == e) return false;
  const std::string trimmed = Text.substr(b, e - b);
  std::string key;
  key.reserve(trimmed.size());
  for (std::size_t i = 0; i < trimmed.size(); ++i) {
    if (trimmed[i] == '&') {
      if (++i >= trimmed.size()) break;
    }
    key += trimmed[i];
  }
  const bool hadAccelerator = key != trimmed;
  for (char& c : key)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  bool colon = false, ellipsis = false;
  if (!key.empty() && key.back() == ':') {
    key.pop_back();
    colon = true;
  }
  if (EndsWith(key, "...")) {
    key.resize(key.size() - 3);
    ellipsis = true;
  }
  std::string value = LookupTranslation(key);
  if (value.empty()) return false;
  if (hadAccelerator) {
    for (std::size_t i = 0; i < value.size(); ++i) {
      const char c = value[i];
      if (IsLatinOrDigit(c) && UsedAccelerators.find(c) == std::string::npos) {
        UsedAccelerators += c;
        value.insert(i, 1, '&');
        break;
      }
    }
  }
  if (ellipsis) value += "...";
  if (colon) value += ':';
  Text = std::move(value);
  return true;
}

std::string Translated(const std::string& Text) {
  std::string s = Text, used;
  TranslateText(s, used);
  return s;
}

void TranslateComponentTexts(TComponent* Root, std::span<TControl* const> Exclusions) {
  if (!CurrentDictionary || !Root) return;
  std::string used;
  if (auto* c = dynamic_cast<TControl*>(Root))
    TranslateCaption(c, used);
  else if (auto* m = dynamic_cast<TMenuItem*>(Root)) {
    std::string s = m->Caption();
    if (TranslateText(s, used)) m->SetCaption(s);
  }
  for (int i = 0; i < Root->ComponentCount(); ++i) {
    TComponent* comp = Root->Components(i);
    bool excluded = false;
    for (TControl* x : Exclusions)
      if (x && static_cast<TComponent*>(x) == comp) excluded = true;
    if (excluded) continue;
    if (auto* item = dynamic_cast<TMenuItem*>(comp)) {
      std::string s = item->Caption();
      if (TranslateText(s, used)) item->SetCaption(s);
      continue;
    }
    auto* control = dynamic_cast<TControl*>(comp);
    if (!control) continue;
    if (auto* label = dynamic_cast<TCustomLabel*>(control)) {
      std::string s = label->Caption();
      if (TranslateText(s, used)) {
        label->SetText(s);
        label->SetAutoSize(true);
      }
    } else if (auto* combo = dynamic_cast<TComboBox*>(control)) {
      TranslateItems(combo, used);
    } else if (auto* list = dynamic_cast<TListBox*>(control); list && !dynamic_cast<TChartListBox*>(list)) {
      TranslateItems(list, used);
    } else if (auto* radio = dynamic_cast<TRadioGroup*>(control)) {
      TranslateCaption(radio, used);
      TStrings* items = radio->Items();
      for (int k = 0; k < items->Count(); ++k) {
        std::string s = items->Strings(k);
        if (TranslateText(s, used)) items->SetStrings(k, s);
      }
    } else if (auto* pages = dynamic_cast<TPageControl*>(control)) {
      for (int k = 0; k < pages->PageCount(); ++k) TranslateCaption(pages->Pages(k), used);
    } else {
      TranslateCaption(control, used);
    }
    if (!control->Hint().empty()) {
      std::string h = control->Hint();
      if (TranslateText(h, used)) control->SetHint(h);
    }
  }
}

int32_t ReadLanguage() { return ReadEditorInteger("Language", -1); }

void WriteLanguage(int32_t Value) { WriteEditorInteger("Language", Value); }

void SetLanguageExtrasEnglish() { RestartMessage = "Please close and restart the application."; }

void SetLanguageExtrasRussian() { RestartMessage = "Пожалуйста, перезапустите Varomark."; }

TStrings* RussianDictionary() {
  if (!gRussianDictionary) {
    gRussianDictionary = std::make_unique<TStringList>();
    std::string text;
    for (const TDictionaryLine& l : kRussianDictionary) text += Line(l) + "\r";
    gRussianDictionary->SetText(text);
  }
  return gRussianDictionary.get();
}

namespace {

void SetRussianMessages() {
#define VM_RU_TEXT(Name, Russian) Name = Russian;
#include "chart/editor/russian_messages.def"
#undef VM_RU_TEXT
}

void MakeRussianCurrent() {
  CurrentDictionary = RussianDictionary();
  SetRussianMessages();
}

}  // namespace

void SetEnglishLanguage() {
  SetLanguageExtrasEnglish();
  SetLibraryLanguageEnglish();
}

void SetRussianLanguage() {
  SetLanguageExtrasRussian();
  MakeRussianCurrent();
  TStrings* d = RussianDictionary();
  if (d->IndexOfName(kRussianApplicationBlock[0].Key) >= 0) return;
  std::string text = d->Text();
  text += "\r";
  for (const TDictionaryLine& l : kRussianApplicationBlock) text += Line(l) + "\r";
  d->SetText(text);
}

void InstallTranslator() {
  // Texts first, then the controls whose captions came out wider than designed are fitted to them.
  TranslateHook = [](TComponent* Root, std::span<TControl* const> Exclusions) {
    TranslateComponentTexts(Root, Exclusions);
    FitCaptions(Root);
  };
}

namespace {

// Start-up: the English extra texts (the program installs the translator itself).
struct TLanguageModule {
  TLanguageModule() { SetLanguageExtrasEnglish(); }
  ~TLanguageModule() { RestartMessage.clear(); }
} gLanguageModule;

}  // namespace
