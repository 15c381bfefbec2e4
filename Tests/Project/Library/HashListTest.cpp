#include "CryptMd5.h"
#include "ElHashList.h"
#include "crc_32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <vector>

namespace {

void* Obj(int i) {
    static int objects[64];
    return &objects[i];
}

TElHashList::TDeleteEvent Record(std::vector<void*>& deleted) {
    return [&deleted](TElHashList&, void* object) { deleted.push_back(object); };
}

template <class F> std::string MessageOf(F f) {
    try {
        f();
    } catch (const EElHashListError& e) {
        return e.Message();
    }
    return "no error";
}

TEST(Crc32, MatchesTheZeroSeededVariant) {
    EXPECT_EQ(0xCA6598D0u, CRC32("abc"));
    EXPECT_EQ(0x5CC2DA5Au, CRC32("ABC"));
    EXPECT_EQ(0u, CRC32(""));
    EXPECT_EQ(CRC32("KFTYOUM"), CRC32("HHCIYCR"));
}

TEST(Md5, MatchesRfc1321Vectors) {
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", TCrMD5::ToHex(TCrMD5::HashKey("")));
    EXPECT_EQ("0cc175b9c0f1b6a831c399e269772661", TCrMD5::ToHex(TCrMD5::HashKey("a")));
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", TCrMD5::ToHex(TCrMD5::HashKey("abc")));
    EXPECT_EQ("f96b697d7cb7938d525a2f31aaf161d0", TCrMD5::ToHex(TCrMD5::HashKey("message digest")));
    EXPECT_EQ("c3fcd3d76192e4007dfb496cca67e13b",
              TCrMD5::ToHex(TCrMD5::HashKey("abcdefghijklmnopqrstuvwxyz")));
    EXPECT_EQ("57edf4a22be3c955ac49da2e2107b67a",
              TCrMD5::ToHex(TCrMD5::HashKey("1234567890123456789012345678901234567890"
                                            "1234567890123456789012345678901234567890")));
}

TEST(Md5, LongKeyEqualsFileFormOfSameBytes) {
    std::string key(10000, '\0');
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<char>('A' + i % 26);
    char dir[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(MAX_PATH, dir));
    const std::string path = std::string(dir) + "glz_md5_long.bin";
    {
        std::ofstream file(path, std::ios::binary);
        file.write(key.data(), static_cast<std::streamsize>(key.size()));
    }
    const TMD5Digest fromFile = TCrMD5::HashFile(path);
    DeleteFileA(path.c_str());
    EXPECT_EQ(fromFile, TCrMD5::HashKey(key));
    EXPECT_EQ(fromFile, TCrMD5::HashBlock(key.data(), key.size()));
    EXPECT_NE(TCrMD5::HashKey(key), TCrMD5::HashKey(key.substr(0, 9999)));
}

TEST(Md5, MissingFileRaises) {
    EXPECT_THROW(TCrMD5::HashFile("C:\\no\\such\\file.bin"), Exception);
}

TEST(HashList, CaseInsensitiveCrcFindsAnyCase) {
    TElHashList list;
    list.SetHashKind(TElHashList::hkCRC32);
    list.CaseInsensitive = true;
    list.Add("abc", Obj(1));
    EXPECT_EQ(Obj(1), list.Find("ABC"));
    EXPECT_EQ(Obj(1), list.Find("Abc"));
    EXPECT_EQ(nullptr, list.Find("abd"));
    // Both ends of the alphabet, and the neighbours of its letters that are no letters.
    list.Add("azAZ", Obj(2));
    EXPECT_EQ(Obj(2), list.Find("AZaz"));
    list.Add("`{", Obj(3));
    EXPECT_EQ(nullptr, list.Find("@["));
    EXPECT_EQ(Obj(3), list.Find("`{"));
}

TEST(HashList, CaseSensitiveByDefault) {
    TElHashList list;
    list.Add("abc", Obj(1));
    EXPECT_EQ(-1, list.IndexOf("ABC"));
    EXPECT_EQ(0, list.IndexOf("abc"));
}

TEST(HashList, CollidingDigestsStayDifferentKeys) {
    for (const std::uint8_t kind : {TElHashList::hkCRC32, TElHashList::hkMD5}) {
        TElHashList list;
        list.SetHashKind(kind);
        list.CaseInsensitive = true;
        list.DuplicatesPolicy = TElHashList::dpRaise;
        list.Add("KFTYOUM", Obj(1));
        list.Add("HHCIYCR", Obj(2));
        EXPECT_EQ(2, list.Count());
        EXPECT_EQ(Obj(1), list.Find("kftyoum"));
        EXPECT_EQ(Obj(2), list.Find("hhciycr"));
        EXPECT_EQ("Duplicate entry.", MessageOf([&] { list.Add("hhCIycr", Obj(3)); }));
    }
}

TEST(HashList, CustomHashCollisionsStayDifferentKeys) {
    TElHashList list;
    list.SetUseCustomHash(true);
    EXPECT_EQ(TElHashList::hkCustom, list.HashKind());
    // Both give 25 under h := h * 5 + byte.
    list.Add(std::string("\x05\x00", 2), Obj(1));
    list.Add(std::string("\x00\x19", 2), Obj(2));
    EXPECT_EQ(Obj(1), list.Find(std::string("\x05\x00", 2)));
    EXPECT_EQ(Obj(2), list.Find(std::string("\x00\x19", 2)));
}

TEST(HashList, RaisePolicyRefusesSecondAdd) {
    TElHashList list;
    list.DuplicatesPolicy = TElHashList::dpRaise;
    list.Add("k", Obj(1));
    EXPECT_EQ("Duplicate entry.", MessageOf([&] { list.Add("k", Obj(2)); }));
    EXPECT_EQ(1, list.Count());
    EXPECT_EQ(Obj(1), list.Find("k"));
}

TEST(HashList, IgnorePolicyChangesNothing) {
    TElHashList list;
    list.DuplicatesPolicy = TElHashList::dpIgnore;
    list.Add("k", Obj(1));
    list.Add("k", Obj(2));
    EXPECT_EQ(1, list.Count());
    EXPECT_EQ(Obj(1), list.Find("k"));
}

TEST(HashList, InsertPolicyKeepsBothAndFindsFirst) {
    TElHashList list;
    list.Add("k", Obj(1));
    list.Add("k", Obj(2));
    EXPECT_EQ(2, list.Count());
    EXPECT_EQ(Obj(1), list.Find("k"));
    EXPECT_EQ(Obj(2), list.GetItem(1));
}

TEST(HashList, ReplacePolicyHandsOldObjectToOnDelete) {
    TElHashList list;
    std::vector<void*> deleted;
    list.OnDelete = Record(deleted);
    list.DuplicatesPolicy = TElHashList::dpReplace;
    list.Add("a", Obj(0));
    list.Add("k", Obj(1));
    list.Add("k", Obj(2));
    EXPECT_EQ(2, list.Count());
    EXPECT_EQ(1, list.IndexOf("k"));
    EXPECT_EQ(Obj(2), list.Find("k"));
    ASSERT_EQ(1u, deleted.size());
    EXPECT_EQ(Obj(1), deleted[0]);
}

TEST(HashList, InsertChecksPosition) {
    TElHashList list;
    list.Add("a", Obj(1));
    EXPECT_EQ("Invalid position for HashList.", MessageOf([&] { list.Insert(2, "b", Obj(2)); }));
    EXPECT_EQ("Invalid position for HashList.", MessageOf([&] { list.Insert(-1, "b", Obj(2)); }));
    list.Insert(0, "c", Obj(3));
    EXPECT_EQ(Obj(3), list.GetItem(0));
    EXPECT_EQ(1, list.IndexOf("a"));
}

TEST(HashList, GrowsInSteps) {
    TElHashList list;
    std::vector<int> capacities;
    for (int i = 0; i < 30; ++i) {
        list.Add(std::to_string(i), Obj(i));
        capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(4, capacities[0]);
    EXPECT_EQ(4, capacities[3]);
    EXPECT_EQ(8, capacities[4]);
    EXPECT_EQ(12, capacities[8]);
    EXPECT_EQ(28, capacities[12]);
    EXPECT_EQ(44, capacities[28]);
    list.SetCapacity(76);
    list.Grow();
    EXPECT_EQ(95, list.Capacity());
    list.Grow();
    EXPECT_EQ(118, list.Capacity());
}

TEST(HashList, ShrinksWhenBelowHalf) {
    TElHashList list;
    for (int i = 0; i < 14; ++i)
        list.Add(std::to_string(i), Obj(i));
    ASSERT_EQ(28, list.Capacity());
    list.DeleteAt(0);
    EXPECT_EQ(13, list.Count());
    EXPECT_EQ(14, list.Capacity());
    EXPECT_EQ(Obj(1), list.GetItem(0));
}

TEST(HashList, CapacityLimits) {
    TElHashList list;
    list.Add("a", Obj(1));
    EXPECT_EQ("Invalid ElHashList capacity.", MessageOf([&] { list.SetCapacity(0); }));
    EXPECT_EQ("Invalid ElHashList capacity.", MessageOf([&] { list.SetCapacity(0x8000000); }));
}

TEST(HashList, DeleteOfAbsentKeyRaises) {
    TElHashList list;
    list.Add("a", Obj(1));
    EXPECT_EQ("Hash not found.", MessageOf([&] { list.Delete("b"); }));
    list.RaiseIfAbsent = true;
    EXPECT_EQ("Hash is absent.", MessageOf([&] { list.Delete("b"); }));
    EXPECT_EQ("Hash is absent.", MessageOf([&] { list.Find("b"); }));
    EXPECT_EQ(1, list.Count());
}

TEST(HashList, ReadOutsideRangeRaises) {
    TElHashList list;
    list.Add("a", Obj(1));
    EXPECT_EQ("Invalid index.", MessageOf([&] { list.GetItem(-1); }));
    EXPECT_EQ("Invalid index.", MessageOf([&] { list.GetItem(1); }));
}

TEST(HashList, DeleteAtOutsideRangeRaisesAndKeepsEntries) {
    TElHashList list;
    std::vector<void*> deleted;
    list.OnDelete = Record(deleted);
    list.Add("a", Obj(1));
    EXPECT_EQ("Invalid index.", MessageOf([&] { list.DeleteAt(1); }));
    EXPECT_EQ("Invalid index.", MessageOf([&] { list.DeleteAt(-1); }));
    EXPECT_EQ(1, list.Count());
    EXPECT_TRUE(deleted.empty());
}

TEST(HashList, ChangingKindClearsWithOnDelete) {
    TElHashList list;
    std::vector<void*> deleted;
    list.OnDelete = Record(deleted);
    list.Add("a", Obj(1));
    list.Add("b", Obj(2));
    list.SetHashKind(TElHashList::hkCRC32);
    EXPECT_EQ(0, list.Count());
    EXPECT_EQ(0, list.Capacity());
    EXPECT_EQ((std::vector<void*>{Obj(1), Obj(2)}), deleted);
    list.SetHashKind(TElHashList::hkCRC32);
    list.Add("c", Obj(3));
    list.SetUseCustomHash(true);
    EXPECT_EQ(0, list.Count());
}

TEST(HashList, OwnedObjectsAreFreedOnDeleteAndClear) {
    std::vector<void*> freed;
    {
        TElHashList list;
        list.FreeObject = [&freed](void* object) { freed.push_back(object); };
        list.Add("a", Obj(1));
        list.Add("b", Obj(2));
        list.Add("c", Obj(3));
        list.Delete("a");
        EXPECT_TRUE(freed.empty());
        list.SetOwnsObjects(true);
        list.Delete("b");
        EXPECT_EQ((std::vector<void*>{Obj(2)}), freed);
    }
    EXPECT_EQ((std::vector<void*>{Obj(2), Obj(3)}), freed);
}

} // namespace
