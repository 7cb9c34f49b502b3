// wskaznik: the user's mouse on a Wayland compositor that has none (sway
// without input devices, as in the Wayland desktop test): a virtual
// pointer, held as long as this runs, driven by lines on standard input,
// each answered "ok" once the compositor has taken it (or "error" for a
// line that does not read):
//   move X Y     the pointer to X,Y of the output layout
//   press        the left button down
//   release      and up again
// Arguments: the layout's width and height.

#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "wlr-virtual-pointer-client.h"

namespace {

constexpr uint32_t kLeftButton = 0x110;  // BTN_LEFT of the kernel's input codes

wl_seat* seat = nullptr;
zwlr_virtual_pointer_manager_v1* manager = nullptr;

void Global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat)
    seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
    manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}
void GlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistry{Global, GlobalRemove};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s WIDTH HEIGHT\n", argv[0]);
    return 2;
  }
  const uint32_t width = std::strtoul(argv[1], nullptr, 10), height = std::strtoul(argv[2], nullptr, 10);
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::fprintf(stderr, "no Wayland display\n");
    return 1;
  }
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistry, nullptr);
  wl_display_roundtrip(display);
  if (!seat || !manager) {
    std::fprintf(stderr, "the compositor offers no virtual pointer\n");
    return 1;
  }
  zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
  wl_display_roundtrip(display);
  std::printf("ok\n");
  std::fflush(stdout);

  uint32_t time = 0;
  char line[128];
  while (std::fgets(line, sizeof line, stdin)) {
    time += 10;
    unsigned x = 0, y = 0;
    bool read = true;
    if (std::sscanf(line, "move %u %u", &x, &y) == 2)
      zwlr_virtual_pointer_v1_motion_absolute(pointer, time, x, y, width, height);
    else if (std::strncmp(line, "press", 5) == 0)
      zwlr_virtual_pointer_v1_button(pointer, time, kLeftButton, WL_POINTER_BUTTON_STATE_PRESSED);
    else if (std::strncmp(line, "release", 7) == 0)
      zwlr_virtual_pointer_v1_button(pointer, time, kLeftButton, WL_POINTER_BUTTON_STATE_RELEASED);
    else
      read = false;
    if (read) zwlr_virtual_pointer_v1_frame(pointer);
    const bool alive = wl_display_roundtrip(display) >= 0;
    std::printf(read && alive ? "ok\n" : "error\n");
    std::fflush(stdout);
    if (!alive) return 1;
  }
  zwlr_virtual_pointer_v1_destroy(pointer);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return 0;
}
