// The tools page of the chart editor and the tool gallery: the chart's tools with their active
// switch, added from the gallery of registered tool types, deleted and reordered; beside the list
// the chosen tool's own editor form when its class registers one.
#pragma once

#include <functional>

#include "chart/editor/page_kit.h"
#include "chart/engine/registries.h"
#include "platform/forms.h"

class TCustomAxisPanel;
class TGraphCustomTool;
class TListBox;
class TPanel;

class TGraphToolsGallery : public TForm {
  VM_CLASS(TGraphToolsGallery, TForm)
public:
  explicit TGraphToolsGallery(TComponent* AOwner);
  TPageControl* TabControl1 = nullptr;
  TListBox* LBTool = nullptr;
  TButton *BOk = nullptr, *BCan = nullptr;
  void FormShow();
  void TabControl1Change();
  // The chosen tool class (the selected row's), none without a selection.
  TGraphToolClass SelectedTool() const;
};

class TFormGraphTools : public TForm {
  VM_CLASS(TFormGraphTools, TForm)
public:
  explicit TFormGraphTools(TComponent* AOwner);

  TListBox* LBTools = nullptr;
  TButton *BAdd = nullptr, *BDelete = nullptr, *BMoveUp = nullptr, *BMoveDown = nullptr;
  TCheckBox* CBActive = nullptr;
  TPanel* PanelToolEditor = nullptr;
  TForm* ToolEditor = nullptr;
  std::function<void(TGraphCustomTool*)> OnAdded, OnDeleting;

  void FormShow();
  void RefreshToolsPage();
  // The dialog's refresh on later visits.
  void Refresh();
  void LBToolsClick();
  void BAddClick();
  void BDeleteClick();
  void BMoveClick(bool Up);
  TGraphCustomTool* SelectedTool() const;

private:
  void FillToolList();
  TCustomAxisPanel* FChart = nullptr;
};
