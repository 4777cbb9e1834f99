// Member tables of the 3D scene classes.
// Records are kept in member-id order; each class's constants follow its
// methods and events after one free id (the constant base).
#include "runtime/class_tables.h"

namespace {

constexpr int32_t Word(uint32_t v) {
    return static_cast<int32_t>(v);
}

const CConstantValue kNoConstants[] = {{0, 0, nullptr}};

// PointArray (class 10)
const CMemberRecord kPointArrayMembers[] = {
    {kClassPointArray, 0, "PointArray", 0, 0},
    {1, 0, "AddPoint", 0, 0},
    {2, 0, "InsertPoint", 0, 0},
    {3, 0, "DeletePoint", 0, 0},
    {4, 0, "GetNPoints", 0, 0},
    {5, 0, "GetCoord", 0, 0},
    {6, 0, "SetPoint", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kPointArrayDependents[] = {0};

// Camera (class 59)
// Its render targets, the sprites it mirrors, its world, its speakers and every
// 3D location that may move relative to it are told when it goes.
const CMemberRecord kCameraMembers[] = {
    {kClassCamera, 0, "Camera", 0, 0},
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
    {52, 0, "SetFocus", 0, 0},
    {53, 0, "GetFocus", 0, 0},
    {54, 0, "GetNPolygons", 0, 0},
    {55, 0, "SetBackgroundColor", 0, 0},
    {56, 0, "GetSpeed", 0, 0},
    {57, 0, "Render", 0, 0},
    {58, 0, "SetRender", 0, 0},
    {59, 0, "ActivateRender", 0, 0},
    {60, 0, "FindPolygonAt", 0, 0},
    {61, 0, "SetCollisionRadius", 0, 0},
    {62, 0, "GetCollisionRadius", 0, 0},
    {63, 0, "EnableFog", 0, 0},
    {64, 0, "IsFogEnabled", 0, 0},
    {65, 0, "GetFogColor", 0, 0},
    {66, 0, "SetFogColor", 0, 0},
    {67, 0, "SetFogMaxZPosition", 0, 0},
    {68, 0, "SetFogMinZPosition", 0, 0},
    {69, 0, "GetFogMaxZPosition", 0, 0},
    {70, 0, "GetFogMinZPosition", 0, 0},
    {71, 0, "GetMaxVisibleDistance", 0, 0},
    {72, 0, "SetMaxVisibleDistance", 0, 0},
    {73, 0, "FindObjectAt", 0, 0},
    {74, 0, "SetSpeakerRollOffFactor", 0, 0},
    {75, 0, "GetSpeakerRollOffFactor", 0, 0},
    {76, 0, "SetSpeakerDopplerFactor", 0, 0},
    {77, 0, "GetSpeakerDopplerFactor", 0, 0},
    {78, 0, "SetSpeakerDistanceFactor", 0, 0},
    {79, 0, "GetSpeakerDistanceFactor", 0, 0},
    {80, 0, "ShowGrid", 0, 0},
    {81, 0, "HideGrid", 0, 0},
    {83, 0, "COLLISION_TYPE_NONE", 0, kMemberConstant},
    {84, 0, "COLLISION_TYPE_STOP", 0, kMemberConstant},
    {85, 0, "COLLISION_TYPE_SLIDE", 0, kMemberConstant},
    {86, 0, "FIND_2D_TYPE_ALL", 0, kMemberConstant},
    {87, 0, "FIND_2D_TYPE_OBJECT", 0, kMemberConstant},
    {88, 0, "FIND_2D_TYPE_LIGHT", 0, kMemberConstant},
    {89, 0, "FIND_2D_TYPE_SPEAKER", 0, kMemberConstant},
    {90, 0, "FIND_2D_TYPE_ZONE", 0, kMemberConstant},
    {91, 0, "FIND_2D_TYPE_BLOB", 0, kMemberConstant},
    {92, 0, "X_AXIS", 0, kMemberConstant},
    {93, 0, "Y_AXIS", 0, kMemberConstant},
    {94, 0, "Z_AXIS", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kCameraConstants[] = {
    {83, 0, nullptr},  // COLLISION_TYPE_NONE
    {84, 1, nullptr},  // COLLISION_TYPE_STOP
    {85, 2, nullptr},  // COLLISION_TYPE_SLIDE
    {86, 126, nullptr},  // FIND_2D_TYPE_ALL
    {87, 2, nullptr},  // FIND_2D_TYPE_OBJECT
    {88, 64, nullptr},  // FIND_2D_TYPE_LIGHT
    {89, 32, nullptr},  // FIND_2D_TYPE_SPEAKER
    {90, 16, nullptr},  // FIND_2D_TYPE_ZONE
    {91, 8, nullptr},  // FIND_2D_TYPE_BLOB
    {92, 2, nullptr},  // X_AXIS
    {93, 4, nullptr},  // Y_AXIS
    {94, 8, nullptr},  // Z_AXIS
    {0, 0, nullptr},
};

const uint16_t kCameraDependents[] = {
    kClassSurface, kClassSprite, kClassObject, kClassLight, kClassZone, kClassSpeaker, kClassWorld,
    kClassCamera, kClassBlob, kClassPosition, 0,
};

// Object (class 60)
// Every 3D location may have a movement that targets this one; polygons keep
// their owning object.
const CMemberRecord kObjectMembers[] = {
    {kClassObject, 0, "Object", 0, 0},
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
    {52, 0, "Scale", 0, 0},
    {53, 0, "GetNPolygons", 0, 0},
    {54, 0, "AddPolygon", 0, 0},
    {55, 0, "RemovePolygon", 0, 0},
    {56, 0, "SetPolygon", 0, 0},
    {57, 0, "SetGouraud", 0, 0},
    {58, 0, "IsGouraud", 0, 0},
    {59, 0, "SetLambert", 0, 0},
    {60, 0, "IsLambert", 0, 0},
    {61, 0, "GetWidth", 0, 0},
    {62, 0, "GetHeight", 0, 0},
    {63, 0, "GetDepth", 0, 0},
    {64, 0, "HideBox", 0, 0},
    {65, 0, "ShowBox", 0, 0},
    {66, 0, "IsBoxVisible", 0, 0},
    {67, 0, "ReplacePolygonMaterial", 0, 0},
    {68, 0, "ReplaceMaterial", 0, 0},
    {69, 0, "ApplyMaterial", 0, 0},
    {70, 0, "AddAnimDefinition", 0, 0},
    {71, 0, "SetAnimDefinition", 0, 0},
    {72, 0, "DelAnimDefinition", 0, 0},
    {73, 0, "SetAnim", 0, 0},
    {74, 0, "GetAnim", 0, 0},
    {75, 0, "GetNFrames", 0, 0},
    {76, 0, "SetFrame", 0, 0},
    {77, 0, "GetFrame", 0, 0},
    {78, 0, "NextFrame", 0, 0},
    {79, 0, "PreviousFrame", 0, 0},
    {80, 0, "PlayAnim", 0, 0},
    {81, 0, "StopAnim", 0, 0},
    {82, 0, "SetAnimSpeed", 0, 0},
    {83, 0, "SetStatic", 0, 0},
    {84, 0, "SetWireFrame", 0, 0},
    {85, 0, "SetFlat", 0, 0},
    {86, 0, "SetMapped", 0, 0},
    {87, 0, "IsWireFrame", 0, 0},
    {88, 0, "IsFlat", 0, 0},
    {89, 0, "IsMapped", 0, 0},
    {90, 0, "GetPolygon", 0, 0},
    {91, 0, "GetNPoints", 0, 0},
    {92, 0, "RemovePoint", 0, 0},
    {93, 0, "GetPoint", 0, 0},
    {94, 0, "AddPoint", 0, 0},
    {95, 0, "SetShadowMode", 0, 0},
    {96, 0, "GetShadowMode", 0, 0},
    {97, 0, "EnableShadow", 0, 0},
    {98, 0, "SetShadowTexture", 0, 0},
    {99, 0, "SetShadowTextureSize", 0, 0},
    {100, 0, "GetShadowTexture", 0, 0},
    {101, 0, "GetShadowTextureWidth", 0, 0},
    {102, 0, "GetShadowTextureHeight", 0, 0},
    {103, 0, "AppendObjectAsMeshFrame", 0, 0},
    {104, 0, "GetNMeshFrames", 0, 0},
    {105, 0, "RemoveMeshFrame", 0, 0},
    {106, 0, "Clone", 0, 0},
    {107, 0, "Duplicate", 0, 0},
    {108, 0, "SetAnimMode", 0, 0},
    {109, 0, "GetAnimMode", 0, 0},
    {110, 0, "Save", 0, 0},
    {112, 0, "COLLISION_TYPE_NONE", 0, kMemberConstant},
    {113, 0, "COLLISION_TYPE_STOP", 0, kMemberConstant},
    {114, 0, "COLLISION_TYPE_SLIDE", 0, kMemberConstant},
    {115, 0, "RESTART", 0, kMemberConstant},
    {116, 0, "REVERSE", 0, kMemberConstant},
    {117, 0, "LOOPINFINITE", 0, kMemberConstant},
    {118, 0, "SHADOW_MODE_TRUE", 0, kMemberConstant},
    {119, 0, "SHADOW_MODE_TEXTURE", 0, kMemberConstant},
    {120, 0, "LOOPREVERSE", 0, kMemberConstant},
    {121, 0, "ANIM_MODE_KINEMATIC", 0, kMemberConstant},
    {122, 0, "ANIM_MODE_MESH", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kObjectConstants[] = {
    {112, 0, nullptr},  // COLLISION_TYPE_NONE
    {113, 1, nullptr},  // COLLISION_TYPE_STOP
    {114, 2, nullptr},  // COLLISION_TYPE_SLIDE
    {115, Word(0xABCD0002), nullptr},  // RESTART
    {116, Word(0xABCD0001), nullptr},  // REVERSE
    {117, -1, nullptr},  // LOOPINFINITE
    {118, 0, nullptr},  // SHADOW_MODE_TRUE
    {119, 1, nullptr},  // SHADOW_MODE_TEXTURE
    {120, Word(0xABCD0004), nullptr},  // LOOPREVERSE
    {121, 1, nullptr},  // ANIM_MODE_KINEMATIC
    {122, 2, nullptr},  // ANIM_MODE_MESH
    {0, 0, nullptr},
};

const uint16_t kObjectDependents[] = {
    kClassCamera, kClassObject, kClassLight, kClassPosition, kClassZone, kClassSpeaker, kClassBlob,
    kClassPolygon, 0,
};

// Light (class 61)
// Every 3D location may have a movement that targets this one.
const CMemberRecord kLightMembers[] = {
    {kClassLight, 0, "Light", 0, 0},
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
    {52, 0, "SetIntensity", 0, 0},
    {53, 0, "SetRadius", 0, 0},
    {54, 0, "GetColor", 0, 0},
    {55, 0, "GetIntensity", 0, 0},
    {56, 0, "GetRadius", 0, 0},
    {57, 0, "SetColor", 0, 0},
    {58, 0, "HideBox", 0, 0},
    {59, 0, "ShowBox", 0, 0},
    {60, 0, "IsBoxVisible", 0, 0},
    {62, 0, "COLLISION_TYPE_NONE", 0, kMemberConstant},
    {63, 0, "COLLISION_TYPE_STOP", 0, kMemberConstant},
    {64, 0, "COLLISION_TYPE_SLIDE", 0, kMemberConstant},
    {65, 0, "STATIC", 0, kMemberConstant},
    {66, 0, "DYNAMIC", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kLightConstants[] = {
    {62, 0, nullptr},  // COLLISION_TYPE_NONE
    {63, 1, nullptr},  // COLLISION_TYPE_STOP
    {64, 2, nullptr},  // COLLISION_TYPE_SLIDE
    {65, Word(0x89AF0001), nullptr},  // STATIC
    {66, Word(0x89AF0002), nullptr},  // DYNAMIC
    {0, 0, nullptr},
};

const uint16_t kLightDependents[] = {
    kClassCamera, kClassObject, kClassLight, kClassPosition, kClassZone, kClassSpeaker, kClassBlob,
    0,
};

// Position (class 62)
// Every 3D location may have a movement that targets this one.
const CMemberRecord kPositionMembers[] = {
    {kClassPosition, 0, "Position", 0, 0},
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
    {53, 0, "COLLISION_TYPE_NONE", 0, kMemberConstant},
    {54, 0, "COLLISION_TYPE_STOP", 0, kMemberConstant},
    {55, 0, "COLLISION_TYPE_SLIDE", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kPositionConstants[] = {
    {53, 0, nullptr},  // COLLISION_TYPE_NONE
    {54, 1, nullptr},  // COLLISION_TYPE_STOP
    {55, 2, nullptr},  // COLLISION_TYPE_SLIDE
    {0, 0, nullptr},
};

const uint16_t kPositionDependents[] = {
    kClassCamera, kClassObject, kClassLight, kClassPosition, kClassZone, kClassSpeaker, kClassBlob,
    0,
};

// Zone (class 64)
const CMemberRecord kZoneMembers[] = {
    {kClassZone, 0, "Zone", 0, 0},
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
    {52, 0, "IsIn", 0, 0},
    {53, 0, "SetSize", 0, 0},
    {54, 0, "GetWidth", 0, 0},
    {55, 0, "GetHeight", 0, 0},
    {56, 0, "GetDepth", 0, 0},
    {58, 0, "COLLISION_TYPE_NONE", 0, kMemberConstant},
    {59, 0, "COLLISION_TYPE_STOP", 0, kMemberConstant},
    {60, 0, "COLLISION_TYPE_SLIDE", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kZoneConstants[] = {
    {58, 0, nullptr},  // COLLISION_TYPE_NONE
    {59, 1, nullptr},  // COLLISION_TYPE_STOP
    {60, 2, nullptr},  // COLLISION_TYPE_SLIDE
    {0, 0, nullptr},
};

const uint16_t kZoneDependents[] = {0};

// Blob (class 66)
// Every 3D location may have a movement that targets this one.
const CMemberRecord kBlobMembers[] = {
    {kClassBlob, 0, "Blob", 0, 0},
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
    {52, 0, "SetWidth", 0, 0},
    {53, 0, "SetHeight", 0, 0},
    {54, 0, "SetImage", 0, 0},
    {55, 0, "GetMaterial", 0, 0},
    {56, 0, "GetTexture", 0, 0},
    {57, 0, "IsAxisMovingX", 0, 0},
    {58, 0, "IsAxisMovingY", 0, 0},
    {59, 0, "IsAxisMovingZ", 0, 0},
    {60, 0, "SetAxisMovingX", 0, 0},
    {61, 0, "SetAxisMovingY", 0, 0},
    {62, 0, "SetAxisMovingZ", 0, 0},
    {64, 0, "COLLISION_TYPE_NONE", 0, kMemberConstant},
    {65, 0, "COLLISION_TYPE_STOP", 0, kMemberConstant},
    {66, 0, "COLLISION_TYPE_SLIDE", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kBlobConstants[] = {
    {64, 0, nullptr},  // COLLISION_TYPE_NONE
    {65, 1, nullptr},  // COLLISION_TYPE_STOP
    {66, 2, nullptr},  // COLLISION_TYPE_SLIDE
    {0, 0, nullptr},
};

const uint16_t kBlobDependents[] = {
    kClassCamera, kClassObject, kClassLight, kClassPosition, kClassZone, kClassSpeaker, kClassBlob,
    0,
};

// World (class 67)
// Objects, lights, blobs, cameras, speakers, textures and materials keep a
// link to their world and are told when it goes.
const CMemberRecord kWorldMembers[] = {
    {kClassWorld, 0, "World", 0, 0},
    {1, 0, "GetObject", 0, 0},
    {2, 0, "GetNObjects", 0, 0},
    {3, 0, "ShowObjects", 0, 0},
    {4, 0, "HideObjects", 0, 0},
    {5, 0, "GetLight", 0, 0},
    {6, 0, "GetNLights", 0, 0},
    {7, 0, "ShowLights", 0, 0},
    {8, 0, "HideLights", 0, 0},
    {9, 0, "GetCamera", 0, 0},
    {10, 0, "GetNCameras", 0, 0},
    {11, 0, "ShowCameras", 0, 0},
    {12, 0, "HideCameras", 0, 0},
    {13, 0, "GetSpeaker", 0, 0},
    {14, 0, "GetNSpeakers", 0, 0},
    {15, 0, "HideSpeakers", 0, 0},
    {16, 0, "ShowSpeakers", 0, 0},
    {17, 0, "GetBlob", 0, 0},
    {18, 0, "GetNBlobs", 0, 0},
    {19, 0, "HideBlobs", 0, 0},
    {20, 0, "ShowBlobs", 0, 0},
    {21, 0, "GetZone", 0, 0},
    {22, 0, "GetNZones", 0, 0},
    {23, 0, "HideZones", 0, 0},
    {24, 0, "ShowZones", 0, 0},
    {25, 0, "GetTexture", 0, 0},
    {26, 0, "GetNTextures", 0, 0},
    {27, 0, "GetMaterial", 0, 0},
    {28, 0, "GetNMaterials", 0, 0},
    {29, 0, "Load", 0, 0},
    {30, 0, "Save", 0, 0},
    {31, 0, "Scale", 0, 0},
    {32, 0, "SetWireframe", 0, 0},
    {33, 0, "SetGouraud", 0, 0},
    {34, 0, "SetFlat", 0, 0},
    {35, 0, "SetMapped", 0, 0},
    {36, 0, "SetLightColor", 0, 0},
    {37, 0, "GetLightColor", 0, 0},
    {38, 0, "SetNight", 0, 0},
    {39, 0, "GetNight", 0, 0},
    {40, 0, "SetLightVector", 0, 0},
    {41, 0, "GetLightVector", 0, 0},
    {42, 0, "SetLambert", 0, 0},
    {43, 0, "IsBackFacesCulling", 0, 0},
    {44, 0, "SetBackFacesCulling", 0, 0},
    {45, 0, "SetBackground", 0, 0},
    {46, 0, "ShowObjectBox", 0, 0},
    {47, 0, "HideObjectBox", 0, 0},
    {48, 0, "SetLightIntensity", 0, 0},
    {49, 0, "GetLightIntensity", 0, 0},
    {50, 0, "ShowAxis", 0, 0},
    {51, 0, "HideAxis", 0, 0},
    {52, 0, "ShowObjectAxis", 0, 0},
    {53, 0, "HideObjectAxis", 0, 0},
    {54, 0, "SetCollision", 0, 0},
    {55, 0, "SetStatic", 0, 0},
    {56, 0, "Optimize", 0, 0},
    {57, 0, "CreateSphere", 0, 0},
    {58, 0, "CreateBrick", 0, 0},
    {59, 0, "CreatePyramid", 0, 0},
    {60, 0, "LoadObject", 0, 0},
    {61, 0, "OnCollide", 0, 0},
    {62, 0, "CreatePlane", 0, 0},
    {64, 0, "ONLYWORLD", 0, kMemberConstant},
    {65, 0, "ONLYCAMERA", 0, kMemberConstant},
    {66, 0, "ONLYSTATIC", 0, kMemberConstant},
    {67, 0, "ONLYDYNAMIC", 0, kMemberConstant},
    {68, 0, "ONLYSPEAKER", 0, kMemberConstant},
    {69, 0, "ONLYLIGHT", 0, kMemberConstant},
    {70, 0, "ONLYMATERIAL", 0, kMemberConstant},
    {71, 0, "COLLISION_FLAG_BOTTOM", 0, kMemberConstant},
    {72, 0, "COLLISION_FLAG_TOP", 0, kMemberConstant},
    {73, 0, "COLLISION_FLAG_RIGHT", 0, kMemberConstant},
    {74, 0, "COLLISION_FLAG_LEFT", 0, kMemberConstant},
    {75, 0, "COLLISION_FLAG_FORWARD", 0, kMemberConstant},
    {76, 0, "COLLISION_FLAG_BACKWARD", 0, kMemberConstant},
    {77, 0, "ONLYSINGLETEXTURE", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kWorldConstants[] = {
    {64, Word(0x89AF0004), nullptr},  // ONLYWORLD
    {65, Word(0x89AF0008), nullptr},  // ONLYCAMERA
    {66, Word(0x89AF0010), nullptr},  // ONLYSTATIC
    {67, Word(0x89AF0020), nullptr},  // ONLYDYNAMIC
    {68, Word(0x89AF0040), nullptr},  // ONLYSPEAKER
    {69, Word(0x89AF0080), nullptr},  // ONLYLIGHT
    {70, Word(0x89AF0100), nullptr},  // ONLYMATERIAL
    {71, 2, nullptr},  // COLLISION_FLAG_BOTTOM
    {72, 4, nullptr},  // COLLISION_FLAG_TOP
    {73, 8, nullptr},  // COLLISION_FLAG_RIGHT
    {74, 16, nullptr},  // COLLISION_FLAG_LEFT
    {75, 32, nullptr},  // COLLISION_FLAG_FORWARD
    {76, 64, nullptr},  // COLLISION_FLAG_BACKWARD
    {77, Word(0x89AF0200), nullptr},  // ONLYSINGLETEXTURE
    {0, 0, nullptr},
};

const uint16_t kWorldDependents[] = {
    kClassSurface, kClassPoint3D, kClassObject, kClassLight, kClassBlob, kClassCamera,
    kClassSpeaker, kClassTexture, kClassMaterial, 0,
};

// Material (class 68)
// Blobs that show the material are told when it goes.
const CMemberRecord kMaterialMembers[] = {
    {kClassMaterial, 0, "Material", 0, 0},
    {1, 0, "SetColor", 0, 0},
    {2, 0, "GetColor", 0, 0},
    {3, 0, "SetTexture", 0, 0},
    {4, 0, "GetTexture", 0, 0},
    {5, 0, "SetNormal", 0, 0},
    {6, 0, "SetMat", 0, 0},
    {7, 0, "SetMetal", 0, 0},
    {8, 0, "SetPlastic", 0, 0},
    {9, 0, "SetTransparentColor", 0, 0},
    {10, 0, "GetTransparentColor", 0, 0},
    {11, 0, "SetSemiTransparency", 0, 0},
    {12, 0, "GetSemiTransparency", 0, 0},
    {13, 0, "Hide", 0, 0},
    {14, 0, "Show", 0, 0},
    {15, 0, "IsVisible", 0, 0},
    {16, 0, "SetWireFrame", 0, 0},
    {17, 0, "IsWireFrame", 0, 0},
    {18, 0, "SetFlat", 0, 0},
    {19, 0, "IsFlat", 0, 0},
    {20, 0, "SetMapped", 0, 0},
    {21, 0, "IsMapped", 0, 0},
    {22, 0, "ShiftUV", 0, 0},
    {23, 0, "AnimUV", 0, 0},
    {24, 0, "SetEnvironmentMapping", 0, 0},
    {25, 0, "IsEnvironmentMapping", 0, 0},
    {26, 0, "IsCollisionEnabled", 0, 0},
    {27, 0, "EnableCollision", 0, 0},
    {28, 0, "IsNormal", 0, 0},
    {29, 0, "IsMat", 0, 0},
    {30, 0, "IsMetal", 0, 0},
    {31, 0, "IsPlastic", 0, 0},
    {32, 0, "IsTransparent", 0, 0},
    {33, 0, "SetAdditiveBlendingMode", 0, 0},
    {34, 0, "IsAdditiveBlendingMode", 0, 0},
    {35, 0, "GetName", 0, 0},
    {36, 0, "SetName", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kMaterialDependents[] = {kClassBlob, 0};

// Matrix (class 70)
const CMemberRecord kMatrixMembers[] = {
    {kClassMatrix, 0, "Matrix", 0, 0},
    {1, 0, "Reset", 0, 0},
    {2, 0, "SetIdentity", 0, 0},
    {3, 0, "Set", 0, 0},
    {4, 0, "AddMatrix", 0, 0},
    {5, 0, "SubMatrix", 0, 0},
    {6, 0, "MulMatrix", 0, 0},
    {7, 0, "Transpose", 0, 0},
    {8, 0, "Invert", 0, 0},
    {9, 0, "Normalize", 0, 0},
    {10, 0, "MakeTranslationMatrix", 0, 0},
    {11, 0, "MakeScaleMatrix", 0, 0},
    {12, 0, "MakeRotationMatrix", 0, 0},
    {13, 0, "SetValue", 0, 0},
    {14, 0, "GetValue", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kMatrixDependents[] = {0};

// Quaternion (class 71)
const CMemberRecord kQuaternionMembers[] = {
    {kClassQuaternion, 0, "Quaternion", 0, 0},
    {1, 0, "SetW", 0, 0},
    {2, 0, "SetX", 0, 0},
    {3, 0, "SetY", 0, 0},
    {4, 0, "SetZ", 0, 0},
    {5, 0, "GetW", 0, 0},
    {6, 0, "GetX", 0, 0},
    {7, 0, "GetY", 0, 0},
    {8, 0, "GetZ", 0, 0},
    {9, 0, "SetFromAngle", 0, 0},
    {10, 0, "GetAngleAngle", 0, 0},
    {11, 0, "GetAngleX", 0, 0},
    {12, 0, "GetAngleY", 0, 0},
    {13, 0, "GetAngleZ", 0, 0},
    {14, 0, "SetValue", 0, 0},
    {15, 0, "SetIdentity", 0, 0},
    {16, 0, "Reset", 0, 0},
    {17, 0, "Add", 0, 0},
    {18, 0, "Subtract", 0, 0},
    {19, 0, "Multiply", 0, 0},
    {20, 0, "Divide", 0, 0},
    {21, 0, "Square", 0, 0},
    {22, 0, "Sqrt", 0, 0},
    {23, 0, "GetLength", 0, 0},
    {24, 0, "DotProductUniformized", 0, 0},
    {25, 0, "DotProduct", 0, 0},
    {26, 0, "Scale", 0, 0},
    {27, 0, "Rescale", 0, 0},
    {28, 0, "IsEqual", 0, 0},
    {29, 0, "Normalize", 0, 0},
    {30, 0, "Inverse", 0, 0},
    {31, 0, "Negate", 0, 0},
    {32, 0, "Exp", 0, 0},
    {33, 0, "Log", 0, 0},
    {34, 0, "LnDif", 0, 0},
    {35, 0, "Slerp", 0, 0},
    {36, 0, "MakeMatrix", 0, 0},
    {37, 0, "MakeInvertedMatrix", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kQuaternionDependents[] = {0};

// Polygon (class 72)
const CMemberRecord kPolygonMembers[] = {
    {kClassPolygon, 0, "Polygon", 0, 0},
    {1, 0, "GetNPoints", 0, 0},
    {2, 0, "GetPoint", 0, 0},
    {3, 0, "Invert", 0, 0},
    {4, 0, "Rotate", 0, 0},
    {5, 0, "RemovePoint", 0, 0},
    {6, 0, "AddPoints", 0, 0},
    {7, 0, "InsertPoints", 0, 0},
    {8, 0, "GetIndexInObject", 0, 0},
    {9, 0, "SetMaterial", 0, 0},
    {10, 0, "GetMaterial", 0, 0},
    {11, 0, "GetParent", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kPolygonDependents[] = {0};

// Point3D (class 73)
const CMemberRecord kPoint3DMembers[] = {
    {kClassPoint3D, 0, "Point3D", 0, 0},
    {1, 0, "GetX", 0, 0},
    {2, 0, "GetY", 0, 0},
    {3, 0, "GetZ", 0, 0},
    {4, 0, "SetX", 0, 0},
    {5, 0, "SetY", 0, 0},
    {6, 0, "SetZ", 0, 0},
    {7, 0, "GetXNormal", 0, 0},
    {8, 0, "GetYNormal", 0, 0},
    {9, 0, "GetZNormal", 0, 0},
    {10, 0, "SetXNormal", 0, 0},
    {11, 0, "SetYNormal", 0, 0},
    {12, 0, "SetZNormal", 0, 0},
    {13, 0, "GetMaterial", 0, 0},
    {14, 0, "SetU", 0, 0},
    {15, 0, "SetV", 0, 0},
    {16, 0, "GetU", 0, 0},
    {17, 0, "GetV", 0, 0},
    {18, 0, "GetIndex", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kPoint3DDependents[] = {0};

}  // namespace

const CClassInfo kPointArrayClassInfo = {kClassPointArray, kPointArrayMembers, kNoConstants,
                                         kPointArrayDependents, 7, false};
const CClassInfo kCameraClassInfo = {kClassCamera, kCameraMembers, kCameraConstants,
                                     kCameraDependents, 82, false};
const CClassInfo kObjectClassInfo = {kClassObject, kObjectMembers, kObjectConstants,
                                     kObjectDependents, 111, false};
const CClassInfo kLightClassInfo = {kClassLight, kLightMembers, kLightConstants,
                                    kLightDependents, 61, false};
const CClassInfo kPositionClassInfo = {kClassPosition, kPositionMembers, kPositionConstants,
                                       kPositionDependents, 52, false};
const CClassInfo kZoneClassInfo = {kClassZone, kZoneMembers, kZoneConstants,
                                   kZoneDependents, 57, false};
const CClassInfo kBlobClassInfo = {kClassBlob, kBlobMembers, kBlobConstants,
                                   kBlobDependents, 63, false};
const CClassInfo kWorldClassInfo = {kClassWorld, kWorldMembers, kWorldConstants,
                                    kWorldDependents, 63, false};
const CClassInfo kMaterialClassInfo = {kClassMaterial, kMaterialMembers, kNoConstants,
                                       kMaterialDependents, 37, false};
const CClassInfo kMatrixClassInfo = {kClassMatrix, kMatrixMembers, kNoConstants,
                                     kMatrixDependents, 15, false};
const CClassInfo kQuaternionClassInfo = {kClassQuaternion, kQuaternionMembers, kNoConstants,
                                         kQuaternionDependents, 38, false};
const CClassInfo kPolygonClassInfo = {kClassPolygon, kPolygonMembers, kNoConstants,
                                      kPolygonDependents, 12, false};
const CClassInfo kPoint3DClassInfo = {kClassPoint3D, kPoint3DMembers, kNoConstants,
                                      kPoint3DDependents, 19, false};
