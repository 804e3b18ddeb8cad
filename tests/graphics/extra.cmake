# The graphics suite also checks the layout reader (game layer) and draws images made by the world builder's
# encoder.
set(LIBS duskmire_game duskmire_encode)
