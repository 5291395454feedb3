// The kestrel command-line program: works on drawings through the headless host with the
// module loaded. Exit status: 0 on success, 1 when the work fails, 2 on wrong usage.
#include <cstdio>
#include <cstring>

#include "tools/commands.h"

namespace {

void printUsage(std::FILE* out) {
    std::fputs(
        "usage: kestrel [--help] [--version] <command> [args]\n"
        "\n"
        "commands:\n"
        "  demo [FILE]                  build a showcase drawing and save it\n"
        "                               (FILE defaults to kestrel-demo.dxf)\n"
        "  info FILE                    layers, blocks, entities, XData, dictionaries and\n"
        "                               XML applications of a drawing\n"
        "  xml list FILE                the applications with an XML text in the drawing\n"
        "  xml get FILE APP [XMLFILE]   an application's XML text, to standard output or XMLFILE\n"
        "  xml set FILE APP [XMLFILE]   replace an application's XML text with XMLFILE's (or\n"
        "                               standard input's) and save the drawing\n"
        "  render FILE OUT.svg          draw the model space as an SVG picture\n",
        out);
}

struct Command {
    const char* name;
    int (*run)(const Arguments&);
};

constexpr Command kCommands[] = {
    {"demo", runDemo}, {"info", runInfo}, {"xml", runXml}, {"render", runRender}};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage(stderr);
        return kExitUsage;
    }
    const char* name = argv[1];
    if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0) {
        printUsage(stdout);
        return kExitOk;
    }
    if (std::strcmp(name, "--version") == 0) {
        std::printf("kestrel %s\n", KESTREL_VERSION);
        return kExitOk;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(name, command.name) == 0) {
            return command.run(Arguments(argv + 2, argv + argc));
        }
    }
    std::fprintf(stderr, "kestrel: unknown command '%s'\n", name);
    printUsage(stderr);
    return kExitUsage;
}
