set(LIBS duskmire_game)
