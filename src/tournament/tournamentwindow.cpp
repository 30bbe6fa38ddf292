#include "tournament/tournamentwindow.h"

#include "core/tournament/resultswriter.h"
#include "core/tournament/tournament.h"
#include "shell/fonts.h"
#include "shell/velorandwindow.h"
#include "widgets/elidedlabel.h"

#include <QDir>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

namespace {

QString scoreText(int home, int away)
{
    return QStringLiteral("%1 : %2").arg(home).arg(away);
}

} // namespace

TournamentWindow::TournamentWindow(Tournament &tournament, VelorandWindow &clock, ResultsWriter &writer,
    const QString &planName, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_tournament(tournament)
    , m_clock(clock)
    , m_writer(writer)
{
    setObjectName(QStringLiteral("frmTurnier"));
    setWindowTitle(QStringLiteral("Turnier – %1").arg(planName));
    // The clock goes on when this window is closed; closing the clock ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    lstSpiele = new QTreeWidget(this);
    lstSpiele->setObjectName(QStringLiteral("lstSpiele"));
    lstSpiele->setHeaderLabels({ QStringLiteral("Nr"), QStringLiteral("Beginn"), QStringLiteral("Feld"),
        QStringLiteral("Heim"), QStringLiteral("Gast"), QStringLiteral("Ergebnis") });
    lstSpiele->setRootIsDecorated(false);
    lstSpiele->setUniformRowHeights(true);
    for (const PlannedGame &game : tournament.plan().games)
        new QTreeWidgetItem(lstSpiele,
            { game.nr, game.start ? game.start->toString(u"HH:mm") : QString(), game.field, game.home,
                game.away });
    // Sized once, from the longest texts: a header that fits itself to its contents measures every row at
    // every change, which takes long with a thousand games.
    QFont bold = lstSpiele->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    for (int column = 0; column < lstSpiele->columnCount(); ++column) {
        QStringList texts { lstSpiele->headerItem()->text(column),
            column == 5 ? QStringLiteral("99 : 99") : QString() };
        for (int row = 0; row < lstSpiele->topLevelItemCount(); ++row)
            texts << lstSpiele->topLevelItem(row)->text(column);
        std::ranges::sort(texts, std::ranges::greater(), [](const QString &text) { return text.size(); });
        int widest = 0;
        for (const QString &text : texts.first(std::min<qsizetype>(texts.size(), 16)))
            widest = std::max(widest, metrics.horizontalAdvance(text));
        lstSpiele->header()->resizeSection(column, widest + 2 * metrics.averageCharWidth());
    }
    connect(lstSpiele, &QTreeWidget::itemDoubleClicked, this,
        [this](QTreeWidgetItem *item) { lstSpiele_DblClick(lstSpiele->indexOfTopLevelItem(item)); });

    const QFont large = Fonts::verdana(20);
    lblHeim = new ElidedLabel(this);
    lblHeim->setObjectName(QStringLiteral("lblHeim"));
    lblGast = new ElidedLabel(this);
    lblGast->setObjectName(QStringLiteral("lblGast"));
    lblStand = new QLabel(this);
    lblStand->setObjectName(QStringLiteral("lblStand"));
    for (QLabel *label : { static_cast<QLabel *>(lblHeim), static_cast<QLabel *>(lblGast), lblStand }) {
        label->setFont(large);
        label->setAlignment(Qt::AlignCenter);
        label->setTextFormat(Qt::PlainText);
    }
    cmdHeimPlus = makeButton("cmdHeimPlus", QStringLiteral("+1"), &TournamentWindow::cmdHeimPlus_Click);
    cmdHeimMinus = makeButton("cmdHeimMinus", QStringLiteral("−1"), &TournamentWindow::cmdHeimMinus_Click);
    cmdGastPlus = makeButton("cmdGastPlus", QStringLiteral("+1"), &TournamentWindow::cmdGastPlus_Click);
    cmdGastMinus = makeButton("cmdGastMinus", QStringLiteral("−1"), &TournamentWindow::cmdGastMinus_Click);
    cmdNaechstesSpiel = makeButton(
        "cmdNaechstesSpiel", QStringLiteral("Nächstes Spiel"), &TournamentWindow::cmdNaechstesSpiel_Click);
    lblPlan = new QLabel(this);
    lblPlan->setObjectName(QStringLiteral("lblPlan"));
    lblPlan->setTextFormat(Qt::PlainText);
    lblErgebnisse = new QLabel(this);
    lblErgebnisse->setObjectName(QStringLiteral("lblErgebnisse"));
    lblErgebnisse->setTextFormat(Qt::PlainText);
    lblErgebnisse->setWordWrap(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(lstSpiele, 0, 0, 1, 5);
    grid->addWidget(lblHeim, 1, 0, 1, 2);
    grid->addWidget(lblStand, 1, 2);
    grid->addWidget(lblGast, 1, 3, 1, 2);
    grid->addWidget(cmdHeimPlus, 2, 0);
    grid->addWidget(cmdHeimMinus, 2, 1);
    grid->addWidget(cmdGastPlus, 2, 3);
    grid->addWidget(cmdGastMinus, 2, 4);
    grid->addWidget(cmdNaechstesSpiel, 3, 0, 1, 5);
    grid->addWidget(lblPlan, 4, 0, 1, 5);
    grid->addWidget(lblErgebnisse, 5, 0, 1, 5);
    for (int column = 0; column < 5; ++column)
        grid->setColumnStretch(column, 1);
    resize(560, 520);

    // After the clock's other views: they have the state already when the tournament answers it.
    connect(&clock, &VelorandWindow::displayChanged, &tournament, &Tournament::observe);
    connect(&tournament, &Tournament::gameLoaded, &clock,
        [this](int, int seconds) { m_clock.enterGameTime(seconds); });
    connect(&tournament, &Tournament::changed, this, &TournamentWindow::refresh);
    // Queued: a result that changes in the tick is written after it.
    connect(
        &tournament, &Tournament::resultsChanged, this,
        [this] { m_writer.write(Results::render(m_tournament.plan(), m_tournament.results())); },
        Qt::QueuedConnection);
    connect(&writer, &ResultsWriter::written, this, &TournamentWindow::showWritten);
    m_everySecond = new QTimer(this);
    m_everySecond->setTimerType(Qt::PreciseTimer);
    connect(m_everySecond, &QTimer::timeout, this, &TournamentWindow::refresh);
    m_everySecond->start(1000);
    showWritten({});
    refresh();
}

TournamentWindow::~TournamentWindow() = default;

QPushButton *TournamentWindow::makeButton(
    const char *name, const QString &caption, void (TournamentWindow::*handler)())
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

void TournamentWindow::showAfterClock()
{
    m_waitingForClock = true;
    m_clock.installEventFilter(this);
}

void TournamentWindow::placeBesideClock()
{
    const QRect clock = m_clock.frameGeometry();
    const QRect free = m_clock.screen()->availableGeometry();
    const QRect frame = frameGeometry();
    const int right = clock.right() + 1, left = clock.left() - frame.width();
    const int x = right + frame.width() <= free.right() + 1 ? right : std::max(free.left(), left);
    move(x, std::clamp(clock.top(), free.top(), std::max(free.top(), free.bottom() + 1 - frame.height())));
}

bool TournamentWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && std::exchange(m_waitingForClock, false)) {
        // After the frame: the clock window comes up as quickly as without a tournament.
        QTimer::singleShot(0, this, [this] {
            show();
            placeBesideClock();
            m_sinceShown.start();
        });
    }
    // The window manager places the clock window after it is shown; later moves are the operator's.
    if (event->type() == QEvent::Move && m_sinceShown.isValid() && m_sinceShown.elapsed() < 3000)
        placeBesideClock();
    return QWidget::eventFilter(watched, event);
}

