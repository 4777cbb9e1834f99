// Member tables of the 2D surface, sprite and texture classes.
// Records are kept in member-id order; each class's constants follow its
// methods and events after one free id (the constant base).
#include "runtime/class_tables.h"

namespace {

constexpr int32_t Word(uint32_t v) {
    return static_cast<int32_t>(v);
}

const CConstantValue kNoConstants[] = {{0, 0, nullptr}};

// Sprite (class 1)
const CMemberRecord kSpriteMembers[] = {
    {kClassSprite, 0, "Sprite", 0, 0},
    {1, 0, "Set", 0, 0},
    {2, 0, "GetX", 0, 0},
    {3, 0, "GetY", 0, 0},
    {4, 0, "GetLeft", 0, 0},
    {5, 0, "GetTop", 0, 0},
    {6, 0, "GetRight", 0, 0},
    {7, 0, "GetBottom", 0, 0},
    {8, 0, "SetCollision", 0, 0},
    {9, 0, "SetDrawEffect", 0, 0},
    {10, 0, "Show", 0, 0},
    {11, 0, "Hide", 0, 0},
    {12, 0, "IsPointIn", 0, 0},
    {13, 0, "IsColliding", 0, 0},
    {14, 0, "GetFirstCollidingSprite", 0, 0},
    {15, 0, "GetNextCollidingSprite", 0, 0},
    {16, 0, "SetTransparent", 0, 0},
    {17, 0, "SetAntiAliasing", 0, 0},
    {18, 0, "SetLayer", 0, 0},
    {19, 0, "GetLayer", 0, 0},
    {20, 0, "MoveToBack", 0, 0},
    {21, 0, "MoveToFront", 0, 0},
    {22, 0, "MoveBackward", 0, 0},
    {23, 0, "MoveForward", 0, 0},
    {24, 0, "MoveBefore", 0, 0},
    {25, 0, "MoveAfter", 0, 0},
    {26, 0, "IsIn", 0, 0},
    {27, 0, "IsOut", 0, 0},
    {28, 0, "IsLeaving", 0, 0},
    {29, 0, "IsEntering", 0, 0},
    {30, 0, "SetScale", 0, 0},
    {31, 0, "GetScaleX", 0, 0},
    {32, 0, "GetScaleY", 0, 0},
    {33, 0, "SetAngle", 0, 0},
    {34, 0, "GetAngle", 0, 0},
    {35, 0, "SetHotSpot", 0, 0},
    {36, 0, "GetHotSpotX", 0, 0},
    {37, 0, "GetHotSpotY", 0, 0},
    {38, 0, "GetWidth", 0, 0},
    {39, 0, "GetHeight", 0, 0},
    {40, 0, "SetClipRect", 0, 0},
    {41, 0, "IsVisible", 0, 0},
    {42, 0, "Play", 0, 0},
    {43, 0, "Stop", 0, 0},
    {44, 0, "Pause", 0, 0},
    {45, 0, "SetFrame", 0, 0},
    {46, 0, "GetFrame", 0, 0},
    {47, 0, "Resume", 0, 0},
    {48, 0, "IsPlaying", 0, 0},
    {49, 0, "IsPaused", 0, 0},
    {50, 0, "GetNFrames", 0, 0},
    {51, 0, "NextFrame", 0, 0},
    {52, 0, "PrevFrame", 0, 0},
    {53, 0, "SetSpeedFactor", 0, 0},
    {54, 0, "GetSpeedFactor", 0, 0},
    {56, 0, "CMNONE", 0, kMemberConstant},
    {57, 0, "CMBOX", 0, kMemberConstant},
    {58, 0, "CMFINE", 0, kMemberConstant},
    {59, 0, "DENONE", 0, kMemberConstant},
    {60, 0, "DESEMITRANSP", 0, kMemberConstant},
    {61, 0, "DEINVERTED", 0, kMemberConstant},
    {62, 0, "DEXOR", 0, kMemberConstant},
    {63, 0, "DEAND", 0, kMemberConstant},
    {64, 0, "DEOR", 0, kMemberConstant},
    {65, 0, "REVERSE", 0, kMemberConstant},
    {66, 0, "LOOP_INFINITE", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kSpriteConstants[] = {
    {56, 2, nullptr},  // CMNONE
    {57, 3, nullptr},  // CMBOX
    {58, 4, nullptr},  // CMFINE
    {59, 0, nullptr},  // DENONE
    {60, 1, nullptr},  // DESEMITRANSP
    {61, 2, nullptr},  // DEINVERTED
    {62, 3, nullptr},  // DEXOR
    {63, 4, nullptr},  // DEAND
    {64, 5, nullptr},  // DEOR
    {65, Word(0xABCD0001), nullptr},  // REVERSE
    {66, -1, nullptr},  // LOOP_INFINITE
    {0, 0, nullptr},
};

const uint16_t kSpriteDependents[] = {kClassSurface, 0};

// Surface (class 9)
// The six draw-mode constants are reachable without the class name.
const CMemberRecord kSurfaceMembers[] = {
    {kClassSurface, 0, "Surface", 0, 0},
    {1, 0, "Write", 0, 0},
    {2, 0, "WriteLn", 0, 0},
    {3, 0, "MoveTo", 0, 0},
    {4, 0, "Line", 0, 0},
    {5, 0, "LineTo", 0, 0},
    {6, 0, "Ellipse", 0, 0},
    {7, 0, "Rectangle", 0, 0},
    {8, 0, "DrawPolygon", 0, 0},
    {9, 0, "SetPenColor", 0, 0},
    {10, 0, "SetFillColor", 0, 0},
    {11, 0, "SetFillGradientColor", 0, 0},
    {12, 0, "SetFillGradientDir", 0, 0},
    {13, 0, "SetPenGradientColor", 0, 0},
    {14, 0, "SetPenGradientDir", 0, 0},
    {15, 0, "SetPenSize", 0, 0},
    {16, 0, "SetFont", 0, 0},
    {17, 0, "SetAntiAlias", 0, 0},
    {18, 0, "SetDrawMode", 0, 0},
    {19, 0, "SetTransparentMode", 0, 0},
    {20, 0, "Fill", 0, 0},
    {21, 0, "Rotate", 0, 0},
    {22, 0, "DrawText", 0, 0},
    {23, 0, "SetPixel", 0, 0},
    {24, 0, "GetDepth", 0, 0},
    {25, 0, "GetPixelWidth", 0, 0},
    {26, 0, "GetPixelHeight", 0, 0},
    {27, 0, "LoadImage", 0, 0},
    {28, 0, "SaveImage", 0, 0},
    {29, 0, "GetPixel", 0, 0},
    {30, 0, "GetPixelIndex", 0, 0},
    {31, 0, "Copy", 0, 0},
    {32, 0, "Stretch", 0, 0},
    {33, 0, "Scroll", 0, 0},
    {34, 0, "ReverseX", 0, 0},
    {35, 0, "ReverseY", 0, 0},
    {36, 0, "ReplaceColor", 0, 0},
    {37, 0, "Clear", 0, 0},
    {38, 0, "GetXPos", 0, 0},
    {39, 0, "GetYPos", 0, 0},
    {40, 0, "ClearSprites", 0, 0},
    {41, 0, "UpdateSprites", 0, 0},
    {42, 0, "DrawSprites", 0, 0},
    {43, 0, "ScrollSprites", 0, 0},
    {44, 0, "GetFirstSprite", 0, 0},
    {45, 0, "GetLastSprite", 0, 0},
    {46, 0, "GetNextSprite", 0, 0},
    {47, 0, "GetPrevSprite", 0, 0},
    {48, 0, "DeleteSprites", 0, 0},
    {49, 0, "SetAutoBack", 0, 0},
    {50, 0, "SetAutoRefresh", 0, 0},
    {51, 0, "Refresh", 0, 0},
    {52, 0, "CaptureScreen", 0, 0},
    {53, 0, "CaptureWindow", 0, 0},
    {54, 0, "SetBackgroundColor", 0, 0},
    {55, 0, "GetBackgroundColor", 0, 0},
    {56, 0, "IsAutoBack", 0, 0},
    {57, 0, "IsAutoRefresh", 0, 0},
    {58, 0, "EraseRect", 0, 0},
    {59, 0, "SetWrapping", 0, 0},
    {60, 0, "IsWrapping", 0, 0},
    {61, 0, "GetFont", 0, 0},
    {62, 0, "Lock", 0, 0},
    {63, 0, "Unlock", 0, 0},
    {65, 0, "COPYALL", kClassSurface, kMemberConstant},
    {66, 0, "BLENDING", kClassSurface, kMemberConstant},
    {67, 0, "INVERT", kClassSurface, kMemberConstant},
    {68, 0, "XOR", kClassSurface, kMemberConstant},
    {69, 0, "AND", kClassSurface, kMemberConstant},
    {70, 0, "OR", kClassSurface, kMemberConstant},
    {71, 0, "USEIMAGEPALETTE", 0, kMemberConstant},
    {72, 0, "USEIMAGEDEPTH", 0, kMemberConstant},
    {73, 0, "AUTOSIZE", 0, kMemberConstant},
    {74, 0, "BMP", 0, kMemberConstant},
    {75, 0, "JPEG", 0, kMemberConstant},
    {76, 0, "PNG", 0, kMemberConstant},
    {77, 0, "RED", 0, kMemberConstant},
    {78, 0, "GREEN", 0, kMemberConstant},
    {79, 0, "BLUE", 0, kMemberConstant},
    {80, 0, "WHITE", 0, kMemberConstant},
    {81, 0, "BLACK", 0, kMemberConstant},
    {82, 0, "LIGHTGRAY", 0, kMemberConstant},
    {83, 0, "DARKGRAY", 0, kMemberConstant},
    {0, 0, nullptr, 0, 0},
};

const CConstantValue kSurfaceConstants[] = {
    {65, 0, nullptr},  // COPYALL
    {66, 1, nullptr},  // BLENDING
    {67, 2, nullptr},  // INVERT
    {68, 3, nullptr},  // XOR
    {69, 4, nullptr},  // AND
    {70, 5, nullptr},  // OR
    {71, Word(0xABCD0020), nullptr},  // USEIMAGEPALETTE
    {72, Word(0xABCD0010), nullptr},  // USEIMAGEDEPTH
    {73, Word(0xABCD0040), nullptr},  // AUTOSIZE
    {74, 0x20504D42, nullptr},  // BMP
    {75, 0x4745504A, nullptr},  // JPEG
    {76, 0x20474E50, nullptr},  // PNG
    {77, 0xFF0000, nullptr},  // RED
    {78, 0xFF00, nullptr},  // GREEN
    {79, 255, nullptr},  // BLUE
    {80, 0xFFFFFF, nullptr},  // WHITE
    {81, 0, nullptr},  // BLACK
    {82, 0xC0C0C0, nullptr},  // LIGHTGRAY
    {83, 0x808080, nullptr},  // DARKGRAY
    {0, 0, nullptr},
};

const uint16_t kSurfaceDependents[] = {
    kClassSprite, kClassCamera, kClassTexture, kClassMaterial, kClassButton, kClassWindow,
    kClassVideo, kClassQTime, kClassAnimation, kClassTrayIcon, 0,
};

// Texture (class 63)
// Video, QuickTime and animation targets and the surface it mirrors are told
// when it goes.
const CMemberRecord kTextureMembers[] = {
    {kClassTexture, 0, "Texture", 0, 0},
    {1, 0, "Load", 0, 0},
    {2, 0, "SetTiling", 0, 0},
    {3, 0, "SetOffset", 0, 0},
    {4, 0, "GetTilingX", 0, 0},
    {5, 0, "GetTilingY", 0, 0},
    {6, 0, "GetOffsetX", 0, 0},
    {7, 0, "GetOffsetY", 0, 0},
    {8, 0, "GetName", 0, 0},
    {9, 0, "SetName", 0, 0},
    {10, 0, "GetFileName", 0, 0},
    {11, 0, "GetSurface", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kTextureDependents[] = {kClassVideo, kClassQTime, kClassAnimation, kClassSurface, 0};

}  // namespace

const CClassInfo kSpriteClassInfo = {kClassSprite, kSpriteMembers, kSpriteConstants,
                                     kSpriteDependents, 55, false};
const CClassInfo kSurfaceClassInfo = {kClassSurface, kSurfaceMembers, kSurfaceConstants,
                                      kSurfaceDependents, 64, false};
const CClassInfo kTextureClassInfo = {kClassTexture, kTextureMembers, kNoConstants,
                                      kTextureDependents, 12, false};
