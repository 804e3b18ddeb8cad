# The controls suite draws with pictures made by the world builder's encoder as small fixtures.
set(LIBS duskmire_all duskmire_encode)
