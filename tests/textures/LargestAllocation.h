#pragma once
// Every operator new of a test program that links LargestAllocation.cpp goes through a tracker,
// so that a test can see the largest single request made since it last looked.
#include <cstddef>

namespace allocation {
void resetLargest();
size_t largest();
} // namespace allocation
