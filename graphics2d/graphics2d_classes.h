#pragma once
// Adds the surface, sprite and texture script classes to the class registry (their
// implementations bind themselves here as they are built).
void RegisterGraphics2dClasses();
