// The parade: the ground the riders cross, the rider, and the static between scenes.
#include "Figures.h"
#include "Pictures.h"
#include "Text.h"

namespace art {

void drawParadeGround(Canvas& c) {
    float W = float(c.width()), H = float(c.height());
    // The riders' wheels roll between 0.72 and 0.93 of the height (the show's sprite rows).
    float roadTop = H * 0.7f, roadBottom = H * 0.975f;
    fillVertical(c, 0, H * 0.6f, hex(0x3a86e0), hex(0xbfe2ff));
    glow(c, {W * 0.84f, H * 0.14f}, H * 0.3f, hex(0xfff6c0, 0.8f));
    fillCircle(c, {W * 0.84f, H * 0.14f}, H * 0.065f, hex(0xfffbe0));
    cloud(c, {W * 0.18f, H * 0.2f}, W * 0.2f, hex(0xffffff, 0.95f), 3);
    cloud(c, {W * 0.52f, H * 0.12f}, W * 0.14f, hex(0xffffff, 0.9f), 4);
    cloud(c, {W * 0.68f, H * 0.3f}, W * 0.17f, hex(0xffffff, 0.85f), 5);
    hills(c, H * 0.5f, H * 0.16f, W * 0.35f, H * 0.62f, hex(0x7a9ac8), hex(0x9ab8d8), 11);
    hills(c, H * 0.58f, H * 0.1f, W * 0.22f, H * 0.72f, hex(0x4a9a3a), hex(0x6ab84a), 12);
    // The field, with mown stripes.
    fillRect(c, 0, H * 0.6f, W, H, 0, [&](float x, float y) {
        Rgba g = mix(hex(0x5aaa3a), hex(0x3a8a2a), clamp01((y - H * 0.6f) / (H * 0.4f)));
        float stripe = std::sin((x + (y - H * 0.6f) * 1.5f) / 26.0f) > 0 ? 1.06f : 0.96f;
        return shade(g, stripe * (1.0f + 0.05f * fractalNoise(x / 9.0f, y / 9.0f, 3, 21)));
    });
    // Bunting on poles above the far verge.
    for (int i = 0; i < 5; ++i) {
        float px = W * (0.02f + 0.24f * float(i));
        strokeLine(c, {px, H * 0.36f}, {px, roadTop}, 7, hex(0xf0f0f0));
        fillCircle(c, {px, H * 0.355f}, 7, hex(0xffd030));
    }
    static const uint32_t flags[5] = {0xe83a3a, 0xffd030, 0x3a8ae8, 0x3ac85a, 0xffffff};
    for (int i = 0; i < 4; ++i) {
        float xa = W * (0.02f + 0.24f * float(i)), xb = xa + W * 0.24f;
        std::vector<Vec2> sag =
            quadCurve({xa, H * 0.38f}, {(xa + xb) * 0.5f, H * 0.47f}, {xb, H * 0.38f}, 12);
        strokePath(c, sag, 2.5f, hex(0x404040));
        for (int k = 1; k < 12; ++k) {
            Vec2 p = sag[size_t(k)];
            fillPolygon(c, {p + Vec2{-9, 0}, p + Vec2{9, 0}, p + Vec2{0, 24}},
                        hex(flags[(k + i) % 5]));
        }
    }
    // The road, its kerbs and its middle line.
    fillRect(c, 0, roadTop, W, roadBottom, 0, [&](float x, float y) {
        float n = fractalNoise(x / 3.0f, y / 3.0f, 2, 41);
        return shade(hex(0x6a6a72), 1.0f + 0.08f * n);
    });
    for (float ky : {roadTop, roadBottom - H * 0.02f}) {
        for (int i = 0; i * 40 < int(W); ++i) {
            fillRect(c, float(i) * 40, ky, float(i) * 40 + 40, ky + H * 0.02f, 0,
                     i % 2 ? hex(0xd83030) : hex(0xf4f4f4));
        }
    }
    float mid = (roadTop + roadBottom) * 0.5f;
    for (int i = 0; i * 90 < int(W); ++i) {
        fillRect(c, float(i) * 90 + 20, mid - 4, float(i) * 90 + 70, mid + 4, 2, hex(0xf4f0d0));
    }
    // A banner over the field.
    float bx0 = W * 0.33f, bx1 = W * 0.67f, by0 = H * 0.53f, by1 = H * 0.64f;
    strokeLine(c, {bx0, by0}, {bx0, roadTop}, 6, hex(0x5a3a20));
    strokeLine(c, {bx1, by0}, {bx1, roadTop}, 6, hex(0x5a3a20));
    fillRect(c, bx0, by0, bx1, by1, 4, hex(0xfff4e0));
    strokePolygon(c, {{bx0, by0}, {bx1, by0}, {bx1, by1}, {bx0, by1}}, 4, hex(0xd83030));
    TextStyle s;
    s.face = FontFace::SansBold;
    s.pixelSize = (by1 - by0) * 0.62f;
    s.tracking = 3;
    TitleLook look;
    look.fill = hex(0xd83030);
    look.shadow.a = 0;
    drawTitle(c, "GRAND PARADE", fitted("GRAND PARADE", s, (bx1 - bx0) * 0.88f), W * 0.5f,
              (by0 + by1) * 0.5f, look);
}

void drawUnicorn(Canvas& c) {
    float W = float(c.width()), H = float(c.height());
    auto at = [&](float u, float v) { return Vec2{u * W, v * H}; };
    Rgba ink = hex(0x2a1a3a);
    float ow = W * 0.009f; // outline width
    Rgba coat = hex(0xfaf6ff), coatShade = hex(0xdcd0ee);
    static const uint32_t rainbow[6] = {0xff4a5a, 0xffa03a, 0xffe04a, 0x4ad070, 0x3aa8ff, 0xa060ff};

    // Tail, streaming back to the left.
    for (int k = 0; k < 6; ++k) {
        float o = float(k) * 0.012f;
        strokePath(c,
                   cubicCurve(at(0.3f, 0.5f + o), at(0.18f, 0.48f + o), at(0.12f, 0.62f + o),
                              at(0.03f + o * 0.5f, 0.6f + o * 1.5f)),
                   W * 0.03f, hex(rainbow[k]));
    }
    // The unicycle: wheel, spokes, fork, seat.
    Vec2 hub = at(0.47f, 0.86f);
    float wr = H * 0.125f;
    fillCircle(c, hub, wr + ow, ink);
    strokeCircle(c, hub, wr - W * 0.018f, W * 0.036f, hex(0x262626));
    fillCircle(c, hub, wr - W * 0.036f, hex(0xd8dde6));
    for (int k = 0; k < 8; ++k) {
        float a = float(k) * float(M_PI) / 4.0f + 0.2f;
        strokeLine(c, hub, hub + Vec2{std::cos(a), std::sin(a)} * (wr - W * 0.03f), W * 0.006f,
                   hex(0x8a909a));
    }
    fillCircle(c, hub, W * 0.02f, hex(0x505860));
    Vec2 seat = at(0.45f, 0.56f);
    strokeLine(c, hub, seat, W * 0.04f + ow * 2, ink);
    strokeLine(c, hub, seat, W * 0.04f, hex(0xe03030));
    fillEllipse(c, seat, W * 0.09f + ow, H * 0.025f + ow, -0.1f, ink);
    fillEllipse(c, seat, W * 0.09f, H * 0.025f, -0.1f, hex(0x303030));
    // Cranks and pedals.
    Vec2 pedalA = hub + Vec2{W * 0.09f, -H * 0.03f}, pedalB = hub + Vec2{-W * 0.09f, H * 0.03f};
    strokeLine(c, pedalA, pedalB, W * 0.02f, hex(0x404040));

    // Far hind leg to pedal B, near hind leg to pedal A.
    auto leg = [&](Vec2 hip, Vec2 knee, Vec2 hoof, Rgba col) {
        strokePath(c, {hip, knee, hoof}, W * 0.075f + ow * 2, ink);
        strokePath(c, {hip, knee, hoof}, W * 0.075f, col);
        fillEllipse(c, hoof + Vec2{W * 0.015f, 0}, W * 0.05f, H * 0.022f, 0, hex(0x8a6a9a));
    };
    leg(at(0.4f, 0.52f), at(0.5f, 0.64f), pedalB - Vec2{0, H * 0.02f}, coatShade);
    // Body: an upright barrel leaning forward a little.
    Vec2 body = at(0.44f, 0.42f);
    fillEllipse(c, body, W * 0.15f + ow, H * 0.17f + ow, 0.35f, ink);
    fillEllipse(c, body, W * 0.15f, H * 0.17f, 0.35f, [&](float x, float y) {
        float k = clamp01((x - body.x) / (W * 0.3f) + 0.5f);
        return mix(coatShade, coat, k);
    });
    leg(at(0.46f, 0.52f), at(0.62f, 0.6f), pedalA - Vec2{0, H * 0.02f}, coat);
    // Forelegs: one holds out for balance, one waves.
    auto foreleg = [&](std::vector<Vec2> path, Rgba col) {
        strokePath(c, path, W * 0.06f + ow * 2, ink);
        strokePath(c, path, W * 0.06f, col);
        fillCircle(c, path.back(), W * 0.035f, hex(0x8a6a9a));
    };
    foreleg({at(0.5f, 0.33f), at(0.64f, 0.4f), at(0.78f, 0.36f)}, coat);
    foreleg({at(0.42f, 0.32f), at(0.33f, 0.24f), at(0.3f, 0.12f)}, coatShade);

    // Neck and head, facing right.
    strokeLine(c, at(0.5f, 0.3f), at(0.58f, 0.2f), W * 0.12f + ow * 2, ink);
    strokeLine(c, at(0.5f, 0.3f), at(0.58f, 0.2f), W * 0.12f, coat);
    Vec2 head = at(0.63f, 0.16f);
    fillEllipse(c, head, W * 0.12f + ow, H * 0.085f + ow, 0.15f, ink);
    fillEllipse(c, head, W * 0.12f, H * 0.085f, 0.15f, coat);
    Vec2 snout = at(0.75f, 0.2f);
    fillEllipse(c, snout, W * 0.085f + ow, H * 0.055f + ow, 0.25f, ink);
    fillEllipse(c, snout, W * 0.085f, H * 0.055f, 0.25f, hex(0xffe6f0));
    fillEllipse(c, at(0.8f, 0.19f), W * 0.012f, H * 0.008f, 0.3f, ink);
    strokePath(c, quadCurve(at(0.72f, 0.235f), at(0.76f, 0.25f), at(0.8f, 0.225f), 8), W * 0.008f,
               ink);
    // Ear.
    std::vector<Vec2> ear = {at(0.56f, 0.1f), at(0.55f, 0.02f), at(0.61f, 0.08f)};
    fillPolygon(c, ear, coat);
    strokePolygon(c, ear, ow, ink);
    // The horn: a golden spiral cone up and to the right.
    Vec2 hornBase = at(0.66f, 0.085f), hornTip = at(0.8f, 0.0f + 0.012f);
    Vec2 along = hornTip - hornBase;
    Vec2 across{-along.y, along.x};
    across = across * (1.0f / length(across));
    float hw = W * 0.035f;
    std::vector<Vec2> horn = {hornBase + across * hw, hornTip, hornBase - across * hw};
    fillPolygon(c, horn, hex(0xffcf3a));
    for (int k = 1; k < 5; ++k) {
        float t = float(k) / 5.0f;
        Vec2 m = hornBase + along * t;
        float w = hw * (1 - t);
        strokeLine(c, m + across * w, m - across * w + along * 0.06f, W * 0.006f, hex(0xc08a10));
    }
    strokePolygon(c, horn, ow, ink);
    // Mane down the back of the head and neck.
    for (int k = 0; k < 6; ++k) {
        float t = float(k) / 5.0f;
        fillCircle(c, at(0.57f - 0.1f * t, 0.07f + 0.2f * t), W * (0.045f - 0.005f * t),
                   hex(rainbow[k]));
    }
    // Eyes: the far one peeks past the near one, and one brow runs across both.
    Vec2 nearEye = at(0.655f, 0.15f), farEye = at(0.725f, 0.135f);
    fillEllipse(c, farEye, W * 0.022f, H * 0.022f, 0, hex(0xffffff));
    fillCircle(c, farEye + Vec2{W * 0.006f, 0}, W * 0.012f, ink);
    fillEllipse(c, nearEye, W * 0.03f, H * 0.028f, 0, hex(0xffffff));
    strokeCircle(c, nearEye, W * 0.03f, ow * 0.6f, ink);
    fillCircle(c, nearEye + Vec2{W * 0.01f, H * 0.003f}, W * 0.016f, ink);
    fillCircle(c, nearEye + Vec2{W * 0.014f, -H * 0.006f}, W * 0.005f, hex(0xffffff));
    strokePath(
        c,
        cubicCurve(at(0.62f, 0.115f), at(0.66f, 0.09f), at(0.7f, 0.112f), at(0.755f, 0.098f), 16),
        W * 0.026f, hex(0x1a1018));
    fillCircle(c, at(0.69f, 0.2f), W * 0.018f, hex(0xff80a0, 0.45f), 3.0f);
}

namespace {

// Television static: grey noise smeared along the scan lines, a brighter rolling band, and a few
// torn lines. Each frame has its own start value and band position.
void snow(Canvas& c, uint64_t startValue, float bandY) {
    int W = c.width(), H = c.height();
    Random rng(startValue);
    std::vector<float> line(static_cast<size_t>(W));
    for (int y = 0; y < H; ++y) {
        float band = std::exp(-std::pow((float(y) - bandY * float(H)) / (0.08f * float(H)), 2.0f));
        bool torn = rng.uniform() < 0.015f;
        float shift = torn ? rng.range(-40, 40) : 0;
        float prev = rng.uniform();
        for (int x = 0; x < W; ++x) {
            float v = 0.65f * rng.uniform() + 0.35f * prev;
            prev = v;
            line[size_t(x)] = v;
        }
        for (int x = 0; x < W; ++x) {
            int sx = (x + int(shift) + W) % W;
            float v = line[size_t(sx)];
            v = clamp01(0.12f + 0.82f * v * v + 0.18f * band + (torn ? 0.15f : 0.0f));
            float* p = c.at(x, y);
            p[0] = v * 0.95f;
            p[1] = v * 0.97f;
            p[2] = v;
            p[3] = 1;
        }
    }
}

} // namespace

void drawSnow1(Canvas& c) {
    snow(c, 101, 0.2f);
}
void drawSnow2(Canvas& c) {
    snow(c, 202, 0.55f);
}
void drawSnow3(Canvas& c) {
    snow(c, 303, 0.85f);
}

} // namespace art
