// The slide series: holiday slides in one mount, each with its number and caption.
#include "Figures.h"
#include "Pictures.h"
#include "Text.h"

#include <functional>
#include <string>

namespace art {

namespace {

// The window of the mount, in canvas pixels.
struct Window {
    float x0, y0, x1, y1;
    float w() const { return x1 - x0; }
    float h() const { return y1 - y0; }
    Vec2 at(float u, float v) const { return Vec2{x0 + u * w(), y0 + v * h()}; }
};

void slide(Canvas& c, int number, const char* caption,
           const std::function<void(Canvas&, const Window&)>& scene) {
    float W = float(c.width()), H = float(c.height());
    fillAll(c, hex(0x141414));
    // The projected square of light around the mount.
    fillRect(c, W * 0.08f, H * 0.03f, W * 0.92f, H * 0.97f, 6, hex(0x2a2824));
    Window win{W * 0.17f, H * 0.1f, W * 0.83f, H * 0.8f};
    fillRect(c, win.x0 - W * 0.06f, win.y0 - H * 0.05f, win.x1 + W * 0.06f, H * 0.93f, 14,
             hex(0xeeeadf));
    Canvas picture(c.width(), c.height());
    scene(picture, win);
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 0; x < c.width(); ++x) {
            if (float(x) < win.x0 || float(x) >= win.x1 || float(y) < win.y0 ||
                float(y) >= win.y1) {
                float* p = picture.at(x, y);
                p[0] = p[1] = p[2] = p[3] = 0;
            }
        }
    }
    c.composite(picture);
    strokePolygon(c, {{win.x0, win.y0}, {win.x1, win.y0}, {win.x1, win.y1}, {win.x0, win.y1}}, 3,
                  hex(0x9a9484));
    TextStyle s;
    s.face = FontFace::Sans;
    s.pixelSize = H * 0.055f;
    TitleLook look;
    look.fill = hex(0x3a342a);
    look.shadow.a = 0;
    drawTitle(c, caption, s, W * 0.5f, H * 0.865f, look);
    TextStyle n;
    n.face = FontFace::SansBold;
    n.pixelSize = H * 0.06f;
    look.fill = hex(0xb02a20);
    drawTitle(c, std::to_string(number), n, win.x1 + W * 0.02f, H * 0.865f, look);
}

void sky(Canvas& c, const Window& w, float horizonV, Rgba top, Rgba bottom) {
    fillRect(c, w.x0, w.y0, w.x1, w.at(0, horizonV).y, 0, [&](float, float y) {
        return mix(top, bottom, clamp01((y - w.y0) / (w.at(0, horizonV).y - w.y0)));
    });
}

void ground(Canvas& c, const Window& w, float fromV, Rgba near, Rgba far) {
    fillRect(c, w.x0, w.at(0, fromV).y, w.x1, w.y1, 0, [&](float, float y) {
        return mix(far, near, clamp01((y - w.at(0, fromV).y) / (w.y1 - w.at(0, fromV).y)));
    });
}

void pine(Canvas& c, Vec2 foot, float height, Rgba colour) {
    strokeLine(c, foot, foot - Vec2{0, height * 0.25f}, height * 0.06f, hex(0x4a3020));
    for (int k = 0; k < 3; ++k) {
        float base = foot.y - height * (0.15f + 0.25f * float(k));
        float half = height * (0.3f - 0.07f * float(k));
        fillPolygon(c,
                    {{foot.x - half, base}, {foot.x + half, base}, {foot.x, base - height * 0.42f}},
                    shade(colour, 1.0f + 0.08f * float(k)));
    }
}

} // namespace

