#include "../real_tree_locator.h"

TEST(LocateFileOnDisk, Win32SearchPassesTheLocatorTable) { RunRealTreeLocatorTable(); }
