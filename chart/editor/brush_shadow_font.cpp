#include "chart/editor/brush_shadow_font.h"

#include <cstdlib>

#include "chart/editor/gradient_editor.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/engine_texts.h"
#include "chart/extra/pen_dialog.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/picture.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TBrushDialog)
VM_DEFINE_CLASS(TGraphShadowEditor)
VM_DEFINE_CLASS(TGraphFontEditor)

namespace {

const char* const kStyles[] = {"Solid",
                               "None",
                               "Horizontal",
                               "Vertical",
                               "Diagonal",
                               "Back Diagonal",
                               "Cross",
                               "Diagonal Cross",
                               "Fill 80%",
                               "Fill 60%",
                               "Fill 40%",
                               "Fill 20%",
                               "Fill 10%",
                               "Zig zag",
                               "Vertical small",
                               "Horiz. small",
                               "Diag. small",
                               "Back Diag. small",
                               "Cross small",
                               "Diag. Cross small",
                               "Metal",
                               "Wood",
                               "Stone",
                               "Clouds",
                               "Grass",
                               "Fire",
                               "Snow"};

// Whether pixel (X, Y) of small pattern N is black.
bool PatternPixel(int N, int X, int Y) {
  const int x4 = X % 4, y4 = Y % 4;
  switch (N) {
    case 0:
      return Y % 2 == 1 || X % 2 == 1;
    case 1:
      return (X + Y) % 2 == 0;
    case 2:
      return Y % 2 == 1 && X % 2 == 1;
    case 3:
      return (y4 == 1 && x4 == 1) || (y4 == 3 && x4 == 3);
    case 4:
      return y4 == 0 && x4 == 0;
    case 5: {
      const int x6 = X % 6;
      switch (y4) {
        case 0:
          return x6 == 3;
        case 1:
          return x6 == 2 || x6 == 4;
        case 2:
          return x6 == 1 || x6 == 5;
        default:
          return x6 == 0;
      }
    }
    case 6:
      return x4 == 1;
    case 7:
      return y4 == 1;
    case 8:
      return x4 == (Y + 2) % 4;
    case 9:
      return x4 == ((1 - Y) % 4 + 4) % 4;
    case 10:
      return x4 == 1 || y4 == 1;
    case 11:
      return y4 == 0 ? x4 == 1 : y4 == 2 ? x4 == 3 : X % 2 == 0;
    default:
      return false;
  }
}

// A texture of the form: a small repeating pattern of two colours with some noise, 24-bit.
TBitmap* MakeTexture(int Size, TColor A, TColor B, unsigned Seed) {
  auto* b = new TBitmap(Size, Size, pf24bit);
  unsigned s = Seed;
  for (int y = 0; y < Size; ++y)
    for (int x = 0; x < Size; ++x) {
      s = s * 1103515245u + 12345u;
      const int t = static_cast<int>((s >> 16) % 100);
      auto mix = [&](int Shift) {
        const int a = (A >> Shift) & 0xFF, c = (B >> Shift) & 0xFF;
        return (a * (100 - t) + c * t) / 100;
      };
      b->Canvas()->SetPixels(x, y, static_cast<TColor>(mix(0) | (mix(8) << 8) | (mix(16) << 16)));
    }
  return b;
}

template <class T>
T* Make(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y, int W,
        int H) {
  auto* c = new T(Owner);
  c->SetName(Name);
  c->SetParent(Parent);
  if (!Caption.empty()) c->SetCaption(Caption);
  c->SetBounds(X, Y, W, H);
  return c;
}

TUpDown* MakeUpDown(TComponent* Owner, TWinControl* Parent, const char* Name, TEdit* Edit, int Min, int Max) {
  auto* u = Make<TUpDown>(Owner, Parent, Name, "", Edit->Left() + Edit->Width(), Edit->Top(), 17, Edit->Height());
  u->SetMin(Min);
  u->SetMax(Max);
  u->SetAssociate(Edit);
  return u;
}

TForm* OwnerForm(TComponent* Owner) { return dynamic_cast<TForm*>(DialogOwner(Owner)); }

}  // namespace

