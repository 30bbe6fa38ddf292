#include "web/pairingdialog.h"

#include "shell/velorandwindow.h"
#include "web/qrcode.h"
#include "web/remotecontrol.h"
#include "web/webserver.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

template <typename T> T *named(T *object, const char *name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

} // namespace

PairingDialog::PairingDialog(RemoteControl &remote, const QStringList &urls, QWidget *parent)
    : QWidget(parent, Qt::Dialog)
    , m_remote(remote)
    , m_urls(urls)
    , m_token(remote.devices().pair())
{
    setObjectName(QStringLiteral("frmKoppeln"));
    setWindowTitle(QStringLiteral("Fernbedienung koppeln"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    auto *hint = new QLabel(
        QStringLiteral("Mit der Kamera des Telefons den Code lesen oder die Adresse im Browser öffnen:"),
        this);
    hint->setTextFormat(Qt::PlainText);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    cboKoppelnAdresse = named(new QComboBox(this), "cboKoppelnAdresse");
    for (const QString &url : urls)
        cboKoppelnAdresse->addItem(url);
    cboKoppelnAdresse->setVisible(urls.size() > 1);
    layout->addWidget(cboKoppelnAdresse);
    imgKoppelnQr = named(new QLabel(this), "imgKoppelnQr");
    imgKoppelnQr->setAlignment(Qt::AlignCenter);
    layout->addWidget(imgKoppelnQr);
    lblKoppelnUrl = named(new QLabel(this), "lblKoppelnUrl");
    lblKoppelnUrl->setTextFormat(Qt::PlainText);
    lblKoppelnUrl->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblKoppelnUrl->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblKoppelnUrl);
    lstGeraete = named(new QTreeWidget(this), "lstGeraete");
    lstGeraete->setHeaderLabels(
        { QStringLiteral("Name"), QStringLiteral("Gekoppelt"), QStringLiteral("Letzter Befehl") });
    lstGeraete->setRootIsDecorated(false);
    lstGeraete->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(lstGeraete);
    cmdEntziehen = named(new QPushButton(QStringLiteral("Entziehen"), this), "cmdEntziehen");
    layout->addWidget(cmdEntziehen, 0, Qt::AlignRight);

    connect(cboKoppelnAdresse, &QComboBox::currentIndexChanged, this, &PairingDialog::showAddress);
    connect(cmdEntziehen, &QPushButton::clicked, this, &PairingDialog::cmdEntziehen_Click);
    connect(lstGeraete, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int column) {
        if (column == 0) {
            m_remote.devices().rename(item->data(0, Qt::UserRole).toInt(), item->text(0));
            m_remote.notifyDevices();
        }
    });
    connect(&remote, &RemoteControl::devicesChanged, this, &PairingDialog::refreshDevices);
    showAddress(0);
    remote.notifyDevices();
}

void PairingDialog::cmdEntziehen_Click()
{
    if (const QTreeWidgetItem *item = lstGeraete->currentItem()) {
        m_remote.devices().revoke(item->data(0, Qt::UserRole).toInt());
        m_remote.notifyDevices();
    }
}

void PairingDialog::showAddress(int index)
{
    const QString url = m_urls.value(index) + QStringLiteral("fernbedienung#") + m_token;
    lblKoppelnUrl->setText(url);
    imgKoppelnQr->setPixmap(QPixmap::fromImage(qrCode(url)));
}

void PairingDialog::refreshDevices()
{
    // In place: a command that comes in while the operator renames a device leaves the editor open.
    const QSignalBlocker quiet(lstGeraete); // the names set here are no renaming
    const QWidget *focus = QApplication::focusWidget();
    const bool editing = focus && focus != lstGeraete && lstGeraete->isAncestorOf(focus); // a name's editor
    const QList<RemoteDevice> &devices = m_remote.devices().devices();
    for (int row = lstGeraete->topLevelItemCount() - 1; row >= 0; --row) {
        const int id = lstGeraete->topLevelItem(row)->data(0, Qt::UserRole).toInt();
        if (!m_remote.devices().device(id))
            delete lstGeraete->takeTopLevelItem(row);
    }
    for (qsizetype row = 0; row < devices.size(); ++row) {
        const RemoteDevice &device = devices[row];
        QTreeWidgetItem *item = lstGeraete->topLevelItem(int(row));
        if (!item || item->data(0, Qt::UserRole).toInt() != device.id) {
            item = new QTreeWidgetItem;
            lstGeraete->insertTopLevelItem(int(row), item);
            item->setData(0, Qt::UserRole, device.id);
            item->setFlags(item->flags() | Qt::ItemIsEditable);
        }
        if (!(editing && item == lstGeraete->currentItem()))
            item->setText(0, device.name);
        item->setText(1, device.pairedAt.toString(QStringLiteral("HH:mm:ss")));
        item->setText(2, device.lastCommand);
    }
    cmdEntziehen->setEnabled(lstGeraete->topLevelItemCount() > 0);
}

void addPairingToMenu(VelorandWindow &clock, RemoteControl &remote, const WebServer &server)
{
    auto *menu = clock.findChild<QMenu *>(QStringLiteral("Menu"));
    QAction *pairing = menu->addAction(QStringLiteral("Fernbedienung koppeln…"));
    pairing->setObjectName(QStringLiteral("FernbedienungKoppeln"));
    QObject::connect(pairing, &QAction::triggered, &clock, [&clock, &remote, &server] {
        auto *dialog = new PairingDialog(remote, server.urls(), &clock);
        dialog->show();
    });
}
