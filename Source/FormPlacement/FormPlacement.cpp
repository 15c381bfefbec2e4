#include "FormPlacement.h"

#include "Application.h"
#include "Errors.h"
#include "Screen.h"
#include "WindowPlacement.h"

#include <algorithm>

namespace {

// A program without the resources keeps those numbers empty.
bool RegisterCursors() {
    for (const auto& [number, name] : {std::pair{crHand, "RX_HANDCUR"}, std::pair{crDragHand, "RX_DRAGCUR"}})
        if (HCURSOR cursor = LoadCursorA(GetModuleHandleA(nullptr), name))
            Screen().SetCursor(number, cursor);
    return true;
}
[[maybe_unused]] const bool CursorsRegistered = RegisterCursors();

constexpr char VersionValue[] = "FormVersion";
constexpr char VisibleValue[] = "Visible";
constexpr char ActiveControlValue[] = "ActiveControl";

HKEY RootKey(TPlacementRegRoot root) {
    switch (root) {
    case TPlacementRegRoot::prLocalMachine:
        return HKEY_LOCAL_MACHINE;
    case TPlacementRegRoot::prCurrentConfig:
        return HKEY_CURRENT_CONFIG;
    case TPlacementRegRoot::prClassesRoot:
        return HKEY_CLASSES_ROOT;
    case TPlacementRegRoot::prUsers:
        return HKEY_USERS;
    case TPlacementRegRoot::prDynData:
        return HKEY_DYN_DATA;
    case TPlacementRegRoot::prCurrentUser:
        break;
    }
    return HKEY_CURRENT_USER;
}

// Runs a form event's step; a failure is shown and the form goes on.
template <class Step> void Shown(Step step) noexcept {
    try {
        step();
    } catch (...) {
        Application().HandleException();
    }
}

// The restore runs before its form is shown: whether the control will take the focus once
// the form is, visible and enabled within it.
bool CanTakeFocus(const TWinControl* control, const TForm* form) {
    if (control == nullptr || control == form || !control->HandleAllocated())
        return false;
    for (HWND window = control->Handle(); window != nullptr && window != form->Handle();
         window = GetParent(window))
        if ((GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) == 0 || !IsWindowEnabled(window))
            return false;
    return IsChild(form->Handle(), control->Handle()) != FALSE;
}

} // namespace

POINT* TWinMinMaxInfo::Field(int index) noexcept {
    switch (index) {
    case 0:
    case 1:
        return &maxPosition_;
    case 2:
    case 3:
        return &maxSize_;
    case 4:
    case 5:
        return &maxTrackSize_;
    case 6:
    case 7:
        return &minTrackSize_;
    default:
        return nullptr;
    }
}

LONG* TWinMinMaxInfo::Value(int index) noexcept {
    POINT* field = Field(index);
    if (field == nullptr)
        return nullptr;
    // Left and widths are x; top and heights are y.
    const bool x = index == 0 || index == 3 || index == 5 || index == 7;
    return x ? &field->x : &field->y;
}

int TWinMinMaxInfo::GetLimit(int index) const noexcept {
    const LONG* value = const_cast<TWinMinMaxInfo*>(this)->Value(index);
    return value != nullptr ? static_cast<int>(*value) : 0;
}

void TWinMinMaxInfo::SetLimit(int index, int value) {
    LONG* field = Value(index);
    if (field == nullptr || *field == value)
        return;
    *field = value;
    if (owner_ != nullptr)
        owner_->MinMaxChanged();
}

void TWinMinMaxInfo::Assign(const TWinMinMaxInfo& source) {
    maxSize_ = source.maxSize_;
    maxPosition_ = source.maxPosition_;
    minTrackSize_ = source.minTrackSize_;
    maxTrackSize_ = source.maxTrackSize_;
    if (owner_ != nullptr)
        owner_->MinMaxChanged();
}

