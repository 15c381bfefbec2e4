#pragma once

#include <utility>

// Gives a variable a value for the life of the scope and puts the earlier one back, also when
// the scope is left by an exception. Nested scopes unwind in turn, so a depth counter can be
// raised by giving it its value plus one.
template <class T> class TScopedValue {
public:
    TScopedValue(T& variable, T value)
        : variable_(variable), saved_(std::exchange(variable, std::move(value))) {}
    ~TScopedValue() { variable_ = std::move(saved_); }
    TScopedValue(const TScopedValue&) = delete;
    TScopedValue& operator=(const TScopedValue&) = delete;

private:
    T& variable_;
    T saved_;
};
