#pragma once

// Mouse buttons and modifier keys of an input event, as the form layer reports them and the
// tree binding passes them on: plain values, so that the model needs no control to name them.

enum class TMouseButton { Left, Right, Middle };

// Modifier keys and buttons held during a key or mouse event.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 1;
constexpr TShiftState ssAlt = 2;
constexpr TShiftState ssCtrl = 4;
constexpr TShiftState ssLeft = 8;
constexpr TShiftState ssRight = 16;
constexpr TShiftState ssMiddle = 32;
