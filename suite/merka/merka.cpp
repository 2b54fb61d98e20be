// The model compiler: merka.exe MODEL.mrk [-o DIR] [-gss], or merka.exe -sti FILE for the report run
//
// Checks a model written in the model language and, when it is sound, writes the model information file
// (MODEL.min), the compiled model (MODEL.axs, or MODEL.gss for the general simulation program), the auxiliary
// table file holding the time-date stamp (MODEL.axt or MODEL.gst) and, for an executable model, MODEL.exe (a
// copy of the engine). Errors are printed as FILE:LINE:COL: error: message; then nothing is written and the
// exit code is 1.
#include "datafiles/har_writer.h"
#include "engine/model_info.h"
#include "merka/report_run.h"
#include "modelinfo/model_info_writer.h"
#include "mrklang/axs_file.h"
#include "mrklang/parser.h"
#include "platform/paths.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

int Usage() {
  std::cerr << "usage: merka.exe MODEL.mrk [-o DIR] [-gss]\n";
  return 2;
}

/// A 40-character stamp unique to this compile: date, time to the microsecond and the process number.
std::string MakeStamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  const auto micros =
      std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count() % 1000000;
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", std::localtime(&t));
  char buf[64];
  std::snprintf(buf, sizeof buf, "MERKA %s.%06lld P%d", date, static_cast<long long>(micros),
                static_cast<int>(getpid()) % 100000);
  std::string stamp = buf;
  stamp.resize(40, ' ');
  return stamp;
}

/// The engine program that becomes MODEL.exe: beside the compiler first, else the one of the build.
std::string FindEngine() {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    fs::path beside = self.parent_path() / "dravex.exe";
    if (fs::exists(beside, ec)) {
      return beside.string();
    }
  }
#ifdef PELORIN_ENGINE_PATH
  if (fs::exists(PELORIN_ENGINE_PATH, ec)) {
    return PELORIN_ENGINE_PATH;
  }
#endif
  return {};
}

bool Fail(const std::string& message) {
  std::cerr << "merka: error: " << message << "\n";
  return false;
}

} // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "-sti") {
    return pelorin::merka::RunStoredInput(argv[2]);
  }
  std::string source, outDir;
  bool gss = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "-o" && i + 1 < argc) {
      outDir = argv[++i];
    } else if (a == "-gss") {
      gss = true;
    } else if (!a.empty() && a[0] != '-' && source.empty()) {
      source = a;
    } else {
      return Usage();
    }
  }
  if (source.empty()) {
    return Usage();
  }
  std::ifstream in(source, std::ios::binary);
  if (!in) {
    std::cerr << source << ": error: cannot open the model file\n";
    return 1;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string text = bytes.str();
  pelorin::mrk::Model model;
  std::vector<pelorin::mrk::Diagnostic> errors;
  if (!pelorin::mrk::ParseModel(text, model, errors)) {
    for (const auto& d : errors) {
      std::cerr << pelorin::mrk::FormatDiagnostic(source, d) << "\n";
    }
    std::cerr << "merka: " << errors.size() << " error" << (errors.size() == 1 ? "" : "s")
              << "; nothing written\n";
    return 1;
  }
  const fs::path src(source);
  const std::string stem = src.stem().string();
  if (outDir.empty()) {
    outDir = src.has_parent_path() ? src.parent_path().string() : ".";
  }
  std::error_code ec;
  fs::create_directories(outDir, ec);
  const fs::path base = fs::path(outDir) / stem;
  auto path = [&](const char* ext) { return base.string() + ext; };

  std::string engine;
  if (!gss) {
    engine = FindEngine();
    if (engine.empty()) {
      Fail("cannot find the engine program dravex.exe beside the compiler");
      return 1;
    }
  }
  const std::string stamp = MakeStamp();
  pelorin::ErrorText err;
  pelorin::mrk::AxsFile axs{stamp, src.filename().string(), text};
  if (!pelorin::mrk::WriteAxs(path(gss ? ".gss" : ".axs"), axs, err)) {
    Fail(err);
    return 1;
  }
  std::vector<pelorin::HarHeader> table =
      pelorin::BookkeepingHeaders("merka.exe", pelorin::NowText(), {"Auxiliary table file of model " + stem});
  table.push_back(pelorin::MakeStrings("DTXT", "Time and date of compilation", {stamp}, 40));
  table.push_back(pelorin::MakeStrings("MODL", "Model name", {model.name.empty() ? stem : model.name}));
  if (!pelorin::WriteHarFile(path(gss ? ".gst" : ".axt"), table, pelorin::HarWriteOptions{}, err)) {
    Fail(err);
    return 1;
  }
  const auto info = pelorin::engine::DescribeModel(model, nullptr, nullptr, stamp, src.filename().string());
  if (!pelorin::WriteModelInfo(path(".min"), info, err)) {
    Fail(err);
    return 1;
  }
  if (!gss) {
    const fs::path exe = path(".exe");
    fs::copy_file(engine, exe, fs::copy_options::overwrite_existing, ec);
    if (ec) {
      Fail("cannot copy the engine to " + exe.string() + ": " + ec.message());
      return 1;
    }
    fs::permissions(exe,
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec,
                    ec);
  }
  std::size_t equations = model.equations.size();
  std::cout << "merka: model " << stem << " compiled: " << model.sets.size() << " sets, "
            << model.variables.size() << " variables, " << equations << " equation blocks; written to "
            << outDir << "\n";
  return 0;
}
