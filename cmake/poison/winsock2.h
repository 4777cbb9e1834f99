#error "winsock2.h included by portable code: OS services go through the platform interfaces"
