// The stored-edit dialog: which stored edit of a file the work starts from, and the range of
// frequencies to work on.
#pragma once

#include <functional>

#include "platform/forms.h"

class TBitBtn;
class TButton;
class TLabel;
class TListBox;
class TMTFile;
class TPanel;
class TVxSpinEdit;

class TWPrewEd1 : public TForm {
  VM_CLASS(TWPrewEd1, TForm)
public:
  explicit TWPrewEd1(TComponent* AOwner);
  TListBox* ListBox1 = nullptr;
  TPanel* Panel1 = nullptr;
  TLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
  TVxSpinEdit *Edit1 = nullptr, *Edit2 = nullptr;
  TButton* BitBtn1 = nullptr;
  const TMTFile* SiteFile = nullptr;

  void FormCreate(TObject* Sender);
  void Edit1Change(TObject* Sender);
  void Edit2Change(TObject* Sender);
};

// Called when a modal dialog of the program has been shown, before its loop waits; tests answer
// the dialog through it (set its controls, then its ModalResult).
extern std::function<void(TForm* Dialog)> ModalDialogHook;

// Installs the dialog as the open site's stored-edit question.
void InstallStartEditDialog();
