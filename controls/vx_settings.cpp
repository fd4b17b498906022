#include "controls/vx_settings.h"

#include <algorithm>
#include <map>
#include <utility>

#include "controls/vx_utils.h"
#include "platform/component.h"
#include "platform/controls.h"
#include "platform/forms.h"
#include "platform/inifiles.h"
#include "platform/sysutils.h"

std::function<void()> MinimizeApplicationHook;

namespace {

std::string ProgramFileName() {
  std::string exe = ParamStr(0);
  if (exe.empty() && Application) exe = Application->ExeName();
  return ExtractFileName(exe);
}

TForm* ParentFormOf(TControl* Control) {
  TWinControl* p = Control->Parent();
  while (p) {
    if (auto* f = dynamic_cast<TForm*>(p)) return f;
    p = p->Parent();
  }
  return nullptr;
}

// The profile functions strip one pair of enclosing quotes on reading.
std::string QuoteForIni(const std::string& Value) {
  if (Value.size() >= 2 &&
      ((Value.front() == '"' && Value.back() == '"') || (Value.front() == '\'' && Value.back() == '\'')))
    return "\"" + Value + "\"";
  return Value;
}

std::map<const TForm*, std::pair<TPoint, TPoint>>& KeptPositions() {
  static std::map<const TForm*, std::pair<TPoint, TPoint>> m;
  return m;
}

// Word N (1-based) of a placement value as an integer; Default when missing or bad.
int32_t PlacementWord(const std::string& Text, int N, int32_t Default) {
  static const TCharSet delims = CharSetOf(" ,");
  return StrToIntDef(WordAt(N, Text, delims), Default);
}

}  // namespace

std::string DefaultIniFileName() { return ChangeFileExt(ProgramFileName(), ".INI"); }

std::string DefaultRegistryKey() { return "Software\\" + ChangeFileExt(ProgramFileName(), ""); }

std::string DefaultSectionName(TComponent* Component) {
  if (!Component) return {};
  if (dynamic_cast<TForm*>(Component)) return Component->ClassName();
  if (auto* c = dynamic_cast<TControl*>(Component)) {
    if (TForm* f = ParentFormOf(c)) return f->ClassName() + c->Name();
    return (c->Parent() ? c->Parent()->Name() : std::string()) + c->Name();
  }
  if (auto* f = dynamic_cast<TForm*>(Component->Owner())) return Format("%s.%s", {f->ClassName(), Component->Name()});
  return Component->Name();
}

std::string SettingsReadString(TObject* File, const std::string& Section, const std::string& Ident,
                               const std::string& Default) {
  if (auto* ini = dynamic_cast<TCustomIniFile*>(File)) return ini->ReadString(Section, Ident, Default);
  if (auto* reg = dynamic_cast<TRegIniFile*>(File)) return reg->ReadString(Section, Ident, Default);
  return Default;
}

void SettingsWriteString(TObject* File, const std::string& Section, const std::string& Ident,
                         const std::string& Value) {
  if (auto* ini = dynamic_cast<TCustomIniFile*>(File))
    ini->WriteString(Section, Ident, dynamic_cast<TIniFile*>(File) ? QuoteForIni(Value) : Value);
  else if (auto* reg = dynamic_cast<TRegIniFile*>(File))
    reg->WriteString(Section, Ident, Value);
}

int32_t SettingsReadInteger(TObject* File, const std::string& Section, const std::string& Ident, int32_t Default) {
  if (auto* ini = dynamic_cast<TCustomIniFile*>(File)) return ini->ReadInteger(Section, Ident, Default);
  if (auto* reg = dynamic_cast<TRegIniFile*>(File)) return reg->ReadInteger(Section, Ident, Default);
  return Default;
}

void SettingsWriteInteger(TObject* File, const std::string& Section, const std::string& Ident, int32_t Value) {
  if (auto* ini = dynamic_cast<TCustomIniFile*>(File))
    ini->WriteInteger(Section, Ident, Value);
  else if (auto* reg = dynamic_cast<TRegIniFile*>(File))
    reg->WriteInteger(Section, Ident, Value);
}

void SettingsEraseSection(TObject* File, const std::string& Section) {
  if (auto* ini = dynamic_cast<TCustomIniFile*>(File))
    ini->EraseSection(Section);
  else if (auto* reg = dynamic_cast<TRegIniFile*>(File))
    reg->EraseSection(Section);
}

std::string ScreenSizeSuffix() { return Format("(%dx%d)", {Screen->Width(), Screen->Height()}); }

std::string ReadScreenKey(TObject* File, const std::string& Section, const std::string& Ident) {
  std::string s = SettingsReadString(File, Section, Ident + ScreenSizeSuffix(), "");
  if (s.empty()) s = SettingsReadString(File, Section, Ident, "");
  return s;
}

void WriteScreenKey(TObject* File, const std::string& Section, const std::string& Ident, const std::string& Value) {
  SettingsWriteString(File, Section, Ident + ScreenSizeSuffix(), Value);
  SettingsWriteString(File, Section, Ident, Value);
}

TWindowPlacement GetFormPlacement(TForm* Form) {
  TWindowPlacement wp;
  switch (Form->WindowState()) {
    case wsMinimized:
      wp.ShowCmd = SW_SHOWMINIMIZED;
      break;
    case wsMaximized:
      wp.ShowCmd = SW_SHOWMAXIMIZED;
      break;
    default:
      wp.ShowCmd = SW_SHOWNORMAL;
      break;
  }
  auto it = KeptPositions().find(Form);
  if (it != KeptPositions().end()) {
    wp.MinPosition = it->second.first;
    wp.MaxPosition = it->second.second;
  }
  wp.NormalPosition = Form->BoundsRect();
  return wp;
}

