#include "app/property_window.h"

#include <algorithm>

#include "app/main_form.h"
#include "controls/form_storage.h"
#include "inspector/vm_inspector.h"
#include "inspector/vm_inspector_rows.h"
#include "inspector/vm_popupedit.h"
#include "inspector/vm_treeview.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/inifiles.h"
#include "platform/guards.h"
#include "platform/stdctrls.h"

VM_DEFINE_CLASS(TObjInsp1)

TObjInsp1* ObjInsp1 = nullptr;

namespace {

// The inspector row class of each kind of property row (kinds 0 to 20).
TvmInspectorRowClass RowClassOfKind(int Kind) {
  switch (Kind) {
    case 2:
      return TvmInspectorTextMaskRow::StaticClass();
    case 3:
      return TvmInspectorTextDateRow::StaticClass();
    case 4:
      return TvmInspectorTextCheckRow::StaticClass();
    case 5:
      return TvmInspectorTextCalcRow::StaticClass();
    case 6:
    case 16:
    case 17:
    case 18:
    case 19:
      return TvmInspectorTextButtonRow::StaticClass();
    case 7:
      return TvmInspectorTextSpinRow::StaticClass();
    case 8:
      return TvmInspectorTextPickRow::StaticClass();
    case 9:
      return TvmInspectorTextImageRow::StaticClass();
    case 10:
      return TvmInspectorTextTimeRow::StaticClass();
    case 11:
      return TvmInspectorTextCurrencyRow::StaticClass();
    case 12:
      return TvmInspectorTextHyperLinkRow::StaticClass();
    case 13:
      return TvmInspectorTextBlobRow::StaticClass();
    case 14:
      return TvmInspectorTextMRURow::StaticClass();
    case 15:
    case 20:
      return TvmInspectorTextPopupRow::StaticClass();
    default:
      return TvmInspectorTextRow::StaticClass();
  }
}

}  // namespace

TObjInsp1::TObjInsp1(TComponent* AOwner) : TMyForm(AOwner) {
  RegisterInspectorTextRows();
  SetName("ObjInsp1");
  SetCaption("Properties");
  SetFormStyle(fsStayOnTop);
  SetBorderStyle(bsSizeToolWin);
  SetBorderIcons({biSystemMenu});
  SetBounds(0, 0, 220, 360);
  PlaceBesideFrame();

  Panel1 = new TPanel(this);
  Panel1->SetName("Panel1");
  Panel1->SetParent(this);
  Panel1->SetAlign(alBottom);
  Panel1->SetHeight(32);
  Panel1->SetCaption("");
  // Each button as wide as its caption.
  TBitmap measure(1, 1);
  measure.Canvas()->Font()->Assign(Font());
  int left = 4;
  auto button = [this, &measure, &left](const char* Name, const char* Hint) {
    auto* b = new TButton(this);
    b->SetName(Name);
    b->SetParent(Panel1);
    const int width = std::max(56, measure.Canvas()->TextWidth(Hint) + 16);
    b->SetBounds(left, 4, width, 24);
    left += width + 4;
    b->SetHint(Hint);
    b->SetShowHint(true);
    b->SetCaption(Hint);
    return b;
  };
  BitBtn1 = button("BitBtn1", "Apply and close");
  BitBtn1->SetDefault(true);
  BitBtn2 = button("BitBtn2", "Cancel");
  BitBtn3 = button("BitBtn3", "Apply");
  if (Width() < left + 8) SetWidth(left + 8);
  BitBtn1->OnClick = [this](TObject* S) { BitBtn1Click(S); };
  BitBtn2->OnClick = [this](TObject* S) { BitBtn2Click(S); };
  BitBtn3->OnClick = [this](TObject* S) { Save(S); };

  vmTreeView1 = new TvmTreeView(this);
  vmTreeView1->SetName("vmTreeView1");
  vmTreeView1->SetParent(this);
  vmTreeView1->SetBounds(0, 0, 81, 81);
  vmTreeView1->ShowNodeHint = true;
  vmTreeView1->SetIndent(19);
  vmTreeView1->SetVisible(false);
  vmTreeView1->OnDblClick = [this](TObject* S) { vmTreeView1DblClick(S); };

  vmInspector1 = new TvmInspector(this);
  vmInspector1->SetName("vmInspector1");
  vmInspector1->SetParent(this);
  vmInspector1->SetAlign(alClient);
  vmInspector1->SetBandWidth(110);
  vmInspector1->SetPaintStyle(ipsExtended);
  vmInspector1->SetDividerPos(65);

  // The window's placement is kept in its own section.
  auto* storage = new TFormStorage(this);
  storage->SetName("FormStorage1");
  storage->SetIniSection("TObjInsp1");
  storage->Loaded();
}

TObjInsp1::~TObjInsp1() {
  if (ObjInsp1 == this) ObjInsp1 = nullptr;
}

