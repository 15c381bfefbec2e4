#include "DescribedObject.h"
#include "Errors.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "PlacementStores.h"
#include "PlacementTestSupport.h"
#include "PropsStorage.h"
#include "StoredValues.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr char Section[] = "StorageForm";

void Bind(TPropsStorage& storage, TPlacementStore& store) {
    storage.Section = Section;
    storage.OnReadText = [&store](const std::string& section, const std::string& ident,
                                  const std::string& fallback) {
        return store.ReadText(section, ident, fallback);
    };
    storage.OnWriteText = [&store](const std::string& section, const std::string& ident,
                                   const std::string& value) { store.WriteText(section, ident, value); };
    storage.OnClearSection = [&store](const std::string& section) { store.EraseSection(section); };
}

TStoredItems Items(std::initializer_list<const char*> lines) {
    TStoredItems items;
    for (const char* line : lines)
        items.push_back({line, nullptr});
    return items;
}

TStoredItems AllOf(const std::string& name) {
    TStoredItems items;
    for (const char* property :
         {"Count", "Big", "Letter", "WideLetter", "Align", "Style", "Ratio", "Amount", "Precise", "Price",
          "Caption", "Description", "Extra", "Lines", "Items", "Font", "Buddy", "OnChange"})
        items.push_back({name + "." + property, nullptr});
    return items;
}

// A form with the described subject, and another form whose component the subject refers to.
class PropsStorageTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        form.SetName("StorageForm");
        other.SetName("OtherForm");
        subject = Create<TDescribed>(&form, "Subject");
        partner = Create<TDescribed>(&form, "Partner");
        target = Create<TDescribed>(&other, "Target");
        if (GetParam())
            store = std::make_unique<TRegistryStore>(HKEY_CURRENT_USER, key.Path(), false);
        else
            store = std::make_unique<TIniFileStore>(ini.Path());
    }

    std::string Stored(const std::string& ident, const std::string& section = Section) {
        return store->ReadText(section, ident, "<missing>");
    }
    void Save(TStoredItems items) {
        SyncStoredList(&form, &items, true);
        TPropsStorage storage;
        Bind(storage, *store);
        storage.SaveAll(&form, items);
    }
    void Load(TStoredItems items) {
        SyncStoredList(&form, &items, true);
        TPropsStorage storage;
        Bind(storage, *store);
        storage.LoadAll(&form, items);
    }

    TScratchKey key{"PropsStorage"};
    TScratchIni ini{"PropsStorage.ini"};
    std::unique_ptr<TPlacementStore> store;
    TForm form{nullptr, "TStorageTestForm"};
    TForm other{nullptr, "TOtherTestForm"};
    TDescribed* subject = nullptr;
    TDescribed* partner = nullptr;
    TDescribed* target = nullptr;
};

