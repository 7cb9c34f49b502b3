#include "contacts/ContactStore.h"

#include <QLocale>
#include <algorithm>

#include "platform/Cp1250.h"

ContactStore::ContactStore(QCollator collator) : collator_(std::move(collator)) {
  // No locale set (common on minimal systems) compares code points, which
  // puts every Polish capital after "Z"; the names are Polish, so they are
  // collated as Polish then.
  if (collator_.locale().language() == QLocale::C) collator_.setLocale(QLocale(QLocale::Polish));
  collator_.setCaseSensitivity(Qt::CaseInsensitive);
  records_.reserve(kPojemnosc);
  order_.reserve(kPojemnosc);
}

QCollatorSortKey ContactStore::KeyFor(const TKontakt& k) const {
  return collator_.sortKey(cp1250::toQString(k.wyswietl));
}

bool ContactStore::Before(int a, int b) const {
  const bool pa = records_[a].Obecny();
  const bool pb = records_[b].Obecny();
  if (pa != pb) return pa;
  return keys_[a].compare(keys_[b]) < 0;
}

void ContactStore::Clear() {
  records_.clear();
  keys_.clear();
  order_.clear();
  selected_ = -1;
}

bool ContactStore::Add(const TKontakt& record) {
  if (Count() >= kPojemnosc) return false;
  records_.push_back(record.Normalised());
  keys_.push_back(KeyFor(records_.back()));
  order_.push_back(static_cast<uint16_t>(Count() - 1));
  Reposition(Count() - 1);
  return true;
}

void ContactStore::Remove(int r) {
  if (r < 0 || r >= Count()) return;
  const int pos = PositionOf(r);
  if (selected_ == pos) {
    selected_ = -1;
  } else if (selected_ > pos) {
    --selected_;  // the contacts below the removed one move up a row
  }
  const int last = LastIndex();
  if (r != last) {
    records_[r] = std::move(records_[last]);
    keys_[r] = keys_[last];
  }
  records_.pop_back();
  keys_.pop_back();
  order_.erase(order_.begin() + pos);
  for (auto& idx : order_) {
    if (idx == last) idx = static_cast<uint16_t>(r);
  }
}

void ContactStore::Sort() {
  if (Count() < 2) return;
  const int sel = selected_ >= 0 ? order_[selected_] : -1;
  std::stable_sort(order_.begin(), order_.end(),
                   [this](uint16_t a, uint16_t b) { return Before(a, b); });
  if (sel >= 0) selected_ = PositionOf(sel);
}

void ContactStore::Reposition(int p) {
  const int x = order_[p];
  order_.erase(order_.begin() + p);
  // Everything else is in order: the contacts equal to x form one run, and
  // x goes back among them at the place it had, so equal names never swap.
  const auto lo = std::partition_point(order_.begin(), order_.end(),
                                       [&](uint16_t y) { return Before(y, x); });
  const auto hi = std::partition_point(lo, order_.end(),
                                       [&](uint16_t y) { return !Before(x, y); });
  const int np = std::clamp(p, int(lo - order_.begin()), int(hi - order_.begin()));
  order_.insert(order_.begin() + np, static_cast<uint16_t>(x));
  if (selected_ == p) {
    selected_ = np;
  } else if (selected_ >= 0) {
    int s = selected_;
    if (s > p) --s;
    if (s >= np) ++s;
    selected_ = s;
  }
}

int ContactStore::FindByNumber(uint32_t numer) const {
  for (int r = 0; r < Count(); ++r) {
    if (records_[r].numer == numer) return r;
  }
  return -1;
}

int ContactStore::PositionOf(int r) const {
  const auto it = std::find(order_.begin(), order_.end(), r);
  return it == order_.end() ? -1 : int(it - order_.begin());
}

std::string ContactStore::NameForNumber(uint32_t numer, bool zNumerem) const {
  const int r = FindByNumber(numer);
  if (r < 0) return std::to_string(numer);
  if (!zNumerem) return records_[r].wyswietl;
  return records_[r].wyswietl + " (" + std::to_string(numer) + ")";
}

ContactStore::StatusResult ContactStore::ApplyStatus(uint32_t numer, uint8_t statusIndex,
                                                     const std::string& opis,
                                                     uint32_t ownNumber) {
  const int r = FindByNumber(numer);
  if (r < 0) return numer == ownNumber ? StatusResult::kWlasny : StatusResult::kPukanie;
  records_[r].status = statusIndex;
  records_[r].opis = opis;
  Reposition(PositionOf(r));
  return StatusResult::kZmieniony;
}

void ContactStore::ResetStatuses() {
  for (auto& k : records_) {
    k.status = 0;
    k.opis.clear();
  }
  Sort();
}

void ContactStore::Edit(int r, const TKontakt& dane) {
  if (r < 0 || r >= Count()) return;
  const TKontakt cut = dane.Normalised();
  TKontakt& k = records_[r];
  k.nazwisko = cut.nazwisko;
  k.wyswietl = cut.wyswietl;
  k.telefon = cut.telefon;
  k.email = cut.email;
  keys_[r] = KeyFor(k);
  Reposition(PositionOf(r));
}
