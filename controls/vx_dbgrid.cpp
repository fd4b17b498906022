#include "controls/vx_dbgrid.h"

#include <algorithm>
#include <cctype>

#include "controls/form_storage.h"
#include "controls/vx_settings.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/shell.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

const char* const SDeleteRecordQuestion = "Delete record?";
const char* const SDeleteMultipleRecordsQuestion = "Delete all selected records?";

namespace {

const TSet<TDBGridOption> kDefaultOptions = {dgEditing,  dgTitles,   dgIndicator,     dgColumnResize,
                                             dgColLines, dgRowLines, dgConfirmDelete, dgCancelOnExit};
constexpr int kIndicatorWidth = 11;
constexpr int kResizeZone = 5;
constexpr int kVerticalBar = 1;  // the scroll bar along the right edge

// The glyphs shared by all grids, drawn once: 0 "DBG_BLOB", 1 "DBG_MEMO", 2 "DBG_PICT",
// 3 "DBG_OLE", 4 "DBG_OBJECT", 5 "DBG_DATA", 6 "DBG_NOTEMPTY", 7 "DBG_SMDOWN", 8 "DBG_SMUP".
// Olive (fuchsia for the markers) is their transparent colour.
TBitmap* GridGlyph(int Index) {
  static std::unique_ptr<TBitmap> cache[9];
  if (Index < 0 || Index > 8) return nullptr;
  if (!cache[Index]) {
    auto b = std::make_unique<TBitmap>(16, 11, pf24bit);
    TCanvas* c = b->Canvas();
    const bool marker = Index >= 7;
    c->Brush()->SetColor(marker ? clFuchsia : clOlive);
    c->FillRect(Rect(0, 0, 16, 11));
    c->Brush()->SetColor(clBlack);
    c->Pen()->SetColor(clBlack);
    if (Index == 7) {
      for (int i = 0; i < 4; ++i) c->FillRect(Rect(4 + i, 3 + i, 11 - i, 4 + i));
    } else if (Index == 8) {
      for (int i = 0; i < 4; ++i) c->FillRect(Rect(4 + i, 7 - i, 11 - i, 8 - i));
    } else {
      // A framed page with a mark of its kind.
      c->Brush()->SetColor(clWhite);
      c->Rectangle(2, 1, 14, 10);
      c->Brush()->SetColor(Index == 1 ? clNavy : Index == 2 ? clGreen : Index == 5 ? clMaroon : clGray);
      c->FillRect(Rect(4, 3, 12, 5));
      if (Index != 2) c->FillRect(Rect(4, 6, 10, 8));
    }
    cache[Index] = std::move(b);
  }
  return cache[Index].get();
}

void DrawKeyed(TCanvas* Canvas, int X, int Y, TBitmap* Glyph, TColor Key) {
  TCanvas* src = Glyph->Canvas();
  for (int y = 0; y < Glyph->Height(); ++y)
    for (int x = 0; x < Glyph->Width(); ++x) {
      TColor c = src->Pixels(x, y);
      if (c != Key) Canvas->SetPixels(X + x, Y + y, c);
    }
}

std::string DataSetSectionName(TDataSet* D) {
  if (auto* f = dynamic_cast<TForm*>(D->Owner())) return f->ClassName();
  return D->Name();
}

// The words of a stored value, separated by blanks or commas.
std::vector<std::string> Words(const std::string& S) {
  std::vector<std::string> out;
  std::string cur;
  for (char ch : S) {
    if (ch == ' ' || ch == ',') {
      if (!cur.empty()) out.push_back(cur);
      cur.clear();
    } else {
      cur += ch;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

int WordInt(const std::vector<std::string>& W, size_t I, int Default) {
  if (I >= W.size()) return Default;
  return StrToIntDef(W[I], Default);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The data link

class TVxDBGrid::TGridDataLink : public TDataLink {
public:
  explicit TGridDataLink(TVxDBGrid* G) : Grid(G) {}
  TVxDBGrid* Grid;

protected:
  void ActiveChanged() override { Grid->LinkActiveChanged(); }
  void DataSetChanged() override { Grid->DataChanged(); }
  void DataSetScrolled(int) override { Grid->DataChanged(); }
  void RecordChanged(TField*) override { Grid->Invalidate(); }
  void LayoutChanged() override { Grid->LayoutChanged(); }
  void EditingChanged() override { Grid->Invalidate(); }
  void UpdateData() override {
    if (Grid->FEditorMode) Grid->CommitEditor();
  }
};

// ---------------------------------------------------------------------------------------------
// Columns

void TColumn::SetFieldName(const std::string& Value) {
  FFieldName = Value;
  FGrid->Invalidate();
}

TField* TColumn::Field() const {
  TDataSet* d = FGrid->FDataLink->DataSet();
  return d && !FFieldName.empty() ? d->FindField(FFieldName) : nullptr;
}

void TColumn::SetWidth(int Value) {
  FWidth = std::max(0, Value);
  FGrid->Invalidate();
}

void TColumn::SetVisible(bool Value) {
  FVisible = Value;
  FGrid->KeepColumnVisible();
  FGrid->Invalidate();
}

std::string TColumn::TitleCaption() const {
  if (!FTitle.empty()) return FTitle;
  if (TField* f = Field()) return f->DisplayLabel();
  return FFieldName;
}

void TColumn::SetTitleCaption(const std::string& Value) {
  FTitle = Value;
  FGrid->Invalidate();
}

int TColumn::Index() const {
  const auto& items = FGrid->FColumns->FItems;
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].get() == this) return static_cast<int>(i);
  return -1;
}

void TColumn::SetIndex(int Value) { FGrid->FColumns->Move(Index(), Value); }

TColumn* TDBGridColumns::Add() {
  if (!FPersistent) {
    FItems.clear();
    FPersistent = true;
  }
  FItems.push_back(std::make_unique<TColumn>(FGrid));
  FGrid->Invalidate();
  return FItems.back().get();
}

void TDBGridColumns::Clear() {
  FItems.clear();
  FPersistent = false;
  FGrid->BuildDefaultColumns();
}

void TDBGridColumns::Move(int From, int To) {
  const int n = Count();
  if (From < 0 || From >= n) return;
  To = std::clamp(To, 0, n - 1);
  if (From == To) return;
  TColumn* selected = FGrid->FSelectedIndex >= 0 && FGrid->FSelectedIndex < n ? Items(FGrid->FSelectedIndex) : nullptr;
  auto item = std::move(FItems[static_cast<size_t>(From)]);
  FItems.erase(FItems.begin() + From);
  FItems.insert(FItems.begin() + To, std::move(item));
  if (selected) FGrid->FSelectedIndex = selected->Index();
  FGrid->Invalidate();
}

// ---------------------------------------------------------------------------------------------
// The grid

VM_PUBLISH(TVxDBGrid) {
  P.Component("DataSource", &TVxDBGrid::DataSource, &TVxDBGrid::SetDataSource);
  P.Bool("MultiSelect", &TVxDBGrid::MultiSelect, &TVxDBGrid::SetMultiSelect).Default(false);
  P.Bool("ClearSelection", &TVxDBGrid::ClearSelection, &TVxDBGrid::SetClearSelection).Default(true);
  P.Bool("AutoAppend", &TVxDBGrid::AutoAppend, &TVxDBGrid::SetAutoAppend).Default(true);
  P.Bool("ShowGlyphs", &TVxDBGrid::ShowGlyphs, &TVxDBGrid::SetShowGlyphs).Default(true);
  P.Bool("DefaultDrawing", &TVxDBGrid::DefaultDrawing, &TVxDBGrid::SetDefaultDrawing).Default(true);
  P.Bool("TitleButtons", &TVxDBGrid::TitleButtons, &TVxDBGrid::SetTitleButtons).Default(false);
  P.Bool("ReadOnly", &TVxDBGrid::ReadOnly, &TVxDBGrid::SetReadOnly).Default(false);
  P.Int("FixedCols", &TVxDBGrid::FixedCols, &TVxDBGrid::SetFixedCols).Default(0);
  P.Int("RowsHeight", &TVxDBGrid::RowsHeight, &TVxDBGrid::SetRowsHeight);
  P.Component("IniStorage", &TVxDBGrid::IniStorage, &TVxDBGrid::SetIniStorage);
  P.Event("OnEditChange", &TVxDBGrid::OnEditChange);
  P.Event("OnTopLeftChanged", &TVxDBGrid::OnTopLeftChanged);
}

TVxDBGrid::TVxDBGrid(TComponent* AOwner)
    : TCustomControl(AOwner),
      FDataLink(std::make_unique<TGridDataLink>(this)),
      FColumns(std::make_unique<TDBGridColumns>(this)),
      FIniLink(std::make_unique<TIniLink>()),
      FOptions(kDefaultOptions) {
  SetBounds(0, 0, 320, 120);
  SetTabStop(true);
  SetColor(clWindow);
  SetFrameBorder(2);
  FIniLink->OnWriteSettings = [this](TObject* Sender) { WriteLayout(Sender); };
  FIniLink->OnReadSettings = [this](TObject* Sender) { ReadLayout(Sender); };
  FRowHeight = Canvas()->TextHeight("Wg") + 4;
  UpdateRows();
}

TVxDBGrid::~TVxDBGrid() {
  FIniLink.reset();
  FDataLink->SetDataSource(nullptr);
}

TDataSource* TVxDBGrid::DataSource() const { return FDataLink->DataSource(); }

void TVxDBGrid::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  if (DataSource()) DataSource()->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  LinkActiveChanged();
}

TDataLink* TVxDBGrid::DataLink() const { return FDataLink.get(); }

void TVxDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == DataSource()) SetDataSource(nullptr);
}

