target_sources(weightcore PRIVATE app/MenuRights.cpp)
