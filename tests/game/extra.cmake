# The game view's suite loads the built sample world and makes fixture archives with the world builder's
# writer.
set(LIBS duskmire_all duskmire_worldwriter duskmire_encode)
