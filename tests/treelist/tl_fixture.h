// A form with a tree list of three columns, shown headless, for the tree-list tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "treelist/tl_control.h"

struct TTreeListFixture {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TvmTreeList* TL = nullptr;

  explicit TTreeListFixture(int Columns = 3, int Width = 400, int Height = 300) {
    Form->SetBounds(0, 0, Width + 40, Height + 40);
    TL = new TvmTreeList(Form.get());
    TL->SetName("TL");
    TL->SetParent(Form.get());
    TL->Font()->SetName("DejaVu Sans");
    TL->Font()->SetSize(9);
    TL->HeaderPanelFont()->Assign(TL->Font());
    TL->SetBounds(0, 0, Width, Height);
    for (int i = 0; i < Columns; ++i) {
      TvmTreeListColumn* c = TL->CreateColumn();
      c->SetName("Col" + std::to_string(i));
      c->SetCaption("C" + std::to_string(i));
    }
    Form->Show();
  }

  // Roots R0..R(n-1), each with children "Ri.j".
  void Fill(int Roots, int Children) {
    TL->BeginUpdate();
    for (int i = 0; i < Roots; ++i) {
      TvmTreeListNode* r = TL->AddNode(nullptr, {"R" + std::to_string(i), std::to_string(i)});
      for (int j = 0; j < Children; ++j)
        TL->AddNode(r, {"R" + std::to_string(i) + "." + std::to_string(j), std::to_string(j)});
    }
    TL->EndUpdate();
  }

  TvmTreeListNode* Find(const std::string& Text) {
    for (TvmTreeListNode* n = TL->GetFirstNode(); n; n = n->GetNext())
      if (n->Strings(0) == Text) return n;
    return nullptr;
  }

  std::vector<std::string> VisibleTexts() {
    std::vector<std::string> v;
    for (int i = 0; i < TL->GetVisibleNodeCount(); ++i) v.push_back(TL->GetNodeAtRow(i)->Strings(0));
    return v;
  }

  // Gives the control the keyboard focus (the window system settles it first).
  bool Focus() {
    TL->SetFocus();
    Application->ProcessMessages();
    return TL->Focused();
  }
  TvmTreeListLayout Layout() {
    TvmTreeListLayout L;
    TL->CalcLayout(L);
    return L;
  }
  const TvmTreeListRowInfo* RowOf(const TvmTreeListLayout& L, TvmTreeListNode* N) {
    for (const auto& r : L.VisibleRows)
      if (r.Node == N) return &r;
    return nullptr;
  }
  // The centre of a node's cell in a column.
  TPoint CellPoint(TvmTreeListNode* N, int Column) {
    TvmTreeListLayout L = Layout();
    const auto* r = RowOf(L, N);
    for (const auto& h : L.HeaderCells)
      if (h.Column == Column && r) return TPoint((h.Rect.Left + h.Rect.Right) / 2, r->Top + r->Height / 2);
    return TPoint(-1, -1);
  }
  void Click(TPoint P, TShiftState Shift = {}) {
    TL->DispatchMouseDown(mbLeft, Shift, P.X, P.Y);
    TL->DispatchMouseUp(mbLeft, Shift, P.X, P.Y);
  }
  void Key(uint16_t K, TShiftState Shift = {}) { TL->DispatchKeyDown(K, Shift); }
  std::string FocusText() { return TL->FocusedNode() ? TL->FocusedNode()->Strings(0) : std::string(); }
  std::vector<std::string> SelectedTexts() {
    std::vector<std::string> v;
    for (TvmTreeListNode* n = TL->GetFirstNode(); n; n = n->GetNext())
      if (TL->IsNodeSelected(n)) v.push_back(n->Strings(0));
    return v;
  }

  void Paint() { TL->Repaint(); }
  TColor Pixel(int X, int Y) { return ColorToRGB(ControlSurfacePixel(TL, X, Y)); }
};
