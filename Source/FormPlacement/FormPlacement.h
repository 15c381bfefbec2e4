#pragma once

#include "Forms.h"
#include "PlacementStores.h"
#include "PropsStorage.h"
#include "StoredValues.h"
#include "WindowHooks.h"

#include <memory>
#include <string>
#include <vector>

class TFormPlacement;

// The numbers of the library's two cursors in the screen's cursor table, registered from the
// program's cursor resources "RX_HANDCUR" and "RX_DRAGCUR" when the program starts.
constexpr int crHand = 14000;
constexpr int crDragHand = 14001;

enum TPlacementOption : unsigned { fpState = 1, fpPosition = 2, fpActiveControl = 4 };
using TPlacementOptions = unsigned;

enum class TPlacementRegRoot {
    prCurrentUser,
    prLocalMachine,
    prCurrentConfig,
    prClassesRoot,
    prUsers,
    prDynData
};

// Tracking and maximised limits of one placement; 0 leaves the system's value.
class TWinMinMaxInfo {
public:
    explicit TWinMinMaxInfo(TFormPlacement* owner) noexcept : owner_(owner) {}
    TWinMinMaxInfo(const TWinMinMaxInfo&) = delete;
    TWinMinMaxInfo& operator=(const TWinMinMaxInfo&) = delete;

    // 0 MaxPosLeft, 1 MaxPosTop, 2 MaxSizeHeight, 3 MaxSizeWidth, 4 MaxTrackHeight,
    // 5 MaxTrackWidth, 6 MinTrackHeight, 7 MinTrackWidth; any other index reads 0.
    int GetLimit(int index) const noexcept;
    void SetLimit(int index, int value);
    void Assign(const TWinMinMaxInfo& source);
    bool IsDefault() const noexcept;

    int MaxPosLeft() const noexcept { return GetLimit(0); }
    int MaxPosTop() const noexcept { return GetLimit(1); }
    int MaxSizeHeight() const noexcept { return GetLimit(2); }
    int MaxSizeWidth() const noexcept { return GetLimit(3); }
    int MaxTrackHeight() const noexcept { return GetLimit(4); }
    int MaxTrackWidth() const noexcept { return GetLimit(5); }
    int MinTrackHeight() const noexcept { return GetLimit(6); }
    int MinTrackWidth() const noexcept { return GetLimit(7); }
    void SetMaxPosLeft(int value) { SetLimit(0, value); }
    void SetMaxPosTop(int value) { SetLimit(1, value); }
    void SetMaxSizeHeight(int value) { SetLimit(2, value); }
    void SetMaxSizeWidth(int value) { SetLimit(3, value); }
    void SetMaxTrackHeight(int value) { SetLimit(4, value); }
    void SetMaxTrackWidth(int value) { SetLimit(5, value); }
    void SetMinTrackHeight(int value) { SetLimit(6, value); }
    void SetMinTrackWidth(int value) { SetLimit(7, value); }

private:
    POINT* Field(int index) noexcept;
    LONG* Value(int index) noexcept;

    TFormPlacement* owner_;
    // As in MINMAXINFO: maximised size, maximised position, minimum and maximum tracking size.
    POINT maxSize_{};
    POINT maxPosition_{};
    POINT minTrackSize_{};
    POINT maxTrackSize_{};
};

// An object told after each save and restore of the placement it is linked to.
class TPlacementLink {
public:
    TPlacementLink() = default;
    TPlacementLink(const TPlacementLink&) = delete;
    TPlacementLink& operator=(const TPlacementLink&) = delete;
    virtual ~TPlacementLink();

    TFormPlacement* Placement() const noexcept { return placement_; }
    void SetPlacement(TFormPlacement* placement);

    virtual void AfterSave() {}
    virtual void AfterRestore() {}

private:
    friend class TFormPlacement;
    TFormPlacement* placement_ = nullptr;
};

// Brings its form back where the user left it: restores the window placement when the form
// is shown, saves it when the form closes or goes, in a registry key or an ini file, and can
// freeze the form's size or limit it through a hook of the form's window procedure.
class TFormPlacement : public TComponent, public IValueStorage {
public:
    explicit TFormPlacement(TComponent* owner);
    ~TFormPlacement() override;

    bool Active() const noexcept { return active_; }
    void SetActive(bool active) noexcept { active_ = active; }
    std::string GetIniFileName() const;
    void SetIniFileName(const std::string& name) { iniFileName_ = name; }
    std::string GetIniSection() const;
    void SetIniSection(const std::string& section) { iniSection_ = section; }
    TWinMinMaxInfo& MinMaxInfo() noexcept { return minMaxInfo_; }
    void SetMinMaxInfo(const TWinMinMaxInfo& info) { minMaxInfo_.Assign(info); }
    TPlacementOptions Options() const noexcept { return options_; }
    void SetOptions(TPlacementOptions options) noexcept { options_ = options; }
    bool PreventResize() const noexcept { return preventResize_; }
    void SetPreventResize(bool flag);
    TPlacementRegRoot RegistryRoot() const noexcept { return registryRoot_; }
    void SetRegistryRoot(TPlacementRegRoot root) noexcept { registryRoot_ = root; }
    bool UseRegistry() const noexcept { return useRegistry_; }
    void SetUseRegistry(bool flag) noexcept { useRegistry_ = flag; }
    int Version() const noexcept { return version_; }
    void SetVersion(int version) noexcept { version_ = version; }
    TNotifyEvent OnSavePlacement;
    TNotifyEvent OnRestorePlacement;