TDBGridOptions TVxDBGrid::Options() const {
  TDBGridOptions o = FOptions;
  if (FMultiSelect) o.Include(dgMultiSelect);
  return o;
}

void TVxDBGrid::SetOptions(TDBGridOptions Value) {
  SetMultiSelect(Value.Contains(dgMultiSelect));
  Value.Exclude(dgMultiSelect);
  FOptions = Value;
  UpdateRows();
  Invalidate();
}

void TVxDBGrid::SetMultiSelect(bool Value) {
  if (Value == FMultiSelect) return;
  FMultiSelect = Value;
  if (!Value) ClearRowSelection();
}

void TVxDBGrid::SetShowGlyphs(bool Value) {
  FShowGlyphs = Value;
  Invalidate();
}

void TVxDBGrid::SetTitleButtons(bool Value) {
  FTitleButtons = Value;
  Invalidate();
}

void TVxDBGrid::SetFixedCols(int Value) {
  FFixedCols = std::max(Value, 0);
  KeepColumnVisible();
  Invalidate();
}

void TVxDBGrid::SetRowsHeight(int Value) {
  if (ComponentState().Contains(csDesigning) || Value == FRowHeight || Value <= 0) return;
  FRowHeight = Value;
  FRowHeightSet = true;
  UpdateRows();
  Invalidate();
}

TFormPlacement* TVxDBGrid::IniStorage() const { return FIniLink->Storage(); }
void TVxDBGrid::SetIniStorage(TFormPlacement* Value) { FIniLink->SetStorage(Value); }

bool TVxDBGrid::DataActive() const { return FDataLink->Active() && FDataLink->DataSet(); }

bool TVxDBGrid::CanModifyData() const {
  TDataSet* d = FDataLink->DataSet();
  return d && d->Active() && !FReadOnly && d->CanModify();
}

// ---------------------------------------------------------------------------------------------
// Layout

int TVxDBGrid::LineWidth() const { return FOptions.Contains(dgColLines) ? 1 : 0; }
int TVxDBGrid::RowLineWidth() const { return FOptions.Contains(dgRowLines) ? 1 : 0; }
int TVxDBGrid::IndicatorWidth() const { return FOptions.Contains(dgIndicator) ? kIndicatorWidth + LineWidth() : 0; }

