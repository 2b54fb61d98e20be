#include "results/decimal_separator.h"

#include "platform/paths.h"
#include "platform/strings.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <langinfo.h>
#include <locale.h>

namespace pelorin {

namespace {

// 0 until the start-up rule has been applied or a separator has been set.
std::atomic<char> separatorInUse{0};

// A per-user value reads true the way a boolean registry value does: any non-zero number, or the words a
// person is likely to type into the file by hand.
bool ReadsTrue(const std::string& value) {
  if (SameText(value, "true") || SameText(value, "yes") || SameText(value, "on")) {
    return true;
  }
  char* end = nullptr;
  const long number = std::strtol(value.c_str(), &end, 10);
  return end != value.c_str() && *end == '\0' && number != 0;
}

} // namespace

std::string UserValuesFileName() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (configHome != nullptr && configHome[0] == '/') {
    folder = configHome;
  } else {
    const char* home = std::getenv("HOME");
    folder = JoinPath(home != nullptr ? home : "", ".config");
  }
  return JoinPath(JoinPath(folder, "KALVIMO"), "KALVIMO.ini");
}

bool ForceDecimalPointSet() {
  std::ifstream file(UserValuesFileName(), std::ios::binary);
  std::string line;
  while (std::getline(file, line)) {
    const auto equals = line.find('=');
    if (equals != std::string::npos && SameText(Trim(line.substr(0, equals)), "ForceDecimalPoint")) {
      return ReadsTrue(Trim(line.substr(equals + 1)));
    }
  }
  return false;
}

char LocaleDecimalSeparator() {
  locale_t locale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (locale == static_cast<locale_t>(nullptr)) {
    return '.';
  }
  const char* radix = nl_langinfo_l(RADIXCHAR, locale);
  const char separator = radix != nullptr && radix[0] != '\0' && radix[1] == '\0' ? radix[0] : '.';
  freelocale(locale);
  return separator;
}

char InitDecimalSeparator() {
  const char separator = ForceDecimalPointSet() ? '.' : LocaleDecimalSeparator();
  separatorInUse.store(separator);
  return separator;
}

char DecimalSeparator() {
  const char separator = separatorInUse.load();
  return separator != 0 ? separator : InitDecimalSeparator();
}

void SetDecimalSeparator(char separator) {
  separatorInUse.store(separator);
}

} // namespace pelorin