TBitmap* LoadBrushPattern(int Index) {
  auto* b = new TBitmap(16, 16, pf24bit);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) b->Canvas()->SetPixels(x, y, PatternPixel(Index, x, y) ? clBlack : clWhite);
  b->SetTransparentColor(clWhite);
  b->SetTransparent(true);
  return b;
}

// ---------------------------------------------------------------------------------------------
// TBrushDialog

TBrushDialog::TBrushDialog(TComponent* AOwner) : TForm(AOwner) {
  SetName("BrushDialog");
  SetCaption("Pattern Color Editor");
  SetBorderStyle(bsDialog);
  SetBounds(0, 0, 330, 300);
  LStyle = Make<TListBox>(this, this, "LStyle", "", 8, 8, 170, 250);
  LStyle->SetStyle(lbOwnerDrawFixed);
  LStyle->SetItemHeight(16);
  for (const char* s : kStyles) LStyle->Items()->Add(s);
  LStyle->OnDrawItem = [this](TWinControl*, int Index, TRect Rect, TOwnerDrawState) {
    DrawStyleItem(LStyle->Canvas(), Index, Rect);
  };
  BColor = Make<TButtonColor>(this, this, "BColor", "&Color...", 190, 8, 120, 25);
  auto* group = Make<TGroupBox>(this, this, "GroupImage", "Image:", 190, 44, 120, 130);
  Image1 = Make<TImage>(this, group, "Image1", "", 10, 20, 100, 70);
  Image1->SetStretch(true);
  Button1 = Make<TButton>(this, group, "Button1", "&Image...", 10, 96, 100, 25);
  const char* names[] = {"ImageMetal", "ImageWood", "ImageStone", "ImageClouds",
                         "ImageGrass", "ImageFire", "ImageSnow"};
  TImage** images[] = {&ImageMetal, &ImageWood, &ImageStone, &ImageClouds, &ImageGrass, &ImageFire, &ImageSnow};
  const TColor colours[][2] = {{0xC0C0C0, 0x606060}, {0x2A5A8B, 0x143C5A}, {0x909090, 0x505860}, {0xFFE0C0, 0xFFFFFF},
                               {0x30A030, 0x106010}, {0x0040FF, 0x00D0FF}, {0xFFFFFF, 0xE8E0D8}};
  for (int i = 0; i < 7; ++i) {
    const int size = i < 3 ? 16 : 32;
    TImage* img = Make<TImage>(this, this, names[i], "", 0, 0, size, size);
    img->SetVisible(false);
    std::unique_ptr<TBitmap> t(MakeTexture(size, colours[i][0], colours[i][1], 7u + static_cast<unsigned>(i)));
    img->Picture()->SetBitmap(t.get());
    *images[i] = img;
  }
  BOK = Make<TButton>(this, this, "BOK", "OK", 150, 266, 75, 25);
  BOK->SetModalResult(mrOk);
  BOK->SetDefault(true);
  BCancel = Make<TButton>(this, this, "BCancel", "Cancel", 234, 266, 75, 25);
  BCancel->SetModalResult(mrCancel);
  BCancel->SetCancel(true);
  LStyle->OnClick = [this](TObject*) { LStyleClick(); };
  Button1->OnClick = [this](TObject*) { Button1Click(); };
  BCancel->OnClick = [this](TObject*) { BCancelClick(); };
  BColor->OnClick = [this](TObject*) { LStyle->Invalidate(); };
  OnShow = [this](TObject*) { FormShow(); };
  OnClose = [this](TObject*, TCloseAction&) { SavedBrush.reset(); };
}

TBrushDialog::~TBrushDialog() = default;

void TBrushDialog::FormShow() {
  SavedBrush = std::make_unique<TChartBrush>();
  if (EditedBrush) {
    SavedBrush->Assign(EditedBrush);
    LStyle->SetItemIndex(EditedBrush->HasImageGraphic() ? -1 : static_cast<int>(EditedBrush->Style()));
    BColor->LinkProperty(EditedBrush, "Color");
    RefreshImage();
    EnableColorButton();
  }
  if (EditorDialogHook) EditorDialogHook(this);
}

void TBrushDialog::EnableColorButton() { BColor->SetEnabled(!EditedBrush || EditedBrush->Style() != bsClear); }

