#pragma once
// Walks shared by the world's element lists (sounds, zones, blobs): each
// list holds elements of one object class T.
#include "engine3d/data_link.h"

class L3DCamera;

// Top-level elements update their frame and draw (children come with their
// parent's drawing).
template <class T>
void DrawTopLevelElements(LDataLink& list, L3DCamera* camera) {
    for (LDataNode* n = list.GetHead(); n; n = n->next) {
        auto* element = static_cast<T*>(n->value);
        if (element->GetParent()) continue;
        element->UpdateFrame(camera);
        element->DrawFrame(camera);
    }
}

// Every element takes part in the pick.
template <class T>
void PickEachElement(LDataLink& list, L3DCamera* camera, const float* point, const float* radius, L3DObject** out) {
    for (LDataNode* n = list.GetHead(); n; n = n->next) static_cast<T*>(n->value)->Pick(camera, point, radius, out);
}
