target_sources(weightcore PRIVATE
    app/Schedule.cpp
    app/StartUp.cpp
)
target_sources(weightgui PRIVATE
    app/AboutBox.cpp
    app/MainWindow.cpp
    app/MenuTable.cpp
    app/UpgradeWindow.cpp
)
