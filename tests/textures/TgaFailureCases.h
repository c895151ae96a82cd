#pragma once
// Every way a file can fail the strict reader, as small files with the message each must give.
// The reader's core tests and the fatal report tests share this table.
#include "TestSupport.h"
#include "TgaFixtures.h"

#include <string>
#include <vector>

namespace tgafixture {

// Which part of the loader meets the failure: loadTGA itself (open, file header, image type) or
// one of its two decoders, each of which keeps its own copy of the later checks.
enum class Stage { Loader, Uncompressed, Compressed };

struct FailureCase {
    const char* name;
    bool missing; // no file at all
    Bytes file;
    const char* message;
    Stage stage;
};

inline std::vector<FailureCase> failureCases() {
    using testsupport::makeTga;
    const Bytes pixel24 = {1, 2, 3};
    const Bytes pixel32 = {1, 2, 3, 4};
    const Bytes good = join({header(2, 1, 1, 24), pixel24});
    const Bytes big24 = makeTga(300, 200, 24, 2, mixedPicture(300, 200, 24));
    const Bytes bigRle32 = makeTga(300, 200, 32, 10, mixedPicture(300, 200, 32));
    const char* open = "could not open texture file";
    const char* fileHeader = "Could not read file header";
    const char* type = "TGA file be type 2 or type 10: Invalid Image";
    const char* infoHeader = "Could not read info header";
    const char* info = "Invalid texture information";
    const char* allocation = "Could not allocate memory for image";
    const char* data = "Could not read image data";
    const char* rleHeader = "Could not read RLE header";
    const char* tooMany = "Too many Pixels read";
    const Stage L = Stage::Loader, U = Stage::Uncompressed, C = Stage::Compressed;
    return {
        {"MissingFile", true, {}, open, L},
        {"EmptyFile", false, {}, fileHeader, L},
        {"ElevenBytes", false, cut(header(2, 1, 1, 24), 7), fileHeader, L},
        {"ImageId", false, with(good, 0, 1), type, L},
        {"ColourMapType", false, with(good, 1, 1), type, L},
        {"ColourMapLength", false, with(good, 5, 1), type, L},
        {"ColourMapEntrySize", false, with(good, 7, 24), type, L},
        {"XOrigin", false, with(good, 8, 1), type, L},
        {"YOriginHighByte", false, with(good, 11, 1), type, L},
        {"ColourMappedType1", false, with(good, 2, 1), type, L},
        {"GreyscaleType3", false, with(good, 2, 3), type, L},
        {"RunLengthColourMappedType9", false, with(good, 2, 9), type, L},
        {"RunLengthGreyscaleType11", false, with(good, 2, 11), type, L},
        {"NoImageType0", false, with(good, 2, 0), type, L},

        {"Type2InfoHeaderFiveBytes", false, cut(header(2, 1, 1, 24), 1), infoHeader, U},
        {"Type2Depth16", false, join({header(2, 1, 1, 16), {1, 2}}), info, U},
        {"Type2Depth8", false, join({header(2, 1, 1, 8), {1}}), info, U},
        {"Type2WidthZero", false, header(2, 0, 1, 24), info, U},
        {"Type2HeightZero", false, header(2, 1, 0, 32), info, U},
        {"Type2Largest24Bit", false, header(2, 65535, 65535, 24), allocation, U},
        {"Type2OneByteShort", false, cut(join({header(2, 2, 1, 24), pixel24, pixel24}), 1), data,
         U},
        {"Type2NoPixelData", false, header(2, 2, 2, 32), data, U},
        {"Type2LargeFileOneByteShort", false, cut(big24, 1), data, U},

        {"Type10InfoHeaderFiveBytes", false, cut(header(10, 1, 1, 24), 1), infoHeader, C},
        {"Type10Depth16", false, join({header(10, 1, 1, 16), {0, 1, 2}}), info, C},
        {"Type10WidthZero", false, header(10, 0, 5, 24), info, C},
        {"Type10HeightZero", false, header(10, 5, 0, 24), info, C},
        // 4 x 32768 x 32768 is 2^32: in 32-bit arithmetic the buffer would be 0 bytes.
        {"Type10SizeWrapsIn32Bits", false, header(10, 32768, 32768, 32), allocation, C},
        {"Type10NoPackets", false, header(10, 2, 1, 24), rleHeader, C},
        {"Type10StopsAtPacketBoundary", false, join({header(10, 2, 1, 24), {128}, pixel24}),
         rleHeader, C},
        {"Type10StopsInsideRawValue", false, join({header(10, 2, 1, 32), {1}, pixel32, {1, 2}}),
         data, C},
        {"Type10StopsInsideRunValue", false, join({header(10, 2, 1, 24), {129, 1, 2}}), data, C},
        {"Type10StopsAfterRawHeader", false, join({header(10, 2, 1, 24), {1}}), data, C},
        {"Type10LargeFileStopsInsideLastValue", false, cut(bigRle32, 1), data, C},
        {"Type10RunPastImage", false, join({header(10, 2, 2, 24), {132}, pixel24}), tooMany, C},
        {"Type10RawPastImage", false, join({header(10, 2, 1, 24), {2}, pixel24, pixel24, pixel24}),
         tooMany, C},
        {"Type10LastPacketPastImage", false,
         join({header(10, 2, 2, 32), {129}, pixel32, {2}, pixel32, pixel32, pixel32}), tooMany, C},
        // The value after the last pixel is read before the count is tested.
        {"Type10RawPastImageCutInsideExtraValue", false,
         join({header(10, 1, 1, 24), {1}, pixel24, {1, 2}}), data, C},
    };
}

} // namespace tgafixture
