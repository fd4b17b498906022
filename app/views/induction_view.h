// The induction-vector view: the real and imaginary induction vectors of the open site drawn as
// arrows along a logarithmic frequency axis, each S*L millimetres long on the screen whatever the
// axis ranges and the window size.
#pragma once

#include "app/child_form.h"
#include "app/site_session.h"

class TArrowSeries;
class TChart;
class TCheckBox;
class TFormStorage;
class TPanel;
class TPointSeries;
class TTimer;
class TVxSpinEdit;
class TVxSplitter;

class TIndVect1 : public TMyForm {
  VM_CLASS(TIndVect1, TMyForm)
public:
  TSiteSession& Session;
  // The view listens to Session from the start and stops when it goes.
  TIndVect1(TComponent* AOwner, TSiteSession& ASession);
  ~TIndVect1() override;

  TChart* Chart1 = nullptr;
  TVxSplitter* Splitter1 = nullptr;
  TPanel* Panel1 = nullptr;
  TVxSpinEdit* VxSpinEdit1 = nullptr;  // "Step:"
  TVxSpinEdit* VxSpinEdit2 = nullptr;  // "Imag Scale"
  TVxSpinEdit* VxSpinEdit3 = nullptr;  // "Real Scale"
  TCheckBox* CheckBox1 = nullptr;      // "Rev real"
  TArrowSeries* Series1 = nullptr;     // real vector
  TArrowSeries* Series2 = nullptr;     // imaginary vector
  TPointSeries* Series3 = nullptr;     // one point per frequency on the zero line
  TTimer* Timer1 = nullptr;
  TFormStorage* FormStorage1 = nullptr;
  int FreqStep = 1;

  void Refresh(TObject* Sender) override;
  void VxSpinEdit1Change(TObject* Sender);
  void Timer1Timer(TObject* Sender);
  // A resize or a restored layout: one redraw 100 ms later, when the axes have their final size.
  void FormStorage1RestorePlacement(TObject* Sender);
};

extern TIndVect1* IndVect1;
