#pragma once
// The static class registry of the script language: entry 0 is the keyword and
// operator table, entry k (1 to 73) the member table of the script class with
// class id k. The compiler reads it to recognise class names, member names and
// members reachable without an object; the interpreter reads it to evaluate
// class constants and to cascade object deletion over dependent classes.
#include <cstdint>

// One record of a member table (and of the keyword table, where the member id
// is the token id). A table starts with its head {class id, class name} and
// ends with an all-zero record.
struct CMemberRecord {
    uint16_t memberId;    // 1-based id within the class: the dispatch-table index
    uint16_t reserved;    // 0
    const char* name;     // script name, matched without regard to case
    uint32_t globalCode;  // 0, or the operation code that reaches the member without an object
    uint32_t flags;       // kMemberConstant for constants
};

constexpr uint32_t kMemberConstant = 0x80000000u;

// Global codes other than class ids: members of the current window.
constexpr uint32_t kGlobalCodeCurrentWindow = 94;

// The value of one class constant. Nearly all are 32-bit integers; a constant
// that stands for a text (the disk class's path separator) carries it in text.
struct CConstantValue {
    uint16_t memberId;  // 0 ends a value table
    int32_t value;
    const char* text;   // null for integer constants
};

struct CClassInfo {
    uint16_t classId;
    const CMemberRecord* members;     // head record first, all-zero record last
    const CConstantValue* constants;  // sorted by member id, ended by member id 0
    const uint16_t* dependents;       // class ids whose objects may depend on this class's objects; 0 ends
    uint16_t constantBase;            // the free id between the last method and the first constant
    bool isGlobal;                    // one global object that "New" refuses
};

// Class ids (= registry entry = operation code of the class name).
enum EClassId : uint16_t {
    kClassSprite = 1,
    kClassMath = 2,
    kClassDisk = 3,
    kClassKeyboard = 4,
    kClassPrinter = 5,
    kClassFile = 6,
    kClassFont = 7,
    kClassString = 8,
    kClassSurface = 9,
    kClassPointArray = 10,
    kClassVideo = 11,
    kClassAnimation = 12,
    kClassSound = 13,
    kClassMusic = 14,
    kClassButton = 15,
    kClassEdit = 16,
    kClassComboBox = 17,
    kClassSelector = 18,
    kClassListBox = 19,
    kClassRadioButton = 20,
    kClassCheckBox = 21,
    kClassQTime = 22,
    kClassCDAudio = 23,
    kClassIni = 24,
    kClassNyx = 25,
    kClassNyxPlayer = 26,
    kClassNyxChannel = 27,
    kClassNyxUser = 28,
    kClassNyxServer = 29,
    kClassNyxConnection = 30,
    kClassNyxSession = 31,
    kClassNyxSocket = 32,
    kClassScrollBar = 33,
    kClassMessageBox = 34,
    kClassMenu = 35,
    kClassTimer = 36,
    kClassGameInput = 37,
    kClassSystem = 38,
    kClassSharedLibrary = 39,
    kClassBinary = 40,
    kClassRegistry = 41,
    kClassProgressBar = 42,
    kClassSlider = 43,
    kClassSpin = 44,
    kClassGroupBox = 45,
    kClassRichEdit = 46,
    kClassStaticText = 47,
    kClassFFDevice = 48,
    kClassClipboard = 49,
    kClassMODPlayer = 50,
    kClassProcess = 51,
    kClassVoice = 52,
    kClassSerial = 53,
    kClassTrayIcon = 54,
    kClassProgram = 55,
    kClassDisplay = 56,
    kClassWindow = 57,
    kClassEditor = 58,
    kClassCamera = 59,
    kClassObject = 60,
    kClassLight = 61,
    kClassPosition = 62,
    kClassTexture = 63,
    kClassZone = 64,
    kClassSpeaker = 65,
    kClassBlob = 66,
    kClassWorld = 67,
    kClassMaterial = 68,
    kClassVector = 69,
    kClassMatrix = 70,
    kClassQuaternion = 71,
    kClassPolygon = 72,
    kClassPoint3D = 73,
};

constexpr int kFirstClassId = 1;
constexpr int kLastClassId = 73;
constexpr int kRegistryEntryCount = 74;  // entry 0 and the 73 classes

// Adds a class's tables to the registry (its id names the entry). Each module
// registers its classes at start (generated from its *.members files).
void RegisterScriptClassInfo(const CClassInfo& info);

// The registry: kRegistryEntryCount table pointers followed by a null pointer.
// Every class must be registered by then.
const CMemberRecord* const* GetClassRegistry();

// Entry 0: keywords, constants TRUE/FALSE/ON/OFF, punctuation and operators,
// each record's member id being its token id. It has no head record.
const CMemberRecord* GetKeywordTable();

// The class of an id from 1 to 73; null for any other id. (The names avoid
// those that the Windows headers turn into macros.)
const CClassInfo* GetScriptClassInfo(int classId);

// Class name of an id (the name of its head record); null for an unknown id.
const char* GetScriptClassName(int classId);

// 1 for the classes with one global object (Math, Disk, Keyboard, System,
// Program, Display, Editor).
bool IsGlobalClass(int classId);

// The value of constant memberId of a class; null when the class has no such
// constant.
const CConstantValue* FindClassConstant(int classId, uint32_t memberId);
