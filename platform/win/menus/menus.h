// The menu engine's entry point for the rest of the window system.
#pragma once

namespace win::menus {

// Plugs the menu bar into the window core (sizes, painting, clicks and the
// menu keys). Called once at start-up, before the first window with a menu.
void install();

}  // namespace win::menus
