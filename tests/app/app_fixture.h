// The program started headless in a temporary profile, with its message boxes and common
// dialogs answered by the test.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/journal.h"
#include "app/main_form.h"
#include "app/start_up.h"
#include "app/stored_edit_dialog.h"
#include "mtdata/mt_types.h"
#include "mtdata/open_site.h"
#include "mtdata/site_file.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/inifiles.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

namespace fs = std::filesystem;

struct AppFixture : ::testing::Test {
  fs::path Dir;
  // Message boxes: every text shown, and the answers to give in turn (IDYES when none is left).
  std::vector<std::string> Boxes;
  std::deque<int> Answers;
  // Common dialogs: each answers one dialog (false: cancelled).
  std::deque<std::function<bool(TCommonDialog*)>> Dialogs;
  // Modal windows of the program (the stored-edit dialog, the about box).
  std::deque<std::function<void(TForm*)>> Modals;
  std::vector<std::string> ModalCaptions;

  void SetUp() override {
    Dir = fs::temp_directory_path() / ("varomark_app_" + std::to_string(::getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir / "profile");
    fs::create_directories(Dir / "site");
    SetProfileFolder((Dir / "profile").string());
    for (const char* f : {"S107.MT1", "S107.MT2", "S107.AMT"})
      fs::copy_file(fs::path(VAROMARK_SAMPLES) / f, Dir / "site" / f);
    SetMessageBoxHook([this](const std::string& Text, const std::string&, int) {
      Boxes.push_back(Text);
      if (Answers.empty()) return IDYES;
      const int a = Answers.front();
      Answers.pop_front();
      return a;
    });
    SetDialogHook([this](TCommonDialog* D) {
      if (Dialogs.empty()) return false;
      auto fn = std::move(Dialogs.front());
      Dialogs.pop_front();
      return fn(D);
    });
    ModalDialogHook = [this](TForm* F) {
      ModalCaptions.push_back(F->Caption());
      if (!Modals.empty()) {
        auto fn = std::move(Modals.front());
        Modals.pop_front();
        fn(F);
      }
      if (F->ModalResult() == mrNone) F->SetModalResult(mrOk);
    };
  }

  void TearDown() override {
    Stop();
    SetMessageBoxHook(nullptr);
    SetDialogHook(nullptr);
    ModalDialogHook = nullptr;
    SetProfileFolder("");
    std::error_code ec;
    fs::remove_all(Dir, ec);
  }

  void Start(const std::vector<std::string>& Files = {}) {
    // The previous test's program ended by closing its main form, which ends the message loop too.
    Application->ResetTerminated();
    StartProgram(Files);
    MainForm1->Show();
    Application->ProcessMessages();
  }
  // Ends the program as the user closes the main window (the exit question answered Yes).
  void Stop() {
    if (!MainForm1) return;
    SiteModified = false;
    MainForm1->Close();
    FreeSite();
    EndProgram();
  }

  std::string SiteFile(const char* Name) const { return (Dir / "site" / Name).string(); }

  // The next open dialog chooses these files.
  void ChooseFiles(std::vector<std::string> Names, int FilterIndex = 0) {
    Dialogs.push_back([Names, FilterIndex](TCommonDialog* D) {
      auto* o = static_cast<TOpenDialog*>(D);
      for (const std::string& n : Names) o->Files()->Add(n);
      if (FilterIndex) o->SetFilterIndex(FilterIndex);
      return true;
    });
  }
  // The next save dialog: the type (filter entry) changed first when given, then the name.
  void ChooseSaveName(const std::string& Name, int FilterIndex = 0) {
    Dialogs.push_back([Name, FilterIndex](TCommonDialog* D) {
      auto* o = static_cast<TOpenDialog*>(D);
      if (FilterIndex) o->ChangeFilterIndex(FilterIndex);
      o->Files()->Add(Name);
      o->SetFileName(Name);
      return true;
    });
  }
  void ChooseFolder(const std::string& Folder) {
    Dialogs.push_back([Folder](TCommonDialog* D) {
      static_cast<TSelectDirectoryDialog*>(D)->Directory = Folder;
      return true;
    });
  }

  // The mask of the current site as one text (frequency-major, estimates 1..100).
  static std::string MaskText() {
    std::string s;
    if (!CurrentSite) return s;
    for (int f = 1; f <= CurrentSite->FreqCount; ++f)
      for (int x = 1; x <= MaxXpr; ++x) s += static_cast<char>('0' + CurrentSite->Mask[f][x]);
    return s;
  }
  static std::vector<std::string> JournalActions() {
    std::vector<std::string> r;
    for (const auto& row : DataModule1->Rows) r.push_back(row.Action);
    return r;
  }
  static std::string ReadAll(const std::string& Name) {
    std::ifstream f(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
};