bool TWinMinMaxInfo::IsDefault() const noexcept {
    for (int i = 0; i < 8; ++i)
        if (GetLimit(i) != 0)
            return false;
    return true;
}

TPlacementLink::~TPlacementLink() {
    SetPlacement(nullptr);
}

void TPlacementLink::SetPlacement(TFormPlacement* placement) {
    if (placement_ == placement)
        return;
    if (placement_ != nullptr) {
        auto& links = placement_->links_;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
    }
    placement_ = placement;
    if (placement_ != nullptr)
        placement_->links_.push_back(this);
}

HWND TFormPlacement::TFormTarget::HookWindow() {
    const TForm* form = placement_->OwnerForm();
    return form != nullptr ? form->Handle() : nullptr;
}

bool TFormPlacement::TFormTarget::HookTargetDestroying() const {
    const TForm* form = placement_->OwnerForm();
    return form == nullptr || form->Destroying();
}

TFormPlacement::TFormPlacement(TComponent* owner) : TComponent(owner) {
    SetClassName("TFormPlacement");
    if (OwnerForm() != nullptr)
        options_ = fpState | fpPosition;
    hook_.AfterMessage = [this](TRxWindowHook*, TWindowMessage& message, bool&) {
        HandleHookMessage(message);
    };
}

TFormPlacement::~TFormPlacement() {
    MarkDestroying();
    CloseStore();
    for (TPlacementLink* link : links_)
        link->placement_ = nullptr;
    links_.clear();
    DetachHook();
    UnchainFormEvents();
}

TForm* TFormPlacement::OwnerForm() const noexcept {
    return dynamic_cast<TForm*>(Owner());
}

std::string TFormPlacement::GetIniFileName() const {
    if (!iniFileName_.empty())
        return iniFileName_;
    return useRegistry_ ? DefaultRegistryKey() : DefaultIniFileName();
}

std::string TFormPlacement::GetIniSection() const {
    if (!iniSection_.empty())
        return iniSection_;
    return DefaultSectionName(Owner());
}

void TFormPlacement::Loaded() {
    TComponent::Loaded();
    ChainFormEvents();
    UpdateHook();
}

void TFormPlacement::ChainFormEvents() {
    TForm* form = OwnerForm();
    if (form == nullptr || chained_)
        return;
    chained_ = true;
    savedShow_ = form->OnShow;
    savedCloseQuery_ = form->OnCloseQuery;
    savedDestroy_ = form->OnDestroy;
    form->OnShow = [this](TComponent* sender) { FormShown(sender); };
    form->OnCloseQuery = [this](TComponent* sender, bool& canClose) { FormCloseQueried(sender, canClose); };
    form->OnDestroy = [this](TComponent* sender) { FormDestroying(sender); };
    defaultMaximize_ = (form->BorderIcons() & biMaximize) != 0;
    if (preventResize_)
        ApplyPreventResize();
}

void TFormPlacement::UnchainFormEvents() {
    TForm* form = OwnerForm();
    // A form that is going has already run its events, and its members may be gone.
    if (form == nullptr || !chained_ || form->Destroying())
        return;
    chained_ = false;
    form->OnShow = savedShow_;
    form->OnCloseQuery = savedCloseQuery_;
    form->OnDestroy = savedDestroy_;
}

void TFormPlacement::FormShown(TComponent* sender) {
    if (active_)
        Shown([this] { LoadFromStore(); });
    if (savedShow_)
        savedShow_(sender);
}

void TFormPlacement::FormCloseQueried(TComponent* sender, bool& canClose) {
    if (savedCloseQuery_)
        savedCloseQuery_(sender, canClose);
    const TForm* form = OwnerForm();
    if (canClose && active_ && form != nullptr && form->HandleAllocated())
        Shown([this] { SaveToStore(); });
}

void TFormPlacement::FormDestroying(TComponent* sender) {
    if (active_ && !saved_) {
        destroying_ = true;
        Shown([this] { SaveToStore(); });
        destroying_ = false;
    }
    if (savedDestroy_)
        savedDestroy_(sender);
}

