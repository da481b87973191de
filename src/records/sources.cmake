target_sources(weightcore PRIVATE
    records/FieldDesigner.cpp
    records/WordFilter.cpp
)
target_sources(weightgui PRIVATE
    records/FieldDesignerWindow.cpp
    records/WordPickerDialog.cpp
)
