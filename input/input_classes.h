#pragma once
// Adds the game-input script classes to the class registry (their
// implementations bind themselves here as they are built).
void RegisterInputClasses();
