#include "inspector/vm_blob.h"

#include <algorithm>
#include <cstring>

#include "inspector/vm_utils.h"
#include "platform/bitmap.h"
#include "platform/dialogs.h"
#include "platform/exceptions.h"
#include "platform/actnlist.h"
#include "platform/guards.h"
#include "platform/imglist.h"
#include "platform/menus.h"
#include "platform/richedit.h"
#include "platform/sysutils.h"

const char* const SvmCut = "Cu&t";
const char* const SvmCopy = "&Copy";
const char* const SvmPaste = "&Paste";
const char* const SvmDelete = "&Delete";
const char* const SvmLoad = "&Load...";
const char* const SvmSave = "&Save To...";
const char* const SvmPopupOK = "&OK";
const char* const SvmPopupCancel = "&Cancel";
const char* const SvmPopupClose = "&Close";

const TClipboardFormat CF_PICTURE = RegisterClipboardFormat("Picture");

bool ClipboardHasFormat(TClipboardFormat Format) {
  if (Format == CF_PICTURE) return Clipboard()->HasFormat(CF_BITMAP) || Clipboard()->HasFormat(CF_DIB);
  return Format != 0 && Clipboard()->HasFormat(Format);
}

// ---------------------------------------------------------------------------------------------
// Picture values

namespace {

// Every registered graphic kind, each as a fresh empty graphic (the caller owns them).
template <class F>
bool ForEachRegisteredGraphic(F Fn) {
  for (const std::string& ext : TPicture::RegisteredExtensions()) {
    std::unique_ptr<TGraphic> g(TPicture::CreateForExtension(ext));
    if (g && Fn(ext, g)) return true;
  }
  return false;
}

std::string ExtensionOfClass(TGraphicClass GraphicClass) {
  std::string found;
  ForEachRegisteredGraphic([&](const std::string& Ext, std::unique_ptr<TGraphic>& G) {
    if (G->ClassType() != GraphicClass) return false;
    found = Ext;
    return true;
  });
  return found;
}

// The open and save dialogs' filter for a graphic class (all kinds when none is known).
std::string FilterOfClass(TGraphicClass GraphicClass) {
  std::string ext = GraphicClass ? ExtensionOfClass(GraphicClass) : std::string();
  if (ext.empty()) return TPicture::GraphicFilter();
  return UpperCase(ext) + " (*." + ext + ")|*." + ext;
}

}  // namespace

TGraphic* CreateGraphicOfClass(TGraphicClass GraphicClass) {
  if (!GraphicClass) return nullptr;
  if (GraphicClass == TBitmap::StaticClass()) return new TBitmap();
  TGraphic* out = nullptr;
  ForEachRegisteredGraphic([&](const std::string&, std::unique_ptr<TGraphic>& G) {
    if (G->ClassType() != GraphicClass) return false;
    out = G.release();
    return true;
  });
  return out;
}

void TMemoryStreamReadOnly::AttachBuffer(const void* Buffer, int64_t Size) {
  FData = static_cast<const uint8_t*>(Buffer);
  FSize = Size;
  FPosition = 0;
}