std::unique_ptr<TPlacementStore> TFormPlacement::NewStore(bool readOnly) {
    if (useRegistry_)
        return std::make_unique<TRegistryStore>(RootKey(registryRoot_), GetIniFileName(), readOnly);
    return std::make_unique<TIniFileStore>(GetIniFileName());
}

void TFormPlacement::OpenStore(bool readOnly) {
    if (!store_)
        store_ = NewStore(readOnly);
}

void TFormPlacement::CloseStore() noexcept {
    store_.reset();
}

template <class Access> auto TFormPlacement::WithStore(bool readOnly, Access access) {
    if (store_)
        return access(store_.get());
    OpenStore(readOnly);
    const TStoreScope scope(this);
    return access(store_.get());
}

std::string TFormPlacement::ReadSectionValue(const std::string& section, const std::string& ident,
                                             const std::string& fallback) {
    return WithStore(true,
                     [&](TPlacementStore* store) { return StoreReadText(store, section, ident, fallback); });
}

void TFormPlacement::WriteSectionValue(const std::string& section, const std::string& ident,
                                       const std::string& value) {
    WithStore(false, [&](TPlacementStore* store) { StoreWriteText(store, section, ident, value); });
}

std::string TFormPlacement::ReadValue(const std::string& ident, const std::string& fallback) {
    return ReadSectionValue(GetIniSection(), ident, fallback);
}

void TFormPlacement::WriteValue(const std::string& ident, const std::string& value) {
    WriteSectionValue(GetIniSection(), ident, value);
}

int TFormPlacement::ReadIntValue(const std::string& ident, int fallback) {
    return WithStore(
        true, [&](TPlacementStore* store) { return StoreReadInt(store, GetIniSection(), ident, fallback); });
}

void TFormPlacement::WriteIntValue(const std::string& ident, int value) {
    WithStore(false, [&](TPlacementStore* store) { StoreWriteInt(store, GetIniSection(), ident, value); });
}

void TFormPlacement::SaveToStore() {
    // A placement that never restored must not overwrite good values with its form's.
    if (!restored_ && active_)
        return;
    OpenStore(false);
    const TStoreScope scope(this);
    WriteIntValue(VersionValue, version_);
    WritePlacement();
    DoSavePlacement();
    saved_ = true;
}

void TFormPlacement::LoadFromStore() {
    saved_ = false;
    {
        OpenStore(true);
        const TStoreScope scope(this);
        if (ReadIntValue(VersionValue, 0) >= version_) {
            ReadPlacement();
            restored_ = true;
            DoRestorePlacement();
            TForm* form = OwnerForm();
            if ((options_ & fpActiveControl) != 0 && form != nullptr) {
                auto* control =
                    dynamic_cast<TWinControl*>(form->FindComponent(ReadValue(ActiveControlValue, "")));
                if (CanTakeFocus(control, form))
                    form->SetActiveControl(control);
            }
        }
        restored_ = true;
    }
    ResetMaximizedPosition();
}

void TFormPlacement::WritePlacement() {
    if (TForm* form = OwnerForm()) {
        if ((options_ & (fpState | fpPosition)) != 0) {
            WriteWindowPlacement(form, store_.get(), GetIniSection());
            // Written for those who read it; a restore never does.
            WriteIntValue(VisibleValue, destroying_ ? 1 : 0);
        }
        TWinControl* active = form->ActiveControl();
        if ((options_ & fpActiveControl) != 0 && active != nullptr)
            WriteValue(ActiveControlValue, active->Name());
    }
    for (TPlacementLink* link : std::vector<TPlacementLink*>(links_))
        link->AfterSave();
}

void TFormPlacement::ReadPlacement() {
    if (TForm* form = OwnerForm())
        ReadWindowPlacement(form, store_.get(), GetIniSection(), (options_ & fpState) != 0,
                            (options_ & fpPosition) != 0);
    for (TPlacementLink* link : std::vector<TPlacementLink*>(links_))
        link->AfterRestore();
}

