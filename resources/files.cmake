# What a new program folder receives (ProgramFolderSetup copies it out of ":/programfolder"), by its path
# in the program folder. zdy.xls is made by make_zdy.py.
qt_add_resources(weightcore programfolder
    PREFIX /programfolder
    BASE ${CMAKE_CURRENT_LIST_DIR}
    FILES
        ${CMAKE_CURRENT_LIST_DIR}/Picture/Image1280-1024-1.jpg
        ${CMAKE_CURRENT_LIST_DIR}/打铃音/1.wav
        ${CMAKE_CURRENT_LIST_DIR}/Picture/logo.png
        ${CMAKE_CURRENT_LIST_DIR}/磅单/H标准磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/H金额磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/H扣率磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/H扣杂磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/H条码磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/H图片磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/S标准磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/S金额磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/S扣率磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/S扣杂磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/S单联标准磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/D两等分.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/D三等分.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/D四等分.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/D竖联.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/POS58.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/POS2000.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/A4.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/T标准磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/T金额磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/T扣杂磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/T扣率磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/T两联.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/T竖联.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/T两等分.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/T四等分.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/Code128防伪码磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/签字.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/二次填充套打.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/公式磅单.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/自定义磅单1.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/自定义磅单2.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/多联.fr3
        ${CMAKE_CURRENT_LIST_DIR}/磅单/weight.fr3
        ${CMAKE_CURRENT_LIST_DIR}/zdy.xls
)
