// The program log window (the device behind the MT modules' standard output), the operation-log
// view and the header view of one file of the site.
#pragma once

#include <cstddef>
#include <string>

#include "app/child_form.h"

class TComboBox;
class TFormStorage;
class TGroupBox;
class TMemo;
class TTimer;

class TSTermWin1 : public TMyForm {
  VM_CLASS(TSTermWin1, TMyForm)
public:
  explicit TSTermWin1(TComponent* AOwner);
  ~TSTermWin1() override;

  TMemo* Memo1 = nullptr;
  TFormStorage* FormStorage1 = nullptr;
  static constexpr int LineLimit = 512;

  // Bytes written to the standard output: line ends commit the pending line, a space becomes a
  // no-break space, BEL beeps, other control bytes are dropped.
  void LogWriteBytes(const char* Bytes, size_t Count);
  void LogCommitLine();
  const std::string& PendingLine() const { return FPending; }

  void FormClose(TObject* Sender, TCloseAction& Action) override;
  void Refresh(TObject*) override {}

  // The memo shows the lines committed so far (the window catches up once the burst of
  // writing is over; its Lines hold every line at once).
  void FlushLines();
  // Writes the lines to the settings file (once, when the window goes).
  void StoreLines();

private:
  bool FStored = false;
  void ScrollToEnd();
  std::string FPending;
  bool FBound = false;
  bool FBatching = false;
  TTimer* FFlushTimer = nullptr;
};

class TOplogView1 : public TMyForm {
  VM_CLASS(TOplogView1, TMyForm)
public:
  explicit TOplogView1(TComponent* AOwner);
  TMemo* Memo1 = nullptr;
};

// A plain child window: it takes no routed commands.
class TvmTreeList;

class THeadFmNf1 : public TForm {
  VM_CLASS(THeadFmNf1, TForm)
public:
  explicit THeadFmNf1(TComponent* AOwner);
  TComboBox* ComboBox1 = nullptr;
  TMemo* Memo1 = nullptr;
  // The header grid: the row numbers, then the "Rhead" and "Shead" columns, rows 1 to 30.
  TvmTreeList* StringGrid1 = nullptr;
  void ComboBox1Change(TObject* Sender);
  // Columns 1 and 2 share the grid's width beyond column 0, half each.
  void FormResize(TObject* Sender);
  // Cell text of the header grid: column 0..2, row 0..30.
  std::string Cells(int Col, int Row) const;

private:
  std::string FCells[3][31];
};

// Window variables of these kinds.
extern TSTermWin1* STermWin1;
extern TOplogView1* OplogView1;
extern THeadFmNf1* HeadFmNf1;

// Shows (makes) the program log window without bringing it to the front.
void ShowProgramLog();
