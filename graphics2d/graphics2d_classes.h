#pragma once
// Adds the surface, sprite and texture script classes to the class registry (their
// implementations bind themselves here as they are built) and registers the
// interpreter's image-format manager.
class CImageFormatManager;
class CInterpretor;

void RegisterGraphics2dClasses();

// The image-format manager of a loaded interpreter (null when not loaded).
CImageFormatManager* ImageFormatsOf(CInterpretor* interpretor);
