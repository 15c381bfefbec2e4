#include "BOMUICommands.h"

// Commands are found by name (the controller's command tables): never rename them.
const std::string_view MenuCommandsXML = R"(<?xml version="1.0" ?>
<commands>
  <content>
    <command name="AppFilesMenu">
      <params>
        <param name="caption">&amp;File</param>
        <param name="type">group</param>
      </params>
      <commands>
        <content>
          <command name="AppSave">
            <params>
              <param name="caption">Save</param>
              <param name="imageindex">0</param>
              <param name="shortcut">Ctrl+S</param>
            </params>
          </command>
          <command name="Separator1">
            <params><param name="type">separator</param></params>
          </command>
          <command name="AppExit">
            <params><param name="caption">Exit</param></params>
          </command>
        </content>
      </commands>
    </command>
    <command name="WindowRuleMenu">
      <params>
        <param name="caption">&amp;Rule</param>
        <param name="type">group</param>
      </params>
      <commands>
        <content>
          <command name="WindowRuleAdd">
            <params>
              <param name="caption">Add rule</param>
              <param name="imageindex">1</param>
              <param name="shortcut">Ctrl+A</param>
            </params>
          </command>
          <command name="WindowRuleDelete">
            <params>
              <param name="caption">Delete rule</param>
              <param name="imageindex">2</param>
              <param name="shortcut">Ctrl+D</param>
            </params>
          </command>
        </content>
      </commands>
    </command>
    <command name="ToolsMenu">
      <params>
        <param name="caption">&amp;Tools</param>
        <param name="type">group</param>
      </params>
      <commands>
        <content>
          <command name="RunCommandCenter">
            <params>
              <param name="caption">Launch Capsaro</param>
              <param name="imageindex">4</param>
            </params>
          </command>
          <command name="StopCommandCenter">
            <params>
              <param name="caption">Stop Capsaro</param>
              <param name="imageindex">-1</param>
            </params>
          </command>
          <command name="Separator1">
            <params><param name="type">separator</param></params>
          </command>
          <command name="Options">
            <params>
              <param name="caption">Options...</param>
              <param name="imageindex">-1</param>
            </params>
          </command>
        </content>
      </commands>
    </command>
    <command name="HelpMenu">
      <params>
        <param name="caption">&amp;Help</param>
        <param name="type">group</param>
      </params>
      <commands>
        <content>
          <command name="HelpContent">
            <params>
              <param name="caption">Content...</param>
              <param name="imageindex">3</param>
              <param name="shortcut">F1</param>
            </params>
          </command>
          <command name="Separator1">
            <params><param name="type">separator</param></params>
          </command>
          <command name="HelpAbout">
            <params><param name="caption">About...</param></params>
          </command>
        </content>
      </commands>
    </command>
  </content>
</commands>
)";

const std::string_view ToolBarCommandsXML = R"(<?xml version="1.0" ?>
<commands>
  <content>
    <command name="AppSave">
      <params>
        <param name="caption">Save</param>
        <param name="imageindex">0</param>
      </params>
    </command>
    <command name="Separator1">
      <params><param name="type">separator</param></params>
    </command>
    <command name="WindowRuleAdd">
      <params>
        <param name="caption">Add rule</param>
        <param name="imageindex">1</param>
        <param name="shortcut">Ctrl+A</param>
      </params>
    </command>
    <command name="WindowRuleDelete">
      <params>
        <param name="caption">Delete rule</param>
        <param name="imageindex">2</param>
        <param name="shortcut">Ctrl+D</param>
      </params>
    </command>
  </content>
</commands>
)";