TEST_P(PropsStorageTest, EveryPropertyKindRoundTrips) {
    subject->Count = 42;
    subject->Big = 1ll << 40;
    subject->Letter = 'x';
    subject->WideLetter = 'y';
    subject->Align = 5;
    subject->Style = 1 | 4;
    subject->Ratio = 1.5L;
    subject->Amount = 2.25L;
    subject->Precise = 0.1L;
    subject->Price = 1234.5678L;
    subject->Caption = "  short  ";
    subject->Description = "long text";
    subject->Extra = Variant("variant text");
    subject->Lines.Lines = {"one", "two"};
    subject->Items.AddItem("first", 1);
    subject->Items.AddItem("second", 2);
    subject->Items.AddItem("third", 3);
    subject->Font.Height = -13;
    subject->Font.Name = "Arial";
    subject->Font.Style = 2;
    subject->Buddy = target;
    Save(AllOf("Subject"));

    EXPECT_EQ("42", Stored("Subject_Count"));
    EXPECT_EQ("1099511627776", Stored("Subject_Big"));
    EXPECT_EQ("x", Stored("Subject_Letter"));
    EXPECT_EQ("alClient", Stored("Subject_Align"));
    EXPECT_EQ("[fsBold,fsUnderline]", Stored("Subject_Style"));
    EXPECT_EQ("1.5", Stored("Subject_Ratio"));
    EXPECT_EQ("0.1", Stored("Subject_Precise"));
    EXPECT_EQ("1234.5678", Stored("Subject_Price"));
    EXPECT_EQ("short", Stored("Subject_Caption"));
    EXPECT_EQ("variant text", Stored("Subject_Extra"));
    EXPECT_EQ("2", Stored("Count", "StorageForm.Subject_Lines"));
    EXPECT_EQ("two", Stored("Item1", "StorageForm.Subject_Lines"));
    EXPECT_EQ("3", Stored("Subject_Items.Count"));
    EXPECT_EQ("second", Stored("Item1_Caption", "StorageForm.Subject_Items"));
    EXPECT_EQ("3", Stored("Item2_Size", "StorageForm.Subject_Items"));
    EXPECT_EQ("-13", Stored("Subject_FontHeight"));
    EXPECT_EQ("[fsItalic]", Stored("Subject_FontStyle"));
    EXPECT_EQ("OtherForm.Target", Stored("Subject_Buddy"));
    EXPECT_EQ("<missing>", Stored("Subject_OnChange"));

    TDescribed* loaded = Create<TDescribed>(&form, "Loaded");
    loaded->Items.AddItem("only", 9);
    // A variant loads only over a value it already has.
    loaded->Extra = Variant("old");
    subject->SetName("Original");
    loaded->SetName("Subject");
    Load(AllOf("Subject"));
    EXPECT_EQ(42, loaded->Count);
    EXPECT_EQ(1ll << 40, loaded->Big);
    EXPECT_EQ('x', loaded->Letter);
    EXPECT_EQ('y', loaded->WideLetter);
    EXPECT_EQ(5, loaded->Align);
    EXPECT_EQ(5, loaded->Style);
    EXPECT_EQ(1.5L, loaded->Ratio);
    EXPECT_EQ(2.25L, loaded->Amount);
    EXPECT_EQ(0.1L, loaded->Precise);
    EXPECT_EQ(1234.5678L, loaded->Price);
    EXPECT_EQ("short", loaded->Caption);
    EXPECT_EQ("long text", loaded->Description);
    EXPECT_EQ(Variant("variant text"), loaded->Extra);
    EXPECT_EQ((std::vector<std::string>{"one", "two"}), loaded->Lines.Lines);
    ASSERT_EQ(3, loaded->Items.Count());
    EXPECT_EQ("third", loaded->Items.At(2)->Caption);
    EXPECT_EQ(2, loaded->Items.At(1)->Size);
    EXPECT_EQ(-13, loaded->Font.Height);
    EXPECT_EQ("Arial", loaded->Font.Name);
    EXPECT_EQ(2, loaded->Font.Style);
    EXPECT_EQ(target, loaded->Buddy);
}

TEST_P(PropsStorageTest, TextsThatDoNotConvertLoadWhatTheyCanAndLeaveTheRest) {
    subject->Count = 5;
    subject->Align = 1;
    subject->Ratio = 2.5L;
    subject->Letter = 'q';
    store->WriteText(Section, "Subject_Count", "abc");
    store->WriteText(Section, "Subject_Style", "[fsBold, fsUnderline, fsNoSuchStyle]");
    store->WriteText(Section, "Subject_Align", "ALCLIENT");
    store->WriteText(Section, "Subject_Ratio", "not a number");
    store->WriteText(Section, "Subject_Amount", "1.5");
    store->WriteText(Section, "Subject_Letter", "");
    Load(Items({"Subject.Count", "Subject.Style", "Subject.Align", "Subject.Ratio", "Subject.Amount",
                "Subject.Letter"}));
    EXPECT_EQ(0, subject->Count);
    EXPECT_EQ(1 | 4, subject->Style);
    EXPECT_EQ(5, subject->Align);
    EXPECT_EQ(2.5L, subject->Ratio);
    EXPECT_EQ(1.5L, subject->Amount);
    EXPECT_EQ('q', subject->Letter);

    store->WriteText(Section, "Subject_Align", "alNowhere");
    Load(Items({"Subject.Align"}));
    EXPECT_EQ(5, subject->Align);
}

TEST_P(PropsStorageTest, AnEmptiedStringListErasesItsSectionAndLoadsUnchanged) {
    subject->Lines.Lines = {"one", "two"};
    Save(Items({"Subject.Lines"}));
    subject->Lines.Lines.clear();
    Save(Items({"Subject.Lines"}));
    EXPECT_EQ("<missing>", Stored("Count", "StorageForm.Subject_Lines"));
    EXPECT_EQ("<missing>", Stored("Item0", "StorageForm.Subject_Lines"));
    subject->Lines.Lines = {"kept"};
    Load(Items({"Subject.Lines"}));
    EXPECT_EQ((std::vector<std::string>{"kept"}), subject->Lines.Lines);

    // A damaged count builds nothing without end: the list and the collection stay.
    store->WriteText("StorageForm.Subject_Lines", "Count", "2000000000");
    store->WriteText(Section, "Subject_Items.Count", "2000000000");
    subject->Items.AddItem("only", 1);
    Load(Items({"Subject.Lines", "Subject.Items"}));
    EXPECT_EQ((std::vector<std::string>{"kept"}), subject->Lines.Lines);
    EXPECT_EQ(1, subject->Items.Count());
}

