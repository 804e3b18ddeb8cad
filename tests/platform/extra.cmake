set(LIBS duskmire_platform)
