#include "shell/velorandwindow.h"

#include "core/clock/gametimer.h"
#include "core/clock/wallclocktimer.h"
#include "shell/fonts.h"
#include "shell/geometry.h"
#include "shell/look.h"
#include "widgets/cmouseinout.h"
#include "widgets/facebutton.h"
#include "widgets/floodpanel.h"
#include "widgets/groupbox.h"
#include "widgets/linewidget.h"
#include "widgets/spinbutton.h"
#include "widgets/textpanel.h"

#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>

namespace {

using Fonts::sansSerif;
using Fonts::verdana;

template <typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

void setColors(QWidget *widget, const QColor &text, const QColor &background)
{
    QPalette colors = widget->palette();
    colors.setColor(QPalette::WindowText, text);
    colors.setColor(QPalette::Text, text);
    if (background.isValid()) {
        colors.setColor(QPalette::Window, background);
        colors.setColor(QPalette::Base, background);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(colors);
}

QLabel *makeUnitLabel(QWidget *group, const char *name, const QString &caption, int column, int top)
{
    auto *label = named(new QLabel(caption, group), name);
    label->setGeometry(
        twips(Geometry::unitLeft[column], top, Geometry::unitWidth[column], Geometry::unitHeight));
    // The boxes are cut to the narrow design font; the free fonts that stand
    // in for it are a pixel wider, so close up their letters a little.
    QFont font = label->font();
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.5);
    label->setFont(font);
    return label;
}

QRect digitsRect(int column)
{
    return twips(
        Geometry::digitsLeft[column], Geometry::digitsTop, Geometry::digitsWidth, Geometry::digitsHeight);
}

QLabel *makeDigitLabel(QWidget *group, const char *name, int column, const QColor &text)
{
    auto *label = named(new QLabel(QStringLiteral("00"), group), name);
    label->setGeometry(digitsRect(column));
    label->setFont(verdana(18));
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    setColors(label, text, Colors::black);
    return label;
}

QLineEdit *makeEntryField(QWidget *group, const char *name, int column)
{
    auto *field = named(new QLineEdit(QStringLiteral("00"), group), name);
    field->setGeometry(digitsRect(column));
    field->setFont(verdana(18));
    field->setAlignment(Qt::AlignCenter);
    field->setMaxLength(2);
    setColors(field, Look::entryText, Colors::black);
    return field;
}

SpinButton *makeSpinButton(QWidget *group, const char *name, int column)
{
    auto *spin = named(new SpinButton(group), name);
    spin->setGeometry(
        twips(Geometry::spinLeft[column], Geometry::digitsTop, Geometry::spinWidth, Geometry::digitsHeight));
    return spin;
}

QLabel *makeBarLabel(
    QWidget *group, const char *name, const QString &caption, const QRect &geometry, const QColor &text)
{
    auto *label = named(new QLabel(caption, group), name);
    label->setGeometry(geometry);
    label->setFont(sansSerif(8.25, true));
    setColors(label, text, {});
    return label;
}

FloodPanel *makeBar(QWidget *group, const char *name, const QRect &geometry, const QColor &background)
{
    auto *bar = named(new FloodPanel(group), name);
    bar->setGeometry(geometry);
    bar->setBackgroundColor(background);
    return bar;
}

TextPanel *makeBanner(
    FloodPanel *bar, const char *name, const QString &caption, const QRect &geometry, double points)
{
    auto *banner = named(new TextPanel(caption, bar), name);
    banner->setGeometry(geometry);
    banner->setFont(verdana(points));
    banner->hide();
    return banner;
}

LineWidget *makeLine(QWidget *group, const char *name, const QRect &geometry, const QColor &color)
{
    auto *line = named(new LineWidget(color, group), name);
    line->setGeometry(geometry);
    return line;
}

FaceButton *makeCommand(
    QWidget *group, const char *name, const QString &caption, const QRect &geometry, bool enabled)
{
    auto *button = named(new FaceButton(caption, group), name);
    button->setGeometry(geometry);
    button->setEnabled(enabled);
    // A click must not give the button the keyboard focus: a stray Space would click it again.
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

VelorandWindow::VelorandWindow(QWidget *parent)
    : QWidget(parent)
    , m_timeOfDay([] { return QTime::currentTime(); })
    , m_modalRunner([](QMessageBox &box) { box.exec(); })
{
    setObjectName(QStringLiteral("frmVelorand"));
    setWindowTitle(QStringLiteral(" Velorand"));
    setWindowIcon(QIcon(QStringLiteral(":/velorand/velorand.svg")));
    // The client area is fixed; the outer height follows from the window manager's frame.
    setFixedSize(clientSize);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowCloseButtonHint);

    buildElements();
    buildMenu();
    connectHandlers();
    Form_Load();
}

VelorandWindow::~VelorandWindow()
{
    // Qt hides the elements while it takes the window down, and hiding makes some of them report (a lit
    // button, the pointer leaving it). By then the window's own part is gone: none of its handlers may run.
    for (QObject *element : findChildren<QObject *>())
        element->disconnect(this);
}

void VelorandWindow::buildElements()
{
    // "Spielzeiteinabe", without the g, is the caption as designed; keep it.
    fraZeiteingabe = named(new GroupBox(QStringLiteral("Spielzeiteinabe"), this), "fraZeiteingabe");
    fraZeiteingabe->setGeometry(Geometry::fraZeiteingabe);
    fraZeiteingabe->setToolTip(QStringLiteral("Zum Schließen rechtsklicken."));
    makeUnitLabel(fraZeiteingabe, "Label1", QStringLiteral("Std"), 0, Geometry::unitTop);
    txtStd = makeEntryField(fraZeiteingabe, "txtStd", 0);
    spnStd = makeSpinButton(fraZeiteingabe, "spnStd", 0);
    makeUnitLabel(fraZeiteingabe, "Label2", QStringLiteral("Min"), 1, Geometry::unitTop);
    txtMin = makeEntryField(fraZeiteingabe, "txtMin", 1);
    spnMin = makeSpinButton(fraZeiteingabe, "spnMin", 1);
    makeUnitLabel(fraZeiteingabe, "Label3", QStringLiteral("Sek"), 2, Geometry::unitTop);
    txtSek = makeEntryField(fraZeiteingabe, "txtSek", 2);
    spnsek = makeSpinButton(fraZeiteingabe, "spnsek", 2);

    Frame1 = named(new GroupBox(QStringLiteral("abgelaufene Spielzeit"), this), "Frame1");
    Frame1->setGeometry(Geometry::Frame1);
    makeUnitLabel(Frame1, "Label10", QStringLiteral("Std"), 0, Geometry::unitTop);
    lblStdAb = makeDigitLabel(Frame1, "lblStdAb", 0, Look::elapsedText);
    makeUnitLabel(Frame1, "Label9", QStringLiteral("Min"), 1, Geometry::unitTop);
    lblMinAb = makeDigitLabel(Frame1, "lblMinAb", 1, Look::elapsedText);
    makeUnitLabel(Frame1, "Label8", QStringLiteral("Sek"), 2, Geometry::unitTop);
    lblSekAb = makeDigitLabel(Frame1, "lblSekAb", 2, Look::elapsedText);

    fraZeit = named(new GroupBox(QStringLiteral("verbleibende Spielzeit"), this), "fraZeit");
    fraZeit->setGeometry(Geometry::fraZeit);
    makeUnitLabel(fraZeit, "Label5", QStringLiteral("Std"), 0, Geometry::unitTopRemaining);
    lblStd = makeDigitLabel(fraZeit, "lblStd", 0, Look::remainingText);
    makeUnitLabel(fraZeit, "Label6", QStringLiteral("Min"), 1, Geometry::unitTopRemaining);
    lblMin = makeDigitLabel(fraZeit, "lblMin", 1, Look::remainingText);
    makeUnitLabel(fraZeit, "Label7", QStringLiteral("Sek"), 2, Geometry::unitTopRemaining);
    lblSek = makeDigitLabel(fraZeit, "lblSek", 2, Look::remainingText);

    Frame2 = named(new GroupBox(QStringLiteral("Spielzeitbalken"), this), "Frame2");
    Frame2->setGeometry(Geometry::Frame2);
    makeBarLabel(
        Frame2, "lbl1Halbzeit", QStringLiteral("1. Halbzeit"), Geometry::lbl1Halbzeit, Colors::darkGreen);
    pnlHalbzeit1 = makeBar(Frame2, "pnlHalbzeit1", Geometry::pnlHalbzeit1, Colors::grey);
    pnlHalbzeit1Text = makeBanner(
        pnlHalbzeit1, "pnlHalbzeit1Text", QStringLiteral("1. Halbzeit"), Geometry::pnlHalbzeit1Text, 8.25);
    makeBarLabel(
        Frame2, "lbl2Halbzeit", QStringLiteral("2. Halbzeit"), Geometry::lbl2Halbzeit, Colors::darkGreen);
    pnlHalbzeit2 = makeBar(Frame2, "pnlHalbzeit2", Geometry::pnlHalbzeit2, Colors::grey);
    pnlHalbzeit2Text = makeBanner(
        pnlHalbzeit2, "pnlHalbzeit2Text", QStringLiteral("2. Halbzeit"), Geometry::pnlHalbzeit2Text, 8.25);
    makeBarLabel(Frame2, "lblGesamtspielzeit", QStringLiteral("Gesamtspielzeit"),
        Geometry::lblGesamtspielzeit, Colors::navy);
    pnlZeit = makeBar(Frame2, "pnlZeit", Geometry::pnlZeit, Colors::navy);
    pnlZeitText
        = makeBanner(pnlZeit, "pnlZeitText", QStringLiteral("Spielzeit"), Geometry::pnlZeitText, 14.25);
    makeLine(Frame2, "Line2", Geometry::Line2, Colors::white);
    makeLine(Frame2, "Line1", Geometry::Line1, Colors::grey);

    Frame3 = named(new GroupBox(this), "Frame3");
    Frame3->setGeometry(Geometry::Frame3);
    cmdStart = makeCommand(Frame3, "cmdStart", QStringLiteral("Start"), Geometry::cmdStart, false);
    cmdPause = makeCommand(Frame3, "cmdPause", QStringLiteral("Pause"), Geometry::cmdPause, false);
    cmdReset = makeCommand(Frame3, "cmdReset", QStringLiteral("Reset"), Geometry::cmdReset, false);
    makeLine(Frame3, "Line4", Geometry::Line4, Colors::white);
    makeLine(Frame3, "Line3", Geometry::Line3, Colors::grey);
    cmdUhrAus = makeCommand(Frame3, "cmdUhrAus", QStringLiteral("Uhr aus"), Geometry::cmdUhrAus, true);

    Timer1 = named(new GameTimer(this), "Timer1");
    Timer2 = named(new WallClockTimer(this), "Timer2");

    // Focus order: the fields, the spin buttons from right to left, the commands.
    const QList<QWidget *> focusOrder { txtStd, txtMin, txtSek, spnsek, spnMin, spnStd, cmdStart, cmdPause,
        cmdReset, cmdUhrAus };
    for (qsizetype i = 1; i < focusOrder.size(); ++i)
        setTabOrder(focusOrder[i - 1], focusOrder[i]);
}

void VelorandWindow::buildMenu()
{
    Menu = named(new QMenu(QStringLiteral("Menu"), this), "Menu");
    Menu->setProperty("text", Menu->title());
    Minimieren = named(Menu->addAction(QStringLiteral("Minimieren")), "Minimieren");
    Schliessen = named(Menu->addAction(QStringLiteral("Schliessen")), "Schliessen");
}

void VelorandWindow::connectHandlers()
{
    connect(cmdStart, &QPushButton::clicked, this, &VelorandWindow::cmdStart_Click);
    connect(cmdPause, &QPushButton::clicked, this, &VelorandWindow::cmdPause_Click);
    connect(cmdReset, &QPushButton::clicked, this, &VelorandWindow::cmdReset_Click);
    connect(cmdUhrAus, &QPushButton::clicked, this, &VelorandWindow::cmdUhrAus_Click);
    connect(Timer1, &GameTimer::timeout, this, &VelorandWindow::Timer1_Timer);
    connect(Timer2, &WallClockTimer::timeout, this, &VelorandWindow::Timer2_Timer);

    connect(txtStd, &QLineEdit::textChanged, this, &VelorandWindow::txtStd_Change);
    connect(txtMin, &QLineEdit::textChanged, this, &VelorandWindow::txtMin_Change);
    connect(txtSek, &QLineEdit::textChanged, this, &VelorandWindow::txtSek_Change);
    for (QLineEdit *field : { txtStd, txtMin, txtSek })
        field->installEventFilter(this);
    connect(spnStd, &SpinButton::SpinUp, this, &VelorandWindow::spnStd_SpinUp);
    connect(spnStd, &SpinButton::SpinDown, this, &VelorandWindow::spnStd_SpinDown);
    connect(spnMin, &SpinButton::SpinUp, this, &VelorandWindow::spnMin_SpinUp);
    connect(spnMin, &SpinButton::SpinDown, this, &VelorandWindow::spnMin_SpinDown);
    connect(spnsek, &SpinButton::SpinUp, this, &VelorandWindow::spnsek_SpinUp);
    connect(spnsek, &SpinButton::SpinDown, this, &VelorandWindow::spnsek_SpinDown);

    for (QWidget *frame :
        { static_cast<QWidget *>(Frame1), static_cast<QWidget *>(Frame2), static_cast<QWidget *>(Frame3) })
        frame->installEventFilter(this);
    connect(Minimieren, &QAction::triggered, this, &VelorandWindow::Minimieren_Click);
    connect(Schliessen, &QAction::triggered, this, &VelorandWindow::Schliessen_Click);
}

void VelorandWindow::Form_Load()
{
    cmdStartInOut = named(new cMouseInOut(this), "cmdStartInOut");
    cmdStartInOut->attach(cmdStart);
    cmdPauseInOut = named(new cMouseInOut(this), "cmdPauseInOut");
    cmdPauseInOut->attach(cmdPause);
    cmdResetInOut = named(new cMouseInOut(this), "cmdResetInOut");
    cmdResetInOut->attach(cmdReset);
    cmdUhrAusInOut = named(new cMouseInOut(this), "cmdUhrAusInOut");
    cmdUhrAusInOut->attach(cmdUhrAus);
    connect(cmdStartInOut, &cMouseInOut::MouseIn, this, &VelorandWindow::cmdStartinout_MouseIn);
    connect(cmdStartInOut, &cMouseInOut::MouseOut, this, &VelorandWindow::cmdStartinout_MouseOut);
    connect(cmdPauseInOut, &cMouseInOut::MouseIn, this, &VelorandWindow::cmdPauseInOut_MouseIn);
    connect(cmdPauseInOut, &cMouseInOut::MouseOut, this, &VelorandWindow::cmdPauseInOut_MouseOut);
    connect(cmdResetInOut, &cMouseInOut::MouseIn, this, &VelorandWindow::cmdResetInOut_MouseIn);
    connect(cmdResetInOut, &cMouseInOut::MouseOut, this, &VelorandWindow::cmdResetInOut_MouseOut);
    connect(cmdUhrAusInOut, &cMouseInOut::MouseIn, this, &VelorandWindow::cmdUhrAusInOut_MouseIn);
    connect(cmdUhrAusInOut, &cMouseInOut::MouseOut, this, &VelorandWindow::cmdUhrAusInOut_MouseOut);

    // Shown by the program once built, on top of other windows. The clock's texts start at "00" and the
    // game timer is off until Start: both are built that way.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    Timer2->start();
    txtStd->setFocus();
    m_published = displayState();
}

void VelorandWindow::setTimeOfDaySource(std::function<QTime()> source)
{
    m_timeOfDay = std::move(source);
}

void VelorandWindow::setModalRunner(ModalRunner runner)
{
    m_modalRunner = std::move(runner);
}

void VelorandWindow::showMessage(QMessageBox &box)
{
    m_modalRunner(box);
}

namespace {

BarDisplay barDisplay(const FloodPanel *bar, const TextPanel *banner)
{
    return { bar->floodPercent(), bar->floodColor().rgb() & 0xffffffu, banner->isVisibleTo(bar),
        banner->text() };
}

} // namespace

DisplayState VelorandWindow::displayState() const
{
    DisplayState state;
    state.lblStd = lblStd->text();
    state.lblMin = lblMin->text();
    state.lblSek = lblSek->text();
    state.lblStdAb = lblStdAb->text();
    state.lblMinAb = lblMinAb->text();
    state.lblSekAb = lblSekAb->text();
    state.secondsRed = lblSek->palette().color(QPalette::WindowText) == Colors::of(Signal::Color::Red);
    state.halbzeit1 = barDisplay(pnlHalbzeit1, pnlHalbzeit1Text);
    state.halbzeit2 = barDisplay(pnlHalbzeit2, pnlHalbzeit2Text);
    state.zeit = barDisplay(pnlZeit, pnlZeitText);
    state.running = cmdStart->text() == Look::stopp();
    state.paused = cmdPause->text() == Look::weiter();
    state.match = m_match;
    state.next = m_next;
    state.countdown = m_countdown;
    state.txtStd = txtStd->text();
    state.txtMin = txtMin->text();
    state.txtSek = txtSek->text();
    state.notice = m_notice;
    state.enabled = m_enabled;
    state.enabled.start = cmdStart->isEnabled();
    state.enabled.pause = cmdPause->isEnabled();
    state.enabled.reset = cmdReset->isEnabled();
    return state;
}

void VelorandWindow::enterGameTime(int seconds)
{
    const auto twoDigits = [](int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    txtStd->setText(twoDigits(seconds / 3600));
    txtMin->setText(twoDigits(seconds / 60 % 60));
    txtSek->setText(twoDigits(seconds % 60));
}

void VelorandWindow::enterFieldTexts(const QStringList &texts)
{
    QLineEdit *const fields[] { txtStd, txtMin, txtSek };
    for (qsizetype i = 0; i < std::min<qsizetype>(3, texts.size()); ++i)
        fields[i]->setText(texts[i]);
}

void VelorandWindow::showNotice(const QString &text)
{
    m_notice = text;
    publishDisplay();
}

void VelorandWindow::showMatch(const std::optional<MatchDisplay> &match,
    const std::optional<MatchDisplay> &next, const QString &countdown, bool scoreEnabled, bool nextEnabled)
{
    m_match = match;
    m_next = next;
    m_countdown = countdown;
    m_enabled.score = scoreEnabled;
    m_enabled.next = nextEnabled;
    publishDisplay();
}

void VelorandWindow::publishDisplay()
{
    DisplayState state = displayState();
    if (state == m_published)
        return;
    m_published = std::move(state);
    emit displayChanged(m_published);
}
