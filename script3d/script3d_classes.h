#pragma once
// Adds the 3D scene script classes to the class registry (their
// implementations bind themselves here as they are built).
void RegisterScript3dClasses();
