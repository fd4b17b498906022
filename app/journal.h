// The undo journal: every change of the site's mask is kept as a whole snapshot of the mask in an
// in-memory table; Undo and Redo move through it and put the snapshot back into the site. The
// history window lists the journal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/child_form.h"
#include "platform/component.h"

class TVxMemoryData;
class TDataSource;
class TField;
class TFormStorage;
class TMTFile;
class TPopupMenu;
class TVxDBGrid;

// The snapshot of a mask: 140 x 100 bytes, frequency-major. Stored without its trailing zero
// bytes (at least one byte is kept), so a site of few frequencies costs little.
constexpr int MaskSnapshotSize = 140 * 100;
std::string MaskSnapshot(const TMTFile& Site);
// Writes a stored snapshot into the site's mask; false (and nothing written) for a blob that is
// empty or longer than a snapshot.
bool ApplyMaskSnapshot(const std::string& Blob, TMTFile& Site);

class TDataModule1 : public TComponent {
  VM_CLASS(TDataModule1, TComponent)
public:
  explicit TDataModule1(TComponent* AOwner);
  ~TDataModule1() override;

  TVxMemoryData* TaRedoUndo = nullptr;
  TDataSource* dsRedoUndo = nullptr;
  TField* FieldId = nullptr;
  TField* FieldFCur = nullptr;
  TField* FieldMask = nullptr;
  TField* FieldAction = nullptr;

  // What the history shows of each record, in table order.
  struct TRow {
    int Id;
    int FCur;
    std::string Action;
  };
  std::vector<TRow> Rows;

  void Undo();
  void Redo();
  // Heard after every change of the table or of its current record.
  TNotifyEvent OnJournalChange;
  void Changed();
};

extern TDataModule1* DataModule1;

void PushEditRecord(int FCur, const std::string& Action);
// One edit, as every tool makes it: the mask of frequency F has been changed; the site re-stacks
// and recomputes it through its one mask-change entry, one journal record is pushed with the
// action's label, and every view is refreshed.
void CommitMaskEdit(int F, const std::string& Action);
void RestoreEditRecord();
void ClearEditJournal();
void UpdateUndoActions();

class THistory1 : public TMyForm {
  VM_CLASS(THistory1, TMyForm)
public:
  explicit THistory1(TComponent* AOwner);
  ~THistory1() override;
  // The journal table in a grid: the grid's current row is the table's current record.
  TVxDBGrid* DBGrid1 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;  // "Go to this" (does nothing)
  TFormStorage* FormStorage1 = nullptr;
  void Undo(TObject* Sender) override;
  void Redo(TObject* Sender) override;
  void Refresh(TObject*) override {}  // the grid follows the table by itself
};

extern THistory1* History1;
