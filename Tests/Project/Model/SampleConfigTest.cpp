#include "AppSpecificConsts.h"
#include "BOMRoutines.h"
#include "ChildProcess.h"
#include "Handles.h"
#include "ModelInterfaces.h"
#include "ModelTestSupport.h"
#include "ModuleFiles.h"
#include "QuendaWindows.h"
#include "XMLStorage.h"

#include <gtest/gtest.h>

namespace {
// The shipped sample, built the way the configuration program would write it.
ComPtr<IBOMObjectSlave> BuildSample() {
    ComPtr<IBOMObjectSlave> root = CreateBOMObject("QUENNAWINDOWS", "Glazlo");
    ComPtr<IBOMObjectSlave> rule = CreateBOMObject("WINDOWRULE", "Notepad");
    SetParamAt(rule.Get(),
               "conditions/DefaultCondition/criterions/WINDOWCLASSNAMECRITERION/params/window_class_name",
               "Notepad");
    SetParamAt(rule.Get(), "actions/TransparentWindow/params/transparency_level", "60");
    MustCast<IBOMCollection>(root->ResolvePath("window_rules"))->Add(rule.Get());
    root->SetOwner(nullptr);
    return root;
}

// The XML of a document, laid out as a person edits it: one element a line, indented.
std::string Indented(const std::string& xml, const std::string& newLine, const std::string& indent) {
    std::string out;
    int depth = 0;
    bool afterTag = false;
    for (std::size_t pos = 0; pos < xml.size();) {
        if (xml[pos] != '<') {
            const std::size_t next = xml.find('<', pos);
            out.append(xml, pos, next - pos);
            pos = next;
            afterTag = false;
            continue;
        }
        const std::size_t end = xml.find('>', pos) + 1;
        const std::string tag = xml.substr(pos, end - pos);
        const bool closing = tag[1] == '/';
        if (closing)
            --depth;
        if (afterTag) {
            out += newLine;
            for (int level = 0; level < depth; ++level)
                out += indent;
        }
        out += tag;
        if (!closing && tag[tag.size() - 2] != '/' && tag[1] != '?')
            ++depth;
        afterTag = true;
        pos = end;
    }
    return out;
}

// The document as the configuration file holds it.
std::string XmlOf(IBOMObject* root, const std::string& fileName) {
    ComPtr<TXMLStorage> storage = NewObject<TXMLStorage>();
    storage->NewDocument("quenda_windows");
    storage->SaveObject(Supports<IPersistObject>(root).Get());
    storage->SaveToFile(fileName);
    return ReadFileText(fileName);
}

std::string RuleText(IBOMObject* root, const std::string& rule) {
    std::string text;
    MustCast<IWindowRule>(root->ResolvePath("window_rules/" + rule)->QueryKind("WindowRule"))
        ->GetDescriptor(text);
    return text;
}

std::string ProgramFolder() {
    return ModuleFolder();
}
} // namespace

TEST(SampleConfig, ShippedFileIsWhatTheModelWrites) {
    EnsureModelClasses();
    ApplicationFolder = TempFolder("GlzSampleTest");
    ConfigFileName = "Glazlo.ini";
    ComPtr<IBOMObjectSlave> root = BuildSample();
    auto* windows = dynamic_cast<TQuendaWindows*>(static_cast<IBOMObject*>(root.Get()));
    windows->Modified = true;
    windows->SaveConfiguration();
    root->ClearOwner();
    EXPECT_EQ(ReadFileText(ProgramFolder() + "Glazlo.ini"), ReadFileText(ConfigurationFilePath()))
        << "fresh output in " << ConfigurationFilePath();
}

