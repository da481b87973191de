target_sources(weightcore PRIVATE
    app/Schedule.cpp
    app/StartUp.cpp
)
target_sources(weightgui PRIVATE
    app/MainWindow.cpp
    app/MenuTable.cpp
)
