#include "Application.h"
#include "DescribedObject.h"
#include "ExtCtrls.h"
#include "FormPlacement.h"
#include "PlacementTestSupport.h"
#include "Platform/TestWindow.h"
#include "Screen.h"
#include "StdCtrls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr char FormClass[] = "TPlacementTestForm";

// Records the name of every value written, in order, on its way into an ini file.
class TRecordingStore : public TIniFileStore {
public:
    TRecordingStore(const std::string& fileName, std::vector<std::string>& log)
        : TIniFileStore(fileName), log_(log) {}
    void WriteText(const std::string& section, const std::string& ident, const std::string& value) override {
        log_.push_back(ident);
        TIniFileStore::WriteText(section, ident, value);
    }

private:
    std::vector<std::string>& log_;
};

class TRecordingStorage : public TFormStorage {
public:
    using TFormStorage::TFormStorage;
    std::vector<std::string> Written;

protected:
    std::unique_ptr<TPlacementStore> NewStore(bool readOnly) override {
        if (UseRegistry())
            return TFormStorage::NewStore(readOnly);
        return std::make_unique<TRecordingStore>(GetIniFileName(), Written);
    }
};

// A form as the program builds one: its storage is made while the form loads, so that the
// storage chains itself into the form's events.
struct TPlacedForm {
    explicit TPlacedForm(const std::string& ini, TBorderStyle border = TBorderStyle::bsSizeable,
                         TPosition position = TPosition::poDesigned)
        : Form(std::make_unique<TForm>(nullptr, FormClass)) {
        Form->SetBorderStyle(border);
        Form->SetPosition(position);
        Form->SetBounds(100, 120, 400, 300);
        Panel = Create<TPanel>(Form.get(), Form.get());
        Panel->SetName("Panel");
        Panel->SetBounds(0, 0, 120, 50);
        Storage = Create<TRecordingStorage>(Form.get());
        Storage->SetName("FormStorage");
        Storage->SetIniFileName(ini);
        Storage->SetStoredProps(std::vector<std::string>{"Panel.Width"});
        Form->EndLoading();
    }
    WINDOWPLACEMENT Placement() const {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        GetWindowPlacement(Form->Handle(), &placement);
        return placement;
    }
    RECT Rect() const {
        RECT rect{};
        GetWindowRect(Form->Handle(), &rect);
        return rect;
    }

