#include "chart/editor/chart_list_box.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/legend.h"
#include "chart/engine/registries.h"
#include "chart/engine/walls_titles.h"
#include "chart/engine/series_helpers.h"
#include "chart/engine/tool_base.h"
#include "chart/extra/pen_dialog.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/dialogs.h"
#include "platform/forms.h"

VM_DEFINE_CLASS(TChartListBox)

TGalleryNewSeriesHook GalleryNewSeriesHook;
TGalleryChangeTypeHook GalleryChangeTypeHook;

namespace {

// Every live list box, for the engine's list view hook.
std::vector<TChartListBox*>& LiveBoxes() {
  static std::vector<TChartListBox*> boxes;
  return boxes;
}

constexpr int kDragThreshold = 5;

// The icon of a series class: a small picture of a series of that class, drawn three times as
// large on a chart of its own and shrunk, the way the gallery shows it.
std::unique_ptr<TBitmap> DrawClassIcon(TChartSeriesClass Class) {
  constexpr int kW = TChartListBox::kIconWidth - 2, kH = 22, kScale = 1;
  TChart chart(nullptr);
  chart.SetBounds(0, 0, kW * kScale, kH * kScale);
  chart.Title()->SetVisible(false);
  chart.Legend()->SetVisible(false);
  chart.SetView3D(false);
  chart.SetColor(clWindow);
  chart.SetBevelOuter(bvNone);
  chart.SetAxisVisible(false);
  chart.BackWall()->SetVisible(false);
  for (int i = 0; i < 4; ++i) chart.SetMargin(i, 2);
  TChartSeries* s = MakeSeriesOfClass(nullptr, &chart, Class, nullptr);
  if (!s) return nullptr;
  s->MakeGalleryThumbnail(true);
  std::unique_ptr<TBitmap> big(chart.CreateBitmap(clWindow, Rect(0, 0, kW * kScale, kH * kScale), pf24bit));
  if (!big) return nullptr;
  auto icon = std::make_unique<TBitmap>();
  icon->SetPixelFormat(pf24bit);
  icon->SetSize(kW, kH);
  icon->Canvas()->StretchDraw(Rect(0, 0, kW, kH), big.get());
  return icon;
}

// The bitmap resources of the registered series classes, named like their classes.
bool SeriesClassIcon(const std::string& Name, TBitmap* Bitmap) {
  static std::map<std::string, std::unique_ptr<TBitmap>> cache;
  auto it = cache.find(Name);
  if (it == cache.end()) {
    TChartSeriesClass cls = nullptr;
    if (TGraphSeriesTypes* types = GraphSeriesTypesList())
      for (int i = 0; i < types->Count() && !cls; ++i) {
        TGraphSeriesType* t = types->GetSeriesType(i);
        if (t->SeriesClass && !t->FunctionClass && t->SeriesClass->ClassName() == Name) cls = t->SeriesClass;
      }
    it = cache.emplace(Name, cls ? DrawClassIcon(cls) : nullptr).first;
  }
  if (!it->second) return false;
  Bitmap->Assign(it->second.get());
  return true;
}

TForm* FormOf(TControl* Control) {
  TControl* top = Control;
  while (top->Parent()) top = top->Parent();
  return dynamic_cast<TForm*>(top);
}

}  // namespace

TChartListBox::TChartListBox(TComponent* AOwner) : TListBox(AOwner) {
  SetStyle(lbOwnerDrawFixed);
  SetItemHeight(24);
  SetSorted(false);
  SetMultiSelect(true);
  SetTabStop(true);
  OnClick = [this](TObject*) {
    if (OnRefresh) OnRefresh(this);
  };
  LiveBoxes().push_back(this);
}

TChartListBox::~TChartListBox() {
  auto& boxes = LiveBoxes();
  boxes.erase(std::remove(boxes.begin(), boxes.end(), this), boxes.end());
  if (::Dragging() && DragObject()->Source == this) ::EndDrag(false);
  delete FEditor;
  FEditor = nullptr;
  Detach();
}

void TChartListBox::Detach() {
  if (!FChart) return;
  FChart->RemoveListener(this);
  FChart->RemoveFreeNotification(this);
  FChart = nullptr;
}

