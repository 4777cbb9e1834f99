// Member tables of the window and control classes.
// Records are kept in member-id order; each class's constants follow its
// methods and events after one free id (the constant base).
#include "runtime/class_tables.h"

namespace {

constexpr int32_t Word(uint32_t v) {
    return static_cast<int32_t>(v);
}

// Font (class 7)
const CMemberRecord kFontMembers[] = {
    {kClassFont, 0, "Font", 0, 0},
    {1, 0, "GetFaceName", 0, 0},
    {2, 0, "GetHeight", 0, 0},
    {3, 0, "GetWeight", 0, 0},
    {4, 0, "IsItalic", 0, 0},
    {5, 0, "IsUnderline", 0, 0},
    {6, 0, "IsStrikeOut", 0, 0},
    {8, 0, "THIN", 0, kMemberConstant},
    {9, 0, "EXTRALIGHT", 0, kMemberConstant},
    {10, 0, "LIGHT", 0, kMemberConstant},
    {11, 0, "NORMAL", 0, kMemberConstant},
    {12, 0, "MEDIUM", 0, kMemberConstant},
    {13, 0, "SEMIBOLD", 0, kMemberConstant},
    {14, 0, "BOLD", 0, kMemberConstant},
    {15, 0, "EXTRABOLD", 0, kMemberConstant},
    {16, 0, "HEAVY", 0, kMemberConstant},
    {17, 0, "ITALIC", 0, kMemberConstant},
    {18, 0, "UNDERLINE", 0, kMemberConstant},
    {19, 0, "STRIKEOUT", 0, kMemberConstant},
    {20, 0, "FIXEDPITCH", 0, kMemberConstant},
    {21, 0, "VARIABLEPITCH", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kFontConstants[] = {
    {8, Word(0x80000064), nullptr},  // THIN
    {9, Word(0x800000C8), nullptr},  // EXTRALIGHT
    {10, Word(0x8000012C), nullptr},  // LIGHT
    {11, Word(0x80000190), nullptr},  // NORMAL
    {12, Word(0x800001F4), nullptr},  // MEDIUM
    {13, Word(0x80000258), nullptr},  // SEMIBOLD
    {14, Word(0x800002BC), nullptr},  // BOLD
    {15, Word(0x80000320), nullptr},  // EXTRABOLD
    {16, Word(0x80000384), nullptr},  // HEAVY
    {17, Word(0xC0000001), nullptr},  // ITALIC
    {18, Word(0xC0000002), nullptr},  // UNDERLINE
    {19, Word(0xC0000004), nullptr},  // STRIKEOUT
    {20, Word(0xC0000008), nullptr},  // FIXEDPITCH
    {21, Word(0xC0000010), nullptr},  // VARIABLEPITCH
    {0, 0, nullptr},
};

const uint16_t kFontDependents[] = {0};

// Animation (class 12)
const CMemberRecord kAnimationMembers[] = {
    {kClassAnimation, 0, "Animation", 0, 0},
    {1, 0, "GetX", 0, 0},
    {2, 0, "GetY", 0, 0},
    {3, 0, "GetWidth", 0, 0},
    {4, 0, "GetHeight", 0, 0},
    {5, 0, "Show", 0, 0},
    {6, 0, "Hide", 0, 0},
    {7, 0, "IsVisible", 0, 0},
    {8, 0, "SetPosition", 0, 0},
    {9, 0, "SetSize", 0, 0},
    {10, 0, "ToBack", 0, 0},
    {11, 0, "SetTopMost", 0, 0},
    {12, 0, "Enable", 0, 0},
    {13, 0, "Disable", 0, 0},
    {14, 0, "IsEnabled", 0, 0},
    {15, 0, "SetText", 0, 0},
    {16, 0, "GetText", 0, 0},
    {17, 0, "ToFront", 0, 0},
    {18, 0, "GetXMouse", 0, 0},
    {19, 0, "GetYMouse", 0, 0},
    {20, 0, "SetColor", 0, 0},
    {21, 0, "SetBackColor", 0, 0},
    {22, 0, "GetColor", 0, 0},
    {23, 0, "GetBackColor", 0, 0},
    {24, 0, "SetFont", 0, 0},
    {25, 0, "GetFont", 0, 0},
    {26, 0, "GetParentWindow", 0, 0},
    {27, 0, "HasAttribute", 0, 0},
    {28, 0, "SetPrivateData", 0, 0},
    {29, 0, "GetPrivateData", 0, 0},
    {30, 0, "GetXScreen", 0, 0},
    {31, 0, "GetYScreen", 0, 0},
    {32, 0, "GetXWindow", 0, 0},
    {33, 0, "GetYWindow", 0, 0},
    {34, 0, "SetFocus", 0, 0},
    {35, 0, "HasFocus", 0, 0},
    {36, 0, "OnKeyDown", 0, 0},
    {37, 0, "OnKeyUp", 0, 0},
    {38, 0, "Play", 0, 0},
    {39, 0, "Stop", 0, 0},
    {40, 0, "Pause", 0, 0},
    {41, 0, "SetFrame", 0, 0},
    {42, 0, "GetFrame", 0, 0},
    {43, 0, "Resume", 0, 0},
    {44, 0, "IsPlaying", 0, 0},
    {45, 0, "IsPaused", 0, 0},
    {46, 0, "GetNFrames", 0, 0},
    {47, 0, "NextFrame", 0, 0},
    {48, 0, "PrevFrame", 0, 0},
    {49, 0, "SetSpeedFactor", 0, 0},
    {50, 0, "GetSpeedFactor", 0, 0},
    {52, 0, "NOBORDER", 0, kMemberConstant},
    {53, 0, "TABSTOP", 0, kMemberConstant},
    {54, 0, "STATICEDGE", 0, kMemberConstant},
    {55, 0, "VSCROLL", 0, kMemberConstant},
    {56, 0, "HSCROLL", 0, kMemberConstant},
    {57, 0, "HIDDEN", 0, kMemberConstant},
    {58, 0, "BORDER", 0, kMemberConstant},
    {59, 0, "REVERSE", 0, kMemberConstant},
    {60, 0, "LOOP_INFINITE", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kAnimationConstants[] = {
    {52, Word(0xDEB20000), nullptr},  // NOBORDER
    {53, Word(0xDEB00001), nullptr},  // TABSTOP
    {54, Word(0xDEB10002), nullptr},  // STATICEDGE
    {55, Word(0xDEB00003), nullptr},  // VSCROLL
    {56, Word(0xDEB00004), nullptr},  // HSCROLL
    {57, Word(0xDEB20005), nullptr},  // HIDDEN
    {58, Word(0xDEB00006), nullptr},  // BORDER
    {59, Word(0xABCD0001), nullptr},  // REVERSE
    {60, -1, nullptr},  // LOOP_INFINITE
    {0, 0, nullptr},
};

const uint16_t kAnimationDependents[] = {0};

// Button (class 15)
const CMemberRecord kButtonMembers[] = {
    {kClassButton, 0, "Button", 0, 0},
    {1, 0, "GetX", 0, 0},
    {2, 0, "GetY", 0, 0},
    {3, 0, "GetWidth", 0, 0},
    {4, 0, "GetHeight", 0, 0},
    {5, 0, "Show", 0, 0},
    {6, 0, "Hide", 0, 0},
    {7, 0, "IsVisible", 0, 0},
    {8, 0, "SetPosition", 0, 0},
    {9, 0, "SetSize", 0, 0},
    {10, 0, "ToBack", 0, 0},
    {11, 0, "SetTopMost", 0, 0},
    {12, 0, "Enable", 0, 0},
    {13, 0, "Disable", 0, 0},
    {14, 0, "IsEnabled", 0, 0},
    {15, 0, "SetText", 0, 0},
    {16, 0, "GetText", 0, 0},
    {17, 0, "ToFront", 0, 0},
    {18, 0, "GetXMouse", 0, 0},
    {19, 0, "GetYMouse", 0, 0},
    {20, 0, "SetColor", 0, 0},
    {21, 0, "SetBackColor", 0, 0},
    {22, 0, "GetColor", 0, 0},
    {23, 0, "GetBackColor", 0, 0},
    {24, 0, "SetFont", 0, 0},
    {25, 0, "GetFont", 0, 0},
    {26, 0, "GetParentWindow", 0, 0},
    {27, 0, "HasAttribute", 0, 0},
    {28, 0, "SetPrivateData", 0, 0},
    {29, 0, "GetPrivateData", 0, 0},
    {30, 0, "GetXScreen", 0, 0},
    {31, 0, "GetYScreen", 0, 0},
    {32, 0, "GetXWindow", 0, 0},
    {33, 0, "GetYWindow", 0, 0},
    {34, 0, "SetFocus", 0, 0},
    {35, 0, "HasFocus", 0, 0},
    {36, 0, "OnKeyDown", 0, 0},
    {37, 0, "OnKeyUp", 0, 0},
    {38, 0, "OnClick", 0, 0},
    {39, 0, "OnDblClick", 0, 0},
    {40, 0, "OnSetFocus", 0, 0},
    {41, 0, "OnKillFocus", 0, 0},
    {43, 0, "NOBORDER", 0, kMemberConstant},
    {44, 0, "TABSTOP", 0, kMemberConstant},
    {45, 0, "STATICEDGE", 0, kMemberConstant},
    {46, 0, "VSCROLL", 0, kMemberConstant},
    {47, 0, "HSCROLL", 0, kMemberConstant},
    {48, 0, "HIDDEN", 0, kMemberConstant},
    {49, 0, "BORDER", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kButtonConstants[] = {
    {43, Word(0xDEB20000), nullptr},  // NOBORDER
    {44, Word(0xDEB00001), nullptr},  // TABSTOP
    {45, Word(0xDEB10002), nullptr},  // STATICEDGE
    {46, Word(0xDEB00003), nullptr},  // VSCROLL
    {47, Word(0xDEB00004), nullptr},  // HSCROLL
    {48, Word(0xDEB20005), nullptr},  // HIDDEN
    {49, Word(0xDEB00006), nullptr},  // BORDER
    {0, 0, nullptr},
};

const uint16_t kButtonDependents[] = {0};

// Edit (class 16)
const CMemberRecord kEditMembers[] = {
    {kClassEdit, 0, "Edit", 0, 0},
    {1, 0, "GetX", 0, 0},
    {2, 0, "GetY", 0, 0},
    {3, 0, "GetWidth", 0, 0},
    {4, 0, "GetHeight", 0, 0},
    {5, 0, "Show", 0, 0},
    {6, 0, "Hide", 0, 0},
    {7, 0, "IsVisible", 0, 0},
    {8, 0, "SetPosition", 0, 0},
    {9, 0, "SetSize", 0, 0},
    {10, 0, "ToBack", 0, 0},
    {11, 0, "SetTopMost", 0, 0},
    {12, 0, "Enable", 0, 0},
    {13, 0, "Disable", 0, 0},
    {14, 0, "IsEnabled", 0, 0},
    {15, 0, "SetText", 0, 0},
    {16, 0, "GetText", 0, 0},
    {17, 0, "ToFront", 0, 0},
    {18, 0, "GetXMouse", 0, 0},
    {19, 0, "GetYMouse", 0, 0},
    {20, 0, "SetColor", 0, 0},
    {21, 0, "SetBackColor", 0, 0},
    {22, 0, "GetColor", 0, 0},
    {23, 0, "GetBackColor", 0, 0},
    {24, 0, "SetFont", 0, 0},
    {25, 0, "GetFont", 0, 0},
    {26, 0, "GetParentWindow", 0, 0},
    {27, 0, "HasAttribute", 0, 0},
    {28, 0, "SetPrivateData", 0, 0},
    {29, 0, "GetPrivateData", 0, 0},
    {30, 0, "GetXScreen", 0, 0},
    {31, 0, "GetYScreen", 0, 0},
    {32, 0, "GetXWindow", 0, 0},
    {33, 0, "GetYWindow", 0, 0},
    {34, 0, "SetFocus", 0, 0},
    {35, 0, "HasFocus", 0, 0},
    {36, 0, "OnKeyDown", 0, 0},
    {37, 0, "OnKeyUp", 0, 0},
    {38, 0, "Copy", 0, 0},
    {39, 0, "Cut", 0, 0},
    {40, 0, "Paste", 0, 0},
    {41, 0, "Undo", 0, 0},
    {42, 0, "SetModified", 0, 0},
    {43, 0, "GetSelection", 0, 0},
    {44, 0, "SetSelection", 0, 0},
    {45, 0, "DeleteSelection", 0, 0},
    {46, 0, "ClearUndoBuffer", 0, 0},
    {47, 0, "SetMaxSize", 0, 0},
    {48, 0, "GetMaxSize", 0, 0},
    {49, 0, "OnTextChanged", 0, 0},
    {50, 0, "OnSetFocus", 0, 0},
    {51, 0, "OnKillFocus", 0, 0},
    {52, 0, "OnMaxTextReached", 0, 0},
    {53, 0, "OnHorizontalScroll", 0, 0},
    {54, 0, "OnVerticalScroll", 0, 0},
    {55, 0, "CanUndo", 0, 0},
    {56, 0, "GetFirstVisibleLine", 0, 0},
    {57, 0, "GetLineContent", 0, 0},
    {58, 0, "GetLineCount", 0, 0},
    {59, 0, "IsModified", 0, 0},
    {60, 0, "GetStartSelection", 0, 0},
    {61, 0, "GetLineLength", 0, 0},
    {62, 0, "Scroll", 0, 0},
    {63, 0, "ScrollDownOneLine", 0, 0},
    {64, 0, "ScrollUpOneLine", 0, 0},
    {65, 0, "ScrollDownOnePage", 0, 0},
    {66, 0, "ScrollUpOnePage", 0, 0},
    {67, 0, "SetReadOnly", 0, 0},
    {68, 0, "SetTabStops", 0, 0},
    {69, 0, "GetEndSelection", 0, 0},
    {70, 0, "ReplaceSelection", 0, 0},
    {71, 0, "GetLineIndexFromCharIndex", 0, 0},
    {72, 0, "GetCharIndexFromLineIndex", 0, 0},
    {73, 0, "GetInt", 0, 0},
    {74, 0, "GetFloat", 0, 0},
    {76, 0, "NOBORDER", 0, kMemberConstant},
    {77, 0, "TABSTOP", 0, kMemberConstant},
    {78, 0, "STATICEDGE", 0, kMemberConstant},
    {79, 0, "VSCROLL", 0, kMemberConstant},
    {80, 0, "HSCROLL", 0, kMemberConstant},
    {81, 0, "HIDDEN", 0, kMemberConstant},
    {82, 0, "BORDER", 0, kMemberConstant},
    {83, 0, "MULTILINE", 0, kMemberConstant},
    {84, 0, "HAUTOSCROLL", 0, kMemberConstant},
    {85, 0, "VAUTOSCROLL", 0, kMemberConstant},
    {86, 0, "READONLY", 0, kMemberConstant},
    {87, 0, "PASSWORD", 0, kMemberConstant},
    {88, 0, "UPPERCASE", 0, kMemberConstant},
    {89, 0, "LOWERCASE", 0, kMemberConstant},
    {90, 0, "NOHIDESEL", 0, kMemberConstant},
    {91, 0, "ALIGNCENTER", 0, kMemberConstant},
    {92, 0, "ALIGNLEFT", 0, kMemberConstant},
    {93, 0, "ALIGNRIGHT", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kEditConstants[] = {
    {76, Word(0xDEB20000), nullptr},  // NOBORDER
    {77, Word(0xDEB00001), nullptr},  // TABSTOP
    {78, Word(0xDEB10002), nullptr},  // STATICEDGE
    {79, Word(0xDEB00003), nullptr},  // VSCROLL
    {80, Word(0xDEB00004), nullptr},  // HSCROLL
    {81, Word(0xDEB20005), nullptr},  // HIDDEN
    {82, Word(0xDEB00006), nullptr},  // BORDER
    {83, Word(0xAAD00000), nullptr},  // MULTILINE
    {84, Word(0xAAD00001), nullptr},  // HAUTOSCROLL
    {85, Word(0xAAD00002), nullptr},  // VAUTOSCROLL
    {86, Word(0xAAD00003), nullptr},  // READONLY
    {87, Word(0xAAD00004), nullptr},  // PASSWORD
    {88, Word(0xAAD00005), nullptr},  // UPPERCASE
    {89, Word(0xAAD00006), nullptr},  // LOWERCASE
    {90, Word(0xAAD00007), nullptr},  // NOHIDESEL
    {91, Word(0xAAD00008), nullptr},  // ALIGNCENTER
    {92, Word(0xAAD00009), nullptr},  // ALIGNLEFT
    {93, Word(0xAAD0000A), nullptr},  // ALIGNRIGHT
    {0, 0, nullptr},
};

const uint16_t kEditDependents[] = {kClassSpin, 0};

// ComboBox (class 17)
const CMemberRecord kComboBoxMembers[] = {
    {kClassComboBox, 0, "ComboBox", 0, 0},
    {1, 0, "GetX", 0, 0},
    {2, 0, "GetY", 0, 0},
    {3, 0, "GetWidth", 0, 0},
    {4, 0, "GetHeight", 0, 0},
    {5, 0, "Show", 0, 0},
    {6, 0, "Hide", 0, 0},
    {7, 0, "IsVisible", 0, 0},
    {8, 0, "SetPosition", 0, 0},
    {9, 0, "SetSize", 0, 0},
    {10, 0, "ToBack", 0, 0},
    {11, 0, "SetTopMost", 0, 0},
    {12, 0, "Enable", 0, 0},
    {13, 0, "Disable", 0, 0},
    {14, 0, "IsEnabled", 0, 0},
    {15, 0, "SetText", 0, 0},
    {16, 0, "GetText", 0, 0},
    {17, 0, "ToFront", 0, 0},
    {18, 0, "GetXMouse", 0, 0},
    {19, 0, "GetYMouse", 0, 0},
    {20, 0, "SetColor", 0, 0},
    {21, 0, "SetBackColor", 0, 0},
    {22, 0, "GetColor", 0, 0},
    {23, 0, "GetBackColor", 0, 0},
    {24, 0, "SetFont", 0, 0},
    {25, 0, "GetFont", 0, 0},
    {26, 0, "GetParentWindow", 0, 0},
    {27, 0, "HasAttribute", 0, 0},
    {28, 0, "SetPrivateData", 0, 0},
    {29, 0, "GetPrivateData", 0, 0},
    {30, 0, "GetXScreen", 0, 0},
    {31, 0, "GetYScreen", 0, 0},
    {32, 0, "GetXWindow", 0, 0},
    {33, 0, "GetYWindow", 0, 0},
    {34, 0, "SetFocus", 0, 0},
    {35, 0, "HasFocus", 0, 0},
    {36, 0, "OnKeyDown", 0, 0},
    {37, 0, "OnKeyUp", 0, 0},
    {38, 0, "Clear", 0, 0},
    {39, 0, "AddItem", 0, 0},
    {40, 0, "InsertItem", 0, 0},
    {41, 0, "DeleteItem", 0, 0},
    {42, 0, "SelectItem", 0, 0},
    {43, 0, "GetSelectedItem", 0, 0},
    {44, 0, "GetTextAt", 0, 0},
    {45, 0, "GetItemCount", 0, 0},
    {46, 0, "OnSelChanged", 0, 0},
    {47, 0, "OnDblClick", 0, 0},
    {48, 0, "OnEditChanged", 0, 0},
    {49, 0, "OnSetFocus", 0, 0},
    {50, 0, "OnKillFocus", 0, 0},
    {51, 0, "FindString", 0, 0},
    {52, 0, "FindStringExact", 0, 0},
    {53, 0, "IsDroppedDown", 0, 0},
    {54, 0, "SetEditTextLimit", 0, 0},
    {55, 0, "GetItemData", 0, 0},
    {56, 0, "SetItemData", 0, 0},
    {57, 0, "GetTextLengthAt", 0, 0},
    {58, 0, "GetTopIndex", 0, 0},
    {59, 0, "SetTopIndex", 0, 0},
    {60, 0, "ShowDropDown", 0, 0},
    {61, 0, "HideDropDown", 0, 0},
    {62, 0, "SelectString", 0, 0},
    {63, 0, "GetHorizontalExtent", 0, 0},
    {64, 0, "SetHorizontalExtent", 0, 0},
    {65, 0, "GetItemHeight", 0, 0},
    {66, 0, "SetItemHeight", 0, 0},
    {67, 0, "GetEditHeight", 0, 0},
    {68, 0, "SetEditHeight", 0, 0},
    {69, 0, "GetDroppedWidth", 0, 0},
    {70, 0, "SetDroppedWidth", 0, 0},
    {72, 0, "NOBORDER", 0, kMemberConstant},
    {73, 0, "TABSTOP", 0, kMemberConstant},
    {74, 0, "STATICEDGE", 0, kMemberConstant},
    {75, 0, "VSCROLL", 0, kMemberConstant},
    {76, 0, "HSCROLL", 0, kMemberConstant},
    {77, 0, "HIDDEN", 0, kMemberConstant},
    {78, 0, "BORDER", 0, kMemberConstant},
    {79, 0, "NOINTEGRALHEIGHT", 0, kMemberConstant},
    {80, 0, "AUTOHSCROLL", 0, kMemberConstant},
    {81, 0, "SIMPLE", 0, kMemberConstant},
    {82, 0, "DROPDOWN", 0, kMemberConstant},
    {83, 0, "DROPDOWNLIST", 0, kMemberConstant},
    {84, 0, "DISABLENOSCROLL", 0, kMemberConstant},
    {85, 0, "SORT", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kComboBoxConstants[] = {
    {72, Word(0xDEB20000), nullptr},  // NOBORDER
    {73, Word(0xDEB00001), nullptr},  // TABSTOP
    {74, Word(0xDEB10002), nullptr},  // STATICEDGE
    {75, Word(0xDEB00003), nullptr},  // VSCROLL
    {76, Word(0xDEB00004), nullptr},  // HSCROLL
    {77, Word(0xDEB20005), nullptr},  // HIDDEN
    {78, Word(0xDEB00006), nullptr},  // BORDER
    {79, Word(0xAAD00000), nullptr},  // NOINTEGRALHEIGHT
    {80, Word(0xAAD00001), nullptr},  // AUTOHSCROLL
    {81, Word(0xAAD00002), nullptr},  // SIMPLE
    {82, Word(0xAAD00003), nullptr},  // DROPDOWN
    {83, Word(0xAAD00004), nullptr},  // DROPDOWNLIST
    {84, Word(0xAAD00005), nullptr},  // DISABLENOSCROLL
    {85, Word(0xAAD00006), nullptr},  // SORT
    {0, 0, nullptr},
};

const uint16_t kComboBoxDependents[] = {0};

// ListBox (class 19)
const CMemberRecord kListBoxMembers[] = {
    {kClassListBox, 0, "ListBox", 0, 0},
    {1, 0, "GetX", 0, 0},
    {2, 0, "GetY", 0, 0},
    {3, 0, "GetWidth", 0, 0},
    {4, 0, "GetHeight", 0, 0},
    {5, 0, "Show", 0, 0},
    {6, 0, "Hide", 0, 0},
    {7, 0, "IsVisible", 0, 0},
    {8, 0, "SetPosition", 0, 0},
    {9, 0, "SetSize", 0, 0},
    {10, 0, "ToBack", 0, 0},
    {11, 0, "SetTopMost", 0, 0},
    {12, 0, "Enable", 0, 0},
    {13, 0, "Disable", 0, 0},
    {14, 0, "IsEnabled", 0, 0},
    {15, 0, "SetText", 0, 0},
    {16, 0, "GetText", 0, 0},
    {17, 0, "ToFront", 0, 0},
    {18, 0, "GetXMouse", 0, 0},
    {19, 0, "GetYMouse", 0, 0},
    {20, 0, "SetColor", 0, 0},
    {21, 0, "SetBackColor", 0, 0},
    {22, 0, "GetColor", 0, 0},
    {23, 0, "GetBackColor", 0, 0},
    {24, 0, "SetFont", 0, 0},
    {25, 0, "GetFont", 0, 0},
    {26, 0, "GetParentWindow", 0, 0},
    {27, 0, "HasAttribute", 0, 0},
    {28, 0, "SetPrivateData", 0, 0},
    {29, 0, "GetPrivateData", 0, 0},
    {30, 0, "GetXScreen", 0, 0},
    {31, 0, "GetYScreen", 0, 0},
    {32, 0, "GetXWindow", 0, 0},
    {33, 0, "GetYWindow", 0, 0},
    {34, 0, "SetFocus", 0, 0},
    {35, 0, "HasFocus", 0, 0},
    {36, 0, "OnKeyDown", 0, 0},
    {37, 0, "OnKeyUp", 0, 0},
    {38, 0, "Clear", 0, 0},
    {39, 0, "AddItem", 0, 0},
    {40, 0, "InsertItem", 0, 0},
    {41, 0, "DeleteItem", 0, 0},
    {42, 0, "SelectItem", 0, 0},
    {43, 0, "GetSelectedItem", 0, 0},
    {44, 0, "GetSelectedCount", 0, 0},
    {45, 0, "GetTextAt", 0, 0},
    {46, 0, "GetItemCount", 0, 0},
    {47, 0, "OnDblClick", 0, 0},
    {48, 0, "OnSelChanged", 0, 0},
    {49, 0, "FindString", 0, 0},
    {50, 0, "FindStringExact", 0, 0},
    {51, 0, "GetCaretIndex", 0, 0},
    {52, 0, "SetCaretIndex", 0, 0},
    {53, 0, "GetItemData", 0, 0},
    {54, 0, "SetItemData", 0, 0},
    {55, 0, "GetItemHeight", 0, 0},
    {56, 0, "SetItemHeight", 0, 0},
    {57, 0, "GetItemRectLeft", 0, 0},
    {58, 0, "GetItemRectTop", 0, 0},
    {59, 0, "GetItemRectWidth", 0, 0},
    {60, 0, "GetItemRectHeight", 0, 0},
    {61, 0, "IsItemSelected", 0, 0},
    {62, 0, "GetTextLength", 0, 0},
    {63, 0, "GetTopIndex", 0, 0},
    {64, 0, "SetTopIndex", 0, 0},
    {65, 0, "GetItemAtXY", 0, 0},
    {66, 0, "SelectString", 0, 0},
    {67, 0, "SelectRange", 0, 0},
    {68, 0, "SetHorizontalExtent", 0, 0},
    {69, 0, "SetTabStops", 0, 0},
    {70, 0, "OnKillFocus", 0, 0},
    {71, 0, "OnSetFocus", 0, 0},
    {72, 0, "GetHorizontalExtent", 0, 0},
    {73, 0, "GetSelectedItems", 0, 0},
    {75, 0, "NOBORDER", 0, kMemberConstant},
    {76, 0, "TABSTOP", 0, kMemberConstant},
    {77, 0, "STATICEDGE", 0, kMemberConstant},
    {78, 0, "VSCROLL", 0, kMemberConstant},
    {79, 0, "HSCROLL", 0, kMemberConstant},
    {80, 0, "HIDDEN", 0, kMemberConstant},
    {81, 0, "BORDER", 0, kMemberConstant},
    {82, 0, "DISABLENOSCROLL", 0, kMemberConstant},
    {83, 0, "EXTENDEDSEL", 0, kMemberConstant},
    {84, 0, "MULTIPLESEL", 0, kMemberConstant},
    {85, 0, "NOINTEGRALHEIGHT", 0, kMemberConstant},
    {86, 0, "NOSEL", 0, kMemberConstant},
    {87, 0, "SORT", 0, kMemberConstant},
    {88, 0, "USETABSTOPS", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kListBoxConstants[] = {
    {75, Word(0xDEB20000), nullptr},  // NOBORDER
    {76, Word(0xDEB00001), nullptr},  // TABSTOP
    {77, Word(0xDEB10002), nullptr},  // STATICEDGE
    {78, Word(0xDEB00003), nullptr},  // VSCROLL
    {79, Word(0xDEB00004), nullptr},  // HSCROLL
    {80, Word(0xDEB20005), nullptr},  // HIDDEN
    {81, Word(0xDEB00006), nullptr},  // BORDER
    {82, Word(0xAAD00000), nullptr},  // DISABLENOSCROLL
    {83, Word(0xAAD00001), nullptr},  // EXTENDEDSEL
    {84, Word(0xAAD00002), nullptr},  // MULTIPLESEL
    {85, Word(0xAAD00003), nullptr},  // NOINTEGRALHEIGHT
    {86, Word(0xAAD00004), nullptr},  // NOSEL
    {87, Word(0xAAD00005), nullptr},  // SORT
    {88, Word(0xAAD00007), nullptr},  // USETABSTOPS
    {0, 0, nullptr},
};

const uint16_t kListBoxDependents[] = {0};

// RadioButton (class 20)
const CMemberRecord kRadioButtonMembers[] = {
    {kClassRadioButton, 0, "RadioButton", 0, 0},
    {1, 0, "GetX", 0, 0},
    {2, 0, "GetY", 0, 0},
    {3, 0, "GetWidth", 0, 0},
    {4, 0, "GetHeight", 0, 0},
    {5, 0, "Show", 0, 0},
    {6, 0, "Hide", 0, 0},
    {7, 0, "IsVisible", 0, 0},
    {8, 0, "SetPosition", 0, 0},
    {9, 0, "SetSize", 0, 0},
    {10, 0, "ToBack", 0, 0},
    {11, 0, "SetTopMost", 0, 0},
    {12, 0, "Enable", 0, 0},
    {13, 0, "Disable", 0, 0},
    {14, 0, "IsEnabled", 0, 0},
    {15, 0, "SetText", 0, 0},
    {16, 0, "GetText", 0, 0},
    {17, 0, "ToFront", 0, 0},
    {18, 0, "GetXMouse", 0, 0},
    {19, 0, "GetYMouse", 0, 0},
    {20, 0, "SetColor", 0, 0},
    {21, 0, "SetBackColor", 0, 0},
    {22, 0, "GetColor", 0, 0},
    {23, 0, "GetBackColor", 0, 0},
    {24, 0, "SetFont", 0, 0},
    {25, 0, "GetFont", 0, 0},
    {26, 0, "GetParentWindow", 0, 0},
    {27, 0, "HasAttribute", 0, 0},
    {28, 0, "SetPrivateData", 0, 0},
    {29, 0, "GetPrivateData", 0, 0},
    {30, 0, "GetXScreen", 0, 0},
    {31, 0, "GetYScreen", 0, 0},
    {32, 0, "GetXWindow", 0, 0},
    {33, 0, "GetYWindow", 0, 0},
    {34, 0, "SetFocus", 0, 0},
    {35, 0, "HasFocus", 0, 0},
    {36, 0, "OnKeyDown", 0, 0},
    {37, 0, "OnKeyUp", 0, 0},
    {38, 0, "IsChecked", 0, 0},
    {39, 0, "SetCheck", 0, 0},
    {40, 0, "SetGroupNumber", 0, 0},
    {41, 0, "GetGroupNumber", 0, 0},
    {42, 0, "OnDblClick", 0, 0},
    {43, 0, "OnSetFocus", 0, 0},
    {44, 0, "OnKillFocus", 0, 0},
    {45, 0, "OnClick", 0, 0},
    {46, 0, "OnCheck", 0, 0},
    {48, 0, "NOBORDER", 0, kMemberConstant},
    {49, 0, "TABSTOP", 0, kMemberConstant},
    {50, 0, "STATICEDGE", 0, kMemberConstant},
    {51, 0, "VSCROLL", 0, kMemberConstant},
    {52, 0, "HSCROLL", 0, kMemberConstant},
    {53, 0, "HIDDEN", 0, kMemberConstant},
    {54, 0, "BORDER", 0, kMemberConstant},
    {55, 0, "LEFT", 0, kMemberConstant},
    {56, 0, "RIGHT", 0, kMemberConstant},
    {57, 0, "RIGHTBUTTON", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kRadioButtonConstants[] = {
    {48, Word(0xDEB20000), nullptr},  // NOBORDER
    {49, Word(0xDEB00001), nullptr},  // TABSTOP
    {50, Word(0xDEB10002), nullptr},  // STATICEDGE
    {51, Word(0xDEB00003), nullptr},  // VSCROLL
    {52, Word(0xDEB00004), nullptr},  // HSCROLL
    {53, Word(0xDEB20005), nullptr},  // HIDDEN
    {54, Word(0xDEB00006), nullptr},  // BORDER
    {55, Word(0xAAD00000), nullptr},  // LEFT
    {56, Word(0xAAD00001), nullptr},  // RIGHT
    {57, Word(0xAAD00002), nullptr},  // RIGHTBUTTON
    {0, 0, nullptr},
};

const uint16_t kRadioButtonDependents[] = {0};

// CheckBox (class 21)
const CMemberRecord kCheckBoxMembers[] = {
    {kClassCheckBox, 0, "CheckBox", 0, 0},
    {1, 0, "GetX", 0, 0},
    {2, 0, "GetY", 0, 0},
    {3, 0, "GetWidth", 0, 0},
    {4, 0, "GetHeight", 0, 0},
    {5, 0, "Show", 0, 0},
    {6, 0, "Hide", 0, 0},
    {7, 0, "IsVisible", 0, 0},
    {8, 0, "SetPosition", 0, 0},
    {9, 0, "SetSize", 0, 0},
    {10, 0, "ToBack", 0, 0},
    {11, 0, "SetTopMost", 0, 0},
    {12, 0, "Enable", 0, 0},
    {13, 0, "Disable", 0, 0},
    {14, 0, "IsEnabled", 0, 0},
    {15, 0, "SetText", 0, 0},
    {16, 0, "GetText", 0, 0},
    {17, 0, "ToFront", 0, 0},
    {18, 0, "GetXMouse", 0, 0},
    {19, 0, "GetYMouse", 0, 0},
    {20, 0, "SetColor", 0, 0},
    {21, 0, "SetBackColor", 0, 0},
    {22, 0, "GetColor", 0, 0},
    {23, 0, "GetBackColor", 0, 0},
    {24, 0, "SetFont", 0, 0},
    {25, 0, "GetFont", 0, 0},
    {26, 0, "GetParentWindow", 0, 0},
    {27, 0, "HasAttribute", 0, 0},
    {28, 0, "SetPrivateData", 0, 0},
    {29, 0, "GetPrivateData", 0, 0},
    {30, 0, "GetXScreen", 0, 0},
    {31, 0, "GetYScreen", 0, 0},
    {32, 0, "GetXWindow", 0, 0},
    {33, 0, "GetYWindow", 0, 0},
    {34, 0, "SetFocus", 0, 0},
    {35, 0, "HasFocus", 0, 0},
    {36, 0, "OnKeyDown", 0, 0},
    {37, 0, "OnKeyUp", 0, 0},
    {38, 0, "IsChecked", 0, 0},
    {39, 0, "SetCheck", 0, 0},
    {40, 0, "OnDblClick", 0, 0},
    {41, 0, "OnSetFocus", 0, 0},
    {42, 0, "OnKillFocus", 0, 0},
    {43, 0, "OnClick", 0, 0},
    {44, 0, "OnCheck", 0, 0},
    {46, 0, "NOBORDER", 0, kMemberConstant},
    {47, 0, "TABSTOP", 0, kMemberConstant},
    {48, 0, "STATICEDGE", 0, kMemberConstant},
    {49, 0, "VSCROLL", 0, kMemberConstant},
    {50, 0, "HSCROLL", 0, kMemberConstant},
    {51, 0, "HIDDEN", 0, kMemberConstant},
    {52, 0, "BORDER", 0, kMemberConstant},
    {53, 0, "LEFT", 0, kMemberConstant},
    {54, 0, "RIGHT", 0, kMemberConstant},
    {55, 0, "RIGHTBUTTON", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kCheckBoxConstants[] = {
    {46, Word(0xDEB20000), nullptr},  // NOBORDER
    {47, Word(0xDEB00001), nullptr},  // TABSTOP
    {48, Word(0xDEB10002), nullptr},  // STATICEDGE
    {49, Word(0xDEB00003), nullptr},  // VSCROLL
    {50, Word(0xDEB00004), nullptr},  // HSCROLL
    {51, Word(0xDEB20005), nullptr},  // HIDDEN
    {52, Word(0xDEB00006), nullptr},  // BORDER
    {53, Word(0xAAD00000), nullptr},  // LEFT
    {54, Word(0xAAD00001), nullptr},  // RIGHT
    {55, Word(0xAAD00002), nullptr},  // RIGHTBUTTON
    {0, 0, nullptr},
};

const uint16_t kCheckBoxDependents[] = {0};

// ScrollBar (class 33)
const CMemberRecord kScrollBarMembers[] = {
    {kClassScrollBar, 0, "ScrollBar", 0, 0},
    {1, 0, "GetX", 0, 0},
    {2, 0, "GetY", 0, 0},
    {3, 0, "GetWidth", 0, 0},
    {4, 0, "GetHeight", 0, 0},
    {5, 0, "Show", 0, 0},
    {6, 0, "Hide", 0, 0},
    {7, 0, "IsVisible", 0, 0},
    {8, 0, "SetPosition", 0, 0},
    {9, 0, "SetSize", 0, 0},
    {10, 0, "ToBack", 0, 0},
    {11, 0, "SetTopMost", 0, 0},
    {12, 0, "Enable", 0, 0},
    {13, 0, "Disable", 0, 0},
    {14, 0, "IsEnabled", 0, 0},
    {15, 0, "SetText", 0, 0},
    {16, 0, "GetText", 0, 0},
    {17, 0, "ToFront", 0, 0},
    {18, 0, "GetXMouse", 0, 0},
    {19, 0, "GetYMouse", 0, 0},
    {20, 0, "SetColor", 0, 0},
    {21, 0, "SetBackColor", 0, 0},
    {22, 0, "GetColor", 0, 0},
    {23, 0, "GetBackColor", 0, 0},
    {24, 0, "SetFont", 0, 0},
    {25, 0, "GetFont", 0, 0},
    {26, 0, "GetParentWindow", 0, 0},
    {27, 0, "HasAttribute", 0, 0},
    {28, 0, "SetPrivateData", 0, 0},
    {29, 0, "GetPrivateData", 0, 0},
    {30, 0, "GetXScreen", 0, 0},
    {31, 0, "GetYScreen", 0, 0},
    {32, 0, "GetXWindow", 0, 0},
    {33, 0, "GetYWindow", 0, 0},
    {34, 0, "SetFocus", 0, 0},
    {35, 0, "HasFocus", 0, 0},
    {36, 0, "OnKeyDown", 0, 0},
    {37, 0, "OnKeyUp", 0, 0},
    {38, 0, "GetPos", 0, 0},
    {39, 0, "SetRange", 0, 0},
    {40, 0, "SetPos", 0, 0},
    {41, 0, "SetPageSize", 0, 0},
    {42, 0, "OnScroll", 0, 0},
    {44, 0, "NOBORDER", 0, kMemberConstant},
    {45, 0, "TABSTOP", 0, kMemberConstant},
    {46, 0, "STATICEDGE", 0, kMemberConstant},
    {47, 0, "VSCROLL", 0, kMemberConstant},
    {48, 0, "HSCROLL", 0, kMemberConstant},
    {49, 0, "HIDDEN", 0, kMemberConstant},
    {50, 0, "BORDER", 0, kMemberConstant},
    {51, 0, "HORZ", 0, kMemberConstant},
    {52, 0, "VERT", 0, kMemberConstant},
    {53, 0, "ENDSCROLL", 0, kMemberConstant},
    {54, 0, "LEFT", 0, kMemberConstant},
    {55, 0, "RIGHT", 0, kMemberConstant},
    {56, 0, "LINELEFT", 0, kMemberConstant},
    {57, 0, "LINERIGHT", 0, kMemberConstant},
    {58, 0, "PAGELEFT", 0, kMemberConstant},
    {59, 0, "PAGERIGHT", 0, kMemberConstant},
    {60, 0, "THUMBPOSITION", 0, kMemberConstant},
    {61, 0, "THUMBTRACK", 0, kMemberConstant},
    {62, 0, "BOTTOM", 0, kMemberConstant},
    {63, 0, "LINEDOWN", 0, kMemberConstant},
    {64, 0, "LINEUP", 0, kMemberConstant},
    {65, 0, "PAGEDOWN", 0, kMemberConstant},
    {66, 0, "PAGEUP", 0, kMemberConstant},
    {67, 0, "TOP", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kScrollBarConstants[] = {
    {44, Word(0xDEB20000), nullptr},  // NOBORDER
    {45, Word(0xDEB00001), nullptr},  // TABSTOP
    {46, Word(0xDEB10002), nullptr},  // STATICEDGE
    {47, Word(0xDEB00003), nullptr},  // VSCROLL
    {48, Word(0xDEB00004), nullptr},  // HSCROLL
    {49, Word(0xDEB20005), nullptr},  // HIDDEN
    {50, Word(0xDEB00006), nullptr},  // BORDER
    {51, Word(0xAAD00000), nullptr},  // HORZ
    {52, Word(0xAAD00001), nullptr},  // VERT
    {53, 8, nullptr},  // ENDSCROLL
    {54, 6, nullptr},  // LEFT
    {55, 7, nullptr},  // RIGHT
    {56, 0, nullptr},  // LINELEFT
    {57, 1, nullptr},  // LINERIGHT
    {58, 2, nullptr},  // PAGELEFT
    {59, 3, nullptr},  // PAGERIGHT
    {60, 4, nullptr},  // THUMBPOSITION
    {61, 5, nullptr},  // THUMBTRACK
    {62, 7, nullptr},  // BOTTOM
    {63, 1, nullptr},  // LINEDOWN
    {64, 0, nullptr},  // LINEUP
    {65, 3, nullptr},  // PAGEDOWN
    {66, 2, nullptr},  // PAGEUP
    {67, 6, nullptr},  // TOP
    {0, 0, nullptr},
};

const uint16_t kScrollBarDependents[] = {0};

// MessageBox (class 34)
const CMemberRecord kMessageBoxMembers[] = {
    {kClassMessageBox, 0, "MessageBox", 0, 0},
    {1, 0, "AbortRetryIgnoreBox", 0, 0},
    {2, 0, "OkBox", 0, 0},
    {3, 0, "OkCancelBox", 0, 0},
    {4, 0, "RetryCancelBox", 0, 0},
    {5, 0, "YesNoBox", 0, 0},
    {6, 0, "YesNoCancelBox", 0, 0},
    {7, 0, "SetIcon", 0, 0},
    {8, 0, "SetDefaultButton", 0, 0},
    {10, 0, "ICONEXCLAMATION", 0, kMemberConstant},
    {11, 0, "ICONINFORMATION", 0, kMemberConstant},
    {12, 0, "ICONQUESTION", 0, kMemberConstant},
    {13, 0, "ICONSTOP", 0, kMemberConstant},
    {14, 0, "IDABORT", 0, kMemberConstant},
    {15, 0, "IDCANCEL", 0, kMemberConstant},
    {16, 0, "IDIGNORE", 0, kMemberConstant},
    {17, 0, "IDNO", 0, kMemberConstant},
    {18, 0, "IDOK", 0, kMemberConstant},
    {19, 0, "IDRETRY", 0, kMemberConstant},
    {20, 0, "IDYES", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kMessageBoxConstants[] = {
    {10, 48, nullptr},  // ICONEXCLAMATION
    {11, 64, nullptr},  // ICONINFORMATION
    {12, 32, nullptr},  // ICONQUESTION
    {13, 16, nullptr},  // ICONSTOP
    {14, 3, nullptr},  // IDABORT
    {15, 2, nullptr},  // IDCANCEL
    {16, 5, nullptr},  // IDIGNORE
    {17, 7, nullptr},  // IDNO
    {18, 1, nullptr},  // IDOK
    {19, 4, nullptr},  // IDRETRY
    {20, 6, nullptr},  // IDYES
    {0, 0, nullptr},
};

const uint16_t kMessageBoxDependents[] = {0};

// Menu (class 35)
const CMemberRecord kMenuMembers[] = {
    {kClassMenu, 0, "Menu", 0, 0},
    {1, 0, "InsertItem", 0, 0},
    {2, 0, "InsertItemSeparator", 0, 0},
    {3, 0, "CheckItem", 0, 0},
    {4, 0, "UnCheckItem", 0, 0},
    {5, 0, "CheckRadioItem", 0, 0},
    {6, 0, "EnableItem", 0, 0},
    {7, 0, "DisableItem", 0, 0},
    {8, 0, "IsChecked", 0, 0},
    {9, 0, "IsEnabled", 0, 0},
    {10, 0, "DeleteItem", 0, 0},
    {11, 0, "ModifyItem", 0, 0},
    {12, 0, "GetItemString", 0, 0},
    {13, 0, "OnSelectItem", 0, 0},
    {14, 0, "OpenPopupMenu", 0, 0},
    {16, 0, "HCENTER", 0, kMemberConstant},
    {17, 0, "ALIGN_LEFT", 0, kMemberConstant},
    {18, 0, "ALIGN_RIGHT", 0, kMemberConstant},
    {19, 0, "ALIGN_BOTTOM", 0, kMemberConstant},
    {20, 0, "ALIGN_TOP", 0, kMemberConstant},
    {21, 0, "VCENTER", 0, kMemberConstant},
    {22, 0, "LEFTBUTTON", 0, kMemberConstant},
    {23, 0, "BOTHBUTTONS", 0, kMemberConstant},
    {24, 0, "WINDOWMENU", 0, kMemberConstant},
    {25, 0, "POPUPMENU", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kMenuConstants[] = {
    {16, 4, nullptr},  // HCENTER
    {17, 0, nullptr},  // ALIGN_LEFT
    {18, 8, nullptr},  // ALIGN_RIGHT
    {19, 32, nullptr},  // ALIGN_BOTTOM
    {20, 0, nullptr},  // ALIGN_TOP
    {21, 16, nullptr},  // VCENTER
    {22, 0, nullptr},  // LEFTBUTTON
    {23, 2, nullptr},  // BOTHBUTTONS
    {24, Word(0xCDEF0001), nullptr},  // WINDOWMENU
    {25, Word(0xCDEF0003), nullptr},  // POPUPMENU
    {0, 0, nullptr},
};

const uint16_t kMenuDependents[] = {kClassMenu, 0};

// ProgressBar (class 42)
const CMemberRecord kProgressBarMembers[] = {
    {kClassProgressBar, 0, "ProgressBar", 0, 0},
    {1, 0, "GetX", 0, 0},
    {2, 0, "GetY", 0, 0},
    {3, 0, "GetWidth", 0, 0},
    {4, 0, "GetHeight", 0, 0},
    {5, 0, "Show", 0, 0},
    {6, 0, "Hide", 0, 0},
    {7, 0, "IsVisible", 0, 0},
    {8, 0, "SetPosition", 0, 0},
    {9, 0, "SetSize", 0, 0},
    {10, 0, "ToBack", 0, 0},
    {11, 0, "SetTopMost", 0, 0},
    {12, 0, "Enable", 0, 0},
    {13, 0, "Disable", 0, 0},
    {14, 0, "IsEnabled", 0, 0},
    {15, 0, "SetText", 0, 0},
    {16, 0, "GetText", 0, 0},
    {17, 0, "ToFront", 0, 0},
    {18, 0, "GetXMouse", 0, 0},
    {19, 0, "GetYMouse", 0, 0},
    {20, 0, "SetColor", 0, 0},
    {21, 0, "SetBackColor", 0, 0},
    {22, 0, "GetColor", 0, 0},
    {23, 0, "GetBackColor", 0, 0},
    {24, 0, "SetFont", 0, 0},
    {25, 0, "GetFont", 0, 0},
    {26, 0, "GetParentWindow", 0, 0},
    {27, 0, "HasAttribute", 0, 0},
    {28, 0, "SetPrivateData", 0, 0},
    {29, 0, "GetPrivateData", 0, 0},
    {30, 0, "GetXScreen", 0, 0},
    {31, 0, "GetYScreen", 0, 0},
    {32, 0, "GetXWindow", 0, 0},
    {33, 0, "GetYWindow", 0, 0},
    {34, 0, "SetFocus", 0, 0},
    {35, 0, "HasFocus", 0, 0},
    {36, 0, "OnKeyDown", 0, 0},
    {37, 0, "OnKeyUp", 0, 0},
    {38, 0, "SetRange", 0, 0},
    {39, 0, "SetPos", 0, 0},
    {40, 0, "DeltaPos", 0, 0},
    {41, 0, "SetStep", 0, 0},
    {42, 0, "StepIt", 0, 0},
    {43, 0, "GetRangeMin", 0, 0},
    {44, 0, "GetRangeMax", 0, 0},
    {45, 0, "GetPos", 0, 0},
    {47, 0, "NOBORDER", 0, kMemberConstant},
    {48, 0, "TABSTOP", 0, kMemberConstant},
    {49, 0, "STATICEDGE", 0, kMemberConstant},
    {50, 0, "VSCROLL", 0, kMemberConstant},
    {51, 0, "HSCROLL", 0, kMemberConstant},
    {52, 0, "HIDDEN", 0, kMemberConstant},
    {53, 0, "BORDER", 0, kMemberConstant},
    {54, 0, "SMOOTH", 0, kMemberConstant},
    {55, 0, "VERTICAL", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kProgressBarConstants[] = {
    {47, Word(0xDEB20000), nullptr},  // NOBORDER
    {48, Word(0xDEB00001), nullptr},  // TABSTOP
    {49, Word(0xDEB10002), nullptr},  // STATICEDGE
    {50, Word(0xDEB00003), nullptr},  // VSCROLL
    {51, Word(0xDEB00004), nullptr},  // HSCROLL
    {52, Word(0xDEB20005), nullptr},  // HIDDEN
    {53, Word(0xDEB00006), nullptr},  // BORDER
    {54, Word(0xAAD00000), nullptr},  // SMOOTH
    {55, Word(0xAAD00001), nullptr},  // VERTICAL
    {0, 0, nullptr},
};

const uint16_t kProgressBarDependents[] = {0};

// Slider (class 43)
const CMemberRecord kSliderMembers[] = {
    {kClassSlider, 0, "Slider", 0, 0},
    {1, 0, "GetX", 0, 0},
    {2, 0, "GetY", 0, 0},
    {3, 0, "GetWidth", 0, 0},
    {4, 0, "GetHeight", 0, 0},
    {5, 0, "Show", 0, 0},
    {6, 0, "Hide", 0, 0},
    {7, 0, "IsVisible", 0, 0},
    {8, 0, "SetPosition", 0, 0},
    {9, 0, "SetSize", 0, 0},
    {10, 0, "ToBack", 0, 0},
    {11, 0, "SetTopMost", 0, 0},
    {12, 0, "Enable", 0, 0},
    {13, 0, "Disable", 0, 0},
    {14, 0, "IsEnabled", 0, 0},
    {15, 0, "SetText", 0, 0},
    {16, 0, "GetText", 0, 0},
    {17, 0, "ToFront", 0, 0},
    {18, 0, "GetXMouse", 0, 0},
    {19, 0, "GetYMouse", 0, 0},
    {20, 0, "SetColor", 0, 0},
    {21, 0, "SetBackColor", 0, 0},
    {22, 0, "GetColor", 0, 0},
    {23, 0, "GetBackColor", 0, 0},
    {24, 0, "SetFont", 0, 0},
    {25, 0, "GetFont", 0, 0},
    {26, 0, "GetParentWindow", 0, 0},
    {27, 0, "HasAttribute", 0, 0},
    {28, 0, "SetPrivateData", 0, 0},
    {29, 0, "GetPrivateData", 0, 0},
    {30, 0, "GetXScreen", 0, 0},
    {31, 0, "GetYScreen", 0, 0},
    {32, 0, "GetXWindow", 0, 0},
    {33, 0, "GetYWindow", 0, 0},
    {34, 0, "SetFocus", 0, 0},
    {35, 0, "HasFocus", 0, 0},
    {36, 0, "OnKeyDown", 0, 0},
    {37, 0, "OnKeyUp", 0, 0},
    {38, 0, "GetPos", 0, 0},
    {39, 0, "SetTick", 0, 0},
    {40, 0, "SetPos", 0, 0},
    {41, 0, "SetRange", 0, 0},
    {42, 0, "GetRangeMin", 0, 0},
    {43, 0, "GetRangeMax", 0, 0},
    {44, 0, "GetTick", 0, 0},
    {45, 0, "ClearTick", 0, 0},
    {46, 0, "SetSelection", 0, 0},
    {47, 0, "GetTickPos", 0, 0},
    {48, 0, "GetNumTicks", 0, 0},
    {49, 0, "GetSelectionStart", 0, 0},
    {50, 0, "GetSelectionEnd", 0, 0},
    {51, 0, "ClearSelection", 0, 0},
    {52, 0, "SetTickFrequency", 0, 0},
    {53, 0, "SetPageSize", 0, 0},
    {54, 0, "GetPageSize", 0, 0},
    {55, 0, "SetLineSize", 0, 0},
    {56, 0, "GetLineSize", 0, 0},
    {57, 0, "SetThumbLength", 0, 0},
    {58, 0, "GetThumbLength", 0, 0},
    {59, 0, "OnScroll", 0, 0},
    {61, 0, "NOBORDER", 0, kMemberConstant},
    {62, 0, "TABSTOP", 0, kMemberConstant},
    {63, 0, "STATICEDGE", 0, kMemberConstant},
    {64, 0, "VSCROLL", 0, kMemberConstant},
    {65, 0, "HSCROLL", 0, kMemberConstant},
    {66, 0, "HIDDEN", 0, kMemberConstant},
    {67, 0, "BORDER", 0, kMemberConstant},
    {68, 0, "AUTOTICKS", 0, kMemberConstant},
    {69, 0, "VERT", 0, kMemberConstant},
    {70, 0, "HORZ", 0, kMemberConstant},
    {71, 0, "TOP", 0, kMemberConstant},
    {72, 0, "BOTTOM", 0, kMemberConstant},
    {73, 0, "LEFT", 0, kMemberConstant},
    {74, 0, "RIGHT", 0, kMemberConstant},
    {75, 0, "BOTH", 0, kMemberConstant},
    {76, 0, "NOTICKS", 0, kMemberConstant},
    {77, 0, "ENABLESELRANGE", 0, kMemberConstant},
    {78, 0, "FIXEDLENGTH", 0, kMemberConstant},
    {79, 0, "NOTHUMB", 0, kMemberConstant},
    {80, 0, "TOOLTIPS", 0, kMemberConstant},
    {81, 0, "SCRCODE_LINEUP", 0, kMemberConstant},
    {82, 0, "SCRCODE_LINEDOWN", 0, kMemberConstant},
    {83, 0, "SCRCODE_PAGEUP", 0, kMemberConstant},
    {84, 0, "SCRCODE_PAGEDOWN", 0, kMemberConstant},
    {85, 0, "SCRCODE_THUMBPOSITION", 0, kMemberConstant},
    {86, 0, "SCRCODE_THUMBTRACK", 0, kMemberConstant},
    {87, 0, "SCRCODE_TOP", 0, kMemberConstant},
    {88, 0, "SCRCODE_BOTTOM", 0, kMemberConstant},
    {89, 0, "SCRCODE_ENDTRACK", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kSliderConstants[] = {
    {61, Word(0xDEB20000), nullptr},  // NOBORDER
    {62, Word(0xDEB00001), nullptr},  // TABSTOP
    {63, Word(0xDEB10002), nullptr},  // STATICEDGE
    {64, Word(0xDEB00003), nullptr},  // VSCROLL
    {65, Word(0xDEB00004), nullptr},  // HSCROLL
    {66, Word(0xDEB20005), nullptr},  // HIDDEN
    {67, Word(0xDEB00006), nullptr},  // BORDER
    {68, Word(0xAAD00000), nullptr},  // AUTOTICKS
    {69, Word(0xAAD00001), nullptr},  // VERT
    {70, Word(0xAAD00002), nullptr},  // HORZ
    {71, Word(0xAAD00003), nullptr},  // TOP
    {72, Word(0xAAD00004), nullptr},  // BOTTOM
    {73, Word(0xAAD00005), nullptr},  // LEFT
    {74, Word(0xAAD00006), nullptr},  // RIGHT
    {75, Word(0xAAD00007), nullptr},  // BOTH
    {76, Word(0xAAD00008), nullptr},  // NOTICKS
    {77, Word(0xAAD00009), nullptr},  // ENABLESELRANGE
    {78, Word(0xAAD0000A), nullptr},  // FIXEDLENGTH
    {79, Word(0xAAD0000B), nullptr},  // NOTHUMB
    {80, Word(0xAAD0000C), nullptr},  // TOOLTIPS
    {81, 0, nullptr},  // SCRCODE_LINEUP
    {82, 1, nullptr},  // SCRCODE_LINEDOWN
    {83, 2, nullptr},  // SCRCODE_PAGEUP
    {84, 3, nullptr},  // SCRCODE_PAGEDOWN
    {85, 4, nullptr},  // SCRCODE_THUMBPOSITION
    {86, 5, nullptr},  // SCRCODE_THUMBTRACK
    {87, 6, nullptr},  // SCRCODE_TOP
    {88, 7, nullptr},  // SCRCODE_BOTTOM
    {89, 8, nullptr},  // SCRCODE_ENDTRACK
    {0, 0, nullptr},
};

const uint16_t kSliderDependents[] = {0};

// Spin (class 44)
const CMemberRecord kSpinMembers[] = {
    {kClassSpin, 0, "Spin", 0, 0},
    {1, 0, "GetX", 0, 0},
    {2, 0, "GetY", 0, 0},
    {3, 0, "GetWidth", 0, 0},
    {4, 0, "GetHeight", 0, 0},
    {5, 0, "Show", 0, 0},
    {6, 0, "Hide", 0, 0},
    {7, 0, "IsVisible", 0, 0},
    {8, 0, "SetPosition", 0, 0},
    {9, 0, "SetSize", 0, 0},
    {10, 0, "ToBack", 0, 0},
    {11, 0, "SetTopMost", 0, 0},
    {12, 0, "Enable", 0, 0},
    {13, 0, "Disable", 0, 0},
    {14, 0, "IsEnabled", 0, 0},
    {15, 0, "SetText", 0, 0},
    {16, 0, "GetText", 0, 0},
    {17, 0, "ToFront", 0, 0},
    {18, 0, "GetXMouse", 0, 0},
    {19, 0, "GetYMouse", 0, 0},
    {20, 0, "SetColor", 0, 0},
    {21, 0, "SetBackColor", 0, 0},
    {22, 0, "GetColor", 0, 0},
    {23, 0, "GetBackColor", 0, 0},
    {24, 0, "SetFont", 0, 0},
    {25, 0, "GetFont", 0, 0},
    {26, 0, "GetParentWindow", 0, 0},
    {27, 0, "HasAttribute", 0, 0},
    {28, 0, "SetPrivateData", 0, 0},
    {29, 0, "GetPrivateData", 0, 0},
    {30, 0, "GetXScreen", 0, 0},
    {31, 0, "GetYScreen", 0, 0},
    {32, 0, "GetXWindow", 0, 0},
    {33, 0, "GetYWindow", 0, 0},
    {34, 0, "SetFocus", 0, 0},
    {35, 0, "HasFocus", 0, 0},
    {36, 0, "OnKeyDown", 0, 0},
    {37, 0, "OnKeyUp", 0, 0},
    {38, 0, "SetRange", 0, 0},
    {39, 0, "GetRangeMin", 0, 0},
    {40, 0, "GetRangeMax", 0, 0},
    {41, 0, "SetPos", 0, 0},
    {42, 0, "GetPos", 0, 0},
    {43, 0, "SetBuddy", 0, 0},
    {44, 0, "GetBuddy", 0, 0},
    {45, 0, "AddAccel", 0, 0},
    {46, 0, "RemoveAccel", 0, 0},
    {47, 0, "GetAccel", 0, 0},
    {48, 0, "GetNAccel", 0, 0},
    {49, 0, "SetBase", 0, 0},
    {50, 0, "GetBase", 0, 0},
    {51, 0, "OnScroll", 0, 0},
    {53, 0, "NOBORDER", 0, kMemberConstant},
    {54, 0, "TABSTOP", 0, kMemberConstant},
    {55, 0, "STATICEDGE", 0, kMemberConstant},
    {56, 0, "VSCROLL", 0, kMemberConstant},
    {57, 0, "HSCROLL", 0, kMemberConstant},
    {58, 0, "HIDDEN", 0, kMemberConstant},
    {59, 0, "BORDER", 0, kMemberConstant},
    {60, 0, "WRAP", 0, kMemberConstant},
    {61, 0, "ALIGNRIGHT", 0, kMemberConstant},
    {62, 0, "ALIGNLEFT", 0, kMemberConstant},
    {63, 0, "ARROWKEYS", 0, kMemberConstant},
    {64, 0, "HORZ", 0, kMemberConstant},
    {65, 0, "NOTHOUSANDS", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kSpinConstants[] = {
    {53, Word(0xDEB20000), nullptr},  // NOBORDER
    {54, Word(0xDEB00001), nullptr},  // TABSTOP
    {55, Word(0xDEB10002), nullptr},  // STATICEDGE
    {56, Word(0xDEB00003), nullptr},  // VSCROLL
    {57, Word(0xDEB00004), nullptr},  // HSCROLL
    {58, Word(0xDEB20005), nullptr},  // HIDDEN
    {59, Word(0xDEB00006), nullptr},  // BORDER
    {60, Word(0xAAD00000), nullptr},  // WRAP
    {61, Word(0xAAD00001), nullptr},  // ALIGNRIGHT
    {62, Word(0xAAD00002), nullptr},  // ALIGNLEFT
    {63, Word(0xAAD00003), nullptr},  // ARROWKEYS
    {64, Word(0xAAD00004), nullptr},  // HORZ
    {65, Word(0xAAD00005), nullptr},  // NOTHOUSANDS
    {0, 0, nullptr},
};

const uint16_t kSpinDependents[] = {0};

// GroupBox (class 45)
const CMemberRecord kGroupBoxMembers[] = {
    {kClassGroupBox, 0, "GroupBox", 0, 0},
    {1, 0, "GetX", 0, 0},
    {2, 0, "GetY", 0, 0},
    {3, 0, "GetWidth", 0, 0},
    {4, 0, "GetHeight", 0, 0},
    {5, 0, "Show", 0, 0},
    {6, 0, "Hide", 0, 0},
    {7, 0, "IsVisible", 0, 0},
    {8, 0, "SetPosition", 0, 0},
    {9, 0, "SetSize", 0, 0},
    {10, 0, "ToBack", 0, 0},
    {11, 0, "SetTopMost", 0, 0},
    {12, 0, "Enable", 0, 0},
    {13, 0, "Disable", 0, 0},
    {14, 0, "IsEnabled", 0, 0},
    {15, 0, "SetText", 0, 0},
    {16, 0, "GetText", 0, 0},
    {17, 0, "ToFront", 0, 0},
    {18, 0, "GetXMouse", 0, 0},
    {19, 0, "GetYMouse", 0, 0},
    {20, 0, "SetColor", 0, 0},
    {21, 0, "SetBackColor", 0, 0},
    {22, 0, "GetColor", 0, 0},
    {23, 0, "GetBackColor", 0, 0},
    {24, 0, "SetFont", 0, 0},
    {25, 0, "GetFont", 0, 0},
    {26, 0, "GetParentWindow", 0, 0},
    {27, 0, "HasAttribute", 0, 0},
    {28, 0, "SetPrivateData", 0, 0},
    {29, 0, "GetPrivateData", 0, 0},
    {30, 0, "GetXScreen", 0, 0},
    {31, 0, "GetYScreen", 0, 0},
    {32, 0, "GetXWindow", 0, 0},
    {33, 0, "GetYWindow", 0, 0},
    {34, 0, "SetFocus", 0, 0},
    {35, 0, "HasFocus", 0, 0},
    {36, 0, "OnKeyDown", 0, 0},
    {37, 0, "OnKeyUp", 0, 0},
    {39, 0, "NOBORDER", 0, kMemberConstant},
    {40, 0, "TABSTOP", 0, kMemberConstant},
    {41, 0, "STATICEDGE", 0, kMemberConstant},
    {42, 0, "VSCROLL", 0, kMemberConstant},
    {43, 0, "HSCROLL", 0, kMemberConstant},
    {44, 0, "HIDDEN", 0, kMemberConstant},
    {45, 0, "BORDER", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kGroupBoxConstants[] = {
    {39, Word(0xDEB20000), nullptr},  // NOBORDER
    {40, Word(0xDEB00001), nullptr},  // TABSTOP
    {41, Word(0xDEB10002), nullptr},  // STATICEDGE
    {42, Word(0xDEB00003), nullptr},  // VSCROLL
    {43, Word(0xDEB00004), nullptr},  // HSCROLL
    {44, Word(0xDEB20005), nullptr},  // HIDDEN
    {45, Word(0xDEB00006), nullptr},  // BORDER
    {0, 0, nullptr},
};

const uint16_t kGroupBoxDependents[] = {0};

// RichEdit (class 46)
const CMemberRecord kRichEditMembers[] = {
    {kClassRichEdit, 0, "RichEdit", 0, 0},
    {1, 0, "GetX", 0, 0},
    {2, 0, "GetY", 0, 0},
    {3, 0, "GetWidth", 0, 0},
    {4, 0, "GetHeight", 0, 0},
    {5, 0, "Show", 0, 0},
    {6, 0, "Hide", 0, 0},
    {7, 0, "IsVisible", 0, 0},
    {8, 0, "SetPosition", 0, 0},
    {9, 0, "SetSize", 0, 0},
    {10, 0, "ToBack", 0, 0},
    {11, 0, "SetTopMost", 0, 0},
    {12, 0, "Enable", 0, 0},
    {13, 0, "Disable", 0, 0},
    {14, 0, "IsEnabled", 0, 0},
    {15, 0, "SetText", 0, 0},
    {16, 0, "GetText", 0, 0},
    {17, 0, "ToFront", 0, 0},
    {18, 0, "GetXMouse", 0, 0},
    {19, 0, "GetYMouse", 0, 0},
    {20, 0, "SetColor", 0, 0},
    {21, 0, "SetBackColor", 0, 0},
    {22, 0, "GetColor", 0, 0},
    {23, 0, "GetBackColor", 0, 0},
    {24, 0, "SetFont", 0, 0},
    {25, 0, "GetFont", 0, 0},
    {26, 0, "GetParentWindow", 0, 0},
    {27, 0, "HasAttribute", 0, 0},
    {28, 0, "SetPrivateData", 0, 0},
    {29, 0, "GetPrivateData", 0, 0},
    {30, 0, "GetXScreen", 0, 0},
    {31, 0, "GetYScreen", 0, 0},
    {32, 0, "GetXWindow", 0, 0},
    {33, 0, "GetYWindow", 0, 0},
    {34, 0, "SetFocus", 0, 0},
    {35, 0, "HasFocus", 0, 0},
    {36, 0, "OnKeyDown", 0, 0},
    {37, 0, "OnKeyUp", 0, 0},
    {38, 0, "OnTextChanged", 0, 0},
    {39, 0, "OnSetFocus", 0, 0},
    {40, 0, "OnKillFocus", 0, 0},
    {41, 0, "OnMaxTextReached", 0, 0},
    {42, 0, "OnHorizontalScroll", 0, 0},
    {43, 0, "OnVerticalScroll", 0, 0},
    {44, 0, "CanUndo", 0, 0},
    {45, 0, "ClearUndoBuffer", 0, 0},
    {46, 0, "GetFirstVisibleLine", 0, 0},
    {47, 0, "GetMaxSize", 0, 0},
    {48, 0, "GetStartSelection", 0, 0},
    {49, 0, "GetEndSelection", 0, 0},
    {50, 0, "GetLineCount", 0, 0},
    {51, 0, "IsModified", 0, 0},
    {52, 0, "SetSelection", 0, 0},
    {53, 0, "SetTabStops", 0, 0},
    {54, 0, "GetLineContent", 0, 0},
    {55, 0, "Copy", 0, 0},
    {56, 0, "Cut", 0, 0},
    {57, 0, "Paste", 0, 0},
    {58, 0, "DeleteSelection", 0, 0},
    {59, 0, "SetModified", 0, 0},
    {60, 0, "SetReadOnly", 0, 0},
    {61, 0, "SetLeftMargin", 0, 0},
    {62, 0, "SetRightMargin", 0, 0},
    {63, 0, "ScrollDownOneLine", 0, 0},
    {64, 0, "ScrollUpOneLine", 0, 0},
    {65, 0, "ScrollDownOnePage", 0, 0},
    {66, 0, "ScrollUpOnePage", 0, 0},
    {67, 0, "GetLineLength", 0, 0},
    {68, 0, "Scroll", 0, 0},
    {69, 0, "SetMaxSize", 0, 0},
    {70, 0, "GetSelection", 0, 0},
    {71, 0, "CanPaste", 0, 0},
    {72, 0, "Undo", 0, 0},
    {73, 0, "ReplaceSelection", 0, 0},
    {74, 0, "FindText", 0, 0},
    {75, 0, "LoadText", 0, 0},
    {76, 0, "SaveText", 0, 0},
    {77, 0, "LoadRTF", 0, 0},
    {78, 0, "SaveRTF", 0, 0},
    {79, 0, "GetTextRange", 0, 0},
    {80, 0, "HideSelection", 0, 0},
    {81, 0, "ShowSelection", 0, 0},
    {82, 0, "IsTextSelected", 0, 0},
    {83, 0, "SetBackGround", 0, 0},
    {84, 0, "SetCharFaceName", 0, 0},
    {85, 0, "SetCharBold", 0, 0},
    {86, 0, "SetCharColor", 0, 0},
    {87, 0, "SetCharItalic", 0, 0},
    {88, 0, "SetCharUnderline", 0, 0},
    {89, 0, "SetCharStrikeOut", 0, 0},
    {90, 0, "SetCharHeight", 0, 0},
    {91, 0, "GetCharFaceName", 0, 0},
    {92, 0, "IsCharBold", 0, 0},
    {93, 0, "GetCharColor", 0, 0},
    {94, 0, "IsCharItalic", 0, 0},
    {95, 0, "IsCharUnderline", 0, 0},
    {96, 0, "IsCharStrikeOut", 0, 0},
    {97, 0, "GetCharHeight", 0, 0},
    {98, 0, "GetLineIndexFromCharIndex", 0, 0},
    {99, 0, "GetCharIndexFromLineIndex", 0, 0},
    {100, 0, "GetInt", 0, 0},
    {101, 0, "GetFloat", 0, 0},
    {103, 0, "NOBORDER", 0, kMemberConstant},
    {104, 0, "TABSTOP", 0, kMemberConstant},
    {105, 0, "STATICEDGE", 0, kMemberConstant},
    {106, 0, "VSCROLL", 0, kMemberConstant},
    {107, 0, "HSCROLL", 0, kMemberConstant},
    {108, 0, "HIDDEN", 0, kMemberConstant},
    {109, 0, "BORDER", 0, kMemberConstant},
    {110, 0, "DISABLENOSCROLL", 0, kMemberConstant},
    {111, 0, "SUNKEN", 0, kMemberConstant},
    {112, 0, "NOHIDESEL", 0, kMemberConstant},
    {113, 0, "ALIGNCENTER", 0, kMemberConstant},
    {114, 0, "ALIGNLEFT", 0, kMemberConstant},
    {115, 0, "ALIGNRIGHT", 0, kMemberConstant},
    {116, 0, "HAUTOSCROLL", 0, kMemberConstant},
    {117, 0, "VAUTOSCROLL", 0, kMemberConstant},
    {118, 0, "READONLY", 0, kMemberConstant},
    {119, 0, "PASSWORD", 0, kMemberConstant},
    {120, 0, "MATCHCASE", 0, kMemberConstant},
    {121, 0, "WHOLEWORD", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kRichEditConstants[] = {
    {103, Word(0xDEB20000), nullptr},  // NOBORDER
    {104, Word(0xDEB00001), nullptr},  // TABSTOP
    {105, Word(0xDEB10002), nullptr},  // STATICEDGE
    {106, Word(0xDEB00003), nullptr},  // VSCROLL
    {107, Word(0xDEB00004), nullptr},  // HSCROLL
    {108, Word(0xDEB20005), nullptr},  // HIDDEN
    {109, Word(0xDEB00006), nullptr},  // BORDER
    {110, Word(0xAAD00000), nullptr},  // DISABLENOSCROLL
    {111, Word(0xAAD00001), nullptr},  // SUNKEN
    {112, Word(0xAAD00002), nullptr},  // NOHIDESEL
    {113, Word(0xAAD00003), nullptr},  // ALIGNCENTER
    {114, Word(0xAAD00004), nullptr},  // ALIGNLEFT
    {115, Word(0xAAD00005), nullptr},  // ALIGNRIGHT
    {116, Word(0xAAD00006), nullptr},  // HAUTOSCROLL
    {117, Word(0xAAD00007), nullptr},  // VAUTOSCROLL
    {118, Word(0xAAD00008), nullptr},  // READONLY
    {119, Word(0xAAD00009), nullptr},  // PASSWORD
    {120, Word(0x80000004), nullptr},  // MATCHCASE
    {121, Word(0x80000002), nullptr},  // WHOLEWORD
    {0, 0, nullptr},
};

const uint16_t kRichEditDependents[] = {0};

// StaticText (class 47)
const CMemberRecord kStaticTextMembers[] = {
    {kClassStaticText, 0, "StaticText", 0, 0},
    {1, 0, "GetX", 0, 0},
    {2, 0, "GetY", 0, 0},
    {3, 0, "GetWidth", 0, 0},
    {4, 0, "GetHeight", 0, 0},
    {5, 0, "Show", 0, 0},
    {6, 0, "Hide", 0, 0},
    {7, 0, "IsVisible", 0, 0},
    {8, 0, "SetPosition", 0, 0},
    {9, 0, "SetSize", 0, 0},
    {10, 0, "ToBack", 0, 0},
    {11, 0, "SetTopMost", 0, 0},
    {12, 0, "Enable", 0, 0},
    {13, 0, "Disable", 0, 0},
    {14, 0, "IsEnabled", 0, 0},
    {15, 0, "SetText", 0, 0},
    {16, 0, "GetText", 0, 0},
    {17, 0, "ToFront", 0, 0},
    {18, 0, "GetXMouse", 0, 0},
    {19, 0, "GetYMouse", 0, 0},
    {20, 0, "SetColor", 0, 0},
    {21, 0, "SetBackColor", 0, 0},
    {22, 0, "GetColor", 0, 0},
    {23, 0, "GetBackColor", 0, 0},
    {24, 0, "SetFont", 0, 0},
    {25, 0, "GetFont", 0, 0},
    {26, 0, "GetParentWindow", 0, 0},
    {27, 0, "HasAttribute", 0, 0},
    {28, 0, "SetPrivateData", 0, 0},
    {29, 0, "GetPrivateData", 0, 0},
    {30, 0, "GetXScreen", 0, 0},
    {31, 0, "GetYScreen", 0, 0},
    {32, 0, "GetXWindow", 0, 0},
    {33, 0, "GetYWindow", 0, 0},
    {34, 0, "SetFocus", 0, 0},
    {35, 0, "HasFocus", 0, 0},
    {36, 0, "OnKeyDown", 0, 0},
    {37, 0, "OnKeyUp", 0, 0},
    {38, 0, "OnClick", 0, 0},
    {39, 0, "OnDblClick", 0, 0},
    {41, 0, "NOBORDER", 0, kMemberConstant},
    {42, 0, "TABSTOP", 0, kMemberConstant},
    {43, 0, "STATICEDGE", 0, kMemberConstant},
    {44, 0, "VSCROLL", 0, kMemberConstant},
    {45, 0, "HSCROLL", 0, kMemberConstant},
    {46, 0, "HIDDEN", 0, kMemberConstant},
    {47, 0, "BORDER", 0, kMemberConstant},
    {48, 0, "BLACKFRAME", 0, kMemberConstant},
    {49, 0, "BLACKRECT", 0, kMemberConstant},
    {50, 0, "CENTER", 0, kMemberConstant},
    {51, 0, "ETCHEDFRAME", 0, kMemberConstant},
    {52, 0, "ETCHEDHORZ", 0, kMemberConstant},
    {53, 0, "ETCHEDVERT", 0, kMemberConstant},
    {54, 0, "GRAYFRAME", 0, kMemberConstant},
    {55, 0, "GRAYRECT", 0, kMemberConstant},
    {56, 0, "ALIGN_LEFT", 0, kMemberConstant},
    {57, 0, "LEFTNOWORDWRAP", 0, kMemberConstant},
    {58, 0, "NOPREFIX", 0, kMemberConstant},
    {59, 0, "ALIGN_RIGHT", 0, kMemberConstant},
    {60, 0, "SIMPLE", 0, kMemberConstant},
    {61, 0, "SUNKEN", 0, kMemberConstant},
    {62, 0, "WHITEFRAME", 0, kMemberConstant},
    {63, 0, "WHITERECT", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kStaticTextConstants[] = {
    {41, Word(0xDEB20000), nullptr},  // NOBORDER
    {42, Word(0xDEB00001), nullptr},  // TABSTOP
    {43, Word(0xDEB10002), nullptr},  // STATICEDGE
    {44, Word(0xDEB00003), nullptr},  // VSCROLL
    {45, Word(0xDEB00004), nullptr},  // HSCROLL
    {46, Word(0xDEB20005), nullptr},  // HIDDEN
    {47, Word(0xDEB00006), nullptr},  // BORDER
    {48, Word(0xAAD00000), nullptr},  // BLACKFRAME
    {49, Word(0xAAD00001), nullptr},  // BLACKRECT
    {50, Word(0xAAD00002), nullptr},  // CENTER
    {51, Word(0xAAD00003), nullptr},  // ETCHEDFRAME
    {52, Word(0xAAD00004), nullptr},  // ETCHEDHORZ
    {53, Word(0xAAD00005), nullptr},  // ETCHEDVERT
    {54, Word(0xAAD00006), nullptr},  // GRAYFRAME
    {55, Word(0xAAD00007), nullptr},  // GRAYRECT
    {56, Word(0xAAD00008), nullptr},  // ALIGN_LEFT
    {57, Word(0xAAD00009), nullptr},  // LEFTNOWORDWRAP
    {58, Word(0xAAD0000A), nullptr},  // NOPREFIX
    {59, Word(0xAAD0000B), nullptr},  // ALIGN_RIGHT
    {60, Word(0xAAD0000C), nullptr},  // SIMPLE
    {61, Word(0xAAD0000D), nullptr},  // SUNKEN
    {62, Word(0xAAD0000E), nullptr},  // WHITEFRAME
    {63, Word(0xAAD0000F), nullptr},  // WHITERECT
    {0, 0, nullptr},
};

const uint16_t kStaticTextDependents[] = {0};

// Window (class 57)
// Drawing and window methods are reachable without an object, through the
// current window; events are not, so that a script function named like an
// event (the usual name of its handler) stays a plain function. The six
// draw-mode constants are global as in the surface class. SetFont and GetFont
// stand twice (surface members 16 and 61, control members 87 and 88); a lookup
// by name finds the surface ones.
const CMemberRecord kWindowMembers[] = {
    {kClassWindow, 0, "Window", 0, 0},
    {1, 0, "Write", kGlobalCodeCurrentWindow, 0},
    {2, 0, "WriteLn", kGlobalCodeCurrentWindow, 0},
    {3, 0, "MoveTo", kGlobalCodeCurrentWindow, 0},
    {4, 0, "Line", kGlobalCodeCurrentWindow, 0},
    {5, 0, "LineTo", kGlobalCodeCurrentWindow, 0},
    {6, 0, "Ellipse", kGlobalCodeCurrentWindow, 0},
    {7, 0, "Rectangle", kGlobalCodeCurrentWindow, 0},
    {8, 0, "DrawPolygon", kGlobalCodeCurrentWindow, 0},
    {9, 0, "SetPenColor", kGlobalCodeCurrentWindow, 0},
    {10, 0, "SetFillColor", kGlobalCodeCurrentWindow, 0},
    {11, 0, "SetFillGradientColor", kGlobalCodeCurrentWindow, 0},
    {12, 0, "SetFillGradientDir", kGlobalCodeCurrentWindow, 0},
    {13, 0, "SetPenGradientColor", kGlobalCodeCurrentWindow, 0},
    {14, 0, "SetPenGradientDir", kGlobalCodeCurrentWindow, 0},
    {15, 0, "SetPenSize", kGlobalCodeCurrentWindow, 0},
    {16, 0, "SetFont", kGlobalCodeCurrentWindow, 0},
    {17, 0, "SetAntiAlias", kGlobalCodeCurrentWindow, 0},
    {18, 0, "SetDrawMode", kGlobalCodeCurrentWindow, 0},
    {19, 0, "SetTransparentMode", kGlobalCodeCurrentWindow, 0},
    {20, 0, "Fill", kGlobalCodeCurrentWindow, 0},
    {21, 0, "Rotate", kGlobalCodeCurrentWindow, 0},
    {22, 0, "DrawText", kGlobalCodeCurrentWindow, 0},
    {23, 0, "SetPixel", kGlobalCodeCurrentWindow, 0},
    {24, 0, "GetDepth", kGlobalCodeCurrentWindow, 0},
    {25, 0, "GetPixelWidth", kGlobalCodeCurrentWindow, 0},
    {26, 0, "GetPixelHeight", kGlobalCodeCurrentWindow, 0},
    {27, 0, "LoadImage", kGlobalCodeCurrentWindow, 0},
    {28, 0, "SaveImage", kGlobalCodeCurrentWindow, 0},
    {29, 0, "GetPixel", kGlobalCodeCurrentWindow, 0},
    {30, 0, "GetPixelIndex", kGlobalCodeCurrentWindow, 0},
    {31, 0, "Copy", kGlobalCodeCurrentWindow, 0},
    {32, 0, "Stretch", kGlobalCodeCurrentWindow, 0},
    {33, 0, "Scroll", kGlobalCodeCurrentWindow, 0},
    {34, 0, "ReverseX", kGlobalCodeCurrentWindow, 0},
    {35, 0, "ReverseY", kGlobalCodeCurrentWindow, 0},
    {36, 0, "ReplaceColor", kGlobalCodeCurrentWindow, 0},
    {37, 0, "Clear", kGlobalCodeCurrentWindow, 0},
    {38, 0, "GetXPos", kGlobalCodeCurrentWindow, 0},
    {39, 0, "GetYPos", kGlobalCodeCurrentWindow, 0},
    {40, 0, "ClearSprites", kGlobalCodeCurrentWindow, 0},
    {41, 0, "UpdateSprites", kGlobalCodeCurrentWindow, 0},
    {42, 0, "DrawSprites", kGlobalCodeCurrentWindow, 0},
    {43, 0, "ScrollSprites", kGlobalCodeCurrentWindow, 0},
    {44, 0, "GetFirstSprite", kGlobalCodeCurrentWindow, 0},
    {45, 0, "GetLastSprite", kGlobalCodeCurrentWindow, 0},
    {46, 0, "GetNextSprite", kGlobalCodeCurrentWindow, 0},
    {47, 0, "GetPrevSprite", kGlobalCodeCurrentWindow, 0},
    {48, 0, "DeleteSprites", kGlobalCodeCurrentWindow, 0},
    {49, 0, "SetAutoBack", kGlobalCodeCurrentWindow, 0},
    {50, 0, "SetAutoRefresh", kGlobalCodeCurrentWindow, 0},
    {51, 0, "Refresh", kGlobalCodeCurrentWindow, 0},
    {52, 0, "CaptureScreen", kGlobalCodeCurrentWindow, 0},
    {53, 0, "CaptureWindow", kGlobalCodeCurrentWindow, 0},
    {54, 0, "SetBackgroundColor", kGlobalCodeCurrentWindow, 0},
    {55, 0, "GetBackgroundColor", kGlobalCodeCurrentWindow, 0},
    {56, 0, "IsAutoBack", kGlobalCodeCurrentWindow, 0},
    {57, 0, "IsAutoRefresh", kGlobalCodeCurrentWindow, 0},
    {58, 0, "EraseRect", kGlobalCodeCurrentWindow, 0},
    {59, 0, "SetWrapping", kGlobalCodeCurrentWindow, 0},
    {60, 0, "IsWrapping", kGlobalCodeCurrentWindow, 0},
    {61, 0, "GetFont", kGlobalCodeCurrentWindow, 0},
    {62, 0, "Lock", kGlobalCodeCurrentWindow, 0},
    {63, 0, "Unlock", kGlobalCodeCurrentWindow, 0},
    {64, 0, "GetX", kGlobalCodeCurrentWindow, 0},
    {65, 0, "GetY", kGlobalCodeCurrentWindow, 0},
    {66, 0, "GetWidth", kGlobalCodeCurrentWindow, 0},
    {67, 0, "GetHeight", kGlobalCodeCurrentWindow, 0},
    {68, 0, "Show", kGlobalCodeCurrentWindow, 0},
    {69, 0, "Hide", kGlobalCodeCurrentWindow, 0},
    {70, 0, "IsVisible", kGlobalCodeCurrentWindow, 0},
    {71, 0, "SetPosition", kGlobalCodeCurrentWindow, 0},
    {72, 0, "SetSize", kGlobalCodeCurrentWindow, 0},
    {73, 0, "ToBack", kGlobalCodeCurrentWindow, 0},
    {74, 0, "SetTopMost", kGlobalCodeCurrentWindow, 0},
    {75, 0, "Enable", kGlobalCodeCurrentWindow, 0},
    {76, 0, "Disable", kGlobalCodeCurrentWindow, 0},
    {77, 0, "IsEnabled", kGlobalCodeCurrentWindow, 0},
    {78, 0, "SetText", kGlobalCodeCurrentWindow, 0},
    {79, 0, "GetText", kGlobalCodeCurrentWindow, 0},
    {80, 0, "ToFront", kGlobalCodeCurrentWindow, 0},
    {81, 0, "GetXMouse", kGlobalCodeCurrentWindow, 0},
    {82, 0, "GetYMouse", kGlobalCodeCurrentWindow, 0},
    {83, 0, "SetColor", kGlobalCodeCurrentWindow, 0},
    {84, 0, "SetBackColor", kGlobalCodeCurrentWindow, 0},
    {85, 0, "GetColor", kGlobalCodeCurrentWindow, 0},
    {86, 0, "GetBackColor", kGlobalCodeCurrentWindow, 0},
    {87, 0, "SetFont", kGlobalCodeCurrentWindow, 0},
    {88, 0, "GetFont", kGlobalCodeCurrentWindow, 0},
    {89, 0, "GetParentWindow", kGlobalCodeCurrentWindow, 0},
    {90, 0, "HasAttribute", kGlobalCodeCurrentWindow, 0},
    {91, 0, "SetPrivateData", kGlobalCodeCurrentWindow, 0},
    {92, 0, "GetPrivateData", kGlobalCodeCurrentWindow, 0},
    {93, 0, "GetXScreen", kGlobalCodeCurrentWindow, 0},
    {94, 0, "GetYScreen", kGlobalCodeCurrentWindow, 0},
    {95, 0, "GetXWindow", kGlobalCodeCurrentWindow, 0},
    {96, 0, "GetYWindow", kGlobalCodeCurrentWindow, 0},
    {97, 0, "SetFocus", kGlobalCodeCurrentWindow, 0},
    {98, 0, "HasFocus", kGlobalCodeCurrentWindow, 0},
    {99, 0, "OnKeyDown", 0, 0},
    {100, 0, "OnKeyUp", 0, 0},
    {101, 0, "GetSurface", kGlobalCodeCurrentWindow, 0},
    {102, 0, "SetCursor", kGlobalCodeCurrentWindow, 0},
    {103, 0, "Input", kGlobalCodeCurrentWindow, 0},
    {104, 0, "OnDblClick", 0, 0},
    {105, 0, "OnSetFocus", 0, 0},
    {106, 0, "OnKillFocus", 0, 0},
    {107, 0, "OnClose", 0, 0},
    {108, 0, "OnSize", 0, 0},
    {109, 0, "OnMove", 0, 0},
    {110, 0, "OnDisplayChange", 0, 0},
    {111, 0, "OnMinimize", 0, 0},
    {112, 0, "OnMaximize", 0, 0},
    {113, 0, "DoModal", kGlobalCodeCurrentWindow, 0},
    {114, 0, "EndModal", kGlobalCodeCurrentWindow, 0},
    {115, 0, "SetIcon", kGlobalCodeCurrentWindow, 0},
    {116, 0, "EnableCloseBox", kGlobalCodeCurrentWindow, 0},
    {117, 0, "SetAutoClose", kGlobalCodeCurrentWindow, 0},
    {118, 0, "Center", kGlobalCodeCurrentWindow, 0},
    {119, 0, "Maximize", kGlobalCodeCurrentWindow, 0},
    {120, 0, "IsMaximized", kGlobalCodeCurrentWindow, 0},
    {121, 0, "Minimize", kGlobalCodeCurrentWindow, 0},
    {122, 0, "IsMinimized", kGlobalCodeCurrentWindow, 0},
    {123, 0, "Restore", kGlobalCodeCurrentWindow, 0},
    {124, 0, "SetMinSize", kGlobalCodeCurrentWindow, 0},
    {125, 0, "SetMaxSize", kGlobalCodeCurrentWindow, 0},
    {126, 0, "EnableDropFile", kGlobalCodeCurrentWindow, 0},
    {127, 0, "OnDropFile", 0, 0},
    {128, 0, "SetFullScreenMode", kGlobalCodeCurrentWindow, 0},
    {129, 0, "SetWindowedMode", kGlobalCodeCurrentWindow, 0},
    {130, 0, "OnMouseDown", 0, 0},
    {131, 0, "OnMouseUp", 0, 0},
    {132, 0, "OnMouseMove", 0, 0},
    {133, 0, "GetHorizontalScrollBar", kGlobalCodeCurrentWindow, 0},
    {134, 0, "GetVerticalScrollBar", kGlobalCodeCurrentWindow, 0},
    {135, 0, "BeginMouseCapture", kGlobalCodeCurrentWindow, 0},
    {136, 0, "EndMouseCapture", kGlobalCodeCurrentWindow, 0},
    {137, 0, "HasMouseCapture", kGlobalCodeCurrentWindow, 0},
    {138, 0, "Flash", kGlobalCodeCurrentWindow, 0},
    {139, 0, "GetLeftBorderSize", kGlobalCodeCurrentWindow, 0},
    {140, 0, "GetRightBorderSize", kGlobalCodeCurrentWindow, 0},
    {141, 0, "GetTopBorderSize", kGlobalCodeCurrentWindow, 0},
    {142, 0, "GetBottomBorderSize", kGlobalCodeCurrentWindow, 0},
    {144, 0, "COPYALL", kClassSurface, kMemberConstant},
    {145, 0, "INVERT", kClassSurface, kMemberConstant},
    {146, 0, "XOR", kClassSurface, kMemberConstant},
    {147, 0, "AND", kClassSurface, kMemberConstant},
    {148, 0, "OR", kClassSurface, kMemberConstant},
    {149, 0, "BLENDING", kClassSurface, kMemberConstant},
    {150, 0, "USEIMAGEPALETTE", 0, kMemberConstant},
    {151, 0, "USEIMAGEDEPTH", 0, kMemberConstant},
    {152, 0, "AUTOSIZE", 0, kMemberConstant},
    {153, 0, "BMP", 0, kMemberConstant},
    {154, 0, "JPEG", 0, kMemberConstant},
    {155, 0, "PNG", 0, kMemberConstant},
    {156, 0, "RED", 0, kMemberConstant},
    {157, 0, "GREEN", 0, kMemberConstant},
    {158, 0, "BLUE", 0, kMemberConstant},
    {159, 0, "WHITE", 0, kMemberConstant},
    {160, 0, "BLACK", 0, kMemberConstant},
    {161, 0, "LIGHTGRAY", 0, kMemberConstant},
    {162, 0, "DARKGRAY", 0, kMemberConstant},
    {163, 0, "NOBORDER", 0, kMemberConstant},
    {164, 0, "TABSTOP", 0, kMemberConstant},
    {165, 0, "STATICEDGE", 0, kMemberConstant},
    {166, 0, "VSCROLL", 0, kMemberConstant},
    {167, 0, "HSCROLL", 0, kMemberConstant},
    {168, 0, "HIDDEN", 0, kMemberConstant},
    {169, 0, "BORDER", 0, kMemberConstant},
    {170, 0, "ARROW", 0, kMemberConstant},
    {171, 0, "CROSS", 0, kMemberConstant},
    {172, 0, "IBEAM", 0, kMemberConstant},
    {173, 0, "NO", 0, kMemberConstant},
    {174, 0, "SIZEALL", 0, kMemberConstant},
    {175, 0, "SIZENESW", 0, kMemberConstant},
    {176, 0, "SIZENS", 0, kMemberConstant},
    {177, 0, "SIZENWSE", 0, kMemberConstant},
    {178, 0, "SIZEWE", 0, kMemberConstant},
    {179, 0, "UPARROW", 0, kMemberConstant},
    {180, 0, "WAIT", 0, kMemberConstant},
    {181, 0, "NOSURFACE", 0, kMemberConstant},
    {182, 0, "FAKECHILD", 0, kMemberConstant},
    {183, 0, "GAME", 0, kMemberConstant},
    {184, 0, "DIALOG", 0, kMemberConstant},
    {185, 0, "MAXIMIZED", 0, kMemberConstant},
    {186, 0, "RESIZABLE", 0, kMemberConstant},
    {187, 0, "TOOL", 0, kMemberConstant},
    {188, 0, "MESSAGEBOX", 0, kMemberConstant},
    {189, 0, "STANDARD", 0, kMemberConstant},
    {190, 0, "NOSYSMENU", 0, kMemberConstant},
    {191, 0, "NOCAPTION", 0, kMemberConstant},
    {192, 0, "MINIMIZEBOX", 0, kMemberConstant},
    {193, 0, "MAXIMIZEBOX", 0, kMemberConstant},
    {194, 0, "MINIMIZED", 0, kMemberConstant},
    {195, 0, "LEFTBUTTON", 0, kMemberConstant},
    {196, 0, "MIDDLEBUTTON", 0, kMemberConstant},
    {197, 0, "RIGHTBUTTON", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kWindowConstants[] = {
    {144, 0, nullptr},  // COPYALL
    {145, 2, nullptr},  // INVERT
    {146, 3, nullptr},  // XOR
    {147, 4, nullptr},  // AND
    {148, 5, nullptr},  // OR
    {149, 1, nullptr},  // BLENDING
    {150, Word(0xABCD0020), nullptr},  // USEIMAGEPALETTE
    {151, Word(0xABCD0010), nullptr},  // USEIMAGEDEPTH
    {152, Word(0xABCD0040), nullptr},  // AUTOSIZE
    {153, 0x20504D42, nullptr},  // BMP
    {154, 0x4745504A, nullptr},  // JPEG
    {155, 0x20474E50, nullptr},  // PNG
    {156, 0xFF0000, nullptr},  // RED
    {157, 0xFF00, nullptr},  // GREEN
    {158, 255, nullptr},  // BLUE
    {159, 0xFFFFFF, nullptr},  // WHITE
    {160, 0, nullptr},  // BLACK
    {161, 0xC0C0C0, nullptr},  // LIGHTGRAY
    {162, 0x808080, nullptr},  // DARKGRAY
    {163, Word(0xDEB20000), nullptr},  // NOBORDER
    {164, Word(0xDEB00001), nullptr},  // TABSTOP
    {165, Word(0xDEB10002), nullptr},  // STATICEDGE
    {166, Word(0xDEB00003), nullptr},  // VSCROLL
    {167, Word(0xDEB00004), nullptr},  // HSCROLL
    {168, Word(0xDEB20005), nullptr},  // HIDDEN
    {169, Word(0xDEB00006), nullptr},  // BORDER
    {170, 0, nullptr},  // ARROW
    {171, 1, nullptr},  // CROSS
    {172, 2, nullptr},  // IBEAM
    {173, 3, nullptr},  // NO
    {174, 4, nullptr},  // SIZEALL
    {175, 5, nullptr},  // SIZENESW
    {176, 6, nullptr},  // SIZENS
    {177, 7, nullptr},  // SIZENWSE
    {178, 8, nullptr},  // SIZEWE
    {179, 9, nullptr},  // UPARROW
    {180, 10, nullptr},  // WAIT
    {181, Word(0xAAD20007), nullptr},  // NOSURFACE
    {182, Word(0xAAD20008), nullptr},  // FAKECHILD
    {183, Word(0xAAD20000), nullptr},  // GAME
    {184, Word(0xAAD20001), nullptr},  // DIALOG
    {185, Word(0xAAD20006), nullptr},  // MAXIMIZED
    {186, Word(0xAAD20002), nullptr},  // RESIZABLE
    {187, Word(0xAAD20003), nullptr},  // TOOL
    {188, Word(0xAAD20004), nullptr},  // MESSAGEBOX
    {189, Word(0xAAD20005), nullptr},  // STANDARD
    {190, Word(0xAAD20009), nullptr},  // NOSYSMENU
    {191, Word(0xAAD2000A), nullptr},  // NOCAPTION
    {192, Word(0xAAD2000B), nullptr},  // MINIMIZEBOX
    {193, Word(0xAAD2000C), nullptr},  // MAXIMIZEBOX
    {194, Word(0xAAD2000D), nullptr},  // MINIMIZED
    {195, Word(0x89AF0001), nullptr},  // LEFTBUTTON
    {196, Word(0x89AF0002), nullptr},  // MIDDLEBUTTON
    {197, Word(0x89AF0003), nullptr},  // RIGHTBUTTON
    {0, 0, nullptr},
};

const uint16_t kWindowDependents[] = {
    kClassSurface, kClassSprite, kClassCamera, kClassVideo, kClassAnimation, kClassButton,
    kClassEdit, kClassComboBox, kClassListBox, kClassRadioButton, kClassCheckBox, kClassScrollBar,
    kClassProgressBar, kClassSlider, kClassSpin, kClassGroupBox, kClassRichEdit, kClassStaticText,
    kClassQTime, kClassFont, kClassWindow, kClassMessageBox, kClassGameInput, kClassMenu, 0,
};

}  // namespace

const CClassInfo kFontClassInfo = {kClassFont, kFontMembers, kFontConstants,
                                   kFontDependents, 7, false};
const CClassInfo kAnimationClassInfo = {kClassAnimation, kAnimationMembers, kAnimationConstants,
                                        kAnimationDependents, 51, false};
const CClassInfo kButtonClassInfo = {kClassButton, kButtonMembers, kButtonConstants,
                                     kButtonDependents, 42, false};
const CClassInfo kEditClassInfo = {kClassEdit, kEditMembers, kEditConstants,
                                   kEditDependents, 75, false};
const CClassInfo kComboBoxClassInfo = {kClassComboBox, kComboBoxMembers, kComboBoxConstants,
                                       kComboBoxDependents, 71, false};
const CClassInfo kListBoxClassInfo = {kClassListBox, kListBoxMembers, kListBoxConstants,
                                      kListBoxDependents, 74, false};
const CClassInfo kRadioButtonClassInfo = {kClassRadioButton, kRadioButtonMembers, kRadioButtonConstants,
                                          kRadioButtonDependents, 47, false};
const CClassInfo kCheckBoxClassInfo = {kClassCheckBox, kCheckBoxMembers, kCheckBoxConstants,
                                       kCheckBoxDependents, 45, false};
const CClassInfo kScrollBarClassInfo = {kClassScrollBar, kScrollBarMembers, kScrollBarConstants,
                                        kScrollBarDependents, 43, false};
const CClassInfo kMessageBoxClassInfo = {kClassMessageBox, kMessageBoxMembers, kMessageBoxConstants,
                                         kMessageBoxDependents, 9, false};
const CClassInfo kMenuClassInfo = {kClassMenu, kMenuMembers, kMenuConstants,
                                   kMenuDependents, 15, false};
const CClassInfo kProgressBarClassInfo = {kClassProgressBar, kProgressBarMembers, kProgressBarConstants,
                                          kProgressBarDependents, 46, false};
const CClassInfo kSliderClassInfo = {kClassSlider, kSliderMembers, kSliderConstants,
                                     kSliderDependents, 60, false};
const CClassInfo kSpinClassInfo = {kClassSpin, kSpinMembers, kSpinConstants,
                                   kSpinDependents, 52, false};
const CClassInfo kGroupBoxClassInfo = {kClassGroupBox, kGroupBoxMembers, kGroupBoxConstants,
                                       kGroupBoxDependents, 38, false};
const CClassInfo kRichEditClassInfo = {kClassRichEdit, kRichEditMembers, kRichEditConstants,
                                       kRichEditDependents, 102, false};
const CClassInfo kStaticTextClassInfo = {kClassStaticText, kStaticTextMembers, kStaticTextConstants,
                                         kStaticTextDependents, 40, false};
const CClassInfo kWindowClassInfo = {kClassWindow, kWindowMembers, kWindowConstants,
                                     kWindowDependents, 143, false};