    std::unique_ptr<TForm> Form;
    TPanel* Panel = nullptr;
    TRecordingStorage* Storage = nullptr;
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

class FormPlacementTest : public ::testing::Test {
protected:
    TScratchIni ini{"FormPlacement.ini"};
    std::string Value(const std::string& ident) const { return ini.Raw(FormClass, ident); }
    void Store(const std::string& ident, const std::string& value) const {
        WritePrivateProfileStringA(FormClass, ident.c_str(), value.c_str(), ini.Path().c_str());
    }
};

TEST_F(FormPlacementTest, TheFirstShowAppliesNothingAndTheFirstCloseWritesEveryValueInOrder) {
    TPlacedForm placed(ini.Path());
    placed.Storage->StoredValues().Add()->SetName("Note");
    placed.Storage->StoredValues().ItemAt(0)->Value = Variant("kept");
    const RECT before = placed.Rect();
    placed.Form->Show();
    EXPECT_TRUE(SameRect(before, placed.Rect()));
    EXPECT_TRUE(placed.Storage->Restored());

    placed.Form->Close();
    const std::string suffix = ScreenSizeSuffix();
    EXPECT_EQ((std::vector<std::string>{"FormVersion", "Flags", "ShowCmd", "PixelsPerInch",
                                        "MinMaxPos" + suffix, "MinMaxPos", "NormPos" + suffix, "NormPos",
                                        "Visible", "Panel_Width", "Note"}),
              placed.Storage->Written);
    EXPECT_EQ("0", Value("FormVersion"));
    EXPECT_EQ("1", Value("ShowCmd"));
    EXPECT_EQ(std::to_string(Screen().PixelsPerInch()), Value("PixelsPerInch"));
    EXPECT_EQ(RectText(placed.Placement().rcNormalPosition), Value("NormPos"));
    EXPECT_EQ(Value("NormPos"), Value("NormPos" + suffix));
    EXPECT_EQ("0", Value("Visible"));
    EXPECT_EQ("120", Value("Panel_Width"));
    EXPECT_EQ("kept", Value("Note"));

    // The save on close counts: destroying the form writes nothing more.
    EXPECT_TRUE(placed.Storage->Saved());
    Store("Visible", "untouched");
    placed.Form.reset();
    EXPECT_EQ("untouched", Value("Visible"));
}

TEST_F(FormPlacementTest, AFormDestroyedWithoutClosingSavesOnceAsVisible) {
    TPlacedForm placed(ini.Path());
    // A close that the form's own handler refuses saves nothing.
    placed.Form->OnCloseQuery = [chained = placed.Form->OnCloseQuery](TComponent* sender, bool& canClose) {
        canClose = false;
        chained(sender, canClose);
    };
    placed.Form->Show();
    placed.Form->Close();
    EXPECT_TRUE(IsWindowVisible(placed.Form->Handle()));
    EXPECT_EQ("<missing>", Value("FormVersion"));
    placed.Form.reset();
    EXPECT_EQ("1", Value("Visible"));
    EXPECT_EQ("120", Value("Panel_Width"));
}

TEST_F(FormPlacementTest, AFormMovedAndClosedReopensWhereItWas) {
    WINDOWPLACEMENT saved{};
    {
        TPlacedForm first(ini.Path());
        first.Form->Show();
        first.Form->SetBounds(150, 160, 420, 330);
        first.Panel->SetWidth(77);
        saved = first.Placement();
        first.Form->Close();
    }
    TPlacedForm second(ini.Path());
    second.Form->Show();
    const WINDOWPLACEMENT restored = second.Placement();
    EXPECT_TRUE(SameRect(saved.rcNormalPosition, restored.rcNormalPosition));
    EXPECT_EQ(saved.showCmd, restored.showCmd);
    EXPECT_EQ(77, second.Panel->Width());
}

TEST_F(FormPlacementTest, AFormClosedMaximisedReopensMaximisedWithItsNormalRectangle) {
    RECT normal{};
    {
        TPlacedForm first(ini.Path());
        first.Form->Show();
        first.Form->SetBounds(130, 140, 410, 320);
        normal = first.Placement().rcNormalPosition;
        ShowWindow(first.Form->Handle(), SW_MAXIMIZE);
        first.Form->Close();
    }
    EXPECT_EQ("3", Value("ShowCmd"));
    EXPECT_EQ(RectText(normal), Value("NormPos"));
    TPlacedForm second(ini.Path());
    second.Form->Show();
    EXPECT_TRUE(IsZoomed(second.Form->Handle()));
    ShowWindow(second.Form->Handle(), SW_RESTORE);
    EXPECT_TRUE(SameRect(normal, second.Rect()));
}

TEST_F(FormPlacementTest, TheMainFormSavedMinimisedIsMinimisedLaterByAPostedCommand) {
    {
        TPlacedForm first(ini.Path());
        Application().SetMainForm(first.Form.get());
        first.Form->Show();
        ShowWindow(first.Form->Handle(), SW_MINIMIZE);
        first.Storage->SaveToStore();
        Application().SetMainForm(nullptr);
    }
    EXPECT_EQ("2", Value("ShowCmd"));
    TPlacedForm second(ini.Path());
    Application().SetMainForm(second.Form.get());
    second.Form->Show();
    EXPECT_EQ(TWindowState::wsNormal, second.Form->WindowState());
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(second.Form->Handle()) != FALSE; }, 3000));
    Application().SetMainForm(nullptr);
}

TEST_F(FormPlacementTest, ADefaultPlacedMainFormOpensMaximisedUnlessAStateIsStored) {
    {
        TPlacedForm placed(ini.Path(), TBorderStyle::bsSizeable, TPosition::poDefault);
        Application().SetMainForm(placed.Form.get());
        placed.Form->Show();
        EXPECT_TRUE(IsZoomed(placed.Form->Handle()));
        Application().SetMainForm(nullptr);
    }
    Store("ShowCmd", "1");
    TPlacedForm placed(ini.Path(), TBorderStyle::bsSizeable, TPosition::poDefault);
    Application().SetMainForm(placed.Form.get());
    placed.Form->Show();
    EXPECT_FALSE(IsZoomed(placed.Form->Handle()));
    Application().SetMainForm(nullptr);
}

