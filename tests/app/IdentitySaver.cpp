// Saves identity 4242 in the folder given, versions first, first + 1, ...
// one after another until it is killed:
//   IdentitySaver <program folder> <first version>
// Prints "ready" when it starts saving.
#include <iostream>
#include <string>

#include "SavedVersions.h"
#include "app/IdentityStore.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  FakeIdentityHost host;
  IdentityStore store(host, QString::fromLocal8Bit(argv[1]));
  std::cout << "ready" << std::endl;
  for (int v = std::stoi(argv[2]);; ++v) {
    FillVersion(host, v);
    if (!store.SaveIdentity()) return 1;
  }
}
