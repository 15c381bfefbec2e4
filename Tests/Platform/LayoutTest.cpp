#include "ExtCtrls.h"
#include "Errors.h"
#include "FormTestSupport.h"
#include "Forms.h"
#include "Frame.h"
#include "Platform/TestWindow.h"
#include "StdCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace {

struct TRect {
    int left, top, width, height;
    bool operator==(const TRect&) const = default;
};

TRect RectOf(const TWinControl& control) {
    return {control.Left(), control.Top(), control.Width(), control.Height()};
}

std::ostream& operator<<(std::ostream& out, const TRect& r) {
    return out << "(" << r.left << "," << r.top << " " << r.width << "x" << r.height << ")";
}

TEST(Layout, AlignedAndAnchoredChildrenKeepTheirSizesAndPlacesAfterAResize) {
    TForm form(nullptr, "TLayoutTestForm");
    form.SetClientSize(400, 300);
    auto* top = Create<TPanel>(&form, form);
    top->SetHeight(30);
    top->SetAlign(TAlign::alTop);
    auto* bottom = Create<TPanel>(&form, form);
    bottom->SetHeight(40);
    bottom->SetAlign(TAlign::alBottom);
    auto* left = Create<TPanel>(&form, form);
    left->SetWidth(100);
    left->SetAlign(TAlign::alLeft);
    auto* splitter = Create<TSplitter>(&form, form);
    splitter->SetLeft(100);
    auto* client = Create<TPanel>(&form, form);
    client->SetAlign(TAlign::alClient);
    auto* edit = Create<TEdit>(&form, client);
    edit->SetBounds(10, 10, 100, 21);
    edit->SetAnchors(akLeft | akTop | akRight);
    auto* button = Create<TButton>(&form, client);
    button->SetBounds(200, 190, 75, 25);
    button->SetAnchors(akRight | akBottom);
    auto* fixed = Create<TLabel>(&form, client);
    fixed->SetAutoSize(false);
    fixed->SetBounds(10, 40, 50, 13);

    EXPECT_EQ((TRect{0, 0, 400, 30}), RectOf(*top));
    EXPECT_EQ((TRect{0, 260, 400, 40}), RectOf(*bottom));
    EXPECT_EQ((TRect{0, 30, 100, 230}), RectOf(*left));
    EXPECT_EQ((TRect{100, 30, 5, 230}), RectOf(*splitter));
    EXPECT_EQ((TRect{105, 30, 295, 230}), RectOf(*client));

    form.SetClientSize(600, 450);
    EXPECT_EQ((TRect{0, 0, 600, 30}), RectOf(*top));
    EXPECT_EQ((TRect{0, 410, 600, 40}), RectOf(*bottom));
    EXPECT_EQ((TRect{0, 30, 100, 380}), RectOf(*left));
    EXPECT_EQ((TRect{100, 30, 5, 380}), RectOf(*splitter));
    EXPECT_EQ((TRect{105, 30, 495, 380}), RectOf(*client));
    // The client panel grew by 200 x 150: the edit stretches, the button moves, the label stays.
    EXPECT_EQ((TRect{10, 10, 300, 21}), RectOf(*edit));
    EXPECT_EQ((TRect{400, 340, 75, 25}), RectOf(*button));
    EXPECT_EQ((TRect{10, 40, 50, 13}), RectOf(*fixed));

    // A hidden aligned control gives its room to the others.
    top->SetVisible(false);
    EXPECT_EQ((TRect{0, 0, 100, 410}), RectOf(*left));
}

