// The textured span entries 3 to 10 of the 15-bit target.
#include "render/software/span_fillers.h"

template void spans::FillTexturedEntry<15, 3>(LPolygon_Software*);
template void spans::FillTexturedEntry<15, 4>(LPolygon_Software*);
template void spans::FillTexturedEntry<15, 5>(LPolygon_Software*);
template void spans::FillTexturedEntry<15, 6>(LPolygon_Software*);
template void spans::FillTexturedEntry<15, 7>(LPolygon_Software*);
template void spans::FillTexturedEntry<15, 8>(LPolygon_Software*);
template void spans::FillTexturedEntry<15, 9>(LPolygon_Software*);
template void spans::FillTexturedEntry<15, 10>(LPolygon_Software*);
