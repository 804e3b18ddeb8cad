# The world tests build their fixture archives with the world builder's writer.
set(LIBS duskmire_all duskmire_encode nlohmann_json::nlohmann_json)
list(APPEND sources ${CMAKE_SOURCE_DIR}/tools/worldbuild/WorldWriter.cpp ${CMAKE_SOURCE_DIR}/tools/worldbuild/ArchiveOut.cpp)
include_directories(${CMAKE_SOURCE_DIR}/tools/worldbuild)
list(APPEND sources ${CMAKE_SOURCE_DIR}/tools/worldbuild/WorldMapRecords.cpp)
list(APPEND sources ${CMAKE_SOURCE_DIR}/tests/renderer/Scene.cpp)
