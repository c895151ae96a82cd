// show-assets sheet DIR OUT.png: every picture of the pack as found in DIR, read by the show's
// own reader, shown upright at the shape the show gives it, over a checkerboard where it is
// transparent, with its name and form under it.
#include "Commands.h"
#include "Pack.h"
#include "Text.h"

#include "textures/TGALoader.h"

#include <stb_image_resize.h>
#include <stb_image_write.h>

#include <cstdio>
#include <fstream>

namespace {

using namespace art;

constexpr int TileHeight = 200;
constexpr int Gap = 24;
constexpr int LabelHeight = 44;
constexpr int SheetWidth = 1840;

// The descriptor byte says whether the file's first row is the top (bit 5) or the bottom.
bool storedTopRowFirst(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char header[18];
    if (!in.read(header, sizeof header)) {
        return false;
    }
    return (static_cast<unsigned char>(header[17]) & 0x20) != 0;
}

// The picture as a premultiplied canvas, top row first.
Canvas toCanvas(const tga::Image& image, bool topRowFirst) {
    Canvas c(int(image.width), int(image.height));
    int bytes = int(image.bitsPerPixel / 8);
    for (int y = 0; y < c.height(); ++y) {
        int row = topRowFirst ? y : c.height() - 1 - y;
        for (int x = 0; x < c.width(); ++x) {
            const uint8_t* s = &image.pixels[(size_t(row) * image.width + x) * bytes];
            float a = bytes == 4 ? float(s[3]) / 255.0f : 1.0f;
            float* d = c.at(x, y);
            d[0] = float(s[0]) / 255.0f * a;
            d[1] = float(s[1]) / 255.0f * a;
            d[2] = float(s[2]) / 255.0f * a;
            d[3] = a;
        }
    }
    return c;
}

void label(Canvas& sheet, const std::string& text, float cx, float cy, float size, Rgba colour,
           float maxWidth = 1e9f) {
    TextStyle s;
    s.face = FontFace::Sans;
    s.pixelSize = size;
    s = fitted(text, s, maxWidth);
    TitleLook look;
    look.fill = colour;
    look.shadow.a = 0;
    drawTitle(sheet, text, s, cx, cy, look);
}

} // namespace

int runSheet(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: show-assets sheet DIR OUT.png\n");
        return 2;
    }
    const std::string& dir = args[0];
    const std::string& out = args[1];
    const auto& pictures = packPictures();

    // Lay the tiles out in rows, left to right.
    struct Place {
        int x, y, w;
    };
    std::vector<Place> places;
    int x = Gap, y = 70;
    for (const PictureSpec& p : pictures) {
        int w = int(std::lround(TileHeight * p.shownAspect));
        if (x + w + Gap > SheetWidth) {
            x = Gap;
            y += TileHeight + LabelHeight + Gap;
        }
        places.push_back({x, y, w});
        x += w + Gap;
    }
    int height = y + TileHeight + LabelHeight + Gap;
    Canvas sheet(SheetWidth, height, hex(0x202024));
    label(sheet, "show-assets sheet: " + dir, SheetWidth * 0.5f, 32, 26, hex(0xffffff));

    int bad = 0;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const PictureSpec& p = pictures[i];
        const Place& at = places[i];
        std::string path = dir + "/" + p.file;
        tga::Image image;
        const char* failure = tga::readFile(path, image);
        // A checkerboard shows where the picture is transparent.
        fillRect(sheet, float(at.x), float(at.y), float(at.x + at.w), float(at.y + TileHeight), 0,
                 [](float px, float py) {
                     bool dark = (int(px) / 12 + int(py) / 12) % 2 == 0;
                     return dark ? hex(0x8a8a8a) : hex(0xb8b8b8);
                 });
        std::string form;
        if (failure) {
            ++bad;
            fillRect(sheet, float(at.x), float(at.y), float(at.x + at.w), float(at.y + TileHeight),
                     0, hex(0x801818));
            label(sheet, failure, at.x + at.w * 0.5f, at.y + TileHeight * 0.5f, 15, hex(0xffffff),
                  float(at.w - 8));
            form = "not readable";
        } else {
            Canvas picture = toCanvas(image, storedTopRowFirst(path));
            Canvas tile(at.w, TileHeight);
            stbir_resize_float(picture.data().data(), picture.width(), picture.height(), 0,
                               tile.data().data(), at.w, TileHeight, 0, 4);
            for (float& v : tile.data()) {
                v = clamp01(v);
            }
            for (int ty = 0; ty < TileHeight; ++ty) {
                for (int tx = 0; tx < at.w; ++tx) {
                    Rgba c = tile.colourAt(tx, ty);
                    sheet.blend(at.x + tx, at.y + ty, withAlpha(c, 1.0f), c.a);
                }
            }
            char text[96];
            std::snprintf(text, sizeof text, "%u x %u, %u-bit, type %d, %s", image.width,
                          image.height, image.bitsPerPixel, p.format.imageType,
                          storedTopRowFirst(path) ? "top row first" : "bottom row first");
            form = text;
        }
        label(sheet, p.file, at.x + at.w * 0.5f, float(at.y + TileHeight + 14), 15, hex(0xffffff),
              float(at.w));
        label(sheet, form, at.x + at.w * 0.5f, float(at.y + TileHeight + 32), 12, hex(0xa0a0b0),
              float(at.w));
    }

    std::vector<uint8_t> rgb(size_t(sheet.width()) * sheet.height() * 3);
    for (int py = 0; py < sheet.height(); ++py) {
        for (int px = 0; px < sheet.width(); ++px) {
            const float* s = sheet.at(px, py);
            for (int k = 0; k < 3; ++k) {
                rgb[(size_t(py) * sheet.width() + px) * 3 + k] =
                    uint8_t(std::min(255.0f, s[k] * 255.0f + 0.5f));
            }
        }
    }
    if (!stbi_write_png(out.c_str(), sheet.width(), sheet.height(), 3, rgb.data(),
                        sheet.width() * 3)) {
        std::fprintf(stderr, "show-assets sheet: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("Wrote %s: %zu pictures from %s%s\n", out.c_str(), pictures.size(), dir.c_str(),
                bad ? " (some not readable: run show-assets check)" : "");
    return 0;
}
