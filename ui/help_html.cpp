#include "ui/help_html.h"

#include "ui/help_file.h"

namespace lambreya {

namespace {

const QString kScheme = QStringLiteral("topic");

QString textHtml(const HelpText& text) {
    QString html;
    for (const auto& span : text) {
        const QString escaped = span.text.toHtmlEscaped();
        switch (span.kind) {
        case HelpSpanKind::Text:
            html += escaped;
            break;
        case HelpSpanKind::Emphasis:
            html += QStringLiteral("<i>%1</i>").arg(escaped);
            break;
        case HelpSpanKind::Key:
            // Key names stand out in the maroon of the main window, and never break.
            html += QStringLiteral("<span style=\"font-weight:bold; color:#800000; "
                                   "white-space:nowrap;\">%1</span>")
                        .arg(escaped);
            break;
        case HelpSpanKind::Link:
            html += QStringLiteral("<a href=\"%1\">%2</a>")
                        .arg(helpTopicUrl(span.target).toString(QUrl::FullyEncoded), escaped);
            break;
        }
    }
    return html;
}

} // namespace

QString helpTopicHtml(const HelpTopic& topic) {
    QString html = QStringLiteral("<html><body><h2>%1</h2>").arg(topic.title.toHtmlEscaped());
    for (const auto& block : topic.blocks) {
        if (block.kind == HelpBlock::Kind::Paragraph) {
            for (const auto& part : block.parts)
                html += QStringLiteral("<p>%1</p>").arg(textHtml(part));
        } else {
            html += QStringLiteral("<ul>");
            for (const auto& part : block.parts)
                html += QStringLiteral("<li>%1</li>").arg(textHtml(part));
            html += QStringLiteral("</ul>");
        }
    }
    html += QStringLiteral("</body></html>");
    return html;
}

QUrl helpTopicUrl(int context) {
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(QString::number(context));
    return url;
}

std::optional<int> helpTopicContext(const QUrl& url) {
    if (url.scheme() != kScheme)
        return std::nullopt;
    bool ok = false;
    const int context = url.path().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return context;
}

} // namespace lambreya
