#pragma once

#include <windows.h>

#include <string>

// Copies a rectangle of the screen, as it shows now, into a 24-bit BMP file.
bool SaveScreenPicture(const RECT& area, const std::string& file);
