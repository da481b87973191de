target_sources(weightcore PRIVATE
    platform/AppError.cpp
    platform/CaptureCard.cpp
    platform/SerialLine.h
    platform/SerialLinePort.cpp
    platform/LibreOfficeSpreadsheet.cpp
)
# The helper that drives the office through its UNO bridge; written out next to each office profile.
qt_add_resources(weightcore calcbridge
    PREFIX /platform
    BASE ${CMAKE_CURRENT_LIST_DIR}
    FILES ${CMAKE_CURRENT_LIST_DIR}/calc_bridge.py
)
target_sources(weightgui PRIVATE
    platform/QtPrompter.cpp
    platform/DesktopShell.cpp
    platform/QtSound.cpp
)
target_link_libraries(weightgui PUBLIC Qt6::Multimedia)