void TFormPlacement::DoSavePlacement() {
    if (OnSavePlacement)
        OnSavePlacement(this);
}

void TFormPlacement::DoRestorePlacement() {
    if (OnRestorePlacement)
        OnRestorePlacement(this);
}

void TFormPlacement::HandleHookMessage(TWindowMessage& message) {
    TForm* form = OwnerForm();
    if (preventResize_ && form != nullptr) {
        switch (message.Msg) {
        case WM_GETMINMAXINFO:
            if (form->HandleAllocated() && IsWindowVisible(form->Handle())) {
                auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
                info->ptMinTrackSize = {form->Width(), form->Height()};
                info->ptMaxTrackSize = {form->Width(), form->Height()};
                message.Result = 1;
            }
            break;
        case WM_NCHITTEST:
            if (message.Result >= HTLEFT && message.Result <= HTBOTTOMRIGHT)
                message.Result = HTNOWHERE;
            break;
        case WM_INITMENUPOPUP:
            if (HIWORD(message.LParam) != 0) {
                const auto menu = reinterpret_cast<HMENU>(message.WParam);
                EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
                EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
                message.Result = 1;
            }
            break;
        default:
            break;
        }
        return;
    }
    if (message.Msg != WM_GETMINMAXINFO)
        return;
    auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
    if (HasMinMaxLimits()) {
        const auto limit = [](LONG& field, int value) {
            if (value != 0)
                field = value;
        };
        limit(info->ptMinTrackSize.x, minMaxInfo_.MinTrackWidth());
        limit(info->ptMinTrackSize.y, minMaxInfo_.MinTrackHeight());
        limit(info->ptMaxTrackSize.x, minMaxInfo_.MaxTrackWidth());
        limit(info->ptMaxTrackSize.y, minMaxInfo_.MaxTrackHeight());
        limit(info->ptMaxSize.x, minMaxInfo_.MaxSizeWidth());
        limit(info->ptMaxSize.y, minMaxInfo_.MaxSizeHeight());
        limit(info->ptMaxPosition.x, minMaxInfo_.MaxPosLeft());
        limit(info->ptMaxPosition.y, minMaxInfo_.MaxPosTop());
    } else {
        info->ptMaxPosition = {0, 0};
    }
    message.Result = 1;
}

void TFormPlacement::AttachHook() {
    if (OwnerForm() != nullptr)
        hook_.SetWinControl(&formTarget_);
}

void TFormPlacement::DetachHook() {
    hook_.SetWinControl(nullptr);
}

void TFormPlacement::UpdateHook() {
    if (HasMinMaxLimits() || preventResize_)
        AttachHook();
    else
        DetachHook();
}

void TFormPlacement::MinMaxChanged() {
    ResetMaximizedPosition();
    if (!Loading())
        UpdateHook();
}

void TFormPlacement::SetPreventResize(bool flag) {
    if (OwnerForm() == nullptr || flag == preventResize_)
        return;
    preventResize_ = flag;
    ResetMaximizedPosition();
    ApplyPreventResize();
}

void TFormPlacement::ApplyPreventResize() {
    TForm* form = OwnerForm();
    if (form == nullptr)
        return;
    if (preventResize_)
        defaultMaximize_ = (form->BorderIcons() & biMaximize) != 0;
    // The border change must not run the form's restore or save on the way.
    const bool wasActive = active_;
    active_ = false;
    struct TRestore {
        bool& Active;
        bool Value;
        ~TRestore() { Active = Value; }
    } restore{active_, wasActive};
    TBorderIcons icons = form->BorderIcons();
    if (preventResize_ || !defaultMaximize_ || form->BorderStyle() == TBorderStyle::bsDialog)
        icons &= ~biMaximize;
    else
        icons |= biMaximize;
    form->SetBorderIcons(icons);
    if (!Loading())
        UpdateHook();
}