TEST_P(PropsStorageTest, ACollectionIsRebuiltOnlyWhenItsCountDiffers) {
    subject->Items.AddItem("a", 1);
    subject->Items.AddItem("b", 2);
    subject->Items.AddItem("c", 3);
    Save(Items({"Subject.Items"}));

    partner->Items.AddItem("x", 0);
    partner->Items.AddItem("y", 0);
    partner->Items.AddItem("z", 0);
    partner->Items.At(0)->Marked = true;
    subject->SetName("Saved");
    partner->SetName("Subject");
    Load(Items({"Subject.Items"}));
    EXPECT_TRUE(partner->Items.At(0)->Marked);
    EXPECT_EQ("a", partner->Items.At(0)->Caption);
    EXPECT_EQ(3, partner->Items.At(2)->Size);

    partner->Items.Delete(2);
    Load(Items({"Subject.Items"}));
    ASSERT_EQ(3, partner->Items.Count());
    EXPECT_FALSE(partner->Items.At(0)->Marked);
    EXPECT_EQ("c", partner->Items.At(2)->Caption);

    // Fewer stored items than the list holds: the list shrinks to them.
    partner->Items.AddItem("w", 0);
    Load(Items({"Subject.Items"}));
    ASSERT_EQ(3, partner->Items.Count());
    EXPECT_EQ("c", partner->Items.At(2)->Caption);
}

TEST_P(PropsStorageTest, ReferencesNameTheOwnerOnlyOutsideTheFormAndNullEmpties) {
    subject->Buddy = partner;
    Save(Items({"Subject.Buddy"}));
    EXPECT_EQ("Partner", Stored("Subject_Buddy"));
    subject->Buddy = nullptr;
    Load(Items({"Subject.Buddy"}));
    EXPECT_EQ(partner, subject->Buddy);

    subject->Buddy = nullptr;
    Save(Items({"Subject.Buddy"}));
    EXPECT_EQ("(null)", Stored("Subject_Buddy"));
    subject->Buddy = target;
    Load(Items({"Subject.Buddy"}));
    EXPECT_EQ(nullptr, subject->Buddy);

    store->WriteText(Section, "Subject_Buddy", "otherform . target");
    Load(Items({"Subject.Buddy"}));
    EXPECT_EQ(target, subject->Buddy);
    EXPECT_EQ(&other, FindFormByName("OTHERFORM"));
    EXPECT_EQ(nullptr, FindFormByName("NoSuchForm"));
}

TEST_P(PropsStorageTest, LinesThatDoNotResolveAreDroppedAndRenamedComponentsFollow) {
    TStoredItems items = Items({"Subject.Count", "Missing.Count", "Subject.", "NoDot", " Partner . Count ",
                                "Subject.NoSuchProperty"});
    SyncStoredList(&form, &items, true);
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ(subject, items[0].Component);
    EXPECT_EQ(partner, items[1].Component);

    subject->Count = 7;
    subject->SetName("Renamed");
    TPropsStorage storage;
    Bind(storage, *store);
    storage.SaveAll(&form, items);
    EXPECT_EQ("Renamed.Count", items[0].Text);
    EXPECT_EQ("Partner.Count", items[1].Text);
    EXPECT_EQ("7", Stored("Renamed_Count"));
    EXPECT_EQ("<missing>", Stored("Renamed_NoSuchProperty"));
}

