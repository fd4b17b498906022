#include "app/views/mask_window.h"

#include <algorithm>

#include "app/views/chart_editing.h"
#include "app/site_session.h"
#include "app/views/series_factory.h"
#include "chart/editor/language.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/graph_panel_ext.h"
#include "chart/engine/legend.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/grid_series.h"
#include "chart/series/tools_colorline.h"
#include "controls/form_storage.h"
#include "mtdata/open_site.h"
#include "mtdata/site_file.h"
#include "platform/actnlist.h"

VM_DEFINE_CLASS(TMaskEd1)

TMaskEd1* MaskEd1 = nullptr;

namespace {

// Colours of the mask values 0 (no estimate, rejected when read), 1 (used), 2 (removed).
constexpr TColor MaskColours[3] = {static_cast<TColor>(0xFFFFFF), static_cast<TColor>(0x800000),
                                   static_cast<TColor>(0xFF0000)};
constexpr TCursor crHandPointCursor = -21;
constexpr TCursor crCircleCursor = -5;

}  // namespace

TMaskEd1::TMaskEd1(TComponent* AOwner, TSiteSession& ASession) : TMyForm(AOwner), Session(ASession) {
  SetName("MaskEd1");
  SetCaption("Mask Edit");
  PlaceInFrame(this, 40, 10, 536, 386);
  Chart1 = new TChart(this);
  Chart1->SetName("Chart1");
  Chart1->SetParent(this);
  Chart1->SetAlign(alClient);
  Chart1->SetView3D(false);
  Chart1->Legend()->SetVisible(false);
  Chart1->Title()->SetVisible(false);
  Chart1->BottomAxis()->Title()->SetCaption(Translated("Xpr number"));
  Chart1->LeftAxis()->Title()->SetCaption(Translated("f, Hz"));
  Chart1->LeftAxis()->SetAxisValuesFormat("#,##0.####");
  Chart1->LeftAxis()->SetLabelStyle(talValue);
  Series1 = new TColorGridSeries(this);
  Series1->SetName("Series1");
  Series1->SetCenteredPoints(true);
  Series1->Marks()->SetVisible(false);
  Series1->SetSeriesColor(clGreen);
  Series1->SetPaletteSteps(2);
  for (TChartValueList* l : {Series1->XValues(), Series1->YValues(), Series1->ZValues()}) l->SetOrder(loNone);
  Chart1->AttachSeries(Series1);
  auto line = [this](const char* Name, TChartAxis* Axis) {
    auto* t = new TColorLineTool(this);
    t->SetName(Name);
    t->Pen()->SetColor(clRed);
    t->SetAllowDrag(false);  // a rubber line follows the mouse; the click belongs to the window
    Chart1->Tools->Add(t);
    t->SetAxis(Axis);
    t->SetActive(false);
    return t;
  };
  ChartTool1 = line("ChartTool1", Chart1->BottomAxis());
  ChartTool2 = line("ChartTool2", Chart1->BottomAxis());
  ChartTool3 = line("ChartTool3", Chart1->LeftAxis());
  ChartTool4 = line("ChartTool4", Chart1->LeftAxis());
  Chart1->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    Chart1MouseDown(s, b, sh, x, y);
  };
  Chart1->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { Chart1MouseMove(s, sh, x, y); };
  ChartEditorPopup(this, ChartEditor1, Chart1, "Chart Editor");
  FormStorage1 = KeepPlacement(this, "TMaskEd1");
  OnActivate = [this](TObject* s) { FormActivate(s); };
  // Every change of the site redraws the view.
  Session.AddListener(this, {.OnFrequencyChanged = [this](TObject*, int F) { FrequencyChanged(F); },
                             .OnEveryFrequencyChanged = [this](TObject* s) { Refresh(s); }});
}

TMaskEd1::~TMaskEd1() { Session.RemoveListener(this); }

void TMaskEd1::ShowMask(TMTFile* ASite) {
  Site = ASite;
  Series1->ClearValues();
  if (Site) {
    // One notice of the new values at the end, instead of one per cell.
    Series1->BeginUpdate();
    const int n = Site->LastGridFreq();
    for (int f = 1; f <= n; ++f)
      for (int x = 1; x <= Site->XprCount[f]; ++x)
        Series1->AddXYZPoint(x, Site->Mask[f][x], n - f + 1, "", clDefault);  // coloured by the palette
    Series1->EndUpdate();
  }
  Series1->SetUsePalette(true);
  Series1->SetUseColorRange(false);
  Series1->ClearPaletteEntries();
  for (int v = 0; v < 3; ++v) Series1->AddPaletteEntry(v + 0.5, MaskColours[v]);
  Chart1->Invalidate();
}

