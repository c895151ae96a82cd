// The opening and closing pictures: the group, the title card, the news ident, the crew cards
// and the sunset.
#include "Figures.h"
#include "Pictures.h"
#include "Text.h"

namespace art {

void drawZvq(Canvas& c) {
    float W = float(c.width()), H = float(c.height());
    fillAll(c,
            RadialGradient{{W * 0.5f, H * 0.45f},
                           W * 0.7f,
                           {{0.0f, hex(0x1a2548)}, {0.6f, hex(0x0a0f22)}, {1.0f, hex(0x03040a)}}});
    // A scatter of faint stars.
    Random rng(17);
    for (int i = 0; i < 140; ++i) {
        Vec2 p{rng.range(0, W), rng.range(0, H)};
        float r = rng.range(0.6f, 1.8f);
        fillCircle(c, p, r, hex(0xc8d8ff, rng.range(0.25f, 0.8f)));
    }
    glow(c, {W * 0.5f, H * 0.42f}, W * 0.42f, hex(0x3a6cff, 0.35f));
    TextStyle big;
    big.face = FontFace::SansBold;
    big.pixelSize = H * 0.55f;
    big.tracking = H * 0.02f;
    TitleLook look;
    look.outline = hex(0x0a1030);
    look.outlineWidth = H * 0.012f;
    look.shadow = hex(0x000000, 0.7f);
    look.shadowDx = H * 0.015f;
    look.shadowDy = H * 0.02f;
    look.shadowSoftness = 6;
    drawTitleWith(c, "ZVQ", big, W * 0.5f, H * 0.42f, look,
                  LinearGradient{{0, H * 0.2f},
                                 {0, H * 0.62f},
                                 {{0.0f, hex(0xffffff)},
                                  {0.45f, hex(0x9fd0ff)},
                                  {0.5f, hex(0x4a86e8)},
                                  {1.0f, hex(0xc0e4ff)}}});
    TextStyle small;
    small.face = FontFace::Sans;
    small.pixelSize = H * 0.085f;
    small.tracking = H * 0.035f;
    TitleLook plain;
    plain.fill = hex(0xd8e4ff);
    plain.shadow.a = 0;
    drawTitle(c, "presents", small, W * 0.5f, H * 0.8f, plain);
    fillRect(c, W * 0.3f, H * 0.715f, W * 0.7f, H * 0.72f, 1, hex(0x6a8ad0, 0.8f));
}

void drawTitleCard(Canvas& c) {
    float W = float(c.width()), H = float(c.height());
    Vec2 centre{W * 0.5f, H * 0.52f};
    // A sunburst of alternating rays.
    fillAll(c, [&](float x, float y) {
        float a = std::atan2(y - centre.y, x - centre.x);
        float ray = std::sin(a * 14.0f) > 0 ? 1.0f : 0.0f;
        float r = length(Vec2{x, y} - centre) / W;
        Rgba base = mix(hex(0xffcf3a), hex(0xff6a1a), clamp01(r * 1.6f));
        return shade(base, 0.9f + 0.12f * ray);
    });
    glow(c, centre, W * 0.35f, hex(0xfff4c0, 0.7f));
    // A television screen frames the title.
    float tw = W * 0.72f, th = H * 0.64f;
    fillRect(c, centre.x - tw * 0.5f + 10, centre.y - th * 0.5f + 14, centre.x + tw * 0.5f + 10,
             centre.y + th * 0.5f + 14, H * 0.08f, hex(0x000000, 0.35f), 12.0f);
    fillRect(c, centre.x - tw * 0.5f, centre.y - th * 0.5f, centre.x + tw * 0.5f,
             centre.y + th * 0.5f, H * 0.08f,
             LinearGradient{{0, centre.y - th * 0.5f},
                            {0, centre.y + th * 0.5f},
                            {{0.0f, hex(0x8a5a30)}, {1.0f, hex(0x4a2c14)}}});
    float sw = tw * 0.86f, shh = th * 0.78f;
    fillRect(c, centre.x - sw * 0.5f, centre.y - shh * 0.5f, centre.x + sw * 0.5f,
             centre.y + shh * 0.5f, H * 0.06f,
             RadialGradient{centre, sw * 0.6f, {{0.0f, hex(0x2a6ac8)}, {1.0f, hex(0x0c1c48)}}});
    // Antennas.
    strokeLine(c, {centre.x - 10, centre.y - th * 0.5f}, {centre.x - W * 0.09f, H * 0.02f}, 6,
               hex(0x303030));
    strokeLine(c, {centre.x + 10, centre.y - th * 0.5f}, {centre.x + W * 0.1f, H * 0.03f}, 6,
               hex(0x303030));
    fillCircle(c, {centre.x - W * 0.09f, H * 0.02f}, 9, hex(0xe03030));
    fillCircle(c, {centre.x + W * 0.1f, H * 0.03f}, 9, hex(0xe03030));

    TextStyle title;
    title.face = FontFace::SansBold;
    title.pixelSize = H * 0.2f;
    title.slant = 0.15f;
    TitleLook look;
    look.fill = hex(0xffffff);
    look.outline = hex(0xc0201a);
    look.outlineWidth = H * 0.014f;
    look.shadow = hex(0x000000, 0.55f);
    look.shadowDx = 5;
    look.shadowDy = 7;
    look.shadowSoftness = 3;
    drawTitleWith(c, "PRIME TIME", title, centre.x, centre.y - H * 0.08f, look,
                  LinearGradient{{0, centre.y - H * 0.18f},
                                 {0, centre.y + H * 0.02f},
                                 {{0.0f, hex(0xffffff)}, {1.0f, hex(0xffe070)}}});
    title.pixelSize = H * 0.13f;
    drawTitleWith(c, "PARADE", title, centre.x, centre.y + H * 0.12f, look,
                  LinearGradient{{0, centre.y + H * 0.05f},
                                 {0, centre.y + H * 0.19f},
                                 {{0.0f, hex(0xffffff)}, {1.0f, hex(0xffe070)}}});
    // A ribbon along the bottom.
    float ry = H * 0.9f;
    std::vector<Vec2> ribbon = {{W * 0.28f, ry - 24}, {W * 0.72f, ry - 24}, {W * 0.75f, ry},
                                {W * 0.72f, ry + 24}, {W * 0.28f, ry + 24}, {W * 0.25f, ry}};
    fillPolygon(c, ribbon, hex(0xc0201a));
    TextStyle sub;
    sub.face = FontFace::SansBold;
    sub.pixelSize = 30;
    sub.tracking = 4;
    TitleLook plain;
    plain.shadow.a = 0;
    drawTitle(c, "A ZVQ PRODUCTION", sub, W * 0.5f, ry, plain);
}

void drawNewsLogo(Canvas& c) {
    float W = float(c.width()), H = float(c.height());
    // Flat bands so the run-length file stays small: a deep blue field with a lighter middle band.
    fillAll(c, hex(0x0a2a6a));
    fillRect(c, 0, H * 0.08f, W, H * 0.92f, 0, hex(0x0e3a8a));
    for (int i = 0; i < 12; ++i) {
        float y = H * (0.12f + 0.07f * float(i));
        fillRect(c, 0, y, W, y + 2, 0, hex(0x1a4a9a));
    }
    // The globe.
    Vec2 g{W * 0.27f, H * 0.47f};
    float r = H * 0.33f;
    glow(c, g, r * 1.45f, hex(0x6ab4ff, 0.45f));
    fillCircle(c, g, r, hex(0x1c6ad8));
    fillCircle(c, g - Vec2{r * 0.3f, r * 0.3f}, r * 0.55f, hex(0x3a8aef));
    Rgba line = hex(0xd8ecff);
    float lw = r * 0.03f;
    for (int i = -2; i <= 2; ++i) {
        float yy = g.y + float(i) * r * 0.38f;
        float half = std::sqrt(std::max(0.0f, r * r - (yy - g.y) * (yy - g.y)));
        strokeLine(c, {g.x - half, yy}, {g.x + half, yy}, lw, line);
    }
    for (float k : {0.0f, 0.45f, 0.85f}) {
        fillShape(
            c, Bounds{g.x - r, g.y - r, g.x + r, g.y + r},
            [&](float x, float y) {
                return std::fabs(sdEllipse({x, y}, g, std::max(r * k, 0.5f), r)) - lw * 0.5f;
            },
            line);
    }
    strokeCircle(c, g, r, lw * 1.6f, line);
    // Orbit ring.
    fillShape(
        c, Bounds{g.x - r * 1.5f, g.y - r, g.x + r * 1.5f, g.y + r},
        [&](float x, float y) {
            return std::fabs(sdEllipse({x, y}, g, r * 1.42f, r * 0.4f, -0.35f)) - lw;
        },
        hex(0xffd040));
    // The channel's name on a red bar.
    float bx = W * 0.5f;
    fillRect(c, bx, H * 0.28f, W * 0.96f, H * 0.62f, 10, hex(0xd01c1c));
    fillRect(c, bx, H * 0.56f, W * 0.96f, H * 0.62f, 0, hex(0x9a1010));
    TextStyle name;
    name.face = FontFace::SansBold;
    name.pixelSize = H * 0.22f;
    TitleLook plain;
    plain.shadow.a = 0;
    float barWidth = W * 0.96f - bx;
    drawTitle(c, "ZVQ NEWS", fitted("ZVQ NEWS", name, barWidth * 0.86f), (bx + W * 0.96f) * 0.5f,
              H * 0.42f, plain);
    TextStyle sub;
    sub.face = FontFace::SansBold;
    sub.pixelSize = H * 0.075f;
    sub.tracking = 6;
    TitleLook white;
    white.fill = hex(0xffffff);
    white.shadow.a = 0;
    drawTitle(c, "THE EVENING REPORT", fitted("THE EVENING REPORT", sub, barWidth * 0.9f),
              (bx + W * 0.96f) * 0.5f, H * 0.72f, white);
    fillRect(c, bx, H * 0.8f, W * 0.96f, H * 0.81f, 0, hex(0xffd040));
}

namespace {

// The crew emblem: a hexagonal ring of six segments around the group's initials; a card shows
// the first `segments` of them lit.
void crewCard(Canvas& c, int segments, const char* role, const char* name) {
    float W = float(c.width()), H = float(c.height());
    fillAll(c, hex(0x160a26));
    for (int i = 0; i < 6; ++i) {
        float y = H * (0.08f + 0.16f * float(i));
        fillRect(c, 0, y, W, y + 3, 0, hex(0x22113a));
    }
    Vec2 e{W * 0.27f, H * 0.5f};
    float ro = H * 0.36f, ri = H * 0.24f;
    static const uint32_t colours[6] = {0xff4a6a, 0xffa03a, 0xffe04a, 0x4ae08a, 0x3ab8ff, 0xa06aff};
    for (int k = 0; k < 6; ++k) {
        float a0 = float(M_PI) / 3.0f * float(k) - float(M_PI) / 2.0f;
        float a1 = a0 + float(M_PI) / 3.0f;
        auto corner = [&](float a, float r) {
            return Vec2{e.x + r * std::cos(a), e.y + r * std::sin(a)};
        };
        float gap = 0.04f;
        std::vector<Vec2> seg = {corner(a0 + gap, ro), corner(a1 - gap, ro),
                                 corner(a1 - gap * 1.5f, ri), corner(a0 + gap * 1.5f, ri)};
        bool lit = k < segments;
        fillPolygon(c, seg, lit ? hex(colours[k]) : hex(0x2c1c44));
        if (lit && k == segments - 1) {
            // The newest segment stands out.
            strokePolygon(c, seg, 5, hex(0xffffff));
        }
    }
    TextStyle mono;
    mono.face = FontFace::SansBold;
    mono.pixelSize = H * 0.15f;
    TitleLook plain;
    plain.fill = segments == 6 ? hex(0xffffff) : hex(0x8a7aa8);
    plain.shadow.a = 0;
    drawTitle(c, "ZVQ", mono, e.x, e.y, plain);

    TextStyle roleStyle;
    roleStyle.face = FontFace::Sans;
    roleStyle.pixelSize = H * 0.08f;
    roleStyle.tracking = 8;
    TitleLook roleLook;
    roleLook.fill = hex(colours[segments - 1]);
    roleLook.shadow.a = 0;
    float tx = (e.x + ro + W) * 0.5f;
    float room = (W - e.x - ro) * 0.85f;
    drawTitle(c, role, fitted(role, roleStyle, room), tx, H * 0.36f, roleLook);
    TextStyle nameStyle;
    nameStyle.face = FontFace::SansBold;
    nameStyle.pixelSize = H * 0.13f;
    TitleLook nameLook;
    nameLook.fill = hex(0xffffff);
    nameLook.shadow.a = 0;
    drawTitle(c, name, fitted(name, nameStyle, room), tx, H * 0.55f, nameLook);
    // Step dots: which card of six this is.
    for (int k = 0; k < 6; ++k) {
        Vec2 p{tx - 100 + 40 * float(k), H * 0.76f};
        if (k < segments) {
            fillCircle(c, p, 10, hex(colours[k]));
        } else {
            strokeCircle(c, p, 9, 3, hex(0x4a3a64));
        }
    }
}

} // namespace

void drawCrewCard1(Canvas& c) {
    crewCard(c, 1, "CODE", "Tinfoil");
}
void drawCrewCard2(Canvas& c) {
    crewCard(c, 2, "GRAPHICS", "Moss & Pixel");
}
void drawCrewCard3(Canvas& c) {
    crewCard(c, 3, "MUSIC", "Kestrel");
}
void drawCrewCard4(Canvas& c) {
    crewCard(c, 4, "GREETINGS", "all riders");
}
void drawCrewCard5(Canvas& c) {
    crewCard(c, 5, "MORE GREETINGS", "the audience");
}
void drawCrewCard6(Canvas& c) {
    crewCard(c, 6, "ZVQ IS", "the whole crew");
}

void drawSunset(Canvas& c) {
    float W = float(c.width()), H = float(c.height());
    float horizon = H * 0.6f;
    fillVertical(c, 0, horizon, hex(0x2a1850), hex(0xff8a3a));
    fillRect(c, 0, horizon * 0.55f, W, horizon, 0, [&](float, float y) {
        return withAlpha(hex(0xffc060), 0.7f * smoothstep(horizon * 0.55f, horizon, y));
    });
    Vec2 sun{W * 0.5f, horizon};
    glow(c, sun, H * 0.6f, hex(0xffd080, 0.6f));
    fillCircle(c, sun, H * 0.14f,
               LinearGradient{{0, sun.y - H * 0.14f},
                              {0, sun.y},
                              {{0.0f, hex(0xfff2a0)}, {1.0f, hex(0xff9a30)}}});
    // Thin clouds across the sun.
    for (int i = 0; i < 4; ++i) {
        float y = horizon - H * (0.05f + 0.07f * float(i));
        fillEllipse(c, {W * (0.3f + 0.15f * float(i)), y}, W * 0.22f, H * 0.012f, 0,
                    hex(0x6a2a5a, 0.7f), 3.0f);
    }
    // Water below the horizon with the sun's path on it.
    water(c, horizon, H, hex(0xa04a50), hex(0x1a1030), 5);
    fillRect(c, 0, horizon, W, H, 0, [&](float x, float y) {
        float t = (y - horizon) / (H - horizon);
        float half = W * (0.06f + 0.16f * t);
        float streak = 0.5f + 0.5f * valueNoise(x / 18.0f, y / 2.5f, 9);
        float k = (1.0f - smoothstep(half * 0.3f, half, std::fabs(x - sun.x))) * streak;
        return withAlpha(hex(0xffd070), 0.85f * k * (1.0f - 0.5f * t));
    });
    // Two islands, dark against the sky.
    for (Vec2 isle : {Vec2{W * 0.14f, H * 0.07f}, Vec2{W * 0.83f, H * 0.045f}}) {
        float rx = isle.x < W * 0.5f ? W * 0.16f : W * 0.11f;
        fillShape(
            c, Bounds{isle.x - rx, horizon - isle.y * 1.5f, isle.x + rx, horizon + 1},
            [&](float x, float y) {
                float bumps = 0.35f * isle.y * valueNoise(x / 25.0f, 0.0f, 31);
                return std::max(sdEllipse({x, y}, {isle.x, horizon}, rx, isle.y + bumps),
                                y - horizon - 1);
            },
            hex(0x1a0c24));
    }
    TextStyle end;
    end.face = FontFace::SerifBold;
    end.pixelSize = H * 0.16f;
    end.tracking = H * 0.02f;
    TitleLook look;
    look.fill = hex(0xfff0d8);
    look.shadow = hex(0x2a0a20, 0.7f);
    look.shadowDx = 4;
    look.shadowDy = 5;
    look.shadowSoftness = 5;
    drawTitle(c, "the end", end, W * 0.5f, H * 0.2f, look);
}

} // namespace art
