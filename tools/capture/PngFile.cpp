#include "PngFile.h"

#include <png.h>

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
              std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    if (rgb.size() != size_t(width) * size_t(height) * 3) {
        error = "picture buffer does not match its size";
        return false;
    }
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), width * 3, nullptr)) {
        error = "cannot write " + path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

bool readPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgb,
             std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = "cannot read " + path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    rgb.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        error = "cannot read " + path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    width = int(image.width);
    height = int(image.height);
    return true;
}
