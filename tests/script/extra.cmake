# The script suites compile with the world builder's compiler and build fixture archives with its writer.
set(LIBS duskmire_all duskmire_scriptc duskmire_worldwriter nlohmann_json::nlohmann_json)
