#pragma once

#include <string_view>

namespace pelorin::test {

/// Leaves one input in the seed corpus of fuzz target `target` (<build>/fuzz-corpus/target/name), so the
/// fuzzers start from the files the tests build. Tests call it on the valid and the broken inputs they make.
void SaveFuzzSeed(std::string_view target, std::string_view name, std::string_view bytes);

} // namespace pelorin::test
