target_sources(weightcore PRIVATE
    records/CustomPaper.cpp
    records/FieldDesigner.cpp
    records/TicketTemplates.cpp
    records/WordFilter.cpp
)
target_sources(weightgui PRIVATE
    records/CustomPaperWindow.cpp
    records/FieldDesignerWindow.cpp
    records/TicketDesignerWindow.cpp
    records/WordPickerDialog.cpp
)
