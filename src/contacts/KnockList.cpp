#include "contacts/KnockList.h"

#include <algorithm>

#include "platform/Cp1250.h"

bool KnockList::Add(uint32_t numer) {
  std::string text = std::to_string(numer);
  if (std::find(numbers_.begin(), numbers_.end(), text) != numbers_.end()) return false;
  numbers_.push_back(std::move(text));
  return true;
}

void KnockList::RemoveAt(int i) {
  if (i < 0 || i >= Count()) return;
  numbers_.erase(numbers_.begin() + i);
}

std::string KnockList::Hint() const {
  return T("Masz pukanie od ") + std::to_string(Count()) + (Count() < 2 ? T(" osoby") : T(" osób"));
}
