#pragma once

// How a control sits in its parent: aligned to a side or the whole client area, or anchored to
// edges whose distance it keeps when the parent is resized.

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

using TAnchors = unsigned;
constexpr TAnchors akLeft = 1;
constexpr TAnchors akTop = 2;
constexpr TAnchors akRight = 4;
constexpr TAnchors akBottom = 8;
