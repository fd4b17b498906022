// The user-interface language: caption translation through the current dictionary, the
// persisted language number and the switch between English and Russian.
//
// Windows are designed in English. While Russian is current every window translates its own
// texts when it is created (TranslateControl reaches TranslateComponentTexts through the engine's
// TranslateHook); English has no dictionary, so translation changes nothing.
#pragma once

#include <cstdint>
#include <span>
#include <string>

class TComponent;
class TControl;
class TStrings;

// The language number stored as "Language": 11 is Russian, anything else (or -1 when never
// stored) is English.
constexpr int32_t LanguageEnglish = 0;
constexpr int32_t LanguageRussian = 11;

// Value of the first dictionary line whose key equals Key exactly; empty when there is no current
// dictionary or no such line.
std::string LookupTranslation(const std::string& Key);
// Translates Text in place (accelerator, trailing colon and "..." kept; a new accelerator goes to
// the first Latin letter or digit not yet in UsedAccelerators). False leaves Text unchanged.
bool TranslateText(std::string& Text, std::string& UsedAccelerators);
// Text through the current dictionary, for a caption set while the window is in use; unchanged
// when the dictionary does not hold it.
std::string Translated(const std::string& Text);
// The walker installed in TranslateHook: the root's caption and the texts, items and hints of the
// components it owns directly, less the excluded controls.
void TranslateComponentTexts(TComponent* Root, std::span<TControl* const> Exclusions);

int32_t ReadLanguage();
void WriteLanguage(int32_t Value);
void SetEnglishLanguage();
void SetRussianLanguage();

// The Russian dictionary, built on first use and kept until the program ends.
TStrings* RussianDictionary();

// The language module's own texts; the program shows RestartMessage after a switch to English.
extern std::string RestartMessage;
void SetLanguageExtrasEnglish();
void SetLanguageExtrasRussian();

// Installs the translator into TranslateHook (done at start-up; safe to call again).
void InstallTranslator();
