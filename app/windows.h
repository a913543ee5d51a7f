#pragma once

// Enters the main windows in the table through which lower layers open them. Called once
// before the program starts (main(), and the tests' support code).
void enter_main_windows();
