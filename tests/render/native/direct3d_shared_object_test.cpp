// The Direct3D driver's shared object slot. Native only: the objects here
// are not COM objects, and the native build's release does nothing with them.
#include "render/driver.h"

#include <gtest/gtest.h>

TEST(DriverTable, Direct3DSharedObjectCounts) {
    LAPI_Direct3D driver;
    int object = 0, other = 0;
    EXPECT_EQ(driver.HoldSharedObject(nullptr), 0);
    EXPECT_EQ(driver.HoldSharedObject(&object), 0);
    EXPECT_EQ(driver.HoldSharedObject(&object), 2);
    EXPECT_EQ(driver.HoldSharedObject(&other), 2);
    EXPECT_EQ(driver.sharedObject, &object);
    driver.HoldSharedObject(nullptr);
    EXPECT_EQ(driver.sharedObject, &object);
    driver.HoldSharedObject(nullptr);
    EXPECT_EQ(driver.sharedObject, nullptr);
}
