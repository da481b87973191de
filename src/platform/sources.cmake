target_sources(weightcore PRIVATE
    platform/SerialLine.h
    platform/SerialLinePort.cpp
)
target_sources(weightgui PRIVATE
    platform/QtPrompter.cpp
    platform/DesktopShell.cpp
)