void TChartListBox::SetChart(TCustomChart* Value) {
  if (Value == FChart) return;
  Detach();
  FChart = Value;
  if (FChart) {
    FChart->Listeners->Add(this);
    FChart->FreeNotification(this);
    FillSeries(nullptr);
  } else if (!ComponentState().Contains(csDestroying)) {
    Clear();
    if (OtherItems) OtherItems->Clear();
  }
  Invalidate();
}

void TChartListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TListBox::Notification(AComponent, Operation);
  if (Operation == opRemove && FChart && AComponent == static_cast<TComponent*>(FChart)) SetChart(nullptr);
}

void TChartListBox::ParentChanged() {
  TListBox::ParentChanged();
  if (Parent() && Items()->Count() == 0 && TListBox::ItemIndex() != -1) SetItemIndex(-1);
}

void TChartListBox::SetCheckStyle(TCheckBoxesStyle Value) {
  if (Value == FCheckStyle) return;
  FCheckStyle = Value;
  if (FCheckStyle == cbsRadio) {
    bool seen = false;
    for (int i = 0; i < Items()->Count(); ++i)
      if (TChartSeries* s = SeriesAtIndex(i); s && s->Active()) {
        if (seen) s->SetActive(false);
        seen = true;
      }
  }
  Invalidate();
}

void TChartListBox::SetShowActiveCheck(bool Value) {
  FShowActiveCheck = Value;
  Invalidate();
}
void TChartListBox::SetShowSeriesColor(bool Value) {
  FShowSeriesColor = Value;
  Invalidate();
}
void TChartListBox::SetShowSeriesIcon(bool Value) {
  FShowSeriesIcon = Value;
  Invalidate();
}
void TChartListBox::SetShowSeriesTitle(bool Value) {
  FShowSeriesTitle = Value;
  Invalidate();
}
void TChartListBox::SetSeriesGroup(TSeriesGroup* Value) {
  FSeriesGroup = Value;
  RefreshSeries();
}
void TChartListBox::SetShowSeriesNames(bool Value) {
  FShowSeriesNames = Value;
  RefreshSeries();
}

int TChartListBox::SectionLeft(int Section) const {
  const bool shown[] = {FShowSeriesIcon, FShowActiveCheck, FShowSeriesColor};
  const int widths[] = {kIconWidth, kActiveWidth, kColorWidth};
  int x = 0;
  for (int i = 0; i < Section && i < 3; ++i)
    if (shown[i]) x += widths[i];
  return x;
}

int TChartListBox::SectionAt(int X) const {
  const bool shown[] = {FShowSeriesIcon, FShowActiveCheck, FShowSeriesColor, FShowSeriesTitle};
  const int widths[] = {kIconWidth, kActiveWidth, kColorWidth, kTitleWidth};
  for (int i = 0; i < 4; ++i)
    if (shown[i] && X >= SectionLeft(i) && X < SectionLeft(i) + widths[i]) return i;
  return -1;
}

TChartSeries* TChartListBox::SeriesAtIndex(int Index) const {
  if (Index < 0 || Index >= Items()->Count()) return nullptr;
  return static_cast<TChartSeries*>(Items()->Objects(Index));
}

void TChartListBox::SelectRow(int Row) {
  if (Row < 0 || Row >= Items()->Count()) return;
  if (MultiSelect()) SetSelected(Row, true);
  SetItemIndex(Row);
}

void TChartListBox::SelectSeries(TChartSeries* Series) {
  const int row = Items()->IndexOfObject(Series);
  SetItemIndex(row);
  if (row >= 0 && MultiSelect()) SetSelected(row, true);
}

