// Asks an X window to close the way a window manager does (WM_DELETE_WINDOW):
// e2e_x11close WINDOW-ID
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(r);
  return a;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
    return 2;
  }
  const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return 1;
  xcb_client_message_event_t ev{};
  ev.response_type = XCB_CLIENT_MESSAGE;
  ev.format = 32;
  ev.window = window;
  ev.type = Atom(c, "WM_PROTOCOLS");
  ev.data.data32[0] = Atom(c, "WM_DELETE_WINDOW");
  ev.data.data32[1] = XCB_CURRENT_TIME;
  auto cookie = xcb_send_event_checked(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
  xcb_generic_error_t* err = xcb_request_check(c, cookie);
  const int rc = err ? 1 : 0;
  std::free(err);
  xcb_disconnect(c);
  return rc;
}
