# What a new program folder receives (ProgramFolderSetup copies it out of ":/programfolder"), by its path
# in the program folder. zdy.xls is made by make_zdy.py.
qt_add_resources(weightcore programfolder
    PREFIX /programfolder
    BASE ${CMAKE_CURRENT_LIST_DIR}
    FILES
        ${CMAKE_CURRENT_LIST_DIR}/Picture/Image1280-1024-1.jpg
        ${CMAKE_CURRENT_LIST_DIR}/打铃音/1.wav
        ${CMAKE_CURRENT_LIST_DIR}/磅单/weight.fr3
        ${CMAKE_CURRENT_LIST_DIR}/zdy.xls
)
