#include "core/main_windows.h"

#include <QtGlobal>
#include <array>

namespace mainwindows {

namespace {
std::array<Entry, 3> &entries() {
    static std::array<Entry, 3> table;
    return table;
}
Entry &entryOf(Role role) {
    Entry &entry = entries()[size_t(role)];
    if (!entry.show) qFatal("main window %d was never entered", int(role));
    return entry;
}
} // namespace

void enter(Role role, Entry entry) {
    entries()[size_t(role)] = std::move(entry);
}

void show(Role role) {
    entryOf(role).show();
}

void unload(Role role) {
    entryOf(role).unload();
}

} // namespace mainwindows
