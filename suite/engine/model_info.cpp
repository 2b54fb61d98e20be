#include "engine/model_info.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace pelorin::engine {

ModelInfoDescription DescribeModel(const mrk::Model& model, const ModelRuntime* runtime,
                                   const std::vector<std::uint8_t>* exogenous, const std::string& stamp,
                                   const std::string& mrkFile) {
  ModelInfoDescription d;
  d.hasFileSection = runtime == nullptr;
  if (d.hasFileSection) {
    for (const mrk::LogicalFile& f : model.files) {
      TFileRec rec;
      rec.logicalName = mrk::IsTerminalFile(f) ? "(terminal)" : f.name;
      rec.direction = f.kind == mrk::FileKind::Input ? "in" : "out";
      rec.updated = f.updated;
      rec.fileType = f.format == mrk::FileFormat::Har ? "har" : "txt";
      rec.description = f.description.empty() ? f.name : f.description;
      d.files.push_back(rec);
    }
    TFileRec display;
    display.logicalName = "(display)";
    display.direction = "out";
    display.updated = !model.displays.empty();
    display.fileType = "txt";
    d.files.push_back(display);
    TFileRec solution;
    solution.logicalName = "(solution)";
    solution.direction = "out";
    solution.updated = true;
    solution.fileType = "har";
    d.files.push_back(solution);
    d.stiFile = "%none";
  }
  d.mrkFile = mrkFile;
  d.tmDate = stamp;
  const std::size_t numSets = runtime ? runtime->Sets().size() : model.sets.size();
  for (std::size_t s = 0; s < numSets; ++s) {
    SetDescription set;
    if (runtime) {
      const RtSet& rs = runtime->Sets()[s];
      set.name = rs.name;
      set.label = rs.label;
      set.size = static_cast<int>(rs.elements.size());
      set.elements = rs.elements;
    } else {
      const mrk::SetDecl& ms = model.sets[s];
      set.name = ms.name;
      set.label = ms.label;
      set.size = ms.fromData ? -1 : static_cast<int>(ms.elements.size());
      set.elements = ms.elements;
    }
    d.sets.push_back(std::move(set));
  }
  for (std::size_t v = 0; v < model.variables.size(); ++v) {
    const mrk::Variable& var = model.variables[v];
    VariableDescription vd;
    vd.name = var.name;
    vd.description = var.description;
    vd.vcTp = var.percent ? 'p' : 'c';
    for (int s : var.sets) {
      vd.argSets.push_back(s + 1);
    }
    if (runtime == nullptr) {
      std::int64_t size = 1;
      for (int s : var.sets) {
        size = model.sets[s].fromData
                   ? -1
                   : (size < 0 ? -1 : size * static_cast<std::int64_t>(model.sets[s].elements.size()));
      }
      vd.size = static_cast<int>(size);
      vd.exoStat = '?';
      vd.vcStat = 'b';
    } else {
      vd.size = static_cast<int>(runtime->VarSize(static_cast<int>(v)));
      vd.exoStat = '?';
      vd.vcStat = 'b';
      if (exogenous != nullptr) {
        const std::int64_t offset = runtime->VarOffset(static_cast<int>(v));
        std::int64_t count = 0;
        for (std::int64_t k = 0; k < vd.size; ++k) {
          count += (*exogenous)[offset + k] ? 1 : 0;
        }
        if (count == 0) {
          vd.exoStat = 'N';
        } else if (count == vd.size) {
          vd.exoStat = 'X';
        } else {
          vd.exoStat = 'x';
          for (std::int64_t k = 0; k < vd.size; ++k) {
            if ((*exogenous)[offset + k] && (k == 0 || !(*exogenous)[offset + k - 1])) {
              std::int64_t last = k;
              while (last + 1 < vd.size && (*exogenous)[offset + last + 1]) {
                ++last;
              }
              vd.exogenousRanges.emplace_back(static_cast<int>(k + 1), static_cast<int>(last + 1));
            }
          }
        }
        vd.vcStat = count > 0 ? 'c' : 'b';
      }
    }
    d.variables.push_back(std::move(vd));
  }
  for (const mrk::SubsetDecl& sub : model.subsets) {
    d.subsets.emplace_back(sub.small + 1, sub.big + 1);
  }
  d.descriptionLines = model.descriptionLines;
  if (d.descriptionLines.empty() && !model.description.empty()) {
    d.descriptionLines.push_back(model.description);
  }
  d.kvVer = kSuiteVersion;
  d.prVer = 1;
  return d;
}

bool WriteReport(const std::string& path, bool ok, ErrorText& errorText) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
      return Fail(errorText, "Cannot create file " + temporary, "");
    }
    out << "[Result]\n"
        << "Status=" << (ok ? "ok" : "error") << "\n"
        << "Release=" << kSuiteRelease << "\n"
        << "GPVer Large=" << kSuiteVersion << "\n";
    if (!out) {
      return Fail(errorText, "write error on file " + temporary, "");
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    return Fail(errorText, "Cannot create file " + path, "");
  }
  return true;
}

} // namespace pelorin::engine
