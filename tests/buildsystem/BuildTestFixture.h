// What a build works on in a test: settings naming the stand-in tools, a workspace, the "Debug"
// lines, the progress window's state, fake editor windows and scripted questions.
#pragma once

#include "BuildController.h"
#include "BuildTestSupport.h"
#include "QtHandOver.h"
#include "ScriptedQuestions.h"
#include "TempDir.h"

#include <gtest/gtest.h>

class BuildTestFixture : public ::testing::Test {
protected:
  BuildTestFixture() {
    settings.lcclocation = StandinTool("q3lcc");
    settings.q3asmlocation = StandinTool("q3asm");
    settings.q3asmlarguments = "-v -m";
  }

  [[nodiscard]] BuildContext Context() {
    return BuildContext{
        settings, workspace, debug, progress, editors, questions, std::make_shared<QtHandOver>()};
  }

  [[nodiscard]] std::string BuildMessagesText() const {
    std::string text;
    for (const auto& line : debug.Lines())
      text += line + "\n";
    return text;
  }

  TempDir dir;
  Settings settings;
  ProjectList workspace;
  MessageLines debug;
  ProgressState progress;
  FakeEditors editors;
  ScriptedQuestions questions;
  std::unique_ptr<BuildController> controller;
};
