#include "web/remotecontrol.h"

#include "core/clock/gametimer.h"
#include "shell/velorandwindow.h"
#include "tournament/tournamentwindow.h"
#include "web/statejson.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTime>
#include <cstdio>

namespace {

/// What a command asks for, once its body has been checked.
struct Command
{
    QString name;
    QString expect; ///< empty: any phase
    std::optional<qint64> seq;
    bool home = true; ///< goal: the team
    int delta = 0; ///< goal: +1 or -1
};

RemoteAnswer error(int status, const QString &text)
{
    return { status,
        QJsonDocument(QJsonObject { { QStringLiteral("error"), text } }).toJson(QJsonDocument::Compact) };
}

/// The command in @p body, or what is wrong with it.
std::variant<Command, QString> parse(const QByteArray &body)
{
    QJsonParseError problem {};
    const QJsonDocument document = QJsonDocument::fromJson(body, &problem);
    if (!document.isObject())
        return QStringLiteral("kein JSON-Objekt");
    const QJsonObject object = document.object();
    static const QStringList commands { QStringLiteral("start"), QStringLiteral("stop"),
        QStringLiteral("pause"), QStringLiteral("resume"), QStringLiteral("reset"), QStringLiteral("goal"),
        QStringLiteral("next") };
    static const QStringList phases { QStringLiteral("idle"), QStringLiteral("ready"),
        QStringLiteral("running"), QStringLiteral("paused"), QStringLiteral("ended") };
    Command command;
    command.name = object.value(u"command").toString();
    if (!commands.contains(command.name))
        return QStringLiteral("unbekannter Befehl");
    const QJsonValue expect = object.value(u"expect");
    if (!expect.isUndefined() && !phases.contains(expect.toString()))
        return QStringLiteral("„expect“ ist keine Phase");
    command.expect = expect.toString();
    // A seq is a whole number a double holds exactly.
    constexpr double exact = 9007199254740992.0; // 2^53
    const QJsonValue seq = object.value(u"seq");
    if (!seq.isUndefined()) {
        const double value = seq.toDouble(-1);
        if (!seq.isDouble() || value < 0 || value > exact || value != std::floor(value))
            return QStringLiteral("„seq“ ist keine ganze Zahl ab 0");
        command.seq = qint64(value);
    }
    if (command.name == u"goal") {
        const QString team = object.value(u"team").toString();
        const QJsonValue delta = object.value(u"delta");
        if ((team != u"home" && team != u"away") || !delta.isDouble()
            || (delta.toDouble() != 1 && delta.toDouble() != -1))
            return QStringLiteral("ein Tor braucht „team“ (home/away) und „delta“ (1/-1)");
        command.home = team == u"home";
        command.delta = int(delta.toDouble());
    }
    return command;
}

/// @p text for a log line: control characters shown as "?", so a name cannot forge lines.
QString printable(QString text)
{
    for (QChar &c : text) {
        if (!c.isPrint())
            c = u'?';
    }
    return text;
}

} // namespace

