#include "kestrel/host/rx/contract_violations.h"

namespace host {
namespace {

// Never destroyed: a violation may be noted while other statics are torn down.
std::vector<std::wstring>& violations() {
    static auto* list = new std::vector<std::wstring>();
    return *list;
}

}  // namespace

std::vector<std::wstring> contractViolations() {
    return violations();
}

void clearContractViolations() {
    violations().clear();
}

void noteContractViolation(const std::wstring& text) {
    violations().push_back(text);
}

}  // namespace host
