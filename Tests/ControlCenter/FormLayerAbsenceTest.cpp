// GlazloCenter.exe and glzemb.dll hold no class of the form layer (Source/Platform): the
// resident program has only its hidden handler window and its tray icon, and the library runs
// inside every program on the desktop. A linked class leaves its name in the binary, both in
// the symbol table and, for classes with virtual functions, in their type information.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every class and struct the form layer's headers declare.
std::set<std::string> FormLayerClasses() {
    const std::regex declaration(R"(^\s*(?:class|struct)\s+(T[A-Za-z0-9_]+)\b)");
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(GLZ_FORM_LAYER_FOLDER)) {
        if (entry.path().extension() != ".h")
            continue;
        std::istringstream lines(ReadFile(entry.path()));
        for (std::string line; std::getline(lines, line);)
            if (std::smatch match; std::regex_search(line, match, declaration))
                names.insert(match[1]);
    }
    return names;
}

std::filesystem::path ProgramFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    return std::filesystem::path(path).parent_path();
}

// The classes whose mangled name ("6TFrame", as in "_ZN6TFrameC2Ev" or type information) the
// binary holds; a digit before it would make it part of a longer name.
std::vector<std::string> ClassesIn(const std::string& binary, const std::set<std::string>& classes) {
    std::vector<std::string> found;
    for (const std::string& name : classes) {
        const std::string mangled = std::to_string(name.size()) + name;
        for (size_t at = binary.find(mangled); at != std::string::npos; at = binary.find(mangled, at + 1))
            if (at == 0 || !std::isdigit(static_cast<unsigned char>(binary[at - 1]))) {
                found.push_back(name);
                break;
            }
    }
    return found;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

class FormLayer : public ::testing::Test {
protected:
    void SetUp() override {
        classes = FormLayerClasses();
        ASSERT_GT(classes.size(), 10u) << "no form layer headers in " << GLZ_FORM_LAYER_FOLDER;
    }

    std::vector<std::string> ClassesInDeliverable(const char* fileName) {
        const std::string binary = ReadFile(ProgramFolder() / fileName);
        EXPECT_GT(binary.size(), 100000u) << fileName;
        return ClassesIn(binary, classes);
    }

    std::set<std::string> classes;
};

// The scan itself finds the layer where it belongs: a stripped or unreadable binary would
// otherwise pass the checks below.
TEST_F(FormLayer, TheRuleEditorHoldsTheFormLayer) {
    const std::vector<std::string> found = ClassesInDeliverable("GlazloConfig.exe");
    for (const char* name : {"TFrame", "TTreeView", "TCommandAction"})
        EXPECT_NE(std::find(found.begin(), found.end(), name), found.end()) << name;
}

TEST_F(FormLayer, ResidentProgramHoldsNoFormLayerClass) {
    EXPECT_EQ("", Joined(ClassesInDeliverable("GlazloCenter.exe")));
}

TEST_F(FormLayer, WindowExtensionLibraryHoldsNoFormLayerClass) {
    EXPECT_EQ("", Joined(ClassesInDeliverable("glzemb.dll")));
}

} // namespace
