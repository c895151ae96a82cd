#pragma once
// Camera helpers for a renderer that wants a three-dimensional view instead of screen-space quads.
// Matrices are 16 floats in OpenGL order (column-major): element 4 * column + row.

// The last projection built by setPerspective; all zero at start. Only elements 0, 5, 10, 11 and
// 14 are ever written, so element 15 stays 0 as a perspective projection needs.
extern float perspectiveMatrix[16];

// Symmetric frustum looking down -z, loaded into the current matrix (the caller selects
// GL_PROJECTION). fovDegrees is the full vertical angle in whole degrees; its half is taken by
// integer division, so 45 gives 22. An aspect (width over height) of exactly 0 counts as 1. Keep
// fovDegrees within 2 to 179 and zNear apart from zFar.
void setPerspective(int fovDegrees, float aspect, float zNear, float zFar);

// Multiplies a view from the eye towards the centre onto the current matrix (the caller selects
// GL_MODELVIEW and loads identity if wanted): the rotation whose rows are the side, up and
// backward axes, then the translation by the negated eye. An axis of length 0 (eye on the centre,
// or up along the line of sight) stays 0 rather than being divided by 0.
void lookAt(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ,
            float upX, float upY, float upZ);
