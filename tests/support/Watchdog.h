// A limit on work a test cannot interrupt (a layout inside the toolkit, say): when the guarded
// scope is still running after the limit, the test program ends with a message and a failing
// exit status, so a regression that makes the work endless fails the suite instead of hanging it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace corvane::test {

class Watchdog {
 public:
  Watchdog(std::chrono::seconds limit, std::string what)
      : what_(std::move(what)), thread_([this, limit] {
          std::unique_lock<std::mutex> lock(mutex_);
          if (wake_.wait_for(lock, limit, [this] { return done_; })) return;
          std::fprintf(stderr, "FAILED: %s: still running after %lld s\n", what_.c_str(),
                       static_cast<long long>(limit.count()));
          std::fflush(stderr);
          std::_Exit(1);
        }) {}
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  std::string what_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace corvane::test
