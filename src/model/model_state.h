#pragma once

#include <string>
#include <vector>

namespace pelorin {

/// The model being worked with: its files, the file list of its model information file and what the
/// simulation may do with it. One instance, owned by the model page object (ModelPages).
struct ModelState {
  /// Full path of the model file (".exe" or ".gss"); empty means no model.
  std::string ModelFile;
  /// Folder of ModelFile; without a model, ProgramDir.
  std::string ModelDir;
  /// File name of ModelFile without extension (settings key "Model Name").
  std::string ModelStem;
  /// The model file's extension, lower-cased, is ".exe".
  bool ModelIsExe = false;
  /// ModelFile for an executable model; otherwise the path DRAVEX was found at.
  std::string SolverProgram;
  /// The model's information file (ModelFile with ".MIN", found ignoring case).
  std::string ModelInfoFile;
  /// Default folder of output files.
  std::string OutputDir;
  /// Main model-description file named in the model information file.
  std::string MainMrkFile;
  /// The model information file names a stored-input file used when the model was compiled.
  bool StiUsed = false;
  /// The stored-input file the View menu shows: MainMrkFile with ".STI".
  std::string MrkStiFile;
  /// Closure-information file whose content is the current model information (settings key "SVI File");
  /// empty when that is the model's own information file.
  std::string SviFile;
  /// The file-description lines of the model information file, in file order (without the solution and
  /// equations pseudo-files).
  std::vector<std::string> FileLines;
  /// No input the model reads from the terminal is updated by the model.
  bool PostSimPossible = true;
  /// Suite version last reported by a job of this model (settings key "Model GPVer").
  int ModelGpVer = 0;
  /// Output names were edited since the last successful solve (cleared by the job runner).
  bool OutputNamesChanged = false;
  /// Input data files were changed since the last successful solve (cleared by the job runner).
  bool DataFilesChanged = false;
};

/// What the Model/Data page shows: the model label and one line per input data file, each in the form it
/// takes in the command file ("File BASEDATA = /models/base.har ; ! Base data").
struct ModelDataPage {
  /// "Model: " + ModelFile (empty without a model).
  std::string ModelLabel;
  /// The input data file lines.
  std::vector<std::string> InputLines;
  /// The line selected in the list (-1 for none).
  int SelectedLine = -1;
  /// "Save &As..." is enabled (every input file is named and exists).
  bool SaveAsEnabled = false;
  /// Developer controls: "&Change Model", "Save &As...", "&Load..." and the context-menu item
  /// "&Select or change the file name".
  bool ChangeModelVisible = false;
  bool SaveLoadVisible = false;
  bool SelectFileItemVisible = false;
};

/// What the Output files page shows: the output folder, one line per output file (line 0 is the solution
/// line) and the post-simulation name.
struct OutputFilesPage {
  /// OutputDir, upper-cased, as the page's label shows it.
  std::string OutputDirLabel;
  /// The output file lines ("Solution file = sim1 ;", "Updated file BASEDATA = sim1.upd ;", ...).
  std::vector<std::string> OutputLines;
  /// The post-simulation name box.
  std::string PostSimName = "sim1ps";
  /// The post-simulation labels and name box are shown (a post-simulation run is requested).
  bool PostSimVisible = false;
};

} // namespace pelorin