void TChartListBox::FillSeries(TChartSeries* OldSeries) {
  if (!ComponentState().Contains(csDestroying)) {
    Clear();
    if (OtherItems) OtherItems->Clear();
  }
  if (FChart) {
    TCustomSeriesList* list = FSeriesGroup ? FSeriesGroup->Series() : FChart->SeriesList();
    ListSeriesInStrings(Items(), list, !FShowSeriesNames);
    // Rows read as the series' display titles.
    if (!FShowSeriesNames)
      for (int i = 0; i < Items()->Count(); ++i) {
        std::string t;
        SeriesDisplayTitle(SeriesAtIndex(i), t);
        Items()->SetStrings(i, t);
      }
  }
  if (OtherItems) OtherItems->Assign(*Items());
  int row = Items()->IndexOfObject(OldSeries);
  if (row < 0 && Items()->Count() > 0) row = 0;
  SelectRow(row);
  if (OnOtherItemsChange) OnOtherItemsChange(this);
  if (OnRefresh) OnRefresh(this);
}

void TChartListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  TCanvas* c = Canvas();
  const bool focused = Focused();
  const bool isIndex = Index == ItemIndex();
  const bool selected = State.Contains(odSelected) || (!focused && isIndex);
  TColor back = Color();
  if (selected && (focused || !isIndex))
    back = clHighlight;
  else if (selected || State.Contains(odFocused))
    back = clInactiveCaption;
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(back);
  c->FillRect(Rect);
  if (FShowSeriesTitle) {
    c->Brush()->SetColor(Color());
    c->FillRect(TRect(Rect.Left, Rect.Top, Rect.Left + SectionLeft(3) - 2, Rect.Bottom));
  }
  if (TChartSeries* s = SeriesAtIndex(Index)) {
    if (FShowSeriesIcon) DrawSeriesIcon(c, s, Rect.Left + SectionLeft(0), Rect.Top);
    if (FShowSeriesColor && s->UsesSeriesColor()) {
      const int x = Rect.Left + SectionLeft(2) - 2;
      DrawSeriesSymbolOnCanvas(s, c, TRect(x + 4, Rect.Top + 4, x + 26 - 4, Rect.Bottom - 4), nullptr);
    }
    if (FShowActiveCheck)
      DrawCheckBox(Rect.Left + SectionLeft(1) + 2, Rect.Top + (ItemHeight() - 13) / 2, c, s->Active(), Color(),
                   FCheckStyle == cbsCheck);
  }
  if (FShowSeriesTitle) {
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    c->Font()->SetColor(selected ? clHighlightText : Font()->Color());
    c->TextOut(Rect.Left + SectionLeft(3) + 1, Rect.Top + (ItemHeight() - c->TextHeight("W")) / 2,
               Items()->Strings(Index));
    c->Brush()->SetStyle(bsSolid);
  }
}

void TChartListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FHitPos = TPoint(X, Y);
  if (Shift.Contains(ssDouble) && Button == mbLeft) {
    // The second press of a double click: act on it, and never start a drag from it.
    FDblClicked = true;
    TListBox::MouseDown(Button, Shift, X, Y);
    const int row = ItemAtPos(FHitPos, true);
    if (row >= 0 && Selected(row)) {
      const int section = SectionAt(X);
      TChartSeries* s = SeriesAtIndex(row);
      if (section == 0 && EnableChangeType) {
        ChangeSelectedSeriesType(this);
      } else if (section == 2 && EnableChangeColor && s && s->UsesSeriesColor()) {
        TColor color = s->SeriesColor();
        if (EditColorChanged(this, color)) {
          s->SetSeriesColor(color);
          s->SetColorEachPoint(false);
          if (OnChangeColor) OnChangeColor(this, s);
        }
      } else if (section == 3) {
        if (OnDblClickSeries) OnDblClickSeries(this, row);
      }
    }
    FDblClicked = false;
    return;
  }
  TListBox::MouseDown(Button, Shift, X, Y);
  if (FEditor && FEditor->Visible()) EndTitleEdit();
  if (ItemIndex() < 0) return;
  const int row = ItemAtPos(TPoint(X, Y), true);
  if (row >= 0) {
    const int section = SectionAt(X);
    TChartSeries* s = SeriesAtIndex(row);
    if (section == 1 && s) {
      if (FCheckStyle == cbsRadio) {
        for (int i = 0; i < Items()->Count(); ++i)
          if (TChartSeries* o = SeriesAtIndex(i)) o->SetActive(o == s);
      } else {
        s->SetActive(!s->Active());
      }
      if (!s->ParentChart()) Invalidate();
      if (OnChangeActive) OnChangeActive(this, s);
    } else if (section == 3 && EnableDragSeries && !FDblClicked && !Shift.Contains(ssShift) &&
               !Shift.Contains(ssCtrl) && Button == mbLeft) {
      FDragPending = true;
      FDragStart = TPoint(X, Y);
    }
  }
  FDblClicked = false;
  if (OnOtherItemsChange) OnOtherItemsChange(this);
}

