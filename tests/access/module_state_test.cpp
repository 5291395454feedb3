// The module-wide state as a client finds it once the module is mapped: empty registries and
// model space as the target of entity creation. (This program links the module, so its statics
// ran before main; the frame's own tests load it through the host instead.)
#include "common/module_state.h"
#include "kestrel/host/db/block_table.h"

#include <gtest/gtest.h>

namespace {

TEST(ModuleStateTest, MappedModuleStartsWithEmptyRegistriesAndModelSpace) {
    EXPECT_TRUE(kestrel::repositoryRegistry().empty());
    EXPECT_TRUE(kestrel::undoTableRegistry().empty());
    EXPECT_EQ(kestrel::targetSpaceName(), CString(ACDB_MODEL_SPACE));
}

}  // namespace
