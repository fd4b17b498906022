// The row control's row order, written and read as one stored block.
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

namespace {

void PutInt32(std::string& S, int32_t V) {
  char b[4];
  std::memcpy(b, &V, 4);  // little-endian hosts only, as the stored layout
  S.append(b, 4);
}

struct TOrderReader {
  const std::string& Data;
  size_t Pos = 0;
  bool Int(int32_t& V) {
    if (Pos + 4 > Data.size()) return false;
    std::memcpy(&V, Data.data() + Pos, 4);
    Pos += 4;
    return true;
  }
  bool Bytes(int32_t N, std::string& S) {
    if (N < 0 || Pos + static_cast<size_t>(N) > Data.size()) return false;
    S.assign(Data, Pos, static_cast<size_t>(N));
    Pos += static_cast<size_t>(N);
    return true;
  }
  bool AtEnd() const { return Pos >= Data.size(); }
};

std::string ToHex(const std::string& S) {
  static const char* d = "0123456789ABCDEF";
  std::string r;
  for (unsigned char c : S) {
    r += d[c >> 4];
    r += d[c & 15];
  }
  return r;
}

std::string FromHex(const std::string& S) {
  auto v = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::string r;
  for (size_t i = 0; i + 1 < S.size(); i += 2) {
    int a = v(S[i]), b = v(S[i + 1]);
    if (a < 0 || b < 0) return std::string();
    r += static_cast<char>(a * 16 + b);
  }
  return r;
}

}  // namespace

std::string TCustomvmInspectorControl::WriteRowOrder() {
  std::string body;
  PutInt32(body, GetNodeCount());
  std::vector<TvmInspectorNode*> expanded;
  std::function<void(TvmInspectorNode*)> write = [&](TvmInspectorNode* N) {
    auto* rn = static_cast<TvmInspectorRowNode*>(N);
    const std::string name = rn->Row ? rn->Row->Name() : std::string();
    PutInt32(body, 8);
    PutInt32(body, N->Count());
    PutInt32(body, static_cast<int32_t>(name.size()));
    body += name;
    if (N->Expanded()) expanded.push_back(N);
    for (int i = 0; i < N->Count(); ++i) write(N->Items(i));
  };
  for (TvmInspectorNode* n : FNodes) write(n);
  PutInt32(body, static_cast<int32_t>(expanded.size()));
  for (TvmInspectorNode* n : expanded) {
    auto* rn = static_cast<TvmInspectorRowNode*>(n);
    const std::string name = rn->Row ? rn->Row->Name() : std::string();
    PutInt32(body, 8);
    PutInt32(body, 0);
    PutInt32(body, static_cast<int32_t>(name.size()));
    body += name;
  }
  std::string out;
  PutInt32(out, static_cast<int32_t>(body.size()));
  return out + body;
}

bool TCustomvmInspectorControl::ApplyRowOrder(const std::string& Data) {
  if (Data.size() < 8) return Data.empty();
  TOrderReader rd{Data};
  int32_t length = 0, top = 0;
  rd.Int(length);
  if (!rd.Int(top) || top < 0) return false;
  bool ok = true;
  BeginUpdate();
  // One record: its size, then size bytes of which the first two are the child count and the
  // name's length, then the name. Damaged or unknown records stop the order.
  auto record = [&](int32_t& Children, std::string& Name) -> bool {
    int32_t size = 0;
    if (!rd.Int(size) || size < 8) return false;
    int32_t a = 0, b = 0;
    if (!rd.Int(a) || !rd.Int(b)) return false;
    rd.Pos += static_cast<size_t>(size - 8);
    if (a < 0 || !rd.Bytes(b, Name)) return false;
    Children = a;
    return true;
  };
  // No stored order nests deeper than there are rows: deeper records are damage (and would
  // otherwise recurse as deep as the bytes allow).
  int depth = 0;
  std::function<bool(TvmInspectorNode*, bool)> readNode = [&](TvmInspectorNode* Parent, bool Skip) -> bool {
    if (depth > GetRowCount()) return false;
    ++depth;
    TScopeExit leave([&depth] { --depth; });
    int32_t children = 0;
    std::string name;
    if (!record(children, name)) return false;
    TvmInspectorRow* row = FindRow(name);
    if (!row) return false;
    TvmInspectorNode* node = row->Node();
    const bool skip = Skip || !node;
    if (!skip) {
      if (Parent)
        node->MoveTo(Parent, inaAddChild);
      else
        node->MoveTo(Nodes(0), inaAdd);
    }
    for (int32_t i = 0; i < children; ++i)
      if (!readNode(skip ? nullptr : node, skip)) return false;
    return true;
  };
  {
    TScopeExit endUpdate([&] { EndUpdate(); });
    for (int32_t i = 0; i < top && ok; ++i) ok = readNode(nullptr, false);
    if (ok && !rd.AtEnd()) {
      FullCollapse();
      int32_t count = 0;
      if (!rd.Int(count) || count < 0) ok = false;
      for (int32_t i = 0; ok && i < count; ++i) {
        int32_t reserved = 0;
        std::string name;
        if (!record(reserved, name)) {
          ok = false;
          break;
        }
        TvmInspectorRow* row = FindRow(name);
        if (!row) {
          ok = false;
          break;
        }
        if (row->Node()) row->Node()->SetExpanded(true);
      }
    }
  }
  return ok;
}

