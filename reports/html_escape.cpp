#include "reports/html_escape.h"

QString Html_Escaped(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            escaped += QLatin1String("&amp;");
            break;
        case '<':
            escaped += QLatin1String("&lt;");
            break;
        case '>':
            escaped += QLatin1String("&gt;");
            break;
        case '"':
            escaped += QLatin1String("&quot;");
            break;
        case '\'':
            escaped += QLatin1String("&#39;");
            break;
        default:
            if ((c.unicode() < 0x20 && c != '\t' && c != '\n') || c.unicode() == 0x7f ||
                (c.unicode() >= 0x80 && c.unicode() < 0xa0))
                escaped += QChar(0xfffd);
            else
                escaped += c;
        }
    }
    return escaped;
}
