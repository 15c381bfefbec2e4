#pragma once

#include <string>

// What a node of a tree view shows: its text, both images, its state image (-1: none) and
// whether it has an expand button, children or not. The tree binding computes it without a
// control; the tree view shows it.
struct TTreeNodeLook {
    std::string Text;
    int ImageIndex = -1;
    int SelectedIndex = -1;
    int StateIndex = -1;
    bool HasChildren = false;
};