void TChartListBox::MouseMove(TShiftState Shift, int X, int Y) {
  TListBox::MouseMove(Shift, X, Y);
  if (FDragPending && Shift.Contains(ssLeft) &&
      (std::abs(X - FDragStart.X) >= kDragThreshold || std::abs(Y - FDragStart.Y) >= kDragThreshold)) {
    FDragPending = false;
    auto object = std::make_unique<TDragObject>(this);
    object->DragPos = ClientToScreen(FDragStart);
    ::BeginDrag(std::move(object));
  }
  if (::Dragging() && DragObject()->Source == this) ::DragMove(ClientToScreen(TPoint(X, Y)));
  // The hand over the sections that a double click acts on.
  TCursor cursor = crDefault;
  if (!ComponentState().Contains(csDesigning) && ItemAtPos(TPoint(X, Y), true) >= 0) {
    const int section = SectionAt(X);
    if ((section == 0 && EnableChangeType) || (section == 2 && EnableChangeColor)) cursor = crHandPoint;
  }
  SetCursor(cursor);
}

void TChartListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TListBox::MouseUp(Button, Shift, X, Y);
  FDragPending = false;
  if (Button == mbLeft && ::Dragging() && DragObject()->Source == this) {
    ::DragMove(ClientToScreen(TPoint(X, Y)));
    ::EndDrag(true);
  }
}

void TChartListBox::DblClick() {
  // Handled with the press that carries the double click (MouseDown), where the point is known.
  TListBox::DblClick();
}

void TChartListBox::DragOver(TDragObject* Source, int, int, TDragState, bool& Accept) {
  Accept = Source && Source->Source == this && EnableDragSeries;
}

void TChartListBox::DragDrop(TDragObject* Source, int X, int Y) {
  if (!Source || Source->Source != this) return;
  const int to = ItemAtPos(TPoint(X, Y), true);
  const int from = ItemIndex();
  if (from >= 0 && to >= 0 && to != from) ExchangeRows(from, to);
}

void TChartListBox::ExchangeRows(int From, int To) {
  Items()->Exchange(From, To);
  if (OtherItems && From < OtherItems->Count() && To < OtherItems->Count()) OtherItems->Exchange(From, To);
  if (FChart) {
    TChartSeries* a = SeriesAtIndex(From);
    TChartSeries* b = SeriesAtIndex(To);
    // The list was swapped already: the refill the chart's event asks for keeps these rows.
    FChart->SwapSeries(b, a);
    if (OnChangeOrder) OnChangeOrder(this, a, b);
  }
  if (CanFocus())
    if (TForm* f = FormOf(this)) f->SetActiveControl(this);
  if (MultiSelect())
    for (int i = 0; i < Items()->Count(); ++i) SetSelected(i, false);
  SelectRow(To);
  if (OnRefresh) OnRefresh(this);
}

void TChartListBox::MoveSeriesUp() {
  const int i = ItemIndex();
  if (i > 0) ExchangeRows(i, i - 1);
}

void TChartListBox::MoveSeriesDown() {
  const int i = ItemIndex();
  if (i >= 0 && i < Items()->Count() - 1) ExchangeRows(i, i + 1);
}

TChartSeries* TChartListBox::AddSeriesFromGallery() {
  if (!GalleryNewSeriesHook || !FChart) return nullptr;
  TChartSeries* s = GalleryNewSeriesHook(Owner(), FChart, SelectedSeries());
  if (!s) return nullptr;
  if (MultiSelect())
    for (int i = 0; i < Items()->Count(); ++i) SetSelected(i, false);
  SelectSeries(s);
  if (OnRefresh) OnRefresh(this);
  return s;
}

