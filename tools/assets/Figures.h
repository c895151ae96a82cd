#pragma once
// Pieces that several pictures share: skies, clouds, hills, water, people seen from the front,
// ponies, the fish. All in canvas pixels, y down.
#include "Canvas.h"

namespace art {

// A vertical gradient from `top` at y0 to `bottom` at y1 over the whole width.
void fillVertical(Canvas& c, float y0, float y1, Rgba top, Rgba bottom);
// A soft glow: `colour` fading from the centre to nothing at `radius`.
void glow(Canvas& c, Vec2 centre, float radius, Rgba colour);
// A puffy cloud of overlapping soft ellipses, about `width` wide, its flat base at `centre.y`.
void cloud(Canvas& c, Vec2 centre, float width, Rgba colour, uint64_t startValue);
// A ridge of hills from x0 to x1: the top at baseY - amplitude * noise, filled down to `bottomY`.
void hills(Canvas& c, float baseY, float amplitude, float wavelength, float bottomY, Rgba top,
           Rgba bottom, uint32_t salt);
// Calm water from y0 to y1 with horizontal shimmer, the gradient from `farColour` to `nearColour`.
void water(Canvas& c, float y0, float y1, Rgba farColour, Rgba nearColour, uint32_t salt);

enum class Hair { Long, Short, Bun, Bald, Cap };

struct PersonLook {
    Rgba skin = hex(0xf1c27d);
    Rgba hair = hex(0x5a3825);
    Hair hairStyle = Hair::Short;
    Rgba top = hex(0x3060c0);  // shirt or dress
    Rgba legs = hex(0x2a2a40); // trousers, or stockings under a dress
    Rgba shoes = hex(0x202020);
    bool dress = false;
    bool sunglasses = false;
    bool armsCrossed = false;
    float build = 1.0f; // shoulder width factor: 1 slim, 1.5 burly
    float smile = 1.0f; // 1 smiling, 0 straight, negative frowning
};

// A person standing, seen from the front, feet at `feet`, `height` pixels tall.
void person(Canvas& c, const PersonLook& look, Vec2 feet, float height);

// A pony seen from the side, body centre at `centre`, `size` about its body length.
void pony(Canvas& c, Vec2 centre, float size, Rgba body, Rgba mane, bool facingRight);

// The fish, facing left, inside the box (x0, y0)-(x1, y1). Flipped out: red, wild-eyed,
// spiky and shouting.
void fish(Canvas& c, float x0, float y0, float x1, float y1, bool flippedOut);

} // namespace art
