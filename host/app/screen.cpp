// The screen list of temporary vectors.
#include "kestrel/host/app/screen.h"

#include <vector>

#include "kestrel/host/app/selection_set.h"
#include "kestrel/host/app/session.h"
#include "kestrel/host/db/resbuf.h"

namespace {

std::vector<host::ScreenVector>& screenList() {
    static auto* vectors = new std::vector<host::ScreenVector>();
    return *vectors;
}

AcGePoint3d pointOf(const ads_point p) {
    return {p[0], p[1], p[2]};
}

}  // namespace

int acedGrDraw(const ads_point from, const ads_point to, int color, int hl) {
    if (from == nullptr || to == nullptr || color < -1 || color > 255) {
        return RTERROR;
    }
    screenList().push_back({pointOf(from), pointOf(to), color, hl});
    return RTNORM;
}

int acedRedraw(const ads_name ent, int mode) {
    if (mode < 0 || mode > 4) {
        return RTERROR;
    }
    if (ent == nullptr) {
        screenList().clear();
        return RTNORM;
    }
    return host::entityOfName(ent).isNull() ? RTERROR : RTNORM;
}

namespace host {

std::vector<ScreenVector> screenVectors() {
    return screenList();
}

void clearScreen() {
    screenList().clear();
}

}  // namespace host
