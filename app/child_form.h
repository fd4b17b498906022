// The base of every view and tool window that takes the main window's routed commands, the
// finding or making of the one window of a kind, and the refresh broadcast.
#pragma once

#include <type_traits>

#include "chart/engine/chart_utils.h"

#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/forms.h"

// Every routed command of a child window: a method that takes the sender and does nothing until
// a window class overrides it.
// clang-format off
#define VM_MYFORM_COMMANDS(X)                                                                              \
  X(CurvPart) X(CalcSpline) X(Gr) X(Ch) X(Et) X(Z) X(SetAndExecute) X(Next) X(Previous) X(Point) X(Add)     \
  X(AddChild) X(Edit) X(PreView) X(Print) X(Save) X(SaveFromObjInsp) X(Cancel) X(Find) X(Delete) X(Restore) \
  X(Select) X(InfoView) X(ProtokolView) X(Refresh) X(Switch) X(ChartEditor) X(ApproxData) X(ExportTo)      \
  X(ImportTo) X(SelectAll) X(UnSelectAll) X(StartDataInput) X(Cut) X(CopyToClipBoard) X(Dublicate) X(Paste) \
  X(SaveAs) X(acPointerExecute) X(MeanView) X(WeightView) X(Execute) X(Collapse) X(CollapseAll) X(Expand)   \
  X(ExpandAll) X(ObjProperty) X(SplineView) X(acFilterWork) X(acSend) X(acSendAll) X(acBack) X(acBackAll)  \
  X(Undo) X(Redo) X(Properties) X(Varoit) X(VaroitExt) X(LamPhiToXYZ) X(SendToList) X(Mark) X(UnMark)      \
  X(PointerExecute) X(CurveShift) X(StdView) X(Send) X(SendAll) X(Back) X(BackAll) X(Correct) X(Apply)     \
  X(AddRepers) X(LiveSpline) X(ViewDerivSpline) X(LoadFromFile) X(ViewData) X(OpenPicture) X(ViewKnots)    \
  X(ViewSource) X(ViewRepers) X(ViewLegend) X(ReperPoints) X(AutoEdit)
// clang-format on

class TMyForm : public TForm {
  VM_CLASS(TMyForm, TForm)
public:
  // An MDI child that frees itself when closed.
  explicit TMyForm(TComponent* AOwner);

  // The check word of the main window's tool actions, kept while the window is inactive.
  uint16_t ToolState = 0;

  virtual void FormClose(TObject* Sender, TCloseAction& Action);
  virtual void FormActivate(TObject* Sender) {}
  // Never overridden and never called: raises the abstract-method error.
  virtual void Ak(int A, int B);
  virtual void Navigate(TObject* Sender, int Step) {}
  // The point a navigation step (1 the last, 2 the next, 3 the previous, 4 the first) leads to from
  // Current among Count points; NavState becomes the step, then 3 at the last point and 2 at the first.
  static int NavigatedPoint(int Current, int Count, int Step, int& NavState);
#define VM_DECLARE_COMMAND(Name) \
  virtual void Name(TObject* Sender) {}
  VM_MYFORM_COMMANDS(VM_DECLARE_COMMAND)
#undef VM_DECLARE_COMMAND

  // Apply, then close.
  void EditOk(TObject* Sender);

protected:
  // The window's controls exist only once the derived constructors are done, so its captions are
  // translated as it first shows, before it is drawn.
  void DoShow() override;

private:
  bool FTranslated = false;
};

// True when Form is a live window of the program: one of the frame's MDI children or a form
// owned by the application. Compares addresses only, so a stale variable is safe to pass.
bool FormExists(const TForm* Form);

// The window of class T that Var refers to, brought to the front (the program log keeps its
// place) and restored when minimised: true. Else a new one, stored in Var: false.
// The arguments after Var go to the constructor of a new window (the views take the session).
template <class T, class... TArgs>
bool ShowForm(T*& Var, TArgs&... Args) {
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TForm* f = Screen->Forms(i);
    if (f == static_cast<TForm*>(Var) && dynamic_cast<T*>(f)) {
      if (f->WindowState() == wsMinimized) f->SetWindowState(wsNormal);
      if (!f->Visible()) f->Show();
      if (f->Name() != "STermWin1") {
        f->BringToFront();
        f->DispatchActivate(true);
      }
      return true;
    }
  }
  Var = new T(Application, Args...);
  // A child window translates itself as it first shows; the other windows are translated here.
  if constexpr (!std::is_base_of_v<TMyForm, T>) TranslateControl(Var);
  Var->Show();
  return false;
}

class TFormStorage;
// A form storage named "FormStorage1" that keeps Form's placement in Section of the program's
// settings file, with the stored properties listed ("Component.Property"): the stored placement
// and properties are restored now and written when the form is destroyed.
TFormStorage* KeepPlacement(TForm* Form, const std::string& Section,
                            std::initializer_list<const char*> StoredProps = {});

// Places a child window at X, Y of the frame's free client area (below its tool bars).
void PlaceInFrame(TForm* Child, int X, int Y, int Width, int Height);

// Places a child window over the frame's free area above the program log, where "Maximize Special"
// puts it, or the program log in the bottom fifth below it. The child keeps following the free
// area when the frame is sized (the window manager gives the frame its size only after it first
// shows) until the child is moved or sized by other means.
void PlaceOverFreeArea(TForm* Child);
void PlaceProgramLogWindow(TForm* Log);
// The frame was sized: the children still where PlaceOverFreeArea or PlaceProgramLogWindow put
// them follow its free area.
void FollowFreeArea();

// The two special layouts: the program log takes the bottom fifth of the frame's free area, its
// whole width; the other children fill the rest (MaximizeSpecial) or cascade inside it
// (CascadeSpecial), in child-list order.
void MaximizeSpecial();
void CascadeSpecial();

// Every view of the program's session hears that every frequency changed.
void RefreshAllViews(TObject* Sender);
