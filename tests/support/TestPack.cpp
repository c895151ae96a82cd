#include "TestPack.h"

#include <sndfile.h>

#include <stdexcept>

namespace testsupport {

const std::vector<std::string>& testPackPictures() {
    static const std::vector<std::string> names = {
        // The catalogue, in slot order.
        "data/zvq.tga", "data/logo2.tga", "data/newslogo.tga",
        "data/unibrowed_unicorn_on_unicycle.tga", "data/unicycles_background.tga",
        "data/kestlog-1.tga", "data/snow.tga", "data/snow2.tga", "data/snow3.tga",
        "data/kestlog-2.tga", "data/kestlog-3.tga", "data/kestlog-4.tga", "data/kestlog-5.tga",
        "data/kestlog-6.tga", "data/solnedgang.tga", "data/Image1.tga", "data/Image2.tga",
        "data/Image3.tga", "data/Image4.tga", "data/Image5.tga", "data/Image7.tga",
        "data/Image8.tga", "data/Image9.tga",
        // The composite.
        "data/bang.tga", "data/dark.tga", "data/light.tga", "data/womanfront.tga",
        // The fish tableau, beside data/.
        "omgponies.tga", "oss.tga", "rulle.tga", "snillfisk.tga", "flippfisk.tga", "brakko.tga",
        "shotgun.tga"};
    return names;
}

Rgb testPackColour(const std::string& picture) {
    const auto& names = testPackPictures();
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == picture) {
            // Spread over the colour cube so that any two differ by far more than filtering blurs.
            int k = int(i);
            return Rgb{40 + (k * 53) % 200, 40 + (k * 97) % 200, 40 + (k * 151) % 200};
        }
    }
    throw std::invalid_argument("not a test pack picture: " + picture);
}

void writeTestPack(const std::string& dir) {
    for (const std::string& name : testPackPictures()) {
        writeBytes(dir + "/" + name,
                   makeTga(8, 8, 24, 2, solidPixels(8, 8, 24, testPackColour(name))));
    }
    writeSine(dir + "/data/fast.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, 88200,
              220.0, 0.2);
    writeSine(dir + "/data/intro.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1, 6615, 440.0,
              0.2);
    writeSine(dir + "/data/soap.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 13230, 330.0,
              0.2);
    writeSine(dir + "/data/kest.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, 14400, 550.0, 0.2);
}

} // namespace testsupport
