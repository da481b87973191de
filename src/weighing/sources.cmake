# The weighing subsystem is built by two pieces of work at once; each keeps its own list.
include(${CMAKE_CURRENT_LIST_DIR}/reader.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/masterdata.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/station.cmake OPTIONAL)
