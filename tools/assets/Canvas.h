#pragma once
// The drawing kit of the asset generator: a float RGBA canvas, soft-edged shapes given as signed
// distance functions, gradients, value noise and a small deterministic random generator.
//
// Coordinates are canvas pixels: x from 0 (left) to width (right), y from 0 (top) to height
// (bottom); the centre of pixel (i, j) is (i + 0.5, j + 0.5). Pixels are stored premultiplied,
// rows top first, each red, green, blue, alpha in 0 to 1.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace art {

// A straight (not premultiplied) colour, channels 0 to 1.
struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// 0xRRGGBB with an opacity.
inline Rgba hex(uint32_t rgb, float alpha = 1.0f) {
    return Rgba{float((rgb >> 16) & 0xff) / 255.0f, float((rgb >> 8) & 0xff) / 255.0f,
                float(rgb & 0xff) / 255.0f, alpha};
}
inline Rgba withAlpha(Rgba c, float alpha) {
    c.a = alpha;
    return c;
}
inline float clamp01(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}
inline float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}
inline Rgba mix(Rgba a, Rgba b, float t) {
    return Rgba{lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t), lerp(a.a, b.a, t)};
}
// Multiplies the colour (not the opacity) by `k`; k above 1 lightens.
inline Rgba shade(Rgba c, float k) {
    return Rgba{clamp01(c.r * k), clamp01(c.g * k), clamp01(c.b * k), c.a};
}
inline float smoothstep(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

struct Vec2 {
    float x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator-(Vec2 a, Vec2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec2 operator*(Vec2 a, float k) {
    return {a.x * k, a.y * k};
}
inline float dot(Vec2 a, Vec2 b) {
    return a.x * b.x + a.y * b.y;
}
inline float length(Vec2 a) {
    return std::sqrt(dot(a, a));
}

// An axis-aligned region in canvas pixels; shapes only touch pixels inside their bounds.
struct Bounds {
    float x0, y0, x1, y1;
};

class Canvas {
  public:
    Canvas(int width, int height, Rgba fill = Rgba{});

    int width() const { return width_; }
    int height() const { return height_; }
    // The premultiplied pixel at column x, row y (row 0 at the top).
    float* at(int x, int y) { return &pixels_[(size_t(y) * width_ + x) * 4]; }
    const float* at(int x, int y) const { return &pixels_[(size_t(y) * width_ + x) * 4]; }
    std::vector<float>& data() { return pixels_; }
    const std::vector<float>& data() const { return pixels_; }

    // Source-over of a straight colour at `coverage` (0 to 1) onto one pixel.
    void blend(int x, int y, Rgba c, float coverage) {
        float a = c.a * coverage;
        if (a <= 0.0f) {
            return;
        }
        float* p = at(x, y);
        float keep = 1.0f - a;
        p[0] = c.r * a + p[0] * keep;
        p[1] = c.g * a + p[1] * keep;
        p[2] = c.b * a + p[2] * keep;
        p[3] = a + p[3] * keep;
    }

    // Source-over of another canvas of the same size, shifted by (dx, dy) whole pixels.
    void composite(const Canvas& layer, float opacity = 1.0f, int dx = 0, int dy = 0);
    // The straight colour at a pixel (black where fully transparent).
    Rgba colourAt(int x, int y) const;

  private:
    int width_;
    int height_;
    std::vector<float> pixels_;
};

// Coverage of a pixel whose centre lies `d` pixels outside a shape's edge (negative inside).
// `soft` is the width of the edge ramp in pixels: 1 gives a crisp anti-aliased edge, more a blur.
inline float coverageAt(float d, float soft) {
    return clamp01(0.5f - d / soft);
}

// Paints every pixel of `b` by a signed distance function `sdf(x, y)` (pixels, negative inside)
// and a paint: a constant Rgba or a callable `paint(x, y) -> Rgba`.
template <class Sdf, class Paint>
void fillShape(Canvas& c, Bounds b, const Sdf& sdf, const Paint& paint, float soft = 1.0f) {
    int x0 = std::max(0, int(std::floor(b.x0 - soft - 1)));
    int y0 = std::max(0, int(std::floor(b.y0 - soft - 1)));
    int x1 = std::min(c.width(), int(std::ceil(b.x1 + soft + 1)));
    int y1 = std::min(c.height(), int(std::ceil(b.y1 + soft + 1)));
    for (int y = y0; y < y1; ++y) {
        float py = float(y) + 0.5f;
        for (int x = x0; x < x1; ++x) {
            float px = float(x) + 0.5f;
            float cov = coverageAt(sdf(px, py), soft);
            if (cov <= 0.0f) {
                continue;
            }
            if constexpr (std::is_same_v<Paint, Rgba>) {
                c.blend(x, y, paint, cov);
            } else {
                c.blend(x, y, paint(px, py), cov);
            }
        }
    }
}

// Paints every pixel of the canvas with `paint(x, y)`.
template <class Paint> void fillAll(Canvas& c, const Paint& paint) {
    fillShape(
        c, Bounds{0, 0, float(c.width()), float(c.height())}, [](float, float) { return -1e9f; },
        paint, 1.0f);
}

// Signed distances (pixels; negative inside).
float sdCircle(Vec2 p, Vec2 centre, float radius);
// An ellipse with radii (rx, ry) turned by `angle` radians (clockwise on screen, y down).
float sdEllipse(Vec2 p, Vec2 centre, float rx, float ry, float angle = 0.0f);
// A box from (x0, y0) to (x1, y1) with corners rounded by `radius`.
float sdRoundBox(Vec2 p, float x0, float y0, float x1, float y1, float radius);
// A segment from a to b, thickened to `width` with round ends.
float sdCapsule(Vec2 p, Vec2 a, Vec2 b, float width);
// A closed polygon, either winding.
float sdPolygon(Vec2 p, const std::vector<Vec2>& pts);

Bounds boundsOf(const std::vector<Vec2>& pts, float margin = 0.0f);

// Shapes over the distance functions above; `paint` is a constant Rgba or a callable.
template <class Paint>
void fillCircle(Canvas& c, Vec2 centre, float r, const Paint& paint, float soft = 1.0f) {
    fillShape(
        c, Bounds{centre.x - r, centre.y - r, centre.x + r, centre.y + r},
        [&](float x, float y) {
            return sdCircle({x, y}, centre, r);
        },
        paint, soft);
}
template <class Paint>
void fillEllipse(Canvas& c, Vec2 centre, float rx, float ry, float angle, const Paint& paint,
                 float soft = 1.0f) {
    float m = std::max(rx, ry);
    fillShape(
        c, Bounds{centre.x - m, centre.y - m, centre.x + m, centre.y + m},
        [&](float x, float y) {
            return sdEllipse({x, y}, centre, rx, ry, angle);
        },
        paint, soft);
}
template <class Paint>
void fillRect(Canvas& c, float x0, float y0, float x1, float y1, float radius, const Paint& paint,
              float soft = 1.0f) {
    fillShape(
        c, Bounds{x0, y0, x1, y1},
        [&](float x, float y) {
            return sdRoundBox({x, y}, x0, y0, x1, y1, radius);
        },
        paint, soft);
}
template <class Paint>
void fillPolygon(Canvas& c, const std::vector<Vec2>& pts, const Paint& paint, float soft = 1.0f) {
    fillShape(
        c, boundsOf(pts),
        [&](float x, float y) {
            return sdPolygon({x, y}, pts);
        },
        paint, soft);
}
template <class Paint>
void strokeLine(Canvas& c, Vec2 a, Vec2 b, float width, const Paint& paint, float soft = 1.0f) {
    float h = width * 0.5f;
    fillShape(
        c,
        Bounds{std::min(a.x, b.x) - h, std::min(a.y, b.y) - h, std::max(a.x, b.x) + h,
               std::max(a.y, b.y) + h},
        [&](float x, float y) {
            return sdCapsule({x, y}, a, b, width);
        },
        paint, soft);
}
// An open polyline as one shape, so overlapping joints are painted once.
template <class Paint>
void strokePath(Canvas& c, const std::vector<Vec2>& pts, float width, const Paint& paint,
                float soft = 1.0f) {
    fillShape(
        c, boundsOf(pts, width * 0.5f),
        [&](float x, float y) {
            float d = 1e9f;
            for (size_t i = 0; i + 1 < pts.size(); ++i) {
                d = std::min(d, sdCapsule({x, y}, pts[i], pts[i + 1], width));
            }
            return d;
        },
        paint, soft);
}
template <class Paint>
void strokeCircle(Canvas& c, Vec2 centre, float r, float width, const Paint& paint,
                  float soft = 1.0f) {
    float m = r + width;
    fillShape(
        c, Bounds{centre.x - m, centre.y - m, centre.x + m, centre.y + m},
        [&](float x, float y) {
            return std::fabs(sdCircle({x, y}, centre, r)) - width * 0.5f;
        },
        paint, soft);
}
template <class Paint>
void strokePolygon(Canvas& c, const std::vector<Vec2>& pts, float width, const Paint& paint,
                   float soft = 1.0f) {
    fillShape(
        c, boundsOf(pts, width),
        [&](float x, float y) {
            return std::fabs(sdPolygon({x, y}, pts)) - width * 0.5f;
        },
        paint, soft);
}

// Points on a quadratic or cubic Bezier curve, for paths and outlines.
std::vector<Vec2> quadCurve(Vec2 a, Vec2 control, Vec2 b, int steps = 16);
std::vector<Vec2> cubicCurve(Vec2 a, Vec2 c1, Vec2 c2, Vec2 b, int steps = 24);
// A star or burst: `points` spikes between radii `inner` and `outer`, first spike at `angle`.
std::vector<Vec2> starPoints(Vec2 centre, float inner, float outer, int points, float angle = 0);

// Gradients as paints.
struct LinearGradient {
    Vec2 from, to;
    std::vector<std::pair<float, Rgba>> stops; // positions 0 to 1, ascending
    Rgba operator()(float x, float y) const;
};
struct RadialGradient {
    Vec2 centre;
    float radius;
    std::vector<std::pair<float, Rgba>> stops;
    Rgba operator()(float x, float y) const;
};
Rgba sampleStops(const std::vector<std::pair<float, Rgba>>& stops, float t);

// A small deterministic generator (xorshift64*). The start value picks the sequence.
class Random {
  public:
    explicit Random(uint64_t startValue) : state_(startValue * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    // Uniform in [0, 1).
    float uniform() { return float(next() >> 40) / float(1ull << 24); }
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return int(next() % uint64_t(n)); }

  private:
    uint64_t state_;
};

// Smooth value noise in about -1 to 1, lattice spacing 1; `salt` picks an independent field.
float valueNoise(float x, float y, uint32_t salt);
// Fractal sum of `octaves` noise layers, each twice the frequency and half the weight.
float fractalNoise(float x, float y, int octaves, uint32_t salt);

// A copy of the canvas blurred by three box passes of radius `radius` (about a Gaussian).
Canvas blurred(const Canvas& c, int radius);

} // namespace art
