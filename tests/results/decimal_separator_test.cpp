#include "platform/user_values.h"
#include "results/decimal_separator.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

namespace pelorin {
namespace {

// Points the per-user configuration folder at a temporary one for a test.
class UserValues {
public:
  UserValues() {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
      saved_ = old;
    }
    setenv("XDG_CONFIG_HOME", dir_.Path().c_str(), 1);
  }
  ~UserValues() {
    if (saved_) {
      setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
  }
  void Write(const std::string& text) {
    std::filesystem::create_directories(dir_.Path() / "KALVIMO");
    dir_.Write("KALVIMO/KALVIMO.ini", text);
  }

private:
  test::TempDir dir_;
  std::optional<std::string> saved_;
};

TEST(DecimalSeparator, ForceDecimalPointIsReadFromThePerUserValues) {
  UserValues values;
  EXPECT_FALSE(ForceDecimalPointSet()); // no file
  values.Write("[KALVIMO]\r\nFlashTaskBar=1\r\nForceDecimalPoint=0\r\n");
  EXPECT_FALSE(ForceDecimalPointSet());
  ErrorText error;
  ASSERT_TRUE(WriteUserBool("ForceDecimalPoint", true, error)) << error;
  EXPECT_TRUE(ForceDecimalPointSet());
}

TEST(DecimalSeparator, StartUpRuleForcesThePointOverTheLocale) {
  UserValues values;
  const char saved = DecimalSeparator();
  values.Write("[KALVIMO]\nForceDecimalPoint=1\n");
  SetDecimalSeparator(',');
  EXPECT_EQ(InitDecimalSeparator(), '.');
  EXPECT_EQ(DecimalSeparator(), '.');
  values.Write("[KALVIMO]\nForceDecimalPoint=0\n");
  EXPECT_EQ(InitDecimalSeparator(), LocaleDecimalSeparator());
  SetDecimalSeparator(saved);
}

} // namespace
} // namespace pelorin
