#include "BOMTestSupport.h"
#include "FileReplacement.h"
#include "TextConversion.h"
#include "XMLStorage.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

ComPtr<TXMLStorage> NewStorage() {
    return ComPtr<TXMLStorage>(NewObject<TXMLStorage>());
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Files whose paths only the wide calls with the "\\?\" prefix reach (MAX_PATH and longer).
std::wstring LongPath(const std::string& path) {
    return L"\\\\?\\" + AnsiToWide(path);
}

void WriteLongPathFile(const std::string& path, const std::string& bytes) {
    const UniqueHandle file(CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file &&
                WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        << path;
}

// The names of the files in the folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data{};
    const UniqueFind find(FindFirstFileW((LongPath(folder) + L"\\*").c_str(), &data));
    if (!find)
        return names;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.push_back(WideToAnsi(data.cFileName));
    } while (FindNextFileW(find.Get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveFolder(const std::string& folder) {
    for (const std::string& name : FilesIn(folder))
        DeleteFileW(LongPath(folder + "\\" + name).c_str());
    RemoveDirectoryW(LongPath(folder).c_str());
}

// A fresh folder per test, so that left-over temporary files can be counted.
class XMLFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "glzxml" + std::to_string(GetCurrentProcessId()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    void TearDown() override {
        for (const auto& name : FilesInFolder())
            DeleteFileA((folder + "\\" + name).c_str());
        RemoveDirectoryA(folder.c_str());
    }
    std::string File(const std::string& name) const { return folder + "\\" + name; }
    std::vector<std::string> FilesInFolder() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(data.cFileName);
        } while (FindNextFileA(find, &data));
        FindClose(find);
        return names;
    }

    std::string folder;
};

TEST(XMLStorage, ReadsAttributesAndChildrenInDocumentOrder) {
    auto storage = NewStorage();
    ASSERT_TRUE(storage->LoadFromXML("<a name=\"x\"><b>one</b><c/><b>two</b></a>"));
    EXPECT_EQ(storage->ReadAttr("name", "d"), "x");
    EXPECT_EQ(storage->ReadAttr("missing", "d"), "d");
    EXPECT_EQ(storage->ChildCount("b"), 2);
    ASSERT_TRUE(storage->Child("b", 1));
    EXPECT_EQ(storage->Child("b", 1)->GetText(), "two");
    EXPECT_FALSE(storage->Child("b", 2));
    EXPECT_FALSE(storage->Child("b", -1));
    EXPECT_EQ(storage->ReadChildText("b"), "one");
    EXPECT_EQ(storage->ReadChildText("none"), "");
}

TEST(XMLStorage, ChildrenAskedForInAnyOrderAreTheRightOnes) {
    auto storage = NewStorage();
    ASSERT_TRUE(storage->LoadFromXML(
        "<r>\n <a n=\"1\"/> <b n=\"2\"/><!-- c --><a n=\"3\"/><c n=\"4\"/><b n=\"5\"/></r>"));
    const auto n = [&](const std::string& name, int index) {
        ComPtr<IHierStorage> child = storage->Child(name, index);
        return child ? child->ReadAttr("n", "?") : std::string("none");
    };
    EXPECT_EQ(n("b", 0), "2");
    EXPECT_EQ(n("a", 0), "1");
    EXPECT_EQ(n("a", 1), "3");
    EXPECT_EQ(n("c", 0), "4");
    EXPECT_EQ(n("b", 1), "5");
    EXPECT_EQ(n("a", 0), "1");
    EXPECT_EQ(n("d", 0), "none");
    EXPECT_EQ(n("b", 2), "none");
    EXPECT_EQ(n("b", 0), "2");
    EXPECT_EQ(n("a", 1), "3");
    // A child added later is found too.
    storage->AddChild("d")->WriteAttr("n", "6");
    EXPECT_EQ(n("d", 0), "6");
    EXPECT_EQ(storage->ChildCount("b"), 2);
}

TEST(XMLStorage, WriteChildTextAlwaysAppends) {
    auto storage = NewStorage();
    ASSERT_TRUE(storage->NewDocument("root"));
    storage->WriteChildText("v", "1");
    storage->WriteChildText("v", "2");
    EXPECT_EQ(storage->ChildCount("v"), 2);
    EXPECT_EQ(storage->Child("v", 0)->GetText(), "1");
    EXPECT_EQ(storage->Child("v", 1)->GetText(), "2");
}

TEST(XMLStorage, NewDocumentGivesAnEmptyRoot) {
    auto storage = NewStorage();
    ASSERT_TRUE(storage->NewDocument("root"));
    std::string xml = "unchanged";
    ASSERT_TRUE(storage->GetXML(xml));
    EXPECT_EQ(xml, "<root/>\r\n");
    auto empty = NewStorage();
    xml = "unchanged";
    EXPECT_TRUE(empty->GetXML(xml));
    EXPECT_EQ(xml, "unchanged");
}

TEST(XMLStorage, UnparsableTextLeavesAStorageThatDoesNothing) {
    auto storage = NewStorage();
    EXPECT_TRUE(storage->LoadFromXML("<a><b></a"));
    EXPECT_EQ(storage->ReadAttr("name", "d"), "d");
    EXPECT_EQ(storage->ChildCount("b"), 0);
    EXPECT_FALSE(storage->Child("b", 0));
    EXPECT_FALSE(storage->AddChild("b"));
    EXPECT_EQ(storage->GetText(), "");
    EXPECT_EQ(storage->ReadChildText("b"), "");
    storage->WriteAttr("name", "x");
    storage->SetText("t");
    storage->WriteChildText("b", "t");
    EXPECT_EQ(storage->ReadAttr("name", "d"), "d");
    // Loading an object from it keeps the object as it was.
    ComPtr<IBOMObjectSlave> object = CreateBOMObject("BOMOBJECT", "X");
    EXPECT_TRUE(storage->LoadObject(MustCast<IPersistObject>(object).Get()));
    EXPECT_EQ(object->GetName(), "X");
}

TEST_F(XMLFiles, MissingFileKeepsTheEarlierDocument) {
    auto storage = NewStorage();
    ASSERT_TRUE(storage->LoadFromXML("<a name=\"x\"/>"));
    EXPECT_FALSE(storage->LoadFromFile(File("missing.xml")));
    EXPECT_EQ(storage->ReadAttr("name", "d"), "x");
    EXPECT_FALSE(OpenXMLFile(File("missing.xml")));
    WriteFileBytes(File("broken.xml"), "<a><b></a");
    EXPECT_FALSE(storage->LoadFromFile(File("broken.xml")));
    EXPECT_FALSE(OpenXMLFile(File("broken.xml")));
}

TEST_F(XMLFiles, FreshObjectIsSavedByteForByte) {
    ComPtr<IBOMObjectSlave> object = CreateBOMObject("BOMOBJECT", "X");
    auto storage = NewStorage();
    ASSERT_TRUE(storage->NewDocument("object"));
    ASSERT_TRUE(storage->SaveObject(MustCast<IPersistObject>(object).Get()));
    ASSERT_TRUE(storage->SaveToFile(File("fresh.xml")));
    EXPECT_EQ(
        ReadFileBytes(File("fresh.xml")),
        "<object name=\"X\"><params name=\"params\"><param name=\"name\">X</param></params></object>\n");
}

TEST_F(XMLFiles, EmptyCollectionWritesContentAndItemsCarryType) {
    ComPtr<IBOMObjectSlave> rules = CreateBOMObject("TESTACTIONS", "actions");
    auto storage = NewStorage();
    ASSERT_TRUE(storage->NewDocument("actions"));
    storage->SaveObject(MustCast<IPersistObject>(rules).Get());
    EXPECT_EQ(storage->ChildCount("content"), 1);
    MustCast<IBOMCollection>(rules)->Add(CreateBOMObject("BOMOBJECT", "A").Get());
    ASSERT_TRUE(storage->NewDocument("actions"));
    storage->SaveObject(MustCast<IPersistObject>(rules).Get());
    auto item = storage->Child("content", 0)->Child("action", 0);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->ReadAttr("name", ""), "A");
    EXPECT_EQ(item->ReadAttr("type", ""), "BOMOBJECT");
}

