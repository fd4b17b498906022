// The layouts of the 3D, palette, map, gauge, calendar and other series forms: no control lies
// over another of the same parent, none reaches past its parent's edge, and the keyboard reaches
// every field.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "chart/editor/grid3d_editors.h"
#include "chart/editor/map_gauge_editors.h"
#include "chart/editor/other_series_editors.h"
#include "chart/editor/palette_editors.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

namespace {

// Problems found under Parent, one line each.
void CheckChildren(TWinControl* Parent, std::string& Problems) {
  // The sheets of a page control, and the buttons a radio group lays out itself, share their place.
  const bool stacked = dynamic_cast<TPageControl*>(Parent) || dynamic_cast<TRadioGroup*>(Parent);
  const int n = Parent->ControlCount();
  for (int i = 0; i < n; ++i) {
    TControl* a = Parent->Controls(i);
    // Every sheet is looked at, the active one or not.
    if (auto* t = dynamic_cast<TTabSheet*>(a)) CheckChildren(t, Problems);
    if (!a->Visible() || a->Width() <= 0 || a->Height() <= 0) continue;
    if (auto* w = dynamic_cast<TWinControl*>(a); w && !dynamic_cast<TTabSheet*>(a)) CheckChildren(w, Problems);
    // The keyboard reaches every field: a label's hot key leads to its field, and Tab stops there.
    if (auto* l = dynamic_cast<TLabel*>(a); l && l->Caption().find('&') != std::string::npos && !l->FocusControl())
      Problems += a->Name() + " leads nowhere\n";
    if ((dynamic_cast<TCustomEdit*>(a) || dynamic_cast<TButton*>(a) || dynamic_cast<TCheckBox*>(a) ||
         dynamic_cast<TComboBox*>(a)) &&
        !static_cast<TWinControl*>(a)->TabStop())
      Problems += a->Name() + " is no tab stop\n";
    if (stacked || a->Align() != alNone) continue;
    const TRect r = a->BoundsRect();
    if (r.Left < 0 || r.Top < 0 || r.Right > Parent->Width() || r.Bottom > Parent->Height())
      Problems += a->Name() + " leaves " + Parent->Name() + "\n";
    for (int k = i + 1; k < n; ++k) {
      TControl* b = Parent->Controls(k);
      if (!b->Visible() || b->Width() <= 0 || b->Height() <= 0 || b->Align() != alNone) continue;
      const TRect s = b->BoundsRect();
      if (r.Left < s.Right && s.Left < r.Right && r.Top < s.Bottom && s.Top < r.Bottom)
        Problems += a->Name() + " overlaps " + b->Name() + "\n";
    }
  }
}

}  // namespace

TEST(SeriesFormsLayout, NoControlOverlapsAnotherOrLeavesItsParentAndEveryFieldIsReached) {
  TForm host(nullptr);
  for (TComponentClass c :
       {TGrid3DSeriesEditor::StaticClass(), TSurfaceSeriesEditor::StaticClass(), TWaterFallEditor::StaticClass(),
        TContourSeriesEditor::StaticClass(), TColorGridEditor::StaticClass(), TTriSurfaceSeriesEditor::StaticClass(),
        TTowerSeriesEditor::StaticClass(), TVectorSeriesEditor::StaticClass(), TPoint3DSeriesEditor::StaticClass(),
        TMapSeriesEditor::StaticClass(), TGaugeSeriesEditor::StaticClass(), TCalendarSeriesEditor::StaticClass(),
        TFunnelSeriesEditor::StaticClass(), TPyramidSeriesEditor::StaticClass(), TSmithSeriesEdit::StaticClass(),
        TVolumePipeSeriesEditor::StaticClass(), TBoxSeriesEditor::StaticClass()}) {
    std::unique_ptr<TForm> f(dynamic_cast<TForm*>(c->Create(&host)));
    ASSERT_TRUE(f) << c->ClassName();
    std::string problems;
    CheckChildren(f.get(), problems);
    EXPECT_EQ(problems, "") << c->ClassName();
  }
}
