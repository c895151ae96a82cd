// The light-and-shadow composite: one stage lit and dark, the burst, the figure who rises onto it.
#include "Figures.h"
#include "Pictures.h"
#include "Text.h"

namespace art {

namespace {

// The stage, drawn once for both pictures: `lit` switches the spotlight and the house lights.
void stage(Canvas& c, bool lit) {
    float W = float(c.width()), H = float(c.height());
    float floorY = H * 0.66f;
    Vec2 spot{W * 0.5f, H * 0.86f};
    // Light falling on a point: the house light, plus the spotlight's pool when lit.
    auto light = [&](float x, float y) {
        if (!lit) {
            return 0.34f;
        }
        float pool =
            std::exp(-std::pow(length(Vec2{(x - spot.x) / 1.9f, y - spot.y}) / (H * 0.3f), 2.0f));
        float back = std::exp(
            -std::pow(length(Vec2{x - W * 0.5f, (y - H * 0.38f) * 1.2f}) / (H * 0.33f), 2.0f));
        return 0.55f + 0.7f * pool + 0.55f * back;
    };
    auto lightUp = [&](Rgba base, float x, float y) {
        Rgba c2 = shade(base, light(x, y));
        if (!lit) {
            // Moonlit blue in the dark.
            c2 = mix(c2, Rgba{c2.r * 0.5f, c2.g * 0.6f, c2.b * 1.3f + 0.02f, 1}, 0.7f);
        }
        return c2;
    };
    // Back wall: a deep backdrop with vertical panels.
    fillRect(c, 0, 0, W, floorY, 0, [&](float x, float y) {
        float panel = std::fmod(x, W / 8.0f) < 4.0f ? 0.75f : 1.0f;
        return lightUp(shade(hex(0x3a2a5a), panel), x, y);
    });
    // Floor boards in perspective towards the middle of the back wall.
    fillRect(c, 0, floorY, W, H, 0, [&](float x, float y) {
        float depth = (y - floorY) / (H - floorY);
        float u = (x - W * 0.5f) / (0.25f + 0.75f * depth);
        float seam = std::fabs(std::fmod(u + 10000.0f, 70.0f) - 35.0f) > 33.5f ? 0.65f : 1.0f;
        float grain = 1.0f + 0.06f * valueNoise(u / 80.0f, y / 2.0f, 3);
        Rgba wood = mix(hex(0x6a4020), hex(0x9a6a3a), depth);
        return lightUp(shade(wood, seam * grain), x, y);
    });
    fillRect(c, 0, floorY - 3, W, floorY + 4, 0, lightUp(hex(0x2a1a10), W * 0.5f, floorY));
    if (lit) {
        // The beam from above and the pool it makes.
        fillPolygon(
            c, {{W * 0.46f, 0}, {W * 0.54f, 0}, {W * 0.72f, spot.y}, {W * 0.28f, spot.y}},
            [&](float x, float y) {
                float edge = 1.0f - std::fabs(x - W * 0.5f) / (W * (0.04f + 0.18f * y / spot.y));
                return Rgba{1.0f, 0.97f, 0.85f, 0.16f * clamp01(edge * 2.0f)};
            },
            8.0f);
        fillEllipse(c, spot, W * 0.2f, H * 0.07f, 0, hex(0xfff4d0, 0.35f), 20.0f);
    } else {
        // An exit sign glows in the dark.
        glow(c, {W * 0.32f, H * 0.3f}, 70, hex(0x30ff60, 0.3f));
        fillRect(c, W * 0.285f, H * 0.28f, W * 0.355f, H * 0.32f, 3, hex(0x20c040));
        TextStyle s;
        s.face = FontFace::SansBold;
        s.pixelSize = H * 0.03f;
        TitleLook look;
        look.fill = hex(0xe0ffe0);
        look.shadow.a = 0;
        drawTitle(c, "EXIT", s, W * 0.32f, H * 0.3f, look);
    }
    // Curtains at both sides: folds as a shaded wave, gathered towards the floor.
    for (float side : {-1.0f, 1.0f}) {
        auto inner = [&](float y) {
            float t = y / H;
            return W * (0.2f - 0.06f * t * t);
        };
        fillShape(
            c, Bounds{side < 0 ? 0.0f : W * 0.7f, 0, side < 0 ? W * 0.3f : W, H},
            [&](float x, float y) {
                float fromEdge = side < 0 ? x : W - x;
                return fromEdge - inner(y);
            },
            [&](float x, float y) {
                float fromEdge = side < 0 ? x : W - x;
                float fold = 0.5f + 0.5f * std::sin(fromEdge / (inner(y) / 5.0f) * float(M_PI));
                Rgba red = mix(hex(0x5a0810), hex(0xc02030), fold);
                return lightUp(red, x, y);
            });
    }
    // The valance with a scalloped edge and gold fringe.
    fillShape(
        c, Bounds{0, 0, W, H * 0.2f},
        [&](float x, float y) {
            float scallop =
                H * 0.13f + H * 0.03f * std::fabs(std::sin(x / (W / 6.0f) * float(M_PI)));
            return y - scallop;
        },
        [&](float x, float y) {
            float fold = 0.5f + 0.5f * std::sin(x / 18.0f);
            return lightUp(mix(hex(0x6a0a14), hex(0xb01c2a), fold), x, y + H * 0.2f);
        });
    fillShape(
        c, Bounds{0, H * 0.1f, W, H * 0.2f},
        [&](float x, float y) {
            float scallop =
                H * 0.13f + H * 0.03f * std::fabs(std::sin(x / (W / 6.0f) * float(M_PI)));
            return std::fabs(y - scallop) - 4.0f;
        },
        lightUp(hex(0xe0b030), W * 0.5f, H * 0.3f));
}

} // namespace

void drawStageLit(Canvas& c) {
    stage(c, true);
}

void drawStageDark(Canvas& c) {
    stage(c, false);
}

void drawBang(Canvas& c) {
    float W = float(c.width()), H = float(c.height());
    Vec2 centre{W * 0.5f, H * 0.5f};
    Random rng(808);
    // A ragged burst: spikes of uneven length around an ellipse.
    std::vector<Vec2> outer, inner;
    int spikes = 18;
    for (int i = 0; i < spikes * 2; ++i) {
        float a = float(M_PI) * float(i) / float(spikes) + rng.range(-0.05f, 0.05f);
        bool tip = i % 2 == 0;
        float r = tip ? rng.range(0.88f, 1.0f) : rng.range(0.6f, 0.68f);
        Vec2 dir{std::sin(a) * W * 0.46f, -std::cos(a) * H * 0.46f};
        outer.push_back(centre + dir * r);
        inner.push_back(centre + dir * (r * (tip ? 0.78f : 0.82f)));
    }
    // Speed lines around it.
    for (int i = 0; i < 12; ++i) {
        float a = float(i) * float(M_PI) / 6.0f + 0.26f;
        Vec2 dir{std::sin(a) * W * 0.5f, -std::cos(a) * H * 0.5f};
        strokeLine(c, centre + dir * 0.88f, centre + dir * 0.98f, 7, hex(0x1a1a1a));
    }
    strokePolygon(c, outer, 16, hex(0x101010));
    fillPolygon(c, outer, hex(0xe8281a));
    fillPolygon(
        c, inner,
        RadialGradient{centre,
                       H * 0.45f,
                       {{0.0f, hex(0xfffbd0)}, {0.5f, hex(0xffe830)}, {1.0f, hex(0xffa020)}}});
    TextStyle s;
    s.face = FontFace::SansBold;
    s.pixelSize = H * 0.34f;
    s.angle = 0.1f;
    s.slant = 0.1f;
    TitleLook look;
    look.outline = hex(0x101010);
    look.outlineWidth = H * 0.022f;
    look.shadow = hex(0x101010, 1.0f);
    look.shadowDx = H * 0.018f;
    look.shadowDy = H * 0.022f;
    drawTitleWith(c, "BANG!", s, centre.x, centre.y, look,
                  LinearGradient{{0, centre.y - H * 0.15f},
                                 {0, centre.y + H * 0.15f},
                                 {{0.0f, hex(0xff4a2a)}, {1.0f, hex(0xb00a0a)}}});
}

void drawWomanFront(Canvas& c) {
    float W = float(c.width()), H = float(c.height());
    PersonLook look;
    look.dress = true;
    look.hairStyle = Hair::Long;
    look.hair = hex(0x6a3a1a);
    look.top = hex(0xd02a5a);
    look.legs = hex(0xe8b890);
    look.shoes = hex(0x8a1030);
    look.skin = hex(0xf4c8a0);
    person(c, look, Vec2{W * 0.5f, H - 3}, H * 0.98f);
}

} // namespace art
