// Settings-file routines: default names, reads and writes through an INI file or a registry file,
// screen-size keys and the window-placement record of a form.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/graphics.h"

class TObject;
class TComponent;
class TForm;

// The program file's name with ".INI" for its extension, without folder (so the profile
// folder holds it).
std::string DefaultIniFileName();
// "Software\" and the program file's name without folder and extension.
std::string DefaultRegistryKey();
// The section a component keeps its settings in ("" for none).
std::string DefaultSectionName(TComponent* Component);

// File is a TCustomIniFile or a TRegIniFile; any other object (or none) reads Default and
// writes nothing. Strings written to a text INI file that begin and end with the same quote
// character are wrapped in one more pair of double quotes, so they read back unchanged.
std::string SettingsReadString(TObject* File, const std::string& Section, const std::string& Ident,
                               const std::string& Default);
void SettingsWriteString(TObject* File, const std::string& Section, const std::string& Ident, const std::string& Value);
int32_t SettingsReadInteger(TObject* File, const std::string& Section, const std::string& Ident, int32_t Default);
void SettingsWriteInteger(TObject* File, const std::string& Section, const std::string& Ident, int32_t Value);
void SettingsEraseSection(TObject* File, const std::string& Section);

// "(%dx%d)" of the screen's width and height.
std::string ScreenSizeSuffix();
// Ident + ScreenSizeSuffix, or Ident when that one is empty.
std::string ReadScreenKey(TObject* File, const std::string& Section, const std::string& Ident);
// Under Ident + ScreenSizeSuffix, then under Ident.
void WriteScreenKey(TObject* File, const std::string& Section, const std::string& Ident, const std::string& Value);

// The window-placement record of a form.
constexpr uint32_t WPF_SETMINPOSITION = 1;
constexpr uint32_t SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3;

struct TWindowPlacement {
  uint32_t Flags = 0;
  uint32_t ShowCmd = SW_SHOWNORMAL;
  TPoint MinPosition{-1, -1};
  TPoint MaxPosition{-1, -1};
  TRect NormalPosition;
};

// The toolkit has no native placement record: the normal rectangle is the form's bounds, the
// show command follows its window state, and the minimized and maximized positions are kept
// per form (the window manager decides where such windows go; they are stored, not applied).
TWindowPlacement GetFormPlacement(TForm* Form);
// Moves and sizes the form to the normal rectangle; a show command of minimized or maximized sets
// that state, SW_HIDE leaves the state as it is.
void SetFormPlacement(TForm* Form, const TWindowPlacement& Placement);
// Forgets the positions kept for a form (called when it goes away).
void ForgetFormPlacement(TForm* Form);

// Minimizes the whole program; the stored state of the main form asks for it. No window manager
// command for that exists on this toolkit: the hook, when assigned, does the work.
extern std::function<void()> MinimizeApplicationHook;

void WriteWindowPlacement(TForm* Form, TObject* File, const std::string& Section);
void ReadWindowPlacement(TForm* Form, TObject* File, const std::string& Section, bool LoadState, bool LoadPosition);