TEST_F(XMLFiles, SampleTreeSavesLoadsAndSavesIdentically) {
    const long before = TDebugInterfacedObject::LiveObjects();
    {
        SampleTree tree;
        MustCast<IBOMParam>(tree.At("window_rules/R2/params/enabled"))->SetValue(Variant("no"));
        auto first = NewStorage();
        ASSERT_TRUE(first->NewDocument("root"));
        first->SaveObject(MustCast<IPersistObject>(tree.root).Get());
        ASSERT_TRUE(first->SaveToFile(File("first.xml")));

        ComPtr<IBOMObjectSlave> loaded = CreateBOMObject("TESTROOT", "");
        auto reader = NewStorage();
        ASSERT_TRUE(reader->LoadFromFile(File("first.xml")));
        reader->LoadObject(MustCast<IPersistObject>(loaded).Get());
        loaded->SetOwner(nullptr);
        EXPECT_EQ(loaded->GetName(), "W");
        ASSERT_TRUE(loaded->ResolvePath("window_rules/R1/actions/A"));
        EXPECT_EQ(
            MustCast<IBOMParam>(loaded->ResolvePath("window_rules/R2/params/enabled"))->GetValue().AsString(),
            "no");

        auto second = NewStorage();
        ASSERT_TRUE(second->NewDocument("root"));
        second->SaveObject(MustCast<IPersistObject>(loaded).Get());
        ASSERT_TRUE(second->SaveToFile(File("second.xml")));
        EXPECT_EQ(ReadFileBytes(File("first.xml")), ReadFileBytes(File("second.xml")));
        loaded->ClearOwner();
    }
    EXPECT_EQ(TDebugInterfacedObject::LiveObjects(), before);
}

