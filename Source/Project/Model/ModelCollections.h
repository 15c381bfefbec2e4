#pragma once

#include "BOMObjects.h"

// The collections of the model: element, item element and default item class each.
class TModelCollection : public TBOMCollection {
protected:
    // Subclasses give their keys and names.
    void Setup(const char* key, const char* element, const char* itemElement, const char* defaultItem);
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
