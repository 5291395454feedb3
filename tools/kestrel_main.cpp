// The kestrel command-line program: works on drawings through the headless host and the module.
#include <cstdio>
#include <cstring>

namespace {

void printUsage(std::FILE* out) {
    std::fputs(
        "usage: kestrel [--help] [--version] <command> [args]\n"
        "\n"
        "commands:\n"
        "  demo    build a showcase drawing and print what it holds\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage(stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printUsage(stdout);
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("kestrel %s\n", KESTREL_VERSION);
        return 0;
    }
    std::fprintf(stderr, "kestrel: unknown command '%s'\n", argv[1]);
    printUsage(stderr);
    return 2;
}
