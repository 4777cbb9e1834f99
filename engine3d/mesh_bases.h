#pragma once
// The two lowest bases of every 3D object. LAnimationMesh keeps named
// animation tracks over mesh frames and the current frame; LMultiBasePoly
// keeps the mesh frames ("bases"): per frame a polygon list, a point list
// and a material-cache list. Every polygon and point operation of an object
// works on the current frame; without one (all frames deleted) they answer
// their "none" value.
#include "engine3d/data_link.h"

#include <cstdint>

class L3DWorld;
class LBasePoint;
class LChunkStream;
class LMaterialCacheList;
class LPolygon;
class LPolygonOwner;
class L3DLocation;

// A track: a named frame range. The five pass-through values belong to the
// animation modes of the animated objects.
struct LTrackRecord {
    enum : int32_t { kNameSize = 16 };
    char name[kNameSize];  // at most 15 characters, always terminated
    uint8_t mode;
    int32_t first, last, start;
    int32_t pass[5];
};

class LAnimationMesh {
public:
    enum : int32_t { kWrapFrames = 0x2 };

    LAnimationMesh();
    LAnimationMesh(const LAnimationMesh&) = delete;
    LAnimationMesh& operator=(const LAnimationMesh&) = delete;
    virtual ~LAnimationMesh();

    virtual int32_t GetTrackCount() const;
    // `values` gives mode, first, last, start and the pass-through values;
    // its name is ignored. The start is clamped into [first, last].
    virtual int32_t AddTrack(const char* name, const LTrackRecord& values);
    virtual int32_t UpdateTrack(const char* name, const LTrackRecord& values);
    virtual int32_t DefineTrack(const char* name, const LTrackRecord& values);
    virtual LTrackRecord* FindTrack(const char* name) const;
    virtual int32_t SelectTrack(const char* name);
    virtual int32_t PrevAnimation();
    virtual int32_t NextAnimation();
    virtual int32_t DeleteTrack(const char* name);
    virtual void SetFrame(int32_t frame);
    virtual void NextFrame();
    virtual void PrevFrame();
    virtual int32_t IsSingleStep(const LTrackRecord* track) const;

    int32_t GetMode() const { return m_mode; }
    void SetMode(int32_t mode) { m_mode = mode; }
    int32_t GetCurrentFrame() const { return m_currentFrame; }
    LTrackRecord* GetCurrentTrack() const { return m_currentTrack; }
    int32_t GetEmptied() const { return m_emptied; }
    const LDataLink& GetTracks() const { return m_tracks; }

protected:
    static void FillTrack(LTrackRecord* track, const char* name, const LTrackRecord& values);
    // The track after (or before) the current one, wrapping, becomes current
    // at its first frame.
    int32_t StepAnimation(bool forward);
    int32_t m_mode = kWrapFrames;
    int32_t m_currentFrame = -1;
    LDataLink m_tracks;
    LTrackRecord* m_currentTrack = nullptr;
    int32_t m_emptied = 0;
};

class LMultiBasePoly : public LAnimationMesh {
public:
    enum : int32_t { kAllFrames = 9999, kNoFrame = 7 };

    // `owner` is the object these bases belong to: its world owns the point
    // lists and makes the polygons.
    explicit LMultiBasePoly(LPolygonOwner* owner = nullptr);
    ~LMultiBasePoly() override;

    // The track layer's frame change, then the whole object tree is marked
    // for redrawing (RootLocation()'s angles changed).
    void SetFrame(int32_t frame) override;
    void NextFrame() override;
    void PrevFrame() override;
    // 1 when the track spans exactly two frames with equal point counts.
    int32_t IsSingleStep(const LTrackRecord* track) const override;
    // 7 without a current frame; else lists the polygon once more (0): the
    // node's reference count and the polygon's use count grow by one.
    virtual int32_t AddPolygonToList(LDataLink* list, LPolygon* polygon);

    // The world is taken now: the frames are freed after the owner's own
    // parts are gone.
    void SetOwner(LPolygonOwner* owner);
    LPolygonOwner* GetOwner() const { return m_owner; }

    int32_t AddBase();
    void DeleteBase(int32_t index, int32_t destroy);
    LDataLink* GetPolygonList() const;
    LBasePoint* GetPoints() const;
    LMaterialCacheList* GetCacheList() const;
    LDataLink* GetPolygonListAt(int32_t index) const;
    LMaterialCacheList* GetCacheListAt(int32_t index) const;
    // A polygon's id is its position in the current frame's list (what
    // AddPolygon answers the script layer, and what a mesh reader's face
    // numbers are): null outside the list.
    LPolygon* GetPolygon(int32_t id) const;
    // Takes every polygon out of frame n's list (`list`), each material's
    // cache entries going with them, and makes that frame current.
    void ClearFrame(LDataLink* list, int32_t n);
    void UpdateCurrentBase() { ClearFrame(GetPolygonList(), m_currentFrame); }
    int32_t IndexOfPolygon(const LPolygon* polygon) const;
    int32_t CountPolygonsInFrame() const;
    int32_t AddPolygonToFrame(LPolygon* polygon);
    // AddPolygonToFrame for a polygon known to be in no list of this object:
    // appended without searching the list first (bulk moves of thousands).
    int32_t AppendNewPolygon(LPolygon* polygon);
    // Takes one use of the polygon out of the current frame; the last use
    // goes, and with `destroy` the polygon is destroyed. 0 when not listed.
    int32_t RemovePolygon(LPolygon* polygon, int32_t destroy);
    // Frames of `source` copied as new frames (point lists and polygons).
    void CopyBases(const LMultiBasePoly& source);
    void MergeDuplicatePolygons();
    // Frame count (u16); per frame the point list's record, the polygon
    // count (u16) and each polygon's record; then "OANM": the "Main" track's
    // first and last frame (0 and 30 without it), the current frame, the
    // track count (u16 each), each track as a named record (name, mode,
    // first, last, start and the first three pass-through values as u16)
    // and the animation mode (u32).
    void SaveBases(LChunkStream& out);
    int32_t GetFrameCount() const { return m_frameCount; }

protected:
    // The location that a frame change marks: the root object's.
    virtual L3DLocation* RootLocation();
    // The owner's vertex array is the current frame's.
    void SyncOwnerPoints();

private:
    void DestroyFrame(int32_t index, int32_t destroy);
    void DeletePolygon(LPolygon* polygon);

    uint32_t m_reserved[3] = {0, 0, 0};
    LDataLink** m_polygons = nullptr;
    LBasePoint** m_points = nullptr;
    LMaterialCacheList** m_caches = nullptr;
    int32_t m_frameCount = 0;
    LPolygonOwner* m_owner = nullptr;
    L3DWorld* m_world = nullptr;
};
