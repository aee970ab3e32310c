#include "platform/cmcFatal.h"
#include "platform/cmcPrompter.h"
#include "platform/programPath.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

TEST(FatalDeathTest, WritesTextToStderrAndExitsWithThree) {
    EXPECT_EXIT(cmcFatal("Overlapped Hash table."), ::testing::ExitedWithCode(3),
                "test_platform: Overlapped Hash table\\.");
}

TEST(Prompter, StderrPrompterTakesTheSafeAnswerToEveryQuestion) {
    cmcStderrPrompter prompter;
    EXPECT_EQ(prompter.message("c", "t", PromptIcon::Warning, PromptButtons::Ok), PromptAnswer::Ok);
    EXPECT_EQ(prompter.message("c", "t", PromptIcon::Question, PromptButtons::YesNo),
              PromptAnswer::No);
    EXPECT_EQ(prompter.message("c", "t", PromptIcon::Question, PromptButtons::YesNoCancel),
              PromptAnswer::Cancel);
    EXPECT_EQ(prompter.message("c", "t", PromptIcon::Question, PromptButtons::OkCancel),
              PromptAnswer::Cancel);
    EXPECT_FALSE(prompter.openFileName("c", "", "").has_value());
    EXPECT_FALSE(prompter.hasWindows());
}

TEST(Prompter, ScriptedPrompterIsInstalledForItsLifetimeAndAnswersInOrder) {
    cmcPrompter* before = &cmcPrompter::current();
    {
        ScriptedPrompter script;
        EXPECT_EQ(&cmcPrompter::current(), &script);
        script.answerNext(PromptAnswer::Yes);
        script.answerNext(PromptAnswer::No);
        script.chooseNextFile("/tmp/x.vcf");
        auto& p = cmcPrompter::current();
        EXPECT_EQ(p.message("cap", "first?", PromptIcon::Question, PromptButtons::YesNo),
                  PromptAnswer::Yes);
        EXPECT_EQ(p.message("cap", "second?", PromptIcon::Question, PromptButtons::YesNo),
                  PromptAnswer::No);
        EXPECT_EQ(p.saveFileName("Save", "", "").value_or(""), "/tmp/x.vcf");
        ASSERT_EQ(script.shown().size(), 2u);
        EXPECT_EQ(script.shown()[0].caption, "cap");
        EXPECT_EQ(script.lastText(), "second?");
        EXPECT_TRUE(script.scriptUsed());
    }
    EXPECT_EQ(&cmcPrompter::current(), before);
}

TEST(ProgramPath, NamesTheRunningExecutable) {
    EXPECT_EQ(programFileName(), "test_platform");
    EXPECT_EQ(programDir() + programFileName(), programPath());
}
