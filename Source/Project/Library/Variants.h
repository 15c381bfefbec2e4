#pragma once

#include <cstdint>
#include <string>
#include <variant>

// The small variant of parameter values and collection keys:
// empty, Boolean, 32-bit integer, floating point or string.
class Variant {
public:
    enum class Kind { Empty, Boolean, Integer, Float, String };

    Variant() = default;
    Variant(bool value) : value_(value) {}
    Variant(int value) : value_(static_cast<std::int32_t>(value)) {}
    Variant(double value) : value_(value) {}
    Variant(std::string value) : value_(std::move(value)) {}
    Variant(const char* value) : value_(std::string(value ? value : "")) {}

    Kind GetKind() const noexcept { return static_cast<Kind>(value_.index()); }
    bool IsEmpty() const noexcept { return GetKind() == Kind::Empty; }
    bool IsInteger() const noexcept { return GetKind() == Kind::Integer; }
    bool IsString() const noexcept { return GetKind() == Kind::String; }

    // Conversions as a script would do them; an impossible conversion raises Exception.
    std::string AsString() const;
    std::int32_t AsInteger() const;
    bool AsBoolean() const;
    double AsFloat() const;

    bool operator==(const Variant&) const = default;

private:
    std::variant<std::monostate, bool, std::int32_t, double, std::string> value_;
};
