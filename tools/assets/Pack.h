#pragma once
// The default asset pack: every file the show and the fish tableau load, with the form each is
// written in and the function that draws or plays it.
#include "Canvas.h"
#include "TgaWriter.h"

#include <string>
#include <vector>

namespace art {

struct PictureSpec {
    const char* file;  // relative to the pack folder: "data/..." or a bare name (fish tableau)
    int width, height; // in the file; powers of two, 512 to 1024
    float shownAspect; // width / height of the picture as the show puts it on a 16:9 screen
    TgaFormat format;
    bool dither;      // ordered dither on quantising, for smooth gradients
    const char* what; // what it shows, for the progress lines
    void (*draw)(Canvas&);
};

// The 23 catalogue pictures in slot order, the four composite pictures, the seven fish pictures.
const std::vector<PictureSpec>& packPictures();

// The size a picture is drawn at before it is resampled to its file size: square pixels at the
// aspect it is shown at, at least as many pixels as the file on each side.
void designSize(const PictureSpec& item, int& width, int& height);

// Draws a picture and turns it into the file's 8-bit form.
Rgba8Image renderPicture(const PictureSpec& item);

// The canvas resampled to `width` x `height`, straight alpha, 8 bits. Fully transparent pixels
// take the colour of the nearest ink, so texture filtering at sprite edges shows no dark fringe.
Rgba8Image toRgba8(const Canvas& design, int width, int height, bool dither);

struct SoundSpec {
    const char* file; // relative to the pack folder
    const char* what;
};
// The music and the three cues, in the order the show starts them.
const std::vector<SoundSpec>& packSounds();

} // namespace art
