target_sources(weightcore PRIVATE
    weighing/BlackBox.cpp
    weighing/Deduction.cpp
    weighing/IndicatorReader.cpp
    weighing/MasterData.cpp
    weighing/RecordListModel.cpp
    weighing/RecordStore.cpp
    weighing/WeighingBoxes.cpp
    weighing/WeighingFigures.cpp
    weighing/WeighingSession.cpp
    weighing/video/SnapshotFiles.cpp
    weighing/video/StillWriter.cpp
    weighing/video/TestPatternCard.cpp
    weighing/video/VideoChannels.cpp
)
target_sources(weightgui PRIVATE
    weighing/DeductionWindow.cpp
    weighing/MasterDataWindows.cpp
    weighing/WeighStation.cpp
    weighing/video/CameraCard.cpp
    weighing/video/VideoStrip.cpp
)
