// The sanitizer build: the window libraries keep some of what they allocate until the
// program ends (the font patterns of fontconfig and Xft, the display's own tables), so
// the leak checker leaves allocations made inside them alone. Include this in exactly
// one file of each program that opens the display.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libXft.so\nleak:libX11.so\nleak:libfltk.so\n";
}
#endif