bool TChartListBox::HasSelection() {
  if (MultiSelect() && SelCount() == 0 && ItemIndex() >= 0) SetSelected(ItemIndex(), true);
  return ItemIndex() >= 0 || (MultiSelect() && SelCount() > 0);
}

bool TChartListBox::DeleteSelectedSeries() {
  if (!HasSelection()) return false;
  if (AskDelete) {
    std::string name;
    if (MultiSelect() && SelCount() > 1)
      name = MsgEdSelectedSeries;
    else if (TChartSeries* s = SelectedSeries())
      SeriesDisplayTitle(s, name);
    if (!extra::AskDelete(name, this)) return false;
  }
  bool deleted = false;
  if (MultiSelect()) {
    // Freeing a series takes its row away (the chart's removal event): look at the same row again.
    int i = 0;
    while (i < Items()->Count()) {
      if (Selected(i)) {
        TChartSeries* s = SeriesAtIndex(i);
        const int before = Items()->Count();
        delete s;
        deleted = true;
        if (Items()->Count() == before) RemoveRow(i);  // a series outside any chart
      } else {
        ++i;
      }
    }
  } else if (TChartSeries* s = SelectedSeries()) {
    const int row = ItemIndex(), before = Items()->Count();
    delete s;
    deleted = true;
    if (Items()->Count() == before) RemoveRow(row);
  }
  if (Items()->Count() > 0) SelectRow(0);
  if (OnRefresh) OnRefresh(this);
  return deleted;
}

void TChartListBox::CloneSelectedSeries() {
  TChartSeries* s = SelectedSeries();
  if (!s) return;
  DuplicateSeries(s);
}

void TChartListBox::ChangeSelectedSeriesType(TObject*) {
  if (!HasSelection() || !FChart || !GalleryChangeTypeHook) return;
  std::vector<TChartSeries*> chosen;
  if (MultiSelect()) {
    for (int i = 0; i < Items()->Count(); ++i)
      if (Selected(i)) chosen.push_back(SeriesAtIndex(i));
  } else if (TChartSeries* s = SelectedSeries()) {
    chosen.push_back(s);
  }
  if (chosen.empty()) return;
  TChartSeriesClass cls = GalleryChangeTypeHook(Owner(), chosen[0]);
  for (size_t i = 1; i < chosen.size(); ++i)
    if (cls && chosen[i]->ClassType() != cls) ConvertSeriesClass(chosen[i], cls);
  if (MultiSelect())
    for (int i = 0; i < Items()->Count(); ++i) SetSelected(i, false);
  for (TChartSeries* s : chosen) SelectSeries(s);
  if (OnRefresh) OnRefresh(this);
}

bool TChartListBox::AskSeriesTitle() {
  TChartSeries* s = SelectedSeries();
  if (!s) return false;
  std::string before;
  SeriesDisplayTitle(s, before);
  const std::string oldName = s->Name();
  std::string text = FShowSeriesNames ? s->Name() : before;
  if (InputQuery(MsgEdChangeSeriesTitle, MsgEdNewSeriesTitle, text) && !text.empty()) {
    if (FShowSeriesNames) {
      s->SetName(text);
      const int row = Items()->IndexOfObject(s);
      if (row >= 0) Items()->SetStrings(row, text);
      s->Repaint();
    } else {
      s->SetTitle(text == s->Name() ? std::string() : text);
    }
  }
  std::string after;
  SeriesDisplayTitle(s, after);
  if (const int row = Items()->IndexOfObject(s); row >= 0 && !FShowSeriesNames) Items()->SetStrings(row, after);
  SelectSeries(s);
  return FShowSeriesNames ? s->Name() != oldName : after != before;
}

