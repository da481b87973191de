# Weighing station: record store, record list and the station window.
target_sources(weightcore PRIVATE
    weighing/RecordListModel.cpp
    weighing/RecordStore.cpp
    weighing/WeighingBoxes.cpp
    weighing/WeighingFigures.cpp
)
target_sources(weightgui PRIVATE
    weighing/WeighStation.cpp
)
