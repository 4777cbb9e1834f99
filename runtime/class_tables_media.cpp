// Member tables of the sound, music, video and speech classes.
// Records are kept in member-id order; each class's constants follow its
// methods and events after one free id (the constant base).
#include "runtime/class_tables.h"

namespace {

constexpr int32_t Word(uint32_t v) {
    return static_cast<int32_t>(v);
}

const CConstantValue kNoConstants[] = {{0, 0, nullptr}};

// Video (class 11)
const CMemberRecord kVideoMembers[] = {
    {kClassVideo, 0, "Video", 0, 0},
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
    {41, 0, "Reverse", 0, 0},
    {42, 0, "SetTime", 0, 0},
    {43, 0, "SetFrame", 0, 0},
    {44, 0, "Rewind", 0, 0},
    {45, 0, "SetZoom", 0, 0},
    {46, 0, "GetTime", 0, 0},
    {47, 0, "GetFrame", 0, 0},
    {48, 0, "Resume", 0, 0},
    {49, 0, "GetZoom", 0, 0},
    {50, 0, "IsPlaying", 0, 0},
    {51, 0, "IsPaused", 0, 0},
    {52, 0, "IsStopped", 0, 0},
    {53, 0, "GetNFrames", 0, 0},
    {54, 0, "GetDuration", 0, 0},
    {55, 0, "IsError", 0, 0},
    {57, 0, "NOBORDER", 0, kMemberConstant},
    {58, 0, "TABSTOP", 0, kMemberConstant},
    {59, 0, "STATICEDGE", 0, kMemberConstant},
    {60, 0, "VSCROLL", 0, kMemberConstant},
    {61, 0, "HSCROLL", 0, kMemberConstant},
    {62, 0, "HIDDEN", 0, kMemberConstant},
    {63, 0, "BORDER", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kVideoConstants[] = {
    {57, Word(0xDEB20000), nullptr},  // NOBORDER
    {58, Word(0xDEB00001), nullptr},  // TABSTOP
    {59, Word(0xDEB10002), nullptr},  // STATICEDGE
    {60, Word(0xDEB00003), nullptr},  // VSCROLL
    {61, Word(0xDEB00004), nullptr},  // HSCROLL
    {62, Word(0xDEB20005), nullptr},  // HIDDEN
    {63, Word(0xDEB00006), nullptr},  // BORDER
    {0, 0, nullptr},
};

const uint16_t kVideoDependents[] = {0};

// Sound (class 13)
const CMemberRecord kSoundMembers[] = {
    {kClassSound, 0, "Sound", 0, 0},
    {1, 0, "Play", 0, 0},
    {2, 0, "Stop", 0, 0},
    {3, 0, "Pause", 0, 0},
    {4, 0, "Resume", 0, 0},
    {5, 0, "GetVolume", 0, 0},
    {6, 0, "GetPan", 0, 0},
    {7, 0, "GetFrequency", 0, 0},
    {8, 0, "SetVolume", 0, 0},
    {9, 0, "SetPan", 0, 0},
    {10, 0, "SetFrequency", 0, 0},
    {11, 0, "SetLoop", 0, 0},
    {12, 0, "IsLooping", 0, 0},
    {13, 0, "IsPlaying", 0, 0},
    {14, 0, "IsPaused", 0, 0},
    {15, 0, "IsCompleted", 0, 0},
    {16, 0, "GetLoopCount", 0, 0},
    {17, 0, "StopAllSamples", 0, 0},
    {18, 0, "GetDuration", 0, 0},
    {19, 0, "SetPos", 0, 0},
    {20, 0, "GetPos", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kSoundDependents[] = {0};

// Music (class 14)
const CMemberRecord kMusicMembers[] = {
    {kClassMusic, 0, "Music", 0, 0},
    {1, 0, "Play", 0, 0},
    {2, 0, "Stop", 0, 0},
    {3, 0, "Pause", 0, 0},
    {4, 0, "Resume", 0, 0},
    {5, 0, "SetLoop", 0, 0},
    {6, 0, "IsPlaying", 0, 0},
    {7, 0, "IsPaused", 0, 0},
    {8, 0, "IsCompleted", 0, 0},
    {9, 0, "IsLooping", 0, 0},
    {10, 0, "GetLoopCount", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kMusicDependents[] = {0};

// QTime (class 22)
const CMemberRecord kQTimeMembers[] = {
    {kClassQTime, 0, "QTime", 0, 0},
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
    {41, 0, "Resume", 0, 0},
    {42, 0, "OpenFile", 0, 0},
    {43, 0, "Close", 0, 0},
    {44, 0, "GetTime", 0, 0},
    {45, 0, "ClearSelection", 0, 0},
    {46, 0, "SaveAsFile", 0, 0},
    {47, 0, "Undo", 0, 0},
    {48, 0, "Cut", 0, 0},
    {49, 0, "Copy", 0, 0},
    {50, 0, "Paste", 0, 0},
    {51, 0, "SelectAll", 0, 0},
    {52, 0, "PlayReverse", 0, 0},
    {53, 0, "GotoBegin", 0, 0},
    {54, 0, "GotoEnd", 0, 0},
    {55, 0, "GotoTime", 0, 0},
    {56, 0, "StepFrame", 0, 0},
    {57, 0, "SetLooping", 0, 0},
    {58, 0, "IsLooping", 0, 0},
    {59, 0, "SetVolume", 0, 0},
    {60, 0, "GetDuration", 0, 0},
    {61, 0, "ShowPlayBar", 0, 0},
    {62, 0, "HidePlayBar", 0, 0},
    {63, 0, "GetMovieNativeWidth", 0, 0},
    {64, 0, "GetMovieNativeHeight", 0, 0},
    {65, 0, "GetMoviesError", 0, 0},
    {66, 0, "GetVolume", 0, 0},
    {67, 0, "AttachMovieController", 0, 0},
    {68, 0, "IsControllerAttached", 0, 0},
    {69, 0, "DetachMovieController", 0, 0},
    {70, 0, "CreateEmptyMovie", 0, 0},
    {71, 0, "BeginVideoEdit", 0, 0},
    {72, 0, "EndVideoEdit", 0, 0},
    {73, 0, "AppendVideoFrame", 0, 0},
    {74, 0, "InsertMovieSegment", 0, 0},
    {75, 0, "DeleteMovieSegment", 0, 0},
    {76, 0, "GetFileNamePreview", 0, 0},
    {77, 0, "GotToVRNode", 0, 0},
    {78, 0, "GetCurrentVRNode", 0, 0},
    {79, 0, "VRPointToHotSpotID", 0, 0},
    {80, 0, "VREnableHotSpot", 0, 0},
    {81, 0, "VRGetVisibleHotSpots", 0, 0},
    {82, 0, "VRGetNVisibleHotSpots", 0, 0},
    {83, 0, "VRSetMouseOverTracking", 0, 0},
    {84, 0, "VRGetMouseOverTracking", 0, 0},
    {85, 0, "VRSetMouseDownTracking", 0, 0},
    {86, 0, "VRGetMouseDownTracking", 0, 0},
    {87, 0, "ChooseEffectDialog", 0, 0},
    {88, 0, "ImportMovie", 0, 0},
    {89, 0, "ExportMovieToDV", 0, 0},
    {90, 0, "HasSoundTrack", 0, 0},
    {91, 0, "HasVideoTrack", 0, 0},
    {92, 0, "VRDisableHotSpot", 0, 0},
    {93, 0, "VREnableAllHotSpot", 0, 0},
    {94, 0, "VRDisableAllHotSpot", 0, 0},
    {95, 0, "BlurEffect", 0, 0},
    {96, 0, "ColorStyleEffect", 0, 0},
    {97, 0, "ColorTintEffect", 0, 0},
    {98, 0, "EdgeDetectionEffect", 0, 0},
    {99, 0, "EmbossEffect", 0, 0},
    {100, 0, "FilmNoiseEffect", 0, 0},
    {101, 0, "RGBBalanceEffect", 0, 0},
    {102, 0, "RippleEffect", 0, 0},
    {103, 0, "SharpenEffect", 0, 0},
    {104, 0, "CloudEffect", 0, 0},
    {105, 0, "FireEffect", 0, 0},
    {106, 0, "EffectFromDialog", 0, 0},
    {107, 0, "SetPlaySelection", 0, 0},
    {108, 0, "GetPlaySelection", 0, 0},
    {109, 0, "SetSelection", 0, 0},
    {110, 0, "OnLeavingNode", 0, 0},
    {111, 0, "OnEnteringNode", 0, 0},
    {112, 0, "OnEnteringHotSpot", 0, 0},
    {113, 0, "OnMovingWithinHotSpot", 0, 0},
    {114, 0, "OnLeavingHotSpot", 0, 0},
    {115, 0, "IsVRMovie", 0, 0},
    {117, 0, "NOBORDER", 0, kMemberConstant},
    {118, 0, "TABSTOP", 0, kMemberConstant},
    {119, 0, "STATICEDGE", 0, kMemberConstant},
    {120, 0, "VSCROLL", 0, kMemberConstant},
    {121, 0, "HSCROLL", 0, kMemberConstant},
    {122, 0, "HIDDEN", 0, kMemberConstant},
    {123, 0, "BORDER", 0, kMemberConstant},
    {124, 0, "CODEC_LOWQUALITY", 0, kMemberConstant},
    {125, 0, "CODEC_NORMALQUALITY", 0, kMemberConstant},
    {126, 0, "CODEC_HIGHQUALITY", 0, kMemberConstant},
    {127, 0, "CODEC_CINEPAK", 0, kMemberConstant},
    {128, 0, "CODEC_GRAPHICS", 0, kMemberConstant},
    {129, 0, "CODEC_ANIMATION", 0, kMemberConstant},
    {130, 0, "CODEC_VIDEO", 0, kMemberConstant},
    {131, 0, "CODEC_COMPVIDEO", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kQTimeConstants[] = {
    {117, Word(0xDEB20000), nullptr},  // NOBORDER
    {118, Word(0xDEB00001), nullptr},  // TABSTOP
    {119, Word(0xDEB10002), nullptr},  // STATICEDGE
    {120, Word(0xDEB00003), nullptr},  // VSCROLL
    {121, Word(0xDEB00004), nullptr},  // HSCROLL
    {122, Word(0xDEB20005), nullptr},  // HIDDEN
    {123, Word(0xDEB00006), nullptr},  // BORDER
    {124, 256, nullptr},  // CODEC_LOWQUALITY
    {125, 512, nullptr},  // CODEC_NORMALQUALITY
    {126, 768, nullptr},  // CODEC_HIGHQUALITY
    {127, 0x63766964, nullptr},  // CODEC_CINEPAK
    {128, 0x736D6320, nullptr},  // CODEC_GRAPHICS
    {129, 0x726C6520, nullptr},  // CODEC_ANIMATION
    {130, 0x72707A61, nullptr},  // CODEC_VIDEO
    {131, 0x79757632, nullptr},  // CODEC_COMPVIDEO
    {0, 0, nullptr},
};

const uint16_t kQTimeDependents[] = {0};

// CDAudio (class 23)
const CMemberRecord kCDAudioMembers[] = {
    {kClassCDAudio, 0, "CDAudio", 0, 0},
    {1, 0, "GetNumberOfTracks", 0, 0},
    {2, 0, "GetTrackLength", 0, 0},
    {3, 0, "PlayTrack", 0, 0},
    {4, 0, "PlayTrackFromTime", 0, 0},
    {5, 0, "Pause", 0, 0},
    {6, 0, "Resume", 0, 0},
    {7, 0, "Stop", 0, 0},
    {8, 0, "PreviousTrack", 0, 0},
    {9, 0, "NextTrack", 0, 0},
    {10, 0, "OpenDoor", 0, 0},
    {11, 0, "CloseDoor", 0, 0},
    {12, 0, "GetCurrentTrack", 0, 0},
    {13, 0, "GetPositionInTrack", 0, 0},
    {14, 0, "GetCDPosition", 0, 0},
    {15, 0, "GetCDLength", 0, 0},
    {16, 0, "GetStatus", 0, 0},
    {17, 0, "IsAudioTrack", 0, 0},
    {18, 0, "IsDiscPresent", 0, 0},
    {19, 0, "GetLastErrorCode", 0, 0},
    {20, 0, "GetErrorString", 0, 0},
    {22, 0, "STATUS_NOT_READY", 0, kMemberConstant},
    {23, 0, "STATUS_PAUSED", 0, kMemberConstant},
    {24, 0, "STATUS_PLAYING", 0, kMemberConstant},
    {25, 0, "STATUS_STOPPED", 0, kMemberConstant},
    {26, 0, "STATUS_OPENED", 0, kMemberConstant},
    {27, 0, "STATUS_SEEKING", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kCDAudioConstants[] = {
    {22, 524, nullptr},  // STATUS_NOT_READY
    {23, 529, nullptr},  // STATUS_PAUSED
    {24, 526, nullptr},  // STATUS_PLAYING
    {25, 525, nullptr},  // STATUS_STOPPED
    {26, 530, nullptr},  // STATUS_OPENED
    {27, 528, nullptr},  // STATUS_SEEKING
    {0, 0, nullptr},
};

const uint16_t kCDAudioDependents[] = {0};

// MODPlayer (class 50)
const CMemberRecord kMODPlayerMembers[] = {
    {kClassMODPlayer, 0, "MODPlayer", 0, 0},
    {1, 0, "LoadModule", 0, 0},
    {2, 0, "Play", 0, 0},
    {3, 0, "Stop", 0, 0},
    {4, 0, "Pause", 0, 0},
    {5, 0, "Resume", 0, 0},
    {6, 0, "IsPlaying", 0, 0},
    {7, 0, "IsPaused", 0, 0},
    {8, 0, "GetMaxPosition", 0, 0},
    {9, 0, "GetPosition", 0, 0},
    {10, 0, "GetDuration", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kMODPlayerDependents[] = {0};

// Voice (class 52)
const CMemberRecord kVoiceMembers[] = {
    {kClassVoice, 0, "Voice", 0, 0},
    {1, 0, "Speak", 0, 0},
    {2, 0, "IsSpeaking", 0, 0},
    {3, 0, "OnStartSpeaking", 0, 0},
    {4, 0, "OnSpeakingDone", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kVoiceDependents[] = {0};

// Speaker (class 65)
// Every 3D location may have a movement that targets this one.
const CMemberRecord kSpeakerMembers[] = {
    {kClassSpeaker, 0, "Speaker", 0, 0},
    {1, 0, "SetPosition", 0, 0},
    {2, 0, "GetPosition", 0, 0},
    {3, 0, "SetAngle", 0, 0},
    {4, 0, "Set", 0, 0},
    {5, 0, "AddAngle", 0, 0},
    {6, 0, "Move", 0, 0},
    {7, 0, "GetX", 0, 0},
    {8, 0, "GetY", 0, 0},
    {9, 0, "GetZ", 0, 0},
    {10, 0, "GetXAngle", 0, 0},
    {11, 0, "GetYAngle", 0, 0},
    {12, 0, "GetZAngle", 0, 0},
    {13, 0, "TurnUp", 0, 0},
    {14, 0, "TurnDown", 0, 0},
    {15, 0, "TurnRight", 0, 0},
    {16, 0, "TurnLeft", 0, 0},
    {17, 0, "TurnBack", 0, 0},
    {18, 0, "MoveRight", 0, 0},
    {19, 0, "MoveLeft", 0, 0},
    {20, 0, "MoveUp", 0, 0},
    {21, 0, "MoveDown", 0, 0},
    {22, 0, "MoveBack", 0, 0},
    {23, 0, "Follow", 0, 0},
    {24, 0, "LookAt", 0, 0},
    {25, 0, "RollRight", 0, 0},
    {26, 0, "RollLeft", 0, 0},
    {27, 0, "Stop", 0, 0},
    {28, 0, "Pause", 0, 0},
    {29, 0, "Resume", 0, 0},
    {30, 0, "MoveAround", 0, 0},
    {31, 0, "TurnTo", 0, 0},
    {32, 0, "SubAngle", 0, 0},
    {33, 0, "AddPosition", 0, 0},
    {34, 0, "SubPosition", 0, 0},
    {35, 0, "Walk", 0, 0},
    {36, 0, "SetGravity", 0, 0},
    {37, 0, "SetCollision", 0, 0},
    {38, 0, "SetCollisionType", 0, 0},
    {39, 0, "FindChild", 0, 0},
    {40, 0, "SetParent", 0, 0},
    {41, 0, "GetParent", 0, 0},
    {42, 0, "GetChild", 0, 0},
    {43, 0, "Show", 0, 0},
    {44, 0, "Hide", 0, 0},
    {45, 0, "IsVisible", 0, 0},
    {46, 0, "GetNChildren", 0, 0},
    {47, 0, "GetName", 0, 0},
    {48, 0, "SetName", 0, 0},
    {49, 0, "Recalc", 0, 0},
    {50, 0, "OnStopMovement", 0, 0},
    {51, 0, "GetDistance", 0, 0},
    {52, 0, "SetDistanceMax", 0, 0},
    {53, 0, "GetDistanceMax", 0, 0},
    {54, 0, "PlaySound", 0, 0},
    {55, 0, "StopSound", 0, 0},
    {56, 0, "PauseSound", 0, 0},
    {57, 0, "ResumeSound", 0, 0},
    {58, 0, "GetVolume", 0, 0},
    {59, 0, "SetLoop", 0, 0},
    {60, 0, "IsSoundLooping", 0, 0},
    {61, 0, "IsSoundPlaying", 0, 0},
    {62, 0, "IsSoundPaused", 0, 0},
    {63, 0, "IsSoundCompleted", 0, 0},
    {64, 0, "GetLoopCount", 0, 0},
    {65, 0, "GetFrequency", 0, 0},
    {66, 0, "SetFrequency", 0, 0},
    {67, 0, "SetSpeakerConeAngle", 0, 0},
    {68, 0, "SetConeOutsideVolume", 0, 0},
    {69, 0, "GetDuration", 0, 0},
    {70, 0, "SetPos", 0, 0},
    {71, 0, "GetPos", 0, 0},
    {73, 0, "COLLISION_TYPE_NONE", 0, kMemberConstant},
    {74, 0, "COLLISION_TYPE_STOP", 0, kMemberConstant},
    {75, 0, "COLLISION_TYPE_SLIDE", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kSpeakerConstants[] = {
    {73, 0, nullptr},  // COLLISION_TYPE_NONE
    {74, 1, nullptr},  // COLLISION_TYPE_STOP
    {75, 2, nullptr},  // COLLISION_TYPE_SLIDE
    {0, 0, nullptr},
};

const uint16_t kSpeakerDependents[] = {
    kClassCamera, kClassObject, kClassLight, kClassPosition, kClassZone, kClassSpeaker, kClassBlob,
    0,
};

}  // namespace

const CClassInfo kVideoClassInfo = {kClassVideo, kVideoMembers, kVideoConstants,
                                    kVideoDependents, 56, false};
const CClassInfo kSoundClassInfo = {kClassSound, kSoundMembers, kNoConstants,
                                    kSoundDependents, 21, false};
const CClassInfo kMusicClassInfo = {kClassMusic, kMusicMembers, kNoConstants,
                                    kMusicDependents, 11, false};
const CClassInfo kQTimeClassInfo = {kClassQTime, kQTimeMembers, kQTimeConstants,
                                    kQTimeDependents, 116, false};
const CClassInfo kCDAudioClassInfo = {kClassCDAudio, kCDAudioMembers, kCDAudioConstants,
                                      kCDAudioDependents, 21, false};
const CClassInfo kMODPlayerClassInfo = {kClassMODPlayer, kMODPlayerMembers, kNoConstants,
                                        kMODPlayerDependents, 11, false};
const CClassInfo kVoiceClassInfo = {kClassVoice, kVoiceMembers, kNoConstants,
                                    kVoiceDependents, 5, false};
const CClassInfo kSpeakerClassInfo = {kClassSpeaker, kSpeakerMembers, kSpeakerConstants,
                                      kSpeakerDependents, 72, false};