int64_t TMemoryStreamReadOnly::Read(void* Buffer, int64_t Count) {
  int64_t n = std::max<int64_t>(0, std::min(Count, FSize - FPosition));
  if (n > 0) std::memcpy(Buffer, FData + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStreamReadOnly::Seek(int64_t Offset, TSeekOrigin Origin) {
  int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : FSize;
  FPosition = std::clamp<int64_t>(base + Offset, 0, FSize);
  return FPosition;
}

bool PictureHasNoGraphic(TPicture* Picture) { return !Picture || !Picture->Graphic() || Picture->Graphic()->Empty(); }

void LoadPictureFromString(TPicture* Picture, TGraphicClass GraphicClass, const Variant& Value) {
  if (!Picture) return;
  if (!Value.IsString() || Value.AsString().size() < 8) {
    Picture->SetGraphic(nullptr);
    return;
  }
  const std::string data = Value.AsString();
  auto u16 = [&](size_t At) { return static_cast<uint16_t>(uint8_t(data[At]) | (uint8_t(data[At + 1]) << 8)); };
  const uint32_t length = u16(4) | (static_cast<uint32_t>(u16(6)) << 16);
  const size_t start = u16(0) == 1 && u16(2) == 0x0100 && length == data.size() - 8 ? 8 : 0;
  TMemoryStreamReadOnly stream;
  stream.AttachBuffer(data.data() + start, static_cast<int64_t>(data.size() - start));
  if (stream.Size() == 0) {
    Picture->SetGraphic(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> g(CreateGraphicOfClass(GraphicClass));
  if (g) {
    g->LoadFromStream(stream);
    Picture->SetGraphic(g.get());
    return;
  }
  // Without a class: a bitmap, or else whichever registered kind reads the data (so a picture
  // loaded from a compressed file and saved as its own bytes reads back).
  try {
    TBitmap b;
    b.LoadFromStream(stream);
    Picture->SetGraphic(&b);
    return;
  } catch (const EInvalidGraphic&) {}
  bool loaded = ForEachRegisteredGraphic([&](const std::string&, std::unique_ptr<TGraphic>& G) {
    if (G->ClassType() == TBitmap::StaticClass()) return false;
    stream.SetPosition(0);
    try {
      G->LoadFromStream(stream);
    } catch (const Exception&) {
      return false;
    }
    Picture->SetGraphic(G.get());
    return true;
  });
  if (!loaded) throw EInvalidGraphic("Bitmap image is not valid");
}

std::string SavePictureToString(TPicture* Picture) {
  if (PictureHasNoGraphic(Picture)) return std::string();
  TMemoryStream s;
  Picture->Graphic()->SaveToStream(s);
  return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

// ---------------------------------------------------------------------------------------------
// Glyphs and icons (drawn once, 16 x 16, olive where transparent)

namespace {

void Line(TCanvas* C, TColor Color, int X1, int Y1, int X2, int Y2) {
  C->Pen()->SetColor(Color);
  C->MoveTo(X1, Y1);
  C->LineTo(X2, Y2);
}

void DrawCommandGlyph(TCanvas* C, int Index) {
  switch (Index) {
    case 0:  // cut: scissors
      Line(C, clBlack, 4, 1, 9, 9);
      Line(C, clBlack, 11, 1, 6, 9);
      C->Brush()->SetStyle(bsClear);
      C->Pen()->SetColor(clNavy);
      C->Ellipse(3, 9, 8, 14);
      C->Ellipse(8, 9, 13, 14);
      break;
    case 1:  // copy: two pages
      C->Pen()->SetColor(clBlack);
      C->Brush()->SetColor(clWhite);
      C->Rectangle(1, 1, 9, 11);
      C->Rectangle(6, 5, 14, 15);
      break;
    case 2:  // paste: a board and a page
      C->Pen()->SetColor(clBlack);
      C->Brush()->SetColor(clMaroon);
      C->Rectangle(1, 2, 11, 14);
      C->Brush()->SetColor(clWhite);
      C->Rectangle(6, 6, 15, 15);
      break;
    case 3:  // delete: a cross
      for (int d = 0; d < 2; ++d) {
        Line(C, clRed, 3 + d, 3, 12 + d, 12);
        Line(C, clRed, 12 + d, 3, 3 + d, 12);
      }
      break;
    case 4:  // load: an open folder
      C->Pen()->SetColor(clBlack);
      C->Brush()->SetColor(clYellow);
      C->Rectangle(1, 4, 13, 13);
      Line(C, clBlack, 13, 7, 15, 7);
      break;
    case 5:  // save: a disk
      C->Pen()->SetColor(clBlack);
      C->Brush()->SetColor(clNavy);
      C->Rectangle(1, 1, 15, 15);
      FillRectColor(C, Rect(4, 2, 12, 7), clWhite);
      FillRectColor(C, Rect(4, 10, 12, 15), clSilver);
      break;
    default:
      break;
  }
}

// Blob icons: blob, memo, picture, OLE; even indexes are the empty look (outline only).
void DrawBlobIcon(TCanvas* C, int Index) {
  const bool full = Index % 2 == 1;
  const TColor ink = full ? clBlack : clGray;
  C->Pen()->SetColor(ink);
  C->Brush()->SetColor(full ? clWhite : clOlive);
  C->Rectangle(2, 1, 14, 15);
  if (!full) return;
  switch (Index / 2) {
    case 0:  // blob: bits
      for (int y = 4; y < 13; y += 3) FillRectColor(C, Rect(4, y, 12, y + 2), clNavy);
      break;
    case 1:  // memo: lines of text
      for (int y = 4; y < 13; y += 2) Line(C, clBlack, 4, y, 12, y);
      break;
    case 2:  // picture: sky and a hill
      FillRectColor(C, Rect(3, 2, 13, 9), clAqua);
      FillRectColor(C, Rect(3, 9, 13, 14), clGreen);
      break;
    default:  // OLE: two linked boxes
      FillRectColor(C, Rect(4, 3, 8, 7), clRed);
      FillRectColor(C, Rect(8, 9, 12, 13), clBlue);
      break;
  }
}

std::unique_ptr<TImageList> MakeImageList(int Count, void (*Draw)(TCanvas*, int)) {
  auto list = std::make_unique<TImageList>(nullptr);
  list->SetWidth(16);
  list->SetHeight(16);
  for (int i = 0; i < Count; ++i) {
    TBitmap b(16, 16);
    FillRectColor(b.Canvas(), Rect(0, 0, 16, 16), clOlive);
    Draw(b.Canvas(), i);
    list->AddMasked(&b, clOlive);
  }
  return list;
}

}  // namespace

TImageList* PopupToolBarImages() {
  static std::unique_ptr<TImageList> list = MakeImageList(6, DrawCommandGlyph);
  return list.get();
}

TImageList* BlobImages() {
  static std::unique_ptr<TImageList> list = MakeImageList(8, DrawBlobIcon);
  return list.get();
}

// ---------------------------------------------------------------------------------------------
// Corner grips

int CornerHitTest(TvmPopupCorner Corner) {
  switch (Corner) {
    case 0:
      return HTTOPLEFT;
    case 1:
      return HTTOPRIGHT;
    case 2:
      return HTBOTTOMLEFT;
    default:
      return HTBOTTOMRIGHT;
  }
}

int PopupCaptionHeight() { return std::max(SystemScrollBarSize + 2, 18) + 1; }

void DrawCornerGrip(TCanvas* DC, TRect& R, TvmPopupCorner Corner) {
  const bool right = Corner == 1 || Corner == 3, bottom = Corner == 2 || Corner == 3;
  const int s = SystemScrollBarSize;
  R = Rect(right ? R.Right - s : R.Left, bottom ? R.Bottom - s : R.Top, right ? R.Right : R.Left + s,
           bottom ? R.Bottom : R.Top + s);
  FillRectColor(DC, R, clBtnFace);
  // Three pairs of diagonal lines pointing into the corner.
  for (int k = 0; k < 3; ++k) {
    for (int pass = 0; pass < 2; ++pass) {
      const int d = 4 * k + 3 + pass;
      const TColor c = pass == 0 ? clBtnHighlight : clBtnShadow;
      int x1 = right ? R.Right - d : R.Left + d - 1, y1 = bottom ? R.Bottom - 1 : R.Top;
      int x2 = right ? R.Right - 1 : R.Left, y2 = bottom ? R.Bottom - d : R.Top + d - 1;
      DC->Pen()->SetColor(c);
      DC->MoveTo(x1, y1);
      DC->LineTo(x2 + (right ? 1 : -1), y2 + (bottom ? -1 : 1));
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Blob popup

VM_DEFINE_CLASS(TCustomvmBlobPopup)

namespace {

struct TPanelMetrics {
  int M0, G, M1, Gap, ButtonHeight, ButtonWidth, Height, Border;
};

int BlobBorderWidth(TvmPopupBorder Border) {
  switch (Border) {
    case pbFrame3D:
      return 4;
    case pbFlat:
      return 2;
    default:
      return 1;
  }
}

TPanelMetrics PanelMetrics(TCustomvmBlobPopup* P) {
  TCanvas* c = P->Canvas();
  c->Font()->Assign(P->Font());
  TPanelMetrics m;
  const TvmPopupBorder b = P->PopupBorder();
  m.M0 = b == pbSingle || b == pbFlat || b == pbDefault ? 2 : 4;
  m.G = P->Sizeable ? SystemScrollBarSize : c->TextWidth("0");
  const int h = c->TextHeight("Wg");
  m.M1 = h / 3;
  m.Gap = c->TextWidth("0");
  m.ButtonHeight = h * 20 / 13;
  m.ButtonWidth = 0;
  for (const char* cap : {SvmPopupOK, SvmPopupCancel, SvmPopupClose})
    m.ButtonWidth = std::max(m.ButtonWidth, c->TextWidth(StripHotkey(cap) + "00"));
  m.Height = 2 * m.M1 + m.M0 + m.ButtonHeight;
  m.Border = BlobBorderWidth(b);
  return m;
}

}  // namespace

TCustomvmBlobPopup::TCustomvmBlobPopup(TComponent* AOwner)
    : TvmInplacePopupControl(AOwner), ClipboardFormat(CF_PICTURE) {
  FIsPopup = true;
  FDrawsFrame = false;
  FTabStop = true;
  SetColor(clWindow);
  SetBounds(0, 0, 185, 89);
  FMemo = new TRichEditControl(this, true);
  FMemo->SetParent(this);
  FMemo->SetTabStop(false);
  FMemo->OnKeyDown = [this](TObject*, uint16_t& Key, TShiftState Shift) { PopupKeyDown(Key, Shift); };
  FMemo->OnKeyPress = [this](TObject*, char& Key) { PopupKeyPress(Key); };
  FMemo->OnExit = [this](TObject*) { MemoExit(); };
  FMemo->OnChange = [this](TObject*) {
    if (!FRecasing) ApplyCharCase();
    DoChange();
  };
  FMemo->OnMouseUp = [this](TObject*, TMouseButton B, TShiftState, int X, int Y) {
    if (B == mbRight) ContextMenuRequest(X + FMemo->Left(), Y + FMemo->Top());
  };
}

TCustomvmBlobPopup::~TCustomvmBlobPopup() {
  if (FMemo) {
    FMemo->OnChange = nullptr;
    FMemo->OnExit = nullptr;
  }
}

void TCustomvmBlobPopup::SetMode(TvmBlobEditKind Value) {
  if (FMode == Value) return;
  FMode = Value;
  FScrollPos = TPoint();
  LayoutMemo();
  Invalidate();
}

void TCustomvmBlobPopup::SetMaxLength(int Value) {
  FMaxLength = Value;
  FMemo->SetMaxLength(Value);
}

std::string TCustomvmBlobPopup::Text() const { return FMemo->GetText(); }

void TCustomvmBlobPopup::SetText(const std::string& Value) {
  FRecasing = true;
  FMemo->SetText(Value);
  FRecasing = false;
  FMemo->SetModified(false);
}

TPicture* TCustomvmBlobPopup::Picture() {
  if (!FPicture) {
    FPicture = std::make_unique<TPicture>();
    FPicture->OnChange = [this](TObject* S) { PictureChanged(S); };
  }
  return FPicture.get();
}

void TCustomvmBlobPopup::PictureChanged(TObject*) {
  if (FApplyingTransparency) return;
  if (GraphicTransparency != gtDefault && !PictureHasNoGraphic(FPicture.get())) {
    FApplyingTransparency = true;
    FPicture->Graphic()->SetTransparent(GraphicTransparency == gtTransparent);
    FApplyingTransparency = false;
  }
  ScrollTo(FScrollPos.X, FScrollPos.Y);
  SetModified(true);
  DoChange();
  Invalidate();
}

bool TCustomvmBlobPopup::Modified() const { return PictureMode() ? FModified : FMemo->Modified() || FModified; }

void TCustomvmBlobPopup::SetModified(bool Value) {
  FModified = Value;
  if (!Value) FMemo->SetModified(false);
  Invalidate();
}

void TCustomvmBlobPopup::SetReadOnly(bool Value) {
  FReadOnly = Value;
  FMemo->SetReadOnly(Value);
  Invalidate();
}

bool TCustomvmBlobPopup::HasButton(int Index) const { return FReadOnly ? Index == 2 : Index == 0 || Index == 1; }

bool TCustomvmBlobPopup::OwnerCanModify() const { return !FOwnerEdit || FOwnerEdit->CanModify(); }

int TCustomvmBlobPopup::PanelHeight() { return PanelMetrics(this).Height; }

TRect TCustomvmBlobPopup::ContentArea() const {
  auto* self = const_cast<TCustomvmBlobPopup*>(this);
  TPanelMetrics m = PanelMetrics(self);
  TRect r = Rect(m.Border, m.Border, Width() - m.Border, Height() - m.Border);
  if (FGripCorner >= 2)
    r.Bottom -= m.Height;
  else
    r.Top += m.Height;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  if (r.Right < r.Left) r.Right = r.Left;
  return r;
}

TRect TCustomvmBlobPopup::ButtonRect(int Index) {
  TPanelMetrics m = PanelMetrics(this);
  const TRect content = ContentArea();
  const int panelTop = FGripCorner >= 2 ? content.Bottom : m.Border;
  const int top = panelTop + m.M0 + m.M1;
  int right = Width() - m.Border - m.G;
  for (int b = 2; b >= 0; --b) {
    if (!HasButton(b)) continue;
    TRect r = Rect(right - m.ButtonWidth, top, right, top + m.ButtonHeight);
    if (b == Index) return r;
    right -= m.ButtonWidth + m.Gap;
  }
  return TRect();
}

TRect TCustomvmBlobPopup::GripRect() const {
  if (!Sizeable) return TRect();
  TRect r = Rect(0, 0, Width(), Height());
  const bool right = FGripCorner == 1 || FGripCorner == 3, bottom = FGripCorner >= 2;
  const int s = SystemScrollBarSize;
  return Rect(right ? r.Right - s : 0, bottom ? r.Bottom - s : 0, right ? r.Right : s, bottom ? r.Bottom : s);
}

TSize TCustomvmBlobPopup::GetMinSize() {
  TPanelMetrics m = PanelMetrics(this);
  int n = 0;
  for (int b = 0; b < 3; ++b) n += HasButton(b) ? 1 : 0;
  return TSize(2 * m.G + (m.ButtonWidth + m.Gap) * n + 2 * m.Border - m.Gap + 2, 3 * SystemScrollBarSize + m.Height);
}

void TCustomvmBlobPopup::PlaceAt(const TPoint& Point, int AWidth, int AHeight, int EditorWidth, int EditorHeight) {
  FScrollPos = TPoint();
  FGripCorner = 3;
  TPanelMetrics m = PanelMetrics(this);
  const TSize minSize = GetMinSize();
  TRect wa;
  GetWorkAreaAt(Point, wa);
  const int availW = wa.Width();
  const int availH = std::max(wa.Bottom - Point.Y, Point.Y - EditorHeight - wa.Top);
  int cw = AWidth - 2 * m.Border, ch = AHeight - m.Height - 2 * m.Border;
  if (PictureMode() && AutoSize && !PictureHasNoGraphic(FPicture.get())) {
    double w = FPicture->Width(), h = FPicture->Height();
    const double maxW = availW - 2 * m.Border, maxH = availH - m.Height - 2 * m.Border;
    if (w > maxW && maxW > 0) {
      h = h * maxW / w;
      w = maxW;
    }
    if (h > maxH && maxH > 0) {
      w = w * maxH / h;
      h = maxH;
    }
    cw = static_cast<int>(w);
    ch = static_cast<int>(h);
  }
  const int w = std::min(std::max(cw + 2 * m.Border, minSize.cx), availW);
  const int h = std::min(std::max(ch + m.Height + 2 * m.Border, minSize.cy), availH);
  TPoint p = Point;
  bool rightAligned = false, above = false;
  if (w > EditorWidth && p.X + w > wa.Right && wa.Right - Point.X < Point.X + EditorWidth - wa.Left) {
    p.X = Point.X + EditorWidth - w;
    rightAligned = true;
  }
  if (p.Y + h > wa.Bottom && wa.Bottom - Point.Y < Point.Y - EditorHeight - wa.Top) {
    p.Y = Point.Y - EditorHeight - h;
    above = true;
  }
  FGripCorner = above ? (rightAligned ? 0 : 1) : (rightAligned ? 2 : 3);
  // An editor partly off the screen does not take its popup with it.
  p.X = std::max<int>(wa.Left, std::min<int>(p.X, wa.Right - w));
  if (Parent()) p = Parent()->ScreenToClient(p);
  SetBounds(p.X, p.Y, w, h);
}

void TCustomvmBlobPopup::LayoutMemo() {
  if (!FMemo) return;
  if (PictureMode()) {
    FMemo->SetVisible(false);
    return;
  }
  TRect r = ContentArea();
  FMemo->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  FMemo->SetColor(Color());
  FMemo->SetFont(Font());
  FMemo->SetWordWrap(WordWrap);
  FMemo->SetScrollBars(ScrollBars, HideScrollBars);
  FMemo->SetTextOrigin(1 + (SelectionBar ? 8 : 0), 1, 1);
  FMemo->SetVisible(true);
}

void TCustomvmBlobPopup::Resize() {
  TvmInplacePopupControl::Resize();
  LayoutMemo();
  ScrollTo(FScrollPos.X, FScrollPos.Y);
}

int TCustomvmBlobPopup::TrackToScroll(int Track, int ClientSize, int PictureSize) {
  if (Track <= 0) return 0;
  if (ClientSize + Track + 1 < PictureSize) return (Track + 1) / 4 * 4;
  return Track + 1;
}

void TCustomvmBlobPopup::ScrollTo(int X, int Y) {
  TRect c = ContentArea();
  if (!PictureMode() || AutoSize || PictureHasNoGraphic(FPicture.get())) {
    FScrollPos = TPoint();
    return;
  }
  TPoint p(std::clamp(X, 0, std::max(0, FPicture->Width() - c.Width())),
           std::clamp(Y, 0, std::max(0, FPicture->Height() - c.Height())));
  if (p.X == FScrollPos.X && p.Y == FScrollPos.Y) return;
  FScrollPos = p;
  Invalidate();
}

void TCustomvmBlobPopup::ShowPopup() {
  FSaved = false;
  FPressedButton = -1;
  FTracking = FSizing = false;
  LayoutMemo();
  TvmInplacePopupControl::ShowPopup();
  if (!PictureMode() && FMemo->CanFocus())
    FMemo->SetFocus();
  else if (CanFocus())
    SetFocus();
}

void TCustomvmBlobPopup::ClosePopup() {
  if (!Visible()) return;
  FRememberedText = Text();
  DoPopupClosed();
  SetMouseCapture(false);
  TvmInplacePopupControl::ClosePopup();
  if (AlwaysSaveText) SaveValue();
}

void TCustomvmBlobPopup::DoPopupClosed() {
  if (PopupClosedHook) PopupClosedHook(this);
}

void TCustomvmBlobPopup::SaveValue() {
  if (!FSaved && Modified() && AcceptHook) AcceptHook(this);
  FSaved = true;
}

void TCustomvmBlobPopup::CloseByButton(int Button) {
  if (Button == 1 || Button == 2) {
    FSaved = true;
    ClosePopup();
  } else {
    ClosePopup();
    SaveValue();
  }
}

void TCustomvmBlobPopup::DoChange() {
  if (OnChange) OnChange(this);
  Invalidate();  // the OK button follows Modified
}

void TCustomvmBlobPopup::ApplyCharCase() {
  if (CharCase == ecNormal || PictureMode()) return;
  std::string text = FMemo->GetText();
  std::string cased = ::ApplyCharCase(text, CharCase);
  if (cased == text) return;
  const int s = FMemo->SelStart(), l = FMemo->SelLength();
  const bool modified = FMemo->Modified();
  FRecasing = true;
  FMemo->SetText(cased);
  FMemo->SetSelection(s, s + l);
  FRecasing = false;
  FMemo->SetModified(modified || true);
}

void TCustomvmBlobPopup::MemoExit() {
  if (!Visible()) return;
  // Focus moved to the popup itself (its panel or picture) keeps it open.
  if (FocusedControl() == this) return;
  ClosePopup();
}

void TCustomvmBlobPopup::DoExit() {
  TCustomControl::DoExit();
  if (!Visible()) return;
  TWinControl* f = FocusedControl();
  if (f == FMemo && f != nullptr && !PictureMode()) return;
  ClosePopup();
}

void TCustomvmBlobPopup::PopupKeyDown(uint16_t& Key, TShiftState Shift) {
  const bool alt = Shift.Contains(ssAlt), ctrl = Shift.Contains(ssCtrl), shift = Shift.Contains(ssShift);
  auto* owner = FOwnerEdit;
  if (Key == VK_TAB && !(WantTabs && !PictureMode()) && owner && owner->InplaceMode()) {
    ClosePopup();
    uint16_t k = VK_TAB;
    owner->GetContainer()->ContainerKeyDown(k, Shift);
    Key = 0;
    return;
  }
  if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F1 + 3 && !alt)) {
    ClosePopup();
    SetModified(false);
    Key = 0;
    return;
  }
  if ((Key == VK_ESCAPE && !alt) || (alt && Key == 'C')) {
    SetModified(false);
    CloseByButton(1);
    Key = 0;
    return;
  }
  if (Key == VK_RETURN && (ctrl || !WantReturns || PictureMode())) {
    CloseByButton(0);
    Key = 0;
    return;
  }
  if (alt && Key == 'O' && HasButton(0)) {
    CloseByButton(0);
    Key = 0;
    return;
  }
  if (!PictureMode()) return;
  if (shift && Key == VK_INSERT)
    PasteFromClipboard();
  else if (ctrl && Key == VK_INSERT)
    CopyToClipboard();
  else if (shift && Key == VK_DELETE)
    CutToClipboard();
  else if (ctrl && Key == 'C')
    CopyToClipboard();
  else if (ctrl && Key == 'V')
    PasteFromClipboard();
  else if (ctrl && Key == 'X')
    CutToClipboard();
  else if (Key == VK_HOME)
    ScrollTo(0, 0);
  else if (Key == VK_END && FPicture)
    ScrollTo(FPicture->Width(), FPicture->Height());
  else if (Key == VK_DOWN)
    ScrollTo(FScrollPos.X, FScrollPos.Y + SystemScrollBarSize);
  else if (Key == VK_UP)
    ScrollTo(FScrollPos.X, FScrollPos.Y - SystemScrollBarSize);
  else if (Key == VK_RIGHT)
    ScrollTo(FScrollPos.X + SystemScrollBarSize, FScrollPos.Y);
  else if (Key == VK_LEFT)
    ScrollTo(FScrollPos.X - SystemScrollBarSize, FScrollPos.Y);
  else
    return;
  Key = 0;
}

void TCustomvmBlobPopup::PopupKeyPress(char& Key) {
  if (Key == '\n' && HasButton(0)) Key = 0;
  if (Key == '\t' && !WantTabs) Key = 0;
}

void TCustomvmBlobPopup::KeyDown(uint16_t& Key, TShiftState Shift) {
  PopupKeyDown(Key, Shift);
  if (Key) TvmInplacePopupControl::KeyDown(Key, Shift);
}

void TCustomvmBlobPopup::KeyPress(char& Key) {
  PopupKeyPress(Key);
  if (Key) TvmInplacePopupControl::KeyPress(Key);
}

int TCustomvmBlobPopup::ButtonAtPoint(int X, int Y) {
  for (int b = 0; b < 3; ++b)
    if (HasButton(b) && PtInRect(ButtonRect(b), TPoint(X, Y))) return b;
  return -1;
}

void TCustomvmBlobPopup::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (Sizeable && PtInRect(GripRect(), TPoint(X, Y))) {
      FSizing = true;
      FSizeStart = ClientToScreen(TPoint(X, Y));
      FSizeBounds = BoundsRect();
      SetMouseCapture(true);
      return;
    }
    int b = ButtonAtPoint(X, Y);
    if (b >= 0 && (b != 0 || Modified())) {
      FPressedButton = b;
      FTracking = FButtonDown = true;
      SetMouseCapture(true);
      Invalidate();
      return;
    }
  }
  if (PictureMode() && !Focused() && CanFocus()) SetFocus();
  TvmInplacePopupControl::MouseDown(Button, Shift, X, Y);
}

void TCustomvmBlobPopup::MouseMove(TShiftState Shift, int X, int Y) {
  if (FSizing) {
    const TPoint p = ClientToScreen(TPoint(X, Y));
    const int dx = p.X - FSizeStart.X, dy = p.Y - FSizeStart.Y;
    const TSize minSize = GetMinSize();
    TRect r = FSizeBounds;
    const bool right = FGripCorner == 1 || FGripCorner == 3, bottom = FGripCorner >= 2;
    if (right)
      r.Right = std::max(r.Left + minSize.cx, r.Right + dx);
    else
      r.Left = std::min(r.Right - minSize.cx, r.Left + dx);
    if (bottom)
      r.Bottom = std::max(r.Top + minSize.cy, r.Bottom + dy);
    else
      r.Top = std::min(r.Bottom - minSize.cy, r.Top + dy);
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    return;
  }
  if (FTracking) {
    bool down = ButtonAtPoint(X, Y) == FPressedButton;
    if (down != FButtonDown) {
      FButtonDown = down;
      Invalidate();
    }
  }
  TvmInplacePopupControl::MouseMove(Shift, X, Y);
}

void TCustomvmBlobPopup::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FSizing) {
    FSizing = false;
    SetMouseCapture(false);
    return;
  }
  if (FTracking) {
    const int b = FPressedButton;
    const bool over = ButtonAtPoint(X, Y) == b;
    FTracking = FButtonDown = false;
    FPressedButton = -1;
    SetMouseCapture(false);
    Invalidate();
    if (over) CloseByButton(b);
    return;
  }
  TvmInplacePopupControl::MouseUp(Button, Shift, X, Y);
  if (Button == mbRight) ContextMenuRequest(X, Y);
}

bool TCustomvmBlobPopup::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (PictureMode()) {
    ScrollTo(FScrollPos.X, FScrollPos.Y + (WheelDelta > 0 ? -1 : 1) * SystemScrollBarSize);
    return true;
  }
  return TvmInplacePopupControl::DoMouseWheel(Shift, WheelDelta, MousePos);
}

void TCustomvmBlobPopup::Paint() {
  TCanvas* c = Canvas();
  TPanelMetrics m = PanelMetrics(this);
  TRect r = Rect(0, 0, Width(), Height());
  FillRectColor(c, r, clBtnFace);
  DrawPopupBorder(c, r, FPopupBorder == pbDefault ? pbSingle : FPopupBorder, false, false, 0);
  const TRect content = ContentArea();
  // Separator between the panel and the content.
  const int sepY = FGripCorner >= 2 ? content.Bottom : content.Top - 1;
  FillRectColor(c, Rect(content.Left, sepY, content.Right, sepY + 1), clBtnShadow);
  // Buttons.
  c->Font()->Assign(Font());
  for (int b = 0; b < 3; ++b) {
    if (!HasButton(b)) continue;
    TRect br = ButtonRect(b);
    const bool pressed = FTracking && FPressedButton == b && FButtonDown;
    const bool enabled = b != 0 || Modified();
    FillRectColor(c, br, clBtnFace);
    TRect e = br;
    DrawEdge(c, e, pressed ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT | BF_ADJUST);
    if (pressed) OffsetRect(e, 1, 1);
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(enabled ? clBtnText : clBtnShadow);
    const char* cap = b == 0 ? SvmPopupOK : b == 1 ? SvmPopupCancel : SvmPopupClose;
    c->DrawText(cap, e, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    c->Brush()->SetStyle(bsSolid);
  }
  if (Sizeable) {
    TRect g = Rect(m.Border, m.Border, Width() - m.Border, Height() - m.Border);
    DrawCornerGrip(c, g, FGripCorner);
  }
  if (!PictureMode()) return;
  // The picture: fitted when AutoSize, else at natural size from the scroll position.
  if (content.Width() <= 0 || content.Height() <= 0) return;
  TBitmap area(content.Width(), content.Height());
  FillRectColor(area.Canvas(), Rect(0, 0, content.Width(), content.Height()), Color());
  if (!PictureHasNoGraphic(FPicture.get())) {
    TGraphic* g = FPicture->Graphic();
    if (AutoSize) {
      double k = std::min(double(content.Width()) / g->Width(), double(content.Height()) / g->Height());
      area.Canvas()->StretchDraw(Rect(0, 0, static_cast<int>(g->Width() * k), static_cast<int>(g->Height() * k)), g);
    } else {
      area.Canvas()->Draw(-FScrollPos.X, -FScrollPos.Y, g);
    }
  }
  c->Draw(content.Left, content.Top, &area);
}

// Picture commands

void TCustomvmBlobPopup::CopyToClipboard() {
  if (PictureMode()) {
    if (!PictureHasNoGraphic(FPicture.get())) Clipboard()->Assign(FPicture.get());
  } else {
    FMemo->CopyToClipboard();
  }
}

void TCustomvmBlobPopup::CutToClipboard() {
  if (!PictureMode()) {
    FMemo->CutToClipboard();
    return;
  }
  CopyToClipboard();
  if (!FReadOnly && OwnerCanModify() && !PictureHasNoGraphic(FPicture.get())) Picture()->SetGraphic(nullptr);
}

void TCustomvmBlobPopup::PasteFromClipboard() {
  if (!PictureMode()) {
    FMemo->PasteFromClipboard();
    return;
  }
  if (FReadOnly || !ClipboardHasFormat(ClipboardFormat) || !OwnerCanModify()) return;
  Clipboard()->AssignTo(Picture());
}

void TCustomvmBlobPopup::DeletePicture() {
  if (FReadOnly || PictureHasNoGraphic(FPicture.get()) || !OwnerCanModify()) return;
  Picture()->SetGraphic(nullptr);
}

void TCustomvmBlobPopup::LoadPicture() {
  if (FReadOnly) return;
  TOpenDialog d(nullptr);
  d.SetFilter(PictureFilter.empty() ? TPicture::GraphicFilter() : PictureFilter);
  if (!d.Execute() || !OwnerCanModify()) return;
  TScopeFail closePopup([&] { ClosePopup(); });
  Picture()->LoadFromFile(d.FileName());
}

void TCustomvmBlobPopup::SavePicture() {
  if (PictureHasNoGraphic(FPicture.get())) return;
  TSaveDialog d(nullptr);
  TGraphicClass cls = FPicture->Graphic()->ClassType();
  d.SetFilter(PictureFilter.empty() ? FilterOfClass(cls) : PictureFilter);
  d.SetDefaultExt(ExtensionOfClass(cls));
  if (d.Execute()) FPicture->SaveToFile(d.FileName());
}

void TCustomvmBlobPopup::ContextMenuRequest(int X, int Y) {
  FShownMenu = nullptr;
  if (ControlPopupMenu(this) || (PictureMode() && !ShowPicturePopup)) return;
  FMenu = std::make_unique<TPopupMenu>(nullptr);
  auto add = [this](const std::string& Caption, bool Enabled, int Image, std::function<void()> Fn) {
    auto* item = new TMenuItem(FMenu.get());
    item->SetCaption(Caption);
    item->SetEnabled(Enabled);
    item->SetImageIndex(Image);
    if (Fn) item->OnClick = [Fn](TObject*) { Fn(); };
    FMenu->Items()->Add(item);
    return item;
  };
  if (PictureMode()) {
    FMenu->SetImages(PopupToolBarImages());
    const bool has = !PictureHasNoGraphic(FPicture.get());
    add(SvmCut, has && !FReadOnly, 0, [this] { CutToClipboard(); })->SetShortCut(ShortCut('X', {ssCtrl}));
    add(SvmCopy, has, 1, [this] { CopyToClipboard(); })->SetShortCut(ShortCut('C', {ssCtrl}));
    add(SvmPaste, !FReadOnly && ClipboardHasFormat(ClipboardFormat), 2, [this] {
      PasteFromClipboard();
    })->SetShortCut(ShortCut('V', {ssCtrl}));
    add(SvmDelete, has && !FReadOnly, 3, [this] { DeletePicture(); });
    add("-", true, -1, nullptr);
    if (ShowExPopupItems) {
      add(SvmLoad, !FReadOnly, 4, [this] { LoadPicture(); });
      add(SvmSave, has, 5, [this] { SavePicture(); });
    }
  } else {
    const bool sel = FMemo->SelLength() > 0;
    if (FMemo->CanUndo()) add(SvmMenuUndo, true, -1, [this] { FMemo->Undo(); });
    if (FMemo->CanRedo()) add(SvmMenuRedo, true, -1, [this] { FMemo->Redo(); });
    add("-", true, -1, nullptr);
    add(SvmMenuCut, sel && !FReadOnly, -1, [this] { FMemo->CutToClipboard(); });
    add(SvmMenuCopy, sel, -1, [this] { FMemo->CopyToClipboard(); });
    add(SvmMenuPaste, !FReadOnly && FMemo->CanPaste(), -1, [this] { FMemo->PasteFromClipboard(); });
    add(SvmMenuDelete, sel && !FReadOnly, -1, [this] { FMemo->ClearSelection(); });
    add("-", true, -1, nullptr);
    add(SvmMenuSelectAll, FMemo->SelLength() < FMemo->TextLength(), -1, [this] { FMemo->SelectAll(); });
  }
  X = std::min(X, Width());
  TPoint p = ClientToScreen(TPoint(X, Y));
  FMenu->Popup(p.X, p.Y);
  FShownMenu = FMenu.get();
}

// ---------------------------------------------------------------------------------------------
// Blob editor

VM_DEFINE_CLASS(TvmInplaceBlobEdit)

TvmInplaceBlobEdit::TvmInplaceBlobEdit(TComponent* AOwner)
    : TvmInplaceDropDownEdit(AOwner), PictureClipboardFormat(CF_PICTURE) {
  FRouteKeysToList = false;
  FPopupOnClick = true;
}

TvmInplaceBlobEdit::~TvmInplaceBlobEdit() {
  if (FPopup) {
    FPopup->AcceptHook = nullptr;
    FPopup->PopupClosedHook = nullptr;
    FPopup->SetOwnerEdit(nullptr);
  }
}

void TvmInplaceBlobEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TvmInplaceDropDownEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopup) {
    if (FCurrentPopup == FPopup) {
      FCurrentPopup = nullptr;
      FPopupShown = false;
    }
    FPopup = nullptr;
  }
}

