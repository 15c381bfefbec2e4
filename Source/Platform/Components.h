#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TComponent;

using TNotifyEvent = std::function<void(TComponent* sender)>;

enum class TOperation { opInsert, opRemove };

enum class TPropertyKind { pkInteger, pkString, pkBoolean };

// A published property of a component as property storage reads and writes it: as text,
// integers in decimal and Booleans as "False" and "True". Set raises on text it cannot take.
struct TPublishedProperty {
    std::string Name;
    TPropertyKind Kind;
    std::function<std::string()> Get;
    std::function<void(const std::string&)> Set;
};

// Component states that the layer knows.
enum TComponentStateFlag : unsigned { csLoading = 1, csDestroying = 2 };

// A named part of a form: it has an owner that can find it by name and that frees it when the
// component was made through Create<T>(owner, ...). Removal is announced to the owner and to
// every component that asked for it with FreeNotification.
class TComponent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const noexcept { return owner_; }
    const std::string& Name() const noexcept { return name_; }
    // Names compare without regard to case; a name taken by a sibling raises.
    void SetName(const std::string& name);
    // The class name the system stores things under ("TCBAppForm").
    const std::string& ClassName() const noexcept { return className_; }

    // A component owned by this one with that name (letter case ignored), or null.
    TComponent* FindComponent(const std::string& name) const;

    // Takes a component into this one's list (it is not freed by this one unless Own'ed).
    void InsertComponent(TComponent* component);
    // Takes it out of the list; this one and everyone it owns hear opRemove. Answers the
    // ownership when this one owned it (dropping the answer frees the component).
    std::unique_ptr<TComponent> RemoveComponent(TComponent* component);
    // This one frees component at its own end (last owned first).
    void Own(std::unique_ptr<TComponent> component);

    // other hears opRemove when this one goes; both directions are cleared at either end.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

    bool Loading() const noexcept { return (state_ & csLoading) != 0; }
    bool Destroying() const noexcept { return (state_ & csDestroying) != 0; }
    // Marks this one and what it owns as loading; EndLoading clears it and calls Loaded.
    void BeginLoading();
    void EndLoading();

    int Tag = 0;

    // What this component publishes (Name and Tag here; controls add their bounds and state).
    virtual std::vector<TPublishedProperty> PublishedProperties();
    // The published property of that name (letter case ignored); false when there is none.
    bool FindProperty(const std::string& name, TPublishedProperty& property);

protected:
    // Heard about component; the base passes it on to every owned component.
    virtual void Notification(TComponent* component, TOperation operation);
    // The component and everything it owns are complete (after EndLoading).
    virtual void Loaded();
    void SetClassName(std::string name) { className_ = std::move(name); }
    // Marks the component as going; derived destructors call it first.
    void MarkDestroying() noexcept { state_ |= csDestroying; }

private:
    void RemoveNotifier(TComponent* other) noexcept;

    TComponent* owner_ = nullptr;
    std::string name_;
    std::string className_ = "TComponent";
    std::vector<TComponent*> components_;
    std::vector<std::unique_ptr<TComponent>> owned_;
    std::vector<TComponent*> notifies_;
    unsigned state_ = 0;
};

// Hands component to owner; without an owner nobody would free it, so that raises.
void OwnOrThrow(TComponent* owner, std::unique_ptr<TComponent> component);

// Makes a T owned by owner (freed with it) and answers it: Create<TEdit>(form).
template <class T, class... Args> T* Create(TComponent* owner, Args&&... args) {
    auto component = std::make_unique<T>(owner, std::forward<Args>(args)...);
    T* result = component.get();
    OwnOrThrow(owner, std::move(component));
    return result;
}

// Published properties made of a getter and a setter of the value's own type.
TPublishedProperty IntegerProperty(std::string name, std::function<int()> get, std::function<void(int)> set);
TPublishedProperty BooleanProperty(std::string name, std::function<bool()> get,
                                   std::function<void(bool)> set);
TPublishedProperty StringProperty(std::string name, std::function<std::string()> get,
                                  std::function<void(const std::string&)> set);
