#pragma once
// Registers the script classes of every module: their member tables (all 73
// classes, known to the compiler from the first statement) and the bindings
// of those built. Every program entry calls it once before it compiles.
void RegisterScriptModules();