TEST_F(FormPlacementTest, TheActiveControlIsStoredByNameAndFocusedAgain) {
    const auto addEdits = [](TPlacedForm& placed) {
        std::vector<TEdit*> edits;
        for (const char* name : {"First", "Second"}) {
            auto* edit = Create<TEdit>(placed.Form.get(), placed.Form.get());
            edit->SetName(name);
            edit->SetBounds(10, 60 + 30 * static_cast<int>(edits.size()), 100, 24);
            edits.push_back(edit);
        }
        placed.Storage->SetOptions(fpState | fpPosition | fpActiveControl);
        return edits;
    };
    {
        TPlacedForm first(ini.Path());
        const auto edits = addEdits(first);
        first.Form->Show();
        edits[1]->SetFocus();
        ASSERT_EQ(edits[1], first.Form->ActiveControl());
        first.Form->Close();
    }
    EXPECT_EQ("Second", Value("ActiveControl"));
    TPlacedForm second(ini.Path());
    const auto edits = addEdits(second);
    second.Form->Show();
    EXPECT_EQ(edits[1], second.Form->ActiveControl());
}

TEST_F(FormPlacementTest, AnOlderStoredVersionIsNotReadButTheNextCloseSaves) {
    Store("FormVersion", "1");
    Store("NormPos", "10,20,300,200");
    Store("Panel_Width", "33");
    TPlacedForm placed(ini.Path());
    placed.Storage->SetVersion(2);
    const RECT before = placed.Rect();
    placed.Form->Show();
    EXPECT_TRUE(SameRect(before, placed.Rect()));
    EXPECT_EQ(120, placed.Panel->Width());
    placed.Form->Close();
    EXPECT_EQ("2", Value("FormVersion"));
    EXPECT_EQ("120", Value("Panel_Width"));
}

TEST_F(FormPlacementTest, StoredPositionsFallBackToThePlainNameAndTakeMissingEdgesFromTheForm) {
    Store("NormPos", "10,20,300,200");
    {
        TPlacedForm placed(ini.Path());
        placed.Form->Show();
        EXPECT_TRUE(SameRect(RECT{10, 20, 300, 200}, placed.Rect()));
    }
    Store("NormPos" + ScreenSizeSuffix(), "10,20");
    TPlacedForm placed(ini.Path());
    placed.Form->Show();
    // The missing right and bottom are the form's own edges at 100 + 400 and 120 + 300.
    EXPECT_TRUE(SameRect(RECT{10, 20, 500, 420}, placed.Rect()));
}

TEST_F(FormPlacementTest, ADamagedNormalRectangleWithoutHeightIsNotApplied) {
    Store("NormPos", "10,20,300,20");
    TPlacedForm placed(ini.Path());
    const RECT before = placed.Rect();
    placed.Form->Show();
    EXPECT_TRUE(SameRect(before, placed.Rect()));
    EXPECT_EQ(300, placed.Form->Height());
}

TEST_F(FormPlacementTest, PositionsOfAnotherResolutionAreIgnoredButTheStateIsNot) {
    Store("NormPos", "10,20,300,200");
    Store("PixelsPerInch", std::to_string(Screen().PixelsPerInch() + 24));
    Store("ShowCmd", "3");
    TPlacedForm placed(ini.Path());
    const RECT before = placed.Rect();
    placed.Form->Show();
    EXPECT_TRUE(IsZoomed(placed.Form->Handle()));
    EXPECT_TRUE(SameRect(before, placed.Placement().rcNormalPosition));
}

TEST_F(FormPlacementTest, AFixedSizeCentredFormTakesOnlyThePlaceAndKeepsIt) {
    Store("NormPos", "30,40,900,700");
    TPlacedForm placed(ini.Path(), TBorderStyle::bsSingle, TPosition::poScreenCenter);
    const int width = placed.Form->Width();
    const int height = placed.Form->Height();
    placed.Form->Show();
    EXPECT_TRUE(SameRect(RECT{30, 40, 30 + width, 40 + height}, placed.Rect()));
    EXPECT_EQ(TPosition::poDesigned, placed.Form->Position());
}

