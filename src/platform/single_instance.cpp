#include "platform/single_instance.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace pelorin {

namespace {

constexpr char kRestore[] = "restore\n";
constexpr char kDone[] = "ok\n";
constexpr int kAnswerMilliseconds = 2000;

// The address in the abstract namespace, so nothing is left in the file system when a program ends abruptly.
socklen_t FillAddress(sockaddr_un& address, const std::string& name) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  const std::size_t length = std::min(name.size(), sizeof address.sun_path - 1);
  std::memcpy(address.sun_path + 1, name.data(), length);
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

bool WaitFor(int fd, short events, int milliseconds) {
  pollfd p{fd, events, 0};
  int got;
  do {
    got = ::poll(&p, 1, milliseconds);
  } while (got < 0 && errno == EINTR);
  return got > 0;
}

// Only a process of the same user may ask us, or answer us: the abstract namespace has no file permissions.
bool SameUser(int fd) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 && credentials.uid == ::getuid();
}

// Asks a running instance to restore itself; true when it confirmed.
bool AskToRestore(const sockaddr_un& address, socklen_t length) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return false;
  }
  bool confirmed = false;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 && SameUser(fd) &&
      ::send(fd, kRestore, sizeof kRestore - 1, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof kRestore - 1) &&
      WaitFor(fd, POLLIN, kAnswerMilliseconds)) {
    char answer[sizeof kDone] = {};
    confirmed = ::recv(fd, answer, sizeof kDone - 1, 0) == static_cast<ssize_t>(sizeof kDone - 1) &&
                std::memcmp(answer, kDone, sizeof kDone - 1) == 0;
  }
  ::close(fd);
  return confirmed;
}

} // namespace

std::string SingleInstanceGuard::SocketName(std::string_view executableName, unsigned userId) {
  return "pelorin-instance/" + std::to_string(userId) + "/" + std::string(executableName.substr(0, 80));
}

SingleInstanceGuard::Outcome SingleInstanceGuard::Claim(std::string_view executableName,
                                                        std::function<void()> onRestore) {
  sockaddr_un address{};
  const socklen_t length = FillAddress(address, SocketName(executableName, ::getuid()));
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (AskToRestore(address, length)) {
      return Outcome::Restored;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
      return Outcome::Alone;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 && ::listen(fd, 8) == 0) {
      if (::pipe2(wakeFds_, O_CLOEXEC) != 0) {
        ::close(fd);
        return Outcome::Alone;
      }
      listenFd_ = fd;
      onRestore_ = std::move(onRestore);
      server_ = std::thread([this] { Serve(); });
      return Outcome::First;
    }
    const int error = errno;
    ::close(fd);
    if (error != EADDRINUSE) {
      return Outcome::Alone;
    }
    // Someone holds the name but did not answer: perhaps it was just starting. Ask once more.
  }
  return Outcome::Alone;
}

void SingleInstanceGuard::Serve() {
  for (;;) {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      return;
    }
    if (fds[1].revents != 0) {
      return;
    }
    const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) {
      continue;
    }
    char request[sizeof kRestore] = {};
    if (SameUser(client) && WaitFor(client, POLLIN, kAnswerMilliseconds) &&
        ::recv(client, request, sizeof kRestore - 1, MSG_WAITALL) ==
            static_cast<ssize_t>(sizeof kRestore - 1) &&
        std::memcmp(request, kRestore, sizeof kRestore - 1) == 0) {
      restoreRequested_ = true;
      if (onRestore_) {
        onRestore_();
      }
      ::send(client, kDone, sizeof kDone - 1, MSG_NOSIGNAL);
    }
    ::close(client);
  }
}

SingleInstanceGuard::~SingleInstanceGuard() {
  if (server_.joinable()) {
    const char wake = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(wakeFds_[1], &wake, 1);
    server_.join();
  }
  for (const int fd : {listenFd_, wakeFds_[0], wakeFds_[1]}) {
    if (fd >= 0) {
      ::close(fd);
    }
  }
}

} // namespace pelorin