void drawSlide1(Canvas& c) {
    slide(c, 1, "the mountains", [](Canvas& p, const Window& w) {
        sky(p, w, 0.7f, hex(0x4a8ae0), hex(0xd0e8ff));
        for (int k = 0; k < 3; ++k) {
            float cx = 0.2f + 0.32f * float(k), top = 0.12f + 0.1f * float(k % 2);
            std::vector<Vec2> peak = {w.at(cx - 0.35f, 0.75f), w.at(cx, top),
                                      w.at(cx + 0.35f, 0.75f)};
            fillPolygon(p, peak, k == 1 ? hex(0x6a7a90) : hex(0x5a6a80));
            fillPolygon(p,
                        {w.at(cx - 0.1f, top + 0.15f), w.at(cx, top), w.at(cx + 0.1f, top + 0.15f),
                         w.at(cx + 0.04f, top + 0.12f), w.at(cx - 0.02f, top + 0.17f)},
                        hex(0xffffff));
        }
        ground(p, w, 0.72f, hex(0x2a6a2a), hex(0x5a9a4a));
        for (int k = 0; k < 7; ++k) {
            pine(p, w.at(0.05f + 0.15f * float(k), 0.95f - 0.04f * float(k % 2)), w.h() * 0.3f,
                 hex(0x1a4a2a));
        }
    });
}

void drawSlide2(Canvas& c) {
    slide(c, 2, "the lake", [](Canvas& p, const Window& w) {
        sky(p, w, 0.5f, hex(0x5a9ae8), hex(0xe0f0ff));
        cloud(p, w.at(0.3f, 0.25f), w.w() * 0.25f, hex(0xffffff), 7);
        hills(p, w.at(0, 0.5f).y, w.h() * 0.15f, w.w() * 0.3f, w.at(0, 0.52f).y, hex(0x3a7a3a),
              hex(0x4a8a4a), 13);
        fillRect(p, w.x0, w.at(0, 0.52f).y, w.x1, w.y1, 0, [&](float x, float y) {
            float t = (y - w.at(0, 0.52f).y) / (w.h() * 0.48f);
            return shade(mix(hex(0x7ab0e0), hex(0x2a5a9a), t),
                         1.0f + 0.08f * valueNoise(x / 30.0f, y / 3.0f, 14));
        });
        // A sailing boat.
        Vec2 b = w.at(0.6f, 0.72f);
        fillPolygon(p, {b + Vec2{-60, 0}, b + Vec2{60, 0}, b + Vec2{45, 18}, b + Vec2{-45, 18}},
                    hex(0x8a3a2a));
        fillPolygon(p, {b + Vec2{0, -8}, b + Vec2{0, -120}, b + Vec2{55, -8}}, hex(0xffffff));
        fillPolygon(p, {b + Vec2{-6, -8}, b + Vec2{-6, -100}, b + Vec2{-50, -8}}, hex(0xf0e0c0));
        fillRect(p, b.x - 60, b.y + 20, b.x + 60, b.y + 26, 3, hex(0x1a3a6a, 0.5f));
    });
}

void drawSlide3(Canvas& c) {
    slide(c, 3, "the forest", [](Canvas& p, const Window& w) {
        sky(p, w, 0.6f, hex(0xa0d0f0), hex(0xf0f8e0));
        Random rng(33);
        for (int row = 0; row < 3; ++row) {
            Rgba col = mix(hex(0x6a9a7a), hex(0x1a4a22), float(row) / 2.0f);
            for (int k = 0; k < 10; ++k) {
                float u = (float(k) + rng.range(-0.3f, 0.3f)) / 9.0f;
                pine(p, w.at(u, 0.55f + 0.2f * float(row)), w.h() * (0.35f + 0.15f * float(row)),
                     col);
            }
        }
        ground(p, w, 0.9f, hex(0x2a4a1a), hex(0x3a5a2a));
        // Light falling between the trees.
        for (int k = 0; k < 4; ++k) {
            float u = 0.15f + 0.22f * float(k);
            fillPolygon(p, {w.at(u, 0), w.at(u + 0.06f, 0), w.at(u + 0.2f, 1), w.at(u + 0.1f, 1)},
                        hex(0xfff8c0, 0.18f), 6.0f);
        }
    });
}

