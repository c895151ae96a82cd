// Placeholder until the picture reader lands: no textures are loaded.
#include "textures/TextureLibrary.h"

const std::string TextureCatalogue[TextureSlotCount] = {};
uint32_t textureSlots[TextureSlotCount] = {};

uint32_t loadTexture(std::string) {
    return 0;
}
uint32_t uploadTexture(std::string) {
    return 0;
}
void loadCatalogueTextures() {}