TEST_F(XMLFiles, BlanksAndWesternCharactersSurviveAFile) {
    const std::string caption = " - Notepad";
    const std::string western = "Caf\xE9 \x80 \xFC\xDF  ";
    ComPtr<IBOMObjectSlave> slave = CreateBOMObject("BOMOBJECT", "X");
    auto* object = static_cast<TBOMObject*>(static_cast<TBOMAbstractObject*>(slave.Get()));
    object->AddParam("caption", Variant(caption));
    object->AddParam("western", Variant(western));
    auto storage = NewStorage();
    ASSERT_TRUE(storage->NewDocument("object"));
    storage->SaveObject(MustCast<IPersistObject>(slave).Get());
    ASSERT_TRUE(storage->SaveToFile(File("text.xml")));
    // The file itself is UTF-8.
    EXPECT_NE(ReadFileBytes(File("text.xml")).find("Caf\xC3\xA9"), std::string::npos);

    ComPtr<IBOMObjectSlave> loadedSlave = CreateBOMObject("BOMOBJECT", "");
    auto* loaded = static_cast<TBOMObject*>(static_cast<TBOMAbstractObject*>(loadedSlave.Get()));
    auto root = OpenXMLFile(File("text.xml"));
    ASSERT_TRUE(root);
    MustCast<IPersistObject>(loadedSlave)->Load(root.Get());
    EXPECT_EQ(loaded->GetParam("caption")->GetValue().AsString(), caption);
    EXPECT_EQ(loaded->GetParam("western")->GetValue().AsString(), western);
}

TEST(XMLLayout, LoadKeepsWhatTheElementDoesNotMention) {
    ComPtr<IBOMObjectSlave> slave = CreateBOMObject("TESTRULE", "R");
    auto* rule = static_cast<TBOMObject*>(static_cast<TBOMAbstractObject*>(slave.Get()));
    MustCast<IBOMCollection>(slave->ResolvePath("actions"))->Add(CreateBOMObject("BOMOBJECT", "A").Get());
    auto storage = NewStorage();
    ASSERT_TRUE(storage->LoadFromXML("<window_rule><params><param name=\"ENABLED\">no</param>"
                                     "<param name=\"level\">5</param><param>nameless</param>"
                                     "<param name=\"odd\" type=\"NOSUCH\">x</param></params>"
                                     "<actions name=\"actions\"/></window_rule>"));
    MustCast<IPersistObject>(slave)->Load(storage.Get());
    EXPECT_EQ(slave->GetName(), "R");
    EXPECT_EQ(rule->GetParam("name")->GetValue().AsString(), "R");
    EXPECT_EQ(rule->GetParam("enabled")->GetValue().AsString(), "no");
    auto params = MustCast<IBOMCollection>(slave->ResolvePath("params"));
    ASSERT_EQ(params->Count(), 4);
    EXPECT_EQ(params->Item(Variant(2))->GetName(), "level");
    EXPECT_EQ(params->Item(Variant(3))->GetName(), "");
    EXPECT_FALSE(rule->GetParam("odd"));
    // No "content": the items stay.
    EXPECT_TRUE(slave->ResolvePath("actions/A"));
}

