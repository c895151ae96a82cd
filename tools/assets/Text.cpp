#include "Text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <mutex>
#include <stdexcept>

namespace art {

std::string fontPath(FontFace face) {
    const char* dir = "/usr/share/fonts/truetype/dejavu/";
    switch (face) {
    case FontFace::Sans:
        return std::string(dir) + "DejaVuSans.ttf";
    case FontFace::SansBold:
        return std::string(dir) + "DejaVuSans-Bold.ttf";
    case FontFace::Serif:
        return std::string(dir) + "DejaVuSerif.ttf";
    case FontFace::SerifBold:
        return std::string(dir) + "DejaVuSerif-Bold.ttf";
    case FontFace::Mono:
        return std::string(dir) + "DejaVuSansMono.ttf";
    case FontFace::MonoBold:
        return std::string(dir) + "DejaVuSansMono-Bold.ttf";
    }
    return {};
}

namespace {

std::vector<uint32_t> decodeUtf8(const std::string& s) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + size_t(extra) >= s.size()) {
            out.push_back(0xfffd);
            ++i;
            continue;
        }
        uint32_t cp = extra == 0 ? c : (c & (0x3f >> extra));
        for (int k = 1; k <= extra; ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + size_t(k)]) & 0x3f);
        }
        out.push_back(cp);
        i += size_t(extra) + 1;
    }
    return out;
}

// One FreeType library and one face per font file per thread: FreeType objects are not to be
// shared between threads, and the generator draws pictures on two.
struct FontCache {
    FT_Library library = nullptr;
    std::map<FontFace, FT_Face> faces;
    FontCache() {
        if (FT_Init_FreeType(&library) != 0) {
            throw std::runtime_error("FreeType could not start");
        }
    }
    ~FontCache() {
        for (auto& f : faces) {
            FT_Done_Face(f.second);
        }
        FT_Done_FreeType(library);
    }
    FT_Face face(FontFace which) {
        auto it = faces.find(which);
        if (it != faces.end()) {
            return it->second;
        }
        FT_Face f = nullptr;
        std::string path = fontPath(which);
        if (FT_New_Face(library, path.c_str(), 0, &f) != 0) {
            throw std::runtime_error("cannot load font " + path +
                                     " (Debian package fonts-dejavu-core)");
        }
        faces[which] = f;
        return f;
    }
};

FontCache& fonts() {
    thread_local FontCache cache;
    return cache;
}

} // namespace

