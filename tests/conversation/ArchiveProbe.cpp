// A second copy of the program, as far as the archive is concerned. Started
// by the archive tests as a separate process:
//   ArchiveProbe open|create|locked|hold <folder> <number>
//   ArchiveProbe append <folder> <number> <first>
// open/create exit 0 when the archive could be opened/created, 1 otherwise;
// locked exits 0 when another process holds the archive, 1 otherwise; hold
// opens it, prints "ready" and keeps it until its standard input closes;
// append opens it, prints "ready" and appends AppendedText(first),
// AppendedText(first + 1), ... from number 7 until it is killed.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "AppendedTexts.h"
#include "conversation/MessageArchive.h"

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "append") == 0) {
    MessageArchive archive(
        QString::fromLocal8Bit(argv[2]), [](const std::string&) { return false; }, nullptr,
        &AppendedAt);
    if (!archive.OpenExisting(argv[3])) return 1;
    std::cout << "ready" << std::endl;
    for (int i = std::atoi(argv[4]);; ++i) archive.ArchiveMessage(7, AppendedText(i));
  }
  if (argc != 4) return 2;
  const std::string mode = argv[1];
  const QString folder = QString::fromLocal8Bit(argv[2]);
  const std::string number = argv[3];
  MessageArchive archive(folder, nullptr, nullptr);
  if (mode == "open") return archive.OpenExisting(number) ? 0 : 1;
  if (mode == "create") return archive.CreateArchive(number) ? 0 : 1;
  if (mode == "locked") return MessageArchive::IsLockedElsewhere(folder, number) ? 0 : 1;
  if (mode == "hold") {
    if (!archive.OpenExisting(number)) return 1;
    std::cout << "ready" << std::endl;
    std::string line;
    std::getline(std::cin, line);
    return 0;
  }
  return 2;
}