    void SaveToStore();
    void LoadFromStore();

    // In the component's own section; each opens the store for the one call unless it is open.
    std::string ReadValue(const std::string& ident, const std::string& fallback) override;
    void WriteValue(const std::string& ident, const std::string& value) override;
    int ReadIntValue(const std::string& ident, int fallback);
    void WriteIntValue(const std::string& ident, int value);

    virtual void WritePlacement();
    virtual void ReadPlacement();
    virtual std::string ReadSectionValue(const std::string& section, const std::string& ident,
                                         const std::string& fallback);
    virtual void WriteSectionValue(const std::string& section, const std::string& ident,
                                   const std::string& value);

    bool HasMinMaxLimits() const noexcept { return !minMaxInfo_.IsDefault(); }
    void MinMaxChanged();
    // The form's window procedure is hooked (size limits or no resizing).
    bool Hooked() const noexcept { return hook_.GetWinControl() != nullptr; }
    bool Restored() const noexcept { return restored_; }
    bool Saved() const noexcept { return saved_; }

protected:
    virtual void DoSavePlacement();
    virtual void DoRestorePlacement();
    // The store of one save or restore: a registry key below RegistryRoot or an ini file.
    virtual std::unique_ptr<TPlacementStore> NewStore(bool readOnly);
    void Loaded() override;

    TForm* OwnerForm() const noexcept;
    TPlacementStore* Store() const noexcept { return store_.get(); }
    void OpenStore(bool readOnly);
    void CloseStore() noexcept;

private:
    friend class TPlacementLink;

    // The form as the hook watches it.
    class TFormTarget : public THookTarget {
    public:
        explicit TFormTarget(TFormPlacement* placement) noexcept : placement_(placement) {}
        HWND HookWindow() override;
        bool HookTargetDestroying() const override;

    private:
        TFormPlacement* placement_;
    };

    // Closes the store at the end of one save, restore or single access.
    class TStoreScope {
    public:
        explicit TStoreScope(TFormPlacement* placement) noexcept : placement_(placement) {}
        TStoreScope(const TStoreScope&) = delete;
        TStoreScope& operator=(const TStoreScope&) = delete;
        ~TStoreScope() { placement_->CloseStore(); }

    private:
        TFormPlacement* placement_;
    };

    void ChainFormEvents();
    void UnchainFormEvents();
    void FormShown(TComponent* sender);
    void FormCloseQueried(TComponent* sender, bool& canClose);
    void FormDestroying(TComponent* sender);
    void HandleHookMessage(TWindowMessage& message);
    void AttachHook();
    void DetachHook();
    void UpdateHook();
    void ResetMaximizedPosition();
    void ApplyPreventResize();
    template <class Access> auto WithStore(bool readOnly, Access access);

    bool active_ = true;
    std::string iniFileName_;
    std::string iniSection_;
    TWinMinMaxInfo minMaxInfo_{this};
    TPlacementOptions options_ = 0;
    bool preventResize_ = false;
    TPlacementRegRoot registryRoot_ = TPlacementRegRoot::prCurrentUser;
    bool useRegistry_ = false;
    int version_ = 0;

    std::unique_ptr<TPlacementStore> store_;
    std::vector<TPlacementLink*> links_;
    bool saved_ = false;
    bool restored_ = false;
    bool destroying_ = false;
    bool defaultMaximize_ = false;
    bool chained_ = false;
    TFormTarget formTarget_{this};
    TRxWindowHook hook_;
    TNotifyEvent savedShow_;
    TCloseQueryEvent savedCloseQuery_;
    TNotifyEvent savedDestroy_;
};

// A placement that also keeps chosen properties of the form's components (lines
// ComponentName.PropertyName) and named free values, in the same section.
class TFormStorage : public TFormPlacement {
public:
    explicit TFormStorage(TComponent* owner);
    ~TFormStorage() override;

    const TStoredItems& StoredProps() const noexcept { return storedProps_; }
    void SetStoredProps(const TStoredItems& list);
    void SetStoredProps(const std::vector<std::string>& lines);
    TStoredValues& StoredValues() noexcept { return storedValues_; }
    void SetStoredValues(const TStoredValues& values);

    void WritePlacement() override;
    void ReadPlacement() override;
    virtual void WriteStoredProps();
    virtual void ReadStoredProps();

protected:
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void Resolve();

    TStoredItems storedProps_;
    TStoredValues storedValues_{this};
};
