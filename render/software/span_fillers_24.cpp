// The textured span entries 3 to 10 of the 24-bit target.
#include "render/software/span_fillers.h"

template void spans::FillTexturedEntry<24, 3>(LPolygon_Software*);
template void spans::FillTexturedEntry<24, 4>(LPolygon_Software*);
template void spans::FillTexturedEntry<24, 5>(LPolygon_Software*);
template void spans::FillTexturedEntry<24, 6>(LPolygon_Software*);
template void spans::FillTexturedEntry<24, 7>(LPolygon_Software*);
template void spans::FillTexturedEntry<24, 8>(LPolygon_Software*);
template void spans::FillTexturedEntry<24, 9>(LPolygon_Software*);
template void spans::FillTexturedEntry<24, 10>(LPolygon_Software*);
