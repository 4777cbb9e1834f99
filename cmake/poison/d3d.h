#error "d3d.h included by portable code: OS services go through the platform interfaces"
