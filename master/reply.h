#pragma once

#include <QString>

// The master's answer for the board: an empty line, the count line, an empty line, the
// answer label, then the result grid text inside a [code] block.
QString master_reply(const QString &countLabel, const QString &count, const QString &gridText);
