#include "CommandAction.h"
#include "Errors.h"
#include "Forms.h"
#include "Frame.h"
#include "Graphics.h"
#include "Handles.h"
#include "ImageList.h"
#include "Platform/TestWindow.h"
#include "TreeView.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

UniqueBitmap SolidBitmap(int size) {
    const WindowDC screen = GetOwnedDC(nullptr);
    return UniqueBitmap(CreateCompatibleBitmap(screen.Get(), size, size));
}

struct TreeFixture : ::testing::Test {
    TTestWindow host;
    TTreeView tree{nullptr, host.Handle()};
    TImageList images{16, 16};
    TImageList states{16, 16};

    void SetUp() override {
        MoveWindow(tree.Handle(), 0, 0, 300, 250, TRUE);
        for (int i = 0; i < 3; ++i) {
            const UniqueBitmap bitmap = SolidBitmap(16);
            images.Add(bitmap.Get());
            states.Add(bitmap.Get());
        }
        tree.SetImages(&images);
        tree.SetStateImages(&states);
    }
};

TEST_F(TreeFixture, NodeCarriesTextImagesStateChildrenFlagAndData) {
    TTreeNode root = tree.InsertItem({}, "Root");
    int marker = 0;
    root.SetText("Renamed");
    root.SetImageIndex(1);
    root.SetSelectedIndex(2);
    root.SetStateIndex(2);
    root.SetHasChildren(true);
    root.SetData(&marker);
    EXPECT_EQ("Renamed", root.Text());
    EXPECT_EQ(1, root.ImageIndex());
    EXPECT_EQ(2, root.SelectedIndex());
    EXPECT_EQ(2, root.StateIndex());
    EXPECT_TRUE(root.HasChildren());
    EXPECT_EQ(&marker, root.Data());
    EXPECT_EQ(&tree, root.TreeView());
    EXPECT_EQ(0, root.Count());
    root.SetStateIndex(-1);
    EXPECT_EQ(-1, root.StateIndex());
    root.SetHasChildren(false);
    EXPECT_FALSE(root.HasChildren());
    TTreeNode a = root.AddChild("a");
    root.AddChild("b");
    // Made with its whole look and data in one insertion.
    int other = 0;
    TTreeNode c = tree.InsertItem(root, TTreeNodeLook{"c", 1, 2, 1, true}, &other);
    EXPECT_EQ("c", c.Text());
    EXPECT_EQ(1, c.ImageIndex());
    EXPECT_EQ(2, c.SelectedIndex());
    EXPECT_EQ(1, c.StateIndex());
    EXPECT_TRUE(c.HasChildren());
    EXPECT_EQ(&other, c.Data());
    c.SetLook(TTreeNodeLook{"d"});
    EXPECT_EQ("d", c.Text());
    EXPECT_EQ(-1, c.StateIndex());
    EXPECT_FALSE(c.HasChildren());
    c.Delete();
    EXPECT_EQ(2, root.Count());
    EXPECT_EQ(root, a.Parent());
    EXPECT_EQ(1, a.Level());
    EXPECT_EQ(root, tree.GetFirstNode());
}

TEST_F(TreeFixture, ExpandingIsReportedForProgrammaticAndControlExpansion) {
    std::vector<HTREEITEM> expanding;
    tree.OnExpanding = [&](TTreeNode node) { expanding.push_back(node.ItemId()); };
    TTreeNode root = tree.InsertItem({}, "Root");
    root.SetHasChildren(true);
    root.Expand();
    ASSERT_EQ(1u, expanding.size());
    root.Collapse();
    root.Expand();
    EXPECT_EQ(2u, expanding.size());
    // The control's own expansion notifies through the parent.
    TTreeNode other = tree.InsertItem({}, "Other");
    other.SetHasChildren(true);
    SendMessageA(tree.Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(other.ItemId()));
    ASSERT_EQ(3u, expanding.size());
    EXPECT_EQ(other.ItemId(), expanding.back());
}

