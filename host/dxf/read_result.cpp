// Names of the repair codes, and the result of the last drawing read per thread, so that
// concurrent side work in tests does not mix results.
#include "kestrel/host/dxf/read_result.h"

namespace host {
namespace {
thread_local DrawingReadResult t_lastRead;
}

const wchar_t* repairCodeName(RepairCode code) {
    switch (code) {
        case RepairCode::kUndecodableText:
            return L"undecodable-text";
        case RepairCode::kInvalidHandle:
            return L"invalid-handle";
        case RepairCode::kDuplicateHandle:
            return L"duplicate-handle";
        case RepairCode::kNameForHandle:
            return L"name-for-handle";
        case RepairCode::kInvalidName:
            return L"invalid-name";
        case RepairCode::kDanglingReference:
            return L"dangling-reference";
        case RepairCode::kBadOwner:
            return L"bad-owner";
        case RepairCode::kUndefinedLayer:
            return L"undefined-layer";
        case RepairCode::kUndefinedLinetype:
            return L"undefined-linetype";
        case RepairCode::kUndefinedTextStyle:
            return L"undefined-text-style";
        case RepairCode::kUndefinedBlock:
            return L"undefined-block";
        case RepairCode::kDataAfterEof:
            return L"data-after-eof";
        case RepairCode::kMissingRecord:
            return L"missing-record";
        case RepairCode::kUndefinedDimensionStyle:
            return L"undefined-dimension-style";
        case RepairCode::kRepeatedBaseGroups:
            return L"repeated-base-groups";
    }
    return L"unknown";
}

const DrawingReadResult& lastDrawingRead() {
    return t_lastRead;
}

void setLastDrawingRead(DrawingReadResult result) {
    t_lastRead = std::move(result);
}

}  // namespace host
