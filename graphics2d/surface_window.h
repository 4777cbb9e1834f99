#pragma once
// What the surface's image members need of a script window named as a
// picture source ("Copy", "Stretch") or capture source ("CaptureWindow"):
// the surface attached to it and its window handle. The window class
// implements it.
class CISurface;

class ISurfaceWindow {
public:
    virtual ~ISurfaceWindow() {}
    virtual CISurface* GetAttachedSurface() = 0;  // null when none
    virtual void* GetWindowHandle() = 0;          // null when none
};

class CInterpretor;
// The surface of the interpreter's current window (where sprites made without
// a surface argument go); null when there is none.
CISurface* CurrentWindowSurface(CInterpretor* interpretor);
