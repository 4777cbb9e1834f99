#pragma once
// Animated objects: an L3DObject whose children move by their key tracks
// (engine3d/key_tracks.h), played frame by frame from an animation table.
//
// LAnimationIK, the animation table: named tracks (frame ranges; "Main"
// always exists), the current track, the current frame and a flag word whose
// bit 0x2 makes frame changes wrap within the current track. Names compare
// case-insensitively over their first 15 characters. A track's values are an
// LTrackRecord (engine3d/mesh_bases.h) whose `mode` is the track's kind byte
// and whose pass[0], pass[1], pass[2] are its values 4, 5 and 6; they are
// stored, copied and saved unchanged.
//
// L3DObject_Animation (kind 1026) owns a table; selecting a track or setting
// a frame through it marks the object's angles changed, so the object and its
// children are recomputed. Its UpdateTransform places every child by its
// tracks at the current frame and makes the object's box the extent of its
// children's boxes. LAnimationCloneTable is the playback state of an
// animation clone: its own current track and frame over the track list of a
// source object's table, swapped into the source while the clone is prepared
// and drawn. LAnimationClone (kind 33802) is the clone object that plays it.
//
// Saved form, the "OANI" chunk: the table (WriteTable), then the object's
// own "OB3D" chunk nested in it.
#include "engine3d/mesh_bases.h"
#include "engine3d/object.h"
#include "engine3d/object_clone.h"

#include <cstdint>

class LChunkStream;

// A track's values in the argument order of the table's operations.
LTrackRecord MakeTrackValues(uint8_t kind, int32_t first, int32_t last, int32_t value4, int32_t start,
                             int32_t value5, int32_t value6);

class LAnimationIK {
public:
    enum : uint32_t { kLoop = 0x2 };
    static constexpr char kMainTrack[] = "Main";

    // Defines "Main" with all values 0, sets the loop bit and selects "Main".
    LAnimationIK();
    LAnimationIK(const LAnimationIK&) = delete;
    LAnimationIK& operator=(const LAnimationIK&) = delete;
    virtual ~LAnimationIK();

    virtual int32_t GetTrackCount() const;
    // 0 for a null or empty name or an existing track, else 1. The name in
    // `values` is ignored; the start is clamped into [first, last].
    virtual int32_t AddTrack(const char* name, const LTrackRecord& values);
    // Overwrites an existing track; 0 for a null or empty name or none.
    virtual int32_t SetTrack(const char* name, const LTrackRecord& values);
    // Overwrites or adds; 0 for a null or empty name.
    virtual int32_t DefineTrack(const char* name, const LTrackRecord& values);
    virtual LTrackRecord* FindTrack(const char* name) const;
    // Current track = the named one at its first frame; 0 (current track
    // null) when absent.
    virtual int32_t SelectTrack(const char* name);
    // The track before (after) the current one, wrapping, at its first frame;
    // 0 without a current track.
    virtual int32_t SelectPreviousTrack();
    virtual int32_t SelectNextTrack();
    // Removes the named track; "Main" is selected first when it is the
    // current one. 0 for a null or empty name or an absent track.
    virtual int32_t DeleteTrack(const char* name);
    // Inside the current track's range the frame is taken; beyond its last
    // frame it becomes the first with the loop bit, else the last; before the
    // first, the last with the loop bit, else the first. Nothing without a
    // current track.
    virtual void SetFrame(int32_t frame);
    // Appends the source table's track `name` after this table's "Main": the
    // track is defined over [Main.last, Main.last + its length] and "Main" is
    // extended to its end. 0 (nothing changed) when either track is absent.
    virtual int32_t AppendTrackFrom(const LAnimationIK& source, const char* name);

    void NextFrame() { SetFrame(m_frame + 1); }
    void PrevFrame() { SetFrame(m_frame - 1); }
    uint32_t GetFlags() const { return m_flags; }
    void SetFlags(uint32_t flags) { m_flags = flags; }
    int32_t GetFrame() const { return m_frame; }
    LTrackRecord* GetCurrentTrack() const { return m_current; }
    const LDataLink& GetTracks() const { return m_tracks; }
    // Sets the playback state as it stands (no clamping, no lookup).
    void SetState(uint32_t flags, int32_t frame, LTrackRecord* track) {
        m_flags = flags;
        m_frame = frame;
        m_current = track;
    }

    // The table part of the "OANI" chunk: u16 first and last frame of "Main"
    // and the current frame (0, 30, 0 without "Main"); u16 track count; per
    // track u16 name length, the name's characters, u8 kind, then first,
    // last, start and values 4, 5, 6 as u16 (each truncated to 16 bits);
    // u32 flags.
    void WriteTable(LChunkStream& out) const;

protected:
    // Track lookups, a clone table's overrides read its source's list.
    virtual const LDataLink& TrackList() const { return m_tracks; }
    int32_t StepTrack(bool forward);

    uint32_t m_flags = kLoop;
    int32_t m_frame = 0;
    LDataLink m_tracks;
    LTrackRecord* m_current = nullptr;
};

class L3DObject_Animation : public L3DObject {
public:
    enum : uint32_t { kKindAnimation = 1026 };

    L3DObject_Animation(const char* name, L3DWorld* world, LCLBKObject* callback);
    ~L3DObject_Animation() override;

    LAnimationIK& GetAnimation() { return m_table; }
    const LAnimationIK& GetAnimation() const { return m_table; }

