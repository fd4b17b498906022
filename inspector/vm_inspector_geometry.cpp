// The inspector's geometry: node and band rectangles and hit testing.
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
#include "inspector/vm_inspector_impl.h"

namespace {

using inspector_impl::BandSeparatorWidth;

}  // namespace

TRect TCustomvmInspector::GetNodeRect(const TvmInspectorNode* Node) const {
  if (!Node) return TRect();
  TvmInspectorViewInfo vi;
  CalcViewInfo(vi);
  for (const auto& band : vi.Bands) {
    int y = band.RowsRect.Top;
    for (const auto& [n, h] : band.Rows) {
      if (n == Node) return TRect(band.RowsRect.Left, y, band.RowsRect.Right, y + h);
      y += h;
    }
  }
  return TRect();
}

TRect TCustomvmInspector::GetNodeColumnRect(const TvmInspectorNode* Node) const {
  TRect r = GetNodeRect(Node);
  if (!IsRectEmpty(r)) r.Bottom = ClientHeight();
  return r;
}

TvmInspectorNodeCells TCustomvmInspector::CalcNodeCells(TvmInspectorNode* Node, const TRect& RowRect) const {
  TvmInspectorNodeCells c;
  TRect r = RowRect;
  const bool category = IsCategoryNode(Node);
  const int level = Node->Level();
  if (FPaintStyle != ipsCategorized) {
    c.Indent = TRect(r.Left, r.Top, r.Left + (level + 1) * FIndentWidth, r.Bottom);
    if (FPaintStyle == ipsStandard) c.Indent.Right += 2;
  } else if (category) {
    c.Indent = TRect(r.Left, r.Top, r.Left + level * FIndentWidth, r.Bottom);
    InflateRect(r, -1, -1);
    c.Indent.Top = r.Top;
    c.Indent.Bottom = r.Bottom;
  } else {
    InflateRect(r, -FRowInset, -FRowInset);
    c.Indent = TRect(r.Left, r.Top, r.Left + (level + 1) * FIndentWidth, r.Bottom);
    if (IsCategoryNode(GetRootNode(Node))) c.Indent.Right -= FIndentWidth;
  }
  if (Node->HasChildren()) {
    c.ButtonState = Node->Expanded() ? 2 : 1;
    if (!(FPaintStyle == ipsCategorized && category))
      c.Button = TRect(c.Indent.Right - FIndentWidth, r.Top, c.Indent.Right, r.Bottom);
  }
  if (ShowsNodeImage(Node)) {
    c.Image = TRect(c.Indent.Right, r.Top, c.Indent.Right + FImageWidth, r.Bottom);
    c.Indent.Right = c.Image.Right;
  }
  c.Caption = TRect(c.Indent.Right, r.Top, RowRect.Left + FDividerPos, r.Bottom);
  if (FPaintStyle == ipsCategorized && category) c.Caption.Left += 1;
  c.Value = TRect(RowRect.Left + FDividerPos + 1, r.Top, r.Right, r.Bottom);
  if (FPaintStyle == ipsStandard || FPaintStyle == ipsExtended || FPaintStyle == ipsCategorized) c.Value.Left += 1;
  if (category) {
    c.Caption.Right = c.Value.Right;
    if (FPaintStyle == ipsCategorized && c.ButtonState != 0) {
      c.Button = TRect(c.Caption.Right - FCategoryButtonWidth, r.Top, c.Caption.Right, r.Bottom);
      c.Caption.Right = c.Button.Left;
    }
  }
  return c;
}

TvmInspectorHitInfo TCustomvmInspector::HitTest(const TPoint& P) const {
  TvmInspectorHitInfo h;
  TvmInspectorViewInfo vi;
  CalcViewInfo(vi);
  if (!PtInRect(vi.ClientRect, P)) return h;
  h.HitTest = ihNone;
  for (const auto& band : vi.Bands) {
    if (!PtInRect(band.Bounds, P)) continue;
    h.BandIndex = band.Index;
    if (PtInRect(band.SeparatorRect, P) ||
        (IsBandLayout() && vi.Bands.size() == 1 && P.X >= vi.ClientRect.Right - BandSeparatorWidth)) {
      h.HitTest = ihBandSeparator;
      return h;
    }
    int y = band.RowsRect.Top;
    TvmInspectorNode* node = nullptr;
    TRect rowRect;
    for (const auto& [n, rh] : band.Rows) {
      if (P.Y >= y && P.Y < y + rh) {
        node = n;
        rowRect = TRect(band.RowsRect.Left, y, band.RowsRect.Right, y + rh);
        break;
      }
      y += rh;
    }
    if (node) {
      h.Node = node;
      h.AbsoluteIndex = GetAbsoluteIndex(node);
    }
    const int div = band.RowsRect.Left + FDividerPos;
    if (P.X >= div - 2 && P.X <= div + 2 && !(node && IsCategoryNode(node))) {
      h.HitTest = ihDivider;
      return h;
    }
    if (!node) return h;
    if (FOptions.Contains(ioRowSizing) && P.Y >= rowRect.Bottom - 2) {
      h.HitTest = ihRowBottomEdge;
      return h;
    }
    TvmInspectorNodeCells c = CalcNodeCells(node, rowRect);
    if (FPaintStyle == ipsCategorized && IsCategoryNode(node) && !node->Parent()) c.Indent.Right += FIndentWidth;
    if (PtInRect(c.Indent, P)) {
      h.HitTest = ihIndent;
      if (c.ButtonState != 0 && PtInRect(c.Button, P))
        h.HitTest = ihButton;
      else if (PtInRect(c.Image, P))
        h.HitTest = ihImage;
    } else if (FPaintStyle == ipsCategorized && IsCategoryNode(node) && PtInRect(c.Button, P)) {
      h.HitTest = ihButton;
    } else if (P.X <= rowRect.Left + FDividerPos || IsCategoryNode(node)) {
      h.HitTest = ihCaption;
      HitTestComplexItem(node, c.Caption, h.ItemRect, h.ItemIndex, P);
    } else {
      h.HitTest = ihValue;
      HitTestComplexItem(node, c.Value, h.ItemRect, h.ItemIndex, P);
    }
    if (!IsRectEmpty(h.ItemRect) && h.ItemIndex == -1) h.HitTest = ihComplexSeparator;
    return h;
  }
  return h;
}