void SetFormPlacement(TForm* Form, const TWindowPlacement& Placement) {
  KeptPositions()[Form] = {Placement.MinPosition, Placement.MaxPosition};
  TRect r = Placement.NormalPosition;
  if (Form->FormStyle() != fsMDIChild && Screen) {
    // A placement kept for a larger screen (or another scale) comes onto this one whole.
    const TRect area = Screen->WorkAreaRect();
    const int w = std::min(r.Width(), area.Width()), h = std::min(r.Height(), area.Height());
    const int left = std::clamp(r.Left, area.Left, area.Right - w), top = std::clamp(r.Top, area.Top, area.Bottom - h);
    r = Rect(left, top, left + w, top + h);
  }
  Form->SetBoundsRect(r);
  switch (Placement.ShowCmd) {
    case SW_HIDE:
      break;
    case SW_SHOWMINIMIZED:
    case 6:
    case 7:
      Form->SetWindowState(wsMinimized);
      break;
    case SW_SHOWMAXIMIZED:
      Form->SetWindowState(wsMaximized);
      break;
    default:
      Form->SetWindowState(wsNormal);
      break;
  }
}

void ForgetFormPlacement(TForm* Form) { KeptPositions().erase(Form); }

void WriteWindowPlacement(TForm* Form, TObject* File, const std::string& Section) {
  TWindowPlacement wp = GetFormPlacement(Form);
  if (Form->FormStyle() == fsMDIChild && Form->WindowState() == wsMinimized) wp.Flags |= WPF_SETMINPOSITION;
  if (Application && Form == Application->MainForm() && Form->WindowState() == wsMinimized)
    wp.ShowCmd = SW_SHOWMINIMIZED;
  SettingsWriteInteger(File, Section, "Flags", static_cast<int32_t>(wp.Flags));
  SettingsWriteInteger(File, Section, "ShowCmd", static_cast<int32_t>(wp.ShowCmd));
  SettingsWriteInteger(File, Section, "PixelsPerInch", Screen->PixelsPerInch());
  WriteScreenKey(File, Section, "MinMaxPos",
                 Format("%d,%d,%d,%d", {wp.MinPosition.X, wp.MinPosition.Y, wp.MaxPosition.X, wp.MaxPosition.Y}));
  WriteScreenKey(File, Section, "NormPos",
                 Format("%d,%d,%d,%d", {wp.NormalPosition.Left, wp.NormalPosition.Top, wp.NormalPosition.Right,
                                        wp.NormalPosition.Bottom}));
}

void ReadWindowPlacement(TForm* Form, TObject* File, const std::string& Section, bool LoadState, bool LoadPosition) {
  if (!Form || (!LoadState && !LoadPosition)) return;
  TWindowPlacement wp = GetFormPlacement(Form);
  if (!Form->Visible()) wp.ShowCmd = SW_HIDE;
  if (LoadPosition) {
    bool found = false;
    wp.Flags = static_cast<uint32_t>(SettingsReadInteger(File, Section, "Flags", static_cast<int32_t>(wp.Flags)));
    std::string s = ReadScreenKey(File, Section, "MinMaxPos");
    if (!s.empty()) {
      found = true;
      wp.MinPosition = Point(PlacementWord(s, 1, 0), PlacementWord(s, 2, 0));
      wp.MaxPosition = Point(PlacementWord(s, 3, 0), PlacementWord(s, 4, 0));
    }
    s = ReadScreenKey(File, Section, "NormPos");
    if (!s.empty()) {
      found = true;
      wp.NormalPosition =
          Rect(PlacementWord(s, 1, Form->Left()), PlacementWord(s, 2, Form->Top()),
               PlacementWord(s, 3, Form->Left() + Form->Width()), PlacementWord(s, 4, Form->Top() + Form->Height()));
    }
    if (SettingsReadInteger(File, Section, "PixelsPerInch", Screen->PixelsPerInch()) != Screen->PixelsPerInch())
      found = false;
    if (found) {
      if (Form->BorderStyle() != bsSizeable && Form->BorderStyle() != bsSizeToolWin)
        wp.NormalPosition = Bounds(wp.NormalPosition.Left, wp.NormalPosition.Top, Form->Width(), Form->Height());
      if (wp.NormalPosition.Left < wp.NormalPosition.Right) {
        if (!Form->ComponentState().Contains(csDesigning) &&
            (Form->Position() == poScreenCenter || Form->Position() == poDesktopCenter))
          Form->SetPosition(poDesigned);
        SetFormPlacement(Form, wp);
      }
    }
  }
  if (LoadState) {
    TForm* mainForm = Application ? Application->MainForm() : nullptr;
    bool mainOrNone = !mainForm || mainForm == Form;
    TWindowState state = wsNormal;
    if (mainOrNone &&
        (Form->FormStyle() == fsMDIForm || (Form->FormStyle() == fsNormal && Form->Position() == poDefault)))
      state = wsMaximized;
    switch (SettingsReadInteger(File, Section, "ShowCmd", 0)) {
      case 1:
      case 5:
      case 9:
        state = wsNormal;
        break;
      case 2:
      case 6:
      case 7:
        state = wsMinimized;
        break;
      case 3:
        state = wsMaximized;
        break;
      default:
        break;
    }
    if (state == wsMinimized && mainOrNone) {
      Form->SetWindowState(wsNormal);
      if (MinimizeApplicationHook) MinimizeApplicationHook();
      return;
    }
    Form->SetWindowState(state);
  }
  Form->Update();
}