void TMaskEd1::FrequencyChanged(int F) {
  if (!Site || Site != Session.Site() || F < 1 || F > Site->LastGridFreq()) return Refresh(this);
  // The cells lie frequency by frequency, each row's estimates in turn, as ShowMask added them.
  int first = 0, total = 0;
  for (int f = 1; f <= Site->LastGridFreq(); ++f) {
    if (f == F) first = total;
    total += Site->XprCount[f];
  }
  TChartValueList* values = Series1->YValues();
  if (values->Count() != total) return Refresh(this);
  for (int x = 1; x <= Site->XprCount[F]; ++x) values->SetValue(first + x - 1, Site->Mask[F][x]);
  Series1->Repaint();
}

void TMaskEd1::Refresh(TObject*) {
  Series1->ClearValues();
  ShowMask(Site);
}

void TMaskEd1::Undo(TObject*) { Session.Undo(); }

void TMaskEd1::Redo(TObject*) { Session.Redo(); }

void TMaskEd1::FormActivate(TObject*) {
  if (!Session.Host) return;
  Session.EnableViewActions(387);
  Session.UpdateUndoState();
}

void TMaskEd1::PointerExecute(TObject* Sender) {
  const auto tag = static_cast<TComponent*>(Sender)->Tag();
  TCursor rest = crDefault, series = crDefault;
  switch (tag) {
    case 2:
      series = crHandPointCursor;
      break;
    case 4:
      rest = crCircleCursor;
      break;
    case 1:
    case 3:
    case 5:
    case 6:
      break;
    default:
      rest = Chart1->OriginalCursor;
      series = Series1->Cursor();
      break;
  }
  Chart1->OriginalCursor = rest;
  Chart1->SetCursor(rest);
  for (int i = 0; i < Chart1->SeriesList()->Count(); ++i) Chart1->SeriesList()->Items(i)->SetCursor(series);
  if (tag >= 1 && tag <= 6) Chart1->Zoom()->SetAllow(tag == 1 || tag == 2 || tag == 4);
  for (TColorLineTool* t : {ChartTool1, ChartTool2, ChartTool3, ChartTool4}) t->SetActive(false);
}

void TMaskEd1::ChangeCell(int F, int X) {
  int16_t& m = Site->Mask[F][X];
  if (m == 0) return;
  if (Session.Is(emDeleting))
    m = 2;
  else if (Session.Is(emRestoring))
    m = 1;
}

void TMaskEd1::Commit(const char* Action) { Session.CommitWholeMaskEdit(JournalFreq, Action, this); }

void TMaskEd1::Chart1MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  if (!Site) return;
  const int n = Site->LastGridFreq();
  if (Session.Is(emTwoVert)) {
    if (!BandClick(VertClicks, VertX, X)) return;
    // Each column by its own estimate number, so a frequency with fewer estimates than the first
    // row still finds its columns.
    int widest = 0;
    for (int f = 1; f <= n; ++f) widest = std::max(widest, static_cast<int>(Site->XprCount[f]));
    for (int x = 1; x <= widest; ++x) {
      const int px = Chart1->BottomAxis()->ValueToPixel(x);
      if (px < VertX[1] || px > VertX[2]) continue;
      for (int f = 1; f <= n; ++f)
        if (x <= Site->XprCount[f]) ChangeCell(f, x);
    }
    Commit("MsVert");
    ChartTool1->SetActive(false);
    ChartTool2->SetActive(false);
  } else if (Session.Is(emTwoHorz)) {
    if (!BandClick(HorzClicks, HorzY, Y)) return;
    for (int f = 1; f <= n; ++f) {
      const int py = Chart1->LeftAxis()->ValueToPixel(n - f + 1);  // the row of frequency f
      if (py < HorzY[1] || py > HorzY[2]) continue;
      for (int x = 1; x <= Site->XprCount[f]; ++x) ChangeCell(f, x);
    }
    Commit("MsHorl");
    ChartTool3->SetActive(false);
    ChartTool4->SetActive(false);
  }
}

void TMaskEd1::Chart1MouseMove(TObject*, TShiftState, int X, int Y) {
  if (Session.Is(emTwoVert)) {
    TColorLineTool* t = VertClicks == 0 ? ChartTool1 : ChartTool2;
    t->SetActive(true);
    t->SetValue(Chart1->BottomAxis()->PixelToValue(X));
  } else if (Session.Is(emTwoHorz)) {
    TColorLineTool* t = HorzClicks == 0 ? ChartTool3 : ChartTool4;
    t->SetActive(true);
    t->SetValue(Chart1->LeftAxis()->PixelToValue(Y));
  }
}
