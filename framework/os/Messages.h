#pragma once

#include <cstdint>

// The window-message vocabulary the layers above the OS layer consume: message numbers,
// virtual-key codes and mouse-key flags with their classic Win32 values, plus the game's own
// private messages. Records are produced by an EventSource and carried unchanged to the
// message and input handlers.

// One message as the window procedure receives it: 12 bytes, all unsigned.
struct MessageRecord {
    uint32_t message = 0;
    uint32_t wParam = 0;
    uint32_t lParam = 0;

    bool operator==(const MessageRecord&) const = default;
};
static_assert(sizeof(MessageRecord) == 12);

// Packs a client position into lParam: x in the low 16 bits, y in the high 16 bits; negative
// coordinates become 16-bit two's complement.
constexpr uint32_t packCoordinates(int32_t x, int32_t y) {
    return (static_cast<uint32_t>(x) & 0xFFFFu) | ((static_cast<uint32_t>(y) & 0xFFFFu) << 16);
}
// Key messages' lParam bit: the key was already down (a repeat, or a press that goes on).
inline constexpr uint32_t KEY_WAS_DOWN = 1u << 30;
// The low and high 16 bits of lParam, unsigned as the input queue reads them.
constexpr uint32_t loWord(uint32_t value) {
    return value & 0xFFFFu;
}
constexpr uint32_t hiWord(uint32_t value) {
    return value >> 16;
}

// Window messages.
inline constexpr uint32_t WM_CREATE = 0x0001;
inline constexpr uint32_t WM_DESTROY = 0x0002;
inline constexpr uint32_t WM_MOVE = 0x0003;
inline constexpr uint32_t WM_SIZE = 0x0005;
inline constexpr uint32_t WM_SETFOCUS = 0x0007;
inline constexpr uint32_t WM_KILLFOCUS = 0x0008;
inline constexpr uint32_t WM_PAINT = 0x000F;
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_QUIT = 0x0012;
inline constexpr uint32_t WM_ERASEBKGND = 0x0014;
inline constexpr uint32_t WM_SYSCOLORCHANGE = 0x0015;
inline constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
inline constexpr uint32_t WM_SETCURSOR = 0x0020;
inline constexpr uint32_t WM_NCCALCSIZE = 0x0083;
inline constexpr uint32_t WM_NCPAINT = 0x0085;
inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_KEYUP = 0x0101;
inline constexpr uint32_t WM_CHAR = 0x0102;
inline constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
inline constexpr uint32_t WM_SYSKEYUP = 0x0105;
inline constexpr uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
inline constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr uint32_t WM_MBUTTONUP = 0x0208;
inline constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;

// The game's private messages, sent by the game window to its message listeners.
inline constexpr uint32_t MSG_FULLSCREEN_CHANGED = 0xAF00FA00;  // wParam 1 in full screen
inline constexpr uint32_t MSG_DEACTIVATED = 0xAF00FA01;
inline constexpr uint32_t MSG_ACTIVATED = 0xAF00FA02;

// wParam of WM_SIZE.
inline constexpr uint32_t SIZE_RESTORED = 0;
inline constexpr uint32_t SIZE_MINIMIZED = 1;
inline constexpr uint32_t SIZE_MAXIMIZED = 2;

// wParam of WM_SYSCOMMAND.
inline constexpr uint32_t SC_MINIMIZE = 0xF020;
inline constexpr uint32_t SC_KEYMENU = 0xF100;

// Mouse-key flags in the wParam of mouse messages.
inline constexpr uint32_t MK_LBUTTON = 0x0001;
inline constexpr uint32_t MK_RBUTTON = 0x0002;
inline constexpr uint32_t MK_SHIFT = 0x0004;
inline constexpr uint32_t MK_CONTROL = 0x0008;
inline constexpr uint32_t MK_MBUTTON = 0x0010;

// Virtual-key codes. Letters and digits are their upper-case ASCII codes ('A' 0x41, '0' 0x30).
inline constexpr uint32_t VK_BACK = 0x08;
inline constexpr uint32_t VK_TAB = 0x09;
inline constexpr uint32_t VK_RETURN = 0x0D;
inline constexpr uint32_t VK_SHIFT = 0x10;
inline constexpr uint32_t VK_CONTROL = 0x11;
inline constexpr uint32_t VK_MENU = 0x12;  // Alt
inline constexpr uint32_t VK_PAUSE = 0x13;
inline constexpr uint32_t VK_ESCAPE = 0x1B;
inline constexpr uint32_t VK_SPACE = 0x20;
inline constexpr uint32_t VK_PRIOR = 0x21;  // Page Up
inline constexpr uint32_t VK_NEXT = 0x22;   // Page Down
inline constexpr uint32_t VK_END = 0x23;
inline constexpr uint32_t VK_HOME = 0x24;
inline constexpr uint32_t VK_LEFT = 0x25;
inline constexpr uint32_t VK_UP = 0x26;
inline constexpr uint32_t VK_RIGHT = 0x27;
inline constexpr uint32_t VK_DOWN = 0x28;
inline constexpr uint32_t VK_INSERT = 0x2D;
inline constexpr uint32_t VK_DELETE = 0x2E;
inline constexpr uint32_t VK_NUMPAD0 = 0x60;  // to VK_NUMPAD9 0x69
inline constexpr uint32_t VK_MULTIPLY = 0x6A;
inline constexpr uint32_t VK_ADD = 0x6B;
inline constexpr uint32_t VK_SEPARATOR = 0x6C;
inline constexpr uint32_t VK_SUBTRACT = 0x6D;
inline constexpr uint32_t VK_DECIMAL = 0x6E;
inline constexpr uint32_t VK_DIVIDE = 0x6F;
inline constexpr uint32_t VK_F1 = 0x70;  // to VK_F12 0x7B
inline constexpr uint32_t VK_F12 = 0x7B;
// Punctuation keys, named by what they type on a US layout.
inline constexpr uint32_t VK_OEM_1 = 0xBA;     // ;
inline constexpr uint32_t VK_OEM_PLUS = 0xBB;  // =
inline constexpr uint32_t VK_OEM_COMMA = 0xBC;
inline constexpr uint32_t VK_OEM_MINUS = 0xBD;
inline constexpr uint32_t VK_OEM_PERIOD = 0xBE;
inline constexpr uint32_t VK_OEM_2 = 0xBF;    // /
inline constexpr uint32_t VK_OEM_3 = 0xC0;    // `
inline constexpr uint32_t VK_OEM_4 = 0xDB;    // [
inline constexpr uint32_t VK_OEM_5 = 0xDC;    // backslash
inline constexpr uint32_t VK_OEM_6 = 0xDD;    // ]
inline constexpr uint32_t VK_OEM_7 = 0xDE;    // '
inline constexpr uint32_t VK_OEM_102 = 0xE2;  // the extra key beside the left Shift: <
