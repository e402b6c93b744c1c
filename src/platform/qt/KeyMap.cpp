#include "platform/qt/KeyMap.h"

#include <Qt>

namespace tv::platform::qt {
namespace {

constexpr UINT VK_CLEAR = 0x0C;
constexpr UINT VK_SELECT = 0x29;
constexpr UINT VK_PRINT = 0x2A;
constexpr UINT VK_EXECUTE = 0x2B;
constexpr UINT VK_SNAPSHOT = 0x2C;
constexpr UINT VK_HELP = 0x2F;
constexpr UINT VK_LWIN = 0x5B;
constexpr UINT VK_RWIN = 0x5C;
constexpr UINT VK_APPS = 0x5D;
constexpr UINT VK_NUMPAD0 = 0x60;
constexpr UINT VK_MULTIPLY = 0x6A;
constexpr UINT VK_ADD = 0x6B;
constexpr UINT VK_SUBTRACT = 0x6D;
constexpr UINT VK_DECIMAL = 0x6E;
constexpr UINT VK_DIVIDE = 0x6F;
constexpr UINT VK_OEM_1 = 0xBA;       // ;:
constexpr UINT VK_OEM_PLUS = 0xBB;    // =+
constexpr UINT VK_OEM_COMMA = 0xBC;   // ,<
constexpr UINT VK_OEM_MINUS = 0xBD;   // -_
constexpr UINT VK_OEM_PERIOD = 0xBE;  // .>
constexpr UINT VK_OEM_2 = 0xBF;       // /?
constexpr UINT VK_OEM_3 = 0xC0;       // `~
constexpr UINT VK_OEM_4 = 0xDB;       // [{
constexpr UINT VK_OEM_5 = 0xDC;       // \|
constexpr UINT VK_OEM_6 = 0xDD;       // ]}
constexpr UINT VK_OEM_7 = 0xDE;       // '"

struct Pair {
  int qt;
  UINT vk;
};

constexpr Pair kSpecial[] = {
    {Qt::Key_Backspace, VK_BACK},   {Qt::Key_Tab, VK_TAB},          {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Clear, VK_CLEAR},      {Qt::Key_Return, VK_RETURN},    {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Shift, VK_SHIFT},      {Qt::Key_Control, VK_CONTROL},  {Qt::Key_Alt, VK_MENU},
    {Qt::Key_AltGr, VK_MENU},       {Qt::Key_Pause, VK_PAUSE},      {Qt::Key_CapsLock, VK_CAPITAL},
    {Qt::Key_Escape, VK_ESCAPE},    {Qt::Key_Space, VK_SPACE},      {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},    {Qt::Key_End, VK_END},          {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},        {Qt::Key_Up, VK_UP},            {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},        {Qt::Key_Select, VK_SELECT},    {Qt::Key_Printer, VK_PRINT},
    {Qt::Key_Execute, VK_EXECUTE},  {Qt::Key_Print, VK_SNAPSHOT},   {Qt::Key_SysReq, VK_SNAPSHOT},
    {Qt::Key_Insert, VK_INSERT},    {Qt::Key_Delete, VK_DELETE},    {Qt::Key_Help, VK_HELP},
    {Qt::Key_Meta, VK_LWIN},        {Qt::Key_Super_L, VK_LWIN},     {Qt::Key_Super_R, VK_RWIN},
    {Qt::Key_Menu, VK_APPS},        {Qt::Key_NumLock, VK_NUMLOCK},  {Qt::Key_ScrollLock, VK_SCROLL},
    {Qt::Key_Semicolon, VK_OEM_1},  {Qt::Key_Colon, VK_OEM_1},      {Qt::Key_Equal, VK_OEM_PLUS},
    {Qt::Key_Plus, VK_OEM_PLUS},    {Qt::Key_Comma, VK_OEM_COMMA},  {Qt::Key_Less, VK_OEM_COMMA},
    {Qt::Key_Minus, VK_OEM_MINUS},  {Qt::Key_Underscore, VK_OEM_MINUS}, {Qt::Key_Period, VK_OEM_PERIOD},
    {Qt::Key_Greater, VK_OEM_PERIOD}, {Qt::Key_Slash, VK_OEM_2},    {Qt::Key_Question, VK_OEM_2},
    {Qt::Key_QuoteLeft, VK_OEM_3},  {Qt::Key_AsciiTilde, VK_OEM_3}, {Qt::Key_BracketLeft, VK_OEM_4},
    {Qt::Key_BraceLeft, VK_OEM_4},  {Qt::Key_Backslash, VK_OEM_5},  {Qt::Key_Bar, VK_OEM_5},
    {Qt::Key_BracketRight, VK_OEM_6}, {Qt::Key_BraceRight, VK_OEM_6}, {Qt::Key_Apostrophe, VK_OEM_7},
    {Qt::Key_QuoteDbl, VK_OEM_7},
};

// Shifted digits on a US layout arrive as their symbols; Windows reports the digit key.
constexpr Pair kShiftedDigits[] = {
    {Qt::Key_ParenRight, '0'}, {Qt::Key_Exclam, '1'},     {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'}, {Qt::Key_Dollar, '4'},     {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'}, {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
};

}  // namespace

UINT VirtualKeyFromQtKey(int key, bool keypad) {
  if (keypad) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return VK_NUMPAD0 + static_cast<UINT>(key - Qt::Key_0);
    switch (key) {
      case Qt::Key_Asterisk: return VK_MULTIPLY;
      case Qt::Key_Plus: return VK_ADD;
      case Qt::Key_Minus: return VK_SUBTRACT;
      case Qt::Key_Period:
      case Qt::Key_Comma: return VK_DECIMAL;
      case Qt::Key_Slash: return VK_DIVIDE;
      default: break;
    }
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<UINT>('A' + (key - Qt::Key_A));
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<UINT>('0' + (key - Qt::Key_0));
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
  for (const Pair& p : kSpecial)
    if (p.qt == key) return p.vk;
  for (const Pair& p : kShiftedDigits)
    if (p.qt == key) return p.vk;
  return 0;
}

std::uint32_t KeysymFromVirtualKey(UINT vk) {
  if (vk >= 'A' && vk <= 'Z') return 'a' + (vk - 'A');  // XK_a..XK_z
  if (vk >= '0' && vk <= '9') return vk;                // XK_0..XK_9
  if (vk >= VK_F1 && vk <= VK_F1 + 23) return 0xffbe + (vk - VK_F1);  // XK_F1..XK_F24
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return 0xffb0 + (vk - VK_NUMPAD0);  // XK_KP_0..
  switch (vk) {
    case VK_BACK: return 0xff08;
    case VK_TAB: return 0xff09;
    case VK_CLEAR: return 0xff0b;
    case VK_RETURN: return 0xff0d;
    case VK_PAUSE: return 0xff13;
    case VK_SCROLL: return 0xff14;
    case VK_ESCAPE: return 0xff1b;
    case VK_HOME: return 0xff50;
    case VK_LEFT: return 0xff51;
    case VK_UP: return 0xff52;
    case VK_RIGHT: return 0xff53;
    case VK_DOWN: return 0xff54;
    case VK_PRIOR: return 0xff55;
    case VK_NEXT: return 0xff56;
    case VK_END: return 0xff57;
    case VK_SELECT: return 0xff60;
    case VK_SNAPSHOT: return 0xff61;
    case VK_EXECUTE: return 0xff62;
    case VK_INSERT: return 0xff63;
    case VK_APPS: return 0xff67;
    case VK_HELP: return 0xff6a;
    case VK_NUMLOCK: return 0xff7f;
    case VK_MULTIPLY: return 0xffaa;
    case VK_ADD: return 0xffab;
    case VK_SUBTRACT: return 0xffad;
    case VK_DECIMAL: return 0xffae;
    case VK_DIVIDE: return 0xffaf;
    case VK_SHIFT: return 0xffe1;
    case VK_CONTROL: return 0xffe3;
    case VK_CAPITAL: return 0xffe5;
    case VK_MENU: return 0xffe9;
    case VK_LWIN: return 0xffeb;
    case VK_RWIN: return 0xffec;
    case VK_DELETE: return 0xffff;
    case VK_SPACE: return 0x20;
    case VK_OEM_1: return ';';
    case VK_OEM_PLUS: return '=';
    case VK_OEM_COMMA: return ',';
    case VK_OEM_MINUS: return '-';
    case VK_OEM_PERIOD: return '.';
    case VK_OEM_2: return '/';
    case VK_OEM_3: return '`';
    case VK_OEM_4: return '[';
    case VK_OEM_5: return '\\';
    case VK_OEM_6: return ']';
    case VK_OEM_7: return '\'';
    default: return 0;
  }
}

}  // namespace tv::platform::qt
