#include "engine3d/camera.h"

#include "engine3d/chunk_stream.h"
#include "engine3d/name_text.h"
#include "engine3d/polygon.h"
#include "engine3d/world.h"
#include "runtime/base/sys_utils.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
constexpr float kDegreesToRadians = 0.017453292f;

// The bucket table and node pool shared by the cameras that acquired them.
struct SortStore {
    L3DCamera::Bucket* table = nullptr;
    std::vector<L3DCamera::SortNode*> blocks;  // each kPoolBlock nodes, never moved
    int32_t users = 0;
};
SortStore& Store() {
    static SortStore store;
    return store;
}

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : (v == v ? v : 0.0f)); }
}  // namespace

L3DCamera::L3DCamera(L3DWorld* world, LCLBKObject* callback) : L3DObject("Camera", world, callback) {
    SetKind(kKindCamera);
    clipPool = m_clipPoints;
    clipPoolSize = kClipPoints;
    for (L3DPoint& p : m_clipPoints) p.AttachDeviceVertex();
    LCameraView::location = this;
    SetFocus(30.0f);
    AnglesChanged(1);
    SetFogRange(0.0f, 1.0f);
    if (world) BuildMarker();
    ComputeSinCos();
    BuildMatrix(1);
}

L3DCamera::~L3DCamera() {
    // A target still bound to this camera lets it go.
    if (m_target && m_target->GetBoundCamera() == static_cast<LCameraLink*>(this)) m_target->DetachCamera();
    ReleaseSortBuckets();
    if (L3DWorld* world = GetWorld())
        if (world->GetCurrentCamera() == static_cast<LCameraView*>(this)) world->SetCurrentCamera(nullptr);
}

void L3DCamera::SetFocus(float degrees) {
    if (std::isnan(degrees)) degrees = m_fov;
    if (degrees > 179.0f) degrees = 179.0f;
    if (degrees < 10.0f) degrees = 10.0f;
    AnglesChanged(1);
    m_fov = degrees;
    m_inverseFov = 1.0f / degrees;
    ComputeFocal();
}

void L3DCamera::SetViewSize(float halfWidth, float halfHeight) {
    // A size without pixels would give zero focal factors and NaN planes.
    m_halfWidth = halfWidth > 0.0f && std::isfinite(halfWidth) ? halfWidth : 1.0f;
    m_halfHeight = halfHeight > 0.0f && std::isfinite(halfHeight) ? halfHeight : 1.0f;
    ComputeFocal();
}

void L3DCamera::SetAspect(float aspect) {
    if (aspect > 0.0f && std::isfinite(aspect)) m_aspect = aspect;
    ComputeFocal();
}

void L3DCamera::ComputeFocal() {
    const float t = std::tan(m_fov * 0.5f * kDegreesToRadians);
    focalX = std::fabs(m_halfWidth / t);
    focalY = std::fabs(m_halfHeight / m_aspect / t);
    ComputeFrustumPlanes();
}

void L3DCamera::ComputeFrustumPlanes() {
    const float a = std::atan2(m_halfWidth, focalX), b = std::atan2(m_halfHeight, focalY);
    const float ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
    const struct {
        uint32_t bit;
        float n[4];
    } planeTable[] = {
        {kLeft, {ca, 0, sa, 0}},         {kRight, {-ca, 0, sa, 0}},
        {kBottom, {0, cb, sb, 0}},       {kTop, {0, -cb, sb, 0}},
        {kNear, {0, 0, 1, kNearDistance}}, {kFar, {0, 0, -1, -float(m_far)}},
    };
    for (const auto& p : planeTable) std::memcpy(Plane(p.bit), p.n, sizeof p.n);
    farDistance = float(m_far);
}

void L3DCamera::SetViewDepth(int32_t distance) {
    if (distance > 65536) distance = 65536;
    if (distance < 500) distance = 500;
    m_far = m_farCopy = distance;
    UpdateFogDepths();
    AnglesChanged(1);
    ComputeFrustumPlanes();
}