    // A new LAnimationClone bound to this object, in the world (playing
    // "Main") and at `location` when given; null when binding fails.
    L3DObject* Clone(const L3DLocation* location) override;
    // For kinds with bit 0x2 (else null): a new animated object with a copy
    // of every track, the flags and the current frame (within "Main", which
    // it plays), and the object's content.
    L3DObject* Duplicate(const L3DLocation* location) override;
    // Only when savable: the "OANI" chunk.
    void SaveObject(LChunkStream& out, uint32_t saveFlags) override;
    // The object's matrices; unless hidden, every child by its tracks at the
    // current frame (EvaluateChildren) with its box, sphere test and caches'
    // clip switch; the box grows over the children's boxes that changed
    // (kinds without bit 0x4). When the object changed, its box takes that
    // extent (its mesh's when no child gave one); then the object's sphere
    // test. Nothing after the children when neither the object nor the
    // camera changed.
    void UpdateTransform(LCameraView* camera) override;

    // Merges `other`'s keys of its track `name` into the children of the same
    // name (depth first), at times after this table's "Main", then appends
    // the track (AppendTrackFrom). 0 (nothing changed) when either table
    // lacks the track or "Main".
    int32_t AppendAnimation(L3DObject_Animation* other, const char* name);

    // The keyframe part of the frame update: every child, depth first, takes
    // the local matrix of its tracks at the current frame (ChildLocalMatrix),
    // multiplied by its parent's transform (this object's own for the top
    // children), as its transform, and its translation as its position.
    // Children without usable tracks keep theirs.
    void EvaluateChildren();

    // A child's local matrix at frame f: its matrix track when that has a key
    // at time 0 (the translation scaled by the child's scale); else, when it
    // has translate, scale and rotate tracks, rotation (the conversion chosen
    // by the signs of `mirror`, the animated object's scale) scaled by the
    // sampled scale, with the sampled translation times the child's scale.
    // 0 when neither applies (out untouched).
    static int32_t ChildLocalMatrix(L3DObject* child, float f, const float* mirror, float* out12);

private:
    class Table : public LAnimationIK {
    public:
        explicit Table(L3DObject_Animation* owner) : m_owner(owner) {}
        int32_t SelectTrack(const char* name) override;
        void SetFrame(int32_t frame) override;

    private:
        L3DObject_Animation* m_owner;
    };

    // A child of `parent` at frame f: its transform from its tracks (when it
    // has usable ones), its and its box's position from that.
    void PlaceChild(L3DObject* parent, L3DObject* child, float f);
    void EvaluateTree(L3DObject* parent, float f);
    // One level of UpdateTransform's walk; low and high gather the extent.
    void UpdateTree(L3DObject* parent, float f, LCameraView* camera, float* low, float* high);
    // The box on the corners of (low, high) in world space, projected, its
    // polygons' normals from their first three corners.
    void PlaceBox(const float* low, const float* high, const LCameraView* camera);
    void MergeKeys(L3DObject* into, L3DObject_Animation* other, const LTrackRecord& from, int32_t mainLast);

    Table m_table;
};

// An animation clone's table: track count and lookups read the source's
// table (0 or null without a source); the current track, frame and flags are
// the clone's own. Enter swaps them into the source (keeping the source's
// own), Leave restores the source.
class LAnimationCloneTable : public LAnimationIK {
public:
    explicit LAnimationCloneTable(LAnimationIK* source = nullptr);

    void SetSource(LAnimationIK* source);
    LAnimationIK* GetSource() const { return m_source; }

    int32_t GetTrackCount() const override;
    int32_t AddTrack(const char* name, const LTrackRecord& values) override;
    int32_t SetTrack(const char* name, const LTrackRecord& values) override;
    int32_t DefineTrack(const char* name, const LTrackRecord& values) override;
    LTrackRecord* FindTrack(const char* name) const override;
    int32_t DeleteTrack(const char* name) override;

    // Before the clone's frame update: the source plays the clone's track and
    // frame. After its drawing: the source's own state is back.
    void Enter();
    void Leave();
    bool IsEntered() const { return m_entered; }

protected:
    const LDataLink& TrackList() const override;

private:
    LAnimationIK* m_source;
    bool m_entered = false;
    uint32_t m_savedFlags = 0;
    int32_t m_savedFrame = 0;
    LTrackRecord* m_savedTrack = nullptr;
};

// An animation clone: an L3DObjectClone of an animated object with a
// playback state of its own. Its track and frame are swapped into the
// source from its UpdateFrame until after its DrawFrame (and around its
// UpdateTransform), so one source plays several clones at different frames.
class LAnimationClone : public L3DObjectClone {
public:
    LAnimationClone(const char* name, L3DWorld* world, LCLBKObject* callback);
    ~LAnimationClone() override;

    // Binds to an animated object (an animation clone binds to its source):
    // the table then reads the source's tracks and plays "Main". 0 (nothing
    // changed) for anything else or when SetSource refuses.
    int32_t Bind(L3DObject* source);
    LAnimationCloneTable& GetAnimation() { return m_table; }
    // The source's table went (the source is being destroyed).
    void DetachTable() { m_table.SetSource(nullptr); }

    // A clone of the source, at this clone's place, then at `location`.
    L3DObject* Clone(const L3DLocation* location) override;
    void UpdateFrame(LCameraView* camera) override;
    void DrawFrame(LCameraView* camera) override;
    void UpdateTransform(LCameraView* camera) override;

private:
    LAnimationCloneTable m_table;
};
