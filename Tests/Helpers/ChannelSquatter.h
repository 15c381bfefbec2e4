#pragma once

#include "Handles.h"

#include <string>

// GlzChannelSquatter from the test program's folder, holding or taking the channel Prefix's names
// as How says ("hold-lock", "small-block", "wrong-kind:Suffix"); it lets go with this object, or
// by itself after 30 s.
class TChannelSquatter {
public:
    TChannelSquatter(const std::string& prefix, const std::string& how);
    ~TChannelSquatter();
    TChannelSquatter(const TChannelSquatter&) = delete;
    TChannelSquatter& operator=(const TChannelSquatter&) = delete;

    // True once it holds what it took.
    bool Holds() const { return holds_; }

private:
    UniqueHandle quit_;
    UniqueHandle process_;
    bool holds_ = false;
};
