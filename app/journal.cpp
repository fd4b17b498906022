#include "app/journal.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/site_session.h"
#include "controls/form_storage.h"
#include "controls/mem_data.h"
#include "controls/vx_dbgrid.h"
#include "platform/menus.h"
#include "mtdata/open_site.h"
#include "mtdata/site_file.h"
#include "platform/actnlist.h"
#include "platform/stdctrls.h"
#include "platform/strings.h"

VM_DEFINE_CLASS(TDataModule1)
VM_DEFINE_CLASS(THistory1)

TDataModule1* DataModule1 = nullptr;
THistory1* History1 = nullptr;

std::string MaskSnapshot(const TMTFile& Site) {
  std::string s(MaskSnapshotSize, '\0');
  size_t used = 1;
  for (int f = 1; f <= MaxFreq; ++f)
    for (int x = 1; x <= MaxXpr; ++x) {
      const int16_t v = Site.Mask[f][x];
      if (v != 0) {
        const size_t at = static_cast<size_t>((f - 1) * 100 + (x - 1));
        s[at] = static_cast<char>(v);
        used = at + 1;
      }
    }
  s.resize(used);
  return s;
}

bool ApplyMaskSnapshot(const std::string& Blob, TMTFile& Site) {
  if (Blob.empty() || Blob.size() > static_cast<size_t>(MaskSnapshotSize)) return false;
  for (int f = 1; f <= MaxFreq; ++f)
    for (int x = 1; x <= MaxXpr; ++x) {
      const size_t at = static_cast<size_t>((f - 1) * 100 + (x - 1));
      Site.Mask[f][x] = at < Blob.size() ? static_cast<uint8_t>(Blob[at]) : 0;
    }
  return true;
}

TDataModule1::TDataModule1(TComponent* AOwner) : TComponent(AOwner) {
  SetName("DataModule1");
  TaRedoUndo = new TVxMemoryData(this);
  TaRedoUndo->SetName("TaRedoUndo");
  auto* id = new TAutoIncField(this);
  id->SetFieldName("Id");
  id->SetDataSet(TaRedoUndo);
  auto* cur = new TIntegerField(this);
  cur->SetFieldName("FCur");
  cur->SetDataSet(TaRedoUndo);
  auto* mask = new TBlobField(this);
  mask->SetFieldName("Mask");
  mask->SetDataSet(TaRedoUndo);
  auto* action = new TStringField(this);
  action->SetFieldName("Action");
  action->SetSize(6);
  action->SetDataSet(TaRedoUndo);
  FieldId = id;
  FieldFCur = cur;
  FieldMask = mask;
  FieldAction = action;
  TaRedoUndo->Open();
  dsRedoUndo = new TDataSource(this);
  dsRedoUndo->SetName("dsRedoUndo");
  dsRedoUndo->SetDataSet(TaRedoUndo);
  // Moving the current record (the history grid's row) moves where Undo and Redo step from,
  // without restoring its mask: the undo commands follow.
  dsRedoUndo->OnDataChange = [](TObject*, TField*) { UpdateUndoActions(); };
}

TDataModule1::~TDataModule1() {
  if (DataModule1 == this) DataModule1 = nullptr;
}

void TDataModule1::Changed() {
  if (OnJournalChange) OnJournalChange(this);
}

void TDataModule1::Undo() {
  TaRedoUndo->Prior();
  RestoreEditRecord();
  UpdateUndoActions();
  Changed();
}

void TDataModule1::Redo() {
  TaRedoUndo->Next();
  RestoreEditRecord();
  UpdateUndoActions();
  Changed();
}

void PushEditRecord(int FCur, const std::string& Action) {
  if (!DataModule1 || !CurrentSite) return;
  TVxMemoryData* t = DataModule1->TaRedoUndo;
  t->Append();
  DataModule1->FieldFCur->SetAsInteger(FCur);
  t->BlobSlot(t->ActiveBuffer(), DataModule1->FieldMask) = MaskSnapshot(*CurrentSite);
  DataModule1->FieldAction->SetAsString(Action);
  t->Post();
  DataModule1->Rows.push_back({DataModule1->FieldId->AsInteger(), FCur, Action.substr(0, 6)});
  SiteModified = true;
  UpdateUndoActions();
  DataModule1->Changed();
}

