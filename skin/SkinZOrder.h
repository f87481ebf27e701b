#pragma once
// Whether a skin window already stands in the z-order where SetOstraZOrder
// would put it, read through GetWindow and the topmost bits: the main
// window's check runs ten times a second for every skin, and each
// SetOstraZOrder call moves windows (and wakes the host) even when nothing
// changes.
#include <windows.h>

namespace skinzorder {

enum class Standing { InPlace, OutOfPlace, HostGone };

// onTop: the skin's "ontop" setting. Such a skin over a host that is not
// topmost stands in place above every window that is not topmost, other
// skins "ontop" aside: they share the top instead of taking it from each
// other at every check. OutOfPlace when unsure: the caller then lets
// SetOstraZOrder decide. HostGone when the host window no longer exists,
// told by the first read of it (a separate IsWindow would cost one more
// round trip to the window server per skin and check).
Standing StandingOf(HWND skin, HWND host, bool onTop);

} // namespace skinzorder
