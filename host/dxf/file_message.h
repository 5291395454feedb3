// The message of the last drawing-file read or write on this thread: readDwgFile and saveAs set
// it on failure ("line 812: group code 'abc' is not a number") and clear it on success.
#pragma once

#include <string>

#include "host/dxf/read_result.h"

namespace host {

// The message of the last failed readDwgFile or saveAs; empty after a success.
const std::wstring& lastDrawingFileMessage();
// Records message as the last one (an empty message clears it).
void setLastDrawingFileMessage(std::wstring message);
// Records result as the one lastDrawingRead() gives.
void setLastDrawingRead(DrawingReadResult result);

}  // namespace host
