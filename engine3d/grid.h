#pragma once
// L3DGrid ("3DGrid"): three reference planes of grey lines for editing
// views, one child object per plane: "Axe_X" (the plane y = 0, bit 2),
// "Axe_Y" (z = 0, bit 4), "Axe_Z" (x = 0, bit 8). Each plane has 410
// lattice points (rows and columns every 100 units from -2000 to 2000) and
// 352 line segments (degenerate triangles p, q, q), each 1000 units long;
// the two lines through the origin are "Med_GRAY" (0xFFFFFF), the rest
// "Dark_GRAY" (0x646464); "Light_GRAY" (0xC8C8C8) is made but unused. The
// grid owns its three materials (outside the world's material list). A
// render target makes its grid on the first request to show an axis and
// deletes it when no axis remains shown.
#include "engine3d/object.h"

#include <cstdint>

class LCameraView;
class LMaterial;

class L3DGrid : public L3DObject {
public:
    enum : uint32_t { kAxisX = 2, kAxisY = 4, kAxisZ = 8 };

    explicit L3DGrid(L3DWorld* world);
    ~L3DGrid() override;

    // A grid with its three planes, all hidden.
    static L3DGrid* Create(L3DWorld* world);
    static void Destroy(L3DGrid* grid) { delete grid; }

    void Draw(LCameraView* camera);
    void ShowAxes(uint32_t bits);
    void HideAxes(uint32_t bits);
    // 1 when every chosen plane exists and is shown.
    int32_t AreAxesShown(uint32_t bits);
    L3DObject* GetPlane(uint32_t bit) const;
    LMaterial* GetMaterial(int32_t i) const { return i >= 0 && i < 3 ? m_materials[i] : nullptr; }

    // A grid is never cloned or copied.
    L3DObject* Clone(const L3DLocation* /*location*/) override { return nullptr; }
    L3DObject* Duplicate(const L3DLocation* /*location*/) override { return nullptr; }

private:
    void BuildPlane(int32_t axis);

    LMaterial* m_materials[3] = {};  // light, medium, dark
};
