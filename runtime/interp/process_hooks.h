#pragma once
// Work that later subsystems add to the start and the stop of a run: the
// script window classes are registered and the GUI thread is registered with
// the surface library at ProcessStart, and undone at ProcessStop.

typedef void (*ProcessHook)();

// Adds a pair of hooks (either may be null); starts run in the order added,
// stops in the reverse order. At most 16 pairs; false when full.
bool AddProcessHooks(ProcessHook start, ProcessHook stop);
// Called by ProcessStart and ProcessStop of the platform layer.
void RunProcessStartHooks();
void RunProcessStopHooks();
