pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
target_link_libraries(weightcore PRIVATE PkgConfig::XLSXWRITER)

target_sources(weightcore PRIVATE
    records/CustomPaper.cpp
    records/ExportCommand.cpp
    records/FieldDesigner.cpp
    records/RecordExport.cpp
    records/RecordQuery.cpp
    records/TicketTemplates.cpp
    records/WordFilter.cpp
    records/Summary.cpp
    records/UniversalTicket.cpp
)
target_sources(weightgui PRIVATE
    records/CustomPaperWindow.cpp
    records/FieldDesignerWindow.cpp
    records/PrintSetDialog.cpp
    records/QueryWindow.cpp
    records/TicketDesignerWindow.cpp
    records/WordPickerDialog.cpp
    records/SummaryWindow.cpp
)
