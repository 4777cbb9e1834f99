#pragma once
// Registers the factories of the system and data script classes built so far
// (Math, File, String, Ini, Process, Program, Vector) with the interpreter.
void RegisterSystemDataClasses();
