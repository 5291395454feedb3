// The kestrel command-line program: works on drawings through the headless host with the
// module loaded. Exit status: 0 on success, 1 when the work fails, 2 on wrong usage.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/commands.h"

namespace {

void printUsage(std::FILE* out) {
    std::fputs(
        "usage: kestrel [--help] [--version] <command> [args]\n"
        "\n"
        "commands:\n"
        "  demo [FILE]                  build a showcase drawing and save it\n"
        "                               (FILE defaults to kestrel-demo.dxf)\n"
        "  info FILE [--verbose | --json]\n"
        "                               layers, blocks, entities, XData, dictionaries and\n"
        "                               XML applications of a drawing; --verbose adds the\n"
        "                               values, --json prints everything as JSON\n"
        "  xml list FILE                the applications with an XML text in the drawing\n"
        "  xml get FILE APP [XMLFILE]   an application's XML text, to standard output or XMLFILE\n"
        "  xml set FILE APP [XMLFILE]   replace an application's XML text with XMLFILE's (or\n"
        "                               standard input's) and save the drawing\n"
        "  render [--layout NAME] FILE OUT.svg\n"
        "                               draw the model space, or a layout with its viewports,\n"
        "                               as an SVG picture\n"
        "  audit FILE [--fix OUT] [--json]\n"
        "                               what reading the drawing repairs, one line each;\n"
        "                               --fix saves the repaired drawing as OUT, --json\n"
        "                               prints the report as JSON (exit status: 0 sound,\n"
        "                               1 repaired, 2 unreadable)\n"
        "  diff A.dxf B.dxf [--brief] [--json]\n"
        "                               the objects added, removed and changed from A to B\n"
        "                               with their groups; --brief one line per object, --json\n"
        "                               as JSON (exit status: 0 same, 1 different, 2 trouble)\n"
        "\n"
        "-h or --help after a command prints this text; -- ends the options, for file names\n"
        "that start with '-'. Exit status: 0 done, 1 failed, 2 wrong usage.\n",
        out);
}

struct Command {
    const char* name;
    int (*run)(const Arguments&);
    const char* options;  // the options the command takes itself, each followed by a space
};

constexpr Command kCommands[] = {{"demo", runDemo, ""},
                                 {"info", runInfo, "--verbose --json "},
                                 {"xml", runXml, ""},
                                 {"render", runRender, "--layout "},
                                 {"audit", runAudit, "--fix --json "},
                                 {"diff", runDiff, "--brief --json "}};

bool takesOption(const Command& command, const std::string& arg) {
    return std::string(command.options).find(arg + " ") != std::string::npos;
}

// Runs the command with its arguments. "--help" or "-h" among them prints the usage; an
// argument starting with "-" that the command does not take is an unknown option, unless it
// follows "--", which ends options.
int runCommand(const Command& command, int argc, char** argv) {
    Arguments args;
    bool options = true;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && (arg == "--help" || arg == "-h")) {
            printUsage(stdout);
            return kExitOk;
        } else if (options && arg.size() > 1 && arg[0] == '-' && !takesOption(command, arg)) {
            std::fprintf(stderr, "kestrel: unknown option '%s'\n", arg.c_str());
            printUsage(stderr);
            return kExitUsage;
        } else {
            args.push_back(arg);
        }
    }
    return command.run(args);
}

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
            return runCommand(command, argc, argv);
        }
    }
    std::fprintf(stderr, "kestrel: unknown command '%s'\n", name);
    printUsage(stderr);
    return kExitUsage;
}
