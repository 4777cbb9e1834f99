// twpack: packs an application folder into a runtime executable.
//   twpack RUNTIME.exe FOLDER OUTPUT.exe   the runtime with the package attached
//   twpack --package FOLDER OUTPUT         the package alone
#include "tools/pack/packer.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::string error;
    if (argc == 4 && std::strcmp(argv[1], "--package") == 0) {
        std::vector<uint8_t> package;
        if (!BuildPackage(argv[2], &package, &error) || !WriteFileBytes(argv[3], package)) {
            std::fprintf(stderr, "twpack: %s\n", error.empty() ? (std::string(argv[3]) + ": cannot be written").c_str()
                                                                : error.c_str());
            return 1;
        }
        return 0;
    }
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: twpack RUNTIME.exe FOLDER OUTPUT.exe\n"
                     "       twpack --package FOLDER OUTPUT\n"
                     "FOLDER holds manifest.txt and the files it names.\n");
        return 2;
    }
    if (!PackExecutable(argv[1], argv[2], argv[3], &error)) {
        std::fprintf(stderr, "twpack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
