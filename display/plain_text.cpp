#include "plain_text.h"

#include <QTextDocument>

namespace fixwatch {

QString PlainToolTip(const QString& text)
{
    if (!Qt::mightBeRichText(text) && !text.contains(QLatin1Char('<'))
        && !text.contains(QLatin1Char('&')))
        return text;
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped()
           + QStringLiteral("</p>");
}

} // namespace fixwatch
