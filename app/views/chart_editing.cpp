#include "app/views/chart_editing.h"

#include <map>
#include <vector>

#include "chart/editor/editor_dialog.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "platform/strings.h"
#include "platform/sysutils.h"
#include "platform/menus.h"

namespace {

// The user's title by the title the view gives.
std::map<std::string, std::string>& Kept() {
  static std::map<std::string, std::string> m;
  return m;
}

std::vector<TChartAxis*> TitledAxes(TCustomChart* Chart) {
  return {Chart->LeftAxis(), Chart->RightAxis(), Chart->TopAxis(), Chart->BottomAxis()};
}

// The title the view gave an axis now showing Caption.
std::string GivenTitle(const std::string& Caption) {
  for (const auto& [given, user] : Kept())
    if (user == Caption) return given;
  return Caption;
}

// Tells whether a component was freed while it watched.
class TOwnerWatch : public TComponent {
public:
  explicit TOwnerWatch(TComponent* Watched) : TComponent(nullptr), FWatched(Watched) {
    if (FWatched) FWatched->FreeNotification(this);
  }
  ~TOwnerWatch() override {
    if (FWatched && !Gone) FWatched->RemoveFreeNotification(this);
  }
  bool Gone = false;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FWatched) Gone = true;
  }

private:
  TComponent* FWatched;
};

}  // namespace

std::string KeptAxisTitle(const std::string& Given) {
  const auto it = Kept().find(Given);
  return it == Kept().end() ? Given : it->second;
}

void ApplyKeptAxisTitles(TCustomChart* Chart) {
  if (!Chart || Kept().empty()) return;
  for (TChartAxis* a : TitledAxes(Chart)) {
    const std::string t = KeptAxisTitle(a->Title()->Caption());
    if (t != a->Title()->Caption()) a->Title()->SetCaption(t);
  }
}

void ClearKeptAxisTitles() { Kept().clear(); }

void EditViewChart(TComponent* Owner, TChartEditor*& Editor, TCustomChart* Chart) {
  if (!Chart) return;
  if (!Editor) Editor = new TChartEditor(Owner);
  // The dialog comes back where and how the user left it: its place and the tree mode are the
  // stored ones.
  Editor->RememberPosition = ReadEditorBool("RememberPosition", true);
  Editor->TreeView = ReadEditorBool("TreeMode", false);
  Editor->SetChart(Chart);
  std::vector<std::string> given;
  for (TChartAxis* a : TitledAxes(Chart)) given.push_back(GivenTitle(a->Title()->Caption()));
  // The view (and with it Editor and the place that holds it) may go while the editor is open.
  TOwnerWatch watch(Owner);
  Editor->Execute();
  if (watch.Gone) return;
  TCustomChart* after = Editor->Chart();
  if (!after) return;  // the chart went while the editor was open
  const auto axes = TitledAxes(after);
  for (size_t i = 0; i < axes.size(); ++i) {
    const std::string& now = axes[i]->Title()->Caption();
    // A title the user gives back to the view's wording needs no keeping. A title the view
    // gave empty is no view's wording to follow.
    if (now == given[i])
      Kept().erase(given[i]);
    else if (!given[i].empty() && KeptAxisTitle(given[i]) != now)
      Kept()[given[i]] = now;
  }
  after->Invalidate();
}

TPopupMenu* ChartEditorPopup(TComponent* Owner, TChartEditor*& Editor, TCustomChart* Chart,
                             const std::string& Caption) {
  // The menu goes with its chart (views that rebuild their charts leave nothing behind).
  auto* menu = new TPopupMenu(Chart);
  auto* item = new TMenuItem(Chart);
  item->SetCaption(Caption);
  item->SetEnabled(Chart != nullptr);
  TChartEditor** editor = &Editor;
  item->OnClick = [Owner, editor, Chart](TObject*) { EditViewChart(Owner, *editor, Chart); };
  menu->Items()->Add(item);
  SetControlPopupMenu(Chart, menu);
  return menu;
}
