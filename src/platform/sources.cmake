target_sources(weightcore PRIVATE
    platform/SerialLine.h
    platform/SerialLinePort.cpp
)
target_sources(weightgui PRIVATE
    platform/QtPrompter.cpp
    platform/DesktopShell.cpp
    platform/QtSound.cpp
)
target_link_libraries(weightgui PUBLIC Qt6::Multimedia)

# Every file under resources/ is what a new program folder receives (the bell, later ticket templates
# and pictures); ProgramFolderSetup copies them out of ":/programfolder".
file(GLOB_RECURSE programFolderFiles CONFIGURE_DEPENDS LIST_DIRECTORIES false ${PROJECT_SOURCE_DIR}/resources/*)
if(programFolderFiles)
    qt_add_resources(weightcore programfolder
        PREFIX /programfolder
        BASE ${PROJECT_SOURCE_DIR}/resources
        FILES ${programFolderFiles})
endif()
