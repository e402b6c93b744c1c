#pragma once
// Translations between Qt key codes, Windows virtual-key codes and X keysyms.
#include <cstdint>

#include "platform/WinDefs.h"

namespace tv::platform::qt {

// Qt::Key (as int) to a Windows virtual-key code; 0 when the key has none.
// `keypad` tells digits and operators of the numeric keypad apart.
UINT VirtualKeyFromQtKey(int qtKey, bool keypad = false);

// Windows virtual-key code to an X keysym; 0 when the key has none.
std::uint32_t KeysymFromVirtualKey(UINT vk);

}  // namespace tv::platform::qt
