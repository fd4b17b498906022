// Standard window actions: they work on the program's MDI frame (see TForm::MDIFrame) and are
// enabled while it has a child. An assigned OnExecute replaces the built-in work.
#pragma once

#include "platform/actnlist.h"

class TForm;

class TWindowAction : public TAction {
  VM_CLASS(TWindowAction, TAction)
public:
  explicit TWindowAction(TComponent* AOwner);
  // The frame the action works on; nullptr: the program's frame.
  TForm* Form() const { return FForm; }
  void SetForm(TForm* Value);
  bool Update() override;
  bool Execute() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  TForm* Frame() const;
  virtual void ExecuteTarget(TForm* Frame) = 0;

private:
  TForm* FForm = nullptr;
};

class TWindowCascade : public TWindowAction {
  VM_CLASS(TWindowCascade, TWindowAction)
public:
  explicit TWindowCascade(TComponent* AOwner);

protected:
  void ExecuteTarget(TForm* Frame) override;
};

class TWindowTileHorizontal : public TWindowAction {
  VM_CLASS(TWindowTileHorizontal, TWindowAction)
public:
  explicit TWindowTileHorizontal(TComponent* AOwner);

protected:
  void ExecuteTarget(TForm* Frame) override;
};

class TWindowTileVertical : public TWindowAction {
  VM_CLASS(TWindowTileVertical, TWindowAction)
public:
  explicit TWindowTileVertical(TComponent* AOwner);

protected:
  void ExecuteTarget(TForm* Frame) override;
};

class TWindowMinimizeAll : public TWindowAction {
  VM_CLASS(TWindowMinimizeAll, TWindowAction)
public:
  explicit TWindowMinimizeAll(TComponent* AOwner);

protected:
  void ExecuteTarget(TForm* Frame) override;
};

class TWindowArrange : public TWindowAction {
  VM_CLASS(TWindowArrange, TWindowAction)
public:
  explicit TWindowArrange(TComponent* AOwner);

protected:
  void ExecuteTarget(TForm* Frame) override;
};

// Closes the active child.
class TWindowClose : public TWindowAction {
  VM_CLASS(TWindowClose, TWindowAction)
public:
  explicit TWindowClose(TComponent* AOwner);

protected:
  void ExecuteTarget(TForm* Frame) override;
};
