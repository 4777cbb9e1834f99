#pragma once
// Angle reduction shared by the runtime.

// Wraps an angle in radians into [0, 2*pi) with 2*pi = 6.283185307178; a result
// within 0.001 of zero becomes exactly 0 (so tiny negative angles do not turn
// into almost a full turn). Non-finite angles give 0.
float NormalizeAngle(float radians);
