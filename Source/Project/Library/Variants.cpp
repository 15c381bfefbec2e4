#include "Variants.h"

#include "Errors.h"
#include "Pex.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void CannotConvert(const char* to) {
    throw Exception(std::string("Could not convert variant to ") + to);
}

} // namespace

std::string Variant::AsString() const {
    switch (GetKind()) {
    case Kind::Empty:
        return {};
    case Kind::Boolean:
        return std::get<bool>(value_) ? "True" : "False";
    case Kind::Integer:
        return std::to_string(std::get<std::int32_t>(value_));
    case Kind::Float: {
        char text[64];
        std::snprintf(text, sizeof text, "%.15g", std::get<double>(value_));
        return text;
    }
    case Kind::String:
        return std::get<std::string>(value_);
    }
    return {};
}

std::int32_t Variant::AsInteger() const {
    switch (GetKind()) {
    case Kind::Empty:
        return 0;
    case Kind::Boolean:
        return std::get<bool>(value_) ? -1 : 0;
    case Kind::Integer:
        return std::get<std::int32_t>(value_);
    case Kind::Float:
        return static_cast<std::int32_t>(std::get<double>(value_));
    case Kind::String: {
        const std::string& text = std::get<std::string>(value_);
        char* end = nullptr;
        const long value = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0')
            CannotConvert("integer");
        return static_cast<std::int32_t>(value);
    }
    }
    return 0;
}

bool Variant::AsBoolean() const {
    switch (GetKind()) {
    case Kind::Empty:
        return false;
    case Kind::Boolean:
        return std::get<bool>(value_);
    case Kind::Integer:
        return std::get<std::int32_t>(value_) != 0;
    case Kind::Float:
        return std::get<double>(value_) != 0.0;
    case Kind::String: {
        const std::string& text = std::get<std::string>(value_);
        if (TextEqualsIgnoreCase(text, "true"))
            return true;
        if (TextEqualsIgnoreCase(text, "false"))
            return false;
        return AsInteger() != 0;
    }
    }
    return false;
}

double Variant::AsFloat() const {
    switch (GetKind()) {
    case Kind::Empty:
        return 0.0;
    case Kind::Boolean:
        return std::get<bool>(value_) ? -1.0 : 0.0;
    case Kind::Integer:
        return std::get<std::int32_t>(value_);
    case Kind::Float:
        return std::get<double>(value_);
    case Kind::String: {
        const std::string& text = std::get<std::string>(value_);
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0')
            CannotConvert("double");
        return value;
    }
    }
    return 0.0;
}
