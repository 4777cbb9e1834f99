#pragma once
// The package record of a runtime executable (PE32 or PE32+): found through
// the section table in the executable's initialised data, read and patched.
#include <cstdint>
#include <string>
#include <vector>

struct PeImageInfo {
    bool is64 = false;
    // File offset of the package record (its marker).
    size_t record = 0;
    // End of the image in the file: the end of the last section's raw data.
    size_t imageEnd = 0;
};

// Finds the one package record of the image. False with an error text when
// the bytes are no PE image, or the marker is missing or occurs more than once
// in the initialised data.
bool FindPackageRecord(const std::vector<uint8_t>& exe, PeImageInfo* info, std::string* error);

// Counts every occurrence of the marker anywhere in the file.
int CountPackageMarkers(const std::vector<uint8_t>& bytes);

// The package offset in the record, or 0 when there is none; false when the
// check word does not match it (the record is damaged).
bool ReadPackageOffset(const std::vector<uint8_t>& exe, size_t record, uint32_t* offset);
void WritePackageOffset(std::vector<uint8_t>* exe, size_t record, uint32_t offset);

// The runtime executable with `package` appended and its record patched. An
// executable that already carries a package has it replaced. False with an
// error text on failure.
bool AttachPackage(const std::vector<uint8_t>& runtime, const std::vector<uint8_t>& package,
                   std::vector<uint8_t>* out, std::string* error);
