#include "Canvas.h"

namespace art {

Canvas::Canvas(int width, int height, Rgba fill)
    : width_(width), height_(height), pixels_(size_t(width) * height * 4) {
    for (size_t i = 0; i < pixels_.size(); i += 4) {
        pixels_[i + 0] = fill.r * fill.a;
        pixels_[i + 1] = fill.g * fill.a;
        pixels_[i + 2] = fill.b * fill.a;
        pixels_[i + 3] = fill.a;
    }
}

void Canvas::composite(const Canvas& layer, float opacity, int dx, int dy) {
    for (int y = 0; y < height_; ++y) {
        int sy = y - dy;
        if (sy < 0 || sy >= layer.height_) {
            continue;
        }
        for (int x = 0; x < width_; ++x) {
            int sx = x - dx;
            if (sx < 0 || sx >= layer.width_) {
                continue;
            }
            const float* s = layer.at(sx, sy);
            float a = s[3] * opacity;
            if (a <= 0.0f) {
                continue;
            }
            float* p = at(x, y);
            float keep = 1.0f - a;
            p[0] = s[0] * opacity + p[0] * keep;
            p[1] = s[1] * opacity + p[1] * keep;
            p[2] = s[2] * opacity + p[2] * keep;
            p[3] = a + p[3] * keep;
        }
    }
}

Rgba Canvas::colourAt(int x, int y) const {
    const float* p = at(x, y);
    if (p[3] <= 0.0f) {
        return Rgba{};
    }
    return Rgba{p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

float sdCircle(Vec2 p, Vec2 centre, float radius) {
    return length(p - centre) - radius;
}

float sdEllipse(Vec2 p, Vec2 centre, float rx, float ry, float angle) {
    Vec2 q = p - centre;
    if (angle != 0.0f) {
        float cs = std::cos(angle), sn = std::sin(angle);
        q = Vec2{q.x * cs + q.y * sn, -q.x * sn + q.y * cs};
    }
    // First-order distance estimate: exact on the edge, which is all anti-aliasing needs.
    float k0 = length(Vec2{q.x / rx, q.y / ry});
    float k1 = length(Vec2{q.x / (rx * rx), q.y / (ry * ry)});
    if (k1 <= 1e-9f) {
        return -std::min(rx, ry);
    }
    return k0 * (k0 - 1.0f) / k1;
}

float sdRoundBox(Vec2 p, float x0, float y0, float x1, float y1, float radius) {
    Vec2 centre{(x0 + x1) * 0.5f, (y0 + y1) * 0.5f};
    Vec2 half{(x1 - x0) * 0.5f - radius, (y1 - y0) * 0.5f - radius};
    Vec2 q{std::fabs(p.x - centre.x) - half.x, std::fabs(p.y - centre.y) - half.y};
    Vec2 outside{std::max(q.x, 0.0f), std::max(q.y, 0.0f)};
    return length(outside) + std::min(std::max(q.x, q.y), 0.0f) - radius;
}

float sdCapsule(Vec2 p, Vec2 a, Vec2 b, float width) {
    Vec2 pa = p - a, ba = b - a;
    float len2 = dot(ba, ba);
    float h = len2 > 0.0f ? clamp01(dot(pa, ba) / len2) : 0.0f;
    return length(pa - ba * h) - width * 0.5f;
}

float sdPolygon(Vec2 p, const std::vector<Vec2>& v) {
    // Distance to the nearest edge, signed by the even-odd crossing rule.
    float d = dot(p - v[0], p - v[0]);
    bool inside = false;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
        Vec2 e = v[j] - v[i];
        Vec2 w = p - v[i];
        float len2 = dot(e, e);
        float h = len2 > 0.0f ? clamp01(dot(w, e) / len2) : 0.0f;
        Vec2 b = w - e * h;
        d = std::min(d, dot(b, b));
        bool c1 = p.y >= v[i].y, c2 = p.y<v[j].y, c3 = e.x * w.y> e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) {
            inside = !inside;
        }
    }
    return (inside ? -1.0f : 1.0f) * std::sqrt(d);
}

Bounds boundsOf(const std::vector<Vec2>& pts, float margin) {
    Bounds b{1e9f, 1e9f, -1e9f, -1e9f};
    for (Vec2 p : pts) {
        b.x0 = std::min(b.x0, p.x);
        b.y0 = std::min(b.y0, p.y);
        b.x1 = std::max(b.x1, p.x);
        b.y1 = std::max(b.y1, p.y);
    }
    return Bounds{b.x0 - margin, b.y0 - margin, b.x1 + margin, b.y1 + margin};
}

std::vector<Vec2> quadCurve(Vec2 a, Vec2 control, Vec2 b, int steps) {
    std::vector<Vec2> pts;
    for (int i = 0; i <= steps; ++i) {
        float t = float(i) / float(steps), u = 1.0f - t;
        pts.push_back(a * (u * u) + control * (2 * u * t) + b * (t * t));
    }
    return pts;
}

std::vector<Vec2> cubicCurve(Vec2 a, Vec2 c1, Vec2 c2, Vec2 b, int steps) {
    std::vector<Vec2> pts;
    for (int i = 0; i <= steps; ++i) {
        float t = float(i) / float(steps), u = 1.0f - t;
        pts.push_back(a * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) +
                      b * (t * t * t));
    }
    return pts;
}

