#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace pelorin {

/// The guard against a second start of the same program by the same user. The first start listens on a local
/// socket named after the executable's file name and the user; a later start of the same name asks it to
/// restore its window and should then end with exit code 0. A program under another file name is not
/// affected.
class SingleInstanceGuard {
public:
  /// What Claim found.
  enum class Outcome {
    First,    ///< no other instance: this one now answers later starts
    Restored, ///< another instance answered and was asked to restore itself: end now with exit code 0
    Alone,    ///< the guard could not be set up; carry on as if no other instance ran
  };

  SingleInstanceGuard() = default;
  ~SingleInstanceGuard();
  SingleInstanceGuard(const SingleInstanceGuard&) = delete;
  SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

  /// Claims the name `executableName` (file name and extension, no folder) for this user. `onRestore` runs on
  /// the guard's own thread each time a later start asks; the window layer passes it on to its event loop.
  Outcome Claim(std::string_view executableName, std::function<void()> onRestore);

  /// True once a later start has asked this instance to restore itself; cleared by reading.
  bool TakeRestoreRequest() { return restoreRequested_.exchange(false); }

  /// The socket name used for an executable name and user id (exposed for tests).
  static std::string SocketName(std::string_view executableName, unsigned userId);

private:
  void Serve();

  int listenFd_ = -1;
  int wakeFds_[2] = {-1, -1};
  std::thread server_;
  std::function<void()> onRestore_;
  std::atomic<bool> restoreRequested_{false};
};

} // namespace pelorin