void TChartListBox::EditTitleInPlace() {
  TChartSeries* s = SelectedSeries();
  if (!s || !FShowSeriesTitle) return;
  if (!FEditor) {
    FEditor = new TEdit(nullptr);
    FEditor->SetParent(this);
    FEditor->OnKeyDown = [this](TObject*, uint16_t& Key, TShiftState) {
      if (Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN || Key == VK_F1 + 1) {
        TChartSeries* edited = FEditedSeries;
        if (edited) edited->SetTitle(FEditor->Text());
        Key = 0;
        EndTitleEdit();
        // The row reads the new title, and those who follow the list hear of it.
        if (const int row = edited ? Items()->IndexOfObject(edited) : -1; row >= 0) {
          std::string title;
          SeriesDisplayTitle(edited, title);
          Items()->SetStrings(row, title);
          if (OnRefresh) OnRefresh(this);
        }
      } else if (Key == VK_ESCAPE) {
        Key = 0;
        FEditedSeries = nullptr;
        EndTitleEdit();
      }
    };
    // Enter and Escape are swallowed, so they do not beep.
    FEditor->OnKeyPress = [](TObject*, char& Key) {
      if (Key == '\r' || Key == 27) Key = 0;
    };
  }
  const TRect r = ItemRect(ItemIndex());
  FEditor->SetBounds(SectionLeft(3) - 2, r.Top, kTitleWidth, r.Height() + 1);
  std::string title;
  SeriesDisplayTitle(s, title);
  FEditor->SetText(title);
  FEditedSeries = s;
  FEditor->SetVisible(true);
  if (FEditor->CanFocus()) FEditor->SetFocus();
}

void TChartListBox::EndTitleEdit() {
  if (!FEditor || !FEditor->Visible()) return;
  FEditor->SetVisible(false);
  FEditedSeries = nullptr;
  if (CanFocus()) SetFocus();
  Invalidate();
}

void TChartListBox::SelectAll() {
  if (!MultiSelect()) return;
  for (int i = 0; i < Items()->Count(); ++i) SetSelected(i, true);
}

void TChartListBox::KeyUp(uint16_t& Key, TShiftState Shift) {
  TListBox::KeyUp(Key, Shift);
  if (Key == VK_INSERT && AllowAddSeries)
    AddSeriesFromGallery();
  else if (Key == VK_DELETE && AllowDeleteSeries)
    DeleteSelectedSeries();
  else if (Key == VK_F1 + 1 && SelectedSeries())
    EditTitleInPlace();
}

void TChartListBox::RemoveRow(int Row) {
  if (Row < 0 || Row >= Items()->Count()) return;
  Items()->Delete(Row);
  if (OtherItems && Row < OtherItems->Count()) OtherItems->Delete(Row);
}

void TChartListBox::ChartEvent(TGraphEvent* Event) {
  if (ComponentState().Contains(csDestroying)) return;
  if (auto* e = dynamic_cast<TGraphSeriesEvent*>(Event)) {
    switch (e->Event) {
      case sekAdded:
      case sekSwapped:
        RefreshSeries();
        break;
      case sekRemoved: {
        const int row = Items()->IndexOfObject(e->Series);
        if (row >= 0) {
          if (FEditedSeries == e->Series) EndTitleEdit();
          RemoveRow(row);
          if (OnRemovedSeries) OnRemovedSeries(this, e->Series);
        }
        break;
      }
      case sekTitle: {
        const int row = Items()->IndexOfObject(e->Series);
        if (row >= 0) {
          std::string t;
          if (FShowSeriesNames)
            t = e->Series->Name();
          else
            SeriesDisplayTitle(e->Series, t);
          Items()->SetStrings(row, t);
          if (OtherItems && row < OtherItems->Count()) OtherItems->SetStrings(row, t);
        }
        break;
      }
      case sekColor:
      case sekActive:
        Invalidate();
        break;
      case sekValues:
        break;
    }
  } else if (dynamic_cast<TGraphView3DEvent*>(Event)) {
    Invalidate();
  }
}

void InitChartListBox() {
  static bool icons = false;
  if (!icons) AddBitmapResourceModule(SeriesClassIcon);
  icons = true;
  SeriesListViewHook = [](TCustomAxisPanel* Chart) {
    for (TChartListBox* b : LiveBoxes())
      if (b->Chart() && static_cast<TCustomAxisPanel*>(b->Chart()) == Chart) b->Invalidate();
  };
}

void DoneChartListBox() { SeriesListViewHook = nullptr; }
