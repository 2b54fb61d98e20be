// The Results page joins the application: built once at start-up, refreshed whenever it is shown, and the
// table it shows copied by "&Copy".

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

} // namespace pelorin
