#include "app/child_form.h"

#include <algorithm>
#include <vector>

#include "app/property_window.h"
#include "app/site_session.h"
#include "chart/engine/chart_utils.h"
#include "controls/form_storage.h"
#include "platform/strings.h"
#include "platform/exceptions.h"

VM_DEFINE_CLASS(TMyForm)

TMyForm::TMyForm(TComponent* AOwner) : TForm(AOwner) {
  SetFormStyle(fsMDIChild);
  OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
  ToolState = 0;
}

void TMyForm::DoShow() {
  if (!FTranslated) {
    FTranslated = true;
    TranslateControl(this);
  }
  TForm::DoShow();
}

void TMyForm::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TMyForm::Ak(int, int) { throw Exception("Abstract Error"); }

int TMyForm::NavigatedPoint(int Current, int Count, int Step, int& NavState) {
  NavState = Step;
  int b = Current;
  switch (Step) {
    case 1:
      b = Count - 1;
      break;
    case 2:
      if (b < Count - 1) ++b;
      break;
    case 3:
      if (b > 0) --b;
      break;
    case 4:
      b = 0;
      break;
    default:
      break;
  }
  if (b == Count - 1) NavState = 3;
  if (b == 0) NavState = 2;
  return b;
}

void TMyForm::EditOk(TObject* Sender) {
  Apply(Sender);
  Close();
}

bool FormExists(const TForm* Form) {
  if (!Form) return false;
  if (TForm* frame = TForm::MDIFrame()) {
    for (int i = 0; i < frame->MDIChildCount(); ++i)
      if (frame->MDIChildren(i) == Form) return true;
  }
  for (int i = 0; i < Application->ComponentCount(); ++i)
    if (Application->Components(i) == Form) return true;
  return false;
}

void PlaceInFrame(TForm* Child, int X, int Y, int Width, int Height) {
  TRect r = Rect(0, 0, X + Width, Y + Height);
  if (TForm* frame = TForm::MDIFrame()) r = frame->MDIClientRect();
  // A window that does not fit at its place (a small screen, a large scale) moves towards the free
  // area's top left as far as it needs; one larger than the free area is made to fit it, so that
  // none of it lies below the status bar or beyond the frame's edge, keeping a usable least size.
  const int w = std::max(std::min(Width, 240), std::min(Width, r.Width()));
  const int h = std::max(std::min(Height, 160), std::min(Height, r.Height()));
  const int x = std::max(0, std::min(X, r.Width() - w)), y = std::max(0, std::min(Y, r.Height() - h));
  Child->SetBounds(r.Left + x, r.Top + y, w, h);
}

namespace {

// The free area's two parts: the upper four fifths for the views, the rest for the program log.
TRect ViewArea(const TRect& Area) {
  return Rect(Area.Left, Area.Top, Area.Right - 4, Area.Top + Area.Height() * 4 / 5);
}

TRect LogArea(const TRect& Area) {
  const int h = Area.Height();
  return Rect(Area.Left, Area.Top + h * 4 / 5, Area.Right - 4, Area.Top + h * 4 / 5 + std::max(0, h / 5 - 7));
}

// Owned by a child that sits where the program placed it over the free area: the rectangle it
// was given, so that a move or a size by anything else ends the following.
class TFreeAreaFollower final : public TComponent {
public:
  TFreeAreaFollower(TForm* Child, bool Log) : TComponent(Child), Child(Child), Log(Log) {}
  void Place(const TRect& Area) {
    const TRect r = Log ? LogArea(Area) : ViewArea(Area);
    Given = Rect(r.Left, r.Top, r.Left + std::max(r.Width(), 160), r.Top + std::max(r.Height(), 60));
    Child->SetBoundsRect(Given);
  }
  bool StillPlaced() const {
    const TRect b = Child->BoundsRect();
    return Child->WindowState() == wsNormal && b.Left == Given.Left && b.Top == Given.Top && b.Right == Given.Right &&
           b.Bottom == Given.Bottom;
  }

private:
  TForm* Child;
  bool Log;
  TRect Given{};
};

TFreeAreaFollower* FollowerOf(TForm* Child) {
  for (int i = 0; i < Child->ComponentCount(); ++i)
    if (auto* f = dynamic_cast<TFreeAreaFollower*>(Child->Components(i))) return f;
  return nullptr;
}

void StartFollowing(TForm* Child, bool Log) {
  TForm* frame = TForm::MDIFrame();
  if (!frame) return;
  TFreeAreaFollower* f = FollowerOf(Child);
  if (!f) f = new TFreeAreaFollower(Child, Log);
  f->Place(frame->MDIClientRect());
}

}  // namespace

