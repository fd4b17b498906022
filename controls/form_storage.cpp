#include "controls/form_storage.h"

#include <algorithm>

#include "controls/props_storage.h"
#include "controls/vx_settings.h"
#include "controls/vx_utils.h"
#include "platform/controls.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/inifiles.h"
#include "platform/strings.h"
#include "platform/sysutils.h"
#include "platform/typinfo.h"

namespace {

const TEnumInfo PlacementOptionInfo("TPlacementOption", {"fpState", "fpPosition", "fpActiveControl"});
const TEnumInfo PlacementRegRootInfo("TPlacementRegRoot", {"prCurrentUser", "prLocalMachine", "prCurrentConfig",
                                                           "prClassesRoot", "prUsers", "prDynData"});

// Frame thickness of a border style (the maximized position lies that far outside the screen).
int32_t FrameSize(TFormBorderStyle Style) {
  switch (Style) {
    case bsSingle:
    case bsToolWindow:
      return 1;
    case bsSizeable:
    case bsSizeToolWin:
      return 4;
    case bsDialog:
      return 3;
    default:
      return 0;
  }
}

}  // namespace

VM_PUBLISH(TWinMinMaxInfo) {
  P.Int("MaxPosLeft", &TWinMinMaxInfo::MaxPosLeft, &TWinMinMaxInfo::SetMaxPosLeft).Default(0);
  P.Int("MaxPosTop", &TWinMinMaxInfo::MaxPosTop, &TWinMinMaxInfo::SetMaxPosTop).Default(0);
  P.Int("MaxSizeHeight", &TWinMinMaxInfo::MaxSizeHeight, &TWinMinMaxInfo::SetMaxSizeHeight).Default(0);
  P.Int("MaxSizeWidth", &TWinMinMaxInfo::MaxSizeWidth, &TWinMinMaxInfo::SetMaxSizeWidth).Default(0);
  P.Int("MaxTrackHeight", &TWinMinMaxInfo::MaxTrackHeight, &TWinMinMaxInfo::SetMaxTrackHeight).Default(0);
  P.Int("MaxTrackWidth", &TWinMinMaxInfo::MaxTrackWidth, &TWinMinMaxInfo::SetMaxTrackWidth).Default(0);
  P.Int("MinTrackHeight", &TWinMinMaxInfo::MinTrackHeight, &TWinMinMaxInfo::SetMinTrackHeight).Default(0);
  P.Int("MinTrackWidth", &TWinMinMaxInfo::MinTrackWidth, &TWinMinMaxInfo::SetMinTrackWidth).Default(0);
}
VM_DEFINE_CLASS(TIniLink)
VM_PUBLISH(TStoredValue) {
  P.String("Name", &TStoredValue::Name, &TStoredValue::SetName);
  P.Variant("Value", &TStoredValue::Value, &TStoredValue::SetValue);
  P.String("KeyString", &TStoredValue::KeyString, &TStoredValue::SetKeyString);
  P.Event("OnSave", &TStoredValue::OnSave);
  P.Event("OnRestore", &TStoredValue::OnRestore);
}
VM_DEFINE_CLASS(TStoredValues)
VM_PUBLISH(TFormPlacement) {
  P.Bool("Active", &TFormPlacement::Active, &TFormPlacement::SetActive).Default(true);
  P.String("IniFileName", &TFormPlacement::IniFileName, &TFormPlacement::SetIniFileName).Stored([](TObject* o) {
    return !static_cast<TFormPlacement*>(o)->StoredIniFileName().empty();
  });
  P.String("IniSection", &TFormPlacement::StoredIniSection, &TFormPlacement::SetIniSection);
  P.Object("MinMaxInfo", &TFormPlacement::MinMaxInfo, &TFormPlacement::SetMinMaxInfo);
  P.Set("Options", &TFormPlacement::Options, &TFormPlacement::SetOptions, PlacementOptionInfo)
      .Default(TPlacementOptions{fpState, fpPosition});
  P.Bool("PreventResize", &TFormPlacement::PreventResize, &TFormPlacement::SetPreventResize).Default(false);
  P.Enum("RegistryRoot", &TFormPlacement::RegistryRoot, &TFormPlacement::SetRegistryRoot, PlacementRegRootInfo)
      .Default(prCurrentUser);
  P.Bool("UseRegistry", &TFormPlacement::UseRegistry, &TFormPlacement::SetUseRegistry).Default(false);
  P.Int("Version", &TFormPlacement::Version, &TFormPlacement::SetVersion).Default(0);
  P.Event("OnSavePlacement", &TFormPlacement::OnSavePlacement);
  P.Event("OnRestorePlacement", &TFormPlacement::OnRestorePlacement);
}
VM_PUBLISH(TFormStorage) {
  P.Strings("StoredProps", &TFormStorage::StoredProps);
  P.Collection("StoredValues", &TFormStorage::StoredValues, &TFormStorage::SetStoredValues);
}

