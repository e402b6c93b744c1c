#include "platform/qt/X11HotKeys.h"

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdlib>

#include "platform/qt/KeyMap.h"

namespace tv::platform::qt {
namespace {

constexpr std::uint32_t kNumLockKeysym = 0xff7f;
constexpr std::uint16_t kRelevantMods =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

std::uint16_t MaskFromModifiers(UINT mods) {
  std::uint16_t m = 0;
  if (mods & MOD_ALT) m |= XCB_MOD_MASK_1;
  if (mods & MOD_CONTROL) m |= XCB_MOD_MASK_CONTROL;
  if (mods & MOD_SHIFT) m |= XCB_MOD_MASK_SHIFT;
  if (mods & 0x8) m |= XCB_MOD_MASK_4;  // MOD_WIN
  return m;
}

}  // namespace

void SyncX(xcb_connection_t* c) { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }

std::vector<std::uint8_t> KeycodesForKeysym(xcb_connection_t* c, std::uint32_t keysym) {
  std::vector<std::uint8_t> out;
  xcb_key_symbols_t* syms = xcb_key_symbols_alloc(c);
  if (!syms) return out;
  if (xcb_keycode_t* codes = xcb_key_symbols_get_keycode(syms, keysym)) {
    for (xcb_keycode_t* k = codes; *k != XCB_NO_SYMBOL; ++k)
      if (std::find(out.begin(), out.end(), *k) == out.end()) out.push_back(*k);
    std::free(codes);
  }
  xcb_key_symbols_free(syms);
  return out;
}

std::uint16_t FindNumLockMask(xcb_connection_t* c) {
  const std::vector<std::uint8_t> numLock = KeycodesForKeysym(c, kNumLockKeysym);
  xcb_get_modifier_mapping_reply_t* r = xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr);
  std::uint16_t mask = 0;
  if (r) {
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(r);
    const int per = r->keycodes_per_modifier;
    for (int mod = 0; mod < 8 && !mask; ++mod)
      for (int i = 0; i < per; ++i) {
        const xcb_keycode_t k = codes[mod * per + i];
        if (k && std::find(numLock.begin(), numLock.end(), k) != numLock.end()) {
          mask = static_cast<std::uint16_t>(1u << mod);
          break;
        }
      }
    std::free(r);
  }
  return mask ? mask : static_cast<std::uint16_t>(XCB_MOD_MASK_2);
}

X11HotKeys::X11HotKeys(xcb_connection_t* connection, std::uint32_t root, Fire fire)
    : c_(connection), root_(root), fire_(std::move(fire)) {
  numLockMask_ = FindNumLockMask(c_);
}

X11HotKeys::~X11HotKeys() {
  for (auto& [key, g] : grabs_) Ungrab(g);
  xcb_flush(c_);
}

std::vector<std::uint16_t> X11HotKeys::LockVariants() const {
  std::vector<std::uint16_t> v{0, XCB_MOD_MASK_LOCK};
  if (numLockMask_ && numLockMask_ != XCB_MOD_MASK_LOCK) {
    v.push_back(numLockMask_);
    v.push_back(static_cast<std::uint16_t>(numLockMask_ | XCB_MOD_MASK_LOCK));
  }
  return v;
}

void X11HotKeys::Ungrab(const Grab& g) {
  for (std::uint8_t k : g.keycodes)
    for (std::uint16_t lock : LockVariants())
      xcb_ungrab_key(c_, k, root_, static_cast<std::uint16_t>(g.mask | lock));
}

bool X11HotKeys::Register(HWND window, int id, UINT modifiers, UINT vk) {
  if (grabs_.count({window, id})) return false;
  const std::uint32_t keysym = KeysymFromVirtualKey(vk);
  if (!keysym) return false;
  Grab g;
  g.modifiers = modifiers;
  g.vk = vk;
  g.mask = MaskFromModifiers(modifiers);
  for (auto& [key, other] : grabs_)
    if (other.vk == vk && other.mask == g.mask) return false;
  g.keycodes = KeycodesForKeysym(c_, keysym);
  if (g.keycodes.empty()) return false;

  std::vector<xcb_void_cookie_t> cookies;
  for (std::uint8_t k : g.keycodes)
    for (std::uint16_t lock : LockVariants())
      // owner_events off: the press goes to the root window even when one of our own windows
      // has the focus, so the hot key wins over ordinary key handling there too.
      cookies.push_back(xcb_grab_key_checked(c_, 0, root_, static_cast<std::uint16_t>(g.mask | lock), k,
                                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
  bool taken = false;
  for (auto cookie : cookies) {
    // BadAccess: another client holds the combination; any other error fails the same way.
    if (xcb_generic_error_t* err = xcb_request_check(c_, cookie)) {
      taken = true;
      std::free(err);
    }
  }
  if (taken) {
    // Ungrabbing affects only our own grabs, so the other client keeps its key.
    Ungrab(g);
    xcb_flush(c_);
    return false;
  }
  grabs_[{window, id}] = std::move(g);
  return true;
}

bool X11HotKeys::Unregister(HWND window, int id) {
  auto it = grabs_.find({window, id});
  if (it == grabs_.end()) return false;
  Ungrab(it->second);
  xcb_flush(c_);
  grabs_.erase(it);
  return true;
}

void X11HotKeys::UnregisterWindow(HWND window) {
  for (auto it = grabs_.begin(); it != grabs_.end();) {
    if (it->first.first == window) {
      Ungrab(it->second);
      it = grabs_.erase(it);
    } else {
      ++it;
    }
  }
  xcb_flush(c_);
}

bool X11HotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != QByteArrayLiteral("xcb_generic_event_t") || grabs_.empty()) return false;
  auto* ev = static_cast<xcb_generic_event_t*>(message);
  const std::uint8_t type = ev->response_type & 0x7f;
  if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
  auto* key = reinterpret_cast<xcb_key_press_event_t*>(ev);
  if (key->root != root_) return false;
  const std::uint16_t mods = key->state & kRelevantMods;
  for (auto& [wid, g] : grabs_) {
    if (g.mask != mods) continue;
    if (std::find(g.keycodes.begin(), g.keycodes.end(), key->detail) == g.keycodes.end()) continue;
    if (type == XCB_KEY_PRESS) fire_(wid.first, wid.second, g.modifiers, g.vk);
    return true;
  }
  return false;
}

}  // namespace tv::platform::qt
