#include "CryptMd5.h"
#include "ElHashList.h"
#include "crc_32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <vector>

namespace {

int a = 1, b = 2, c = 3;

void MakeCrcList(TElHashList& list, TElHashList::TDuplicatesPolicy policy) {
    list.SetHashKind(TElHashList::hkCRC32);
    list.CaseInsensitive = true;
    list.DuplicatesPolicy = policy;
}

TEST(Crc32, MatchesTheVariantWithoutInversion) {
    EXPECT_EQ(0u, CRC32(""));
    EXPECT_EQ(0xCA6598D0u, CRC32("abc"));
    EXPECT_EQ(0x5CC2DA5Au, CRC32("ABC"));
}

TEST(Md5, MatchesReferenceVectors) {
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", DigestToHex(TCrMD5::HashKey("")));
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", DigestToHex(TCrMD5::HashKey("abc")));
    EXPECT_EQ("57edf4a22be3c955ac49da2e2107b67a",
              DigestToHex(TCrMD5::HashKey("1234567890123456789012345678901234567890"
                                          "1234567890123456789012345678901234567890")));
}

TEST(Md5, LongKeyEqualsFileFormOfTheSameBytes) {
    std::string key(10000, 'x');
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<char>('a' + i % 26);
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    const std::string file = std::string(path) + "glz_md5_test.bin";
    std::ofstream(file, std::ios::binary) << key;
    EXPECT_EQ(TCrMD5::HashKey(key), TCrMD5::HashFile(file));
    EXPECT_EQ(TCrMD5::HashKey(key), TCrMD5::HashBlock(key.data(), key.size()));
    DeleteFileA(file.c_str());
}

TEST(HashList, CaseInsensitiveCrcListFindsAnyCase) {
    TElHashList list;
    MakeCrcList(list, TElHashList::dpRaise);
    list.Add("abc", &a);
    EXPECT_EQ(&a, list.Find("ABC"));
    EXPECT_EQ(&a, list.Find("Abc"));
    EXPECT_EQ(nullptr, list.Find("abd"));
}

TEST(HashList, CollidingDigestsStayDifferentKeys) {
    ASSERT_EQ(CRC32("KFTYOUM"), CRC32("HHCIYCR"));
    TElHashList list;
    MakeCrcList(list, TElHashList::dpRaise);
    list.Add("KFTYOUM", &a);
    list.Add("HHCIYCR", &b);
    EXPECT_EQ(2, list.Count());
    EXPECT_EQ(&a, list.Find("kftyoum"));
    EXPECT_EQ(&b, list.Find("HHCIYCR"));
}

TEST(HashList, DuplicatePolicies) {
    TElHashList raising;
    MakeCrcList(raising, TElHashList::dpRaise);
    raising.Add("k", &a);
    EXPECT_THROW(raising.Add("K", &b), EElHashListError);
    EXPECT_EQ(1, raising.Count());

    TElHashList ignoring;
    MakeCrcList(ignoring, TElHashList::dpIgnore);
    ignoring.Add("k", &a);
    ignoring.Add("k", &b);
    EXPECT_EQ(1, ignoring.Count());
    EXPECT_EQ(&a, ignoring.Find("k"));

    TElHashList inserting;
    MakeCrcList(inserting, TElHashList::dpInsert);
    inserting.Add("k", &a);
    inserting.Add("k", &b);
    EXPECT_EQ(2, inserting.Count());
    EXPECT_EQ(&a, inserting.Find("k"));

    TElHashList replacing;
    MakeCrcList(replacing, TElHashList::dpReplace);
    std::vector<void*> deleted;
    replacing.OnDelete = [&](TElHashList&, void* object) { deleted.push_back(object); };
    replacing.Add("x", &c);
    replacing.Add("k", &a);
    replacing.Add("k", &b);
    EXPECT_EQ(2, replacing.Count());
    EXPECT_EQ(1, replacing.IndexOf("k"));
    EXPECT_EQ(&b, replacing.Find("k"));
    ASSERT_EQ(1u, deleted.size());
    EXPECT_EQ(&a, deleted[0]);
}

TEST(HashList, PositionsAndIndexErrors) {
    TElHashList list;
    MakeCrcList(list, TElHashList::dpRaise);
    list.Add("a", &a);
    EXPECT_THROW(list.Insert(2, "b", &b), EElHashListError);
    list.Insert(0, "b", &b);
    EXPECT_EQ(&b, list.GetItem(0));
    EXPECT_THROW(list.GetItem(-1), EElHashListError);
    EXPECT_THROW(list.GetItem(2), EElHashListError);
    EXPECT_THROW(list.DeleteAt(2), EElHashListError);
    EXPECT_THROW(list.DeleteAt(-1), EElHashListError);
    EXPECT_EQ(2, list.Count());
    try {
        list.Delete("zz");
        FAIL();
    } catch (const EElHashListError& e) {
        EXPECT_STREQ("Hash not found.", e.what());
    }
    list.RaiseIfAbsent = true;
    try {
        list.Delete("zz");
        FAIL();
    } catch (const EElHashListError& e) {
        EXPECT_STREQ("Hash is absent.", e.what());
    }
}

TEST(HashList, GrowsAndShrinksByTheRules) {
    TElHashList list;
    MakeCrcList(list, TElHashList::dpInsert);
    std::vector<int> capacities;
    for (int i = 0; i < 14; ++i) {
        list.Add(std::to_string(i), &a);
        capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(4, capacities[0]);
    EXPECT_EQ(8, capacities[4]);
    EXPECT_EQ(12, capacities[8]);
    EXPECT_EQ(28, capacities[12]);
    list.DeleteAt(0);
    EXPECT_EQ(13, list.Count());
    EXPECT_EQ(14, list.Capacity());
    EXPECT_THROW(list.SetCapacity(5), EElHashListError);
    EXPECT_THROW(list.SetCapacity(TElHashList::MaxCapacity + 1), EElHashListError);
}

TEST(HashList, ChangingKindEmptiesWithOnDelete) {
    TElHashList list;
    MakeCrcList(list, TElHashList::dpRaise);
    int deletes = 0;
    list.OnDelete = [&](TElHashList&, void*) { ++deletes; };
    list.Add("a", &a);
    list.Add("b", &b);
    list.SetHashKind(TElHashList::hkMD5);
    EXPECT_EQ(0, list.Count());
    EXPECT_EQ(2, deletes);
    list.Add("a", &a);
    EXPECT_EQ(&a, list.Find("A"));
}

} // namespace
