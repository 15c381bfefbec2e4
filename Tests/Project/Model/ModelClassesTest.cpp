#include "BOMObjects.h"
#include "BOMRoutines.h"
#include "ModelInterfaces.h"
#include "ModelTestSupport.h"
#include "XMLStorage.h"

#include <gtest/gtest.h>

namespace {
class ModelClasses : public ::testing::Test {
protected:
    void SetUp() override { EnsureModelClasses(); }

    static ComPtr<IBOMObjectSlave> NewRule(const std::string& name = "Window Rule 1") {
        ComPtr<IBOMObjectSlave> rule = CreateBOMObject("WINDOWRULE", name);
        EXPECT_TRUE(rule);
        return rule;
    }

    static std::string SaveToXML(IBOMObject* obj, const std::string& element) {
        ComPtr<TXMLStorage> storage = NewObject<TXMLStorage>();
        EXPECT_TRUE(storage->NewDocument(element));
        storage->SaveObject(Supports<IPersistObject>(obj).Get());
        std::string text;
        storage->GetXML(text);
        return text;
    }

    static void LoadFromXML(IBOMObject* obj, const std::string& text) {
        ComPtr<TXMLStorage> storage = NewObject<TXMLStorage>();
        ASSERT_TRUE(storage->LoadFromXML(text));
        storage->LoadObject(Supports<IPersistObject>(obj).Get());
    }
};
} // namespace

TEST_F(ModelClasses, NewRuleHoldsExactlyTheTemplateItems) {
    auto rule = NewRule();
    IBOMObject* r = rule.Get();
    EXPECT_EQ(ParamAt(r, "params/enabled"), "yes");
    EXPECT_EQ(ItemNames(r, "conditions"), "DefaultCondition");
    EXPECT_EQ(ItemNames(r, "conditions/DefaultCondition/criterions"),
              "WINDOWCLASSNAMECRITERION,WINDOWCaptionCriterion");
    EXPECT_EQ(ItemNames(r, "actions"), "TransparentWindow,StayOnTop,GhostWindow");
    EXPECT_EQ(ParamAt(r, "actions/TransparentWindow/params/enabled"), "yes");
    EXPECT_EQ(ParamAt(r, "actions/TransparentWindow/params/transparency_level"), "100");
    EXPECT_EQ(ParamAt(r, "actions/TransparentWindow/params/caption"), "TransparentWindow");
    EXPECT_EQ(ParamAt(r, "actions/StayOnTop/params/enabled"), "no");
    EXPECT_EQ(ParamAt(r, "actions/GhostWindow/params/enabled"), "no");
    EXPECT_EQ(ItemNames(r, "triggers"),
              "CreateMessageTrigger,ActivateWindowMessageTrigger,InActivateWindowMessageTrigger");
    EXPECT_EQ(ParamAt(r, "triggers/CreateMessageTrigger/params/enabled"), "yes");
    EXPECT_EQ(ParamAt(r, "triggers/CreateMessageTrigger/params/lag_enabled"), "no");
    EXPECT_EQ(ParamAt(r, "triggers/CreateMessageTrigger/params/lag_interval"), "0");
    EXPECT_EQ(ParamAt(r, "triggers/ActivateWindowMessageTrigger/params/enabled"), "no");
    EXPECT_EQ(ParamAt(r, "triggers/InActivateWindowMessageTrigger/params/enabled"), "no");
    EXPECT_EQ(ItemNames(r, "triggers/CreateMessageTrigger/agents"),
              "WMCreateEvent,StayOnTopWMCreateEventAgent,GhostWindowWMCreateEventAgent");
    EXPECT_EQ(ItemNames(r, "triggers/ActivateWindowMessageTrigger/agents"),
              "WMActivateWindowEvent,GhostWindowWMActivateWindowEvent");
    EXPECT_EQ(ItemNames(r, "triggers/InActivateWindowMessageTrigger/agents"),
              "WMInActivateWindowEvent,GhostWindowWMInActivateWindowEvent");
    const std::string create = "triggers/CreateMessageTrigger/agents/";
    EXPECT_EQ(ParamAt(r, create + "WMCreateEvent/params/action_name"), "TransparentWindow");
    EXPECT_EQ(ParamAt(r, create + "WMCreateEvent/params/action_kind"), "next");
    EXPECT_EQ(ParamAt(r, create + "WMCreateEvent/params/operation_name"), "");
    EXPECT_EQ(ParamAt(r, create + "StayOnTopWMCreateEventAgent/params/enabled"), "no");
    EXPECT_EQ(ParamAt(r, create + "StayOnTopWMCreateEventAgent/params/action_kind"), "concrete");
    EXPECT_EQ(ParamAt(r, create + "StayOnTopWMCreateEventAgent/params/operation_name"), "STAYONTOPON");
    EXPECT_EQ(ParamAt(r, create + "GhostWindowWMCreateEventAgent/params/action_name"), "GhostWindow");
    EXPECT_EQ(
        ParamAt(r,
                "triggers/ActivateWindowMessageTrigger/agents/WMActivateWindowEvent/params/operation_name"),
        "TRANSPARENTOFF");
    EXPECT_EQ(ParamAt(r, "triggers/InActivateWindowMessageTrigger/agents/GhostWindowWMInActivateWindowEvent/"
                         "params/operation_name"),
              "GHOSTON");
    rule->ClearOwner();
}

