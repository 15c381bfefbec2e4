#include "Routines.h"

#include <gtest/gtest.h>

namespace {

TOneArrayOfString Split(const std::string& s) {
    TOneArrayOfString parts;
    SplitString(s, parts, '\\');
    return parts;
}

TTwoArrayOfString Pairs(const std::string& s, int expectedCount) {
    TTwoArrayOfString pairs;
    EXPECT_EQ(expectedCount, SplitNameValues(s, pairs, '\\', '='));
    return pairs;
}

using Row = std::array<std::string, 2>;

TEST(Routines, ClosingBracePairsNestedGroups) {
    EXPECT_EQ(7, FindClosingBrace("a{b{c}}d", 2));
    EXPECT_EQ(0, FindClosingBrace("a{b{c}", 2));
    EXPECT_EQ(0, FindClosingBrace("ab", 3));
    EXPECT_EQ(1, FindClosingBrace("ab", 1));
}

TEST(Routines, BlankTextLeavesArrayUnchanged) {
    TOneArrayOfString parts{"keep"};
    EXPECT_EQ(0, SplitString("", parts, '\\'));
    EXPECT_EQ(0, SplitString(" \t\r\n ", parts, '\\'));
    EXPECT_EQ(TOneArrayOfString{"keep"}, parts);
    TTwoArrayOfString pairs{Row{"n", "v"}};
    EXPECT_EQ(0, SplitNameValues("  ", pairs, '\\', '='));
    EXPECT_EQ(1u, pairs.size());
}

TEST(Routines, NoEmptyPieces) {
    EXPECT_EQ((TOneArrayOfString{"A=1", "B=2"}), Split("\\A=1\\\\B=2\\"));
}

TEST(Routines, InnerBlanksSurvive) {
    EXPECT_EQ((TOneArrayOfString{"A=1 ", " B=2"}), Split(" A=1 \\ B=2 "));
    const auto pairs = Pairs(" A=1 \\ B=2 ", 2);
    EXPECT_EQ((Row{"A", "1 "}), pairs[0]);
    EXPECT_EQ((Row{" B", "2"}), pairs[1]);
}

TEST(Routines, GroupProtectsItsSeparators) {
    EXPECT_EQ((TOneArrayOfString{"A={x\\y}", "B=2"}), Split("A={x\\y}\\B=2"));
    const auto pairs = Pairs("A={x\\y}\\B=2", 2);
    EXPECT_EQ((Row{"A", "x\\y"}), pairs[0]);
    EXPECT_EQ((Row{"B", "2"}), pairs[1]);
}

TEST(Routines, NestedGroupsAreSkippedWhole) {
    EXPECT_EQ((TOneArrayOfString{"A={x{y\\z}\\w}", "B=1"}), Split("A={x{y\\z}\\w}\\B=1"));
    EXPECT_EQ("x{y\\z}\\w", Pairs("A={x{y\\z}\\w}\\B=1", 2)[0][1]);
}

TEST(Routines, UnclosedGroupDoesNotProtect) {
    EXPECT_EQ((TOneArrayOfString{"A={x", "y"}), Split("A={x\\y"));
}

TEST(Routines, OnlyFirstGroupOfPieceIsSkipped) {
    EXPECT_EQ((TOneArrayOfString{"A={1\\2}{3", "4}", "B=5"}), Split("A={1\\2}{3\\4}\\B=5"));
}

TEST(Routines, GroupAfterSeparatorDoesNotMatter) {
    EXPECT_EQ((TOneArrayOfString{"A=1", "B={2\\3}"}), Split("A=1\\B={2\\3}"));
}

TEST(Routines, ValueTakesEverythingAfterFirstMark) {
    EXPECT_EQ((Row{"A", "b=c"}), Pairs("A=b=c", 1)[0]);
    EXPECT_EQ((Row{"", "x"}), Pairs("=x", 1)[0]);
    EXPECT_EQ((Row{"A", ""}), Pairs("A={}", 1)[0]);
    EXPECT_EQ((Row{"A", "{"}), Pairs("A={", 1)[0]);
}

TEST(Routines, PiecesWithoutMarkLeaveEmptyRowsAtEnd) {
    const auto pairs = Pairs("A\\B=1", 2);
    ASSERT_EQ(2u, pairs.size());
    EXPECT_EQ((Row{"B", "1"}), pairs[0]);
    EXPECT_EQ((Row{"", ""}), pairs[1]);
}

TEST(Routines, EmptyNameMatchesEmptyRow) {
    std::string value = "old";
    EXPECT_TRUE(GetNameValue("A\\B=1", "", '\\', value, '='));
    EXPECT_EQ("", value);
}

TEST(Routines, NameValueIgnoresCaseAndFirstWins) {
    std::string value;
    EXPECT_TRUE(GetNameValue("DefaultDetailPanel=A;x=B", "defaultdetailpanel", ';', value, '='));
    EXPECT_EQ("A", value);
    EXPECT_TRUE(GetNameValue("x=1;X=2", "x", ';', value, '='));
    EXPECT_EQ("1", value);
    EXPECT_FALSE(GetNameValue("x=1", "y", ';', value, '='));
    EXPECT_EQ("", value);
}

TEST(Routines, NameValueFoldsLettersBeyondAscii) {
    std::string value;
    // E acute in the Western code page: the locale folds it, ASCII would not.
    EXPECT_TRUE(GetNameValue("caf\xE9=1", "CAF\xC9", '\\', value, '='));
    EXPECT_EQ("1", value);
}

} // namespace
