#include "chart/editor/tools_page.h"

#include "chart/editor/caption_fit.h"
#include "chart/editor/series_page.h"
#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/tool_base.h"
#include "chart/extra/pen_dialog.h"
#include "platform/extctrls.h"

VM_DEFINE_CLASS(TGraphToolsGallery)
VM_DEFINE_CLASS(TFormGraphTools)

using namespace edkit;

namespace {
std::string ToolDescription(TGraphToolClass Class) {
  std::unique_ptr<TComponent> t(Class->Create(nullptr));
  std::string text;
  if (auto* tool = dynamic_cast<TGraphCustomTool*>(t.get())) tool->GetDescription(text);
  return text.empty() ? Class->ClassName() : text;
}
// 0 series tools, 1 axis tools, 2 the others.
int ToolGroup(TGraphToolClass Class) {
  if (Class->InheritsFrom(TGraphCustomToolSeries::StaticClass())) return 0;
  if (Class->InheritsFrom(TGraphCustomToolAxis::StaticClass())) return 1;
  return 2;
}
}  // namespace

TGraphToolsGallery::TGraphToolsGallery(TComponent* AOwner) : TForm(AOwner) {
  SetName("GraphToolsGallery");
  SetCaption("Chart Tools Gallery");
  SetBorderStyle(bsDialog);
  SetBounds(0, 0, 320, 360);
  TabControl1 = Make<TPageControl>(this, this, "TabControl1", "", 4, 4, 312, 310);
  for (const char* c : {"Series", "Axis", "Other"}) Tab(this, TabControl1, c, c);
  TabControl1->OnChange = [this](TObject*) { TabControl1Change(); };
  LBTool = Make<TListBox>(this, TabControl1->Pages(0), "LBTool", "", 4, 4, 296, 270);
  LBTool->SetSorted(true);
  LBTool->OnClick = [this](TObject*) { BOk->SetEnabled(LBTool->ItemIndex() >= 0); };
  LBTool->OnDblClick = [this](TObject*) {
    if (LBTool->ItemIndex() >= 0) SetModalResult(mrOk);
  };
  BOk = Make<TButton>(this, this, "BOk", "&Add", 156, 324, 75, 25);
  BOk->SetDefault(true);
  BOk->SetModalResult(mrOk);
  BOk->SetEnabled(false);
  BCan = Make<TButton>(this, this, "BCan", "Cancel", 236, 324, 75, 25);
  BCan->SetCancel(true);
  BCan->SetModalResult(mrCancel);
  OnShow = [this](TObject*) { FormShow(); };
}

void TGraphToolsGallery::FormShow() {
  TabControl1->SetActivePageIndex(0);
  TabControl1Change();
  if (EditorDialogHook) EditorDialogHook(this);
}

void TGraphToolsGallery::TabControl1Change() {
  const int group = TabControl1->ActivePageIndex();
  LBTool->SetParent(TabControl1->Pages(std::max(0, group)));
  LBTool->Items()->Clear();
  TGraphToolTypes* types = GraphToolTypesList();
  for (int i = 0; types && i < types->Count(); ++i) {
    TGraphToolClass c = types->GetToolType(i);
    if (ToolGroup(c) == group) LBTool->Items()->AddObject(ToolDescription(c), (TObject*)c);
  }
  BOk->SetEnabled(false);
}

TGraphToolClass TGraphToolsGallery::SelectedTool() const {
  const int i = LBTool->ItemIndex();
  return i >= 0 ? reinterpret_cast<TGraphToolClass>(LBTool->Items()->Objects(i)) : nullptr;
}

// ---------------------------------------------------------------------------------------------

TFormGraphTools::TFormGraphTools(TComponent* AOwner) : TForm(AOwner) {
  SetName("FormGraphTools");
  SetBounds(0, 0, 440, 300);
  auto* top = Make<TPanel>(this, this, "PanelTop", "", 0, 0, 440, 32);
  top->SetAlign(alTop);
  top->SetBevelOuter(bvNone);
  BAdd = Make<TButton>(this, top, "BAdd", "&Add...", 4, 4, 75, 24);
  BAdd->OnClick = [this](TObject*) { BAddClick(); };
  BDelete = Make<TButton>(this, top, "BDelete", "&Delete", 84, 4, 75, 24);
  BDelete->OnClick = [this](TObject*) { BDeleteClick(); };
  CBActive = Check(
      this, top, "CBActive", "A&ctive", 166, 6,
      [this](bool V) {
        if (TGraphCustomTool* t = SelectedTool()) t->SetActive(V);
      },
      80);
  BMoveUp = Make<TButton>(this, top, "BMoveUp", "\xE2\x86\x91", 250, 4, 26, 24);
  BMoveUp->OnClick = [this](TObject*) { BMoveClick(true); };
  BMoveDown = Make<TButton>(this, top, "BMoveDown", "\xE2\x86\x93", 280, 4, 26, 24);
  BMoveDown->OnClick = [this](TObject*) { BMoveClick(false); };
  LBTools = Make<TListBox>(this, this, "LBTools", "", 0, 32, 150, 268);
  LBTools->SetAlign(alLeft);
  LBTools->OnClick = [this](TObject*) { LBToolsClick(); };
  PanelToolEditor = Make<TPanel>(this, this, "PanelToolEditor", "", 150, 32, 290, 268);
  PanelToolEditor->SetAlign(alClient);
  PanelToolEditor->SetBevelOuter(bvNone);
  OnShow = [this](TObject*) { FormShow(); };
}

