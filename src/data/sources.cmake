target_sources(weightcore PRIVATE
    data/Catalogue.cpp
    data/DatabaseCopy.cpp
    data/DataModule.cpp
    data/Dialect.cpp
    data/Gbk.cpp
    data/IniFile.cpp
    data/Passwords.cpp
    data/PersonalSettings.cpp
    data/Pinyin.cpp
    data/ProgramFolderSetup.cpp
    data/RecordLayout.cpp
    data/Sql.cpp
    data/UniqueValue.cpp
    data/WeightDerived.cpp
    data/TableEditModel.cpp
)
target_sources(weightgui PRIVATE
    data/PersonalSettingsWindow.cpp
)
