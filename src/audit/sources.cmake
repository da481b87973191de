target_sources(weightcore PRIVATE audit/UserStore.cpp)
