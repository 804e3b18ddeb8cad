set(LIBS duskmire_graphics)