RemoteControl::RemoteControl(VelorandWindow &clock, TournamentWindow *tournament, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_tournament(tournament)
{ }

RemoteAnswer RemoteControl::handle(const RemoteRequest &request)
{
    const QString sender = QString::fromLatin1(request.address);
    const RemoteDevices::Admission admission = m_devices.admit(request.address, request.authorization);
    switch (admission.verdict) {
    case RemoteDevices::Verdict::AddressBlocked:
        // Not said: a blocked address could fill the log.
        return error(429, QStringLiteral("zu viele Fehlversuche; eine Minute gesperrt"));
    case RemoteDevices::Verdict::Unauthorised:
        log(sender + QStringLiteral(" (nicht gekoppelt)"), QString(), 401);
        return error(401, QStringLiteral("nicht gekoppelt"));
    case RemoteDevices::Verdict::TooFast:
        log(printable(m_devices.device(admission.device)->name), QString(), 429);
        return error(429, QStringLiteral("zu viele Befehle in einer Sekunde"));
    case RemoteDevices::Verdict::Admitted:
        break;
    }
    const QString name = printable(m_devices.device(admission.device)->name);
    const QByteArray type = request.contentType.split(';').first().trimmed().toLower();
    if (type != "application/json") {
        log(name, QString(), 415);
        return error(415, QStringLiteral("nur application/json"));
    }
    return run(admission.device, name, request.body);
}

RemoteAnswer RemoteControl::run(int device, const QString &name, const QByteArray &body)
{
    const auto parsed = parse(body);
    if (const QString *problem = std::get_if<QString>(&parsed)) {
        log(name, QString(), 400);
        return error(400, *problem);
    }
    const Command &command = std::get<Command>(parsed);
    if (command.seq) {
        if (const std::optional<RemoteAnswer> before = m_devices.answered(device, *command.seq)) {
            log(name, command.name + QStringLiteral(" (wiederholt)"), before->status);
            return *before;
        }
    }
    // The clock as it is now: overdue ticks first, as the buttons' handlers do.
    m_clock.findChild<GameTimer *>(QStringLiteral("Timer1"))->catchUp();
    const DisplayState before = m_clock.displayState();
    const QString phase = before.phase();
    const CommandsEnabled &on = before.enabled;
    const bool tournament = m_tournament != nullptr;
    // The score button a goal presses: by team, then by sign.
    using Press = void (TournamentWindow::*)();
    const Press goals[2][2] { { &TournamentWindow::cmdGastMinus_Click, &TournamentWindow::cmdGastPlus_Click },
        { &TournamentWindow::cmdHeimMinus_Click, &TournamentWindow::cmdHeimPlus_Click } };
    const Press goal = goals[command.home][command.delta > 0];
    const QHash<QString, std::pair<bool, std::function<void()>>> commands {
        { QStringLiteral("start"), { phase == u"ready", [this] { m_clock.cmdStart_Click(); } } },
        { QStringLiteral("stop"), { before.running && on.start, [this] { m_clock.cmdStart_Click(); } } },
        { QStringLiteral("pause"),
            { phase == u"running" && on.pause, [this] { m_clock.cmdPause_Click(); } } },
        { QStringLiteral("resume"),
            { phase == u"paused" && on.pause, [this] { m_clock.cmdPause_Click(); } } },
        { QStringLiteral("reset"), { on.reset, [this] { m_clock.cmdReset_Click(); } } },
        { QStringLiteral("next"),
            { tournament && on.next, [this] { m_tournament->cmdNaechstesSpiel_Click(); } } },
        { QStringLiteral("goal"),
            { tournament && on.score, [window = m_tournament, goal] { (window->*goal)(); } } },
    };
    const auto &[allowed, handler] = commands.value(command.name);
    QString refusal;
    if (!command.expect.isEmpty() && command.expect != phase)
        refusal = QStringLiteral("die Uhr steht nicht mehr auf „%1“, sondern auf „%2“")
                      .arg(command.expect, phase);
    else if (!allowed)
        refusal = QStringLiteral("„%1“ geht jetzt nicht (%2)").arg(command.name, phase);
    if (refusal.isEmpty()) {
        // A message box the handler would show goes back to the sender instead.
        const VelorandWindow::ModalRunner runner = m_clock.modalRunner();
        const auto restore = qScopeGuard([&] { m_clock.setModalRunner(runner); });
        m_clock.setModalRunner([&refusal](QMessageBox &box) { refusal = box.text(); });
        handler();
    }
    const QByteArray state = stateJson(m_clock.displayState(), QDeadlineTimer::current().deadline());
    const RemoteAnswer answer = refusal.isEmpty()
        ? RemoteAnswer { 200, state }
        : RemoteAnswer { 409,
              QJsonDocument(QJsonObject { { QStringLiteral("error"), refusal },
                                { QStringLiteral("state"), QJsonDocument::fromJson(state).object() } })
                  .toJson(QJsonDocument::Compact) };
    if (command.seq)
        m_devices.remember(device, *command.seq, answer);
    m_devices.noteCommand(device,
        QStringLiteral("%1 %2: %3")
            .arg(QTime::currentTime().toString(u"HH:mm:ss"), command.name)
            .arg(answer.status));
    log(name, command.name, answer.status);
    emit devicesChanged();
    return answer;
}

void RemoteControl::log(const QString &who, const QString &what, int status)
{
    const QString line = QStringLiteral("Fernbedienung %1 %2%3: %4")
                             .arg(QTime::currentTime().toString(u"HH:mm:ss"), who,
                                 what.isEmpty() ? QString() : QStringLiteral(" ") + what)
                             .arg(status);
    std::fprintf(stderr, "velorand: %s\n", line.toLocal8Bit().constData());
    m_recent << line;
    if (m_recent.size() > RemoteRecord::maxCommands)
        m_recent.removeFirst();
}

RemoteRecord RemoteControl::record() const
{
    RemoteRecord record { {}, m_recent };
    for (const RemoteDevice &device : m_devices.devices())
        record.devices << PairedDevice { device.name, device.tokenHash.toHex(), device.pairedAt };
    return record;
}

void RemoteControl::restore(const RemoteRecord &record)
{
    QList<RemoteDevice> devices;
    for (const PairedDevice &device : record.devices)
        devices << RemoteDevice { 0, device.name, QByteArray::fromHex(device.tokenHash), device.pairedAt,
            {} };
    m_devices.restore(devices);
    m_recent = record.commands;
}
