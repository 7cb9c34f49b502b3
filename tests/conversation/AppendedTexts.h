#pragma once
// The messages the archive kill test appends: message i names its index and
// is up to 100 KB long, written in many pages that a kill can stop between.

#include <QDateTime>
#include <string>

inline std::string AppendedText(int i) {
  std::string text = "wpis ";
  text += std::to_string(i);
  text += ' ';
  text.append(size_t(i) * 7919 % 100000, char('a' + i % 26));
  return text;
}

// The clock of every append: one day, so the separator marks only the first
// entry each process writes.
inline QDateTime AppendedAt() { return QDateTime(QDate(2026, 12, 8), QTime(17, 20, 0)); }