void L3DCamera::SetFarDistance(float distance) {
    // Beyond the integer range the clamp's upper end applies; NaN keeps it.
    if (std::isnan(distance)) return;
    SetViewDepth(distance >= 65536.0f ? 65536 : (distance <= 0.0f ? 0 : int32_t(distance)));
}

void L3DCamera::SetViewPixelSize(int32_t width, int32_t height) {
    m_pixelWidth = width;
    m_pixelHeight = height;
    centreX = float(width) * 0.5f;
    centreY = float(height) * 0.5f;
    AnglesChanged(1);
}

void L3DCamera::SetViewRect(int32_t left, int32_t bottom, int32_t top, int32_t right) {
    m_viewRect[0] = left;
    m_viewRect[1] = bottom;
    m_viewRect[2] = top;
    m_viewRect[3] = right;
}

void L3DCamera::UpdateFogDepths() {
    m_fogStartDepth = int32_t(float(m_far) * m_fogStart);
    m_fogEndDepth = int32_t(float(m_far) * m_fogEnd);
    fogStart = float(m_fogStartDepth);
    fogEnd = float(m_fogEndDepth);
}

void L3DCamera::SetFogState(uint8_t state) {
    m_fogState = state;
    fogMode = state ? kFogLinear : 0;
}

void L3DCamera::SetFogColor(uint32_t colour) { m_fogColour = colour & 0xFFFFFFu; }

void L3DCamera::SetFogRange(float start, float end) {
    m_fogStart = Clamp01(start);
    m_fogEnd = Clamp01(end);
    if (m_fogEnd < m_fogStart) m_fogEnd = m_fogStart;
    UpdateFogDepths();
}

void L3DCamera::SetFog(uint8_t state, uint32_t colour, float start, float end, float density) {
    SetFogState(state);
    SetFogColor(colour);
    SetFogRange(start, end);
    m_fogDensity = Clamp01(density);
    fogDensity = m_fogDensity;
}

void L3DCamera::GetFogRange(float* start, float* end) const {
    if (start) *start = m_fogStart;
    if (end) *end = m_fogEnd;
}

int32_t L3DCamera::IsXYZVisible(float x, float y, float z) const {
    const float p[3] = {x, y, z};
    return PointOutcode(p) == 0 ? 1 : 0;
}

void L3DCamera::BuildMatrix(int notify) {
    const float* s = GetSin();
    const float* c = GetCos();
    const float sx = s[0], sy = s[1], sz = s[2], cx = c[0], cy = c[1], cz = c[2];
    const float r[9] = {sx * sy * sz + cz * cy, -cx * sz, sx * sz * cy - cz * sy,
                        sx * cz * sy - sz * cy, -cz * cx, sx * cz * cy + sy * sz,
                        sy * cx,                sx,       cx * cy};
    std::memcpy(m_viewRows, r, sizeof r);
    if (notify == 1) Moved();
}

void L3DCamera::RenderWith(LRenderTargetLink* target) {
    LRenderTargetLink* kept = m_target;
    m_target = target;
    L3DWorld* world = GetWorld();
    if (target && world) {
        std::memcpy(rows, m_viewRows, sizeof rows);
        std::memcpy(LCameraView::position, GetPosition(), sizeof LCameraView::position);
        ++m_frames;
        world->DrawFrame(this);
    }
    m_target = kept;
}

// ---- depth buckets ------------------------------------------------------

const L3DCamera::Bucket* L3DCamera::GetBucketTable() { return Store().table; }
int32_t L3DCamera::GetPoolCapacity() { return int32_t(Store().blocks.size()) * kPoolBlock; }
int32_t L3DCamera::IsPoolCursorAtStart() const { return m_cursorBlock == 0 && m_cursorOffset == 0 ? 1 : 0; }