void drawSlide4(Canvas& c) {
    slide(c, 4, "the desert", [](Canvas& p, const Window& w) {
        sky(p, w, 0.6f, hex(0x3a7ad8), hex(0xffe0a0));
        fillCircle(p, w.at(0.75f, 0.22f), w.h() * 0.09f, hex(0xfff0a0));
        hills(p, w.at(0, 0.6f).y, w.h() * 0.12f, w.w() * 0.25f, w.y1, hex(0xe0b060), hex(0xc08a40),
              15);
        hills(p, w.at(0, 0.78f).y, w.h() * 0.1f, w.w() * 0.2f, w.y1, hex(0xf0c070), hex(0xd09a50),
              16);
        for (float u : {0.22f, 0.6f}) {
            Vec2 f = w.at(u, 0.9f);
            float h = w.h() * (u < 0.5f ? 0.4f : 0.28f);
            Rgba g = hex(0x3a8a3a);
            strokeLine(p, f, f - Vec2{0, h}, h * 0.18f, g);
            strokePath(p,
                       {f - Vec2{0, h * 0.45f}, f - Vec2{h * 0.25f, h * 0.45f},
                        f - Vec2{h * 0.25f, h * 0.75f}},
                       h * 0.12f, g);
            strokePath(p,
                       {f - Vec2{0, h * 0.55f}, f - Vec2{-h * 0.22f, h * 0.55f},
                        f - Vec2{-h * 0.22f, h * 0.8f}},
                       h * 0.12f, g);
        }
    });
}

void drawSlide5(Canvas& c) {
    slide(c, 5, "the city at night", [](Canvas& p, const Window& w) {
        sky(p, w, 1.0f, hex(0x0a0a2a), hex(0x2a2a5a));
        Random rng(55);
        for (int k = 0; k < 60; ++k) {
            fillCircle(p, w.at(rng.uniform(), rng.range(0, 0.5f)), rng.range(0.8f, 1.8f),
                       hex(0xffffff, rng.range(0.4f, 1.0f)));
        }
        fillCircle(p, w.at(0.8f, 0.18f), w.h() * 0.07f, hex(0xfff8d8));
        fillCircle(p, w.at(0.82f, 0.16f), w.h() * 0.065f, hex(0x1a1a40));
        float x = w.x0;
        while (x < w.x1) {
            float bw = rng.range(40, 90), top = w.at(0, rng.range(0.3f, 0.7f)).y;
            fillRect(p, x, top, x + bw, w.y1, 0, hex(0x16162a));
            for (float wy = top + 10; wy < w.y1 - 10; wy += 18) {
                for (float wx = x + 8; wx < x + bw - 12; wx += 16) {
                    if (rng.uniform() < 0.45f) {
                        fillRect(p, wx, wy, wx + 8, wy + 10, 0, hex(0xffd870));
                    }
                }
            }
            x += bw + 4;
        }
    });
}

void drawSlide7(Canvas& c) {
    slide(c, 7, "the beach", [](Canvas& p, const Window& w) {
        sky(p, w, 0.5f, hex(0x2a9ae8), hex(0xc0f0ff));
        fillRect(p, w.x0, w.at(0, 0.5f).y, w.x1, w.at(0, 0.7f).y, 0, hex(0x1aa0c0));
        fillRect(p, w.x0, w.at(0, 0.5f).y, w.x1, w.at(0, 0.515f).y, 0, hex(0x0a7aa0));
        fillShape(
            p, Bounds{w.x0, w.at(0, 0.62f).y, w.x1, w.y1},
            [&](float x, float y) {
                return w.at(0, 0.68f).y + 8 * std::sin((x - w.x0) / 40.0f) - y;
            },
            hex(0xf0d8a0));
        // Palm tree.
        Vec2 base = w.at(0.2f, 0.95f), top = w.at(0.3f, 0.25f);
        strokePath(p, quadCurve(base, w.at(0.18f, 0.5f), top, 12), w.w() * 0.03f, hex(0x8a5a2a));
        for (int k = 0; k < 6; ++k) {
            float a = float(k) * 1.05f;
            Vec2 end = top + Vec2{std::cos(a) * w.w() * 0.16f, std::sin(a) * w.h() * 0.12f + 20};
            strokePath(p, quadCurve(top, top + (end - top) * 0.5f - Vec2{0, 30}, end, 10),
                       w.w() * 0.025f, hex(0x2a8a2a));
        }
        // A beach umbrella.
        Vec2 u = w.at(0.7f, 0.6f);
        strokeLine(p, u, w.at(0.71f, 0.92f), 5, hex(0x606060));
        fillShape(
            p, Bounds{u.x - 90, u.y - 50, u.x + 90, u.y + 2},
            [&](float x, float y) {
                return std::max(sdEllipse({x, y}, u, 90, 45), y - u.y);
            },
            [&](float x, float) {
                return int(std::floor((x - u.x) / 30.0f)) % 2 ? hex(0xe83a3a) : hex(0xffffff);
            });
    });
}