void TournamentWindow::setNotice(const QString &text)
{
    m_notice = text;
    refresh();
}

void TournamentWindow::cmdHeimPlus_Click()
{
    m_tournament.changeScore(Tournament::Team::Home, +1);
}

void TournamentWindow::cmdHeimMinus_Click()
{
    m_tournament.changeScore(Tournament::Team::Home, -1);
}

void TournamentWindow::cmdGastPlus_Click()
{
    m_tournament.changeScore(Tournament::Team::Away, +1);
}

void TournamentWindow::cmdGastMinus_Click()
{
    m_tournament.changeScore(Tournament::Team::Away, -1);
}

void TournamentWindow::cmdNaechstesSpiel_Click()
{
    m_tournament.loadNext();
}

void TournamentWindow::lstSpiele_DblClick(int row)
{
    m_tournament.load(row);
}

void TournamentWindow::refresh()
{
    const QList<GameResult> &results = m_tournament.results();
    const int current = m_tournament.current();
    for (int row = 0; row < lstSpiele->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = lstSpiele->topLevelItem(row);
        const QString result
            = results[row].started.isValid() ? scoreText(results[row].home, results[row].away) : QString();
        if (item->text(5) != result)
            item->setText(5, result);
    }
    if (current != m_shownCurrent) {
        for (const int row : { m_shownCurrent, current }) {
            QTreeWidgetItem *item = lstSpiele->topLevelItem(row);
            for (int column = 0; item && column < lstSpiele->columnCount(); ++column) {
                QFont font = lstSpiele->font();
                font.setBold(row == current);
                item->setFont(column, font);
            }
        }
        m_shownCurrent = current;
        if (current >= 0) {
            lstSpiele->setCurrentItem(lstSpiele->topLevelItem(current));
            lstSpiele->scrollToItem(lstSpiele->currentItem());
        }
    }
    const std::optional<MatchDisplay> match = m_tournament.match();
    lblHeim->setText(match ? match->home : QString());
    lblGast->setText(match ? match->away : QString());
    lblStand->setText(match ? scoreText(match->scoreHome, match->scoreAway) : QString());
    const bool editable = m_tournament.scoreEditable();
    for (QPushButton *button : { cmdHeimPlus, cmdHeimMinus, cmdGastPlus, cmdGastMinus })
        button->setEnabled(editable);
    cmdNaechstesSpiel->setEnabled(!m_tournament.gameOn());
    QStringList lines { m_tournament.planLine(), m_transient, m_notice };
    lines.removeAll(QString());
    lblPlan->setText(lines.join(u'\n'));
    m_clock.showMatch(
        match, m_tournament.next(), m_tournament.countdown(), editable, cmdNaechstesSpiel->isEnabled());
}

void TournamentWindow::showWritten(const QString &error)
{
    m_resultsError = error;
    showSaving();
}

void TournamentWindow::showJournalWritten(const QString &error)
{
    m_journalError = error;
    showSaving();
}

void TournamentWindow::showSaving()
{
    const QString error = m_journalError.isEmpty() ? m_resultsError : m_journalError;
    lblErgebnisse->setText(error.isEmpty()
            ? QStringLiteral("Ergebnisse: %1").arg(QDir::toNativeSeparators(m_writer.path()))
            : QStringLiteral("Ergebnisse können nicht gespeichert werden: %1").arg(error));
    lblErgebnisse->setStyleSheet(error.isEmpty() ? QString() : QStringLiteral("color: red"));
}

void TournamentWindow::showTransient(const QString &text)
{
    m_transient = text;
    m_clock.showNotice(text);
    refresh();
    QTimer::singleShot(10000, this, [this] {
        m_transient.clear();
        m_clock.showNotice({});
        refresh();
    });
}