TGraphCustomTool* TFormGraphTools::SelectedTool() const {
  const int i = LBTools->ItemIndex();
  return i >= 0 ? static_cast<TGraphCustomTool*>(LBTools->Items()->Objects(i)) : nullptr;
}

void TFormGraphTools::FillToolList() {
  LBTools->Items()->Clear();
  if (FChart)
    for (TGraphCustomTool* t : *FChart->Tools)
      if (t->ShowInEditor()) {
        std::string d;
        t->GetDescription(d);
        LBTools->Items()->AddObject(d.empty() ? t->ClassName() : d, t);
      }
  BDelete->SetEnabled(LBTools->Items()->Count() > 0);
  CBActive->SetEnabled(LBTools->Items()->Count() > 0);
}

void TFormGraphTools::FormShow() {
  FChart = dynamic_cast<TCustomAxisPanel*>(EmbeddedObject(this));
  if (FChart) RefreshToolsPage();
}

void TFormGraphTools::RefreshToolsPage() {
  FillToolList();
  if (LBTools->Items()->Count() > 0) {
    LBTools->SetItemIndex(0);
    LBToolsClick();
  } else {
    BMoveUp->SetEnabled(false);
    BMoveDown->SetEnabled(false);
  }
}

void TFormGraphTools::Refresh() {
  if (!FChart) return;
  if (FChart->Tools->Count() != LBTools->Items()->Count()) RefreshToolsPage();
  if (LBTools->ItemIndex() >= 0) LBToolsClick();
}

void TFormGraphTools::LBToolsClick() {
  TGraphCustomTool* t = SelectedTool();
  if (!t) return;
  CBActive->SetChecked(t->Active());
  delete ToolEditor;
  ToolEditor = nullptr;
  std::string name;
  GetElementEditorClassName(static_cast<TChartElementClass>(t->ClassType()), name);
  if (TComponentClass cls = FindEditorClass(name)) {
    ToolEditor = dynamic_cast<TForm*>(cls->Create(this));
    if (ToolEditor) {
      TranslateControl(ToolEditor);
      EmbedFormWithObject(ToolEditor, PanelToolEditor, t);
      FitCaptions(ToolEditor);
    }
  }
  const int i = LBTools->ItemIndex();
  BMoveUp->SetEnabled(i > 0);
  BMoveDown->SetEnabled(i < LBTools->Items()->Count() - 1);
}

void TFormGraphTools::BAddClick() {
  if (!FChart) return;
  std::unique_ptr<TForm> f(CreateEditorDialog([](TComponent* O) { return new TGraphToolsGallery(O); }, this));
  auto* g = static_cast<TGraphToolsGallery*>(f.get());
  if (g->ShowModal() != mrOk || !g->SelectedTool()) return;
  auto* tool = dynamic_cast<TGraphCustomTool*>(g->SelectedTool()->Create(FChart->Owner()));
  if (!tool) return;
  FChart->Tools->Add(tool);
  FillToolList();
  LBTools->SetItemIndex(LBTools->Items()->IndexOfObject(tool));
  LBToolsClick();
  if (OnAdded) OnAdded(tool);
}

void TFormGraphTools::BDeleteClick() {
  TGraphCustomTool* t = SelectedTool();
  if (!t || !extra::AskDelete(LBTools->Items()->Strings(LBTools->ItemIndex()), this)) return;
  if (OnDeleting) OnDeleting(t);
  delete ToolEditor;
  ToolEditor = nullptr;
  const int i = LBTools->ItemIndex();
  delete t;
  FillToolList();
  if (LBTools->Items()->Count() > 0) {
    LBTools->SetItemIndex(std::min(i, LBTools->Items()->Count() - 1));
    LBToolsClick();
  }
}

void TFormGraphTools::BMoveClick(bool Up) {
  TGraphCustomTool* t = SelectedTool();
  if (!t || !FChart) return;
  const int i = LBTools->ItemIndex();
  const int j = Up ? i - 1 : i + 1;
  if (j < 0 || j >= LBTools->Items()->Count()) return;
  auto* other = static_cast<TGraphCustomTool*>(LBTools->Items()->Objects(j));
  // The chart keeps its tools in drawing order: swap the two by taking them out and back in.
  std::vector<TGraphCustomTool*> all(FChart->Tools->begin(), FChart->Tools->end());
  std::swap(*std::find(all.begin(), all.end(), t), *std::find(all.begin(), all.end(), other));
  for (TGraphCustomTool* x : all) FChart->Tools->Remove(x);
  for (TGraphCustomTool* x : all) FChart->Tools->Append(x);
  FillToolList();
  LBTools->SetItemIndex(j);
  LBToolsClick();
  FChart->Invalidate();
}