void CommitMaskEdit(int F, const std::string& Action) {
  if (SiteSession) SiteSession->CommitMaskEdit(F, Action);
}

void RestoreEditRecord() {
  if (!DataModule1 || !CurrentSite) return;
  TVxMemoryData* t = DataModule1->TaRedoUndo;
  if (t->RecordCount() == 0) return;
  const int index = t->RecNo() - 1;
  if (index < 0 || index >= t->RecordCount()) return;
  const std::string& blob = t->StoredBlob(index, DataModule1->FieldMask);
  TMTFile& site = *CurrentSite;
  // The frequencies whose mask the record changes go through the site's one mask-change entry;
  // when most of them change, the whole site is re-stacked at once.
  std::vector<int> changed;
  if (!blob.empty() && blob.size() <= static_cast<size_t>(MaskSnapshotSize))
    for (int f = 1; f <= site.FreqCount; ++f)
      for (int x = 1; x <= MaxXpr; ++x) {
        const size_t at = static_cast<size_t>((f - 1) * 100 + (x - 1));
        const int16_t v = at < blob.size() ? static_cast<uint8_t>(blob[at]) : 0;
        if (site.Mask[f][x] != v) {
          changed.push_back(f);
          break;
        }
      }
  const bool applied = ApplyMaskSnapshot(blob, site);
  UpdateUndoActions();
  if (!applied) return;  // a blank record: the mask stays as it is
  if (changed.size() * 4 > static_cast<size_t>(site.FreqCount))
    site.RestackAll();
  else
    for (int f : changed) site.MaskChanged(f);
  RefreshAllViews(DataModule1);
}

void ClearEditJournal() {
  if (!DataModule1) return;
  DataModule1->TaRedoUndo->RemoveAllRecords();
  DataModule1->Rows.clear();
  UpdateUndoActions();
  DataModule1->Changed();
}

void UpdateUndoActions() {
  if (SiteSession && DataModule1 == SiteSession->Journal()) SiteSession->UpdateUndoState();
}

THistory1::THistory1(TComponent* AOwner) : TMyForm(AOwner) {
  SetName("History1");
  SetCaption("Edit history");
  PlaceInFrame(this, 660, 4, 260, 320);
  DBGrid1 = new TVxDBGrid(this);
  DBGrid1->SetName("DBGrid1");
  DBGrid1->SetParent(this);
  DBGrid1->SetAlign(alClient);
  if (DataModule1) DBGrid1->SetDataSource(DataModule1->dsRedoUndo);
  const struct {
    const char* Field;
    const char* Title;
    int Width;
  } columns[] = {{"Id", "#", 28}, {"FCur", "# f", 37}, {"Action", "Action", 64}};
  for (const auto& c : columns) {
    TColumn* col = DBGrid1->Columns()->Add();
    col->SetFieldName(c.Field);
    col->SetTitleCaption(c.Title);
    col->SetWidth(c.Width);
  }
  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetName("PopupMenu1");
  auto* goTo = new TMenuItem(this);
  goTo->SetCaption("Go to this");
  PopupMenu1->Items()->Add(goTo);
  SetControlPopupMenu(DBGrid1, PopupMenu1);
  // The placement and the grid's column layout, in section "THistory1".
  FormStorage1 = new TFormStorage(this);
  FormStorage1->SetName("FormStorage1");
  FormStorage1->SetIniSection("THistory1");
  DBGrid1->SetIniStorage(FormStorage1);
  FormStorage1->Loaded();
  FormStorage1->LoadPlacement();
}

THistory1::~THistory1() = default;

void THistory1::Undo(TObject*) {
  if (DataModule1) DataModule1->Undo();
}

void THistory1::Redo(TObject*) {
  if (DataModule1) DataModule1->Redo();
}
