set(LIBS duskmire_app)