// ---------------------------------------------------------------------------------------------
// TWinMinMaxInfo

void TWinMinMaxInfo::SetMinMaxInfo(int Index, int32_t Value) {
  if (Index < 0 || Index > 7 || FValues[Index] == Value) return;
  FValues[Index] = Value;
  if (FOwner) FOwner->MinMaxChanged();
}

void TWinMinMaxInfo::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TWinMinMaxInfo*>(Source)) {
    std::copy(std::begin(s->FValues), std::end(s->FValues), std::begin(FValues));
    if (FOwner) FOwner->MinMaxChanged();
    return;
  }
  TPersistent::Assign(Source);
}

bool TWinMinMaxInfo::IsDefault() const {
  return std::all_of(std::begin(FValues), std::end(FValues), [](int32_t v) { return v == 0; });
}

// ---------------------------------------------------------------------------------------------
// TIniLink

TIniLink::~TIniLink() {
  OnWriteSettings = nullptr;
  OnReadSettings = nullptr;
  SetStorage(nullptr);
}

void TIniLink::SetStorage(TFormPlacement* Value) {
  if (FStorage == Value) return;
  if (FStorage) FStorage->DetachLink(this);
  if (Value) Value->AttachLink(this);
}

TObject* TIniLink::SettingsObject() const { return FStorage ? FStorage->SettingsObject() : nullptr; }

std::string TIniLink::RootSection() const {
  if (!FStorage || FStorage->StoredIniSection().empty()) return {};
  return FStorage->StoredIniSection() + "\\";
}

void TIniLink::WriteSettings() {
  if (OnWriteSettings) OnWriteSettings(this);
}

void TIniLink::ReadSettings() {
  if (OnReadSettings) OnReadSettings(this);
}

// ---------------------------------------------------------------------------------------------
// TStoredValue, TStoredValues

TStoredValue::TStoredValue(TCollection* Collection) : TCollectionItem(Collection) {}

void TStoredValue::SetName(const std::string& Value) {
  if (Value == FName) return;
  if (TCollection* c = Collection())
    for (int i = 0; i < c->Count(); ++i) {
      auto* other = dynamic_cast<TStoredValue*>(c->Items(i));
      if (other && other != this && SameText(other->FName, Value))
        throw EStringListError("String list does not allow duplicates");
    }
  FName = Value;
}

void TStoredValue::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TStoredValue*>(Source);
  if (!s) return;
  FValue = s->FValue;
  SetName(s->FName);
  FKeyString = s->FKeyString;
}

std::string TStoredValue::GetDisplayName() { return FName.empty() ? TCollectionItem::GetDisplayName() : FName; }

TFormPlacement* TStoredValue::Placement() const {
  TCollection* c = Collection();
  return c ? dynamic_cast<TFormPlacement*>(c->GetOwner()) : nullptr;
}

void TStoredValue::WriteValue() {
  TFormPlacement* p = Placement();
  if (!p) return;
  std::string value = FValue;
  if (OnSave) OnSave(this, value);
  if (!FKeyString.empty()) value = KeyedHexEncode(FKeyString, value);
  p->WriteSectionString(FName, value);
}

void TStoredValue::ReadValue() {
  TFormPlacement* p = Placement();
  if (!p) return;
  std::string def = FKeyString.empty() ? FValue : KeyedHexEncode(FKeyString, FValue);
  std::string text = p->ReadSectionString(FName, def);
  if (!FKeyString.empty()) text = KeyedHexDecode(FKeyString, text);
  if (OnRestore) OnRestore(this, text);
  FValue = text;
}

TStoredValues::TStoredValues(TPersistent* AOwner) : TOwnedCollection(AOwner, TStoredValue::StaticClass()) {}

