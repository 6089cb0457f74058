// Running part of a test in a child process, where it may change what the test process must
// keep: its resource limits, signal handling or user.
#pragma once

#include <functional>
#include <sys/types.h>

// Runs `body` in a forked child and returns its result; -1 when the child did not end normally.
int RunInChild(const std::function<int()>& body);

// Waits until the process `pid` (a process group when negative) is gone, or is a zombie: an
// orphan waits for whoever reaps orphans, which may take its time. False when it still runs.
bool ProcessGone(pid_t pid);

// Makes the process the "nobody" user when it runs as root, so that file permissions bind it as
// they bind any user; does nothing otherwise. False when that failed.
bool DropRootPrivileges();

// Makes every file this process writes end at `bytes`, as a full device would: writes past it
// fail (with EFBIG) instead of stopping the process.
void FillDeviceAfter(long bytes);