TEST(XMLLayout, ItemsLoadByNameTypeAndDefaultClass) {
    ComPtr<IBOMObjectSlave> rules = CreateBOMObject("TESTRULES", "rules");
    ComPtr<IBOMObjectSlave> actions = CreateBOMObject("TESTACTIONS", "actions");
    auto storage = NewStorage();
    ASSERT_TRUE(storage->LoadFromXML("<c><content><window_rule name=\"a\"/><window_rule name=\"A\">"
                                     "<params><param name=\"enabled\">no</param></params></window_rule>"
                                     "<window_rule name=\"b\" type=\"NOSUCH\"/><other name=\"c\"/></content>"
                                     "<content><window_rule name=\"d\"/></content></c>"));
    MustCast<IPersistObject>(rules)->Load(storage.Get());
    auto list = MustCast<IBOMCollection>(rules);
    // A second element of a name already loaded is an item of its own, under a free name.
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(MustCast<IBOMObjectSlave>(list->Item(Variant(0)))->GetClassKey(), "TESTRULE");
    EXPECT_EQ(MustCast<IBOMParam>(rules->ResolvePath("a/params/enabled"))->GetValue().AsString(), "yes");
    EXPECT_EQ(list->Item(Variant(1))->GetName(), "A 2");
    EXPECT_EQ(MustCast<IBOMParam>(rules->ResolvePath("A 2/params/enabled"))->GetValue().AsString(), "no");
    EXPECT_EQ(MustCast<IBOMParam>(rules->ResolvePath("A 2/params/name"))->GetValue().AsString(), "A 2");
    // Without a default class, an item element needs its "type".
    ASSERT_TRUE(storage->LoadFromXML("<c><content><action name=\"x\"/><action name=\"y\" type=\"BOMOBJECT\"/>"
                                     "</content></c>"));
    MustCast<IPersistObject>(actions)->Load(storage.Get());
    ASSERT_EQ(MustCast<IBOMCollection>(actions)->Count(), 1);
    EXPECT_TRUE(actions->ResolvePath("y"));
}

TEST(XMLLayout, LaterElementOfTheSameNameWins) {
    ComPtr<IBOMObjectSlave> slave = CreateBOMObject("BOMOBJECT", "X");
    auto storage = NewStorage();
    ASSERT_TRUE(storage->LoadFromXML("<object><params><param name=\"v\">1</param><param name=\"V\">2</param>"
                                     "</params></object>"));
    MustCast<IPersistObject>(slave)->Load(storage.Get());
    EXPECT_EQ(MustCast<IBOMCollection>(slave->ResolvePath("params"))->Count(), 2);
    EXPECT_EQ(MustCast<IBOMParam>(slave->ResolvePath("params/v"))->GetValue().AsString(), "2");
}

TEST(XMLLayout, ItemsOfACollectionWithoutItemElementNameAreNotSaved) {
    ComPtr<IBOMObjectSlave> plain = CreateBOMObject("BOMCOLLECTION", "c");
    MustCast<IBOMCollection>(plain)->Add(CreateBOMObject("BOMOBJECT", "A").Get());
    auto storage = NewStorage();
    ASSERT_TRUE(storage->NewDocument("collection"));
    storage->SaveObject(MustCast<IPersistObject>(plain).Get());
    ASSERT_EQ(storage->ChildCount("content"), 1);
    EXPECT_EQ(storage->Child("content", 0)->GetText(), "");
}

TEST(XMLLayout, IntegerZeroComesBackAsText) {
    ComPtr<IBOMObjectSlave> slave = CreateBOMObject("BOMOBJECT", "X");
    auto* object = static_cast<TBOMObject*>(static_cast<TBOMAbstractObject*>(slave.Get()));
    object->AddParam("count", Variant(0));
    auto storage = NewStorage();
    ASSERT_TRUE(storage->NewDocument("object"));
    storage->SaveObject(MustCast<IPersistObject>(slave).Get());
    std::string xml;
    storage->GetXML(xml);
    ComPtr<IBOMObjectSlave> again = CreateBOMObject("BOMOBJECT", "");
    auto reader = NewStorage();
    ASSERT_TRUE(reader->LoadFromXML(xml));
    reader->LoadObject(MustCast<IPersistObject>(again).Get());
    const Variant value = MustCast<IBOMParam>(again->ResolvePath("params/count"))->GetValue();
    EXPECT_TRUE(value.IsString());
    EXPECT_EQ(value.AsString(), "0");
}

