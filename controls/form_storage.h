// Form placement and stored properties: a component on a form that restores the form's size,
// position and state, listed component properties, named values and the settings of linked
// controls from the settings file when the form is shown, and saves them when it may close.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/vx_hooks.h"
#include "platform/collection.h"
#include "platform/component.h"
#include "platform/set.h"
#include "platform/types.h"

class TForm;
class TStrings;
class TStringList;
class TFormPlacement;

enum TPlacementOption { fpState, fpPosition, fpActiveControl };
using TPlacementOptions = TSet<TPlacementOption>;
enum TPlacementRegRoot { prCurrentUser, prLocalMachine, prCurrentConfig, prClassesRoot, prUsers, prDynData };

// Size limits of the form: maximized position and size, tracking sizes; 0 means no limit.
class TWinMinMaxInfo : public TPersistent {
  VM_CLASS(TWinMinMaxInfo, TPersistent)
public:
  explicit TWinMinMaxInfo(TFormPlacement* AOwner = nullptr) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  bool IsDefault() const;

  // 0 MaxPosLeft, 1 MaxPosTop, 2 MaxSizeHeight, 3 MaxSizeWidth, 4 MaxTrackHeight,
  // 5 MaxTrackWidth, 6 MinTrackHeight, 7 MinTrackWidth.
  int32_t GetMinMaxInfo(int Index) const { return FValues[Index]; }
  void SetMinMaxInfo(int Index, int32_t Value);

  int32_t MaxPosLeft() const { return FValues[0]; }
  void SetMaxPosLeft(int32_t V) { SetMinMaxInfo(0, V); }
  int32_t MaxPosTop() const { return FValues[1]; }
  void SetMaxPosTop(int32_t V) { SetMinMaxInfo(1, V); }
  int32_t MaxSizeHeight() const { return FValues[2]; }
  void SetMaxSizeHeight(int32_t V) { SetMinMaxInfo(2, V); }
  int32_t MaxSizeWidth() const { return FValues[3]; }
  void SetMaxSizeWidth(int32_t V) { SetMinMaxInfo(3, V); }
  int32_t MaxTrackHeight() const { return FValues[4]; }
  void SetMaxTrackHeight(int32_t V) { SetMinMaxInfo(4, V); }
  int32_t MaxTrackWidth() const { return FValues[5]; }
  void SetMaxTrackWidth(int32_t V) { SetMinMaxInfo(5, V); }
  int32_t MinTrackHeight() const { return FValues[6]; }
  void SetMinTrackHeight(int32_t V) { SetMinMaxInfo(6, V); }
  int32_t MinTrackWidth() const { return FValues[7]; }
  void SetMinTrackWidth(int32_t V) { SetMinMaxInfo(7, V); }

private:
  TFormPlacement* FOwner;
  int32_t FValues[8] = {};
};

// A control's way into the settings of the form's placement component: it saves and restores
// its own section in the two events, while the placement's settings object is open.
class TIniLink : public TPersistent {
  VM_CLASS(TIniLink, TPersistent)
public:
  TIniLink() = default;
  ~TIniLink() override;

  TFormPlacement* Storage() const { return FStorage; }
  void SetStorage(TFormPlacement* Value);
  // The storage's open settings object, or nullptr.
  TObject* SettingsObject() const;
  // The storage's own IniSection text (not its default) and "\", or "".
  std::string RootSection() const;

  virtual void WriteSettings();
  virtual void ReadSettings();

  TNotifyEvent OnWriteSettings;
  TNotifyEvent OnReadSettings;

private:
  friend class TFormPlacement;
  TFormPlacement* FStorage = nullptr;
};

class TStoredValue;
using TStoredValueEvent = std::function<void(TStoredValue* Sender, std::string& Value)>;

// A named value kept in the form's section; values are text (the toolkit's variant).
class TStoredValue : public TCollectionItem {
  VM_CLASS(TStoredValue, TCollectionItem)
public:
  explicit TStoredValue(TCollection* Collection);

  const std::string& Name() const { return FName; }
  // Raises EStringListError "String list does not allow duplicates" for a name another item
  // already has (letter case ignored); the old name stays.
  void SetName(const std::string& Value);
  const std::string& Value() const { return FValue; }
  void SetValue(const std::string& Value) { FValue = Value; }
  const std::string& KeyString() const { return FKeyString; }
  void SetKeyString(const std::string& Value) { FKeyString = Value; }

  TStoredValueEvent OnSave;
  TStoredValueEvent OnRestore;

  void Assign(TPersistent* Source) override;
  std::string GetDisplayName() override;
  void SetDisplayName(const std::string& Value) override { SetName(Value); }
  virtual void WriteValue();
  virtual void ReadValue();

private:
  TFormPlacement* Placement() const;
  std::string FName;
  std::string FValue;
  std::string FKeyString;
};

class TStoredValues : public TOwnedCollection {
  VM_CLASS(TStoredValues, TOwnedCollection)
public:
  explicit TStoredValues(TPersistent* AOwner);
  TStoredValue* Items(int Index) const { return static_cast<TStoredValue*>(TCollection::Items(Index)); }
  TStoredValue* Add() { return static_cast<TStoredValue*>(TCollection::Add()); }
  // Letter case ignored; -1 when absent.
  int IndexOf(const std::string& Name) const;
  virtual void WriteValues();
  virtual void ReadValues();
};

class TFormPlacement : public TComponent {
  VM_CLASS(TFormPlacement, TComponent)
public:
  explicit TFormPlacement(TComponent* AOwner);
  ~TFormPlacement() override;

