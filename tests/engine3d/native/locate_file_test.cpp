#include "../real_tree_locator.h"

TEST(LocateFileOnDisk, PosixSearchPassesTheLocatorTable) { RunRealTreeLocatorTable(); }
