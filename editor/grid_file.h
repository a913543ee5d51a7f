#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// Grid text files: ten lines, one row each (letter, "*", "." for an empty cell), CR LF after
// every line. Files are 8-bit Windows-1252 text, read and written byte for character.
namespace gridfile {

// Every byte is one character; the five bytes Windows-1252 leaves undefined stand for the
// control characters of the same code, so that any file comes back byte for byte.
QString fromAnsi(const QByteArray &bytes);
// The reverse; a character outside the set becomes "?".
QByteArray toAnsi(const QString &text);

enum class NameCheck { Ok, Extension, Forbidden, Hidden };
// The checks an export name goes through, in their order. Forbidden also covers what no file
// name should hold: control characters, a lone half of a surrogate pair; Hidden, a name the
// file list would not show.
NameCheck checkExportName(const QString &name);

// A file name as shown: its bytes read as UTF-8 when they are valid UTF-8, as Windows-1252
// otherwise (the names other systems' programs gave).
QString nameText(const QByteArray &name);
// The bytes of the names shown as name: its UTF-8 form, then, when it differs, the
// Windows-1252 bytes that nameText shows so.
QList<QByteArray> nameBytes(const QString &name);

// The file written for the rows of table "new": each row as stored, spaces as dots.
QByteArray exportBytes(const QStringList &rows);

enum class ImportProblem { None, NotValid, TooFewLines };
struct ImportedGrid {
    ImportProblem problem = ImportProblem::None;
    QStringList rows; // ten fields when problem is None
};
// Reads ten fields: leading spaces and tabs skipped, a field ending at a comma or at the end of
// the line (CR LF or LF). The first must pass check_grid_text; the others are taken as they are.
ImportedGrid parseImport(const QByteArray &bytes);

// A grid file is 120 bytes; anything far larger is not one and is not read into memory.
inline constexpr qint64 MaxFileSize = 1024 * 1024;

} // namespace gridfile
