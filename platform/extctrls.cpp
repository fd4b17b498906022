#include "platform/extctrls.h"

#include <algorithm>

#include "platform/picture.h"

namespace {

const TEnumInfo kBevelCutInfo("TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"});
const TEnumInfo kBevelShapeInfo("TBevelShape", {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine",
                                                "bsRightLine", "bsSpacer"});
const TEnumInfo kBevelStyleInfo("TBevelStyle", {"bsLowered", "bsRaised"});

bool ColorStored(TObject* o) { return !static_cast<TControl*>(o)->ParentColor(); }

}  // namespace

VM_PUBLISH(TCustomPanel) {
  P.Int("Color", &TCustomPanel::Color, &TCustomPanel::SetColor)
      .Default(clBtnFace)
      .Idents(ColorIdents)
      .Stored(ColorStored);
  P.String("Caption", &TCustomPanel::Caption, &TCustomPanel::SetCaption);
  P.Enum("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, AlignmentInfo).Default(taCenter);
  P.Enum("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, kBevelCutInfo).Default(bvNone);
  P.Enum("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, kBevelCutInfo).Default(bvRaised);
  P.Int("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Default(1);
  P.Int("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth).Default(0);
}
VM_DEFINE_CLASS(TPanel)

VM_PUBLISH(TBevel) {
  P.Enum("Shape", &TBevel::Shape, &TBevel::SetShape, kBevelShapeInfo).Default(bsBox);
  P.Enum("Style", &TBevel::Style, &TBevel::SetStyle, kBevelStyleInfo).Default(bsLowered);
}

VM_PUBLISH(TImage) {
  P.Object("Picture", &TImage::Picture, &TImage::SetPicture);
  P.Bool("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(false);
  P.Bool("Center", &TImage::Center, &TImage::SetCenter).Default(false);
  P.Bool("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(false);
}

VM_PUBLISH(TRadioGroup) {
  P.Strings("Items", &TRadioGroup::Items);
  P.Int("Columns", &TRadioGroup::Columns, &TRadioGroup::SetColumns).Default(1);
  P.Int("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex).Default(-1);
}

namespace {
struct ExtRegistrar {
  ExtRegistrar() {
    RegisterClasses({TPanel::StaticClass(), TBevel::StaticClass(), TImage::StaticClass(), TRadioGroup::StaticClass()});
  }
} gExtRegistrar;
}  // namespace

void Frame3D(TCanvas* Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width) {
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetStyle(psSolid);
  for (int i = 0; i < Width && R.Width() > 1 && R.Height() > 1; ++i) {
    Canvas->Pen()->SetColor(TopColor);
    Canvas->MoveTo(R.Left, R.Bottom - 1);
    Canvas->LineTo(R.Left, R.Top);
    Canvas->LineTo(R.Right - 1, R.Top);
    Canvas->Pen()->SetColor(BottomColor);
    Canvas->LineTo(R.Right - 1, R.Bottom - 1);
    Canvas->LineTo(R.Left - 1, R.Bottom - 1);
    R = Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
  }
}

// ---------------------------------------------------------------------------------------------
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FColor = clBtnFace;
  SetBounds(0, 0, 185, 41);
}

void TCustomPanel::BordersChanged() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
  FBevelInner = Value;
  BordersChanged();
}
void TCustomPanel::SetBevelOuter(TBevelCut Value) {
  FBevelOuter = Value;
  BordersChanged();
}
void TCustomPanel::SetBevelWidth(int Value) {
  FBevelWidth = std::max(1, Value);
  BordersChanged();
}
void TCustomPanel::SetBorderWidth(int Value) {
  FBorderWidth = std::max(0, Value);
  BordersChanged();
}
void TCustomPanel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}

TRect TCustomPanel::ClientRect() const {
  TRect r = TCustomControl::ClientRect();
  int inset = FBorderWidth + (FBevelOuter != bvNone ? FBevelWidth : 0) + (FBevelInner != bvNone ? FBevelWidth : 0);
  r.Left += inset;
  r.Top += inset;
  r.Right = std::max(r.Left, r.Right - inset);
  r.Bottom = std::max(r.Top, r.Bottom - inset);
  return r;
}

void TCustomPanel::Paint() {
  TCanvas* c = Canvas();
  TRect r = TCustomControl::ClientRect();
  auto bevel = [&](TBevelCut Cut) {
    if (Cut == bvNone) return;
    if (Cut == bvSpace) {
      r = Rect(r.Left + FBevelWidth, r.Top + FBevelWidth, r.Right - FBevelWidth, r.Bottom - FBevelWidth);
      return;
    }
    TColor top = Cut == bvLowered ? clBtnShadow : clBtnHighlight;
    TColor bottom = Cut == bvLowered ? clBtnHighlight : clBtnShadow;
    Frame3D(c, r, top, bottom, FBevelWidth);
  };
  bevel(FBevelOuter);
  r = Rect(r.Left + FBorderWidth, r.Top + FBorderWidth, r.Right - FBorderWidth, r.Bottom - FBorderWidth);
  bevel(FBevelInner);
  if (!FText.empty()) {
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(FFont.get());
    uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    flags |= FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
    c->DrawText(FText, r, flags);
  }
  TCustomControl::Paint();
}

// ---------------------------------------------------------------------------------------------
// TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape Value) {
  FShape = Value;
  Invalidate();
}
void TBevel::SetStyle(TBevelStyle Value) {
  FStyle = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* c = Canvas();
  TColor first = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor second = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  TRect r = ClientRect();
  auto line = [&](TColor Col, int X1, int Y1, int X2, int Y2) {
    c->Pen()->SetColor(Col);
    c->MoveTo(X1, Y1);
    c->LineTo(X2, Y2);
  };
  int w = FWidth, h = FHeight;
  switch (FShape) {
    case bsBox:
      Frame3D(c, r, first, second, 1);
      break;
    case bsFrame: {
      TRect outer = Rect(0, 0, w - 1, h - 1);
      Frame3D(c, outer, first, first, 1);
      TRect inner = Rect(1, 1, w, h);
      Frame3D(c, inner, second, second, 1);
      break;
    }
    case bsTopLine:
      line(first, 0, 0, w, 0);
      line(second, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(first, 0, h - 2, w, h - 2);
      line(second, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(first, 0, 0, 0, h);
      line(second, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(first, w - 2, 0, w - 2, h);
      line(second, w - 1, 0, w - 1, h);
      break;
    case bsSpacer:
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
  FPicture->OnChange = [this](TObject*) { Invalidate(); };
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

void TImage::SetPicture(TPicture* Value) { FPicture->Assign(Value); }
void TImage::SetStretch(bool Value) {
  FStretch = Value;
  Invalidate();
}
void TImage::SetCenter(bool Value) {
  FCenter = Value;
  Invalidate();
}
void TImage::SetProportional(bool Value) {
  FProportional = Value;
  Invalidate();
}

TRect TImage::DestRect() const {
  int pw = FPicture->Width(), ph = FPicture->Height();
  int cw = ClientWidth(), ch = ClientHeight();
  int w = pw, h = ph;
  if (pw > 0 && ph > 0 && (FStretch || (FProportional && (pw > cw || ph > ch)))) {
    if (FProportional) {
      // Fit the longer side; the other follows the picture's aspect.
      if (static_cast<int64_t>(cw) * ph <= static_cast<int64_t>(ch) * pw) {
        w = cw;
        h = static_cast<int>(static_cast<int64_t>(ph) * cw / pw);
      } else {
        h = ch;
        w = static_cast<int>(static_cast<int64_t>(pw) * ch / ph);
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  int x = 0, y = 0;
  if (FCenter) {
    x = (cw - w) / 2;
    y = (ch - h) / 2;
  }
  return Rect(x, y, x + w, y + h);
}

void TImage::Paint() {
  TGraphic* g = FPicture->Graphic();
  if (!g || FPicture->Width() <= 0 || FPicture->Height() <= 0) return;
  TRect d = DestRect();
  if (d.Width() == FPicture->Width() && d.Height() == FPicture->Height())
    Canvas()->Draw(d.Left, d.Top, g);
  else
    Canvas()->StretchDraw(d, g);
}

// ---------------------------------------------------------------------------------------------
// TRadioGroup

TRadioGroup::TRadioGroup(TComponent* AOwner) : TGroupBox(AOwner), FItems(std::make_unique<TStringList>()) {
  FItems->OnChange = [this](TObject*) { UpdateButtons(); };
}

TRadioGroup::~TRadioGroup() {
  FItems->OnChange = nullptr;
  FButtons.clear();  // the buttons go with their parent
}

namespace {
// Tab enters a radio group at its checked button (the first when none is); the arrow keys move
// inside it.
void SetGroupTabStops(const std::vector<TRadioButton*>& Buttons, int ItemIndex) {
  int stop = ItemIndex >= 0 && ItemIndex < static_cast<int>(Buttons.size()) ? ItemIndex : 0;
  for (int i = 0; i < static_cast<int>(Buttons.size()); ++i) Buttons[i]->SetTabStop(i == stop);
}
}  // namespace

TRadioButton* TRadioGroup::Buttons(int Index) const {
  return Index >= 0 && Index < static_cast<int>(FButtons.size()) ? FButtons[Index] : nullptr;
}

void TRadioGroup::UpdateButtons() {
  int n = FItems->Count();
  FUpdating = true;
  while (static_cast<int>(FButtons.size()) > n) {
    delete FButtons.back();
    FButtons.pop_back();
  }
  while (static_cast<int>(FButtons.size()) < n) {
    auto* b = new TRadioButton(nullptr);
    int index = static_cast<int>(FButtons.size());
    b->OnClick = [this, index](TObject*) { ButtonClicked(index); };
    b->SetParent(this);
    FButtons.push_back(b);
  }
  for (int i = 0; i < n; ++i) FButtons[i]->SetCaption(FItems->Strings(i));
  if (FItemIndex >= n) FItemIndex = -1;
  for (int i = 0; i < n; ++i) FButtons[i]->SetChecked(i == FItemIndex);
  SetGroupTabStops(FButtons, FItemIndex);
  FUpdating = false;
  ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
  int n = static_cast<int>(FButtons.size());
  if (n == 0) return;
  TRect r = ClientRect();
  int cols = std::max(1, FColumns);
  int rows = (n + cols - 1) / cols;
  int colWidth = std::max(1, (r.Width() - 8) / cols);
  int rowHeight = std::max(1, r.Height() / rows);
  for (int i = 0; i < n; ++i) {
    int col = i / rows, row = i % rows;
    FButtons[i]->SetBounds(r.Left + 6 + col * colWidth, r.Top + row * rowHeight + (rowHeight - 17) / 2, colWidth - 2,
                           std::min(17, rowHeight));
  }
}

void TRadioGroup::ButtonClicked(int Index) {
  if (FUpdating || Index == FItemIndex) return;
  FItemIndex = Index;
  SetGroupTabStops(FButtons, FItemIndex);
  Click();
}

void TRadioGroup::SetItemIndex(int Value) {
  if (ComponentState().Contains(csLoading)) {
    FItemIndex = Value;
    return;
  }
  if (Value < -1 || Value >= FItems->Count()) Value = -1;
  FItemIndex = Value;
  FUpdating = true;
  for (int i = 0; i < static_cast<int>(FButtons.size()); ++i) FButtons[i]->SetChecked(i == Value);
  SetGroupTabStops(FButtons, FItemIndex);
  FUpdating = false;
}

void TRadioGroup::SetColumns(int Value) {
  FColumns = std::clamp(Value, 1, 16);
  ArrangeButtons();
}

void TRadioGroup::Resize() {
  TGroupBox::Resize();
  ArrangeButtons();
}

void TRadioGroup::Loaded() {
  TGroupBox::Loaded();
  SetItemIndex(FItemIndex);
}
