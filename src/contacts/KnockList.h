#pragma once
// Numbers the server reported a status for although they are not contacts,
// as decimal texts in the order they first knocked, each once. Held only in
// memory for the run.

#include <cstdint>
#include <string>
#include <vector>

class KnockList {
 public:
  // Appends the number's decimal text unless it is already listed; true
  // when it was appended.
  bool Add(uint32_t numer);
  // Removes entry i; out-of-range indices are ignored.
  void RemoveAt(int i);
  void Clear() { numbers_.clear(); }

  int Count() const { return static_cast<int>(numbers_.size()); }
  bool Empty() const { return numbers_.empty(); }
  const std::string& At(int i) const { return numbers_[i]; }
  const std::vector<std::string>& Numbers() const { return numbers_; }

  // The knock button's hint (Windows-1250): "Masz pukanie od " with the
  // count and " osoby" below 2, " osób" from 2.
  std::string Hint() const;

 private:
  std::vector<std::string> numbers_;
};
