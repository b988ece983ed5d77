// The toolkit's drawing and X11 headers, without the X11 macros that clash with the
// program's own names (MessageIcon::None, Field::Always, ...). Include this instead of <FL/fl_draw.H> or
// <FL/x.H>, and right after the toolkit headers that bring in X11's (most widget
// headers do), before the program's own headers.
#pragma once

#include <FL/fl_draw.H>
#include <FL/x.H>

#undef None
#undef Always
#undef Bool
#undef Status
#undef Success
#undef NotUseful
#undef WhenMapped
