#pragma once

#include "EnabledItem.h"

// Runs an operation of the action it names when its trigger fires.
class TAgent : public TEnabledItem, public IDescriptorItem {
    GLZ_INTERFACES(TEnabledItem, IDescriptorItem)

public:
    bool IsEnabled() override { return TEnabledItem::IsEnabled(); }
    virtual void GetDescriptorExtra(std::string& text);
    void GetDescriptor(std::string& text) override;

protected:
    void Init() override;
    ComPtr<IUnknown> QueryKind(const std::string& kind) override;
    bool IsKindOf(const std::string& kind) override;
};

class TMessageAgent : public TAgent {
protected:
    void Init() override;
};

// Fires its enabled agents on a window message.
class TTrigger : public TEnabledItem, public IDescriptorItem {
    GLZ_INTERFACES(TEnabledItem, IDescriptorItem)

public:
    bool IsEnabled() override { return TEnabledItem::IsEnabled(); }
    virtual void GetDescriptorExtra(std::string& text);
    void GetDescriptor(std::string& text) override;

protected:
    void Init() override;
    ComPtr<IUnknown> QueryKind(const std::string& kind) override;
    bool IsKindOf(const std::string& kind) override;

    std::string KindKey;
};

class TMessageTrigger : public TTrigger {
public:
    void GetDescriptorExtra(std::string& text) override;

protected:
    void Init() override;
    // Concrete triggers give their key; it is both class key and kind key.
    void SetKeys(const char* key);
};

class TWMCreateMessageTrigger : public TMessageTrigger {
protected:
    void Init() override;
};

class TWMActivateWindowMessageTrigger : public TMessageTrigger {
protected:
    void Init() override;
};

class TWMInActivateWindowMessageTrigger : public TMessageTrigger {
protected:
    void Init() override;
};
