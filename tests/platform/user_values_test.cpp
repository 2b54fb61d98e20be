#include "platform/user_values.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

TEST(UserValues, FlagsLiveInTheUsersConfigurationFolder) {
  test::TempDir dir;
  ::setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
  EXPECT_EQ(UserValuesPath(), dir.File("KALVIMO/KALVIMO.ini"));
  EXPECT_FALSE(ReadUserBool("FlashTaskBar", false));
  EXPECT_TRUE(ReadUserBool("ForceDecimalPoint", true));
  ErrorText error;
  ASSERT_TRUE(WriteUserBool("ForceDecimalPoint", false, error)) << error;
  ASSERT_TRUE(WriteUserBool("FlashTaskBar", true, error)) << error;
  EXPECT_FALSE(ReadUserBool("ForceDecimalPoint", true));
  EXPECT_TRUE(ReadUserBool("flashtaskbar", false));
  EXPECT_EQ(test::ReadFileBytes(dir.File("KALVIMO/KALVIMO.ini")),
            "[KALVIMO]\nForceDecimalPoint=0\nFlashTaskBar=1\n");
  ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace pelorin
