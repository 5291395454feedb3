// The message of the last drawing-file read or write on this thread: readDwgFile and saveAs set
// it on failure ("line 812: group code 'abc' is not a number") and clear it on success.
#pragma once

#include <string>

#include "kestrel/export.h"
#include "kestrel/host/dxf/read_result.h"

namespace host {

// The message of the last failed readDwgFile or saveAs; empty after a success.
DRAWHOST_API const std::wstring& lastDrawingFileMessage();
// Records message as the last one (an empty message clears it).
DRAWHOST_API void setLastDrawingFileMessage(std::wstring message);
// Records result as the one lastDrawingRead() gives.
DRAWHOST_API void setLastDrawingRead(DrawingReadResult result);

}  // namespace host
