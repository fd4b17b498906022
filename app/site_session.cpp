#include "app/site_session.h"

#include <algorithm>

#include "app/journal.h"
#include "controls/file_utils.h"
#include "controls/mem_data.h"
#include "mtdata/mt_types.h"
#include "mtdata/open_site.h"
#include "mtdata/package_file.h"
#include "mtdata/site_file.h"
#include "platform/exceptions.h"
#include "platform/sysutils.h"

TSiteSession* SiteSession = nullptr;
TSiteModifiedFlag SiteModified;

TSiteModifiedFlag::operator bool() const { return SiteSession && SiteSession->Modified(); }

TSiteModifiedFlag& TSiteModifiedFlag::operator=(bool Value) {
  if (SiteSession) SiteSession->SetModified(Value);
  return *this;
}

namespace {

bool IsMtExtension(const std::string& Name) {
  const std::string e = LowerCase(ExtractFileExt(Name));
  return (e.size() >= 3 && e.substr(1, 2) == "mt") || (e.size() >= 4 && e.substr(2, 2) == "mt");
}

}  // namespace

void TSiteSession::BackupPackage(const std::string& Name) {
  // The old package is kept under ".~mpk". It is copied, not moved, so that a save that fails
  // afterwards still leaves the package itself as it was.
  if (!FileExists(Name)) return;
  CopyFileGeneral(Name, ChangeFileExt(Name, ".~mpk"), true, nullptr, false);
}

void TSiteSession::SaveMtFileInPlace() {
  if (SiteFiles.empty()) return;
  TMTFile& f = *SiteFiles[0];
  f.PrepareSave(CurrentSite.get());
  f.SaveEdit(1);
}

TSiteSession::TSiteSession() : FJournal(std::make_unique<TDataModule1>(nullptr)) {
  if (!SiteSession) {
    SiteSession = this;
    DataModule1 = FJournal.get();
  }
}

TSiteSession::~TSiteSession() {
  if (SiteSession == this) SiteSession = nullptr;
  if (DataModule1 == FJournal.get()) DataModule1 = nullptr;
}

TMTFile* TSiteSession::Site() const { return CurrentSite.get(); }

bool TSiteSession::IsOpen() const { return !SiteFiles.empty(); }

bool TSiteSession::Open(std::vector<std::string>& Names) {
  const bool ok = LoadSite(Names);
  if (ok) SetReferenceChoice(CurrentSite->ReferenceType);
  SiteReplaced(nullptr);
  return ok;
}

void TSiteSession::Close() {
  FreeSite();
  ClearEditJournal();
  FModified = false;
  Package.clear();
  SiteReplaced(nullptr);
}

void TSiteSession::Save() {
  if (!CurrentSite) return;
  // A one-file package names its member as the site's file: the package is remembered apart.
  const std::string name = Package.empty() ? CurrentSite->FileName : Package;
  if (LowerCase(ExtractFileExt(name)) == ".mpk") {
    BackupPackage(name);
    SavePackage(name);
    return;
  }
  if (SiteFiles.size() > 1) throw Exception("Don't save multiple mt-files to self, use 'Save as..'");
  if (IsMtExtension(name)) SaveMtFileInPlace();
}

void TSiteSession::SaveAs(const std::string& Name) {
  if (LowerCase(ExtractFileExt(Name)) == ".mpk") BackupPackage(Name);
  SavePackage(Name);
  FModified = false;
}

void TSiteSession::CommitMaskEdit(int F, const std::string& Action) {
  if (!CurrentSite) return;
  CurrentSite->MaskChanged(F);
  PushEditRecord(F, Action);
  FrequencyChanged(FJournal.get(), F);
}

void TSiteSession::CommitWholeMaskEdit(int JournalFreq, const std::string& Action, TObject* Sender) {
  TMTFile* site = CurrentSite.get();
  if (!site) return;
  for (int f = 1; f <= site->LastGridFreq(); ++f) {
    site->RestackFrequency(f);
    site->CalcFrequency(f);
  }
  PushEditRecord(JournalFreq, Action);
  EveryFrequencyChanged(Sender);
}

void TSiteSession::Undo() { FJournal->Undo(); }

