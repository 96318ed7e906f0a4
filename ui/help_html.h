#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace lambreya {

struct HelpTopic;

// The page of a topic as HTML for the topic window: the title as a heading, then the
// paragraphs and lists. Links point to helpTopicUrl() of their target.
QString helpTopicHtml(const HelpTopic& topic);

// The address a link to the topic with that context number carries, and back.
QUrl helpTopicUrl(int context);
std::optional<int> helpTopicContext(const QUrl& url);

} // namespace lambreya
