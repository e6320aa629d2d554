// Runs one test of this test program in a child process of its own, under limits, and reports
// what it cost: for work whose time and memory are to be seen (and kept bounded) without the test
// depending on how busy the machine is. The limits are a safety net only: a regression that makes
// the work endless or huge ends the child (CPU time, address space, a generous wall clock) and
// fails the test instead of hanging or swapping the machine.
#pragma once

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace corvane::test {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

struct ChildFigures {
  bool exited = false;  // ended by itself (not by a signal)
  int status = -1;      // its exit status when it did
  int signal = 0;       // the signal that ended it otherwise
  double seconds = 0;   // wall clock
  double cpuSeconds = 0;
  double maxRssMb = 0;  // largest resident size
};

struct ChildLimits {
  int cpuSeconds = 60;
  int wallSeconds = 120;
  long long addressSpaceMb = 0;  // 0: none (always none under the address sanitizer)
};

// Starts this program again with only the named test (`filter`) and `variable`=`value` in its
// environment, and waits for it.
inline ChildFigures RunTestInChild(const std::string& filter, const std::string& variable, const std::string& value,
                                   const ChildLimits& limits = {}) {
  ChildFigures f;
  // Everything the child needs is made before the fork: between fork and exec a child of a
  // program with threads may only make system calls.
  std::string arg = "--gtest_filter=" + filter;
  std::string assignment = variable + "=" + value;
  std::vector<char*> env;
  for (char** e = environ; *e; ++e) env.push_back(*e);
  env.push_back(assignment.data());
  env.push_back(nullptr);
  char name[] = "child", brief[] = "--gtest_brief=1";
  char* argv[] = {name, arg.data(), brief, nullptr};
  rlimit cpu{static_cast<rlim_t>(limits.cpuSeconds), static_cast<rlim_t>(limits.cpuSeconds + 5)};
  rlim_t bytes = static_cast<rlim_t>(limits.addressSpaceMb) << 20;
  rlimit as{bytes, bytes};
  timespec t0{};
  clock_gettime(CLOCK_MONOTONIC, &t0);
  pid_t pid = fork();
  if (pid < 0) return f;
  if (pid == 0) {
    setrlimit(RLIMIT_CPU, &cpu);
    if (limits.addressSpaceMb > 0 && !kAddressSanitizer) setrlimit(RLIMIT_AS, &as);
    execve("/proc/self/exe", argv, env.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  for (;;) {
    pid_t r = wait4(pid, &status, WNOHANG, &usage);
    if (r == pid) break;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (now.tv_sec - t0.tv_sec > limits.wallSeconds) kill(pid, SIGKILL);
    usleep(20000);
  }
  timespec t1{};
  clock_gettime(CLOCK_MONOTONIC, &t1);
  f.seconds = static_cast<double>(t1.tv_sec - t0.tv_sec) + static_cast<double>(t1.tv_nsec - t0.tv_nsec) / 1e9;
  f.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  f.maxRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  f.exited = WIFEXITED(status);
  if (f.exited) f.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) f.signal = WTERMSIG(status);
  return f;
}

}  // namespace corvane::test
