#include "app/FileDialogFilter.h"

#include <QString>

namespace {

QString PatternsOf(std::string_view field) {
    QStringList patterns;
    for (const QString& part :
         QString::fromUtf8(field.data(), qsizetype(field.size())).split(u';', Qt::SkipEmptyParts)) {
        const QString pattern = part.trimmed();
        if (!pattern.isEmpty()) {
            patterns << (pattern == u"*.*" ? QStringLiteral("*") : pattern);
        }
    }
    return patterns.isEmpty() ? QStringLiteral("*") : patterns.join(u' ');
}

QString WithoutPatternTail(QString description) {
    description = description.trimmed();
    const qsizetype open = description.lastIndexOf(u'(');
    if (description.endsWith(u')') && open > 0) {
        description.truncate(open);
    }
    return description.trimmed();
}

} // namespace

QStringList ToQtNameFilters(std::string_view list) {
    QStringList filters;
    while (!list.empty()) {
        const std::size_t descriptionEnd = list.find('|');
        if (descriptionEnd == 0 || descriptionEnd == std::string_view::npos) {
            break; // "||" closes the list; a description without patterns is not a filter
        }
        const std::string_view description = list.substr(0, descriptionEnd);
        list.remove_prefix(descriptionEnd + 1);
        const std::size_t patternEnd = list.find('|');
        const std::string_view patterns = list.substr(0, patternEnd);
        list.remove_prefix(patternEnd == std::string_view::npos ? list.size() : patternEnd + 1);

        const QString name = WithoutPatternTail(
            QString::fromUtf8(description.data(), qsizetype(description.size())));
        filters << QStringLiteral("%1 (%2)").arg(name, PatternsOf(patterns));
    }
    return filters;
}