TEST_F(FormPlacementTest, ARegistryPlacementRoundTripsAndTheDynamicDataRootRaisesNothing) {
    TScratchKey key("FormPlacement");
    RECT saved{};
    {
        TPlacedForm first(ini.Path());
        first.Storage->SetUseRegistry(true);
        first.Storage->SetIniFileName(key.Path());
        first.Form->Show();
        first.Form->SetBounds(111, 122, 333, 244);
        saved = first.Placement().rcNormalPosition;
        first.Form->Close();
    }
    EXPECT_EQ(RectText(saved), key.Section(FormClass).ReadString("NormPos", ""));
    EXPECT_EQ("0", key.Section(FormClass).ReadString("Visible", ""));
    {
        TPlacedForm second(ini.Path());
        second.Storage->SetUseRegistry(true);
        second.Storage->SetIniFileName(key.Path());
        second.Form->Show();
        EXPECT_TRUE(SameRect(saved, second.Placement().rcNormalPosition));
    }
    TPlacedForm dynamic(ini.Path());
    dynamic.Storage->SetUseRegistry(true);
    dynamic.Storage->SetRegistryRoot(TPlacementRegRoot::prDynData);
    dynamic.Storage->SetIniFileName("Software\\Glazlo Tests\\FormPlacement");
    std::vector<std::string> shown;
    Application().OnException = [&](const std::string& message) { shown.push_back(message); };
    const RECT before = dynamic.Rect();
    dynamic.Form->Show();
    dynamic.Form->Close();
    Application().OnException = nullptr;
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(SameRect(before, dynamic.Rect()));
    EXPECT_EQ(0, dynamic.Storage->ReadIntValue("FormVersion", 0));
}

TEST_F(FormPlacementTest, PreventResizeFreezesTheBordersAndGreysSizeAndMaximize) {
    TPlacedForm placed(ini.Path());
    placed.Storage->SetPreventResize(true);
    EXPECT_TRUE(placed.Storage->Hooked());
    EXPECT_EQ(0u, placed.Form->BorderIcons() & biMaximize);
    EXPECT_EQ(0, GetWindowLongPtrA(placed.Form->Handle(), GWL_STYLE) & WS_MAXIMIZEBOX);
    placed.Form->Show();

    const HMENU menu = GetSystemMenu(placed.Form->Handle(), FALSE);
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(1, SendMessageA(placed.Form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                              MAKELPARAM(0, 1)));
    EXPECT_NE(0u, GetMenuState(menu, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_NE(0u, GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND) & MF_GRAYED);

    // The right border answers nowhere; the client area still answers itself.
    const RECT rect = placed.Rect();
    const LPARAM border = MAKELPARAM(rect.right - 2, (rect.top + rect.bottom) / 2);
    const LPARAM client = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    const LPARAM corner = MAKELPARAM(rect.right - 2, rect.bottom - 2);
    EXPECT_EQ(HTNOWHERE, SendMessageA(placed.Form->Handle(), WM_NCHITTEST, 0, border));
    EXPECT_EQ(HTNOWHERE, SendMessageA(placed.Form->Handle(), WM_NCHITTEST, 0, corner));
    EXPECT_EQ(HTCLIENT, SendMessageA(placed.Form->Handle(), WM_NCHITTEST, 0, client));

    MINMAXINFO info{};
    SendMessageA(placed.Form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(placed.Form->Width(), info.ptMinTrackSize.x);
    EXPECT_EQ(placed.Form->Height(), info.ptMaxTrackSize.y);

    placed.Storage->SetPreventResize(false);
    EXPECT_FALSE(placed.Storage->Hooked());
    EXPECT_NE(0u, placed.Form->BorderIcons() & biMaximize);
    EXPECT_EQ(HTRIGHT, SendMessageA(placed.Form->Handle(), WM_NCHITTEST, 0, border));
    EXPECT_EQ(HTBOTTOMRIGHT, SendMessageA(placed.Form->Handle(), WM_NCHITTEST, 0, corner));
}

TEST_F(FormPlacementTest, AMinimumTrackWidthShowsInTheMinMaxInfoAndLeavesTheRest) {
    TPlacedForm placed(ini.Path());
    placed.Form->Show();
    MINMAXINFO system{};
    SendMessageA(placed.Form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&system));
    EXPECT_FALSE(placed.Storage->Hooked());
    placed.Storage->MinMaxInfo().SetMinTrackWidth(300);
    EXPECT_TRUE(placed.Storage->Hooked());
    EXPECT_EQ(300, placed.Storage->MinMaxInfo().GetLimit(7));
    EXPECT_EQ(0, placed.Storage->MinMaxInfo().GetLimit(8));
    MINMAXINFO limited{};
    SendMessageA(placed.Form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limited));
    EXPECT_EQ(300, limited.ptMinTrackSize.x);
    EXPECT_EQ(system.ptMinTrackSize.y, limited.ptMinTrackSize.y);
    EXPECT_EQ(system.ptMaxTrackSize.x, limited.ptMaxTrackSize.x);
    EXPECT_EQ(system.ptMaxSize.y, limited.ptMaxSize.y);

    TWinMinMaxInfo none(nullptr);
    placed.Storage->SetMinMaxInfo(none);
    EXPECT_TRUE(placed.Storage->MinMaxInfo().IsDefault());
    EXPECT_FALSE(placed.Storage->Hooked());
}

