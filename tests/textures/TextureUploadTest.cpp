// Turning picture files into OpenGL textures, in a hidden window's context: what the texture holds,
// the state each upload leaves, and the catalogue.
#include "textures/TGALoader.h"
#include "textures/TextureLibrary.h"

#include "TestPack.h"
#include "TestSupport.h"
#include "TgaFixtures.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <set>

namespace {

using namespace tgafixture;
using testsupport::makeTga;

class Upload : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::ensureGlContext();
        // State an upload must not depend on and must set itself.
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    std::string write(const Bytes& bytes) {
        const std::string path = dir.file("picture" + std::to_string(++count) + ".tga");
        testsupport::writeBytes(path, bytes);
        return path;
    }
    static GLint texParameter(GLenum name) {
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    }
    static GLint integer(GLenum name) {
        GLint value = 0;
        glGetIntegerv(name, &value);
        return value;
    }
    static GLint levelParameter(GLenum name) {
        GLint value = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
        return value;
    }
    // Level 0 of the bound texture, rows tightly packed, in the given format.
    static Bytes textureBytes(int width, int height, GLenum format) {
        Bytes out(size_t(width) * height * (format == GL_RGBA ? 4 : 3));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
        return out;
    }
    testsupport::TempDir dir;
    int count = 0;
};

TEST_F(Upload, LeavesTheNewTextureBoundWithTheStateDrawingRelies) {
    const GLuint name = loadTexture(write(makeTga(4, 4, 24, 2, mixedPicture(4, 4, 24))));
    ASSERT_NE(name, 0u);
    GLint bound = 0, mode = 0, alignment = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(GLuint(bound), name);
    EXPECT_EQ(mode, GL_MODULATE);
    EXPECT_EQ(alignment, 1);
    EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(texParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(texParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
}

// Odd widths make 24-bit rows that are not a multiple of 4 bytes: with the default unpack
// alignment every row after the first would be skewed.
TEST_F(Upload, TextureHoldsThePictureExactly) {
    struct Case {
        int width, height, bits, type;
    };
    for (Case c : {Case{5, 3, 24, 2}, Case{5, 3, 24, 10}, Case{1, 7, 24, 2}, Case{3, 2, 32, 2},
                   Case{7, 5, 32, 10}, Case{64, 16, 24, 10}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + ", " +
                     std::to_string(c.bits) + " bits, type " + std::to_string(c.type));
        const Bytes picture = mixedPicture(c.width, c.height, c.bits);
        const GLuint name = loadTexture(write(makeTga(c.width, c.height, c.bits, c.type, picture)));
        glBindTexture(GL_TEXTURE_2D, name);
        EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), c.width);
        EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), c.height);
        // 24 bits make a 3-component texture, 32 bits a 4-component one.
        if (c.bits == 24) {
            EXPECT_EQ(levelParameter(GL_TEXTURE_ALPHA_SIZE), 0);
        } else {
            EXPECT_GT(levelParameter(GL_TEXTURE_ALPHA_SIZE), 0);
        }
        EXPECT_EQ(textureBytes(c.width, c.height, c.bits == 24 ? GL_RGB : GL_RGBA), picture);
    }
}

// The reader's record: its fields, its own texture name made and bound on creation and deleted
// with it.
TEST_F(Upload, RecordHoldsThePictureAndItsOwnTextureName) {
    struct Case {
        int bits;
        GLenum format;
    };
    for (Case c : {Case{24, GL_RGB}, Case{32, GL_RGBA}}) {
        SCOPED_TRACE(std::to_string(c.bits) + " bits");
        const Bytes picture = mixedPicture(3, 2, c.bits);
        const std::string path = write(makeTga(3, 2, c.bits, 10, picture));
        TextureImage* record = loadTGA(path);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->width, 3u);
        EXPECT_EQ(record->height, 2u);
        EXPECT_EQ(record->bitsPerPixel, uint32_t(c.bits));
        EXPECT_EQ(record->format, c.format);
        EXPECT_EQ(record->fileName, path);
        EXPECT_EQ(record->priority, 0.0f);
        ASSERT_NE(record->pixels, nullptr);
        EXPECT_EQ(Bytes(record->pixels, record->pixels + picture.size()), picture);
        const GLuint own = record->textureName;
        EXPECT_NE(own, 0u);
        EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), own);
        EXPECT_TRUE(glIsTexture(own));
        delete record;
        EXPECT_FALSE(glIsTexture(own));
    }
}

// Counts texture objects among the names handed out so far.
int liveTextures() {
    int live = 0;
    for (GLuint name = 1; name < 4096; ++name) {
        live += glIsTexture(name) ? 1 : 0;
    }
    return live;
}

TEST_F(Upload, EveryLoadMakesOneNewTextureAndKeepsNoRecord) {
    const Bytes picture = mixedPicture(3, 3, 32);
    const std::string path = write(makeTga(3, 3, 32, 10, picture));
    const int before = liveTextures();
    const GLuint first = loadTexture(path);
    const GLuint second = loadTexture(path);
    // The reader's record makes a texture name of its own; releasing the record after the upload
    // deletes it, so each load leaves exactly its one texture behind.
    EXPECT_EQ(liveTextures(), before + 2);
    EXPECT_NE(first, second);
    for (GLuint name : {first, second}) {
        glBindTexture(GL_TEXTURE_2D, name);
        EXPECT_EQ(textureBytes(3, 3, GL_RGBA), picture);
    }
}

TEST_F(Upload, CatalogueFillsEverySlotWithItsPicture) {
    testsupport::writeTestPack(dir.path());
    {
        testsupport::ScopedChdir here(dir.path());
        loadCatalogueTextures();
    }
    // The test pack lists the catalogue in slot order; each picture has a colour of its own.
    const auto& pictures = testsupport::testPackPictures();
    std::set<uint32_t> names;
    for (int slot = 0; slot < TextureSlotCount; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot) + ", " + pictures[size_t(slot)]);
        ASSERT_NE(textureSlots[slot], 0u);
        names.insert(textureSlots[slot]);
        glBindTexture(GL_TEXTURE_2D, textureSlots[slot]);
        const Bytes texels = textureBytes(8, 8, GL_RGB);
        const testsupport::Rgb want = testsupport::testPackColour(pictures[size_t(slot)]);
        EXPECT_EQ(Bytes(texels.begin(), texels.begin() + 3),
                  (Bytes{uint8_t(want.r), uint8_t(want.g), uint8_t(want.b)}));
    }
    EXPECT_EQ(names.size(), size_t(TextureSlotCount));
    EXPECT_EQ(TextureCatalogue[22], "data/Image9.tga");
}

} // namespace
