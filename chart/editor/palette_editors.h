// Editor forms of the tri-surface, tower, vector and point 3D series. All but the point 3D form
// add the shared "Grid 3D" tab (grid3d_editors.h); the point 3D form adds the "Point" tab.
#pragma once

#include "chart/editor/grid3d_editors.h"
#include "platform/forms.h"

class TCustomTriSurfaceSeries;
class TSeriesPointer;
class TPoint3DSeries;
class TSeriesPointerEditor;
class TTowerSeries;
class TVector3DSeries;

// The pointer tab of Editor for Pointer: inserted at page index 1 of the hosting series page when
// Ref is still empty, bound to Pointer anew when Editor now edits another series.
void ShowPointerTab(TSeriesPointerEditor*& Ref, TForm* Editor, TSeriesPointer* Pointer, const std::string& Caption);

class TTriSurfaceSeriesEditor : public TForm {
  VM_CLASS(TTriSurfaceSeriesEditor, TForm)
public:
  explicit TTriSurfaceSeriesEditor(TComponent* AOwner);

  TCustomTriSurfaceSeries* TriSurface = nullptr;
  TGrid3DSeriesEditor* Grid3DForm = nullptr;
  TButtonPen *Button2 = nullptr, *Button1 = nullptr;
  TButton* Button3 = nullptr;
  TCheckBox *CBFastBrush = nullptr, *CBHide = nullptr;
  sekit::TIntField Transp;

  void FormShow();

private:
  bool FLoading = false;
};

class TTowerSeriesEditor : public TForm {
  VM_CLASS(TTowerSeriesEditor, TForm)
public:
  explicit TTowerSeriesEditor(TComponent* AOwner);

  TTowerSeries* Tower = nullptr;
  TGrid3DSeriesEditor* Grid3DForm = nullptr;
  TComboFlat* CBStyle = nullptr;
  TButtonPen* ButtonPen1 = nullptr;
  TButton* Button1 = nullptr;
  TCheckBox *CBDark3D = nullptr, *CBOrigin = nullptr;
  TEdit* EOrigin = nullptr;
  sekit::TIntField Depth, Width, Transp;

  void FormShow();

private:
  bool FLoading = false;
};

class TVectorSeriesEditor : public TForm {
  VM_CLASS(TVectorSeriesEditor, TForm)
public:
  explicit TVectorSeriesEditor(TComponent* AOwner);

  TVector3DSeries* Vector = nullptr;
  TGrid3DSeriesEditor* Grid3DForm = nullptr;
  TButtonPen *BStart = nullptr, *BEnd = nullptr;
  TCheckBox *CBStart = nullptr, *CBEnd = nullptr;
  sekit::TIntField ArrowWidth, ArrowHeight;

  void FormShow();

private:
  bool FLoading = false;
};

class TPoint3DSeriesEditor : public TForm {
  VM_CLASS(TPoint3DSeriesEditor, TForm)
public:
  explicit TPoint3DSeriesEditor(TComponent* AOwner);

  TPoint3DSeries* Point3D = nullptr;
  TSeriesPointerEditor* PointerForm = nullptr;
  sekit::TIntField PointDepth;
  TButtonPen *Button1 = nullptr, *BBasePen = nullptr;
  TCheckBox* CBColorEach = nullptr;
  TButtonColor* BColor = nullptr;

  void FormShow();

private:
  bool FLoading = false;
};

void RegisterPaletteEditorForms();