TBitmap* TBrushDialog::PatternBitmap(int N) const {
  if (N < 12) return LoadBrushPattern(N);
  TImage* textures[] = {ImageMetal, ImageWood, ImageStone, ImageClouds, ImageGrass, ImageFire, ImageSnow};
  auto* b = new TBitmap();
  b->Assign(textures[N - 12]->Picture()->Bitmap());
  return b;
}

void TBrushDialog::LStyleClick() {
  const int i = LStyle->ItemIndex();
  if (!EditedBrush || i < 0) return;
  if (i < 8) {
    EditedBrush->SetStyle(static_cast<TBrushStyle>(i));
    EditedBrush->SetImage(nullptr);
  } else {
    std::unique_ptr<TBitmap> b(PatternBitmap(i - 8));
    EditedBrush->Image()->SetBitmap(b.get());
  }
  RefreshImage();
  EnableColorButton();
}

void TBrushDialog::RefreshImage() {
  if (EditedBrush && EditedBrush->HasImageGraphic()) {
    Button1->SetTag(1);
    Button1->SetCaption(MsgEdClear);
    Image1->Picture()->Assign(EditedBrush->Image());
  } else {
    Button1->SetTag(0);
    Button1->SetCaption(MsgEdBrowse);
    Image1->Picture()->SetGraphic(nullptr);
  }
}

void TBrushDialog::Button1Click() {
  if (!EditedBrush) return;
  LStyle->SetItemIndex(static_cast<int>(EditedBrush->Style()));
  if (Button1->Tag() == 1) {
    EditedBrush->SetImage(nullptr);
  } else {
    const std::string file = AskPictureFileName(this);
    if (!file.empty()) {
      TPicture p;
      p.LoadFromFile(file);
      if (!dynamic_cast<TBitmap*>(p.Graphic())) {
        // Metafiles and icons become bitmaps of their size.
        TBitmap b(p.Width(), p.Height(), pf24bit);
        b.Canvas()->Draw(0, 0, p.Graphic());
        EditedBrush->Image()->SetBitmap(&b);
      } else {
        EditedBrush->Image()->Assign(&p);
      }
    }
  }
  RefreshImage();
}

void TBrushDialog::BCancelClick() {
  if (EditedBrush && SavedBrush) {
    EditedBrush->Assign(SavedBrush.get());
    if (!SavedBrush->HasImageGraphic()) EditedBrush->SetImage(nullptr);
  }
  SetModalResult(mrCancel);
}

void TBrushDialog::DrawStyleItem(TCanvas* Canvas, int Index, const TRect& Rect) {
  Canvas->FillRect(Rect);
  const TColor text = Canvas->Font()->Color();
  const TColor back = Canvas->Brush()->Color();
  if (Index != 1) {
    const TRect sample(Rect.Left + 2, Rect.Top + 2, Rect.Left + 16, Rect.Bottom - 2);
    Canvas->Font()->SetColor(clBlack);
    if (Index < 8) {
      Canvas->Brush()->SetColor(clBlack);
      Canvas->Brush()->SetStyle(static_cast<TBrushStyle>(Index));
      Canvas->SetBkMode(TRANSPARENT);
      Canvas->FillRect(sample);
    } else {
      std::unique_ptr<TBitmap> b(PatternBitmap(Index - 8));
      Canvas->StretchDraw(sample, b.get());
    }
    Canvas->Font()->SetColor(text);
  }
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->TextOut(Rect.Left + 20, Rect.Top, LStyle->Items()->Strings(Index));
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(back);
}

bool ShowBrushDialog(TComponent* Owner, TChartBrush* Brush) {
  std::unique_ptr<TForm> form(CreateEditorDialog([](TComponent* O) { return new TBrushDialog(O); }, Owner));
  auto* d = static_cast<TBrushDialog*>(form.get());
  d->EditedBrush = Brush;
  TranslateControl(d);
  return d->ShowModal() == mrOk;
}

// ---------------------------------------------------------------------------------------------
// TGraphShadowEditor

