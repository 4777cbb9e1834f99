#pragma once
// Adds the sound, music, video and speech script classes to the class registry (their
// implementations bind themselves here as they are built).
void RegisterMediaClasses();
