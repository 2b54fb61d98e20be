#include "platform/single_instance.h"

#include <atomic>
#include <gtest/gtest.h>
#include <unistd.h>

namespace pelorin {
namespace {

std::string UniqueName(std::string_view base) {
  return std::string(base) + "-" + std::to_string(::getpid());
}

TEST(SingleInstance, ASecondStartRestoresTheFirstAndAnotherNameRunsAlongside) {
  const std::string name = UniqueName("pelorin.test");
  std::atomic<int> restores{0};
  SingleInstanceGuard first;
  ASSERT_EQ(first.Claim(name, [&] { ++restores; }), SingleInstanceGuard::Outcome::First);
  EXPECT_FALSE(first.TakeRestoreRequest());

  SingleInstanceGuard second;
  EXPECT_EQ(second.Claim(name, nullptr), SingleInstanceGuard::Outcome::Restored);
  EXPECT_EQ(restores, 1);
  EXPECT_TRUE(first.TakeRestoreRequest());
  EXPECT_FALSE(first.TakeRestoreRequest());

  SingleInstanceGuard other;
  EXPECT_EQ(other.Claim(UniqueName("copy.test"), nullptr), SingleInstanceGuard::Outcome::First);
}

TEST(SingleInstance, TheNameIsFreeAgainOnceTheFirstEnds) {
  const std::string name = UniqueName("again.test");
  {
    SingleInstanceGuard first;
    ASSERT_EQ(first.Claim(name, nullptr), SingleInstanceGuard::Outcome::First);
  }
  SingleInstanceGuard next;
  EXPECT_EQ(next.Claim(name, nullptr), SingleInstanceGuard::Outcome::First);
  EXPECT_NE(SingleInstanceGuard::SocketName("a.exe", 1), SingleInstanceGuard::SocketName("a.exe", 2));
}

} // namespace
} // namespace pelorin
