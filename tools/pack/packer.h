#pragma once
// The packer: turns an application folder (manifest and files) into a
// package, and a runtime executable and a package into a packed executable.
#include <cstdint>
#include <string>
#include <vector>

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* bytes);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Builds the package of the application in `folder` (its manifest.txt names
// everything else), with the package of its follow-on folder nested in it.
// False with an error text naming the file and line at fault.
bool BuildPackage(const std::string& folder, std::vector<uint8_t>* package, std::string* error);

// Packs: the runtime executable with the folder's package attached (an
// executable that carries a package already has it replaced).
bool PackExecutable(const std::string& runtime, const std::string& folder, const std::string& output,
                    std::string* error);
