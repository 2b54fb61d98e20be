# The Results page, the accuracy summary dialog, the sets and variables inspector and the charting hand-off:
# widgets over the results core and the shared Qt models. The window program links it.
find_package(Qt6 REQUIRED COMPONENTS Widgets Network)

pelorin_add_library(results_ui
  SOURCES results_grid.cpp up_down_button.cpp results_page_widget.cpp vexmoor_notifier.cpp accuracy_faces.cpp
          acc_summary_dlg.cpp inspectr_dlg.cpp
  DEPENDS pelorin_views pelorin_results pelorin_shell Qt6::Widgets Qt6::Network)
set_target_properties(pelorin_results_ui PROPERTIES AUTOMOC ON)
target_compile_definitions(pelorin_results_ui PUBLIC QT_NO_KEYWORDS)