int TVxDBGrid::TitleRowCount() const {
  if (!FOptions.Contains(dgTitles)) return 0;
  return 1;  // no nested (object view) columns here
}

int TVxDBGrid::TitleHeight() const { return FRowHeightSet ? FRowHeight + 2 : FRowHeight; }

int TVxDBGrid::DataTop() const { return TitleRowCount() * (TitleHeight() + RowLineWidth()); }

int TVxDBGrid::VisibleRowCount() const {
  const int free = ClientHeight() - DataTop();
  return std::max(1, free / (FRowHeight + RowLineWidth()));
}

void TVxDBGrid::UpdateRows() {
  FDataLink->SetBufferCount(VisibleRowCount());
  UpdateScrollBar();
}

void TVxDBGrid::Resize() {
  TCustomControl::Resize();
  UpdateRows();
}

void TVxDBGrid::DoExit() {
  // Leaving the grid: the editor's text goes to the field; an untouched new record is dropped.
  TScopeExit baseExit([&] { TCustomControl::DoExit(); });
  CommitEditor();
  TDataSet* d = FDataLink->DataSet();
  if (FOptions.Contains(dgCancelOnExit) && DataActive() && d->State() == dsInsert && !d->Modified()) d->Cancel();
}

void TVxDBGrid::FontChanged() {
  TCustomControl::FontChanged();
  if (!FRowHeightSet) FRowHeight = Canvas()->TextHeight("Wg") + 4;
  UpdateRows();
}

int TVxDBGrid::FirstVisibleColumn() const {
  for (int i = std::min(FFixedCols, FColumns->Count()); i < FColumns->Count(); ++i)
    if (FColumns->Items(i)->Visible() && FColumns->Items(i)->Width() > 0) return i;
  return -1;
}

// The left edge of a column, or -1 when it is scrolled out of view or hidden.
int TVxDBGrid::ColumnLeft(int Column) const {
  if (Column < 0 || Column >= FColumns->Count() || !FColumns->Items(Column)->Visible()) return -1;
  int x = IndicatorWidth();
  const int fixed = std::min(FFixedCols, FColumns->Count());
  for (int i = 0; i < FColumns->Count(); ++i) {
    if (i >= fixed && i < FLeftCol) {
      if (i == Column) return -1;
      continue;
    }
    const TColumn* c = FColumns->Items(i);
    if (i == Column) return x;
    if (c->Visible()) x += c->Width() + LineWidth();
  }
  return -1;
}

TRect TVxDBGrid::CellRect(int Row, int Column) const {
  const int left = ColumnLeft(Column);
  if (left < 0 || Row < 0) return TRect();
  const int top = DataTop() + Row * (FRowHeight + RowLineWidth());
  return Rect(left, top, left + FColumns->Items(Column)->Width(), top + FRowHeight);
}

void TVxDBGrid::MouseCell(int X, int Y, int& Row, int& Column) const {
  Row = Y < DataTop() ? -1 : (Y - DataTop()) / (FRowHeight + RowLineWidth());
  if (Row >= 0 && Row >= FDataLink->RecordCount()) Row = -2;
  Column = -2;
  if (FOptions.Contains(dgIndicator) && X >= 0 && X < IndicatorWidth()) {
    Column = -1;
    return;
  }
  for (int i = 0; i < FColumns->Count(); ++i) {
    const int left = ColumnLeft(i);
    if (left >= 0 && X >= left && X < left + FColumns->Items(i)->Width() + LineWidth()) {
      Column = i;
      return;
    }
  }
}

int TVxDBGrid::TitleColumnAtEdge(int X) const {
  for (int i = 0; i < FColumns->Count(); ++i) {
    const int left = ColumnLeft(i);
    if (left < 0) continue;
    const int right = left + FColumns->Items(i)->Width();
    if (std::abs(X - right) <= kResizeZone) return i;
  }
  return -1;
}

void TVxDBGrid::KeepColumnVisible() {
  const int first = FirstVisibleColumn();
  if (first < 0) return;
  if (FSelectedIndex < first) FSelectedIndex = first;
  if (FSelectedIndex >= FColumns->Count()) FSelectedIndex = FColumns->Count() - 1;
  const int fixed = std::min(FFixedCols, FColumns->Count());
  if (FLeftCol < fixed) FLeftCol = fixed;
  // Scroll so the selected column shows.
  if (FSelectedIndex >= fixed) {
    if (FSelectedIndex < FLeftCol) FLeftCol = FSelectedIndex;
    while (FLeftCol < FSelectedIndex) {
      const int left = ColumnLeft(FSelectedIndex);
      if (left >= 0 && left + FColumns->Items(FSelectedIndex)->Width() <= ClientWidth()) break;
      ++FLeftCol;
      if (OnTopLeftChanged) OnTopLeftChanged(this);
    }
  }
}

void TVxDBGrid::UpdateScrollBar() {
  TDataSet* d = FDataLink->DataSet();
  if (!DataActive() || !d->IsSequenced()) {
    SetScrollBar(kVerticalBar, 0, 0, 1, 0);
    return;
  }
  const int count = d->RecordCount();
  const int page = VisibleRowCount();
  const int top = std::max(0, d->RecNo() - 1 - FDataLink->ActiveRecord());
  SetScrollBar(kVerticalBar, 0, std::max(0, count - 1), page, top);
  if (top != FTopRecord) {
    const bool first = FTopRecord < 0;
    FTopRecord = top;
    if (!first && OnTopLeftChanged) OnTopLeftChanged(this);
  }
}

void TVxDBGrid::Scrolled(int Kind, int Position) {
  if (Kind != kVerticalBar || !DataActive()) return;
  TDataSet* d = FDataLink->DataSet();
  const int top = d->RecNo() - 1 - FDataLink->ActiveRecord();
  d->MoveBy(Position - top);
}

