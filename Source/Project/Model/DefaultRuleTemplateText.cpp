#include "DefaultRuleTemplate.h"

// Items are found by name afterwards ("actions/TransparentWindow", ...): never rename them.
const std::string_view DefaultRuleTemplateXML = R"(<?xml version="1.0"?>
<window_rule>
  <params><param name="enabled">yes</param></params>
  <conditions>
    <content>
      <condition name="DefaultCondition">
        <params><param name="enabled">yes</param></params>
      </condition>
    </content>
  </conditions>
  <actions>
    <content>
      <action name="TransparentWindow" type="TRANSPARENTWINDOWACTION">
        <params><param name="enabled">yes</param></params>
      </action>
      <action name="StayOnTop" type="STAYONTOPACTION">
        <params><param name="enabled">no</param></params>
      </action>
      <action name="GhostWindow" type="GHOSTWINDOWACTION">
        <params><param name="enabled">no</param></params>
      </action>
    </content>
  </actions>
  <triggers>
    <content>
      <trigger name="CreateMessageTrigger" type="WMCREATEMESSAGETRIGGER">
        <params><param name="enabled">yes</param></params>
        <agents>
          <content>
            <agent name="WMCreateEvent" type="MESSAGEAGENT">
              <params>
                <param name="enabled">yes</param>
                <param name="action_name">TransparentWindow</param>
                <param name="action_kind">next</param>
              </params>
            </agent>
            <agent name="StayOnTopWMCreateEventAgent" type="MESSAGEAGENT">
              <params>
                <param name="enabled">no</param>
                <param name="action_name">StayOnTop</param>
                <param name="action_kind">concrete</param>
                <param name="operation_name">STAYONTOPON</param>
              </params>
            </agent>
            <agent name="GhostWindowWMCreateEventAgent" type="MESSAGEAGENT">
              <params>
                <param name="enabled">yes</param>
                <param name="action_name">GhostWindow</param>
                <param name="action_kind">next</param>
              </params>
            </agent>
          </content>
        </agents>
      </trigger>
      <trigger name="ActivateWindowMessageTrigger" type="WMACTIVATEWINDOWMESSAGETRIGGER">
        <params><param name="enabled">no</param></params>
        <agents>
          <content>
            <agent name="WMActivateWindowEvent" type="MESSAGEAGENT">
              <params>
                <param name="enabled">yes</param>
                <param name="action_name">TransparentWindow</param>
                <param name="action_kind">concrete</param>
                <param name="operation_name">TRANSPARENTOFF</param>
              </params>
            </agent>
            <agent name="GhostWindowWMActivateWindowEvent" type="MESSAGEAGENT">
              <params>
                <param name="enabled">yes</param>
                <param name="action_name">GhostWindow</param>
                <param name="action_kind">concrete</param>
                <param name="operation_name">GHOSTOFF</param>
              </params>
            </agent>
          </content>
        </agents>
      </trigger>
      <trigger name="InActivateWindowMessageTrigger" type="WMINACTIVATEWINDOWMESSAGETRIGGER">
        <params><param name="enabled">no</param></params>
        <agents>
          <content>
            <agent name="WMInActivateWindowEvent" type="MESSAGEAGENT">
              <params>
                <param name="enabled">yes</param>
                <param name="action_name">TransparentWindow</param>
                <param name="action_kind">concrete</param>
                <param name="operation_name">TRANSPARENTON</param>
              </params>
            </agent>
            <agent name="GhostWindowWMInActivateWindowEvent" type="MESSAGEAGENT">
              <params>
                <param name="enabled">yes</param>
                <param name="action_name">GhostWindow</param>
                <param name="action_kind">concrete</param>
                <param name="operation_name">GHOSTON</param>
              </params>
            </agent>
          </content>
        </agents>
      </trigger>
    </content>
  </triggers>
</window_rule>
)";