void L3DCamera::AcquireSortBuckets() {
    m_cursorBlock = m_cursorOffset = 0;
    if (m_bucketsHeld) return;
    SortStore& store = Store();
    if (store.users == 0) {
        void* table = nullptr;
        void* block = nullptr;
        if (!CallocRetry(sizeof(Bucket) * kBucketCount, &table) || !AllocRetry(sizeof(SortNode) * kPoolBlock, &block)) {
            FreeAndNull(&table);
            FreeAndNull(&block);
            return;  // nothing held: insertions are refused
        }
        store.table = static_cast<Bucket*>(table);
        store.blocks.assign(1, static_cast<SortNode*>(block));
    }
    m_bucketsHeld = 1;
    ++store.users;
    m_usedBuckets = 0;
    m_lowestBucket = kBucketCount;
}

void L3DCamera::ReleaseSortBuckets() {
    if (!m_bucketsHeld) return;
    m_bucketsHeld = 0;
    SortStore& store = Store();
    if (--store.users > 0) return;
    void* table = store.table;
    FreeAndNull(&table);
    store.table = nullptr;
    for (SortNode* block : store.blocks) {
        void* b = block;
        FreeAndNull(&b);
    }
    store.blocks.clear();
}

L3DCamera::SortNode* L3DCamera::NextNode() {
    SortStore& store = Store();
    if (m_cursorOffset == kPoolBlock) {
        if (size_t(m_cursorBlock) + 1 == store.blocks.size()) {
            void* block = nullptr;
            if (!AllocRetry(sizeof(SortNode) * kPoolBlock, &block)) return nullptr;
            store.blocks.push_back(static_cast<SortNode*>(block));
        }
        ++m_cursorBlock;
        m_cursorOffset = 0;
    }
    return &store.blocks[size_t(m_cursorBlock)][m_cursorOffset++];
}

int32_t L3DCamera::InsertPolygonByDepth(LPolygon* polygon) {
    const float depth = polygon->MaxDepth();
    // Checked before the conversion: a depth past the integer range or NaN
    // has no bucket (and converting it would be undefined).
    if (!(depth >= 0.0f && depth < 65536.0f)) return depth >= 0.0f ? 0 : kBucketCount;
    const int32_t index = kBucketCount - (int32_t(depth) >> 2);
    if (index < kFirstBucket || index >= kBucketCount) return index;
    Bucket* table = Store().table;
    if (!m_bucketsHeld || !table) return index;
    SortNode* node = NextNode();
    if (!node) return index;
    node->next = nullptr;
    node->polygon = polygon;
    Bucket& bucket = table[index];
    if (bucket.count == 0) {
        bucket.first = node;
        ++m_usedBuckets;
        if (index < m_lowestBucket) m_lowestBucket = index;
    } else {
        bucket.last->next = node;
    }
    bucket.last = node;
    return ++bucket.count;
}

void L3DCamera::DrawBuckets() {
    Bucket* table = Store().table;
    if (!table) return;
    for (int32_t i = m_lowestBucket; m_usedBuckets != 0 && i < kBucketCount; ++i) {
        Bucket& bucket = table[i];
        if (bucket.count == 0) continue;
        for (SortNode* node = bucket.first; node && bucket.count; node = node->next) {
            node->polygon->Submit(this);
            --bucket.count;
        }
        bucket.count = 0;
        --m_usedBuckets;
    }
    m_lowestBucket = kBucketCount;
}

// ---- saving -------------------------------------------------------------

void L3DCamera::SaveObject(LChunkStream& out, uint32_t saveFlags) {
    (void)saveFlags;
    const int32_t start = out.BeginChunk(ChunkTag("CAME"));
    out.WriteU8(GetWorld() ? 1 : 0);
    out.WriteU16(uint32_t(m_renderMode));
    out.WriteF32(m_fov);
    out.WriteU16(m_fogState);
    out.WriteU32(m_fogColour);
    out.WriteF32(m_fogStart);
    out.WriteF32(m_fogEnd);
    out.WriteF32(m_fogDensity);
    char name[260];
    GetName(name, sizeof name);
    out.WriteString(name);
    SaveLocation(out);
    out.EndChunk(start);
}

