#pragma once

#include <functional>

// The windows that a lower layer opens without knowing them: the start-up window opens either
// main window, each main window opens the other on a mode switch, and the master window opens
// the grid editor. Each subsystem's window is entered here once, when the program starts
// (app/), and reached by its role.
namespace mainwindows {

enum class Role { Master, Player, Editor };

struct Entry {
    // Shows the window, loading it first when it is not loaded.
    std::function<void()> show;
    // Unloads the window when it is loaded.
    std::function<void()> unload;
};

void enter(Role role, Entry entry);
void show(Role role);
void unload(Role role);

} // namespace mainwindows
