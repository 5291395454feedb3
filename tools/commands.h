// The program's commands. Each takes the arguments after its name, writes its results to
// standard output and its messages to standard error, and returns the exit status.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "kestrel/platform/utf8.h"

using Arguments = std::vector<std::string>;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Prints "kestrel: message" on standard error; kExitFailed.
inline int failed(const std::string& message) {
    std::fprintf(stderr, "kestrel: %s\n", message.c_str());
    return kExitFailed;
}

// Prints the one-line usage of a command on standard error; kExitUsage.
inline int wrongUsage(const char* usage) {
    std::fprintf(stderr, "kestrel: wrong arguments\nusage: kestrel %s\n", usage);
    return kExitUsage;
}

// text as a JSON string, quotes included: quotes, backslashes and control characters escaped.
inline std::string jsonText(const std::string& utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}
inline std::string jsonText(const std::wstring& text) {
    return jsonText(wideToUtf8(text));
}

// kestrel demo [FILE]: builds the showcase drawing and saves it (default kestrel-demo.dxf).
int runDemo(const Arguments& args);
// kestrel info FILE [--verbose | --json]: what the drawing holds.
int runInfo(const Arguments& args);
// kestrel xml list|get|set FILE [APP] [XMLFILE]: the drawing's XML texts.
int runXml(const Arguments& args);
// kestrel render FILE OUT.svg: a picture of the model space.
int runRender(const Arguments& args);
// kestrel audit FILE [--fix OUT] [--json]: the repairs reading the drawing needs.
int runAudit(const Arguments& args);
// kestrel diff A.dxf B.dxf [--brief] [--json]: what differs between two drawings.
int runDiff(const Arguments& args);