TEST(SampleConfig, ShippedFileMakesNotepadTransparentOnCreation) {
    EnsureModelClasses();
    ComPtr<IBOMObjectSlave> root = LoadConfiguration(ProgramFolder() + "Glazlo.ini");
    ASSERT_TRUE(root);
    EXPECT_EQ(ParamAt(root.Get(), "window_rules/Notepad/actions/TransparentWindow/params/transparency_level"),
              "60");
    EXPECT_EQ(ParamAt(root.Get(), "window_rules/Notepad/triggers/CreateMessageTrigger/params/enabled"),
              "yes");
    root->ClearOwner();
}

TEST(SampleConfig, ShippedRuleAnswersForWineNotepad) {
    EnsureModelClasses();
    ComPtr<IBOMObjectSlave> root = LoadConfiguration(ProgramFolder() + "Glazlo.ini");
    ASSERT_TRUE(root);
    const UniqueHandle processHandle = StartProcess("", "notepad.exe").Process;
    ASSERT_TRUE(processHandle);
    HWND notepad = nullptr;
    for (DWORD start = GetTickCount(); notepad == nullptr && GetTickCount() - start < 10000; Sleep(20))
        notepad = FindWindowA("Notepad", nullptr);
    std::string text;
    if (notepad != nullptr)
        MustCast<IControlCenter>(root->QueryKind("ControlCenter"))->FindRuleDescriptor(notepad, text);
    TerminateProcess(processHandle.Get(), 0);
    WaitForSingleObject(processHandle.Get(), 5000);
    root->ClearOwner();
    ASSERT_NE(notepad, nullptr);
    EXPECT_EQ(text.rfind("\\WINDOWRULENAME=Notepad\\ACTION=TRANSPARENTWINDOWACTION{\\NAME=TransparentWindow"
                         "\\SAVECURRENTOPERATION=no\\\\TRANSPARENTLEVEL=60}\\TRIGGER=WMCREATEMESSAGETRIGGER{",
                         0),
              0u)
        << text;
}

TEST(SampleConfig, IndentedFileLoadsTheSameRulesAsTheCompactOne) {
    EnsureModelClasses();
    const std::string folder = TempFolder("GlzIndentedTest");
    ComPtr<IBOMObjectSlave> sample = BuildSample();
    const std::string caption = "conditions/DefaultCondition/criterions/WINDOWCaptionCriterion/params/";
    SetParamAt(sample->ResolvePath("window_rules/Notepad").Get(), caption + "window_caption", " - Notepad");
    SetParamAt(sample->ResolvePath("window_rules/Notepad").Get(), caption + "exact_search", "no");
    const std::string compact = XmlOf(sample.Get(), folder + "Compact.ini");
    sample->ClearOwner();
    ComPtr<IBOMObjectSlave> fromCompact = LoadConfiguration(folder + "Compact.ini");
    ASSERT_TRUE(fromCompact);
    for (const auto& [newLine, indent] : {std::pair<std::string, std::string>{"\r\n", "  "}, {"\n", "\t"}}) {
        WriteFileText(folder + "Indented.ini", Indented(compact, newLine, indent));
        ASSERT_NE(ReadFileText(folder + "Indented.ini").find(newLine + indent + "<window_rules"),
                  std::string::npos);
        ComPtr<IBOMObjectSlave> fromIndented = LoadConfiguration(folder + "Indented.ini");
        ASSERT_TRUE(fromIndented);
        EXPECT_EQ(ItemNames(fromIndented.Get(), "window_rules"), "Notepad");
        EXPECT_EQ(ItemNames(fromIndented.Get(), "window_rules/Notepad/actions"),
                  "TransparentWindow,StayOnTop,GhostWindow");
        EXPECT_EQ(ParamAt(fromIndented.Get(), "window_rules/Notepad/" + caption + "window_caption"),
                  " - Notepad");
        EXPECT_EQ(RuleText(fromIndented.Get(), "Notepad"), RuleText(fromCompact.Get(), "Notepad"));
        EXPECT_EQ(XmlOf(fromIndented.Get(), folder + "Saved.ini"), compact);
        fromIndented->ClearOwner();
    }
    fromCompact->ClearOwner();
}
