// CVLKCSwitchToPaperSpace: writes the module-wide target-space name.
#include "kestrel/drawing/paper_space_switch.h"

#include "common/module_state.h"
#include "kestrel/host/db/block_table.h"

CVLKCSwitchToPaperSpace::CVLKCSwitchToPaperSpace() {
    SwitchToPaperSpace(ACDB_PAPER_SPACE);
}

CVLKCSwitchToPaperSpace::~CVLKCSwitchToPaperSpace() {
    SwitchToModelSpace();
}

void CVLKCSwitchToPaperSpace::SwitchToPaperSpace(const wchar_t* blockName) {
    if (blockName != nullptr) {
        kestrel::targetSpaceName() = blockName;
    }
}

void CVLKCSwitchToPaperSpace::SwitchToModelSpace() {
    kestrel::targetSpaceName() = ACDB_MODEL_SPACE;
}
