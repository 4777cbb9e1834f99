// Member tables of the keyboard and game input classes.
// Records are kept in member-id order; each class's constants follow its
// methods and events after one free id (the constant base).
#include "runtime/class_tables.h"

namespace {

// Keyboard (class 4)
// Only IsKeyDown is reachable without an object: global key constants would
// shadow bare calls of Clear and Scroll (window) and End (program). No member
// has id 56.
const CMemberRecord kKeyboardMembers[] = {
    {kClassKeyboard, 0, "Keyboard", 0, 0},
    {1, 0, "IsKeyDown", kClassKeyboard, 0},
    {3, 0, "CONTROL", 0, kMemberConstant},
    {4, 0, "LSHIFT", 0, kMemberConstant},
    {5, 0, "RSHIFT", 0, kMemberConstant},
    {6, 0, "ALT", 0, kMemberConstant},
    {7, 0, "LBUTTON", 0, kMemberConstant},
    {8, 0, "RBUTTON", 0, kMemberConstant},
    {9, 0, "MBUTTON", 0, kMemberConstant},
    {10, 0, "BACK", 0, kMemberConstant},
    {11, 0, "TAB", 0, kMemberConstant},
    {12, 0, "CLEAR", 0, kMemberConstant},
    {13, 0, "RETURN", 0, kMemberConstant},
    {14, 0, "ESCAPE", 0, kMemberConstant},
    {15, 0, "PAGEUP", 0, kMemberConstant},
    {16, 0, "PAGEDOWN", 0, kMemberConstant},
    {17, 0, "END", 0, kMemberConstant},
    {18, 0, "HOME", 0, kMemberConstant},
    {19, 0, "LEFT", 0, kMemberConstant},
    {20, 0, "RIGHT", 0, kMemberConstant},
    {21, 0, "UP", 0, kMemberConstant},
    {22, 0, "DOWN", 0, kMemberConstant},
    {23, 0, "INSERT", 0, kMemberConstant},
    {24, 0, "DELETE", 0, kMemberConstant},
    {25, 0, "HELP", 0, kMemberConstant},
    {26, 0, "CAPSLOCK", 0, kMemberConstant},
    {27, 0, "F1", 0, kMemberConstant},
    {28, 0, "F2", 0, kMemberConstant},
    {29, 0, "F3", 0, kMemberConstant},
    {30, 0, "F4", 0, kMemberConstant},
    {31, 0, "F5", 0, kMemberConstant},
    {32, 0, "F6", 0, kMemberConstant},
    {33, 0, "F7", 0, kMemberConstant},
    {34, 0, "F8", 0, kMemberConstant},
    {35, 0, "F9", 0, kMemberConstant},
    {36, 0, "F10", 0, kMemberConstant},
    {37, 0, "F11", 0, kMemberConstant},
    {38, 0, "F12", 0, kMemberConstant},
    {39, 0, "NUM0", 0, kMemberConstant},
    {40, 0, "NUM1", 0, kMemberConstant},
    {41, 0, "NUM2", 0, kMemberConstant},
    {42, 0, "NUM3", 0, kMemberConstant},
    {43, 0, "NUM4", 0, kMemberConstant},
    {44, 0, "NUM5", 0, kMemberConstant},
    {45, 0, "NUM6", 0, kMemberConstant},
    {46, 0, "NUM7", 0, kMemberConstant},
    {47, 0, "NUM8", 0, kMemberConstant},
    {48, 0, "NUM9", 0, kMemberConstant},
    {49, 0, "MULTIPLY", 0, kMemberConstant},
    {50, 0, "ADD", 0, kMemberConstant},
    {51, 0, "SUBTRACT", 0, kMemberConstant},
    {52, 0, "DECIMAL", 0, kMemberConstant},
    {53, 0, "DIVIDE", 0, kMemberConstant},
    {54, 0, "LWIN", 0, kMemberConstant},
    {55, 0, "RWIN", 0, kMemberConstant},
    {57, 0, "NUMLOCK", 0, kMemberConstant},
    {58, 0, "SCROLL", 0, kMemberConstant},
    {59, 0, "SHIFT", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kKeyboardConstants[] = {
    {3, 17, nullptr},  // CONTROL
    {4, 160, nullptr},  // LSHIFT
    {5, 161, nullptr},  // RSHIFT
    {6, 18, nullptr},  // ALT
    {7, 1, nullptr},  // LBUTTON
    {8, 2, nullptr},  // RBUTTON
    {9, 4, nullptr},  // MBUTTON
    {10, 8, nullptr},  // BACK
    {11, 9, nullptr},  // TAB
    {12, 12, nullptr},  // CLEAR
    {13, 13, nullptr},  // RETURN
    {14, 27, nullptr},  // ESCAPE
    {15, 33, nullptr},  // PAGEUP
    {16, 34, nullptr},  // PAGEDOWN
    {17, 35, nullptr},  // END
    {18, 36, nullptr},  // HOME
    {19, 37, nullptr},  // LEFT
    {20, 39, nullptr},  // RIGHT
    {21, 38, nullptr},  // UP
    {22, 40, nullptr},  // DOWN
    {23, 45, nullptr},  // INSERT
    {24, 46, nullptr},  // DELETE
    {25, 47, nullptr},  // HELP
    {26, 20, nullptr},  // CAPSLOCK
    {27, 112, nullptr},  // F1
    {28, 113, nullptr},  // F2
    {29, 114, nullptr},  // F3
    {30, 115, nullptr},  // F4
    {31, 116, nullptr},  // F5
    {32, 117, nullptr},  // F6
    {33, 118, nullptr},  // F7
    {34, 119, nullptr},  // F8
    {35, 120, nullptr},  // F9
    {36, 121, nullptr},  // F10
    {37, 122, nullptr},  // F11
    {38, 123, nullptr},  // F12
    {39, 96, nullptr},  // NUM0
    {40, 97, nullptr},  // NUM1
    {41, 98, nullptr},  // NUM2
    {42, 99, nullptr},  // NUM3
    {43, 100, nullptr},  // NUM4
    {44, 101, nullptr},  // NUM5
    {45, 102, nullptr},  // NUM6
    {46, 103, nullptr},  // NUM7
    {47, 104, nullptr},  // NUM8
    {48, 105, nullptr},  // NUM9
    {49, 106, nullptr},  // MULTIPLY
    {50, 107, nullptr},  // ADD
    {51, 109, nullptr},  // SUBTRACT
    {52, 110, nullptr},  // DECIMAL
    {53, 111, nullptr},  // DIVIDE
    {54, 91, nullptr},  // LWIN
    {55, 92, nullptr},  // RWIN
    {57, 144, nullptr},  // NUMLOCK
    {58, 145, nullptr},  // SCROLL
    {59, 16, nullptr},  // SHIFT
    {0, 0, nullptr},
};

const uint16_t kKeyboardDependents[] = {0};

// GameInput (class 37)
const CMemberRecord kGameInputMembers[] = {
    {kClassGameInput, 0, "GameInput", 0, 0},
    {1, 0, "Start", 0, 0},
    {2, 0, "Stop", 0, 0},
    {3, 0, "GetPlayerCount", 0, 0},
    {4, 0, "LoadSettings", 0, 0},
    {5, 0, "SetupDialog", 0, 0},
    {6, 0, "SaveSettings", 0, 0},
    {7, 0, "GetDeviceValue", 0, 0},
    {8, 0, "GetPlayerDeviceType", 0, 0},
    {9, 0, "GetSettingCount", 0, 0},
    {10, 0, "GetCurrentSettingName", 0, 0},
    {11, 0, "GetCurrentSettingIndex", 0, 0},
    {12, 0, "GetSettingName", 0, 0},
    {13, 0, "HasFFSupport", 0, 0},
    {14, 0, "GetFFDevice", 0, 0},
    {15, 0, "IsStarted", 0, 0},
    {17, 0, "SETUP_OK", 0, kMemberConstant},
    {18, 0, "SETUP_CANCEL", 0, kMemberConstant},
    {19, 0, "SETUP_ERROR", 0, kMemberConstant},
    {20, 0, "DEVICE_KEYBOARD", 0, kMemberConstant},
    {21, 0, "DEVICE_JOYSTICK", 0, kMemberConstant},
    {22, 0, "DEVICE_MOUSE", 0, kMemberConstant},
    {23, 0, "DEVICE_UNKNOWN", 0, kMemberConstant},
    {24, 0, "DEVICE_INVALID", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kGameInputConstants[] = {
    {17, 1, nullptr},  // SETUP_OK
    {18, 2, nullptr},  // SETUP_CANCEL
    {19, 0, nullptr},  // SETUP_ERROR
    {20, 1, nullptr},  // DEVICE_KEYBOARD
    {21, 2, nullptr},  // DEVICE_JOYSTICK
    {22, 3, nullptr},  // DEVICE_MOUSE
    {23, 4, nullptr},  // DEVICE_UNKNOWN
    {24, 0, nullptr},  // DEVICE_INVALID
    {0, 0, nullptr},
};

const uint16_t kGameInputDependents[] = {kClassFFDevice, kClassWindow, 0};

// FFDevice (class 48)
// Ids 11 to 14 name no member.
const CMemberRecord kFFDeviceMembers[] = {
    {kClassFFDevice, 0, "FFDevice", 0, 0},
    {1, 0, "RunControlPanel", 0, 0},
    {2, 0, "GetDeviceType", 0, 0},
    {3, 0, "GetDeviceSubType", 0, 0},
    {4, 0, "GetDeviceName", 0, 0},
    {5, 0, "GetDeviceProductName", 0, 0},
    {6, 0, "GetAxisCount", 0, 0},
    {7, 0, "GetButtonCount", 0, 0},
    {8, 0, "CreateEffectFromFile", 0, 0},
    {9, 0, "DownloadEffect", 0, 0},
    {10, 0, "UnloadEffect", 0, 0},
    {15, 0, "ContinueAllEffect", 0, 0},
    {16, 0, "PauseAllEffect", 0, 0},
    {17, 0, "ResetAllEffect", 0, 0},
    {18, 0, "StopAllEffect", 0, 0},
    {19, 0, "StartEffect", 0, 0},
    {20, 0, "StopEffect", 0, 0},
    {21, 0, "GetEffectName", 0, 0},
    {22, 0, "GetEffectType", 0, 0},
    {24, 0, "EFFECT_TYPE_INVALID", 0, kMemberConstant},
    {25, 0, "EFFECT_TYPE_COMMON", 0, kMemberConstant},
    {26, 0, "EFFECT_TYPE_CONDITION", 0, kMemberConstant},
    {27, 0, "EFFECT_TYPE_CONSTANTFORCE", 0, kMemberConstant},
    {28, 0, "EFFECT_TYPE_CUSTOMFORCE", 0, kMemberConstant},
    {29, 0, "EFFECT_TYPE_RAMPFORCE", 0, kMemberConstant},
    {30, 0, "EFFECT_TYPE_PERIODIC", 0, kMemberConstant},
    {31, 0, "INPUTTYPE_INVALID", 0, kMemberConstant},
    {32, 0, "INPUTTYPE_MOUSE", 0, kMemberConstant},
    {33, 0, "INPUTTYPE_KEYBOARD", 0, kMemberConstant},
    {34, 0, "INPUTTYPE_JOYSTICK", 0, kMemberConstant},
    {35, 0, "INPUTMOUSETYPE_INVALID", 0, kMemberConstant},
    {36, 0, "INPUTMOUSETYPE_UNKNOWN", 0, kMemberConstant},
    {37, 0, "INPUTMOUSETYPE_TRADITIONAL", 0, kMemberConstant},
    {38, 0, "INPUTMOUSETYPE_FINGERSTICK", 0, kMemberConstant},
    {39, 0, "INPUTMOUSETYPE_TOUCHPAD", 0, kMemberConstant},
    {40, 0, "INPUTMOUSETYPE_TRACKBALL", 0, kMemberConstant},
    {41, 0, "INPUTKEYBOARDTYPE_INVALID", 0, kMemberConstant},
    {42, 0, "INPUTKEYBOARDTYPE_UNKNOWN", 0, kMemberConstant},
    {43, 0, "INPUTKEYBOARDTYPE_GENERIC", 0, kMemberConstant},
    {44, 0, "INPUTKEYBOARDTYPE_APPLEDESIGN", 0, kMemberConstant},
    {45, 0, "INPUTKEYBOARDTYPE_APPLEEXTENDED", 0, kMemberConstant},
    {46, 0, "INPUTKEYBOARDTYPE_APPLEIMACUSB", 0, kMemberConstant},
    {47, 0, "INPUTKEYBOARDTYPE_PCXT", 0, kMemberConstant},
    {48, 0, "INPUTKEYBOARDTYPE_OLIVETTI", 0, kMemberConstant},
    {49, 0, "INPUTKEYBOARDTYPE_PCAT", 0, kMemberConstant},
    {50, 0, "INPUTKEYBOARDTYPE_PCENH", 0, kMemberConstant},
    {51, 0, "INPUTKEYBOARDTYPE_NOKIA1050", 0, kMemberConstant},
    {52, 0, "INPUTKEYBOARDTYPE_NOKIA9140", 0, kMemberConstant},
    {53, 0, "INPUTKEYBOARDTYPE_NEC98", 0, kMemberConstant},
    {54, 0, "INPUTKEYBOARDTYPE_NEC98LAPTOP", 0, kMemberConstant},
    {55, 0, "INPUTKEYBOARDTYPE_NEC98106", 0, kMemberConstant},
    {56, 0, "INPUTKEYBOARDTYPE_JAPAN106", 0, kMemberConstant},
    {57, 0, "INPUTKEYBOARDTYPE_JAPANAX", 0, kMemberConstant},
    {58, 0, "INPUTKEYBOARDTYPE_J3100", 0, kMemberConstant},
    {59, 0, "INPUTKEYBOARDTYPE_APPLENOTEBOOK", 0, kMemberConstant},
    {60, 0, "INPUTJOYSTICKTYPE_INVALID", 0, kMemberConstant},
    {61, 0, "INPUTJOYSTICKTYPE_UNKNOWN", 0, kMemberConstant},
    {62, 0, "INPUTJOYSTICKTYPE_TRADITIONAL", 0, kMemberConstant},
    {63, 0, "INPUTJOYSTICKTYPE_FLIGHTSTICK", 0, kMemberConstant},
    {64, 0, "INPUTJOYSTICKTYPE_GAMEPAD", 0, kMemberConstant},
    {65, 0, "INPUTJOYSTICKTYPE_RUDDER", 0, kMemberConstant},
    {66, 0, "INPUTJOYSTICKTYPE_WHEEL", 0, kMemberConstant},
    {67, 0, "INPUTJOYSTICKTYPE_HEADTRACKER", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kFFDeviceConstants[] = {
    {24, 0, nullptr},  // EFFECT_TYPE_INVALID
    {25, 1, nullptr},  // EFFECT_TYPE_COMMON
    {26, 2, nullptr},  // EFFECT_TYPE_CONDITION
    {27, 3, nullptr},  // EFFECT_TYPE_CONSTANTFORCE
    {28, 4, nullptr},  // EFFECT_TYPE_CUSTOMFORCE
    {29, 5, nullptr},  // EFFECT_TYPE_RAMPFORCE
    {30, 6, nullptr},  // EFFECT_TYPE_PERIODIC
    {31, 0, nullptr},  // INPUTTYPE_INVALID
    {32, 1, nullptr},  // INPUTTYPE_MOUSE
    {33, 2, nullptr},  // INPUTTYPE_KEYBOARD
    {34, 3, nullptr},  // INPUTTYPE_JOYSTICK
    {35, 0, nullptr},  // INPUTMOUSETYPE_INVALID
    {36, 1, nullptr},  // INPUTMOUSETYPE_UNKNOWN
    {37, 2, nullptr},  // INPUTMOUSETYPE_TRADITIONAL
    {38, 3, nullptr},  // INPUTMOUSETYPE_FINGERSTICK
    {39, 4, nullptr},  // INPUTMOUSETYPE_TOUCHPAD
    {40, 5, nullptr},  // INPUTMOUSETYPE_TRACKBALL
    {41, 0, nullptr},  // INPUTKEYBOARDTYPE_INVALID
    {42, 1, nullptr},  // INPUTKEYBOARDTYPE_UNKNOWN
    {43, 2, nullptr},  // INPUTKEYBOARDTYPE_GENERIC
    {44, 3, nullptr},  // INPUTKEYBOARDTYPE_APPLEDESIGN
    {45, 4, nullptr},  // INPUTKEYBOARDTYPE_APPLEEXTENDED
    {46, 5, nullptr},  // INPUTKEYBOARDTYPE_APPLEIMACUSB
    {47, 7, nullptr},  // INPUTKEYBOARDTYPE_PCXT
    {48, 8, nullptr},  // INPUTKEYBOARDTYPE_OLIVETTI
    {49, 9, nullptr},  // INPUTKEYBOARDTYPE_PCAT
    {50, 10, nullptr},  // INPUTKEYBOARDTYPE_PCENH
    {51, 11, nullptr},  // INPUTKEYBOARDTYPE_NOKIA1050
    {52, 12, nullptr},  // INPUTKEYBOARDTYPE_NOKIA9140
    {53, 13, nullptr},  // INPUTKEYBOARDTYPE_NEC98
    {54, 14, nullptr},  // INPUTKEYBOARDTYPE_NEC98LAPTOP
    {55, 15, nullptr},  // INPUTKEYBOARDTYPE_NEC98106
    {56, 16, nullptr},  // INPUTKEYBOARDTYPE_JAPAN106
    {57, 17, nullptr},  // INPUTKEYBOARDTYPE_JAPANAX
    {58, 18, nullptr},  // INPUTKEYBOARDTYPE_J3100
    {59, 0, nullptr},  // INPUTKEYBOARDTYPE_APPLENOTEBOOK
    {60, 0, nullptr},  // INPUTJOYSTICKTYPE_INVALID
    {61, 1, nullptr},  // INPUTJOYSTICKTYPE_UNKNOWN
    {62, 2, nullptr},  // INPUTJOYSTICKTYPE_TRADITIONAL
    {63, 3, nullptr},  // INPUTJOYSTICKTYPE_FLIGHTSTICK
    {64, 4, nullptr},  // INPUTJOYSTICKTYPE_GAMEPAD
    {65, 5, nullptr},  // INPUTJOYSTICKTYPE_RUDDER
    {66, 6, nullptr},  // INPUTJOYSTICKTYPE_WHEEL
    {67, 7, nullptr},  // INPUTJOYSTICKTYPE_HEADTRACKER
    {0, 0, nullptr},
};

const uint16_t kFFDeviceDependents[] = {0};

}  // namespace

const CClassInfo kKeyboardClassInfo = {kClassKeyboard, kKeyboardMembers, kKeyboardConstants,
                                       kKeyboardDependents, 2, true};
const CClassInfo kGameInputClassInfo = {kClassGameInput, kGameInputMembers, kGameInputConstants,
                                        kGameInputDependents, 16, false};
const CClassInfo kFFDeviceClassInfo = {kClassFFDevice, kFFDeviceMembers, kFFDeviceConstants,
                                       kFFDeviceDependents, 23, false};
