set(LIBS duskmire_game duskmire_os_sdl)