std::vector<Vec2> starPoints(Vec2 centre, float inner, float outer, int points, float angle) {
    std::vector<Vec2> pts;
    for (int i = 0; i < points * 2; ++i) {
        float r = (i % 2 == 0) ? outer : inner;
        float a = angle + float(M_PI) * float(i) / float(points);
        pts.push_back(Vec2{centre.x + r * std::sin(a), centre.y - r * std::cos(a)});
    }
    return pts;
}

Rgba sampleStops(const std::vector<std::pair<float, Rgba>>& stops, float t) {
    if (t <= stops.front().first) {
        return stops.front().second;
    }
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].first) {
            float span = stops[i].first - stops[i - 1].first;
            float k = span > 0.0f ? (t - stops[i - 1].first) / span : 1.0f;
            return mix(stops[i - 1].second, stops[i].second, k);
        }
    }
    return stops.back().second;
}

Rgba LinearGradient::operator()(float x, float y) const {
    Vec2 d = to - from;
    float len2 = dot(d, d);
    float t = len2 > 0.0f ? dot(Vec2{x, y} - from, d) / len2 : 0.0f;
    return sampleStops(stops, t);
}

Rgba RadialGradient::operator()(float x, float y) const {
    return sampleStops(stops, length(Vec2{x, y} - centre) / radius);
}

namespace {

// A hash of a lattice point to -1 to 1.
float latticeValue(int32_t x, int32_t y, uint32_t salt) {
    uint32_t h = uint32_t(x) * 0x8da6b343u ^ uint32_t(y) * 0xd8163841u ^ salt * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return float(h & 0xffffff) / float(0x7fffff) - 1.0f;
}

} // namespace

float valueNoise(float x, float y, uint32_t salt) {
    float fx = std::floor(x), fy = std::floor(y);
    int32_t ix = int32_t(fx), iy = int32_t(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    float a = latticeValue(ix, iy, salt), b = latticeValue(ix + 1, iy, salt);
    float c = latticeValue(ix, iy + 1, salt), d = latticeValue(ix + 1, iy + 1, salt);
    return lerp(lerp(a, b, tx), lerp(c, d, tx), ty);
}

float fractalNoise(float x, float y, int octaves, uint32_t salt) {
    float sum = 0.0f, weight = 0.5f, total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * valueNoise(x, y, salt + uint32_t(i) * 101u);
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        weight *= 0.5f;
    }
    return sum / total;
}

namespace {

// One box pass of radius r along each row, all four channels at once; beyond the edges counts
// as transparent.
void boxRows(std::vector<float>& px, int width, int height, int r) {
    std::vector<float> line(size_t(width) * 4);
    float norm = 1.0f / float(2 * r + 1);
    for (int y = 0; y < height; ++y) {
        float* row = &px[size_t(y) * width * 4];
        std::copy(row, row + size_t(width) * 4, line.begin());
        float sum[4] = {0, 0, 0, 0};
        for (int i = 0; i <= std::min(r, width - 1); ++i) {
            for (int ch = 0; ch < 4; ++ch) {
                sum[ch] += line[size_t(i) * 4 + ch];
            }
        }
        for (int x = 0; x < width; ++x) {
            int add = x + r + 1, drop = x - r;
            for (int ch = 0; ch < 4; ++ch) {
                row[size_t(x) * 4 + ch] = sum[ch] * norm;
                if (add < width) {
                    sum[ch] += line[size_t(add) * 4 + ch];
                }
                if (drop >= 0) {
                    sum[ch] -= line[size_t(drop) * 4 + ch];
                }
            }
        }
    }
}

// The same down the columns, a whole row of running sums at a time so memory is read in order.
void boxColumns(std::vector<float>& px, int width, int height, int r) {
    size_t stride = size_t(width) * 4;
    std::vector<float> source = px;
    std::vector<float> sum(stride, 0.0f);
    float norm = 1.0f / float(2 * r + 1);
    for (int y = 0; y <= std::min(r, height - 1); ++y) {
        for (size_t k = 0; k < stride; ++k) {
            sum[k] += source[size_t(y) * stride + k];
        }
    }
    for (int y = 0; y < height; ++y) {
        float* out = &px[size_t(y) * stride];
        for (size_t k = 0; k < stride; ++k) {
            out[k] = sum[k] * norm;
        }
        int add = y + r + 1, drop = y - r;
        if (add < height) {
            const float* in = &source[size_t(add) * stride];
            for (size_t k = 0; k < stride; ++k) {
                sum[k] += in[k];
            }
        }
        if (drop >= 0) {
            const float* in = &source[size_t(drop) * stride];
            for (size_t k = 0; k < stride; ++k) {
                sum[k] -= in[k];
            }
        }
    }
}

} // namespace

Canvas blurred(const Canvas& c, int radius) {
    Canvas out = c;
    if (radius <= 0) {
        return out;
    }
    for (int pass = 0; pass < 3; ++pass) {
        boxRows(out.data(), c.width(), c.height(), radius);
        boxColumns(out.data(), c.width(), c.height(), radius);
    }
    return out;
}

} // namespace art
