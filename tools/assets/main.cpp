// show-assets: makes the default asset pack, checks a data folder, draws a contact sheet.
#include "Commands.h"

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

struct Subcommand {
    const char* name;
    const char* usage;
    int (*run)(const std::vector<std::string>&);
};

// One line per subcommand (see Commands.h).
const Subcommand subcommands[] = {
    {"generate",
     "generate DIR        make the default pack: DIR/data/... and the fish pictures in DIR",
     runGenerate},
    {"check", "check DIR           check every picture and sound the show loads from DIR",
     runCheck},
    {"sheet", "sheet DIR OUT.png   draw every picture of DIR on one contact sheet", runSheet},
    {"inspect", "inspect FILE [--decoder|--reader] [--raw OUT]  one TGA's header and decoding",
     runInspect},
};

int usage(std::FILE* out) {
    std::fprintf(out, "usage: show-assets COMMAND ARGS\n");
    for (const Subcommand& s : subcommands) {
        std::fprintf(out, "  show-assets %s\n", s.usage);
    }
    return out == stdout ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return usage(stderr);
    }
    if (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0 ||
        std::strcmp(argv[1], "help") == 0) {
        return usage(stdout);
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const Subcommand& s : subcommands) {
        if (std::strcmp(argv[1], s.name) == 0) {
            try {
                return s.run(args);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "show-assets %s: %s\n", s.name, e.what());
                return 1;
            }
        }
    }
    std::fprintf(stderr, "show-assets: unknown command '%s'\n", argv[1]);
    return usage(stderr);
}
