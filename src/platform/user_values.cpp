#include "platform/user_values.h"

#include "platform/paths.h"
#include "platform/profile_file.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace pelorin {

namespace {

constexpr std::string_view kSection = "KALVIMO";

std::string ConfigFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') {
    return config;
  }
  const char* home = std::getenv("HOME");
  return JoinPath(home != nullptr && home[0] != '\0' ? home : "/tmp", ".config");
}

ProfileFile Load() {
  ProfileFile profile;
  ErrorText ignored;
  LoadProfileFile(UserValuesPath(), profile, ignored);
  return profile;
}

} // namespace

std::string UserValuesPath() {
  return JoinPath(JoinPath(ConfigFolder(), "KALVIMO"), "KALVIMO.ini");
}

bool ReadUserBool(std::string_view name, bool fallback) {
  return Load().ReadBool(kSection, name, fallback);
}

std::string ReadUserString(std::string_view name, std::string_view fallback) {
  return Load().ReadString(kSection, name, fallback);
}

bool WriteUserString(std::string_view name, std::string_view value, ErrorText& errorText) {
  const std::string path = UserValuesPath();
  std::error_code ec;
  std::filesystem::create_directories(ExtractFilePath(path), ec);
  ProfileFile profile;
  if (!LoadProfileFile(path, profile, errorText)) {
    return AddTag(errorText, "[WriteUserValue]");
  }
  profile.WriteString(kSection, name, value);
  if (!SaveProfileFile(path, profile, errorText)) {
    return AddTag(errorText, "[WriteUserValue]");
  }
  return true;
}

bool WriteUserBool(std::string_view name, bool value, ErrorText& errorText) {
  return WriteUserString(name, value ? "1" : "0", errorText);
}

} // namespace pelorin
