#pragma once
// Text set with FreeType in Debian's DejaVu fonts, as a coverage mask that the pictures paint with
// any colour or gradient, outline, shadow or glow.
#include "Canvas.h"

#include <string>

namespace art {

enum class FontFace { Sans, SansBold, Serif, SerifBold, Mono, MonoBold };

// The font file of a face, under /usr/share/fonts/truetype/dejavu/ (package fonts-dejavu-core).
std::string fontPath(FontFace face);

// Coverage 0 to 1, rows top first. (originX, baselineY) is where the pen started, in mask pixels.
struct TextMask {
    int width = 0, height = 0;
    float originX = 0, baselineY = 0;
    std::vector<float> coverage;
    float at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return 0.0f;
        }
        return coverage[size_t(y) * width + x];
    }
};

struct TextStyle {
    FontFace face = FontFace::SansBold;
    float pixelSize = 64; // the em size in pixels
    float tracking = 0;   // extra space after each letter, pixels
    float angle = 0;      // radians, anticlockwise on screen
    float slant = 0;      // shear of x by y (0.2 gives a false italic)
    float margin = 0;     // empty border around the ink, pixels (room for outlines and blur)
};

// Sets one line of UTF-8 text. Throws std::runtime_error if the font cannot be loaded.
TextMask setText(const std::string& utf8, const TextStyle& style);

// The style with its size reduced, if need be, so the text's ink is at most `maxWidth` wide.
TextStyle fitted(const std::string& utf8, TextStyle style, float maxWidth);

// Grows the mask's ink by `radius` pixels (a round pen), for outlines.
TextMask dilated(const TextMask& m, float radius);
// Softens the mask by three box passes of `radius`.
TextMask softened(const TextMask& m, int radius);

// Paints the mask with its centre at (cx, cy) of the canvas. `paint` is a constant Rgba or a
// callable `paint(x, y) -> Rgba` in canvas pixels.
template <class Paint>
void drawText(Canvas& c, const TextMask& m, float cx, float cy, const Paint& paint,
              float opacity = 1.0f) {
    int left = int(std::lround(cx - float(m.width) * 0.5f));
    int top = int(std::lround(cy - float(m.height) * 0.5f));
    for (int y = 0; y < m.height; ++y) {
        int cyy = top + y;
        if (cyy < 0 || cyy >= c.height()) {
            continue;
        }
        for (int x = 0; x < m.width; ++x) {
            int cxx = left + x;
            if (cxx < 0 || cxx >= c.width()) {
                continue;
            }
            float cov = m.coverage[size_t(y) * m.width + x] * opacity;
            if (cov <= 0.0f) {
                continue;
            }
            if constexpr (std::is_same_v<Paint, Rgba>) {
                c.blend(cxx, cyy, paint, cov);
            } else {
                c.blend(cxx, cyy, paint(float(cxx) + 0.5f, float(cyy) + 0.5f), cov);
            }
        }
    }
}

// The usual title treatment: a soft shadow offset by (shadowDx, shadowDy), an outline of
// `outlineWidth` pixels, then the fill. Any part can be switched off with a zero alpha or width.
struct TitleLook {
    Rgba fill = Rgba{1, 1, 1, 1};
    Rgba outline = Rgba{0, 0, 0, 1};
    float outlineWidth = 0;
    Rgba shadow = Rgba{0, 0, 0, 0.6f};
    float shadowDx = 0, shadowDy = 0;
    int shadowSoftness = 0;
};
void drawTitle(Canvas& c, const std::string& utf8, TextStyle style, float cx, float cy,
               const TitleLook& look);
// The same with a gradient (or any callable) for the fill.
template <class Paint>
void drawTitleWith(Canvas& c, const std::string& utf8, TextStyle style, float cx, float cy,
                   const TitleLook& look, const Paint& fill) {
    style.margin = std::max(style.margin, look.outlineWidth + float(look.shadowSoftness) * 3 + 2);
    TextMask m = setText(utf8, style);
    if (look.shadow.a > 0) {
        TextMask s = look.outlineWidth > 0 ? dilated(m, look.outlineWidth) : m;
        drawText(c, softened(s, look.shadowSoftness), cx + look.shadowDx, cy + look.shadowDy,
                 look.shadow);
    }
    if (look.outlineWidth > 0 && look.outline.a > 0) {
        drawText(c, dilated(m, look.outlineWidth), cx, cy, look.outline);
    }
    drawText(c, m, cx, cy, fill);
}

} // namespace art
