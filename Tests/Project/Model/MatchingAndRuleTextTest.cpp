#include "BOMRoutines.h"
#include "ModelInterfaces.h"
#include "ModelTestSupport.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

namespace {
const std::string ClassCriterion = "conditions/DefaultCondition/criterions/WINDOWCLASSNAMECRITERION/params/";
const std::string CaptionCriterion = "conditions/DefaultCondition/criterions/WINDOWCaptionCriterion/params/";

class Matching : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureModelClasses();
        rule = CreateBOMObject("WINDOWRULE", "Window Rule 1");
        ASSERT_TRUE(rule);
        rule->SetOwner(nullptr);
    }
    void TearDown() override { rule->ClearOwner(); }

    bool Matches(HWND window) { return Supports<IWindowRule>(rule.Get())->Match(window); }
    void Set(const std::string& path, const std::string& value) { SetParamAt(rule.Get(), path, value); }
    std::string Text() {
        std::string text;
        Supports<IWindowRule>(rule.Get())->GetDescriptor(text);
        return text;
    }

    ComPtr<IBOMObjectSlave> rule;
    TestWindow notepadLike{"GlzMatchClass", "Untitled - Editor"};
};
} // namespace

TEST_F(Matching, NewRuleMatchesNoWindow) {
    EXPECT_FALSE(Matches(notepadLike.Handle()));
}

TEST_F(Matching, ClassNameMatchesWholeAndCaseSensitive) {
    Set(ClassCriterion + "window_class_name", "GlzMatchClass");
    EXPECT_TRUE(Matches(notepadLike.Handle()));
    Set(ClassCriterion + "window_class_name", "glzmatchclass");
    EXPECT_FALSE(Matches(notepadLike.Handle()));
    Set(ClassCriterion + "window_class_name", "GlzMatch");
    EXPECT_FALSE(Matches(notepadLike.Handle()));
}

TEST_F(Matching, LongClassNameIsComparedByFirst254Characters) {
    const std::string longName = "GlzLong" + std::string(248, 'q');
    TestWindow window(longName, "long");
    Set(ClassCriterion + "window_class_name", longName);
    EXPECT_FALSE(Matches(window.Handle()));
    Set(ClassCriterion + "window_class_name", longName.substr(0, 254));
    EXPECT_TRUE(Matches(window.Handle()));
}

TEST_F(Matching, CaptionSubstringOnlyWhenExactSearchIsNo) {
    Set(ClassCriterion + "enabled", "no");
    Set(CaptionCriterion + "enabled", "yes");
    Set(CaptionCriterion + "window_caption", "Editor");
    EXPECT_FALSE(Matches(notepadLike.Handle()));
    Set(CaptionCriterion + "exact_search", "NO");
    EXPECT_FALSE(Matches(notepadLike.Handle()));
    // Exact search takes the whole caption: neither its start nor its end is enough.
    Set(CaptionCriterion + "window_caption", "Untitled");
    EXPECT_FALSE(Matches(notepadLike.Handle()));
    Set(CaptionCriterion + "window_caption", "Editor");
    Set(CaptionCriterion + "exact_search", "no");
    EXPECT_TRUE(Matches(notepadLike.Handle()));
    Set(CaptionCriterion + "window_caption", "editor");
    EXPECT_FALSE(Matches(notepadLike.Handle()));
    Set(CaptionCriterion + "exact_search", "yes");
    Set(CaptionCriterion + "window_caption", "Untitled - Editor");
    EXPECT_TRUE(Matches(notepadLike.Handle()));
}

TEST_F(Matching, CaptionAloneMatchesWhileTheClassCriterionIsLeftEmpty) {
    // The class criterion stays as a new rule has it: enabled, empty, so not usable.
    Set(CaptionCriterion + "enabled", "yes");
    Set(CaptionCriterion + "window_caption", "Untitled - Editor");
    EXPECT_TRUE(Matches(notepadLike.Handle()));
    Set(CaptionCriterion + "window_caption", "Untitled - Other");
    EXPECT_FALSE(Matches(notepadLike.Handle()));
}

TEST_F(Matching, AnyOneEnabledConditionIsEnough) {
    Set(ClassCriterion + "window_class_name", "GlzOtherClass");
    ComPtr<IBOMObjectSlave> second = CreateBOMObject("CONDITION", "Second");
    MustCast<IBOMCollection>(rule->ResolvePath("conditions"))->Add(second.Get());
    EXPECT_FALSE(Matches(notepadLike.Handle()));
    Set("conditions/Second/criterions/WINDOWCLASSNAMECRITERION/params/window_class_name", "GlzMatchClass");
    EXPECT_TRUE(Matches(notepadLike.Handle()));
    Set("conditions/Second/params/enabled", "no");
    EXPECT_FALSE(Matches(notepadLike.Handle()));
}

TEST_F(Matching, CaptionWithLeadingBlanksMatchesOnlyWithThem) {
    TestWindow window("GlzBlankCaption", "  Padded");
    Set(ClassCriterion + "enabled", "no");
    Set(CaptionCriterion + "enabled", "yes");
    Set(CaptionCriterion + "window_caption", "Padded");
    EXPECT_FALSE(Matches(window.Handle()));
    Set(CaptionCriterion + "window_caption", "  Padded");
    EXPECT_TRUE(Matches(window.Handle()));
}

