// The customizing form and the tree list's side of it.
#include "treelist/tl_customize.h"

#include <algorithm>

#include "platform/comctrls.h"
#include "platform/guards.h"
#include "platform/stdctrls.h"
#include "treelist/tl_treelist.h"

VM_DEFINE_CLASS(TvmTreeListCustomizeForm)

TvmTreeListCustomizeForm::TvmTreeListCustomizeForm(TCustomvmTreeList* ATreeList)
    : TForm(nullptr), FTreeList(ATreeList) {
  SetCaption("Customize");
  SetBorderStyle(bsSizeToolWin);
  SetFormStyle(fsStayOnTop);
  SetBounds(0, 0, 180, 240);
  FPages = new TPageControl(this);
  FPages->SetName("PageControl");
  FPages->SetParent(this);
  FPages->SetAlign(alClient);
  auto page = [&](const std::string& Caption, TListBox*& List) {
    auto* sheet = new TTabSheet(this);
    sheet->SetPageControl(FPages);
    sheet->SetCaption(Caption);
    List = new TListBox(this);
    List->SetParent(sheet);
    List->SetAlign(alClient);
    TListBox* l = List;
    List->OnMouseDown = [this, l](TObject*, TMouseButton B, TShiftState, int X, int Y) {
      if (B == mbLeft) ListMouseDown(l, X, Y);
    };
    List->OnMouseMove = [this, l](TObject*, TShiftState, int X, int Y) { ListMouseMove(l, X, Y); };
    List->OnMouseUp = [this, l](TObject*, TMouseButton, TShiftState, int X, int Y) { ListMouseUp(l, X, Y); };
  };
  page("    Bands    ", FBandList);
  page("   Headers   ", FHeaderList);
  FPages->SetActivePageIndex(1);
  RefreshLists();
}

void TvmTreeListCustomizeForm::RefreshLists() {
  std::vector<std::string> captions;
  auto fill = [&](TListBox* List, bool Bands, std::vector<int>& Indexes) {
    Indexes.clear();
    captions.clear();
    FTreeList->GetCustomizeItems(Bands, Indexes, captions);
    List->Items()->BeginUpdate();
    List->Items()->Clear();
    for (const auto& c : captions) List->Items()->Add(c);
    List->Items()->EndUpdate();
  };
  fill(FBandList, true, FBandIndexes);
  fill(FHeaderList, false, FHeaderColumns);
}

void TvmTreeListCustomizeForm::FitListRows(int Rows) {
  TListBox* list = FPages->ActivePageIndex() == 0 ? FBandList : FHeaderList;
  const int dh = std::max(1, Rows) * list->ItemHeight() - list->ClientHeight();
  if (dh != 0) SetBounds(Left(), Top(), Width(), Height() + dh);
}

void TvmTreeListCustomizeForm::DoClose(TCloseAction& Action) {
  TForm::DoClose(Action);
  if (Action != caNone) Action = caHide;
}

TPoint TvmTreeListCustomizeForm::ToTreeList(TListBox* List, int X, int Y) const {
  return FTreeList->ScreenToClient(List->ClientToScreen(TPoint(X, Y)));
}

// An entry pressed in a list starts a band or header drag in the tree list; the list keeps
// the pointer and hands its moves and the release on.
void TvmTreeListCustomizeForm::ListMouseDown(TListBox* List, int X, int Y) {
  FDragging = false;
  bool bands = List == FBandList;
  const std::vector<int>& indexes = bands ? FBandIndexes : FHeaderColumns;
  int i = List->ItemAtPos(TPoint(X, Y), true);
  if (i < 0 || i >= static_cast<int>(indexes.size())) return;
  if (bands)
    FTreeList->StartCustomizeBandDrag(indexes[i], ToTreeList(List, X, Y));
  else
    FTreeList->StartCustomizeColumnDrag(indexes[i], ToTreeList(List, X, Y));
  FDragging = FTreeList->State() == (bands ? tlsBandDragging : tlsColumnDragging);
}

void TvmTreeListCustomizeForm::ListMouseMove(TListBox* List, int X, int Y) {
  if (!FDragging) return;
  TPoint p = ToTreeList(List, X, Y);
  FTreeList->DispatchMouseMove({ssLeft}, p.X, p.Y);
}

void TvmTreeListCustomizeForm::ListMouseUp(TListBox* List, int X, int Y) {
  if (!FDragging) return;
  FDragging = false;
  TPoint p = ToTreeList(List, X, Y);
  FTreeList->DispatchMouseUp(mbLeft, {}, p.X, p.Y);
}

// ---------------------------------------------------------------------------------------------
// The tree list's side.

void TCustomvmTreeList::ShowCustomizeForm() {
  if (!FCustomizeForm) FCustomizeForm = new TvmTreeListCustomizeForm(this);
  FCustomizeForm->RefreshLists();
  if (FCustomizeBounds.Left == -1000) {
    // First shown: right of the control, top edges level.
    TPoint p = ClientToScreen(TPoint(Width() + 8, 0));
    FCustomizeForm->SetBounds(p.X, p.Y, FCustomizeForm->Width(), FCustomizeForm->Height());
  } else {
    FCustomizeForm->SetBounds(FCustomizeBounds.Left, FCustomizeBounds.Top, FCustomizeBounds.Width(),
                              FCustomizeBounds.Height());
  }
  FCustomizeForm->Show();
  // A form placed by the user keeps its size; a new one shows CustomizeListRowCount rows.
  if (FCustomizeBounds.Left == -1000) FCustomizeForm->FitListRows(FCustomizeListRowCount);
}

void TCustomvmTreeList::SetCustomizeListRowCount(int Value) {
  Value = std::max(1, Value);
  if (!StoreChanged(FCustomizeListRowCount, Value)) return;
  if (IsCustomizing()) FCustomizeForm->FitListRows(Value);
}

void TCustomvmTreeList::HideCustomizeForm() {
  if (!FCustomizeForm) return;
  FCustomizeBounds = FCustomizeForm->BoundsRect();
  FCustomizeForm->Hide();
}

bool TCustomvmTreeList::IsCustomizing() const { return FCustomizeForm && FCustomizeForm->Visible(); }

bool TCustomvmTreeList::OverCustomizeForm(TPoint P) {
  if (!IsCustomizing()) return false;
  return PtInRect(FCustomizeForm->BoundsRect(), ClientToScreen(P));
}

void TCustomvmTreeList::ShowCustomizePageFor(bool Bands) {
  if (!IsCustomizing()) return;
  TPageControl* pages = FCustomizeForm->PageControl();
  if (!pages || pages->PageCount() == 0) return;
  if (Bands)
    pages->SetActivePageIndex(0);
  else if (FCustomizeForm->BandList() && FCustomizeForm->HeaderList())
    pages->SetActivePageIndex(pages->PageCount() - 1);
}

void TCustomvmTreeList::StartCustomizeColumnDrag(int Column, TPoint P) {
  if (FState != tlsIdle || Column < 0) return;
  FDownPoint = P;
  FLastDragPoint = P;
  FDraggedColumn = Column;
  CreateColumnDragImage(Column);
  SetState(tlsColumnDragging);
  ShowCustomizePageFor(false);
}

void TCustomvmTreeList::StartCustomizeBandDrag(int Band, TPoint P) {
  if (FState != tlsIdle || Band < 0) return;
  FDownPoint = P;
  FLastDragPoint = P;
  FDraggedBand = -1;
  FCustomizeBand = Band;
  SetState(tlsBandDragging);
  ShowCustomizePageFor(true);
}
