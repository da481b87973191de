target_sources(weightcore PRIVATE
    maintenance/Maintenance.cpp
    maintenance/RestoreJob.cpp
)
target_sources(weightgui PRIVATE
    maintenance/BackupWindow.cpp
    maintenance/ClearWindow.cpp
    maintenance/CompactWindow.cpp
    maintenance/FolderTreeDialog.cpp
    maintenance/InitialiseWindow.cpp
    maintenance/RestoreWindow.cpp
)