void TvmInplaceBlobEdit::SetBlobValue(const std::string& Text) {
  if (Text == FBlobValue) return;
  if (InplaceMode() && GetContainer()->InitializingEditor()) {
    FBlobValue = Text;
  } else {
    if (!CanModify()) return;
    FBlobValue = Text;
    DoChange();
  }
  Invalidate();
}

void TvmInplaceBlobEdit::SetDisplayText(const std::string& Text) {
  SetWindowText(Text);
  Invalidate();
}

void TvmInplaceBlobEdit::SetBlobEditKind(TvmBlobEditKind Value) {
  if (FBlobEditKind == Value) return;
  FBlobEditKind = Value;
  StyleChanged();
}

void TvmInplaceBlobEdit::SetBlobPaintStyle(TvmBlobPaintStyle Value) {
  if (FBlobPaintStyle == Value) return;
  FBlobPaintStyle = Value;
  Invalidate();
}

bool TvmInplaceBlobEdit::IsBlobEmpty(const Variant& Value) const {
  return Value.IsNull() || (Value.IsString() && Value.AsString().empty());
}

void TvmInplaceBlobEdit::DoAssignPicture(TPicture*& Picture) {
  if (PictureHook) PictureHook(this, Picture);
}

TGraphicClass TvmInplaceBlobEdit::GetGraphicClass() {
  TGraphicClass c = PictureGraphicClass;
  if (GraphicClassHook) GraphicClassHook(this, c);
  return c;
}

