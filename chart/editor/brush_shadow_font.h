// The brush dialog (hatch style, colour, pattern bitmap or image of a chart brush), the shadow
// editor (modal or embedded) and the embedded font editor, with the entry points other editors
// call: the brush and font dialogs and the picture-file helpers.
#pragma once

#include <memory>
#include <string>

#include "chart/engine/chart_pens.h"
#include "chart/engine/graph_effects.h"
#include "platform/forms.h"

class TBitmap;
class TButton;
class TButtonColor;
class TButtonGradient;
class TButtonPen;
class TCheckBox;
class TEdit;
class TImage;
class TListBox;
class TPanel;
class TPicture;
class TTabSheet;
class TUpDown;
class TWinControl;

class TBrushDialog : public TForm {
  VM_CLASS(TBrushDialog, TForm)
public:
  explicit TBrushDialog(TComponent* AOwner);
  ~TBrushDialog() override;

  TChartBrush* EditedBrush = nullptr;
  std::unique_ptr<TChartBrush> SavedBrush;

  TListBox* LStyle = nullptr;
  TButtonColor* BColor = nullptr;
  TImage* Image1 = nullptr;
  TButton* Button1 = nullptr;
  TImage* ImageMetal = nullptr;
  TImage* ImageWood = nullptr;
  TImage* ImageStone = nullptr;
  TImage* ImageClouds = nullptr;
  TImage* ImageGrass = nullptr;
  TImage* ImageFire = nullptr;
  TImage* ImageSnow = nullptr;
  TButton* BOK = nullptr;
  TButton* BCancel = nullptr;

  void FormShow();
  void LStyleClick();
  void Button1Click();
  void BCancelClick();
  void RefreshImage();
  // A new bitmap of pattern N (0..11 the small patterns, 12..18 the textures).
  TBitmap* PatternBitmap(int N) const;
  void DrawStyleItem(TCanvas* Canvas, int Index, const TRect& Rect);

private:
  void EnableColorButton();
};

// One of the twelve small 16 x 16 patterns, black on white (0-based).
TBitmap* LoadBrushPattern(int Index);

class TGraphShadowEditor : public TForm {
  VM_CLASS(TGraphShadowEditor, TForm)
public:
  explicit TGraphShadowEditor(TComponent* AOwner);

  TGraphShadow* Shadow = nullptr;
  bool LoadingControls = true;

  TEdit* Edit1 = nullptr;
  TUpDown* UDShadowSize = nullptr;
  TEdit* EVertSize = nullptr;
  TUpDown* UDShaVert = nullptr;
  TEdit* EShadowTransp = nullptr;
  TUpDown* UDShadowTransp = nullptr;
  TCheckBox* CBSmooth = nullptr;
  TButtonColor* BShadowColor = nullptr;
  TButton* BOK = nullptr;

  void RefreshControls(TGraphShadow* AShadow);
  bool CanChange() const { return FShown && Shadow && !LoadingControls; }

private:
  void EditChanged(TEdit* Edit);
  bool FShown = false;
};

class TGraphFontEditor : public TForm {
  VM_CLASS(TGraphFontEditor, TForm)
public:
  explicit TGraphFontEditor(TComponent* AOwner);

  TGraphFont* EditedFont = nullptr;

  TPanel* SHText = nullptr;
  TButton* Button3 = nullptr;
  TEdit* Edit2 = nullptr;
  TUpDown* UDInter = nullptr;
  TButtonPen* BOutline = nullptr;
  TButton* BShadow = nullptr;
  TCheckBox* CBOutGrad = nullptr;
  TButtonGradient* BGradient = nullptr;

  void RefreshControls(TGraphFont* Font);
  void SHTextMouseUp();
  void Button3Click();
  void BShadowClick();

private:
  bool FLoading = false;
};

bool ShowBrushDialog(TComponent* Owner, TChartBrush* Brush);
bool ShowFontDialog(TComponent* Owner, TFont* Font);
std::string AskPictureFileName(TComponent* Owner);
void LoadOrClearPicture(TComponent* Owner, TPicture* Picture);
void ShowShadowDialog(TComponent* Component, TGraphShadow* Shadow);
TGraphShadowEditor* InsertShadowEditor(TTabSheet* Tab);
TGraphFontEditor* InsertFontEditor(TTabSheet* Tab);
