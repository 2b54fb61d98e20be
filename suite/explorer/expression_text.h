#pragma once

// Expressions of the model language written back as text, with the indexes of a formula either named or
// replaced by the elements an equation is looked at for.

#include "mrklang/model.h"

#include <string>
#include <vector>

namespace pelorin::explore {

/// Names for every slot of a formula: its index name as the source writes it (for a formula without them,
/// the lower-case name of its set, numbered when two slots share one: reg, reg2). Slots in `elements`
/// (domain slots, in order) are written as that element in double quotes instead; an empty entry keeps the
/// name.
std::vector<std::string> SlotNames(const mrk::Model& model, const mrk::Formula& formula,
                                   const std::vector<std::string>& elements = {});

/// The expression as the model language writes it, with the fewest parentheses that keep its meaning.
std::string ExpressionText(const mrk::Model& model, const mrk::Expr& expr,
                           const std::vector<std::string>& slotNames);

/// An equation in its general form: NAME(i in SET, ...): left side = right side.
std::string EquationText(const mrk::Model& model, int equation);

/// A number as the shortest text that reads back as the same value.
std::string NumberText(double value);

} // namespace pelorin::explore
