# Master data: fixed tares, unit prices, deduction setting; the editable grid they share with the field designer.
target_sources(weightcore PRIVATE
    weighing/Deduction.cpp
    weighing/MasterData.cpp
)
target_sources(weightgui PRIVATE
    weighing/DeductionWindow.cpp
    weighing/MasterDataWindows.cpp
)
