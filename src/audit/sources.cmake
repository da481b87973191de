target_sources(weightcore PRIVATE
    audit/RangeReview.cpp
    audit/RecordSnapshot.cpp
    audit/ResultTable.cpp
    audit/StaleTares.cpp
    audit/UnrecordedLoads.cpp
    audit/UserStore.cpp
)
target_sources(weightgui PRIVATE
    audit/LoginDialog.cpp
    audit/UserManagementWindow.cpp
    audit/PasswordWindow.cpp
    audit/ReviewWindows.cpp
    audit/StaleTareWindow.cpp
)