TEST_F(XMLFiles, FailedSaveKeepsTheOldFileAndRaises) {
    const std::string target = File("config.xml");
    WriteFileBytes(target, "<old/>");
    auto storage = NewStorage();
    ASSERT_TRUE(storage->NewDocument("new"));
    {
        // Held open without sharing: it cannot be replaced.
        HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_THROW(storage->SaveToFile(target), Exception);
        CloseHandle(held);
    }
    EXPECT_EQ(ReadFileBytes(target), "<old/>");
    EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"config.xml"});
    EXPECT_THROW(storage->SaveToFile(File("no such folder\\config.xml")), Exception);
    // Once free, the save replaces it.
    ASSERT_TRUE(storage->SaveToFile(target));
    EXPECT_EQ(ReadFileBytes(target), "<new/>\n");
    EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"config.xml"});
}

TEST_F(XMLFiles, LeftoversOfAKilledSaveAreRemovedByTheNextOneAndNoOtherFile) {
    const std::string target = File("config.xml");
    WriteFileBytes(target, "<old/>");
    // What a save killed between writing its temporary file and moving it leaves behind.
    const std::string leftover = ReplacementTemporaryName(target, 0x1A2F);
    WriteFileBytes(leftover, std::string(2500000, 'x'));
    // The user's own files stay, also those named like the leftovers of older saves, and the
    // leftovers of another file's saves.
    const std::vector<std::string> kept{"GLZ1.TMP",
                                        "config.xml.glzsave-12.tmp",
                                        "config.xml.glzsave-0000ABCDE.tmp",
                                        "glz12345.tmp",
                                        "glz1A2F.tmp",
                                        "glzsave.tmp",
                                        "other.xml.glzsave-00001A2F.tmp"};
    for (const std::string& name : kept)
        WriteFileBytes(File(name), "mine");
    auto storage = NewStorage();
    ASSERT_TRUE(storage->NewDocument("new"));
    ASSERT_TRUE(storage->SaveToFile(target));
    EXPECT_EQ(GetFileAttributesA(leftover.c_str()), INVALID_FILE_ATTRIBUTES) << leftover;
    auto names = FilesInFolder();
    std::vector<std::string> expected = kept;
    expected.push_back("config.xml");
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    for (const std::string& name : kept)
        EXPECT_EQ(ReadFileBytes(File(name)), "mine") << name;
    EXPECT_EQ(ReadFileBytes(target), "<new/>\n");
}

// The temporary file's name is longer than the file's own: a file at any path the programs can
// open (up to 259 characters) is saved all the same, and the leftover of a killed save there goes
// with the next save, and no other file.
TEST_F(XMLFiles, FileAtAnyPathTheProgramsCanOpenIsSavedAndItsLeftoverRemoved) {
    for (const size_t length : {size_t{239}, size_t{247}, size_t{259}}) {
        const size_t padding = length - folder.size() - std::strlen("\\config.xml") - 1;
        ASSERT_LT(padding, size_t{256}) << length;
        const std::string inner = File(std::string(padding, 'd'));
        const std::string target = inner + "\\config.xml";
        ASSERT_EQ(target.size(), length);
        ASSERT_TRUE(CreateDirectoryA(inner.c_str(), nullptr)) << length;
        WriteFileBytes(target, "<old/>");
        WriteLongPathFile(ReplacementTemporaryName(target, 0x1A2F), std::string(2500, 'x'));
        WriteLongPathFile(inner + "\\config.xml.glzsave-12.tmp", "mine");
        auto storage = NewStorage();
        ASSERT_TRUE(storage->NewDocument("new"));
        EXPECT_NO_THROW(storage->SaveToFile(target)) << length;
        EXPECT_EQ(ReadFileBytes(target), "<new/>\n") << length;
        EXPECT_EQ(FilesIn(inner), (std::vector<std::string>{"config.xml", "config.xml.glzsave-12.tmp"}))
            << length;
        RemoveFolder(inner);
    }
    // One character more and the programs could not open the file again: refused, nothing written.
    const std::string inner = File(std::string(260 - folder.size() - std::strlen("\\config.xml") - 1, 'd'));
    ASSERT_TRUE(CreateDirectoryA(inner.c_str(), nullptr));
    auto storage = NewStorage();
    ASSERT_TRUE(storage->NewDocument("new"));
    try {
        storage->SaveToFile(inner + "\\config.xml");
        ADD_FAILURE() << "a path of 260 characters was written";
    } catch (const EFileWriteError& error) {
        EXPECT_EQ(error.ErrorCode(), DWORD{ERROR_FILENAME_EXCED_RANGE});
    }
    EXPECT_EQ(FilesIn(inner), std::vector<std::string>{});
    RemoveFolder(inner);
}

} // namespace
