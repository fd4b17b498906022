// One view of the program on the sample site, with a session of its own and no main window: the
// start-up registrations, the session, the site opened through it with its first journal record.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/child_form.h"
#include "app/site_session.h"
#include "app_fixture.h"

struct ViewFixture : AppFixture {
  std::unique_ptr<TSiteSession> Session;

  void OpenSite(std::vector<std::string> Names) {
    StartModules();
    Session = std::make_unique<TSiteSession>();
    ASSERT_EQ(SiteSession, Session.get()) << "the only session is the program's";
    ASSERT_TRUE(Session->Open(Names));
    PushEditRecord(1, "Start");
  }
  // The view of class T in Var, made with the session and shown.
  template <class T>
  T* ShowView(T*& Var) {
    ShowForm(Var, *Session);
    return Var;
  }

  void TearDown() override {
    if (Session) {
      // The windows first: they stop listening to the session as they go.
      std::vector<TForm*> forms;
      for (int i = 0; i < Application->ComponentCount(); ++i)
        if (auto* f = dynamic_cast<TForm*>(Application->Components(i))) forms.push_back(f);
      for (TForm* f : forms) delete f;
      Session->Close();
      Session.reset();
      Application->ProcessMessages();
      EndModules();
    }
    AppFixture::TearDown();
  }
};
