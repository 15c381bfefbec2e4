#include "Components.h"

#include "Errors.h"
#include "Pex.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

namespace {

template <class T> void Erase(std::vector<T*>& list, T* item) noexcept {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace

void OwnOrThrow(TComponent* owner, std::unique_ptr<TComponent> component) {
    if (owner == nullptr)
        throw Exception("A component made by Create needs an owner");
    owner->Own(std::move(component));
}

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr)
        owner->InsertComponent(this);
}

TComponent::~TComponent() {
    MarkDestroying();
    for (TComponent* other : std::vector<TComponent*>(notifies_)) {
        other->RemoveNotifier(this);
        other->Notification(this, TOperation::opRemove);
    }
    notifies_.clear();
    // Owned components go last made first, while this one is still whole enough to hear it.
    while (!owned_.empty()) {
        std::unique_ptr<TComponent> last = std::move(owned_.back());
        owned_.pop_back();
        last.reset();
    }
    for (TComponent* component : std::vector<TComponent*>(components_))
        component->owner_ = nullptr;
    components_.clear();
    if (owner_ != nullptr)
        owner_->RemoveComponent(this).release(); // null: this one is not in the owned list now
}

void TComponent::SetName(const std::string& name) {
    if (name == name_)
        return;
    if (owner_ != nullptr && !name.empty()) {
        TComponent* taken = owner_->FindComponent(name);
        if (taken != nullptr && taken != this)
            throw Exception("A component named " + name + " already exists");
    }
    name_ = name;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty())
        return nullptr;
    for (TComponent* component : components_)
        if (TextEqualsIgnoreCase(component->name_, name))
            return component;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (component == nullptr || component->owner_ == this)
        return;
    std::unique_ptr<TComponent> ownership;
    if (component->owner_ != nullptr)
        ownership = component->owner_->RemoveComponent(component);
    components_.push_back(component);
    component->owner_ = this;
    if (ownership)
        owned_.push_back(std::move(ownership));
    // Made while its owner loads: it is part of what is being loaded.
    if (Loading())
        component->BeginLoading();
    Notification(component, TOperation::opInsert);
}

std::unique_ptr<TComponent> TComponent::RemoveComponent(TComponent* component) {
    if (component == nullptr || component->owner_ != this)
        return nullptr;
    Notification(component, TOperation::opRemove);
    Erase(components_, component);
    component->owner_ = nullptr;
    std::unique_ptr<TComponent> ownership;
    const auto it =
        std::find_if(owned_.begin(), owned_.end(),
                     [component](const std::unique_ptr<TComponent>& p) { return p.get() == component; });
    if (it != owned_.end()) {
        ownership = std::move(*it);
        owned_.erase(it);
    }
    return ownership;
}

void TComponent::Own(std::unique_ptr<TComponent> component) {
    if (!component)
        return;
    InsertComponent(component.get());
    owned_.push_back(std::move(component));
}

void TComponent::FreeNotification(TComponent* other) {
    if (other == nullptr || other == this)
        return;
    if (std::find(notifies_.begin(), notifies_.end(), other) == notifies_.end())
        notifies_.push_back(other);
    if (std::find(other->notifies_.begin(), other->notifies_.end(), this) == other->notifies_.end())
        other->notifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
    if (other == nullptr)
        return;
    RemoveNotifier(other);
    other->RemoveNotifier(this);
}

void TComponent::RemoveNotifier(TComponent* other) noexcept {
    Erase(notifies_, other);
}

void TComponent::BeginLoading() {
    state_ |= csLoading;
    for (TComponent* component : components_)
        component->BeginLoading();
}

void TComponent::EndLoading() {
    for (TComponent* component : std::vector<TComponent*>(components_))
        component->EndLoading();
    if (Loading()) {
        state_ &= ~static_cast<unsigned>(csLoading);
        Loaded();
    }
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove)
        RemoveFreeNotification(component);
    for (TComponent* owned : std::vector<TComponent*>(components_))
        if (owned != component)
            owned->Notification(component, operation);
}

void TComponent::Loaded() {}

std::vector<TPublishedProperty> TComponent::PublishedProperties() {
    return {StringProperty(
                "Name", [this] { return name_; }, [this](const std::string& v) { SetName(v); }),
            IntegerProperty(
                "Tag", [this] { return Tag; }, [this](int v) { Tag = v; })};
}

bool TComponent::FindProperty(const std::string& name, TPublishedProperty& property) {
    for (TPublishedProperty& candidate : PublishedProperties())
        if (TextEqualsIgnoreCase(candidate.Name, name)) {
            property = std::move(candidate);
            return true;
        }
    return false;
}

TPublishedProperty IntegerProperty(std::string name, std::function<int()> get, std::function<void(int)> set) {
    return {std::move(name), TPropertyKind::pkInteger, [get] { return std::to_string(get()); },
            [set](const std::string& text) {
                char* end = nullptr;
                const long value = std::strtol(text.c_str(), &end, 10);
                if (text.empty() || end == nullptr || *end != '\0')
                    throw Exception("Not a whole number: " + text);
                set(static_cast<int>(value));
            }};
}

TPublishedProperty BooleanProperty(std::string name, std::function<bool()> get,
                                   std::function<void(bool)> set) {
    return {std::move(name), TPropertyKind::pkBoolean,
            [get] { return std::string(get() ? "True" : "False"); },
            [set](const std::string& text) {
                if (TextEqualsIgnoreCase(text, "True"))
                    set(true);
                else if (TextEqualsIgnoreCase(text, "False"))
                    set(false);
                else
                    throw Exception("Not a Boolean: " + text);
            }};
}

TPublishedProperty StringProperty(std::string name, std::function<std::string()> get,
                                  std::function<void(const std::string&)> set) {
    return {std::move(name), TPropertyKind::pkString, std::move(get), std::move(set)};
}
