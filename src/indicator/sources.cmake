target_sources(weightcore PRIVATE
    indicator/ConsoleText.cpp
    indicator/FrameAnalysis.cpp
    indicator/FrameRule.cpp
    indicator/IndicatorFinder.cpp
    indicator/IndicatorModel.cpp
)
target_sources(weightgui PRIVATE
    indicator/CommunicationSetupWindow.cpp
    indicator/TestConsole.cpp
)
