// kestrel diff A.dxf B.dxf [--brief] [--json]: compares two drawing files (host/dxf/drawing_diff.h)
// and prints each object added, removed or changed from A to B with the groups that differ;
// --brief prints one line per object, --json one JSON object for scripts (printed also when the
// drawings are the same; the text forms then print nothing). Exit status as diff(1): 0 the same,
// 1 different, 2 trouble (a file missing or unreadable, wrong usage), with a message on standard
// error. --brief and --json exclude each other (wrong usage).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "kestrel/host/dxf/drawing_diff.h"
#include "kestrel/platform/utf8.h"
#include "tools/commands.h"
#include "tools/progress.h"

namespace {

constexpr int kExitDifferent = 1;
constexpr int kExitTrouble = 2;
constexpr const char* kUsage = "diff A.dxf B.dxf [--brief] [--json]";

// The file's bytes into bytes; false with a message on standard error when it cannot be read.
bool readBytes(const std::string& file, std::string& bytes) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        failed("no such drawing file: " + file);
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) {
        failed("cannot read " + file);
        return false;
    }
    bytes = std::move(text).str();
    return true;
}

void printJson(const std::string& oldFile, const std::string& newFile,
               const host::DrawingDiff& diff) {
    std::printf("{\"old\": %s, \"new\": %s, \"same\": %s, \"differences\": [",
                jsonText(oldFile).c_str(), jsonText(newFile).c_str(),
                diff.same() ? "true" : "false");
    const char* separator = "";
    for (const host::ObjectDifference& object : diff.objects) {
        std::printf(
            "%s\n  {\"what\": %s, \"kind\": %s, \"handle\": %s, \"place\": %s, \"oldLine\": %zu, "
            "\"newLine\": %zu, \"groups\": [",
            separator, jsonText(host::diffWhatName(object.what)).c_str(), jsonText(object.kind).c_str(),
            jsonText(object.handle).c_str(), jsonText(object.place).c_str(), object.oldLine,
            object.newLine);
        const char* groupSeparator = "";
        for (const host::GroupDifference& group : object.groups) {
            std::printf(
                "%s\n    {\"context\": %s, \"code\": %d, \"occurrence\": %d, \"old\": %s, "
                "\"new\": %s, \"oldLine\": %zu, \"newLine\": %zu}",
                groupSeparator, jsonText(group.context).c_str(), group.code, group.occurrence,
                group.inOld ? jsonText(group.oldValue).c_str() : "null",
                group.inNew ? jsonText(group.newValue).c_str() : "null", group.oldLine, group.newLine);
            groupSeparator = ",";
        }
        std::printf("]}");
        separator = ",";
    }
    std::printf("]}\n");
}

}  // namespace

int runDiff(const Arguments& args) {
    std::vector<std::string> files;
    bool brief = false;
    bool json = false;
    for (const std::string& arg : args) {
        if (arg == "--brief") {
            brief = true;
        } else if (arg == "--json") {
            json = true;
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2 || (brief && json)) {
        return wrongUsage(kUsage);
    }
    std::string oldBytes;
    std::string newBytes;
    if (!readBytes(files[0], oldBytes) || !readBytes(files[1], newBytes)) {
        return kExitTrouble;
    }
    std::unique_ptr<Progress> reading;  // the drawing being read, on a terminal
    const host::DrawingDiff diff = host::diffDrawingFiles(
        oldBytes, newBytes, [&](int drawing, std::size_t done, std::size_t total) {
            if (done == 1) {
                reading = std::make_unique<Progress>("reading " + files[drawing],
                                                     static_cast<long>(total));
            }
            reading->step();
        });
    reading.reset();
    if (!diff.ok()) {
        for (const auto& [file, error] :
             {std::pair(files[0], diff.oldError), std::pair(files[1], diff.newError)}) {
            if (!error.empty()) {
                failed("cannot read " + file + ": " + wideToUtf8(error));
            }
        }
        return kExitTrouble;
    }
    if (json) {
        printJson(files[0], files[1], diff);
    } else if (brief) {
        for (const host::ObjectDifference& object : diff.objects) {
            std::printf("%s\n", wideToUtf8(object.text()).c_str());
        }
    } else {
        std::fputs(wideToUtf8(diff.text()).c_str(), stdout);
    }
    return diff.same() ? kExitOk : kExitDifferent;
}
