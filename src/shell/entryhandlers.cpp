// The entry fields' handlers: the change handling that keeps the game
// time equal to the fields, the selection on focus, and the spin buttons.

#include "shell/velorandwindow.h"

#include "core/entry/gametimeentry.h"
#include "core/entry/limits.h"
#include "core/entry/spinstep.h"
#include "widgets/facebutton.h"

#include <QLineEdit>
#include <QMessageBox>

void VelorandWindow::txtStd_Change()
{
    txtFields_Change();
}

void VelorandWindow::txtMin_Change()
{
    txtFields_Change();
}

void VelorandWindow::txtSek_Change()
{
    txtFields_Change();
}

void VelorandWindow::txtFields_Change()
{
    catchUp();
    const EnteredTime entered = EnteredTime::fromTexts(txtStd->text(), txtMin->text(), txtSek->text());
    switch (startButtonRule(entered)) {
    case StartButtonRule::EnableStart:
        cmdStart->setEnabled(true);
        cmdUhrAus->setEnabled(false);
        break;
    case StartButtonRule::DisableStart:
        cmdStart->setEnabled(false);
        cmdUhrAus->setEnabled(true);
        break;
    case StartButtonRule::Keep:
        break;
    }
    m_clock.Spielzeit = entered.gameSeconds();
    publishDisplay();
}

void VelorandWindow::txtStd_GotFocus()
{
    MarkiereText(txtStd);
}

void VelorandWindow::txtMin_GotFocus()
{
    MarkiereText(txtMin);
}

void VelorandWindow::txtSek_GotFocus()
{
    MarkiereText(txtSek);
}

void VelorandWindow::MarkiereText(QLineEdit *Txxt)
{
    Txxt->setSelection(0, static_cast<int>(Txxt->text().size()));
}

void VelorandWindow::spinUp(QLineEdit *field, int limit, const QString &limitMessage)
{
    catchUp();
    if (const auto text = spinUpStep(field->text(), limit))
        field->setText(*text);
    else if (!limitMessage.isEmpty()) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velorand"), limitMessage, QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("msgGrenze"));
        showMessage(box);
    }
}

void VelorandWindow::spinDown(QLineEdit *field)
{
    catchUp();
    if (const auto text = spinDownStep(field->text()))
        field->setText(*text);
}

void VelorandWindow::spnStd_SpinUp()
{
    spinUp(txtStd, Limit::hours, {});
}

void VelorandWindow::spnStd_SpinDown()
{
    spinDown(txtStd);
}

void VelorandWindow::spnMin_SpinUp()
{
    spinUp(txtMin, Limit::minutes, QStringLiteral("Die Eingabe ist auf 59 Minuten begrenzt !"));
}

void VelorandWindow::spnMin_SpinDown()
{
    spinDown(txtMin);
}

void VelorandWindow::spnsek_SpinUp()
{
    spinUp(txtSek, Limit::seconds, QStringLiteral("Die Eingabe ist auf 59 Sekunden begrenzt !"));
}

void VelorandWindow::spnsek_SpinDown()
{
    spinDown(txtSek);
}
