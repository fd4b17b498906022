// A small grid container for the editor tests: it paints every cell with the class-level
// painters of the cell's editor class and edits one cell at a time with a real editor, following
// the container's editor protocol.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "inspector/vm_edit.h"
#include "inspector/vm_utils.h"
#include "platform/bitmap.h"
#include "platform/forms.h"
#include "platform/localeinfo.h"
#include "platform/richedit.h"
#include "platform/shell.h"

using TEditorSetup = std::function<void(TvmInplaceEdit* Edit)>;

struct TTestCell {
  TvmInplaceEditClass Class;
  Variant Value;
  TRect Rect;
  TEditorSetup Setup;
};

class TTestContainer : public TCustomvmContainer {
public:
  explicit TTestContainer(TComponent* AOwner) : TCustomvmContainer(AOwner) {
    SetColor(clWindow);
    Font()->SetName("DejaVu Sans");
    Font()->SetSize(9);
  }

  std::vector<TTestCell> Cells;
  std::map<TvmInplaceEditClass, TvmInplaceEdit*> Editors;  // one per class, owned as components
  std::map<TvmInplaceEditClass, TvmInplaceEdit*> Templates;
  TvmInplaceEdit* Editor = nullptr;
  int EditingCell = -1;
  bool AcceptKeys = true;
  bool Modifiable = true;
  std::vector<uint16_t> ContainerKeys;

  int AddCell(TvmInplaceEditClass Class, const Variant& Value, const TRect& R, TEditorSetup Setup = nullptr) {
    Cells.push_back({Class, Value, R, std::move(Setup)});
    Invalidate();
    return static_cast<int>(Cells.size()) - 1;
  }

  bool CanEditModify() override { return Modifiable; }
  bool CanEditAcceptKey(char) override { return AcceptKeys; }

  // Shows the editor of a cell over it (step by step as a container must).
  TvmInplaceEdit* EditCell(int Index, bool AfterActivateHook = false) {
    TTestCell& cell = Cells[Index];
    TvmInplaceEdit* e = Editors[cell.Class];
    if (!e) {
      if (Editor) CloseEdit(true);
      e = static_cast<TvmInplaceEdit*>(cell.Class->Create(this));
      e->SetParent(this);
      Editors[cell.Class] = e;
    }
    if (EditingCell != Index && Editor) CloseEdit(true);
    BeginInitEditor();
    e->SetClosing(false);
    e->SetColor(GetEditColor());
    e->SetFont(GetEditFont());
    if (cell.Setup) cell.Setup(e);
    e->SetEditValue(cell.Value);
    EndInitEditor();
    Editor = e;
    EditingCell = Index;
    if (!AfterActivateHook) e->LockActivation();
    e->ActivateAt(cell.Rect);
    if (!AfterActivateHook) e->UnlockActivation();
    return e;
  }

  // Applies a modified value and hides the editor.
  void CloseEdit(bool Apply) {
    if (!Editor) return;
    TvmInplaceEdit* e = Editor;
    e->SetClosing(true);
    if (Apply && e->Modified()) Cells[EditingCell].Value = e->EditValue();
    Editor = nullptr;
    EditingCell = -1;
    e->HideEdit();
    Invalidate();
  }

  // The painter's view of a cell: a hidden editor of the class, set up like the cell's, gives
  // the view data; the class-level painter draws it.
  TvmInplaceEdit* TemplateFor(const TTestCell& Cell) {
    TvmInplaceEdit*& t = Templates[Cell.Class];
    if (!t) t = static_cast<TvmInplaceEdit*>(Cell.Class->Create(this));
    t->SetColor(GetEditColor());
    t->SetFont(GetEditFont());
    t->SetBounds(0, 0, Cell.Rect.Width() + 4, Cell.Rect.Height() + 4);
    if (Cell.Setup) Cell.Setup(t);
    t->SetEditValue(Cell.Value);
    return t;
  }