void TSiteSession::Redo() { FJournal->Redo(); }

bool TSiteSession::CanUndo() const { return !FJournal->TaRedoUndo->Bof(); }

bool TSiteSession::CanRedo() const { return !FJournal->TaRedoUndo->Eof(); }

void TSiteSession::SetMode(TEditMode Mode, bool On) { SetModeWord(On ? Mode : 0, Mode); }

void TSiteSession::SetModeWord(uint16_t Word, uint16_t Mask) {
  const uint16_t mode = static_cast<uint16_t>((FMode & ~Mask) | (Word & Mask));
  if (mode == FMode) return;
  FMode = mode;
  if (OnModeChange) OnModeChange(FMode);
}

void TSiteSession::SelectTool(TEditMode Tool) {
  SetModeWord(Tool, emPointer | emHand | emTwoHorz | emCircle | emLasso | emTwoVert);
}

void TSiteSession::SetReferenceChoice(int Type) {
  if (Type == FReference) return;
  FReference = Type;
  if (OnReferenceChange) OnReferenceChange(Type);
}

int TSiteSession::ReferenceIndex(int Type) {
  switch (Type) {
    case frtLocalE:
      return 0;
    case frtLocalH:
      return 1;
    case frtRemoteE:
    case frtRemoteH:
      return 2;
    default:
      return -1;
  }
}

void TSiteSession::ShowReference(int Index, TObject* Sender) {
  if (!CurrentSite || Index < 0) return;
  // The single estimates are computed under the new reference; the stacks are too, so that the
  // curves and the estimates beside them show one reference.
  CurrentSite->SetReference(Index);
  CurrentSite->RestackAll();
  EveryFrequencyChanged(Sender);
}

void TSiteSession::Rotate(int Mode, double Angle, TObject* Sender) {
  if (!CurrentSite) return;
  CurrentSite->RotationMode = Mode;
  CurrentSite->RotationAngle = Angle;
  CurrentSite->CalcPartialPlots();
  CurrentSite->RestackAll();
  EveryFrequencyChanged(Sender);
}

void TSiteSession::AddListener(const void* Owner, TSessionListener Listener) {
  FListeners.push_back({Owner, std::move(Listener)});
}

void TSiteSession::RemoveListener(const void* Owner) {
  std::erase_if(FListeners, [Owner](const TEntry& e) { return e.Owner == Owner; });
}

template <class F>
void TSiteSession::Broadcast(F&& Call) {
  // A listener may go (its window closed) while the others are told: each is looked up anew.
  std::vector<const void*> owners;
  for (const TEntry& e : FListeners) owners.push_back(e.Owner);
  for (const void* owner : owners) {
    auto it = std::find_if(FListeners.begin(), FListeners.end(), [owner](const TEntry& e) { return e.Owner == owner; });
    if (it == FListeners.end()) continue;
    const TSessionListener listener = it->Listener;
    Call(listener);
  }
}

void TSiteSession::FrequencyChanged(TObject* Sender, int F) {
  Broadcast([&](const TSessionListener& l) {
    if (l.OnFrequencyChanged)
      l.OnFrequencyChanged(Sender, F);
    else if (l.OnEveryFrequencyChanged)
      l.OnEveryFrequencyChanged(Sender);
  });
}

void TSiteSession::EveryFrequencyChanged(TObject* Sender) {
  Broadcast([&](const TSessionListener& l) {
    if (l.OnEveryFrequencyChanged) l.OnEveryFrequencyChanged(Sender);
  });
}

void TSiteSession::SiteReplaced(TObject* Sender) {
  Broadcast([&](const TSessionListener& l) {
    if (l.OnSiteReplaced) l.OnSiteReplaced(Sender);
  });
}

void TSiteSession::SetStatusText(int Index, const std::string& Text) const {
  if (Host) Host->SetStatusText(Index, Text);
}

void TSiteSession::EnableViewActions(uint32_t Mask) const {
  if (Host) Host->EnableViewActions(Mask);
}

void TSiteSession::UpdateUndoState() const {
  if (Host) Host->SetUndoState(CanUndo(), CanRedo());
}
