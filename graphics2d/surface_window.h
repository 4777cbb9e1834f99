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
