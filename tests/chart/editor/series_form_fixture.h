// A chart with a series page shown on screen, as the editor dialog hosts it: series are added to
// the chart and to the page's list, and opening one puts its editor form in "Format".
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/editor/series_page.h"
#include "chart/engine/chart.h"
#include "chart/extra/pen_dialog.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

struct SeriesFormTest : ::testing::Test {
  TForm Owner{nullptr};
  TChart* Chart = nullptr;
  TFormGraphSeries* Page = nullptr;
  void SetUp() override {
    Owner.SetBounds(0, 0, 640, 480);
    Chart = new TChart(&Owner);
    Chart->SetView3D(false);
    Page = new TFormGraphSeries(&Owner);
    EmbedForm(Page, &Owner);
    Owner.Show();
  }
  void TearDown() override {
    EditorDialogHook = nullptr;
    SetDialogHook(nullptr);
    SetMessageBoxHook(nullptr);
  }
  template <class S>
  S* Add(const std::string& Title) {
    auto* s = new S(&Owner);
    s->SetTitle(Title);
    Chart->AttachSeries(s);
    Page->CBSeries->Items()->AddObject(Title, s);
    return s;
  }
  // The series' editor form, open in "Format".
  template <class F>
  F* Open(TChartSeries* S) {
    Page->SetSeries(S);
    Page->RefreshPage();
    auto* f = dynamic_cast<F*>(Page->SeriesEditor);
    EXPECT_NE(f, nullptr) << F::StaticClass()->ClassName();
    return f;
  }
  // The editor form in the tab with this caption.
  template <class F>
  F* TabForm(const std::string& Caption) {
    for (int i = 0; i < Page->EditorFormCount(); ++i) {
      TForm* f = Page->EditorForms(i);
      if (f->Parent() && f->Parent()->Caption() == Caption) return dynamic_cast<F*>(f);
    }
    return nullptr;
  }
  // The user brings the tab with this caption to the front (its fields write only while shown).
  void Activate(const std::string& Caption) {
    for (int i = 0; i < Page->PageSeries->PageCount(); ++i)
      if (Page->PageSeries->Pages(i)->Caption() == Caption) Page->PageSeries->SetActivePage(Page->PageSeries->Pages(i));
  }
  std::vector<std::string> Tabs() const {
    std::vector<std::string> r;
    for (int i = 0; i < Page->PageSeries->PageCount(); ++i) r.push_back(Page->PageSeries->Pages(i)->Caption());
    return r;
  }
  // The page's own tabs after those given.
  static std::vector<std::string> WithOwnTabs(std::vector<std::string> First) {
    for (const char* t : {"General", "Marks", "Data Source"}) First.push_back(t);
    return First;
  }
  // The modal pen dialog (not an embedded one) sets the pen's colour and closes with OK.
  void PenDialogPicks(TColor Colour) {
    EditorDialogHook = [Colour](TForm* F) {
      auto* d = dynamic_cast<TPenDialog*>(F);
      if (!d || !d->BOk->Visible()) return;
      d->EditedPen->SetColor(Colour);
      d->BOk->Click();
    };
  }
  void ColourDialogPicks(TColor Colour) {
    SetDialogHook([Colour](TCommonDialog* D) {
      if (auto* c = dynamic_cast<TColorDialog*>(D)) c->SetColor(Colour);
      return true;
    });
  }
};

// As the user picks an item.
inline void PickItem(TComboBox* C, int Index) {
  C->SetItemIndex(Index);
  if (C->OnChange) C->OnChange(C);
}

// Shown again (the page became visible again): every control reloads.
inline void ShowAgain(TForm* F) {
  F->Hide();
  F->Show();
}
