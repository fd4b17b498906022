#include "chart/editor/series_page.h"

#include <set>

#include "chart/editor/caption_fit.h"
#include "chart/editor/chart_grid.h"
#include "chart/editor/chart_list_box.h"
#include "chart/editor/editor_forms.h"
#include "chart/editor/select_list.h"
#include "chart/editor/format_axis_dialogs.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/axis_panel.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/graph_function.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_base.h"
#include "chart/engine/series_helpers.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/pen_dialog.h"
#include "chart/editor/language.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"

VM_DEFINE_CLASS(TBaseSourceEditor)
VM_DEFINE_CLASS(TGraphFuncEditor)
VM_DEFINE_CLASS(TFormGraphSeries)

using namespace edkit;

TComponentClass FindEditorClass(const std::string& Name) {
  if (Name.empty()) return nullptr;
  RegisterEditorForms();
  return dynamic_cast<TComponentClass>(GetClass(Name));
}

TComponentClass FindSeriesEditorClass(TChartSeries* Series) {
  if (!Series) return nullptr;
  std::string name;
  GetElementEditorClassName(static_cast<TChartElementClass>(Series->ClassType()), name);
  return FindEditorClass(name);
}

// ---------------------------------------------------------------------------------------------
// Data-source editors

TBaseSourceEditor::TBaseSourceEditor(TComponent* AOwner) : TForm(AOwner) {
  SetName("BaseSourceEditor");
  SetBounds(0, 0, 420, 220);
  Pan = Make<TPanel>(this, this, "Pan", "", 0, 0, 420, 32);
  Pan->SetAlign(alTop);
  Pan->SetBevelOuter(bvNone);
  CBSources = Make<TComboBox>(this, Pan, "CBSources", "", 80, 5, 200, 22);
  CBSources->SetStyle(csDropDownList);
  CBSources->OnChange = [this](TObject*) { CBSourcesChange(); };
  LLabel = Make<TLabel>(this, Pan, "LLabel", "&Source:", 8, 9, 70, 16);
  LLabel->SetFocusControl(CBSources);
  BApply = Make<TButton>(this, Pan, "BApply", "&Apply", 290, 4, 75, 24);
  BApply->SetEnabled(false);
  BApply->OnClick = [this](TObject*) { BApplyClick(); };
  OnShow = [this](TObject*) { FormShow(); };
}

void TBaseSourceEditor::FormShow() {
  FSeries = dynamic_cast<TChartSeries*>(EmbeddedObject(this));
  BApply->SetEnabled(false);
}

void TBaseSourceEditor::CBSourcesChange() { BApply->SetEnabled(true); }

