// The property window: a floating tool window whose inspector shows the editable display
// properties of one chart of a view and hands the edited values back to that view.
//
// The contract with a view: the view builds its rows (FillPropRows into PropTable), calls
// ShowProps(PropTable), shows the window and makes itself the owner (SetOwnerView). On Apply the
// window stores every row's text into its copy of the table (Table()) and calls the owner's
// SaveFromObjInsp, which reads the values from ObjInsp1->Table(). A closed view is never reached.
#pragma once

#include <string>

#include "app/child_form.h"
#include "mtdata/plot_tables.h"
#include "platform/forms.h"

class TvmInspector;
class TvmInspectorRow;
class TvmTreeView;
class TPanel;
class TButton;

class TObjInsp1 : public TMyForm {
  VM_CLASS(TObjInsp1, TMyForm)
public:
  explicit TObjInsp1(TComponent* AOwner);
  ~TObjInsp1() override;

  TvmInspector* vmInspector1 = nullptr;
  TvmTreeView* vmTreeView1 = nullptr;
  TPanel* Panel1 = nullptr;
  TButton* BitBtn1 = nullptr;  // "Apply and close"
  TButton* BitBtn2 = nullptr;  // "Cancel"
  TButton* BitBtn3 = nullptr;  // "Apply"

  // Fills the inspector from a property table (the window keeps a copy).
  void ShowProps(const TPropTable& Table);
  // The window's copy of the table; after Save its values are the edited texts.
  const TPropTable& Table() const { return FTable; }
  TMyForm* OwnerView() const { return FOwnerView; }
  void SetOwnerView(TMyForm* Value) { FOwnerView = Value; }
  // The colour chosen by a colour row's button.
  TColor ChosenColor() const { return FColor; }

  void Save(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void BitBtn2Click(TObject* Sender);
  // A double-click on a node of the pop-up tree takes the node's text as the value of the pop-up
  // row being edited and closes the pop-up.
  void vmTreeView1DblClick(TObject* Sender);

  // The window hides when closed; it lives as long as the program.
  void FormClose(TObject* Sender, TCloseAction& Action) override;
  // Beside the frame's free area, at its left edge, below the tool bars.
  void PlaceBesideFrame();

protected:
  // The first showing without a stored placement puts the window beside the frame as it is now.
  void DoShow() override;

private:
  void ButtonRowClick(TvmInspectorRow* Row, int Kind);

  TPropTable FTable;
  TMyForm* FOwnerView = nullptr;
  TColor FColor = clBlack;
  bool FShownOnce = false;
  // The node text a double-click picked, handed to the pop-up row as it closes.
  std::string FPickedText;
  bool FPicked = false;
};

// The one property window (null until CreatePropertyWindow).
extern TObjInsp1* ObjInsp1;
// Made at start-up, hidden; owned by the application.
void CreatePropertyWindow();
