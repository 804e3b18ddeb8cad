# The graphics suite also checks the layout reader (core) and draws images made by the world builder's encoder.
set(LIBS duskmire_graphics duskmire_core duskmire_encode)
