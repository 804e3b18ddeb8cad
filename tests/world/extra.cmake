# The world tests build their fixture archives with the world builder's writer.
set(LIBS duskmire_all duskmire_worldwriter)
list(APPEND sources ${CMAKE_SOURCE_DIR}/tests/renderer/Scene.cpp)
