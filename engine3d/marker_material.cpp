#include "engine3d/marker_material.h"

#include "engine3d/material.h"
#include "engine3d/world.h"

LMaterial* MarkerMaterial(L3DWorld* world, const char* name, uint32_t colour) {
    LBaseMaterial& materials = world->GetMaterialList();
    if (LMaterial* found = materials.FindByName(name)) return found;
    auto* material = new LMaterial(world, name, nullptr, colour, 0, nullptr);
    material->SetFlatMode(1);
    materials.AddMaterial(material);
    return material;
}
