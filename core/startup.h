#pragma once

#include <QString>

// Opens the game file, reads the default mode and opens the master or the player window.
// When the file has just been created, the mode-selection window asks for the default first.
// Returns false when the file could not be opened, after telling the user why.
bool start_program(const QString &databaseFile);
// Unloads every window still open and closes the game file.
void end_program();

// The default mode stored in the game file: "M" opens the master window, anything else the
// player's.
QString read_mode();
// Stores the default mode; a failed write is reported and returns false.
bool write_mode(const QString &mode);
