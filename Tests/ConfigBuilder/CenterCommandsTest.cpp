#include "CenterCommands.h"
#include "CenterStandIn.h"
#include "ConfigBuilderTestSupport.h"
#include "ProcessesCommunication.h"

#include <gtest/gtest.h>

namespace {

TEST(CenterCommands, NobodyToTellIsNoFailure) {
    EXPECT_FALSE(IsControlCenterRunning());
    EXPECT_EQ(TCenterAnswer::NotRunning, SendCenterCommand(cmdReloadSettings));
}

TEST(CenterCommands, AnUnansweredSendIsRepeatedWhileTheCenterRuns) {
    TCenterStandIn center("guard ignore=2");
    EXPECT_EQ(TCenterAnswer::Answered, SendCenterCommand(cmdReloadConfiguration));
    EXPECT_EQ("2,2,2", center.Codes());
}

TEST(CenterCommands, FiveSendsThenTheUserIsTold) {
    TCenterStandIn center("guard ignore=9");
    EXPECT_EQ(TCenterAnswer::NoAnswer, SendCenterCommand(cmdReloadSettings));
    EXPECT_EQ("4,4,4,4,4", center.Codes());
}

// Without GlazloCenter's name the server is someone else's: nothing is sent, so nothing waits
// for an answer.
TEST(CenterCommands, NothingIsSentWhenTheCenterDoesNotRun) {
    TCenterStandIn center("ignore=9");
    EXPECT_EQ(TCenterAnswer::NotRunning, SendCenterCommand(cmdReloadSettings));
    EXPECT_EQ("", center.Codes());
}

} // namespace
