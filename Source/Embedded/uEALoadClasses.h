#pragma once

// Registers glzemb's run-time item classes under their keys; the window extender's unit
// registers "WINDOWEXTENDER" itself. Safe to call more than once.
void LoadItemClasses();
