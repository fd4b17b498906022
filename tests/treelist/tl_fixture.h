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

  void Paint() {
    TL->Repaint();
  }
  TColor Pixel(int X, int Y) { return ColorToRGB(ControlSurfacePixel(TL, X, Y)); }
};
