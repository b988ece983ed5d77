// The sanitizer build: the window libraries keep some of what they allocate until the
// program ends (the font patterns of fontconfig and Xft, the display's own tables), so
// the leak checker leaves allocations made inside them alone. Each program that opens
// the display hands these to the checker with TARVIK_WINDOW_LEAK_SUPPRESSIONS in one of
// its own files (not in a library, whose unused parts the linker leaves out).
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define TARVIK_WINDOW_LEAK_SUPPRESSIONS                                                        \
  extern "C" const char* __lsan_default_suppressions() {                                       \
    return "leak:libfontconfig.so\nleak:libXft.so\nleak:libX11.so\nleak:libfltk.so\n"; \
  }
#else
#define TARVIK_WINDOW_LEAK_SUPPRESSIONS
#endif