TEST(Layout, DraggingTheSplitterResizesTheControlBeforeIt) {
    TForm form(nullptr, "TSplitterTestForm");
    form.SetClientSize(400, 300);
    auto* tree = Create<TPanel>(&form, form);
    tree->SetWidth(161);
    tree->SetAlign(TAlign::alLeft);
    auto* splitter = Create<TSplitter>(&form, form);
    splitter->SetLeft(161);
    auto* rest = Create<TPanel>(&form, form);
    rest->SetAlign(TAlign::alClient);
    int moved = 0;
    splitter->OnMoved = [&](TComponent*) { ++moved; };

    SendMessageA(splitter->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 50));
    SendMessageA(splitter->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(42, 50));
    SendMessageA(splitter->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 50));
    EXPECT_EQ(201, tree->Width());
    EXPECT_EQ(201, splitter->Left());
    EXPECT_EQ(206, rest->Left());
    EXPECT_EQ(1, moved);
}

TEST(Layout, AFrameAlignedToTheTopKeepsItsDesignHeight) {
    TTestWindow host(500, 400);
    TScrollBox box(nullptr, host.Handle());
    box.SetAlign(TAlign::alClient);
    TFrame first(nullptr, box);
    first.SetHeight(60);
    first.SetAlign(TAlign::alTop);
    TFrame second(nullptr, box);
    second.SetHeight(90);
    second.SetAlign(TAlign::alTop);
    // Shown in the other order: the rows still follow the order the frames were made in.
    second.Show();
    first.Show();
    EXPECT_EQ(0, first.Top());
    EXPECT_EQ(60, first.Height());
    EXPECT_EQ(60, second.Top());
    EXPECT_EQ(90, second.Height());
    EXPECT_EQ(box.ClientWidth(), first.Width());
    SetWindowPos(host.Handle(), nullptr, 0, 0, 300, 120, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(60, first.Height());
    EXPECT_EQ(90, second.Height());
    EXPECT_EQ(box.ClientWidth(), second.Width());
    // Taller content than the box: the box scrolls.
    EXPECT_TRUE(GetWindowLongPtrA(box.Handle(), GWL_STYLE) & WS_VSCROLL);
}

// Counts the moves and resizes of this thread's windows while it lives (one at a time), and
// apart those of windows that were on screen then.
class TMoveCounter {
public:
    TMoveCounter() {
        active_ = this;
        hook_.Reset(SetWindowsHookExA(WH_CALLWNDPROC, Count, nullptr, GetCurrentThreadId()));
    }
    ~TMoveCounter() {
        hook_.Reset();
        active_ = nullptr;
    }
    TMoveCounter(const TMoveCounter&) = delete;
    TMoveCounter& operator=(const TMoveCounter&) = delete;
    int Moves(const TWinControl* control) const { return CountOf(moves_, control); }
    int MovesOnScreen(const TWinControl* control) const { return CountOf(movesOnScreen_, control); }

private:
    static int CountOf(const std::map<HWND, int>& counts, const TWinControl* control) {
        const auto found = counts.find(control->Handle());
        return found != counts.end() ? found->second : 0;
    }
    static LRESULT CALLBACK Count(int code, WPARAM wp, LPARAM lp) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (code == HC_ACTION && active_ != nullptr && message->message == WM_WINDOWPOSCHANGED) {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(message->lParam);
            if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
                ++active_->moves_[message->hwnd];
                if (IsWindowVisible(message->hwnd))
                    ++active_->movesOnScreen_[message->hwnd];
            }
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    UniqueHook hook_;
    std::map<HWND, int> moves_;
    std::map<HWND, int> movesOnScreen_;
    static inline TMoveCounter* active_ = nullptr;
};

TEST(Layout, AHiddenFrameIsLaidOutBeforeItShowsAndTakesItsHostsSizeEachTimeItIsShown) {
    TTestWindow host(500, 400);
    TFrame frame(nullptr, host.Handle());
    frame.SetBounds(0, 0, 300, 200);
    auto* panel = Create<TPanel>(&frame, frame);
    panel->SetHeight(40);
    panel->SetAlign(TAlign::alTop);
    auto* edit = Create<TEdit>(&frame, panel);
    edit->SetBounds(10, 8, 200, 21);
    edit->SetAnchors(akLeft | akTop | akRight);
    auto* label = Create<TLabel>(&frame, frame);
    label->SetAutoSize(false);
    label->SetBounds(10, 60, 80, 13);
    TFrame inner(nullptr, frame);
    inner.SetBounds(0, 0, 150, 50);
    inner.SetAlign(TAlign::alBottom);
    inner.Show();
    // Not on screen yet, it is laid out at the size it was given, not at its host's.
    EXPECT_FALSE(IsWindowVisible(frame.Handle()));
    EXPECT_EQ((TRect{0, 0, 300, 200}), RectOf(frame));
    EXPECT_EQ((TRect{0, 0, 300, 40}), RectOf(*panel));
    EXPECT_EQ((TRect{10, 8, 200, 21}), RectOf(*edit));
    EXPECT_EQ((TRect{0, 150, 300, 50}), RectOf(inner));
    const std::vector<const TWinControl*> children{panel, edit, label, &inner};

    RECT client{};
    GetClientRect(host.Handle(), &client);
    {
        // It takes its place first and is shown once, at its size: nothing moves on screen.
        const TMoveCounter showing;
        frame.Show();
        EXPECT_EQ(1, showing.Moves(&frame));
        EXPECT_EQ(0, showing.MovesOnScreen(&frame));
        for (const TWinControl* control : children) {
            EXPECT_LE(showing.Moves(control), 1);
            EXPECT_EQ(0, showing.MovesOnScreen(control));
        }
    }
    EXPECT_TRUE(IsWindowVisible(frame.Handle()));
    EXPECT_EQ((TRect{0, 0, client.right, client.bottom}), RectOf(frame));
    EXPECT_EQ((TRect{0, 0, client.right, 40}), RectOf(*panel));
    EXPECT_EQ((TRect{10, 8, client.right - 100, 21}), RectOf(*edit));
    EXPECT_EQ((TRect{10, 60, 80, 13}), RectOf(*label));
    EXPECT_EQ((TRect{0, client.bottom - 50, client.right, 50}), RectOf(inner));

    // Kept hidden while its host is resized, it takes the host's new size when shown again.
    frame.Hide();
    SetWindowPos(host.Handle(), nullptr, 0, 0, 350, 250, SWP_NOMOVE | SWP_NOZORDER);
    RECT resized{};
    GetClientRect(host.Handle(), &resized);
    ASSERT_NE(client.right, resized.right);
    EXPECT_EQ((TRect{0, 0, client.right, client.bottom}), RectOf(frame));
    frame.Show();
    EXPECT_EQ((TRect{0, 0, resized.right, resized.bottom}), RectOf(frame));
    EXPECT_EQ((TRect{10, 8, resized.right - 100, 21}), RectOf(*edit));
    EXPECT_EQ((TRect{0, resized.bottom - 50, resized.right, 50}), RectOf(inner));
}

TEST(Layout, ChildrenUseTheirParentsFontUntilTheyHaveTheirOwn) {
    TForm form(nullptr, "TFontTestForm");
    auto* panel = Create<TPanel>(&form, form);
    auto* label = Create<TLabel>(&form, panel);
    panel->Font().SetName("Arial");
    panel->Font().SetHeight(-13);
    EXPECT_EQ(panel->FontHandle(), reinterpret_cast<HFONT>(SendMessageA(label->Handle(), WM_GETFONT, 0, 0)));
    label->Font().SetStyle(fsBold | fsUnderline);
    label->Font().SetColor(clBlue);
    EXPECT_FALSE(label->ParentFont());
    EXPECT_NE(panel->FontHandle(), label->FontHandle());
    LOGFONTA lf{};
    GetObjectA(label->FontHandle(), sizeof(lf), &lf);
    EXPECT_EQ(std::string("Arial"), lf.lfFaceName);
    EXPECT_EQ(FW_BOLD, lf.lfWeight);
    EXPECT_TRUE(lf.lfUnderline);
    // A label sizes itself to its text in its font.
    label->SetText("A rather long caption");
    const int wide = label->Width();
    label->SetText("A");
    EXPECT_LT(label->Width(), wide);
}

TEST(Layout, ComponentsAreFoundByNameAndFreedWithTheirOwner) {
    TForm form(nullptr, "TOwnerTestForm");
    auto* edit = Create<TEdit>(&form, form);
    edit->SetName("NameEdit");
    EXPECT_EQ(edit, form.FindComponent("nameedit"));
    EXPECT_THROW(Create<TEdit>(&form, form)->SetName("NAMEEDIT"), Exception);
    EXPECT_EQ("TOwnerTestForm", form.ClassName());
    char className[64] = {};
    GetClassNameA(form.Handle(), className, sizeof(className));
    EXPECT_EQ(std::string("TOwnerTestForm"), className);
}

struct TLoadWatch : TComponent {
    using TComponent::TComponent;
    int LoadedCalls = 0;
    void Loaded() override { ++LoadedCalls; }
};

TEST(Layout, ComponentsMadeWithTheFormHearLoadedOnceAndLaterOnesNever) {
    TForm form(nullptr, "TLoadTestForm");
    auto* early = Create<TLoadWatch>(&form);
    EXPECT_TRUE(early->Loading());
    form.Show();
    auto* late = Create<TLoadWatch>(&form);
    form.Hide();
    form.Show();
    EXPECT_EQ(1, early->LoadedCalls);
    EXPECT_FALSE(early->Loading());
    EXPECT_EQ(0, late->LoadedCalls);
    EXPECT_FALSE(late->Loading());
}

TEST(Layout, PublishedPropertiesReadAndWriteAsText) {
    TForm form(nullptr, "TPropertyTestForm");
    auto* tree = Create<TPanel>(&form, form);
    tree->SetName("TreeView");
    tree->SetBounds(0, 0, 161, 100);
    TPublishedProperty width;
    ASSERT_TRUE(form.FindComponent("TreeView")->FindProperty("width", width));
    EXPECT_EQ(TPropertyKind::pkInteger, width.Kind);
    EXPECT_EQ("161", width.Get());
    width.Set("200");
    EXPECT_EQ(200, tree->Width());
    EXPECT_THROW(width.Set("wide"), Exception);
    EXPECT_EQ(200, tree->Width());
    TPublishedProperty visible;
    ASSERT_TRUE(tree->FindProperty("Visible", visible));
    visible.Set("False");
    EXPECT_FALSE(tree->Visible());
    EXPECT_EQ("False", visible.Get());
    TPublishedProperty none;
    EXPECT_FALSE(tree->FindProperty("Colour", none));
}

TEST(Layout, RemovingAComponentFromItsOwnerTellsTheOwnersOtherComponents) {
    TForm form(nullptr, "TRemovalTestForm");
    struct TWatcher : TComponent {
        using TComponent::TComponent;
        TComponent* Removed = nullptr;
        void Notification(TComponent* component, TOperation operation) override {
            TComponent::Notification(component, operation);
            if (operation == TOperation::opRemove)
                Removed = component;
        }
    };
    auto* placement = Create<TComponent>(&form);
    auto* watcher = Create<TWatcher>(placement);
    auto* edit = Create<TEdit>(&form, form);
    std::unique_ptr<TComponent> taken = form.RemoveComponent(edit);
    EXPECT_EQ(edit, watcher->Removed);
    EXPECT_EQ(edit, taken.get());
    EXPECT_EQ(nullptr, edit->Owner());
    // One that asked to hear of another's end hears it wherever that one lives.
    auto* other = Create<TEdit>(&form, form);
    TWatcher outside;
    outside.FreeNotification(other);
    form.RemoveComponent(other).reset();
    EXPECT_EQ(other, outside.Removed);
}

} // namespace
