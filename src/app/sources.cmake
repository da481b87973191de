target_sources(weightcore PRIVATE
    app/MenuRights.cpp
    app/StartUp.cpp
)
target_sources(weightgui PRIVATE
    app/MainWindow.cpp
    app/MarqueeLabel.cpp
)
