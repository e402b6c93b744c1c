#pragma once
// System-wide hot keys on X11: passive key grabs on the root window, one per lock-state variant,
// caught by a native event filter before Qt sees them.
#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "platform/WinDefs.h"

struct xcb_connection_t;

namespace tv::platform::qt {

class X11HotKeys : public QAbstractNativeEventFilter {
 public:
  // fire(window, id, modifiers, vk) runs for each press of a registered key.
  using Fire = std::function<void(HWND, int, UINT, UINT)>;
  X11HotKeys(xcb_connection_t* connection, std::uint32_t root, Fire fire);
  ~X11HotKeys() override;

  // false when the key has no keysym or keycode, the (window, id) pair or the key combination is
  // already ours, or another client holds any of its grabs.
  bool Register(HWND window, int id, UINT modifiers, UINT vk);
  bool Unregister(HWND window, int id);
  void UnregisterWindow(HWND window);

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  struct Grab {
    UINT modifiers = 0;
    UINT vk = 0;
    std::uint16_t mask = 0;  // X modifier mask of the combination
    std::vector<std::uint8_t> keycodes;
  };
  std::vector<std::uint16_t> LockVariants() const;
  void Ungrab(const Grab& g);

  xcb_connection_t* c_;
  std::uint32_t root_;
  Fire fire_;
  std::uint16_t numLockMask_ = 0;
  std::map<std::pair<HWND, int>, Grab> grabs_;
};

// The X modifier bit Num Lock sets on this server (Mod2 on most).
std::uint16_t FindNumLockMask(xcb_connection_t* c);
// Keycodes that produce `keysym` in the current keyboard mapping.
std::vector<std::uint8_t> KeycodesForKeysym(xcb_connection_t* c, std::uint32_t keysym);
// A round trip: every request sent before has been handled by the server when this returns.
void SyncX(xcb_connection_t* c);

}  // namespace tv::platform::qt
