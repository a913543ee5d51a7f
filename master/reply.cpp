#include "master/reply.h"

#include "core/grid_text.h"

QString master_reply(const QString &countLabel, const QString &count, const QString &gridText) {
    const QString &crlf = gridtext::CrLf;
    return crlf + countLabel + QLatin1Char(' ') + count + crlf + crlf +
           QStringLiteral("Réponse : ") + crlf + QStringLiteral("[code]") + gridText +
           QStringLiteral("[/code]");
}
