// Parented object transforms against Eigen: a child's world matrix is its
// parent's world matrix times its local translation times its own rotation,
// and each point lands at that matrix times its scaled local position.
#include "../engine3d/object_fixture.h"

#include <Eigen/Geometry>

#include <random>

namespace {

using Mat4 = Eigen::Matrix<double, 4, 4>;

Mat4 Rotation(const L3DLocation& o) {
    Mat4 m = Mat4::Identity();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m(r, c) = o.GetRotation().m[4 * r + c];
    return m;
}

Mat4 Translation(const Eigen::Vector3d& t) {
    Mat4 m = Mat4::Identity();
    m.block<3, 1>(0, 3) = t;
    return m;
}

Eigen::Vector3d Position(const L3DLocation& o) {
    return Eigen::Vector3d(o.GetPosition()[0], o.GetPosition()[1], o.GetPosition()[2]);
}

using ObjectTransformOracle = ObjectFixtureBase;

TEST_F(ObjectTransformOracle, ParentedTransformsAgainstEigen) {
    std::mt19937 rng(5);
    auto uni = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    double worst = 0;
    for (int round = 0; round < 200; ++round) {
        L3DObject* chain[3];
        Eigen::Vector3d start[3];
        for (int i = 0; i < 3; ++i) {
            chain[i] = Square(("o" + std::to_string(i)).c_str());
            chain[i]->SetPositionAndAngles(uni(0, 6.28f), uni(0, 6.28f), uni(0, 6.28f), uni(-50, 50), uni(-50, 50),
                                           uni(-50, 50));
            chain[i]->MultiplyScale(uni(0.5f, 2), uni(0.5f, 2), uni(0.5f, 2));
            start[i] = Position(*chain[i]);
        }
        chain[1]->SetParent(chain[0], 0);
        chain[2]->SetParent(chain[1], 0);
        chain[0]->UpdateFrame(&view);

        // Expected world matrices, each from the parent's.
        Mat4 expect[3];
        expect[0] = Translation(start[0]) * Rotation(*chain[0]);
        for (int i = 1; i < 3; ++i) expect[i] = expect[i - 1] * Translation(start[i] - start[i - 1]) * Rotation(*chain[i]);
        for (int i = 0; i < 3; ++i) {
            LBasePoint* points = chain[i]->GetPoints();
            const float* s = chain[i]->GetScale();
            for (int k = 0; k < points->GetCount(); ++k) {
                const L3DPoint* p = points->GetPoint(k);
                const Eigen::Vector4d local(p->local[0] * s[0], p->local[1] * s[1], p->local[2] * s[2], 1.0);
                const Eigen::Vector4d expected = expect[i] * local;
                for (int a = 0; a < 3; ++a) worst = std::max(worst, std::fabs(expected[a] - p->world[a]));
            }
            const Eigen::Vector3d origin = expect[i].block<3, 1>(0, 3);
            EXPECT_NEAR((Position(*chain[i]) - origin).norm(), 0.0, 1e-3) << round << " " << i;
        }
        world.RemoveObject(chain[0]);  // its owned children go with it
    }
    EXPECT_LT(worst, 1e-3);
}

}  // namespace
