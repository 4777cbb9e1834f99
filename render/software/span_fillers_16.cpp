// The textured span entries 3 to 10 of the 16-bit target.
#include "render/software/span_fillers.h"

template void spans::FillTexturedEntry<16, 3>(LPolygon_Software*);
template void spans::FillTexturedEntry<16, 4>(LPolygon_Software*);
template void spans::FillTexturedEntry<16, 5>(LPolygon_Software*);
template void spans::FillTexturedEntry<16, 6>(LPolygon_Software*);
template void spans::FillTexturedEntry<16, 7>(LPolygon_Software*);
template void spans::FillTexturedEntry<16, 8>(LPolygon_Software*);
template void spans::FillTexturedEntry<16, 9>(LPolygon_Software*);
template void spans::FillTexturedEntry<16, 10>(LPolygon_Software*);