void drawSlide8(Canvas& c) {
    slide(c, 8, "the lighthouse", [](Canvas& p, const Window& w) {
        sky(p, w, 0.6f, hex(0x2a4a8a), hex(0xf0b080));
        water(p, w.at(0, 0.6f).y, w.y1, hex(0x4a6a9a), hex(0x1a3a6a), 18);
        std::vector<Vec2> cliff = {w.at(0.45f, 1.0f),  w.at(0.55f, 0.62f), w.at(0.7f, 0.55f),
                                   w.at(0.95f, 0.57f), w.at(1.0f, 0.6f),   w.at(1.0f, 1.0f)};
        fillPolygon(p, cliff, hex(0x4a3a2a));
        Vec2 foot = w.at(0.8f, 0.56f);
        float lh = w.h() * 0.42f, lw = w.w() * 0.05f;
        std::vector<Vec2> tower = {foot + Vec2{-lw, 0}, foot + Vec2{lw, 0},
                                   foot + Vec2{lw * 0.7f, -lh}, foot + Vec2{-lw * 0.7f, -lh}};
        fillPolygon(p, tower, [&](float, float y) {
            return int((foot.y - y) / (lh / 5)) % 2 ? hex(0xd02a2a) : hex(0xffffff);
        });
        Vec2 lamp = foot - Vec2{0, lh + 14};
        fillPolygon(p, {lamp, lamp + Vec2{-w.w() * 0.5f, -40}, lamp + Vec2{-w.w() * 0.5f, 40}},
                    hex(0xfff4b0, 0.35f), 4.0f);
        fillRect(p, lamp.x - lw * 0.7f, lamp.y - 16, lamp.x + lw * 0.7f, lamp.y + 14, 3,
                 hex(0xfff0a0));
        fillPolygon(p, {lamp + Vec2{-lw, -16}, lamp + Vec2{lw, -16}, lamp + Vec2{0, -40}},
                    hex(0x2a2a2a));
    });
}

void drawSlide9(Canvas& c) {
    slide(c, 9, "the balloons", [](Canvas& p, const Window& w) {
        sky(p, w, 0.8f, hex(0x5ab0ff), hex(0xe8f6ff));
        hills(p, w.at(0, 0.8f).y, w.h() * 0.1f, w.w() * 0.3f, w.y1, hex(0x5aaa4a), hex(0x3a8a3a),
              19);
        struct B {
            float u, v, s;
            uint32_t a, b;
        };
        for (B b :
             {B{0.25f, 0.35f, 1.0f, 0xe83a3a, 0xffd030}, B{0.6f, 0.25f, 0.8f, 0x3a7ae8, 0xffffff},
              B{0.82f, 0.5f, 0.6f, 0x9a3ae8, 0x3ae87a}}) {
            Vec2 c0 = w.at(b.u, b.v);
            float r = w.h() * 0.15f * b.s;
            fillEllipse(p, c0, r * 0.85f, r, 0, [&](float x, float) {
                return int(std::floor((x - c0.x) / (r * 0.35f) + 10)) % 2 ? hex(b.a) : hex(b.b);
            });
            strokeLine(p, c0 + Vec2{-r * 0.4f, r * 0.8f}, c0 + Vec2{-r * 0.2f, r * 1.35f}, 2,
                       hex(0x404040));
            strokeLine(p, c0 + Vec2{r * 0.4f, r * 0.8f}, c0 + Vec2{r * 0.2f, r * 1.35f}, 2,
                       hex(0x404040));
            fillRect(p, c0.x - r * 0.22f, c0.y + r * 1.35f, c0.x + r * 0.22f, c0.y + r * 1.6f, 3,
                     hex(0x8a5a2a));
        }
    });
}

} // namespace art