void TvmInplaceBlobEdit::SetPopupSize(int AWidth, int AHeight) {
  PopupWidth = AWidth;
  PopupHeight = AHeight;
  if (PopupSizeHook) PopupSizeHook(this);
}

void TvmInplaceBlobEdit::StorePopupSize() {
  if (FPopup) SetPopupSize(FPopup->Width(), FPopup->Height());
}

void TvmInplaceBlobEdit::ApplyPopupValue() {
  if (!FPopup) return;
  FPopup->AcceptHook = nullptr;
  if (!CanModify()) return;
  if (FPopup->PictureMode()) {
    TPicture* p = FPopup->Picture();
    if (PictureHasNoGraphic(p)) {
      FBlobValue.clear();
      PictureGraphicClass = nullptr;
    } else {
      PictureGraphicClass = p->Graphic()->ClassType();
      FBlobValue = SavePictureToString(p);
    }
  } else {
    FBlobValue = FPopup->RememberedText();
    if (FBlobPaintStyle == bpsText) SetWindowText(FBlobValue);
  }
  SetModified(true);
  DoChange();
  Invalidate();
}

void TvmInplaceBlobEdit::SetEditValue(const Variant& Value) {
  FBlobValue = Value.IsNull() ? std::string() : Value.AsString();
  Invalidate();
}

