#include "installed_program.h"

#include "datafiles/har_writer.h"
#include "modelinfo/model_info_writer.h"

#include <filesystem>
#include <stdexcept>

namespace pelorin::test {

namespace fs = std::filesystem;

InstalledProgram::InstalledProgram() : programDir(dir.File("prog")) {
  for (const char* file :
       {"praxola.exe", "mirdaa.exe", "lumarix.exe", "dravex.exe", "telvari.exe", "orvane.html"}) {
    Write(file, "");
  }
  Write("vital.fil", "praxola.exe\nmirdaa.exe\norvane.html\n");
}

void InstalledProgram::Write(const std::string& relative, const std::string& text) const {
  const fs::path path = fs::path(programDir) / relative;
  fs::create_directories(path.parent_path());
  dir.Write(fs::relative(path, dir.Path()).string(), text);
}

void InstalledProgram::InstallModel(const std::string& name, int sets, int variables) const {
  for (const char* extension : {"mrk", "axs", "sti", "exe", "inf", "bmp", "rtf", "cls", "mdf", "html"}) {
    Write(name + "/" + name + "." + extension, "");
  }
  Write(name + "/" + name + ".tit",
        "clCream\n1.5 clNavy\n" + name + "\n1 clBlue\nA model\n1 clBlue\n\n1 clBlue\n\n");
  const std::string stamp = "Mon Dec  7 10:00:00 2026";
  ModelInfoDescription description;
  for (int i = 0; i < 3; ++i) {
    const std::string data = "data" + std::to_string(i) + ".har";
    description.files.push_back({"DATA" + std::to_string(i), "in", i == 0, "har", "", "Data file " + data});
    Write(name + "/" + data, "");
  }
  description.mrkFile = name + ".mrk";
  description.stiFile = "%none";
  description.tmDate = stamp;
  for (int s = 1; s <= sets; ++s) {
    SetDescription set{"SET" + std::to_string(s), "Set " + std::to_string(s), 10, {}};
    for (int e = 1; e <= 10; ++e) {
      set.elements.push_back("e" + std::to_string(s) + "_" + std::to_string(e));
    }
    description.sets.push_back(set);
  }
  for (int v = 1; v <= variables; ++v) {
    VariableDescription variable;
    variable.name = "v" + std::to_string(v);
    variable.argSets = {1 + v % sets, 1 + (v + 1) % sets};
    variable.size = 100;
    variable.vcTp = v % 2 == 0 ? 'p' : 'c';
    variable.description = "Variable number " + std::to_string(v);
    description.variables.push_back(variable);
  }
  ErrorText error;
  const std::string base = programDir + "/" + name + "/" + name;
  if (!WriteModelInfo(base + ".min", description, error) ||
      !WriteHarFile(base + ".axt", {MakeStrings("DTXT", "Time and date of compilation", {stamp}, 40)}, {},
                    error)) {
    throw std::runtime_error(error);
  }
  std::string ini = "[Options]\nModelDesc=" + name + " model\n[Environment]\nModel=C:\\old\\" + name +
                    ".exe\nModel Name=" + name + "\nVerbal description=Ten percent\n[Input Files]\n";
  for (int i = 0; i < 3; ++i) {
    ini += std::to_string(i) + "=File DATA" + std::to_string(i) + " = C:\\old\\data" + std::to_string(i) +
           ".har ; ! data\n";
  }
  ini += "[Closure]\n0=exogenous v1 v2 ;\n1=rest endogenous ;\n[Shocks]\n0=shock v1 = 10 ;\n"
         "[Output Files]\n0=Solution file = sim1 ;\n1=Updated file DATA0 = sim1.upd ;\n"
         "[Solution Method]\nMethod=4\nNSOL=3\nSteps1=2\nSteps2=4\nSteps3=6\n";
  Write(name + "/" + name + ".ini", ini);
}

} // namespace pelorin::test
