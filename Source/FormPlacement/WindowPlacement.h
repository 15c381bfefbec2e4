#pragma once

#include "PlacementStores.h"

#include <string>

class TForm;

// The form window's placement into a store section: "Flags", "ShowCmd", "PixelsPerInch",
// then "MinMaxPos" and "NormPos" under the screen-size name and the plain name.
void WriteWindowPlacement(TForm* form, TPlacementStore* store, const std::string& section);
// LoadState restores the show state, LoadPosition the flags and positions. Positions saved
// at another pixels-per-inch setting are ignored.
void ReadWindowPlacement(TForm* form, TPlacementStore* store, const std::string& section, bool loadState,
                         bool loadPosition);
