#pragma once

#include <string>
#include <string_view>

// One piece of a rule text: "\", name, "=", value; values are copied raw, never escaped.
inline std::string DescriptorPiece(std::string_view name, std::string_view value) {
    std::string piece;
    piece.reserve(name.size() + value.size() + 2);
    piece += '\\';
    piece += name;
    piece += '=';
    piece += value;
    return piece;
}
