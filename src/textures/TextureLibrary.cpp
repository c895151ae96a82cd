#include "textures/TextureLibrary.h"

#include "textures/FatalReport.h"
#include "textures/TGALoader.h"

#include <GL/gl.h>

// Handed to the file system exactly as written; the picture series skips Image6.
const std::string TextureCatalogue[TextureSlotCount] = {
    "data/zvq.tga",
    "data/logo2.tga",
    "data/newslogo.tga",
    "data/unibrowed_unicorn_on_unicycle.tga",
    "data/unicycles_background.tga",
    "data/kestlog-1.tga",
    "data/snow.tga",
    "data/snow2.tga",
    "data/snow3.tga",
    "data/kestlog-2.tga",
    "data/kestlog-3.tga",
    "data/kestlog-4.tga",
    "data/kestlog-5.tga",
    "data/kestlog-6.tga",
    "data/solnedgang.tga",
    "data/Image1.tga",
    "data/Image2.tga",
    "data/Image3.tga",
    "data/Image4.tga",
    "data/Image5.tga",
    "data/Image7.tga",
    "data/Image8.tga",
    "data/Image9.tga",
};

uint32_t textureSlots[TextureSlotCount] = {};

uint32_t loadTexture(std::string f) {
    REPORT_CHECK(!f.empty() && "no filename given, a silly problem");
    return uploadTexture(f);
}

uint32_t uploadTexture(std::string f) {
    GLuint name = 0;
    glGenTextures(1, &name);
    // Making the record generates and binds a texture name of its own, which is not used here.
    TextureImage* image = loadTGA(f);
    glBindTexture(GL_TEXTURE_2D, name);
    // Rows are tightly packed whatever the width (a 5-pixel 24-bit row is 15 bytes).
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // Belongs to the texture unit: every later quad is the texture times the current colour.
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GLfloat(GL_MODULATE));
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(image->bitsPerPixel / 8), GLsizei(image->width),
                 GLsizei(image->height), 0, image->format, GL_UNSIGNED_BYTE, image->pixels);
    // OpenGL has its own copy now; the show keeps no CPU copy of its pictures. This deletes only
    // the record's own texture name, never `name`.
    delete image;
    return name;
}

void loadCatalogueTextures() {
    for (int slot = 0; slot < TextureSlotCount; ++slot) {
        textureSlots[slot] = loadTexture(TextureCatalogue[slot]);
    }
}
