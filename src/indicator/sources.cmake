target_sources(weightcore PRIVATE
    indicator/FrameRule.cpp
    indicator/IndicatorModel.cpp
)
target_sources(weightgui PRIVATE
    indicator/CommunicationSetupWindow.cpp
)
