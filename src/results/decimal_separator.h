#pragma once

namespace pelorin {

/// The decimal separator the tables use. Until set otherwise it follows the start-up rule: the locale's
/// separator, or "." when the per-user value "ForceDecimalPoint" reads true.
char DecimalSeparator();
/// Replaces the decimal separator for the rest of the run (tests pick one; start-up may re-apply the rule).
void SetDecimalSeparator(char separator);
/// Applies the start-up rule again and returns the separator chosen.
char InitDecimalSeparator();
/// The user's locale's decimal separator (from LC_NUMERIC / LC_ALL / LANG), "." when it has none.
char LocaleDecimalSeparator();
/// True when the per-user value "ForceDecimalPoint" exists and reads true.
bool ForceDecimalPointSet();

} // namespace pelorin
