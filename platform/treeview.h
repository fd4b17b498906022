// A tree of text nodes drawn by the control itself: a node may hold children shown or folded
// away, and carries a pointer to whatever it stands for. Nodes are never edited in place.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"

class TTreeView;

class TTreeNode {
public:
  TTreeNode(TTreeView* Owner, TTreeNode* Parent) : FOwner(Owner), FParent(Parent) {}
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;

  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  // What the node stands for; the tree never owns it.
  void* Data = nullptr;

  TTreeNode* Parent() const { return FParent; }
  TTreeView* TreeView() const { return FOwner; }
  int Count() const { return static_cast<int>(FChildren.size()); }
  bool HasChildren() const { return !FChildren.empty(); }
  // Raises EListError "List index out of bounds (%d)" for a bad index.
  TTreeNode* Item(int Index) const;
  // Place among its siblings; depth (0 for a root).
  int Index() const;
  int Level() const;
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value);
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  bool Selected() const;
  // True when every parent up to the root is expanded.
  bool IsVisible() const;

private:
  friend class TTreeView;
  TTreeView* FOwner;
  TTreeNode* FParent;
  std::string FText;
  bool FExpanded = false;
  std::vector<std::unique_ptr<TTreeNode>> FChildren;
};

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;

class TTreeView : public TCustomControl {
  VM_CLASS(TTreeView, TCustomControl)
public:
  explicit TTreeView(TComponent* AOwner);
  ~TTreeView() override;

  // A new last child of Parent, or a new last root when Parent is none.
  TTreeNode* AddChild(TTreeNode* Parent, const std::string& Text, void* Data = nullptr);
  // Frees the node with its children; a selected node among them leaves nothing selected.
  void Delete(TTreeNode* Node);
  void Clear();
  int RootCount() const { return static_cast<int>(FRoots.size()); }
  TTreeNode* Root(int Index) const;
  // The first node, depth first, that stands for Data.
  TTreeNode* FindData(const void* Data) const;

  TTreeNode* Selected() const { return FSelected; }
  // Expands the node's parents, scrolls it into view and runs OnChanging / OnChange when it differs.
  void SetSelected(TTreeNode* Node);

  // The nodes that show (every root, and the children of expanded nodes), top to bottom.
  std::vector<TTreeNode*> VisibleNodes() const;
  // The node on the row at a client point, or none.
  TTreeNode* GetNodeAt(int X, int Y) const;
  TRect NodeRect(const TTreeNode* Node) const;
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value);
  int Indent() const { return FIndent; }
  int TopIndex() const { return FTopIndex; }

  TTVChangingEvent OnChanging;
  TTVChangedEvent OnChange;
  TTVChangedEvent OnExpanded, OnCollapsed;

protected:
  void Paint() override;
  void Resize() override;
  void Scrolled(int Kind, int Position) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

private:
  friend class TTreeNode;
  void Changed();
  void Toggled(TTreeNode* Node);
  void MakeVisible(TTreeNode* Node);
  int VisibleRows() const;
  void UpdateScrollBar();
  // The square that folds and unfolds the node's children.
  TRect ButtonRect(const TTreeNode* Node, const TRect& Row) const;
  bool Contains(const TTreeNode* Ancestor, const TTreeNode* Node) const;
  std::vector<std::unique_ptr<TTreeNode>> FRoots;
  TTreeNode* FSelected = nullptr;
  int FItemHeight = 18;
  int FIndent = 19;
  int FTopIndex = 0;
};
