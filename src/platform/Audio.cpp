// Placeholder until the sound layer lands: the show runs silent.
#include "platform/Audio.h"

FSOUND_STREAM* currentStream = nullptr;
int currentChannel = 0;

void initSound() {}
void playStream(const char*) {}
const char* soundErrorText(uint32_t) {
    return "Unknown error";
}
