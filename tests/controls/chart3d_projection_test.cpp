#include "chart3d_projection.h"

#include <gtest/gtest.h>

namespace {

TEST(Chart3DProjection, CentreShowsInTheMiddleAndUpIsUp) {
    const Chart3DView view{30.0, 20.0, 200, 160};
    const ViewPoint centre = ProjectPoint(view, 0, 0, 0);
    EXPECT_EQ(centre.x, 100);
    EXPECT_EQ(centre.y, 80);
    EXPECT_LT(ProjectPoint(view, 0, 0, 1).y, centre.y);
    EXPECT_GT(ProjectPoint(view, 1, 0, 0).x, centre.x);
}

TEST(Chart3DProjection, EveryCornerStaysInsideTheArea) {
    for (double yaw : {0.0, 30.0, 45.0, 135.0, 300.0}) {
        const Chart3DView view{yaw, 20.0, 120, 90};
        for (int corner = 0; corner < 8; ++corner) {
            const ViewPoint p =
                ProjectPoint(view, corner & 1 ? 1 : -1, corner & 2 ? 1 : -1, corner & 4 ? 1 : -1);
            EXPECT_GE(p.x, 0);
            EXPECT_LE(p.x, 120);
            EXPECT_GE(p.y, 0);
            EXPECT_LE(p.y, 90);
        }
    }
}

} // namespace