TEST_F(TreeFixture, DeletionIsReportedForTheNodeAndEveryChild) {
    std::vector<std::string> deleted;
    tree.OnDeletion = [&](TTreeNode node) { deleted.push_back(node.Text()); };
    TTreeNode root = tree.InsertItem({}, "Root");
    root.AddChild("a");
    root.AddChild("b");
    tree.InsertItem({}, "Second");
    root.Delete();
    EXPECT_EQ(3u, deleted.size());
    EXPECT_EQ("Second", tree.GetFirstNode().Text());
    tree.DeleteAllItems();
    EXPECT_EQ(4u, deleted.size());
    EXPECT_EQ("Second", deleted.back());
}

TEST(Tree, AnOwnedTreeReportsItsItemsWhenItsFormGoes) {
    int deleted = 0;
    {
        TForm form(nullptr, "TTreeOwnerForm");
        auto* tree = Create<TTreeView>(&form, form);
        tree->OnDeletion = [&](TTreeNode) { ++deleted; };
        tree->InsertItem({}, "Root").AddChild("Rule");
    }
    EXPECT_EQ(2, deleted);
}

TEST_F(TreeFixture, SelectionChangeIsReported) {
    TTreeNode selected;
    tree.OnChange = [&](TTreeNode node) { selected = node; };
    tree.InsertItem({}, "First");
    TTreeNode second = tree.InsertItem({}, "Second");
    second.Select();
    EXPECT_EQ(second, selected);
    EXPECT_EQ(second, tree.Selected());
}

TEST_F(TreeFixture, ClickOnStateIconReportsButtonPointAndHit) {
    TTreeNode node = tree.InsertItem({}, "Item");
    node.SetImageIndex(0);
    node.SetStateIndex(1);
    RECT text{};
    const HTREEITEM item = node.ItemId();
    std::memcpy(&text, &item, sizeof(item));
    ASSERT_TRUE(SendMessageA(tree.Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)));
    const int y = (text.top + text.bottom) / 2;
    // Left of the text come the image, then the state icon.
    const int stateX = text.left - images.Width() - states.Width() / 2;
    EXPECT_TRUE(tree.IsOnStateIcon(stateX, y));
    EXPECT_FALSE(tree.IsOnStateIcon(text.left + 2, y));
    EXPECT_EQ(node, tree.GetNodeAt(text.left + 2, y));

    bool clicked = false;
    TMouseButton button = TMouseButton::Middle;
    POINT at{};
    tree.OnMouseUp = [&](TMouseButton b, TShiftState, int x, int yy) {
        clicked = true;
        button = b;
        at = {x, yy};
    };
    PostMessageA(tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(stateX, y));
    PostMessageA(tree.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(stateX, y));
    ASSERT_TRUE(PumpUntil([&] { return clicked; }));
    EXPECT_EQ(TMouseButton::Left, button);
    EXPECT_EQ(stateX, at.x);
    EXPECT_EQ(y, at.y);
}

TEST_F(TreeFixture, ARightClickSelectsTheNodeWhenAsked) {
    tree.InsertItem({}, "First").Select();
    TTreeNode second = tree.InsertItem({}, "Second");
    RECT text{};
    const HTREEITEM item = second.ItemId();
    std::memcpy(&text, &item, sizeof(item));
    ASSERT_TRUE(SendMessageA(tree.Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)));
    const LPARAM at = MAKELPARAM(text.left + 2, (text.top + text.bottom) / 2);
    bool released = false;
    tree.OnMouseUp = [&](TMouseButton, TShiftState, int, int) { released = true; };
    tree.RightClickSelect = true;
    PostMessageA(tree.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageA(tree.Handle(), WM_RBUTTONUP, 0, at);
    ASSERT_TRUE(PumpUntil([&] { return released; }));
    EXPECT_EQ(second, tree.Selected());
    EXPECT_EQ(tree.GetFirstNode(), second.GetPrevVisible());
}

