// Polygons over a real driver and world: vertex lists, winding, radius,
// ground box, planes, classification, picking and clipping.
#include "geometry_fixture.h"

#include "engine3d/material.h"
#include "engine3d/texture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {
const float kTri[3][3] = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}};
const float kQuad[4][3] = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
const float kNaN = std::numeric_limits<float>::quiet_NaN();
}  // namespace

TEST(Polygon, VertexListLimits) {
    GeometryScene s;
    LPolygon* tri = s.Triangle(kTri);
    EXPECT_EQ(tri->GetMaxPoints(), 3);
    EXPECT_EQ(tri->AddNewPoint(5, 5, 5, 0, 0), 13);
    EXPECT_EQ(tri->InsertPoint(0, 5, 5, 5, 0, 0), 13);
    EXPECT_EQ(tri->AddPoint(s.points.GetPoint(0)), 13);
    EXPECT_EQ(tri->GetCount(), 3);
    EXPECT_EQ(s.points.GetCount(), 3);  // nothing created by the refusals

    LPolygon* quad = s.Triangle(kQuad, 4);
    EXPECT_EQ(quad->GetMaxPoints(), 4);
    EXPECT_EQ(quad->GetCount(), 4);
    EXPECT_EQ(quad->AddNewPoint(1, 2, 3, 0, 0), 13);
    EXPECT_EQ(quad->InsertPoint(0, 5, 5, 5, 0, 0), 13);

    LPolygon* raised = s.Polygon(2);
    raised->SetMaxPoints(4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(raised->AddNewPoint(kQuad[i][0], kQuad[i][1], 7, 0, 0), 0);
    EXPECT_EQ(raised->AddNewPoint(0, 0, 8, 0, 0), 13);

    // RemovePoint of a vertex that is not the polygon's.
    EXPECT_EQ(tri->RemovePoint(quad->GetPoint(2)), 14);
    EXPECT_EQ(tri->RemovePoint(nullptr), 14);
    L3DPoint* second = tri->GetPoint(1);
    EXPECT_EQ(tri->RemovePoint(second), 0);
    EXPECT_EQ(tri->GetCount(), 2);
    EXPECT_EQ(tri->GetPoint(1)->local[1], 10.0f);

    // InsertPoint puts the vertex at the index.
    EXPECT_EQ(tri->InsertPoint(1, 4, 4, 4, 0.5f, 0.5f), 0);
    EXPECT_EQ(tri->GetPoint(1)->local[0], 4.0f);
    EXPECT_EQ(tri->IndexOfPoint(tri->GetPoint(2)), 2);

    // Without an owner nothing can be created.
    LPolygon orphan(nullptr, 2, nullptr);
    EXPECT_EQ(orphan.AddNewPoint(0, 0, 0, 0, 0), 13);
    EXPECT_EQ(orphan.InsertPoint(0, 0, 0, 0, 0, 0), 13);
    EXPECT_EQ(orphan.GetCount(), 0);
}

TEST(Polygon, InvertReversesTheWindingAndThePlane) {
    GeometryScene s;
    LPolygon* tri = s.Triangle(kTri);
    LPolygon* quad = s.Triangle(kQuad, 4);
    for (LPolygon* p : {tri, quad}) {
        L3DPoint* before[4];
        for (int i = 0; i < p->GetCount(); ++i) before[i] = p->GetPoint(i);
        float u1, v1;
        p->GetUV(1, &u1, &v1);
        p->ComputePlanes(0);
        EXPECT_FLOAT_EQ(p->planes[2], 1.0f);
        p->Invert();
        const int n = p->GetCount();
        EXPECT_EQ(p->GetPoint(0), before[0]);
        for (int i = 1; i < n; ++i) EXPECT_EQ(p->GetPoint(i), before[n - i]) << n << " " << i;
        float u, v;
        p->GetUV(n - 1, &u, &v);
        EXPECT_EQ(u, u1);
        EXPECT_FLOAT_EQ(p->planes[2], -1.0f);
    }
}

TEST(Polygon, BoundingRadiusInBothFormsAndSaturated) {
    GeometryScene s;
    // Centre (10/3, 10/3, 0); farthest vertex at 7.4536.
    EXPECT_EQ(s.Triangle(kTri)->radius, 8);  // + 1.0
    LPolygon* inserted = s.Polygon();
    inserted->InsertPoint(0, 0, 0, 0, 0, 0);
    inserted->InsertPoint(1, 10, 0, 0, 0, 0);
    inserted->InsertPoint(2, 0, 10, 0, 0, 0);
    EXPECT_EQ(inserted->radius, 7);  // the InsertPoint form: no + 1.0
    // A quad's centre is its sum times 0.33333334 as well: (20/3, 20/3, 0),
    // farthest vertex (0, 0): 9.428 + 1.
    EXPECT_EQ(s.Triangle(kQuad, 4)->radius, 10);
    const float huge[3][3] = {{0, 0, 0}, {200000, 0, 0}, {0, 200000, 0}};
    EXPECT_EQ(s.Triangle(huge)->radius, 65535);
    const float bad[3][3] = {{0, 0, 0}, {kNaN, 0, 0}, {0, 1, 0}};
    EXPECT_EQ(s.Triangle(bad)->radius, 65535);
}

TEST(Polygon, GroundBoxAndStrictContainment) {
    GeometryScene s;
    LPolygon* p = s.Triangle(kTri);
    const float world[3][3] = {{-5.7f, 3, 10}, {20.9f, 1, 10}, {0, kNaN, 10}};
    for (int i = 0; i < 3; ++i) std::memcpy(p->GetPoint(i)->world, world[i], sizeof world[i]);
    p->ComputeGroundBox();
    // x spans -5..20 (truncated): +-100; z has zero extent: +-200.
    EXPECT_EQ(p->groundBox[0], 120);
    EXPECT_EQ(p->groundBox[1], 210);
    EXPECT_EQ(p->groundBox[2], -105);
    EXPECT_EQ(p->groundBox[3], -190);
    EXPECT_EQ(p->ContainsGroundPoint(0, 0), 1);
    EXPECT_EQ(p->ContainsGroundPoint(120, 0), 0);
    EXPECT_EQ(p->ContainsGroundPoint(119, 209), 1);
    EXPECT_EQ(p->ContainsGroundPoint(-105, 0), 0);
    EXPECT_EQ(p->ContainsGroundPoint(0, -190), 0);
    // NaN and huge coordinates are skipped or clamped, never converted raw.
    const float wild[3][3] = {{kNaN, kNaN, kNaN}, {3e38f, 0, -3e38f}, {-1e30f, 0, 1e30f}};
    for (int i = 0; i < 3; ++i) std::memcpy(p->GetPoint(i)->world, wild[i], sizeof wild[i]);
    p->ComputeGroundBox();
    EXPECT_EQ(p->groundBox[0], INT32_MAX);
    EXPECT_EQ(p->groundBox[2], INT32_MIN);
}

TEST(Polygon, DepthUvAndTransforms) {
    GeometryScene s;
    LPolygon empty(nullptr, 2, nullptr);
    EXPECT_EQ(empty.MaxDepth(), -100000.0f);
    LPolygon* p = s.Triangle(kTri);
    for (int i = 0; i < 3; ++i) p->GetPoint(i)->Project(&s.owner, s.view);
    p->GetPoint(1)->depth = 42;
    EXPECT_EQ(p->MaxDepth(), 42.0f);

    p->SetUV(2, 0.75f, 0.125f);
    p->SetUV(3, 9, 9);  // out of range: ignored
    EXPECT_EQ(p->GetPoint(2)->u, 0.0f * 2 + 2.0f);
    p->CopyUVToPoints();
    EXPECT_EQ(p->GetPoint(2)->u, 0.75f);
    EXPECT_EQ(p->GetPoint(2)->v, 0.125f);

    // A quarter turn about z around the point (10, 0, 0).
    const float m[12] = {0, -1, 0, 10, 1, 0, 0, 0, 0, 0, 1, 0};
    p->TransformPoints(m);
    EXPECT_FLOAT_EQ(p->GetPoint(0)->local[0], 10);
    EXPECT_FLOAT_EQ(p->GetPoint(0)->local[1], -10);
    EXPECT_FLOAT_EQ(p->GetPoint(1)->local[0], 10);
    EXPECT_FLOAT_EQ(p->GetPoint(1)->local[1], 0);
}

TEST(Polygon, EnvironmentTextureCoordinatesWithFlip) {
    GeometryScene s;
    LMaterial material;
    LPolygon* p = s.Triangle(kTri);
    p->material = &material;
    for (int i = 0; i < 3; ++i) {
        p->GetPoint(i)->normal[0] = 0.6f;
        p->GetPoint(i)->normal[1] = 0.8f;
    }
    p->ComputeEnvironmentUV(0);
    float u, v;
    p->GetUV(0, &u, &v);
    EXPECT_EQ(u, 0.0f);  // not environment mapped: unchanged
    LTexture env(nullptr, "env", nullptr);
    env.SetModeFlag(1);
    material.SetTexture(0, &env);
    p->ComputeEnvironmentUV(0);
    p->GetUV(1, &u, &v);
    EXPECT_FLOAT_EQ(u, (1 - 0.6f) * 0.5f);
    EXPECT_FLOAT_EQ(v, (0.8f + 1) * 0.5f);
    p->ComputeEnvironmentUV(1);
    p->GetUV(1, &u, &v);
    EXPECT_FLOAT_EQ(v, (-0.8f + 1) * 0.5f);
}

TEST(Polygon, PlanesOfDegenerateLinesStayFinite) {
    GeometryScene s;
    const float line[3][3] = {{0, 0, 0}, {5, 0, 0}, {5, 0, 0}};
    LPolygon* p = s.Triangle(line);
    for (int i = 0; i < 3; ++i) p->GetPoint(i)->normal[1] = 1.0f;
    p->ComputePlanes(1);
    for (int i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(p->planes[i])) << i;
    EXPECT_EQ(p->planes[0], 0.0f);
    EXPECT_EQ(p->planes[1], 0.0f);
    EXPECT_EQ(p->planes[2], 0.0f);
    EXPECT_EQ(p->GetPoint(0)->normal[1], 0.5f);  // averaged with the zero normal
    EXPECT_EQ(p->facingMask, 0);

    LPolygon* two = s.Polygon();
    two->AddNewPoint(0, 0, 0, 0, 0);
    two->AddNewPoint(1, 0, 0, 0, 0);
    float* before = two->planes;
    two->ComputePlanes(0);
    EXPECT_EQ(two->planes, before);
    EXPECT_EQ(two->ComputeFacingMask(), 0);
}

TEST(Polygon, FacingMaskByNormal) {
    struct Case {
        float p[3][3];
        uint8_t mask;
    };
    const Case cases[] = {
        {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, 32},       // +z
        {{{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}, 64},       // -z
        {{{0, 0, 0}, {0, 1, 0}, {0, 0, 1}}, 8},        // +x
        {{{0, 0, 0}, {0, 0, 1}, {0, 1, 0}}, 16},       // -x
        {{{0, 0, 0}, {0, 0, 1}, {1, 0, 0}}, 4},        // +y
        {{{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, 2},        // -y
        {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, 8 | 4 | 32},
        {{{1, 0, 0}, {0, 0, 1}, {0, 1, 0}}, 16 | 2 | 64},
        {{{0, 0, 0}, {1, 0, 0}, {1e-7f, 1, 0}}, 32},   // a tiny component is no facing
    };
    GeometryScene s;
    for (const Case& c : cases) {
        LPolygon* p = s.Triangle(c.p);
        EXPECT_EQ(p->ComputeFacingMask(), c.mask);
        p->ComputePlanes(0);
        EXPECT_EQ(p->facingMask, c.mask);
    }
}

TEST(Polygon, ClassifyOnATableOfPlacements) {
    // The view looks down +z from the origin; near 20, far 10000.
    struct Case {
        const char* what;
        float z;          // placement of a small triangle at (0, 0, z), spread by `size`
        float size;
        int overrideOutcodes;  // -1: as projected; else every vertex's outcode
        uint16_t radius;       // 0xFFFF: as computed
        uint32_t objectFlags;
        bool facingAway;
        int32_t expected;
    };
    const Case cases[] = {
        {"all inside", 500, 10, -1, 0xFFFF, 0, false, 0},
        {"some inside", 500, 2000, -1, 0xFFFF, 0, false, 256},
        {"none, sphere outside", 30000, 10, -1, 0xFFFF, 0, false, 128},
        {"none, sphere crossing", -30, 10, -1, 0xFFFF, 0, false, 256},
        {"none, sphere inside", 500, 10, 0, 0, 0, false, 0},
        {"back-facing culled", 500, 10, -1, 0xFFFF, LPolygonOwner::kFlagCullBackFaces, true, 128},
        {"back-facing kept without the flag", 500, 10, -1, 0xFFFF, 0, true, 0},
        {"front-facing with the flag", 500, 10, -1, 0xFFFF, LPolygonOwner::kFlagCullBackFaces, false, 0},
        {"NaN", kNaN, 10, -1, 0xFFFF, 0, false, 128},
    };
    for (const Case& c : cases) {
        GeometryScene s;
        s.owner.objectFlags = c.objectFlags;
        // Counter-clockwise seen from the camera: the normal points at it.
        float p[3][3] = {{0, 0, c.z}, {-c.size, c.size, c.z}, {c.size, c.size, c.z}};
        if (c.facingAway) std::swap(p[1], p[2]);
        LPolygon* poly = s.Triangle(p);
        poly->ComputePlanes(0);
        for (int i = 0; i < 3; ++i) {
            poly->GetPoint(i)->Project(&s.owner, s.view);
            if (c.overrideOutcodes >= 0) poly->GetPoint(i)->outcode = uint8_t(c.overrideOutcodes);
        }
        if (c.radius != 0xFFFF) poly->radius = c.radius;
        EXPECT_EQ(poly->Classify(s.view), c.expected) << c.what;
        EXPECT_EQ(poly->visibility, c.expected) << c.what;
    }
    LPolygon empty(nullptr, 2, nullptr);
    TestView view;
    EXPECT_EQ(empty.Classify(view), 128);
}

TEST(Polygon, IntersectRayTable) {
    GeometryScene s;
    LPolygon* tri = s.Triangle(kTri);
    LPolygon* quad = s.Triangle(kQuad, 4);
    tri->ComputePlanes(0);
    quad->ComputePlanes(0);
    struct Case {
        LPolygon* polygon;
        float origin[3], direction[3];
        int32_t hit;
    };
    const Case cases[] = {
        {tri, {2, 2, 5}, {0, 0, -1}, 1},      {tri, {2, 2, -5}, {0, 0, 1}, 1},
        {tri, {5, 0, 5}, {0, 0, -1}, 1},      // on an edge
        {tri, {0, 0, 5}, {0, 0, -1}, 1},      // on a vertex
        {tri, {5, 5, 5}, {0, 0, -1}, 1},      // on the hypotenuse
        {tri, {6, 6, 5}, {0, 0, -1}, 0},      {tri, {2, 2, 5}, {0, 0, 1}, 0},  // pointing away
        {tri, {2, 2, 5}, {1, 0, 0}, 0},       // parallel
        {tri, {2, 2, 5}, {1, 0, 1e-6f}, 0},   // |n.d| <= 1e-5
        {tri, {2, 2, 5}, {0, 0, 0}, 0},       {tri, {2, 2, 5}, {kNaN, 0, -1}, 0},
        {quad, {8, 8, 5}, {0, 0, -2}, 1},     // second half of the quad
        {quad, {11, 8, 5}, {0, 0, -1}, 0},
        {tri, {-3, 2, 5}, {1, 0, -1}, 1},     // slanted: lands on (2, 2, 0)
    };
    for (const Case& c : cases) {
        float out[3] = {-1, -1, -1};
        EXPECT_EQ(c.polygon->IntersectRay(c.origin, c.direction, out), c.hit)
            << c.origin[0] << "," << c.origin[1] << " dir " << c.direction[0] << "," << c.direction[2];
        if (c.hit) {
            EXPECT_NEAR(out[2], 0.0f, 1e-5f);
        }
    }
    float out[3];
    ASSERT_EQ(tri->IntersectRay(cases[13].origin, cases[13].direction, out), 1);
    EXPECT_NEAR(out[0], 2.0f, 1e-5f);
    EXPECT_NEAR(out[1], 2.0f, 1e-5f);
}

TEST(Polygon, ContainsScreenPointTable) {
    GeometryScene s;
    LPolygon* quad = s.Triangle(kQuad, 4);
    for (int i = 0; i < 4; ++i) {
        quad->GetPoint(i)->screenX = kQuad[i][0];
        quad->GetPoint(i)->screenY = kQuad[i][1];
    }
    // Half-open edges: the left and bottom edges (and their corner) are
    // inside, the right and top edges outside.
    struct Case {
        float x, y;
        int32_t in;
    };
    const Case cases[] = {{5, 5, 1},   {15, 5, 0}, {-1, 5, 0}, {5, 11, 0}, {0, 5, 1}, {10, 5, 0},
                          {5, 0, 1},   {5, 10, 0}, {0, 0, 1},  {10, 10, 0}, {9.999f, 9.999f, 1}};
    for (const Case& c : cases) EXPECT_EQ(quad->ContainsScreenPoint(c.x, c.y), c.in) << c.x << "," << c.y;
}

// ---------------------------------------------------------------------------
// Clipping

namespace {
float PlaneDistance(const float* plane, const float* p) {
    return plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] - plane[3];
}

float Area(L3DPoint* const* p, int n) {
    float sum[3] = {0, 0, 0};
    for (int i = 1; i + 1 < n; ++i) {
        float a[3], b[3];
        for (int k = 0; k < 3; ++k) {
            a[k] = p[i]->camera[k] - p[0]->camera[k];
            b[k] = p[i + 1]->camera[k] - p[0]->camera[k];
        }
        sum[0] += a[1] * b[2] - a[2] * b[1];
        sum[1] += a[2] * b[0] - a[0] * b[2];
        sum[2] += a[0] * b[1] - a[1] * b[0];
    }
    return 0.5f * std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
}

const uint32_t kBits[6] = {2, 4, 8, 16, 32, 64};

bool Inside(const TestView& view, const double* p) {
    for (uint32_t bit : kBits) {
        const float* n = view.Plane(bit);
        if (n[0] * p[0] + n[1] * p[1] + n[2] * p[2] < n[3]) return false;
    }
    return true;
}

// Barycentric coordinates of p in triangle (a, b, c), in double.
void Barycentric(const float* a, const float* b, const float* c, const float* p, double* w) {
    double e0[3], e1[3], d[3];
    for (int k = 0; k < 3; ++k) {
        e0[k] = double(b[k]) - a[k];
        e1[k] = double(c[k]) - a[k];
        d[k] = double(p[k]) - a[k];
    }
    auto dot = [](const double* x, const double* y) { return x[0] * y[0] + x[1] * y[1] + x[2] * y[2]; };
    const double d00 = dot(e0, e0), d01 = dot(e0, e1), d11 = dot(e1, e1), d20 = dot(d, e0), d21 = dot(d, e1);
    const double det = d00 * d11 - d01 * d01;
    w[1] = (d11 * d20 - d01 * d21) / det;
    w[2] = (d00 * d21 - d01 * d20) / det;
    w[0] = 1 - w[1] - w[2];
}
}  // namespace

TEST(PolygonClipping, RandomPolygonsAgainstRandomFrusta) {
    std::mt19937 rng(1234);
    auto uni = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    int compared = 0, dropped = 0;
    for (int round = 0; round < 300; ++round) {
        GeometryScene s;
        s.view.SetFrustum(uni(50, 400), uni(50, 300), uni(100, 600), uni(100, 600), uni(1, 50), uni(200, 3000));
        const int n = round % 2 ? 4 : 3;
        // A convex planar polygon: points on an ellipse in a random plane.
        float centre[3] = {uni(-400, 400), uni(-300, 300), uni(-100, s.view.farDistance * 1.2f)};
        float e0[3] = {uni(-1, 1), uni(-1, 1), uni(-1, 1)}, e1[3] = {uni(-1, 1), uni(-1, 1), uni(-1, 1)};
        const float r0 = uni(20, 800), r1 = uni(20, 800);
        float p[4][3];
        float angle = uni(0, 1);
        for (int i = 0; i < n; ++i, angle += (6.2831853f / float(n)) * uni(0.6f, 1.2f))
            for (int k = 0; k < 3; ++k)
                p[i][k] = centre[k] + r0 * std::cos(angle) * e0[k] + r1 * std::sin(angle) * e1[k];
        LPolygon* poly = s.Triangle(p, n);
        const bool shaded = round % 3 == 0;
        for (int i = 0; i < n; ++i) {
            L3DPoint* v = poly->GetPoint(i);
            v->Project(nullptr, s.view);
            for (int k = 0; k < 4; ++k) v->colour[k] = uint8_t(rng() & 0xFF);
            poly->SetUV(i, uni(-2, 2), uni(-2, 2));
        }
        L3DPoint* out[LPolygon::kMaxClipPoints];
        const int32_t count = shaded ? poly->ClipToFrustumShaded(&s.view, out) : poly->ClipToFrustum(&s.view, out);
        ASSERT_LE(s.view.clipCursor, s.view.clipPoolSize);
        ASSERT_TRUE(count == 0 || count >= 3);
        for (int32_t i = 0; i < count; ++i) {
            for (uint32_t bit : kBits)
                EXPECT_GE(PlaneDistance(s.view.Plane(bit), out[i]->camera), -1e-4f * std::fmax(1.0f, std::fabs(s.view.Plane(bit)[3])))
                    << "round " << round << " plane " << bit;
            // Draw pairs (and colours) are linear interpolations: over a
            // triangle they are its affine function; over a quad, a vertex on
            // an original edge holds the interpolation along that edge.
            if (n == 3) {
                double w[3];
                Barycentric(p[0], p[1], p[2], out[i]->camera, w);
                float u[3], v[3];
                for (int k = 0; k < 3; ++k) poly->GetUV(k, &u[k], &v[k]);
                EXPECT_NEAR(out[i]->drawU, w[0] * u[0] + w[1] * u[1] + w[2] * u[2], 2e-3) << round;
                EXPECT_NEAR(out[i]->drawV, w[0] * v[0] + w[1] * v[1] + w[2] * v[2], 2e-3) << round;
                if (shaded)
                    for (int k = 0; k < 4; ++k) {
                        const double expected = w[0] * poly->GetPoint(0)->colour[k] +
                                                w[1] * poly->GetPoint(1)->colour[k] + w[2] * poly->GetPoint(2)->colour[k];
                        EXPECT_NEAR(out[i]->colour[k], expected, 3.0) << round;
                    }
            } else {
                for (int e = 0; e < n; ++e) {
                    const float* a = p[e];
                    const float* b = p[(e + 1) % n];
                    double ab[3], ap[3], len2 = 0, t = 0;
                    for (int k = 0; k < 3; ++k) {
                        ab[k] = double(b[k]) - a[k];
                        ap[k] = double(out[i]->camera[k]) - a[k];
                        len2 += ab[k] * ab[k];
                        t += ab[k] * ap[k];
                    }
                    t /= len2;
                    double off = 0;
                    for (int k = 0; k < 3; ++k) off += (ap[k] - t * ab[k]) * (ap[k] - t * ab[k]);
                    if (std::sqrt(off) > 1e-3 * std::sqrt(len2)) continue;
                    float ua, va, ub, vb;
                    poly->GetUV(e, &ua, &va);
                    poly->GetUV((e + 1) % n, &ub, &vb);
                    EXPECT_NEAR(out[i]->drawU, ua + (ub - ua) * t, 2e-3) << round;
                    EXPECT_NEAR(out[i]->drawV, va + (vb - va) * t, 2e-3) << round;
                }
            }
        }
        // Brute-force sampled area of the inside part, on a lattice.
        const int steps = 250;
        double insideArea = 0, total = 0;
        for (int tri = 0; tri + 2 < n; ++tri) {
            const float* a = p[0];
            const float* b = p[tri + 1];
            const float* c = p[tri + 2];
            double ab[3], ac[3];
            for (int k = 0; k < 3; ++k) {
                ab[k] = double(b[k]) - a[k];
                ac[k] = double(c[k]) - a[k];
            }
            const double cr[3] = {ab[1] * ac[2] - ab[2] * ac[1], ab[2] * ac[0] - ab[0] * ac[2],
                                  ab[0] * ac[1] - ab[1] * ac[0]};
            const double area = 0.5 * std::sqrt(cr[0] * cr[0] + cr[1] * cr[1] + cr[2] * cr[2]);
            int in = 0, all = 0;
            for (int i = 0; i < steps; ++i)
                for (int j = 0; i + j < steps; ++j) {
                    const double x = (i + 1.0 / 3) / steps, y = (j + 1.0 / 3) / steps;
                    const double q[3] = {a[0] + x * ab[0] + y * ac[0], a[1] + x * ab[1] + y * ac[1],
                                         a[2] + x * ab[2] + y * ac[2]};
                    in += Inside(s.view, q);
                    ++all;
                }
            insideArea += area * in / all;
            total += area;
        }
        const double clipped = count ? Area(out, count) : 0.0;
        if (insideArea > 0.05 * total) {
            ++compared;
            EXPECT_NEAR(clipped, insideArea, 0.02 * insideArea) << "round " << round;
        } else {
            EXPECT_LE(clipped, 0.06 * total) << "round " << round;
            dropped += count == 0;
        }
    }
    EXPECT_GT(compared, 60);  // the random set exercises real clipping
    EXPECT_GT(dropped, 10);
}

TEST(PolygonClipping, PlanesInTheOrderFarNearLeftRightTopBottom) {
    GeometryScene s;
    s.view.SetFrustum(100, 100, 100, 100, 20, 1000);  // 45 degree half angles
    // A triangle larger than the view at every side, crossing near and far.
    const float p[3][3] = {{-5000, -3000, 10}, {5000, -3000, 10}, {0, 6000, 3000}};
    LPolygon* poly = s.Triangle(p);
    for (int i = 0; i < 3; ++i) poly->GetPoint(i)->Project(nullptr, s.view);
    L3DPoint* out[LPolygon::kMaxClipPoints];
    ASSERT_GE(poly->ClipToFrustum(&s.view, out), 3);
    const uint32_t order[6] = {32, 64, 8, 16, 4, 2};
    int rank = 0;
    std::vector<int> seen;
    for (int32_t i = 0; i < s.view.clipCursor; ++i) {
        const float* c = s.view.clipPool[i].camera;
        int r = rank;
        while (r < 6 && std::fabs(PlaneDistance(s.view.Plane(order[r]), c)) > 1e-2f * std::fmax(1.0f, std::fabs(c[2])))
            ++r;
        ASSERT_LT(r, 6) << "clip vertex " << i << " lies on no later plane";
        rank = r;
        seen.push_back(r);
    }
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 0), 2);  // the far plane cuts first
}

TEST(PolygonClipping, DropsWhatCannotBeClippedSafely) {
    const float through[3][3] = {{-5000, -3000, 10}, {5000, -3000, 10}, {0, 6000, 3000}};
    {  // A pool too small for the output: dropped, never overrun.
        GeometryScene s;
        TestView small(3);
        small.SetFrustum(100, 100, 100, 100, 20, 1000);
        LPolygon* poly = s.Triangle(through);
        for (int i = 0; i < 3; ++i) poly->GetPoint(i)->Project(nullptr, small);
        L3DPoint* out[LPolygon::kMaxClipPoints];
        EXPECT_EQ(poly->ClipToFrustum(&small, out), 0);
        EXPECT_LE(small.clipCursor, 3);
    }
    {  // Wholly beyond the far plane: fewer than 3 remain.
        GeometryScene s;
        const float far[3][3] = {{0, 0, 20000}, {10, 0, 20000}, {0, 10, 20000}};
        LPolygon* poly = s.Triangle(far);
        for (int i = 0; i < 3; ++i) poly->GetPoint(i)->Project(nullptr, s.view);
        L3DPoint* out[LPolygon::kMaxClipPoints];
        EXPECT_EQ(poly->ClipToFrustum(&s.view, out), 0);
    }
    {  // Two vertices: the draw pairs are copied, nothing else.
        GeometryScene s;
        LPolygon* poly = s.Polygon();
        poly->AddNewPoint(0, 0, 100, 0, 0);
        poly->AddNewPoint(1, 0, 100, 0, 0);
        poly->SetUV(1, 0.5f, 0.25f);
        L3DPoint* out[LPolygon::kMaxClipPoints];
        EXPECT_EQ(poly->ClipToFrustum(&s.view, out), 0);
        EXPECT_EQ(poly->GetPoint(1)->drawU, 0.5f);
    }
    {  // NaN and infinite coordinates: dropped or clipped to finite vertices.
        GeometryScene s;
        const float inf = std::numeric_limits<float>::infinity();
        const float bad[2][3][3] = {{{kNaN, 0, 100}, {10, 0, 100}, {0, 10, 100}},
                                    {{inf, 0, 100}, {-inf, 5, 100}, {0, 10, 100}}};
        for (const auto& p : bad) {
            LPolygon* poly = s.Triangle(p);
            for (int i = 0; i < 3; ++i) poly->GetPoint(i)->Project(nullptr, s.view);
            L3DPoint* out[LPolygon::kMaxClipPoints];
            const int32_t n = poly->ClipToFrustum(&s.view, out);
            for (int32_t i = 0; i < n; ++i)
                for (int k = 0; k < 3; ++k) EXPECT_TRUE(std::isfinite(out[i]->camera[k]));
        }
    }
    {  // A polygon wholly inside is handed back as it is.
        GeometryScene s;
        const float in[3][3] = {{0, 0, 100}, {10, 0, 100}, {0, 10, 100}};
        LPolygon* poly = s.Triangle(in);
        for (int i = 0; i < 3; ++i) poly->GetPoint(i)->Project(nullptr, s.view);
        L3DPoint* out[LPolygon::kMaxClipPoints];
        ASSERT_EQ(poly->ClipToFrustum(&s.view, out), 3);
        EXPECT_EQ(out[1], poly->GetPoint(1));
        EXPECT_EQ(s.view.clipCursor, 0);
    }
}

TEST(PolygonClipping, SecondTexturePairFollowsWhenTheMaterialHasLayerOne) {
    GeometryScene s;
    LMaterial material;
    LTexture second(nullptr, "second", nullptr);
    material.SetTexture(1, &second);
    const float p[3][3] = {{0, 0, 10}, {0, 0, 100}, {10, 10, 100}};  // crosses near (20)
    LPolygon* poly = s.Triangle(p);
    poly->material = &material;
    for (int i = 0; i < 3; ++i) {
        L3DPoint* v = poly->GetPoint(i);
        v->AttachDeviceVertex();
        v->Project(nullptr, s.view);
        v->device->u1 = float(i);
        v->device->v1 = 10.0f * float(i);
    }
    L3DPoint* out[LPolygon::kMaxClipPoints];
    const int32_t n = poly->ClipToFrustum(&s.view, out);
    ASSERT_GE(n, 3);
    bool sawNew = false;
    for (int32_t i = 0; i < n; ++i) {
        if (poly->IndexOfPoint(out[i]) >= 0) continue;
        sawNew = true;
        const float z = out[i]->camera[2];
        EXPECT_NEAR(z, 20.0f, 1e-3f);
        // On the edge from vertex 0 (z 10) to vertex 1 or 2 (z 100): f = 1/9.
        EXPECT_NEAR(out[i]->device->u1 + out[i]->device->v1, 11.0f * (poly->IndexOfPoint(out[(i + 1) % n]) == 1 ? 1 : 2) / 9.0f, 1e-4f);
        EXPECT_EQ(out[i]->device->screenX, out[i]->screenX);
    }
    EXPECT_TRUE(sawNew);
}

TEST(Polygon, SetMaterialListMembershipAndThirdMaterialSplit) {
    GeometryScene s;
    LBaseMaterial& list = s.world.GetMaterialList();
    LMaterial* m1 = list.CreateMaterial("m1", nullptr, 0, 0, nullptr);
    LMaterial* m2 = list.CreateMaterial("m2", nullptr, 0, 0, nullptr);
    const float a[3][3] = {{0, 0, 10}, {10, 0, 10}, {0, 10, 10}};
    const float b[3][3] = {{0, 0, 10}, {-10, 0, 10}, {0, -10, 10}};
    LPolygon* pa = s.Triangle(a);
    LPolygon* pb = s.Triangle(b);
    ASSERT_EQ(pa->GetPoint(0), pb->GetPoint(0));  // shared through the owner's array
    pa->SetMaterial(m1);
    pb->SetMaterial(m2);
    // The shared vertex belonged to m1, a third material for pb: split.
    EXPECT_NE(pa->GetPoint(0), pb->GetPoint(0));
    EXPECT_EQ(pa->GetPoint(0)->material, m1);
    EXPECT_EQ(pb->GetPoint(0)->material, m2);
    EXPECT_EQ(pb->GetPoint(0)->shadingTable, kIdentityShadingTable);
    EXPECT_EQ(m1->GetCount(), 1);
    EXPECT_EQ(m2->GetCount(), 1);
    pb->SetMaterial(m2);  // the same material: no change
    EXPECT_EQ(m2->GetCount(), 1);
    pb->SetMaterial(m1);
    EXPECT_EQ(m2->GetCount(), 0);
    EXPECT_EQ(m1->GetCount(), 2);
    // A used material is left alone; unused it goes.
    EXPECT_EQ(list.DeleteMaterial(m1), 0);
    EXPECT_GE(list.IndexOf(m1), 0);
    EXPECT_EQ(list.DeleteMaterial(m2), 0);
    EXPECT_EQ(list.IndexOf(m2), -1);
    m1->SetReflectionType(3);
    EXPECT_EQ(m1->GetReflectionType(), 3);
    EXPECT_EQ(pa->GetPoint(1)->shadingTable, kIdentityShadingTable);
    for (LPolygon* p : {pa, pb}) p->materialNode = nullptr;
}
