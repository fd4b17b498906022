// The editor page of the lighting tool: follow-mouse switch, the light point's Left and Top,
// the style and the factor. The tool comes in the form's Tag.
#pragma once

#include "chart/extra/lighting_tool.h"
#include "platform/forms.h"

class TCheckBox;
class TComboBox;
class TLabel;
class TTrackBar;

class TLightToolEditor : public TForm {
  VM_CLASS(TLightToolEditor, TForm)
public:
  explicit TLightToolEditor(TComponent* AOwner);

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void CheckBox2Click(TObject* Sender);
  void TBLeftChange(TObject* Sender);
  void TBTopChange(TObject* Sender);
  void CBStyleChange(TObject* Sender);
  void TBFactorChange(TObject* Sender);

  TLightTool* Tool() const { return FTool; }

  TCheckBox* CheckBox2 = nullptr;
  TLabel* Label1 = nullptr;
  TTrackBar* TBLeft = nullptr;
  TLabel* Label2 = nullptr;
  TTrackBar* TBTop = nullptr;
  TLabel* Label3 = nullptr;
  TComboBox* CBStyle = nullptr;
  TLabel* Label4 = nullptr;
  TTrackBar* TBFactor = nullptr;

private:
  TLightTool* FTool = nullptr;
  bool FLoading = false;
};
