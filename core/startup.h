#pragma once

#include <QString>
#include <optional>

// Opens the game file, reads the default mode and opens the master or the player window.
// When the file has just been created, the mode-selection window asks for the default first.
// Returns false when the file could not be opened, after telling the user why.
bool start_program(const QString &databaseFile);
// Fonts take a third of the start-up. They load on a thread of their own from the program's
// first instant: the system's font configuration at once, Qt's list of fonts as soon as the
// application exists. The first text drawn waits for them. Later calls do nothing.
void start_loading_fonts();
// Tells the loading that the QApplication exists (and starts it if it had not started).
void fonts_may_use_application();
// Waits until the fonts are loaded (end_program does it).
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
