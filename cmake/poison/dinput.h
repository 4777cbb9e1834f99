#error "dinput.h included by portable code: OS services go through the platform interfaces"
