// Member tables of the system and data classes.
// Records are kept in member-id order; each class's constants follow its
// methods and events after one free id (the constant base).
#include "runtime/class_tables.h"

namespace {

constexpr int32_t Word(uint32_t v) {
    return static_cast<int32_t>(v);
}

const CConstantValue kNoConstants[] = {{0, 0, nullptr}};

// Math (class 2)
// Every member is reachable without an object.
const CMemberRecord kMathMembers[] = {
    {kClassMath, 0, "Math", 0, 0},
    {1, 0, "Abs", kClassMath, 0},
    {2, 0, "Asin", kClassMath, 0},
    {3, 0, "Atan", kClassMath, 0},
    {4, 0, "Ceil", kClassMath, 0},
    {5, 0, "Cos", kClassMath, 0},
    {6, 0, "Exp", kClassMath, 0},
    {7, 0, "Floor", kClassMath, 0},
    {8, 0, "Log", kClassMath, 0},
    {9, 0, "Max", kClassMath, 0},
    {10, 0, "Min", kClassMath, 0},
    {11, 0, "Pow", kClassMath, 0},
    {12, 0, "Random", kClassMath, 0},
    {13, 0, "Round", kClassMath, 0},
    {14, 0, "Sin", kClassMath, 0},
    {15, 0, "Sqrt", kClassMath, 0},
    {16, 0, "Tan", kClassMath, 0},
    {17, 0, "Pi", kClassMath, 0},
    {18, 0, "Acos", kClassMath, 0},
    {19, 0, "IsFloatFinite", kClassMath, 0},
    {20, 0, "IsNotAFloatNumber", kClassMath, 0},
    {21, 0, "SetRandom", kClassMath, 0},
    {22, 0, "GetRadian", kClassMath, 0},
    {23, 0, "GetDegree", kClassMath, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kMathDependents[] = {0};

// Disk (class 3)
const CMemberRecord kDiskMembers[] = {
    {kClassDisk, 0, "Disk", 0, 0},
    {1, 0, "GetCurrentDirectory", 0, 0},
    {2, 0, "GetNFilenames", 0, 0},
    {3, 0, "MakePath", 0, 0},
    {4, 0, "GetDrive", 0, 0},
    {5, 0, "GetDir", 0, 0},
    {6, 0, "GetName", 0, 0},
    {7, 0, "GetExtension", 0, 0},
    {8, 0, "SetCurrentDirectory", 0, 0},
    {9, 0, "SetName", 0, 0},
    {10, 0, "SetDir", 0, 0},
    {11, 0, "SetDrive", 0, 0},
    {12, 0, "SetExtension", 0, 0},
    {13, 0, "ListFiles", 0, 0},
    {14, 0, "Delete", 0, 0},
    {15, 0, "Rename", 0, 0},
    {16, 0, "GetFileSize", 0, 0},
    {17, 0, "MakeDirectory", 0, 0},
    {18, 0, "CopyFile", 0, 0},
    {19, 0, "AppendFile", 0, 0},
    {20, 0, "IsDirectory", 0, 0},
    {21, 0, "Exist", 0, 0},
    {22, 0, "ListDrives", 0, 0},
    {23, 0, "GetDriveType", 0, 0},
    {24, 0, "CreateTemporaryFile", 0, 0},
    {26, 0, "SUBDIRS", 0, kMemberConstant},
    {27, 0, "NODIRS", 0, kMemberConstant},
    {28, 0, "NOFILES", 0, kMemberConstant},
    {29, 0, "SORT", 0, kMemberConstant},
    {30, 0, "SHORTNAMES", 0, kMemberConstant},
    {31, 0, "FIXED", 0, kMemberConstant},
    {32, 0, "REMOVABLE", 0, kMemberConstant},
    {33, 0, "REMOTE", 0, kMemberConstant},
    {34, 0, "CDROM", 0, kMemberConstant},
    {35, 0, "RAMDISK", 0, kMemberConstant},
    {36, 0, "UNKNOWN", 0, kMemberConstant},
    {37, 0, "DIRECTORY_SEPARATOR", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kDiskConstants[] = {
    {26, Word(0xABCD0008), nullptr},  // SUBDIRS
    {27, Word(0xABCD0002), nullptr},  // NODIRS
    {28, Word(0xABCD0001), nullptr},  // NOFILES
    {29, Word(0xABCD0004), nullptr},  // SORT
    {30, Word(0xABCD0010), nullptr},  // SHORTNAMES
    {31, Word(0xABCD0020), nullptr},  // FIXED
    {32, Word(0xABCD0040), nullptr},  // REMOVABLE
    {33, Word(0xABCD0080), nullptr},  // REMOTE
    {34, Word(0xABCD0100), nullptr},  // CDROM
    {35, Word(0xABCD0200), nullptr},  // RAMDISK
    {36, Word(0xABCD0400), nullptr},  // UNKNOWN
    {37, 0, "\\"},  // DIRECTORY_SEPARATOR
    {0, 0, nullptr},
};

const uint16_t kDiskDependents[] = {0};

// Printer (class 5)
const CMemberRecord kPrinterMembers[] = {
    {kClassPrinter, 0, "Printer", 0, 0},
    {1, 0, "GetPrinterSurface", 0, 0},
    {2, 0, "NewPage", 0, 0},
    {3, 0, "EndPage", 0, 0},
    {4, 0, "InitDocument", 0, 0},
    {5, 0, "SendDocument", 0, 0},
    {6, 0, "GetScreenDotPerInchX", 0, 0},
    {7, 0, "GetScreenDotPerInchY", 0, 0},
    {8, 0, "GetPrinterDotPerInchX", 0, 0},
    {9, 0, "GetPrinterDotPerInchY", 0, 0},
    {10, 0, "GetPrinterWidth", 0, 0},
    {11, 0, "GetPrinterHeight", 0, 0},
    {12, 0, "AbortDocument", 0, 0},
    {13, 0, "PrintScreen", 0, 0},
    {14, 0, "Print", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kPrinterDependents[] = {0};

// File (class 6)
const CMemberRecord kFileMembers[] = {
    {kClassFile, 0, "File", 0, 0},
    {1, 0, "Open", 0, 0},
    {2, 0, "Create", 0, 0},
    {3, 0, "Close", 0, 0},
    {4, 0, "ReadLn", 0, 0},
    {5, 0, "WriteLn", 0, 0},
    {6, 0, "SetPosition", 0, 0},
    {7, 0, "GetPosition", 0, 0},
    {8, 0, "GetLength", 0, 0},
    {9, 0, "Read", 0, 0},
    {10, 0, "Write", 0, 0},
    {11, 0, "GetFilePath", 0, 0},
    {12, 0, "IsOpened", 0, 0},
    {14, 0, "READONLY", 0, kMemberConstant},
    {15, 0, "WRITEONLY", 0, kMemberConstant},
    {16, 0, "READWRITE", 0, kMemberConstant},
    {17, 0, "SKIPSPACES", 0, kMemberConstant},
    {18, 0, "HANDLEQUOTES", 0, kMemberConstant},
    {19, 0, "RETURNQUOTES", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kFileConstants[] = {
    {14, Word(0xABCD0001), nullptr},  // READONLY
    {15, Word(0xABCD0002), nullptr},  // WRITEONLY
    {16, Word(0xABCD0000), nullptr},  // READWRITE
    {17, Word(0xABCD0003), nullptr},  // SKIPSPACES
    {18, Word(0xABCD0004), nullptr},  // HANDLEQUOTES
    {19, Word(0xABCD0005), nullptr},  // RETURNQUOTES
    {0, 0, nullptr},
};

const uint16_t kFileDependents[] = {0};

// String (class 8)
const CMemberRecord kStringMembers[] = {
    {kClassString, 0, "String", 0, 0},
    {1, 0, "Big", 0, 0},
    {2, 0, "Bold", 0, 0},
    {3, 0, "FontColor", 0, 0},
    {4, 0, "FontSize", 0, 0},
    {5, 0, "Italics", 0, 0},
    {6, 0, "Small", 0, 0},
    {7, 0, "Strike", 0, 0},
    {8, 0, "Sub", 0, 0},
    {9, 0, "Sup", 0, 0},
    {10, 0, "ToLowerCase", 0, 0},
    {11, 0, "ToUpperCase", 0, 0},
    {12, 0, "CharAt", 0, 0},
    {13, 0, "IndexOf", 0, 0},
    {14, 0, "LastIndexOf", 0, 0},
    {15, 0, "SubString", 0, 0},
    {16, 0, "Length", 0, 0},
    {17, 0, "GetFloat", 0, 0},
    {18, 0, "GetInt", 0, 0},
    {19, 0, "GetAscii", 0, 0},
    {20, 0, "CompareNoCase", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kStringDependents[] = {0};

// Selector (class 18)
// NONETWORKBUTTON stands twice (file and print dialog flags); a lookup by name
// finds id 26.
const CMemberRecord kSelectorMembers[] = {
    {kClassSelector, 0, "Selector", 0, 0},
    {1, 0, "ChooseColorDialog", 0, 0},
    {2, 0, "GetChosenColor", 0, 0},
    {3, 0, "SaveFileDialog", 0, 0},
    {4, 0, "OpenFileDialog", 0, 0},
    {5, 0, "ChooseFontDialog", 0, 0},
    {6, 0, "PrintDialog", 0, 0},
    {7, 0, "GetOneFile", 0, 0},
    {8, 0, "GetFiles", 0, 0},
    {9, 0, "HasManyFiles", 0, 0},
    {10, 0, "GetSelectedFont", 0, 0},
    {11, 0, "GetSelectedFontColor", 0, 0},
    {12, 0, "PrintSetupDialog", 0, 0},
    {13, 0, "GetFromPage", 0, 0},
    {14, 0, "GetToPage", 0, 0},
    {15, 0, "GetCopyCount", 0, 0},
    {16, 0, "GetFontList", 0, 0},
    {17, 0, "GetNFonts", 0, 0},
    {18, 0, "ChooseDirectory", 0, 0},
    {20, 0, "ALLOWMULTISELECT", 0, kMemberConstant},
    {21, 0, "CREATEPROMPT", 0, kMemberConstant},
    {22, 0, "FILEMUSTEXIST", 0, kMemberConstant},
    {23, 0, "HIDEREADONLY", 0, kMemberConstant},
    {24, 0, "NOCHANGEDIR", 0, kMemberConstant},
    {25, 0, "NODEREFERENCELINKS", 0, kMemberConstant},
    {26, 0, "NONETWORKBUTTON", 0, kMemberConstant},
    {27, 0, "OVERWRITEPROMPT", 0, kMemberConstant},
    {28, 0, "PATHMUSTEXIST", 0, kMemberConstant},
    {29, 0, "ALLPAGES", 0, kMemberConstant},
    {30, 0, "DISABLEPRINTTOFILE", 0, kMemberConstant},
    {31, 0, "HIDEPRINTTOFILE", 0, kMemberConstant},
    {32, 0, "NONETWORKBUTTON", 0, kMemberConstant},
    {33, 0, "NOPAGENUMS", 0, kMemberConstant},
    {34, 0, "NOSELECTION", 0, kMemberConstant},
    {35, 0, "NOWARNING", 0, kMemberConstant},
    {36, 0, "PAGENUMS", 0, kMemberConstant},
    {37, 0, "PRINTTOFILE", 0, kMemberConstant},
    {38, 0, "SELECTION", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kSelectorConstants[] = {
    {20, 512, nullptr},  // ALLOWMULTISELECT
    {21, 0x2000, nullptr},  // CREATEPROMPT
    {22, 0x1000, nullptr},  // FILEMUSTEXIST
    {23, 4, nullptr},  // HIDEREADONLY
    {24, 8, nullptr},  // NOCHANGEDIR
    {25, 0x100000, nullptr},  // NODEREFERENCELINKS
    {26, 0x20000, nullptr},  // NONETWORKBUTTON
    {27, 2, nullptr},  // OVERWRITEPROMPT
    {28, 2048, nullptr},  // PATHMUSTEXIST
    {29, 0, nullptr},  // ALLPAGES
    {30, 0x80000, nullptr},  // DISABLEPRINTTOFILE
    {31, 0x100000, nullptr},  // HIDEPRINTTOFILE
    {32, 0x200000, nullptr},  // NONETWORKBUTTON
    {33, 8, nullptr},  // NOPAGENUMS
    {34, 4, nullptr},  // NOSELECTION
    {35, 128, nullptr},  // NOWARNING
    {36, 2, nullptr},  // PAGENUMS
    {37, 32, nullptr},  // PRINTTOFILE
    {38, 1, nullptr},  // SELECTION
    {0, 0, nullptr},
};

const uint16_t kSelectorDependents[] = {kClassPrinter, 0};

// Ini (class 24)
const CMemberRecord kIniMembers[] = {
    {kClassIni, 0, "Ini", 0, 0},
    {1, 0, "OpenFile", 0, 0},
    {2, 0, "CloseFile", 0, 0},
    {3, 0, "SetValue", 0, 0},
    {4, 0, "GetStrValue", 0, 0},
    {5, 0, "GetIntValue", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kIniDependents[] = {0};

// Timer (class 36)
const CMemberRecord kTimerMembers[] = {
    {kClassTimer, 0, "Timer", 0, 0},
    {1, 0, "Start", 0, 0},
    {2, 0, "Stop", 0, 0},
    {3, 0, "IsStarted", 0, 0},
    {4, 0, "SetInterval", 0, 0},
    {5, 0, "GetInterval", 0, 0},
    {6, 0, "OnTimeElapsed", 0, 0},
    {7, 0, "SetPrivateData", 0, 0},
    {8, 0, "GetPrivateData", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kTimerDependents[] = {0};

// System (class 38)
const CMemberRecord kSystemMembers[] = {
    {kClassSystem, 0, "System", 0, 0},
    {1, 0, "GetByteOrdering", 0, 0},
    {2, 0, "GetOS", 0, 0},
    {3, 0, "GetOSRelease", 0, 0},
    {4, 0, "GetOSSubRelease", 0, 0},
    {5, 0, "GetScreenWidth", 0, 0},
    {6, 0, "GetScreenHeight", 0, 0},
    {7, 0, "GetScreenDepth", 0, 0},
    {8, 0, "GetComputerName", 0, 0},
    {9, 0, "GetComputerIP", 0, 0},
    {10, 0, "ShutDown", 0, 0},
    {11, 0, "PowerOff", 0, 0},
    {12, 0, "Restart", 0, 0},
    {13, 0, "Logout", 0, 0},
    {14, 0, "GetDLLDirectory", 0, 0},
    {15, 0, "GetUserName", 0, 0},
    {16, 0, "GetOSDirectory", 0, 0},
    {17, 0, "GetElapsedTime", 0, 0},
    {18, 0, "GetCurrentMonth", 0, 0},
    {19, 0, "GetCurrentDay", 0, 0},
    {20, 0, "GetCurrentYear", 0, 0},
    {21, 0, "GetCurrentHour", 0, 0},
    {22, 0, "GetCurrentMinute", 0, 0},
    {23, 0, "GetCurrentSecond", 0, 0},
    {24, 0, "GetDayOfWeek", 0, 0},
    {25, 0, "GetCurrentMilliseconds", 0, 0},
    {26, 0, "BrowseURL", 0, 0},
    {27, 0, "InstallDLLFromBank", 0, 0},
    {28, 0, "GetTempDirectory", 0, 0},
    {29, 0, "GetSysColor", 0, 0},
    {30, 0, "IsGradientCaptionEnabled", 0, 0},
    {31, 0, "ParseEnvironmentString", 0, 0},
    {32, 0, "GetEnvironmentVariable", 0, 0},
    {34, 0, "BIG_ENDIAN", 0, kMemberConstant},
    {35, 0, "LITTLE_ENDIAN", 0, kMemberConstant},
    {36, 0, "PDP_ENDIAN", 0, kMemberConstant},
    {37, 0, "OS_WINDOWS_CE", 0, kMemberConstant},
    {38, 0, "OS_WINDOWS_95", 0, kMemberConstant},
    {39, 0, "OS_WINDOWS_98", 0, kMemberConstant},
    {40, 0, "OS_WINDOWS_NT", 0, kMemberConstant},
    {41, 0, "OS_MACOS", 0, kMemberConstant},
    {42, 0, "OS_LINUX", 0, kMemberConstant},
    {43, 0, "OS_UNKNOWN", 0, kMemberConstant},
    {44, 0, "OS_WINDOWS_ME", 0, kMemberConstant},
    {45, 0, "OS_WINDOWS_2000", 0, kMemberConstant},
    {46, 0, "OS_WINDOWS_9X", 0, kMemberConstant},
    {47, 0, "SYSCOLOR_3DDARKSHADOW", 0, kMemberConstant},
    {48, 0, "SYSCOLOR_BUTTONFACE", 0, kMemberConstant},
    {49, 0, "SYSCOLOR_BUTTONHILIGHT", 0, kMemberConstant},
    {50, 0, "SYSCOLOR_3DLIGHT", 0, kMemberConstant},
    {51, 0, "SYSCOLOR_BUTTONSHADOW", 0, kMemberConstant},
    {52, 0, "SYSCOLOR_ACTIVEBORDER", 0, kMemberConstant},
    {53, 0, "SYSCOLOR_ACTIVECAPTION", 0, kMemberConstant},
    {54, 0, "SYSCOLOR_APPWORKSPACE", 0, kMemberConstant},
    {55, 0, "SYSCOLOR_DESKTOP", 0, kMemberConstant},
    {56, 0, "SYSCOLOR_BUTTONTEXT", 0, kMemberConstant},
    {57, 0, "SYSCOLOR_CAPTIONTEXT", 0, kMemberConstant},
    {58, 0, "SYSCOLOR_GRADIENTACTIVECAPTION", 0, kMemberConstant},
    {59, 0, "SYSCOLOR_GRADIENTINACTIVECAPTION", 0, kMemberConstant},
    {60, 0, "SYSCOLOR_GRAYTEXT", 0, kMemberConstant},
    {61, 0, "SYSCOLOR_HIGHLIGHT", 0, kMemberConstant},
    {62, 0, "SYSCOLOR_HIGHLIGHTTEXT", 0, kMemberConstant},
    {63, 0, "SYSCOLOR_HOTLIGHT", 0, kMemberConstant},
    {64, 0, "SYSCOLOR_INACTIVEBORDER", 0, kMemberConstant},
    {65, 0, "SYSCOLOR_INACTIVECAPTION", 0, kMemberConstant},
    {66, 0, "SYSCOLOR_INACTIVECAPTIONTEXT", 0, kMemberConstant},
    {67, 0, "SYSCOLOR_INFOBACKGROUND", 0, kMemberConstant},
    {68, 0, "SYSCOLOR_INFOTEXT", 0, kMemberConstant},
    {69, 0, "SYSCOLOR_MENU", 0, kMemberConstant},
    {70, 0, "SYSCOLOR_MENUTEXT", 0, kMemberConstant},
    {71, 0, "SYSCOLOR_SCROLLBAR", 0, kMemberConstant},
    {72, 0, "SYSCOLOR_WINDOW", 0, kMemberConstant},
    {73, 0, "SYSCOLOR_WINDOWFRAME", 0, kMemberConstant},
    {74, 0, "SYSCOLOR_WINDOWTEXT", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kSystemConstants[] = {
    {34, 1, nullptr},  // BIG_ENDIAN
    {35, 2, nullptr},  // LITTLE_ENDIAN
    {36, 3, nullptr},  // PDP_ENDIAN
    {37, 0, nullptr},  // OS_WINDOWS_CE
    {38, 1, nullptr},  // OS_WINDOWS_95
    {39, 2, nullptr},  // OS_WINDOWS_98
    {40, 3, nullptr},  // OS_WINDOWS_NT
    {41, 4, nullptr},  // OS_MACOS
    {42, 5, nullptr},  // OS_LINUX
    {43, 6, nullptr},  // OS_UNKNOWN
    {44, 7, nullptr},  // OS_WINDOWS_ME
    {45, 8, nullptr},  // OS_WINDOWS_2000
    {46, 9, nullptr},  // OS_WINDOWS_9X
    {47, Word(0xBABC0000), nullptr},  // SYSCOLOR_3DDARKSHADOW
    {48, Word(0xBABC0001), nullptr},  // SYSCOLOR_BUTTONFACE
    {49, Word(0xBABC0002), nullptr},  // SYSCOLOR_BUTTONHILIGHT
    {50, Word(0xBABC0003), nullptr},  // SYSCOLOR_3DLIGHT
    {51, Word(0xBABC0004), nullptr},  // SYSCOLOR_BUTTONSHADOW
    {52, Word(0xBABC0005), nullptr},  // SYSCOLOR_ACTIVEBORDER
    {53, Word(0xBABC0006), nullptr},  // SYSCOLOR_ACTIVECAPTION
    {54, Word(0xBABC0007), nullptr},  // SYSCOLOR_APPWORKSPACE
    {55, Word(0xBABC0008), nullptr},  // SYSCOLOR_DESKTOP
    {56, Word(0xBABC0009), nullptr},  // SYSCOLOR_BUTTONTEXT
    {57, Word(0xBABC000A), nullptr},  // SYSCOLOR_CAPTIONTEXT
    {58, Word(0xBABC000B), nullptr},  // SYSCOLOR_GRADIENTACTIVECAPTION
    {59, Word(0xBABC000C), nullptr},  // SYSCOLOR_GRADIENTINACTIVECAPTION
    {60, Word(0xBABC000D), nullptr},  // SYSCOLOR_GRAYTEXT
    {61, Word(0xBABC000E), nullptr},  // SYSCOLOR_HIGHLIGHT
    {62, Word(0xBABC000F), nullptr},  // SYSCOLOR_HIGHLIGHTTEXT
    {63, Word(0xBABC0010), nullptr},  // SYSCOLOR_HOTLIGHT
    {64, Word(0xBABC0011), nullptr},  // SYSCOLOR_INACTIVEBORDER
    {65, Word(0xBABC0012), nullptr},  // SYSCOLOR_INACTIVECAPTION
    {66, Word(0xBABC0013), nullptr},  // SYSCOLOR_INACTIVECAPTIONTEXT
    {67, Word(0xBABC0014), nullptr},  // SYSCOLOR_INFOBACKGROUND
    {68, Word(0xBABC0015), nullptr},  // SYSCOLOR_INFOTEXT
    {69, Word(0xBABC0016), nullptr},  // SYSCOLOR_MENU
    {70, Word(0xBABC0017), nullptr},  // SYSCOLOR_MENUTEXT
    {71, Word(0xBABC0018), nullptr},  // SYSCOLOR_SCROLLBAR
    {72, Word(0xBABC0019), nullptr},  // SYSCOLOR_WINDOW
    {73, Word(0xBABC001A), nullptr},  // SYSCOLOR_WINDOWFRAME
    {74, Word(0xBABC001B), nullptr},  // SYSCOLOR_WINDOWTEXT
    {0, 0, nullptr},
};

const uint16_t kSystemDependents[] = {0};

// SharedLibrary (class 39)
const CMemberRecord kSharedLibraryMembers[] = {
    {kClassSharedLibrary, 0, "SharedLibrary", 0, 0},
    {1, 0, "Load", 0, 0},
    {2, 0, "Unload", 0, 0},
    {3, 0, "CallFunction", 0, 0},
    {4, 0, "IsLoaded", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kSharedLibraryDependents[] = {0};

// Binary (class 40)
const CMemberRecord kBinaryMembers[] = {
    {kClassBinary, 0, "Binary", 0, 0},
    {1, 0, "LoadData", 0, 0},
    {2, 0, "SaveData", 0, 0},
    {3, 0, "AllocateData", 0, 0},
    {4, 0, "FreeData", 0, 0},
    {5, 0, "ReSizeData", 0, 0},
    {6, 0, "GetDataSize", 0, 0},
    {7, 0, "GetWord", 0, 0},
    {8, 0, "GetLong", 0, 0},
    {9, 0, "GetByte", 0, 0},
    {10, 0, "GetChar", 0, 0},
    {11, 0, "GetDouble", 0, 0},
    {12, 0, "GetFloat", 0, 0},
    {13, 0, "GetString", 0, 0},
    {14, 0, "SetWord", 0, 0},
    {15, 0, "SetLong", 0, 0},
    {16, 0, "SetByte", 0, 0},
    {17, 0, "SetChar", 0, 0},
    {18, 0, "SetDouble", 0, 0},
    {19, 0, "SetFloat", 0, 0},
    {20, 0, "SetString", 0, 0},
    {21, 0, "SetByteOrdering", 0, 0},
    {22, 0, "GetByteOrdering", 0, 0},
    {23, 0, "MoveData", 0, 0},
    {24, 0, "CopyData", 0, 0},
    {25, 0, "GetByteSize", 0, 0},
    {26, 0, "GetWordSize", 0, 0},
    {27, 0, "GetLongSize", 0, 0},
    {28, 0, "GetCharSize", 0, 0},
    {29, 0, "GetDoubleSize", 0, 0},
    {30, 0, "GetStringSize", 0, 0},
    {31, 0, "GetFloatSize", 0, 0},
    {33, 0, "LITTLE_ENDIAN", 0, kMemberConstant},
    {34, 0, "BIG_ENDIAN", 0, kMemberConstant},
    {35, 0, "PDP_ENDIAN", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kBinaryConstants[] = {
    {33, 2, nullptr},  // LITTLE_ENDIAN
    {34, 1, nullptr},  // BIG_ENDIAN
    {35, 3, nullptr},  // PDP_ENDIAN
    {0, 0, nullptr},
};

const uint16_t kBinaryDependents[] = {0};

// Registry (class 41)
const CMemberRecord kRegistryMembers[] = {
    {kClassRegistry, 0, "Registry", 0, 0},
    {1, 0, "CreateKey", 0, 0},
    {2, 0, "DeleteKey", 0, 0},
    {3, 0, "OpenKey", 0, 0},
    {4, 0, "CloseKey", 0, 0},
    {5, 0, "GetCurrentKeyRoot", 0, 0},
    {6, 0, "GetSubKeyList", 0, 0},
    {7, 0, "GetValueList", 0, 0},
    {8, 0, "GetCurrentKeyName", 0, 0},
    {9, 0, "SetValue", 0, 0},
    {10, 0, "GetValue", 0, 0},
    {11, 0, "DeleteValue", 0, 0},
    {12, 0, "GetValueType", 0, 0},
    {14, 0, "REG_VALUETYPE_BINARY", 0, kMemberConstant},
    {15, 0, "REG_VALUETYPE_LONG", 0, kMemberConstant},
    {16, 0, "REG_VALUETYPE_STRING", 0, kMemberConstant},
    {17, 0, "REG_VALUETYPE_STRING_EXPAND", 0, kMemberConstant},
    {18, 0, "REG_VALUETYPE_STRINGARRAY", 0, kMemberConstant},
    {19, 0, "REG_VALUETYPE_UNSUPPORTED", 0, kMemberConstant},
    {20, 0, "REG_ACCESS_READ", 0, kMemberConstant},
    {21, 0, "REG_ACCESS_WRITE", 0, kMemberConstant},
    {22, 0, "ROOT_HKEY_CLASSES_ROOT", 0, kMemberConstant},
    {23, 0, "ROOT_HKEY_CURRENT_CONFIG", 0, kMemberConstant},
    {24, 0, "ROOT_HKEY_CURRENT_USER", 0, kMemberConstant},
    {25, 0, "ROOT_HKEY_LOCAL_MACHINE", 0, kMemberConstant},
    {26, 0, "ROOT_HKEY_USERS", 0, kMemberConstant},
    {27, 0, "ROOT_HKEY_PERFORMANCE_DATA", 0, kMemberConstant},
    {28, 0, "ROOT_HKEY_DYN_DATA", 0, kMemberConstant},
    {29, 0, "ROOT_HKEY_UNKNOWN", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kRegistryConstants[] = {
    {14, Word(0xABCD0001), nullptr},  // REG_VALUETYPE_BINARY
    {15, Word(0xABCD0002), nullptr},  // REG_VALUETYPE_LONG
    {16, Word(0xABCD0003), nullptr},  // REG_VALUETYPE_STRING
    {17, Word(0xABCD0004), nullptr},  // REG_VALUETYPE_STRING_EXPAND
    {18, Word(0xABCD0005), nullptr},  // REG_VALUETYPE_STRINGARRAY
    {19, Word(0xABCD0006), nullptr},  // REG_VALUETYPE_UNSUPPORTED
    {20, Word(0xABCD2001), nullptr},  // REG_ACCESS_READ
    {21, Word(0xABCD2002), nullptr},  // REG_ACCESS_WRITE
    {22, Word(0xABCD1000), nullptr},  // ROOT_HKEY_CLASSES_ROOT
    {23, Word(0xABCD1001), nullptr},  // ROOT_HKEY_CURRENT_CONFIG
    {24, Word(0xABCD1002), nullptr},  // ROOT_HKEY_CURRENT_USER
    {25, Word(0xABCD1003), nullptr},  // ROOT_HKEY_LOCAL_MACHINE
    {26, Word(0xABCD1004), nullptr},  // ROOT_HKEY_USERS
    {27, Word(0xABCD1005), nullptr},  // ROOT_HKEY_PERFORMANCE_DATA
    {28, Word(0xABCD1006), nullptr},  // ROOT_HKEY_DYN_DATA
    {29, Word(0xABCD1007), nullptr},  // ROOT_HKEY_UNKNOWN
    {0, 0, nullptr},
};

const uint16_t kRegistryDependents[] = {0};

// Clipboard (class 49)
const CMemberRecord kClipboardMembers[] = {
    {kClassClipboard, 0, "Clipboard", 0, 0},
    {1, 0, "HasText", 0, 0},
    {2, 0, "HasImage", 0, 0},
    {3, 0, "GetText", 0, 0},
    {4, 0, "GetImage", 0, 0},
    {5, 0, "PutData", 0, 0},
    {6, 0, "HasSound", 0, 0},
    {7, 0, "GetSound", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kClipboardDependents[] = {0};

// Process (class 51)
const CMemberRecord kProcessMembers[] = {
    {kClassProcess, 0, "Process", 0, 0},
    {1, 0, "SetCommandLine", 0, 0},
    {2, 0, "GetCommandLine", 0, 0},
    {3, 0, "Restart", 0, 0},
    {4, 0, "Run", 0, 0},
    {5, 0, "IsProcessRunning", 0, 0},
    {6, 0, "GetExitCode", 0, 0},
    {7, 0, "SendQuitMessage", 0, 0},
    {8, 0, "Terminate", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kProcessDependents[] = {0};

// Serial (class 53)
const CMemberRecord kSerialMembers[] = {
    {kClassSerial, 0, "Serial", 0, 0},
    {1, 0, "OpenPort", 0, 0},
    {2, 0, "ClosePort", 0, 0},
    {3, 0, "SetRate", 0, 0},
    {4, 0, "GetRate", 0, 0},
    {5, 0, "Send", 0, 0},
    {6, 0, "ReceiveLong", 0, 0},
    {7, 0, "ReceiveDouble", 0, 0},
    {8, 0, "ReceiveString", 0, 0},
    {9, 0, "ReceiveBinary", 0, 0},
    {10, 0, "SetMode", 0, 0},
    {11, 0, "GetMode", 0, 0},
    {12, 0, "IsOpen", 0, 0},
    {13, 0, "GetPortName", 0, 0},
    {14, 0, "SetTimeOut", 0, 0},
    {15, 0, "GetTimeOut", 0, 0},
    {17, 0, "TRANSFER_MODE_RAW", 0, kMemberConstant},
    {18, 0, "TRANSFER_MODE_QUORVEX", 0, kMemberConstant},
    {19, 0, "TRANSFER_MODE_UNKNOWN", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kSerialConstants[] = {
    {17, 1, nullptr},  // TRANSFER_MODE_RAW
    {18, 2, nullptr},  // TRANSFER_MODE_QUORVEX
    {19, 0, nullptr},  // TRANSFER_MODE_UNKNOWN
    {0, 0, nullptr},
};

const uint16_t kSerialDependents[] = {0};

// TrayIcon (class 54)
const CMemberRecord kTrayIconMembers[] = {
    {kClassTrayIcon, 0, "TrayIcon", 0, 0},
    {1, 0, "OnMouseMove", 0, 0},
    {2, 0, "OnMouseDown", 0, 0},
    {3, 0, "OnMouseUp", 0, 0},
    {4, 0, "OnMouseDblClick", 0, 0},
    {5, 0, "SetIcon", 0, 0},
    {6, 0, "SetTip", 0, 0},
    {8, 0, "LEFTBUTTON", 0, kMemberConstant},
    {9, 0, "MIDDLEBUTTON", 0, kMemberConstant},
    {10, 0, "RIGHTBUTTON", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kTrayIconConstants[] = {
    {8, Word(0x89AF0001), nullptr},  // LEFTBUTTON
    {9, Word(0x89AF0002), nullptr},  // MIDDLEBUTTON
    {10, Word(0x89AF0003), nullptr},  // RIGHTBUTTON
    {0, 0, nullptr},
};

const uint16_t kTrayIconDependents[] = {0};

// Program (class 55)
// Methods are reachable without an object; the event OnError is not.
const CMemberRecord kProgramMembers[] = {
    {kClassProgram, 0, "Program", 0, 0},
    {1, 0, "Restart", kClassProgram, 0},
    {2, 0, "GetCommandLine", kClassProgram, 0},
    {3, 0, "GetArgument", kClassProgram, 0},
    {4, 0, "Wait", kClassProgram, 0},
    {5, 0, "SysDebug", kClassProgram, 0},
    {6, 0, "IsDebug", kClassProgram, 0},
    {7, 0, "IsRelease", kClassProgram, 0},
    {8, 0, "IsScreenSaver", kClassProgram, 0},
    {9, 0, "IsApplication", kClassProgram, 0},
    {10, 0, "GetNArguments", kClassProgram, 0},
    {11, 0, "IsStandAlone", kClassProgram, 0},
    {12, 0, "End", kClassProgram, 0},
    {13, 0, "GetChar", kClassProgram, 0},
    {14, 0, "GetString", kClassProgram, 0},
    {15, 0, "Flush", kClassProgram, 0},
    {16, 0, "SetFlush", kClassProgram, 0},
    {17, 0, "GetRGB", kClassProgram, 0},
    {18, 0, "GetRed", kClassProgram, 0},
    {19, 0, "GetGreen", kClassProgram, 0},
    {20, 0, "GetBlue", kClassProgram, 0},
    {21, 0, "GetDefaultGameInput", kClassProgram, 0},
    {22, 0, "IsScreenSaverSetupDialog", kClassProgram, 0},
    {23, 0, "IsScreenSaverControlPanel", kClassProgram, 0},
    {24, 0, "IsEditorMode", kClassProgram, 0},
    {25, 0, "IsDirectSound3DUsed", kClassProgram, 0},
    {26, 0, "IsDirectSound3DEnabled", kClassProgram, 0},
    {27, 0, "EnableDirectSound3D", kClassProgram, 0},
    {28, 0, "DisableDirectSound3D", kClassProgram, 0},
    {29, 0, "LoadString", kClassProgram, 0},
    {30, 0, "DebugBreak", kClassProgram, 0},
    {31, 0, "FillArray", kClassProgram, 0},
    {32, 0, "IsArray", kClassProgram, 0},
    {33, 0, "IsDefaultValue", kClassProgram, 0},
    {34, 0, "IsString", kClassProgram, 0},
    {35, 0, "IsNumber", kClassProgram, 0},
    {36, 0, "IsInteger", kClassProgram, 0},
    {37, 0, "IsFloat", kClassProgram, 0},
    {38, 0, "IsObject", kClassProgram, 0},
    {39, 0, "IsFunction", kClassProgram, 0},
    {40, 0, "GetArrayDimensionCount", kClassProgram, 0},
    {41, 0, "GetArrayDimensionSize", kClassProgram, 0},
    {42, 0, "AddToDebugger", kClassProgram, 0},
    {43, 0, "RemoveFromDebugger", kClassProgram, 0},
    {44, 0, "DisableEvents", kClassProgram, 0},
    {45, 0, "EnableEvents", kClassProgram, 0},
    {46, 0, "EventsEnabled", kClassProgram, 0},
    {47, 0, "OnError", 0, 0},
    {48, 0, "GetLastError", kClassProgram, 0},
    {49, 0, "GetErrorMessage", kClassProgram, 0},
    {50, 0, "IsQuickTimeInstalled", kClassProgram, 0},
    {51, 0, "IsModPlugInstalled", kClassProgram, 0},
    {52, 0, "IsSpeechInstalled", kClassProgram, 0},
    {53, 0, "IsQuickTimeVRInstalled", kClassProgram, 0},
    {54, 0, "GetAscii", kClassProgram, 0},
    {55, 0, "GetApplicationDirectory", kClassProgram, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kProgramDependents[] = {0};

// Display (class 56)
// Methods are reachable without an object; the constants need the class name.
const CMemberRecord kDisplayMembers[] = {
    {kClassDisplay, 0, "Display", 0, 0},
    {1, 0, "GetScreenXMouse", kClassDisplay, 0},
    {2, 0, "GetScreenYMouse", kClassDisplay, 0},
    {3, 0, "ShowMouseCursor", kClassDisplay, 0},
    {4, 0, "HideMouseCursor", kClassDisplay, 0},
    {5, 0, "BeginPolygonChange", kClassDisplay, 0},
    {6, 0, "EndPolygonChange", kClassDisplay, 0},
    {7, 0, "SetScreenMousePos", kClassDisplay, 0},
    {8, 0, "GetDisplayInterface", kClassDisplay, 0},
    {9, 0, "SetDisplayInterface", kClassDisplay, 0},
    {10, 0, "IsDisplayInterfaceAvailable", kClassDisplay, 0},
    {11, 0, "GetDisplayInterfaceName", kClassDisplay, 0},
    {12, 0, "GetDisplayDeviceCount", kClassDisplay, 0},
    {13, 0, "GetDisplayDeviceName", kClassDisplay, 0},
    {14, 0, "GetDisplayDriverCount", kClassDisplay, 0},
    {15, 0, "GetDisplayDriverName", kClassDisplay, 0},
    {16, 0, "IsWindowedModeSupported", kClassDisplay, 0},
    {17, 0, "GetScreenModeCount", kClassDisplay, 0},
    {18, 0, "GetScreenModeWidth", kClassDisplay, 0},
    {19, 0, "GetScreenModeHeight", kClassDisplay, 0},
    {20, 0, "GetScreenModeDepth", kClassDisplay, 0},
    {21, 0, "GetDisplayDevice", kClassDisplay, 0},
    {22, 0, "GetDisplayDriver", kClassDisplay, 0},
    {23, 0, "EnableVBSync", kClassDisplay, 0},
    {25, 0, "SOFTWARE", 0, kMemberConstant},
    {26, 0, "SOFTWARE_DIRECTDRAW", 0, kMemberConstant},
    {27, 0, "DIRECT3D", 0, kMemberConstant},
    {28, 0, "OPENGL", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kDisplayConstants[] = {
    {25, Word(0x89AF0000), nullptr},  // SOFTWARE
    {26, Word(0x89AF0001), nullptr},  // SOFTWARE_DIRECTDRAW
    {27, Word(0x89AF0002), nullptr},  // DIRECT3D
    {28, Word(0x89AF0003), nullptr},  // OPENGL
    {0, 0, nullptr},
};

const uint16_t kDisplayDependents[] = {0};

// Editor (class 58)
// Methods are reachable without an object; events and constants are not.
const CMemberRecord kEditorMembers[] = {
    {kClassEditor, 0, "Editor", 0, 0},
    {1, 0, "GetFileName", kClassEditor, 0},
    {2, 0, "SetModified", kClassEditor, 0},
    {3, 0, "IsModified", kClassEditor, 0},
    {4, 0, "GetDocumentTitle", kClassEditor, 0},
    {5, 0, "SetDocumentTitle", kClassEditor, 0},
    {6, 0, "OnMainMenu", 0, 0},
    {7, 0, "EnableMainMenuItem", kClassEditor, 0},
    {8, 0, "DisableMainMenuItem", kClassEditor, 0},
    {9, 0, "OnActivate", 0, 0},
    {10, 0, "OnDeactivate", 0, 0},
    {12, 0, "ED_CLOSE", 0, kMemberConstant},
    {13, 0, "ED_SAVE", 0, kMemberConstant},
    {14, 0, "ED_PRINT", 0, kMemberConstant},
    {15, 0, "ED_PRINTPREVIEW", 0, kMemberConstant},
    {16, 0, "ED_PRINTSETUP", 0, kMemberConstant},
    {17, 0, "ED_UNDO", 0, kMemberConstant},
    {18, 0, "ED_REDO", 0, kMemberConstant},
    {19, 0, "ED_CUT", 0, kMemberConstant},
    {20, 0, "ED_COPY", 0, kMemberConstant},
    {21, 0, "ED_PASTE", 0, kMemberConstant},
    {22, 0, "ED_DELETE", 0, kMemberConstant},
    {23, 0, "ED_SELECTALL", 0, kMemberConstant},
    {24, 0, "ED_FIND", 0, kMemberConstant},
    {25, 0, "ED_FINDNEXT", 0, kMemberConstant},
    {26, 0, "ED_REPLACE", 0, kMemberConstant},
    {27, 0, "ED_HELP", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kEditorConstants[] = {
    {12, 0, nullptr},  // ED_CLOSE
    {13, 1, nullptr},  // ED_SAVE
    {14, 2, nullptr},  // ED_PRINT
    {15, 3, nullptr},  // ED_PRINTPREVIEW
    {16, 4, nullptr},  // ED_PRINTSETUP
    {17, 5, nullptr},  // ED_UNDO
    {18, 6, nullptr},  // ED_REDO
    {19, 7, nullptr},  // ED_CUT
    {20, 8, nullptr},  // ED_COPY
    {21, 9, nullptr},  // ED_PASTE
    {22, 10, nullptr},  // ED_DELETE
    {23, 11, nullptr},  // ED_SELECTALL
    {24, 12, nullptr},  // ED_FIND
    {25, 13, nullptr},  // ED_FINDNEXT
    {26, 14, nullptr},  // ED_REPLACE
    {27, 15, nullptr},  // ED_HELP
    {0, 0, nullptr},
};

const uint16_t kEditorDependents[] = {0};

// Vector (class 69)
const CMemberRecord kVectorMembers[] = {
    {kClassVector, 0, "Vector", 0, 0},
    {1, 0, "Set", 0, 0},
    {2, 0, "Reset", 0, 0},
    {3, 0, "AddVector", 0, 0},
    {4, 0, "SubVector", 0, 0},
    {5, 0, "MulVector", 0, 0},
    {6, 0, "Scale", 0, 0},
    {7, 0, "Rescale", 0, 0},
    {8, 0, "Negate", 0, 0},
    {9, 0, "IsEqual", 0, 0},
    {10, 0, "GetLength", 0, 0},
    {11, 0, "Distance", 0, 0},
    {12, 0, "DotProductUniformized", 0, 0},
    {13, 0, "DotProduct", 0, 0},
    {14, 0, "CrossProduct", 0, 0},
    {15, 0, "Normalize", 0, 0},
    {16, 0, "Average", 0, 0},
    {17, 0, "Lerp", 0, 0},
    {18, 0, "Combine", 0, 0},
    {19, 0, "GetX", 0, 0},
    {20, 0, "GetY", 0, 0},
    {21, 0, "GetZ", 0, 0},
    {22, 0, "SetX", 0, 0},
    {23, 0, "SetY", 0, 0},
    {24, 0, "SetZ", 0, 0},
    {25, 0, "MulVectorMatrix", 0, 0},
    {26, 0, "MulNormalMatrix", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kVectorDependents[] = {0};

}  // namespace

const CClassInfo kMathClassInfo = {kClassMath, kMathMembers, kNoConstants,
                                   kMathDependents, 24, true};
const CClassInfo kDiskClassInfo = {kClassDisk, kDiskMembers, kDiskConstants,
                                   kDiskDependents, 25, true};
const CClassInfo kPrinterClassInfo = {kClassPrinter, kPrinterMembers, kNoConstants,
                                      kPrinterDependents, 15, false};
const CClassInfo kFileClassInfo = {kClassFile, kFileMembers, kFileConstants,
                                   kFileDependents, 13, false};
const CClassInfo kStringClassInfo = {kClassString, kStringMembers, kNoConstants,
                                     kStringDependents, 21, false};
const CClassInfo kSelectorClassInfo = {kClassSelector, kSelectorMembers, kSelectorConstants,
                                       kSelectorDependents, 19, false};
const CClassInfo kIniClassInfo = {kClassIni, kIniMembers, kNoConstants,
                                  kIniDependents, 6, false};
const CClassInfo kTimerClassInfo = {kClassTimer, kTimerMembers, kNoConstants,
                                    kTimerDependents, 9, false};
const CClassInfo kSystemClassInfo = {kClassSystem, kSystemMembers, kSystemConstants,
                                     kSystemDependents, 33, true};
const CClassInfo kSharedLibraryClassInfo = {kClassSharedLibrary, kSharedLibraryMembers, kNoConstants,
                                            kSharedLibraryDependents, 5, false};
const CClassInfo kBinaryClassInfo = {kClassBinary, kBinaryMembers, kBinaryConstants,
                                     kBinaryDependents, 32, false};
const CClassInfo kRegistryClassInfo = {kClassRegistry, kRegistryMembers, kRegistryConstants,
                                       kRegistryDependents, 13, false};
const CClassInfo kClipboardClassInfo = {kClassClipboard, kClipboardMembers, kNoConstants,
                                        kClipboardDependents, 8, false};
const CClassInfo kProcessClassInfo = {kClassProcess, kProcessMembers, kNoConstants,
                                      kProcessDependents, 9, false};
const CClassInfo kSerialClassInfo = {kClassSerial, kSerialMembers, kSerialConstants,
                                     kSerialDependents, 16, false};
const CClassInfo kTrayIconClassInfo = {kClassTrayIcon, kTrayIconMembers, kTrayIconConstants,
                                       kTrayIconDependents, 7, false};
const CClassInfo kProgramClassInfo = {kClassProgram, kProgramMembers, kNoConstants,
                                      kProgramDependents, 56, true};
const CClassInfo kDisplayClassInfo = {kClassDisplay, kDisplayMembers, kDisplayConstants,
                                      kDisplayDependents, 24, true};
const CClassInfo kEditorClassInfo = {kClassEditor, kEditorMembers, kEditorConstants,
                                     kEditorDependents, 11, true};
const CClassInfo kVectorClassInfo = {kClassVector, kVectorMembers, kNoConstants,
                                     kVectorDependents, 27, false};
