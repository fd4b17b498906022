// The pen dialog, the button that shows a pen and opens it, and the small routines the editor
// forms of charts share (sub-dialogs, embedding, questions, value formats, list moves, cursor
// names).
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "chart/engine/editor_controls.h"
#include "platform/forms.h"

class TBitmap;
class TButtonColor;
class TCheckBox;
class TChartPen;
class TComboBox;
class TControl;
class TEdit;
class TListBox;
class TPen;
class TStrings;
class TUpDown;
class TWinControl;

// Called when an editor dialog of charts is shown, before the user sees it (tests drive the
// dialogs with it).
extern std::function<void(TForm* Dialog)> EditorDialogHook;

class TPenDialog : public TForm {
  VM_CLASS(TPenDialog, TForm)
public:
  explicit TPenDialog(TComponent* AOwner);
  ~TPenDialog() override;

  TPen* EditedPen = nullptr;
  std::unique_ptr<TChartPen> SavedPen;
  bool PenChanged = false;

  TCheckBox* CBVisible = nullptr;
  TComboBox* CBStyle = nullptr;
  TEdit* SEWidth = nullptr;
  TUpDown* UDWidth = nullptr;
  TButtonColor* BColor = nullptr;
  TComboBox* CBEndStyle = nullptr;
  TButton* BOk = nullptr;
  TButton* BCancel = nullptr;

  void FormShow();
  void FormClose();
  void CBStyleChange();
  void CBEndStyleChange();
  void CBVisibleClick();
  void UDWidthChange();
  void BColorClick();
  void BCancelClick();
  // One style item as the list draws it: a line sample in the pen's colour and the item's text.
  void DrawStyleItem(TCanvas* Canvas, int Index, const TRect& Rect, bool Selected);

private:
  void EnableWidth(bool Value);
  bool FShowing = false;
};

class TButtonPen : public TGraphButton {
  VM_CLASS(TButtonPen, TGraphButton)
public:
  explicit TButtonPen(TComponent* AOwner) : TGraphButton(AOwner) {}
  void LinkPen(TPen* Pen);
  TPen* Pen() const;
  void Click() override;
  void DrawSymbol(TGraphCanvas* Canvas) override;
  bool HidesColorButton = false;
};

TComponent* DialogOwner(TComponent* Component);
// A form of the class (made by Create with DialogOwner(Component) as owner), centred on its owner
// form or on the screen, with a dialog border.
TForm* CreateEditorDialog(const std::function<TForm*(TComponent* Owner)>& Create, TComponent* Component);
bool ShowPenDialog(TComponent* Component, TPen* Pen, bool HideColor = false);

void EmbedFormWithObject(TForm* Form, TWinControl* Parent, TObject* Object);
void EmbedForm(TForm* Form, TWinControl* Parent);
void EmbedFormWithComponent(TForm* Form, TWinControl* Parent, TComponent* Component);
// The object an embedded editor form edits (its Tag).
TObject* EmbeddedObject(TForm* Form);
void ShowControls(bool Visible, std::initializer_list<TControl*> Controls);

bool AskYesNo(const std::string& Text, TControl* Control = nullptr);
// In a namespace of its own: the engine's text of the question has the same name.
namespace extra {
bool AskDelete(const std::string& Name, TControl* Control = nullptr);
}  // namespace extra
void AddValueFormats(TStrings* List);
void LoadArrowBitmaps(TBitmap* Up, TBitmap* Down);
void MoveSelectedItems(TListBox* Source, TListBox* Destination);
void MoveAllItems(TStrings* Source, TStrings* Destination);

bool IdentToCursorEx(const std::string& Ident, int& Value);
bool CursorToIdentEx(int Value, std::string& Ident);
std::string StripCursorPrefix(const std::string& Name);
int CursorFromName(int DefaultCursor, const std::string& Name);
void FillCursorCombo(TComboBox* Combo, int Cursor);