void TVxDBGrid::BuildDefaultColumns() {
  if (FColumns->FPersistent) return;
  FColumns->FItems.clear();
  TDataSet* d = FDataLink->DataSet();
  if (d && d->Active()) {
    const int charWidth = Canvas()->TextWidth("0");
    for (int i = 0; i < d->FieldCount(); ++i) {
      TField* f = d->Fields()[i];
      if (!f->Visible()) continue;
      auto c = std::make_unique<TColumn>(this);
      c->FFieldName = f->FieldName();
      const int title = Canvas()->TextWidth(f->DisplayLabel());
      c->FWidth = std::max(f->DisplayWidth() * charWidth, title) + 4;
      FColumns->FItems.push_back(std::move(c));
    }
  }
  KeepColumnVisible();
}

void TVxDBGrid::LinkActiveChanged() {
  BuildDefaultColumns();
  if (!DataActive()) {
    FSelected.clear();
    FEditorMode = false;
  }
  UpdateRows();
  Invalidate();
}

void TVxDBGrid::LayoutChanged() {
  BuildDefaultColumns();
  DataChanged();
}

void TVxDBGrid::DataChanged() {
  UpdateScrollBar();
  Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Glyphs, selection

int TVxDBGrid::FieldGlyph(TField* Field) const {
  if (!FShowGlyphs || !Field) return -1;
  TDataSet* d = Field->DataSet();
  const bool modifiable = !Field->ReadOnly() && d && d->CanModify();
  if (!FReadOnly && modifiable && Field->OnGetText && Field->OnSetText) return -1;
  switch (Field->DataType()) {
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftTypedBinary:
      return 0;
    case ftMemo:
    case ftFmtMemo:
      return 1;
    case ftGraphic:
      return 2;
    case ftParadoxOle:
    case ftDBaseOle:
      return 3;
    case ftCursor:
      return 5;
    default:
      return -1;
  }
}

TField* TVxDBGrid::SelectedField() const {
  if (FSelectedIndex < 0 || FSelectedIndex >= FColumns->Count()) return nullptr;
  return FColumns->Items(FSelectedIndex)->Field();
}

void TVxDBGrid::SetSelectedIndex(int Value) {
  if (FColumns->Count() == 0) return;
  CommitEditor();
  FSelectedIndex = std::clamp(Value, 0, FColumns->Count() - 1);
  KeepColumnVisible();
  Invalidate();
}

bool TVxDBGrid::CurrentRowSelected() const {
  TDataSet* d = FDataLink->DataSet();
  if (!DataActive() || d->IsEmpty()) return false;
  return FSelected.count(d->Bookmark()) != 0;
}

void TVxDBGrid::SetCurrentRowSelected(bool Value) { SelectRecord(Value); }

void TVxDBGrid::SelectRecord(bool Value) {
  TDataSet* d = FDataLink->DataSet();
  if (!FMultiSelect || !DataActive() || d->IsEmpty()) return;
  const TBookmark b = d->Bookmark();
  if (b.empty()) return;
  if (Value)
    FSelected.insert(b);
  else
    FSelected.erase(b);
  Invalidate();
}

void TVxDBGrid::SelectAll() {
  TDataSet* d = FDataLink->DataSet();
  if (!FMultiSelect || !DataActive()) return;
  const TBookmark here = d->Bookmark();
  d->DisableControls();
  TScopeExit back([&] {
    if (!here.empty()) d->GotoBookmark(here);
    d->EnableControls();
  });
  for (d->First(); !d->Eof(); d->Next()) FSelected.insert(d->Bookmark());
}

void TVxDBGrid::UnselectAll() { ClearRowSelection(); }

void TVxDBGrid::ClearRowSelection() {
  FSelected.clear();
  FSelecting = false;
  FAnchor.clear();
  Invalidate();
}

void TVxDBGrid::DeleteRecords() {
  TDataSet* d = FDataLink->DataSet();
  if (!CanModifyData() || d->IsEmpty()) return;
  const bool several = FSelected.size() >= 2;
  if (FOptions.Contains(dgConfirmDelete) && MessageDlg(several ? SDeleteMultipleRecordsQuestion : SDeleteRecordQuestion,
                                                       mtConfirmation, {mbYes, mbNo}) != mrYes)
    return;
  if (FSelected.empty()) {
    d->Delete();
    return;
  }
  std::vector<TBookmark> marks(FSelected.begin(), FSelected.end());
  FSelected.clear();
  d->DisableControls();
  TScopeExit enable([d] { d->EnableControls(); });
  for (const TBookmark& b : marks)
    if (d->BookmarkValid(b)) {
      d->GotoBookmark(b);
      d->Delete();
    }
}

// ---------------------------------------------------------------------------------------------
// Moving

void TVxDBGrid::MoveRecord(int Distance, TShiftState Shift) {
  TDataSet* d = FDataLink->DataSet();
  CommitEditor();
  const bool extend = FMultiSelect && Shift.Contains(ssShift) && (Distance == 1 || Distance == -1);
  if (extend) {
    if (!FSelecting || FAnchor.empty()) {
      FSelecting = true;
      FAnchor = d->Bookmark();
      SelectRecord(true);
    }
    const TBookmark from = d->Bookmark();
    if (d->MoveBy(Distance) == 0) return;
    const TBookmark to = d->Bookmark();
    // Moving back towards the anchor leaves the row behind unselected.
    const int side = d->CompareBookmarks(from, FAnchor);
    const bool back = (Distance > 0 && side < 0) || (Distance < 0 && side > 0);
    if (back)
      FSelected.erase(from);
    else
      FSelected.insert(to);
    Invalidate();
    return;
  }
  if (FMultiSelect && FClearSelection) ClearRowSelection();
  FSelecting = false;
  if (Distance == 1 && d->State() == dsBrowse) {
    d->Next();
    if (d->Eof() && FAutoAppend && CanModifyData() && FOptions.Contains(dgEditing)) d->Append();
    return;
  }
  if (Distance == -1 && d->State() == dsInsert && !d->Modified()) {
    d->Cancel();
    return;
  }
  d->MoveBy(Distance);
}

void TVxDBGrid::MoveColumn(int Delta, bool Wrap) {
  const int n = FColumns->Count();
  if (n == 0) return;
  int i = FSelectedIndex;
  for (int step = 0; step < n; ++step) {
    i += Delta;
    if (i < 0 || i >= n) {
      if (!Wrap) return;
      i = (i + n) % n;
    }
    if (FColumns->Items(i)->Visible()) break;
  }
  SetSelectedIndex(i);
}

// ---------------------------------------------------------------------------------------------
// The in-place editor

bool TVxDBGrid::CanEditCell() const {
  if (!FOptions.Contains(dgEditing) || FOptions.Contains(dgRowSelect) || !CanModifyData()) return false;
  TField* f = SelectedField();
  if (!f || f->ReadOnly() || f->Calculated() || FieldGlyph(f) >= 0) return false;
  bool allow = true;
  if (OnShowEditor) OnShowEditor(const_cast<TVxDBGrid*>(this), f, allow);
  return allow;
}

void TVxDBGrid::SetEditorMode(bool Value) {
  if (Value == FEditorMode) return;
  if (Value) {
    if (!CanEditCell()) return;
    FEditText = SelectedField()->Text();
    FEditorMode = true;
  } else {
    CommitEditor();
  }
  Invalidate();
}

void TVxDBGrid::CommitEditor() {
  if (!FEditorMode) return;
  FEditorMode = false;
  TField* f = SelectedField();
  TDataSet* d = FDataLink->DataSet();
  if (!f || !d) return;
  if (f->Text() == FEditText && d->State() == dsBrowse) return;
  if (d->State() == dsBrowse) d->Edit();
  f->SetText(FEditText);
  Invalidate();
}

void TVxDBGrid::CancelEditor() {
  FEditorMode = false;
  FEditText.clear();
  Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Keys

void TVxDBGrid::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
  if (Key == 0 || !DataActive()) return;
  TDataSet* d = FDataLink->DataSet();
  const bool ctrl = Shift.Contains(ssCtrl);
  const bool rowSelect = FOptions.Contains(dgRowSelect);
  const int rows = VisibleRowCount();
  if (FEditorMode) {
    switch (Key) {
      case VK_RETURN:
        CommitEditor();
        Key = 0;
        return;
      case VK_ESCAPE:
        CancelEditor();
        Key = 0;
        return;
      case VK_BACK:
        if (!FEditText.empty()) FEditText.pop_back();
        if (OnEditChange) OnEditChange(this);
        Invalidate();
        Key = 0;
        return;
      default:
        break;
    }
  }
  if (ctrl) {
    switch (Key) {
      case VK_PRIOR:
      case VK_NEXT:
      case VK_END:
      case VK_HOME:
      case VK_UP:
      case VK_DOWN:
        if (FMultiSelect) ClearRowSelection();
        break;
      case VK_LEFT:
        if (FFixedCols > 0) {
          SetSelectedIndex(FirstVisibleColumn());
          Key = 0;
          return;
        }
        break;
      case VK_DELETE:
        if (CanModifyData() && !d->IsEmpty()) DeleteRecords();
        Key = 0;
        return;
      default:
        break;
    }
  }
  switch (Key) {
    case VK_UP:
      MoveRecord(-1, Shift);
      break;
    case VK_DOWN:
      MoveRecord(1, Shift);
      break;
    case VK_PRIOR:
      if (FMultiSelect) ClearRowSelection();
      CommitEditor();
      d->MoveBy(-rows);
      break;
    case VK_NEXT:
      if (FMultiSelect) ClearRowSelection();
      CommitEditor();
      d->MoveBy(rows);
      break;
    case VK_HOME:
      if (ctrl) {
        CommitEditor();
        d->First();
      } else if (FFixedCols > 0 && FColumns->Count() > 1 && !rowSelect) {
        SetSelectedIndex(FirstVisibleColumn());
      } else {
        if (rowSelect || FColumns->Count() == 1) ClearRowSelection();
        SetSelectedIndex(0);
      }
      break;
    case VK_END:
      if (ctrl) {
        CommitEditor();
        d->Last();
      } else {
        if (rowSelect || FColumns->Count() == 1) ClearRowSelection();
        SetSelectedIndex(FColumns->Count() - 1);
      }
      break;
    case VK_LEFT:
      if (rowSelect) {
        if (FMultiSelect) ClearRowSelection();
      } else if (!(FFixedCols > 0 && FSelectedIndex <= FirstVisibleColumn())) {
        MoveColumn(-1, false);
      }
      break;
    case VK_RIGHT:
      if (rowSelect) {
        if (FMultiSelect) ClearRowSelection();
      } else {
        MoveColumn(1, false);
      }
      break;
    case VK_TAB:
      if (!FOptions.Contains(dgTabs)) return;  // Tab moves the focus to the next control
      if (!Shift.Contains(ssAlt)) {
        const int before = FSelectedIndex;
        MoveColumn(Shift.Contains(ssShift) ? -1 : 1, true);
        if (FMultiSelect && (Shift.Contains(ssShift) ? FSelectedIndex > before : FSelectedIndex < before))
          ClearRowSelection();
      }
      break;
    case VK_ESCAPE:
      if (FMultiSelect) ClearRowSelection();
      if (d->State() == dsEdit || d->State() == dsInsert) d->Cancel();
      break;
    case VK_INSERT:
      if (CanModifyData() && FOptions.Contains(dgEditing)) {
        if (FMultiSelect) ClearRowSelection();
        CommitEditor();
        d->Insert();
      }
      break;
    case VK_RETURN:
    case VK_F1 + 1:  // F2
      if (!FEditorMode) SetEditorMode(true);
      break;
    default:
      return;
  }
  Key = 0;
}

void TVxDBGrid::KeyPress(char& Key) {
  // A form with key preview has seen the character already; then the grid's own event.
  TCustomControl::KeyPress(Key);
  if (Key == 0 || !DataActive()) return;
  const unsigned char ch = static_cast<unsigned char>(Key);
  if (ch < 32 || ch == 127) return;
  if (!FEditorMode) {
    if (!CanEditCell()) return;
    FEditorMode = true;
    FEditText.clear();
  }
  FEditText += Key;
  if (OnEditChange) OnEditChange(this);
  Invalidate();
  Key = 0;
}

// ---------------------------------------------------------------------------------------------
// Mouse

bool TVxDBGrid::AcquireFocus() {
  if (Focused()) return true;
  if (!CanFocus()) return false;
  SetFocus();
  return Focused() || CanFocus();
}

void TVxDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!AcquireFocus()) return;
  if (Shift.Contains(ssDouble)) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    return;
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
  int row, col;
  MouseCell(X, Y, row, col);
  if (row == -1) {
    // The title row: sizing a column at its edge, or a title button.
    const int edge = FOptions.Contains(dgColumnResize) ? TitleColumnAtEdge(X) : -1;
    if (edge >= 0 && Button == mbLeft) {
      FSizingCol = edge;
      FSizingOfs = X - (ColumnLeft(edge) + FColumns->Items(edge)->Width());
      SetMouseCapture(true);
      return;
    }
    // A right press on a title acts as a left one (moving the column).
    if (!FTitleButtons && FOptions.Contains(dgColumnResize) && col >= 0 && (Button == mbLeft || Button == mbRight)) {
      FMovingCol = col;
      FMoveByRight = Button == mbRight;
      SetMouseCapture(true);
      return;
    }
    if (FTitleButtons && DataActive() && col >= 0 && Button == mbLeft) {
      bool enabled = true;
      if (OnCheckButton) OnCheckButton(this, col, FColumns->Items(col)->Field(), enabled);
      if (!enabled) {
        MessageBeep();
        return;
      }
      FTracking = true;
      FPressedCol = col;
      FPressed = true;
      SetMouseCapture(true);
      Invalidate();
    }
    return;
  }
  if (!DataActive() || row < 0 || Button != mbLeft) return;
  TDataSet* d = FDataLink->DataSet();
  CommitEditor();
  const int distance = row - FDataLink->ActiveRecord();
  const bool inFixed = col >= 0 && col < FFixedCols;
  if (col >= 0 && !inFixed) SetSelectedIndex(col);
  if (distance != 0) d->MoveBy(distance);
  if (FMultiSelect) {
    if (Shift.Contains(ssCtrl)) {
      SelectRecord(!CurrentRowSelected());
    } else {
      FSelected.clear();
      if (FClearSelection) SelectRecord(true);
      FSelecting = false;
    }
    Invalidate();
  }
}

