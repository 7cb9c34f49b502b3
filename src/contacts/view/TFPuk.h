#pragma once
// The knock list window: numbers that reported a status without being
// contacts. Created once at start and only hidden when closed; the main
// window adds the knocks and answers the add button.

#include <cstdint>
#include <string>

#include "contacts/KnockList.h"
#include "ui/TSkinnedForm.h"

class QListWidget;
class TButon;

class TFPuk : public TSkinnedForm {
  Q_OBJECT
 public:
  explicit TFPuk(QWidget* parent = nullptr);

  // A knock: appended unless already listed; true when appended.
  bool AddKnock(uint32_t numer);
  void Clear();
  const KnockList& Knocks() const { return knocks_; }

  // The selected entry, -1 when none.
  int SelectedIndex() const;
  std::string SelectedNumber() const;
  // Drops entry i (nothing for -1) and leaves no entry selected.
  void RemoveAt(int i);

  void Buton1Click();
  void Buton2Click();
  void ListaPukDblClick();

  // The fixed look of the list survives every recolouring.
  void ApplyColours() override;

  QListWidget* ListaPuk;
  TButon* Buton1;
  TButon* Buton2;
  TButon* BZamknij;

 signals:
  // The list gained or lost an entry: the knock button follows it.
  void Changed();
  // Buton1 with an entry selected: add it as a contact.
  void AddRequested();
  // A double-click on a number: its chat window is to be opened.
  void OpenChatRequested(uint32_t numer);

 private:
  KnockList knocks_;
};
