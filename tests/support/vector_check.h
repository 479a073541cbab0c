// vector_check.h: comparing vectors component by component in the tests.
#pragma once

#include "raylib.h"

// Expects each component of a within tol of the same component of b.
void ExpectNear(Vector3 a, Vector3 b, float tol = 1e-4f);