TEST_F(FormPlacementTest, AStorageMadeWithItsFormChainsItselfAtTheFirstShow) {
    Store("NormPos", "40,50,340,250");
    TForm form(nullptr, FormClass);
    auto* storage = Create<TFormStorage>(&form);
    storage->SetIniFileName(ini.Path());
    form.Show();
    RECT rect{};
    GetWindowRect(form.Handle(), &rect);
    EXPECT_TRUE(SameRect(RECT{40, 50, 340, 250}, rect));
    form.Close();
    EXPECT_EQ("0", Value("FormVersion"));
}

TEST_F(FormPlacementTest, APlacementMadeAfterTheFormLoadedSavesAndRestoresOnlyWhenAsked) {
    auto form = std::make_unique<TForm>(nullptr, FormClass);
    form->SetBounds(100, 120, 400, 300);
    // A form loads until its first show; what it owns after that was made at run time.
    form->Show();
    form->Hide();
    auto* placement = Create<TFormPlacement>(form.get());
    placement->SetIniFileName(ini.Path());
    EXPECT_EQ(FormClass, placement->GetIniSection());
    EXPECT_EQ(unsigned(fpState | fpPosition), placement->Options());
    int restores = 0;
    placement->OnRestorePlacement = [&](TComponent*) { ++restores; };
    form->Show();
    form->Close();
    EXPECT_EQ("<missing>", Value("NormPos"));
    placement->SaveToStore();
    EXPECT_EQ("<missing>", Value("NormPos"));
    placement->LoadFromStore();
    EXPECT_EQ(1, restores);
    placement->SaveToStore();
    EXPECT_NE("<missing>", Value("NormPos"));
}

TEST_F(FormPlacementTest, AStorageWithoutAFormKeepsItsLinesAndStoresNoProperty) {
    TFormStorage storage(nullptr);
    storage.SetIniFileName(ini.Path());
    storage.SetStoredProps(std::vector<std::string>{"Panel.Width"});
    ASSERT_EQ(1u, storage.StoredProps().size());
    storage.LoadFromStore();
    storage.SaveToStore();
    EXPECT_TRUE(storage.Saved());
    EXPECT_EQ(std::string::npos, ini.Contents().find("Panel"));
}

TEST(PlacementCursors, TheHandAndTheDragCursorAreCarriedAndRegistered) {
    for (const char* name : {"RX_HANDCUR", "RX_DRAGCUR"})
        EXPECT_NE(nullptr, FindResourceA(nullptr, name, MAKEINTRESOURCEA(12))) << name; // cursor group
    EXPECT_NE(nullptr, Screen().Cursor(crHand));
    EXPECT_EQ(LoadCursorA(GetModuleHandleA(nullptr), "RX_HANDCUR"), Screen().Cursor(crHand));
    EXPECT_EQ(LoadCursorA(GetModuleHandleA(nullptr), "RX_DRAGCUR"), Screen().Cursor(crDragHand));
    EXPECT_NE(Screen().Cursor(crHand), Screen().Cursor(crDragHand));
}

TEST(DefaultSectionName, FormsControlsAndOtherComponents) {
    TForm form(nullptr, "TCBAppForm");
    form.SetName("CBAppForm");
    auto* panel = Create<TPanel>(&form, &form);
    panel->SetName("TreeView");
    auto* other = Create<TDescribed>(&form, "Settings");
    EXPECT_EQ("TCBAppForm", DefaultSectionName(&form));
    EXPECT_EQ("TCBAppFormTreeView", DefaultSectionName(panel));
    EXPECT_EQ("TCBAppForm.Settings", DefaultSectionName(other));
    EXPECT_EQ("", DefaultSectionName(nullptr));
}

} // namespace
