#pragma once
// Asset checks that stay active in every build type, NDEBUG or not. A failed check prints
//   Assertion failed: <expression text>, file <module>, line <n>
// on standard error and aborts: no clean-up, no further start-up step. Checks join their condition
// and a message with two ampersands so that the report shows the message, as in
//   REPORT_CHECK(false && "could not open texture file");
// <module> is __FILE__, which the build maps to the path from the repository root.
#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void fatalReport(const char* expression, const char* module, int line) {
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression, module, line);
    std::fflush(stderr);
    std::abort();
}

#define REPORT_CHECK(expression)                                                                   \
    ((expression) ? static_cast<void>(0) : fatalReport(#expression, __FILE__, __LINE__))
