#include "Controls.h"

#include "ControlHosts.h"
#include "Errors.h"
#include "Hints.h"
#include "Menus.h"
#include "MessageDispatch.h"
#include "WindowClasses.h"
#include "WindowMap.h"

TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {
    SetClassName("TWinControl");
}

TWinControl::~TWinControl() {
    MarkDestroying();
    for (TWinControl* child : children_)
        child->parent_ = nullptr;
    children_.clear();
    if (parent_ != nullptr) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        parent_ = nullptr;
    }
    if (hwnd_ != nullptr) {
        const HWND hwnd = hwnd_;
        DestroyWindow(hwnd);
        if (hwnd_ != nullptr) // destroyed by another thread's rules or refused: forget it anyway
            Unbind();
    }
}

TWinControl* TWinControl::FromHandle(HWND hwnd) noexcept {
    return hwnd != nullptr ? WindowMap().Find(hwnd).Control : nullptr;
}

TWinControl* TWinControl::FindControl(HWND hwnd) noexcept {
    for (; hwnd != nullptr; hwnd = GetParent(hwnd))
        if (TWinControl* control = FromHandle(hwnd))
            return control;
    return nullptr;
}

void TWinControl::CreateLayerWindow(const TWindowClass& cls, DWORD style, DWORD exStyle, int width,
                                    int height, HWND owner) {
    RegisterLayerClass(cls.Name, cls.Style, cls.Background, cls.Cursor, cls.Icon);
    const HWND hwnd = CreateWindowExA(exStyle, cls.Name, "", style, CW_USEDEFAULT, CW_USEDEFAULT, width,
                                      height, owner, nullptr, GetModuleHandleA(nullptr), this);
    if (hwnd == nullptr)
        throw Exception(std::string("Window could not be created: ") + cls.Name);
    designSize_ = {width, height};
    ApplyFont();
}

void TWinControl::CreateLayerWindow(TParent parent, const TWindowClass& cls, DWORD style, DWORD exStyle,
                                    int width, int height) {
    RegisterLayerClass(cls.Name, cls.Style, cls.Background, cls.Cursor, cls.Icon);
    id_ = NextControlId();
    const TDesignBounds at = parent.Place().value_or(TDesignBounds{0, 0, width, height});
    const HWND hwnd = CreateWindowExA(
        exStyle, cls.Name, "", style | WS_CHILD, at.Left, at.Top, at.Width, at.Height, parent.Window(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleA(nullptr), this);
    if (hwnd == nullptr)
        throw Exception(std::string("Window could not be created: ") + cls.Name);
    designSize_ = {at.Width, at.Height};
    Adopt(parent);
}

void TWinControl::CreateSystemWindow(TParent parent, const char* className, DWORD style, DWORD exStyle,
                                     int width, int height) {
    id_ = NextControlId();
    const TDesignBounds at = parent.Place().value_or(TDesignBounds{0, 0, width, height});
    const HWND hwnd = CreateWindowExA(
        exStyle, className, "", style | WS_CHILD, at.Left, at.Top, at.Width, at.Height, parent.Window(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr)
        throw Exception(std::string("Control could not be created: ") + className);
    hwnd_ = hwnd;
    unicode_ = IsWindowUnicode(hwnd) != FALSE;
    // The object is known before the first message reaches the new procedure.
    previousProc_ = GetWindowProcedure(hwnd, unicode_);
    WindowMap().Set(hwnd, {this, previousProc_, nullptr, unicode_});
    if (!SetWindowProcedure(hwnd, ControlSubclassProc, unicode_)) {
        Unbind();
        DestroyWindow(hwnd);
        throw Exception(std::string("Control could not be subclassed: ") + className);
    }
    designSize_ = {at.Width, at.Height};
    Adopt(parent);
}

void TWinControl::Bind(HWND hwnd) noexcept {
    hwnd_ = hwnd;
    WindowMap().Set(hwnd, {this, nullptr});
}

void TWinControl::Unbind() noexcept {
    if (hwnd_ == nullptr)
        return;
    RemoveControlHint(hwnd_);
    if (previousProc_ == nullptr) {
        WindowMap().Remove(hwnd_);
    } else if (GetWindowProcedure(hwnd_, unicode_) == ControlSubclassProc) {
        SetWindowProcedure(hwnd_, previousProc_, unicode_);
        WindowMap().Remove(hwnd_);
    } else {
        // A procedure subclassed over ours still calls it, to pass the messages on.
        WindowMap().Orphan(hwnd_);
    }
    previousProc_ = nullptr;
    unicode_ = false;
    hwnd_ = nullptr;
}

bool TWinControl::InDestruction() const noexcept {
    for (const TComponent* c = this; c != nullptr; c = c->Owner())
        if (c->Destroying())
            return true;
    for (const TWinControl* c = parent_; c != nullptr; c = c->parent_)
        if (c->Destroying())
            return true;
    return false;
}

LRESULT TWinControl::CallDefault(UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd_ == nullptr)
        return 0;
    return CallWindowProcedure(previousProc_, unicode_, hwnd_, msg, wp, lp);
}

HBRUSH TWinControl::BackgroundBrush() const {
    if (color_ != clDefault) {
        if (!brush_)
            brush_.Reset(CreateSolidBrush(color_));
        return brush_.Get();
    }
    return parent_ != nullptr ? parent_->BackgroundBrush() : nullptr;
}

void TWinControl::SetColor(COLORREF color) {
    if (color == color_)
        return;
    color_ = color;
    brush_.Reset();
    Invalidate();
}

void TWinControl::SetCursor(HCURSOR cursor) {
    cursor_ = cursor;
}

void TWinControl::AdjustClientRect(RECT&) const {}

void TWinControl::AlignedControls() {}

void TWinControl::Resized() {
    if (OnResize)
        OnResize(this);
}

void TWinControl::HandleDestroyed() {}

void TWinControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == PopupMenu)
        PopupMenu = nullptr;
}

void TWinControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TWinControl::Change() {
    if (!IsSilent() && OnChange)
        OnChange(this);
}

void TWinControl::DoExit() {
    if (OnExit)
        OnExit(this);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress)
        OnKeyPress(this, key);
}

bool TWinControl::Visible() const {
    return hwnd_ != nullptr && (showing_ || (GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0);
}

void TWinControl::SetVisible(bool visible) {
    if (hwnd_ == nullptr || visible == Visible())
        return;
    // Laid out in its place first: a page is shown once, at its size, and painted once.
    if (visible)
        TakePlace();
    ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
    if (!visible && align_ != TAlign::alNone && ParentWindow() != nullptr)
        RealignWindow(ParentWindow());
}

void TWinControl::TakePlace() {
    if (hwnd_ == nullptr || align_ == TAlign::alNone || ParentWindow() == nullptr)
        return;
    const TScopedValue<bool> showing(showing_, true);
    RealignWindow(ParentWindow());
}

bool TWinControl::Enabled() const {
    return hwnd_ != nullptr && IsWindowEnabled(hwnd_);
}

void TWinControl::SetEnabled(bool enabled) {
    if (hwnd_ != nullptr && enabled != Enabled())
        EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

std::string TWinControl::Text() const {
    if (hwnd_ == nullptr)
        return {};
    const int length = GetWindowTextLengthA(hwnd_);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(hwnd_, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

void TWinControl::SetText(const std::string& text) {
    if (hwnd_ == nullptr || Text() == text)
        return;
    // Edits report WM_SETTEXT as a change under Wine: that is not the user's edit.
    Silently([&] { SetWindowTextA(hwnd_, text.c_str()); });
}

void TWinControl::SetHint(const std::string& hint) {
    if (hint == hint_)
        return;
    hint_ = hint;
    if (hwnd_ != nullptr)
        SetControlHint(hwnd_, hint_);
}

TFont& TWinControl::Font() {
    if (!font_) {
        font_ = std::make_unique<TFont>(parent_ != nullptr ? parent_->Font() : TFont::DefaultGuiFont());
        font_->OnChange = [this] {
            parentFont_ = false;
            ApplyFont();
        };
    }
    return *font_;
}

void TWinControl::SetParentFont(bool parentFont) {
    if (parentFont == parentFont_)
        return;
    parentFont_ = parentFont;
    if (!parentFont_)
        Font();
    ApplyFont();
}

HFONT TWinControl::FontHandle() const {
    if (!parentFont_ && font_)
        return font_->Handle();
    if (parent_ != nullptr)
        return parent_->FontHandle();
    static thread_local TFont gui = TFont::DefaultGuiFont();
    return gui.Handle();
}

COLORREF TWinControl::FontColor() const {
    if (!parentFont_ && font_)
        return font_->Color();
    return parent_ != nullptr ? parent_->FontColor() : clDefault;
}

void TWinControl::ApplyFont() {
    if (hwnd_ == nullptr)
        return;
    // Each WM_SETFONT makes a control measure and redraw itself again (a label resizes); what
    // is not on screen yet is painted whole when it is shown.
    const HFONT font = FontHandle();
    if (font != windowFont_)
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), IsWindowVisible(hwnd_));
    for (TWinControl* child : children_)
        if (child->parentFont_)
            child->ApplyFont();
}

void TWinControl::SetFocus() {
    if (hwnd_ != nullptr)
        ::SetFocus(hwnd_);
}

bool TWinControl::Focused() const {
    const HWND focus = GetFocus();
    return hwnd_ != nullptr && (focus == hwnd_ || IsChild(hwnd_, focus));
}

bool TWinControl::CanFocus() const {
    if (hwnd_ == nullptr)
        return false;
    for (HWND h = hwnd_; h != nullptr; h = GetParent(h))
        if (!IsWindowVisible(h) || !IsWindowEnabled(h))
            return false;
    return true;
}

void TWinControl::Invalidate() {
    if (hwnd_ != nullptr)
        InvalidateRect(hwnd_, nullptr, TRUE);
}

void TWinControl::Repaint() {
    if (hwnd_ != nullptr)
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

POINT TWinControl::ClientToScreen(POINT point) const {
    if (hwnd_ != nullptr)
        ::ClientToScreen(hwnd_, &point);
    return point;
}

POINT TWinControl::ScreenToClient(POINT point) const {
    if (hwnd_ != nullptr)
        ::ScreenToClient(hwnd_, &point);
    return point;
}

std::vector<TPublishedProperty> TWinControl::PublishedProperties() {
    std::vector<TPublishedProperty> properties = TComponent::PublishedProperties();
    properties.push_back(IntegerProperty(
        "Left", [this] { return Left(); }, [this](int v) { SetLeft(v); }));
    properties.push_back(IntegerProperty(
        "Top", [this] { return Top(); }, [this](int v) { SetTop(v); }));
    properties.push_back(IntegerProperty(
        "Width", [this] { return Width(); }, [this](int v) { SetWidth(v); }));
    properties.push_back(IntegerProperty(
        "Height", [this] { return Height(); }, [this](int v) { SetHeight(v); }));
    properties.push_back(IntegerProperty(
        "ClientWidth", [this] { return ClientWidth(); },
        [this](int v) { SetClientSize(v, ClientHeight()); }));
    properties.push_back(IntegerProperty(
        "ClientHeight", [this] { return ClientHeight(); },
        [this](int v) { SetClientSize(ClientWidth(), v); }));
    properties.push_back(BooleanProperty(
        "Visible", [this] { return Visible(); }, [this](bool v) { SetVisible(v); }));
    properties.push_back(BooleanProperty(
        "Enabled", [this] { return Enabled(); }, [this](bool v) { SetEnabled(v); }));
    properties.push_back(StringProperty(
        "Hint", [this] { return hint_; }, [this](const std::string& v) { SetHint(v); }));
    properties.push_back(StringProperty(
        "Text", [this] { return Text(); }, [this](const std::string& v) { SetText(v); }));
    return properties;
}
