#pragma once
// "Play" of everything that plays animation frames (sprites, the animation
// control): the arguments loop count, frame limit and option. Only integer
// arguments count; an omitted one keeps the stored value (the option: the
// stored play flags). The frame limit is clamped to the last frame when frames are
// known. An option whose top half is not 0xABCD raises runtime error 14.
#include <cstdint>

class CInterpretor;

constexpr uint32_t kPlayOptionTag = 0xABCD0000u;

// Updates loopCount and frameLimit from the arguments; answers the play flags
// (the option's low half, else storedFlags).
uint32_t ReadPlayArguments(CInterpretor* interpretor, int32_t frameCount, int32_t* loopCount, int32_t* frameLimit,
                           uint32_t storedFlags);
