#pragma once
// Ready-made meshes for scripts: a brick (box), a sphere, a pyramid and a
// plane. Each builder makes a new plain L3DObject in the world (null callback
// owner), named from the world's counter of its kind ("Brick #%d", "Sphere
// #%d", "Pyramid #%d", "Plane #%d"), fills its current frame with vertices
// and triangles, gives every triangle the world's default material and
// returns it. The object is not added to the world's object list: the caller
// does that.
//
// Vertex normals are blended as the triangles arrive (each of a triangle's
// vertex normals becomes (previous + face normal) / 2), so the triangle order
// below is part of the result: bricks and pyramids derive u and v from those
// normals (u = 1 - (nx + 1) * 0.4878049, v likewise from ny).
//
// Rejected arguments (a negative, NaN or infinite size; negative segment or
// ring counts; counts whose vertices or triangles do not fit in 32 bits) and
// a build that cannot get its vertices or polygons answer null: nothing is
// left allocated and the world's counter does not move.
#include <cstdint>

class L3DObject;
class L3DWorld;
class LMaterial;

// 8 vertices at (+-x/2, +-y/2, +-z/2), 12 triangles.
L3DObject* BuildBrick(L3DWorld* world, float sizeX, float sizeY, float sizeZ);
// Two poles, then `rings` rings of segments + 1 vertices (the last repeats
// the first with u = 1). rings = -1 takes segments / 2 - 1. Triangles only
// when segments > 0 and rings > 0 (a sphere without rings keeps its poles).
L3DObject* BuildSphere(L3DWorld* world, float radiusX, float radiusY, float radiusZ, int32_t segments,
                       int32_t rings);
// Apex (0, +y/2, 0) over a base at -y/2: 5 vertices, 6 triangles.
L3DObject* BuildPyramid(L3DWorld* world, float sizeX, float sizeY, float sizeZ);
// A quad in z = 0 as two triangles; u runs along x over |tilingU|, v along y
// over |tilingV|, a negative tiling mirroring its coordinate.
L3DObject* BuildPlane(L3DWorld* world, float sizeX, float sizeY, float tilingV, float tilingU);

// Destroys the material's caches in the object's current frame and in every
// descendant's, in child order.
void PurgeMaterialCaches(L3DObject* object, LMaterial* material);
