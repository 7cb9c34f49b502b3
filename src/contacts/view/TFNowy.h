#pragma once
// The contact data window: number, full name, display name, mobile phone and
// e-mail of one contact, for adding a contact and for editing one. It only
// validates and hands the fields back; the main window decides what happens
// to the store and the server.

#include <string>

#include "contacts/Kontakt.h"
#include "ui/TSkinnedForm.h"

class QLabel;
class QLineEdit;
class TButon;
class TNapisButon;

class TFNowy : public TSkinnedForm {
  Q_OBJECT
 public:
  explicit TFNowy(QWidget* parent = nullptr);

  // Editing: the fields of the record, the number shown but locked.
  void Fill(const TKontakt& k);
  // Adding from a knock: the number alone (decimal text).
  void SetNumber(const std::string& numer);

  // The record the fields describe: texts cut to their fields, the phone
  // without spaces and dashes, the display name untrimmed. Meaningful once
  // the window has closed with OK.
  TKontakt Record() const;

  // Napis1's click: the first failing check warns and leaves the window
  // open; otherwise the window closes with OK.
  void BitBtn2Click();

  // The phone as the user typed it, without spaces and dashes.
  std::string PhoneDigits() const;

  QLabel* Label1;     // "nr użytkownika"
  QLineEdit* ENumer;
  QLabel* ENazwiskoLabel;
  QLineEdit* ENazwisko;
  QLabel* ENazwaLabel;
  QLineEdit* ENazwa;
  QLabel* Label2;     // the phone's label
  QLineEdit* ETelefon;
  QLabel* EAdresLabel;
  QLineEdit* EAdres;
  TNapisButon* Napis1;
  TNapisButon* NapisButon1;
  TButon* BZamknij;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// "123456789" -> "123-456-789" as the phone edit shows it; shorter phones
// (from old files) fill what they can.
std::string PhoneForEdit(const std::string& telefon);