TEST_F(ModelClasses, NewCriteriaHaveTheirDefaults) {
    auto rule = NewRule();
    const std::string criterions = "conditions/DefaultCondition/criterions/";
    EXPECT_EQ(ParamAt(rule.Get(), criterions + "WINDOWCLASSNAMECRITERION/params/enabled"), "yes");
    EXPECT_EQ(ParamAt(rule.Get(), criterions + "WINDOWCLASSNAMECRITERION/params/window_class_name"), "");
    EXPECT_EQ(ParamAt(rule.Get(), criterions + "WINDOWCaptionCriterion/params/enabled"), "no");
    EXPECT_EQ(ParamAt(rule.Get(), criterions + "WINDOWCaptionCriterion/params/window_caption"), "");
    EXPECT_EQ(ParamAt(rule.Get(), criterions + "WINDOWCaptionCriterion/params/exact_search"), "yes");
}

TEST_F(ModelClasses, FileRuleMergesIntoTemplateOrderWithExtrasAfter) {
    auto rule = NewRule();
    LoadFromXML(rule.Get(), R"(<window_rule name="Window Rule 1"><actions><content>
        <action name="Extra" type="STAYONTOPACTION"/>
        <action name="TransparentWindow" type="TRANSPARENTWINDOWACTION">
          <params><param name="enabled">no</param></params></action>
        </content></actions></window_rule>)");
    EXPECT_EQ(ItemNames(rule.Get(), "actions"), "TransparentWindow,StayOnTop,GhostWindow,Extra");
    EXPECT_EQ(ParamAt(rule.Get(), "actions/TransparentWindow/params/enabled"), "no");
    EXPECT_EQ(ParamAt(rule.Get(), "actions/StayOnTop/params/enabled"), "no");
    EXPECT_EQ(ParamAt(rule.Get(), "actions/Extra/params/caption"), "Extra");
}

TEST_F(ModelClasses, IsEnabledCountsOnlyExactYes) {
    auto rule = NewRule();
    ComPtr<IEnabledItem> item = Supports<IEnabledItem>(rule.Get());
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->IsEnabled());
    for (const char* value : {"Yes", "YES", "no", "1", ""}) {
        SetParamAt(rule.Get(), "params/enabled", value);
        EXPECT_FALSE(item->IsEnabled()) << value;
    }
    SetParamAt(rule.Get(), "params/enabled", "yes");
    EXPECT_TRUE(item->IsEnabled());
    ComPtr<IBOMCollection> params = Supports<IBOMCollection>(At(rule.Get(), "params").Get());
    params->Delete(Variant("enabled"));
    EXPECT_TRUE(item->IsEnabled());
}