void TCustomvmInspectorControl::Loaded() {
  BeginUpdate();
  FApplyingLayout = true;
  TScopeExit restore([&] {
    FApplyingLayout = false;
    EndUpdate();
  });
  TCustomvmInspector::Loaded();
  if (!FPendingOrder.empty()) ApplyRowOrder(FPendingOrder);
  LoadFromRegistry();
  FPendingOrder.clear();
  for (TvmInspectorRow* r : std::vector<TvmInspectorRow*>(FRows))
    if (!r->Visible()) r->HideNode();
  if (TvmInspectorNode* n = Nodes(0)) {
    FFocusedNode = n;
    FTopNode = n;
  }
}

void TCustomvmInspectorControl::LoadFromRegistry() {
  if (FOptions.Contains(ioStoreToRegistry) && !FRegistryPath.empty()) LoadFromRegistryPath(FRegistryPath);
}

void TCustomvmInspectorControl::SaveToRegistry() {
  if (FOptions.Contains(ioStoreToRegistry) && !FRegistryPath.empty()) SaveToRegistryPath(FRegistryPath);
}

void TCustomvmInspectorControl::SaveLayout(TvmRegIniWrapper& Wrapper, const std::string& Path) {
  TCustomvmInspector::SaveLayout(Wrapper, Path);
  Wrapper.EraseSection(Path + "\\Categories");
  for (TvmInspectorRow* r : FRows)
    if (r->IsCategory()) Wrapper.WriteString(Path + "\\Categories", r->Name(), r->GetCaption());
  const std::string order = WriteRowOrder();
  if (dynamic_cast<TRegistry*>(Wrapper.IniObject))
    Wrapper.WriteBinaryData(Path, "Nodes", order.data(), static_cast<int>(order.size()));
  else
    Wrapper.WriteString(Path, "Nodes", ToHex(order));
  for (TvmInspectorRow* r : FRows) {
    const std::string s = Path + "\\Rows\\" + r->Name();
    Wrapper.WriteInteger(s, "RowHeight", r->RowHeightStored() ? r->GetRowHeight() : -1);
    Wrapper.WriteBool(s, "Visible", r->Visible());
  }
}

void TCustomvmInspectorControl::LoadLayout(TvmRegIniWrapper& Wrapper, const std::string& Path) {
  // Categories.
  TStringList names;
  Wrapper.ReadSection(Path + "\\Categories", names);
  for (int i = GetRowCount() - 1; i >= 0; --i) {
    TvmInspectorRow* r = FRows[static_cast<size_t>(i)];
    if (r->IsCategory() && names.IndexOf(r->Name()) < 0) {
      r->SetVisible(false);
      RemoveRow(r);
      delete r;
    }
  }
  for (int i = 0; i < names.Count(); ++i) {
    const std::string name = names.Strings(i);
    if (FindRow(name)) continue;
    TvmInspectorRow* r = CreateRow(GetDefaultRowClass());
    r->SetIsCategory(true);
    r->SetVisible(false);
    try {
      r->SetName(name);
    } catch (const Exception&) {}
    r->SetCaption(Wrapper.ReadString(Path + "\\Categories", name, name));
  }
  // Nodes.
  std::string order;
  if (dynamic_cast<TRegistry*>(Wrapper.IniObject)) {
    const int size = Wrapper.ReadBinaryData(Path, "Nodes", nullptr, 0);
    if (size > 0) {
      order.resize(static_cast<size_t>(size));
      Wrapper.ReadBinaryData(Path, "Nodes", order.data(), size);
    }
  } else {
    order = FromHex(Wrapper.ReadString(Path, "Nodes", ""));
  }
  if (!order.empty()) {
    for (TvmInspectorRow* r : std::vector<TvmInspectorRow*>(FRows)) {
      bool inComplex = false;
      for (TvmInspectorRow* c : FRows)
        if (auto* cx = dynamic_cast<TvmInspectorComplexRow*>(c); cx && cx->IndexOfRow(r) >= 0) inComplex = true;
      if (!inComplex) r->SetVisible(true);
    }
    ApplyRowOrder(order);
  }
  // Rows.
  for (TvmInspectorRow* r : std::vector<TvmInspectorRow*>(FRows)) {
    const std::string s = Path + "\\Rows\\" + r->Name();
    r->SetRowHeight(Wrapper.ReadInteger(s, "RowHeight", -1));
    r->SetVisible(Wrapper.ReadBool(s, "Visible", r->Visible()));
  }
  TCustomvmInspector::LoadLayout(Wrapper, Path);
}
