#include "results/decimal_separator.h"

#include "platform/user_values.h"

#include <atomic>
#include <langinfo.h>
#include <locale.h>

namespace pelorin {

namespace {

// 0 until the start-up rule has been applied or a separator has been set.
std::atomic<char> separatorInUse{0};

} // namespace

bool ForceDecimalPointSet() {
  return ReadUserBool("ForceDecimalPoint", false);
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
