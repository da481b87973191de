target_sources(weightcore PRIVATE
    audit/UserStore.cpp
)
target_sources(weightgui PRIVATE
    audit/LoginDialog.cpp
    audit/UserManagementWindow.cpp
    audit/PasswordWindow.cpp
)
