// A chart with a series page in a shown window, with the engine's texts and the last message box
// caught: the 3D, palette and other series forms are tested where the editor shows them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/editor/series_page.h"
#include "chart/engine/chart.h"
#include "chart/engine/engine_texts.h"
#include "chart/extra/pen_dialog.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/forms.h"

struct SeriesFormFixture : ::testing::Test {
  TForm Host{nullptr};
  TChart* Chart = nullptr;
  TFormGraphSeries* Page = nullptr;
  // What the application's error handler showed last.
  std::string Shown;

  void SetUp() override {
    InitEngineTexts();
    Host.SetBounds(0, 0, 560, 420);
    Chart = new TChart(&Host);
    Page = new TFormGraphSeries(&Host);
    Page->SetParent(&Host);
    Page->SetAlign(alClient);
    Host.Show();
    Page->Show();
    SetMessageBoxHook([this](const std::string& Text, const std::string&, int) {
      Shown = Text;
      return 1;
    });
  }
  void TearDown() override {
    EditorDialogHook = nullptr;
    SetDialogHook(nullptr);
    SetMessageBoxHook(nullptr);
  }
  template <class S>
  S* Add() {
    auto* s = new S(&Host);
    Chart->AttachSeries(s);
    Page->CBSeries->Items()->AddObject(s->ClassName(), s);
    return s;
  }
  // Selects the series in the page, which embeds its form in "Format".
  template <class F>
  F* Select(TChartSeries* S) {
    Page->SetSeries(S);
    Page->RefreshPage();
    auto* f = dynamic_cast<F*>(Page->SeriesEditor);
    EXPECT_NE(f, nullptr);
    return f;
  }
  std::vector<std::string> Tabs() const {
    std::vector<std::string> r;
    for (int i = 0; i < Page->PageSeries->PageCount(); ++i) r.push_back(Page->PageSeries->Pages(i)->Caption());
    return r;
  }
  // The form of the given type in the tab with that caption.
  template <class F>
  F* TabForm(const std::string& Caption) const {
    for (int i = 0; i < Page->PageSeries->PageCount(); ++i) {
      TTabSheet* t = Page->PageSeries->Pages(i);
      if (t->Caption() != Caption) continue;
      for (int k = 0; k < t->ControlCount(); ++k)
        if (auto* f = dynamic_cast<F*>(t->Controls(k))) return f;
    }
    return nullptr;
  }
  // Shows the form again, as when its page becomes visible again.
  static void ShowAgain(TForm* F) {
    F->Hide();
    F->Show();
  }
};
