#pragma once

#include "BOM_UI.h"

// The collections of the model: element, item element and default item class each.
class TModelCollection : public TBOM_UI_Collection {
protected:
    // Subclasses give their keys and names; the caption is fixed when not empty.
    void Setup(const char* key, const char* element, const char* itemElement, const char* defaultItem,
               int image, const char* caption);
    std::string GetCaption() override;

private:
    std::string caption_;
};

class TWindowRules : public TModelCollection {
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