void TVxDBGrid::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (FTracking) {
    int row, col;
    MouseCell(X, Y, row, col);
    const bool over = row == -1 && col == FPressedCol;
    if (over != FPressed) {
      FPressed = over;
      Invalidate();
    }
  }
}

void TVxDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (FSizingCol >= 0) {
    TColumn* c = FColumns->Items(FSizingCol);
    c->SetWidth(std::max(1, X - FSizingOfs - ColumnLeft(FSizingCol)));
    FSizingCol = -1;
    SetMouseCapture(false);
    return;
  }
  if (FMovingCol >= 0) {
    // Dropping a title on another column's title moves the column there.
    int row, col;
    MouseCell(X, Y, row, col);
    const int from = FMovingCol;
    FMovingCol = -1;
    SetMouseCapture(false);
    if (col >= 0 && col != from) FColumns->Move(from, col);
    return;
  }
  if (FTracking) {
    FTracking = false;
    SetMouseCapture(false);
    int row, col;
    MouseCell(X, Y, row, col);
    const int pressed = FPressedCol;
    FPressedCol = -1;
    FPressed = false;
    Invalidate();
    if (row == -1 && col == pressed && OnTitleBtnClick) OnTitleBtnClick(this, col, FColumns->Items(col)->Field());
  }
}

