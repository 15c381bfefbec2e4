#include "FormTestSupport.h"
#include "Handles.h"
#include "ModuleFiles.h"
#include "ScreenPicture.h"
#include "TestMainForm.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

// The build folder: the test program lies in its bin folder.
std::string ArtifactFolder() {
    std::string folder = ModuleFolder();
    folder.pop_back();
    folder = folder.substr(0, folder.find_last_of('\\')) + "\\artifacts";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

bool FontInstalled(const char* face) {
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    const WindowDC dc = GetOwnedDC(nullptr);
    EnumFontFamiliesExA(
        dc.Get(), &lf,
        [](const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM data) -> int {
            *reinterpret_cast<bool*>(data) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

TEST(Screenshot, TheMainFormIsWrittenAsABuildArtifact) {
    // Wine draws real caption buttons with Marlett and its GUI text in Tahoma.
    EXPECT_TRUE(FontInstalled("Marlett"));
    EXPECT_TRUE(FontInstalled("Tahoma"));
    TTestMainForm main;
    ASSERT_TRUE(MakeForeground(main.Form));
    main.Tree->SetFocus();
    PumpApplicationUntil([] { return false; }, 300); // let every control paint
    RedrawWindow(main.Form.Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const std::string file = ArtifactFolder() + "\\PlatformMainForm.bmp";
    RECT frame{};
    GetWindowRect(main.Form.Handle(), &frame);
    ASSERT_TRUE(SaveScreenPicture(frame, file));
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    EXPECT_GT(in.tellg(), 100000);
    // The parts are where the layout puts them.
    EXPECT_EQ(0, main.Bar->Top());
    EXPECT_EQ(main.Bar->Height(), main.Tree->Top());
    EXPECT_EQ(161, main.Splitter->Left());
    EXPECT_EQ(166, main.Detail->Left());
    EXPECT_EQ(150, main.Panel.Height());
    EXPECT_EQ(main.Detail->ClientWidth(), main.Panel.Width());
    EXPECT_GE(main.Bar->Height(), main.Tools->Top() + main.Tools->Height());
}

} // namespace
