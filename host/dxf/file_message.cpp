// Keeps the last drawing-file message per thread, so that concurrent side work in tests does not
// mix messages.
#include "kestrel/host/dxf/file_message.h"

namespace host {
namespace {
thread_local std::wstring t_message;
}

const std::wstring& lastDrawingFileMessage() {
    return t_message;
}

void setLastDrawingFileMessage(std::wstring message) {
    t_message = std::move(message);
}

}  // namespace host
