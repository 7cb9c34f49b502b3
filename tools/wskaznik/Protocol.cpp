// The protocol's tables, generated as C: compiled here after the client
// header, whose extern declarations give them external linkage in C++.
#include "wlr-virtual-pointer-client.h"
#include "wlr-virtual-pointer-protocol.c"
