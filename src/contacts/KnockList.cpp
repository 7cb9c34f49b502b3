#include "contacts/KnockList.h"

#include <algorithm>
#include <charconv>

#include "platform/Cp1250.h"

bool KnockList::Add(uint32_t numer) {
  if (Count() >= kMaxKnocks || !listed_.insert(numer).second) return false;
  numbers_.push_back(std::to_string(numer));
  return true;
}

void KnockList::RemoveAt(int i) {
  if (i < 0 || i >= Count()) return;
  uint32_t numer = 0;
  const std::string& text = numbers_[i];
  std::from_chars(text.data(), text.data() + text.size(), numer);
  listed_.erase(numer);
  numbers_.erase(numbers_.begin() + i);
}

void KnockList::Clear() {
  numbers_.clear();
  listed_.clear();
}

int KnockList::IndexOf(const std::string& number) const {
  const auto it = std::find(numbers_.begin(), numbers_.end(), number);
  return it == numbers_.end() ? -1 : static_cast<int>(it - numbers_.begin());
}

std::string KnockList::Hint() const {
  return T("Masz pukanie od ") + std::to_string(Count()) + (Count() < 2 ? T(" osoby") : T(" osób"));
}
