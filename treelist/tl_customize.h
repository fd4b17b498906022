// The customizing form of the tree list: a small tool window ("Customize") whose two pages
// list the hidden bands and the hidden columns. A header dragged onto it is hidden; an entry
// dragged from its list onto the header shows there again.
#pragma once

#include <string>
#include <vector>

#include "platform/forms.h"

class TCustomvmTreeList;
class TListBox;
class TPageControl;

class TvmTreeListCustomizeForm : public TForm {
  VM_CLASS(TvmTreeListCustomizeForm, TForm)
public:
  explicit TvmTreeListCustomizeForm(TCustomvmTreeList* ATreeList);
  TCustomvmTreeList* TreeList() const { return FTreeList; }
  TPageControl* PageControl() const { return FPages; }
  TListBox* BandList() const { return FBandList; }
  TListBox* HeaderList() const { return FHeaderList; }
  // The column (or absolute band) index behind a list entry.
  const std::vector<int>& HeaderColumns() const { return FHeaderColumns; }
  const std::vector<int>& BandIndexes() const { return FBandIndexes; }
  // Fills the lists again from the tree list.
  void RefreshLists();
  // Makes the form as tall as lists of that many rows need.
  void FitListRows(int Rows);

protected:
  void DoClose(TCloseAction& Action) override;

private:
  void ListMouseDown(TListBox* List, int X, int Y);
  void ListMouseMove(TListBox* List, int X, int Y);
  void ListMouseUp(TListBox* List, int X, int Y);
  TPoint ToTreeList(TListBox* List, int X, int Y) const;
  TCustomvmTreeList* FTreeList;
  TPageControl* FPages = nullptr;
  TListBox* FBandList = nullptr;
  TListBox* FHeaderList = nullptr;
  std::vector<int> FHeaderColumns, FBandIndexes;
  bool FDragging = false;
};
