// The textured span entries 3 to 10 of the 32-bit target.
#include "render/software/span_fillers.h"

template void spans::FillTexturedEntry<32, 3>(LPolygon_Software*);
template void spans::FillTexturedEntry<32, 4>(LPolygon_Software*);
template void spans::FillTexturedEntry<32, 5>(LPolygon_Software*);
template void spans::FillTexturedEntry<32, 6>(LPolygon_Software*);
template void spans::FillTexturedEntry<32, 7>(LPolygon_Software*);
template void spans::FillTexturedEntry<32, 8>(LPolygon_Software*);
template void spans::FillTexturedEntry<32, 9>(LPolygon_Software*);
template void spans::FillTexturedEntry<32, 10>(LPolygon_Software*);