TEST_P(PropsStorageTest, LayerControlsStoreTheirBoundsAndState) {
    auto* panel = Create<TPanel>(&form, &form);
    panel->SetName("Panel");
    panel->SetBounds(10, 20, 150, 60);
    panel->SetHint("tip");
    Save(Items({"Panel.Left", "Panel.Top", "Panel.Width", "Panel.Height", "Panel.Enabled", "Panel.Hint"}));
    EXPECT_EQ("150", Stored("Panel_Width"));
    EXPECT_EQ("True", Stored("Panel_Enabled"));
    panel->SetBounds(0, 0, 40, 30);
    panel->SetEnabled(false);
    panel->SetHint("");
    Load(Items({"Panel.Left", "Panel.Top", "Panel.Width", "Panel.Height", "Panel.Enabled", "Panel.Hint"}));
    EXPECT_EQ(10, panel->Left());
    EXPECT_EQ(20, panel->Top());
    EXPECT_EQ(150, panel->Width());
    EXPECT_EQ(60, panel->Height());
    EXPECT_TRUE(panel->Enabled());
    EXPECT_EQ("tip", panel->Hint());
}

INSTANTIATE_TEST_SUITE_P(Stores, PropsStorageTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Registry" : "IniFile"; });

TEST(StoredItems, SplitJoinAndRename) {
    std::string component;
    std::string property;
    EXPECT_TRUE(SplitStoredItem(" TreeView . Width ", component, property));
    EXPECT_EQ("TreeView", component);
    EXPECT_EQ("Width", property);
    EXPECT_TRUE(SplitStoredItem("Font.Style.Bold", component, property));
    EXPECT_EQ("Style.Bold", property);
    EXPECT_FALSE(SplitStoredItem(".Width", component, property));
    EXPECT_EQ("", JoinStoredItem("", "Width"));
    EXPECT_EQ("A.B", JoinStoredItem("A", "B"));
    EXPECT_EQ("Tree.Width", RenameStoredItem("TreeView.Width", "Tree"));
    EXPECT_EQ("", RenameStoredItem("TreeView", "Tree"));
}

// The stored values' own section of a store.
class TSectionValues : public IValueStorage {
public:
    explicit TSectionValues(TPlacementStore& store) : store_(store) {}
    std::string ReadValue(const std::string& ident, const std::string& fallback) override {
        return store_.ReadText(Section, ident, fallback);
    }
    void WriteValue(const std::string& ident, const std::string& value) override {
        store_.WriteText(Section, ident, value);
    }

private:
    TPlacementStore& store_;
};

TEST(StoredValues, KeyedValuesAreStoredAsLowerCaseHexAndComeBack) {
    TScratchIni ini("StoredValues.ini");
    TIniFileStore store(ini.Path());
    TSectionValues section(store);
    TStoredValues values(&section);
    TStoredValue* secret = values.Add();
    secret->SetName("Secret");
    secret->KeyString = "k";
    secret->Value = Variant("AB");
    TStoredValue* plain = values.Add();
    plain->SetName("Plain");
    plain->Value = Variant(12);
    plain->OnSave = [](TStoredValue*, Variant& value) { value = Variant(value.AsString() + "!"); };
    values.WriteAllValues();
    // 'A' ^ 'k' = 0x2a, 'B' ^ 'k' = 0x29.
    EXPECT_EQ("2a29", ini.Raw(Section, "Secret"));
    EXPECT_EQ("12!", ini.Raw(Section, "Plain"));

    secret->ResetValue();
    plain->OnRestore = [](TStoredValue*, Variant& value) { value = Variant("restored " + value.AsString()); };
    values.ReadAllValues();
    EXPECT_EQ(Variant("AB"), secret->Value);
    EXPECT_EQ(Variant("restored 12!"), plain->Value);
    EXPECT_EQ(1, values.IndexOfName("PLAIN"));
    EXPECT_EQ(-1, values.IndexOfName("Other"));
}

TEST(StoredValues, ADuplicateNameFailsAndKeepsTheOldName) {
    TStoredValues values;
    values.Add()->SetName("First");
    TStoredValue* second = values.Add();
    second->SetName("Second");
    try {
        second->SetName("FIRST");
        FAIL() << "a duplicate name was taken";
    } catch (const std::exception& e) {
        EXPECT_STREQ("String list does not allow duplicates", e.what());
    }
    EXPECT_EQ("Second", second->Name());
    second->SetName("SECOND");
    EXPECT_EQ("SECOND", second->Name());
    TStoredValue* third = values.Add();
    EXPECT_EQ("(Untitled)", third->DisplayName());
    second->Value = Variant(3);
    third->Value = Variant(4);
    EXPECT_THROW(third->Assign(*second), Exception);
    TStoredValues copies;
    TStoredValue* copy = copies.Add();
    copy->Assign(*second);
    EXPECT_EQ("SECOND", copy->Name());
    EXPECT_EQ(Variant(3), copy->Value);
}

} // namespace
