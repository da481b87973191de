target_sources(weightcore PRIVATE
    data/Catalogue.cpp
    data/DataModule.cpp
    data/DbError.cpp
    data/Dialect.cpp
    data/Gbk.cpp
    data/IniFile.cpp
    data/Passwords.cpp
    data/Pinyin.cpp
    data/ProgramFolderSetup.cpp
    data/RecordLayout.cpp
    data/Sql.cpp
    data/TableEditModel.cpp
)
target_sources(weightgui PRIVATE
    data/EditGrid.cpp
    data/GridStyle.cpp
    data/RecordNavigator.cpp
    data/PersonalSettingsWindow.cpp
)
