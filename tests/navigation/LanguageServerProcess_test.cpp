// The server as a child process: a process group of its own, which ends with the client, so
// that nothing the server started outlives the workspace.
#include "ChildProcess.h"
#include "FakeServer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <unistd.h>

TEST(LanguageServer, WhatTheServerStartedRunsInItsGroupAndEndsWithTheClient) {
  FakeServer fake;
  LanguageServer::Options options = fake.Options();
  const std::string helperFile = fake.Dir().file("helper");
  // A shell that leaves a helper running, then becomes the server.
  options.program = "/bin/sh";
  options.arguments =
      QStringList{"-c", "sleep 300 & echo $! >\"$0\"; exec \"$@\"", QString::fromStdString(helperFile),
                  QString::fromStdString(FakeServer::Program())} +
      fake.Options().arguments;
  pid_t helper = 0;
  {
    LanguageServer server(options);
    server.Start();
    ASSERT_TRUE(WaitUntil([&] { return server.CurrentState() == LanguageServer::State::Running; }));
    helper = std::stoi(TempDir::read(helperFile));
    ASSERT_GT(helper, 0);
    EXPECT_NE(::getpgid(helper), ::getpgrp()) << "the server shares the program's process group";
  }
  EXPECT_TRUE(ProcessGone(helper)) << "the server's helper outlived the client";
  if (::kill(helper, 0) == 0) ::kill(helper, SIGKILL);
}
