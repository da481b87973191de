# Widgets shared by several windows.
target_sources(weightgui PRIVATE
    widgets/ButtonRow.h
    widgets/ChildWindow.h
    widgets/EditGrid.cpp
    widgets/GridFinder.cpp
    widgets/GridStyle.cpp
    widgets/MarqueeLabel.cpp
    widgets/ReadOnlyGrid.cpp
    widgets/RecordNavigator.cpp
)
