#include "chart/extra/gantt_page_tools.h"

#include <cmath>
#include <memory>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_pointer.h"
#include "chart/extra/bubble_gantt_series.h"
#include "chart/extra/grid_series.h"
#include "platform/sysutils.h"

VM_PUBLISH(TGanttTool) {
  using S = TGanttTool;
  P.Bool("AllowDrag", &S::AllowDrag, &S::SetAllowDrag).Default(true);
  P.Bool("AllowResize", &S::AllowResize, &S::SetAllowResize).Default(true);
  P.Int("CursorDrag", &S::CursorDrag, &S::SetCursorDrag).Default(crHandPoint);
  P.Int("CursorResize", &S::CursorResize, &S::SetCursorResize).Default(crSizeWE);
  P.Int("MinPixels", &S::MinPixels, &S::SetMinPixels).Default(5);
  P.Event("OnDragBar", &S::OnDragBar);
  P.Event("OnResizeBar", &S::OnResizeBar);
}

VM_PUBLISH(TPageNumTool) {
  using S = TPageNumTool;
  P.String("Format", &S::Format, &S::SetFormat).Stored(&S::FormatStored);
  // The text is the format: written once, under that name.
  P.String("Text", &S::Format, &S::SetFormat).Stored(false);
}

VM_PUBLISH(TGridTransposeTool) {
  using S = TGridTransposeTool;
  P.Component("Series", &S::SeriesComponent, &S::SetSeriesComponent);
}

TGraphToolClass PageNumToolClass = nullptr;

// =============================================================================================
// Gantt tool

TGanttTool::TGanttTool(TComponent* AOwner) : TGraphCustomToolSeries(AOwner) {}

void TGanttTool::GetDescription(std::string& Text) { Text = MsgToolGanttDrag; }

TGanttSeries* TGanttTool::Gantt() const { return dynamic_cast<TGanttSeries*>(Series()); }

int32_t TGanttTool::BarEndAt(TGanttSeries* S, int X, int Y, TGanttToolBarPart& Part) const {
  const int half = S->Pointer()->VertSize() / 2;
  for (int32_t i = 0; i < S->PointCount(); ++i) {
    if (std::abs(Y - S->ValueToScreenY(S->YValues()->Value(i))) > half) continue;
    const int s = S->ValueToScreenX(S->StartValues()->Value(i));
    const int e = S->ValueToScreenX(S->EndValues()->Value(i));
    if (std::abs(X - s) < FMinPixels) {
      Part = pbStart;
      return i;
    }
    if (std::abs(X - e) < FMinPixels) {
      Part = pbEnd;
      return i;
    }
  }
  return -1;
}

void TGanttTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton, TShiftState, int X, int Y) {
  TGanttSeries* s = Gantt();
  TCustomAxisPanel* chart = ParentChart();
  if (!s || !chart || !Active()) return;
  TChartAxis* axis = s->GetHorizAxis();
  if (!axis) return;
  switch (Kind) {
    case meDown: {
      FBar = -1;
      FLastValue = axis->PixelToValue(X);
      if (FAllowResize) FBar = BarEndAt(s, X, Y, FPart);
      if (FBar == -1 && FAllowDrag) {
        FBar = s->PointIndexAt(X, Y);
        FPart = pbAll;
      }
      if (FBar != -1) chart->CancelMouse = true;
      break;
    }
    case meMove: {
      if (FBar == -1) {
        TGanttToolBarPart part;
        bool set = false;
        if (FAllowResize && BarEndAt(s, X, Y, part) != -1) {
          chart->SetCursor(FCursorResize);
          set = true;
        }
        if (FAllowDrag && s->PointIndexAt(X, Y) != -1) {
          chart->SetCursor(FCursorDrag);
          set = true;
        }
        if (set) chart->CancelMouse = true;
        break;
      }
      if (FBar >= s->PointCount()) {
        FBar = -1;
        break;
      }
      const double v = axis->PixelToValue(X), d = v - FLastValue;
      TChartValueList* start = s->StartValues();
      TChartValueList* end = s->EndValues();
      switch (FPart) {
        case pbAll:
          start->SetValue(FBar, start->Value(FBar) + d);
          end->SetValue(FBar, end->Value(FBar) + d);
          if (OnDragBar) OnDragBar(this, FBar);
          break;
        case pbEnd:
          end->SetValue(FBar, std::max(end->Value(FBar) + d, start->Value(FBar)));
          if (OnResizeBar) OnResizeBar(this, FBar, pbEnd);
          break;
        case pbStart:
          start->SetValue(FBar, std::min(start->Value(FBar) + d, end->Value(FBar)));
          if (OnResizeBar) OnResizeBar(this, FBar, pbStart);
          break;
      }
      FLastValue = v;
      chart->CancelMouse = true;
      s->Repaint();
      break;
    }
    case meUp:
      FBar = -1;
      break;
  }
}

// =============================================================================================
// Page number

TPageNumTool::TPageNumTool(TComponent* AOwner) : TAnnotationTool(AOwner) { SetText(MsgPageOfPages); }

std::string TPageNumTool::GetText() {
  TCustomAxisPanel* chart = ParentChart();
  const int32_t page = chart ? chart->Page() : 1;
  const int32_t pages = chart ? chart->CountPages() : 1;
  try {
    return ::Format(Text(), {page, pages});
  } catch (const Exception&) {
    // A format the user typed that does not take two numbers is shown as it stands.
    return Text();
  }
}

void TPageNumTool::GetDescription(std::string& Text) { Text = MsgGalleryPageNumber; }

// =============================================================================================
// Grid transpose

TComponent* TGridTransposeTool::SeriesComponent() const { return FSeries; }

void TGridTransposeTool::SetSeriesComponent(TComponent* Value) {
  auto* s = dynamic_cast<TCustom3DGridSeries*>(Value);
  if (s == FSeries) return;
  if (FSeries) FSeries->RemoveFreeNotification(this);
  FSeries = s;
  if (FSeries) FSeries->FreeNotification(this);
}

void TGridTransposeTool::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphCustomTool::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSeries) FSeries = nullptr;
}

void TGridTransposeTool::GetDescription(std::string& Text) { Text = MsgGallery3DGridTranspose; }

void TGridTransposeTool::TransposeGrid() {
  if (!Active() || !FSeries) return;
  auto tmp = std::make_unique<TCustom3DGridSeries>(nullptr);
  TChartValueList* x = FSeries->XValues();
  TChartValueList* y = FSeries->YValues();
  TChartValueList* z = FSeries->ZValues();
  for (int32_t i = 0; i < FSeries->PointCount(); ++i) tmp->AddXYZ(z->Value(i), y->Value(i), x->Value(i));
  FSeries->ReplaceValuesFrom(tmp.get());
}

// =============================================================================================

void RegisterGanttPageTools() {
  RegisterToolTypes({TGanttTool::StaticClass(), TPageNumTool::StaticClass(), TGridTransposeTool::StaticClass()});
  PageNumToolClass = TPageNumTool::StaticClass();
}

void UnregisterGanttPageTools() {
  PageNumToolClass = nullptr;
  UnregisterToolTypes({TGanttTool::StaticClass(), TPageNumTool::StaticClass(), TGridTransposeTool::StaticClass()});
}
