#include "app/journal.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/main_form.h"
#include "controls/mem_data.h"
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
  if (!CurrentSite) return;
  CurrentSite->MaskChanged(F);
  PushEditRecord(F, Action);
  RefreshAllViews(DataModule1);
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
  if (!DataModule1 || !MainForm1) return;
  TVxMemoryData* t = DataModule1->TaRedoUndo;
  MainForm1->AcRedo->SetEnabled(!t->Eof());
  MainForm1->AcUndo->SetEnabled(!t->Bof());
}

THistory1::THistory1(TComponent* AOwner) : TMyForm(AOwner) {
  SetName("History1");
  SetCaption("Edit history");
  PlaceInFrame(this, 660, 4, 260, 320);
  ListBox1 = new TListBox(this);
  ListBox1->SetName("DBGrid1");
  ListBox1->SetParent(this);
  ListBox1->SetAlign(alClient);
  ListBox1->Font()->SetName("Courier");
  // Choosing a row moves the current record without restoring its mask.
  ListBox1->OnClick = [this](TObject*) {
    const int i = ListBox1->ItemIndex();
    if (i >= 0 && DataModule1) {
      DataModule1->TaRedoUndo->SetRecNo(i + 1);
      UpdateUndoActions();
    }
  };
  if (DataModule1) DataModule1->OnJournalChange = [this](TObject*) { FillList(); };
  FillList();
}

THistory1::~THistory1() {
  if (DataModule1) DataModule1->OnJournalChange = nullptr;
}

void THistory1::FillList() {
  if (!DataModule1) return;
  TVxMemoryData* t = DataModule1->TaRedoUndo;
  TStringList rows;
  const int current = t->RecordCount() ? t->RecNo() : 0;
  for (const auto& r : DataModule1->Rows) {
    char line[64];
    std::snprintf(line, sizeof line, "%4d %4d  %s", r.Id, r.FCur, r.Action.c_str());
    rows.Add(line);
  }
  ListBox1->Items()->Assign(rows);
  ListBox1->SetItemIndex(current - 1);
}

void THistory1::Undo(TObject*) {
  if (DataModule1) DataModule1->Undo();
}

void THistory1::Redo(TObject*) {
  if (DataModule1) DataModule1->Redo();
}
