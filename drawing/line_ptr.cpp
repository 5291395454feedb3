// CVLKCLinePtr: the screen mark of a line.
#include "kestrel/drawing/line_ptr.h"

#include "drawing/screen_marks.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/resbuf.h"

bool CVLKCLinePtr::mark(int colour, int highlight) {
    if (m_object == nullptr) {
        return false;
    }
    return kestrel::drawVector(m_object->startPoint(), m_object->endPoint(), colour, highlight) ==
           RTNORM;
}
