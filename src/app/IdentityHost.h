#pragma once
// What the identity store needs from the main window: the program's state it
// reads and changes, and the windows and connection it asks to act. The main
// window implements it; the identity store never reaches a window directly.

#include <cstdint>
#include <string>

#include "ui/ColourScheme.h"

class ContactStore;

// The current identity as the program holds it. Number 0 means none.
struct IdentityState {
  uint32_t numer = 0;
  std::string haslo;    // password, Windows-1250, at most 32 bytes are stored
  std::string opis;     // own description; any length (cut only where a packet is built)
  uint8_t status = 0;   // own status index 0..6
  ColourScheme kolory;
};

class IdentityHost {
 public:
  virtual ~IdentityHost() = default;

  virtual IdentityState& State() = 0;
  virtual ContactStore& Contacts() = 0;

  // The archive "osoby/<name>.html" of the program's folder. Open and Create
  // keep the opened file as the archive, held for writing with other writers
  // refused, and return false when that cannot be done (for instance when a
  // second running copy holds it). Create writes the archive's head first.
  virtual bool ArchiveExists(const std::string& name) = 0;
  virtual bool OpenArchive(const std::string& name) = 0;
  virtual bool CreateArchive(const std::string& name) = 0;
  virtual void CloseArchive() = 0;

  // Connection state: 255 not configured, 0 not connected, 1 connecting,
  // 2 connected. Setting it also updates its display.
  virtual int ConnectionState() = 0;
  virtual void SetConnectionState(int state) = 0;
  virtual void SetAutoReconnect(bool on) = 0;
  // Tells the server "not available" (index 0) or "not available with
  // description" (index 1) with the description, never the invisible code.
  virtual void SendNotAvailable(uint8_t statusIndex, const std::string& opis) = 0;
  virtual void CloseConnection() = 0;

  // Shows the own status; State().status already holds it.
  virtual void ShowOwnStatus(uint8_t statusIndex) = 0;
  // Recolours every window with State().kolory.
  virtual void ApplyColourScheme() = 0;
  // The settings dialog's colour swatches show State().kolory.
  virtual void ShowColourSwatches() = 0;
  virtual void RefreshIdentityTab() = 0;
  virtual void RepaintContactList() = 0;
  // Closes and frees every chat window.
  virtual void CloseChatWindows() = 0;
  // The tray icon stops cycling, shows its first picture, rebuilds its menu.
  virtual void ResetTray() = 0;
  virtual void EmptyKnockList() = 0;
};