void PlaceOverFreeArea(TForm* Child) { StartFollowing(Child, false); }

void PlaceProgramLogWindow(TForm* Log) { StartFollowing(Log, true); }

void FollowFreeArea() {
  TForm* frame = TForm::MDIFrame();
  if (!frame) return;
  const TRect area = frame->MDIClientRect();
  for (int i = 0; i < frame->MDIChildCount(); ++i) {
    TForm* child = frame->MDIChildren(i);
    TFreeAreaFollower* f = FollowerOf(child);
    if (!f) continue;
    if (f->StillPlaced())
      f->Place(area);
    else
      delete f;  // moved or sized since: it stays where it is now
  }
}

namespace {

// Places the property window (when shown) at the left edge of the frame's free area and the log
// window below, and returns the rectangle left to the others.
TRect SpecialLayout(TForm* Frame, std::vector<TForm*>& Others) {
  const TRect area = Frame->MDIClientRect();
  const int h = area.Height();
  TRect l = area;
  l.Bottom = area.Top + h * 4 / 5;
  l.Right = area.Right - 4;
  if (ObjInsp1 && ObjInsp1->Visible()) {
    const TPoint origin = Frame->ClientToScreen(Point(area.Left, area.Top));
    const TRect ext = Frame->FrameExtents();  // its title bar below the tool bars
    ObjInsp1->SetBounds(origin.X + 1 + ext.Left, origin.Y + ext.Top, ObjInsp1->Width(), h * 4 / 5 - ext.Top);
    ObjInsp1->BringToFront();
    l.Left = area.Left + ObjInsp1->Width();
  }
  for (int i = 0; i < Frame->MDIChildCount(); ++i) {
    TForm* f = Frame->MDIChildren(i);
    if (f == ObjInsp1) continue;
    if (f->Name() == "STermWin1")
      f->SetBoundsRect(LogArea(area));
    else if (f->Visible() && f->WindowState() != wsMinimized)
      Others.push_back(f);
  }
  // The children in child-list order, the back one first.
  std::reverse(Others.begin(), Others.end());
  return l;
}

}  // namespace

void MaximizeSpecial() {
  TForm* frame = TForm::MDIFrame();
  if (!frame) return;
  std::vector<TForm*> others;
  const TRect l = SpecialLayout(frame, others);
  for (TForm* f : others) {
    if (f->WindowState() == wsMaximized) f->SetWindowState(wsNormal);
    f->SetBounds(l.Left, l.Top, l.Right - l.Left, l.Bottom - l.Top);
  }
}

void CascadeSpecial() {
  TForm* frame = TForm::MDIFrame();
  if (!frame) return;
  std::vector<TForm*> others;
  const TRect l = SpecialLayout(frame, others);
  constexpr int Step = 22;
  const int w = std::max(100, l.Width() * 3 / 4), h = std::max(80, l.Height() * 3 / 4);
  int i = 0;
  for (TForm* f : others) {
    if (!f->Enabled()) continue;
    if (f->WindowState() == wsMaximized) f->SetWindowState(wsNormal);
    const int off = (i++ % 8) * Step;
    f->SetBounds(l.Left + off, l.Top + off, std::min(w, l.Width() - off), std::min(h, l.Height() - off));
    f->BringToFront();
  }
}

void RefreshAllViews(TObject* Sender) {
  if (SiteSession) SiteSession->EveryFrequencyChanged(Sender);
}

TFormStorage* KeepPlacement(TForm* Form, const std::string& Section, std::initializer_list<const char*> StoredProps) {
  auto* storage = new TFormStorage(Form);
  storage->SetName("FormStorage1");
  storage->SetIniSection(Section);
  for (const char* item : StoredProps) storage->StoredProps()->Add(item);
  storage->Loaded();
  storage->LoadPlacement();
  return storage;
}