void TFormPlacement::ResetMaximizedPosition() {
    TForm* form = OwnerForm();
    if (form == nullptr || !form->HandleAllocated() || Loading() || preventResize_ || HasMinMaxLimits())
        return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(form->Handle(), &placement);
    if (!IsWindowVisible(form->Handle()))
        placement.showCmd = SW_HIDE;
    POINT frame{0, 0};
    switch (form->BorderStyle()) {
    case TBorderStyle::bsSingle:
    case TBorderStyle::bsToolWindow:
        frame = {GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER)};
        break;
    case TBorderStyle::bsSizeable:
    case TBorderStyle::bsSizeToolWin:
        frame = {GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME)};
        break;
    case TBorderStyle::bsDialog:
        frame = {GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME)};
        break;
    case TBorderStyle::bsNone:
        break;
    }
    placement.ptMaxPosition = {-frame.x, -frame.y};
    SetWindowPlacement(form->Handle(), &placement);
}

TFormStorage::TFormStorage(TComponent* owner) : TFormPlacement(owner) {
    SetClassName("TFormStorage");
}

TFormStorage::~TFormStorage() {
    MarkDestroying();
    storedProps_.clear();
    storedValues_.Clear();
}

void TFormStorage::SetStoredProps(const TStoredItems& list) {
    storedProps_ = list;
    for (const TStoredItem& item : storedProps_)
        if (item.Component != nullptr)
            item.Component->FreeNotification(this);
    if (!Loading())
        Resolve();
}

void TFormStorage::SetStoredProps(const std::vector<std::string>& lines) {
    TStoredItems list;
    for (const std::string& line : lines)
        list.push_back({line, nullptr});
    SetStoredProps(list);
}

void TFormStorage::SetStoredValues(const TStoredValues& values) {
    storedValues_.Clear();
    for (int i = 0; i < values.Count(); ++i)
        storedValues_.Add()->Assign(*values.ItemAt(i));
}

void TFormStorage::Loaded() {
    TFormPlacement::Loaded();
    Resolve();
}

void TFormStorage::Resolve() {
    SyncStoredList(Owner(), &storedProps_, true);
    // Without a form the lines stay as they are, with no component to watch.
    for (const TStoredItem& item : storedProps_)
        if (item.Component != nullptr)
            item.Component->FreeNotification(this);
}

void TFormStorage::Notification(TComponent* component, TOperation operation) {
    TFormPlacement::Notification(component, operation);
    if (operation != TOperation::opRemove || Destroying())
        return;
    storedProps_.erase(
        std::remove_if(storedProps_.begin(), storedProps_.end(),
                       [component](const TStoredItem& item) { return item.Component == component; }),
        storedProps_.end());
}

void TFormStorage::WritePlacement() {
    TFormPlacement::WritePlacement();
    WriteStoredProps();
    storedValues_.WriteAllValues();
}

void TFormStorage::ReadPlacement() {
    TFormPlacement::ReadPlacement();
    ReadStoredProps();
    storedValues_.ReadAllValues();
}

void TFormStorage::WriteStoredProps() {
    TPropsStorage storage;
    storage.Section = GetIniSection();
    storage.OnWriteText = [this](const std::string& section, const std::string& ident,
                                 const std::string& value) { WriteSectionValue(section, ident, value); };
    storage.OnClearSection = [this](const std::string& section) {
        if (Store() != nullptr)
            Store()->EraseSection(section);
    };
    storage.SaveAll(Owner(), storedProps_);
}

void TFormStorage::ReadStoredProps() {
    TPropsStorage storage;
    storage.Section = GetIniSection();
    storage.OnReadText = [this](const std::string& section, const std::string& ident,
                                const std::string& fallback) {
        return ReadSectionValue(section, ident, fallback);
    };
    try {
        storage.LoadAll(Owner(), storedProps_);
    } catch (...) {
        // Properties that do not load leave the form as it was made.
        TraceFailure("stored properties");
    }
}
