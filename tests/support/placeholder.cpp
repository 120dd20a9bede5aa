// Shared fixtures live beside this file.