bool TVxDBGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (TCustomControl::DoMouseWheelDown(Shift, MousePos)) return true;
  if (!DataActive() || !AcquireFocus()) return false;
  CommitEditor();
  return FDataLink->DataSet()->MoveBy(1) != 0;
}

bool TVxDBGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (TCustomControl::DoMouseWheelUp(Shift, MousePos)) return true;
  if (!DataActive() || !AcquireFocus()) return false;
  CommitEditor();
  return FDataLink->DataSet()->MoveBy(-1) != 0;
}

// ---------------------------------------------------------------------------------------------
// Painting

void TVxDBGrid::Paint() {
  TCanvas* c = Canvas();
  const TRect all = ClientRect();
  c->Brush()->SetColor(Color());
  c->FillRect(Rect(0, 0, all.Width(), all.Height()));
  const int lines = LineWidth();
  const int rowLines = RowLineWidth();
  // Titles.
  if (TitleRowCount() > 0) {
    const int h = TitleHeight();
    if (FOptions.Contains(dgIndicator)) {
      c->Brush()->SetColor(clBtnFace);
      c->FillRect(Rect(0, 0, kIndicatorWidth, h));
    }
    for (int i = 0; i < FColumns->Count(); ++i) {
      const int left = ColumnLeft(i);
      if (left < 0 || left >= all.Width()) continue;
      PaintTitle(i, Rect(left, 0, left + FColumns->Items(i)->Width(), h));
    }
  }
  // Data rows: the fields read each row of the window in turn.
  const int count = FDataLink->RecordCount();
  const int active = FDataLink->ActiveRecord();
  TScopeExit restore([this, active] { FDataLink->SetActiveRecord(active); });
  for (int r = 0; r < count; ++r) {
    FDataLink->SetActiveRecord(r);
    const int top = DataTop() + r * (FRowHeight + rowLines);
    if (top >= all.Height()) break;
    if (FOptions.Contains(dgIndicator)) PaintIndicator(r, Rect(0, top, kIndicatorWidth, top + FRowHeight), r == active);
    for (int i = 0; i < FColumns->Count(); ++i) {
      const int left = ColumnLeft(i);
      if (left < 0 || left >= all.Width()) continue;
      PaintCell(r, i, Rect(left, top, left + FColumns->Items(i)->Width(), top + FRowHeight), r == active);
    }
  }
  // Grid lines.
  c->Pen()->SetColor(clBtnShadow);
  const int bottom = DataTop() + count * (FRowHeight + rowLines);
  if (lines) {
    int x = IndicatorWidth();
    if (FOptions.Contains(dgIndicator)) c->FillRect(Rect(x - 1, 0, x, bottom));
    for (int i = 0; i < FColumns->Count(); ++i) {
      const int left = ColumnLeft(i);
      if (left < 0) continue;
      const int right = left + FColumns->Items(i)->Width();
      c->MoveTo(right, 0);
      c->LineTo(right, bottom);
    }
  }
  if (rowLines) {
    for (int r = 0; r <= count; ++r) {
      const int y = DataTop() + r * (FRowHeight + rowLines) - 1;
      if (y < 0) continue;
      c->MoveTo(0, y);
      c->LineTo(all.Width(), y);
    }
  }
  // Row-select mode: a focus frame round the current row.
  if (FOptions.Contains(dgRowSelect) && FDefaultDrawing && Focused() && active < count) {
    const int top = DataTop() + active * (FRowHeight + rowLines);
    c->Pen()->SetColor(clWindowText);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(IndicatorWidth(), top, all.Width(), top + FRowHeight);
    c->Brush()->SetStyle(bsSolid);
  }
}

