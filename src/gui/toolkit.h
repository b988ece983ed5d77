// The toolkit's drawing and X11 headers, without the X11 macro that clashes with the
// program's own names (MessageIcon::None). Include this instead of <FL/fl_draw.H> or
// <FL/x.H>.
#pragma once

#include <FL/fl_draw.H>
#include <FL/x.H>

#undef None