void TvmInplaceBlobEdit::GetDisplayValue(Variant& Value, bool) { Value = GetWindowText(); }

void TvmInplaceBlobEdit::GetEditValue(Variant& Value) {
  // A picture travels as its bytes, like every other kind: a value the receiver can keep.
  if (FBlobEditKind == bekPict && !FBlobValue.empty()) {
    if (!FScratchPicture) FScratchPicture = std::make_unique<TPicture>();
    LoadPictureFromString(FScratchPicture.get(), GetGraphicClass(), FBlobValue);
    TPicture* p = FScratchPicture.get();
    DoAssignPicture(p);
    Value = SavePictureToString(p);
    return;
  }
  if (FBlobValue.empty())
    Value = Variant();
  else
    Value = FBlobValue;
}

void TvmInplaceBlobEdit::FillViewData(TvmEditViewData* VD, bool UseBindingValue) {
  TvmInplaceDropDownEdit::FillViewData(VD, UseBindingValue);
  VD->IsFocused = VD->IsFocused && !InplaceMode() && !FPopupShown;
  if (auto* d = dynamic_cast<TvmBlobEditViewData*>(VD)) {
    d->BlobEditKind = FBlobEditKind;
    d->BlobPaintStyle = FBlobPaintStyle;
    if (FBlobPaintStyle == bpsIcon) {
      d->Images = BlobImages();
      d->IsEmpty = FBlobValue.empty();
    }
  }
}

