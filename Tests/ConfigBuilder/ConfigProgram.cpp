#include "ConfigProgram.h"

#include "ChildProcess.h"
#include "ModuleFiles.h"
#include "WaitUntil.h"

#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

fs::path BuildFolder() {
    return fs::path(ModuleFileName()).parent_path();
}

// A block of memory in another process, for messages that carry a pointer.
class TRemoteBlock {
public:
    TRemoteBlock(HWND window, size_t size) : size_(size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_.Reset(
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
        address_ = VirtualAllocEx(process_.Get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~TRemoteBlock() {
        if (address_ != nullptr)
            VirtualFreeEx(process_.Get(), address_, 0, MEM_RELEASE);
    }
    TRemoteBlock(const TRemoteBlock&) = delete;
    TRemoteBlock& operator=(const TRemoteBlock&) = delete;
    void* Address() const { return address_; }
    void Write(const void* data, size_t size, size_t offset = 0) {
        WriteProcessMemory(process_.Get(), static_cast<char*>(address_) + offset, data, size, nullptr);
    }
    void Read(void* data, size_t size, size_t offset = 0) const {
        ReadProcessMemory(process_.Get(), static_cast<char*>(address_) + offset, data, size, nullptr);
    }

private:
    UniqueHandle process_;
    void* address_ = nullptr;
    size_t size_;
};

void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

struct TFindChild {
    std::string ClassName;
    std::string Text;
    bool AnyText;
    bool VisibleOnly = false;
    HWND Found = nullptr;
};

BOOL CALLBACK FindChildProc(HWND window, LPARAM param) noexcept {
    auto& find = *reinterpret_cast<TFindChild*>(param);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (find.ClassName == className && (!find.VisibleOnly || IsWindowVisible(window)) &&
        (find.AnyText || WindowText(window) == find.Text)) {
        find.Found = window;
        return FALSE;
    }
    return TRUE;
}

struct TFindTop {
    DWORD ProcessId;
    std::string ClassName;
    HWND Found = nullptr;
};

BOOL CALLBACK FindTopProc(HWND window, LPARAM param) noexcept {
    auto& find = *reinterpret_cast<TFindTop*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (processId == find.ProcessId && find.ClassName == className && IsWindowVisible(window)) {
        find.Found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

TConfigProgram::TConfigProgram(bool withCenter) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = fs::path(temp) /
              ("glzconfig" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount64()));
    fs::create_directories(folder_);
    std::vector<const char*> files{"GlazloConfig.exe"};
    if (withCenter) {
        files.push_back("GlazloCenter.exe");
        files.push_back("glzemb.dll");
    }
    for (const char* file : files)
        fs::copy_file(BuildFolder() / file, folder_ / file, fs::copy_options::overwrite_existing);
}

TConfigProgram::~TConfigProgram() {
    Kill();
    std::error_code ignored;
    WaitUntil(
        [&] {
            fs::remove_all(folder_, ignored);
            return !fs::exists(folder_);
        },
        2000);
}

void TConfigProgram::WriteConfiguration(const std::string& text) const {
    std::ofstream(folder_ / "Glazlo.ini", std::ios::binary | std::ios::trunc) << text;
}

std::string TConfigProgram::ReadConfiguration() const {
    std::ifstream in(folder_ / "Glazlo.ini", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

HANDLE TConfigProgram::Start() {
    UniqueHandle process = StartProgram((folder_ / "GlazloConfig.exe").string(), "", folder_.string());
    if (!process)
        return nullptr;
    processes_.push_back(std::move(process));
    return processes_.back().Get();
}

UniqueHandle StartProgram(const std::string& program, const std::string& arguments,
                          const std::string& folder) {
    return StartProcess(program, "\"" + program + "\" " + arguments, folder).Process;
}

DWORD TConfigProgram::ProcessId() const {
    return Process() != nullptr ? GetProcessId(Process()) : 0;
}

HWND TConfigProgram::MainWindow(DWORD timeout) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindProcessWindow(ProcessId(), "TCBAppForm")) != nullptr; }, timeout);
    return found;
}

void TConfigProgram::Kill() {
    for (UniqueHandle& process : processes_)
        if (process && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.Get(), 1);
            WaitForSingleObject(process.Get(), 5000);
        }
    processes_.clear();
}

HWND FindChild(HWND parent, const std::string& className, const std::string& text, bool anyText) {
    TFindChild find{className, text, anyText};
    EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&find));
    return find.Found;
}

HWND FindVisibleChild(HWND parent, const std::string& className, const std::string& text, bool anyText) {
    TFindChild find{className, text, anyText, true};
    EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&find));
    return find.Found;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