int TStoredValues::IndexOf(const std::string& Name) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(Items(i)->Name(), Name)) return i;
  return -1;
}

void TStoredValues::WriteValues() {
  for (int i = 0; i < Count(); ++i) Items(i)->WriteValue();
}

void TStoredValues::ReadValues() {
  for (int i = 0; i < Count(); ++i) Items(i)->ReadValue();
}

// ---------------------------------------------------------------------------------------------
// TFormPlacement: the form's events

// Handlers put in front of the form's own; their types tell them apart from the form's.
struct TFormPlacement::ShowHandler {
  TFormPlacement* P;
  void operator()(TObject* Sender) const { P->FormShow(Sender); }
};
struct TFormPlacement::CloseQueryHandler {
  TFormPlacement* P;
  void operator()(TObject* Sender, bool& CanClose) const { P->FormCloseQuery(Sender, CanClose); }
};
struct TFormPlacement::DestroyHandler {
  TFormPlacement* P;
  void operator()(TObject* Sender) const { P->FormDestroy(Sender); }
};

TFormPlacement::TFormPlacement(TComponent* AOwner)
    : TComponent(AOwner),
      FMinMaxInfo(std::make_unique<TWinMinMaxInfo>(this)),
      FWinHook(std::make_unique<TVxWindowHook>(nullptr)) {
  FWinHook->SetActive(false);
  FWinHook->AfterMessage = [this](TObject* Sender, TMessage& Msg, bool& Handled) {
    WatchFormMessage(Sender, Msg, Handled);
  };
  FForm = dynamic_cast<TForm*>(AOwner);
  if (FForm) {
    FOptions = {fpState, fpPosition};
    FFormSection = DefaultSectionName(FForm);
    InstallFormEvents();
  }
}

TFormPlacement::~TFormPlacement() {
  CloseSettings();
  for (TIniLink* link : FLinks) link->FStorage = nullptr;
  FLinks.clear();
  if (FForm && !FForm->ComponentState().Contains(csDestroying)) RestoreFormEvents();
  if (FForm) ForgetFormPlacement(FForm);
}

TForm* TFormPlacement::Form() const { return FForm; }

void TFormPlacement::Loaded() {
  TComponent::Loaded();
  if (FForm) FFormSection = DefaultSectionName(FForm);
  InstallFormEvents();
}

void TFormPlacement::InstallFormEvents() {
  if (!FForm || ComponentState().Contains(csDesigning)) return;
  auto* show = FForm->OnShow.target<ShowHandler>();
  if (!show || show->P != this) {
    FSaveFormShow = std::move(FForm->OnShow);
    FForm->OnShow = ShowHandler{this};
  }
  auto* query = FForm->OnCloseQuery.target<CloseQueryHandler>();
  if (!query || query->P != this) {
    FSaveFormCloseQuery = std::move(FForm->OnCloseQuery);
    FForm->OnCloseQuery = CloseQueryHandler{this};
  }
  auto* destroy = FForm->OnDestroy.target<DestroyHandler>();
  if (!destroy || destroy->P != this) {
    FSaveFormDestroy = std::move(FForm->OnDestroy);
    FForm->OnDestroy = DestroyHandler{this};
  }
  UpdateWatching();
}

void TFormPlacement::RestoreFormEvents() {
  if (!FForm || ComponentState().Contains(csDesigning)) return;
  if (auto* h = FForm->OnShow.target<ShowHandler>(); h && h->P == this) FForm->OnShow = std::move(FSaveFormShow);
  if (auto* h = FForm->OnCloseQuery.target<CloseQueryHandler>(); h && h->P == this)
    FForm->OnCloseQuery = std::move(FSaveFormCloseQuery);
  if (auto* h = FForm->OnDestroy.target<DestroyHandler>(); h && h->P == this)
    FForm->OnDestroy = std::move(FSaveFormDestroy);
  FWinHook->SetActive(false);
}