TEST(Frame, FillsItsHostAndFollowsItsSize) {
    TTestWindow host;
    TFrame frame(nullptr, host.Handle());
    EXPECT_NE(nullptr, frame.Handle());
    EXPECT_EQ(host.Handle(), GetParent(frame.Handle()));
    // Made hidden: whoever made it shows it.
    EXPECT_FALSE(IsWindowVisible(frame.Handle()));
    frame.SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(frame.Handle()));
    RECT hostRect{}, frameRect{};
    GetClientRect(host.Handle(), &hostRect);
    GetClientRect(frame.Handle(), &frameRect);
    EXPECT_EQ(hostRect.right, frameRect.right);
    EXPECT_EQ(hostRect.bottom, frameRect.bottom);
    SetWindowPos(host.Handle(), nullptr, 0, 0, 250, 180, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(host.Handle(), &hostRect);
    GetClientRect(frame.Handle(), &frameRect);
    EXPECT_EQ(hostRect.right, frameRect.right);
    EXPECT_EQ(hostRect.bottom, frameRect.bottom);
}

TEST(Frame, KeepsItsMinimumHeightInALowHost) {
    TTestWindow host;
    TFrame frame(nullptr, host.Handle());
    frame.Show();
    RECT client{};
    GetClientRect(host.Handle(), &client);
    SetWindowPos(host.Handle(), nullptr, 0, 0, 200, 200 - client.bottom + 5, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(host.Handle(), &client);
    ASSERT_LT(client.bottom, TFrame::MinHeight);
    RECT frameRect{};
    GetClientRect(frame.Handle(), &frameRect);
    EXPECT_EQ(TFrame::MinHeight, frameRect.bottom);
}

TEST(Frame, OutlivesAHostThatIsDestroyedFirst) {
    auto host = std::make_unique<TTestWindow>();
    TFrame frame(nullptr, host->Handle());
    frame.Show();
    host.reset();
    EXPECT_EQ(nullptr, frame.Handle());
}

TEST(ImageList, CountsAddedImages) {
    TImageList list(16, 16);
    const UniqueBitmap bitmap = SolidBitmap(16);
    EXPECT_EQ(0, list.Add(bitmap.Get()));
    EXPECT_EQ(1, list.Add(bitmap.Get()));
    EXPECT_EQ(2, list.Count());
    TImageList moved = std::move(list);
    EXPECT_EQ(2, moved.Count());
    EXPECT_EQ(nullptr, list.Handle());
}

TEST(ImageList, TheMaskColourOfABitmapResourceIsTransparent) {
    TImageList list(16, 16);
    EXPECT_EQ(0, list.AddResource("TESTSTRIP", RGB(255, 0, 255)));
    EXPECT_EQ(3, list.Count());
    {
        const UniqueBitmap canvas = SolidBitmap(16);
        const MemoryDC dc(CreateCompatibleDC(nullptr));
        const SelectedObject selected = SelectInto(dc.Get(), canvas.Get());
        RECT all{0, 0, 16, 16};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ImageList_Draw(list.Handle(), 1, dc.Get(), 0, 0, ILD_TRANSPARENT);
        EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc.Get(), 0, 0));
        EXPECT_EQ(RGB(40, 160, 40), GetPixel(dc.Get(), 8, 8));
    }
    EXPECT_THROW(list.AddResource("NOSUCHBITMAP", RGB(255, 0, 255)), Exception);
}

TEST(Resources, IconsAndCursorsComeFromTheProgram) {
    UniqueIcon icon = LoadIconResource("TESTICON", 16);
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.Get(), &info));
    const UniqueBitmap iconColour(info.hbmColor), iconMask(info.hbmMask);
    EXPECT_TRUE(info.fIcon);
    UniqueIcon cursor = LoadCursorResource("TESTCURSOR");
    ASSERT_TRUE(cursor);
    ASSERT_TRUE(GetIconInfo(cursor.Get(), &info));
    const UniqueBitmap cursorColour(info.hbmColor), cursorMask(info.hbmMask);
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(15u, info.xHotspot);
    EXPECT_EQ(16u, info.yHotspot);
    EXPECT_THROW(LoadIconResource("NOSUCHICON"), Exception);
}

} // namespace