TEST_F(Matching, AllUsableCriteriaMustMatch) {
    Set(ClassCriterion + "window_class_name", "GlzMatchClass");
    Set(CaptionCriterion + "enabled", "yes");
    Set(CaptionCriterion + "window_caption", "Other");
    EXPECT_FALSE(Matches(notepadLike.Handle()));
    // An enabled criterion with an empty value is not usable.
    Set(CaptionCriterion + "window_caption", "");
    EXPECT_TRUE(Matches(notepadLike.Handle()));
}

TEST_F(Matching, DisabledConditionIsIgnored) {
    Set(ClassCriterion + "window_class_name", "GlzMatchClass");
    Set("conditions/DefaultCondition/params/enabled", "no");
    EXPECT_FALSE(Matches(notepadLike.Handle()));
}

TEST_F(Matching, WorkedExampleComesOutCharacterForCharacter) {
    EXPECT_EQ(Text(),
              "\\WINDOWRULENAME=Window Rule 1\\ACTION=TRANSPARENTWINDOWACTION{\\NAME=TransparentWindow"
              "\\SAVECURRENTOPERATION=no\\\\TRANSPARENTLEVEL=100}\\TRIGGER=WMCREATEMESSAGETRIGGER{"
              "\\LAG_ENABLED=no\\LAG_INTERVAL=0\\AGENT={\\NAME=WMCreateEvent\\ACTIONNAME=TransparentWindow"
              "\\ACTIONKIND=next\\OPERATIONNAME=}\\AGENT={\\NAME=GhostWindowWMCreateEventAgent"
              "\\ACTIONNAME=GhostWindow\\ACTIONKIND=next\\OPERATIONNAME=}}");
}

TEST_F(Matching, AllItemsDisabledGivesOnlyTheName) {
    Set("actions/TransparentWindow/params/enabled", "no");
    Set("triggers/CreateMessageTrigger/params/enabled", "no");
    EXPECT_EQ(Text(), "\\WINDOWRULENAME=Window Rule 1");
}

TEST_F(Matching, StayOnTopTextEndsInBackslashBrace) {
    Set("actions/TransparentWindow/params/enabled", "no");
    Set("actions/StayOnTop/params/enabled", "yes");
    Set("actions/StayOnTop/params/save_current_operation", "");
    Set("triggers/CreateMessageTrigger/params/enabled", "no");
    EXPECT_EQ(Text(), "\\WINDOWRULENAME=Window Rule 1\\ACTION=STAYONTOPACTION{\\NAME=StayOnTop"
                      "\\SAVECURRENTOPERATION=\\}");
}

TEST_F(Matching, DisabledAgentBetweenEnabledOnesIsLeftOut) {
    Set("actions/TransparentWindow/params/enabled", "no");
    Set("triggers/CreateMessageTrigger/params/enabled", "no");
    Set("triggers/ActivateWindowMessageTrigger/params/enabled", "yes");
    Set("triggers/ActivateWindowMessageTrigger/params/lag_enabled", "yes");
    Set("triggers/ActivateWindowMessageTrigger/params/lag_interval", "250");
    Set("triggers/CreateMessageTrigger/agents/StayOnTopWMCreateEventAgent/params/enabled", "yes");
    Set("triggers/CreateMessageTrigger/agents/WMCreateEvent/params/enabled", "no");
    EXPECT_EQ(Text(),
              "\\WINDOWRULENAME=Window Rule 1\\TRIGGER=WMACTIVATEWINDOWMESSAGETRIGGER{\\LAG_ENABLED=yes"
              "\\LAG_INTERVAL=250\\AGENT={\\NAME=WMActivateWindowEvent\\ACTIONNAME=TransparentWindow"
              "\\ACTIONKIND=concrete\\OPERATIONNAME=TRANSPARENTOFF}\\AGENT={"
              "\\NAME=GhostWindowWMActivateWindowEvent\\ACTIONNAME=GhostWindow\\ACTIONKIND=concrete"
              "\\OPERATIONNAME=GHOSTOFF}}");
    Set("triggers/ActivateWindowMessageTrigger/params/enabled", "no");
    Set("triggers/CreateMessageTrigger/params/enabled", "yes");
    EXPECT_EQ(Text(), "\\WINDOWRULENAME=Window Rule 1\\TRIGGER=WMCREATEMESSAGETRIGGER{\\LAG_ENABLED=no"
                      "\\LAG_INTERVAL=0\\AGENT={\\NAME=StayOnTopWMCreateEventAgent\\ACTIONNAME=StayOnTop"
                      "\\ACTIONKIND=concrete\\OPERATIONNAME=STAYONTOPON}\\AGENT={"
                      "\\NAME=GhostWindowWMCreateEventAgent\\ACTIONNAME=GhostWindow\\ACTIONKIND=next"
                      "\\OPERATIONNAME=}}");
}

TEST_F(Matching, NamesAreWrittenRaw) {
    ComPtr<IBOMObjectSlave> odd = CreateBOMObject("WINDOWRULE", "a\\b{c}=d");
    std::string text;
    Supports<IWindowRule>(odd.Get())->GetDescriptor(text);
    EXPECT_EQ(text.rfind("\\WINDOWRULENAME=a\\b{c}=d\\ACTION=", 0), 0u);
}
