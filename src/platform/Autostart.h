#pragma once
// Starting with the desktop session: the XDG autostart entry
// $XDG_CONFIG_HOME/autostart/Wirmelak.desktop (~/.config/autostart when the
// variable is unset, empty or not an absolute path), a desktop entry whose
// Exec line runs the program with the argument "autostart".
//
// Only this one file is ever written or deleted; the folder and the other
// entries in it are the desktop's.

#include <QString>

class AutostartEntry {
 public:
  enum class State {
    kNiedostepny,  // the folder cannot be read or created
    kBrak,         // no entry, or one without an Exec line
    kPoprawny,     // the entry runs this program with "autostart"
    kBledny,       // the entry's Exec line is another one
  };

  // programPath: the program file's full path.
  explicit AutostartEntry(QString programPath);

  static QString Folder();
  QString FilePath() const;
  // The Exec line the entry must have, without "Exec=": the program's path,
  // quoted when it needs to be, a blank and "autostart".
  QString ExpectedExec() const;

  State Read() const;
  // Writes the entry through a temporary file renamed into place, creating
  // the folder when needed. False when that cannot be done.
  bool Write() const;
  // Deletes the entry; true when it is gone (also when there was none).
  bool Remove() const;

  // One argument of an Exec line as it stands in the file: "%" doubled;
  // an argument holding a blank or another reserved character enclosed in
  // double quotes, with '"', '`', '$' and '\' behind a backslash; then the
  // escapes of a string value (backslash doubled, line breaks and tabs as
  // \n, \r, \t).
  static QString ExecArgument(const QString& argument);

 private:
  QString programPath_;
};
