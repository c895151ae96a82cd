#include "Figures.h"

#include "Text.h"

namespace art {

void fillVertical(Canvas& c, float y0, float y1, Rgba top, Rgba bottom) {
    fillRect(c, 0, y0, float(c.width()), y1, 0,
             [&](float, float y) { return mix(top, bottom, clamp01((y - y0) / (y1 - y0))); });
}

void glow(Canvas& c, Vec2 centre, float radius, Rgba colour) {
    fillCircle(c, centre, radius, [&](float x, float y) {
        float t = 1.0f - clamp01(length(Vec2{x, y} - centre) / radius);
        return withAlpha(colour, colour.a * t * t);
    });
}

void cloud(Canvas& c, Vec2 centre, float width, Rgba colour, uint64_t startValue) {
    Random rng(startValue);
    float h = width * 0.28f;
    // The puffs are drawn on a layer of their own, just big enough, so the cloud's opacity
    // applies once where they overlap.
    int left = int(std::floor(centre.x - width * 0.75f)),
        top = int(std::floor(centre.y - h * 2.0f));
    Canvas layer(int(width * 1.5f) + 2, int(std::ceil(centre.y)) - top + 1);
    Vec2 local = centre - Vec2{float(left), float(top)};
    auto paint = [&](float, float y) {
        // Lit from above: the underside greys a little.
        return shade(colour, 1.0f - 0.18f * clamp01((y - (local.y - h)) / h));
    };
    int puffs = 5 + rng.below(3);
    for (int i = 0; i < puffs; ++i) {
        float t = (float(i) + 0.5f) / float(puffs);
        float r = width * (0.14f + 0.08f * std::sin(t * float(M_PI))) * rng.range(0.85f, 1.2f);
        float x = local.x - width * 0.42f + width * 0.84f * t;
        fillCircle(layer, Vec2{x, local.y - r * 0.6f}, r, paint, 2.0f);
    }
    // The layer ends at the base line, which gives the cloud its flat underside.
    fillEllipse(layer, Vec2{local.x, local.y - h * 0.1f}, width * 0.5f, h * 0.35f, 0, paint, 2.0f);
    c.composite(layer, colour.a, left, top);
}

void hills(Canvas& c, float baseY, float amplitude, float wavelength, float bottomY, Rgba top,
           Rgba bottom, uint32_t salt) {
    auto ridge = [&](float x) {
        return baseY - amplitude * (0.5f + 0.5f * fractalNoise(x / wavelength, 0.5f, 3, salt));
    };
    fillShape(
        c, Bounds{0, baseY - amplitude, float(c.width()), bottomY},
        [&](float x, float y) { return y > bottomY ? y - bottomY : ridge(x) - y; },
        [&](float, float y) {
            return mix(top, bottom,
                       clamp01((y - (baseY - amplitude)) / (bottomY - baseY + amplitude)));
        });
}

void water(Canvas& c, float y0, float y1, Rgba farColour, Rgba nearColour, uint32_t salt) {
    fillRect(c, 0, y0, float(c.width()), y1, 0, [&](float x, float y) {
        float t = clamp01((y - y0) / (y1 - y0));
        // Streaks get longer and thinner towards the horizon.
        float n = valueNoise(x / (40.0f + 200.0f * (1 - t)), y / (1.5f + 6.0f * t), salt);
        return shade(mix(farColour, nearColour, t), 1.0f + 0.12f * n);
    });
}

void person(Canvas& c, const PersonLook& look, Vec2 feet, float height) {
    float H = height;
    auto at = [&](float dx, float up) { return Vec2{feet.x + dx * H, feet.y - up * H}; };
    float sh = 0.13f * look.build; // half shoulder width
    Rgba outline = hex(0x2a1a1a, 0.8f);
    float ow = 0.004f * H;
    Rgba topDark = shade(look.top, 0.8f);

    // Long hair falls behind the shoulders.
    if (look.hairStyle == Hair::Long) {
        fillRect(c, at(-0.105f, 0.9f).x, at(0, 0.9f).y, at(0.105f, 0).x, at(0, 0.6f).y, 0.05f * H,
                 look.hair);
    }
    // Legs and shoes.
    for (float side : {-1.0f, 1.0f}) {
        strokeLine(c, at(side * 0.05f * look.build, 0.47f), at(side * 0.055f * look.build, 0.05f),
                   0.065f * H * std::sqrt(look.build), look.legs);
        fillEllipse(c, at(side * 0.065f * look.build, 0.025f), 0.05f * H, 0.025f * H, 0,
                    look.shoes);
    }
    // Arms hang beside the body, elbows a little out, in short sleeves.
    if (!look.armsCrossed) {
        for (float side : {-1.0f, 1.0f}) {
            std::vector<Vec2> arm = {at(side * (sh - 0.02f), 0.72f), at(side * (sh + 0.02f), 0.6f),
                                     at(side * (sh + 0.03f), 0.46f)};
            strokePath(c, arm, 0.05f * H + 2 * ow, outline);
            strokePath(c, arm, 0.05f * H, look.skin);
            fillCircle(c, at(side * (sh + 0.03f), 0.45f), 0.028f * H, look.skin);
            fillEllipse(c, at(side * (sh - 0.005f), 0.7f), 0.04f * H, 0.06f * H, side * -0.25f,
                        topDark);
        }
    }
    // Body with sloping shoulders: a dress flares to a curved hem at the knees; a shirt stops
    // at the belt.
    std::vector<Vec2> body = {at(-0.035f, 0.785f), at(0.035f, 0.785f), at(sh, 0.755f),
                              at(sh - 0.01f, 0.66f), at(sh * 0.72f, 0.53f)};
    if (look.dress) {
        std::vector<Vec2> hem = quadCurve(at(0.2f, 0.27f), at(0.0f, 0.23f), at(-0.2f, 0.27f), 10);
        body.insert(body.end(), hem.begin(), hem.end());
    } else {
        body.push_back(at(sh * 0.8f, 0.44f));
        body.push_back(at(-sh * 0.8f, 0.44f));
    }
    body.insert(body.end(), {at(-sh * 0.72f, 0.53f), at(-(sh - 0.01f), 0.66f), at(-sh, 0.755f)});
    Vec2 topCentre = at(0, 0.77f);
    float round = 0.02f * H;
    auto cloth = [&](float x, float) {
        // Rounded shading across the body.
        float k = std::fabs(x - topCentre.x) / (0.25f * H * look.build);
        return shade(look.top, 1.08f - 0.35f * k * k);
    };
    strokePolygon(c, body, round + 2 * ow, outline);
    fillPolygon(c, body, cloth);
    strokePolygon(c, body, round, cloth);
    if (!look.dress) {
        fillRect(c, at(-sh * 0.8f, 0).x - round * 0.5f, at(0, 0.46f).y,
                 at(sh * 0.8f, 0).x + round * 0.5f, at(0, 0.425f).y, 0.01f * H,
                 shade(look.legs, 0.7f));
    }
    if (look.armsCrossed) {
        // Upper arms down the sides, forearms folded across the chest, the right over the left.
        for (float side : {-1.0f, 1.0f}) {
            std::vector<Vec2> upper = {at(side * (sh - 0.01f), 0.74f),
                                       at(side * (sh + 0.01f), 0.62f)};
            strokePath(c, upper, 0.075f * H + 2 * ow, outline);
            strokePath(c, upper, 0.075f * H, topDark);
        }
        std::vector<Vec2> left = {at(-(sh + 0.01f), 0.62f), at(0.06f, 0.64f)};
        std::vector<Vec2> right = {at(sh + 0.01f, 0.6f), at(-0.06f, 0.62f)};
        strokePath(c, left, 0.07f * H + 2 * ow, outline);
        strokePath(c, left, 0.07f * H, topDark);
        fillCircle(c, at(0.075f, 0.645f), 0.03f * H, look.skin);
        strokePath(c, right, 0.07f * H + 2 * ow, outline);
        strokePath(c, right, 0.07f * H, shade(look.top, 0.9f));
        fillCircle(c, at(-0.075f, 0.62f), 0.03f * H, look.skin);
    }
    // Neck and head.
    strokeLine(c, at(0, 0.77f), at(0, 0.83f), 0.045f * H * std::sqrt(look.build),
               shade(look.skin, 0.9f));
    Vec2 head = at(0, 0.885f);
    float hr = 0.075f * H;
    fillEllipse(c, head, hr * 0.92f, hr, 0, look.skin);
    switch (look.hairStyle) {
    case Hair::Long:
    case Hair::Short:
        fillShape(
            c, Bounds{head.x - hr, head.y - hr * 1.2f, head.x + hr, head.y},
            [&](float x, float y) {
                float d = sdEllipse({x, y}, head - Vec2{0, hr * 0.12f}, hr * 1.02f, hr * 1.02f);
                // A fringe: the hair stops above the eyes, lower at the sides.
                float line = head.y - hr * 0.35f + 0.5f * std::fabs(x - head.x);
                return std::max(d, y - line);
            },
            look.hair);
        break;
    case Hair::Bun:
        fillCircle(c, head - Vec2{0, hr * 1.05f}, hr * 0.45f, look.hair);
        fillShape(
            c, Bounds{head.x - hr, head.y - hr * 1.2f, head.x + hr, head.y},
            [&](float x, float y) {
                return std::max(sdEllipse({x, y}, head, hr * 0.97f, hr * 1.03f),
                                y - (head.y - hr * 0.45f));
            },
            look.hair);
        break;
    case Hair::Cap:
        fillShape(
            c, Bounds{head.x - hr, head.y - hr * 1.2f, head.x + hr, head.y},
            [&](float x, float y) {
                return std::max(sdEllipse({x, y}, head, hr, hr * 1.05f), y - (head.y - hr * 0.3f));
            },
            look.hair);
        fillEllipse(c, head + Vec2{hr * 0.5f, -hr * 0.3f}, hr * 0.8f, hr * 0.14f, 0,
                    shade(look.hair, 0.8f));
        break;
    case Hair::Bald:
        break;
    }
    // Face.
    float eyeY = head.y + hr * 0.05f;
    if (look.sunglasses) {
        for (float side : {-1.0f, 1.0f}) {
            fillEllipse(c, Vec2{head.x + side * hr * 0.38f, eyeY}, hr * 0.32f, hr * 0.2f, 0,
                        hex(0x101018));
        }
        strokeLine(c, Vec2{head.x - hr * 0.1f, eyeY}, Vec2{head.x + hr * 0.1f, eyeY}, hr * 0.08f,
                   hex(0x101018));
    } else {
        for (float side : {-1.0f, 1.0f}) {
            fillEllipse(c, Vec2{head.x + side * hr * 0.35f, eyeY}, hr * 0.16f, hr * 0.2f, 0,
                        hex(0xffffff));
            fillCircle(c, Vec2{head.x + side * hr * 0.35f, eyeY + hr * 0.04f}, hr * 0.1f,
                       hex(0x2a1a10));
        }
    }
    fillCircle(c, Vec2{head.x - hr * 0.55f, head.y + hr * 0.4f}, hr * 0.15f, hex(0xff7070, 0.35f),
               4.0f);
    fillCircle(c, Vec2{head.x + hr * 0.55f, head.y + hr * 0.4f}, hr * 0.15f, hex(0xff7070, 0.35f),
               4.0f);
    float mouthY = head.y + hr * 0.5f;
    strokePath(c,
               quadCurve(Vec2{head.x - hr * 0.3f, mouthY},
                         Vec2{head.x, mouthY + hr * 0.3f * look.smile},
                         Vec2{head.x + hr * 0.3f, mouthY}, 10),
               hr * 0.09f, hex(0x8a2020));
}

void pony(Canvas& c, Vec2 centre, float size, Rgba body, Rgba mane, bool facingRight) {
    float d = facingRight ? 1.0f : -1.0f;
    float s = size;
    auto at = [&](float dx, float dy) { return Vec2{centre.x + d * dx * s, centre.y + dy * s}; };
    Rgba dark = shade(body, 0.78f);
    Rgba outline = hex(0x3a2040, 0.9f);
    // Tail, behind everything.
    strokePath(c,
               cubicCurve(at(-0.45f, -0.1f), at(-0.75f, -0.2f), at(-0.7f, 0.3f), at(-0.6f, 0.45f)),
               0.12f * s, mane);
    // Far legs darker, near legs lighter.
    for (float lx : {-0.28f, 0.22f}) {
        strokeLine(c, at(lx + 0.06f, 0.1f), at(lx + 0.08f, 0.55f), 0.1f * s, dark);
    }
    fillEllipse(c, at(0, 0), 0.5f * s, 0.27f * s, 0, body);
    for (float lx : {-0.32f, 0.26f}) {
        strokeLine(c, at(lx, 0.12f), at(lx, 0.58f), 0.11f * s, body);
        fillEllipse(c, at(lx, 0.6f), 0.07f * s, 0.04f * s, 0, hex(0x6a4a3a));
    }
    // Neck and head, looking forwards and up a little.
    strokeLine(c, at(0.32f, -0.1f), at(0.48f, -0.45f), 0.24f * s, body);
    Vec2 head = at(0.58f, -0.55f);
    fillEllipse(c, head, 0.22f * s, 0.17f * s, d * 0.35f, body);
    fillEllipse(c, at(0.74f, -0.45f), 0.12f * s, 0.1f * s, d * 0.35f, shade(body, 1.06f));
    fillCircle(c, at(0.79f, -0.45f), 0.018f * s, outline);
    // Ear.
    fillPolygon(c, {at(0.45f, -0.66f), at(0.5f, -0.86f), at(0.58f, -0.68f)}, body);
    // A big friendly eye.
    fillEllipse(c, at(0.6f, -0.59f), 0.07f * s, 0.085f * s, 0, hex(0xffffff));
    fillEllipse(c, at(0.62f, -0.58f), 0.05f * s, 0.065f * s, 0, hex(0x402060));
    fillCircle(c, at(0.64f, -0.61f), 0.02f * s, hex(0xffffff));
    // Mane along the neck.
    for (int i = 0; i < 6; ++i) {
        float t = float(i) / 5.0f;
        fillCircle(c, at(0.5f - 0.2f * t, -0.68f + 0.55f * t), (0.1f - 0.02f * t) * s, mane);
    }
    // A mark on the flank.
    std::vector<Vec2> star = starPoints(at(-0.2f, -0.02f), 0.04f * s, 0.1f * s, 5, 0);
    fillPolygon(c, star, shade(mane, 1.15f));
}

void fish(Canvas& c, float x0, float y0, float x1, float y1, bool flippedOut) {
    float w = x1 - x0, h = y1 - y0;
    auto at = [&](float u, float v) { return Vec2{x0 + u * w, y0 + v * h}; };
    Rgba body = flippedOut ? hex(0xe83020) : hex(0xff9a2a);
    Rgba belly = flippedOut ? hex(0xffb060) : hex(0xffe0a0);
    Rgba fin = flippedOut ? hex(0xa01010) : hex(0x2aa8c8);
    Rgba outline = hex(0x302018);
    float ow = 0.012f * h;

    // Tail: a forked fan; spiky when flipped out.
    std::vector<Vec2> tail =
        flippedOut
            ? std::vector<Vec2>{at(0.72f, 0.5f), at(0.98f, 0.12f), at(0.9f, 0.32f), at(1.0f, 0.42f),
                                at(0.9f, 0.52f), at(1.0f, 0.62f),  at(0.9f, 0.7f),  at(0.98f, 0.9f)}
            : std::vector<Vec2>{at(0.72f, 0.5f), at(0.97f, 0.18f), at(0.9f, 0.5f),
                                at(0.97f, 0.82f)};
    fillPolygon(c, tail, fin);
    strokePolygon(c, tail, ow, outline);
    // Dorsal fin.
    std::vector<Vec2> dorsal;
    if (flippedOut) {
        dorsal = {at(0.3f, 0.3f)};
        for (int i = 0; i < 6; ++i) {
            dorsal.push_back(at(0.33f + 0.055f * float(i), i % 2 == 0 ? 0.04f : 0.2f));
        }
        dorsal.push_back(at(0.66f, 0.3f));
    } else {
        dorsal = {at(0.3f, 0.28f), at(0.42f, 0.06f), at(0.6f, 0.12f), at(0.66f, 0.3f)};
    }
    fillPolygon(c, dorsal, fin);
    strokePolygon(c, dorsal, ow, outline);
    // Body with a lighter belly.
    Vec2 centre = at(0.42f, 0.5f);
    float rx = 0.34f * w, ry = 0.3f * h;
    fillEllipse(c, centre, rx, ry, 0, [&](float x, float y) {
        float t = clamp01((y - (centre.y - ry * 0.2f)) / (ry * 0.9f));
        return mix(body, belly, t);
    });
    // Stripes.
    for (float u : {0.5f, 0.62f}) {
        fillShape(
            c, Bounds{x0, y0, x1, y1},
            [&](float x, float y) {
                return std::max(sdEllipse({x, y}, centre, rx, ry),
                                std::fabs(x - at(u, 0).x - 0.1f * (y - centre.y)) - 0.025f * w);
            },
            withAlpha(shade(body, flippedOut ? 0.7f : 1.25f), 0.8f));
    }
    fillShape(
        c, Bounds{centre.x - rx - 2, centre.y - ry - 2, centre.x + rx + 2, centre.y + ry + 2},
        [&](float x, float y) {
            return std::fabs(sdEllipse({x, y}, centre, rx, ry)) - ow * 0.5f;
        },
        outline);
    // Side fin.
    std::vector<Vec2> side = {at(0.42f, 0.55f), at(0.56f, 0.6f), at(0.5f, 0.75f)};
    fillPolygon(c, side, shade(fin, 1.1f));
    strokePolygon(c, side, ow, outline);

    // Eye and mouth.
    Vec2 eye = at(0.2f, 0.4f);
    float er = (flippedOut ? 0.13f : 0.09f) * h;
    fillCircle(c, eye, er, hex(0xffffff));
    strokeCircle(c, eye, er, ow, outline);
    if (flippedOut) {
        // A spiralling pupil and a furious brow.
        std::vector<Vec2> spiral;
        for (int i = 0; i <= 60; ++i) {
            float t = float(i) / 60.0f, a = t * 4.0f * float(M_PI);
            spiral.push_back(eye + Vec2{std::cos(a), std::sin(a)} * (er * 0.8f * t));
        }
        strokePath(c, spiral, 0.018f * h, hex(0x101010));
        strokeLine(c, eye + Vec2{-er * 1.1f, -er * 1.5f}, eye + Vec2{er * 1.1f, -er * 0.9f},
                   0.04f * h, hex(0x301010));
        // Open shouting mouth with teeth.
        std::vector<Vec2> mouth = {at(0.05f, 0.55f), at(0.2f, 0.6f), at(0.16f, 0.76f),
                                   at(0.07f, 0.7f)};
        fillPolygon(c, mouth, hex(0x400808));
        strokePolygon(c, mouth, ow, outline);
        for (int i = 0; i < 3; ++i) {
            float u = 0.08f + 0.04f * float(i);
            fillPolygon(c,
                        {at(u, 0.565f + 0.012f * float(i)),
                         at(u + 0.035f, 0.58f + 0.012f * float(i)),
                         at(u + 0.016f, 0.62f + 0.012f * float(i))},
                        hex(0xffffff));
        }
        // Sweat drops and shout marks.
        fillEllipse(c, at(0.08f, 0.2f), 0.015f * w, 0.04f * h, 0.3f, hex(0x80c8ff));
        TitleLook look;
        look.fill = hex(0xffe000);
        look.outline = hex(0x301010);
        look.outlineWidth = 0.012f * h;
        look.shadow.a = 0;
        TextStyle style;
        style.pixelSize = 0.3f * h;
        style.angle = 0.25f;
        drawTitle(c, "!!", style, at(0.07f, 0.13f).x, at(0.07f, 0.13f).y, look);
    } else {
        fillCircle(c, eye + Vec2{-er * 0.2f, er * 0.1f}, er * 0.55f, hex(0x182838));
        fillCircle(c, eye + Vec2{-er * 0.35f, -er * 0.15f}, er * 0.2f, hex(0xffffff));
        strokePath(c, quadCurve(at(0.08f, 0.58f), at(0.13f, 0.66f), at(0.2f, 0.6f), 10), 0.02f * h,
                   outline);
        fillCircle(c, at(0.2f, 0.56f), 0.035f * h, hex(0xff6060, 0.4f), 4.0f);
        // Bubbles.
        for (int i = 0; i < 3; ++i) {
            Vec2 b = at(0.06f - 0.015f * float(i), 0.36f - 0.12f * float(i));
            strokeCircle(c, b, (0.025f + 0.012f * float(i)) * h, 0.008f * h, hex(0xffffff, 0.9f));
        }
    }
}

} // namespace art