// ---- the camera list ------------------------------------------------------

LBaseCamera::~LBaseCamera() { DeleteCameraAt(-1); }

void LBaseCamera::AddCamera(L3DCamera* camera) {
    if (!camera) return;
    LDataNode* node = InsertAfter(camera, nullptr);
    if (camera->IsVisible() && m_show == 0) camera->Hide(0);
    if (node) ++node->referenceCount;
}

int32_t LBaseCamera::DeleteCamera(L3DCamera* camera) {
    LDataNode* node = FindNode(camera);
    if (!node) return 4;
    RemoveNode(node, 1);
    if (m_world && m_world->GetCurrentCamera() == static_cast<LCameraView*>(camera)) m_world->SetCurrentCamera(nullptr);
    camera->Destroy();
    return 0;
}

int32_t LBaseCamera::DeleteCameraAt(int32_t index) {
    if (index == -1) {
        while (LDataNode* node = GetHead()) DeleteCamera(static_cast<L3DCamera*>(node->value));
        return 0;
    }
    LDataNode* node = index >= 0 ? GetNodeAt(index) : nullptr;
    return node ? DeleteCamera(static_cast<L3DCamera*>(node->value)) : 4;
}

L3DCamera* LBaseCamera::GetAt(int32_t index) const {
    for (LDataNode* n = GetHead(); n; n = n->next, --index)
        if (index == 0) return static_cast<L3DCamera*>(n->value);
    return nullptr;
}

L3DCamera* LBaseCamera::FindCamera(const char* name) {
    char buffer[260];
    for (LDataNode* n = GetHead(); n; n = n->next) {
        auto* camera = static_cast<L3DCamera*>(n->value);
        camera->GetName(buffer, sizeof buffer);
        if (NamesEqual(buffer, name)) return camera;
    }
    return nullptr;
}

L3DCamera* LBaseCamera::FindByKeyAndName(L3DCamera* camera, const char* name) {
    LDataNode* node = FindNode(camera);
    if (!node) return nullptr;
    char buffer[260];
    for (LDataNode* n = node->next; n; n = n->next) {
        auto* next = static_cast<L3DCamera*>(n->value);
        if (!name) return next;
        next->GetName(buffer, sizeof buffer);
        if (NamesEqual(buffer, name)) return next;
    }
    return nullptr;
}

void LBaseCamera::RefreshCameras(int32_t flag) {
    for (LDataNode* n = GetHead(); n; n = n->next) static_cast<L3DCamera*>(n->value)->AnglesChanged(flag);
}

void LBaseCamera::PrepareMarkers(L3DCamera* camera) {
    for (LDataNode* n = GetHead(); n; n = n->next) {
        auto* other = static_cast<L3DCamera*>(n->value);
        if (other == camera) {
            camera->CommitFrame(camera);
            continue;
        }
        const uint32_t changed =
            other->GetFlags() & (L3DLocation::kFlagPositionChanged | L3DLocation::kFlagAnglesChanged);
        other->AnglesChanged(1);
        other->UpdateTransform(camera);
        other->UpdateFrame(camera);
        other->DrawFrame(camera);
        if (changed) other->AnglesChanged(1);
    }
}

void LBaseCamera::HitTestCameras(L3DCamera* camera, const float* point, const float* radius, L3DObject** out) {
    for (LDataNode* n = GetHead(); n; n = n->next) {
        auto* other = static_cast<L3DCamera*>(n->value);
        if (other == camera) continue;
        other->UpdateTransform(camera);
        if (other->IsInView()) other->Pick(camera, point, radius, out);
    }
}

int32_t LBaseCamera::CountSavable() const {
    int32_t count = 0;
    for (LDataNode* n = GetHead(); n; n = n->next) count += static_cast<L3DCamera*>(n->value)->IsSavable() ? 1 : 0;
    return count;
}
