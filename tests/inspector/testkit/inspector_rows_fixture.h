// An inspector on a form, shown headless, for the tests of its rows: opening a row's editor,
// leaving it, and reading the ink of a value cell. A test's fixture derives from it, makes its
// inspector in Form and fills in its own rows.
#pragma once

#include <memory>

#include "inspector/vm_inspector.h"
#include "platform/bitmap.h"
#include "platform/forms.h"

template <class TInspector>
struct TInspectorRowsFixture {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TInspector* Insp = nullptr;

  // Opens the row's editor (the row is focused and made visible).
  TvmInplaceEdit* Open(TvmInspectorRow* R) {
    Insp->SetFocus();
    Insp->SetFocusedNode(R->Node());
    Insp->ShowEditor(true, false);
    return Insp->Editor();
  }
  // Leaves the row: the editor's value is applied.
  void Leave() {
    Insp->PostEditor();
    Insp->HideEditor();
  }
  // Pixels of the row's value cell that differ from its background, and those of one colour.
  struct TInk {
    int Any = 0, OfColor = 0;
  };
  TInk ValueInk(TvmInspectorRow* R, TColor Color = clNone) {
    Insp->HideEditor();
    Insp->SetFocusedNode(nullptr);
    TBitmap bmp;
    bmp.SetWidth(Insp->ClientWidth());
    bmp.SetHeight(Insp->ClientHeight());
    Insp->PaintTo(bmp.Canvas());
    TvmInspectorNodeCells c = Insp->CalcNodeCells(R->Node(), Insp->GetNodeRect(R->Node()));
    const TColor bg = bmp.Canvas()->Pixels(c.Value.Right - 2, c.Value.Top + 1);
    TInk ink;
    for (int y = c.Value.Top; y < c.Value.Bottom - 1; ++y)
      for (int x = c.Value.Left + 1; x < c.Value.Right - 1; ++x) {
        const TColor p = bmp.Canvas()->Pixels(x, y);
        if (p != bg) ++ink.Any;
        if (p == Color) ++ink.OfColor;
      }
    return ink;
  }
};
