#pragma once
// Sound objects: the engine side of positioned sound sources. An L3DSound
// (kind 516, "Sound_Object") carries the name of the sample it plays and,
// after each Update for a listener camera, the volume and stereo pan the
// sound layer applies; the engine plays nothing itself. The world's
// L3DSoundList holds them with the volume and pan ranges and draws each
// one's pyramid marker (in its box) while its show flag is 1.
//
// Update (camera): d = sound - camera position, dist = |d|;
//   volume = maximum for dist 0, else (max - min) * max(0, 1 - dist / fade)
//            + min;
//   x = d . row 0, z = d . row 2 of the camera's rotation; s, the screen x
//   (0 .. 2 * half view width), is the right end (x > 0) or the left end
//   for -1 < z < 1, else x * focal / z + half width, negated when z < 0,
//   clamped; pan = (right - left) * s / (2 * half width) + left. A camera
//   without a view width gives the pan midway.
//
// Saved form: chunk "BSOU": u16 savable sound objects, then per object the
// sample name (u16 length and bytes), u16 trunc(pan), u16 trunc(volume)
// (the low 16 bits), the object name and the location chunk.
#include "engine3d/data_link.h"
#include "engine3d/object.h"
#include "engine3d/retry_new.h"

#include <cstdint>

class L3DCamera;
class L3DSoundList;
class LChunkStream;

class L3DSound : public L3DObject, public LRetryNew {
public:
    enum : uint32_t { kKindSound = 516 };
    enum : int32_t { kSampleNameSize = 256 };
    static constexpr char kMarkerMaterial[] = "$Ruk3D Mat$ Sound Material";

    L3DSound(const char* sampleName, L3DWorld* world, LCLBKObject* callback);

    // The sample name, at most size - 1 characters; nothing for size <= 0.
    void GetSampleName(char* buffer, int32_t size) const;
    const char* GetSampleNameText() const { return m_sample; }
    void Update(L3DCamera* camera);
    void BuildMarker();
    float GetPan() const { return m_pan; }
    float GetVolume() const { return m_volume; }
    int32_t GetChanged() const { return m_changed; }
    void ClearChanged() { m_changed = 0; }
    L3DSoundList* GetOwnerList() const { return m_owner; }
    void SetOwnerList(L3DSoundList* list) { m_owner = list; }

    void ShowBox(int32_t on, int32_t recursive) override;
    void Show() override { ShowBox(1, 0); }
    void Hide(int32_t /*recursive*/) override { ShowBox(0, 0); }

private:
    float m_pan = 0.0f;
    float m_volume = 32768.0f;
    int32_t m_changed = 1;
    char m_sample[kSampleNameSize] = {};
    L3DSoundList* m_owner = nullptr;
};

class L3DSoundList {
public:
    enum : int32_t { kAbsent = 9 };

    L3DSoundList() = default;
    L3DSoundList(const L3DSoundList&) = delete;
    L3DSoundList& operator=(const L3DSoundList&) = delete;
    virtual ~L3DSoundList() { DeleteSoundAt(-1); }

    void SetWorld(L3DWorld* world) { m_world = world; }
    L3DWorld* GetWorld() const { return m_world; }
    // Null when the object cannot be allocated.
    L3DSound* CreateSound(const char* sampleName, LCLBKObject* callback);
    int32_t DeleteSound(L3DSound* sound);
    // -1 deletes every sound object.
    int32_t DeleteSoundAt(int32_t index);
    // By sample name (case-insensitive); null for a null name.
    L3DSound* FindByName(const char* name) const;
    // By object name, from `sound` itself onward.
    L3DSound* FindNextByName(L3DSound* sound, const char* name) const;
    L3DSound* GetAt(int32_t index);
    int32_t GetCount() const { return m_sounds.GetCount(); }
    LDataLink& GetSounds() { return m_sounds; }
    void UpdateAll(L3DCamera* camera);
    void PrepareSounds(L3DCamera* camera);
    void HitTestSounds(L3DCamera* camera, const float* point, const float* radius, L3DObject** out);
    int32_t Save(LChunkStream& out);

    int32_t GetShowFlag() const { return m_show; }
    void SetShowFlag(int32_t on) { m_show = on; }
    float fadeDistance = 5000.0f;
    float maximumVolume = 65536.0f;
    float minimumVolume = 0.0f;
    float panRight = 32768.0f;
    float panLeft = -32768.0f;

private:
    LDataLink m_sounds;
    int32_t m_show = 1;
    L3DWorld* m_world = nullptr;
};
