// The inspector's stored layout.
#include "inspector/vm_inspector.h"

#include <algorithm>
#include <cstring>

#include "inspector/vm_dropdown.h"
#include "platform/bitmap.h"
#include "platform/dragdrop.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/imglist.h"
#include "platform/inifiles.h"
#include "platform/sysutils.h"

namespace {

// Path with one leading '\' and no trailing one.
std::string NormalizePath(std::string P) {
  while (!P.empty() && P.back() == '\\') P.pop_back();
  if (P.empty() || P.front() != '\\') P.insert(P.begin(), '\\');
  return P;
}

}  // namespace

void TCustomvmInspector::LoadLayout(TvmRegIniWrapper& Wrapper, const std::string& Path) {
  SetBandWidth(Wrapper.ReadInteger(Path, "BandWidth", FBandWidth));
  SetDividerPos(Wrapper.ReadInteger(Path, "DividerPos", FDividerPos));
}

void TCustomvmInspector::SaveLayout(TvmRegIniWrapper& Wrapper, const std::string& Path) {
  Wrapper.WriteInteger(Path, "BandWidth", FBandWidth);
  Wrapper.WriteInteger(Path, "DividerPos", FDividerPos);
}

void TCustomvmInspector::LoadFromRegistryPath(const std::string& Path) {
  const std::string p = NormalizePath(Path);
  TRegIniFile reg("");
  if (!reg.OpenKey(p, false)) return;
  reg.CloseKey();
  TvmRegIniWrapper w;
  w.IniObject = &reg;
  TUpdateLock lock(this);
  LoadLayout(w, p);
}

void TCustomvmInspector::SaveToRegistryPath(const std::string& Path) {
  const std::string p = NormalizePath(Path);
  TRegIniFile reg("");
  TvmRegIniWrapper w;
  w.IniObject = &reg;
  w.EraseSectionsWithPrefix(p);
  SaveLayout(w, p);
}

void TCustomvmInspector::LoadFromIniFile(const std::string& FileName, const std::string& Path) {
  TMemIniFile ini(FileName);
  TvmRegIniWrapper w;
  w.IniObject = &ini;
  TUpdateLock lock(this);
  LoadLayout(w, NormalizePath(Path));
}

void TCustomvmInspector::SaveToIniFile(const std::string& FileName, const std::string& Path) {
  TMemIniFile ini(FileName);
  TvmRegIniWrapper w;
  w.IniObject = &ini;
  w.EraseSectionsWithPrefix(NormalizePath(Path));
  SaveLayout(w, NormalizePath(Path));
  ini.UpdateFile();
}
