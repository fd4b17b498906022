// The inspector's row drag and drop.
#include "inspector/vm_inspector.h"

#include <algorithm>
#include <cstring>

#include "inspector/vm_dropdown.h"
#include "platform/bitmap.h"
#include "platform/dragdrop.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/imglist.h"
#include "platform/inifiles.h"
#include "platform/sysutils.h"

void TCustomvmInspector::StartRowDrag() {
  FSavedDragCursor = Cursor();
  std::string caption;
  if (FDragNode) GetNodeCaption(FDragNode, caption);
  // The pressed point of the row stays under the pointer.
  const TRect r = FDragNode ? GetNodeRect(FDragNode) : TRect();
  BeginDragImage(caption, TPoint(FPressPoint.X - r.Left, FPressPoint.Y - r.Top), ClientToScreen(FMousePoint));
  FMouseState = imsDragging;
  FScrollTimer->SetEnabled(true);
  HideEditor();
  if (CanFocus() && !Focused()) SetFocus();
  if (FCustomizeForm) FCustomizeForm->Perform(WM_VMINSP_DRAGSTART, FDragNode && IsCategoryNode(FDragNode) ? 1 : 0);
}

void TCustomvmInspector::BeginDragImage(const std::string& Caption, TPoint HotSpot, const TPoint& ScreenPos) {
  FDragImage = std::make_unique<TBitmap>();
  MakeDragImage(Caption, FDragImage.get());
  HotSpot.X = std::clamp(HotSpot.X, 0, FDragImage->Width() - 1);
  HotSpot.Y = std::clamp(HotSpot.Y, 0, FDragImage->Height() - 1);
  if (!FDragWindow) FDragWindow = std::make_unique<TDragImage>();
  FDragWindow->SetImage(FDragImage.get(), FDragImage->TransparentColor(), HotSpot);
  FDragWindow->BeginDrag(ScreenPos);
}

void TCustomvmInspector::MakeDragImage(const std::string& Caption, TBitmap* Bitmap) {
  const int w = FDividerPos + 32, h = FTextRowHeight;
  Bitmap->SetSize(w, h);
  TCanvas* c = Bitmap->Canvas();
  // The halftone ground: the two colours alternate pixel by pixel.
  const TColor ground[2] = {ColorToRGB(clBtnShadow), ColorToRGB(Color())};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c->SetPixels(x, y, ground[(x + y) & 1]);
  c->Font()->Assign(Font());
  c->Font()->SetStyle({fsBold});
  c->Brush()->SetStyle(bsClear);
  TRect r(31, 1, w - 1, h - 1);
  c->DrawText(Caption, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  c->Brush()->SetStyle(bsSolid);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c->SetPixels(x, y, static_cast<TColor>(~ColorToRGB(c->Pixels(x, y)) & 0xFFFFFF));
  Bitmap->SetTransparentColor(c->Pixels(1, 0));
}

bool TCustomvmInspector::IsOverCustomizeForm(int X, int Y) const {
  if (!FCustomizeForm || !FCustomizeForm->Visible()) return false;
  return PtInRect(FCustomizeForm->BoundsRect(), ClientToScreen(TPoint(X, Y)));
}

TCursor TCustomvmInspector::DragCursorAt(int X, int Y) {
  if (IsOverCustomizeForm(X, Y)) return crvmInspHide;
  bool accept = false;
  DoDragOverRow(X, Y, accept);
  if (!accept) return crvmInspNoDrag;
  switch (HitTest(TPoint(X, Y)).HitTest) {
    case ihNone:
      return crvmInspAdd;
    case ihIndent:
    case ihButton:
    case ihImage:
      return crvmInspInsert;
    default:
      return crvmInspAddChild;
  }
}

void TCustomvmInspector::DoDragOverRow(int X, int Y, bool& Accept) {
  const auto code = HitTest(TPoint(X, Y)).HitTest;
  Accept = code == ihNone || code == ihIndent || code == ihButton || code == ihImage || code == ihCaption ||
           code == ihValue || code == ihComplexSeparator || code == ihDivider;
}

void TCustomvmInspector::DoDropRow(int X, int Y) {
  const TvmInspectorHitInfo h = HitTest(TPoint(X, Y));
  TvmInspectorNode* target = nullptr;
  TvmInspectorNodeAttachMode mode = inaAdd;
  switch (h.HitTest) {
    case ihNone:
      target = Nodes(0);
      mode = inaAdd;
      break;
    case ihIndent:
    case ihButton:
    case ihImage:
      target = h.Node;
      mode = inaInsert;
      break;
    case ihDivider:
    case ihCaption:
    case ihValue:
    case ihComplexSeparator:
      target = h.Node;
      mode = inaAddChild;
      break;
    default:
      return;
  }
  AcceptDraggedRow();
  if (FDragNode && target) FDragNode->MoveTo(target, mode);
}

void TCustomvmInspector::EndRowDrag(bool Drop, int X, int Y) {
  FScrollTimer->SetEnabled(false);
  if (Drop) DoDropRow(X, Y);
  SetCursor(FSavedDragCursor);
  FDragNode = nullptr;
  if (FDragWindow) FDragWindow->EndDrag();
  FDragWindow.reset();
  FDragImage.reset();
  FMouseState = imsNone;
  ShowEditor(true, false);
  Invalidate();
}
