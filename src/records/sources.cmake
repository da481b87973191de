target_sources(weightcore PRIVATE
    records/FieldDesigner.cpp
)
target_sources(weightgui PRIVATE
    records/FieldDesignerWindow.cpp
)
