#include "engine3d/scene_lists.h"

#include "engine3d/camera.h"
#include "engine3d/object.h"

void LSceneList::Append(L3DObject* element) {
    if (!element) return;
    if (element->IsVisible() && m_show == 0) element->Hide(0);
    InsertAfter(element, nullptr);
}

void LSceneList::DeleteAll() {
    while (LDataNode* node = GetHead()) {
        auto* element = static_cast<L3DObject*>(node->value);
        RemoveNode(node, 1);
        delete element;
    }
}

void LSceneList::FramePass(L3DCamera* camera) {
    for (LDataNode* n = GetHead(); n; n = n->next) {
        auto* element = static_cast<L3DObject*>(n->value);
        if (element->GetParent()) continue;
        element->UpdateFrame(camera);
        element->DrawFrame(camera);
    }
}

void LSceneList::HitTest(L3DCamera* camera, const float* point, const float* radius, L3DObject** out) {
    for (LDataNode* n = GetHead(); n; n = n->next) static_cast<L3DObject*>(n->value)->Pick(camera, point, radius, out);
}
