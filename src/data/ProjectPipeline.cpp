#include "ProjectPipeline.h"

#include "platform/Locale.h"

#include <cmath>
#include <optional>

namespace ProjectPipeline {

namespace {

std::optional<double> number(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    if (auto value = Locale::parseNumber(trimmed); value && std::isfinite(*value))
        return value;
    return std::nullopt;
}

QString projects(int count) {
    return count == 1 ? QStringLiteral("1 project") : QStringLiteral("%1 projects").arg(count);
}

} // namespace

Sum sum(const QList<Project>& list) {
    Sum result;
    for (const Project& project : list) {
        const auto value = number(project.value);
        if (!value) {
            ++result.valueNotNumber;
            continue;
        }
        const auto probability = number(project.probability);
        if (!probability) {
            ++result.withoutProbability;
            continue;
        }
        result.weighted += *value * *probability / 100.0;
        ++result.counted;
    }
    return result;
}

QString text(const Sum& sum) {
    QString line = QStringLiteral("Weighted pipeline: ") +
                   Locale::current().toString(sum.weighted, 'f', 2) + QStringLiteral(" over ") +
                   projects(sum.counted);
    QStringList left;
    if (sum.valueNotNumber > 0)
        left << projects(sum.valueNotNumber) + QStringLiteral(" whose value is not a number");
    if (sum.withoutProbability > 0)
        left << projects(sum.withoutProbability) + QStringLiteral(" without a probability");
    if (!left.isEmpty())
        line += QStringLiteral("; left out: ") + left.join(QStringLiteral(", "));
    return line;
}

} // namespace ProjectPipeline
