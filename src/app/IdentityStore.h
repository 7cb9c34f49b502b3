#pragma once
// The identities on disk, in the program's folder: the folder "osoby" with
// one identity file "osoby/<number>" and one archive "osoby/<number>.html"
// per identity, and the one-line file "osoba" naming the default identity.
// Loads, saves, unloads and switches the current identity through the host.

#include <QString>
#include <string>
#include <vector>

class IdentityHost;

class IdentityStore {
 public:
  // dataDir: the folder of the user's files; every file name is relative to it.
  IdentityStore(IdentityHost& host, QString dataDir);

  // The listing rule: a name made only of decimal digits whose value is a
  // positive number that fits an identity (1..2147483647) names an identity;
  // anything else in "osoby" (the archives among them) does not.
  static bool IsIdentityName(const std::string& name);
  // Every identity of "osoby", in name order.
  std::vector<std::string> ListIdentities() const;

  // The default identity named by "osoba" when its identity file exists.
  // When it names none, "osoba" is deleted and the result is empty.
  std::string ReadLastIdentity();
  // Replaces "osoba" with the given name.
  bool WriteLastIdentity(const std::string& name);
  // No identity is the default any more: "osoba" is deleted.
  void ForgetLastIdentity();

  // Deletes the archive and the identity file of an identity that is not
  // loaded. Refused (false, nothing deleted) when the name is no identity's
  // or another running copy holds its archive; false also when a file
  // cannot be deleted. A missing archive counts as deleted.
  bool DeleteIdentity(const std::string& name);

  // Loads identity `name`. Fails without a message of its own when the name
  // or its file does not exist or the archive cannot be opened; refuses a
  // damaged file with a warning naming it (also a file whose number differs
  // from its name, or with more records than the contact store holds). On any failure the program's
  // state is as it was before the call.
  bool LoadIdentity(const std::string& name);

  // Writes the current identity's file through a temporary file flushed and
  // renamed into place, so a crash or kill leaves the old file or the new
  // one, whole; nothing happens (and true is returned) when no identity is loaded.
  // A failed write keeps the old file and is reported with a warning, or
  // left to the caller to tell of without report.
  bool SaveIdentity(bool report = true);

  // Back to the state without an identity.
  void UnloadIdentity();

  // Asks the user and, on consent, logs off, saves and unloads the current
  // identity. False when the user declines, a connection is being made, or
  // the save failed (then the identity stays loaded).
  bool ConfirmIdentitySwitch();

  // Default colours, applied to every window and the settings swatches.
  void ResetColours();

  QString IdentityPath(const std::string& name) const;

 private:
  IdentityHost& host_;
  QString dir_;
};
