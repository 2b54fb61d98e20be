// kvdump sig FILE...  the executable signature of each file: the signatures found in it, the compiler class
//                     with the platform of its header, and the record flavour that compiler's programs write

#include "kvdump/kvdump.h"
#include "tools/exe_signature.h"

#include <ostream>

namespace pelorin::kvdump {

int RunSig(const Invocation& call) {
  if (call.args.empty()) {
    call.err << "usage: kvdump sig [--csv] FILE...\n";
    return 2;
  }
  Table table;
  if (call.csv) {
    table.AddRow({"file", "found", "description", "flavour"});
  }
  int status = 0;
  for (const std::string& file : call.args) {
    ExeSignature signature;
    ErrorText errorText;
    if (!ExecutableSignature(file, signature, errorText)) {
      call.err << errorText << "\n";
      status = 1;
      continue;
    }
    if (call.csv) {
      table.AddRow({file, signature.found, signature.description, signature.flavour});
      continue;
    }
    call.out << "File:        " << file << "\n"
             << "Found:       " << signature.found << "\n"
             << "Description: " << signature.description << "\n"
             << "Flavour:     " << signature.flavour << "\n";
  }
  if (call.csv) {
    table.Print(call.out, true);
  }
  return status;
}

} // namespace pelorin::kvdump
