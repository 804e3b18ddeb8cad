set(LIBS duskmire_platform duskmire_os_sim)
