// The site session: the one object of the program that holds the open site and everything the
// windows share about it (the undo journal, the editing mode, the reference and rotation the
// commands chose, the modified flag). Views take it when they are made and listen to it; the
// main window sets its mode from its actions and routes its commands to it. A view works with a
// session alone, without the main window.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

class TCustomIniFile;
class TDataModule1;
class TMTFile;

// The editing mode, one bit per tool or toggle, in the order of the check word a window keeps for
// the tools while another window is active.
enum TEditMode : uint16_t {
  emLiveSpline = 0x1,
  emCurveShift = 0x2,
  emPointer = 0x4,
  emHand = 0x8,
  emTwoHorz = 0x10,
  emCircle = 0x20,
  emLasso = 0x40,
  emTwoVert = 0x80,
  emDeleting = 0x100,
  emRestoring = 0x200,
  emMeanView = 0x400,
  emWeightView = 0x800,
};
// The bits of the tool check word.
constexpr uint16_t ToolModeBits = 0x3FF;

// The commands a view hands back to the window that hosts it.
enum class TViewCommand { First, Prior, Next, Last };

// What the views ask of the window that hosts them: the main window is one; a session without it
// simply has none, and the views skip what would show there.
class TSessionHost {
public:
  virtual ~TSessionHost() = default;
  virtual void SetStatusText(int Index, const std::string& Text) = 0;
  // The view commands a view offers (bits as the main window's EnableViewActions takes them).
  virtual void EnableViewActions(uint32_t Mask) = 0;
  virtual void EnablePrintActions() = 0;
  virtual void SetUndoState(bool CanUndo, bool CanRedo) = 0;
  // Runs a navigation command as its action would (nothing when it is disabled).
  virtual void RunViewCommand(TViewCommand Command) = 0;
  virtual TCustomIniFile* IniFile() const = 0;
};

// What a view hears of the session. A view that does not tell frequencies apart hears "frequency
// F changed" through its "every frequency changed" handler.
struct TSessionListener {
  std::function<void(TObject* Sender, int F)> OnFrequencyChanged = nullptr;
  TNotifyEvent OnEveryFrequencyChanged = nullptr;
  TNotifyEvent OnSiteReplaced = nullptr;
};

class TSiteSession {
public:
  // Makes the session with its journal; the first session made is the program's (SiteSession,
  // DataModule1), until it is freed.
  TSiteSession();
  ~TSiteSession();
  TSiteSession(const TSiteSession&) = delete;
  TSiteSession& operator=(const TSiteSession&) = delete;

  // ---- The open site
  // The site loader keeps the files read and the object shown (SiteFiles, CurrentSite); the
  // program reaches them through its session.
  TMTFile* Site() const;
  bool IsOpen() const;
  // Opens Names as the site (a package, MT files or EDI files; Names becomes the files read). False
  // when they do not share a reference; a file that cannot be read raises its error. In both cases
  // Close frees what was read. The listeners hear "site replaced".
  bool Open(std::vector<std::string>& Names);
  // Frees the site and the journal; not modified. The listeners hear "site replaced".
  void Close();
  // Writes the open site back where it came from: the package (its old state kept as ".~mpk"),
  // or the edit appended to its one MT file. Raises for several MT files.
  void Save();
  // Writes the site as the package Name (an existing one kept as ".~mpk"); no longer modified.
  void SaveAs(const std::string& Name);
  // Copies the package Name (when it exists) to its ".~mpk" name.
  static void BackupPackage(const std::string& Name);
  // Appends the site's edit to its one MT file.
  void SaveMtFileInPlace();
  // The package the site was read from ("" for MT and EDI files).
  std::string Package;

  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }

  // ---- The journal
  TDataModule1* Journal() const { return FJournal.get(); }
  // One edit: the mask of frequency F has been changed; the site re-stacks through its one
  // mask-change entry, one journal record is pushed with Action's label, and the listeners hear
  // that frequency F changed.
  void CommitMaskEdit(int F, const std::string& Action);
  // An edit of the whole mask: every valid frequency re-stacked and recomputed, one record under
  // JournalFreq, and every frequency changed.
  void CommitWholeMaskEdit(int JournalFreq, const std::string& Action, TObject* Sender);
  void Undo();
  void Redo();
  bool CanUndo() const;
  bool CanRedo() const;

  // ---- The editing mode
  uint16_t Mode() const { return FMode; }
  bool Is(TEditMode Mode) const { return (FMode & Mode) != 0; }
  void SetMode(TEditMode Mode, bool On);
  // Sets the bits of Mask from Word, the others kept.
  void SetModeWord(uint16_t Word, uint16_t Mask = ToolModeBits);
  // The cursor tool: Tool on, the other five cursor tools off.
  void SelectTool(TEditMode Tool);
  // Heard after every change of the mode.
  std::function<void(uint16_t Mode)> OnModeChange;

  // ---- Reference and rotation
  // The reference the commands chose (frtLocalE .. frtRemoteH), 0 when none is chosen.
  int Reference() const { return FReference; }
  // Records the choice (the reference commands' checks follow through OnReferenceChange).
  void SetReferenceChoice(int Type);
  // The site's index of the reference of Type (0 local E, 1 local H, 2 the remote channel), -1 for
  // none.
  static int ReferenceIndex(int Type);
  // Shows the open site under the reference of Index (as ReferenceIndex gives it): the estimates
  // and the stacks computed under it; every frequency changed.
  void ShowReference(int Index, TObject* Sender);
  // Rotates the open site's axes (mode 0 a fixed angle, 1 the strike angle) and re-stacks it;
  // every frequency changed.
  void Rotate(int Mode, double Angle, TObject* Sender);
  std::function<void(int Type)> OnReferenceChange;

  // ---- Listeners
  void AddListener(const void* Owner, TSessionListener Listener);
  void RemoveListener(const void* Owner);
  void FrequencyChanged(TObject* Sender, int F);
  void EveryFrequencyChanged(TObject* Sender);
  void SiteReplaced(TObject* Sender);

  // ---- The host of the views (the main window), null without one
  TSessionHost* Host = nullptr;
  void SetStatusText(int Index, const std::string& Text);
  void EnableViewActions(uint32_t Mask) const;
  void UpdateUndoState() const;
  TCustomIniFile* IniFile() const { return Host ? Host->IniFile() : nullptr; }

private:
  template <class F>
  void Broadcast(F&& Call);
  // While an edit is told to the views, their status texts wait and go to the host once at its
  // end: the host's repaint of the status bar would paint every window the views have
  // invalidated so far, and the views would be painted twice for one edit.
  class TEditFrame;
  int FEditDepth = 0;
  std::vector<std::pair<int, std::string>> FPendingStatus;
  std::unique_ptr<TDataModule1> FJournal;
  bool FModified = false;
  uint16_t FMode = emPointer;
  int FReference = 0;
  struct TEntry {
    const void* Owner;
    TSessionListener Listener;
  };
  std::vector<TEntry> FListeners;
};

// The program's session.
extern TSiteSession* SiteSession;

// The modified flag of the program's session, read and written as a flag of its own.
struct TSiteModifiedFlag {
  operator bool() const;
  TSiteModifiedFlag& operator=(bool Value);
};
// Set by every journal record, cleared by Close and by Save As.
extern TSiteModifiedFlag SiteModified;
