// CVLKCSwitchToPaperSpace: points entity creation (CVLKCDraw) at a paper-space block for the
// object's lifetime. The target is one module-wide name, so while such an object lives every
// caller's new entities go to the block it names.
#pragma once

#include "kestrel/export.h"

// The destructor always sets "*Model_Space", not the name found at construction: destroying the
// inner of two nested switches already returns creation to model space. The name is not checked
// against the block table; a name the drawing lacks makes creation fail with the host's status.
class KESTREL_API CVLKCSwitchToPaperSpace {
public:
    // Sets the target to "*Paper_Space".
    CVLKCSwitchToPaperSpace();
    // Sets the target to "*Model_Space".
    ~CVLKCSwitchToPaperSpace();
    CVLKCSwitchToPaperSpace(const CVLKCSwitchToPaperSpace&) = delete;
    // Does nothing: the object has no data.
    CVLKCSwitchToPaperSpace& operator=(const CVLKCSwitchToPaperSpace&) {
        return *this;
    }

    // Sets the target to a copy of blockName (any block table record name, for instance the
    // block of another layout); a null name leaves the target as it was.
    void SwitchToPaperSpace(const wchar_t* blockName);
    // Sets the target to "*Model_Space".
    void SwitchToModelSpace();
};