void TObjInsp1::ShowProps(const TPropTable& Table) {
  {
    TUpdateLock lock(vmInspector1);
    vmInspector1->ClearRows();
    FTable = Table;
    for (const TPropRec& rec : FTable.Rows) {
      if (rec.Caption.empty()) continue;
      TvmInspectorRow* row = vmInspector1->CreateRow(RowClassOfKind(rec.Kind));
      row->SetCaption(rec.Caption);
      row->SetTag(rec.Id);
      for (int i = 0; i < vmInspector1->GetRowCount(); ++i) {
        TvmInspectorRow* parent = vmInspector1->Rows(i);
        if (parent != row && parent->Tag() == rec.ParentId && parent->Node() && row->Node())
          row->Node()->MoveTo(parent->Node(), inaAddChild);
      }
      if (rec.Kind == 1 || rec.Kind == 4 || rec.Kind == 7) row->SetEditText(rec.Value);
      if (rec.Kind >= 16 && rec.Kind <= 19) {
        auto* b = static_cast<TvmInspectorTextButtonRow*>(row);
        const int kind = rec.Kind;
        b->OnButtonClick = [this, kind](TObject* S, int) { ButtonRowClick(static_cast<TvmInspectorRow*>(S), kind); };
        if (kind == 18)
          b->OnDrawValue = [](TvmInspectorRow*, TCanvas*, const TRect&, std::string&, TFont*, TColor&, bool&) {};
      }
      if (rec.Kind == 20) {
        auto* p = static_cast<TvmInspectorTextPopupRow*>(row);
        p->SetPopupControl(vmTreeView1);
        p->OnPopup = [](TObject*, const std::string&) {};
        p->OnCloseUp = [this](TObject*, std::string& Text, bool& Accept) {
          if (FPicked && Accept) Text = FPickedText;
        };
      }
    }
  }
  if (vmInspector1->GetNodeCount() > 0) vmInspector1->SetFocusedNode(vmInspector1->Nodes(0));
  vmInspector1->Invalidate();
}

void TObjInsp1::vmTreeView1DblClick(TObject*) {
  TvmTreeNode* node = vmTreeView1->Selected();
  auto* edit = dynamic_cast<TvmInplacePopupEdit*>(vmInspector1->Editor());
  if (!node || !edit || !edit->Showing() || edit->PopupControl() != vmTreeView1) return;
  FPickedText = node->Text();
  FPicked = true;
  TScopeExit done([this] { FPicked = false; });
  edit->CloseUp(true);
  // The row takes the picked text at once, as Enter in the editor would give it.
  vmInspector1->PostEditor();
}

void TObjInsp1::ButtonRowClick(TvmInspectorRow* Row, int Kind) {
  switch (Kind) {
    case 16:
    case 17: {
      TOpenDialog* d = Kind == 16 ? new TOpenDialog(this) : new TSaveDialog(this);
      std::unique_ptr<TOpenDialog> guard(d);
      if (d->Execute()) Row->SetEditText(d->FileName());
      break;
    }
    case 18: {
      TColorDialog d(this);
      d.SetColor(FColor);
      if (d.Execute()) {
        FColor = d.Color();
        vmInspector1->Invalidate();
      }
      break;
    }
    case 19: {
      std::string dir = "C:\\";
      if (SelectDirectory(dir, {sdAllowCreate, sdPrompt}, 0)) Row->SetEditText(dir);
      break;
    }
    default:
      break;
  }
}

void TObjInsp1::Save(TObject* Sender) {
  // A value typed but not yet applied belongs to the row first.
  vmInspector1->PostEditor();
  for (int i = 0; i < vmInspector1->GetRowCount() && i < static_cast<int>(FTable.Rows.size()); ++i)
    FTable.Rows[static_cast<size_t>(i)].Value = vmInspector1->Rows(i)->EditText();
  // The view that filled the window may have been closed since.
  if (FOwnerView && FormExists(FOwnerView)) FOwnerView->SaveFromObjInsp(Sender);
}

void TObjInsp1::BitBtn1Click(TObject* Sender) {
  Save(Sender);
  Close();
}

void TObjInsp1::BitBtn2Click(TObject* Sender) { Close(); }

void TObjInsp1::FormClose(TObject*, TCloseAction& Action) { Action = caHide; }

void TObjInsp1::DoShow() {
  if (!FShownOnce) {
    FShownOnce = true;
    TCustomIniFile* ini = MainForm1 ? MainForm1->IniFile() : nullptr;
    if (!ini || !ini->SectionExists("TObjInsp1")) PlaceBesideFrame();
  }
  TMyForm::DoShow();
}

void TObjInsp1::PlaceBesideFrame() {
  TForm* frame = TForm::MDIFrame();
  if (!frame) return;
  const TRect area = frame->MDIClientRect();
  const TPoint origin = frame->ClientToScreen(::Point(area.Left, area.Top));
  // Its own title bar below the frame's tool bars: the window manager puts as much round it as
  // round the frame.
  const TRect ext = frame->FrameExtents();
  SetBounds(origin.X + 2 + ext.Left, origin.Y + 2 + ext.Top, Width(),
            std::max(200, std::min(Height(), area.Height() * 4 / 5 - ext.Top)));
}

void CreatePropertyWindow() {
  if (ObjInsp1) return;
  ObjInsp1 = new TObjInsp1(Application);
  ObjInsp1->SetVisible(false);
}