TEST_F(ModelClasses, EveryClassSavesWithItsElementNamesAndLoadsBack) {
    auto rule = NewRule("Saved Rule");
    SetParamAt(rule.Get(), "actions/TransparentWindow/params/transparency_level", "42");
    SetParamAt(rule.Get(),
               "conditions/DefaultCondition/criterions/WINDOWCaptionCriterion/params/window_caption", "Cap");
    const std::string xml = SaveToXML(rule.Get(), "window_rule");
    for (const char* part :
         {"<conditions name=\"conditions\">", "<condition name=\"DefaultCondition\" type=\"CONDITION\">",
          "<criterions name=\"criterions\">",
          "<criterion name=\"WINDOWCLASSNAMECRITERION\" type=\"WINDOWCLASSNAMECRITERION\">",
          "<criterion name=\"WINDOWCaptionCriterion\" type=\"WINDOWCaptionCriterion\">",
          "<actions name=\"actions\">",
          "<action name=\"TransparentWindow\" type=\"TRANSPARENTWINDOWACTION\">",
          "<action name=\"StayOnTop\" type=\"STAYONTOPACTION\">",
          "<action name=\"GhostWindow\" type=\"GHOSTWINDOWACTION\">", "<triggers name=\"triggers\">",
          "<trigger name=\"CreateMessageTrigger\" type=\"WMCREATEMESSAGETRIGGER\">",
          "type=\"WMACTIVATEWINDOWMESSAGETRIGGER\"", "type=\"WMINACTIVATEWINDOWMESSAGETRIGGER\"",
          "<agents name=\"agents\">", "<agent name=\"WMCreateEvent\" type=\"MESSAGEAGENT\">"})
        EXPECT_NE(xml.find(part), std::string::npos) << part;

    auto loaded = CreateBOMObject("WINDOWRULE", "");
    LoadFromXML(loaded.Get(), xml);
    EXPECT_EQ(loaded->GetName(), "Saved Rule");
    EXPECT_EQ(ParamAt(loaded.Get(), "actions/TransparentWindow/params/transparency_level"), "42");
    EXPECT_EQ(ParamAt(loaded.Get(),
                      "conditions/DefaultCondition/criterions/WINDOWCaptionCriterion/params/window_caption"),
              "Cap");
    EXPECT_EQ(SaveToXML(loaded.Get(), "window_rule"), xml);
}

TEST_F(ModelClasses, MixedCaseKeysAreFoundInUpperCase) {
    for (const char* key : {"ACTIONS", "AGENTS", "TRIGGERS", "WINDOWCAPTIONCRITERION"})
        EXPECT_TRUE(CreateBOMObject(key, "x")) << key;
    for (const char* key : {"CRITERION", "ACTION", "AGENT", "TRIGGER", "MESSAGETRIGGER"})
        EXPECT_FALSE(CreateBOMObject(key, "x")) << key;
}

TEST_F(ModelClasses, ItemsAnswerTheirKindNames) {
    auto rule = NewRule();
    EXPECT_TRUE(At(rule.Get(), "")->IsKindOf("WindowRule"));
    EXPECT_TRUE(Supports<IWindowRule>(At(rule.Get(), "")->QueryKind("WindowRule").Get()));
    EXPECT_TRUE(Supports<IAction>(At(rule.Get(), "actions/StayOnTop")->QueryKind("Action").Get()));
    EXPECT_FALSE(At(rule.Get(), "actions/StayOnTop")->QueryKind("action"));
    EXPECT_TRUE(Supports<IDescriptorItem>(
        At(rule.Get(), "triggers/CreateMessageTrigger")->QueryKind("Trigger").Get()));
    EXPECT_TRUE(
        Supports<ICondition>(At(rule.Get(), "conditions/DefaultCondition")->QueryKind("Condition").Get()));
    EXPECT_TRUE(
        Supports<ICriterion>(At(rule.Get(), "conditions/DefaultCondition/criterions/WINDOWCaptionCriterion")
                                 ->QueryKind("Criterion")
                                 .Get()));
}