  bool Active() const { return FActive; }
  void SetActive(bool Value) { FActive = Value; }
  // Empty: DefaultIniFileName (DefaultRegistryKey with UseRegistry).
  std::string IniFileName() const;
  void SetIniFileName(const std::string& Value) { FIniFileName = Value; }
  const std::string& StoredIniFileName() const { return FIniFileName; }
  // Empty: DefaultSectionName of the owner.
  std::string IniSection() const;
  void SetIniSection(const std::string& Value) { FIniSection = Value; }
  const std::string& StoredIniSection() const { return FIniSection; }
  TWinMinMaxInfo* MinMaxInfo() const { return FMinMaxInfo.get(); }
  void SetMinMaxInfo(TWinMinMaxInfo* Value) { FMinMaxInfo->Assign(Value); }
  TPlacementOptions Options() const { return FOptions; }
  void SetOptions(TPlacementOptions Value) { FOptions = Value; }
  bool PreventResize() const { return FPreventResize; }
  void SetPreventResize(bool Value);
  TPlacementRegRoot RegistryRoot() const { return FRegistryRoot; }
  void SetRegistryRoot(TPlacementRegRoot Value) { FRegistryRoot = Value; }
  bool UseRegistry() const { return FUseRegistry; }
  void SetUseRegistry(bool Value) { FUseRegistry = Value; }
  int32_t Version() const { return FVersion; }
  void SetVersion(int32_t Value) { FVersion = Value; }

  TNotifyEvent OnSavePlacement;
  TNotifyEvent OnRestorePlacement;

  // Restore now (also when not Active); save now, when restored before or not Active.
  void LoadPlacement();
  void StorePlacement();
  std::string ReadSetting(const std::string& Section, const std::string& Ident, const std::string& Default);
  void WriteSetting(const std::string& Section, const std::string& Ident, const std::string& Value);
  std::string ReadSectionString(const std::string& Ident, const std::string& Default);
  void WriteSectionString(const std::string& Ident, const std::string& Value);
  int32_t ReadSectionInteger(const std::string& Ident, int32_t Default);
  void WriteSectionInteger(const std::string& Ident, int32_t Value);
  // The open INI or registry file; nullptr outside a save or restore.
  TObject* SettingsObject() const;
  void AttachLink(TIniLink* Link);
  void DetachLink(TIniLink* Link);

  // Puts the placement's handlers in front of the form's OnShow, OnCloseQuery and OnDestroy.
  // The constructor does it; a form that assigns those events afterwards calls Loaded again.
  void Loaded() override;

  bool Restored() const { return FRestored; }
  bool Saved() const { return FSaved; }

protected:
  virtual void WritePlacement();
  virtual void ReadPlacement();
  void SavePlacementEvent();
  void RestorePlacementEvent();
  TForm* Form() const;
  void SetRestoredFlag() { FRestored = true; }
  void OpenSettings(bool ForWriting);
  void CloseSettings();

private:
  friend class TWinMinMaxInfo;
  struct ShowHandler;
  struct CloseQueryHandler;
  struct DestroyHandler;

  void InstallFormEvents();
  void RestoreFormEvents();
  void FormShow(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormDestroy(TObject* Sender);
  // The form's messages while it has size limits: WM_GETMINMAXINFO gets them.
  void WatchFormMessage(TObject* Sender, TMessage& Msg, bool& Handled);
  void MinMaxChanged();
  void UpdateWatching();
  void AdjustMaximizedPosition();

  bool FActive = true;
  std::string FIniFileName;
  std::string FIniSection;
  std::unique_ptr<TWinMinMaxInfo> FMinMaxInfo;
  TPlacementOptions FOptions;
  bool FPreventResize = false;
  TPlacementRegRoot FRegistryRoot = prCurrentUser;
  bool FUseRegistry = false;
  int32_t FVersion = 0;

  std::unique_ptr<TObject> FIniFile;
  std::unique_ptr<TObject> FRegIniFile;
  std::vector<TIniLink*> FLinks;
  bool FSaved = false, FRestored = false, FDestroying = false;
  int32_t FFixedWidth = 0, FFixedHeight = 0;  // the size PreventResize holds
  std::unique_ptr<TVxWindowHook> FWinHook;    // on the form while it has size limits
  TForm* FForm = nullptr;
  std::string FFormSection;  // the form's default section, kept for its destruction
  TNotifyEvent FSaveFormShow;
  std::function<void(TObject*, bool&)> FSaveFormCloseQuery;
  TNotifyEvent FSaveFormDestroy;
};

class TFormStorage : public TFormPlacement {
  VM_CLASS(TFormStorage, TFormPlacement)
public:
  explicit TFormStorage(TComponent* AOwner);
  ~TFormStorage() override;

  // Items "Component.Property"; each item's object is its component once bound.
  TStrings* StoredProps() const;
  void SetStoredProps(TStrings* Value);
  TStoredValues* StoredValues() const { return FStoredValues.get(); }
  void SetStoredValues(TStoredValues* Value) { FStoredValues->Assign(Value); }

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  virtual void WriteStoredProps();
  virtual void ReadStoredProps();

protected:
  void WritePlacement() override;
  void ReadPlacement() override;

private:
  // Binds the items not bound yet to the owner's components of their names.
  void BindStoredProps();
  std::unique_ptr<TStringList> FStoredProps;
  std::unique_ptr<TStoredValues> FStoredValues;
};
