#pragma once
// LKeySet: an object's keyframe tracks. Stand-in: six empty tracks with no
// keys; issue 12 completes the key set (keys, interpolation, the "OKEY"
// chunk).
#include <cstdint>

class LKeySet {
public:
    enum : int32_t { kTrackCount = 6 };
    int32_t GetKeyCount(int32_t track) const { return track >= 0 && track < kTrackCount ? m_keys[track] : 0; }

private:
    int32_t m_keys[kTrackCount] = {0, 0, 0, 0, 0, 0};
};
