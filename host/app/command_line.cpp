// The command-line text and its echo to the standard output.
#include "kestrel/host/app/command_line.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "kestrel/host/app/session.h"
#include "kestrel/platform/cstring.h"
#include "kestrel/platform/utf8.h"

namespace {

struct CommandLine {
    std::wstring text;
    bool echo = false;
};

CommandLine& commandLineState() {
    static CommandLine state;
    return state;
}

}  // namespace

int acutPrintf(const ACHAR* format, ...) {
    if (format == nullptr) {
        return -1;
    }
    CString text;
    va_list args;
    va_start(args, format);
    text.FormatV(format, args);
    va_end(args);
    host::printToCommandLine(text.str());
    return text.GetLength();
}

namespace host {

void printToCommandLine(std::wstring_view text) {
    CommandLine& state = commandLineState();
    state.text.append(text);
    if (state.echo) {
        std::fputs(wideToUtf8(text).c_str(), stdout);
        std::fflush(stdout);
    }
}

std::wstring commandLine() {
    return commandLineState().text;
}

void clearCommandLine() {
    commandLineState().text.clear();
}

void setCommandLineEcho(bool echo) {
    commandLineState().echo = echo;
}

}  // namespace host
