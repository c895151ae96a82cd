#pragma once
// PNG pictures through libpng.
#include <cstdint>
#include <string>
#include <vector>

// Writes `rgb` (width * height pixels, 3 bytes each, red first, top row first) as an 8-bit RGB
// PNG. False, with `error` set, on failure.
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
              std::string& error);
// Reads a PNG into 8-bit RGB, top row first. False, with `error` set, on failure.
bool readPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgb,
             std::string& error);
