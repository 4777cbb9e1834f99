#pragma once
// Adds the system and data script classes to the class registry, and binds
// those built so far (Math, File, String, Ini, Process, Program, Vector) to
// their implementations.
void RegisterScriptsysClasses();
