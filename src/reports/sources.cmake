# The report engine: templates, expressions, layout and drawing in the core; preview and printing in the GUI.
find_path(ZINT_INCLUDE_DIR zint.h REQUIRED)
find_library(ZINT_LIBRARY zint REQUIRED)

target_sources(weightcore PRIVATE
    reports/Barcode.cpp
    reports/Expressions.cpp
    reports/Fr3File.cpp
    reports/Report.cpp
    reports/ReportDesign.cpp
    reports/ReportRenderer.cpp
    reports/Tickets.cpp
)
target_include_directories(weightcore PRIVATE ${ZINT_INCLUDE_DIR})
target_link_libraries(weightcore PRIVATE ${ZINT_LIBRARY})

target_sources(weightgui PRIVATE
    reports/QuickTicketPrinter.cpp
    reports/ReportDesignerWindow.cpp
    reports/ReportPreview.cpp
    reports/ReportPrinting.cpp
)
