#pragma once
// The fixed catalogue of 23 pictures, addressed everywhere by slot, and the one operation that
// turns a picture file into an OpenGL texture.
#include <cstdint>
#include <string>

constexpr int TextureSlotCount = 23;

// File names in slot order, relative to the working directory.
extern const std::string TextureCatalogue[TextureSlotCount];
// OpenGL texture names by slot; 0 until loadCatalogueTextures has run.
extern uint32_t textureSlots[TextureSlotCount];

// Reads `f` with the strict TGA reader and uploads it into a new texture object, which is left
// bound to GL_TEXTURE_2D. Needs a current context. Any failure is a fatal report.
uint32_t loadTexture(std::string f);
uint32_t uploadTexture(std::string f);
// Loads slots 0 to 22 in order.
void loadCatalogueTextures();
