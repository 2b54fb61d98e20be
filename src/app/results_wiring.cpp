// The Results page joins the application: built once at start-up, refreshed whenever it is shown, the table
// it shows copied by "&Copy" and exported by "Export Table as CSV...".

#include "app/application.h"

namespace pelorin {

void Application::AttachResults() {
  Parts.createResultsTables = [this] { Results.BuildPage(); };
  Parts.refreshResults = [this] {
    Results.RebuildCurrentView();
    Results.PageActivated();
  };
  Parts.copyResults = [this](ErrorText& errorText) { return Results.Copy(errorText); };
}

void Application::ExportTableAsCsv1Click() {
  if (Results.State().view == ResultsView::None) {
    return;
  }
  FileDialogRequest request;
  request.title = "Export Table as CSV";
  request.filter = "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*";
  request.fileName = Results.CsvFileName();
  request.defaultExt = "csv";
  request.confirmOverwrite = true;
  const std::optional<std::string> file = GetSaveFileName(request);
  if (!file) {
    return;
  }
  ErrorText errorText;
  if (!Results.ExportTableAsCsv(*file, errorText)) {
    ui_.Message(MessageKind::Error, "Could not export the table:\r\n" + errorText);
  }
}

} // namespace pelorin
