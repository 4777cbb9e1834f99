#pragma once
// Adds the multiplayer service script classes to the class registry (their
// implementations bind themselves here as they are built).
void RegisterNetClasses();
