target_sources(weightcore PRIVATE
    platform/AppError.cpp
    platform/CaptureCard.cpp
    platform/SerialLine.h
    platform/SerialLinePort.cpp
)
target_sources(weightgui PRIVATE
    platform/QtPrompter.cpp
    platform/DesktopShell.cpp
    platform/QtSound.cpp
)
target_link_libraries(weightgui PUBLIC Qt6::Multimedia)

