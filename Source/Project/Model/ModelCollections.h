#pragma once

#include "BOM_UI.h"

// The collections of the model: element, item element and default item class each.
class TModelCollection : public TBOM_UI_Collection {
public:
    // A fixed tree caption, or the collection's name when there is none.
    std::string GetCaption() override;

protected:
    // Subclasses give their keys, names and tree looks.
    void Setup(const char* key, const char* element, const char* itemElement, const char* defaultItem,
               int image = -1, const char* caption = "");

private:
    std::string caption_;
};

class TWindowRules : public TModelCollection {
public:
    // The names a new rule gets: "Window Rule 1", "Window Rule 2", ...
    std::string GetNewItemNameBase() override { return "Window Rule"; }

protected:
    void Init() override;
};

class TConditions : public TModelCollection {
protected:
    void Init() override;
};

class TCriterions : public TModelCollection {
protected:
    void Init() override;
};

class TActions : public TModelCollection {
protected:
    void Init() override;
};

class TTriggers : public TModelCollection {
protected:
    void Init() override;
};

class TAgents : public TModelCollection {
protected:
    void Init() override;
};
