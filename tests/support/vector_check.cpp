// vector_check.cpp: component-wise vector comparisons for the tests.
#include "support/vector_check.h"

#include <gtest/gtest.h>

void ExpectNear(Vector3 a, Vector3 b, float tol)
{
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}
