#pragma once
// The packer packs the application folder it is given and nothing outside it:
// every file and follow-on folder a manifest names must lie inside the folder
// of that manifest once symbolic links are resolved. Names may use "/" or "\\"
// as separators on every build, as the runtime's file layer does.
#include <string>

// The path of `name` inside `folder`. False, with a few words on why in `why`,
// when the name is absolute or leads outside the folder.
bool PathInsideFolder(const std::string& folder, const std::string& name, std::string* path, std::string* why);

// An element name (with its group) is a name, not a path: false when it is
// absolute or has a ".." part.
bool IsPlainElementName(const std::string& name);
