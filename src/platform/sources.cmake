target_sources(weightgui PRIVATE
    platform/QtPrompter.cpp
    platform/DesktopShell.cpp
)
