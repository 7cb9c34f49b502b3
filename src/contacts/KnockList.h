#pragma once
// Numbers the server reported a status for although they are not contacts,
// as decimal texts in the order they first knocked, each once. Held only in
// memory for the run.
//
// A server may report tens of thousands of strangers in one notify reply:
// the list keeps the first kMaxKnocks, and a later number is listed once
// the user has removed some. Those who knocked first keep their places,
// so an entry the user has selected does not move.

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

class KnockList {
 public:
  static constexpr int kMaxKnocks = 1000;

  // Appends the number's decimal text unless it is already listed or the
  // list is full; true when it was appended.
  bool Add(uint32_t numer);
  // Removes entry i; out-of-range indices are ignored.
  void RemoveAt(int i);
  void Clear();
  // The entry holding this decimal text, or -1.
  int IndexOf(const std::string& number) const;

  int Count() const { return static_cast<int>(numbers_.size()); }
  bool Empty() const { return numbers_.empty(); }
  const std::string& At(int i) const { return numbers_[i]; }
  const std::vector<std::string>& Numbers() const { return numbers_; }

  // The knock button's hint (Windows-1250): "Masz pukanie od " with the
  // count and " osoby" below 2, " osób" from 2.
  std::string Hint() const;

 private:
  std::vector<std::string> numbers_;
  std::unordered_set<uint32_t> listed_;  // the same numbers, for the duplicate check
};
