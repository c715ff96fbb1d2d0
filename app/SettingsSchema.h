#pragma once

class Settings;

// Registers every key the program reads with its default, leaving alone
// the keys the store holds already: called before the file is read and
// again after, since a load replaces the store with what the file holds.
void registerSettings(Settings& settings);