HWND FindProcessWindow(DWORD processId, const std::string& className) {
    TFindTop find{processId, className};
    EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&find));
    return find.Found;
}

std::string WindowText(HWND window) {
    char text[512] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, nullptr);
    return text;
}

HTREEITEM TreeRoot(HWND tree) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

HTREEITEM TreeChild(HWND tree, HTREEITEM item, int index) {
    auto child = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    for (int i = 0; i < index && child != nullptr; ++i)
        child = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
    return child;
}

std::string TreeItemText(HWND tree, HTREEITEM item) {
    constexpr size_t TextSize = 256;
    TRemoteBlock block(tree, sizeof(TVITEMA) + TextSize);
    TVITEMA query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = static_cast<char*>(block.Address()) + sizeof(TVITEMA);
    query.cchTextMax = TextSize;
    block.Write(&query, sizeof query);
    if (SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.Address())) == 0)
        return "<none>";
    char text[TextSize] = {};
    block.Read(text, TextSize - 1, sizeof(TVITEMA));
    return text;
}

HTREEITEM TreeSelection(HWND tree) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void SelectTreeItem(HWND tree, HTREEITEM item) {
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void BringToFront(HWND window) {
    SetForegroundWindow(window);
    WaitUntil([&] { return GetForegroundWindow() == window; }, 2000);
}

void ClickAt(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof inputs[0]);
}

void ClickWindow(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

bool FocusByClick(HWND control) {
    HWND root = GetAncestor(control, GA_ROOT);
    // No click where none is needed: a click that goes astray (a late pointer move under Xvfb)
    // would not be noticed once the focus is there.
    BringToFront(root);
    if (FocusOf(control) == control)
        return true;
    // Input may arrive while the window is still being activated: click again then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        BringToFront(root);
        ClickWindow(control);
        if (WaitUntil([&] { return FocusOf(control) == control; }, 1500))
            return true;
    }
    return false;
}

void PressKeys(std::initializer_list<WORD> keys) {
    for (WORD key : keys) {
        SendKey(key, false);
        SendKey(key, true);
    }
}

void PressKeysInOrder(std::initializer_list<std::pair<WORD, bool>> keys) {
    for (const auto& [key, up] : keys)
        SendKey(key, up);
}

void TypeText(const std::string& text) {
    for (char c : text) {
        const SHORT scan = VkKeyScanA(c);
        const bool shift = (scan & 0x100) != 0;
        if (shift)
            SendKey(VK_SHIFT, false);
        PressKeys({static_cast<WORD>(scan & 0xFF)});
        if (shift)
            SendKey(VK_SHIFT, true);
    }
}

void TypeUnicode(const std::wstring& text) {
    for (const wchar_t c : text) {
        INPUT inputs[2]{};
        for (INPUT& input : inputs) {
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, inputs, sizeof inputs[0]);
    }
}

void PressShortCut(WORD modifier, WORD key) {
    SendKey(modifier, false);
    // The key goes down only once the modifier is seen held: Wine brings its key state in line with
    // the X server's when one of its windows gains the focus, which can let go of a modifier that
    // only came by SendInput, and the short-cut would arrive as a plain key.
    for (int attempt = 0;
         attempt < 3 && !WaitUntil([&] { return (GetAsyncKeyState(modifier) & 0x8000) != 0; }, 500);
         ++attempt) {
        std::printf("Note: modifier %u not seen held, pressed again\n", modifier);
        std::fflush(stdout);
        SendKey(modifier, false);
    }
    PressKeys({key});
    SendKey(modifier, true);
}

bool ChooseMenuItem(HWND menuBar, int button, int downs) {
    TRemoteBlock block(menuBar, sizeof(RECT));
    SendMessageA(menuBar, TB_GETITEMRECT, static_cast<WPARAM>(button),
                 reinterpret_cast<LPARAM>(block.Address()));
    RECT rect{};
    block.Read(&rect, sizeof rect);
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(menuBar, &centre);
    DWORD processId = 0;
    GetWindowThreadProcessId(menuBar, &processId);
    // A click that arrives while the window is still being activated opens nothing: again.
    bool open = false;
    for (int attempt = 0; attempt < 3 && !open; ++attempt) {
        BringToFront(GetAncestor(menuBar, GA_ROOT));
        ClickAt(centre);
        // Menus belong to their process: the item is reached with the keyboard, as a user can.
        open = WaitUntil([&] { return FindProcessWindow(processId, "#32768") != nullptr; }, 1500);
    }
    if (!open)
        return false;
    for (int i = 0; i < downs; ++i)
        PressKeys({VK_DOWN});
    PressKeys({VK_RETURN});
    return true;
}
