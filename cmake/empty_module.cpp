// A module without sources of its own yet: its library still exists, so that
// the modules above it can name it.
