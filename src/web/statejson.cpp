#include "web/statejson.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject bar(const BarDisplay &bar)
{
    return { { QStringLiteral("percent"), bar.percent },
        { QStringLiteral("color"), QStringLiteral("#%1").arg(bar.rgb, 6, 16, QLatin1Char('0')) } };
}

QJsonValue banner(const BarDisplay &bar)
{
    return bar.bannerVisible ? QJsonValue(bar.banner) : QJsonValue(QJsonValue::Null);
}

/// @p text, or null when it is empty.
QJsonValue textOrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

/// A game as {nr, home, away, start}, with the score when @p withScore; null when there is none.
QJsonValue match(const std::optional<MatchDisplay> &match, bool withScore)
{
    if (!match)
        return QJsonValue::Null;
    QJsonObject object { { QStringLiteral("nr"), match->nr }, { QStringLiteral("home"), match->home },
        { QStringLiteral("away"), match->away }, { QStringLiteral("start"), textOrNull(match->start) } };
    if (withScore) {
        object.insert(QStringLiteral("scoreHome"), match->scoreHome);
        object.insert(QStringLiteral("scoreAway"), match->scoreAway);
    }
    return object;
}

} // namespace

QByteArray stateJson(const DisplayState &state, qint64 monotonicMs)
{
    const QJsonObject object {
        { QStringLiteral("remaining"), state.remainingText() },
        { QStringLiteral("elapsed"), state.elapsedText() },
        { QStringLiteral("secondsRed"), state.secondsRed },
        { QStringLiteral("running"), state.running },
        { QStringLiteral("paused"), state.paused },
        { QStringLiteral("phase"), state.phase() },
        { QStringLiteral("enabled"),
            QJsonObject { { QStringLiteral("start"), state.enabled.start },
                { QStringLiteral("pause"), state.enabled.pause },
                { QStringLiteral("reset"), state.enabled.reset },
                { QStringLiteral("goal"), state.enabled.score },
                { QStringLiteral("next"), state.enabled.next } } },
        { QStringLiteral("bars"),
            QJsonObject { { QStringLiteral("half1"), bar(state.halbzeit1) },
                { QStringLiteral("half2"), bar(state.halbzeit2) },
                { QStringLiteral("game"), bar(state.zeit) } } },
        { QStringLiteral("banners"),
            QJsonObject { { QStringLiteral("half1"), banner(state.halbzeit1) },
                { QStringLiteral("half2"), banner(state.halbzeit2) },
                { QStringLiteral("game"), banner(state.zeit) } } },
        { QStringLiteral("match"), match(state.match, true) },
        { QStringLiteral("next"), match(state.next, false) },
        { QStringLiteral("countdown"), textOrNull(state.countdown) },
        { QStringLiteral("monotonicMs"), monotonicMs },
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