void TVxDBGrid::PaintTitle(int Column, const TRect& R) {
  TCanvas* c = Canvas();
  TColumn* col = FColumns->Items(Column);
  TColor background = clBtnFace;
  TSortMarker marker = smNone;
  const bool down = FTracking && FPressed && FPressedCol == Column;
  c->Font()->Assign(Font());
  if (FTitleButtons && OnGetBtnParams) OnGetBtnParams(this, col->Field(), c->Font(), background, marker, down);
  c->Brush()->SetColor(background);
  c->FillRect(R);
  if (FTitleButtons || (FOptions.Contains(dgColLines) && FOptions.Contains(dgRowLines))) {
    c->Pen()->SetColor(down ? clBtnShadow : clBtnHighlight);
    c->MoveTo(R.Left, R.Bottom - 1);
    c->LineTo(R.Left, R.Top);
    c->LineTo(R.Right - 1, R.Top);
    c->Pen()->SetColor(down ? clBtnHighlight : clBtnShadow);
    c->LineTo(R.Right - 1, R.Bottom - 1);
    c->LineTo(R.Left, R.Bottom - 1);
  }
  const int shift = down ? 1 : 0;
  TBitmap* glyph = marker == smDown ? GridGlyph(7) : marker == smUp ? GridGlyph(8) : nullptr;
  int textRight = R.Right - 1;
  if (glyph && glyph->Width() + 6 < R.Width()) {
    textRight = R.Right - glyph->Width() - 6;
    DrawKeyed(c, R.Right - 3 + shift - glyph->Width() + (down ? 1 : 0),
              R.Top + (R.Height() - glyph->Height()) / 2 + shift, glyph, clFuchsia);
  }
  std::string text = col->TitleCaption();
  if (c->TextWidth(text) > textRight - R.Left - 2) {
    while (!text.empty() && c->TextWidth(text + "...") > textRight - R.Left - 2) text.pop_back();
    text += "...";
  }
  c->Brush()->SetStyle(bsClear);
  c->TextRect(Rect(R.Left + 1, R.Top + 1, textRight, R.Bottom - 1), R.Left + 2 + shift, R.Top + 2 + shift, text);
  c->Brush()->SetStyle(bsSolid);
}

void TVxDBGrid::PaintIndicator(int Row, const TRect& R, bool Current) {
  TCanvas* c = Canvas();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(R);
  TDataSet* d = FDataLink->DataSet();
  c->Brush()->SetColor(clBlack);
  c->Pen()->SetColor(clBlack);
  const int cy = (R.Top + R.Bottom) / 2;
  if (Current) {
    if (d->State() == dsInsert || d->State() == dsEdit) {
      // A star for a new record, an I-beam for one being edited.
      c->FillRect(Rect(R.Left + 4, cy - 3, R.Left + 6, cy + 4));
      if (d->State() == dsInsert) c->FillRect(Rect(R.Left + 2, cy - 1, R.Left + 8, cy + 1));
    } else {
      for (int i = 0; i < 4; ++i) c->FillRect(Rect(R.Left + 3 + i, cy - 3 + i, R.Left + 4 + i, cy + 4 - i));
    }
  }
  if (FMultiSelect && d->State() == dsBrowse && !FSelected.empty()) {
    const TBookmark b = d->Bookmark();  // the row being painted
    if (!b.empty() && FSelected.count(b)) {
      const int edge = FOptions.Contains(dgColLines) && FOptions.Contains(dgRowLines) ? 1 : 2;
      c->Brush()->SetColor(clNavy);
      if (Current)
        c->FillRect(Rect(R.Right - edge - 3, cy - 3, R.Right - edge, cy + 3));
      else
        c->FillRect(Rect(R.Right - edge - 3, cy - 1, R.Right - edge, cy + 2));
    }
  }
}

