#include "engine3d/grid.h"

#include "engine3d/camera_view.h"
#include "engine3d/material.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/polygon_routines.h"
#include "engine3d/world.h"

#include <string_view>

namespace {
const char* const kPlaneNames[3] = {"Axe_X", "Axe_Y", "Axe_Z"};
const uint32_t kPlaneBits[3] = {L3DGrid::kAxisX, L3DGrid::kAxisY, L3DGrid::kAxisZ};
enum { kLight, kMedium, kDark };
constexpr int32_t kRow = 41;       // points per row, every 100 units
constexpr int32_t kFirstPass = 205;  // five rows of the first pass

// The point of lattice pair (a, b) on a plane, for the first or second pass.
void PlacePoint(int32_t axis, bool first, float a, float b, float* p) {
    const float u = first ? b : a, v = first ? a : b;
    switch (axis) {
    case 0: p[0] = u, p[1] = 0, p[2] = v; break;  // y = 0
    case 1: p[0] = v, p[1] = u, p[2] = 0; break;  // z = 0
    default: p[0] = 0, p[1] = v, p[2] = u; break;  // x = 0
    }
}
}  // namespace

L3DGrid::L3DGrid(L3DWorld* world) : L3DObject("3DGrid", world, nullptr) {
    SetKind(0);
    const struct {
        const char* name;
        uint32_t colour;
    } materials[3] = {{"Light_GRAY", 0xC8C8C8}, {"Med_GRAY", 0xFFFFFF}, {"Dark_GRAY", 0x646464}};
    for (int i = 0; i < 3; ++i) {
        m_materials[i] = new LMaterial(world, materials[i].name, nullptr, materials[i].colour, 0, nullptr);
        m_materials[i]->SetFlatMode(1);
    }
    InitFlags();
}

L3DGrid::~L3DGrid() {
    // The planes (and their polygons) go before the materials they use.
    while (LDataLink* children = GetChildren()) {
        LDataNode* head = children->GetHead();
        if (!head) break;
        delete static_cast<L3DObject*>(head->value);
    }
    for (LMaterial*& m : m_materials) {
        delete m;
        m = nullptr;
    }
}

L3DGrid* L3DGrid::Create(L3DWorld* world) {
    auto* grid = new L3DGrid(world);
    for (int32_t axis = 0; axis < 3; ++axis) grid->BuildPlane(axis);
    grid->HideAxes(kAxisX | kAxisY | kAxisZ);
    return grid;
}

void L3DGrid::BuildPlane(int32_t axis) {
    L3DWorld* world = GetWorld();
    auto* plane = new L3DObject(kPlaneNames[axis], world, nullptr);
    LBasePoint* points = plane->GetPoints();
    if (!points) {
        delete plane;
        return;
    }
    points->DisableSharing();
    float p[3];
    for (int32_t pass = 0; pass < 2; ++pass)
        for (int32_t r = 0; r < 5; ++r)
            for (int32_t k = 0; k < kRow; ++k) {
                const float a = pass == 0 ? 2000.0f - 1000.0f * float(r) : -2000.0f + 1000.0f * float(r);
                const float b = pass == 0 ? -2000.0f + 100.0f * float(k) : 2000.0f - 100.0f * float(k);
                PlacePoint(axis, pass == 0, a, b, p);
                points->AddPoint(p[0], p[1], p[2], 0, 0);
            }
    points->EnableSharing();
    const auto line = [&](int32_t from, int32_t to, bool origin) {
        LPolygon* polygon = world ? world->CreatePolygon(plane, 3, nullptr) : nullptr;
        if (!polygon) return;
        polygon->AddPoint(points->GetPoint(from));
        polygon->AddPoint(points->GetPoint(to));
        polygon->AddPoint(points->GetPoint(to));
        polygon->SetMaterial(m_materials[origin ? kMedium : kDark]);
        plane->AddPolygon(polygon, 1);
    };
    for (int32_t i = 0; i < 4; ++i)
        for (int32_t j = 0; j < 4; ++j) {
            // Column 20 of a block row is a line through the origin.
            for (int32_t k = 0; k <= 10; ++k) {
                const bool origin = (j == 1 && k == 10) || (j == 2 && k == 0);
                line(kRow * i + 10 * j + k, kRow * (i + 1) + 10 * j + k, origin);
            }
            for (int32_t k = 0; k <= 10; ++k) {
                const bool origin = (i == 1 && k == 10) || (i == 2 && k == 0);
                line(kFirstPass + kRow * j + 10 * i + k, kFirstPass + kRow * (j + 1) + 10 * i + k, origin);
            }
        }
    LinkChild(plane);
    plane->RefreshBox(1);
}

L3DObject* L3DGrid::GetPlane(uint32_t bit) const {
    for (int i = 0; i < 3; ++i)
        if (bit == kPlaneBits[i]) {
            LDataLink* children = GetChildren();
            for (LDataNode* n = children ? children->GetHead() : nullptr; n; n = n->next) {
                auto* child = static_cast<L3DObject*>(n->value);
                if (std::string_view(child->GetNameText() ? child->GetNameText() : "") == kPlaneNames[i]) return child;
            }
        }
    return nullptr;
}

void L3DGrid::ShowAxes(uint32_t bits) {
    for (uint32_t bit : kPlaneBits)
        if (L3DObject* plane = (bits & bit) ? GetPlane(bit) : nullptr) plane->Show();
}

void L3DGrid::HideAxes(uint32_t bits) {
    for (uint32_t bit : kPlaneBits)
        if (L3DObject* plane = (bits & bit) ? GetPlane(bit) : nullptr) plane->Hide(0);
}

int32_t L3DGrid::AreAxesShown(uint32_t bits) {
    for (uint32_t bit : kPlaneBits) {
        if (!(bits & bit)) continue;
        L3DObject* plane = GetPlane(bit);
        if (!plane || !plane->IsVisible()) return 0;
    }
    return 1;
}

void L3DGrid::Draw(LCameraView* camera) {
    if (!camera) return;
    UpdateFrame(camera);
    LDataLink* children = GetChildren();
    for (LDataNode* n = children ? children->GetHead() : nullptr; n; n = n->next) {
        auto* plane = static_cast<L3DObject*>(n->value);
        if (!plane->IsVisible()) continue;
        LDataLink* polygons = plane->GetPolygonList();
        for (LDataNode* p = polygons ? polygons->GetHead() : nullptr; p; p = p->next)
            ProjectAndSubmit(static_cast<LPolygon*>(p->value), camera);
    }
}
