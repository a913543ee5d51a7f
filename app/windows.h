#pragma once

// Enters the main windows in the table through which lower layers open them. Called once
// before the program starts (main(), and the tests' support code).
void enter_main_windows();

// What the program looks like on the desktop, set once the application exists (main(), and
// the tests' support code): Qt's own texts in French, the program's icon on every window.
void set_up_application();
