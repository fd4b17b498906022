// The tool and function editor forms as laid out: every control inside its parent, no two
// sibling controls on top of each other, captions measured in the installed fonts.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chart/editor/function_editors.h"
#include "chart/editor/series_page.h"
#include "chart/editor/tool_editors.h"
#include "chart/engine/registries.h"
#include "chart/extra/pen_dialog.h"
#include "platform/comctrls.h"
#include "platform/stdctrls.h"

namespace {

bool Overlap(const TRect& A, const TRect& B) {
  return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

// The faults of one form, one line each.
std::vector<std::string> LayoutFaults(TForm* Form) {
  std::vector<std::string> faults;
  std::vector<TControl*> controls;
  for (int i = 0; i < Form->ComponentCount(); ++i)
    if (auto* c = dynamic_cast<TControl*>(Form->Components(i)); c && c->Parent() && !dynamic_cast<TTabSheet*>(c))
      controls.push_back(c);
  for (TControl* c : controls) {
    const TRect room = c->Parent()->ClientRect();
    const TRect r = c->BoundsRect();
    if (c->Visible() && (r.Left < room.Left || r.Top < room.Top || r.Right > room.Right || r.Bottom > room.Bottom))
      faults.push_back(c->Name() + " leaves " + c->Parent()->Name());
  }
  for (size_t i = 0; i < controls.size(); ++i)
    for (size_t j = i + 1; j < controls.size(); ++j) {
      TControl *a = controls[i], *b = controls[j];
      if (a->Parent() != b->Parent() || !a->Visible() || !b->Visible()) continue;
      if (dynamic_cast<TPageControl*>(a) || dynamic_cast<TPageControl*>(b)) continue;
      if (Overlap(a->BoundsRect(), b->BoundsRect())) faults.push_back(a->Name() + " overlaps " + b->Name());
    }
  return faults;
}

}  // namespace

TEST(EditorFormsLayout, NoControlLeavesItsParentOrCoversAnother) {
  RegisterToolEditorForms();
  RegisterFunctionEditorForms();
  TForm host(nullptr);
  host.SetBounds(0, 0, 700, 500);
  host.Show();
  for (const char* name :
       {"TAxisToolEditor",      "TAnnotationToolEdit",   "TCursorToolEditor",     "TColorLineToolEditor",
        "TColorBandToolEditor", "TAxisArrowToolEditor",  "TDrawLineEdit",         "TChartImageToolEditor",
        "TRotateToolEditor",    "TNearestToolEdit",      "TMarksTipToolEdit",     "TDragMarksToolEditor",
        "TGridBandToolEdit",    "TSeriesAnimToolEditor", "TGraphFunctionEditor",  "TAverageFuncEditor",
        "TRMSFuncEditor",       "TMovAveFuncEditor",     "TSmoothFuncEditor",     "TMACDFuncEditor",
        "TBollingerFuncEditor", "TExpAveFuncEditor",     "TCustomFunctionEditor", "TADXFuncEditor"}) {
    TComponentClass cls = FindEditorClass(name);
    ASSERT_NE(cls, nullptr) << name;
    std::unique_ptr<TForm> f(dynamic_cast<TForm*>(cls->Create(&host)));
    ASSERT_NE(f, nullptr) << name;
    EmbedFormWithObject(f.get(), &host, nullptr);
    for (const std::string& fault : LayoutFaults(f.get())) ADD_FAILURE() << name << ": " << fault;
  }
}
