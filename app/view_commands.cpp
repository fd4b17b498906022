// The main window's commands that open the views, each with the program's session.
#include "app/child_form.h"
#include "app/log_views.h"
#include "app/main_form.h"
#include "app/views/complex_window.h"
#include "app/views/data_view.h"
#include "app/views/edit_window.h"
#include "app/views/induction_view.h"
#include "app/views/mask_window.h"
#include "app/views/polar_view.h"
#include "mtdata/open_site.h"

void TMainForm1::EditingExecute(TObject*) {
  if (!CurrentSite) return;
  ShowForm(Varo1, *Session);
  Varo1->ShowSite(CurrentSite.get());
}

void TMainForm1::mmMaskViewClick(TObject*) {
  if (!CurrentSite) return;
  ShowForm(MaskEd1, *Session);
  MaskEd1->ShowMask(CurrentSite.get());
}

void TMainForm1::StartingDataExecute(TObject*) {
  if (!CurrentSite) return;
  ShowProgramLog();
  if (!ShowForm(GrViewNf1, *Session)) GrViewNf1->SetViewMode(1);
  GrViewNf1->Refresh(this);
}

void TMainForm1::ResultingDataExecute(TObject*) {
  if (!CurrentSite) return;
  ShowProgramLog();
  if (!ShowForm(GrView1, *Session)) GrView1->SetViewMode(2);
  GrView1->Refresh(this);
}

void TMainForm1::AcPolarExecute(TObject*) {
  if (CurrentSite) ShowForm(PolarDiag1, *Session);
}

void TMainForm1::IndVecExecute(TObject*) {
  if (CurrentSite) ShowForm(IndVect1, *Session);
}

void TMainForm1::ComplexEditingExecute(TObject*) {
  if (!CurrentSite) return;
  ShowProgramLog();
  ShowForm(VaroCmplx1, *Session);
}
