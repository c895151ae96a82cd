#pragma once
// The show's use of the sound layer: the version gate and device set-up, and one routine that
// opens a file as a stream, waits until it is ready and starts it. Every failure prints one line
// on standard output and exits with status 1.
#include <cstdint>

struct FSOUND_STREAM;

extern FSOUND_STREAM* currentStream;
extern int currentChannel;

void initSound();
void playStream(const char* fileName);
const char* soundErrorText(uint32_t code);
