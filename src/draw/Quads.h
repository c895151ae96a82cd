#pragma once
// Screen-space quads in normalised device coordinates: x and y run from -1 (left, bottom) to 1
// (right, top), z = 0, whatever the window's aspect. Texture (0, 0) is the first texel row and
// column as uploaded, which for the usual bottom-row-first file is its bottom-left corner.

// Catalogue picture `slot` over the whole screen, blended, with both matrices pushed to identity.
void drawFullScreenQuad(int slot);
// Catalogue picture `slot` with texel (0, 0) at (x, y); negative w or h mirrors it. Leaves
// blending as it is.
void drawQuadAt(int slot, float x, float y, float w, float h);
// The quad from (-1, -1) to (1, 1) with texture t = 0 at the top; binds, enables and sets nothing.
void drawFlippedQuad();

float sinDegrees(int degrees); // pi taken as 3.14159
float sinRadians(float radians);
float sinFloat(float radians);
float sqrtFloat(float value);