  // The cell's content rectangle (where the editor's content sits when shown).
  TRect CellContentRect(int Index) {
    TTestCell& cell = Cells[Index];
    auto vd = TemplateFor(cell)->CreateViewData(false);
    vd->Bounds = cell.Rect;
    InflateRect(vd->Bounds, 2, 2);
    TvmEditViewInfo vi;
    cell.Class->CalcViewInfo(vd.get(), false, vi);
    return vi.ContentRect;
  }

protected:
  void Paint() override {
    TCanvas* c = Canvas();
    FillRectColor(c, Rect(0, 0, Width(), Height()), Color());
    for (size_t i = 0; i < Cells.size(); ++i) {
      TTestCell& cell = Cells[i];
      auto vd = TemplateFor(cell)->CreateViewData(false);
      vd->IsFocused = false;
      vd->IsHot = false;
      vd->Bounds = cell.Rect;
      InflateRect(vd->Bounds, 2, 2);
      TvmEditViewInfo vi;
      cell.Class->CalcViewInfo(vd.get(), false, vi);
      cell.Class->DrawContent(c, vi.ContentRect, vd.get(), false);
    }
  }
  void KeyDown(uint16_t& Key, TShiftState Shift) override {
    ContainerKeys.push_back(Key);
    if (Key == VK_RETURN) CloseEdit(true);
    if (Key == VK_ESCAPE) CloseEdit(false);
    TCustomvmContainer::KeyDown(Key, Shift);
  }
};

struct TEditorFixture {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TTestContainer* Grid = nullptr;
  TEditorFixture() {
    SetLocaleInfo(DefaultLocaleInfo());
    SetShellOpenHook([this](const std::string& T) {
      Opened.push_back(T);
      return true;
    });
    Form->SetBounds(0, 0, 420, 320);
    Grid = new TTestContainer(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBounds(0, 0, 400, 300);
    Form->Show();
  }
  ~TEditorFixture() { SetShellOpenHook(nullptr); }
  std::vector<std::string> Opened;

  // Pixels of the content rectangle that differ between the painted cell (editor hidden) and
  // the live editor shown over it; -1 when nothing could be compared.
  int ContentMismatches(int Cell, const std::function<void(TvmInplaceEdit*)>& AfterShow = nullptr) {
    if (Grid->Editor) Grid->CloseEdit(false);
    Grid->Repaint();
    TRect content = Grid->CellContentRect(Cell);
    TBitmap painted;
    GrabControl(Grid, &painted);
    TvmInplaceEdit* e = Grid->EditCell(Cell);
    if (AfterShow) AfterShow(e);
    // Without the focus the live window shows neither caret nor selection.
    Grid->SetFocus();
    e->Repaint();
    TBitmap live;
    GrabControl(e, &live);
    if (getenv("VM_DUMP")) {
      painted.SaveToFile("/tmp/vm_painted.bmp");
      live.SaveToFile("/tmp/vm_live.bmp");
    }
    int bad = 0, compared = 0;
    for (int y = content.Top; y < content.Bottom; ++y)
      for (int x = content.Left; x < content.Right; ++x) {
        TColor a = painted.Canvas()->Pixels(x, y);
        TColor b = live.Canvas()->Pixels(x - e->Left(), y - e->Top());
        ++compared;
        if (a != b) ++bad;
      }
    if (bad) {
      // Where the ink lies in each: shows an offset at a glance.
      auto box = [&](TBitmap& B, int DX, int DY) {
        TRect r(10000, 10000, -1, -1);
        TColor bg = painted.Canvas()->Pixels(content.Left, content.Top);
        for (int y = content.Top; y < content.Bottom; ++y)
          for (int x = content.Left; x < content.Right; ++x)
            if (B.Canvas()->Pixels(x - DX, y - DY) != bg) {
              r.Left = std::min(r.Left, x);
              r.Top = std::min(r.Top, y);
              r.Right = std::max(r.Right, x);
              r.Bottom = std::max(r.Bottom, y);
            }
        return r;
      };
      TRect a = box(painted, 0, 0), b = box(live, e->Left(), e->Top());
      ADD_FAILURE() << "ink painted " << a.Left << "," << a.Top << "-" << a.Right << "," << a.Bottom << " live "
                    << b.Left << "," << b.Top << "-" << b.Right << "," << b.Bottom;
    }
    return compared ? bad : -1;
  }
  // Pixels of the content rectangle that are not the background: the cell shows something.
  int InkPixels(int Cell) {
    Grid->Repaint();
    TRect content = Grid->CellContentRect(Cell);
    TBitmap painted;
    GrabControl(Grid, &painted);
    int ink = 0;
    TColor bg = painted.Canvas()->Pixels(content.Left, content.Top);
    for (int y = content.Top; y < content.Bottom; ++y)
      for (int x = content.Left; x < content.Right; ++x)
        if (painted.Canvas()->Pixels(x, y) != bg) ++ink;
    return ink;
  }
};

inline void PressKey(TControl* C, uint16_t Key, TShiftState Shift = {}) {
  SendInput(C, ikKeyDown, Shift, 0, 0, Key);
  SendInput(C, ikKeyUp, Shift, 0, 0, Key);
}
