#include "ModelTestSupport.h"

#include "BOMObjects.h"
#include "GeneralClasses.h"
#include "ModelRegistration.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

void EnsureModelClasses() {
    static const bool done = [] {
        CoInitialize(nullptr);
        InitAbstractClasses();
        RegisterBOMClasses();
        RegisterModelClasses();
        RegisterModelActionClasses();
        return true;
    }();
    (void)done;
}

ComPtr<IBOMObject> At(IBOMObject* from, const std::string& path) {
    return from->ResolvePath(path);
}

std::string ParamAt(IBOMObject* from, const std::string& path) {
    ComPtr<IBOMParam> param = Supports<IBOMParam>(At(from, path).Get());
    return param ? param->GetValue().AsString() : "<none>";
}

void SetParamAt(IBOMObject* from, const std::string& path, const std::string& value) {
    ComPtr<IBOMParam> param = Supports<IBOMParam>(At(from, path).Get());
    ASSERT_TRUE(param) << path;
    param->SetValue(Variant(value));
}

std::string ItemNames(IBOMObject* from, const std::string& path) {
    ComPtr<IBOMCollection> items = Supports<IBOMCollection>(At(from, path).Get());
    if (!items)
        return "<none>";
    std::string names;
    for (int i = 0; i < items->Count(); ++i) {
        if (i > 0)
            names += ',';
        names += items->Item(Variant(i))->GetName();
    }
    return names;
}

std::string TempFolder(const std::string& name) {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    const std::string folder = std::string(base) + name + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string ReadFileText(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFileText(const std::string& fileName, const std::string& text) {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out << text;
}
