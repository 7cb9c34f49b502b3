#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "WindowTestBasics.h"
#include "app/TFMain.h"
#include "conversation/view/ChatWindows.h"
#include "conversation/view/TFCzat.h"
#include "conversation/view/TRozmowa.h"
#include "ggserwer/Serwer.h"
#include "support/RecordingTray.h"
#include "support/ScriptedMessageBox.h"

// The main window in a program folder of its own, against the emulator on
// 127.0.0.1 in the 2005 session (through its lookup), as the identity kOwn
// with the password "haslo". The working folder the program may change is
// set back at the end.
struct LoopbackFixture : ::testing::Test {
  QTemporaryDir dir;
  QString savedCwd = QDir::currentPath();
  ScriptedMessageBox box;
  ggserwer::Serwer serwer;
  // Before the program, which uses them until it is gone.
  RecordingTray tray;
  CountingSound sound;
  std::unique_ptr<TFMain> m;

  // o: the test's own services (tray, sound); the folder is the fixture's.
  void StartProgram(TFMain::Options o = {}) {
    ASSERT_TRUE(serwer.start());
    serwer.addAccount(kOwn, "haslo");
    o.folders = ProgramFolders::OneFolder(dir.path());
    m = std::make_unique<TFMain>(o);
    m->Connection().SetLookupHost(serwer.lookupHost().toStdString());
    m->Connection().SetProtocol(Protocol::k2005);
    m->SetIdentity(kOwn, "haslo");
  }
  // As above, with the fixture's tray and sound, and the identity's archive
  // open: what a chat needs.
  void StartChatting() {
    TFMain::Options o;
    o.tray = &tray;
    o.sound = &sound;
    StartProgram(o);
    if (!testing::Test::HasFatalFailure()) ASSERT_TRUE(m->CreateArchive(std::to_string(kOwn)));
  }
  void TearDown() override {
    m.reset();
    QDir::setCurrent(savedCwd);
  }

  ChatWindows& chats() { return m->Chats(); }
  const std::vector<Wiersz>& MessagesOf(uint32_t number) {
    return chats().At(chats().FindChat(number))->Rozmowa->Messages();
  }
  bool WaitMessages(uint32_t number, size_t n) {
    return ggserwer::Serwer::waitFor(
        [&] { return chats().FindChat(number) >= 0 && MessagesOf(number).size() >= n; });
  }
  QByteArray ArchiveFile() {
    QFile f(dir.filePath(QStringLiteral("osoby/%1.html").arg(kOwn)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
};