TGraphShadowEditor::TGraphShadowEditor(TComponent* AOwner) : TForm(AOwner) {
  SetCaption("Shadow editor");
  SetBorderStyle(bsDialog);
  SetBounds(0, 0, 240, 170);
  auto label = [this](const char* Name, const char* Caption, int Y, TWinControl* Focus) {
    auto* l = Make<TLabel>(this, this, Name, Caption, 8, Y + 3, 90, 16);
    l->SetFocusControl(Focus);
  };
  Edit1 = Make<TEdit>(this, this, "Edit1", "", 110, 8, 50, 22);
  UDShadowSize = MakeUpDown(this, this, "UDShadowSize", Edit1, -1000, 1000);
  label("LSize", "&Horiz. Size:", 8, Edit1);
  EVertSize = Make<TEdit>(this, this, "EVertSize", "", 110, 36, 50, 22);
  UDShaVert = MakeUpDown(this, this, "UDShaVert", EVertSize, -1000, 1000);
  label("LVert", "&Vert. Size:", 36, EVertSize);
  EShadowTransp = Make<TEdit>(this, this, "EShadowTransp", "", 110, 64, 50, 22);
  UDShadowTransp = MakeUpDown(this, this, "UDShadowTransp", EShadowTransp, 0, 100);
  label("LTransp", "&Transparency:", 64, EShadowTransp);
  CBSmooth = Make<TCheckBox>(this, this, "CBSmooth", "&Smooth", 8, 94, 90, 20);
  CBSmooth->SetChecked(true);
  BShadowColor = Make<TButtonColor>(this, this, "BShadowColor", "&Color...", 110, 92, 100, 25);
  BOK = Make<TButton>(this, this, "BOK", "OK", 150, 130, 75, 25);
  BOK->SetModalResult(mrOk);
  BOK->SetDefault(true);
  BOK->SetCancel(true);
  for (TEdit* e : {Edit1, EVertSize, EShadowTransp})
    e->OnChange = [this, e, previous = e->OnChange](TObject* S) {
      if (previous) previous(S);
      EditChanged(e);
    };
  CBSmooth->OnClick = [this](TObject*) {
    if (Shadow && !LoadingControls) Shadow->SetSmooth(CBSmooth->Checked());
  };
  OnShow = [this](TObject*) {
    if (Shadow) RefreshControls(Shadow);
    TranslateControl(this);
    LoadingControls = false;
    FShown = true;
    if (EditorDialogHook && BOK->Visible()) EditorDialogHook(this);
  };
}

void TGraphShadowEditor::EditChanged(TEdit* Edit) {
  if (!CanChange()) return;
  int v = 0;
  if (!TryStrToInt(Trim(Edit->Text()), v)) return;  // not a number: the shadow keeps its value
  if (Edit == Edit1 && v >= -1000 && v <= 1000)
    Shadow->SetHorizSize(v);
  else if (Edit == EVertSize && v >= -1000 && v <= 1000)
    Shadow->SetVertSize(v);
  else if (Edit == EShadowTransp && v >= 0 && v <= 100)
    Shadow->SetTransparency(v);
}

void TGraphShadowEditor::RefreshControls(TGraphShadow* AShadow) {
  const bool was = LoadingControls;
  LoadingControls = true;
  Shadow = AShadow;
  if (Shadow) {
    UDShadowSize->SetPosition(Shadow->HorizSize());
    UDShaVert->SetPosition(Shadow->VertSize());
    UDShadowTransp->SetPosition(Shadow->Transparency());
    CBSmooth->SetChecked(Shadow->Smooth());
    BShadowColor->LinkProperty(Shadow, "Color");
  }
  LoadingControls = was;
  if (FShown) LoadingControls = false;
}

void ShowShadowDialog(TComponent* Component, TGraphShadow* Shadow) {
  std::unique_ptr<TForm> form(CreateEditorDialog([](TComponent* O) { return new TGraphShadowEditor(O); }, Component));
  auto* e = static_cast<TGraphShadowEditor*>(form.get());
  e->Shadow = Shadow;
  e->BOK->SetVisible(true);
  e->ShowModal();
}

TGraphShadowEditor* InsertShadowEditor(TTabSheet* Tab) {
  auto* e = new TGraphShadowEditor(Tab->Owner());
  e->BOK->SetVisible(false);
  EmbedForm(e, Tab);
  return e;
}

// ---------------------------------------------------------------------------------------------
// TGraphFontEditor

