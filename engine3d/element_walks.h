#pragma once
// Walks shared by the world's element lists (sounds, zones, blobs, lights):
// each list holds elements of one object class T.
#include "engine3d/data_link.h"
#include "engine3d/name_text.h"

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

// The first element at or after `from`'s place in the list whose name equals
// `name` (names compare as the engine's names do); none for no name or an
// element not in the list.
template <class T>
T* FindNamedFrom(const LDataLink& list, T* from, const char* name) {
    if (!name) return nullptr;
    char buffer[256];
    for (LDataNode* n = list.FindNode(from); n; n = n->next) {
        auto* candidate = static_cast<T*>(n->value);
        candidate->GetName(buffer, sizeof buffer);
        if (NamesEqual(buffer, name)) return candidate;
    }
    return nullptr;
}
