#pragma once

class GameDatabase;

// State shared by every window: the open game file.
namespace module1 {

// The game file opened at start-up; it stays open across mode switches.
GameDatabase &db();

// Shows why a write to the game file failed; returns ok. The game on screen is kept.
bool reportWrite(bool ok);
// Shows why a read of the game file failed; returns ok. Nothing on screen is changed.
bool reportRead(bool ok);

} // namespace module1
