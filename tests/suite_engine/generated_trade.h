#pragma once

#include <string>

namespace pelorin::test {

/// A generated multi-region trade model (Armington import demand over bilateral flows, CES price indexes,
/// Cobb-Douglas final demand, one factor per region) whose size is chosen by its data: about
/// commodities x regions x (regions + 4) equations.
extern const char* const kGeneratedTradeModel;

/// A closure and shocks for it: trade costs from region r1 fall, productivity of c1 rises everywhere.
extern const char* const kGeneratedTradeCommands;

/// Base data in equilibrium for the given numbers of regions and commodities, as a text data file.
std::string GeneratedTradeData(int regions, int commodities);

} // namespace pelorin::test
