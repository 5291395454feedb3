// kestrel audit FILE [--fix OUT] [--json]: reads a drawing as the host does and prints what the
// reader repaired, one line per repair, then audits the drawing as the host would save it and
// prints each rule it would still break ("left: ..."; none is expected); --fix saves the repaired
// drawing (also when a rule is left), --json prints the same as one JSON object for scripts. Exit
// status as diff(1): 0 the drawing needed no repair, 1 it was repaired, 2 it cannot be read or made
// sound (or wrong usage, or the repaired drawing cannot be saved).
#include <cstdio>
#include <string>
#include <vector>

#include "kestrel/host/db/database.h"
#include "kestrel/host/dxf/drawing_audit.h"
#include "kestrel/host/dxf/file_message.h"
#include "kestrel/host/dxf/read_result.h"
#include "kestrel/platform/utf8.h"
#include "tools/commands.h"

namespace {

constexpr int kExitRepaired = 1;
constexpr int kExitTrouble = 2;
constexpr const char* kUsage = "audit FILE [--fix OUT] [--json]";

std::string fileKind(const host::DrawingReadResult& result) {
    const std::string release = result.release.empty() ? "no release" : wideToUtf8(result.release);
    return release + (result.binary ? ", binary" : ", ASCII");
}

using Findings = std::vector<host::AuditFinding>;

void printText(const std::string& file, const host::DrawingReadResult& result,
               const Findings& left) {
    if (!result.ok()) {
        std::printf("%s: cannot be read: %s\n", file.c_str(),
                    wideToUtf8(result.description).c_str());
        return;
    }
    const std::size_t count = result.repairs.size();
    std::printf("%s (%s): %s\n", file.c_str(), fileKind(result).c_str(),
                count == 0
                    ? "no repair needed"
                    : (std::to_string(count) + (count == 1 ? " repair" : " repairs")).c_str());
    for (const host::Repair& repair : result.repairs) {
        const std::string object =
            wideToUtf8(repair.kind) +
            (repair.handle.isNull() ? "" : " " + wideToUtf8(repair.handle.text()));
        std::printf("  %s %zu: %s: %s%s%s\n", result.binary ? "byte" : "line", repair.line,
                    wideToUtf8(host::repairCodeName(repair.code)).c_str(), object.c_str(),
                    object.empty() ? "" : ": ", wideToUtf8(repair.action).c_str());
    }
    for (const host::AuditFinding& finding : left) {
        std::printf("  left: %s: %s\n", wideToUtf8(host::auditCodeName(finding.code)).c_str(),
                    wideToUtf8(finding.text()).c_str());
    }
}

void printJson(const std::string& file, const host::DrawingReadResult& result,
               const Findings& left) {
    std::printf("{\"file\": %s, \"read\": %s, \"release\": %s, \"binary\": %s",
                jsonText(file).c_str(), result.ok() ? "true" : "false",
                jsonText(result.release).c_str(), result.binary ? "true" : "false");
    if (!result.ok()) {
        std::printf(", \"line\": %zu, \"message\": %s", result.line,
                    jsonText(result.description).c_str());
    }
    std::printf(", \"repairs\": [");
    const char* separator = "";
    for (const host::Repair& repair : result.repairs) {
        std::printf(
            "%s\n  {\"code\": %s, \"number\": %d, \"kind\": %s, \"handle\": %s, "
            "\"line\": %zu, \"action\": %s}",
            separator, jsonText(host::repairCodeName(repair.code)).c_str(),
            static_cast<int>(repair.code), jsonText(repair.kind).c_str(),
            jsonText(repair.handle.isNull() ? L"" : repair.handle.text()).c_str(), repair.line,
            jsonText(repair.action).c_str());
        separator = ",";
    }
    std::printf("], \"left\": [");
    separator = "";
    for (const host::AuditFinding& finding : left) {
        std::printf("%s\n  {\"code\": %s, \"number\": %d, \"finding\": %s}", separator,
                    jsonText(host::auditCodeName(finding.code)).c_str(),
                    static_cast<int>(finding.code), jsonText(finding.text()).c_str());
        separator = ",";
    }
    std::printf("]}\n");
}

}  // namespace

int runAudit(const Arguments& args) {
    std::string file;
    std::string fixed;
    bool json = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json") {
            json = true;
        } else if (args[i] == "--fix" && i + 1 < args.size() && fixed.empty()) {
            fixed = args[++i];
        } else if (file.empty() && args[i] != "--fix") {
            file = args[i];
        } else {
            wrongUsage(kUsage);
            return kExitTrouble;
        }
    }
    if (file.empty()) {
        wrongUsage(kUsage);
        return kExitTrouble;
    }
    AcDbDatabase db(false, true);
    const host::DrawingReadResult result = host::readDrawingFile(&db, utf8ToWide(file));
    const Findings left = result.ok() ? host::auditDrawing(&db) : Findings();
    json ? printJson(file, result, left) : printText(file, result, left);
    if (!result.ok()) {
        return kExitTrouble;
    }
    if (!fixed.empty() && db.saveAs(utf8ToWide(fixed).c_str()) != Acad::eOk) {
        failed("cannot save " + fixed + ": " + wideToUtf8(host::lastDrawingFileMessage()));
        return kExitTrouble;
    }
    return !left.empty() ? kExitTrouble : result.repairs.empty() ? kExitOk : kExitRepaired;
}
