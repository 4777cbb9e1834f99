#pragma once
// The runner's side of one program run: an interpreter with its loaded
// package and the program object it compiles and runs. CRunner drives a run
// through these steps only.
#include <cstdint>

class CProgramContainer;
class CRunner;

class CRunnerProgram {
public:
    explicit CRunnerProgram(CRunner* runner);
    ~CRunnerProgram();

    // Loads the interpreter; with fromOwnFile the package is read (from
    // packagePath when given, else from the program's own file). 1 or 0.
    int Load(const char* commandLine, const char* packagePath, int fromOwnFile);
    // The loaded package (null before Load).
    CProgramContainer* GetContainer();
    // After Load: true, with the part at fault (null: the package as a whole)
    // and its status, when the package failed to load or was read with damage;
    // false when it was read cleanly or the program carries no package.
    bool FindPackageDamage(const char** part, uint32_t* status);
    // Clears settings F and G of the loaded package's current program (a
    // follow-on program starts with both 0).
    void ClearHeaderWords();
    // Prepares a run without a compiled program (a failure is kept for
    // GetLastError).
    void PrepareRun();
    // Compiles the package's start-up text (only when withStartText is set
    // and there is no host context) and its source modules, and runs the
    // program from its main entry. 1 when it ended normally, 0 after a
    // compile or run failure (GetLastError describes it).
    int CompileAndRun(void* hostContext, int withStartText);
    // Text (up to textSize - 1 bytes) and caption of the last failure.
    void GetLastError(char* text, int textSize, char* caption, int captionSize);

private:
    CRunnerProgram(const CRunnerProgram&) = delete;
    CRunnerProgram& operator=(const CRunnerProgram&) = delete;
    struct State;
    State* m_state;
};
