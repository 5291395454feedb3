// The scripted input queue and the two prompts that read it.
#include "kestrel/host/app/input.h"

#include <deque>

#include "kestrel/host/app/command_line.h"
#include "kestrel/host/app/session.h"
#include "kestrel/host/db/resbuf.h"

namespace {

struct InputItem {
    enum Kind { kPick, kCursor, kCancel };
    Kind kind;
    AcGePoint3d point;
};

std::deque<InputItem>& inputQueue() {
    static auto* queue = new std::deque<InputItem>();
    return *queue;
}

void prompt(const ACHAR* text) {
    if (text != nullptr) {
        host::printToCommandLine(text);
    }
}

// Takes the next item; false (with the message printed) when the queue is empty.
bool nextItem(InputItem& item) {
    if (inputQueue().empty()) {
        host::printToCommandLine(L"*No input*\n");
        return false;
    }
    item = inputQueue().front();
    inputQueue().pop_front();
    return true;
}

void copyPoint(const AcGePoint3d& from, ads_point to) {
    to[0] = from.x;
    to[1] = from.y;
    to[2] = from.z;
}

int cancelled() {
    host::printToCommandLine(L"*Cancel*\n");
    return RTCAN;
}

// Calls the drag callback with one cursor position; false when it asks to stop.
bool dragTo(const AcGePoint3d& point, int (*scnf)(ads_point, ads_matrix)) {
    ads_point cursor;
    copyPoint(point, cursor);
    ads_matrix matrix = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    const int answer = scnf(cursor, matrix);
    return answer == RTNORM || answer == RTNONE;
}

}  // namespace

int acedGetPoint(const ads_point pt, const ACHAR* prompt, ads_point result) {
    if (result == nullptr) {
        return RTERROR;
    }
    ::prompt(prompt);
    InputItem item{};
    while (nextItem(item)) {
        if (item.kind == InputItem::kCancel) {
            return cancelled();
        }
        if (item.kind == InputItem::kPick) {
            copyPoint(item.point, result);
            return RTNORM;
        }
    }
    return RTERROR;
}

int acedDragGen(const ads_name ss, const ACHAR* pmt, int cursor,
                int (*scnf)(ads_point pt, ads_matrix mt), ads_point p) {
    Adesk::Int32 length = 0;
    if (scnf == nullptr || p == nullptr || acedSSLength(ss, &length) != RTNORM) {
        return RTERROR;
    }
    prompt(pmt);
    InputItem item{};
    while (nextItem(item)) {
        if (item.kind == InputItem::kCancel) {
            return cancelled();
        }
        if (!dragTo(item.point, scnf)) {
            return RTERROR;
        }
        if (item.kind == InputItem::kPick) {
            copyPoint(item.point, p);
            return RTNORM;
        }
    }
    return RTERROR;
}

namespace host {

void queuePoint(const AcGePoint3d& point) {
    inputQueue().push_back({InputItem::kPick, point});
}

void queueCursor(const AcGePoint3d& point) {
    inputQueue().push_back({InputItem::kCursor, point});
}

void queueCancel() {
    inputQueue().push_back({InputItem::kCancel, AcGePoint3d()});
}

int pendingInput() {
    return static_cast<int>(inputQueue().size());
}

void clearInput() {
    inputQueue().clear();
}

}  // namespace host
