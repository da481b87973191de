target_sources(weightcore PRIVATE
    weighing/BlackBox.cpp
    weighing/IndicatorReader.cpp
)
