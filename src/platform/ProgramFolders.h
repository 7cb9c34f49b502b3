#pragma once
// Where the program finds its own files and where it keeps the user's.
//
// The program folder is the one that holds the executable, with ikony/ and
// notify.wav beside it. The user's folder holds "Wirmelak.ini", "osoba" and
// "osoby/"; it is the working folder of the whole run.
//
// A program run from a folder of its own (the build folder, a copy of it)
// keeps the user's files in that same folder. A program that came in the
// package finds the marker file kInstalledMarker beside itself; its folder
// belongs to the system (/usr/lib/wirmelak), so the user's files go to
// $XDG_DATA_HOME/Wirmelak, ~/.local/share/Wirmelak when the variable is
// unset, empty or not an absolute path. Whether a folder can be written says
// nothing: root writes anywhere, and an unpacked package is still a package.
//
// Nothing else in the program computes these folders.

#include <QString>

class ProgramFolders {
 public:
  static constexpr const char* kInstalledMarker = "installed";
  // The name of the user's folder inside the data home.
  static constexpr const char* kDataFolderName = "Wirmelak";

  ProgramFolders() = default;

  // executable: the program file's absolute path; dataHome: the value of
  // XDG_DATA_HOME (empty when unset); home: the user's home folder.
  static ProgramFolders Of(const QString& executable, const QString& dataHome, const QString& home);
  // This process, from its executable and its environment.
  static ProgramFolders OfThisProgram();
  // Everything in one folder, as a copy of the build folder keeps it, for a
  // program whose executable is folder/wirmelak.
  static ProgramFolders OneFolder(const QString& folder);

  bool Installed() const { return installed_; }
  // ikony/ and notify.wav.
  const QString& ProgramDir() const { return programDir_; }
  // Wirmelak.ini, osoba, osoby/: the working folder.
  const QString& DataDir() const { return dataDir_; }
  // What the desktop runs to start this program: for the package the
  // command it puts on the PATH (<prefix>/bin/wirmelak, which survives an
  // upgrade that moves the program), else the executable itself.
  const QString& Command() const { return command_; }

  // Makes the user's folder when it is missing. False when it cannot be.
  bool CreateDataDir() const;
  // The archive pages in osoby/ show their emoticons as "../ikony/...": an
  // installed program's user folder gets ikony as a symbolic link to the
  // program's pictures, made when it is missing and pointed again when it
  // leads elsewhere (a copy moved or removed). A real folder or file of
  // that name is the user's and stays. True when the link is right.
  bool LinkPictures() const;

 private:
  bool installed_ = false;
  QString programDir_;
  QString dataDir_;
  QString command_;
};
