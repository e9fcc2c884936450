#pragma once
// Tessaly's own icon on its windows, and the desktop entry they belong to.

// Gives the application its icon (every size the desktop folder ships), so the
// main window and the login window carry it, and names the desktop entry
// "tessaly" so a desktop groups the windows under it.
void UseTessalyIcon();
