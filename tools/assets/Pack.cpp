#include "Pack.h"

#include "Pictures.h"

#include <stb_image_resize.h>

namespace art {

namespace {

constexpr float Screen = 16.0f / 9.0f;

// Catalogue pictures are stored bottom row first, the composite and the fish tableau top row
// first: each way the show puts them upright, and so does a viewer that reads the descriptor.
constexpr TgaFormat Rle24{10, 24, false};
constexpr TgaFormat Raw24{2, 24, false};
constexpr TgaFormat Rle32{10, 32, false};
constexpr TgaFormat Raw24Top{2, 24, true};
constexpr TgaFormat Rle32Top{10, 32, true};
constexpr TgaFormat Raw32Top{2, 32, true};

} // namespace

const std::vector<PictureSpec>& packPictures() {
    // Where the fish tableau's layers land follows from its scalings: the background 3.6 x 2 of
    // the screen's half-widths, the portrait and the fish 0.54 x 0.6, the figure 0.378 x 0.6, the
    // bubble 0.227 x 0.24 and the shotgun 0.227 x 0.168.
    static const std::vector<PictureSpec> pictures = {
        {"data/zvq.tga", 1024, 512, Screen, Raw24, true, "ZVQ presents", drawZvq},
        {"data/logo2.tga", 1024, 512, Screen, Raw24, true, "title card", drawTitleCard},
        {"data/newslogo.tga", 1024, 512, Screen, Rle24, false, "news ident", drawNewsLogo},
        {"data/unibrowed_unicorn_on_unicycle.tga", 512, 512, 0.25f / 0.5f * Screen, Rle32, false,
         "unicorn on a unicycle", drawUnicorn},
        {"data/unicycles_background.tga", 1024, 512, Screen, Raw24, true, "parade ground",
         drawParadeGround},
        {"data/kestlog-1.tga", 1024, 512, Screen, Rle24, false, "crew card 1: code", drawCrewCard1},
        // Static has no shape to keep: it is drawn at the file's own size, noise per texel.
        {"data/snow.tga", 1024, 512, 2.0f, Raw24, false, "static, frame 1", drawSnow1},
        {"data/snow2.tga", 1024, 512, 2.0f, Raw24, false, "static, frame 2", drawSnow2},
        {"data/snow3.tga", 1024, 512, 2.0f, Raw24, false, "static, frame 3", drawSnow3},
        {"data/kestlog-2.tga", 1024, 512, Screen, Rle24, false, "crew card 2: graphics",
         drawCrewCard2},
        {"data/kestlog-3.tga", 1024, 512, Screen, Rle24, false, "crew card 3: music",
         drawCrewCard3},
        {"data/kestlog-4.tga", 1024, 512, Screen, Rle24, false, "crew card 4: greetings",
         drawCrewCard4},
        {"data/kestlog-5.tga", 1024, 512, Screen, Rle24, false, "crew card 5: more greetings",
         drawCrewCard5},
        {"data/kestlog-6.tga", 1024, 512, Screen, Rle24, false, "crew card 6: the whole emblem",
         drawCrewCard6},
        {"data/solnedgang.tga", 1024, 512, Screen, Raw24, true, "sunset, the end", drawSunset},
        {"data/Image1.tga", 1024, 512, Screen, Rle24, false, "slide 1: mountains", drawSlide1},
        {"data/Image2.tga", 1024, 512, Screen, Raw24, false, "slide 2: lake", drawSlide2},
        {"data/Image3.tga", 1024, 512, Screen, Rle24, false, "slide 3: forest", drawSlide3},
        {"data/Image4.tga", 1024, 512, Screen, Raw24, false, "slide 4: desert", drawSlide4},
        {"data/Image5.tga", 1024, 512, Screen, Rle24, false, "slide 5: city at night", drawSlide5},
        {"data/Image7.tga", 1024, 512, Screen, Raw24, false, "slide 7: beach", drawSlide7},
        {"data/Image8.tga", 1024, 512, Screen, Rle24, false, "slide 8: lighthouse", drawSlide8},
        {"data/Image9.tga", 1024, 512, Screen, Raw24, false, "slide 9: balloons", drawSlide9},
        {"data/bang.tga", 1024, 512, Screen, Rle32Top, false, "BANG! burst", drawBang},
        {"data/dark.tga", 1024, 512, Screen, Raw24Top, true, "stage, dark", drawStageDark},
        {"data/light.tga", 1024, 512, Screen, Raw24Top, true, "stage, lit", drawStageLit},
        {"data/womanfront.tga", 1024, 512, 2.0f / 1.3f * Screen, Raw32Top, false, "standing figure",
         drawWomanFront},
        {"omgponies.tga", 1024, 512, 0.2268f / 0.24f * Screen, Rle32Top, false,
         "speech bubble of ponies", drawPonyBubble},
        {"oss.tga", 1024, 512, 0.54f / 0.6f * Screen, Rle32Top, false, "group portrait",
         drawGroupPortrait},
        {"rulle.tga", 1024, 512, 3.6f / 2.0f * Screen, Raw24Top, true, "harbour panorama",
         drawPanorama},
        {"snillfisk.tga", 1024, 512, 0.54f / 0.6f * Screen, Rle32Top, false, "friendly fish",
         drawFriendlyFish},
        {"flippfisk.tga", 1024, 512, 0.54f / 0.6f * Screen, Rle32Top, false,
         "the fish, flipped out", drawFlippedFish},
        {"brakko.tga", 512, 512, 0.378f / 0.6f * Screen, Rle32Top, false, "a figure", drawBrakko},
        {"shotgun.tga", 1024, 512, 0.2268f / 0.168f * Screen, Rle32Top, false, "cartoon shotgun",
         drawShotgun},
    };
    return pictures;
}

void designSize(const PictureSpec& picture, int& width, int& height) {
    float fileAspect = float(picture.width) / float(picture.height);
    if (picture.shownAspect >= fileAspect) {
        // Wider than the file: keep the file's height, widen.
        height = picture.height;
        width = int(std::lround(float(picture.height) * picture.shownAspect));
    } else {
        width = picture.width;
        height = int(std::lround(float(picture.width) / picture.shownAspect));
    }
}

Rgba8Image renderPicture(const PictureSpec& picture) {
    int w = 0, h = 0;
    designSize(picture, w, h);
    Canvas c(w, h);
    picture.draw(c);
    return toRgba8(c, picture.width, picture.height, picture.dither);
}

Rgba8Image toRgba8(const Canvas& design, int width, int height, bool dither) {
    std::vector<float> px;
    if (design.width() == width && design.height() == height) {
        px = design.data();
    } else {
        px.resize(size_t(width) * height * 4);
        stbir_resize_float(design.data().data(), design.width(), design.height(), 0, px.data(),
                           width, height, 0, 4);
    }
    for (float& v : px) {
        v = clamp01(v);
    }
    // Colour for the transparent texels: the ink around them, spread by a blur. Opaque pictures
    // have none.
    bool transparent = false;
    for (size_t i = 3; i < px.size() && !transparent; i += 4) {
        transparent = px[i] < 0.5f / 255.0f;
    }
    Canvas bled(transparent ? width : 1, transparent ? height : 1);
    if (transparent) {
        bled.data() = px;
        bled = blurred(bled, 6);
    }
    double sum[3] = {0, 0, 0}, weight = 0;
    for (size_t i = 0; i < px.size(); i += 4) {
        sum[0] += px[i];
        sum[1] += px[i + 1];
        sum[2] += px[i + 2];
        weight += px[i + 3];
    }
    float fallback[3] = {0, 0, 0};
    for (int k = 0; k < 3 && weight > 0; ++k) {
        fallback[k] = float(sum[k] / weight);
    }

    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    Rgba8Image out{width, height, std::vector<uint8_t>(size_t(width) * height * 4)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            size_t i = (size_t(y) * width + x) * 4;
            float offset = dither ? (float(bayer[y & 3][x & 3]) + 0.5f) / 16.0f : 0.5f;
            float a = px[i + 3];
            int a8 = std::min(255, int(a * 255.0f + 0.5f));
            float rgb[3];
            if (a8 > 0) {
                for (int k = 0; k < 3; ++k) {
                    rgb[k] = clamp01(px[i + k] / a);
                }
            } else {
                const float* b = bled.at(x, y);
                for (int k = 0; k < 3; ++k) {
                    rgb[k] = b[3] > 1e-4f ? clamp01(b[k] / b[3]) : fallback[k];
                }
            }
            for (int k = 0; k < 3; ++k) {
                out.rgba[i + k] = uint8_t(std::min(255, int(rgb[k] * 255.0f + offset)));
            }
            out.rgba[i + 3] = uint8_t(a8);
        }
    }
    return out;
}

const std::vector<SoundSpec>& packSounds() {
    static const std::vector<SoundSpec> sounds = {
        {"data/fast.mp3", "music, 168 s, 44.1 kHz stereo MP3"},
        {"data/intro.wav", "news jingle, mono 22050 Hz 16-bit"},
        {"data/soap.wav", "soap-opera organ sting, stereo 44100 Hz 16-bit"},
        {"data/kest.wav", "fanfare, stereo 48000 Hz 32-bit float"},
    };
    return sounds;
}

} // namespace art
