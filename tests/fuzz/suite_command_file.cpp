// Fuzzes the engine's command-file parser, then resolves what it read (sets, closure, shocks, subtotals)
// against a small model, as a run does before it solves.
#include "engine/closure.h"
#include "engine/command_file.h"
#include "engine/data_io.h"
#include "engine/runtime.h"
#include "mrklang/parser.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

const char* const kModel = R"(model Fuzz ;
file D input text ;
set COM = (c1, c2, c3) ;
set REG = read D "REG" ;
set SUB = (c1, c2) ;
subset SUB of COM ;
coefficient S(c in COM) = 1 ;
variable percent W = 1 ;
variable percent X(c in COM, r in REG) = S(c) * W ;
variable change T(r in REG) = 0 ;
equation E_X(c in COM, r in REG) : X(c, r) = S(c) * W + T(r) ;
)";

struct Fixture {
  pelorin::mrk::Model model;
  pelorin::engine::DataFile data;
  Fixture() {
    std::vector<pelorin::mrk::Diagnostic> errors;
    pelorin::mrk::ParseModel(kModel, model, errors);
    pelorin::ErrorText err;
    pelorin::engine::ParseTextData("header \"REG\" strings 2 ;\nusa\neu\n", "d.txt", data, err);
  }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Fixture fixture;
  pelorin::engine::CommandFile cmf;
  pelorin::ErrorText err;
  if (!pelorin::engine::ParseCommandFile(std::string_view(reinterpret_cast<const char*>(data), size),
                                         "fuzz.cmf", cmf, err)) {
    return 0;
  }
  // Shock files would name arbitrary files of this machine; the fuzzer keeps to the text it was given.
  std::erase_if(cmf.shocks,
                [](const auto& s) { return s.source == pelorin::engine::CmfShock::Source::File; });
  pelorin::engine::ModelRuntime runtime;
  if (!runtime.Load(fixture.model, {&fixture.data}, {"d.txt"}, err)) {
    return 0;
  }
  pelorin::engine::Simulation sim;
  if (pelorin::engine::ApplyExtraSets(cmf, runtime, err) &&
      pelorin::engine::BuildClosure(cmf, runtime, sim, err)) {
    pelorin::engine::BuildShocks(cmf, runtime, sim, err);
  }
  return 0;
}