TextMask setText(const std::string& utf8, const TextStyle& style) {
    FT_Face face = fonts().face(style.face);
    FT_Set_Char_Size(face, 0, FT_F26Dot6(style.pixelSize * 64.0f), 72, 72);
    float cs = std::cos(style.angle), sn = std::sin(style.angle);
    // FreeType's y axis points up; the matrix turns anticlockwise and shears x by y.
    FT_Matrix matrix;
    matrix.xx = FT_Fixed(cs * 65536.0f);
    matrix.xy = FT_Fixed((-sn + cs * style.slant) * 65536.0f);
    matrix.yx = FT_Fixed(sn * 65536.0f);
    matrix.yy = FT_Fixed((cs + sn * style.slant) * 65536.0f);

    struct Placed {
        int left, top, width, rows;
        std::vector<float> cov;
    };
    std::vector<Placed> glyphs;
    FT_Vector pen{0, 0};
    FT_UInt previous = 0;
    bool kerning = FT_HAS_KERNING(face);
    for (uint32_t cp : decodeUtf8(utf8)) {
        FT_UInt index = FT_Get_Char_Index(face, cp);
        if (kerning && previous && index) {
            FT_Vector delta;
            FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &delta);
            pen.x += FT_Pos(cs * float(delta.x));
            pen.y += FT_Pos(sn * float(delta.x));
        }
        FT_Set_Transform(face, &matrix, &pen);
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) {
            continue;
        }
        FT_GlyphSlot g = face->glyph;
        Placed p{g->bitmap_left, g->bitmap_top, int(g->bitmap.width), int(g->bitmap.rows), {}};
        p.cov.resize(size_t(p.width) * p.rows);
        for (int y = 0; y < p.rows; ++y) {
            for (int x = 0; x < p.width; ++x) {
                p.cov[size_t(y) * p.width + x] =
                    float(g->bitmap.buffer[y * g->bitmap.pitch + x]) / 255.0f;
            }
        }
        glyphs.push_back(std::move(p));
        // The advance comes back turned by the transform; tracking is added along the line.
        pen.x += g->advance.x + FT_Pos(style.tracking * 64.0f * cs);
        pen.y += g->advance.y + FT_Pos(style.tracking * 64.0f * sn);
        previous = index;
    }
    FT_Set_Transform(face, nullptr, nullptr);

    TextMask m;
    if (glyphs.empty()) {
        return m;
    }
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -(1 << 30), y1 = -(1 << 30);
    for (const Placed& p : glyphs) {
        x0 = std::min(x0, p.left);
        x1 = std::max(x1, p.left + p.width);
        y0 = std::min(y0, -p.top);
        y1 = std::max(y1, -p.top + p.rows);
    }
    int margin = int(std::ceil(style.margin));
    m.width = x1 - x0 + 2 * margin;
    m.height = y1 - y0 + 2 * margin;
    m.originX = float(margin - x0);
    m.baselineY = float(margin - y0);
    m.coverage.assign(size_t(m.width) * m.height, 0.0f);
    for (const Placed& p : glyphs) {
        int ox = p.left - x0 + margin, oy = -p.top - y0 + margin;
        for (int y = 0; y < p.rows; ++y) {
            for (int x = 0; x < p.width; ++x) {
                float& dst = m.coverage[size_t(oy + y) * m.width + (ox + x)];
                float src = p.cov[size_t(y) * p.width + x];
                dst = dst + src - dst * src;
            }
        }
    }
    return m;
}

TextStyle fitted(const std::string& utf8, TextStyle style, float maxWidth) {
    TextStyle probe = style;
    probe.margin = 0;
    float width = float(setText(utf8, probe).width);
    if (width > maxWidth && width > 0) {
        style.pixelSize *= maxWidth / width;
        style.tracking *= maxWidth / width;
    }
    return style;
}

TextMask dilated(const TextMask& m, float radius) {
    TextMask out = m;
    int r = int(std::ceil(radius));
    // Separable would be square; a round pen needs the disc, which is small enough here.
    std::vector<std::pair<int, int>> offsets;
    std::vector<float> weights;
    for (int dy = -r; dy <= r; ++dy) {
        for (int dx = -r; dx <= r; ++dx) {
            float d = std::sqrt(float(dx * dx + dy * dy));
            float w = clamp01(radius + 0.5f - d);
            if (w > 0) {
                offsets.push_back({dx, dy});
                weights.push_back(w);
            }
        }
    }
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            float best = 0.0f;
            for (size_t k = 0; k < offsets.size() && best < 1.0f; ++k) {
                best =
                    std::max(best, m.at(x + offsets[k].first, y + offsets[k].second) * weights[k]);
            }
            out.coverage[size_t(y) * m.width + x] = best;
        }
    }
    return out;
}

TextMask softened(const TextMask& m, int radius) {
    if (radius <= 0) {
        return m;
    }
    Canvas c(m.width, m.height);
    for (size_t i = 0; i < m.coverage.size(); ++i) {
        c.data()[i * 4 + 3] = m.coverage[i];
    }
    Canvas b = blurred(c, radius);
    TextMask out = m;
    for (size_t i = 0; i < m.coverage.size(); ++i) {
        out.coverage[i] = b.data()[i * 4 + 3];
    }
    return out;
}

void drawTitle(Canvas& c, const std::string& utf8, TextStyle style, float cx, float cy,
               const TitleLook& look) {
    drawTitleWith(c, utf8, style, cx, cy, look, look.fill);
}

} // namespace art