void TvmInplaceBlobEdit::CalcButtons(TvmDropDownEditViewData* VD) {
  TvmInplaceDropDownEdit::CalcButtons(VD);
  if (VD->ButtonCount > 0 && (FBlobEditKind == bekOle || FBlobEditKind == bekBlob)) {
    VD->Buttons[0].Kind = bkEllipsis;
    VD->Buttons[0].Width = GetButtonWidth(VD, 0);
  }
}

bool TvmInplaceBlobEdit::DrawContent(TvmInplaceEditClass Self, TCanvas* DC, const TRect& R, TvmEditViewData* VD,
                                     bool IsLiveWindow) {
  auto* d = dynamic_cast<TvmBlobEditViewData*>(VD);
  if (d && d->BlobPaintStyle == bpsIcon) {
    static const int icons[] = {3, 5, 7, 1};
    const int index = icons[d->BlobEditKind] - (d->IsEmpty ? 1 : 0);
    if (!VD->MeasureOnly) {
      if (!VD->IsTransparent) FillRectColor(DC, R, VD->Brush);
      if (d->Images && index < d->Images->Count())
        d->Images->Draw(DC, (R.Left + R.Right - d->Images->Width()) / 2, (R.Top + R.Bottom - d->Images->Height()) / 2,
                        index);
    }
    return true;
  }
  const int layout = VD->TextLayout;
  auto* t = dynamic_cast<TvmTextEditViewData*>(VD);
  const bool ellipsis = t && t->EllipsisAtEnd;
  VD->TextLayout = 3;
  if (t) t->EllipsisAtEnd = true;
  bool done = TvmInplaceMaskEdit::DrawContent(Self, DC, R, VD, IsLiveWindow);
  VD->TextLayout = layout;
  if (t) t->EllipsisAtEnd = ellipsis;
  return done;
}

