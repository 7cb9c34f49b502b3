#pragma once
// A main window stand-in for the identity store: holds the state, records
// every call by name, and lets a test choose what the archive calls answer.

#include <QCollator>
#include <QLocale>
#include <set>
#include <string>
#include <vector>

#include "app/IdentityHost.h"
#include "contacts/ContactStore.h"

class FakeIdentityHost : public IdentityHost {
 public:
  IdentityState state;
  ContactStore contacts{QCollator(QLocale(QLocale::Polish))};
  int connection = 255;
  std::set<std::string> archives;       // archives that exist
  std::set<std::string> lockedArchives; // held by another running copy
  bool createFails = false;
  std::string openArchive;              // the archive held, empty for none
  std::vector<std::string> calls;

  IdentityState& State() override { return state; }
  ContactStore& Contacts() override { return contacts; }

  bool ArchiveExists(const std::string& name) override {
    calls.push_back("ArchiveExists " + name);
    return archives.count(name) != 0;
  }
  bool OpenArchive(const std::string& name) override {
    calls.push_back("OpenArchive " + name);
    if (lockedArchives.count(name)) return false;
    openArchive = name;
    return true;
  }
  bool CreateArchive(const std::string& name) override {
    calls.push_back("CreateArchive " + name);
    if (createFails) return false;
    archives.insert(name);
    openArchive = name;
    return true;
  }
  void CloseArchive() override {
    calls.push_back("CloseArchive");
    openArchive.clear();
  }
  int ConnectionState() override { return connection; }
  void SetConnectionState(int s) override {
    calls.push_back("SetConnectionState " + std::to_string(s));
    connection = s;
  }
  void SetAutoReconnect(bool on) override { calls.push_back(on ? "AutoReconnect on" : "AutoReconnect off"); }
  void SendNotAvailable(uint8_t index, const std::string& opis) override {
    calls.push_back("SendNotAvailable " + std::to_string(index) + " " + opis);
  }
  void CloseConnection() override {
    calls.push_back("CloseConnection");
    connection = 0;
  }
  void ShowOwnStatus(uint8_t v) override {
    calls.push_back("ShowOwnStatus " + std::to_string(v) + (state.status == v ? "" : " (not recorded)"));
  }
  void ApplyColourScheme() override { calls.push_back("ApplyColourScheme"); }
  void ShowColourSwatches() override { calls.push_back("ShowColourSwatches"); }
  void RefreshIdentityTab() override { calls.push_back("RefreshIdentityTab"); }
  void RepaintContactList() override { calls.push_back("RepaintContactList"); }
  void CloseChatWindows() override { calls.push_back("CloseChatWindows"); }
  void ResetTray() override { calls.push_back("ResetTray"); }
  void EmptyKnockList() override { calls.push_back("EmptyKnockList"); }
};
