#pragma once

// The words the settings dialog shows for a hotkey: the modifier state (1
// Shift, 2 Ctrl, 4 Alt, as key events report it) and the virtual-key code.

#include <array>
#include <string>
#include <string_view>

namespace vantrel {

// clang-format off
inline constexpr std::array<std::string_view, 9> kShiftNames = {
    /* 0 */ "",
    /* 1 */ "Shift",
    /* 2 */ "Ctrl",
    /* 3 */ "Ctrl-Shift",
    /* 4 */ "Alt",
    /* 5 */ "Alt-Shift",
    /* 6 */ "Ctrl-Alt",
    /* 7 */ "Ctrl-Alt-Shift",
    /* 8 */ "",
};

// By virtual-key code; codes without a name are empty. "Substract", misspelt,
// is the name the hotkey box and the log show for the keypad's minus key;
// support material quotes it, so it stays.
inline constexpr std::array<std::string_view, 136> kKeyNames = {
    /*   0 */ "",                  "",                  "",                  "CANCEL",
    /*   4 */ "",                  "",                  "",                  "",
    /*   8 */ "BACKSPACE",         "TAB",               "",                  "",
    /*  12 */ "CLEAR",             "ENTER",             "",                  "",
    /*  16 */ "",                  "",                  "",                  "PAUSE",
    /*  20 */ "CAPS LOCK",         "",                  "",                  "",
    /*  24 */ "",                  "",                  "",                  "ESC",
    /*  28 */ "",                  "",                  "",                  "",
    /*  32 */ "SPACEBAR",          "PAGE UP",           "PAGE DOWN",         "END",
    /*  36 */ "HOME",              "LEFT ARROW",        "UP ARROW",          "RIGHT ARROW",
    /*  40 */ "DOWN ARROW",        "SELECT",            "",                  "EXECUTE",
    /*  44 */ "PRINT SCREEN",      "INS",               "DEL",               "HELP",
    /*  48 */ "0",                 "1",                 "2",                 "3",
    /*  52 */ "4",                 "5",                 "6",                 "7",
    /*  56 */ "8",                 "9",                 "",                  "",
    /*  60 */ "",                  "",                  "",                  "",
    /*  64 */ "",                  "A",                 "B",                 "C",
    /*  68 */ "D",                 "E",                 "F",                 "G",
    /*  72 */ "H",                 "I",                 "J",                 "K",
    /*  76 */ "L",                 "M",                 "N",                 "O",
    /*  80 */ "P",                 "Q",                 "R",                 "S",
    /*  84 */ "T",                 "U",                 "V",                 "W",
    /*  88 */ "X",                 "Y",                 "Z",                 "Left Windows key",
    /*  92 */ "Right Windows key", "Applications key",  "",                  "",
    /*  96 */ "Numeric keypad 0",  "Numeric keypad 1",  "Numeric keypad 2",  "Numeric keypad 3",
    /* 100 */ "Numeric keypad 4",  "Numeric keypad 5",  "Numeric keypad 6",  "Numeric keypad 7",
    /* 104 */ "Numeric keypad 8",  "Numeric keypad 9",  "Multiply",          "Add",
    /* 108 */ "Separator",         "Substract",         "Decimal",           "Divide",
    /* 112 */ "F1",                "F2",                "F3",                "F4",
    /* 116 */ "F5",                "F6",                "F7",                "F8",
    /* 120 */ "F9",                "F10",               "F11",               "F12",
    /* 124 */ "F13",               "F14",               "F15",               "F16",
    /* 128 */ "F17",               "F18",               "F19",               "F20",
    /* 132 */ "F21",               "F22",               "F23",               "F24",
};
// clang-format on

// The table's entry, or "Shift <n>" for a state outside it.
std::string ShiftName(int shift);
// The table's entry, or "Key <n>" for a code outside it.
std::string KeyName(int code);
// ShiftName, one space, KeyName: "Ctrl-Alt F5", or " F11" without modifiers.
// Never fails, so a stored value of any size can be shown.
std::string HotKeyText(int shift, int code);
// The same without the leading space of a bare key: "F11", "Ctrl-Alt F5".
std::string HotKeyLabel(int shift, int code);

}  // namespace vantrel