bool TvmInplaceBlobEdit::IsFocused() const {
  if (TvmInplaceDropDownEdit::IsFocused()) return true;
  if (!FPopupShown || !FPopup) return false;
  for (TWinControl* f = FocusedControl(); f; f = f->Parent())
    if (f == FPopup) return true;
  return false;
}

void TvmInplaceBlobEdit::DoButtonDown(bool NoCapture, int ButtonIndex) {
  // The button of an open popup closes it (as a click outside would).
  if (FPopupShown) {
    CloseUp(false);
    return;
  }
  TvmInplaceDropDownEdit::DoButtonDown(NoCapture, ButtonIndex);
}

void TvmInplaceBlobEdit::DropDown() {
  if (FPopupShown || (FPopup && FPopup->Visible())) return;
  DoEditButtonClick();
  if (FBlobEditKind == bekOle || FBlobEditKind == bekBlob) return;
  if (!FPopup) {
    FPopup = new TCustomvmBlobPopup(this);
    // The popup lives on the form, which may free it before this editor goes.
    FPopup->FreeNotification(this);
  }
  FPopup->SetOwnerEdit(this);
  FCurrentPopup = FPopup;
  FPopup->SetColor(Color());
  FPopup->SetFont(Font());
  FPopup->SetMode(FBlobEditKind);
  FPopup->SetPopupBorder(GetPopupBorder());
  FPopup->Sizeable = SizeablePopup;
  FPopup->AlwaysSaveText = AlwaysSaveText;
  FPopup->CharCase = MemoCharCase;
  FPopup->HideScrollBars = MemoHideScrollBars;
  FPopup->SetMaxLength(MemoMaxLength);
  FPopup->OEMConvert = MemoOEMConvert;
  FPopup->ScrollBars = MemoScrollBars;
  FPopup->SelectionBar = MemoSelectionBar;
  FPopup->WantReturns = MemoWantReturns;
  FPopup->WantTabs = MemoWantTabs;
  FPopup->WordWrap = MemoWordWrap;
  FPopup->AutoSize = PictureAutoSize;
  FPopup->ClipboardFormat = PictureClipboardFormat;
  FPopup->GraphicClass = GetGraphicClass();
  FPopup->GraphicTransparency = PictureTransparency;
  FPopup->PictureFilter = PictureFilter;
  FPopup->ShowExPopupItems = ShowExPopupItems;
  FPopup->ShowPicturePopup = ShowPicturePopup;
  if (FPopup->PictureMode()) {
    TScopeFail clearPicture([&] { FPopup->Picture()->SetGraphic(nullptr); });
    LoadPictureFromString(FPopup->Picture(), FPopup->GraphicClass, FBlobValue);
  } else {
    FPopup->SetText(FBlobValue);
  }
  FPopup->SetReadOnly(!IsEditable());
  FPopup->SetModified(false);
  FPopup->AcceptHook = [this](TObject*) { ApplyPopupValue(); };
  FPopup->PopupClosedHook = [this](TObject*) { StorePopupSize(); };
  // The popup is a window of its own, placed on the screen.
  if (FPopup->Parent()) FPopup->SetParent(nullptr);
  const TPoint bottomLeft = ClientToScreen(TPoint(0, Height()));
  FPopup->PlaceAt(bottomLeft, PopupWidth, PopupHeight, Width(), Height());
  FPopupShown = true;
  FPopup->ShowPopup();
  WatchPopup();
  Invalidate();
}

void TvmInplaceBlobEdit::CloseUp(bool Accept) {
  if (!FPopupShown || !FPopup) return;
  FWatch.reset();
  if (Accept)
    FPopup->CloseByButton(0);
  else
    FPopup->ClosePopup();
  FPopupShown = false;
  Invalidate();
}

void TvmInplaceBlobEdit::HideEdit() {
  FWatch.reset();
  if (FPopupShown && FPopup) FPopup->ClosePopup();
  TvmInplaceDropDownEdit::HideEdit();
}

void TvmInplaceBlobEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (InplaceMode() && !Shift.Contains(ssAlt) && (Key == VK_LEFT || Key == VK_RIGHT)) {
    FocusAdjacentCell(Key == VK_LEFT);
    Key = 0;
    return;
  }
  if (Key == VK_DELETE) {
    Key = 0;
    return;
  }
  TvmInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TvmInplaceBlobEdit::KeyPress(char& Key) {
  // Typing into an empty memo starts it.
  if (FPopupShown && FPopup && FPopup->Visible() && !FPopup->PictureMode() && FPopup->Text().empty() &&
      static_cast<unsigned char>(Key) > 31)
    SendTextInput(FPopup->Memo(), std::string(1, Key));
  Key = 0;
}