bool TBaseSourceEditor::CloseQuery() {
  if (!BApply->Enabled()) return true;
  const int r = MessageDlg("Apply Changes ?", mtConfirmation, {mbYes, mbNo, mbCancel}, 0);
  if (r == mrCancel) return false;
  if (r == mrYes) {
    BApplyClick();
    return !BApply->Enabled();
  }
  BApply->SetEnabled(false);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Function editor

TGraphFuncEditor::TGraphFuncEditor(TComponent* AOwner) : TBaseSourceEditor(AOwner) {
  SetName("GraphFuncEditor");
  LLabel->SetCaption("&Functions:");
  CBSources->SetSorted(true);
  PageControl1 = Make<TPageControl>(this, this, "PageControl1", "", 0, 32, 420, 188);
  PageControl1->SetAlign(alClient);
  TabSource = Tab(this, PageControl1, "TabSource", "Source Series");
  TabOptions = Tab(this, PageControl1, "TabOptions", "Options");
  PanSingle = Make<TPanel>(this, TabSource, "PanSingle", "", 0, 0, 410, 150);
  PanSingle->SetAlign(alClient);
  PanSingle->SetBevelOuter(bvNone);
  PanSingle->SetVisible(false);
  CBSingle = Make<TComboBox>(this, PanSingle, "CBSingle", "", 80, 10, 200, 22);
  CBSingle->SetStyle(csDropDownList);
  CBSingle->OnChange = [this](TObject*) { CBSingleChange(); };
  Make<TLabel>(this, PanSingle, "LSingle", "&Series:", 8, 14, 70, 16)->SetFocusControl(CBSingle);
  CBValues = Make<TComboBox>(this, PanSingle, "CBValues", "", 80, 40, 200, 22);
  CBValues->SetStyle(csDropDownList);
  CBValues->SetEnabled(false);
  CBValues->OnChange = [this](TObject*) {
    if (!FLoading) BApply->SetEnabled(true);
  };
  LValues = Make<TLabel>(this, PanSingle, "LValues", "&Values:", 8, 44, 70, 16);
  LValues->SetFocusControl(CBValues);
  BNone = Make<TButton>(this, PanSingle, "BNone", "&None", 290, 9, 75, 24);
  BNone->SetEnabled(false);
  BNone->OnClick = [this](TObject*) {
    CBSingle->SetItemIndex(-1);
    CBSingleChange();
  };
  PageControl1->SetActivePage(TabSource);
}

TGraphFuncEditor::~TGraphFuncEditor() { LeaveChart(); }

void TGraphFuncEditor::LeaveChart() {
  if (FChart) FChart->Listeners->Remove(this);
  FChart = nullptr;
}

TGraphFunctionClass TGraphFuncEditor::ChosenClass() const {
  const int i = CBSources->ItemIndex();
  return i >= 0 ? reinterpret_cast<TGraphFunctionClass>(CBSources->Items()->Objects(i)) : nullptr;
}

void TGraphFuncEditor::FormShow() {
  TBaseSourceEditor::FormShow();
  PageControl1->SetActivePage(TabSource);
  if (FSeries && FSeries->ParentChart() != FChart) {
    LeaveChart();
    FChart = FSeries->ParentChart();
    if (FChart) FChart->Listeners->Add(this);
  }
  if (!SelectList) {
    SelectList = new TSelectListForm(this);
    for (TListBox* l : {SelectList->FromList, SelectList->ToList}) l->SetHeight(l->Height() - 5);
    SelectList->SetHeight(SelectList->Height() - 8);
    SelectList->SetAlign(alClient);
    // Moving a series between the lists is a change to apply; the function and its options stay.
    SelectList->OnListsChanged = [this](TObject*) {
      if (!FLoading) TBaseSourceEditor::CBSourcesChange();
    };
    EmbedFormWithComponent(SelectList, TabSource, FSeries);
    TranslateControl(SelectList);
    // The lists end inside the tab, however low the page leaves it.
    const int room = TabSource->ClientHeight() - 6;
    for (TListBox* l : {SelectList->FromList, SelectList->ToList})
      if (room > l->Top() + 40 && l->Top() + l->Height() > room) l->SetHeight(room - l->Top());
  }
  TFlagGuard g(FLoading);
  CBSources->Items()->Clear();
  CBSources->Items()->AddObject("Copy", nullptr);
  TGraphSeriesTypes* types = GraphSeriesTypesList();
  for (int i = 0; types && i < types->Count(); ++i) {
    TGraphSeriesType* t = types->GetSeriesType(i);
    if (!t->FunctionClass || t->SeriesClass) continue;
    if (CBSources->Items()->IndexOfObject((TObject*)t->FunctionClass) >= 0) continue;
    std::string text = ReplaceChar(t->DescriptionText(), '\n', ' ');
    text = ReplaceChar(text, '\r', ' ');
    CBSources->Items()->AddObject(text, (TObject*)t->FunctionClass);
  }
  if (!FSeries) return;
  LoadSourceLists();
  TGraphFunction* f = FSeries->FunctionObject();
  int index = f ? CBSources->Items()->IndexOfObject((TObject*)f->ClassType()) : -1;
  // A function whose type is not among the choices is offered by its class name rather than
  // taken for "Copy", which would throw it away.
  if (f && index < 0) index = CBSources->Items()->AddObject(f->ClassName(), (TObject*)f->ClassType());
  CBSources->SetItemIndex(index >= 0 ? index : CBSources->Items()->IndexOfObject(nullptr));
  CBSourcesChange();
  BApply->SetEnabled(!FSeries->FunctionObject() && !FSeries->DataSource());
  SelectList->RefreshListButtons();
}

void TGraphFuncEditor::FillSourceCandidates(std::vector<std::pair<std::string, TChartSeries*>>& List) {
  TForm* main = Application ? Application->MainForm() : nullptr;
  if (main && main->FormStyle() == fsMDIForm) {
    for (int c = 0; c < main->MDIChildCount(); ++c) {
      TForm* child = main->MDIChildren(c);
      for (int i = 0; i < child->ComponentCount(); ++i)
        if (auto* s = dynamic_cast<TChartSeries*>(child->Components(i))) {
          std::string title;
          SeriesDisplayTitle(s, title);
          List.emplace_back(child->Caption() + " " + title, s);
        }
    }
    return;
  }
  TComponent* owner = FSeries->Owner();
  for (int i = 0; owner && i < owner->ComponentCount(); ++i)
    if (auto* s = dynamic_cast<TChartSeries*>(owner->Components(i))) {
      std::string title;
      SeriesDisplayTitle(s, title);
      List.emplace_back(title, s);
    }
}

void TGraphFuncEditor::LoadSourceLists() {
  if (!FSeries || !SelectList) return;
  TFlagGuard g(FLoading);
  CBSingle->Items()->Clear();
  TStrings* available = SelectList->FromList->Items();
  TStrings* selected = SelectList->ToList->Items();
  available->Clear();
  selected->Clear();
  std::vector<std::pair<std::string, TChartSeries*>> candidates;
  FillSourceCandidates(candidates);
  TCustomAxisPanel* chart = FSeries->ParentChart();
  for (auto& [name, s] : candidates) {
    if (!chart || !chart->AcceptsDataSource(FSeries, s)) continue;
    CBSingle->Items()->AddObject(name, s);
    if (FSeries->DataSources->IndexOf(s) < 0) available->AddObject(name, s);
  }
  for (int i = 0; i < FSeries->DataSources->Count(); ++i)
    if (auto* s = dynamic_cast<TChartSeries*>(FSeries->DataSources->Items(i))) {
      std::string title;
      SeriesDisplayTitle(s, title);
      selected->AddObject(title, s);
    }
  if (!PanSingle->Visible()) return;
  if (auto* source = dynamic_cast<TChartSeries*>(FSeries->DataSource())) {
    const int i = CBSingle->Items()->IndexOfObject(source);
    if (i != CBSingle->ItemIndex()) {
      CBSingle->SetItemIndex(i);
      CBSingleChange();
    }
    const int v = CBValues->Items()->IndexOf(FSeries->MandatoryList->ValueSource());
    CBValues->SetItemIndex(FSeries->MandatoryList->ValueSource().empty() || v < 0 ? 0 : v);
  } else {
    CBSingle->SetItemIndex(-1);
    CBSingleChange();
  }
}

void TGraphFuncEditor::CreateFunctionOptionsForm(const std::string& Name) {
  delete OptionsForm;
  OptionsForm = nullptr;
  TComponentClass cls = FindEditorClass(Name);
  if (cls) {
    TComponent* c = cls->Create(this);
    OptionsForm = dynamic_cast<TForm*>(c);
    if (!OptionsForm) delete c;
  }
  TabOptions->SetTabVisible(OptionsForm != nullptr);
  if (!OptionsForm) return;
  TranslateControl(OptionsForm);
  EmbedFormWithObject(OptionsForm, TabOptions, FSeries ? FSeries->FunctionObject() : nullptr);
  FitCaptions(OptionsForm);
}

void TGraphFuncEditor::CBSourcesChange() {
  TBaseSourceEditor::CBSourcesChange();
  TGraphFunctionClass chosen = ChosenClass();
  TabOptions->SetTabVisible(chosen != nullptr);
  bool activateOptions = false;
  if (chosen) {
    ApplyChosenFunction();
    std::string editor;
    bool noSource = false, single = false, hideValues = false;
    {
      std::unique_ptr<TComponent> probe(chosen->Create(nullptr));
      if (auto* f = dynamic_cast<TGraphFunction*>(probe.get())) {
        f->GetEditorClassName(editor);
        noSource = f->NeedsNoSource;
        single = f->SingleSource;
        hideValues = f->NoValueListChoice;
      }
    }
    PanSingle->SetVisible(single && !noSource);
    for (TControl* c : std::initializer_list<TControl*>{LValues, CBValues}) c->SetVisible(!hideValues);
    CreateFunctionOptionsForm(editor);
    TabSource->SetTabVisible(!noSource);
    if (noSource && OptionsForm) PageControl1->SetActivePage(TabOptions);
    activateOptions = OptionsForm && ((FSeries && FSeries->DataSource()) || noSource);
  } else {
    // "Copy": the function goes on "&Apply"; its form goes now, so that nothing is left to write
    // into the function once it is freed.
    CreateFunctionOptionsForm("");
    TabSource->SetTabVisible(true);
    PanSingle->SetVisible(false);
  }
  if (SelectList) SelectList->SetVisible(!PanSingle->Visible());
  if (PanSingle->Visible()) LoadSourceLists();
  if (SelectList && SelectList->Visible())
    PageControl1->SetActivePage(TabSource);
  else if (activateOptions)
    PageControl1->SetActivePage(TabOptions);
}

void TGraphFuncEditor::ApplyChosenFunction() {
  if (!FSeries) return;
  TGraphFunctionClass chosen = ChosenClass();
  TGraphFunction* f = FSeries->FunctionObject();
  if (chosen) {
    if (f && f->ClassType() == chosen) return;
    FSeries->AttachFunction(nullptr);
    MakeFunctionForSeries(FSeries, chosen);
    BApply->SetEnabled(false);
  } else if (f) {
    FSeries->AttachFunction(nullptr);
  }
}

void TGraphFuncEditor::CBSingleChange() {
  if (!FLoading) BApply->SetEnabled(true);
  const int i = CBSingle->ItemIndex();
  auto* s = i >= 0 ? dynamic_cast<TChartSeries*>(CBSingle->Items()->Objects(i)) : nullptr;
  CBValues->Items()->Clear();
  CBValues->SetEnabled(s != nullptr);
  BNone->SetEnabled(s != nullptr);
  if (!s) return;
  for (int k = 1; k < s->ValueLists.Count(); ++k) CBValues->Items()->Add(s->ValueLists[k]->Name());
  TFlagGuard g(FLoading);
  CBValues->SetItemIndex(CBValues->Items()->Count() > 0 ? 0 : -1);
}

void TGraphFuncEditor::BApplyClick() {
  if (!FSeries) return;
  if (OptionsForm && OptionsForm->OnCloseQuery) {
    bool close = true;
    OptionsForm->OnCloseQuery(OptionsForm, close);
  }
  FSeries->BeginUpdate();
  try {
    ApplySources();
  } catch (...) {
    FSeries->EndUpdate();
    throw;
  }
  FSeries->EndUpdate();
  FSeries->RefreshDataFromSource();
  BApply->SetEnabled(false);
}

void TGraphFuncEditor::ApplySources() {
  if (PanSingle->Visible()) {
    const int i = CBSingle->ItemIndex();
    auto* s = i >= 0 ? dynamic_cast<TChartSeries*>(CBSingle->Items()->Objects(i)) : nullptr;
    if (!s) {
      FSeries->SetDataSource(nullptr);
      FSeries->MandatoryList->SetValueSource("");
    } else {
      FSeries->SetDataSource(s);
      FSeries->MandatoryList->SetValueSource(CBValues->ItemIndex() >= 0 ? CBValues->Text() : std::string());
    }
  } else if (SelectList) {
    TStrings* chosen = SelectList->ToList->Items();
    if (chosen->Count() > 0) {
      for (int i = 0; i < chosen->Count(); ++i)
        FSeries->CheckCircularSource(static_cast<TChartSeries*>(chosen->Objects(i)));
      FSeries->SetDataSource(nullptr);
      for (int i = 0; i < chosen->Count(); ++i)
        FSeries->DataSources->AddSource(static_cast<TChartSeries*>(chosen->Objects(i)));
    } else {
      FSeries->SetDataSource(nullptr);
    }
  }
  ApplyChosenFunction();
}

void TGraphFuncEditor::ChartEvent(TGraphEvent* Event) {
  if (ComponentState().Contains(csDestroying)) return;
  auto* e = dynamic_cast<TGraphSeriesEvent*>(Event);
  if (!e || (e->Event != sekAdded && e->Event != sekRemoved && e->Event != sekSwapped)) return;
  if (e->Series == FSeries) {
    BApply->SetEnabled(false);
    return;
  }
  // A removed series is still in the chart's list while it is told.
  if (e->Event == sekRemoved && SelectList) {
    for (TStrings* l : {SelectList->FromList->Items(), SelectList->ToList->Items(), CBSingle->Items()}) {
      const int i = l->IndexOfObject(e->Series);
      if (i >= 0) l->Delete(i);
    }
    if (CBSingle->ItemIndex() < 0) CBSingleChange();
    return;
  }
  LoadSourceLists();
}

// ---------------------------------------------------------------------------------------------
// Series page

namespace {
enum { kManual, kRandom, kFunction };
// The series whose points the user chose to type in (the engine keeps no such mark).
std::set<const TChartSeries*>& ManualSeries() {
  static std::set<const TChartSeries*> s;
  return s;
}
}  // namespace

TFormGraphSeries::TFormGraphSeries(TComponent* AOwner) : TForm(AOwner) {
  SetName("FormGraphSeries");
  SetBounds(0, 0, 440, 300);
  auto* top = Make<TPanel>(this, this, "PanelTop", "", 0, 0, 440, 30);
  top->SetAlign(alTop);
  top->SetBevelOuter(bvNone);
  CBSeries = Make<TComboBox>(this, top, "CBSeries", "", 4, 4, 150, 22);
  CBSeries->SetStyle(csDropDownList);
  CBSeries->OnChange = [this](TObject*) { CBSeriesChange(); };
  LabelSeriesClass = Make<TLabel>(this, top, "LabelSeriesClass", "", 164, 8, 270, 16);
  PageSeries = Make<TPageControl>(this, this, "PageSeries", "", 0, 30, 440, 270);
  PageSeries->SetAlign(alClient);
  TheTabSheet = Tab(this, PageSeries, "TheTabSheet", "Format");
  TabGeneral = Tab(this, PageSeries, "TabGeneral", "General");
  TabMarks = Tab(this, PageSeries, "TabMarks", "Marks");
  TabDataSource = Tab(this, PageSeries, "TabDataSource", "Data Source");
  PageSeries->OnChanging = [this](TObject*, bool& Allow) { Allow = PageSeriesChanging(); };
  PageSeries->OnChange = [this](TObject*) { PageSeriesChange(); };
  LabelNoEditor = Make<TLabel>(this, TheTabSheet, "LabelNoEditor", "", 8, 8, 400, 16);

  CBShowInLegend = Check(this, TabGeneral, "CBShowInLegend", "&Show In Legend", 8, 8, [this](bool V) {
    if (FSeries && !FUpdating) FSeries->SetShowInLegend(V);
  });
  CBHorizAxis = Combo(
      this, TabGeneral, "CBHorizAxis", "Horizontal Axis:", 8, 36, {"Top", "Bottom", "Top and Bottom"},
      [this](int I) {
        if (!FSeries || I < 0) return;
        if (I > 2)
          FSeries->SetCustomHorizAxis(static_cast<TChartAxis*>(CBHorizAxis->Items()->Objects(I)));
        else
          FSeries->SetHorizAxis(static_cast<THorizAxis>(I));
      },
      100, 130);
  CBVertAxis = Combo(
      this, TabGeneral, "CBVertAxis", "Vertical Axis:", 8, 64, {"Left", "Right", "Left and Right"},
      [this](int I) {
        if (!FSeries || I < 0) return;
        if (I > 2)
          FSeries->SetCustomVertAxis(static_cast<TChartAxis*>(CBVertAxis->Items()->Objects(I)));
        else
          FSeries->SetVertAxis(static_cast<TVertAxis>(I));
      },
      100, 130);
  CBSort = Combo(
      this, TabGeneral, "CBSort", "S&ort:", 8, 92, {"Ascending", "Descending", "None"},
      [this](int I) {
        if (!FSeries || I < 0) return;
        if (FSeries->NotMandatoryList) FSeries->NotMandatoryList->SetOrder(loNone);
        const TChartListOrder o[] = {loAscending, loDescending, loNone};
        FSeries->MandatoryList->SetOrder(o[I]);
        if (o[I] != loNone) FSeries->SortByValueOrder();
        FSeries->Repaint();
      },
      100, 130);
  CBCursor = Combo(
      this, TabGeneral, "CBCursor", "&Cursor:", 8, 120, {},
      [this](int I) {
        if (FSeries && !FUpdating && I >= 0)
          FSeries->SetCursor(CursorFromName(FSeries->Cursor(), CBCursor->Items()->Strings(I)));
      },
      100, 130);
  CBCursor->SetSorted(true);
  CBFormat = Combo(
      this, TabGeneral, "CBFormat", "&Values:", 8, 148, {}, [](int) {}, 100, 130);
  CBFormat->SetStyle(csDropDown);
  CBFormat->OnChange = [this](TObject*) {
    if (FSeries && !FUpdating) FSeries->SetValueFormat(LocalToStandardFormat(CBFormat->Text()));
  };
  BFormat = Make<TButton>(this, TabGeneral, "BFormat", "...", 242, 148, 24, 22);
  BFormat->OnClick = [this](TObject*) {
    std::string f;
    if (FSeries && EditValueFormat(this, FSeries->ValueFormat(), f, true)) {
      FSeries->SetValueFormat(f);
      TFlagGuard g(FUpdating);
      CBFormat->SetText(StandardToLocalFormat(f));
    }
  };
  Make<TLabel>(this, TabGeneral, "LPercentFormat", "&Percents:", 8, 179, 100, 16);
  EPercentFormat = Make<TEdit>(this, TabGeneral, "EPercentFormat", "", 108, 176, 130, 22);
  EPercentFormat->OnChange = [this](TObject*) {
    if (FSeries && !FUpdating) FSeries->SetPercentFormat(LocalToStandardFormat(EPercentFormat->Text()));
  };
  BPercentFormat = Make<TButton>(this, TabGeneral, "BPercentFormat", "...", 242, 176, 24, 22);
  BPercentFormat->OnClick = [this](TObject*) {
    std::string f;
    if (FSeries && EditValueFormat(this, FSeries->PercentFormat(), f, true)) {
      FSeries->SetPercentFormat(f);
      TFlagGuard g(FUpdating);
      EPercentFormat->SetText(StandardToLocalFormat(f));
    }
  };

  PageMarks = Make<TPageControl>(this, TabMarks, "PageMarks", "", 0, 0, 430, 240);
  PageMarks->SetAlign(alClient);
  TabMarksStyle = Tab(this, PageMarks, "TabMarksStyle", "Style");
  TabArrows = Tab(this, PageMarks, "TabArrows", "Arrows");
  TabSymbol = Tab(this, PageMarks, "TabSymbol", "Symbol");
  BArrowPen = Make<TButtonPen>(this, TabArrows, "BArrowPen", "&Border...", 8, 8, 100, 24);
  BPointer = Make<TButton>(this, TabArrows, "BPointer", "&Pointer...", 120, 8, 100, 24);
  BPointer->OnClick = [this](TObject*) {
    if (FSeries) ShowPointerDialog(this, FSeries->Marks()->Callout());
  };
  auto canEdit = [this] { return FSeries && !FUpdating; };
  ArrowLength = Spin(
      this, TabArrows, "ArrowLength", "&Length:", 8, 42, -1000, 1000,
      [this, canEdit](int V) {
        if (canEdit()) FSeries->Marks()->SetArrowLength(V);
      },
      90);
  ArrowDistance = Spin(
      this, TabArrows, "ArrowDistance", "&Distance:", 8, 70, -1000, 1000,
      [this, canEdit](int V) {
        if (canEdit()) FSeries->Marks()->Callout()->SetDistance(V);
      },
      90);
  CBArrowHead = Combo(
      this, TabArrows, "CBArrowHead", "&Arrow head:", 8, 98, {"None", "Line", "Solid"},
      [this, canEdit](int I) {
        if (canEdit() && I >= 0) FSeries->Marks()->Callout()->SetArrowHead(static_cast<TArrowHeadStyle>(I));
      },
      90, 100);
  ArrowHeadSize = Spin(
      this, TabArrows, "ArrowHeadSize", "&Size:", 8, 126, -1000, 1000,
      [this, canEdit](int V) {
        if (canEdit()) FSeries->Marks()->Callout()->SetArrowHeadSize(V);
      },
      90);

  CBMarksVisible = Check(this, TabMarksStyle, "CBMarksVisible", "&Visible", 8, 8, [this](bool V) {
    if (!FSeries || FUpdating) return;
    FSeries->Marks()->SetVisible(V);
    LoadMarksTab();
  });
  CBClipped = Check(this, TabMarksStyle, "CBClipped", "Cl&ipped", 8, 30, [this](bool V) {
    if (FSeries && !FUpdating) FSeries->Marks()->SetClip(V);
  });
  CBAllVisible = Check(this, TabMarksStyle, "CBAllVisible", "All Series Visi&ble", 8, 52, [this](bool V) {
    if (!FSeries || FUpdating || !FSeries->ParentChart()) return;
    TCustomAxisPanel* c = FSeries->ParentChart();
    for (int i = 0; i < c->CountSeries(); ++i) c->SeriesAt(i)->Marks()->SetVisible(V);
    LoadMarksTab();
  });
  CBMarkStyle = Combo(
      this, TabMarksStyle, "CBMarkStyle", "&Style:", 8, 80,
      {"Value", "Percent", "Label", "Label and Percent", "Label and Value", "Legend", "Percent Total",
       "Label and Percent Total", "X value", "X and Y values"},
      [this](int I) {
        if (FSeries && I >= 0) FSeries->Marks()->SetStyle(static_cast<TSeriesMarksStyle>(I));
      },
      60, 180);

  CBDataSourcestyle = Combo(
      this, TabDataSource, "CBDataSourcestyle", "", 4, 4, {"Manual", "Random", "Function"},
      [this](int) { CBDataSourcestyleChange(); }, 0, 140);
  Grid = Make<TChartGrid>(this, TabDataSource, "ChartGrid1", "", 4, 32, 420, 200);
  Grid->SetShowColors(true);
  PanelRandom = Make<TPanel>(this, TabDataSource, "PanelRandom", "", 4, 32, 420, 120);
  PanelRandom->SetBevelOuter(bvNone);
  Make<TLabel>(this, PanelRandom, "LSamples", "&Number of sample values:", 4, 8, 160, 16);
  ESamples = Make<TEdit>(this, PanelRandom, "ESamples", "", 170, 4, 70, 22);
  BApplyRandom = Make<TButton>(this, PanelRandom, "BApplyRandom", "&Apply", 4, 36, 75, 24);
  BApplyRandom->OnClick = [this](TObject*) {
    if (FSeries) FSeries->FillSampleValues(StrToIntDef(ESamples->Text(), 0));
  };
  BClear = Make<TButton>(this, PanelRandom, "BClear", "&Clear", 84, 36, 75, 24);
  BClear->OnClick = [this](TObject*) {
    if (!FSeries) return;
    FSeries->ClearValues();
    CBDataSourcestyle->SetItemIndex(kManual);
    CBDataSourcestyleChange();
  };
  PageSeries->SetActivePageIndex(0);
}

TFormGraphSeries::~TFormGraphSeries() {
  if (FChart) FChart->Listeners->Remove(this);
  FreeSeriesEditorForms();
}

void TFormGraphSeries::ChartEvent(TGraphEvent* Event) {
  auto* e = dynamic_cast<TGraphSeriesEvent*>(Event);
  if (!e || e->Event != sekRemoved) return;
  ManualSeries().erase(e->Series);
  if (e->Series != FSeries) return;
  // Changes not applied have no series (nor function) left to go to: dropped without asking.
  if (DataSourceEditor) DataSourceEditor->BApply->SetEnabled(false);
  FreeEditors();
  FSeries = nullptr;
  FLastSeries = nullptr;
}

void TFormGraphSeries::RefreshPage() {
  const int i = FSeries ? CBSeries->Items()->IndexOfObject(FSeries) : -1;
  CBSeries->SetItemIndex(i);
  CBSeriesChange();
}

void TFormGraphSeries::CBSeriesChange() {
  TFlagGuard g(FUpdating);
  const std::string keep = PageSeries->ActivePage() ? PageSeries->ActivePage()->Caption() : "";
  const int i = CBSeries->ItemIndex();
  TChartSeries* s = i >= 0 ? dynamic_cast<TChartSeries*>(CBSeries->Items()->Objects(i)) : nullptr;
  if (!s) {
    LabelSeriesClass->SetCaption("");
    PageSeries->SetVisible(false);
    FreeEditors();
    FSeries = FLastSeries = nullptr;
    return;
  }
  FSeries = s;
  if (ListBox) ListBox->SelectSeries(s);
  if (s != FLastSeries) {
    ShowSeries(keep);
    FLastSeries = s;
  }
}

TForm* TFormGraphSeries::EditorForms(int Index) const {
  if (Index < 0 || Index >= FEditorFormCount) throw ERangeError("Range check error");
  return FEditorForms[Index];
}

void TFormGraphSeries::EmbedSeriesEditorForm(TForm* Form, TTabSheet* Tab, TObject* Object) {
  if (FEditorFormCount >= MaxEditorForms) throw ERangeError("Range check error");
  FEditorForms[FEditorFormCount++] = Form;
  Form->SetAlign(alClient);
  TranslateControl(Form);
  EmbedFormWithObject(Form, Tab, Object);
  FitCaptions(Form);
}

TForm* AddSeriesEditorTab(TFormGraphSeries* Page, TComponentClass Class, int PageIndex, TObject* Object,
                          const std::string& Caption) {
  if (!Page || !Class) return nullptr;
  // Refused before anything is made, so a refused tab leaves nothing behind.
  if (Page->EditorFormCount() >= TFormGraphSeries::MaxEditorForms) throw ERangeError("Range check error");
  auto* tab = new TTabSheet(Page);
  tab->SetPageControl(Page->PageSeries);
  tab->SetPageIndex(PageIndex);
  tab->SetCaption(Caption);
  auto* form = dynamic_cast<TForm*>(Class->Create(Page));
  if (!form) {
    delete tab;
    return nullptr;
  }
  Page->EmbedSeriesEditorForm(form, tab, Object);
  return form;
}

void TFormGraphSeries::FreeSeriesEditorForms() {
  // Last inserted first; the inserted tabs go with their forms, "Format" stays.
  for (int i = FEditorFormCount - 1; i >= 0; --i) {
    TForm* f = FEditorForms[i];
    FEditorForms[i] = nullptr;
    auto* tab = dynamic_cast<TTabSheet*>(f->Parent());
    delete f;
    if (tab && tab != TheTabSheet && !ComponentState().Contains(csDestroying)) delete tab;
  }
  FEditorFormCount = 0;
  SeriesEditor = nullptr;
}

void TFormGraphSeries::FreeEditors() {
  FreeSeriesEditorForms();
  if (DataSourceEditor && DataSourceEditor->CloseQuery()) {
    delete DataSourceEditor;
    DataSourceEditor = nullptr;
  }
}

void TFormGraphSeries::ShowSeries(const std::string& KeepCaption) {
  if (FChart != FSeries->ParentChart()) {
    if (FChart) FChart->Listeners->Remove(this);
    FChart = FSeries->ParentChart();
    if (FChart) FChart->Listeners->Add(this);
  }
  std::string desc = GetSeriesTypeDescription(FSeries);
  const size_t amp = desc.find('&');
  if (amp != std::string::npos) desc.insert(amp, "&");
  std::string title;
  SeriesDisplayTitle(FSeries, title);
  LabelSeriesClass->SetCaption(desc + ": " + title);
  PageSeries->SetVisible(true);
  TabGeneral->SetTabVisible(AllowGeneral);
  TabMarks->SetTabVisible(AllowMarks);
  const bool hiddenSource = (FSeries->SeriesStyle() & (1 | 32)) != 0;
  TabDataSource->SetTabVisible(AllowDataSource && !hiddenSource);
  std::string keep = KeepCaption;
  if (keep.empty() || (keep == "Data Source" && !TabDataSource->TabVisible())) keep = "Format";
  FreeEditors();
  FShownStyle = -1;
  if (TComponentClass cls = FindSeriesEditorClass(FSeries)) {
    SeriesEditor = dynamic_cast<TForm*>(cls->Create(this));
    if (SeriesEditor) EmbedSeriesEditorForm(SeriesEditor, TheTabSheet, FSeries);
  }
  LabelNoEditor->SetVisible(!SeriesEditor);
  LabelNoEditor->SetCaption(SeriesEditor ? "" : Translated("No settings of its own for this series type."));
  TTabSheet* target = TheTabSheet;
  for (int i = 0; i < PageSeries->PageCount(); ++i)
    if (PageSeries->Pages(i)->Caption() == keep && PageSeries->Pages(i)->TabVisible()) target = PageSeries->Pages(i);
  PageSeries->SetActivePage(target);
  PageSeriesChange();
}

bool TFormGraphSeries::PageSeriesChanging() { return !DataSourceEditor || DataSourceEditor->CloseQuery(); }

void TFormGraphSeries::PageSeriesChange() {
  if (!FSeries) return;
  TFlagGuard g(FUpdating);
  TTabSheet* p = PageSeries->ActivePage();
  if (p == TabGeneral) LoadGeneralTab();
  if (p == TabMarks) LoadMarksTab();
  if (p == TabDataSource) LoadDataSourceTab();
}

void TFormGraphSeries::LoadGeneralTab() {
  CBShowInLegend->SetChecked(FSeries->ShowInLegend());
  {
    TFlagGuard g(FUpdating);
    FillCursorCombo(CBCursor, FSeries->Cursor());
    CBFormat->Items()->Clear();
    AddValueFormats(CBFormat->Items());
    if (CBFormat->Items()->IndexOf(FSeries->ValueFormat()) < 0) CBFormat->Items()->Add(FSeries->ValueFormat());
    CBFormat->SetText(StandardToLocalFormat(FSeries->ValueFormat()));
    EPercentFormat->SetText(StandardToLocalFormat(FSeries->PercentFormat()));
  }
  for (TComboBox* c : {CBHorizAxis, CBVertAxis})
    while (c->Items()->Count() > 3) c->Items()->Delete(3);
  TCustomAxisPanel* chart = FSeries->ParentChart();
  if (chart)
    for (int i = 0; i < chart->CustomAxes()->Count(); ++i) {
      TChartAxis* a = chart->CustomAxes()->AxisAt(i);
      (a->Horizontal() ? CBHorizAxis : CBVertAxis)->Items()->AddObject("Custom  " + std::to_string(i), a);
    }
  const int h = FSeries->HorizAxis();
  const int v = FSeries->VertAxis();
  CBHorizAxis->SetItemIndex(h <= 2 ? h : CBHorizAxis->Items()->IndexOfObject(FSeries->GetHorizAxis()));
  CBVertAxis->SetItemIndex(v <= 2 ? v : CBVertAxis->Items()->IndexOfObject(FSeries->GetVertAxis()));
  for (TComboBox* c : {CBHorizAxis, CBVertAxis}) c->SetEnabled(FSeries->UsesAxes());
  const TChartListOrder o = FSeries->MandatoryList->Order();
  CBSort->SetItemIndex(o == loAscending ? 0 : o == loDescending ? 1 : 2);
  CBSort->SetVisible(FSeries->ValueLists.Count() < 3);
  if (auto* l = dynamic_cast<TControl*>(FindComponent("LCBSort"))) l->SetVisible(CBSort->Visible());
}

void TFormGraphSeries::LoadMarksTab() {
  TSeriesMarks* marks = FSeries->Marks();
  if (!MarksShapeEditor) {
    // Made the first time: the marks' shape tabs join the inner frame; the symbol gets a shape
    // editor of its own without colour and text, and a switch where the colour button was.
    MarksShapeEditor = InsertShapeEditor(PageMarks, marks);
    PageMarks->SetActivePage(TabMarksStyle);
    SymbolShapeEditor = CreateShapeEditor(this, marks->Symbol(), TabSymbol);
    SymbolShapeEditor->BBackColor->SetVisible(false);
    SymbolShapeEditor->TabText->SetTabVisible(false);
    const TRect r = SymbolShapeEditor->BBackColor->BoundsRect();
    CBSymbolVisible = Check(this, static_cast<TWinControl*>(SymbolShapeEditor->BBackColor->Parent()), "CBSymbolVisible",
                            "&Visible", r.Left, r.Top + 2, [this](bool V) {
                              if (FSeries && !FUpdating) FSeries->Marks()->Symbol()->SetVisible(V);
                            });
  }
  MarksShapeEditor->RefreshControls(marks);
  SymbolShapeEditor->RefreshControls(marks->Symbol());
  TFlagGuard g(FUpdating);
  TMarksCallout* callout = marks->Callout();
  BArrowPen->LinkPen(marks->Arrow());
  ArrowLength.Set(marks->ArrowLength());
  ArrowDistance.Set(callout->Distance());
  CBArrowHead->SetItemIndex(static_cast<int>(callout->ArrowHead()));
  ArrowHeadSize.Set(callout->ArrowHeadSize());
  CBSymbolVisible->SetChecked(marks->Symbol()->Visible());
  CBMarkStyle->SetItemIndex(static_cast<int>(FSeries->Marks()->Style()));
  CBMarksVisible->SetChecked(FSeries->Marks()->Visible());
  CBClipped->SetChecked(FSeries->Marks()->Clip());
  bool all = true;
  if (TCustomAxisPanel* c = FSeries->ParentChart())
    for (int i = 0; i < c->CountSeries(); ++i) all = all && c->SeriesAt(i)->Marks()->Visible();
  CBAllVisible->SetChecked(all);
}

void TFormGraphSeries::LoadDataSourceTab() {
  int style = kManual;
  if (FSeries->FunctionObject() || dynamic_cast<TChartSeries*>(FSeries->DataSource()))
    style = kFunction;
  else if (!FSeries->DataSource() && FSeries->Count() > 0 && !ManualSeries().count(FSeries))
    style = kRandom;
  CBDataSourcestyle->SetItemIndex(style);
  if (style != FShownStyle) RebuildDataSourcePanel();
}

void TFormGraphSeries::CBDataSourcestyleChange() {
  if (!FSeries) return;
  const int style = CBDataSourcestyle->ItemIndex();
  if (style == kManual || style == kRandom) {
    if (FSeries->FunctionObject()) FSeries->AttachFunction(nullptr);
    if (FSeries->DataSource() && !dynamic_cast<TChartSeries*>(FSeries->DataSource())) FSeries->SetDataSource(nullptr);
    if (style == kManual) ManualSeries().insert(FSeries);
  }
  RebuildDataSourcePanel();
}

void TFormGraphSeries::RebuildDataSourcePanel() {
  if (DataSourceEditor) {
    if (!DataSourceEditor->CloseQuery()) return;
    delete DataSourceEditor;
    DataSourceEditor = nullptr;
  }
  const int style = CBDataSourcestyle->ItemIndex();
  FShownStyle = style;
  Grid->SetVisible(style == kManual);
  PanelRandom->SetVisible(style == kRandom);
  if (style == kManual) {
    Grid->SetChart(dynamic_cast<TCustomChart*>(FSeries->ParentChart()));
    Grid->SetSeries(FSeries);
  } else if (style == kRandom) {
    ESamples->SetText(std::to_string(FSeries->DefaultRandomCount()));
  } else if (style == kFunction) {
    DataSourceEditor = new TGraphFuncEditor(this);
    DataSourceEditor->SetBounds(4, 32, 420, 220);
    EmbedFormWithObject(DataSourceEditor, TabDataSource, FSeries);
    DataSourceEditor->SetAlign(alNone);
    DataSourceEditor->SetBounds(4, 32, 420, 220);
    DataSourceEditor->FormShow();
  }
}
