#pragma once

#include <QString>
#include <optional>

// Opens the game file, reads the default mode and opens the master or the player window.
// When the file has just been created, the mode-selection window asks for the default first.
// Returns false when the file could not be opened, after telling the user why.
bool start_program(const QString &databaseFile);
// Fonts take a third of the start-up: they load on a thread of their own while the game file
// opens, and the first text waits for them. The application must exist; later calls do nothing.
void start_loading_fonts();
// Waits until the fonts are loaded (start_program does it once its window shows).
void wait_for_fonts();
// Unloads every window still open and closes the game file.
void end_program();

// Where the game file lies (see GameDatabase::locate); tells the user when the game had to be
// copied to the data folder.
QString locate_game_file();

// The default mode stored in the game file: "M" opens the master window, anything else the
// player's. A failed read is reported and gives nothing.
std::optional<QString> read_mode();
// Stores the default mode; a failed write is reported and returns false.
bool write_mode(const QString &mode);