void TFormPlacement::FormShow(TObject* Sender) {
  if (FActive) {
    try {
      LoadPlacement();
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
  }
  if (FSaveFormShow) FSaveFormShow(Sender);
}

void TFormPlacement::FormCloseQuery(TObject* Sender, bool& CanClose) {
  if (FSaveFormCloseQuery) FSaveFormCloseQuery(Sender, CanClose);
  if (CanClose && FActive && FForm && FForm->HandleAllocated()) {
    try {
      StorePlacement();
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
  }
}

void TFormPlacement::FormDestroy(TObject* Sender) {
  if (FActive && !FSaved) {
    FDestroying = true;
    try {
      StorePlacement();
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
    FDestroying = false;
  }
  if (FSaveFormDestroy) FSaveFormDestroy(Sender);
}

// Size limits: while there are any, a hook on the form answers its WM_GETMINMAXINFO, so the
// window system keeps the form inside them while the user drags its edges.
void TFormPlacement::WatchFormMessage(TObject*, TMessage& Msg, bool&) {
  if (Msg.Msg != WM_GETMINMAXINFO || !FForm || !Msg.LParam) return;
  auto* info = reinterpret_cast<TMinMaxInfo*>(Msg.LParam);
  if (FPreventResize) {
    info->ptMinTrackSize = TPoint(FFixedWidth, FFixedHeight);
    info->ptMaxTrackSize = TPoint(FFixedWidth, FFixedHeight);
  } else {
    const TWinMinMaxInfo& m = *FMinMaxInfo;
    if (m.MinTrackWidth()) info->ptMinTrackSize.X = m.MinTrackWidth();
    if (m.MinTrackHeight()) info->ptMinTrackSize.Y = m.MinTrackHeight();
    if (m.MaxTrackWidth()) info->ptMaxTrackSize.X = m.MaxTrackWidth();
    if (m.MaxTrackHeight()) info->ptMaxTrackSize.Y = m.MaxTrackHeight();
    if (m.MaxSizeWidth()) info->ptMaxSize.X = m.MaxSizeWidth();
    if (m.MaxSizeHeight()) info->ptMaxSize.Y = m.MaxSizeHeight();
    if (m.MaxPosLeft()) info->ptMaxPosition.X = m.MaxPosLeft();
    if (m.MaxPosTop()) info->ptMaxPosition.Y = m.MaxPosTop();
  }
  Msg.Result = 1;
}

void TFormPlacement::UpdateWatching() {
  if (!FForm || ComponentState().Contains(csDesigning)) return;
  const bool watch = !FMinMaxInfo->IsDefault() || FPreventResize;
  if (watch) {
    FWinHook->SetWinControl(FForm);
    FWinHook->SetActive(true);
  } else {
    FWinHook->SetActive(false);
  }
  // The window system learns the limits (or their end), and the present size follows them.
  if (!FForm->ComponentState().Contains(csDestroying)) FForm->UpdateSizeLimits();
}

void TFormPlacement::MinMaxChanged() {
  AdjustMaximizedPosition();
  if (!ComponentState().Contains(csLoading)) UpdateWatching();
}

void TFormPlacement::SetPreventResize(bool Value) {
  if (!FForm || Value == FPreventResize) return;
  FPreventResize = Value;
  if (Value) {
    FFixedWidth = FForm->Width();
    FFixedHeight = FForm->Height();
  }
  AdjustMaximizedPosition();
  // The toolkit's forms have no maximize button to take away; the fixed size is enforced below.
  if (!ComponentState().Contains(csLoading)) UpdateWatching();
}

void TFormPlacement::AdjustMaximizedPosition() {
  if (!FForm || !FForm->HandleAllocated() || ComponentState().Contains(csLoading)) return;
  if (FPreventResize || !FMinMaxInfo->IsDefault()) return;
  TWindowPlacement wp = GetFormPlacement(FForm);
  // Only the maximized position changes: the window keeps its state (a minimized program that
  // the restore asked for stays minimized).
  wp.ShowCmd = SW_HIDE;
  const int32_t frame = FrameSize(FForm->BorderStyle());
  wp.MaxPosition = Point(-frame, -frame);
  SetFormPlacement(FForm, wp);
}

// ---------------------------------------------------------------------------------------------
// TFormPlacement: settings

std::string TFormPlacement::IniFileName() const {
  if (!FIniFileName.empty()) return FIniFileName;
  return FUseRegistry ? DefaultRegistryKey() : DefaultIniFileName();
}

std::string TFormPlacement::IniSection() const {
  if (!FIniSection.empty()) return FIniSection;
  // While the form is being destroyed it no longer knows its own class: use the name kept.
  if (FForm) return FFormSection;
  return DefaultSectionName(Owner());
}

TObject* TFormPlacement::SettingsObject() const {
  if (FUseRegistry) return FRegIniFile.get();
  return FIniFile.get();
}

void TFormPlacement::OpenSettings(bool /*ForWriting*/) {
  CloseSettings();
  // Only the current user's registry exists here, whatever RegistryRoot says. Reading a text
  // INI file never creates it.
  if (FUseRegistry)
    FRegIniFile = std::make_unique<TRegIniFile>(IniFileName());
  else
    FIniFile = std::make_unique<TIniFile>(IniFileName());
}

void TFormPlacement::CloseSettings() {
  FIniFile.reset();
  FRegIniFile.reset();
}

std::string TFormPlacement::ReadSetting(const std::string& Section, const std::string& Ident,
                                        const std::string& Default) {
  if (SettingsObject()) return SettingsReadString(SettingsObject(), Section, Ident, Default);
  OpenSettings(false);
  std::string result;
  {
    TScopeExit closeSettings([&] { CloseSettings(); });
    result = SettingsReadString(SettingsObject(), Section, Ident, Default);
  }
  return result;
}

void TFormPlacement::WriteSetting(const std::string& Section, const std::string& Ident, const std::string& Value) {
  if (SettingsObject()) {
    SettingsWriteString(SettingsObject(), Section, Ident, Value);
    return;
  }
  OpenSettings(true);
  TScopeExit closeSettings([&] { CloseSettings(); });
  SettingsWriteString(SettingsObject(), Section, Ident, Value);
}

std::string TFormPlacement::ReadSectionString(const std::string& Ident, const std::string& Default) {
  return ReadSetting(IniSection(), Ident, Default);
}

void TFormPlacement::WriteSectionString(const std::string& Ident, const std::string& Value) {
  WriteSetting(IniSection(), Ident, Value);
}

int32_t TFormPlacement::ReadSectionInteger(const std::string& Ident, int32_t Default) {
  return StrToIntDef(Trim(ReadSetting(IniSection(), Ident, IntToStr(Default))), Default);
}

void TFormPlacement::WriteSectionInteger(const std::string& Ident, int32_t Value) {
  WriteSetting(IniSection(), Ident, IntToStr(Value));
}

void TFormPlacement::AttachLink(TIniLink* Link) {
  if (!Link) return;
  if (Link->FStorage && Link->FStorage != this) Link->FStorage->DetachLink(Link);
  if (std::find(FLinks.begin(), FLinks.end(), Link) == FLinks.end()) FLinks.push_back(Link);
  Link->FStorage = this;
}

void TFormPlacement::DetachLink(TIniLink* Link) {
  auto it = std::find(FLinks.begin(), FLinks.end(), Link);
  if (it != FLinks.end()) FLinks.erase(it);
  if (Link && Link->FStorage == this) Link->FStorage = nullptr;
}

void TFormPlacement::SavePlacementEvent() {
  if (OnSavePlacement) OnSavePlacement(this);
}

void TFormPlacement::RestorePlacementEvent() {
  if (OnRestorePlacement) OnRestorePlacement(this);
}

void TFormPlacement::LoadPlacement() {
  FSaved = false;
  if (FForm && !FDestroying) FFormSection = DefaultSectionName(FForm);
  OpenSettings(false);
  {
    TScopeExit closeSettings([&] { CloseSettings(); });
    if (SettingsReadInteger(SettingsObject(), IniSection(), "FormVersion", 0) >= FVersion) {
      ReadPlacement();
      FRestored = true;
      RestorePlacementEvent();
      if (FOptions.Contains(fpActiveControl) && FForm) {
        std::string name = SettingsReadString(SettingsObject(), IniSection(), "ActiveControl", "");
        auto* c = dynamic_cast<TWinControl*>(name.empty() ? nullptr : FForm->FindComponent(name));
        if (c && c->CanFocus()) FForm->SetActiveControl(c);
      }
    }
    FRestored = true;
  }
  AdjustMaximizedPosition();
}

void TFormPlacement::StorePlacement() {
  if (!FRestored && FActive) return;
  OpenSettings(true);
  TScopeExit closeSettings([&] { CloseSettings(); });
  SettingsWriteInteger(SettingsObject(), IniSection(), "FormVersion", FVersion);
  WritePlacement();
  SavePlacementEvent();
  FSaved = true;
}

void TFormPlacement::ReadPlacement() {
  if (FForm)
    ReadWindowPlacement(FForm, SettingsObject(), IniSection(), FOptions.Contains(fpState),
                        FOptions.Contains(fpPosition));
  const std::vector<TIniLink*> links = FLinks;
  for (TIniLink* link : links) link->ReadSettings();
}

void TFormPlacement::WritePlacement() {
  if (FForm) {
    if (FOptions.Contains(fpState) || FOptions.Contains(fpPosition)) {
      WriteWindowPlacement(FForm, SettingsObject(), IniSection());
      SettingsWriteInteger(SettingsObject(), IniSection(), "Visible", FDestroying ? 1 : 0);
    }
    if (FOptions.Contains(fpActiveControl) && FForm->ActiveControl())
      SettingsWriteString(SettingsObject(), IniSection(), "ActiveControl", FForm->ActiveControl()->Name());
  }
  const std::vector<TIniLink*> links = FLinks;
  for (TIniLink* link : links) link->WriteSettings();
}

// ---------------------------------------------------------------------------------------------
// TFormStorage

TFormStorage::TFormStorage(TComponent* AOwner)
    : TFormPlacement(AOwner),
      FStoredProps(std::make_unique<TStringList>()),
      FStoredValues(std::make_unique<TStoredValues>(this)) {}

TFormStorage::~TFormStorage() = default;

TStrings* TFormStorage::StoredProps() const { return FStoredProps.get(); }

void TFormStorage::SetStoredProps(TStrings* Value) {
  if (!Value) return;
  FStoredProps->Assign(*Value);
  for (int i = 0; i < FStoredProps->Count(); ++i)
    if (auto* c = dynamic_cast<TComponent*>(FStoredProps->Objects(i))) c->FreeNotification(this);
}

void TFormStorage::Loaded() {
  TFormPlacement::Loaded();
  if (ComponentState().Contains(csDesigning)) return;
  SyncStoredList(Owner(), FStoredProps.get(), true);
  for (int i = 0; i < FStoredProps->Count(); ++i)
    if (auto* c = dynamic_cast<TComponent*>(FStoredProps->Objects(i))) c->FreeNotification(this);
}

void TFormStorage::Notification(TComponent* AComponent, TOperation Operation) {
  TFormPlacement::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent || !FStoredProps) return;
  for (int i = FStoredProps->Count() - 1; i >= 0; --i)
    if (FStoredProps->Objects(i) == AComponent) FStoredProps->Delete(i);
}

// Items listed before their components were made are bound when first needed.
void TFormStorage::BindStoredProps() {
  if (!Owner()) return;
  for (int i = 0; i < FStoredProps->Count(); ++i) {
    if (FStoredProps->Objects(i)) continue;
    std::string comp, prop;
    if (!SplitStoredItem(FStoredProps->Strings(i), comp, prop)) continue;
    if (TComponent* c = Owner()->FindComponent(comp)) {
      FStoredProps->SetObjects(i, c);
      c->FreeNotification(this);
    }
  }
}

void TFormStorage::WriteStoredProps() {
  BindStoredProps();
  TPropsStorage storage;
  storage.SetSection(IniSection());
  storage.OnWriteString = [this](const std::string& S, const std::string& K, const std::string& V) {
    WriteSetting(S, K, V);
  };
  storage.OnEraseSection = [this](const std::string& S) { SettingsEraseSection(SettingsObject(), S); };
  storage.WriteComponentProps(Owner(), FStoredProps.get());
}

void TFormStorage::ReadStoredProps() {
  BindStoredProps();
  TPropsStorage storage;
  storage.SetSection(IniSection());
  storage.OnReadString = [this](const std::string& S, const std::string& K, const std::string& D) {
    return ReadSetting(S, K, D);
  };
  storage.ReadComponentProps(Owner(), FStoredProps.get());
}

void TFormStorage::WritePlacement() {
  TFormPlacement::WritePlacement();
  WriteStoredProps();
  FStoredValues->WriteValues();
}

void TFormStorage::ReadPlacement() {
  TFormPlacement::ReadPlacement();
  // Marked restored before the properties, so that a handler saving from inside them works.
  SetRestoredFlag();
  try {
    ReadStoredProps();
  } catch (...) {}
  FStoredValues->ReadValues();
}
