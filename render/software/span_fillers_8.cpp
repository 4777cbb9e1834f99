// The textured span routines of the 8-bit target: one per pair of entries
// (3/4, 5/6, 7/8, 9/10), palette indices copied, no lighting or translucency.
#include "render/software/span_fillers.h"

template void spans::FillTexturedEntry<8, 3>(LPolygon_Software*);
template void spans::FillTexturedEntry<8, 5>(LPolygon_Software*);
template void spans::FillTexturedEntry<8, 7>(LPolygon_Software*);
template void spans::FillTexturedEntry<8, 9>(LPolygon_Software*);
