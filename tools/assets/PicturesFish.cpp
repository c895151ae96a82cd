// The fish tableau: a harbour panorama that pans, a group portrait, the fish in both moods, a
// figure that drops in, a speech bubble of ponies and a cartoon shotgun.
#include "Figures.h"
#include "Pictures.h"
#include "Text.h"

namespace art {

void drawPanorama(Canvas& c) {
    float W = float(c.width()), H = float(c.height());
    float sea = H * 0.55f;
    fillVertical(c, 0, sea, hex(0x4a90e0), hex(0xd8ecff));
    cloud(c, {W * 0.1f, H * 0.2f}, W * 0.09f, hex(0xffffff, 0.95f), 21);
    cloud(c, {W * 0.38f, H * 0.14f}, W * 0.07f, hex(0xffffff, 0.9f), 22);
    cloud(c, {W * 0.62f, H * 0.24f}, W * 0.1f, hex(0xffffff, 0.92f), 23);
    cloud(c, {W * 0.88f, H * 0.12f}, W * 0.06f, hex(0xffffff, 0.9f), 24);
    hills(c, sea, H * 0.2f, W * 0.12f, sea + 2, hex(0x7a90b0), hex(0x90a8c0), 25);
    water(c, sea, H, hex(0x5a9ad0), hex(0x1a5a9a), 26);
    // The harbour town on the left.
    Random rng(27);
    float x = W * 0.02f;
    static const uint32_t walls[6] = {0xe8d0a0, 0xd86a4a, 0xf0e8d8, 0x6aa0c8, 0xe8b040, 0xa0c86a};
    int i = 0;
    while (x < W * 0.3f) {
        float bw = rng.range(50, 80), bh = rng.range(60, 110);
        float base = H * 0.66f;
        fillRect(c, x, base - bh, x + bw, base, 0, hex(walls[i % 6]));
        fillPolygon(c,
                    {{x - 6, base - bh}, {x + bw + 6, base - bh}, {x + bw * 0.5f, base - bh - 36}},
                    hex(0x8a3020));
        for (float wy = base - bh + 14; wy < base - 24; wy += 28) {
            for (float wx = x + 10; wx < x + bw - 16; wx += 22) {
                fillRect(c, wx, wy, wx + 11, wy + 14, 1, hex(0x2a3a5a));
            }
        }
        fillRect(c, x + bw * 0.4f, base - 26, x + bw * 0.6f, base, 1, hex(0x5a3a20));
        x += bw + 4;
        ++i;
    }
    // The quay in front of the houses.
    fillRect(c, 0, H * 0.66f, W * 0.33f, H * 0.72f, 0, hex(0x8a8a8a));
    fillRect(c, 0, H * 0.72f, W * 0.33f, H * 0.75f, 0, hex(0x5a5a5a));
    // A long pier reaching out to the right, on posts.
    float pierY = H * 0.62f;
    fillRect(c, W * 0.45f, pierY, W * 0.95f, pierY + 10, 0, hex(0x8a6040));
    for (float px = W * 0.46f; px < W * 0.95f; px += 46) {
        strokeLine(c, {px, pierY}, {px, pierY + 50}, 6, hex(0x5a3a20));
    }
    // A lighthouse at the end of the pier.
    Vec2 foot{W * 0.93f, pierY};
    fillPolygon(
        c, {foot + Vec2{-16, 0}, foot + Vec2{16, 0}, foot + Vec2{10, -120}, foot + Vec2{-10, -120}},
        [&](float, float y) {
            return int((foot.y - y) / 24.0f) % 2 ? hex(0xd02a2a) : hex(0xffffff);
        });
    fillRect(c, foot.x - 12, foot.y - 140, foot.x + 12, foot.y - 120, 2, hex(0xfff0a0));
    fillPolygon(c, {foot + Vec2{-16, -140}, foot + Vec2{16, -140}, foot + Vec2{0, -160}},
                hex(0x2a2a2a));
    // Sailing boats.
    for (float bx : {0.4f, 0.7f}) {
        Vec2 b{W * bx, H * 0.72f};
        fillPolygon(c, {b + Vec2{-50, 0}, b + Vec2{50, 0}, b + Vec2{38, 16}, b + Vec2{-38, 16}},
                    hex(0x2a4a8a));
        fillPolygon(c, {b + Vec2{0, -6}, b + Vec2{0, -100}, b + Vec2{44, -6}}, hex(0xffffff));
        fillPolygon(c, {b + Vec2{-5, -6}, b + Vec2{-5, -80}, b + Vec2{-40, -6}}, hex(0xffe0c0));
    }
    // Gulls.
    for (int k = 0; k < 5; ++k) {
        Vec2 g{W * (0.2f + 0.15f * float(k)), H * (0.1f + 0.06f * float(k % 3))};
        strokePath(c, {g + Vec2{-14, 0}, g + Vec2{-6, -6}, g, g + Vec2{6, -6}, g + Vec2{14, 0}}, 3,
                   hex(0x303040));
    }
    // Sand along the bottom.
    fillShape(
        c, Bounds{0, H * 0.8f, W, H},
        [&](float px, float py) { return H * 0.88f + 10 * std::sin(px / 90.0f) - py; },
        [&](float px, float py) {
            return shade(hex(0xe8cc90), 1.0f + 0.05f * fractalNoise(px / 4.0f, py / 4.0f, 2, 28));
        });
}

void drawGroupPortrait(Canvas& c) {
    float W = float(c.width()), H = float(c.height());
    struct Member {
        float u, feet, height;
        PersonLook look;
    };
    PersonLook a, b, d, e, f;
    a.hairStyle = Hair::Short;
    a.hair = hex(0x2a1a10);
    a.top = hex(0x2a8a5a);
    b.hairStyle = Hair::Long;
    b.hair = hex(0xe8c060);
    b.top = hex(0xa03ac8);
    b.dress = true;
    b.legs = hex(0x3a2a4a);
    d.hairStyle = Hair::Cap;
    d.hair = hex(0xd03030);
    d.top = hex(0xf0a020);
    d.skin = hex(0x8a5a3a);
    e.hairStyle = Hair::Bun;
    e.hair = hex(0x1a1a1a);
    e.top = hex(0x3a6ad0);
    e.skin = hex(0xe8c090);
    f.hairStyle = Hair::Short;
    f.hair = hex(0xa04a1a);
    f.top = hex(0xe04a4a);
    f.sunglasses = true;
    // Back row first, a little higher and smaller.
    Member members[5] = {{0.3f, 0.92f, 0.85f, b},
                         {0.7f, 0.92f, 0.86f, d},
                         {0.14f, 1.0f, 0.86f, a},
                         {0.5f, 1.0f, 0.9f, e},
                         {0.86f, 1.0f, 0.84f, f}};
    for (const Member& m : members) {
        person(c, m.look, Vec2{W * m.u, H * m.feet - 3}, H * m.height);
    }
}

void drawFriendlyFish(Canvas& c) {
    float W = float(c.width()), H = float(c.height());
    fish(c, W * 0.04f, H * 0.06f, W * 0.96f, H * 0.94f, false);
}

void drawFlippedFish(Canvas& c) {
    float W = float(c.width()), H = float(c.height());
    fish(c, W * 0.04f, H * 0.06f, W * 0.96f, H * 0.94f, true);
}

void drawBrakko(Canvas& c) {
    float W = float(c.width()), H = float(c.height());
    PersonLook look;
    look.hairStyle = Hair::Cap;
    look.hair = hex(0x202a3a);
    look.top = hex(0x5a5a5a);
    look.legs = hex(0x2a3a5a);
    look.skin = hex(0xe0a880);
    look.build = 1.6f;
    look.sunglasses = true;
    look.armsCrossed = true;
    look.smile = -0.4f;
    person(c, look, Vec2{W * 0.5f, H - 3}, H * 0.98f);
}

void drawPonyBubble(Canvas& c) {
    float W = float(c.width()), H = float(c.height());
    Vec2 centre{W * 0.52f, H * 0.44f};
    float rx = W * 0.45f, ry = H * 0.4f;
    std::vector<Vec2> tail = {{W * 0.2f, H * 0.7f}, {W * 0.03f, H * 0.98f}, {W * 0.34f, H * 0.78f}};
    auto bubble = [&](float x, float y, float grow) {
        return std::min(sdEllipse({x, y}, centre, rx + grow, ry + grow),
                        sdPolygon({x, y}, tail) - grow);
    };
    fillShape(
        c, Bounds{0, 0, W, H}, [&](float x, float y) { return bubble(x, y, 8); }, hex(0x101010));
    fillShape(
        c, Bounds{0, 0, W, H}, [&](float x, float y) { return bubble(x, y, 0); }, hex(0xffffff));
    TextStyle s;
    s.face = FontFace::SansBold;
    s.pixelSize = H * 0.15f;
    s.angle = 0.04f;
    TitleLook look;
    look.fill = hex(0xe0208a);
    look.outline = hex(0x5a0a3a);
    look.outlineWidth = 3;
    look.shadow.a = 0;
    drawTitle(c, "OMG PONIES!", s, centre.x, H * 0.2f, look);
    pony(c, {W * 0.3f, H * 0.52f}, H * 0.24f, hex(0xffb0d8), hex(0x8a4ae8), true);
    pony(c, {W * 0.55f, H * 0.55f}, H * 0.26f, hex(0xb0e0ff), hex(0xffe04a), true);
    pony(c, {W * 0.79f, H * 0.52f}, H * 0.24f, hex(0xfff0a0), hex(0xff5a5a), false);
    for (Vec2 h :
         {Vec2{W * 0.14f, H * 0.4f}, Vec2{W * 0.9f, H * 0.3f}, Vec2{W * 0.42f, H * 0.74f}}) {
        // Little hearts.
        fillCircle(c, h + Vec2{-7, 0}, 9, hex(0xff4a8a));
        fillCircle(c, h + Vec2{7, 0}, 9, hex(0xff4a8a));
        fillPolygon(c, {h + Vec2{-16, 3}, h + Vec2{16, 3}, h + Vec2{0, 20}}, hex(0xff4a8a));
    }
}

void drawShotgun(Canvas& c) {
    float W = float(c.width()), H = float(c.height());
    Rgba ink = hex(0x1a1410);
    float ow = 5;
    auto outlined = [&](const std::vector<Vec2>& pts, Rgba fill) {
        strokePolygon(c, pts, ow * 2, ink);
        fillPolygon(c, pts, fill);
    };
    auto wood = [&](float x, float y) {
        float grain =
            0.5f + 0.5f * std::sin(y / 6.0f + 3.0f * valueNoise(x / 60.0f, y / 20.0f, 61));
        return mix(hex(0x8a4a1a), hex(0xb06a2a), grain);
    };
    // Stock.
    std::vector<Vec2> stock = {{W * 0.03f, H * 0.62f}, {W * 0.06f, H * 0.42f},
                               {W * 0.3f, H * 0.42f},  {W * 0.38f, H * 0.46f},
                               {W * 0.38f, H * 0.56f}, {W * 0.3f, H * 0.6f},
                               {W * 0.08f, H * 0.8f},  {W * 0.03f, H * 0.8f}};
    strokePolygon(c, stock, ow * 2, ink);
    fillPolygon(c, stock, wood);
    fillRect(c, W * 0.025f, H * 0.6f, W * 0.05f, H * 0.82f, 4, hex(0x2a2020));
    // Barrels: two long tubes side by side.
    for (int k = 0; k < 2; ++k) {
        float y0 = H * (0.36f + 0.08f * float(k)), y1 = y0 + H * 0.08f;
        fillRect(c, W * 0.4f - ow, y0 - ow, W * 0.97f + ow, y1 + ow, H * 0.04f, ink);
        fillRect(c, W * 0.4f, y0, W * 0.97f, y1, H * 0.035f, [&](float, float y) {
            float t = (y - y0) / (y1 - y0);
            return mix(hex(0x9aa0aa), hex(0x3a3e46), std::fabs(t - 0.3f) * 1.4f);
        });
        fillCircle(c, {W * 0.965f, (y0 + y1) * 0.5f}, H * 0.025f, hex(0x080808));
    }
    // Receiver with a trigger and guard.
    outlined({{W * 0.34f, H * 0.36f},
              {W * 0.45f, H * 0.36f},
              {W * 0.45f, H * 0.58f},
              {W * 0.34f, H * 0.58f}},
             hex(0x6a6e78));
    fillRect(c, W * 0.35f, H * 0.39f, W * 0.44f, H * 0.43f, 3, hex(0xb0b4bc));
    strokePath(
        c, quadCurve({W * 0.35f, H * 0.58f}, {W * 0.38f, H * 0.78f}, {W * 0.44f, H * 0.58f}, 12), 8,
        ink);
    strokeLine(c, {W * 0.39f, H * 0.58f}, {W * 0.385f, H * 0.68f}, 7, ink);
    // Fore-end under the barrels.
    std::vector<Vec2> fore = {{W * 0.5f, H * 0.52f},
                              {W * 0.72f, H * 0.52f},
                              {W * 0.7f, H * 0.62f},
                              {W * 0.52f, H * 0.62f}};
    strokePolygon(c, fore, ow * 2, ink);
    fillPolygon(c, fore, wood);
    // A cartoon shine.
    strokeLine(c, {W * 0.5f, H * 0.375f}, {W * 0.9f, H * 0.375f}, 5, hex(0xffffff, 0.8f));
    for (int k = 0; k < 3; ++k) {
        Vec2 p{W * 0.985f, H * (0.32f + 0.1f * float(k))};
        strokeLine(c, p, p + Vec2{W * 0.012f, (float(k) - 1) * H * 0.06f}, 4, ink);
    }
}

} // namespace art
