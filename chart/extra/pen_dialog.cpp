#include "chart/extra/pen_dialog.h"

#include <cstdlib>

#include "chart/engine/chart_pens.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/guards.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TPenDialog)
VM_DEFINE_CLASS(TButtonPen)

std::function<void(TForm* Dialog)> EditorDialogHook;

namespace {

TComboBox* NewCombo(TForm* Form, const char* Name, std::initializer_list<const char*> Items, int X, int Y) {
  auto* c = new TComboBox(Form);
  c->SetName(Name);
  c->SetParent(Form);
  c->SetStyle(csDropDownList);
  c->SetBounds(X, Y, 120, 22);
  for (const char* i : Items) c->Items()->Add(i);
  return c;
}

TButton* NewButton(TForm* Form, const char* Name, const char* Caption, int X, int Y) {
  auto* b = new TButton(Form);
  b->SetName(Name);
  b->SetParent(Form);
  b->SetCaption(Caption);
  b->SetBounds(X, Y, 75, 25);
  return b;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TPenDialog

TPenDialog::TPenDialog(TComponent* AOwner) : TForm(AOwner) {
  SetName("PenDialog");
  SetCaption("Border Editor");
  SetBorderStyle(bsDialog);
  SetBounds(0, 0, 260, 150);
  CBVisible = new TCheckBox(this);
  CBVisible->SetName("CBVisible");
  CBVisible->SetParent(this);
  CBVisible->SetCaption("&Visible");
  CBVisible->SetBounds(8, 8, 100, 20);
  CBStyle = NewCombo(this, "CBStyle", {"Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot"}, 8, 34);
  CBStyle->SetStyle(csOwnerDrawFixed);
  CBStyle->SetItemHeight(16);
  CBStyle->OnDrawItem = [this](TWinControl*, int Index, TRect Rect, TOwnerDrawState State) {
    DrawStyleItem(CBStyle->Canvas(), Index, Rect, State.Contains(odSelected));
  };
  SEWidth = new TEdit(this);
  SEWidth->SetName("SEWidth");
  SEWidth->SetParent(this);
  SEWidth->SetBounds(136, 34, 40, 22);
  UDWidth = new TUpDown(this);
  UDWidth->SetName("UDWidth");
  UDWidth->SetParent(this);
  UDWidth->SetBounds(176, 34, 17, 22);
  UDWidth->SetMin(1);
  UDWidth->SetMax(100);
  UDWidth->SetPosition(1);
  UDWidth->SetAssociate(SEWidth);
  BColor = new TButtonColor(this);
  BColor->SetName("BColor");
  BColor->SetParent(this);
  BColor->SetCaption("&Color...");
  BColor->SetBounds(136, 64, 100, 25);
  CBEndStyle = NewCombo(this, "CBEndStyle", {"Round", "Square", "Flat"}, 8, 64);
  BOk = NewButton(this, "BOk", "OK", 90, 110);
  BOk->SetDefault(true);
  BOk->SetModalResult(mrOk);
  BCancel = NewButton(this, "BCancel", "Cancel", 172, 110);
  BCancel->SetCancel(true);
  BCancel->SetModalResult(mrCancel);

  CBStyle->OnChange = [this](TObject*) { CBStyleChange(); };
  CBEndStyle->OnChange = [this](TObject*) { CBEndStyleChange(); };
  CBVisible->OnClick = [this](TObject*) { CBVisibleClick(); };
  SEWidth->OnChange = [this, previous = SEWidth->OnChange](TObject* s) {
    if (previous) previous(s);
    UDWidthChange();
  };
  UDWidth->OnClick = [this](TObject*, TUDBtnType) { UDWidthChange(); };
  BColor->OnClick = [this](TObject*) { BColorClick(); };
  BCancel->OnClick = [this](TObject*) { BCancelClick(); };
  OnShow = [this](TObject*) { FormShow(); };
  OnClose = [this](TObject*, TCloseAction&) { FormClose(); };
}

TPenDialog::~TPenDialog() = default;

void TPenDialog::EnableWidth(bool Value) {
  UDWidth->SetEnabled(Value);
  SEWidth->SetEnabled(Value);
}

void TPenDialog::FormShow() {
  SavedPen = std::make_unique<TChartPen>();
  if (EditedPen) {
    SavedPen->Assign(EditedPen);
    if (auto* cp = dynamic_cast<TChartPen*>(EditedPen)) {
      SavedPen->SetVisible(cp->Visible());
      CBVisible->SetChecked(cp->Visible());
      // This platform draws small dots: the item is offered for chart pens.
      if (CBStyle->Items()->Count() == 5) CBStyle->Items()->Add(MsgStyleSmallDots);
      if (cp->SmallDots()) {
        CBStyle->SetItemIndex(CBStyle->Items()->Count() - 1);
        EnableWidth(false);
      } else {
        CBStyle->SetItemIndex(static_cast<int>(cp->Style()));
      }
      CBEndStyle->SetItemIndex(static_cast<int>(cp->EndStyle()));
    } else {
      CBVisible->SetVisible(false);
      CBStyle->SetItemIndex(static_cast<int>(EditedPen->Style()));
    }
    UDWidth->SetPosition(EditedPen->Width());
    BColor->LinkProperty(EditedPen, "Color");
  }
  TranslateControl(this);
  PenChanged = false;
  FShowing = true;
  if (EditorDialogHook) EditorDialogHook(this);
}

void TPenDialog::FormClose() {
  FShowing = false;
  SavedPen.reset();
}

void TPenDialog::UDWidthChange() {
  if (!FShowing || !EditedPen) return;
  const int w = UDWidth->Position();
  if (w == EditedPen->Width()) return;
  EditedPen->SetWidth(w);
  PenChanged = true;
}

void TPenDialog::CBStyleChange() {
  if (!EditedPen || CBStyle->ItemIndex() < 0) return;
  auto* cp = dynamic_cast<TChartPen*>(EditedPen);
  if (cp && CBStyle->Items()->Count() > 5 && CBStyle->ItemIndex() == CBStyle->Items()->Count() - 1) {
    cp->SetSmallDots(true);
    EnableWidth(false);
  } else {
    EditedPen->SetStyle(static_cast<TPenStyle>(CBStyle->ItemIndex()));
    if (cp) cp->SetSmallDots(false);
    EnableWidth(true);
  }
  PenChanged = true;
}

void TPenDialog::CBEndStyleChange() {
  // Only chart pens have an end style; a plain pen is left as it is.
  auto* cp = dynamic_cast<TChartPen*>(EditedPen);
  if (!cp || CBEndStyle->ItemIndex() < 0) return;
  cp->SetEndStyle(static_cast<TPenEndStyle>(CBEndStyle->ItemIndex()));
  PenChanged = true;
}

void TPenDialog::CBVisibleClick() {
  auto* cp = dynamic_cast<TChartPen*>(EditedPen);
  if (!FShowing || !cp) return;
  cp->SetVisible(CBVisible->Checked());
  PenChanged = true;
}

void TPenDialog::BColorClick() {
  PenChanged = true;
  CBStyle->Invalidate();
}

void TPenDialog::BCancelClick() {
  if (PenChanged && EditedPen && SavedPen) {
    EditedPen->Assign(SavedPen.get());
    if (auto* cp = dynamic_cast<TChartPen*>(EditedPen)) {
      cp->SetVisible(SavedPen->Visible());
      cp->SetSmallDots(SavedPen->SmallDots());
      cp->SetEndStyle(SavedPen->EndStyle());
      if (cp->OnChange) cp->OnChange(this);
    }
  }
  SetModalResult(mrCancel);
}

void TPenDialog::DrawStyleItem(TCanvas* Canvas, int Index, const TRect& Rect, bool Selected) {
  const TColor back = Selected ? clHighlight : CBStyle->Color();
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(back);
  Canvas->FillRect(Rect);
  TColor color = EditedPen ? EditedPen->Color() : clBlack;
  if (ColorToRGB(color) == ColorToRGB(back)) color = ColorToRGB(color) == clWhite ? clBlack : clWhite;
  if (Index == 5) {
    Canvas->SetPen(CreateDottedPen(color, 0).get());
  } else {
    Canvas->Pen()->SetStyle(static_cast<TPenStyle>(Index));
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetColor(color);
  }
  Canvas->MoveTo(Rect.Left + 2, Rect.Top + 8);
  Canvas->LineTo(Rect.Left + 30, Rect.Top + 8);
  Canvas->Brush()->SetStyle(bsClear);
  if (Index >= 0 && Index < CBStyle->Items()->Count())
    Canvas->TextOut(Rect.Left + 34, Rect.Top + 2, CBStyle->Items()->Strings(Index));
}

// ---------------------------------------------------------------------------------------------
// TButtonPen

void TButtonPen::LinkPen(TPen* Pen) {
  LinkProperty(Pen, "");
  Invalidate();
}

TPen* TButtonPen::Pen() const { return dynamic_cast<TPen*>(FInstance); }

void TButtonPen::Click() {
  if (TPen* pen = Pen()) {
    if (!ShowPenDialog(this, pen, HidesColorButton)) return;
    Invalidate();
  }
  TGraphButton::Click();
}

void TButtonPen::DrawSymbol(TGraphCanvas* Canvas) {
  TPen* pen = Pen();
  if (!Enabled() || !pen) return;
  const int width = pen->Width();
  TNotifyEvent handler;
  if (width > 6) {
    // The sample is at most 6 pixels wide; the pen itself is not changed.
    handler = pen->OnChange;
    pen->OnChange = nullptr;
    pen->SetWidth(6);
  }
  TScopeExit restore([&] {
    if (width > 6) {
      pen->SetWidth(width);
      pen->OnChange = handler;
    }
  });
  Canvas->Brush->SetStyle(bsClear);
  Canvas->AssignVisiblePen(pen);
  const int y = Height() / 2;
  Canvas->Line(Width() - 17, y, Width() - 6, y);
}

// ---------------------------------------------------------------------------------------------
// Editor form helpers

TComponent* DialogOwner(TComponent* Component) {
  if (auto* c = dynamic_cast<TControl*>(Component)) {
    TControl* top = c;
    while (top->Parent()) top = top->Parent();
    if (top != c)
      if (auto* f = dynamic_cast<TForm*>(top)) return f;
  }
  return Component;
}

TForm* CreateEditorDialog(const std::function<TForm*(TComponent* Owner)>& Create, TComponent* Component) {
  TComponent* owner = DialogOwner(Component);
  TForm* form = Create(owner);
  form->SetAlign(alNone);
  form->SetPosition(owner ? poOwnerFormCenter : poScreenCenter);
  form->SetBorderStyle(bsDialog);
  return form;
}

bool ShowPenDialog(TComponent* Component, TPen* Pen, bool HideColor) {
  std::unique_ptr<TForm> form(CreateEditorDialog([](TComponent* Owner) { return new TPenDialog(Owner); }, Component));
  auto* dialog = static_cast<TPenDialog*>(form.get());
  dialog->EditedPen = Pen;
  if (HideColor) dialog->BColor->SetVisible(false);
  return dialog->ShowModal() == mrOk;
}

void EmbedFormWithObject(TForm* Form, TWinControl* Parent, TObject* Object) {
  Form->SetParentColor(true);
  Form->SetPosition(poDesigned);
  Form->SetBorderStyle(bsNone);
  Form->SetBorderIcons({});
  Form->SetTag(reinterpret_cast<intptr_t>(Object));
  Form->SetParent(Parent);
  const bool visible = Parent->Visible();
  Parent->SetVisible(true);
  Form->SetLeft(4);
  Form->SetTop(std::min(4, std::abs(Parent->ClientHeight() - Form->ClientHeight()) / 2));
  Form->Show();
  Parent->SetVisible(visible);
}

void EmbedForm(TForm* Form, TWinControl* Parent) { EmbedFormWithObject(Form, Parent, nullptr); }

void EmbedFormWithComponent(TForm* Form, TWinControl* Parent, TComponent* Component) {
  EmbedFormWithObject(Form, Parent, Component);
}

TObject* EmbeddedObject(TForm* Form) { return reinterpret_cast<TObject*>(Form->Tag()); }

void ShowControls(bool Visible, std::initializer_list<TControl*> Controls) {
  for (TControl* c : Controls) c->SetVisible(Visible);
}

bool AskYesNo(const std::string& Text, TControl*) {
  if (Screen) Screen->SetCursor(crDefault);
  return MessageDlg(Text, mtConfirmation, {mbYes, mbNo}) == mrYes;
}

namespace extra {
bool AskDelete(const std::string& Name, TControl* Control) { return AskYesNo(Format(::AskDelete, {Name}), Control); }
}  // namespace extra

void AddValueFormats(TStrings* List) {
  List->Add(DefaultValueFormat);
  for (const char* f : {"0", "0.0", "0.#", "#.#", "#,##0.00;(#,##0.00)", "00e-0", "#.0 \"x10\" E+0", "#.# x10E-#"})
    List->Add(f);
}

void LoadArrowBitmaps(TBitmap* Up, TBitmap* Down) {
  LoadBitmapResource(Up, "GraphArrowUp", "GraphArrowUp");
  LoadBitmapResource(Down, "GraphArrowDown", "GraphArrowDown");
}

void MoveSelectedItems(TListBox* Source, TListBox* Destination) {
  for (int i = 0; i < Source->Items()->Count(); ++i)
    if (Source->Selected(i)) Destination->Items()->AddObject(Source->Items()->Strings(i), Source->Items()->Objects(i));
  for (int i = Source->Items()->Count() - 1; i >= 0; --i)
    if (Source->Selected(i)) Source->Items()->Delete(i);
}

void MoveAllItems(TStrings* Source, TStrings* Destination) {
  for (int i = 0; i < Source->Count(); ++i) Destination->AddObject(Source->Strings(i), Source->Objects(i));
  Source->Clear();
}

bool IdentToCursorEx(const std::string& Ident, int& Value) {
  if (Ident == "crGraphHand") {
    Value = ChartHandCursor;
    return true;
  }
  int64_t v = 0;
  if (!IdentToCursor(Ident, v)) return false;
  Value = static_cast<int>(v);
  return true;
}

bool CursorToIdentEx(int Value, std::string& Ident) {
  if (Value == ChartHandCursor) {
    Ident = "crGraphHand";
    return true;
  }
  return CursorToIdent(Value, Ident);
}

std::string StripCursorPrefix(const std::string& Name) {
  return Name.size() >= 2 && Name[0] == 'c' && Name[1] == 'r' ? Name.substr(2) : Name;
}

int CursorFromName(int DefaultCursor, const std::string& Name) {
  int v = 0;
  return IdentToCursorEx("cr" + Name, v) ? static_cast<int16_t>(v) : DefaultCursor;
}

void FillCursorCombo(TComboBox* Combo, int Cursor) {
  TStrings* items = Combo->Items();
  items->BeginUpdate();
  items->Clear();
  // The toolkit's cursors in their table order (0, -1, -2, ...), then the chart's hand.
  for (int v = 0; v >= -40; --v) {
    std::string ident;
    if (CursorToIdent(v, ident)) items->Add(StripCursorPrefix(ident));
  }
  items->Add(StripCursorPrefix("crGraphHand"));
  items->EndUpdate();
  std::string ident;
  Combo->SetItemIndex(CursorToIdentEx(Cursor, ident) ? items->IndexOf(StripCursorPrefix(ident)) : -1);
}