TGraphFontEditor::TGraphFontEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 260, 150);
  Button3 = Make<TButton>(this, this, "Button3", "&Font...", 8, 8, 90, 25);
  SHText = Make<TPanel>(this, this, "SHText", "", 106, 10, 24, 21);
  SHText->SetCursor(crHandPoint);
  SHText->SetBevelOuter(bvNone);
  auto* l = Make<TLabel>(this, this, "LInter", "&Inter-char spacing:", 8, 44, 110, 16);
  Edit2 = Make<TEdit>(this, this, "Edit2", "", 124, 40, 40, 22);
  UDInter = MakeUpDown(this, this, "UDInter", Edit2, -100, 100);
  l->SetFocusControl(Edit2);
  BOutline = Make<TButtonPen>(this, this, "BOutline", "&Outline...", 8, 72, 100, 25);
  BShadow = Make<TButton>(this, this, "BShadow", "&Shadow...", 116, 72, 100, 25);
  BGradient = Make<TButtonGradient>(this, this, "BGradient", "&Gradient...", 8, 104, 100, 25);
  CBOutGrad = Make<TCheckBox>(this, this, "CBOutGrad", "O&utline gradient", 116, 106, 130, 20);
  SHText->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { SHTextMouseUp(); };
  Button3->OnClick = [this](TObject*) { Button3Click(); };
  BShadow->OnClick = [this](TObject*) { BShadowClick(); };
  Edit2->OnChange = [this, previous = Edit2->OnChange](TObject* S) {
    if (previous) previous(S);
    int v = 0;
    if (!FLoading && EditedFont && Showing() && TryStrToInt(Trim(Edit2->Text()), v) && v >= -100 && v <= 100)
      EditedFont->SetInterCharSize(v);
  };
  CBOutGrad->OnClick = [this](TObject*) {
    if (!FLoading && EditedFont) EditedFont->Gradient()->SetOutline(CBOutGrad->Checked());
  };
  OnShow = [this](TObject*) {
    if (EditedFont) RefreshControls(EditedFont);
    TranslateControl(this);
  };
}

void TGraphFontEditor::RefreshControls(TGraphFont* Font) {
  const bool was = FLoading;
  FLoading = true;
  EditedFont = Font;
  if (Font) {
    SHText->SetColor(Font->Color());
    UDInter->SetPosition(Font->InterCharSize());
    BOutline->LinkPen(Font->OutLine());
    CBOutGrad->SetChecked(Font->Gradient()->Outline());
    BGradient->LinkGradient(Font->Gradient());
  }
  FLoading = was;
}

void TGraphFontEditor::SHTextMouseUp() {
  if (!EditedFont) return;
  TColor c = EditedFont->Color();
  if (EditColorChanged(this, c)) {
    EditedFont->SetColor(c);
    SHText->SetColor(c);
  }
}

void TGraphFontEditor::Button3Click() {
  if (!EditedFont) return;
  ShowFontDialog(this, EditedFont);
  SHText->SetColor(EditedFont->Color());
}

void TGraphFontEditor::BShadowClick() {
  if (EditedFont) ShowShadowDialog(Owner(), EditedFont->Shadow());
}

TGraphFontEditor* InsertFontEditor(TTabSheet* Tab) {
  auto* e = new TGraphFontEditor(Tab->Owner());
  EmbedForm(e, Tab);
  return e;
}

// ---------------------------------------------------------------------------------------------

bool ShowFontDialog(TComponent* Owner, TFont* Font) {
  TFontDialog d(OwnerForm(Owner));
  d.SetFont(Font);
  if (!d.Execute()) return false;
  Font->Assign(d.Font());
  return true;
}

std::string AskPictureFileName(TComponent* Owner) {
  TOpenDialog d(OwnerForm(Owner));
  d.SetFilter(TPicture::GraphicFilter());
  return d.Execute() ? d.FileName() : std::string();
}

void LoadOrClearPicture(TComponent* Owner, TPicture* Picture) {
  if (Picture->Graphic()) {
    Picture->SetGraphic(nullptr);
    return;
  }
  const std::string file = AskPictureFileName(Owner);
  if (!file.empty()) Picture->LoadFromFile(file);
}