void TVxDBGrid::PaintCell(int Row, int Column, const TRect& R, bool Current) {
  TCanvas* c = Canvas();
  TColumn* col = FColumns->Items(Column);
  TField* f = col->Field();
  const bool cellSelected = Current && (FOptions.Contains(dgRowSelect) || Column == FSelectedIndex);
  const bool highlight = cellSelected && (FOptions.Contains(dgAlwaysShowSelection) || Focused()) && !FEditorMode;
  TDataSet* d = FDataLink->DataSet();
  bool inSelection = false;
  if (FMultiSelect && !FSelected.empty()) {
    const TBookmark b = d->Bookmark();
    inSelection = !b.empty() && FSelected.count(b);
  }
  c->Font()->Assign(Font());
  TColor background = Color();
  if (highlight || inSelection) {
    background = clHighlight;
    c->Font()->SetColor(clHighlightText);
  }
  if (OnGetCellParams) {
    OnGetCellParams(this, f, c->Font(), background, highlight || inSelection);
  } else if (OnGetCellProps) {
    if (highlight) {
      TColor fontColor = c->Font()->Color();
      OnGetCellProps(this, f, c->Font(), fontColor);
      c->Font()->SetColor(fontColor);
    } else {
      OnGetCellProps(this, f, c->Font(), background);
    }
  }
  c->Brush()->SetColor(background);
  if (!FDefaultDrawing) {
    c->FillRect(R);
    return;
  }
  const int glyph = FieldGlyph(f);
  if (glyph >= 0) {
    c->FillRect(R);
    TBitmap* g = GridGlyph(glyph);
    DrawKeyed(c, R.Left + (R.Width() - g->Width()) / 2, R.Top + (R.Height() - g->Height()) / 2, g, clOlive);
  } else {
    std::string text;
    if (Current && FEditorMode && Column == FSelectedIndex) {
      c->Brush()->SetColor(clWindow);
      c->Font()->SetColor(clWindowText);
      text = FEditText;
    } else if (f) {
      text = f->DisplayText();
    }
    c->TextRect(R, R.Left + 2, R.Top + 2, text);
    if (Current && FEditorMode && Column == FSelectedIndex) {
      const int x = R.Left + 2 + c->TextWidth(text);
      c->Pen()->SetColor(clWindowText);
      c->MoveTo(x, R.Top + 2);
      c->LineTo(x, R.Bottom - 2);
    }
  }
  if (highlight && !FOptions.Contains(dgRowSelect)) {
    TForm* form = dynamic_cast<TForm*>(Owner());
    if (!form || form->ActiveControl() == this) c->DrawFocusRect(R);
  }
}

// ---------------------------------------------------------------------------------------------
// Layout in the settings file

std::string TVxDBGrid::DefaultSectionName() const {
  const TWinControl* p = Parent();
  while (p && !dynamic_cast<const TForm*>(p)) p = p->Parent();
  std::string form = p ? p->ClassName() : "";
  return form + Name();
}

std::string TVxDBGrid::LayoutSection() const {
  const std::string root = FIniLink->RootSection();
  if (FColumns->Persistent()) return root + DefaultSectionName();
  TDataSet* d = FDataLink->DataSet();
  if (!root.empty() && d) return root + DataSetSectionName(d);
  return "";
}

void TVxDBGrid::WriteLayout(TObject*) {
  TObject* file = FIniLink->SettingsObject();
  TDataSet* d = FDataLink->DataSet();
  if (Name().empty() || !file || !DataSource() || !d) return;
  std::string section = LayoutSection();
  if (FColumns->Persistent()) {
    SettingsEraseSection(file, section);
    for (int i = 0; i < FColumns->Count(); ++i) {
      TColumn* c = FColumns->Items(i);
      SettingsWriteString(file, section, Name() + "." + c->FieldName(),
                          Format("%d,%d,%d", {i, c->Width(), c->Visible() ? 1 : 0}));
    }
    return;
  }
  if (section.empty()) section = DataSetSectionName(d);
  for (int i = 0; i < d->FieldCount(); ++i) {
    TField* f = d->Fields()[i];
    SettingsWriteString(file, section, d->Name() + f->FieldName(),
                        Format("%d,%d,%d", {f->Index(), f->DisplayWidth(), f->Visible() ? 1 : 0}));
  }
}

void TVxDBGrid::ReadLayout(TObject*) {
  TObject* file = FIniLink->SettingsObject();
  TDataSet* d = FDataLink->DataSet();
  if (Name().empty() || !file || !DataSource() || !d) return;
  std::string section = LayoutSection();
  if (FColumns->Persistent()) {
    HandleNeeded();
    const int n = FColumns->Count();
    std::vector<int> target(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      TColumn* c = FColumns->Items(i);
      target[static_cast<size_t>(i)] = i;
      const std::string v = SettingsReadString(file, section, Name() + "." + c->FieldName(), "");
      if (v.empty()) continue;
      const auto w = Words(v);
      target[static_cast<size_t>(i)] = WordInt(w, 0, i);
      c->FWidth = std::max(0, WordInt(w, 1, c->FWidth));
      c->FVisible = w.size() < 3 || WordInt(w, 2, 1) == 1;
    }
    // The first column whose target is i goes to place i.
    std::vector<TColumn*> cols;
    for (int i = 0; i < n; ++i) cols.push_back(FColumns->Items(i));
    for (int i = 0; i < n; ++i)
      for (size_t k = 0; k < cols.size(); ++k)
        if (target[k] == i) {
          FColumns->Move(cols[k]->Index(), i);
          break;
        }
    KeepColumnVisible();
    Invalidate();
    return;
  }
  if (section.empty()) section = DataSetSectionName(d);
  const int n = d->FieldCount();
  std::vector<std::pair<TField*, int>> target;
  for (int i = 0; i < n; ++i) {
    TField* f = d->Fields()[i];
    int to = f->Index();
    const std::string v = SettingsReadString(file, section, d->Name() + f->FieldName(), "");
    if (!v.empty()) {
      const auto w = Words(v);
      to = WordInt(w, 0, to);
      f->SetDisplayWidth(WordInt(w, 1, f->DisplayWidth()));
    }
    target.emplace_back(f, to);
  }
  for (int i = 0; i < n; ++i)
    for (auto& [f, to] : target)
      if (to == i) {
        f->SetIndex(i);
        break;
      }
}

void TVxDBGrid::SaveLayout() { WriteLayout(this); }
void TVxDBGrid::RestoreLayout() { ReadLayout(this); }
