#pragma once
// The contacts of the current identity: the records in the order they were
// added (the order of the identity file), the display order over them, and
// the selected list position, which always stays on the contact it shows.
//
// Display order: present contacts (status index 2 or more) first, then the
// others; within each group by display name, compared case-insensitively by
// the collator of the user's locale (Polish when the locale is "C" or
// "POSIX"). Contacts that compare equal keep their relative order. The store
// keeps the display order sorted after every operation, so a change of one
// contact moves only that contact.
//
// Plain logic: nothing is painted here. The list control repaints after
// Apply status and Reset statuses, and its callers after the other operations.

#include <QCollator>
#include <QCollatorSortKey>
#include <cstdint>
#include <string>
#include <vector>

#include "contacts/Kontakt.h"

class ContactStore {
 public:
  static constexpr int kPojemnosc = 400;  // record slots

  // The collator is made case-insensitive here. Default: the user's locale.
  // The most contacts the user may add; the server watches no more.
  static constexpr int kMaxContacts = 250;

  explicit ContactStore(QCollator collator = QCollator());

  // Count 0, no selection.
  void Clear();

  // Appends a copy of the record's persisted part (texts cut to their
  // fields) with status 0 and no description, and sorts it into place.
  // Checks neither kMaxContacts nor duplicates (callers do); refuses only
  // when all slots are taken, returning false.
  bool Add(const TKontakt& record);

  // Removes record index r (not a list position). The last record moves
  // into the freed slot; the display order closes the gap without sorting.
  // Out-of-range indices are ignored.
  void Remove(int r);

  // Brings the display order into order. The operations above keep it in
  // order already; this is for callers that want to be sure.
  void Sort();

  // First record index holding the number, or -1.
  int FindByNumber(uint32_t numer) const;

  // The display name, "name (number)" with zNumerem, or the bare decimal
  // number for a number that is not stored.
  std::string NameForNumber(uint32_t numer, bool zNumerem) const;

  enum class StatusResult {
    kZmieniony,   // a contact took the status: repaint the list
    kPukanie,     // not a contact: the number belongs on the knock list
    kWlasny,      // the identity's own number, not on the list: ignore it
  };

  // A status notice. statusIndex is already mapped from the wire's status
  // code (the dispatcher does that with StatusIndexFromCode); an unknown
  // code arrives unchanged and is stored as it is. ownNumber is the current
  // identity's number: the server may report it, and it is no knock.
  StatusResult ApplyStatus(uint32_t numer, uint8_t statusIndex, const std::string& opis,
                           uint32_t ownNumber);

  // Every record back to status 0 without description (connection ended).
  void ResetStatuses();

  // Contact editing: full name, display name, phone and e-mail of record r
  // take those of `dane` (cut to their fields); number, status and
  // description stay. The contact moves to its new place in the list.
  void Edit(int r, const TKontakt& dane);

  int Count() const { return static_cast<int>(records_.size()); }
  int LastIndex() const { return Count() - 1; }
  const TKontakt& Record(int r) const { return records_[r]; }
  // Record index shown at list position p (0 <= p < Count()).
  int RecordAt(int p) const { return order_[p]; }
  const std::vector<uint16_t>& DisplayOrder() const { return order_; }
  // List position showing record r, or -1.
  int PositionOf(int r) const;

  int Selected() const { return selected_; }
  void SetSelected(int p) { selected_ = (p >= 0 && p < Count()) ? p : -1; }

 private:
  QCollatorSortKey KeyFor(const TKontakt& k) const;
  // Record a shows before record b.
  bool Before(int a, int b) const;
  // Moves the contact at list position p to its place, the rest being in
  // order; contacts equal to it keep their relative order to it.
  void Reposition(int p);

  QCollator collator_;
  std::vector<TKontakt> records_;
  std::vector<QCollatorSortKey> keys_;  // one per record
  std::vector<uint16_t> order_;         // list position -> record index
  int selected_ = -1;
};
