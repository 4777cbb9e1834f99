#pragma once
// Adds the window and control script classes to the class registry (their
// implementations bind themselves here as they are built).
void RegisterUiClasses();
